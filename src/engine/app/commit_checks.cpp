#include "app/commit_checks.h"

#include "app/catalogue.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/pit_b_fields.h"
#include "forms/field_checks.h"
#include "forms/values.h"

namespace pit {

namespace {

constexpr int kTaxYear = 2014;

// A complete date "dd-mm-yyyy" as yyyymmdd, 0 for anything else.
int DayNumber(std::string_view text) {
  const std::string digits = DigitsOf(MaskDate(text));
  if (digits.size() != 8) return 0;
  return std::stoi(digits.substr(4, 4)) * 10000 + std::stoi(digits.substr(2, 2)) * 100 + std::stoi(digits.substr(0, 2));
}

// A share in a partnership that the PIT/B declares for the tax year started
// by its end at the latest, and ended in it if it ended; never before it
// started.
std::string ShareDateProblem(const Settlement& s, int entry, int field, std::string_view text) {
  using namespace pit_b;
  static const struct {
    Field start, end;
  } kShares[] = {{partner1_start, partner1_end}, {partner2_start, partner2_end}, {partner3_start, partner3_end}};
  const int day = DayNumber(text);
  if (day == 0) return {};
  const std::string typed = MaskDate(text);
  const auto& slots = s.Entry(entry).Slots();
  for (const auto& share : kShares) {
    if (field == share.start) {
      if (day / 10000 > kTaxYear)
        return "Data rozpoczęcia udziału w spółce nie może być późniejsza niż 31-12-2014, a wpisano " + typed + ".";
      const std::string& end = slots[static_cast<std::size_t>(share.end)].Value;
      const int endDay = DayNumber(end);
      if (endDay != 0 && day > endDay)
        return "Data rozpoczęcia udziału (" + typed + ") jest późniejsza niż data jego zakończenia (" + MaskDate(end) +
               ").";
    } else if (field == share.end) {
      if (day / 10000 != kTaxYear)
        return "Data zakończenia udziału w spółce musi przypadać w roku 2014, a wpisano " + typed + ".";
      const std::string& start = slots[static_cast<std::size_t>(share.start)].Value;
      const int startDay = DayNumber(start);
      if (startDay != 0 && day < startDay)
        return "Data zakończenia udziału (" + typed + ") jest wcześniejsza niż data jego rozpoczęcia (" +
               MaskDate(start) + ").";
    }
  }
  return {};
}

}  // namespace

std::string CommitProblem(const Settlement& s, int entry, int field, const FieldObject& def, std::string_view text) {
  const FieldRole role = RoleOf(def);
  if (role == FieldRole::None) return {};
  if (role == FieldRole::Date && s.Has(entry) && s.Entry(entry).IdPit == kPitB) {
    if (std::string p = FieldValueProblem(role, text); !p.empty()) return p;
    return ShareDateProblem(s, entry, field, text);
  }
  bool polish = true;
  if (role == FieldRole::PostalCode) {
    // An address abroad keeps its own form of postal code; one without a
    // country on this form is taken as Polish.
    const int country = AddressCountryFieldOf(s, entry, field);
    if (country >= 0 && country < kSlotCount) {
      const std::string& name = s.Entry(entry).Slots()[static_cast<std::size_t>(country)].Value;
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
