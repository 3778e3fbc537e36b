#include "app/commit_checks.h"

#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/field_checks.h"

namespace pit {

std::string CommitProblem(const Settlement& s, int entry, int field, const FieldObject& def, std::string_view text) {
  const FieldRole role = RoleOf(def);
  if (role == FieldRole::None) return {};
  bool polish = true;
  if (role == FieldRole::PostalCode) {
    // An address abroad keeps its own form of postal code; one without a
    // country on this form is taken as Polish.
    const int country = AddressCountryFieldOf(s, entry, field);
    if (country >= 0 && country < kSlotCount) {
      const std::string& name = s.Entry(entry).Slots[static_cast<std::size_t>(country)].Value;
      polish = name.empty() || name == "POLSKA";
    }
  }
  return FieldValueProblem(role, text, polish);
}

}  // namespace pit
