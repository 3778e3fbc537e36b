// PIT/O, PIT/D and PIT/UZ: the reliefs attached to a return.
#include <algorithm>
#include <array>
#include <cmath>

#include "calc/calculation.h"
#include "calc/framework.h"
#include "calc/limits.h"
#include "calc/pit_o_children.h"
#include "forms/pit36_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_uz_fields.h"

namespace pit {

// --- statutory limits of 2014 ---------------------------------------------------

namespace limits2014 {
// Child relief of one PIT/O by the number of children, in grosze.
constexpr std::array<std::int64_t, 5> kChildReliefUpTo4 = {0, 111204, 222408, 422412, 692412};
constexpr std::int64_t kChildReliefPerFurtherChild = 270000;
// Per child by position; every child on a further copy has the last one.
constexpr std::array<std::int64_t, 5> kChildByPosition = {111204, 111204, 200004, 270000, 270000};
}  // namespace limits2014

namespace {

Amount FromGrosze(std::int64_t g) { return Amount::FromGrosze(g); }

}  // namespace

// `children` is a whole number, as read from the field and truncated; a
// count that no family has still gives its limit, without overflowing.
Amount ChildReliefLimit(Amount children) {
  using namespace limits2014;
  if (children < 1) return 0;
  if (children <= 4) return FromGrosze(kChildReliefUpTo4[static_cast<std::size_t>(children.WholeZloty())]);
  return FromGrosze(kChildReliefUpTo4[4]) + (children - 4) * FromGrosze(kChildReliefPerFurtherChild);
}

namespace {

Amount ChildLimitAt(int position) {
  const int i = std::clamp(position, 1, 5) - 1;
  return FromGrosze(limits2014::kChildByPosition[static_cast<std::size_t>(i)]);
}

// --- PIT/O ---------------------------------------------------------------------

// Relief amounts of children 1 to 5, taxpayer and spouse columns.
const std::array<std::pair<pit_o::Field, pit_o::Field>, 5> kChildAmounts = [] {
  std::array<std::pair<pit_o::Field, pit_o::Field>, 5> amounts{};
  for (std::size_t i = 0; i < kPitOChildren.size(); ++i)
    amounts[i] = {kPitOChildren[i].taxpayerRelief, kPitOChildren[i].spouseRelief};
  return amounts;
}();

bool IsParentOfType(const CalcContext& ctx, int entry, int idPit) {
  const Settlement& s = ctx.settlement;
  const int parent = s.Entry(entry).IdParent;
  return s.Has(parent) && s.Entry(parent).IdPit == idPit;
}

// The return's deductions from tax that take a PIT/O's total, per column
// (taxpayer, spouse); the PIT/O's own deductions from tax besides the child
// relief, per column.
struct ReliefColumn {
  pit_o::Field childRelief, childSum;
  std::array<pit_o::Field, 4> others;
};
constexpr std::array<ReliefColumn, 2> kReliefColumns = [] {
  using namespace pit_o;
  return std::array<ReliefColumn, 2>{{{taxpayer_child_relief,
                                       taxpayer_children_relief_sum,
                                       {taxpayer_health_insurance_abroad, taxpayer_abolition_relief,
                                        taxpayer_cash_register_relief, taxpayer_other_tax_deductions}},
                                      {spouse_child_relief,
                                       spouse_children_relief_sum,
                                       {spouse_health_insurance_abroad, spouse_abolition_relief,
                                        spouse_cash_register_relief, spouse_other_tax_deductions}}}};
}();

int ReturnDeductionField(int idPit, int column) {
  if (idPit == kPit37) return column == 0 ? pit37::taxpayer_pit_o_tax_deductions : pit37::spouse_pit_o_tax_deductions;
  if (idPit == kPit36) return column == 0 ? pit36::taxpayer_pit_o_tax_deductions : pit36::spouse_pit_o_tax_deductions;
  return 0;
}

// The child relief the return actually deducted for one column of PIT/O
// `o`. The return fits the PIT/O's deductions into the tax; the child
// relief is counted as taken after the PIT/O's other deductions, since only
// what it leaves over is paid back. A PIT/O the return does not take its
// total from (a further copy, one under another form) deducted what it shows.
Amount ChildReliefDeducted(const CalcContext& ctx, int o, int column) {
  const Settlement& s = ctx.settlement;
  const ReliefColumn& c = kReliefColumns[static_cast<std::size_t>(column)];
  const Amount claimed = ctx.AmountOf(o, c.childRelief);
  const int parent = s.Entry(o).IdParent;
  if (!s.Has(parent) || ctx.FindChildEntry(kPitO, parent) != o) return claimed;
  const int into = ReturnDeductionField(s.Entry(parent).IdPit, column);
  if (into == 0) return claimed;
  Amount others = 0;
  for (int k : c.others) others += ctx.AmountOf(o, k);
  return std::clamp(ctx.AmountOf(parent, into) - others, Amount{0}, std::max(claimed, Amount{0}));
}

// The unused child relief: the children's amounts of this copy less what the return
// deducted of them, never below nothing (a deduction on the first copy may
// cover children of a further one; the PIT/UZ nets the copies itself).
void SetUnusedChildRelief(CalcContext& ctx, int o) {
  FormFields f(ctx, o);
  using namespace pit_o;
  f.SetPositivePart(taxpayer_unused_child_relief,
                    f.AmountOf(taxpayer_children_relief_sum) - ChildReliefDeducted(ctx, o, 0));
  f.SetPositivePart(spouse_unused_child_relief,
                    f.AmountOf(spouse_children_relief_sum) - ChildReliefDeducted(ctx, o, 1));
}

void SetFlags(CalcContext& ctx, std::initializer_list<int> fields, bool readOnly) {
  for (int k : fields) ctx.shown.SetReadOnly(k, readOnly);
}

void SetFlagRange(CalcContext& ctx, int first, int last, bool readOnly) {
  for (int k = first; k <= last; ++k) ctx.shown.SetReadOnly(k, readOnly);
}

// Part G of PIT/O `o`: how many children it counts (up to the last one with
// an amount: the third child's amount means three children), and each
// column's total of the children's amounts.
struct PartG {
  int children = 0;
  std::array<Amount, 2> total{};
};

PartG PartGOf(const CalcContext& ctx, int o) {
  PartG g;
  int position = 0;
  for (const auto& [t, s] : kChildAmounts) {
    ++position;
    const Amount taxpayer = ctx.AmountOf(o, t), spouse = ctx.AmountOf(o, s);
    if (taxpayer > 0 || spouse > 0) g.children = position;
    g.total[0] += taxpayer;
    g.total[1] += spouse;
  }
  return g;
}

// The child relief of both columns as part G gives it for `limit`: the taxpayer's total, then the
// spouse's within what is left.
std::array<Amount, 2> ReliefFromPartG(const std::array<Amount, 2>& total, Amount limit) {
  const Amount taxpayer = std::min(total[0], limit);
  return {taxpayer, std::min(total[1], limit - taxpayer)};
}

// The first copy's number of children and child relief follow part G of all
// the person's copies while the user has not typed them: an empty field, or
// one that still holds what part G gave at the last calculation (the sums of
// the children's amounts hold each copy's totals as they were then). A typed amount is the user's and stays.
// Returns whether part G was more than the limit for the number of children.
bool FillChildReliefFromPartG(CalcContext& ctx, FormFields& f) {
  const Settlement& s = ctx.settlement;
  const FormEntry& self = f.Header();
  PartG now = PartGOf(ctx, f.Entry());
  std::array<Amount, 2> before = {f.AmountOf(kReliefColumns[0].childSum), f.AmountOf(kReliefColumns[1].childSum)};
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (i == f.Entry() || e.IdPit != kPitO || e.IdParent != self.IdParent || e.PM != self.PM) continue;
    const PartG further = PartGOf(ctx, i);
    // Children on a further copy come after the five of the first.
    if (further.children > 0) now.children = std::max(now.children, 5) + further.children;
    for (std::size_t c = 0; c < 2; ++c) {
      now.total[c] += further.total[c];
      before[c] += ctx.AmountOf(i, kReliefColumns[c].childSum);
    }
  }
  if (now.children == 0) return false;
  if (f.IsEmpty(pit_o::children_count)) f.SetText(pit_o::children_count, CountText(now.children));
  const Amount limit = ChildReliefLimit(Trunc(f.AmountOf(pit_o::children_count)));
  const std::array<Amount, 2> was = ReliefFromPartG(before, limit), is = ReliefFromPartG(now.total, limit);
  for (std::size_t c = 0; c < 2; ++c) {
    const int k = kReliefColumns[c].childRelief;
    const bool fromPartG =
        f.IsEmpty(k) || (before[c] > 0 && RoundGroszeCents(f.AmountOf(k)) == RoundGroszeCents(was[c]));
    if (fromPartG) f.Set(k, is[c]);
  }
  return RoundGroszeCents(now.total[0] + now.total[1]) > RoundGroszeCents(limit);
}

void ValidateChildBlock(CalcContext& ctx, const FormFields& f, const PitOChild& c, bool enabled) {
  ShownResult& d = ctx.shown;
  for (int k : {c.pesel, c.surname, c.firstName, c.birthDate}) d.SetMustBe(k, false);
  for (const PitOMonthBoxes* g : {&c.taxpayer, &c.spouse}) {
    d.SetMustBe(g->wholeYear, false);
    for (int k : g->months) d.SetMustBe(k, false);
  }
  if (!enabled) return;
  d.SetMustBe(c.pesel, true);
  if (f.IsEmpty(c.pesel))
    for (int k : {c.surname, c.firstName, c.birthDate}) d.SetMustBe(k, true);
  if (!f.IsEmpty(c.surname) || !f.IsEmpty(c.firstName) || !f.IsEmpty(c.birthDate)) d.SetMustBe(c.pesel, false);
  for (const PitOMonthBoxes* g : {&c.taxpayer, &c.spouse}) {
    bool any = f.Ticked(g->wholeYear);
    for (int k : g->months) any = any || f.Ticked(k);
    if (any) continue;
    d.SetMustBe(g->wholeYear, true);
    for (int k : g->months) d.SetMustBe(k, true);
  }
}

}  // namespace

