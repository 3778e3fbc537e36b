#include "compare/outcome.h"

#include "calc/amounts.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit39_fields.h"
#include "forms/pit_uz_fields.h"

namespace pit {

std::optional<ReturnFields> ReturnFieldsOf(int idPit) {
  switch (idPit) {
    case kPit37: {
      using namespace pit37;
      return ReturnFields{kPit37, tax_due, advances_total, to_pay, overpaid, krs, one_percent};
    }
    case kPit36: {
      using namespace pit36;
      return ReturnFields{kPit36, tax_due, advances_due_total, to_pay, overpaid, krs, one_percent};
    }
    case kPit36L: {
      using namespace pit36l;
      return ReturnFields{kPit36L, tax_due, advances_due_total, to_pay, overpaid, krs, one_percent};
    }
    case kPit38: {
      using namespace pit38;
      return ReturnFields{kPit38, tax_due, -1, to_pay, overpaid, krs, one_percent};
    }
    case kPit28: {
      using namespace pit28;
      return ReturnFields{kPit28, lump_sum_due, lump_sum_paid, to_pay, overpaid, krs, one_percent};
    }
    case kPit39: {
      using namespace pit39;
      return ReturnFields{kPit39, tax_due, -1, to_pay, overpaid, krs, one_percent};
    }
    default: return std::nullopt;
  }
}

std::int64_t GroszeOf(const Settlement& s, int entry, int field) {
  if (!s.Has(entry) || field < 0 || field >= kSlotCount) return 0;
  const auto a = ParseAmount(s.Entry(entry).Slots()[static_cast<std::size_t>(field)].Value);
  return a ? RoundGroszeCents(*a) : 0;
}

int MainFormOf(const Settlement& s, int entry) {
  // An attachment of an attachment (SSE/A under SSE-R) leads up as well.
  for (int hops = 0; hops < 4 && s.Has(entry); ++hops) {
    const FormEntry& e = s.Entry(entry);
    if (e.IdParent == 0) return entry;
    entry = e.IdParent;
  }
  return 0;
}

std::optional<ReturnOutcome> OutcomeOf(const Settlement& s, int entry) {
  const int main = MainFormOf(s, entry);
  if (main == 0) return std::nullopt;
  const FormEntry& m = s.Entry(main);
  const auto fields = ReturnFieldsOf(m.IdPit);
  if (!fields) return std::nullopt;
  auto figure = [&](int field) { return Figure{GroszeOf(s, main, field), main, field}; };

  ReturnOutcome out;
  out.entry = main;
  out.idPit = m.IdPit;
  out.taxDue = figure(fields->taxDue);
  if (fields->advances >= 0) out.advances = figure(fields->advances);
  out.toPay = figure(fields->toPay);
  out.overpayment = figure(fields->overpayment);
  out.krs = m.Slots()[static_cast<std::size_t>(fields->krs)].Value;
  if (!out.krs.empty()) out.onePercent = figure(fields->onePercent);

  const int uz = s.FindByTypeAndParent(kPitUZ, main);
  if (uz > 0) {
    const std::int64_t g = GroszeOf(s, uz, pit_uz::relief_to_refund);
    if (g != 0) out.childReliefPaidBack = Figure{g, uz, pit_uz::relief_to_refund};
  }

  // Both persons' columns are one return when the settlement is joint.
  if (s.Kind == kJoint && m.PM == kPmNone && (m.IdPit == kPit37 || m.IdPit == kPit36)) {
    out.joint = true;
    const bool p37 = m.IdPit == kPit37;
    auto part = [&](int income, int advances) {
      PersonPart p;
      p.income = GroszeOf(s, main, income);
      p.advances = GroszeOf(s, main, advances);
      p.incomeField = income;
      p.advancesField = advances;
      return p;
    };
    out.taxpayer = p37 ? part(pit37::taxpayer_total_income, pit37::taxpayer_total_advance)
                       : part(pit36::taxpayer_total_income, pit36::taxpayer_total_advance);
    out.spouse = p37 ? part(pit37::spouse_total_income, pit37::spouse_total_advance)
                     : part(pit36::spouse_total_income, pit36::spouse_total_advance);
  }
  return out;
}

}  // namespace pit
