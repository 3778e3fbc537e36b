// The payer forms: PIT-11 (information on an employee's income), PIT-40
// (the payer's annual calculation of the employee's tax) and PIT-R (monthly
// payments to a member of an agricultural cooperative, attached to either).
#include "calc/calculation.h"
#include "calc/framework.h"
#include "calc/limits.h"
#include "forms/pit11_fields.h"
#include "forms/pit40_fields.h"
#include "forms/pit_r_fields.h"

#include <cmath>
#include <vector>

namespace pit {
namespace {

// A payer's correction is justified in its own UPKD or in UPKD ORD-ZU,
// attached to the form for the same person.
bool HasPayerCorrection(const CalcContext& ctx, int parent, int pm) {
  return ctx.FindEntry(kUpkdPayer, parent, pm) > 0 || ctx.FindEntry(kUpkdOrdZu, parent, pm) > 0;
}

void PayerPurposeBoxes(CalcContext& ctx, FormFields& f, int parent, int filingBox, int correctionBox) {
  if (HasPayerCorrection(ctx, parent, f.Header().PM)) {
    f.Tick(correctionBox, "2");
    f.Untick(filingBox);
  } else {
    f.Tick(filingBox, "1");
    f.Untick(correctionBox);
  }
}

// The payer's data of the chosen kind of payer: the fields of that kind are
// shown and the required ones marked; the required fields of the other
// kind are emptied so that the exchange carries no stale name.
struct PayerKind {
  int box;
  std::vector<int> shown;
  std::vector<int> required;
  std::vector<int> emptied;
};

void PayerKindFields(CalcContext& ctx, FormFields& f, const PayerKind& a, const PayerKind& b) {
  for (const PayerKind* k : {&a, &b})
    for (int field : k->shown) ctx.shown.SetVisible(field, false);
  for (const PayerKind* k : {&a, &b}) {
    if (!f.Ticked(k->box)) continue;
    for (int field : k->shown) ctx.shown.SetVisible(field, true);
    for (int field : k->required) ctx.shown.SetMustBe(field, true);
    for (int field : k->emptied) f.SetText(field, "");
  }
}

// The payer's header, alike on PIT-11 and PIT-40 (at other object indexes).
template <int Form>
struct PayerHeaderFields {
  FieldOf<Form> entity, person;
  FieldOf<Form> filing, correction;
  FieldOf<Form> name, shortName, regon;
  FieldOf<Form> surname, firstName, birthDate, businessName, personRegon;
};

// A PIT-R fixes the kind of payer (a cooperative). The boxes are ticked here
// too, as the PIT-R's calculation ticks them: a PIT-R not yet shown would
// otherwise leave both boxes empty and read-only, and the payer's name fields
// out of reach. Then the purpose, and the payer's data of the kind chosen.
template <int Form>
void PayerHeader(CalcContext& ctx, FormFields& f, int entry, bool shown, bool hasPitR,
                 const PayerHeaderFields<Form>& h) {
  if (hasPitR) {
    f.Tick(h.entity, "1");
    f.Untick(h.person);
  }
  if (shown && hasPitR) {
    ctx.shown.SetReadOnly(h.entity, true);
    ctx.shown.SetReadOnly(h.person, true);
  }

  PayerPurposeBoxes(ctx, f, entry, h.filing, h.correction);

  if (shown) {
    for (int k : {h.name, h.surname, h.firstName, h.birthDate}) ctx.shown.SetMustBe(k, false);
    PayerKindFields(ctx, f,
                    {h.entity, {h.name, h.shortName, h.regon}, {h.name}, {h.surname, h.firstName, h.birthDate}},
                    {h.person,
                     {h.surname, h.businessName, h.firstName, h.personRegon, h.birthDate},
                     {h.surname, h.firstName, h.birthDate},
                     {h.name, h.regon}});
  }
}

// MustBe of the group's fields, set exactly when one of the tested amounts
// is above zero.
void RequireWhenAny(CalcContext& ctx, const FormFields& f, std::initializer_list<int> group,
                    std::initializer_list<int> tests) {
  bool any = false;
  for (int k : tests) any = any || f.AmountOf(k) > 0;
  for (int k : group) ctx.shown.SetMustBe(k, any);
}

}  // namespace

void CalculatePit11(CalcContext& ctx, int entry) {
  using namespace pit11;
  constexpr PayerHeaderFields<kForm> kHeader{
      payer_entity, payer_person,
      purpose_filing, purpose_correction,
      payer_name, payer_short_name, payer_regon,
      payer_surname, payer_first_name, payer_birth_date, payer_business_name, payer_person_regon};
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit11);
  const bool hasPitR = ctx.FindChildEntry(kPitR, entry) > 0;