void CalculatePitO(CalcContext& ctx, int entry) {
  using namespace pit_o;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitO);
  const int parent = f.Header().IdParent;
  const int pm = f.Header().PM;
  const bool underPit28 = IsParentOfType(ctx, entry, kPit28);
  bool reduced = false;

  // 1. Messages, identifier marks, identification exchange.
  ClearMessagesIfShown(ctx, kPitO);
  MarkBothIdentifierKinds(ctx, kPitO, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel, spouse_id,
                          spouse_id_strike_nip, spouse_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2. Only the first copy carries the deductions; further copies carry
  // further children. Parts D and E are one run of indexes but for the
  // rows added later.
  const int first = ctx.FindEntry(kPitO, parent, pm);
  if (shown && first > 0 && first < entry) {
    SetFlagRange(ctx, taxpayer_social_insurance_abroad, spouse_tax_deductions_total, true);
    SetFlags(ctx,
             {taxpayer_repaid_benefits, spouse_repaid_benefits, taxpayer_rehabilitation, spouse_rehabilitation,
              taxpayer_ikze, spouse_ikze, taxpayer_cash_register_relief, spouse_cash_register_relief},
             true);
  }

  // 3. A PIT/O of one person only.
  if (shown && (pm == kPmTaxpayer || pm == kPmSpouse)) {
    SetFlags(ctx, {spouse_surname, spouse_first_name, spouse_birth_date, status}, true);
    if (underPit28)
      SetFlags(
          ctx,
          {spouse_id, spouse_social_insurance_abroad, spouse_repaid_benefits, spouse_rehabilitation,
           spouse_coworkers_social_insurance_abroad, spouse_public_benefit_donations, spouse_church_charity_donations,
           spouse_internet, spouse_new_technologies, spouse_ikze, spouse_other_income_deductions,
           spouse_health_insurance_abroad, spouse_abolition_relief, spouse_child_relief, spouse_cash_register_relief,
           spouse_other_tax_deductions, spouse_tax_deductions_total},
          true);
  }

  // 4. Country codes from the country names.
  if (ctx.countryCodeOf) {
    f.SetText(institution1_country_code, ctx.countryCodeOf(f.TextOf(institution1_country)));
    f.SetText(institution2_country_code, ctx.countryCodeOf(f.TextOf(institution2_country)));
  }

  // 5. The second institution needs the first one's name.
  if (shown) {
    const bool off = f.IsEmpty(institution1_name);
    if (off) {
      for (int k : {institution2_name, institution2_country, institution2_town, institution2_postal_code,
                    institution2_street, institution2_house_no, institution2_flat_no, institution2_insured_number})
        f.SetText(k, "");
      f.SetZero(institution2_taxpayer_contributions);
      f.SetZero(institution2_spouse_contributions);
    }
    SetFlags(ctx, {institution2_name, institution2_country}, off);
    SetFlagRange(ctx, institution2_town, institution2_spouse_contributions, off);
  }

  // 6. A whole year excludes the single months.
  if (shown) {
    for (const PitOChild& c : kPitOChildren)
      for (const PitOMonthBoxes* g : {&c.taxpayer, &c.spouse})
        if (f.Ticked(g->wholeYear))
          for (int k : g->months) f.Untick(k);
  }

  // 7. A lump-sum return has no child relief: the children's data and
  // month boxes are closed.
  if (shown && underPit28) {
    for (const PitOChild& c : kPitOChildren) {
      SetFlags(ctx, {c.pesel, c.surname, c.firstName, c.birthDate}, true);
      for (const PitOMonthBoxes* g : {&c.taxpayer, &c.spouse}) {
        ctx.shown.SetReadOnly(g->wholeYear, true);
        for (int k : g->months) ctx.shown.SetReadOnly(k, true);
      }
    }
  }

  // 8. Copy number.
  if (f.AmountOf(copy_number) == 0) f.SetText(copy_number, CountText(ctx.CountChildEntries(kPitO, parent, -1)));
  const bool firstCopy = f.AmountOf(copy_number) == 1;

  // 9. Internet.
  reduced |= f.Cap(taxpayer_internet, limits2014::kInternet);
  reduced |= f.Cap(spouse_internet, limits2014::kInternet);

  // 10. Per child; these caps are silent.
  {
    int position = firstCopy ? 1 : 5;
    for (const auto& [t, s] : kChildAmounts) {
      const Amount limit = ChildLimitAt(position);
      if (f.AmountOf(t) + f.AmountOf(s) > limit) {
        if (limit < f.AmountOf(t)) {
          f.SetUnrounded(t, limit);
          f.SetZero(s);
        } else {
          f.Set(s, limit - f.AmountOf(t));
        }
      }
      if (firstCopy) ++position;
    }
  }

  // 11. Child relief of this PIT/O: what part G gives while the user has
  // not typed the deduction, within the limit for the number of children.
  if (firstCopy && !underPit28) reduced |= FillChildReliefFromPartG(ctx, f);
  const Amount children = Trunc(f.AmountOf(children_count));
  {
    const Amount limit = ChildReliefLimit(children);
    if (f.AmountOf(taxpayer_child_relief) + f.AmountOf(spouse_child_relief) > limit) {
      if (limit >= f.AmountOf(taxpayer_child_relief)) {
        f.Set(spouse_child_relief, limit - f.AmountOf(taxpayer_child_relief));
      } else {
        f.SetUnrounded(taxpayer_child_relief, limit);
        f.SetZero(spouse_child_relief);
      }
      reduced = true;
    }
  }

  // 12. IKZE contributions.
  reduced |= f.Cap(taxpayer_ikze, limits2014::kIkzeContributions);
  reduced |= f.Cap(spouse_ikze, limits2014::kIkzeContributions);

  // 13. Totals.
  f.SetUnrounded(taxpayer_income_deductions_total,
                 f.Sum({taxpayer_social_insurance_abroad, taxpayer_repaid_benefits, taxpayer_rehabilitation,
                        taxpayer_coworkers_social_insurance_abroad, taxpayer_public_benefit_donations,
                        taxpayer_church_charity_donations, taxpayer_internet, taxpayer_new_technologies, taxpayer_ikze,
                        taxpayer_other_income_deductions}));
  f.SetUnrounded(
      spouse_income_deductions_total,
      f.Sum({spouse_social_insurance_abroad, spouse_repaid_benefits, spouse_rehabilitation,
             spouse_coworkers_social_insurance_abroad, spouse_public_benefit_donations, spouse_church_charity_donations,
             spouse_internet, spouse_new_technologies, spouse_ikze, spouse_other_income_deductions}));
  f.SetUnrounded(taxpayer_tax_deductions_total,
                 f.Sum({taxpayer_other_tax_deductions, taxpayer_health_insurance_abroad, taxpayer_abolition_relief,
                        taxpayer_child_relief, taxpayer_cash_register_relief}));
  f.SetUnrounded(spouse_tax_deductions_total,
                 f.Sum({spouse_health_insurance_abroad, spouse_abolition_relief, spouse_child_relief,
                        spouse_other_tax_deductions, spouse_cash_register_relief}));

  // 14. Sums of the child amounts, before the return (which measures what
  // it deducted against them) is recalculated.
  f.SetUnrounded(taxpayer_children_relief_sum,
                 f.Sum({child1_taxpayer_relief, child2_taxpayer_relief, child3_taxpayer_relief, child4_taxpayer_relief,
                        child5_taxpayer_relief}));
  f.SetUnrounded(spouse_children_relief_sum, f.Sum({child1_spouse_relief, child2_spouse_relief, child3_spouse_relief,
                                                    child4_spouse_relief, child5_spouse_relief}));

  // 15. Into the return this PIT/O belongs to, which is recalculated; then
  // the relief it could not deduct.
  CarryIntoReturns(ctx, entry);
  SetUnusedChildRelief(ctx, entry);

  // 16. Reduction notice.
  ShowReductionNotice(ctx, kPitO, reduced);

  if (!shown) return;

  // 17. Descriptions the amounts need.
  if (ctx.ReminderDue()) {
    const int page = ctx.input.page;
    const int edited = ctx.input.committedField;
    const char* reminder = nullptr;
    if (page == 1 && (edited == taxpayer_other_income_deductions || edited == spouse_other_income_deductions) &&
        f.AmountOf(edited) > 0 && f.IsEmpty(other_income_deductions_description))
      reminder = "Uzupełnij opis w PIT/O poz. 31";
    if (page == 2 && (edited == taxpayer_other_tax_deductions || edited == spouse_other_tax_deductions) &&
        f.AmountOf(edited) > 0 && f.IsEmpty(other_tax_deductions_description))
      reminder = "Uzupełnij opis w PIT/O poz. 45";
    if (reminder != nullptr) {
      ctx.RemindOnce(reminder);
    }
  }

  // 18. Required fields.
  for (std::size_t k = 0; k < kPitOChildren.size(); ++k)
    ValidateChildBlock(ctx, f, kPitOChildren[k], Amount(k + 1) <= children);
  const bool abroad = f.AmountOf(taxpayer_social_insurance_abroad) > 0 ||
                      f.AmountOf(spouse_social_insurance_abroad) > 0 ||
                      f.AmountOf(taxpayer_coworkers_social_insurance_abroad) > 0 ||
                      f.AmountOf(spouse_coworkers_social_insurance_abroad) > 0;
  for (int k : {institution1_name, institution1_country, institution1_town, institution1_taxpayer_contributions})
    ctx.shown.SetMustBe(k, abroad);
  ctx.shown.SetMustBe(other_income_deductions_description, f.AmountOf(taxpayer_other_income_deductions) > 0 ||
                                                                 f.AmountOf(spouse_other_income_deductions) > 0);
  ctx.shown.SetMustBe(children_count, f.AmountOf(taxpayer_child_relief) > 0 || f.AmountOf(spouse_child_relief) > 0);
  ctx.shown.SetMustBe(other_tax_deductions_description,
                        f.AmountOf(taxpayer_other_tax_deductions) > 0 || f.AmountOf(spouse_other_tax_deductions) > 0);
}

