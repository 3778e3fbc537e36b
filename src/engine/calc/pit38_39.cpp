// PIT-38 (capital income at a flat rate) and PIT-39 (sale of real estate at
// 19%): short returns without amount-carrying attachments. Each spouse files
// his or her own, so everything here works on the entry's own person.
#include <cmath>

#include "calc/calculation.h"
#include "calc/framework.h"

namespace pit {
namespace {

constexpr int kFilingBox = 3, kCorrectionBox = 4;

// The 1% of a return: capped at its limit (a reduction), cut to full tens of
// grosze; the limit is shown beside the amount box.
bool OnePercent(CalcContext& ctx, FormFields& f, int taxDue, int amount) {
  bool reduced = false;
  const Amount m = OnePercentLimit(f.AmountOf(taxDue));
  if (!(m >= f.AmountOf(amount))) {
    f.SetUnrounded(amount, m);
    reduced = true;
  }
  if (f.AmountOf(amount) > 0) f.SetUnrounded(amount, FloorTenGrosze(f.AmountOf(amount)));
  ctx.display.SetDonationLabel(FormatAmount(m));
  return reduced;
}

// An organisation chosen, tax due, but no amount: the warning on the page
// of the 1% section.
void OnePercentWarning(CalcContext& ctx, const FormFields& f, int idPit, int page, int taxDue, int krs,
                       int amount, const char* text) {
  if (ctx.IsShown(idPit) && ctx.display.CurrentPage() == page && f.AmountOf(taxDue) > 0 &&
      f.AmountOf(amount) == 0 && !f.IsEmpty(krs))
    ShowOnePercentWarning(ctx, text);
}

}  // namespace

void CalculatePit38(CalcContext& ctx, int entry) {
  constexpr int kKrs = 59, kOnePercent = 60, kOnePercentPage = 2;
  FormFields f(ctx, entry);
  bool reduced = false;

  // 1. Messages, identifier marks, identification, purpose.
  ClearMessagesIfShown(ctx, kPit38);
  MarkIdentifierKind(ctx, kPit38, entry, 0, 67, 68);
  ExchangeIdentification(ctx, entry);
  SetPurposeBoxes(ctx, entry, kFilingBox, kCorrectionBox);

  // 2.-3. Totals, income or loss.
  f.Set(22, f.AmountOf(18) + f.AmountOf(20));
  f.Set(23, f.AmountOf(19) + f.AmountOf(21));
  f.SetPositivePart(24, f.AmountOf(22) - f.AmountOf(23));
  f.SetPositivePart(25, f.AmountOf(23) - f.AmountOf(22));

  // 4.-6. Losses of earlier years fit in the income; base and tax.
  reduced |= f.CapAtField(26, 24);
  f.Set(27, RoundZloty(f.AmountOf(24) - f.AmountOf(26)));
  f.Set(29, f.AmountOf(28) * 0.01L * f.AmountOf(27));

  // 7. Tax due or the excess of the deductions, whole złoty.
  {
    const Amount deducted = f.AmountOf(30) + f.AmountOf(31);
    f.SetPositivePart(32, RoundZloty(f.AmountOf(29) - deducted));
    f.SetPositivePart(33, RoundZloty(deducted - f.AmountOf(29)));
  }

  // 8.-9. The second tax section.
  f.CapAtField(37, 36);
  f.SetPositivePart(39, f.AmountOf(36) - (f.AmountOf(37) + f.AmountOf(38)));
  f.SetPositivePart(40, (f.AmountOf(37) + f.AmountOf(38)) - f.AmountOf(36));

  // 10. To pay or overpaid.
  {
    const Amount owed = f.AmountOf(32) + f.AmountOf(35) + f.AmountOf(39);
    const Amount excess = f.AmountOf(33) + f.AmountOf(40);
    f.SetPositivePart(41, owed - excess);
    f.SetPositivePart(42, excess - owed);
  }

  // 11. Attachments.
  f.SetText(55, CountText(ctx.CountChildEntries(kNip3, entry, -1)));
  f.SetText(56, CountText(ctx.CountChildEntries(kPitZG, entry, -1)));

  // 12. 1%.
  reduced |= OnePercent(ctx, f, 32, kOnePercent);

  // 13.-14. Correction information, reduction notice.
  CorrectionInfoOnClick(ctx, kPit38, kCorrectionBox, "PIT-38", 0);
  ShowReductionNotice(ctx, kPit38, reduced);

  // 15. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(kKrs)) f.SetZero(kOnePercent);
  OnePercentWarning(ctx, f, kPit38, kOnePercentPage, 32, kKrs, kOnePercent,
                    "    PIT-38. W polu formularza nr 58 należy podać kwotę, która ma być przekazana w ramach 1%");

  // 16. Rows with amounts.
  if (!ctx.IsShown(kPit38)) return;
  MarkRowRequired(ctx, entry, 18, 19, true);
  MarkRowRequired(ctx, entry, 20, 21, true);
}

void CalculatePit39(CalcContext& ctx, int entry) {
  constexpr int kKrs = 58, kOnePercent = 50, kOnePercentPage = 2;
  FormFields f(ctx, entry);
  bool reduced = false;

  // 1. Messages, identifier marks, identification, purpose.
  ClearMessagesIfShown(ctx, kPit39);
  MarkIdentifierKind(ctx, kPit39, entry, 0, 60, 61);
  ExchangeIdentification(ctx, entry);
  SetPurposeBoxes(ctx, entry, kFilingBox, kCorrectionBox);

  // 2. Income, or the loss in whole złoty (cut, not rounded). The amount
  // added to income (the depreciation written off) counts in the loss too.
  const Amount income = (f.AmountOf(19) - f.AmountOf(20)) + f.AmountOf(21);
  if (income > 0) {
    f.SetUnrounded(22, income);
    f.SetZero(23);
  } else {
    f.SetZero(22);
    f.SetUnrounded(23, std::trunc(std::fabs(income)));
  }

  // 3.-5. Deduction within the income; base and 19% tax.
  f.CapAtField(24, 22);
  f.Set(25, RoundZloty(f.AmountOf(22) - f.AmountOf(24)));
  f.Set(26, f.AmountOf(25) * 0.19L);

  // 6. Tax due, whole złoty.
  if (f.AmountOf(26) - f.AmountOf(27) >= 0)
    f.Set(28, RoundZloty(f.AmountOf(26) - f.AmountOf(27)));
  else
    f.SetZero(28);

  // 7.-8. The second section.
  f.CapAtField(31, 30);
  {
    const Amount d = f.AmountOf(30) - (f.AmountOf(31) + f.AmountOf(32));
    if (d >= 0) f.Set(33, d); else f.SetZero(33);
    if (-d >= 0) f.Set(34, -d); else f.SetZero(34);
  }

  // 9. To pay or overpaid; a zero difference writes 0,00 into both.
  {
    const Amount d = (f.AmountOf(28) + f.AmountOf(29) + f.AmountOf(33)) - f.AmountOf(34);
    if (d >= 0) f.Set(35, d); else f.SetZero(35);
    if (-d >= 0) f.Set(36, -d); else f.SetZero(36);
  }

  // 10.-11. No organisation, no 1% amount; then the cap.
  if (f.IsEmpty(kKrs)) f.SetZero(kOnePercent);
  reduced |= OnePercent(ctx, f, 28, kOnePercent);

  // 12. Attachments.
  f.SetText(55, CountText(ctx.CountChildEntries(kNip3, entry, -1)));
  f.SetText(56, CountText(ctx.CountChildEntries(kPitZG, entry, -1)));

  // 13. Correction information.
  CorrectionInfoOnClick(ctx, kPit39, kCorrectionBox, "PIT-39", 0);

  // 14. Reduction notice.
  if (ctx.IsShown(kPit39)) {
    if (reduced) ctx.display.ClearMessages();
    ShowReductionNotice(ctx, kPit39, reduced);
  }

  // 15. An organisation without an amount.
  OnePercentWarning(ctx, f, kPit39, kOnePercentPage, 28, kKrs, kOnePercent,
                    "    PIT-39. W polu formularza nr 52 należy podać kwotę, która ma być przekazana w ramach 1%");

  // 16. The revenue row.
  if (!ctx.IsShown(kPit39)) return;
  MarkRowRequired(ctx, entry, 19, 21, true);
  MarkRowRequired(ctx, entry, 21, 21, false);
}

}  // namespace pit
