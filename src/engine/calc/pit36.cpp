// PIT-36: the general return (business income, minor children, losses of
// earlier years, foreign income for the rate), and PIT/M, which carries the
// children's income into it.
#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/pit36_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_m_fields.h"
#include "forms/pit_o_fields.h"

namespace pit {
namespace {

constexpr int kAdvancesPage = 4, kLossesPage = 3, kOnePercentPage = 6;

const char* const kOnePercentWarning =
    "    PIT-36. W polu formularza nr 309 należy podać kwotę, która ma być przekazana w ramach 1%";

bool NonZero(const FormFields& f, int k) { return f.AmountOf(k) != 0; }

void CopyHousingPart(FormFields& ret, int k, const FormFields& d, int taxpayer, int spouse, int total) {
  if (NonZero(d, taxpayer) || NonZero(d, spouse))
    ret.CopyFrom(k, d, taxpayer);
  else
    ret.CopyFrom(k, d, total);
}

// The income table is formatted as computed, without the grosze rounding.
void SetPlain(FormFields& f, int k, Amount x) { f.SetUnrounded(k, x > 0 ? x : 0); }

// Settlement of advances: the text "0" when the result is not positive.
void SetOrZeroText(FormFields& f, int k, Amount x) {
  if (RoundGrosze(x) > 0)
    f.Set(k, x);
  else
    f.SetText(k, "0");
}

// One person's income table: rows 1 to 8 and the totals. The business row
// (row 3) is computed only when no attachment supplies it.
struct IncomeColumns {
  using Field = pit36::Field;
  Field rev1, addRev1, cost1, addCost1, inc1, loss1, adv1;
  Field rev2, inc2, adv2;
  Field rev3, cost3, inc3, loss3, adv3;
  Field rows[3][5];  // rows 4 to 6: revenue, costs, income, loss, advances
  Field rev7, addRev7, cost7, addCost7, inc7, loss7, adv7;
  Field rev8, cost8, inc8, loss8, adv8;
  Field totalRev, totalCost, totalInc, totalAdv;
};

constexpr IncomeColumns kTaxpayerColumns = [] {
  using namespace pit36;
  return IncomeColumns{taxpayer_employment_revenue,
                       taxpayer_employment_extra_revenue,
                       taxpayer_employment_costs,
                       taxpayer_employment_extra_costs,
                       taxpayer_employment_income,
                       taxpayer_employment_loss,
                       taxpayer_employment_advance,
                       taxpayer_detention_revenue,
                       taxpayer_detention_income,
                       taxpayer_detention_advance,
                       taxpayer_business_revenue,
                       taxpayer_business_costs,
                       taxpayer_business_income,
                       taxpayer_business_loss,
                       taxpayer_business_advance,
                       {{taxpayer_farming_revenue, taxpayer_farming_costs, taxpayer_farming_income,
                         taxpayer_farming_loss, taxpayer_farming_advance},
                        {taxpayer_rental_revenue, taxpayer_rental_costs, taxpayer_rental_income, taxpayer_rental_loss,
                         taxpayer_rental_advance},
                        {taxpayer_personal_revenue, taxpayer_personal_costs, taxpayer_personal_income,
                         taxpayer_personal_loss, taxpayer_personal_advance}},
                       taxpayer_rights_revenue,
                       taxpayer_rights_extra_revenue,
                       taxpayer_rights_costs,
                       taxpayer_rights_extra_costs,
                       taxpayer_rights_income,
                       taxpayer_rights_loss,
                       taxpayer_rights_advance,
                       taxpayer_other_revenue,
                       taxpayer_other_costs,
                       taxpayer_other_income,
                       taxpayer_other_loss,
                       taxpayer_other_advance,
                       taxpayer_total_revenue,
                       taxpayer_total_costs,
                       taxpayer_total_income,
                       taxpayer_total_advance};
}();
constexpr IncomeColumns kSpouseColumns = [] {
  using namespace pit36;
  return IncomeColumns{
      spouse_employment_revenue,
      spouse_employment_extra_revenue,
      spouse_employment_costs,
      spouse_employment_extra_costs,
      spouse_employment_income,
      spouse_employment_loss,
      spouse_employment_advance,
      spouse_detention_revenue,
      spouse_detention_income,
      spouse_detention_advance,
      spouse_business_revenue,
      spouse_business_costs,
      spouse_business_income,
      spouse_business_loss,
      spouse_business_advance,
      {{spouse_farming_revenue, spouse_farming_costs, spouse_farming_income, spouse_farming_loss,
        spouse_farming_advance},
       {spouse_rental_revenue, spouse_rental_costs, spouse_rental_income, spouse_rental_loss, spouse_rental_advance},
       {spouse_personal_revenue, spouse_personal_costs, spouse_personal_income, spouse_personal_loss,
        spouse_personal_advance}},
      spouse_rights_revenue,
      spouse_rights_extra_revenue,
      spouse_rights_costs,
      spouse_rights_extra_costs,
      spouse_rights_income,
      spouse_rights_loss,
      spouse_rights_advance,
      spouse_other_revenue,
      spouse_other_costs,
      spouse_other_income,
      spouse_other_loss,
      spouse_other_advance,
      spouse_total_revenue,
      spouse_total_costs,
      spouse_total_income,
      spouse_total_advance};
}();

void IncomeTable(FormFields& f, const IncomeColumns& c, bool businessFromAttachment) {
  auto a = [&](int k) { return f.AmountOf(k); };
  const Amount rev1 = a(c.rev1) + a(c.addRev1), cost1 = a(c.cost1) + a(c.addCost1);
  const Amount rev7 = a(c.rev7) + a(c.addRev7), cost7 = a(c.cost7) + a(c.addCost7);
  SetPlain(f, c.inc1, rev1 - cost1);
  SetPlain(f, c.loss1, cost1 - rev1);
  f.Copy(c.inc2, c.rev2);
  if (!businessFromAttachment) {
    SetPlain(f, c.inc3, a(c.rev3) - a(c.cost3));
    SetPlain(f, c.loss3, a(c.cost3) - a(c.rev3));
  }
  for (const auto& r : c.rows) {
    SetPlain(f, r[2], a(r[0]) - a(r[1]));
    SetPlain(f, r[3], a(r[1]) - a(r[0]));
  }
  SetPlain(f, c.inc7, rev7 - cost7);
  SetPlain(f, c.loss7, cost7 - rev7);
  SetPlain(f, c.inc8, a(c.rev8) - a(c.cost8));
  SetPlain(f, c.loss8, a(c.cost8) - a(c.rev8));

  f.SetUnrounded(c.totalRev,
                 rev1 + a(c.rev2) + a(c.rev3) + a(c.rows[0][0]) + a(c.rows[1][0]) + a(c.rows[2][0]) + rev7 + a(c.rev8));
  f.SetUnrounded(c.totalCost,
                 cost1 + a(c.cost3) + a(c.rows[0][1]) + a(c.rows[1][1]) + a(c.rows[2][1]) + cost7 + a(c.cost8));
  f.SetUnrounded(c.totalInc, a(c.inc1) + a(c.inc2) + a(c.inc3) + a(c.rows[0][2]) + a(c.rows[1][2]) + a(c.rows[2][2]) +
                                 a(c.inc7) + a(c.inc8));
  f.SetUnrounded(c.totalAdv, a(c.adv1) + a(c.adv2) + a(c.adv3) + a(c.rows[0][4]) + a(c.rows[1][4]) + a(c.rows[2][4]) +
                                 a(c.adv7) + a(c.adv8));
}

// A row of the income table is required whole once any of its figures is
// typed (revenue to advances, which are consecutive fields); its costs,
// income and loss on their own are not.
void MarkIncomeRowsRequired(CalcContext& ctx, int entry, const IncomeColumns& c) {
  const pit36::Field rows[][4] = {
      {c.rev1, c.adv1, c.cost1, c.loss1},
      {c.rev2, c.adv2, c.inc2, c.inc2},
      {c.rev3, c.adv3, c.cost3, c.loss3},
      {c.rows[0][0], c.rows[0][4], c.rows[0][1], c.rows[0][3]},
      {c.rows[1][0], c.rows[1][4], c.rows[1][1], c.rows[1][3]},
      {c.rows[2][0], c.rows[2][4], c.rows[2][1], c.rows[2][3]},
      {c.rev7, c.adv7, c.cost7, c.loss7},
      {c.rev8, c.adv8, c.cost8, c.loss8},
  };
  for (const auto& r : rows) {
    MarkRowRequired(ctx, entry, r[0], r[1], true);
    MarkRowRequired(ctx, entry, r[2], r[3], false);
  }
}

// Deductions from income of one person, capped in the order given against
// the income L.
bool CapIncomeDeductions(FormFields& f, Amount income, int first, int second, int third) {
  bool reduced = false;
  if (f.AmountOf(first) > income) {
    f.Set(first, income);
    f.SetZero(second);
    f.SetZero(third);
    reduced = true;
  }
  if (f.AmountOf(first) + f.AmountOf(second) > income) {
    f.Set(second, income - f.AmountOf(first));
    f.SetZero(third);
    reduced = true;
  }
  if (f.AmountOf(first) + f.AmountOf(second) + f.AmountOf(third) > income) {
    f.Set(third, income - f.AmountOf(first) - f.AmountOf(second));
    reduced = true;
  }
  return reduced;
}

// The tax when foreign income counts for the rate; false leaves the tax as
// it is (another kind, or a base that rounds to 0 złoty, which has no rate).
bool TaxWithForeignIncome(FormFields& f, int kind) {
  using namespace pit36;
  const Amount income = f.AmountOf(income_after_all_deductions), own = f.AmountOf(taxpayer_foreign_rate_income),
               spouse = f.AmountOf(spouse_foreign_rate_income);
  Amount base = 0;
  Amount halfTimes = 1;  // 2 when the return is taxed on half the income
  Amount taxed = 0;
  if (kind == kIndividual) {
    if (income + own == 0) return false;
    base = RoundZloty(income + own);
    taxed = RoundZloty(income);
  } else if (kind == kJoint) {
    if ((income + own + spouse) / 2 == 0) return false;
    base = RoundZloty((income + own + spouse) / 2);
    taxed = RoundZloty(income / 2);
    halfTimes = 2;
  } else if (kind == kSingleParent) {
    if (income + own / 2 == 0) return false;
    base = RoundZloty((income + own) / 2);
    taxed = RoundZloty(income / 2);
    halfTimes = 2;
  } else {
    return false;
  }
  if (base == 0) return false;
  // The rate is a percent with two decimals, as printed on the return.
  const Amount rate = RoundGrosze(TaxScale(base) * 100 / base);
  f.Set(tax, taxed * rate / 100 * halfTimes);
  return true;
}

}  // namespace

void CalculatePit36WithPass(CalcContext& ctx, int entry, bool businessPass) {
  using namespace pit36;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit36);
  const int kind = ctx.settlement.Kind;
  bool reduced = false;

