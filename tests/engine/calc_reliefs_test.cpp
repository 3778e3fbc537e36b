// PIT/O, PIT/D and PIT/UZ: limits, splitting and what reaches the return.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calc/framework.h"
#include "calc/pit_o_children.h"
#include "engine/calc_fixture.h"
#include "forms/definition_library.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_uz_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;

// Each named field of entry `e` holds its expected text.
void ExpectValues(CalcFixture& fx, int e, const std::map<int, std::string>& expected) {
  for (const auto& [k, v] : expected) EXPECT_EQ(fx.Get(e, k), v) << "field " << k;
}

struct PitOCase {
  const char* name;
  bool secondCopy;
  std::map<int, std::string> input;
  std::map<int, std::string> expected;
  bool reduced;
};

TEST(PitO, Limits) {
  using namespace pit_o;
  const std::vector<PitOCase> cases = {
      {"three children above the limit",
       false,
       {{children_count, "3"}, {taxpayer_child_relief, "5000,00"}, {spouse_child_relief, "0,00"}},
       {{taxpayer_child_relief, "4224,12"}, {spouse_child_relief, "0,00"}, {taxpayer_tax_deductions_total, "4224,12"}},
       true},
      {"limit split onto the spouse",
       false,
       {{children_count, "2"}, {taxpayer_child_relief, "2000,00"}, {spouse_child_relief, "1000,00"}},
       {{taxpayer_child_relief, "2000,00"}, {spouse_child_relief, "224,08"}, {spouse_tax_deductions_total, "224,08"}},
       true},
      {"six children",
       false,
       {{children_count, "6"}, {taxpayer_child_relief, "12324,12"}, {spouse_child_relief, "1,00"}},
       {{taxpayer_child_relief, "12324,12"}, {spouse_child_relief, "0,00"}},
       true},
      {"within the limit",
       false,
       {{children_count, "1"}, {taxpayer_child_relief, "1112,04"}},
       {{taxpayer_child_relief, "1112,04"}},
       false},
      {"fractional count taken whole",
       false,
       {{children_count, "1,9"}, {taxpayer_child_relief, "2000,00"}},
       {{taxpayer_child_relief, "1112,04"}},
       true},
      // Any count a field may hold (below 10^13) keeps the limit above the deduction.
      {"count as large as an amount may be",
       false,
       {{children_count, "9999999999999"}, {taxpayer_child_relief, "5000,00"}},
       {{taxpayer_child_relief, "5000,00"}, {taxpayer_tax_deductions_total, "5000,00"}},
       false},
      {"negative count",
       false,
       {{children_count, "-2"}, {taxpayer_child_relief, "100,00"}},
       {{taxpayer_child_relief, "0,00"}},
       true},
      {"third child on the first copy",
       false,
       {{child3_taxpayer_relief, "1500,00"}, {child3_spouse_relief, "1000,00"}},
       {{child3_taxpayer_relief, "1500,00"}, {child3_spouse_relief, "500,04"}},
       false},
      {"first child above its limit alone",
       false,
       {{child1_taxpayer_relief, "1200,00"}, {child1_spouse_relief, "300,00"}},
       {{child1_taxpayer_relief, "1112,04"}, {child1_spouse_relief, "0,00"}, {taxpayer_children_relief_sum, "1112,04"}},
       false},
      {"first child on a second copy",
       true,
       {{child1_taxpayer_relief, "2000,00"}, {child1_spouse_relief, "1000,00"}},
       {{child1_taxpayer_relief, "2000,00"}, {child1_spouse_relief, "700,00"}},
       false},
      {"internet and IKZE contributions",
       false,
       {{taxpayer_internet, "1000,00"},
        {spouse_internet, "700,00"},
        {taxpayer_ikze, "5000,00"},
        {spouse_ikze, "4495,20"},
        {taxpayer_social_insurance_abroad, "10,00"}},
       {{taxpayer_internet, "760,00"},
        {spouse_internet, "700,00"},
        {taxpayer_ikze, "4495,20"},
        {spouse_ikze, "4495,20"},
        {taxpayer_income_deductions_total, "5265,20"},
        {spouse_income_deductions_total, "5195,20"}},
       true},
      // The return has no tax: it deducted nothing of the 1 500,00.
      {"unused child relief",
       false,
       {{children_count, "2"},
        {child1_taxpayer_relief, "1000,00"},
        {child2_taxpayer_relief, "1000,00"},
        {taxpayer_child_relief, "1500,00"}},
       {{taxpayer_unused_child_relief, "2000,00"}, {taxpayer_children_relief_sum, "2000,00"}},
       false},
      // The deduction typed before the child's amount: nothing is unused,
      // and nothing below that either.
      {"relief typed before the child's data",
       false,
       {{children_count, "1"}, {taxpayer_child_relief, "1112,04"}, {spouse_child_relief, "0,00"}},
       {{taxpayer_child_relief, "1112,04"},
        {taxpayer_unused_child_relief, "0,00"},
        {spouse_unused_child_relief, "0,00"},
        {taxpayer_children_relief_sum, "0,00"}},
       false},
  };
  const std::string notice =
      "   PIT/O. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
      "kwot w tym w załącznikach.";
  for (const PitOCase& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(kJoint, kIdNip);
    const int ret = fx.Add(kPit37);
    int o = fx.Add(kPitO, ret);
    if (c.secondCopy) o = fx.Add(kPitO, ret);
    fx.Set(o, c.input);
    fx.Show(o);
    ASSERT_EQ(fx.Run(o), CalcStatus::Done);
    EXPECT_EQ(fx.Get(o, copy_number), c.secondCopy ? "2" : "1");
    ExpectValues(fx, o, c.expected);
    EXPECT_EQ(fx.display.messages, c.reduced ? std::vector<std::string>{notice} : std::vector<std::string>{});
  }
}

