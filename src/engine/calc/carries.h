#pragma once
// What each attachment carries into its returns: one table per attachment,
// used both by the attachment's calculation (copying, then recalculating
// the return) and by ClearAttachmentTransfers (zeroing when the attachment
// is removed), so the two can never disagree.
#include <vector>

#include "calc/context.h"

namespace pit {

// How a return field is filled from the attachment.
enum class CarryRule {
  Value,      // the value as below
  IfNotZero,  // the value when it is not zero; otherwise the field keeps its own
  Zero,       // zero
  OnRemoval,  // not filled, only reset when the attachment is removed
};

// One return field filled from the attachment. The value copied is `part`
// when it or `otherColumn` is not zero, else `total` (PIT/D's person
// columns); a plain copy names the same field three times.
struct CarryField {
  int into;
  int part, otherColumn, total;
  CarryRule rule = CarryRule::Value;
  static constexpr CarryField Copy(int into, int from) { return {into, from, from, from}; }
  static constexpr CarryField IfNotZero(int into, int from) {
    return {into, from, from, from, CarryRule::IfNotZero};
  }
  static constexpr CarryField Zero(int into) { return {into, 0, 0, 0, CarryRule::Zero}; }
  static constexpr CarryField OnRemoval(int into) { return {into, 0, 0, 0, CarryRule::OnRemoval}; }
};

// The person code of the attachment itself, for `AttachmentCarry::pm`.
constexpr int kAttachmentsPerson = -2;

// Which attachments a carry is made for, by their person code.
enum class CarryPerson { Any, NotSpouse, Spouse };

struct AttachmentCarry {
  int returnType;
  // Into the attachment's own parent only, when it is of `returnType` and
  // is also the settlement's first such return of person `pm`; otherwise
  // into that first return, whatever the attachment's parent.
  bool parentOnly;
  int pm;  // or kAttachmentsPerson
  CarryPerson forPerson;
  std::vector<CarryField> fields;
  // Removing the attachment resets these fields in the parent when it is of
  // `returnType`, and in the first return of `returnType` when the parent is
  // of one of these types.
  std::vector<int> alsoResetUnder = {};
  // The carry is made only while this tick box of the return is ticked (0:
  // always); removing the attachment resets its fields whatever the box.
  int whenTicked = 0;
  // The fields hold the total of the person's copies of the attachment:
  // removing one copy while another of the same person is left resets
  // nothing.
  bool totalOfCopies = false;
};

// The carries of an attachment type in the order they are made; empty for
// types that carry nothing.
const std::vector<AttachmentCarry>& CarriesOf(int attachmentType);

// The carries of entry `entry` (an attachment) made: each return found gets
// its fields and is recalculated.
void CarryIntoReturns(CalcContext& ctx, int entry);

// The carries of attachment type `attachmentType` for person `pm` made from
// entry `from` into return entry `ret`, each while the return's box allows
// it; `from` 0 carries zero amounts. The return is not recalculated: for
// the attachments whose returns are recalculated their own way (PIT/B,
// PIT/Z) and for a return taking what its attachments carry.
void CarryInto(CalcContext& ctx, int attachmentType, int pm, int from, int ret);

// What the attachment `removedEntry` carried, set to "0,00" again: in its
// parent, and in the other returns its table names. An attachment under a
// parent it carries nothing into resets nothing.
void ClearAttachmentTransfers(Settlement& s, int removedEntry);

}  // namespace pit
