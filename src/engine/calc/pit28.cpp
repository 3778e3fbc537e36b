// PIT-28: the lump sum on recorded revenue, with its attachments PIT-28/A
// (the person's own business) and PIT-28/B (shares in partnerships, several
// copies). Revenue is declared in six rate columns; deductions from revenue
// are shared out over the columns in proportion to their revenue.
#include <array>

#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/pit28_fields.h"
#include "forms/pit28a_fields.h"
#include "forms/pit28b_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"

namespace pit {
namespace {

constexpr int kColumns = 6;
// A partnership's rows on PIT-28/B: the six rates, then the six of the
// second group.
constexpr int kShareRows = 2 * kColumns;
constexpr int kOnePercentPage = 4;

// The rates of the columns, and what the second revenue group pays instead:
// five times the rate, never more than 75% of the revenue.
constexpr std::array<Amount, kColumns> kRates = {PerMille(30), PerMille(55), PerMille(85),
                                                 PerMille(100), PerMille(170), PerMille(200)};
constexpr std::array<Amount, kColumns> kSecondGroupFactors = {PerMille(150), PerMille(275), PerMille(425),
                                                              PerMille(500), PerMille(850), PerMille(1000)};

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
    Amount x = b.AmountOf(pit28b::total_fivefold_3pct + i);
    if (a != nullptr) x += a->AmountOf(pit28a::fivefold_revenue_3pct + i);
    ret.SetUnrounded(pit28::fivefold_revenue_3pct + i, x);
  }
}

}  // namespace

