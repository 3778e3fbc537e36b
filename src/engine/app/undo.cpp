#include "app/undo.h"

#include <algorithm>
#include <tuple>

namespace pit {

namespace {

auto Fields(const IdentificationRecord& r) {
  return std::tie(r.NIP, r.TaxOffice, r.TaxOfficeCode, r.Surname, r.FirstName, r.BirthDate, r.PESEL, r.Voivodeship,
                  r.County, r.Country, r.Commune, r.Street, r.HouseNo, r.FlatNo, r.Town, r.PostalCode, r.PostOffice);
}
auto Fields(const PayerFormFields& r) { return std::tie(r.VariantA, r.VariantB, r.VariantAText, r.VariantBText); }
auto Fields(const PayerRecord& r) {
  return std::tie(r.NIP, r.PayerName1, r.PayerName2, r.PayerName3, r.PayerName4, r.PayerName5);
}

bool SlotOrder(const SlotChange& a, const SlotChange& b) {
  return std::tie(a.entry, a.field) < std::tie(b.entry, b.field);
}

const ValueSlot& SlotNow(const Settlement& s, int entry, int field) {
  return s.Entry(entry).Slots()[static_cast<std::size_t>(field)];
}

}  // namespace

bool SameIdentification(const IdentificationRecords& a, const IdentificationRecords& b) {
  return Fields(a.Taxpayer) == Fields(b.Taxpayer) && Fields(a.Spouse) == Fields(b.Spouse) &&
         Fields(a.PayerForm) == Fields(b.PayerForm) && Fields(a.Payer) == Fields(b.Payer);
}

const std::vector<CutAmount>& CommitHistory::Cuts() const {
  static const std::vector<CutAmount> kNone;
  return done_ > 0 ? steps_[done_ - 1].cuts : kNone;
}

void CommitHistory::SetCuts(std::vector<CutAmount> cuts) {
  if (done_ > 0) steps_[done_ - 1].cuts = std::move(cuts);
}

void CommitHistory::Start(Settlement& s, const IdentificationRecords& ids) {
  structure_ = s.Structure();
  knownCount_ = s.Count();
  s.TakeJournal();
  knownIds_ = ids;
  held_.clear();
  heldIds_.reset();
}

void CommitHistory::Reset(Settlement& s, const IdentificationRecords& ids) {
  steps_.clear();
  done_ = 0;
  saved_.reset();
  if (!s.DocumentModified) saved_ = 0;
  Start(s, ids);
  Tell();
}

bool CommitHistory::IsHeld(int entry, int field) const {
  return std::any_of(held_.begin(), held_.end(), [&](const Held& h) { return h.entry == entry && h.field == field; });
}

std::vector<SlotChange> CommitHistory::Changes(Settlement& s) const {
  std::vector<JournalRecord> journal = s.TakeJournal();
  // The journal is in the order the slots first changed; steps list them by
  // entry and field. Only the places are sorted, the slots are moved once.
  struct Place {
    int entry, field;
    std::size_t at;
  };
  std::vector<Place> places;
  places.reserve(journal.size());
  for (std::size_t i = 0; i < journal.size(); ++i) {
    const JournalRecord& r = journal[i];
    // Entries appended since the history last looked start as they are then.
    if (r.entry > knownCount_ || !s.Has(r.entry) || IsHeld(r.entry, r.field)) continue;
    if (SameSlot(r.before, SlotNow(s, r.entry, r.field))) continue;  // changed and changed back
    places.push_back(Place{r.entry, r.field, i});
  }
  std::sort(places.begin(), places.end(),
            [](const Place& a, const Place& b) { return std::tie(a.entry, a.field) < std::tie(b.entry, b.field); });
  std::vector<SlotChange> changes;
  changes.reserve(places.size());
  for (const Place& p : places) {
    changes.push_back(SlotChange{p.entry, p.field, std::move(journal[p.at].before), SlotNow(s, p.entry, p.field)});
  }
  return changes;
}

std::vector<SlotChange> CommitHistory::Unhold(const Settlement& s) {
  std::vector<SlotChange> changes;
  for (Held& h : held_) {
    if (!s.Has(h.entry)) continue;
    const ValueSlot& now = SlotNow(s, h.entry, h.field);
    if (!SameSlot(h.before, now)) changes.push_back(SlotChange{h.entry, h.field, std::move(h.before), now});
  }
  held_.clear();
  return changes;
}

void CommitHistory::Join(std::vector<SlotChange> changes, const IdentificationRecords& ids) {
  const bool idsMoved = !SameIdentification(ids, knownIds_);
  if (done_ > 0) {
    CommitStep& step = steps_[done_ - 1];
    for (SlotChange& d : changes) {
      auto same = std::find_if(step.changes.begin(), step.changes.end(),
                               [&](const SlotChange& c) { return c.entry == d.entry && c.field == d.field; });
      if (same == step.changes.end()) {
        step.changes.push_back(std::move(d));
      } else {
        same->after = std::move(d.after);
      }
    }
    if (idsMoved) {
      if (!step.ids) step.ids = std::make_shared<CommitStep::Ids>(CommitStep::Ids{knownIds_, ids});
      step.ids->after = ids;
    }
  }
  // Nothing done yet: the history starts from here.
  if (idsMoved) knownIds_ = ids;
}

void CommitHistory::Follow(Settlement& s, const IdentificationRecords& ids) {
  if (s.Structure() != structure_ || s.Count() < knownCount_) {
    // The entries the steps name by number are not those any more.
    const bool hadSteps = !steps_.empty();
    steps_.clear();
    done_ = 0;
    saved_.reset();
    if (!s.DocumentModified) saved_ = 0;
    Start(s, ids);
    if (hadSteps) Tell();
    return;
  }
  std::vector<SlotChange> changes = Changes(s);
  knownCount_ = s.Count();
  if (changes.empty() && SameIdentification(ids, knownIds_)) return;
  Join(std::move(changes), ids);
}

CommitStep& CommitHistory::NewStep(Settlement& s, const IdentificationRecords& ids, std::vector<SlotChange> changes) {
  // What was given in a commit that made no step comes with this one.
  std::vector<SlotChange> held = Unhold(s);
  if (!held.empty()) {
    changes.insert(changes.end(), std::make_move_iterator(held.begin()), std::make_move_iterator(held.end()));
    std::sort(changes.begin(), changes.end(), SlotOrder);
  }
  // A new edit after undoing: what was undone cannot be done again.
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  if (saved_ && *saved_ > done_) saved_.reset();
  CommitStep step;
  step.changes = std::move(changes);
  const IdentificationRecords& before = heldIds_ ? *heldIds_ : knownIds_;
  if (!SameIdentification(ids, before)) {
    step.ids = std::make_shared<CommitStep::Ids>(CommitStep::Ids{before, ids});
  }
  if (heldIds_ ? !SameIdentification(ids, knownIds_) : step.ids != nullptr) knownIds_ = ids;
  heldIds_.reset();
  steps_.push_back(std::move(step));
  ++done_;
  return steps_.back();
}

const CommitStep* CommitHistory::Record(Settlement& s, const IdentificationRecords& ids, int entry, int field,
                                        int page, bool edit) {
  std::vector<SlotChange> changes = Changes(s);
  if (!edit || (changes.empty() && held_.empty())) {
    Join(std::move(changes), ids);
    return nullptr;
  }
  CommitStep& step = NewStep(s, ids, std::move(changes));
  step.entry = entry;
  step.field = field;
  step.page = page;
  Tell();
  return &step;
}

void CommitHistory::Hold(Settlement& s, const IdentificationRecords& ids) {
  for (SlotChange& c : Changes(s)) held_.push_back(Held{c.entry, c.field, std::move(c.before)});
  if (!SameIdentification(ids, knownIds_)) {
    if (!heldIds_) heldIds_ = knownIds_;
    knownIds_ = ids;
  }
}

const CommitStep* CommitHistory::RecordKindChange(Settlement& s, const IdentificationRecords& ids, int entry,
                                                  int page, int kindBefore) {
  CommitStep& step = NewStep(s, ids, Changes(s));
  step.entry = entry;
  step.page = page;
  step.kindBefore = kindBefore;
  step.kindAfter = s.Kind;
  Tell();
  return &step;
}

void CommitHistory::MarkSaved(Settlement& s, const IdentificationRecords& ids) {
  Follow(s, ids);
  // What is held was saved with the rest: it goes with the last step done,
  // which leads to the saved state.
  if (!held_.empty() || heldIds_) {
    std::vector<SlotChange> held = Unhold(s);
    if (done_ > 0 && heldIds_) {
      CommitStep& step = steps_[done_ - 1];
      if (!step.ids) step.ids = std::make_shared<CommitStep::Ids>(CommitStep::Ids{*heldIds_, ids});
      step.ids->after = ids;
    }
    heldIds_.reset();
    Join(std::move(held), ids);
  }
  saved_ = done_;
}

void CommitHistory::Apply(Settlement& s, IdentificationRecords& ids, const CommitStep& step, bool forward) {
  for (const SlotChange& c : step.changes) {
    if (!s.Has(c.entry)) continue;
    const ValueSlot& v = forward ? c.after : c.before;
    // A value given since and held keeps its place; it now stands over this.
    auto held = std::find_if(held_.begin(), held_.end(),
                             [&](const Held& h) { return h.entry == c.entry && h.field == c.field; });
    if (held != held_.end()) {
      held->before = v;
    } else {
      s.WriteSlot(c.entry, c.field, v);
    }
  }
  // Putting back a step is no edit of its own.
  s.TakeJournal();
  if (step.ids) {
    const IdentificationRecords& v = forward ? step.ids->after : step.ids->before;
    if (heldIds_) {
      *heldIds_ = v;
    } else {
      knownIds_ = v;
      ids = v;
    }
  }
  if (step.kindBefore >= 0) {
    s.Kind = forward ? step.kindAfter : step.kindBefore;
    for (int i = 1; i <= s.Count(); ++i) s.Entry(i).Kind = s.Kind;
  }
  s.DocumentModified = !(saved_ && *saved_ == done_ && held_.empty() && !heldIds_);
}

const CommitStep* CommitHistory::Undo(Settlement& s, IdentificationRecords& ids) {
  Follow(s, ids);
  if (done_ == 0) return nullptr;
  const CommitStep& step = steps_[--done_];
  Apply(s, ids, step, false);
  Tell();
  return &step;
}

const CommitStep* CommitHistory::Redo(Settlement& s, IdentificationRecords& ids) {
  Follow(s, ids);
  if (done_ >= steps_.size()) return nullptr;
  const CommitStep& step = steps_[done_++];
  Apply(s, ids, step, true);
  Tell();
  return &step;
}

}  // namespace pit
