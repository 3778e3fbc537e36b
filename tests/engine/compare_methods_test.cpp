// The methods of taxation compared on copies of the settlement.
#include <gtest/gtest.h>

#include "app/session.h"
#include "compare/methods.h"
#include "compare/outcome.h"
#include "engine/calc_fixture.h"
#include "forms/pit28_fields.h"
#include "forms/pit28a_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_uz_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;

constexpr std::int64_t Zl(std::int64_t zloty) { return zloty * 100; }

// A joint PIT-37 with each person's employment: revenue and costs.
struct JointPit37 {
  CalcFixture fx{kJoint, kIdNip};
  int ret;
  JointPit37(const char* revenueT, const char* revenueS) {
    ret = fx.Add(kPit37);
    fx.Set(ret, {{pit37::taxpayer_employment_revenue, revenueT},
                 {pit37::taxpayer_employment_costs, "1335,00"},
                 {pit37::spouse_employment_revenue, revenueS},
                 {pit37::spouse_employment_costs, "1335,00"}});
  }
};

// The same couple on either joint return: each person's columns go into
// that person's own return of the same form.
TEST(CompareMethods, JointCoupleAgainstSeparateReturns) {
  struct Case {
    int idPit;
    std::map<int, std::string> values;
  };
  const std::vector<Case> cases = {
      {kPit37,
       {{pit37::taxpayer_employment_revenue, "120000,00"},
        {pit37::taxpayer_employment_costs, "1335,00"},
        {pit37::spouse_employment_revenue, "10000,00"},
        {pit37::spouse_employment_costs, "1335,00"}}},
      {kPit36,
       {{pit36::taxpayer_employment_revenue, "120000,00"},
        {pit36::taxpayer_employment_costs, "1335,00"},
        {pit36::spouse_employment_revenue, "10000,00"},
        {pit36::spouse_employment_costs, "1335,00"}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.idPit);
    CalcFixture fx(kJoint, kIdNip);
    fx.Set(fx.Add(k.idPit), k.values);
    const auto before = fx.Snapshot();
    const MethodComparison c = CompareMethods(fx.s, fx.ids);

    ASSERT_TRUE(c.applicable);
    EXPECT_EQ(c.current, TaxMethod::Joint);
    const MethodOption& sep = c.Of(TaxMethod::Individual);
    ASSERT_TRUE(sep.available);
    EXPECT_EQ(sep.taxpayerTax, Zl(25443));
    EXPECT_EQ(sep.spouseTax, Zl(1004));
    EXPECT_EQ(sep.tax, Zl(26447));
    EXPECT_EQ(sep.toPay, Zl(26447));  // no advances were withheld

    const MethodOption& joint = c.Of(TaxMethod::Joint);
    ASSERT_TRUE(joint.available);
    EXPECT_EQ(joint.jointTax, Zl(21807));
    EXPECT_EQ(joint.tax, Zl(21807));
    EXPECT_EQ(c.DifferenceToCurrent(TaxMethod::Individual), Zl(26447 - 21807));

    EXPECT_FALSE(c.Of(TaxMethod::SingleParent).available);
    EXPECT_NE(c.Of(TaxMethod::SingleParent).reason.find("małżonk"), std::string::npos);
    ASSERT_TRUE(c.best);
    EXPECT_EQ(*c.best, TaxMethod::Joint);
    // Everything ran on copies.
    EXPECT_EQ(fx.Snapshot(), before);
    EXPECT_EQ(fx.s.Kind, kJoint);
  }
}

// The spouse's business on a PIT/B of the joint PIT-36 goes with the spouse.
TEST(CompareMethods, SpouseBusinessGoesIntoTheSpousesReturn) {
  CalcFixture fx(kJoint, kIdNip);
  const int ret = fx.Add(kPit36);
  fx.Set(ret, {{pit36::taxpayer_employment_revenue, "60000,00"}, {pit36::taxpayer_employment_costs, "1335,00"}});
  const int b = fx.Add(kPitB, ret, kPmSpouse);
  fx.Set(b, {{pit_b::own1_revenue, "50000,00"}, {pit_b::own1_costs, "10000,00"}});
  const MethodComparison c = CompareMethods(fx.s, fx.ids);
  // Taxpayer 58 665 zł: 10 004 zł; spouse 40 000 zł: 6 644 zł; jointly
  // twice the tax on 49 333 zł.
  EXPECT_EQ(c.Of(TaxMethod::Individual).taxpayerTax, Zl(10004));
  EXPECT_EQ(c.Of(TaxMethod::Individual).spouseTax, Zl(6644));
  EXPECT_EQ(c.Of(TaxMethod::Joint).jointTax, Zl(16648));

  const PersonSettlement spouse = SeparateSettlement(fx.s, fx.ids, kPmSpouse);
  const int own = spouse.settlement->FindEntry(kPit36, 0, kPmNone);
  ASSERT_GT(own, 0);
  const int ownB = spouse.settlement->FindEntry(kPitB, own, kPmNone);
  ASSERT_GT(ownB, 0);
  EXPECT_EQ(GroszeOf(*spouse.settlement, own, pit36::taxpayer_business_income), Zl(40000));
  EXPECT_EQ(SeparateSettlement(fx.s, fx.ids, kPmTaxpayer).settlement->FindByTypeAndParent(kPitB, 1), -1);
}

TEST(CompareMethods, SingleParentWithSharesSoldCountedInBoth) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  fx.Set(ret, {{pit37::taxpayer_employment_revenue, "60000,00"},
               {pit37::taxpayer_employment_costs, "1335,00"},
               {pit37::taxpayer_employment_advance, "9000,00"}});
  const int shares = fx.Add(kPit38);
  fx.Set(shares, {{pit38::pit8c_revenue, "10000,00"},
                  {pit38::pit8c_costs, "4000,00"},
                  {pit38::tax_rate, "19"}});  // 19 % of 6 000 zł
  const MethodComparison c = CompareMethods(fx.s, fx.ids);

  const MethodOption& alone = c.Of(TaxMethod::Individual);
  const MethodOption& parent = c.Of(TaxMethod::SingleParent);
  ASSERT_TRUE(alone.available);
  ASSERT_TRUE(parent.available) << parent.reason;
  EXPECT_FALSE(c.Of(TaxMethod::Joint).available);
  // Income 58 665: by the scale 10 004 zł; as a single parent twice the tax
  // on 29 333 zł, 9 448 zł. The 1 140 zł of the PIT-38 counts in both.
  EXPECT_EQ(alone.taxpayerTax, Zl(10004 + 1140));
  EXPECT_EQ(parent.taxpayerTax, Zl(9448 + 1140));
  EXPECT_EQ(parent.overpayment, 0);
  EXPECT_EQ(alone.toPay, Zl(1004) + Zl(1140));
  EXPECT_EQ(parent.toPay, Zl(448) + Zl(1140));
  ASSERT_TRUE(c.best);
  EXPECT_EQ(*c.best, TaxMethod::SingleParent);
  EXPECT_EQ(c.DifferenceToCurrent(TaxMethod::SingleParent), -Zl(556));
}