// --- PIT/D ------------------------------------------------------------------------

namespace {

struct HousingSection {
  pit_d::Field amount;
  pit_d::Field pit28Total, pit28Taxpayer, pit28Spouse;
  pit_d::Field returnTotal, returnTaxpayer, returnSpouse;
};

constexpr HousingSection kSectionA{pit_d::loan_amount,       pit_d::loan_pit28,  pit_d::loan_pit28_taxpayer,
                                   pit_d::loan_pit28_spouse, pit_d::loan_return, pit_d::loan_return_taxpayer,
                                   pit_d::loan_return_spouse};
constexpr HousingSection kSectionB{pit_d::expenses_amount,         pit_d::expenses_pit28,
                                   pit_d::expenses_pit28_taxpayer, pit_d::expenses_pit28_spouse,
                                   pit_d::expenses_return,         pit_d::expenses_return_taxpayer,
                                   pit_d::expenses_return_spouse};
constexpr HousingSection kSectionC{pit_d::tax_relief_amount,         pit_d::tax_relief_pit28,
                                   pit_d::tax_relief_pit28_taxpayer, pit_d::tax_relief_pit28_spouse,
                                   pit_d::tax_relief_return,         pit_d::tax_relief_return_taxpayer,
                                   pit_d::tax_relief_return_spouse};

// A part and its two person columns never exceed what they are part of.
void FitPersonColumns(FormFields& f, int part, int taxpayer, int spouse) {
  if (f.AmountOf(taxpayer) > f.AmountOf(part)) {
    f.Copy(taxpayer, part);
    f.SetZero(spouse);
  }
  if (f.AmountOf(taxpayer) + f.AmountOf(spouse) > f.AmountOf(part))
    f.SetUnrounded(spouse, f.AmountOf(part) - f.AmountOf(taxpayer));
}

void SplitSection(FormFields& f, const HousingSection& s) {
  if (f.AmountOf(s.pit28Total) > f.AmountOf(s.amount)) f.Copy(s.pit28Total, s.amount);
  f.SetUnrounded(s.returnTotal, f.AmountOf(s.amount) - f.AmountOf(s.pit28Total));
  FitPersonColumns(f, s.pit28Total, s.pit28Taxpayer, s.pit28Spouse);
  FitPersonColumns(f, s.returnTotal, s.returnTaxpayer, s.returnSpouse);
}

}  // namespace

