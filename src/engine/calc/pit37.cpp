// PIT-37: the return of a person paid only through payers.
#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/pit37_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"

namespace pit {
namespace {

constexpr int kOnePercentPage = 3;

const char* const kOnePercentWarning =
    "    PIT-37. W polu formularza nr 132 należy podać kwotę, która ma być przekazana w ramach 1%";

// One person's income rows (section D): the taxpayer's and the spouse's are
// the same table under the person's names.
struct IncomeRows {
  pit37::Field employmentRevenue, employmentExtraRevenue, employmentCosts, employmentExtraCosts, employmentIncome,
      employmentLoss, employmentAdvance;
  pit37::Field detentionRevenue, detentionIncome, detentionAdvance;
  pit37::Field personalRevenue, personalCosts, personalIncome, personalLoss, personalAdvance;
  pit37::Field rightsRevenue, rightsExtraRevenue, rightsCosts, rightsExtraCosts, rightsIncome, rightsLoss,
      rightsAdvance;
  pit37::Field otherRevenue, otherCosts, otherIncome, otherLoss, otherAdvance;
  pit37::Field totalRevenue, totalCosts, totalIncome, totalAdvance;
};

constexpr IncomeRows kTaxpayerRows{pit37::taxpayer_employment_revenue,   pit37::taxpayer_employment_extra_revenue,
                                   pit37::taxpayer_employment_costs,     pit37::taxpayer_employment_extra_costs,
                                   pit37::taxpayer_employment_income,    pit37::taxpayer_employment_loss,
                                   pit37::taxpayer_employment_advance,   pit37::taxpayer_detention_revenue,
                                   pit37::taxpayer_detention_income,     pit37::taxpayer_detention_advance,
                                   pit37::taxpayer_personal_revenue,     pit37::taxpayer_personal_costs,
                                   pit37::taxpayer_personal_income,      pit37::taxpayer_personal_loss,
                                   pit37::taxpayer_personal_advance,     pit37::taxpayer_rights_revenue,
                                   pit37::taxpayer_rights_extra_revenue, pit37::taxpayer_rights_costs,
                                   pit37::taxpayer_rights_extra_costs,   pit37::taxpayer_rights_income,
                                   pit37::taxpayer_rights_loss,          pit37::taxpayer_rights_advance,
                                   pit37::taxpayer_other_revenue,        pit37::taxpayer_other_costs,
                                   pit37::taxpayer_other_income,         pit37::taxpayer_other_loss,
                                   pit37::taxpayer_other_advance,        pit37::taxpayer_total_revenue,
                                   pit37::taxpayer_total_costs,          pit37::taxpayer_total_income,
                                   pit37::taxpayer_total_advance};

constexpr IncomeRows kSpouseRows{pit37::spouse_employment_revenue,   pit37::spouse_employment_extra_revenue,
                                 pit37::spouse_employment_costs,     pit37::spouse_employment_extra_costs,
                                 pit37::spouse_employment_income,    pit37::spouse_employment_loss,
                                 pit37::spouse_employment_advance,   pit37::spouse_detention_revenue,
                                 pit37::spouse_detention_income,     pit37::spouse_detention_advance,
                                 pit37::spouse_personal_revenue,     pit37::spouse_personal_costs,
                                 pit37::spouse_personal_income,      pit37::spouse_personal_loss,
                                 pit37::spouse_personal_advance,     pit37::spouse_rights_revenue,
                                 pit37::spouse_rights_extra_revenue, pit37::spouse_rights_costs,
                                 pit37::spouse_rights_extra_costs,   pit37::spouse_rights_income,
                                 pit37::spouse_rights_loss,          pit37::spouse_rights_advance,
                                 pit37::spouse_other_revenue,        pit37::spouse_other_costs,
                                 pit37::spouse_other_income,         pit37::spouse_other_loss,
                                 pit37::spouse_other_advance,        pit37::spouse_total_revenue,
                                 pit37::spouse_total_costs,          pit37::spouse_total_income,
                                 pit37::spouse_total_advance};

// Incomes and losses of one person's rows, then the row 6 totals.
void CalculateIncomeRows(FormFields& f, const IncomeRows& r) {
  f.SetPositivePart(r.employmentIncome, (f.AmountOf(r.employmentRevenue) + f.AmountOf(r.employmentExtraRevenue)) -
                                            (f.AmountOf(r.employmentCosts) + f.AmountOf(r.employmentExtraCosts)));
  f.Copy(r.detentionIncome, r.detentionRevenue);
  f.SetPositivePart(r.personalIncome, f.AmountOf(r.personalRevenue) - f.AmountOf(r.personalCosts));
  f.SetPositivePart(r.rightsIncome, (f.AmountOf(r.rightsRevenue) + f.AmountOf(r.rightsExtraRevenue)) -
                                        (f.AmountOf(r.rightsCosts) + f.AmountOf(r.rightsExtraCosts)));
  f.SetPositivePart(r.otherIncome, f.AmountOf(r.otherRevenue) - f.AmountOf(r.otherCosts));
  f.SetPositivePart(r.employmentLoss, (f.AmountOf(r.employmentCosts) + f.AmountOf(r.employmentExtraCosts)) -
                                          (f.AmountOf(r.employmentRevenue) + f.AmountOf(r.employmentExtraRevenue)));
  f.SetPositivePart(r.personalLoss, f.AmountOf(r.personalCosts) - f.AmountOf(r.personalRevenue));
  f.SetPositivePart(r.rightsLoss, (f.AmountOf(r.rightsCosts) + f.AmountOf(r.rightsExtraCosts)) -
                                      (f.AmountOf(r.rightsRevenue) + f.AmountOf(r.rightsExtraRevenue)));
  f.SetPositivePart(r.otherLoss, f.AmountOf(r.otherCosts) - f.AmountOf(r.otherRevenue));
  f.Set(r.totalRevenue, f.Sum({r.employmentRevenue, r.employmentExtraRevenue, r.detentionRevenue, r.personalRevenue,
                               r.rightsRevenue, r.rightsExtraRevenue, r.otherRevenue}));
  f.Set(r.totalCosts, f.Sum({r.employmentCosts, r.employmentExtraCosts, r.personalCosts, r.rightsCosts,
                             r.rightsExtraCosts, r.otherCosts}));
  f.Set(r.totalIncome, f.Sum({r.employmentIncome, r.detentionIncome, r.personalIncome, r.rightsIncome, r.otherIncome}));
  f.Set(r.totalAdvance,
        f.Sum({r.employmentAdvance, r.detentionAdvance, r.personalAdvance, r.rightsAdvance, r.otherAdvance}));
}

// A row with any amount needs its revenue and advance; its costs, income and
// loss never are required.
void MarkRowsRequired(CalcContext& ctx, int entry, const IncomeRows& r) {
  const struct {
    pit37::Field first, last, optionalFirst, optionalLast;
  } rows[] = {{r.employmentRevenue, r.employmentAdvance, r.employmentCosts, r.employmentLoss},
              {r.detentionRevenue, r.detentionAdvance, r.detentionIncome, r.detentionIncome},
              {r.personalRevenue, r.personalAdvance, r.personalCosts, r.personalLoss},
              {r.rightsRevenue, r.rightsAdvance, r.rightsCosts, r.rightsLoss},
              {r.otherRevenue, r.otherAdvance, r.otherCosts, r.otherLoss}};
  for (const auto& row : rows) {
    MarkRowRequired(ctx, entry, row.first, row.last, true);
    MarkRowRequired(ctx, entry, row.optionalFirst, row.optionalLast, false);
  }
}

// Non-zero test on a field of another entry.
bool NonZero(const FormFields& f, int k) { return f.AmountOf(k) != 0; }

// The PIT/D amount for the return: the PIT-36/37 part of the person columns
// when either is filled in, else the section's total part.
void CopyHousingPart(FormFields& ret, int k, const FormFields& d, int taxpayer, int spouse, int total) {
  if (NonZero(d, taxpayer) || NonZero(d, spouse))
    ret.CopyFrom(k, d, taxpayer);
  else
    ret.CopyFrom(k, d, total);
}

}  // namespace

void CalculatePit37(CalcContext& ctx, int entry) {
  using namespace pit37;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit37);
  const int kind = ctx.settlement.Kind;
  bool reduced = false;

