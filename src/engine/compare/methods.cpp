#include "compare/methods.h"

#include <algorithm>
#include <map>
#include <utility>

#include "calc/calculation.h"
#include "compare/outcome.h"
#include "forms/pit28_fields.h"
#include "forms/pit28a_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_uz_fields.h"
#include "text/guid.h"

namespace pit {
namespace {

// A taxpayer's column and the spouse's column of the same line of a form.
template <typename Field>
struct Columns {
  Field taxpayer;
  Field spouse;
};

// The lines of the taxpayer's table from `first` to `last` and the same
// lines of the spouse's table, which starts at `spouseFirst`.
template <typename Field>
void AddRows(std::vector<Columns<Field>>& out, Field first, Field last, Field spouseFirst) {
  for (int k = first; k <= last; ++k) out.push_back({Field{k}, Field{spouseFirst + (k - first)}});
}

const std::vector<Columns<pit37::Field>>& Pit37Columns() {
  using namespace pit37;
  static const std::vector<Columns<Field>> cols = [] {
    std::vector<Columns<Field>> c;
    AddRows(c, taxpayer_employment_revenue, taxpayer_total_advance, spouse_employment_revenue);  // rows 1 to 6
    AddRows(c, taxpayer_employment_extra_revenue, taxpayer_rights_extra_costs,
            spouse_employment_extra_revenue);  // rows 1a and 4a
    for (Columns<Field> p : {Columns<Field>{taxpayer_income_deductions, spouse_income_deductions},
                             {taxpayer_social_insurance, spouse_social_insurance},
                             {taxpayer_income_after_deductions, spouse_income_after_deductions},
                             {taxpayer_pit_o_income_deductions, spouse_pit_o_income_deductions},
                             {taxpayer_tax_deductions, spouse_tax_deductions},
                             {taxpayer_health_insurance, spouse_health_insurance},
                             {taxpayer_pit_o_tax_deductions, spouse_pit_o_tax_deductions}})
      c.push_back(p);
    return c;
  }();
  return cols;
}

const std::vector<Columns<pit36::Field>>& Pit36Columns() {
  using namespace pit36;
  static const std::vector<Columns<Field>> cols = [] {
    std::vector<Columns<Field>> c;
    AddRows(c, taxpayer_employment_revenue, taxpayer_total_advance, spouse_employment_revenue);  // rows 1 to 9
    for (Columns<Field> p : {Columns<Field>{taxpayer_employment_extra_revenue, spouse_employment_extra_revenue},
                             {taxpayer_employment_extra_costs, spouse_employment_extra_costs},
                             {taxpayer_rights_extra_revenue, spouse_rights_extra_revenue},
                             {taxpayer_rights_extra_costs, spouse_rights_extra_costs},
                             {taxpayer_business_subject, spouse_business_subject},
                             {taxpayer_regon, spouse_regon},
                             {taxpayer_business_first_way, spouse_business_first_way},
                             {taxpayer_business_second_way, spouse_business_second_way},
                             {taxpayer_second_way_basis, spouse_second_way_basis},
                             {taxpayer_children_income, spouse_children_income},
                             {taxpayer_children_advances, spouse_children_advances},
                             {taxpayer_social_insurance, spouse_social_insurance},
                             {taxpayer_social_insurance_abroad, spouse_social_insurance_abroad},
                             {taxpayer_past_loss, spouse_past_loss},
                             {taxpayer_past_loss_source, spouse_past_loss_source},
                             {taxpayer_other_income_deductions, spouse_other_income_deductions},
                             {taxpayer_income_after_deductions, spouse_income_after_deductions},
                             {taxpayer_pit_o_income_deductions, spouse_pit_o_income_deductions},
                             {taxpayer_housing_rights_deduction, spouse_housing_rights_deduction},
                             {taxpayer_investment_rights_deduction, spouse_investment_rights_deduction},
                             {taxpayer_base_additions, spouse_base_additions},
                             {taxpayer_base_additions_row3, spouse_base_additions_row3},
                             {taxpayer_base_additions_row4, spouse_base_additions_row4},
                             {taxpayer_exempt_income, spouse_exempt_income},
                             {taxpayer_lump_sum_income, spouse_lump_sum_income},
                             {taxpayer_foreign_rate_income, spouse_foreign_rate_income},
                             {taxpayer_foreign_tax, spouse_foreign_tax},
                             {taxpayer_health_insurance, spouse_health_insurance},
                             {taxpayer_health_insurance_abroad, spouse_health_insurance_abroad},
                             {taxpayer_pit_o_tax_deductions, spouse_pit_o_tax_deductions},
                             {taxpayer_property_sale_income, spouse_property_sale_income},
                             {taxpayer_property_sale_tax, spouse_property_sale_tax},
                             {taxpayer_advances_due, spouse_advances_due},
                             {taxpayer_advances_withheld, spouse_advances_withheld},
                             {taxpayer_advances_self_paid, spouse_advances_self_paid},
                             {taxpayer_advances_not_withheld, spouse_advances_not_withheld},
                             {taxpayer_advances_excess, spouse_advances_excess},
                             {taxpayer_treaty_exempt_income, spouse_treaty_exempt_income}})
      c.push_back(p);
    // The months of the advances paid, four sources.
    AddRows(c, taxpayer_business_january, taxpayer_business_december, spouse_business_january);
    AddRows(c, taxpayer_farming_january, taxpayer_farming_december, spouse_farming_january);
    AddRows(c, taxpayer_rental_january, taxpayer_rental_december, spouse_rental_january);
    AddRows(c, taxpayer_other_january, taxpayer_other_december, spouse_other_january);
    return c;
  }();
  return cols;
}

const std::vector<Columns<pit_o::Field>>& PitOColumns() {
  using namespace pit_o;
  static const std::vector<Columns<Field>> cols = {
      {taxpayer_social_insurance_abroad, spouse_social_insurance_abroad},
      {taxpayer_repaid_benefits, spouse_repaid_benefits},
      {taxpayer_rehabilitation, spouse_rehabilitation},
      {taxpayer_coworkers_social_insurance_abroad, spouse_coworkers_social_insurance_abroad},
      {taxpayer_public_benefit_donations, spouse_public_benefit_donations},
      {taxpayer_church_charity_donations, spouse_church_charity_donations},
      {taxpayer_internet, spouse_internet},
      {taxpayer_new_technologies, spouse_new_technologies},
      {taxpayer_ikze, spouse_ikze},
      {taxpayer_other_income_deductions, spouse_other_income_deductions},
      {taxpayer_income_deductions_total, spouse_income_deductions_total},
      {taxpayer_health_insurance_abroad, spouse_health_insurance_abroad},
      {taxpayer_abolition_relief, spouse_abolition_relief},
      {taxpayer_child_relief, spouse_child_relief},
      {taxpayer_other_tax_deductions, spouse_other_tax_deductions},
      {taxpayer_cash_register_relief, spouse_cash_register_relief},
      {taxpayer_tax_deductions_total, spouse_tax_deductions_total},
      {child1_taxpayer_relief, child1_spouse_relief},
      {child2_taxpayer_relief, child2_spouse_relief},
      {child3_taxpayer_relief, child3_spouse_relief},
      {child4_taxpayer_relief, child4_spouse_relief},
      {child5_taxpayer_relief, child5_spouse_relief},
      {taxpayer_unused_child_relief, spouse_unused_child_relief},
      {taxpayer_children_relief_sum, spouse_children_relief_sum},
      {institution1_taxpayer_contributions, institution1_spouse_contributions},
      {institution2_taxpayer_contributions, institution2_spouse_contributions}};
  return cols;
}

const std::vector<Columns<pit_uz::Field>>& PitUZColumns() {
  using namespace pit_uz;
  static const std::vector<Columns<Field>> cols = {{taxpayer_contributions, spouse_contributions},
                                                   {taxpayer_unused_relief, spouse_unused_relief}};
  return cols;
}

// The tick boxes among the columns: they move with their tick.
bool IsBox(int idPit, int field) {
  using namespace pit36;
  return idPit == kPit36 && (field == taxpayer_business_first_way || field == spouse_business_first_way ||
                             field == taxpayer_business_second_way || field == spouse_business_second_way);
}

// The separate settlements are made of copies filled before they are listed.
ValueSlot& SlotOf(FormEntry& e, int k) { return e.Unlisted()[static_cast<std::size_t>(k)]; }

bool HasAmount(const FormEntry& e, int k) {
  const auto a = ParseAmount(e.Slots()[static_cast<std::size_t>(k)].Value);
  return a && *a != 0;
}

// Leaves the columns of `person` in the taxpayer's columns and empties the
// spouse's. Returns whether the person had anything in them.
template <typename Field>
bool KeepColumnsOf(FormEntry& e, const std::vector<Columns<Field>>& cols, int person) {
  bool any = false;
  for (const Columns<Field>& c : cols) {
    ValueSlot& t = SlotOf(e, c.taxpayer);
    ValueSlot& s = SlotOf(e, c.spouse);
    const bool box = IsBox(e.IdPit, c.taxpayer);
    if (person == kPmSpouse) {
      t.Value = s.Value;
      if (box) t.CheckState = s.CheckState;
    }
    s.Value.clear();
    if (box) s.CheckState = false;
    any = any || (!t.Value.empty() && (box || HasAmount(e, c.taxpayer)));
  }
  return any;
}

// The PIT/D sections: the amounts typed, the PIT-28 part and the PIT-36/37
// part, each as its total and the two persons' shares.
struct HousingSection {
  std::vector<pit_d::Field> amounts;
  pit_d::Field part28, part28T, part28S;
  pit_d::Field part37, part37T, part37S;
};
const std::array<HousingSection, 3>& HousingSections() {
  using namespace pit_d;
  static const std::array<HousingSection, 3> sections = {{
      {{loan_amount}, loan_pit28, loan_pit28_taxpayer, loan_pit28_spouse, loan_return, loan_return_taxpayer,
       loan_return_spouse},
      {{expenses_this_year, expenses_earlier_years}, expenses_pit28, expenses_pit28_taxpayer, expenses_pit28_spouse,
       expenses_return, expenses_return_taxpayer, expenses_return_spouse},
      {{tax_relief_expenses, tax_relief_earlier_years}, tax_relief_pit28, tax_relief_pit28_taxpayer,
       tax_relief_pit28_spouse, tax_relief_return, tax_relief_return_taxpayer, tax_relief_return_spouse},
  }};
  return sections;
}

std::string AmountText(std::int64_t grosze) { return FormatAmount(Amount::FromGrosze(grosze)); }

// A person's share of each PIT/D section: the shares typed for the persons,
// or, when none is, the whole section for the taxpayer. Returns whether the
// person keeps anything.
bool KeepHousingOf(FormEntry& e, int person) {
  bool any = false;
  for (const HousingSection& h : HousingSections()) {
    const bool split = HasAmount(e, h.part28T) || HasAmount(e, h.part28S) || HasAmount(e, h.part37T) ||
                       HasAmount(e, h.part37S);
    auto clearSection = [&] {
      for (int k : h.amounts) SlotOf(e, k).Value.clear();
      for (int k : {h.part28, h.part28T, h.part28S, h.part37, h.part37T, h.part37S}) SlotOf(e, k).Value.clear();
    };
    if (!split) {
      if (person == kPmSpouse) clearSection();
      any = any || (person != kPmSpouse && std::any_of(h.amounts.begin(), h.amounts.end(),
                                                        [&](int k) { return HasAmount(e, k); }));
      continue;
    }
    const int own28 = person == kPmSpouse ? h.part28S : h.part28T;
    const int own37 = person == kPmSpouse ? h.part37S : h.part37T;
    const std::string share28 = SlotOf(e, own28).Value, share37 = SlotOf(e, own37).Value;
    const bool has28 = HasAmount(e, own28), has37 = HasAmount(e, own37);
    if (!has28 && !has37) {
      clearSection();
      continue;
    }
    any = true;
    // Only the person's own parts are left: the section shrinks to the
    // part for PIT-28 when nothing goes to PIT-36/37, and that part is
    // emptied when nothing goes to PIT-28.
    if (!has37) {
      const std::string p28 = SlotOf(e, h.part28).Value;
      for (int k : h.amounts) SlotOf(e, k).Value.clear();
      SlotOf(e, h.amounts.back()).Value = p28;
    }
    if (!has28) SlotOf(e, h.part28).Value.clear();
    SlotOf(e, h.part28T).Value = has28 ? share28 : std::string();
    SlotOf(e, h.part37T).Value = has37 ? share37 : std::string();
    SlotOf(e, h.part28S).Value.clear();
    SlotOf(e, h.part37S).Value.clear();
  }
  return any;
}

bool IsJointReturn(const FormEntry& e) { return e.IdParent == 0 && e.PM == kPmNone && (e.IdPit == kPit36 || e.IdPit == kPit37); }

// Fields typed for both persons together in a PIT-36: the advances paid.
// They stay with the taxpayer unless the months of the advances, filled in
// to the same total, say whose they are.
void SplitPaidAdvances(FormEntry& e, const FormEntry& joint, int person) {
  using namespace pit36;
  auto monthsOf = [&](std::initializer_list<std::pair<Field, Field>> sources) {
    std::int64_t sum = 0;
    for (const auto& [january, december] : sources)
      for (int k = january; k <= december; ++k) {
        const auto a = ParseAmount(joint.Slots()[static_cast<std::size_t>(k)].Value);
        if (a) sum += RoundGroszeCents(*a);
      }
    return sum;
  };
  const std::int64_t t = monthsOf({{taxpayer_business_january, taxpayer_business_december},
                                   {taxpayer_farming_january, taxpayer_farming_december},
                                   {taxpayer_rental_january, taxpayer_rental_december},
                                   {taxpayer_other_january, taxpayer_other_december}});
  const std::int64_t s = monthsOf({{spouse_business_january, spouse_business_december},
                                   {spouse_farming_january, spouse_farming_december},
                                   {spouse_rental_january, spouse_rental_december},
                                   {spouse_other_january, spouse_other_december}});
  const auto paid = ParseAmount(joint.Slots()[advances_paid].Value);
  const std::int64_t total = paid ? RoundGroszeCents(*paid) : 0;
  if (total != 0 && t + s == total)
    SlotOf(e, advances_paid).Value = AmountText(person == kPmSpouse ? s : t);
  else if (person == kPmSpouse)
    SlotOf(e, advances_paid).Value.clear();
}

// What belongs to one return only: the 1% and the amounts added to the tax
// go with the taxpayer.
void ClearTaxpayerOnly(FormEntry& e) {
  if (e.IdPit == kPit37)
    for (int k : {pit37::tax_additions, pit37::krs, pit37::one_percent, pit37::one_percent_purpose})
      SlotOf(e, k).Value.clear();
  if (e.IdPit == kPit36)
    for (int k : {pit36::tax_additions, pit36::krs, pit36::one_percent, pit36::one_percent_purpose})
      SlotOf(e, k).Value.clear();
}

// A PIT-28 with revenue from business, as opposed to the lump sum on
// rental alone: rows 1 and 2 of the return, or the business rows of its
// PIT-28/A (rows 1 and 3), or a partnership's PIT-28/B.
bool LumpSumBusiness(const Settlement& s, int entry) {
  const FormEntry& e = s.Entry(entry);
  {
    using namespace pit28;
    for (int k : {own_revenue_3pct, own_revenue_5_5pct, own_revenue_8_5pct, own_revenue_10pct, own_revenue_17pct,
                  own_revenue_20pct, partnership_revenue_3pct, partnership_revenue_5_5pct, partnership_revenue_8_5pct,
                  partnership_revenue_10pct, partnership_revenue_17pct, partnership_revenue_20pct})
      if (HasAmount(e, k)) return true;
  }
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& a = s.Entry(i);
    if (a.IdParent != entry) continue;
    if (a.IdPit == kPit28B) return true;
    if (a.IdPit == kPit28A) {
      using namespace pit28a;
      for (int k : {revenue_3pct, revenue_5_5pct, revenue_8_5pct, revenue_10pct, revenue_17pct, revenue_20pct,
                    fivefold_revenue_3pct, fivefold_revenue_5_5pct, fivefold_revenue_8_5pct, fivefold_revenue_10pct,
                    fivefold_revenue_17pct, fivefold_revenue_20pct})
        if (HasAmount(a, k)) return true;
    }
  }
  return false;
}

// Whose a main form is: its person mark; unmarked forms are the taxpayer's.
int PersonOf(const FormEntry& e) { return e.PM == kPmSpouse ? kPmSpouse : kPmTaxpayer; }

// The reason the persons' other taxation rules out joint filing or the
// single parent's method, for `person` (0: either).
std::string OtherTaxationOf(const Settlement& s, int person, bool joint) {
  const char* who = joint ? "choćby jeden z małżonków" : "podatnik";
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent != 0 || (person != 0 && PersonOf(e) != person)) continue;
    if (e.IdPit == kPit36L)
      return std::string("Niedostępne, gdy ") + who +
             " płacił w 2014 r. podatek liniowy 19% od działalności gospodarczej (PIT-36L).";
    if (e.IdPit == kPit28 && LumpSumBusiness(s, i))
      return std::string("Niedostępne, gdy ") + who +
             " płacił w 2014 r. ryczałt od przychodów z działalności gospodarczej (PIT-28); "
             "ryczałt od najmu tego nie wyklucza.";
    if (e.IdPit == kPit16A)
      return std::string("Niedostępne, gdy ") + who + " płacił w 2014 r. podatek w formie karty podatkowej.";
  }
  return {};
}