void CalculatePitD(CalcContext& ctx, int entry) {
  using namespace pit_d;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitD);
  const Settlement& s = ctx.settlement;

  // 1. Identifier marks, identification exchange.
  MarkBothIdentifierKinds(ctx, kPitD, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel, spouse_id,
                          spouse_id_strike_nip, spouse_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2. Person columns.
  if (shown) {
    if (s.Kind == kIndividual || s.Kind == kSingleParent)
      SetFlags(ctx,
               {loan_return_taxpayer, loan_return_spouse, expenses_return_taxpayer, expenses_return_spouse,
                tax_relief_return_taxpayer, tax_relief_return_spouse},
               false);
    if (s.Kind != kJoint && s.SpouseIdKind == kIdNone) ctx.shown.SetReadOnly(spouse_id, true);
  }

  // 3. Each section split between the PIT-28 and the PIT-36/37.
  SplitSection(f, kSectionA);
  f.SetUnrounded(expenses_amount, f.AmountOf(expenses_this_year) + f.AmountOf(expenses_earlier_years));
  SplitSection(f, kSectionB);
  f.Cap(tax_relief_expenses, limits2014::kHousingSavings);
  f.SetUnrounded(tax_relief_amount, f.AmountOf(tax_relief_expenses) + f.AmountOf(tax_relief_earlier_years));
  SplitSection(f, kSectionC);

  // 4. Into the returns of the settlement, which are recalculated.
  CarryIntoReturns(ctx, entry);

  if (!shown) return;

  // 5. The description the other housing expenses need.
  if (ctx.ReminderDue() && ctx.input.page == 1) {
    const int edited = ctx.input.committedField;
    if ((edited == expenses_this_year || edited == expenses_earlier_years) && f.AmountOf(edited) > 0 &&
        f.IsEmpty(expenses_description)) {
      ctx.RemindOnce("Uzupełnij opis w PIT/D poz. 38");
    }
  }

  // 6. Required fields.
  for (int k : {loan_pit28, expenses_description, expenses_this_year, expenses_earlier_years, expenses_pit28})
    ctx.shown.SetMustBe(k, false);
  if (f.AmountOf(expenses_this_year) > 0 || f.AmountOf(expenses_earlier_years) > 0)
    for (int k : {expenses_description, expenses_this_year, expenses_earlier_years, expenses_pit28})
      ctx.shown.SetMustBe(k, true);
}