// What the law rules out, and what it does not.
TEST(CompareMethods, OptionsTheLawExcludes) {
  struct Case {
    const char* name;
    int kind;
    int otherForm;           // a second return beside the PIT-37, 0 none
    int otherPm;
    std::map<int, std::string> otherValues;
    std::map<int, std::string> pit28A;  // a PIT-28/A under the other return
    TaxMethod method;
    const char* reasonPart;  // nullptr: available
  };
  const std::vector<Case> cases = {
      {"flat tax rules out the single parent", kIndividual, kPit36L, kPmNone,
       {{pit36l::business_revenue, "90000,00"}, {pit36l::business_costs, "30000,00"}}, {}, TaxMethod::SingleParent,
       "PIT-36L"},
      {"business lump sum rules out the single parent", kIndividual, kPit28, kPmNone, {},
       {{pit28a::revenue_3pct, "40000,00"}}, TaxMethod::SingleParent, "ryczałt"},
      {"a rental lump sum does not", kIndividual, kPit28, kPmNone, {{pit28::rental_revenue_20pct, "12000,00"}}, {},
       TaxMethod::SingleParent, nullptr},
      {"the tax card rules it out", kIndividual, kPit16A, kPmNone, {}, {}, TaxMethod::SingleParent, "karty"},
      {"no spouse's income, no joint return", kSingleParent, 0, 0, {}, {}, TaxMethod::Joint, "małżonka"},
      {"a spouse's business lump sum rules out the joint return", kJoint, kPit28, kPmSpouse, {},
       {{pit28a::revenue_5_5pct, "50000,00"}}, TaxMethod::Joint, "ryczałt"},
      {"a spouse's rental lump sum does not", kJoint, kPit28, kPmSpouse, {{pit28::rental_revenue_20pct, "50000,00"}},
       {}, TaxMethod::Joint, nullptr},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    CalcFixture fx(k.kind, k.kind == kJoint ? kIdNip : kIdNone);
    const int ret = fx.Add(kPit37);
    fx.Set(ret, {{pit37::taxpayer_employment_revenue, "40000,00"},
                 {pit37::taxpayer_employment_costs, "1335,00"},
                 {pit37::spouse_employment_revenue, "20000,00"}});
    if (k.otherForm) {
      const int other = fx.Add(k.otherForm, 0, k.otherPm);
      fx.Set(other, k.otherValues);
      if (!k.pit28A.empty()) fx.Set(fx.Add(kPit28A, other, k.otherPm), k.pit28A);
    }
    const MethodComparison c = CompareMethods(fx.s, fx.ids);
    const MethodOption& o = c.Of(k.method);
    if (!k.reasonPart) {
      EXPECT_TRUE(o.available) << o.reason;
      EXPECT_GT(o.tax, 0);
    } else {
      EXPECT_FALSE(o.available);
      EXPECT_NE(o.reason.find(k.reasonPart), std::string::npos) << o.reason;
      EXPECT_TRUE(!c.best || *c.best != k.method);
    }
  }
}