struct Tally {
  std::int64_t taxpayer = 0, spouse = 0, joint = 0, toPay = 0, overpayment = 0, paidBack = 0;
};

// Adds the outcomes of the returns of a calculated settlement; `person` is
// whose the settlement is when it is one person's.
void Count(const Settlement& s, Tally& t, int person) {
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent != 0) continue;
    const auto o = OutcomeOf(s, i);
    if (!o) continue;
    if (o->joint)
      t.joint += o->taxDue.grosze;
    else if ((person ? person : PersonOf(e)) == kPmSpouse)
      t.spouse += o->taxDue.grosze;
    else
      t.taxpayer += o->taxDue.grosze;
    t.toPay += o->toPay.grosze;
    t.overpayment += o->overpayment.grosze;
    if (o->childReliefPaidBack) t.paidBack += o->childReliefPaidBack->grosze;
  }
}

void Fill(MethodOption& o, const Tally& t) {
  o.taxpayerTax = t.taxpayer;
  o.spouseTax = t.spouse;
  o.jointTax = t.joint;
  o.tax = t.taxpayer + t.spouse + t.joint;
  o.toPay = t.toPay;
  o.overpayment = t.overpayment;
  o.childReliefPaidBack = t.paidBack;
}

}  // namespace

int KindOf(TaxMethod m) {
  switch (m) {
    case TaxMethod::Joint: return kJoint;
    case TaxMethod::SingleParent: return kSingleParent;
    default: return kIndividual;
  }
}

