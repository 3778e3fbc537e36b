#pragma once
// The checks a typed value passes before it is committed into a field of a
// settlement entry (see forms/field_checks.h); the address a postal code
// belongs to is looked up in the entry's identification fields.
#include <string>
#include <string_view>

#include "forms/field_object.h"

namespace pit {

class Settlement;

// Empty when `text` may be committed into field `field` (definition `def`)
// of entry `entry`; else what is wrong, in Polish.
std::string CommitProblem(const Settlement& s, int entry, int field, const FieldObject& def, std::string_view text);

struct IdentificationRecords;

// A warning when a commit made a person's birth date and PESEL disagree
// (either one just typed): the date is the user's and stays, so this is
// not a refusal. Empty when they agree, one is missing, or neither changed.
std::string BirthDateWarning(const IdentificationRecords& before, const IdentificationRecords& after);

}  // namespace pit