void CalculatePit28(CalcContext& ctx, int entry) {
  using namespace pit28;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit28);
  const int pm = f.Header().PM;
  bool reduced = false;

  // 1. Messages, identifier marks.
  ClearMessagesIfShown(ctx, kPit28);
  MarkIdentifierKind(ctx, kPit28, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);

  // 2. Housing amounts come from the PIT/D when one is attached.
  if (shown && ctx.FindChildEntry(kPitD, entry) > 0)
    for (int k : {pit_d_revenue_relief, pit_d_relief, pit_d_lump_sum_relief}) ctx.shown.SetReadOnly(k, true);

  // 3. Identification exchange.
  ExchangeIdentification(ctx, entry);

  // 4. Nothing is carried from attachments that are not there.
  const bool hasA = ctx.FindEntry(kPit28A, entry, pm) > 0;
  const bool hasB = ctx.FindEntry(kPit28B, entry, pm) > 0;
  if (!hasA) {
    for (int c = 0; c < kColumns; ++c) f.SetZero(own_revenue_3pct + c);
    f.SetZero(rental_revenue_8_5pct);
  }
  if (!hasB)
    for (int c = 0; c < kColumns; ++c) f.SetZero(partnership_revenue_3pct + c);
  if (ctx.FindEntry(kPitO, entry, kPmNone) < 0)
    for (int k : {pit_o_revenue_deductions, pit_o_lump_sum_deductions}) f.SetZero(k);

  // 5. Purpose.
  SetPurposeBoxes(ctx, entry, purpose_filing, purpose_correction);

  // 6. Carried rows are not typed. Rows 1 and 3 of the 8,5% rental are
  // read-only in the definition: without a PIT-28/A step 4 resets them.
  if (shown) {
    const bool anyA = ctx.FindChildEntry(kPit28A, entry) > 0;
    const bool anyB = ctx.FindChildEntry(kPit28B, entry) > 0;
    if (anyA || hasA)
      for (int k : {own_revenue_3pct, own_revenue_5_5pct, own_revenue_8_5pct, own_revenue_10pct, own_revenue_17pct,
                    own_revenue_20pct, own_revenue_total, rental_revenue_8_5pct, rental_revenue_20pct})
        ctx.shown.SetReadOnly(k, true);
    if (anyB)
      for (int k = partnership_revenue_3pct; k <= partnership_revenue_total; ++k) ctx.shown.SetReadOnly(k, true);
    if (anyA || anyB)
      for (int k = fivefold_revenue_3pct; k <= fivefold_revenue_total; ++k) ctx.shown.SetReadOnly(k, true);
  }

  // 7. Row and column totals.
  f.SetUnrounded(own_revenue_total, ctx.SumOfRange(entry, own_revenue_3pct, own_revenue_20pct));
  f.SetUnrounded(partnership_revenue_total, ctx.SumOfRange(entry, partnership_revenue_3pct, partnership_revenue_20pct));
  f.SetUnrounded(rental_revenue_total, ctx.SumOfRange(entry, rental_revenue_8_5pct, rental_revenue_20pct));
  f.SetUnrounded(fivefold_revenue_total, ctx.SumOfRange(entry, fivefold_revenue_3pct, fivefold_revenue_20pct));
  f.SetUnrounded(revenue_3pct, f.AmountOf(own_revenue_3pct) + f.AmountOf(partnership_revenue_3pct));
  f.SetUnrounded(revenue_5_5pct, f.AmountOf(own_revenue_5_5pct) + f.AmountOf(partnership_revenue_5_5pct));
  f.SetUnrounded(revenue_8_5pct, f.AmountOf(own_revenue_8_5pct) + f.AmountOf(partnership_revenue_8_5pct) +
                                     f.AmountOf(rental_revenue_8_5pct));
  f.SetUnrounded(revenue_10pct, f.AmountOf(own_revenue_10pct) + f.AmountOf(partnership_revenue_10pct));
  f.SetUnrounded(revenue_17pct, f.AmountOf(own_revenue_17pct) + f.AmountOf(partnership_revenue_17pct));
  f.SetUnrounded(revenue_20pct, f.AmountOf(own_revenue_20pct) + f.AmountOf(partnership_revenue_20pct) +
                                    f.AmountOf(rental_revenue_20pct));
  f.Set(revenue_total,
        f.AmountOf(own_revenue_total) + f.AmountOf(partnership_revenue_total) + f.AmountOf(rental_revenue_total));

  // 8. Share of each column in the whole revenue, in percent.
  const Amount total = f.AmountOf(revenue_total) + f.AmountOf(fivefold_revenue_total);
  if (total != 0) {
    for (int c = 0; c < kColumns; ++c) {
      f.Set(revenue_share_3pct + c, f.AmountOf(revenue_3pct + c) * 100 / total);
      f.Set(fivefold_revenue_share_3pct + c, f.AmountOf(fivefold_revenue_3pct + c) * 100 / total);
    }
    f.SetUnrounded(revenue_share_sum, ctx.SumOfRange(entry, revenue_share_3pct, fivefold_revenue_share_20pct));
  }

  // 9. Deductions of the PIT/O.
  const int o = ctx.FindChildEntry(kPitO, entry);
  if (o > 0) f.CopyFrom(pit_o_revenue_deductions, FormFields(ctx, o), pit_o::taxpayer_income_deductions_total);

  // 10. Deductions from revenue fit in the revenue: the deductions first,
  // then the past losses, then the PIT/O's.
  if (total < f.AmountOf(revenue_deductions)) {
    f.SetZero(past_losses);
    f.Set(revenue_deductions, total);
    f.SetZero(pit_o_revenue_deductions);
    reduced = true;
  }
  if (total < f.AmountOf(revenue_deductions) + f.AmountOf(past_losses)) {
    f.Set(past_losses, total - f.AmountOf(revenue_deductions));
    f.SetZero(pit_o_revenue_deductions);
    reduced = true;
  }
  if (total < f.AmountOf(revenue_deductions) + f.AmountOf(past_losses) + f.AmountOf(pit_o_revenue_deductions)) {
    f.Set(pit_o_revenue_deductions, total - f.AmountOf(revenue_deductions) - f.AmountOf(past_losses));
    reduced = true;
  }

  // 11. Revenue left; the "of which" amount within its total.
  f.SetPositivePart(revenue_after_deductions, total - (f.AmountOf(past_losses) + f.AmountOf(revenue_deductions) +
                                                       f.AmountOf(pit_o_revenue_deductions)));
  f.CapAtField(social_insurance, revenue_deductions);

  // 12. Housing reliefs of the settlement's PIT/D, by person.
  if (const int d = ctx.FirstEntryOfType(kPitD); d > 0) {
    const FormFields pitD(ctx, d);
    using namespace pit_d;
    auto either = [&](int k, pit_d::Field part, pit_d::Field other, pit_d::Field sectionTotal) {
      f.CopyFrom(k, pitD, pitD.AmountOf(part) != 0 || pitD.AmountOf(other) != 0 ? part : sectionTotal);
    };
    if (pm == kPmNone) {
      either(pit_d_revenue_relief, loan_pit28_taxpayer, loan_pit28_spouse, loan_pit28);
      either(pit_d_relief, expenses_pit28_taxpayer, expenses_pit28_spouse, expenses_pit28);
      either(pit_d_lump_sum_relief, tax_relief_pit28_taxpayer, tax_relief_pit28_spouse, tax_relief_pit28);
    } else {
      const bool spouse = pm == kPmSpouse;
      f.CopyFrom(pit_d_revenue_relief, pitD, spouse ? loan_pit28_spouse : loan_pit28_taxpayer);
      f.CopyFrom(pit_d_relief, pitD, spouse ? expenses_pit28_spouse : expenses_pit28_taxpayer);
      f.CopyFrom(pit_d_lump_sum_relief, pitD, spouse ? tax_relief_pit28_spouse : tax_relief_pit28_taxpayer);
    }
  }

  // 13. The housing deduction within the revenue left; the relief as far as
  // what is then left goes.
  reduced |= f.CapAtField(pit_d_revenue_relief, revenue_after_deductions);
  f.Set(revenue_after_housing_relief, f.AmountOf(revenue_after_deductions) - f.AmountOf(pit_d_revenue_relief));
  f.Copy(pit_d_relief_deducted, f.AmountOf(pit_d_relief) >= f.AmountOf(revenue_after_housing_relief)
                                    ? revenue_after_housing_relief
                                    : pit_d_relief);
  f.Set(pit_d_relief_left, f.AmountOf(pit_d_relief) - f.AmountOf(pit_d_relief_deducted));

  // 14. All deductions from revenue.
  f.Set(revenue_deductions_total, f.Sum({past_losses, revenue_deductions, pit_o_revenue_deductions,
                                         pit_d_revenue_relief, pit_d_relief_deducted}));

  // 15.-16. The deductions shared out over the columns; revenue after them in
  // whole złoty.
  for (int c = 0; c < kColumns; ++c) {
    f.Set(deductions_share_3pct + c, f.AmountOf(revenue_deductions_total) * f.AmountOf(revenue_share_3pct + c) / 100);
    f.CapAtField(deductions_share_3pct + c, revenue_3pct + c);
    f.Set(taxable_revenue_3pct + c, RoundZloty(f.AmountOf(revenue_3pct + c) - f.AmountOf(deductions_share_3pct + c)));
  }

  // 17. The same for the second group.
  std::array<Amount, kColumns> share{};
  {
    Amount deducted = 0, after = 0;
    for (int c = 0; c < kColumns; ++c) {
      share[c] =
          RoundGrosze(f.AmountOf(revenue_deductions_total) * f.AmountOf(fivefold_revenue_share_3pct + c) / 100);
      const Amount revenue = f.AmountOf(fivefold_revenue_3pct + c);
      const Amount d = share[c] > revenue ? revenue : share[c];
      deducted += d;
      after += RoundZloty(revenue - d);
    }
    f.Set(fivefold_deductions_share, deducted);
    f.Set(taxable_fivefold_revenue, after);
  }
  f.Set(taxable_revenue_total, ctx.SumOfRange(entry, taxable_revenue_3pct, taxable_fivefold_revenue));

  // 18. The taxes of the 8,5% and 20% columns are the user's when the
  // revenue they are due on holds an amount.
  const bool ownTaxes = f.AmountOf(revenue_taxed_by_taxpayer) > 0;
  if (shown) {
    ctx.shown.SetReadOnly(lump_sum_8_5pct, !ownTaxes);
    ctx.shown.SetReadOnly(lump_sum_20pct, !ownTaxes);
  }

  // 19. Lump sum of each column.
  for (int c = 0; c < kColumns; ++c) {
    if (ownTaxes && (c == 2 || c == 5)) continue;
    f.Set(lump_sum_3pct + c, f.AmountOf(taxable_revenue_3pct + c) * kRates[c]);
  }

  // 20. The second group: five times the rate, at most 75% of the revenue.
  {
    Amount sum = 0;
    for (int c = 0; c < kColumns; ++c) {
      const Amount revenue = f.AmountOf(fivefold_revenue_3pct + c);
      const Amount g = RoundGrosze(RoundZloty(revenue - share[c]) * kSecondGroupFactors[c]);
      const Amount h = RoundGrosze(revenue * Percent(75));
      sum += g > h ? h : g;
    }
    f.Set(fivefold_lump_sum, sum);
  }

  // 21. The lump sum with what is added and subtracted.
  f.Set(lump_sum_total, ctx.SumOfRange(entry, lump_sum_3pct, fivefold_lump_sum));
  f.Set(lump_sum_corrected,
        (f.AmountOf(lump_sum_total) + f.AmountOf(lump_sum_additions)) - f.AmountOf(lump_sum_reductions));

  // 22.-23. Deductions from the lump sum fit in it.
  reduced |= f.CapAtField(lump_sum_deductions, lump_sum_corrected);
  // Capped after the deductions themselves, so that one run leaves "of
  // which" within them.
  f.CapAtField(health_insurance, lump_sum_deductions);
  if (o > 0) f.CopyFrom(pit_o_lump_sum_deductions, FormFields(ctx, o), pit_o::taxpayer_tax_deductions_total);
  if (f.AmountOf(pit_o_lump_sum_deductions) > f.AmountOf(lump_sum_corrected) - f.AmountOf(lump_sum_deductions)) {
    f.Set(pit_o_lump_sum_deductions, f.AmountOf(lump_sum_corrected) - f.AmountOf(lump_sum_deductions));
    reduced = true;
  }

  // 24. The PIT/D relief from the lump sum, as far as it goes.
  {
    const Amount left =
        f.AmountOf(lump_sum_corrected) - f.AmountOf(lump_sum_deductions) - f.AmountOf(pit_o_lump_sum_deductions);
    if (f.AmountOf(pit_d_lump_sum_relief) >= left)
      f.Set(pit_d_lump_sum_relief_deducted, left);
    else
      f.Copy(pit_d_lump_sum_relief_deducted, pit_d_lump_sum_relief);
    f.Set(pit_d_lump_sum_relief_left, f.AmountOf(pit_d_lump_sum_relief) - f.AmountOf(pit_d_lump_sum_relief_deducted));
  }

  // 25.-26. Lump sum due in whole złoty; to pay or overpaid.
  f.Set(lump_sum_due, RoundZloty(f.AmountOf(lump_sum_corrected) -
                                 (f.AmountOf(pit_o_lump_sum_deductions) + f.AmountOf(lump_sum_deductions) +
                                  f.AmountOf(pit_d_lump_sum_relief_deducted))));
  {
    const Amount due = f.AmountOf(lump_sum_due) + f.AmountOf(addition), paid = f.AmountOf(lump_sum_paid);
    f.SetPositivePart(to_pay, due - paid);
    f.SetPositivePart(overpaid, paid - due);
  }

  // 27. Monthly or quarterly payments.
  f.Set(paid_months_total, ctx.SumOfRange(entry, paid_january, paid_november));

  // 28. Attachments.
  const std::pair<pit28::Field, int> counts[] = {{pit_o_count, kPitO},   {pit_d_count, kPitD}, {pit_2k_count, kPit2K},
                                                 {nip1_count, kNip1},    {nip3_count, kNip3},  {pit28a_count, kPit28A},
                                                 {pit28b_count, kPit28B}};
  for (const auto& [k, type] : counts) f.SetText(k, CountText(ctx.CountChildEntries(type, entry, -1)));

  // 29. 1%.
  reduced |= CapOnePercent(ctx, f, lump_sum_due, one_percent);

  // 30.-31. Correction information, reduction notice.
  CorrectionInfoOnClick(ctx, kPit28, purpose_correction, "PIT-28", 0);
  ShowReductionNotice(ctx, kPit28, reduced);

  // 32. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(krs)) f.SetZero(one_percent);
  if (shown && ctx.input.page == kOnePercentPage && f.AmountOf(lump_sum_due) > 0 &&
      f.AmountOf(one_percent) == 0 && !f.IsEmpty(krs))
    ShowOnePercentWarning(ctx, kOnePercentWarning);

  // 33. An amount added to the lump sum needs its title.
  if (shown) MarkRowRequired(ctx, entry, addition_title, addition, true);
}