// One spouse's flat-tax business: the couple cannot file jointly, so the
// separate returns win; the PIT-36L counts with its owner.
TEST(CompareMethods, FlatTaxSpouseFilesSeparately) {
  JointPit37 j("50000,00", "30000,00");
  const int flat = j.fx.Add(kPit36L, 0, kPmSpouse);
  j.fx.Set(flat, {{pit36l::business_revenue, "200000,00"}, {pit36l::business_costs, "120000,00"}});
  const MethodComparison c = CompareMethods(j.fx.s, j.fx.ids);

  const MethodOption& joint = c.Of(TaxMethod::Joint);
  EXPECT_FALSE(joint.available);
  EXPECT_NE(joint.reason.find("podatek liniowy"), std::string::npos);
  const MethodOption& sep = c.Of(TaxMethod::Individual);
  ASSERT_TRUE(sep.available);
  // Taxpayer: 48 665 zł by the scale, 8 204 zł. Spouse: 28 665 zł, 4 604 zł,
  // and 19 % of the 80 000 zł business income, 15 200 zł.
  EXPECT_EQ(sep.taxpayerTax, Zl(8204));
  EXPECT_EQ(sep.spouseTax, Zl(4604 + 15200));
  ASSERT_TRUE(c.best);
  EXPECT_EQ(*c.best, TaxMethod::Individual);
}

