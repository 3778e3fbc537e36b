#include "app/settlement.h"

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <tuple>

#include "forms/definition_library.h"
#include "text/cp1250.h"
#include "text/guid.h"
#include "text/amount_text.h"

namespace pit {

namespace {

// A text of fewer bytes than its width holds has fewer characters too.
std::string_view Fitted(std::string_view v, std::size_t width, std::string& room) {
  if (v.size() < width) return v;
  room = FitWidth(v, width);
  return room;
}

}  // namespace

bool SameSlot(const ValueSlot& a, const ValueSlot& b) {
  return std::tie(a.Option, a.Typ, a.Name, a.FormNo, a.Page, a.ID, a.Value, a.Spare, a.OfficeCode, a.CheckValue,
                  a.CheckState, a.XMLNode) == std::tie(b.Option, b.Typ, b.Name, b.FormNo, b.Page, b.ID, b.Value,
                                                       b.Spare, b.OfficeCode, b.CheckValue, b.CheckState, b.XMLNode);
}

bool SameFixedParts(const ValueSlot& a, const ValueSlot& b) {
  return std::tie(a.Typ, a.Name, a.FormNo, a.Page, a.ID, a.CheckValue, a.XMLNode) ==
         std::tie(b.Typ, b.Name, b.FormNo, b.Page, b.ID, b.CheckValue, b.XMLNode);
}

void SlotValues::TakeFrom(const ValueSlot& s) {
  Option = s.Option;
  CheckState = s.CheckState;
  Value = s.Value;
  Spare = s.Spare;
  OfficeCode = s.OfficeCode;
}

void SlotValues::Into(ValueSlot& s) const { PutValues(*this, s); }

void ValueSlot::SetValue(std::string_view v) {
  std::string room;
  Value.assign(Fitted(v, slotw::Value, room));
}

void ValueSlot::SetOfficeCode(std::string_view v) {
  std::string room;
  OfficeCode.assign(Fitted(v, slotw::OfficeCode, room));
}

bool* SpouseDataFlags::For(int idPit) {
  switch (idPit) {
    case kPitO: return &PitO;
    case kPitD: return &PitD;
    case kPit2K: return &Pit2K;
    case kPitUZ: return &PitUZ;
    default: return nullptr;
  }
}

bool SpouseDataFlags::Get(int idPit) const {
  switch (idPit) {
    case kPitO: return PitO;
    case kPitD: return PitD;
    case kPit2K: return Pit2K;
    case kPitUZ: return PitUZ;
    default: return false;
  }
}

void Settlement::Restructured() {
  static std::atomic<std::uint64_t> stamps{0};
  structure_ = ++stamps;
  // The journal names entries by their numbers, which are not those any more.
  TakeJournal();
}

// --- changing values ------------------------------------------------------------

ValueSlot* Settlement::SlotFor(int entry, int field) {
  if (!Has(entry) || field < 0 || field >= kSlotCount) return nullptr;
  return &Entry(entry).slots_[static_cast<std::size_t>(field)];
}

void FormEntry::ValuesChanged() {
  static std::atomic<std::uint64_t> stamps{0};
  marks_.valuesStamp = ++stamps;
}

void Settlement::Journal(int entry, int field, const ValueSlot& slot, bool whole) {
  FormEntry& e = Entry(entry);
  // Every write that changes a slot passes here, also one already journaled.
  e.ValuesChanged();
  std::uint32_t& level = e.listing_.journalLevel[static_cast<std::size_t>(field)];
  if (level == level_) {
    if (whole) KeepWhole(entry, field, slot, journal_.size());
    return;
  }
  JournalRecord& r = journal_.emplace_back();
  r.entry = entry;
  r.field = field;
  r.before.TakeFrom(slot);
  if (whole) r.whole = std::make_unique<ValueSlot>(slot);
  r.outerLevel = level;
  level = level_;
}

void Settlement::KeepWhole(int entry, int field, const ValueSlot& now, std::size_t end) {
  for (std::size_t i = std::min(end, journal_.size()); i-- > 0;) {
    JournalRecord& r = journal_[i];
    if (r.entry != entry || r.field != field) continue;
    if (!r.whole) {
      // Only values changed since the record: the rest is as it was then.
      r.whole = std::make_unique<ValueSlot>(now);
      r.before.Into(*r.whole);
    }
    return;
  }
}

bool Settlement::WriteString(int entry, int field, std::string ValueSlot::*member, std::string_view text,
                             std::size_t width) {
  ValueSlot* s = SlotFor(entry, field);
  if (s == nullptr) return false;
  std::string room;
  text = Fitted(text, width, room);
  if (s->*member == text) return false;
  Journal(entry, field, *s);
  (s->*member).assign(text);
  // Only the value is read as an amount.
  if (member == &ValueSlot::Value) Entry(entry).ReadGrosze(static_cast<std::size_t>(field));
  return true;
}

bool Settlement::WriteText(int entry, int field, std::string_view value) {
  return WriteString(entry, field, &ValueSlot::Value, value, slotw::Value);
}

bool Settlement::WriteCheck(int entry, int field, bool on) {
  ValueSlot* s = SlotFor(entry, field);
  if (s == nullptr || s->CheckState == on) return false;
  Journal(entry, field, *s);
  s->CheckState = on;
  return true;
}

bool Settlement::WriteOption(int entry, int field, int option) {
  ValueSlot* s = SlotFor(entry, field);
  if (s == nullptr || s->Option == option) return false;
  Journal(entry, field, *s);
  s->Option = option;
  return true;
}

bool Settlement::WriteOfficeCode(int entry, int field, std::string_view code) {
  return WriteString(entry, field, &ValueSlot::OfficeCode, code, slotw::OfficeCode);
}

bool Settlement::WriteSpare(int entry, int field, std::string_view spare) {
  return WriteString(entry, field, &ValueSlot::Spare, spare, slotw::Spare);
}

bool Settlement::WriteSlot(int entry, int field, const ValueSlot& slot) {
  ValueSlot* s = SlotFor(entry, field);
  if (s == nullptr || SameSlot(*s, slot)) return false;
  Journal(entry, field, *s, !SameFixedParts(*s, slot));
  *s = slot;
  Entry(entry).ReadGrosze(static_cast<std::size_t>(field));
  return true;
}

void Settlement::ForgetLevels() {
  for (const JournalRecord& r : journal_) {
    if (Has(r.entry)) Entry(r.entry).listing_.journalLevel[static_cast<std::size_t>(r.field)] = 0;
  }
  level_ = 1;
}

void Settlement::CloseEdit() {
  ForgetLevels();
  journal_.clear();
}

std::vector<JournalRecord> Settlement::TakeJournal() {
  if (journal_.empty()) {
    // Nothing to hand over: the room stays for the next edit.
    level_ = 1;
    return {};
  }
  ForgetLevels();
  std::vector<JournalRecord> taken;
  taken.swap(journal_);
  // The next edit is most likely as large as this one: room for it now
  // instead of moving its records at each growth.
  journal_.reserve(taken.size());
  return taken;
}

Settlement::Trial::Trial(Settlement& s) : s_(s), start_(s.journal_.size()), outer_(s.level_) { s.level_ = outer_ + 1; }

void Settlement::Trial::RollBack() {
  if (!open_) return;
  open_ = false;
  std::vector<JournalRecord>& j = s_.journal_;
  const std::size_t start = std::min(start_, j.size());
  for (std::size_t i = j.size(); i-- > start;) {
    JournalRecord& r = j[i];
    if (!s_.Has(r.entry)) continue;
    FormEntry& e = s_.Entry(r.entry);
    const auto k = static_cast<std::size_t>(r.field);
    if (r.whole) {
      e.slots_[k] = std::move(*r.whole);
    } else {
      r.before.Into(e.slots_[k]);
    }
    e.ValuesChanged();
    e.ReadGrosze(k);
    e.listing_.journalLevel[k] = r.outerLevel;
  }
  j.resize(start);
  s_.level_ = outer_;
}

Settlement::Trial::~Trial() {
  if (!open_) return;
  // The writes stay: each slot's value from before the trial is kept once,
  // by the edit around it.
  std::vector<JournalRecord>& j = s_.journal_;
  std::size_t kept = std::min(start_, j.size());
  for (std::size_t i = kept; i < j.size(); ++i) {
    JournalRecord& r = j[i];
    if (s_.Has(r.entry)) s_.Entry(r.entry).listing_.journalLevel[static_cast<std::size_t>(r.field)] = outer_;
    if (r.outerLevel == outer_) {
      // The edit around has it already, but perhaps with its values only.
      if (r.whole) s_.KeepWhole(r.entry, r.field, *r.whole, start_);
      continue;
    }
    if (kept != i) j[kept] = std::move(r);
    ++kept;
  }
  j.resize(kept);
  s_.level_ = outer_;
}

void Settlement::Open() {
  Restructured();
  entries_.clear();
  tree_.clear();
  open_ = true;
}

void Settlement::Clear() {
  Restructured();
  entries_.clear();
  tree_.clear();
  open_ = false;
  Current = CurrentEntryState{};
}

int Settlement::AddEntry(int idPit, int idParent, int pm, int kind) {
  if (idParent < 0) return -1;
  if (!open_) Open();
  auto e = std::make_unique<FormEntry>();
  e->Id = Count() + 1;
  e->IdPit = idPit;
  e->IdParent = idParent;
  e->PM = pm;
  e->Kind = kind;
  e->SlotsLoaded = false;
  e->ReturnGuid = (idParent != 0 && Has(idParent)) ? Entry(idParent).ReturnGuid : NewGuidText();
  e->listing_.listed = true;
  e->ReadAllGrosze();
  entries_.push_back(std::move(e));
  return Count();
}

int Settlement::AddEntry(int idPit, int idParent, int pm, int kind, const std::array<ValueSlot, kSlotCount>& slots,
                         bool loaded) {
  const int n = AddEntry(idPit, idParent, pm, kind);
  if (n < 0) return n;
  // Appended entries are where they start: no edit of one already there.
  Entry(n).slots_ = slots;
  Entry(n).ReadAllGrosze();
  Entry(n).SlotsLoaded = loaded;
  return n;
}

void Settlement::AppendLoaded(std::unique_ptr<FormEntry> e) {
  if (!open_) Open();
  e->listing_.journalLevel.fill(0);
  e->listing_.listed = true;
  e->ReadAllGrosze();
  entries_.push_back(std::move(e));
}

std::array<ValueSlot, kSlotCount>& FormEntry::Unlisted() {
  if (listing_.listed) throw std::logic_error("the values of an entry in a settlement change through the settlement");
  ValuesChanged();
  return slots_;
}

namespace {

// The grosze of an amount text of at most two decimals; 13 whole digits at
// most (the grammar's limit) keep it within 64 bits.
std::optional<std::int64_t> GroszeOfText(std::string_view text) {
  if (text.empty()) return 0;
  const std::optional<AmountParts> a = ScanAmount(text);
  if (!a || a->fraction.size() > 2) return std::nullopt;
  std::int64_t g = 0;
  for (char c : a->whole) g = g * 10 + (c - '0');
  for (std::size_t i = 0; i < 2; ++i) g = g * 10 + (i < a->fraction.size() ? a->fraction[i] - '0' : 0);
  return a->negative ? -g : g;
}

}  // namespace

void FormEntry::ReadGrosze(std::size_t k) {
  const std::optional<std::int64_t> g = GroszeOfText(slots_[k].Value);
  listing_.hasGrosze[k] = g.has_value();
  listing_.grosze[k] = g.value_or(0);
}

void FormEntry::ReadAllGrosze() {
  ValuesChanged();
  for (std::size_t k = 0; k < kSlotCount; ++k) ReadGrosze(k);
}

std::optional<std::int64_t> FormEntry::Grosze(int k) const {
  if (k < 0 || k >= kSlotCount) return std::nullopt;
  const auto i = static_cast<std::size_t>(k);
  // Out of a settlement the slots may have been filled without a write.
  if (!listing_.listed) return GroszeOfText(slots_[i].Value);
  if (!listing_.hasGrosze[i]) return std::nullopt;
  return listing_.grosze[i];
}

void Settlement::RemoveEntry(int idPit, int idParent, int pm) {
  const int n = FindEntry(idPit, idParent, pm);
  if (n > 0) RemoveAt(n);
}

void Settlement::RemoveAt(int number) {
  if (!Has(number)) return;
  Restructured();
  entries_.erase(entries_.begin() + (number - 1));
}

int Settlement::FindEntry(int idPit, int idParent, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    const FormEntry& e = Entry(i);
    if (e.IdPit == idPit && e.IdParent == idParent && e.PM == pm) return i;
  }
  return -1;
}

