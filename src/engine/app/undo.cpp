#include "app/undo.h"

#include <algorithm>
#include <tuple>

namespace pit {

bool SameSlot(const ValueSlot& a, const ValueSlot& b) {
  return std::tie(a.Option, a.Typ, a.Name, a.FormNo, a.Page, a.ID, a.Value, a.Spare, a.OfficeCode, a.CheckValue,
                  a.CheckState, a.XMLNode) == std::tie(b.Option, b.Typ, b.Name, b.FormNo, b.Page, b.ID, b.Value,
                                                       b.Spare, b.OfficeCode, b.CheckValue, b.CheckState, b.XMLNode);
}

namespace {

auto Fields(const IdentificationRecord& r) {
  return std::tie(r.NIP, r.TaxOffice, r.TaxOfficeCode, r.Surname, r.FirstName, r.BirthDate, r.PESEL, r.Voivodeship,
                  r.County, r.Country, r.Commune, r.Street, r.HouseNo, r.FlatNo, r.Town, r.PostalCode, r.PostOffice);
}
auto Fields(const PayerFormFields& r) { return std::tie(r.VariantA, r.VariantB, r.VariantAText, r.VariantBText); }
auto Fields(const PayerRecord& r) {
  return std::tie(r.NIP, r.PayerName1, r.PayerName2, r.PayerName3, r.PayerName4, r.PayerName5);
}

}  // namespace

bool SameIdentification(const IdentificationRecords& a, const IdentificationRecords& b) {
  return Fields(a.Taxpayer) == Fields(b.Taxpayer) && Fields(a.Spouse) == Fields(b.Spouse) &&
         Fields(a.PayerForm) == Fields(b.PayerForm) && Fields(a.Payer) == Fields(b.Payer);
}

void CommitHistory::Snapshot(const Settlement& s, const IdentificationRecords& ids) {
  structure_ = s.Structure();
  known_.clear();
  known_.reserve(static_cast<std::size_t>(s.Count()));
  for (int i = 1; i <= s.Count(); ++i) known_.push_back(s.Entry(i).Slots);
  knownIds_ = ids;
}

const std::vector<CutAmount>& CommitHistory::Cuts() const {
  static const std::vector<CutAmount> kNone;
  return done_ > 0 ? steps_[done_ - 1].cuts : kNone;
}

void CommitHistory::SetCuts(std::vector<CutAmount> cuts) {
  if (done_ > 0) steps_[done_ - 1].cuts = std::move(cuts);
}

void CommitHistory::Reset(const Settlement& s, const IdentificationRecords& ids) {
  steps_.clear();
  done_ = 0;
  saved_.reset();
  if (!s.DocumentModified) saved_ = 0;
  Snapshot(s, ids);
  Tell();
}

std::vector<SlotChange> CommitHistory::Differences(const Settlement& s) const {
  std::vector<SlotChange> diff;
  const int count = std::min(s.Count(), static_cast<int>(known_.size()));
  for (int e = 1; e <= count; ++e) {
    const Slots& was = known_[static_cast<std::size_t>(e - 1)];
    const Slots& now = s.Entry(e).Slots;
    for (int f = 0; f < kSlotCount; ++f) {
      const auto k = static_cast<std::size_t>(f);
      if (!SameSlot(was[k], now[k])) diff.push_back(SlotChange{e, f, was[k], now[k]});
    }
  }
  return diff;
}

void CommitHistory::TakeIn(const Settlement& s, const std::vector<SlotChange>& diff,
                           const IdentificationRecords& ids) {
  for (const SlotChange& c : diff) {
    if (s.Has(c.entry)) known_[static_cast<std::size_t>(c.entry - 1)][static_cast<std::size_t>(c.field)] = c.after;
  }
  knownIds_ = ids;
}

void CommitHistory::Joined(const std::vector<SlotChange>& diff, const IdentificationRecords& ids) {
  if (done_ == 0) return;  // nothing done yet: the history starts from here
  CommitStep& step = steps_[done_ - 1];
  for (const SlotChange& d : diff) {
    auto same = std::find_if(step.changes.begin(), step.changes.end(),
                             [&](const SlotChange& c) { return c.entry == d.entry && c.field == d.field; });
    if (same == step.changes.end()) {
      step.changes.push_back(d);
    } else {
      same->after = d.after;
    }
  }
  step.idsAfter = ids;
}

void CommitHistory::Follow(const Settlement& s, const IdentificationRecords& ids) {
  if (s.Structure() != structure_ || static_cast<std::size_t>(s.Count()) < known_.size()) {
    // The entries the steps name by number are not those any more.
    const bool hadSteps = !steps_.empty();
    steps_.clear();
    done_ = 0;
    saved_.reset();
    if (!s.DocumentModified) saved_ = 0;
    Snapshot(s, ids);
    if (hadSteps) Tell();
    return;
  }
  // Entries appended since (a further copy of a form) start as they are.
  while (known_.size() < static_cast<std::size_t>(s.Count())) {
    known_.push_back(s.Entry(static_cast<int>(known_.size()) + 1).Slots);
  }
  const std::vector<SlotChange> diff = Differences(s);
  if (diff.empty() && SameIdentification(ids, knownIds_)) return;
  Joined(diff, ids);
  TakeIn(s, diff, ids);
}

const CommitStep* CommitHistory::Record(const Settlement& s, const IdentificationRecords& ids, int entry, int field,
                                        int page, bool edit) {
  std::vector<SlotChange> diff = Differences(s);
  if (!edit || diff.empty()) {
    Joined(diff, ids);
    TakeIn(s, diff, ids);
    return nullptr;
  }
  // A new edit after undoing: what was undone cannot be done again.
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  if (saved_ && *saved_ > done_) saved_.reset();
  CommitStep step;
  step.entry = entry;
  step.field = field;
  step.page = page;
  step.changes = std::move(diff);
  step.idsBefore = knownIds_;
  step.idsAfter = ids;
  steps_.push_back(std::move(step));
  ++done_;
  TakeIn(s, steps_.back().changes, ids);
  Tell();
  return &steps_.back();
}

const CommitStep* CommitHistory::RecordKindChange(const Settlement& s, const IdentificationRecords& ids, int entry,
                                                  int page, int kindBefore) {
  std::vector<SlotChange> diff = Differences(s);
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  if (saved_ && *saved_ > done_) saved_.reset();
  CommitStep step;
  step.entry = entry;
  step.page = page;
  step.changes = std::move(diff);
  step.idsBefore = knownIds_;
  step.idsAfter = ids;
  step.kindBefore = kindBefore;
  step.kindAfter = s.Kind;
  steps_.push_back(std::move(step));
  ++done_;
  TakeIn(s, steps_.back().changes, ids);
  Tell();
  return &steps_.back();
}

void CommitHistory::MarkSaved(const Settlement& s, const IdentificationRecords& ids) {
  Follow(s, ids);
  saved_ = done_;
}

void CommitHistory::Apply(Settlement& s, const CommitStep& step, bool forward) {
  for (const SlotChange& c : step.changes) {
    if (!s.Has(c.entry)) continue;
    const ValueSlot& v = forward ? c.after : c.before;
    s.Entry(c.entry).Slots[static_cast<std::size_t>(c.field)] = v;
    known_[static_cast<std::size_t>(c.entry - 1)][static_cast<std::size_t>(c.field)] = v;
  }
  knownIds_ = forward ? step.idsAfter : step.idsBefore;
  if (step.kindBefore >= 0) {
    s.Kind = forward ? step.kindAfter : step.kindBefore;
    for (int i = 1; i <= s.Count(); ++i) s.Entry(i).Kind = s.Kind;
  }
  s.DocumentModified = !(saved_ && *saved_ == done_);
}

const CommitStep* CommitHistory::Undo(Settlement& s, IdentificationRecords& ids) {
  Follow(s, ids);
  if (done_ == 0) return nullptr;
  const CommitStep& step = steps_[--done_];
  Apply(s, step, false);
  ids = knownIds_;
  Tell();
  return &step;
}

const CommitStep* CommitHistory::Redo(Settlement& s, IdentificationRecords& ids) {
  Follow(s, ids);
  if (done_ >= steps_.size()) return nullptr;
  const CommitStep& step = steps_[done_++];
  Apply(s, step, true);
  ids = knownIds_;
  Tell();
  return &step;
}

}  // namespace pit
