// PIT-28: the lump sum on recorded revenue, with its attachments PIT-28/A
// (the person's own business) and PIT-28/B (shares in partnerships, several
// copies). Revenue is declared in six rate columns; deductions from revenue
// are shared out over the columns in proportion to their revenue.
#include <array>

#include "calc/calculation.h"
#include "calc/framework.h"

namespace pit {
namespace {

constexpr int kColumns = 6;
constexpr int kFilingBox = 3, kCorrectionBox = 4;
constexpr int kKrs = 142, kOnePercent = 143, kOnePercentPage = 4;

// The rates of the columns, and what the second revenue group pays instead:
// five times the rate, never more than 75% of the revenue.
constexpr std::array<long double, kColumns> kRates = {0.03L, 0.055L, 0.085L, 0.1L, 0.17L, 0.2L};
constexpr std::array<long double, kColumns> kSecondGroupFactors = {0.15L, 0.275L, 0.425L, 0.5L, 0.85L, 1.0L};

const char* const kOnePercentWarning =
    "   PIT-28. W polu formularza nr 126 należy podać kwotę, która ma być przekazana w ramach 1%";

// The PIT-28 that a person's attachments feed.
int ReturnOf(const CalcContext& ctx, int pm) { return ctx.FindEntry(kPit28, 0, pm); }

// The last PIT-28/B of a return: the copy that holds the totals of all.
int TotalsCopy(const CalcContext& ctx, int ret) {
  int last = -1;
  for (int i = 1; i <= ctx.settlement.Count(); ++i)
    if (ctx.settlement.Entry(i).IdPit == kPit28B && ctx.settlement.Entry(i).IdParent == ret) last = i;
  return last;
}

// The second revenue group of the return: the attachments' amounts added.
void SecondGroupFrom(FormFields& ret, const FormFields& b, const FormFields* a) {
  for (int i = 0; i < kColumns; ++i) {
    Amount x = b.AmountOf(103 + i);
    if (a != nullptr) x += a->AmountOf(23 + i);
    ret.SetUnrounded(43 + i, x);
  }
}

}  // namespace

void CalculatePit28(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit28);
  const int pm = f.Header().PM;
  bool reduced = false;

  // 1. Messages, identifier marks.
  ClearMessagesIfShown(ctx, kPit28);
  MarkIdentifierKind(ctx, kPit28, entry, 0, 152, 153);

  // 2. Housing amounts come from the PIT/D when one is attached.
  if (shown && ctx.FindChildEntry(kPitD, entry) > 0)
    for (int k : {66, 68, 99}) ctx.display.SetReadOnly(k, true);

  // 3. Identification exchange.
  ExchangeIdentification(ctx, entry);

  // 4. Nothing is carried from attachments that are not there.
  const bool hasA = ctx.FindEntry(kPit28A, entry, pm) > 0;
  const bool hasB = ctx.FindEntry(kPit28B, entry, pm) > 0;
  if (!hasA)
    for (int k : {19, 20, 21, 22, 23, 24, 33}) f.SetZero(k);
  if (!hasB)
    for (int k = 26; k <= 31; ++k) f.SetZero(k);
  if (ctx.FindEntry(kPitO, entry, kPmNone) < 0)
    for (int k : {64, 98}) f.SetZero(k);

  // 5. Purpose.
  SetPurposeBoxes(ctx, entry, kFilingBox, kCorrectionBox);

  // 6. Carried rows are not typed. Rows 1 and 3 of the 8,5% rental are
  // read-only in the definition: without a PIT-28/A step 4 resets them.
  if (shown) {
    const bool anyA = ctx.FindChildEntry(kPit28A, entry) > 0;
    const bool anyB = ctx.FindChildEntry(kPit28B, entry) > 0;
    if (anyA || hasA)
      for (int k : {19, 20, 21, 22, 23, 24, 25, 33, 34}) ctx.display.SetReadOnly(k, true);
    if (anyB)
      for (int k = 26; k <= 32; ++k) ctx.display.SetReadOnly(k, true);
    if (anyA || anyB)
      for (int k = 43; k <= 49; ++k) ctx.display.SetReadOnly(k, true);
  }

