#include "app/undo.h"

#include <algorithm>
#include <cstring>
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

const ValueSlot& SlotNow(const Settlement& s, int entry, int field) {
  return s.Entry(entry).Slots()[static_cast<std::size_t>(field)];
}

// Whether a slot's values fit the few bytes a step keeps their lengths in;
// the texts an edit writes are cut to less.
template <class Values>
bool FitsSides(const Values& v) {
  return v.Value.size() < slotw::Value && v.Spare.size() < slotw::Spare && v.OfficeCode.size() < slotw::OfficeCode;
}

}  // namespace

static_assert(slotw::Value <= 256 && slotw::Spare <= 256 && slotw::OfficeCode <= 256,
              "a step keeps the lengths of a slot's texts in a byte each");

template <class Values>
StepChanges::Side StepChanges::Put(const Values& v) {
  Side side;
  side.option = v.Option;
  side.check = v.CheckState;
  const std::size_t at = texts_.size();
  side.at = static_cast<std::uint32_t>(at);
  side.size = {static_cast<std::uint8_t>(v.Value.size()), static_cast<std::uint8_t>(v.Spare.size()),
               static_cast<std::uint8_t>(v.OfficeCode.size())};
  // One growth for the three: this runs for every slot of every commit.
  texts_.resize(at + v.Value.size() + v.Spare.size() + v.OfficeCode.size());
  char* to = texts_.data() + at;
  for (const std::string_view text :
       {std::string_view(v.Value), std::string_view(v.Spare), std::string_view(v.OfficeCode)}) {
    if (text.empty()) continue;
    std::memcpy(to, text.data(), text.size());
    to += text.size();
  }
  return side;
}

StepValues StepChanges::Read(const Side& side) const {
  const char* from = texts_.data() + side.at;
  StepValues v;
  v.Value = std::string_view(from, side.size[0]);
  v.Spare = std::string_view(from + side.size[0], side.size[1]);
  v.OfficeCode = std::string_view(from + side.size[0] + side.size[1], side.size[2]);
  v.Option = side.option;
  v.CheckState = side.check;
  return v;
}

SlotChange StepChanges::operator[](std::size_t i) const {
  const Stored& st = stored_[i];
  SlotChange c;
  c.entry = st.entry;
  c.field = st.field;
  if (st.whole >= 0) {
    const auto view = [](const ValueSlot& s) {
      return StepValues{s.Value, s.Spare, s.OfficeCode, s.Option, s.CheckState};
    };
    c.before = view(wholes_[static_cast<std::size_t>(st.whole)]);
    c.after = view(wholes_[static_cast<std::size_t>(st.whole) + 1]);
  } else {
    c.before = Read(st.before);
    c.after = Read(st.after);
  }
  return c;
}

const ValueSlot* StepChanges::Whole(std::size_t i, bool after) const {
  const Stored& st = stored_[i];
  if (st.whole < 0) return nullptr;
  return &wholes_[static_cast<std::size_t>(st.whole) + (after ? 1 : 0)];
}

void StepChanges::AddWhole(Stored& st, const ValueSlot& before, const ValueSlot& after) {
  st.whole = static_cast<std::int32_t>(wholes_.size());
  wholes_.push_back(before);
  wholes_.push_back(after);
}

void StepChanges::Add(int entry, int field, const SlotValues& before, const ValueSlot* wholeBefore,
                      const ValueSlot& now) {
  Stored& st = stored_.emplace_back();
  st.entry = entry;
  st.field = field;
  if (wholeBefore != nullptr) {
    AddWhole(st, *wholeBefore, now);
  } else if (!FitsSides(before) || !FitsSides(now)) {
    ValueSlot was = now;
    before.Into(was);
    AddWhole(st, was, now);
  } else {
    st.before = Put(before);
    // A slot whose texts stay (a tick, an option) keeps them once.
    if (before.Value == now.Value && before.Spare == now.Spare && before.OfficeCode == now.OfficeCode) {
      st.after = st.before;
      st.after.option = now.Option;
      st.after.check = now.CheckState;
    } else {
      st.after = Put(now);
    }
  }
}

void StepChanges::Add(int entry, int field, const ValueSlot& before, const ValueSlot& now) {
  if (SameFixedParts(before, now)) {
    SlotValues v;
    v.TakeFrom(before);
    Add(entry, field, v, nullptr, now);
  } else {
    Add(entry, field, SlotValues{}, &before, now);
  }
}

void StepChanges::Sort() {
  std::sort(stored_.begin(), stored_.end(),
            [](const Stored& a, const Stored& b) { return std::tie(a.entry, a.field) < std::tie(b.entry, b.field); });
}

void StepChanges::Join(const StepChanges& later) {
  for (std::size_t i = 0; i < later.size(); ++i) {
    const Stored& l = later.stored_[i];
    auto same = std::find_if(stored_.begin(), stored_.end(),
                             [&](const Stored& st) { return st.entry == l.entry && st.field == l.field; });
    const SlotChange now = later[i];
    if (same == stored_.end()) {
      Stored& st = stored_.emplace_back();
      st.entry = l.entry;
      st.field = l.field;
      if (l.whole >= 0) {
        AddWhole(st, *later.Whole(i, false), *later.Whole(i, true));
      } else {
        st.before = Put(now.before);
        st.after = Put(now.after);
      }
    } else if (same->whole < 0 && l.whole < 0) {
      same->after = Put(now.after);
    } else {
      // Whole slots on either side: both ends whole. The parts besides the
      // values were the same through a step that kept only values.
      const auto here = static_cast<std::size_t>(same - stored_.begin());
      ValueSlot before = same->whole >= 0 ? *Whole(here, false) : *later.Whole(i, false);
      if (same->whole < 0) PutValues(Read(same->before), before);
      ValueSlot after = l.whole >= 0 ? *later.Whole(i, true) : *Whole(here, true);
      if (l.whole < 0) PutValues(now.after, after);
      AddWhole(*same, before, after);
    }
  }
}

