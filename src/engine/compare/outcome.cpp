#include "compare/outcome.h"

#include "calc/amounts.h"

namespace pit {

std::optional<ReturnFields> ReturnFieldsOf(int idPit) {
  switch (idPit) {
    case kPit37: return ReturnFields{kPit37, 113, 114, 115, 116, 131, 132};
    case kPit36: return ReturnFields{kPit36, 185, 186, 187, 188, 321, 322};
    case kPit36L: return ReturnFields{kPit36L, 50, 51, 52, 53, 108, 109};
    case kPit38: return ReturnFields{kPit38, 32, -1, 41, 42, 59, 60};
    case kPit28: return ReturnFields{kPit28, 102, 108, 109, 110, 142, 143};
    case kPit39: return ReturnFields{kPit39, 28, -1, 35, 36, 58, 50};
    default: return std::nullopt;
  }
}

std::int64_t GroszeOf(const Settlement& s, int entry, int field) {
  if (!s.Has(entry) || field < 0 || field >= kSlotCount) return 0;
  const auto a = ParseAmount(s.Entry(entry).Slots[static_cast<std::size_t>(field)].Value);
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
  out.krs = m.Slots[static_cast<std::size_t>(fields->krs)].Value;
  if (!out.krs.empty()) out.onePercent = figure(fields->onePercent);

  const int uz = s.FindByTypeAndParent(kPitUZ, main);
  if (uz > 0) {
    constexpr int kPaidBack = 18;
    const std::int64_t g = GroszeOf(s, uz, kPaidBack);
    if (g != 0) out.childReliefPaidBack = Figure{g, uz, kPaidBack};
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
    out.taxpayer = p37 ? part(61, 62) : part(86, 87);
    out.spouse = p37 ? part(88, 89) : part(129, 130);
  }
  return out;
}

}  // namespace pit
