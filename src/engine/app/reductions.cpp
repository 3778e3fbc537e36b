#include "app/reductions.h"

#include "calc/amounts.h"
#include "calc/framework.h"
#include "forms/values.h"

namespace pit {

namespace {

std::string Shown(const std::string& value, const FieldObject& def) {
  return AmountAsShown(value.empty() ? "0,00" : value, def.Typ, def.Option);
}

}  // namespace

std::vector<std::string> ReducedAmountLines(const CommitStep& step, const std::string& given,
                                            const FieldRecordsOf& recordsOf) {
  std::vector<std::string> lines;
  for (const SlotChange& c : step.changes) {
    const std::vector<FieldObject>* records = recordsOf ? recordsOf(c.entry) : nullptr;
    if (records == nullptr || c.field >= static_cast<int>(records->size())) continue;
    const FieldObject& def = (*records)[static_cast<std::size_t>(c.field)];
    // Only what the user gives: a computed amount that falls with the
    // income is a result, not a cut.
    if ((def.Typ != kLiczba && def.Typ != kJedenProcent) || def.ReadOnly || !def.Visible) continue;
    const bool committed = c.entry == step.entry && c.field == step.field;
    const std::string& before = committed ? given : c.before.Value;
    const std::optional<Amount> was = ParseAmount(before);
    const std::optional<Amount> now = ParseAmount(c.after.Value);
    if (!was || !now || !(*now < *was)) continue;
    const std::string where = def.Poz > 0 ? "poz. " + std::to_string(def.Poz) : "pole " + std::to_string(c.field);
    lines.push_back(where + ": " + Shown(before, def) + " → " + Shown(c.after.Value, def));
  }
  return lines;
}

void NoticeWatch::AddMessage(const std::string& line) {
  const std::string notice = ReductionNotice(inner_.ShownIdPit());
  if (!notice.empty() && line == notice) notice_ = true;
  inner_.AddMessage(line);
}

}  // namespace pit
