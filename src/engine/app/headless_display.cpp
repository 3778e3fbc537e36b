#include "app/headless_display.h"

namespace pit {

void ApplyFlags(const ShownResult& r, std::vector<FieldObject>& fields) {
  for (const auto& [k, f] : r.flags) {
    if (k < 0 || k >= static_cast<int>(fields.size())) continue;
    FieldObject& d = fields[static_cast<std::size_t>(k)];
    if (f.readOnly >= 0) d.ReadOnly = f.readOnly != 0;
    if (f.visible >= 0) d.Visible = f.visible != 0;
    if (f.mustBe >= 0) d.MustBe = f.mustBe != 0;
    if (f.maxChar >= 0) d.MaxChar = f.maxChar;
  }
}

CalcInput HeadlessDisplay::Input() const {
  CalcInput in;
  in.entry = entry;
  in.idPit = idPit;
  in.page = page;
  in.committedField = edited;
  in.clickedField = clicked;
  in.reminderShown = reminderFlag;
  return in;
}

void HeadlessDisplay::Take(const ShownResult& r) {
  // Both maps are in field order: one walk through them, not a search for
  // each field.
  auto at = flags.begin();
  for (const auto& [k, f] : r.flags) {
    while (at != flags.end() && at->first < k) ++at;
    if (at == flags.end() || at->first != k) at = flags.emplace_hint(at, k, FieldFlags{});
    FieldFlags& mine = at->second;
    if (f.readOnly >= 0) mine.readOnly = f.readOnly;
    if (f.visible >= 0) mine.visible = f.visible;
    if (f.mustBe >= 0) mine.mustBe = f.mustBe;
    if (f.maxChar >= 0) mine.maxChar = f.maxChar;
  }
  const MessageList& m = r.messages;
  if (m.replaced) {
    messages.clear();
    extraLines = 0;
  }
  messages.insert(messages.end(), m.lines.begin(), m.lines.end());
  if (m.height) {
    height = *m.height;
    extraLines = 0;
  }
  extraLines += m.extraLines;
  for (const ShownWindow& w : r.windows) {
    switch (w.kind) {
      case ShownWindow::Kind::Reminder:
      case ShownWindow::Kind::Warning:
        reminders.push_back(w.text);
        break;
      case ShownWindow::Kind::Error:
        errors.push_back(w.text);
        break;
      case ShownWindow::Kind::CorrectionInfo:
        correctionInfos.emplace_back(w.text, w.page);
        break;
    }
  }
  if (r.donationLabel) donationLabel = *r.donationLabel;
  if (r.showEntry) Show(r.showEntry->entry, r.showEntry->idPit, 1);
  reminderFlag = r.reminderShown;
}

bool HeadlessDisplay::MustBe(int field) const {
  auto it = flags.find(field);
  return it != flags.end() && it->second.mustBe == 1;
}
bool HeadlessDisplay::ReadOnly(int field) const {
  auto it = flags.find(field);
  return it != flags.end() && it->second.readOnly == 1;
}
bool HeadlessDisplay::Visible(int field) const {
  auto it = flags.find(field);
  return it == flags.end() || it->second.visible != 0;
}

}  // namespace pit
