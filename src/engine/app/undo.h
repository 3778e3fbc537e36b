#pragma once
// The history of a settlement's commits, for "Cofnij" and "Ponów".
//
// One step is one commit as the user made it: the value given and
// everything the calculations changed with it, in every entry of the
// settlement, and the persons' data the forms share. What the calculations
// change later as a consequence (another form shown and calculated with the
// new amounts) joins the last step done, so that undoing a commit takes back
// all that followed from it. Steps name entries by their numbers: a
// settlement whose list of entries is made anew or cut (a new one, another
// file, a change of its forms) starts a new history.
//
// The saved state is a place in the history: undoing or redoing back to it
// makes the settlement unmodified again.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "app/settlement.h"
#include "calc/identification.h"

namespace pit {

// A slot's values as a step keeps them; the texts are the step's.
struct StepValues {
  std::string_view Value;
  std::string_view Spare;
  std::string_view OfficeCode;
  int Option = 0;
  bool CheckState = false;
};

// One slot a step changed, read from the step: valid while the step is.
struct SlotChange {
  int entry = 0;
  int field = 0;
  StepValues before;
  StepValues after;
};

// The slots a step changed. A long history holds one of these for every
// commit, each of about a dozen slots: a slot is kept as its values, the
// step's texts in one string, and as two whole slots only where more than
// its values changed (a whole slot written with another name or XML node).
class StepChanges {
 public:
  std::size_t size() const { return stored_.size(); }
  bool empty() const { return stored_.empty(); }
  SlotChange operator[](std::size_t i) const;
  // The whole slot before or after change i, when it keeps them; else null.
  const ValueSlot* Whole(std::size_t i, bool after) const;

  class const_iterator {
   public:
    const_iterator(const StepChanges* c, std::size_t i) : c_(c), i_(i) {}
    SlotChange operator*() const { return (*c_)[i_]; }
    const_iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

   private:
    const StepChanges* c_;
    std::size_t i_;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, stored_.size()}; }

  // A slot that held `before` (its whole slot `wholeBefore` when more than
  // its values changed) and holds `now`.
  void Add(int entry, int field, const SlotValues& before, const ValueSlot* wholeBefore, const ValueSlot& now);
  void Add(int entry, int field, const ValueSlot& before, const ValueSlot& now);
  // In entry and field order.
  void Sort();
  // What changed later: a slot changed here too keeps its value before
  // this step and takes the later one after it; the others join at the end.
  void Join(const StepChanges& later);
  // Empty, its room kept.
  void Clear();

 private:
  struct Side {
    std::int32_t option = 0;
    std::uint32_t at = 0;                 // Value, Spare and OfficeCode one after another in texts_
    std::array<std::uint8_t, 3> size{};  // their lengths
    bool check = false;
  };
  struct Stored {
    std::int32_t entry = 0;
    std::int32_t field = 0;
    std::int32_t whole = -1;  // where its whole slots start in wholes_; -1: it keeps the sides
    Side before, after;
  };
  template <class Values>
  Side Put(const Values& v);
  StepValues Read(const Side& side) const;
  void AddWhole(Stored& st, const ValueSlot& before, const ValueSlot& after);

  std::vector<Stored> stored_;
  std::string texts_;
  std::vector<ValueSlot> wholes_;  // before and after, by pairs
};

// An amount the user gave that a calculation cut, as the list under the
// reduction notice names it.
struct CutAmount {
  int entry = 0;
  int field = 0;
  std::string line;   // e.g. "poz. 99: 7 175,40 → 0,00"
  std::string after;  // what it was cut to: another value there means it was given again
};

struct CommitStep {
  int entry = 0;   // where the value was given
  int field = -1;
  int page = 0;    // the page it was given on
  StepChanges changes;
  // The persons' data before and after, when the step changed them (most
  // steps do not: they carry none).
  struct Ids {
    IdentificationRecords before, after;
  };
  std::shared_ptr<Ids> ids;
  // A change of the settlement kind (the method of taxation) made with the
  // step; -1 when the step keeps the kind.
  int kindBefore = -1;
  int kindAfter = -1;
  // The cut amounts still listed once this step is done: undoing back to
  // it, or doing it again, lists them again.
  std::vector<CutAmount> cuts;
};