std::optional<TaxMethod> MethodOfKind(int kind) {
  switch (kind) {
    case kIndividual: return TaxMethod::Individual;
    case kJoint: return TaxMethod::Joint;
    case kSingleParent: return TaxMethod::SingleParent;
    default: return std::nullopt;
  }
}

const char* MethodKey(TaxMethod m) {
  switch (m) {
    case TaxMethod::Joint: return "joint";
    case TaxMethod::SingleParent: return "single_parent";
    default: return "individual";
  }
}

const char* MethodCaption(TaxMethod m) {
  switch (m) {
    case TaxMethod::Joint: return "wspólnie z małżonkiem";
    case TaxMethod::SingleParent: return "osoba samotnie wychowująca dziecko";
    default: return "indywidualnie";
  }
}

std::unique_ptr<Settlement> CopySettlement(const Settlement& s) {
  auto out = std::make_unique<Settlement>();
  out->Open();
  for (int i = 1; i <= s.Count(); ++i) out->AppendLoaded(std::make_unique<FormEntry>(s.Entry(i)));
  out->Kind = s.Kind;
  out->TaxpayerIdKind = s.TaxpayerIdKind;
  out->SpouseIdKind = s.SpouseIdKind;
  out->SpouseData = s.SpouseData;
  return out;
}