TEST(PitO, EditChangesItsReturnAtOnce) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  fx.Set(ret, {{pit37::taxpayer_employment_revenue, "50000,00"}, {pit37::taxpayer_employment_costs, "1335,00"}});
  fx.Run(ret);
  ASSERT_EQ(fx.Get(ret, pit37::tax_due), "8204,00");
  fx.Set(o,
         {{pit_o::taxpayer_health_insurance_abroad, "1000,00"}, {pit_o::taxpayer_social_insurance_abroad, "665,00"}});
  fx.Show(o);
  fx.Run(o);
  ExpectValues(fx, ret,
               {{pit37::taxpayer_pit_o_income_deductions, "665,00"},
                {pit37::taxpayer_pit_o_tax_deductions, "1000,00"},
                {pit37::income_after_all_deductions, "48000,00"},
                {pit37::tax_due, "7084,00"}});  // 48000 x 18% - 556,02 - 1000,00
}

TEST(PitO, UnderPit28GoesToThePit28Only) {
  CalcFixture fx;
  const int p28 = fx.Add(kPit28);
  const int p37 = fx.Add(kPit37);
  const int o = fx.Add(kPitO, p28);
  // Revenue for the deductions to fit in (typed: no PIT-28/A is attached).
  fx.Set(p28, pit28::fivefold_revenue_3pct, "100000,00");
  fx.Set(o, {{pit_o::taxpayer_social_insurance_abroad, "100,00"}, {pit_o::taxpayer_health_insurance_abroad, "50,00"}});
  fx.Show(o);
  fx.Run(o);
  EXPECT_EQ(fx.Get(p28, pit28::pit_o_revenue_deductions), "100,00");
  EXPECT_EQ(fx.Get(p28, pit28::pit_o_lump_sum_deductions), "50,00");
  EXPECT_EQ(fx.Get(p37, pit37::taxpayer_pit_o_income_deductions), "");  // not its return: untouched
  // Part G is closed: every child's data and month boxes, not its amounts.
  for (const PitOChild& c : kPitOChildren) {
    for (int k : {c.pesel, c.surname, c.firstName, c.birthDate}) EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
    for (const PitOMonthBoxes* g : {&c.taxpayer, &c.spouse}) {
      EXPECT_TRUE(fx.display.ReadOnly(g->wholeYear)) << g->wholeYear;
      for (int k : g->months) EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
    }
    EXPECT_FALSE(fx.display.ReadOnly(c.taxpayerRelief)) << c.taxpayerRelief;
  }
}

TEST(PitO, ScreenRules) {
  using namespace pit_o;
  const PitOChild& child1 = kPitOChildren[0];
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  fx.Tick(o, child1.taxpayer.wholeYear, "1");
  for (int k : child1.taxpayer.months) fx.Tick(o, k, "1");
  fx.Set(o, {{children_count, "1"},
             {institution2_name, "x"},
             {institution2_taxpayer_contributions, "7,00"},
             {taxpayer_other_income_deductions, "10,00"}});
  fx.Show(o);
  fx.display.edited = taxpayer_other_income_deductions;
  fx.Run(o);
  // A whole year unticks the months.
  for (int k : child1.taxpayer.months) EXPECT_FALSE(fx.Slot(o, k).CheckState) << k;
  // The second institution is closed without the first one's name.
  EXPECT_EQ(fx.Get(o, institution2_name), "");
  EXPECT_EQ(fx.Get(o, institution2_taxpayer_contributions), "0,00");
  EXPECT_TRUE(fx.display.ReadOnly(institution2_house_no));
  // Child 1 enabled: its data and the unticked second group are required.
  EXPECT_TRUE(fx.display.MustBe(child1.pesel));
  EXPECT_TRUE(fx.display.MustBe(child1.spouse.wholeYear));
  EXPECT_FALSE(fx.display.MustBe(child1.taxpayer.wholeYear));
  EXPECT_FALSE(fx.display.MustBe(kPitOChildren[1].pesel));  // child 2 not enabled
  EXPECT_TRUE(fx.display.MustBe(other_income_deductions_description));
  EXPECT_EQ(fx.display.reminders, std::vector<std::string>{"Uzupełnij opis w PIT/O poz. 31"});
  fx.Run(o);  // once per page display
  EXPECT_EQ(fx.display.reminders.size(), 1u);
}