  // 7. Row and column totals.
  f.SetUnrounded(25, ctx.SumOfRange(entry, 19, 24));
  f.SetUnrounded(32, ctx.SumOfRange(entry, 26, 31));
  f.SetUnrounded(35, ctx.SumOfRange(entry, 33, 34));
  f.SetUnrounded(49, ctx.SumOfRange(entry, 43, 48));
  f.SetUnrounded(36, f.AmountOf(19) + f.AmountOf(26));
  f.SetUnrounded(37, f.AmountOf(20) + f.AmountOf(27));
  f.SetUnrounded(38, f.AmountOf(21) + f.AmountOf(28) + f.AmountOf(33));
  f.SetUnrounded(39, f.AmountOf(22) + f.AmountOf(29));
  f.SetUnrounded(40, f.AmountOf(23) + f.AmountOf(30));
  f.SetUnrounded(41, f.AmountOf(24) + f.AmountOf(31) + f.AmountOf(34));
  f.Set(42, f.AmountOf(25) + f.AmountOf(32) + f.AmountOf(35));

  // 8. Share of each column in the whole revenue, in percent.
  const Amount total = f.AmountOf(42) + f.AmountOf(49);
  if (total != 0) {
    for (int c = 0; c < kColumns; ++c) {
      f.Set(50 + c, f.AmountOf(36 + c) * 100 / total);
      f.Set(56 + c, f.AmountOf(43 + c) * 100 / total);
    }
    f.SetUnrounded(150, ctx.SumOfRange(entry, 50, 61));
  }

  // 9. Deductions of the PIT/O.
  const int o = ctx.FindChildEntry(kPitO, entry);
  if (o > 0) f.CopyFrom(64, FormFields(ctx, o), 28);

  // 10. Deductions from revenue fit in the revenue: 63 first, then 62, then
  // the PIT/O's.
  if (total < f.AmountOf(63)) {
    f.SetZero(62);
    f.Set(63, total);
    f.SetZero(64);
    reduced = true;
  }
  if (total < f.AmountOf(63) + f.AmountOf(62)) {
    f.Set(62, total - f.AmountOf(63));
    f.SetZero(64);
    reduced = true;
  }
  if (total < f.AmountOf(63) + f.AmountOf(62) + f.AmountOf(64)) {
    f.Set(64, total - f.AmountOf(63) - f.AmountOf(62));
    reduced = true;
  }

  // 11. Revenue left; the "of which" amount within its total.
  f.SetPositivePart(65, total - (f.AmountOf(62) + f.AmountOf(63) + f.AmountOf(64)));
  f.CapAtField(146, 63);

  // 12. Housing reliefs of the settlement's PIT/D, by person.
  if (const int d = ctx.FirstEntryOfType(kPitD); d > 0) {
    const FormFields pitD(ctx, d);
    auto either = [&](int k, int part, int other, int sectionTotal) {
      f.CopyFrom(k, pitD, pitD.AmountOf(part) != 0 || pitD.AmountOf(other) != 0 ? part : sectionTotal);
    };
    if (pm == kPmNone) {
      either(66, 32, 33, 30);
      either(68, 43, 44, 41);
      either(99, 52, 53, 50);
    } else {
      const bool spouse = pm == kPmSpouse;
      f.CopyFrom(66, pitD, spouse ? 33 : 32);
      f.CopyFrom(68, pitD, spouse ? 44 : 43);
      f.CopyFrom(99, pitD, spouse ? 53 : 52);
    }
  }

  // 13. The housing deduction within the revenue left; the relief as far as
  // what is then left goes.
  reduced |= f.CapAtField(66, 65);
  f.Set(67, f.AmountOf(65) - f.AmountOf(66));
  f.Copy(69, f.AmountOf(68) >= f.AmountOf(67) ? 67 : 68);
  f.Set(70, f.AmountOf(68) - f.AmountOf(69));

  // 14. All deductions from revenue.
  f.Set(71, f.Sum({62, 63, 64, 66, 69}));

  // 15.-16. The deductions shared out over the columns; revenue after them in
  // whole złoty.
  for (int c = 0; c < kColumns; ++c) {
    f.Set(72 + c, f.AmountOf(71) * f.AmountOf(50 + c) * 0.01L);
    f.CapAtField(72 + c, 36 + c);
    f.Set(79 + c, RoundZloty(f.AmountOf(36 + c) - f.AmountOf(72 + c)));
  }

  // 17. The same for the second group.
  std::array<Amount, kColumns> share{};
  {
    Amount deducted = 0, after = 0;
    for (int c = 0; c < kColumns; ++c) {
      share[c] = RoundGrosze(f.AmountOf(71) * f.AmountOf(56 + c) * 0.01L);
      const Amount d = share[c] > f.AmountOf(43 + c) ? f.AmountOf(43 + c) : share[c];
      deducted += d;
      after += RoundZloty(f.AmountOf(43 + c) - d);
    }
    f.Set(78, deducted);
    f.Set(85, after);
  }
  f.Set(86, ctx.SumOfRange(entry, 79, 85));