  // 1. Message list.
  ClearMessagesIfShown(ctx, kPit37);

  // 2. Housing amounts come from the PIT/D when one is attached.
  if (shown && ctx.FindChildEntry(kPitD, entry) > 0)
    for (int k : {pit_d_income_relief, pit_d_relief, pit_d_tax_relief}) ctx.shown.SetReadOnly(k, true);

  // 3. Identifier marks.
  MarkIdentifierKind(ctx, kPit37, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  if (kind == kJoint)
    MarkSpouseIdentifierKind(ctx, kPit37, entry, spouse_id, spouse_id_strike_nip, spouse_id_strike_pesel);

  // 4. Identification exchange.
  ExchangeIdentification(ctx, entry);

  // 5. Without a PIT/O nothing is carried from it.
  if (ctx.FindEntry(kPitO, entry, kPmNone) < 0)
    for (int k : {taxpayer_pit_o_income_deductions, taxpayer_pit_o_tax_deductions, spouse_pit_o_income_deductions,
                  spouse_pit_o_tax_deductions})
      f.SetZero(k);

  // 6. Purpose.
  SetPurposeBoxes(ctx, entry, purpose_filing, purpose_correction);

  // 7. Method of taxation follows the settlement kind. The boxes form one
  // choice, so the others lose their ticks too: a box left ticked from an
  // earlier kind would double the tax in step 18.
  if (kind == kIndividual) {
    f.Tick(filing_individual, "1");
    for (int k : {filing_joint, filing_joint_deceased, filing_single_parent}) f.Untick(k);
  } else if (kind == kJoint) {
    // A ticked box of joint taxation with a deceased spouse is the user's.
    if (!f.Ticked(filing_joint_deceased)) {
      f.Tick(filing_joint, "2");
      for (int k : {filing_individual, filing_joint_deceased, filing_single_parent}) f.Untick(k);
    } else {
      for (int k : {filing_individual, filing_joint, filing_single_parent}) f.Untick(k);
    }
  } else if (kind == kSingleParent) {
    f.Tick(filing_single_parent, "4");
    for (int k : {filing_individual, filing_joint, filing_joint_deceased}) f.Untick(k);
  }

  // 8.-9. Row incomes and losses, then the totals, taxpayer then spouse.
  CalculateIncomeRows(f, kTaxpayerRows);
  CalculateIncomeRows(f, kSpouseRows);

  // 10. Deductions from income typed in the return.
  reduced |= f.CapAtField(taxpayer_income_deductions, taxpayer_total_income);
  f.CapAtField(taxpayer_social_insurance, taxpayer_income_deductions);
  reduced |= f.CapAtField(spouse_income_deductions, spouse_total_income);
  f.CapAtField(spouse_social_insurance, spouse_income_deductions);

  // 11. Income after them.
  f.Set(taxpayer_income_after_deductions, f.AmountOf(taxpayer_total_income) - f.AmountOf(taxpayer_income_deductions));
  f.Set(spouse_income_after_deductions, f.AmountOf(spouse_total_income) - f.AmountOf(spouse_income_deductions));

  // 12. Deductions from income of the PIT/O.
  const int o = ctx.FindChildEntry(kPitO, entry);
  if (o > 0) f.CopyFrom(taxpayer_pit_o_income_deductions, FormFields(ctx, o), pit_o::taxpayer_income_deductions_total);
  reduced |= f.CapAtField(taxpayer_pit_o_income_deductions, taxpayer_income_after_deductions);
  if (o > 0) f.CopyFrom(spouse_pit_o_income_deductions, FormFields(ctx, o), pit_o::spouse_income_deductions_total);
  reduced |= f.CapAtField(spouse_pit_o_income_deductions, spouse_income_after_deductions);

  // 13. Housing reliefs of the settlement's PIT/D.
  const int d = ctx.FirstEntryOfType(kPitD);
  if (d > 0) {
    const FormFields pitD(ctx, d);
    CopyHousingPart(f, pit_d_income_relief, pitD, pit_d::loan_return_taxpayer, pit_d::loan_return_spouse,
                    pit_d::loan_return);
    CopyHousingPart(f, pit_d_relief, pitD, pit_d::expenses_return_taxpayer, pit_d::expenses_return_spouse,
                    pit_d::expenses_return);
    CopyHousingPart(f, pit_d_tax_relief, pitD, pit_d::tax_relief_return_taxpayer, pit_d::tax_relief_return_spouse,
                    pit_d::tax_relief_return);
  }

  // 14. The housing deduction fits in what is left of the income.
  {
    const Amount left = (f.AmountOf(taxpayer_income_after_deductions) + f.AmountOf(spouse_income_after_deductions)) -
                        (f.AmountOf(taxpayer_pit_o_income_deductions) + f.AmountOf(spouse_pit_o_income_deductions));
    if (f.AmountOf(pit_d_income_relief) > left) {
      f.Set(pit_d_income_relief, left);
      reduced = true;
    }
  }

  // 15. The housing relief: what does not fit in the income is left for
  // the next years.
  {
    const Amount left = f.AmountOf(taxpayer_income_after_deductions) + f.AmountOf(spouse_income_after_deductions) -
                        f.AmountOf(taxpayer_pit_o_income_deductions) - f.AmountOf(spouse_pit_o_income_deductions) -
                        f.AmountOf(pit_d_income_relief);
    if (f.AmountOf(pit_d_relief) > left)
      f.Set(pit_d_relief_from_income, left);
    else
      f.Copy(pit_d_relief_from_income, pit_d_relief);
    f.Set(pit_d_relief_left, f.AmountOf(pit_d_relief) - f.AmountOf(pit_d_relief_from_income));
  }

  // 16. Income after all deductions.
  f.Set(income_after_all_deductions,
        (f.AmountOf(taxpayer_income_after_deductions) + f.AmountOf(spouse_income_after_deductions)) -
            (f.AmountOf(taxpayer_pit_o_income_deductions) + f.AmountOf(spouse_pit_o_income_deductions) +
             f.AmountOf(pit_d_income_relief) + f.AmountOf(pit_d_relief_from_income)));

  // 17. Tax base; joint and single-parent returns are taxed on half the
  // combined income, cut to tens of grosze before the złoty rounding.
  if (f.Ticked(filing_individual))
    f.Set(tax_base, RoundZloty(f.AmountOf(income_after_all_deductions)));
  else
    f.Set(tax_base, RoundZlotyTenths(f.AmountOf(income_after_all_deductions) / 2));

  // 18. Tax by the scale, twice the tax on the half.
  {
    const bool halved = f.Ticked(filing_joint) || f.Ticked(filing_joint_deceased) || f.Ticked(filing_single_parent);
    const Amount scaled = halved ? 2 * TaxScale(f.AmountOf(tax_base)) : TaxScale(f.AmountOf(tax_base));
    f.SetPositivePart(tax, scaled);
  }

  // 19. Tax with the amounts added to it.
  f.Set(tax_total, f.AmountOf(tax) + f.AmountOf(tax_additions));

  // 20. Deductions from tax of the PIT/O.
  if (o > 0) {
    const FormFields pitO(ctx, o);
    f.CopyFrom(taxpayer_pit_o_tax_deductions, pitO, pit_o::taxpayer_tax_deductions_total);
    f.CopyFrom(spouse_pit_o_tax_deductions, pitO, pit_o::spouse_tax_deductions_total);
  }

  // 21. Deductions from tax fit in the tax, in order of the columns.
  {
    const Field taxpayerTyped = taxpayer_tax_deductions, spouseTyped = spouse_tax_deductions,
                taxpayerPitO = taxpayer_pit_o_tax_deductions, spousePitO = spouse_pit_o_tax_deductions;
    if (f.AmountOf(taxpayerTyped) > f.AmountOf(tax_total)) {
      f.Copy(taxpayerTyped, tax_total);
      for (int k : {spouseTyped, taxpayerPitO, spousePitO}) f.SetZero(k);
      reduced = true;
    }
    if (f.AmountOf(taxpayerTyped) + f.AmountOf(spouseTyped) > f.AmountOf(tax_total)) {
      f.Set(spouseTyped, f.AmountOf(tax_total) - f.AmountOf(taxpayerTyped));
      for (int k : {taxpayerPitO, spousePitO}) f.SetZero(k);
      reduced = true;
    }
    if (f.AmountOf(taxpayerTyped) + f.AmountOf(spouseTyped) + f.AmountOf(taxpayerPitO) > f.AmountOf(tax_total)) {
      f.Set(taxpayerPitO, f.AmountOf(tax_total) - f.AmountOf(taxpayerTyped) - f.AmountOf(spouseTyped));
      f.SetZero(spousePitO);
      reduced = true;
    }
    if (f.AmountOf(taxpayerTyped) + f.AmountOf(spouseTyped) + f.AmountOf(taxpayerPitO) + f.AmountOf(spousePitO) >
        f.AmountOf(tax_total)) {
      f.Set(spousePitO,
            f.AmountOf(tax_total) - f.AmountOf(taxpayerTyped) - f.AmountOf(spouseTyped) - f.AmountOf(taxpayerPitO));
      reduced = true;
    }
  }
  f.CapAtField(taxpayer_health_insurance, taxpayer_tax_deductions);
  f.CapAtField(spouse_health_insurance, spouse_tax_deductions);

  // 22. Tax after the deductions.
  f.Set(tax_after_deductions,
        f.AmountOf(tax_total) - (f.AmountOf(taxpayer_tax_deductions) + f.AmountOf(spouse_tax_deductions) +
                                 f.AmountOf(taxpayer_pit_o_tax_deductions) + f.AmountOf(spouse_pit_o_tax_deductions)));

  // 23. The PIT/D relief from tax, as far as the tax goes.
  if (f.AmountOf(pit_d_tax_relief) > f.AmountOf(tax_after_deductions))
    f.Copy(pit_d_tax_relief_used, tax_after_deductions);
  else
    f.Copy(pit_d_tax_relief_used, pit_d_tax_relief);
  f.Set(pit_d_tax_relief_left, f.AmountOf(pit_d_tax_relief) - f.AmountOf(pit_d_tax_relief_used));

  // 24. Tax due in whole złoty.
  f.Set(tax_due, RoundZloty(f.AmountOf(tax_after_deductions) - f.AmountOf(pit_d_tax_relief_used)));

  // 25. Advances of both persons.
  f.Set(advances_total, f.AmountOf(taxpayer_total_advance) + f.AmountOf(spouse_total_advance));

  // 26. To pay or overpaid; under 50 groszy neither.
  {
    const Amount due = f.AmountOf(tax_due), paid = f.AmountOf(advances_total);
    if (RoundZloty(due - paid) > 0)
      f.Set(to_pay, due - paid);
    else
      f.SetZero(to_pay);
    if (RoundZloty(paid - due) > 0)
      f.Set(overpaid, paid - due);
    else
      f.SetZero(overpaid);
  }

  // The child relief the tax could not take, on the PIT/O and PIT/UZ.
  FollowChildRelief(ctx, entry);

  // 27. Attachments.
  f.SetText(pit_uz_count, CountText(ctx.CountChildEntries(kPitUZ, entry, -1)));
  f.SetText(pit_o_count, CountText(ctx.CountChildEntries(kPitO, entry, -1)));
  f.SetText(pit_d_count, CountText(ctx.CountChildEntries(kPitD, entry, -1)));
  f.SetText(pit_2k_count, CountText(ctx.CountChildEntries(kPit2K, entry, -1)));

  // 28. The 1% amount.
  reduced |= CapOnePercent(ctx, f, tax_due, one_percent);

  // 29. The user clicked the korekta box.
  CorrectionInfoOnClick(ctx, kPit37, purpose_correction, "PIT-37", 0);

  // 30. Reduction notice.
  ShowReductionNotice(ctx, kPit37, reduced);

  // 31. No organisation, no 1% amount.
  if (f.IsEmpty(krs)) f.SetZero(one_percent);

  // 32. An organisation chosen but no amount given.
  if (shown && ctx.input.page == kOnePercentPage && f.AmountOf(tax_due) > 0 &&
      f.AmountOf(one_percent) == 0 && !f.IsEmpty(krs))
    ShowOnePercentWarning(ctx, kOnePercentWarning);

  // 33. Rows with amounts require their revenue and advances.
  if (!shown) return;
  MarkRowsRequired(ctx, entry, kTaxpayerRows);
  MarkRowsRequired(ctx, entry, kSpouseRows);
}

}  // namespace pit