int Settlement::FindFirstOfType(int idPit) const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit) return i;
  }
  return -1;
}

int Settlement::FindByTypeAndParent(int idPit, int idParent) const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit && Entry(i).IdParent == idParent) return i;
  }
  return -1;
}

int Settlement::FindByTypeAndPerson(int idPit, int pm) const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit && Entry(i).PM == pm) return i;
  }
  return -1;
}

int Settlement::CountByTypeAndParent(int idPit, int idParent, int pm) const {
  int n = 0;
  for (int i = 1; i <= Count(); ++i) {
    const FormEntry& e = Entry(i);
    if (e.IdPit == idPit && e.IdParent == idParent && (pm == -1 || e.PM == pm)) ++n;
  }
  return n;
}

int Settlement::CountInReturn(int idPit, const std::string& guid) const {
  int n = 0;
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdPit == idPit && Entry(i).ReturnGuid == guid) ++n;
  }
  return n;
}

int Settlement::FirstAttachment() const {
  for (int i = 1; i <= Count(); ++i) {
    if (Entry(i).IdParent > 0) return i;
  }
  return Count() > 0 ? 1 : 0;
}

void FillSlotsFromDefinition(FormEntry& e, const std::vector<FieldObject>& records) {
  const std::size_t n = std::min<std::size_t>(records.size(), kSlotCount);
  if (n == 0) return;
  e.SlotsLoaded = true;
  for (std::size_t k = 0; k < n; ++k) {
    const FieldObject& r = records[k];
    ValueSlot& s = e.slots_[k];
    s.Option = r.Option;
    s.Typ = r.Typ;
    s.Name = FitWidth(r.Name, slotw::Name);
    s.Page = r.Page;
    s.ID = r.ID;
    s.XMLNode = FitWidth(r.XMLNode, slotw::XMLNode);
    s.FormNo = e.IdPit;
    s.SetValue(r.DefValue);
    s.CheckValue = FitWidth(r.CheckValue(), slotw::CheckValue);
    s.CheckState = r.Option != 0;
    if (e.IsAttachment()) s.Spare = "0";
  }
  e.ReadAllGrosze();
}