  // 1. Messages, identifier marks, identification.
  ClearMessagesIfShown(ctx, kPit36);
  MarkIdentifierKind(ctx, kPit36, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  MarkSpouseIdentifierKind(ctx, kPit36, entry, spouse_id, spouse_id_strike_nip, spouse_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2. The taxpayer's attachments carry PM 1 in a joint settlement.
  const int own = kind == kJoint ? kPmTaxpayer : kPmNone;

  // Business income of a person comes from a PIT/B or PIT/Z when one of the
  // person's boxes (the first or the second way) is ticked; the attachments
  // run below may tick them, so they are read each time.
  auto ownBusinessAttached = [&] {
    return f.Ticked(taxpayer_business_first_way) || f.Ticked(taxpayer_business_second_way);
  };
  auto spouseBusinessAttached = [&] {
    return f.Ticked(spouse_business_first_way) || f.Ticked(spouse_business_second_way);
  };

  // 3. What a missing attachment carried is gone.
  auto has = [&](int idPit, int pm) { return ctx.FindEntry(idPit, entry, pm) > 0; };
  // Business revenue and costs typed without a PIT/B are the user's (a
  // removed PIT/B clears what it carried); only an income that a ticked box
  // expects from a missing attachment is cleared.
  if (!has(kPitB, own) && !has(kPitZ, own) && ownBusinessAttached())
    for (Field k : {taxpayer_business_income, taxpayer_business_loss}) f.SetZero(k);
  if (!has(kPitB, kPmSpouse) && !has(kPitZ, kPmSpouse) && spouseBusinessAttached())
    for (Field k : {spouse_business_income, spouse_business_loss}) f.SetZero(k);
  if (!has(kPitZ, own)) f.SetZero(taxpayer_business_pit_z_income);
  if (!has(kPitZ, kPmSpouse)) f.SetZero(spouse_business_pit_z_income);
  if (!has(kPitM, own))
    for (Field k : {taxpayer_children_income, taxpayer_children_advances}) f.SetZero(k);
  if (!has(kPitM, kPmSpouse))
    for (Field k : {spouse_children_income, spouse_children_advances}) f.SetZero(k);
  if (!has(kPitO, kPmNone))
    for (Field k : {taxpayer_pit_o_income_deductions, taxpayer_pit_o_tax_deductions, spouse_pit_o_income_deductions,
                    spouse_pit_o_tax_deductions})
      f.SetZero(k);

  // 4. Purpose.
  SetPurposeBoxes(ctx, entry, purpose_filing, purpose_correction);

  // 5. The PIT/B run this return again with the pass off, after writing
  // their totals; this run then goes on with what they wrote.
  if (businessPass) {
    if (ownBusinessAttached()) {
      for (int pm : {kPmNone, kPmTaxpayer})
        if (const int b = ctx.FindEntry(kPitB, entry, pm); b > 0) Calculate(ctx, kPitB, b);
    }
    if (spouseBusinessAttached()) {
      if (const int b = ctx.FindEntry(kPitB, entry, kPmSpouse); b > 0) Calculate(ctx, kPitB, b);
    }
  }

  // 6. Housing amounts come from the PIT/D.
  if (shown && ctx.FindChildEntry(kPitD, entry) > 0)
    for (Field k : {taxpayer_pit_d_income_relief, pit_d_relief, pit_d_tax_relief}) ctx.shown.SetReadOnly(k, true);

  // 7. Business income declared in a PIT/Z, as the PIT/Z carries it.
  for (int pm : {kPmNone, kPmTaxpayer, kPmSpouse}) {
    if (const int z = ctx.FindEntry(kPitZ, entry, pm); z > 0) CarryInto(ctx, kPitZ, pm, z, entry);
  }

  // 8. Business revenue and costs come from the PIT/B.
  if (shown && ctx.FindChildEntry(kPitB, entry) > 0)
    for (Field k : {taxpayer_business_revenue, taxpayer_business_costs, spouse_business_revenue, spouse_business_costs})
      ctx.shown.SetReadOnly(k, true);

  // 9. Method of taxation follows the settlement kind. The boxes form one
  // choice, so a box left ticked from an earlier kind loses its tick: it
  // would halve the base or double the tax in steps 19 and 20. The user's
  // box of a joint return with a deceased spouse stays.
  if (kind == kIndividual) {
    f.Tick(filing_individual, "1");
    for (Field k : {filing_joint, filing_joint_deceased, filing_single_parent}) f.Untick(k);
  } else if (kind == kJoint) {
    if (!f.Ticked(filing_joint_deceased))
      f.Tick(filing_joint, "2");
    else
      f.Untick(filing_joint);
    for (Field k : {filing_individual, filing_single_parent}) f.Untick(k);
  } else if (kind == kSingleParent) {
    f.Tick(filing_single_parent, "4");
    for (Field k : {filing_individual, filing_joint, filing_joint_deceased}) f.Untick(k);
  }

  // 10. Income table.
  IncomeTable(f, kTaxpayerColumns, ownBusinessAttached());
  IncomeTable(f, kSpouseColumns, spouseBusinessAttached());

  // 11. Separately entered parts of the deductions.
  f.CapAtField(taxpayer_social_insurance_abroad, taxpayer_social_insurance);
  f.CapAtField(spouse_social_insurance_abroad, spouse_social_insurance);

  // 12. Deductions from income typed in the return, against the income with
  // the children's.
  const Amount ownIncome = f.AmountOf(taxpayer_total_income) + f.AmountOf(taxpayer_children_income);
  const Amount spouseIncome = f.AmountOf(spouse_total_income) + f.AmountOf(spouse_children_income);
  reduced |= CapIncomeDeductions(f, ownIncome, taxpayer_social_insurance, taxpayer_past_loss,
                                 taxpayer_other_income_deductions);
  reduced |=
      CapIncomeDeductions(f, spouseIncome, spouse_social_insurance, spouse_past_loss, spouse_other_income_deductions);

  // 13. Income after them.
  f.Set(taxpayer_income_after_deductions,
        ownIncome - f.Sum({taxpayer_other_income_deductions, taxpayer_past_loss, taxpayer_social_insurance}));
  f.Set(spouse_income_after_deductions,
        spouseIncome - f.Sum({spouse_other_income_deductions, spouse_past_loss, spouse_social_insurance}));

  // 14. Deductions from income of the PIT/O.
  const int o = ctx.FindChildEntry(kPitO, entry);
  if (o > 0) {
    const FormFields pitO(ctx, o);
    f.CopyFrom(taxpayer_pit_o_income_deductions, pitO, pit_o::taxpayer_income_deductions_total);
    f.CopyFrom(spouse_pit_o_income_deductions, pitO, pit_o::spouse_income_deductions_total);
  }

  // 15. Housing reliefs of the settlement's PIT/D: the taxpayer's part when
  // the PIT/D splits the relief between the spouses, else the whole.
  if (const int d = ctx.FirstEntryOfType(kPitD); d > 0) {
    const FormFields pitD(ctx, d);
    CopyHousingPart(f, taxpayer_pit_d_income_relief, pitD, pit_d::loan_return_taxpayer, pit_d::loan_return_spouse,
                    pit_d::loan_return);
    CopyHousingPart(f, pit_d_relief, pitD, pit_d::expenses_return_taxpayer, pit_d::expenses_return_spouse,
                    pit_d::expenses_return);
    if (pitD.AmountOf(pit_d::tax_relief_return_taxpayer) > 0 || NonZero(pitD, pit_d::tax_relief_return_spouse))
      f.CopyFrom(pit_d_tax_relief, pitD, pit_d::tax_relief_return_taxpayer);
    else
      f.CopyFrom(pit_d_tax_relief, pitD, pit_d::tax_relief_return);
  }

  // 16. The PIT/O deductions fit in each person's income.
  reduced |= f.CapAtField(taxpayer_pit_o_income_deductions, taxpayer_income_after_deductions);
  reduced |= f.CapAtField(spouse_pit_o_income_deductions, spouse_income_after_deductions);

  // 17. The further deductions fit in what is left, one after the other.
  Amount left = f.AmountOf(taxpayer_income_after_deductions) + f.AmountOf(spouse_income_after_deductions) -
                f.AmountOf(taxpayer_pit_o_income_deductions) - f.AmountOf(spouse_pit_o_income_deductions);
  if (f.AmountOf(taxpayer_pit_d_income_relief) > left) {
    f.Set(taxpayer_pit_d_income_relief, left);
    reduced = true;
  }
  left -= f.AmountOf(taxpayer_pit_d_income_relief);
  for (Field k : {taxpayer_housing_rights_deduction, spouse_housing_rights_deduction}) {
    if (f.AmountOf(k) > RoundGrosze(left)) {
      f.Set(k, left);
      reduced = true;
    }
    left -= f.AmountOf(k);
  }
  if (RoundGrosze(left) >= f.AmountOf(pit_d_relief))
    f.Copy(pit_d_relief_from_income, pit_d_relief);
  else
    f.Set(pit_d_relief_from_income, left);
  f.SetUnrounded(pit_d_relief_left, f.AmountOf(pit_d_relief) - f.AmountOf(pit_d_relief_from_income));
  left -= f.AmountOf(pit_d_relief_from_income);
  for (Field k : {taxpayer_investment_rights_deduction, spouse_investment_rights_deduction}) {
    if (f.AmountOf(k) > RoundGrosze(left)) {
      f.Set(k, left);
      reduced = true;
    }
    left -= f.AmountOf(k);
  }

  // 18. Base before rounding, with the amounts that exceed the losses.
  {
    Amount w = RoundGrosze(f.AmountOf(taxpayer_base_additions) + f.AmountOf(spouse_base_additions) + left);
    static const Field kLossPairs[][2] = {{taxpayer_business_loss, taxpayer_base_additions_row3},
                                          {spouse_business_loss, spouse_base_additions_row3},
                                          {taxpayer_farming_loss, taxpayer_base_additions_row4},
                                          {spouse_farming_loss, spouse_base_additions_row4}};
    for (const auto& p : kLossPairs)
      if (f.AmountOf(p[0]) < f.AmountOf(p[1])) w += f.AmountOf(p[1]) - f.AmountOf(p[0]);
    f.Set(income_after_all_deductions, w);
  }

  // 19. Tax base in whole złoty: half the income unless taxed individually.
  if (f.Ticked(filing_individual))
    f.Set(tax_base, RoundZloty(f.AmountOf(income_after_all_deductions)));
  else
    f.Set(tax_base, RoundZlotyTenths(f.AmountOf(income_after_all_deductions) / 2));

  // 20. Tax; foreign income sets the rate of the Polish income.
  if (f.AmountOf(taxpayer_foreign_rate_income) > 0 || f.AmountOf(spouse_foreign_rate_income) > 0) {
    TaxWithForeignIncome(f, kind);
  } else if (f.AmountOf(taxpayer_foreign_rate_income) == 0 && f.AmountOf(spouse_foreign_rate_income) == 0) {
    const bool halved = f.Ticked(filing_joint) || f.Ticked(filing_joint_deceased) || f.Ticked(filing_single_parent);
    const Amount scale = TaxScale(RoundZloty(f.AmountOf(tax_base)));
    f.Set(tax, halved ? 2 * scale : scale);
  }
  if (f.AmountOf(tax) < 0) f.SetZero(tax);

  // 21. Tax with the amounts added and deducted.
  f.SetPositivePart(tax_total, (f.AmountOf(tax) + f.AmountOf(tax_additions)) -
                                   (f.AmountOf(taxpayer_foreign_tax) + f.AmountOf(spouse_foreign_tax)));

  // 22. Deductions from tax of the PIT/O.
  if (o > 0) {
    const FormFields pitO(ctx, o);
    f.CopyFrom(taxpayer_pit_o_tax_deductions, pitO, pit_o::taxpayer_tax_deductions_total);
    f.CopyFrom(spouse_pit_o_tax_deductions, pitO, pit_o::spouse_tax_deductions_total);
  }

  // 23. Deductions from tax fit in the tax, in order of the columns.
  {
    const Amount t = f.AmountOf(tax_total);
    const Field health = taxpayer_health_insurance, spouseHealth = spouse_health_insurance,
                ownPitO = taxpayer_pit_o_tax_deductions, spousePitO = spouse_pit_o_tax_deductions;
    if (f.AmountOf(health) > t) {
      f.Copy(health, tax_total);
      for (Field k : {spouseHealth, ownPitO, spousePitO}) f.SetZero(k);
      reduced = true;
    }
    if (f.AmountOf(health) + f.AmountOf(spouseHealth) > t) {
      f.Set(spouseHealth, t - f.AmountOf(health));
      for (Field k : {ownPitO, spousePitO}) f.SetZero(k);
      reduced = true;
    }
    if (f.Sum({health, spouseHealth, ownPitO}) > t) {
      f.Set(ownPitO, t - f.AmountOf(health) - f.AmountOf(spouseHealth));
      f.SetZero(spousePitO);
      reduced = true;
    }
    if (f.Sum({health, spouseHealth, ownPitO, spousePitO}) > t) {
      f.Set(spousePitO, t - f.AmountOf(health) - f.AmountOf(spouseHealth) - f.AmountOf(ownPitO));
      reduced = true;
    }
  }

  // 24. The PIT/D relief from tax as far as the tax goes.
  {
    const Amount rest = f.AmountOf(tax_total) - f.Sum({taxpayer_health_insurance, spouse_health_insurance,
                                                       taxpayer_pit_o_tax_deductions, spouse_pit_o_tax_deductions});
    if (f.AmountOf(pit_d_tax_relief) > rest)
      f.Set(pit_d_tax_relief_used, rest);
    else
      f.Copy(pit_d_tax_relief_used, pit_d_tax_relief);
    f.Set(pit_d_tax_relief_left, f.AmountOf(pit_d_tax_relief) - f.AmountOf(pit_d_tax_relief_used));
  }
  f.CapAtField(taxpayer_health_insurance_abroad, taxpayer_health_insurance);
  f.CapAtField(spouse_health_insurance_abroad, spouse_health_insurance);

  // 25. Tax due.
  f.Set(tax_after_deductions, f.AmountOf(tax_total) - f.Sum({taxpayer_health_insurance, spouse_health_insurance,
                                                             taxpayer_pit_o_tax_deductions, spouse_pit_o_tax_deductions,
                                                             pit_d_tax_relief_used}));
  f.Set(tax_due, RoundZloty(f.AmountOf(tax_after_deductions)));

  // 26. Advances; to pay or overpaid.
  f.Set(advances_due_total,
        f.Sum({taxpayer_total_advance, spouse_total_advance, taxpayer_children_advances, spouse_children_advances}));
  f.SetPositivePart(to_pay, RoundGrosze(f.AmountOf(tax_due) - f.AmountOf(advances_due_total)));
  f.SetPositivePart(overpaid, RoundGrosze(f.AmountOf(advances_due_total) - f.AmountOf(tax_due)));

  // 27. Settlement of advances.
  f.CapAtField(taxpayer_advances_withheld, taxpayer_advances_due);
  f.CapAtField(spouse_advances_withheld, spouse_advances_due);
  SetOrZeroText(f, taxpayer_advances_not_withheld,
                f.AmountOf(taxpayer_advances_due) -
                    (f.AmountOf(taxpayer_advances_withheld) + f.AmountOf(taxpayer_advances_self_paid)));
  SetOrZeroText(
      f, spouse_advances_not_withheld,
      f.AmountOf(spouse_advances_due) - (f.AmountOf(spouse_advances_withheld) + f.AmountOf(spouse_advances_self_paid)));
  SetOrZeroText(f, taxpayer_advances_excess,
                (f.AmountOf(taxpayer_advances_withheld) + f.AmountOf(taxpayer_advances_self_paid)) -
                    f.AmountOf(taxpayer_advances_due));
  SetOrZeroText(
      f, spouse_advances_excess,
      (f.AmountOf(spouse_advances_withheld) + f.AmountOf(spouse_advances_self_paid)) - f.AmountOf(spouse_advances_due));
  {
    const Amount due = f.Sum({tax_due, taxpayer_property_sale_tax, spouse_property_sale_tax,
                              taxpayer_advances_not_withheld, spouse_advances_not_withheld}),
                 paid = f.Sum({advances_paid, taxpayer_advances_excess, spouse_advances_excess});
    SetOrZeroText(f, to_pay_after_advances, due - paid);
    SetOrZeroText(f, overpaid_after_advances, paid - due);
  }

  // The child relief the tax could not take, on the PIT/O and PIT/UZ.
  FollowChildRelief(ctx, entry);

  // 28. Attachments.
  static const struct {
    Field count;
    int form;
  } kCounts[] = {{pit_uz_count, kPitUZ}, {pit_b_count, kPitB}, {pit_d_count, kPitD},
                 {pit_2k_count, kPit2K}, {pit_m_count, kPitM}, {pit_o_count, kPitO},
                 {pit_zg_count, kPitZG}, {pit_z_count, kPitZ}, {sse_r_count, kSseR}};
  for (const auto& c : kCounts) f.SetText(c.count, CountText(ctx.CountChildEntries(c.form, entry, -1)));

  // 29. The 1% amount.
  reduced |= CapOnePercent(ctx, f, tax_due, one_percent);

  // 30. Messages: the reminder about the advances actually paid on page 4,
  // replaced by the reduction notice when something was capped.
  bool advancesNote = false;
  if (shown) {
    ctx.shown.ClearMessages();
    if (ctx.input.page == kAdvancesPage && f.AmountOf(advances_paid) == 0) {
      ctx.shown.SetMessageListHeight(MessageListHeight::Normal);
      ctx.shown.AddMessage("   UWAGA !");
      ctx.shown.AddMessage(
          "   PIT-36. Ponieważ kwoty zaliczek należnych i faktycznie wpłaconych w ciągu roku przez podatnika "
          "mogą się różnić, poz. 196 należy wypełnić samodzielnie.");
      advancesNote = true;
    } else {
      ctx.shown.SetMessageListHeight(MessageListHeight::Hidden);
    }
    if (reduced) {
      ctx.shown.ClearMessages();
      ctx.shown.SetMessageListHeight(MessageListHeight::Normal);
      ctx.shown.AddMessage(ReductionNotice(kPit36));
    } else if (!advancesNote) {
      ctx.shown.SetMessageListHeight(MessageListHeight::Hidden);
    }
  }

  // 31. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(krs)) f.SetZero(one_percent);
  if (shown && ctx.input.page == kOnePercentPage && f.AmountOf(tax_due) > 0 &&
      f.AmountOf(one_percent) == 0 && !f.IsEmpty(krs))
    ShowOnePercentWarning(ctx, kOnePercentWarning);

  // 32. The user clicked the korekta box.
  CorrectionInfoOnClick(ctx, kPit36, purpose_correction, "PIT-36", 0);

  // 33. A loss of earlier years needs its description; reminded once per
  // page display.
  if (shown && ctx.input.page == kLossesPage && ctx.ReminderDue()) {
    const int edited = ctx.input.committedField;
    const char* reminder = nullptr;
    if (edited == taxpayer_past_loss && f.AmountOf(taxpayer_past_loss) > 0 && f.IsEmpty(taxpayer_past_loss_source))
      reminder = "Uzupełnij opis: \"Straty z lat ubiegłych\" – komórka lewa ";
    if (edited == spouse_past_loss && f.AmountOf(spouse_past_loss) > 0 && f.IsEmpty(spouse_past_loss_source))
      reminder = "Uzupełnij opis: \"Straty z lat ubiegłych\" – komórka prawa ";
    if (reminder != nullptr) {
      ctx.RemindOnce(reminder);
    }
  }

  // 34. Required fields.
  if (!shown) return;
  MarkIncomeRowsRequired(ctx, entry, kTaxpayerColumns);
  MarkIncomeRowsRequired(ctx, entry, kSpouseColumns);
  if (f.AmountOf(taxpayer_business_pit_z_income) > 0) ctx.shown.SetMustBe(taxpayer_business_income, true);
  if (f.AmountOf(taxpayer_business_income) > 0) ctx.shown.SetMustBe(taxpayer_business_pit_z_income, true);
  if (f.AmountOf(spouse_business_pit_z_income) > 0) ctx.shown.SetMustBe(spouse_business_income, true);
  if (f.AmountOf(spouse_business_income) > 0) ctx.shown.SetMustBe(spouse_business_pit_z_income, true);
  for (Field k :
       {taxpayer_business_second_way, spouse_business_second_way, taxpayer_second_way_basis, spouse_second_way_basis})
    ctx.shown.SetMustBe(k, false);
  if (f.Ticked(taxpayer_business_second_way)) ctx.shown.SetMustBe(taxpayer_second_way_basis, true);
  if (f.Ticked(spouse_business_second_way)) ctx.shown.SetMustBe(spouse_second_way_basis, true);
  if (!f.IsEmpty(taxpayer_second_way_basis)) ctx.shown.SetMustBe(taxpayer_business_second_way, true);
  if (!f.IsEmpty(spouse_second_way_basis)) ctx.shown.SetMustBe(spouse_business_second_way, true);
  ctx.shown.SetMustBe(taxpayer_past_loss_source, f.AmountOf(taxpayer_past_loss) > 0);
  ctx.shown.SetMustBe(spouse_past_loss_source, f.AmountOf(spouse_past_loss) > 0);
}

void CalculatePit36(CalcContext& ctx, int entry) { CalculatePit36WithPass(ctx, entry, true); }

void CalculatePitM(CalcContext& ctx, int entry) {
  using namespace pit_m;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitM);

  // 1. Identifier marks and identification.
  MarkIdentifierKind(ctx, kPitM, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2. Rows.
  f.Copy(pension_income, pension_revenue);
  SetPlain(f, rental_income, f.AmountOf(rental_revenue) - f.AmountOf(rental_costs));
  SetPlain(f, capital_income, f.AmountOf(capital_revenue) - f.AmountOf(capital_costs));
  SetPlain(f, other_income, f.AmountOf(other_revenue) - f.AmountOf(other_costs));
  SetPlain(f, rental_loss, f.AmountOf(rental_costs) - f.AmountOf(rental_revenue));
  SetPlain(f, capital_loss, f.AmountOf(capital_costs) - f.AmountOf(capital_revenue));
  SetPlain(f, other_loss, f.AmountOf(other_costs) - f.AmountOf(other_revenue));

  // 3. Totals.
  f.SetUnrounded(total_revenue, f.Sum({pension_revenue, rental_revenue, capital_revenue, other_revenue}));
  f.SetUnrounded(total_costs, f.Sum({rental_costs, capital_costs, other_costs}));
  f.SetUnrounded(total_income, f.Sum({pension_income, rental_income, capital_income, other_income}));

  // 4. Advances in whole złoty.
  for (Field k : {pension_advance, rental_advance, capital_advance, other_advance})
    f.SetUnrounded(k, RoundZloty(f.AmountOf(k)));
  f.SetUnrounded(total_advance, f.Sum({pension_advance, rental_advance, capital_advance, other_advance}));

  // 5. Half or all of the children's income goes to the return.
  if (f.Ticked(carried_half)) {
    f.Set(income_carried, f.AmountOf(total_income) / 2);
    f.Set(advances_carried, f.AmountOf(total_advance) / 2);
  } else if (f.Ticked(carried_whole)) {
    f.Copy(income_carried, total_income);
    f.Copy(advances_carried, total_advance);
  } else {
    f.SetZero(income_carried);
    f.SetZero(advances_carried);
  }

  // 6. Into the PIT-36, which is recalculated (calc/carries.cpp).
  CarryIntoReturns(ctx, entry);

  // 7. Required fields: a row's revenue and advances go together once any
  // of its amounts is typed.
  if (!shown) return;
  for (Field k : {pension_advance, pension_revenue, rental_advance, rental_revenue, capital_advance, capital_revenue,
                  other_advance, other_revenue})
    ctx.shown.SetMustBe(k, false);
  auto anyPositive = [&](std::initializer_list<Field> ks) {
    for (Field k : ks)
      if (f.AmountOf(k) > 0) return true;
    return false;
  };
  if (anyPositive({pension_revenue, pension_advance}))
    for (Field k : {pension_advance, pension_revenue}) ctx.shown.SetMustBe(k, true);
  if (anyPositive({rental_revenue, rental_costs, rental_advance}))
    for (Field k : {rental_advance, rental_revenue}) ctx.shown.SetMustBe(k, true);
  if (anyPositive({capital_revenue, capital_costs, capital_advance}))
    for (Field k : {capital_advance, capital_revenue}) ctx.shown.SetMustBe(k, true);
  if (anyPositive({other_revenue, other_costs, other_advance}))
    for (Field k : {other_advance, other_revenue}) ctx.shown.SetMustBe(k, true);
}

}  // namespace pit
