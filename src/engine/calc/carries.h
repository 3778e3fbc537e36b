#pragma once
// What each attachment carries into its returns: one table per attachment,
// used both by the attachment's calculation (copying, then recalculating
// the return) and by ClearAttachmentTransfers (zeroing when the attachment
// is removed), so the two can never disagree.
#include <vector>

#include "calc/context.h"

namespace pit {

// One return field filled from the attachment. The value copied is `part`
// when it or `otherColumn` is not zero, else `total` (PIT/D's person
// columns); a plain copy names the same field three times.
struct CarryField {
  int into;
  int part, otherColumn, total;
  static constexpr CarryField Copy(int into, int from) { return {into, from, from, from}; }
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
};

// The carries of an attachment type in the order they are made; empty for
// types that carry nothing.
const std::vector<AttachmentCarry>& CarriesOf(int attachmentType);

// The carries of entry `entry` (an attachment) made: each return found gets
// its fields and is recalculated.
void CarryIntoReturns(CalcContext& ctx, int entry);

// What the attachment `removedEntry` carried, set to "0,00" again: in its
// parent, and in the other returns its table names. An attachment under a
// parent it carries nothing into resets nothing.
void ClearAttachmentTransfers(Settlement& s, int removedEntry);

}  // namespace pit
