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

}  // namespace pit
