#include "app/commit_checks.h"

#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/field_checks.h"
#include "forms/values.h"

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

std::string BirthDateWarning(const IdentificationRecords& before, const IdentificationRecords& after) {
  const auto check = [](const IdentificationRecord& was, const IdentificationRecord& is,
                        const std::string& whose) -> std::string {
    if (was.BirthDate == is.BirthDate && was.PESEL == is.PESEL) return {};
    const std::string fromPesel = PeselBirthDate(is.PESEL);
    if (fromPesel.empty() || DigitsOf(is.BirthDate).size() != 8) return {};
    if (DigitsOf(is.BirthDate) == DigitsOf(fromPesel)) return {};
    return "Data urodzenia " + whose + MaskDate(is.BirthDate) + " nie zgadza się z numerem PESEL " + is.PESEL +
           ", z którego wynika " + fromPesel + ". Sprawdź datę urodzenia i numer PESEL.";
  };
  std::string w = check(before.Taxpayer, after.Taxpayer, "");
  if (w.empty()) w = check(before.Spouse, after.Spouse, "małżonka ");
  return w;
}

}  // namespace pit