// The history reads what changed from the settlement's journal: every write
// of a value goes through the settlement, which keeps the value each slot
// had before the open edit. Closing the edit hands the journal over.
class CommitHistory {
 public:
  // Forgets every step. The settlement as it is now is where the history
  // starts, and the saved state unless it is modified.
  void Reset(Settlement& s, const IdentificationRecords& ids);
  // Takes in what changed since the history last looked: changes of values
  // join the last step done; a list of entries made anew or cut starts a
  // new history.
  void Follow(Settlement& s, const IdentificationRecords& ids);
  // After a commit whose rules changed a value (`edit`): what it changed is
  // a new step, and the steps undone before it are gone. Without `edit`
  // what the calculation changed joins the last step done. Returns the new
  // step, or nullptr.
  const CommitStep* Record(Settlement& s, const IdentificationRecords& ids, int entry, int field, int page,
                           bool edit);
  // After a commit whose calculation failed and took its writes back: what
  // the user gave stays in the settlement but makes no step of its own. It
  // is held until the next step recorded, which takes it in (so undoing
  // that step takes back both); undo and redo before then leave it where it
  // is.
  void Hold(Settlement& s, const IdentificationRecords& ids);
  // After the settlement's kind was changed from `kindBefore` and every
  // entry calculated again (the history having followed the settlement just
  // before): one step that puts back the kind with the values.
  const CommitStep* RecordKindChange(Settlement& s, const IdentificationRecords& ids, int entry, int page,
                                     int kindBefore);
  // The settlement as it is now was saved.
  void MarkSaved(Settlement& s, const IdentificationRecords& ids);

  // The persons' data as the history last saw them.
  const IdentificationRecords& KnownIds() const { return knownIds_; }

  // The cut amounts listed after the last step done (none before the first).
  const std::vector<CutAmount>& Cuts() const;
  void SetCuts(std::vector<CutAmount> cuts);

  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  // Puts back the values before (after) the last step done (undone) and
  // sets the modified state; the step, or nullptr when there is none.
  const CommitStep* Undo(Settlement& s, IdentificationRecords& ids);
  const CommitStep* Redo(Settlement& s, IdentificationRecords& ids);

  // Called after every change of what can be undone or redone.
  void SetListener(std::function<void()> f) { listener_ = std::move(f); }

 private:
  // A slot the user gave a value for in a commit that made no step.
  struct Held {
    int entry = 0;
    int field = 0;
    ValueSlot before;
  };
  // What the journal says changed in the entries the history knows, in
  // entry and field order, into `pending_`; the slots held are left out.
  // The open edit is closed.
  void Changes(Settlement& s);
  bool IsHeld(int entry, int field) const;
  // The slots held, as changes added to `pending_`, taken out of the hold.
  void Unhold(const Settlement& s);
  // `pending_` and the persons' data join the last step done.
  void Join(const IdentificationRecords& ids);
  void Start(Settlement& s, const IdentificationRecords& ids);
  // A step of `pending_` and the slots held.
  CommitStep& NewStep(Settlement& s, const IdentificationRecords& ids);
  void Apply(Settlement& s, IdentificationRecords& ids, const CommitStep& step, bool forward);
  void Tell() const {
    if (listener_) listener_();
  }

  // A deque: a history of many steps grows without moving those it has.
  std::deque<CommitStep> steps_;
  std::size_t done_ = 0;
  std::optional<std::size_t> saved_;  // done_ at the saved state; none when no step leads there
  // The list of entries as the history last saw it, and the persons' data.
  std::uint64_t structure_ = 0;
  int knownCount_ = 0;
  IdentificationRecords knownIds_;
  std::vector<Held> held_;
  // The changes read last, and the journal's records in their order: kept
  // between commits for their room.
  StepChanges pending_;
  std::vector<std::pair<std::tuple<int, int>, std::size_t>> places_;
  // The persons' data before the commit held, when it changed them.
  std::optional<IdentificationRecords> heldIds_;
  std::function<void()> listener_;
};

bool SameIdentification(const IdentificationRecords& a, const IdentificationRecords& b);

}  // namespace pit