// The reminder about a missing description comes once per page display:
// told that one was already shown, the calculation shows none, and it says
// when it showed one, so that the next calculation of the page is told.
TEST(PitO, ReminderOncePerPageDisplayIsInputAndResult) {
  using namespace pit_o;
  struct Case {
    const char* name;
    int page, committed;
    bool shownBefore;
    bool reminded, shownAfter;
  };
  const std::vector<Case> cases = {
      {"first in the display", 1, taxpayer_other_income_deductions, false, true, true},
      {"already shown", 1, taxpayer_other_income_deductions, true, false, true},
      {"another field committed", 1, taxpayer_internet, false, false, false},
      {"another page", 2, taxpayer_other_income_deductions, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int o = fx.Add(kPitO, fx.Add(kPit37));
    fx.Set(o, {{taxpayer_other_income_deductions, "10,00"}});
    CalcInput in;
    in.entry = o;
    in.idPit = kPitO;
    in.page = c.page;
    in.committedField = c.committed;
    in.reminderShown = c.shownBefore;
    CalcContext ctx(fx.s, fx.ids, in);
    ASSERT_EQ(RunCalculation(ctx, kPitO, o), CalcStatus::Done);
    const std::vector<ShownWindow> want =
        c.reminded ? std::vector<ShownWindow>{{ShownWindow::Kind::Reminder, "Uzupełnij opis w PIT/O poz. 31", 0}}
                   : std::vector<ShownWindow>{};
    EXPECT_EQ(ctx.shown.windows, want);
    EXPECT_EQ(ctx.shown.reminderShown, c.shownAfter);
    EXPECT_EQ(ctx.shown.flags[other_income_deductions_description].mustBe, 1);
  }
}

// Only the first copy's deductions reach the return: a further copy, which
// lists further children, closes every deduction of both columns.
TEST(PitO, FurtherCopyClosesTheDeductions) {
  using namespace pit_o;
  CalcFixture fx(kJoint, kIdNip);
  const int ret = fx.Add(kPit37);
  fx.Add(kPitO, ret);
  const int second = fx.Add(kPitO, ret);
  fx.Show(second);
  ASSERT_EQ(fx.Run(second), CalcStatus::Done);
  for (int k : {taxpayer_social_insurance_abroad, spouse_social_insurance_abroad,
                taxpayer_coworkers_social_insurance_abroad, spouse_coworkers_social_insurance_abroad,
                taxpayer_repaid_benefits, spouse_repaid_benefits, taxpayer_rehabilitation, spouse_rehabilitation,
                taxpayer_public_benefit_donations, spouse_public_benefit_donations, taxpayer_church_charity_donations,
                spouse_church_charity_donations, taxpayer_internet, spouse_internet, taxpayer_new_technologies,
                spouse_new_technologies, taxpayer_ikze, spouse_ikze, taxpayer_other_income_deductions,
                spouse_other_income_deductions, taxpayer_health_insurance_abroad, spouse_health_insurance_abroad,
                taxpayer_abolition_relief, spouse_abolition_relief, children_count, taxpayer_child_relief,
                spouse_child_relief, taxpayer_cash_register_relief, spouse_cash_register_relief,
                taxpayer_other_tax_deductions, spouse_other_tax_deductions})
    EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
  // Its children stay open.
  EXPECT_FALSE(fx.display.ReadOnly(child1_pesel));
  EXPECT_FALSE(fx.display.ReadOnly(child1_taxpayer_relief));
}

// Without a joint settlement the spouse's part of a PIT/O is closed, and
// every box ticked for the spouse is cleared, each child's whole-year box
// as well; the taxpayer's boxes stay.
TEST(PitO, SpouseColumnClosedWithoutAJointSettlement) {
  using namespace pit_o;
  CalcFixture fx(kIndividual, kIdNone);
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  for (const PitOChild& c : kPitOChildren) {
    for (int k : {c.taxpayer.wholeYear, c.spouse.wholeYear, c.spouse.months[2]}) {
      fx.Edit(o, k, [](ValueSlot& v) { v.Typ = kCheckbox; });
      fx.Tick(o, k, "1");
    }
  }
  fx.Show(o);
  fx.OnDisplay([&] { SpouseFieldRules(fx.ctx, kPitO); });
  for (const PitOChild& c : kPitOChildren) {
    SCOPED_TRACE(c.pesel);
    EXPECT_FALSE(fx.Slot(o, c.spouse.wholeYear).CheckState);
    EXPECT_FALSE(fx.Slot(o, c.spouse.months[2]).CheckState);
    EXPECT_TRUE(fx.Slot(o, c.taxpayer.wholeYear).CheckState);
    EXPECT_TRUE(fx.display.ReadOnly(c.spouseRelief));
    EXPECT_TRUE(fx.display.ReadOnly(c.spouse.wholeYear));
    for (int k : c.spouse.months) EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
    EXPECT_FALSE(fx.display.ReadOnly(c.taxpayerRelief));
    EXPECT_FALSE(fx.display.ReadOnly(c.taxpayer.wholeYear));
  }
  for (int k : {spouse_social_insurance_abroad, spouse_ikze, spouse_child_relief, spouse_other_tax_deductions,
                institution1_spouse_contributions, institution2_spouse_contributions, spouse_single_parent})
    EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
  EXPECT_FALSE(fx.display.ReadOnly(taxpayer_child_relief));
  EXPECT_FALSE(fx.display.Visible(spouse_id));
}

// An amount typed without its description reminds the user of the printed
// position of the description, as the shipped definition numbers it.
TEST(Reliefs, DescriptionRemindersNameThePrintedPosition) {
  struct Case {
    int idPit;
    const char* code;
    int page, amount, description;
  } cases[] = {
      {kPitO, "PIT/O", 1, pit_o::taxpayer_other_income_deductions, pit_o::other_income_deductions_description},
      {kPitO, "PIT/O", 2, pit_o::taxpayer_other_tax_deductions, pit_o::other_tax_deductions_description},
      {kPitD, "PIT/D", 1, pit_d::expenses_this_year, pit_d::expenses_description},
  };
  DefinitionLibrary dc(std::string(PIT_BIN_DIR) + "/dc");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " " + std::to_string(c.amount));
    const std::vector<FieldObject>* defs = dc.Fields(c.idPit);
    ASSERT_NE(defs, nullptr);
    CalcFixture fx;
    const int ret = fx.Add(kPit37);
    const int e = fx.Add(c.idPit, ret);
    fx.Set(e, c.amount, "10,00");
    fx.Show(e, c.page);
    fx.display.edited = c.amount;
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
    const int poz = (*defs)[static_cast<std::size_t>(c.description)].Poz;
    EXPECT_EQ(fx.display.reminders,
              std::vector<std::string>{"Uzupełnij opis w " + std::string(c.code) + " poz. " + std::to_string(poz)});
  }
}

