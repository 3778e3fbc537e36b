// PIT-38 (capital income at a flat rate) and PIT-39 (sale of real estate at
// 19%): short returns without amount-carrying attachments. Each spouse files
// his or her own, so everything here works on the entry's own person.
#include <cmath>

#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/pit38_fields.h"
#include "forms/pit39_fields.h"

namespace pit {
namespace {

// An organisation chosen, tax due, but no amount: the warning on the page
// of the 1% section.
void OnePercentWarning(CalcContext& ctx, const FormFields& f, int idPit, int page, int taxDue, int krs,
                       int amount, const char* text) {
  if (ctx.IsShown(idPit) && ctx.input.page == page && f.AmountOf(taxDue) > 0 &&
      f.AmountOf(amount) == 0 && !f.IsEmpty(krs))
    ShowOnePercentWarning(ctx, text);
}

}  // namespace

void CalculatePit38(CalcContext& ctx, int entry) {
  using namespace pit38;
  constexpr int kOnePercentPage = 2;
  FormFields f(ctx, entry);
  bool reduced = false;

  // 1. Messages, identifier marks, identification, purpose.
  ClearMessagesIfShown(ctx, kPit38);
  MarkIdentifierKind(ctx, kPit38, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);
  SetPurposeBoxes(ctx, entry, purpose_filing, purpose_correction);

  // 2.-3. Totals, income or loss.
  f.Set(total_revenue, f.AmountOf(pit8c_revenue) + f.AmountOf(other_revenue));
  f.Set(total_costs, f.AmountOf(pit8c_costs) + f.AmountOf(other_costs));
  f.SetPositivePart(income, f.AmountOf(total_revenue) - f.AmountOf(total_costs));
  f.SetPositivePart(loss, f.AmountOf(total_costs) - f.AmountOf(total_revenue));

  // 4.-6. Losses of earlier years fit in the income; base and tax.
  reduced |= f.CapAtField(past_losses, income);
  f.Set(tax_base, RoundZloty(f.AmountOf(income) - f.AmountOf(past_losses)));
  f.Set(tax, f.AmountOf(tax_rate) * f.AmountOf(tax_base) / 100);

  // 7. Tax due or the excess of the deductions, whole złoty.
  {
    const Amount deducted = f.AmountOf(foreign_tax) + f.AmountOf(other_tax_deductions);
    f.SetPositivePart(tax_due, RoundZloty(f.AmountOf(tax) - deducted));
    f.SetPositivePart(deductions_over_tax, RoundZloty(deducted - f.AmountOf(tax)));
  }

  // 8.-9. The second tax section.
  f.CapAtField(lump_sum_foreign_tax, lump_sum_tax);
  f.SetPositivePart(lump_sum_difference,
                    f.AmountOf(lump_sum_tax) - (f.AmountOf(lump_sum_foreign_tax) + f.AmountOf(lump_sum_deductions)));
  f.SetPositivePart(lump_sum_deductions_over_tax,
                    (f.AmountOf(lump_sum_foreign_tax) + f.AmountOf(lump_sum_deductions)) - f.AmountOf(lump_sum_tax));

  // 10. To pay or overpaid.
  {
    const Amount owed = f.AmountOf(tax_due) + f.AmountOf(other_tax_to_pay) + f.AmountOf(lump_sum_difference);
    const Amount excess = f.AmountOf(deductions_over_tax) + f.AmountOf(lump_sum_deductions_over_tax);
    f.SetPositivePart(to_pay, owed - excess);
    f.SetPositivePart(overpaid, excess - owed);
  }

  // 11. Attachments.
  f.SetText(nip3_count, CountText(ctx.CountChildEntries(kNip3, entry, -1)));
  f.SetText(pit_zg_count, CountText(ctx.CountChildEntries(kPitZG, entry, -1)));

  // 12. 1%.
  reduced |= CapOnePercent(ctx, f, tax_due, one_percent);

  // 13.-14. Correction information, reduction notice.
  CorrectionInfoOnClick(ctx, kPit38, purpose_correction, "PIT-38", 0);
  ShowReductionNotice(ctx, kPit38, reduced);

  // 15. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(krs)) f.SetZero(one_percent);
  OnePercentWarning(ctx, f, kPit38, kOnePercentPage, tax_due, krs, one_percent,
                    "    PIT-38. W polu formularza nr 58 należy podać kwotę, która ma być przekazana w ramach 1%");

  // 16. Rows with amounts.
  if (!ctx.IsShown(kPit38)) return;
  MarkRowRequired(ctx, entry, pit8c_revenue, pit8c_costs, true);
  MarkRowRequired(ctx, entry, other_revenue, other_costs, true);
}

void CalculatePit39(CalcContext& ctx, int entry) {
  using namespace pit39;
  constexpr int kOnePercentPage = 2;
  FormFields f(ctx, entry);
  bool reduced = false;

  // 1. Messages, identifier marks, identification, purpose.
  ClearMessagesIfShown(ctx, kPit39);
  MarkIdentifierKind(ctx, kPit39, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);
  SetPurposeBoxes(ctx, entry, purpose_filing, purpose_correction);

  // 2. Income, or the loss in whole złoty (cut, not rounded). The amount
  // added to income (the depreciation written off) counts in the loss too.
  const Amount gain = (f.AmountOf(revenue) - f.AmountOf(costs)) + f.AmountOf(depreciation);
  if (gain > 0) {
    f.SetUnrounded(income, gain);
    f.SetZero(loss);
  } else {
    f.SetZero(income);
    f.SetUnrounded(loss, Trunc(Abs(gain)));
  }

  // 3.-5. Deduction within the income; base and 19% tax.
  f.CapAtField(exempt_income, income);
  f.Set(tax_base, RoundZloty(f.AmountOf(income) - f.AmountOf(exempt_income)));
  f.Set(tax, f.AmountOf(tax_base) * Percent(19));

  // 6. Tax due, whole złoty.
  if (f.AmountOf(tax) - f.AmountOf(foreign_tax) >= 0)
    f.Set(tax_due, RoundZloty(f.AmountOf(tax) - f.AmountOf(foreign_tax)));
  else
    f.SetZero(tax_due);

  // 7.-8. The second section.
  f.CapAtField(past_years_tax_paid, past_years_tax);
  {
    const Amount d = f.AmountOf(past_years_tax) - (f.AmountOf(past_years_tax_paid) + f.AmountOf(past_years_deductions));
    if (d >= 0)
      f.Set(past_years_difference, d);
    else
      f.SetZero(past_years_difference);
    if (-d >= 0)
      f.Set(past_years_excess, -d);
    else
      f.SetZero(past_years_excess);
  }

  // 9. To pay or overpaid; a zero difference writes 0,00 into both.
  {
    const Amount d = (f.AmountOf(tax_due) + f.AmountOf(tax_additions) + f.AmountOf(past_years_difference)) -
                     f.AmountOf(past_years_excess);
    if (d >= 0)
      f.Set(to_pay, d);
    else
      f.SetZero(to_pay);
    if (-d >= 0)
      f.Set(overpaid, -d);
    else
      f.SetZero(overpaid);
  }

  // 10.-11. No organisation, no 1% amount; then the cap.
  if (f.IsEmpty(krs)) f.SetZero(one_percent);
  reduced |= CapOnePercent(ctx, f, tax_due, one_percent);

  // 12. Attachments.
  f.SetText(nip3_count, CountText(ctx.CountChildEntries(kNip3, entry, -1)));
  f.SetText(pit_zg_count, CountText(ctx.CountChildEntries(kPitZG, entry, -1)));

  // 13. Correction information.
  CorrectionInfoOnClick(ctx, kPit39, purpose_correction, "PIT-39", 0);

  // 14. Reduction notice.
  if (ctx.IsShown(kPit39)) {
    if (reduced) ctx.shown.ClearMessages();
    ShowReductionNotice(ctx, kPit39, reduced);
  }

  // 15. An organisation without an amount.
  OnePercentWarning(ctx, f, kPit39, kOnePercentPage, tax_due, krs, one_percent,
                    "    PIT-39. W polu formularza nr 52 należy podać kwotę, która ma być przekazana w ramach 1%");

  // 16. The revenue row.
  if (!ctx.IsShown(kPit39)) return;
  MarkRowRequired(ctx, entry, revenue, depreciation, true);
  MarkRowRequired(ctx, entry, depreciation, depreciation, false);
}

}  // namespace pit