  // 1. Message list, identifier marks, identification exchange.
  ClearMessagesIfShown(ctx, kPit11);
  MarkIdentifierKind(ctx, kPit11, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2-4. Kind of payer, purpose, the payer's data.
  PayerHeader(ctx, f, entry, shown, hasPitR, kHeader);

  // 5. Costs and deductions never above what they are deducted from.
  f.CapAtField(employment_costs, employment_revenue);
  f.CapAtField(employment_extra_costs, employment_extra_revenue);
  f.Set(employment_income,
        f.Sum({employment_revenue, employment_extra_revenue}) - f.Sum({employment_costs, employment_extra_costs}));
  f.Copy(detention_income, detention_revenue);
  f.Copy(pension_income, pension_revenue);
  f.Copy(benefit_income, benefit_revenue);
  f.Copy(scholarship_income, scholarship_revenue);
  f.CapAtField(personal_costs, personal_revenue);
  f.Set(personal_income, f.AmountOf(personal_revenue) - f.AmountOf(personal_costs));
  if (shown && ctx.FindEntry(kPitR, entry, kPmNone) > 0) ctx.shown.SetReadOnly(cooperative_revenue, true);
  f.CapAtField(cooperative_costs, cooperative_revenue);
  f.Set(cooperative_income, f.AmountOf(cooperative_revenue) - f.AmountOf(cooperative_costs));
  if (f.AmountOf(mandate_costs) > f.Sum({mandate_revenue, work_contract_revenue}))
    f.Set(mandate_costs, f.Sum({mandate_revenue, work_contract_revenue}));
  f.Set(mandate_income, f.Sum({mandate_revenue, work_contract_revenue}) - f.AmountOf(mandate_costs));
  f.CapAtField(rights_costs, rights_revenue);
  f.Set(rights_income, f.AmountOf(rights_revenue) - f.AmountOf(rights_costs));
  f.Copy(other_income, other_revenue);
  f.CapAtField(social_insurance_deductible, social_insurance);
  f.CapAtField(health_insurance_deductible, health_insurance);

  // 6. The PIT-R boxes.
  if (hasPitR) {
    f.Tick(pit_r_attached, "1");
    f.Untick(pit_r_not_attached);
  } else {
    f.Untick(pit_r_attached);
    f.Tick(pit_r_not_attached, "2");
  }

  // 7. The correction explanation.
  CorrectionInfoOnClick(ctx, kPit11, purpose_correction, "PIT-11", 0);

  // 8. A row with any amount requires its revenue and its advance.
  if (shown) {
    RequireWhenAny(ctx, f, {employment_revenue, employment_advance},
                   {employment_revenue, employment_costs, employment_exempt});
    RequireWhenAny(ctx, f, {employment_extra_revenue, employment_extra_costs},
                   {employment_extra_revenue, employment_extra_costs});
    RequireWhenAny(ctx, f, {detention_revenue, detention_advance}, {detention_revenue, detention_advance});
    RequireWhenAny(ctx, f, {pension_revenue, pension_advance}, {pension_revenue, pension_exempt, pension_advance});
    RequireWhenAny(ctx, f, {benefit_revenue, benefit_advance}, {benefit_revenue, benefit_advance});
    RequireWhenAny(ctx, f, {scholarship_revenue, scholarship_advance}, {scholarship_revenue, scholarship_advance});
    RequireWhenAny(ctx, f, {personal_revenue, personal_advance}, {personal_revenue, personal_costs, personal_advance});
    RequireWhenAny(ctx, f, {cooperative_revenue, cooperative_advance},
                   {cooperative_revenue, cooperative_costs, cooperative_advance});
    RequireWhenAny(ctx, f, {mandate_revenue, mandate_advance}, {mandate_revenue, mandate_advance});
    RequireWhenAny(ctx, f, {work_contract_revenue, mandate_costs}, {work_contract_revenue, mandate_costs});
    RequireWhenAny(ctx, f, {rights_revenue, rights_advance}, {rights_revenue, rights_costs, rights_advance});
    RequireWhenAny(ctx, f, {other_revenue, other_advance}, {other_revenue, other_exempt, other_advance});
    RequireWhenAny(ctx, f, {social_insurance}, {social_insurance_deductible, health_insurance});
    RequireWhenAny(ctx, f, {health_insurance}, {health_insurance, health_insurance_deductible});
  }
}

void CalculatePit40(CalcContext& ctx, int entry) {
  using namespace pit40;
  constexpr PayerHeaderFields<kForm> kHeader{
      payer_entity, payer_person,
      purpose_filing, purpose_correction,
      payer_name, payer_short_name, payer_regon,
      payer_surname, payer_first_name, payer_birth_date, payer_business_name, payer_person_regon};
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit40);
  const bool hasPitR = ctx.FindChildEntry(kPitR, entry) > 0;