TEST(PitD, SectionSplitting) {
  using namespace pit_d;
  struct Case {
    const char* name;
    std::map<int, std::string> input, expected;
  };
  const std::vector<Case> cases = {
      {"PIT-28 part above the amount",
       {{loan_amount, "1000,00"}, {loan_pit28, "1500,00"}},
       {{loan_pit28, "1000,00"}, {loan_return, "0,00"}}},
      {"rest goes to the return",
       {{loan_amount, "1000,00"}, {loan_pit28, "300,00"}},
       {{loan_pit28, "300,00"}, {loan_return, "700,00"}}},
      {"person columns fit the part",
       {{loan_amount, "1000,00"},
        {loan_pit28, "300,00"},
        {loan_pit28_taxpayer, "400,00"},
        {loan_pit28_spouse, "50,00"},
        {loan_return_taxpayer, "500,00"},
        {loan_return_spouse, "500,00"}},
       {{loan_pit28_taxpayer, "300,00"},
        {loan_pit28_spouse, "0,00"},
        {loan_return, "700,00"},
        {loan_return_taxpayer, "500,00"},
        {loan_return_spouse, "200,00"}}},
      {"other expenses add their two amounts",
       {{expenses_this_year, "100,00"}, {expenses_earlier_years, "50,50"}},
       {{expenses_amount, "150,50"}, {expenses_return, "150,50"}}},
      // Close amounts leave a few grosze, written as two decimals: the
      // difference is exact, with no binary remainder after them.
      {"the rest of two close amounts is whole grosze",
       {{tax_relief_expenses, "2498,31"}, {tax_relief_pit28, "2498,24"}},
       {{tax_relief_amount, "2498,31"}, {tax_relief_return, "0,07"}}},
      {"tax relief expenses capped",
       {{tax_relief_expenses, "20000,00"}, {tax_relief_earlier_years, "10,00"}},
       {{tax_relief_expenses, "11340,00"}, {tax_relief_amount, "11350,00"}, {tax_relief_return, "11350,00"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int ret = fx.Add(kPit37);
    const int d = fx.Add(kPitD, ret);
    fx.Set(d, c.input);
    fx.Show(d);
    ASSERT_EQ(fx.Run(d), CalcStatus::Done);
    ExpectValues(fx, d, c.expected);
    EXPECT_TRUE(fx.display.messages.empty());
  }
}

TEST(PitD, CarriesIntoEveryReturnOfTheSettlement) {
  CalcFixture fx(kJoint, kIdNip);
  const int p37 = fx.Add(kPit37);
  const int p28t = fx.Add(kPit28, 0, kPmTaxpayer);
  const int p28s = fx.Add(kPit28, 0, kPmSpouse);
  const int d = fx.Add(kPitD, p37);
  fx.Set(p37, pit37::taxpayer_employment_revenue, "10000,00");
  for (int r : {p28t, p28s}) fx.Set(r, pit28::fivefold_revenue_3pct, "100000,00");
  fx.Set(d, {{pit_d::loan_amount, "1000,00"},
             {pit_d::loan_pit28, "400,00"},
             {pit_d::loan_pit28_taxpayer, "100,00"},
             {pit_d::loan_pit28_spouse, "300,00"},
             {pit_d::expenses_this_year, "200,00"},
             {pit_d::tax_relief_expenses, "500,00"}});
  fx.Show(d);
  fx.Run(d);
  ExpectValues(fx, p37,
               {{pit37::pit_d_income_relief, "600,00"},  // person columns empty: the total part
                {pit37::pit_d_relief, "200,00"},
                {pit37::pit_d_tax_relief, "500,00"},
                {pit37::income_after_all_deductions, "9200,00"}});  // PIT-37 recalculated
  EXPECT_EQ(fx.Get(p28t, pit28::pit_d_revenue_relief), "100,00");
  EXPECT_EQ(fx.Get(p28s, pit28::pit_d_revenue_relief), "300,00");
  EXPECT_TRUE(fx.display.MustBe(pit_d::expenses_description));
  EXPECT_EQ(fx.display.reminders.size(), 0u);  // nothing being edited
}

// The housing parts reach a PIT-36 and a common PIT-28 too: a person's part
// when it or its other column holds an amount, else the section's part.
TEST(PitD, CarriesIntoPit36AndACommonPit28) {
  CalcFixture fx;
  const int p36 = fx.Add(kPit36);
  const int p28 = fx.Add(kPit28);
  const int d = fx.Add(kPitD, p36);
  // income the PIT-36 deducts the housing parts from
  fx.Set(p36, pit36::taxpayer_employment_revenue, "100000,00");
  fx.Set(p28, pit28::fivefold_revenue_3pct, "100000,00");
  fx.Set(d, {{pit_d::loan_amount, "1000,00"},
             {pit_d::loan_pit28, "400,00"},
             {pit_d::loan_pit28_taxpayer, "100,00"},
             {pit_d::loan_return_taxpayer, "250,00"},
             {pit_d::tax_relief_expenses, "500,00"},
             {pit_d::tax_relief_pit28, "0,00"}});
  ASSERT_EQ(fx.Run(d), CalcStatus::Done);
  EXPECT_EQ(fx.Get(d, pit_d::loan_return), "600,00");
  ExpectValues(fx, p36,
               {{pit36::taxpayer_pit_d_income_relief, "250,00"},  // taxpayer's column of the PIT-36 part
                {pit36::pit_d_tax_relief, "500,00"}});            // tax relief: columns empty, the part
  ExpectValues(fx, p28,
               {{pit28::pit_d_revenue_relief, "100,00"},   // taxpayer's column of the PIT-28 part
                {pit28::pit_d_lump_sum_relief, "0,00"}});  // the tax relief has no PIT-28 part
}

TEST(PitUZ, PaidBackPart) {
  using namespace pit_uz;
  using pit37::spouse_pit_o_tax_deductions, pit37::taxpayer_pit_o_tax_deductions;
  using pit_o::spouse_child_relief, pit_o::spouse_children_relief_sum, pit_o::taxpayer_abolition_relief,
      pit_o::taxpayer_child_relief, pit_o::taxpayer_children_relief_sum;
  struct Case {
    const char* name;
    // The PIT/O's sums of the children's amounts and its deductions, and
    // what the return deducted of them.
    std::map<int, std::string> pitO, pit37;
    std::string taxpayerLimit, spouseLimit, pit37Overpaid;
    std::map<int, std::string> expected;
  };
  const std::vector<Case> cases = {
      {"limited by the user's limits",
       {{taxpayer_children_relief_sum, "800,00"}},
       {},
       "300,00",
       "200,00",
       "0,00",
       {{taxpayer_unused_relief, "800,00"},
        {spouse_unused_relief, "0,00"},
        {relief_to_refund, "500,00"},
        {tax_to_pay_after_relief, "0,00"},
        {refund, "500,00"}}},
      {"limited by the unused relief",
       {{taxpayer_children_relief_sum, "300,00"},
        {taxpayer_child_relief, "200,00"},
        {spouse_children_relief_sum, "50,00"},
        {spouse_child_relief, "100,00"}},
       {{taxpayer_pit_o_tax_deductions, "200,00"}, {spouse_pit_o_tax_deductions, "100,00"}},
       "300,00",
       "200,00",
       "40,00",
       {{taxpayer_unused_relief, "100,00"},
        {spouse_unused_relief, "0,00"},
        {relief_to_refund, "100,00"},
        {overpayment, "40,00"},
        {refund, "140,00"}}},
      // The return could take only part of the deduction: the rest is unused.
      {"deduction cut by the return's tax",
       {{taxpayer_children_relief_sum, "300,00"},
        {taxpayer_child_relief, "300,00"},
        {spouse_children_relief_sum, "500,00"},
        {spouse_child_relief, "500,00"}},
       {{taxpayer_pit_o_tax_deductions, "120,00"}, {spouse_pit_o_tax_deductions, "0,00"}},
       "1000,00",
       "0,00",
       "0,00",
       {{taxpayer_unused_relief, "180,00"},
        {spouse_unused_relief, "500,00"},
        {relief_to_refund, "680,00"},
        {refund, "680,00"}}},
      // The PIT/O's other deductions from tax are taken before the child
      // relief: of the 250 the return deducted, 100 went to the abolition relief.
      {"other deductions of the PIT/O come first",
       {{taxpayer_children_relief_sum, "300,00"},
        {taxpayer_child_relief, "300,00"},
        {taxpayer_abolition_relief, "100,00"}},
       {{taxpayer_pit_o_tax_deductions, "250,00"}},
       "1000,00",
       "0,00",
       "0,00",
       {{taxpayer_unused_relief, "150,00"}, {relief_to_refund, "150,00"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int ret = fx.Add(kPit37);
    const int o = fx.Add(kPitO, ret);
    const int uz = fx.Add(kPitUZ, ret);
    fx.Set(o, c.pitO);
    fx.Set(ret, c.pit37);
    fx.Set(ret, pit37::overpaid, c.pit37Overpaid);
    fx.Set(uz, {{taxpayer_contributions, c.taxpayerLimit}, {spouse_contributions, c.spouseLimit}});
    ASSERT_EQ(fx.Run(uz), CalcStatus::Done);
    EXPECT_TRUE(fx.Slot(uz, attached_to_pit37).CheckState);
    EXPECT_EQ(fx.Get(uz, attached_to_pit37), "2");
    ExpectValues(fx, uz, c.expected);
  }
}

// Six children: the deduction on the first PIT/O covers the sixth child,
// listed on the second copy; the return's tax takes all of it. Neither copy
// shows a negative unused relief, and the PIT/UZ nets the copies: nothing
// is unused, nothing paid back.
TEST(PitUZ, DeductionOnTheFirstCopyCoversChildrenOfTheSecond) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int first = fx.Add(kPitO, ret);
  const int second = fx.Add(kPitO, ret);
  const int uz = fx.Add(kPitUZ, ret);
  using namespace pit_o;
  fx.Set(ret, {{pit37::taxpayer_employment_revenue, "200000,00"}, {pit37::taxpayer_employment_advance, "40000,00"}});
  fx.Set(first, {{copy_number, "1"},
                 {children_count, "6"},
                 {taxpayer_child_relief, "12324,12"},
                 {child1_taxpayer_relief, "1112,04"},
                 {child2_taxpayer_relief, "1112,04"},
                 {child3_taxpayer_relief, "2000,04"},
                 {child4_taxpayer_relief, "2700,00"},
                 {child5_taxpayer_relief, "2700,00"}});
  fx.Set(second, {{copy_number, "2"}, {child1_taxpayer_relief, "2700,00"}});
  fx.Set(uz, {{pit_uz::taxpayer_contributions, "5000,00"}});
  for (int e : {first, second, uz}) {
    fx.Show(e);
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
  }
  ExpectValues(fx, first, {{taxpayer_children_relief_sum, "9624,12"}, {taxpayer_unused_child_relief, "0,00"}});
  EXPECT_EQ(fx.Get(second, taxpayer_unused_child_relief), "2700,00");
  ExpectValues(fx, uz, {{pit_uz::taxpayer_unused_relief, "0,00"}, {pit_uz::relief_to_refund, "0,00"}});
}

// A user who fills only part G gets the relief: the number of children and
// each column's total reach the deduction and the return, and follow part G
// until the user types the deduction.
TEST(PitO, ChildReliefFollowsPartGUntilTyped) {
  using namespace pit_o;
  using pit37::spouse_pit_o_tax_deductions, pit37::taxpayer_pit_o_tax_deductions;
  CalcFixture fx(kJoint, kIdNip);
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  fx.Set(ret, {{pit37::taxpayer_employment_revenue, "60000,00"}});
  const auto edit = [&](const std::map<int, std::string>& values) {
    fx.Set(o, values);
    fx.Show(o, 2);
    ASSERT_EQ(fx.Run(o), CalcStatus::Done);
  };
  edit({{child1_taxpayer_relief, "1112,04"}, {child2_taxpayer_relief, "556,02"}, {child2_spouse_relief, "556,02"}});
  ExpectValues(fx, o, {{children_count, "2"}, {taxpayer_child_relief, "1668,06"}, {spouse_child_relief, "556,02"}});
  ExpectValues(fx, ret, {{taxpayer_pit_o_tax_deductions, "1668,06"}, {spouse_pit_o_tax_deductions, "556,02"}});

  edit({{child2_taxpayer_relief, "1112,04"}, {child2_spouse_relief, ""}});
  ExpectValues(fx, o, {{taxpayer_child_relief, "2224,08"}, {spouse_child_relief, "0,00"}});

  // A third child beyond the count the user typed: the limit for two holds,
  // under the reduction notice.
  edit({{children_count, "2"}, {child3_taxpayer_relief, "2000,04"}});
  EXPECT_EQ(fx.Get(o, taxpayer_child_relief), "2224,08");
  ASSERT_EQ(fx.display.messages.size(), 1u);
  EXPECT_NE(fx.display.messages[0].find("redukcji"), std::string::npos);

  // Typed by the user: a later change of part G leaves it.
  edit({{children_count, "3"}, {taxpayer_child_relief, "3000,00"}});
  edit({{child3_taxpayer_relief, "1000,00"}});
  EXPECT_EQ(fx.Get(o, taxpayer_child_relief), "3000,00");
  EXPECT_EQ(fx.Get(ret, taxpayer_pit_o_tax_deductions), "3000,00");
}

// Four children's relief of 6 924,12 against a tax of 1 010,12: the return
// deducts 1 010,12, and the 5 914,00 left is paid back up to the
// contributions (2 742 + 1 300). The PIT/UZ follows each edit of its PIT/O
// and of its return without being calculated itself.
TEST(PitUZ, FollowsWhatTheReturnDeducted) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  const int uz = fx.Add(kPitUZ, ret);
  const auto edit = [&](int e, const std::map<int, std::string>& values) {
    fx.Set(e, values);
    fx.Show(e);
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
  };
  using namespace pit_uz;
  edit(uz, {{taxpayer_contributions, "2742,00"}, {spouse_contributions, "1300,00"}});
  edit(ret, {{pit37::taxpayer_employment_revenue, "20000,00"},
             {pit37::taxpayer_employment_costs, "1335,00"},
             {pit37::taxpayer_employment_advance, "1000,00"},
             {pit37::taxpayer_income_deductions, "2742,00"},
             {pit37::taxpayer_tax_deductions, "1300,00"}});
  edit(o, {{pit_o::children_count, "4"},
           {pit_o::child1_taxpayer_relief, "1112,04"},
           {pit_o::child2_taxpayer_relief, "1112,04"},
           {pit_o::child3_taxpayer_relief, "2000,04"},
           {pit_o::child4_taxpayer_relief, "2700,00"},
           {pit_o::taxpayer_child_relief, "6924,12"}});
  EXPECT_EQ(fx.Get(ret, pit37::taxpayer_pit_o_tax_deductions), "1010,12");
  EXPECT_EQ(fx.Get(o, pit_o::taxpayer_unused_child_relief), "5914,00");
  ExpectValues(fx, uz,
               {{taxpayer_unused_relief, "5914,00"},
                {relief_to_refund, "4042,00"},
                {overpayment, "1000,00"},
                {refund, "5042,00"}});

  // More tax (a higher revenue) takes more of the relief.
  edit(ret, {{pit37::taxpayer_employment_revenue, "21000,00"}, {pit37::taxpayer_employment_advance, "2000,00"}});
  EXPECT_EQ(fx.Get(ret, pit37::taxpayer_pit_o_tax_deductions), "1190,12");
  ExpectValues(fx, uz,
               {{taxpayer_unused_relief, "5734,00"},
                {relief_to_refund, "4042,00"},
                {overpayment, "2000,00"},
                {refund, "6042,00"}});

  // A child less on the PIT/O: the relief the tax cannot take shrinks.
  edit(o,
       {{pit_o::children_count, "3"}, {pit_o::child4_taxpayer_relief, ""}, {pit_o::taxpayer_child_relief, "4224,12"}});
  ExpectValues(fx, uz, {{taxpayer_unused_relief, "3034,00"}, {relief_to_refund, "3034,00"}});
}

// A joint PIT-36: each spouse's relief is measured against that spouse's
// deduction; the health contribution leaves the taxpayer 487,96 of the tax
// and the spouse nothing.
TEST(PitUZ, EachSpouseOfAJointPit36) {
  CalcFixture fx(kJoint, kIdNip);
  const int ret = fx.Add(kPit36);
  const int o = fx.Add(kPitO, ret);
  const int uz = fx.Add(kPitUZ, ret);
  using namespace pit_uz;
  fx.Set(uz, {{taxpayer_contributions, "5000,00"}});
  fx.Set(ret, {{pit36::taxpayer_employment_revenue, "20000,00"}, {pit36::taxpayer_health_insurance, "2000,00"}});
  fx.Set(o, {{pit_o::children_count, "2"},
             {pit_o::child1_taxpayer_relief, "1112,04"},
             {pit_o::child2_spouse_relief, "1112,04"},
             {pit_o::taxpayer_child_relief, "1112,04"},
             {pit_o::spouse_child_relief, "1112,04"}});
  fx.Show(o);
  ASSERT_EQ(fx.Run(o), CalcStatus::Done);
  ExpectValues(fx, ret,
               {{pit36::tax_total, "2487,96"},
                {pit36::taxpayer_pit_o_tax_deductions, "487,96"},
                {pit36::spouse_pit_o_tax_deductions, "0,00"}});
  EXPECT_TRUE(fx.Slot(uz, attached_to_pit36).CheckState);
  ExpectValues(fx, uz,
               {{taxpayer_unused_relief, "624,08"}, {spouse_unused_relief, "1112,04"}, {relief_to_refund, "1736,12"}});
  ExpectValues(fx, o,
               {{pit_o::taxpayer_unused_child_relief, "624,08"}, {pit_o::spouse_unused_child_relief, "1112,04"}});
}

TEST(ClearAttachmentTransfers, ResetsWhatTheAttachmentCarried) {
  CalcFixture fx;
  const int p37 = fx.Add(kPit37);
  const int p28 = fx.Add(kPit28);
  const int p36 = fx.Add(kPit36);
  const int o37 = fx.Add(kPitO, p37);
  const int d37 = fx.Add(kPitD, p37);
  const int o36 = fx.Add(kPitO, p36);
  for (int e : {p37, p28, p36})
    for (int k = 60; k < 200; ++k) fx.Set(e, k, "9,00");

  // One attachment after another, each clearing what it carried and
  // leaving what the others did; (entry, field) of the returns.
  struct Step {
    int attachment;
    std::vector<std::pair<int, int>> cleared, kept;
  };
  const std::vector<Step> steps = {
      {o37,
       {{p37, pit37::taxpayer_pit_o_income_deductions},
        {p37, pit37::spouse_pit_o_income_deductions},
        {p37, pit37::taxpayer_pit_o_tax_deductions},
        {p37, pit37::spouse_pit_o_tax_deductions}},
       {{p37, pit37::pit_d_income_relief}, {p36, pit36::taxpayer_pit_o_income_deductions}}},
      {d37,
       {{p37, pit37::pit_d_income_relief},
        {p37, pit37::pit_d_relief},
        {p37, pit37::pit_d_tax_relief},
        {p28, pit28::pit_d_revenue_relief},
        {p28, pit28::pit_d_relief},
        {p28, pit28::pit_d_lump_sum_relief}},
       {{p36, pit36::taxpayer_pit_d_income_relief}}},
      {o36,
       {{p36, pit36::taxpayer_pit_o_income_deductions},
        {p36, pit36::spouse_pit_o_income_deductions},
        {p36, pit36::taxpayer_pit_o_tax_deductions},
        {p36, pit36::spouse_pit_o_tax_deductions}},
       {{p36, pit36::taxpayer_pit_d_income_relief}, {p28, pit28::pit_o_revenue_deductions}}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.attachment);
    ClearAttachmentTransfers(fx.s, step.attachment);
    for (const auto& [e, k] : step.cleared) EXPECT_EQ(fx.Get(e, k), "0,00") << e << ": " << k;
    for (const auto& [e, k] : step.kept) EXPECT_EQ(fx.Get(e, k), "9,00") << e << ": " << k;
  }
}

TEST(Calculations, RunningTwiceEqualsRunningOnce) {
  CalcFixture fx(kJoint, kIdNip);
  const int p37 = fx.Add(kPit37);
  const int o = fx.Add(kPitO, p37);
  const int d = fx.Add(kPitD, p37);
  const int uz = fx.Add(kPitUZ, p37);
  const int k2 = fx.Add(kPit2K, p37);
  const int upkd = fx.Add(kUpkd, p37);
  {
    using namespace pit37;
    fx.Set(p37, {{taxpayer_employment_revenue, "60000,00"},
                 {taxpayer_employment_costs, "1335,00"},
                 {taxpayer_employment_advance, "7000,00"},
                 {spouse_employment_revenue, "20000,00"},
                 {taxpayer_income_deductions, "100000,00"},
                 {taxpayer_tax_deductions, "100,00"},
                 {krs, "0000012345"},
                 {one_percent, "500,00"},
                 {taxpayer_surname, "Kowalski"}});
  }
  fx.Set(o, {{pit_o::children_count, "3"},
             {pit_o::taxpayer_child_relief, "5000,00"},
             {pit_o::taxpayer_internet, "1000,00"},
             {pit_o::child3_taxpayer_relief, "2500,00"},
             {pit_o::taxpayer_social_insurance_abroad, "50,555"}});
  fx.Set(d,
         {{pit_d::loan_amount, "1000,00"}, {pit_d::loan_pit28, "1500,00"}, {pit_d::tax_relief_expenses, "20000,00"}});
  fx.Set(uz, {{pit_uz::taxpayer_contributions, "100,00"}});
  for (int e : {p37, o, d, uz, k2, upkd}) {
    SCOPED_TRACE(e);
    fx.Show(e);
    fx.Run(e);
    const auto once = fx.Snapshot();
    fx.Run(e);
    EXPECT_EQ(fx.Snapshot(), once);
  }
}

TEST(Calculations, OpeningPassComputesAttachmentsFirst) {
  CalcFixture fx;
  const int p37 = fx.Add(kPit37);
  const int o = fx.Add(kPitO, p37);
  fx.Set(p37, {{pit37::taxpayer_employment_revenue, "50000,00"}, {pit37::taxpayer_employment_costs, "1335,00"}});
  fx.Set(o, {{pit_o::taxpayer_social_insurance_abroad, "665,00"}, {pit_o::taxpayer_internet, "1000,00"}});
  EXPECT_EQ(fx.OnDisplay([&] { return RunOpeningPass(fx.ctx); }), CalcStatus::Done);
  EXPECT_EQ(fx.Get(o, pit_o::taxpayer_income_deductions_total), "1425,00");
  ExpectValues(
      fx, p37,
      {{pit37::taxpayer_pit_o_income_deductions, "1425,00"}, {pit37::income_after_all_deductions, "47240,00"}});
  EXPECT_EQ(fx.ctx.input.entry, p37);  // main forms come last
}

}  // namespace
}  // namespace pit