void CalculatePit28A(CalcContext& ctx, int entry) {
  FormFields a(ctx, entry);
  const int pm = a.Header().PM;

  // 1. Identifier marks, identification.
  MarkIdentifierKind(ctx, kPit28A, entry, pit28a::taxpayer_id, pit28a::taxpayer_id_strike_nip,
                     pit28a::taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2.-3. Into the person's PIT-28.
  const int r = ReturnOf(ctx, pm);
  if (r <= 0) return;
  FormFields ret(ctx, r);
  for (int i = 0; i < kColumns; ++i) ret.CopyFrom(pit28::own_revenue_3pct + i, a, pit28a::revenue_3pct + i);
  ret.CopyFrom(pit28::rental_revenue_8_5pct, a, pit28a::rental_revenue_8_5pct);
  ret.CopyFrom(pit28::rental_revenue_20pct, a, pit28a::rental_revenue_20pct);
  for (int i = 0; i < kColumns; ++i)
    ret.CopyFrom(pit28::fivefold_revenue_3pct + i, a, pit28a::fivefold_revenue_3pct + i);

  // 4. With partnerships as well, the second group is the sum of both.
  if (ctx.FindEntry(kPit28B, r, pm) > 0) {
    const int b = TotalsCopy(ctx, r);
    if (b > 0) SecondGroupFrom(ret, FormFields(ctx, b), &a);
  }

  // 5. The return follows.
  Calculate(ctx, kPit28, r);
}

void CalculatePit28B(CalcContext& ctx, int entry) {
  using namespace pit28b;
  FormFields b(ctx, entry);
  const FormEntry& me = b.Header();
  const int pm = me.PM, parent = me.IdParent;

  // 1. Identification.
  ExchangeIdentification(ctx, entry);

  // 2. Copy number and number of copies. The number is this copy's place
  // among the copies of its return: a copy calculated as it is added is the
  // last one, and copies first calculated together (a file made outside the
  // program) still get different numbers.
  if (b.AmountOf(copy_number) == 0) {
    int place = 0;
    for (int i = 1; i <= entry; ++i)
      if (ctx.settlement.Entry(i).IdPit == kPit28B && ctx.settlement.Entry(i).IdParent == parent) ++place;
    b.SetText(copy_number, CountText(place));
  }
  b.SetText(copy_count, CountText(ctx.CountChildEntries(kPit28B, parent, pm)));

  // 3.-7. The person's shares of each partnership's revenue; an amount the
  // user typed over a share (the alternative slot) replaces it.
  auto shares = [&](int rate, int from, int into, int alternative) {
    if (b.AmountOf(rate) > Amount::FromGrosze(9999)) b.SetText(rate, "99,99");
    for (int i = 0; i < kShareRows; ++i) {
      b.Set(into + i, ctx.PercentOf(entry, from + i, rate));
      if (b.AmountOf(into + i) == 0) b.Copy(alternative + i, into + i);
      if (b.AmountOf(alternative + i) > 0) b.Copy(into + i, alternative + i);
    }
  };
  shares(partnership1_profit_share, partnership1_3pct_revenue, partnership1_3pct_share, partnership1_3pct_typed);
  b.Set(partnership1_other_revenue_share,
        b.AmountOf(partnership1_other_revenue) * b.AmountOf(partnership1_profit_share) / 100);
  shares(partnership2_profit_share, partnership2_3pct_revenue, partnership2_3pct_share, partnership2_3pct_typed);
  b.Set(partnership2_other_revenue_share,
        b.AmountOf(partnership2_other_revenue) * b.AmountOf(partnership2_profit_share) / 100);
  for (int i = 0; i < kShareRows; ++i)
    b.SetUnrounded(total_3pct + i, b.AmountOf(partnership2_3pct_share + i) + b.AmountOf(partnership1_3pct_share + i));

  // 8. Only the last copy of the return holds the totals of all copies.
  const int r = ReturnOf(ctx, pm);
  if (r > 0 && r == parent) {
    std::array<Amount, kShareRows> sum{};
    int last = -1;
    for (int i = 1; i <= ctx.settlement.Count(); ++i) {
      if (ctx.settlement.Entry(i).IdPit != kPit28B || ctx.settlement.Entry(i).IdParent != parent) continue;
      FormFields copy(ctx, i);
      for (int k = 0; k < kShareRows; ++k)
        sum[k] += copy.AmountOf(partnership1_3pct_share + k) + copy.AmountOf(partnership2_3pct_share + k);
      for (int k = total_3pct; k <= total_fivefold_20pct; ++k) copy.SetZero(k);
      last = i;
    }
    FormFields totals(ctx, last);
    for (int k = 0; k < kShareRows; ++k) totals.Set(total_3pct + k, sum[k]);
  }

  // 9. Into the person's PIT-28, which is recalculated.
  if (r > 0) {
    const int t = TotalsCopy(ctx, r);
    if (t > 0) {
      const FormFields totals(ctx, t);
      FormFields ret(ctx, r);
      for (int i = 0; i < kColumns; ++i) ret.CopyFrom(pit28::partnership_revenue_3pct + i, totals, total_3pct + i);
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
  MarkRowRequired(ctx, entry, partnership2_profit_share, partnership2_other_revenue, true);
  MarkRowRequired(ctx, entry, partnership2_county, partnership2_regon, false);
  MarkRowRequired(ctx, entry, partnership2_business_kind, partnership2_business_kind, false);
}

}  // namespace pit