  // 1. Message list, identifier marks, identification exchange.
  ClearMessagesIfShown(ctx, kPit40);
  MarkIdentifierKind(ctx, kPit40, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2-4. Kind of payer, purpose, the payer's data.
  PayerHeader(ctx, f, entry, shown, hasPitR, kHeader);

  // 5. The PIT-R box.
  if (hasPitR)
    f.Tick(pit_r_attached, "1");
  else
    f.Untick(pit_r_attached);

  // 6. Incomes and totals; costs never above their revenue.
  f.CapAtField(employment_costs, employment_revenue);
  f.CapAtField(employment_extra_costs, employment_extra_revenue);
  f.Set(employment_income,
        f.Sum({employment_revenue, employment_extra_revenue}) - f.Sum({employment_costs, employment_extra_costs}));
  f.Copy(detention_income, detention_revenue);
  f.Copy(pension_income, pension_revenue);
  f.Copy(benefit_income, benefit_revenue);
  f.CapAtField(cooperative_costs, cooperative_revenue);
  f.Set(cooperative_income, f.AmountOf(cooperative_revenue) - f.AmountOf(cooperative_costs));
  if (f.AmountOf(mandate_costs) > f.Sum({mandate_revenue, work_contract_revenue}))
    f.Set(mandate_costs, f.Sum({mandate_revenue, work_contract_revenue}));
  f.Set(mandate_income, f.Sum({mandate_revenue, work_contract_revenue}) - f.AmountOf(mandate_costs));
  f.CapAtField(personal_costs, personal_revenue);
  f.Set(personal_income, f.AmountOf(personal_revenue) - f.AmountOf(personal_costs));
  f.Set(total_revenue,
        f.Sum({employment_revenue, employment_extra_revenue, detention_revenue, pension_revenue, benefit_revenue,
               cooperative_revenue, mandate_revenue, work_contract_revenue, personal_revenue}));
  f.Set(total_costs,
        f.Sum({employment_costs, employment_extra_costs, cooperative_costs, mandate_costs, personal_costs}));
  f.Set(total_income, f.Sum({employment_income, detention_income, pension_income, benefit_income, cooperative_income,
                             mandate_income, personal_income}));
  f.Set(total_advance, f.Sum({employment_advance, detention_advance, pension_advance, benefit_advance,
                              cooperative_advance, mandate_advance, personal_advance}));

  // 7. Deductions from income, together never above the income; the
  // internet relief within its statutory limit first.
  bool reduced = f.Cap(internet, limits2014::kInternet);
  const Amount income = f.AmountOf(total_income);
  f.CapAtField(social_insurance, total_income);
  f.CapAtField(social_insurance_abroad, social_insurance);
  if (f.Sum({social_insurance, internet}) > income) f.Set(internet, income - f.AmountOf(social_insurance));
  if (f.Sum({social_insurance, internet, other_deductions}) > income)
    f.Set(other_deductions, income - f.Sum({social_insurance, internet}));

  // 8. Base and tax by the scale.
  f.Set(tax_base, RoundZloty(income - f.Sum({social_insurance, internet, other_deductions})));
  f.SetPositivePart(scale_tax, TaxScale(f.AmountOf(tax_base)));
  f.CapAtField(tax_additions, scale_tax);
  f.Set(tax, f.Sum({scale_tax, tax_additions}));

  // 9. Deductions from tax, together never above the tax; the child relief
  // first within the limit for the number of children. Before the number
  // is given the amount stays as typed (the number is then required).
  if (!f.IsEmpty(child_count)) {
    const Amount limit = ChildReliefLimit(Trunc(f.AmountOf(child_count)));
    if (f.AmountOf(child_relief) > limit) {
      f.SetUnrounded(child_relief, limit);
      reduced = true;
    }
  }
  const Amount taxAmount = f.AmountOf(tax);
  f.Copy(health_insurance_deducted, f.AmountOf(health_insurance) >= taxAmount ? tax : health_insurance);
  f.CapAtField(health_insurance_abroad, health_insurance);
  if (f.Sum({health_insurance_deducted, child_relief}) > taxAmount)
    f.Set(child_relief, taxAmount - f.AmountOf(health_insurance_deducted));

  // 10. Tax due.
  f.Set(tax_due, RoundZloty(taxAmount - f.Sum({health_insurance_deducted, child_relief})));

  // 11. Against the advances: to pay or overpaid; equal amounts give 0,00 in both.
  const Amount due = f.AmountOf(tax_due), advances = f.AmountOf(total_advance);
  if (due >= advances)
    f.Set(to_pay, due - advances);
  else
    f.SetZero(to_pay);
  if (advances >= due)
    f.Set(overpaid, advances - due);
  else
    f.SetZero(overpaid);

  // 12. The correction explanation; the reduction notice.
  CorrectionInfoOnClick(ctx, kPit40, purpose_correction, "PIT-40", 0);
  ShowReductionNotice(ctx, kPit40, reduced);

  // 13. Required fields.
  if (shown) {
    RequireWhenAny(
        ctx, f, {employment_revenue, employment_advance},
        {employment_revenue, employment_costs, employment_advance, employment_extra_revenue, employment_extra_costs});
    RequireWhenAny(ctx, f, {detention_revenue, detention_advance}, {detention_revenue, detention_advance});
    RequireWhenAny(ctx, f, {pension_revenue, pension_advance}, {pension_revenue, pension_advance});
    RequireWhenAny(ctx, f, {benefit_revenue, benefit_advance}, {benefit_revenue, benefit_advance});
    RequireWhenAny(ctx, f, {cooperative_revenue, cooperative_advance},
                   {cooperative_revenue, cooperative_costs, cooperative_advance});
    RequireWhenAny(ctx, f, {mandate_revenue, mandate_advance},
                   {mandate_revenue, mandate_advance, work_contract_revenue, mandate_costs});
    RequireWhenAny(ctx, f, {personal_revenue, personal_advance}, {personal_revenue, personal_costs, personal_advance});
    // These only ever add the mark: the fields are required by the form
    // itself when the definition says so.
    if (f.AmountOf(social_insurance_abroad) > 0) ctx.shown.SetMustBe(social_insurance, true);
    if (f.AmountOf(other_deductions) > 0) ctx.shown.SetMustBe(other_deductions_title, true);
    if (f.AmountOf(health_insurance) > 0 || f.AmountOf(health_insurance_abroad) > 0)
      ctx.shown.SetMustBe(health_insurance, true);
    if (f.AmountOf(child_relief) > 0) ctx.shown.SetMustBe(child_count, true);
  }
}

void CalculatePitR(CalcContext& ctx, int entry) {
  using namespace pit_r;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitR);
  const int parent = f.Header().IdParent;