  // 18. The taxes of the 8,5% and 20% columns are the user's when 148 holds
  // an amount.
  const bool ownTaxes = f.AmountOf(148) > 0;
  if (shown) {
    ctx.display.SetReadOnly(89, !ownTaxes);
    ctx.display.SetReadOnly(92, !ownTaxes);
  }

  // 19. Lump sum of each column.
  for (int c = 0; c < kColumns; ++c) {
    if (ownTaxes && (c == 2 || c == 5)) continue;
    f.Set(87 + c, f.AmountOf(79 + c) * kRates[c]);
  }

  // 20. The second group: five times the rate, at most 75% of the revenue.
  {
    Amount sum = 0;
    for (int c = 0; c < kColumns; ++c) {
      const Amount g = RoundGrosze(RoundZloty(f.AmountOf(43 + c) - share[c]) * kSecondGroupFactors[c]);
      const Amount h = RoundGrosze(f.AmountOf(43 + c) * 0.75L);
      sum += g > h ? h : g;
    }
    f.Set(93, sum);
  }

  // 21. The lump sum with what is added and subtracted.
  f.Set(94, ctx.SumOfRange(entry, 87, 93));
  f.Set(96, (f.AmountOf(94) + f.AmountOf(95)) - f.AmountOf(147));

  // 22.-23. Deductions from the lump sum fit in it.
  reduced |= f.CapAtField(97, 96);
  // Capped after 97 itself, so that one run leaves "of which" within it.
  f.CapAtField(149, 97);
  if (o > 0) f.CopyFrom(98, FormFields(ctx, o), 41);
  if (f.AmountOf(98) > f.AmountOf(96) - f.AmountOf(97)) {
    f.Set(98, f.AmountOf(96) - f.AmountOf(97));
    reduced = true;
  }

  // 24. The PIT/D relief from the lump sum, as far as it goes.
  {
    const Amount left = f.AmountOf(96) - f.AmountOf(97) - f.AmountOf(98);
    if (f.AmountOf(99) >= left)
      f.Set(100, left);
    else
      f.Copy(100, 99);
    f.Set(101, f.AmountOf(99) - f.AmountOf(100));
  }

  // 25.-26. Lump sum due in whole złoty; to pay or overpaid.
  f.Set(102, RoundZloty(f.AmountOf(96) - (f.AmountOf(98) + f.AmountOf(97) + f.AmountOf(100))));
  {
    const Amount due = f.AmountOf(102) + f.AmountOf(104), paid = f.AmountOf(108);
    f.SetPositivePart(109, due - paid);
    f.SetPositivePart(110, paid - due);
  }

  // 27. Monthly or quarterly payments.
  f.Set(122, ctx.SumOfRange(entry, 111, 121));

  // 28. Attachments.
  const std::pair<int, int> counts[] = {{124, kPitO},  {125, kPitD},   {126, kPit2K},  {127, kNip1},
                                        {128, kNip3},  {129, kPit28A}, {130, kPit28B}};
  for (const auto& [k, type] : counts) f.SetText(k, CountText(ctx.CountChildEntries(type, entry, -1)));

  // 29. 1%.
  {
    const Amount m = OnePercentLimit(f.AmountOf(102));
    if (!(m >= f.AmountOf(kOnePercent))) {
      f.SetUnrounded(kOnePercent, m);
      reduced = true;
    }
    if (f.AmountOf(kOnePercent) > 0) f.SetUnrounded(kOnePercent, FloorTenGrosze(f.AmountOf(kOnePercent)));
    ctx.display.SetDonationLabel(FormatAmount(m));
  }

  // 30.-31. Correction information, reduction notice.
  CorrectionInfoOnClick(ctx, kPit28, kCorrectionBox, "PIT-28", 0);
  ShowReductionNotice(ctx, kPit28, reduced);

  // 32. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(kKrs)) f.SetZero(kOnePercent);
  if (shown && ctx.display.CurrentPage() == kOnePercentPage && f.AmountOf(102) > 0 &&
      f.AmountOf(kOnePercent) == 0 && !f.IsEmpty(kKrs))
    ShowOnePercentWarning(ctx, kOnePercentWarning);

  // 33. An amount added to the lump sum needs its title.
  if (shown) MarkRowRequired(ctx, entry, 103, 104, true);
}