void StepChanges::Clear() {
  stored_.clear();
  texts_.clear();
  wholes_.clear();
}

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
  s.CloseEdit();
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

void CommitHistory::Changes(Settlement& s) {
  pending_.Clear();
  const std::vector<JournalRecord>& journal = s.Journal();
  // The journal is in the order the slots first changed; steps list them by
  // entry and field.
  places_.clear();
  for (std::size_t i = 0; i < journal.size(); ++i) {
    const JournalRecord& r = journal[i];
    // Entries appended since the history last looked start as they are then.
    if (r.entry > knownCount_ || !s.Has(r.entry) || IsHeld(r.entry, r.field)) continue;
    const ValueSlot& now = SlotNow(s, r.entry, r.field);
    if (r.whole ? SameSlot(*r.whole, now) : r.before.In(now)) continue;  // changed and changed back
    places_.emplace_back(std::tuple{r.entry, r.field}, i);
  }
  std::sort(places_.begin(), places_.end());
  for (const auto& [place, at] : places_) {
    const JournalRecord& r = journal[at];
    pending_.Add(r.entry, r.field, r.before, r.whole.get(), SlotNow(s, r.entry, r.field));
  }
  s.CloseEdit();
}

void CommitHistory::Unhold(const Settlement& s) {
  bool added = false;
  for (Held& h : held_) {
    if (!s.Has(h.entry)) continue;
    const ValueSlot& now = SlotNow(s, h.entry, h.field);
    if (SameSlot(h.before, now)) continue;
    pending_.Add(h.entry, h.field, h.before, now);
    added = true;
  }
  held_.clear();
  if (added) pending_.Sort();
}

void CommitHistory::Join(const IdentificationRecords& ids) {
  const bool idsMoved = !SameIdentification(ids, knownIds_);
  if (done_ > 0) {
    CommitStep& step = steps_[done_ - 1];
    step.changes.Join(pending_);
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
  Changes(s);
  knownCount_ = s.Count();
  if (pending_.empty() && SameIdentification(ids, knownIds_)) return;
  Join(ids);
}

CommitStep& CommitHistory::NewStep(Settlement& s, const IdentificationRecords& ids) {
  // What was given in a commit that made no step comes with this one.
  Unhold(s);
  // A new edit after undoing: what was undone cannot be done again.
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  if (saved_ && *saved_ > done_) saved_.reset();
  CommitStep step;
  // A copy takes the room the changes need and no more.
  step.changes = pending_;
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
  Changes(s);
  if (!edit || (pending_.empty() && held_.empty())) {
    Join(ids);
    return nullptr;
  }
  CommitStep& step = NewStep(s, ids);
  step.entry = entry;
  step.field = field;
  step.page = page;
  Tell();
  return &step;
}

void CommitHistory::Hold(Settlement& s, const IdentificationRecords& ids) {
  Changes(s);
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    const SlotChange c = pending_[i];
    Held h{c.entry, c.field, SlotNow(s, c.entry, c.field)};
    if (const ValueSlot* whole = pending_.Whole(i, false)) {
      h.before = *whole;
    } else {
      PutValues(c.before, h.before);
    }
    held_.push_back(std::move(h));
  }
  if (!SameIdentification(ids, knownIds_)) {
    if (!heldIds_) heldIds_ = knownIds_;
    knownIds_ = ids;
  }
}

const CommitStep* CommitHistory::RecordKindChange(Settlement& s, const IdentificationRecords& ids, int entry,
                                                  int page, int kindBefore) {
  Changes(s);
  CommitStep& step = NewStep(s, ids);
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
    pending_.Clear();
    Unhold(s);
    if (done_ > 0 && heldIds_) {
      CommitStep& step = steps_[done_ - 1];
      if (!step.ids) step.ids = std::make_shared<CommitStep::Ids>(CommitStep::Ids{*heldIds_, ids});
      step.ids->after = ids;
    }
    heldIds_.reset();
    Join(ids);
  }
  saved_ = done_;
}

void CommitHistory::Apply(Settlement& s, IdentificationRecords& ids, const CommitStep& step, bool forward) {
  for (std::size_t i = 0; i < step.changes.size(); ++i) {
    const SlotChange c = step.changes[i];
    if (!s.Has(c.entry)) continue;
    const ValueSlot* whole = step.changes.Whole(i, forward);
    const StepValues& v = forward ? c.after : c.before;
    // A value given since and held keeps its place; it now stands over this.
    auto held = std::find_if(held_.begin(), held_.end(),
                             [&](const Held& h) { return h.entry == c.entry && h.field == c.field; });
    if (held != held_.end()) {
      if (whole != nullptr) {
        held->before = *whole;
      } else {
        PutValues(v, held->before);
      }
    } else if (whole != nullptr) {
      s.WriteSlot(c.entry, c.field, *whole);
    } else {
      s.Write(c.entry, c.field, v.Value);
      s.WriteSpare(c.entry, c.field, v.Spare);
      s.WriteOfficeCode(c.entry, c.field, v.OfficeCode);
      s.WriteOption(c.entry, c.field, v.Option);
      s.WriteCheck(c.entry, c.field, v.CheckState);
    }
  }
  // Putting back a step is no edit of its own.
  s.CloseEdit();
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