void CalculateCopy(Settlement& s, IdentificationRecords& ids, const CountryCodeLookup& countryCodeOf) {
  CalcContext ctx(s, ids);
  ctx.countryCodeOf = countryCodeOf;
  // A field that does not hold a number stops only its own form, as on
  // opening the file; the figures are those the forms then show.
  RunOpeningPass(ctx);
}

PersonSettlement SeparateSettlement(const Settlement& joint, const IdentificationRecords& ids, int person,
                                    const CountryCodeLookup& countryCodeOf) {
  PersonSettlement out;
  out.settlement = std::make_unique<Settlement>();
  Settlement& s = *out.settlement;
  s.Open();
  s.Kind = kIndividual;
  s.TaxpayerIdKind = person == kPmSpouse ? (joint.SpouseIdKind == kIdNone ? kIdNip : joint.SpouseIdKind)
                                         : joint.TaxpayerIdKind;
  s.SpouseIdKind = kIdNone;
  out.ids = ids;
  if (person == kPmSpouse) out.ids.Taxpayer = ids.Spouse;
  out.ids.Spouse = IdentificationRecord{};

  std::map<int, int> number;  // entry of the joint settlement -> entry here
  std::map<std::string, std::string> guids;  // the spouse's returns are new returns
  for (int i = 1; i <= joint.Count(); ++i) {
    const FormEntry& e = joint.Entry(i);
    if (e.IdParent != 0 && number.count(e.IdParent) == 0) continue;  // its return is not this person's
    const int main = MainFormOf(joint, i);
    if (main == 0) continue;
    const FormEntry& m = joint.Entry(main);
    const bool shared = IsJointReturn(m);
    if (e.PM != kPmNone ? e.PM != person : (!shared && PersonOf(m) != person)) continue;

    auto copy = std::make_unique<FormEntry>(e);
    copy->PM = kPmNone;
    copy->Kind = kIndividual;
    copy->IdParent = e.IdParent == 0 ? 0 : number[e.IdParent];
    copy->Id = s.Count() + 1;
    if (person == kPmSpouse && shared) {
      auto g = guids.find(e.ReturnGuid);
      if (g == guids.end()) g = guids.emplace(e.ReturnGuid, NewGuidText()).first;
      copy->ReturnGuid = g->second;
    }
    if (shared && e.PM == kPmNone) {
      bool keep = true;
      switch (e.IdPit) {
        case kPit37:
          KeepColumnsOf(*copy, Pit37Columns(), person);
          if (person == kPmSpouse) ClearTaxpayerOnly(*copy);
          break;
        case kPit36:
          KeepColumnsOf(*copy, Pit36Columns(), person);
          SplitPaidAdvances(*copy, e, person);
          if (person == kPmSpouse) ClearTaxpayerOnly(*copy);
          break;
        case kPitO: keep = KeepColumnsOf(*copy, PitOColumns(), person); break;
        case kPitD: keep = KeepHousingOf(*copy, person); break;
        case kPitUZ: keep = KeepColumnsOf(*copy, PitUZColumns(), person); break;
        case kPit2K: keep = person == kPmTaxpayer; break;
        default: break;
      }
      if (!keep) continue;
    }
    number[i] = copy->Id;
    s.AppendLoaded(std::move(copy));
  }
  // The statement for the housing relief goes where the PIT/D went.
  if (person == kPmSpouse) {
    for (int i = 1; i <= s.Count(); ++i) {
      const FormEntry& e = s.Entry(i);
      if (e.IdPit == kPit37 || e.IdPit == kPit36) {
        if (s.FindByTypeAndParent(kPitD, i) > 0 && s.FindByTypeAndParent(kPit2K, i) < 0) {
          const int jointMain = [&] {
            for (const auto& [from, to] : number)
              if (to == i) return from;
            return 0;
          }();
          const int k = joint.FindByTypeAndParent(kPit2K, jointMain);
          if (k > 0) {
            auto copy = std::make_unique<FormEntry>(joint.Entry(k));
            copy->PM = kPmNone;
            copy->Kind = kIndividual;
            copy->IdParent = i;
            copy->Id = s.Count() + 1;
            copy->ReturnGuid = e.ReturnGuid;
            s.AppendLoaded(std::move(copy));
          }
        }
      }
    }
  }
  s.StampEntries();
  DistributeIdentification(s, out.ids);
  CalculateCopy(s, out.ids, countryCodeOf);
  return out;
}