// Each spouse alone keeps the deductions typed in that person's columns;
// PIT/D amounts without a split stay with the taxpayer.
TEST(SeparateSettlement, ReliefsFollowTheirColumns) {
  struct Case {
    const char* name;
    std::map<int, std::string> pitO, pitD;
    // The PIT/O deductions from income, the housing deduction and the PIT/O
    // deductions from tax of each person's own PIT-37.
    std::array<const char*, 3> taxpayer, spouse;
  };
  const std::vector<Case> cases = {
      {"internet use and child relief in both columns",
       {{pit_o::taxpayer_internet, "760,00"},
        {pit_o::spouse_internet, "500,00"},
        {pit_o::children_count, "1"},
        {pit_o::child1_taxpayer_relief, "600,00"},
        {pit_o::child1_spouse_relief, "512,04"},
        {pit_o::taxpayer_child_relief, "600,00"},
        {pit_o::spouse_child_relief, "512,04"}},
       {},
       {"760,00", "0,00", "600,00"},
       {"500,00", "0,00", "512,04"}},
      {"housing relief split between the persons",
       {},
       {{pit_d::loan_amount, "3000,00"},
        {pit_d::loan_return_taxpayer, "1000,00"},
        {pit_d::loan_return_spouse, "2000,00"}},
       {"0,00", "1000,00", "0,00"},
       {"0,00", "2000,00", "0,00"}},
      {"housing relief without a split is the taxpayer's",
       {},
       {{pit_d::loan_amount, "3000,00"}},
       {"0,00", "3000,00", "0,00"},
       {"0,00", "0,00", "0,00"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    JointPit37 j("60000,00", "40000,00");
    if (!k.pitO.empty()) j.fx.Set(j.fx.Add(kPitO, j.ret), k.pitO);
    if (!k.pitD.empty()) j.fx.Set(j.fx.Add(kPitD, j.ret), k.pitD);
    j.fx.ids.Spouse.Surname = "NOWAK";
    for (int person : {kPmTaxpayer, kPmSpouse}) {
      PersonSettlement p = SeparateSettlement(j.fx.s, j.fx.ids, person);
      const Settlement& s = *p.settlement;
      EXPECT_EQ(s.Kind, kIndividual);
      const int r = s.FindEntry(kPit37, 0, kPmNone);
      ASSERT_GT(r, 0);
      const auto& want = person == kPmTaxpayer ? k.taxpayer : k.spouse;
      const auto value = [&](int f) { return s.Entry(r).Slots()[static_cast<std::size_t>(f)].Value; };
      // An amount the calculation did not write reads as 0, like an empty field.
      const auto amount = [&](int f) { return GroszeOf(s, r, f); };
      const auto grosze = [](const char* t) { return RoundGroszeCents(*ParseAmount(t)); };
      EXPECT_EQ(value(pit37::taxpayer_employment_revenue), person == kPmTaxpayer ? "60000,00" : "40000,00");
      EXPECT_EQ(value(pit37::spouse_employment_revenue), "");
      EXPECT_EQ(amount(pit37::taxpayer_pit_o_income_deductions), grosze(want[0])) << "person " << person;
      EXPECT_EQ(amount(pit37::pit_d_income_relief), grosze(want[1])) << "person " << person;
      EXPECT_EQ(amount(pit37::taxpayer_pit_o_tax_deductions), grosze(want[2])) << "person " << person;
      if (person == kPmSpouse) {
        EXPECT_EQ(p.ids.Taxpayer.Surname, "NOWAK");
        EXPECT_NE(s.Entry(r).ReturnGuid, j.fx.s.Entry(j.ret).ReturnGuid);
      }
    }
  }
}

// "Zastosuj" for a method with the same forms: the kind and every figure
// that follows from it are one step of the history.
TEST(SwitchMethod, KindChangeIsOneStepOfTheHistory) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  fx.Set(ret, {{pit37::taxpayer_employment_revenue, "60000,00"}, {pit37::taxpayer_employment_costs, "1335,00"}});
  SettlementSession session(fx.s, fx.ids);
  session.RecalculateAll({}, true);
  fx.s.DocumentModified = false;
  session.History().Reset(fx.s, fx.ids);
  ASSERT_TRUE(session.MakeCurrent(ret, 3));
  ASSERT_EQ(fx.Get(ret, pit37::tax_due), "10004,00");

  const CommitStep* step = session.ChangeKind(kSingleParent);
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(fx.s.Kind, kSingleParent);
  EXPECT_EQ(fx.s.Entry(ret).Kind, kSingleParent);
  EXPECT_EQ(fx.Get(ret, pit37::tax_due), "9448,00");
  EXPECT_TRUE(fx.Slot(ret, pit37::filing_single_parent).CheckState);
  EXPECT_EQ(fx.s.Current.Number, ret);  // the form shown stays
  EXPECT_TRUE(session.Modified());

  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_EQ(fx.s.Kind, kIndividual);
  EXPECT_EQ(fx.s.Entry(ret).Kind, kIndividual);
  EXPECT_EQ(fx.Get(ret, pit37::tax_due), "10004,00");
  EXPECT_FALSE(fx.Slot(ret, pit37::filing_single_parent).CheckState);
  EXPECT_FALSE(session.Modified());

  ASSERT_NE(session.Redo(), nullptr);
  EXPECT_EQ(fx.s.Kind, kSingleParent);
  EXPECT_EQ(fx.Get(ret, pit37::tax_due), "9448,00");
  EXPECT_EQ(session.ChangeKind(kSingleParent), nullptr);  // nothing to change
}

TEST(ReturnOutcome, JointReturnWithItsPartsAndTheOnePercent) {
  JointPit37 j("120000,00", "10000,00");
  j.fx.Set(j.ret, {{pit37::taxpayer_employment_advance, "20000,00"},
                   {pit37::spouse_employment_advance, "1000,00"},
                   {pit37::krs, "0000127204"},
                   {pit37::one_percent, "100,00"}});
  // The PIT/UZ follows the return: a child's relief of 300,00 that the
  // return did not deduct (the PIT/O's child relief typed as nothing) is
  // paid back up to the contributions on the PIT/UZ.
  const int pitO = j.fx.Add(kPitO, j.ret);
  j.fx.Set(pitO, {{pit_o::child1_taxpayer_relief, "300,00"},
                  {pit_o::taxpayer_children_relief_sum, "300,00"},
                  {pit_o::taxpayer_child_relief, "0,00"}});
  const int uz = j.fx.Add(kPitUZ, j.ret);
  j.fx.Set(uz, {{pit_uz::taxpayer_contributions, "300,00"}});
  j.fx.Show(j.ret);
  ASSERT_EQ(j.fx.Run(j.ret), CalcStatus::Done);
  // An attachment leads to its return.
  const auto o = OutcomeOf(j.fx.s, uz);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->entry, j.ret);
  EXPECT_TRUE(o->joint);
  EXPECT_EQ(o->taxDue.grosze, Zl(21807));
  EXPECT_EQ(o->taxDue.field, pit37::tax_due);
  ASSERT_TRUE(o->advances);
  EXPECT_EQ(o->advances->grosze, Zl(21000));
  EXPECT_EQ(o->toPay.grosze, Zl(807));
  EXPECT_EQ(o->overpayment.grosze, 0);
  ASSERT_TRUE(o->onePercent);
  EXPECT_EQ(o->onePercent->grosze, Zl(100));
  EXPECT_EQ(o->krs, "0000127204");
  ASSERT_TRUE(o->childReliefPaidBack);
  EXPECT_EQ(o->childReliefPaidBack->entry, uz);
  EXPECT_EQ(o->childReliefPaidBack->grosze, Zl(300));
  EXPECT_EQ(o->taxpayer.advances, Zl(20000));
  EXPECT_EQ(o->spouse.income, Zl(10000 - 1335));

  CalcFixture payer(kPayerForms);
  const int p11 = payer.Add(kPit11);
  EXPECT_FALSE(OutcomeOf(payer.s, p11));
  EXPECT_FALSE(CompareMethods(payer.s, payer.ids).applicable);
}

}  // namespace
}  // namespace pit