void CalculatePit28A(CalcContext& ctx, int entry) {
  FormFields a(ctx, entry);
  const int pm = a.Header().PM;

  // 1. Identifier marks, identification.
  MarkIdentifierKind(ctx, kPit28A, entry, 0, 29, 30);
  ExchangeIdentification(ctx, entry);

  // 2.-3. Into the person's PIT-28.
  const int r = ReturnOf(ctx, pm);
  if (r <= 0) return;
  FormFields ret(ctx, r);
  for (int i = 0; i < kColumns; ++i) ret.CopyFrom(19 + i, a, 15 + i);
  ret.CopyFrom(33, a, 21);
  ret.CopyFrom(34, a, 22);
  for (int i = 0; i < kColumns; ++i) ret.CopyFrom(43 + i, a, 23 + i);

  // 4. With partnerships as well, the second group is the sum of both.
  if (ctx.FindEntry(kPit28B, r, pm) > 0) {
    const int b = TotalsCopy(ctx, r);
    if (b > 0) SecondGroupFrom(ret, FormFields(ctx, b), &a);
  }

  // 5. The return follows.
  Calculate(ctx, kPit28, r);
}

void CalculatePit28B(CalcContext& ctx, int entry) {
  FormFields b(ctx, entry);
  const FormEntry& me = b.Header();
  const int pm = me.PM, parent = me.IdParent;

  // 1. Identification.
  ExchangeIdentification(ctx, entry);

  // 2. Copy number and number of copies. The number is this copy's place
  // among the copies of its return: a copy calculated as it is added is the
  // last one, and copies first calculated together (a file made outside the
  // program) still get different numbers.
  if (b.AmountOf(133) == 0) {
    int place = 0;
    for (int i = 1; i <= entry; ++i)
      if (ctx.settlement.Entry(i).IdPit == kPit28B && ctx.settlement.Entry(i).IdParent == parent) ++place;
    b.SetText(133, CountText(place));
  }
  b.SetText(6, CountText(ctx.CountChildEntries(kPit28B, parent, pm)));

  // 3.-7. The person's shares of each partnership's revenue; an amount the
  // user typed over a share (the alternative slot) replaces it.
  auto shares = [&](int rate, int from, int into, int alternative) {
    if (b.AmountOf(rate) > 99.99L) b.SetText(rate, "99,99");
    for (int i = 0; i < 12; ++i) {
      b.Set(into + i, ctx.PercentOf(entry, from + i, rate));
      if (b.AmountOf(into + i) == 0) b.Copy(alternative + i, into + i);
      if (b.AmountOf(alternative + i) > 0) b.Copy(into + i, alternative + i);
    }
  };
  shares(24, 26, 39, 109);
  b.Set(38, b.AmountOf(25) * b.AmountOf(24) * 0.01L);
  shares(51, 72, 85, 121);
  b.Set(84, b.AmountOf(71) * b.AmountOf(51) * 0.01L);
  for (int i = 0; i < 12; ++i) b.SetUnrounded(97 + i, b.AmountOf(85 + i) + b.AmountOf(39 + i));

  // 8. Only the last copy of the return holds the totals of all copies.
  const int r = ReturnOf(ctx, pm);
  if (r > 0 && r == parent) {
    std::array<Amount, 12> sum{};
    int last = -1;
    for (int i = 1; i <= ctx.settlement.Count(); ++i) {
      if (ctx.settlement.Entry(i).IdPit != kPit28B || ctx.settlement.Entry(i).IdParent != parent) continue;
      FormFields copy(ctx, i);
      for (int k = 0; k < 12; ++k) sum[k] += copy.AmountOf(39 + k) + copy.AmountOf(85 + k);
      for (int k = 97; k <= 108; ++k) copy.SetZero(k);
      last = i;
    }
    FormFields totals(ctx, last);
    for (int k = 0; k < 12; ++k) totals.Set(97 + k, sum[k]);
  }

  // 9. Into the person's PIT-28, which is recalculated.
  if (r > 0) {
    const int t = TotalsCopy(ctx, r);
    if (t > 0) {
      const FormFields totals(ctx, t);
      FormFields ret(ctx, r);
      for (int i = 0; i < kColumns; ++i) ret.CopyFrom(26 + i, totals, 97 + i);
      SecondGroupFrom(ret, totals, nullptr);
      Calculate(ctx, kPit28, r);
      if (const int a = ctx.FindEntry(kPit28A, r, pm); a > 0) {
        const FormFields own(ctx, a);
        SecondGroupFrom(ret, totals, &own);
        Calculate(ctx, kPit28, r);
      }
    }
  }

  // 10. A second partnership named requires its data.
  if (!ctx.IsShown(kPit28B)) return;
  MarkRowRequired(ctx, entry, 51, 71, true);
  MarkRowRequired(ctx, entry, 56, 63, false);
  MarkRowRequired(ctx, entry, 65, 65, false);
}

}  // namespace pit