std::string ExclusionOf(const Settlement& s, TaxMethod m) {
  switch (m) {
    case TaxMethod::Individual: return {};
    case TaxMethod::Joint:
      if (s.Kind != kJoint)
        return "Rozliczenie nie zawiera dochodów małżonka: wspólne rozliczenie wymaga zeznania obojga małżonków.";
      return OtherTaxationOf(s, 0, true);
    case TaxMethod::SingleParent:
      if (s.Kind == kJoint)
        return "Niedostępne dla małżonków: osoba samotnie wychowująca dziecko to osoba samotna albo ta, "
               "której małżonek został pozbawiony władzy rodzicielskiej lub odbywa karę pozbawienia wolności.";
      return OtherTaxationOf(s, kPmTaxpayer, false);
  }
  return {};
}

MethodComparison CompareMethods(const Settlement& s, const IdentificationRecords& ids,
                                const CountryCodeLookup& countryCodeOf) {
  MethodComparison c;
  const auto current = MethodOfKind(s.Kind);
  if (!s.IsOpen() || !current) return c;
  c.applicable = true;
  c.current = *current;

  for (TaxMethod m : kTaxMethods) {
    MethodOption& o = c.options[static_cast<std::size_t>(m)];
    o.method = m;
    o.current = m == c.current;
    o.reason = ExclusionOf(s, m);
    o.available = o.reason.empty();
    // The current method is worked out even when the law excludes it, so
    // that what the forms hold can be compared.
    if (!o.available && !o.current) continue;
    Tally t;
    if (m == TaxMethod::Individual && s.Kind == kJoint) {
      for (int person : {kPmTaxpayer, kPmSpouse}) {
        PersonSettlement p = SeparateSettlement(s, ids, person, countryCodeOf);
        Count(*p.settlement, t, person);
      }
    } else {
      auto copy = CopySettlement(s);
      IdentificationRecords copyIds = ids;
      copy->Kind = KindOf(m);
      copy->StampEntries();
      CalculateCopy(*copy, copyIds, countryCodeOf);
      Count(*copy, t, 0);
    }
    Fill(o, t);
  }

  for (TaxMethod m : kTaxMethods) {
    const MethodOption& o = c.Of(m);
    if (!o.available) continue;
    // An equal cost keeps the current choice.
    if (!c.best || o.Cost() < c.Of(*c.best).Cost() ||
        (o.Cost() == c.Of(*c.best).Cost() && o.current))
      c.best = m;
  }
  return c;
}

}  // namespace pit