std::string Settlement::NodeText(int number) const {
  const FormEntry& e = Entry(number);
  std::string t = catalogue_[e.IdPit].Code;
  if (e.IdParent != 0) {
    if (e.PM == kPmTaxpayer) t += " (P)";
    if (e.PM == kPmSpouse) t += " (M)";
  }
  return t;
}

namespace {

bool NodeLess(const TreeNode& a, const TreeNode& b) {
  // The tree view sorts case-insensitively.
  return UpperPl(a.Text) < UpperPl(b.Text);
}

void SortLevel(std::vector<TreeNode>& level) {
  std::stable_sort(level.begin(), level.end(), NodeLess);
  for (TreeNode& n : level) SortLevel(n.Children);
}

TreeNode* FindNode(std::vector<TreeNode>& level, int entry) {
  for (TreeNode& n : level) {
    if (n.Entry == entry) return &n;
    if (TreeNode* c = FindNode(n.Children, entry)) return c;
  }
  return nullptr;
}

void Walk(const std::vector<TreeNode>& level, std::vector<int>& out) {
  for (const TreeNode& n : level) {
    out.push_back(n.Entry);
    Walk(n.Children, out);
  }
}

}  // namespace

void Settlement::RebuildTree(DefinitionLibrary& defs) {
  tree_.clear();
  std::vector<bool> isParent(static_cast<std::size_t>(Count()) + 1, false);
  for (int i = 1; i <= Count(); ++i) {
    FormEntry& e = Entry(i);
    e.Id = i;
    if (e.IdPit <= 0 || e.IdPit > kFormTypeCount) continue;
    TreeNode node;
    node.Entry = i;
    node.Text = NodeText(i);
    node.Bold = e.IdParent == 0;
    node.Image = e.PM;
    node.SelectedImage = e.PM + 3;
    if (e.IdParent == 0) {
      tree_.push_back(std::move(node));
    } else {
      TreeNode* parent = FindNode(tree_, e.IdParent);
      if (parent) {
        parent->Children.push_back(std::move(node));
        if (e.IdParent <= Count()) isParent[static_cast<std::size_t>(e.IdParent)] = true;
      } else {
        // An attachment whose main form has no node still gets shown, at the top.
        tree_.push_back(std::move(node));
      }
    }
    if (!e.SlotsLoaded) {
      if (const std::vector<FieldObject>* recs = defs.Fields(e.IdPit)) FillSlotsFromDefinition(e, *recs);
    }
  }
  SortLevel(tree_);
  std::vector<int> order;
  Walk(tree_, order);
  for (int n : order) {
    if (TreeNode* node = FindNode(tree_, n)) node->Expanded = isParent[static_cast<std::size_t>(n)];
  }
}