// --- PIT/UZ ---------------------------------------------------------------------

void CalculatePitUZ(CalcContext& ctx, int entry) {
  using namespace pit_uz;
  FormFields f(ctx, entry);
  const int parent = f.Header().IdParent;

  // 1. Messages, identifier marks, identification exchange.
  ClearMessagesIfShown(ctx, kPitUZ);
  MarkBothIdentifierKinds(ctx, kPitUZ, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel, spouse_id,
                          spouse_id_strike_nip, spouse_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2. Which return it is attached to.
  if (IsParentOfType(ctx, entry, kPit36)) {
    f.Tick(attached_to_pit36, "1");
    f.Untick(attached_to_pit37);
  } else if (IsParentOfType(ctx, entry, kPit37)) {
    f.Tick(attached_to_pit37, "2");
    f.Untick(attached_to_pit36);
  }

  // 3. Child relief not used, over all PIT/O of the return: the children's
  // amounts less what the return actually deducted, copy by copy (a
  // deduction on the first copy may cover children listed on a further one).
  Amount unusedTaxpayer = 0, unusedSpouse = 0;
  for (int i = 1; i <= ctx.settlement.Count(); ++i) {
    const FormEntry& e = ctx.settlement.Entry(i);
    if (e.IdPit != kPitO || e.IdParent != parent) continue;
    unusedTaxpayer += ctx.AmountOf(i, pit_o::taxpayer_children_relief_sum) - ChildReliefDeducted(ctx, i, 0);
    unusedSpouse += ctx.AmountOf(i, pit_o::spouse_children_relief_sum) - ChildReliefDeducted(ctx, i, 1);
  }
  f.SetPositivePart(taxpayer_unused_relief, unusedTaxpayer);
  f.SetPositivePart(spouse_unused_relief, unusedSpouse);

  // 4. Paid back: no more than the limits entered.
  {
    const Amount limits = f.AmountOf(taxpayer_contributions) + f.AmountOf(spouse_contributions);
    const Amount unused = f.AmountOf(taxpayer_unused_relief) + f.AmountOf(spouse_unused_relief);
    f.Set(relief_to_refund, limits < unused ? limits : unused);
  }

  // 5.-7. Tax to pay (a PIT-36 only) and overpayment of the return it is
  // attached to.
  if (IsParentOfType(ctx, entry, kPit36)) {
    const FormFields ret(ctx, parent);
    f.CopyFrom(pit36_tax_to_pay, ret, pit36::to_pay_after_advances);
    f.CopyFrom(overpayment, ret, pit36::overpaid_after_advances);
  } else if (IsParentOfType(ctx, entry, kPit37)) {
    f.SetZero(pit36_tax_to_pay);
    f.CopyFrom(overpayment, FormFields(ctx, parent), pit37::overpaid);
  }
  f.SetPositivePart(tax_to_pay_after_relief, f.AmountOf(pit36_tax_to_pay) - f.AmountOf(relief_to_refund));

  // 8. Total.
  f.SetPositivePart(refund, (f.AmountOf(relief_to_refund) + f.AmountOf(overpayment)) - f.AmountOf(pit36_tax_to_pay));
}

// --- after a PIT-36/37 is calculated ----------------------------------------------

void FollowChildRelief(CalcContext& ctx, int returnEntry) {
  const Settlement& s = ctx.settlement;
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent != returnEntry) continue;
    if (e.IdPit == kPitO) SetUnusedChildRelief(ctx, i);
  }
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent == returnEntry && e.IdPit == kPitUZ) Calculate(ctx, kPitUZ, i);
  }
}

}  // namespace pit