  // 1. Message list, identifier marks, identification exchange.
  ClearMessagesIfShown(ctx, kPitR);
  MarkIdentifierKind(ctx, kPitR, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2. Purpose follows the correction of the form it is attached to.
  const int parentPm = ctx.settlement.Has(parent) ? ctx.settlement.Entry(parent).PM : kPmNone;
  if (HasPayerCorrection(ctx, parent, parentPm)) {
    f.Tick(purpose_correction, "2");
    f.Untick(purpose_filing);
  } else {
    f.Tick(purpose_filing, "1");
    f.Untick(purpose_correction);
  }

  // 3. The payer of a PIT-R is a cooperative: not a natural person.
  if (ctx.settlement.Has(parent)) {
    FormFields p(ctx, parent);
    const int idPit = p.Header().IdPit;
    if (idPit == kPit11) {
      p.Tick(pit11::payer_entity, "1");
      p.Untick(pit11::payer_person);
    } else if (idPit == kPit40) {
      p.Tick(pit40::payer_entity, "1");
      p.Untick(pit40::payer_person);
    }
  }

  // 4. The payer's name fields.
  if (shown)
    for (int k : {payer_name, payer_short_name, payer_regon}) ctx.shown.SetVisible(k, true);

  // 5. Months (the rows of a table, January to December): deductions never
  // above the amount paid.
  constexpr int kMonths = 12;
  constexpr int kMonthStep = february_paid - january_paid;
  Amount total = 0;
  for (int month = 0; month < kMonths; ++month) {
    const int shift = month * kMonthStep;
    const int paid = january_paid + shift, exempt = january_exempt + shift, reductions = january_reductions + shift,
              revenue = january_revenue + shift;
    if (f.AmountOf(paid) < f.AmountOf(exempt)) {
      f.Copy(exempt, paid);
      f.SetZero(reductions);
    }
    if (f.AmountOf(paid) < f.Sum({exempt, reductions})) f.Set(reductions, f.AmountOf(paid) - f.AmountOf(exempt));
    f.Set(revenue, f.AmountOf(paid) - f.Sum({exempt, reductions}));
    total += f.AmountOf(revenue);
  }
  f.Set(total_revenue, total);

  // 6. The total is the PIT-11's revenue of its cooperative row. The PIT-11
  // is recalculated at once, so that its costs and income of that row never
  // stay computed from the previous total.
  const int pit11Entry = ctx.FindEntry(kPit11, 0, kPmNone);
  if (pit11Entry > 0) {
    FormFields(ctx, pit11Entry).CopyFrom(pit11::cooperative_revenue, f, total_revenue);
    Calculate(ctx, kPit11, pit11Entry);
  }
}

}  // namespace pit