std::vector<int> Settlement::TreeOrder() const {
  std::vector<int> out;
  Walk(tree_, out);
  return out;
}

int Settlement::AddCopy(int number, DefinitionLibrary& defs) {
  if (!Has(number) || Entry(number).Id <= 0) return -1;
  const FormEntry& src = Entry(number);
  auto e = std::make_unique<FormEntry>();
  e->Id = Count() + 1;
  e->IdPit = src.IdPit;
  e->IdParent = src.IdParent;
  e->PM = src.PM;
  e->Kind = src.Kind;
  e->ReturnGuid = src.ReturnGuid;
  e->listing_.listed = true;
  e->ReadAllGrosze();
  entries_.push_back(std::move(e));
  RebuildTree(defs);
  DocumentModified = true;
  return Count();
}

void Settlement::StampEntries() {
  for (int i = 1; i <= Count(); ++i) {
    FormEntry& e = Entry(i);
    e.TaxYear = 2014;
    e.Kind = Kind;
    e.TaxpayerIdKind = TaxpayerIdKind;
    e.SpouseIdKind = SpouseIdKind;
    e.SpouseDataFlag = SpouseData.Get(e.IdPit) ? 1 : 0;
  }
}

void Settlement::TakeStateFrom(const FormEntry& e) {
  Kind = e.Kind;
  TaxpayerIdKind = e.TaxpayerIdKind;
  SpouseIdKind = e.SpouseIdKind;
  if (bool* f = SpouseData.For(e.IdPit)) *f = (e.SpouseDataFlag & 0xFF) != 0;
}

}  // namespace pit
