// PIT-36 and PIT/M: whole-return figures, the caps, the messages the user
// sees and what PIT/M carries.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"
#include "forms/pit36_fields.h"
#include "forms/pit_m_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;

const std::string kNotice =
    "  PIT-36. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
    "kwot w tym w załącznikach.";

struct Scenario {
  const char* name;
  int kind;
  std::map<int, std::string> input;
  std::map<int, std::string> expected;
  bool reduced;
};

TEST(Pit36, Scenarios) {
  using namespace pit36;
  const std::vector<Scenario> cases = {
      {"foreign income sets the rate",
       kIndividual,
       {{taxpayer_employment_revenue, "100000,00"}, {taxpayer_foreign_rate_income, "20000,00"}},
       {{taxpayer_employment_income, "100000,00"},
        {taxpayer_total_revenue, "100000,00"},
        {taxpayer_total_income, "100000,00"},
        {income_after_all_deductions, "100000,00"},
        {tax_base, "100000,00"},
        {tax, "21560,00"},
        {tax_due, "21560,00"}},
       false},
      {"joint return taxed twice on half the income",
       kJoint,
       {{taxpayer_employment_revenue, "60000,00"}},
       {{income_after_all_deductions, "60000,00"},
        {tax_base, "30000,00"},
        {tax, "9687,96"},
        {tax_total, "9687,96"},
        {tax_due, "9688,00"}},
       false},
      {"joint return with foreign income of both",
       kJoint,
       {{taxpayer_employment_revenue, "60000,00"},
        {spouse_employment_revenue, "40000,00"},
        {taxpayer_foreign_rate_income, "10000,00"},
        {spouse_foreign_rate_income, "10000,00"}},
       // B = 60000, tax 10243,98, rate 17,07 %; 2 x 50000 x 17,07 %.
       {{income_after_all_deductions, "100000,00"}, {tax, "17070,00"}},
       false},
      {"a foreign-income base that rounds to 0 leaves the tax as it was",
       kIndividual,
       {{taxpayer_employment_revenue, "0,30"}, {taxpayer_foreign_rate_income, "0,10"}, {tax, "123,45"}},
       {{income_after_all_deductions, "0,30"}, {tax, "123,45"}},
       false},
      {"all rows, both extra cells and the losses",
       kIndividual,
       {{taxpayer_employment_revenue, "1000,00"},
        {taxpayer_employment_extra_revenue, "500,00"},
        {taxpayer_employment_costs, "200,00"},
        {taxpayer_employment_extra_costs, "100,00"},
        {taxpayer_employment_advance, "50,00"},
        {taxpayer_detention_revenue, "300,00"},
        {taxpayer_business_revenue, "100,00"},
        {taxpayer_business_costs, "400,00"},
        {taxpayer_farming_revenue, "10,00"},
        {taxpayer_farming_costs, "5,00"},
        {taxpayer_rights_revenue, "1000,00"},
        {taxpayer_rights_extra_revenue, "1000,00"},
        {taxpayer_rights_costs, "500,00"},
        {taxpayer_rights_extra_costs, "2000,00"},
        {taxpayer_other_revenue, "20,00"},
        {taxpayer_other_costs, "0,00"},
        {taxpayer_other_advance, "7,00"}},
       {{taxpayer_employment_income, "1200,00"},
        {taxpayer_employment_loss, "0,00"},
        {taxpayer_detention_income, "300,00"},
        {taxpayer_business_income, "0,00"},
        {taxpayer_business_loss, "300,00"},
        {taxpayer_farming_income, "5,00"},
        {taxpayer_rights_income, "0,00"},
        {taxpayer_rights_loss, "500,00"},
        {taxpayer_other_income, "20,00"},
        {taxpayer_total_revenue, "3930,00"},
        {taxpayer_total_costs, "3205,00"},
        {taxpayer_total_income, "1525,00"},
        {taxpayer_total_advance, "57,00"}},
       false},
      {"deductions from income capped in order: social insurance, past losses, the others",
       kIndividual,
       {{taxpayer_employment_revenue, "1000,00"},
        {taxpayer_social_insurance, "600,00"},
        {taxpayer_past_loss, "600,00"},
        {taxpayer_other_income_deductions, "100,00"},
        {taxpayer_social_insurance_abroad, "900,00"}},
       {{taxpayer_social_insurance, "600,00"},
        {taxpayer_past_loss, "400,00"},
        {taxpayer_other_income_deductions, "0,00"},
        {taxpayer_social_insurance_abroad, "600,00"},
        {taxpayer_income_after_deductions, "0,00"}},
       true},
      {"housing relief of the return: what does not fit stays for later",
       kIndividual,
       {{taxpayer_employment_revenue, "1000,00"},
        {taxpayer_pit_d_income_relief, "300,00"},
        {taxpayer_housing_rights_deduction, "100,00"},
        {pit_d_relief, "800,00"}},
       {{pit_d_relief_from_income, "600,00"}, {pit_d_relief_left, "200,00"}, {income_after_all_deductions, "0,00"}},
       false},
      {"an amount above a loss adds the difference to the base",
       kIndividual,
       {{taxpayer_employment_revenue, "1000,00"},
        {taxpayer_business_revenue, "100,00"},
        {taxpayer_business_costs, "400,00"},
        {taxpayer_base_additions_row3, "500,00"}},
       {{taxpayer_business_loss, "300,00"}, {income_after_all_deductions, "1200,00"}},
       false},
      {"deductions from tax capped at the tax",
       kIndividual,
       {{taxpayer_employment_revenue, "10000,00"},
        {taxpayer_health_insurance, "1500,00"},
        {spouse_health_insurance, "10,00"},
        {taxpayer_health_insurance_abroad, "5000,00"},
        {pit_d_tax_relief, "100,00"}},
       // tax 10000 x 18 % - 556,02 = 1243,98
       {{tax_total, "1243,98"},
        {taxpayer_health_insurance, "1243,98"},
        {spouse_health_insurance, "0,00"},
        {taxpayer_health_insurance_abroad, "1243,98"},
        {pit_d_tax_relief_used, "0,00"},
        {pit_d_tax_relief_left, "100,00"},
        {tax_after_deductions, "0,00"},
        {tax_due, "0,00"}},
       true},
      {"advances: to pay, and the settlement of advances",
       kIndividual,
       {{taxpayer_employment_revenue, "50000,00"},
        {taxpayer_employment_costs, "1335,00"},
        {taxpayer_employment_advance, "6000,00"},
        {advances_paid, "5000,00"},
        {taxpayer_advances_due, "100,00"},
        {taxpayer_advances_withheld, "150,00"},
        {spouse_advances_due, "300,00"},
        {spouse_advances_withheld, "50,00"}},
       {{tax_due, "8204,00"},
        {advances_due_total, "6000,00"},
        {to_pay, "2204,00"},
        {overpaid, "0,00"},
        {taxpayer_advances_withheld, "100,00"},
        {taxpayer_advances_not_withheld, "0"},
        {spouse_advances_not_withheld, "250,00"},
        {taxpayer_advances_excess, "0"},
        {spouse_advances_excess, "0"},
        {to_pay_after_advances, "3454,00"},
        {overpaid_after_advances, "0"}},
       false},
      {"revenue and costs a few grosze apart leave those grosze",
       kIndividual,
       {{taxpayer_employment_revenue, "2498,31"}, {taxpayer_employment_costs, "2498,24"}},
       {{taxpayer_employment_income, "0,07"}, {taxpayer_total_income, "0,07"}},
       false},
      {"a blank return writes the text 0 in the settlement of advances",
       kIndividual,
       {},
       {{taxpayer_advances_not_withheld, "0"},
        {spouse_advances_not_withheld, "0"},
        {taxpayer_advances_excess, "0"},
        {spouse_advances_excess, "0"},
        {to_pay_after_advances, "0"},
        {overpaid_after_advances, "0"},
        {tax, "0,00"}},
       false},
  };
  for (const Scenario& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(c.kind, c.kind == kJoint ? kIdNip : kIdNone);
    const int r = fx.Add(kPit36);
    fx.Set(r, c.input);
    fx.Show(r, 2);
    ASSERT_EQ(fx.Run(r), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(r, k), v) << "field " << k;
    const bool noticed = !fx.display.messages.empty() && fx.display.messages.back() == kNotice;
    EXPECT_EQ(noticed, c.reduced);
  }
}

TEST(Pit36, MethodBoxesFollowTheSettlementKind) {
  using namespace pit36;
  CalcFixture fx(kJoint, kIdNip);
  const int r = fx.Add(kPit36);
  fx.Tick(r, filing_individual, "1");  // left over from an individual settlement
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_TRUE(fx.Slot(r, filing_joint).CheckState);
  EXPECT_FALSE(fx.Slot(r, filing_individual).CheckState);
  EXPECT_EQ(fx.Get(r, purpose_filing), "1");  // złożenie without a UPKD
}

// Page 4 reminds about the advances actually paid; a reduction on the same
// run replaces the reminder by its notice.
TEST(Pit36, AdvancesReminderAndReductionNotice) {
  using namespace pit36;
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Show(r, 4);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.messages.size(), 2u);
  EXPECT_EQ(fx.display.messages[0], "   UWAGA !");
  EXPECT_NE(fx.display.messages[1].find("poz. 196 należy wypełnić samodzielnie"), std::string::npos);
  EXPECT_EQ(fx.display.height, MessageListHeight::Normal);

  fx.Set(r, taxpayer_social_insurance, "10,00");  // no income: capped
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.messages, std::vector<std::string>{kNotice});

  fx.Set(r, {{taxpayer_social_insurance, "0,00"}, {advances_paid, "1,00"}});
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_TRUE(fx.display.messages.empty());
  EXPECT_EQ(fx.display.height, MessageListHeight::Hidden);
}

TEST(Pit36, LossesDescriptionReminderOncePerPageDisplay) {
  using namespace pit36;
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Set(r, {{taxpayer_employment_revenue, "5000,00"}, {taxpayer_past_loss, "100,00"}});
  fx.Show(r, 3);
  fx.display.edited = taxpayer_past_loss;
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.reminders.size(), 1u);
  EXPECT_EQ(fx.display.reminders[0], "Uzupełnij opis: \"Straty z lat ubiegłych\" – komórka lewa ");
  EXPECT_TRUE(fx.display.MustBe(taxpayer_past_loss_source));
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.reminders.size(), 1u);  // same page display
  fx.Show(r, 3);
  fx.display.edited = taxpayer_past_loss;
  fx.Set(r, taxpayer_past_loss_source, "strata 2012");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.reminders.size(), 1u);  // described now
}

TEST(Pit36, OnePercentOfTheTaxDue) {
  using namespace pit36;
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Set(r, {{taxpayer_employment_revenue, "50000,00"},
             {taxpayer_employment_costs, "1335,00"},
             {krs, "0000012345"},
             {one_percent, "100,00"}});
  fx.Show(r, 6);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, one_percent), "82,00");
  EXPECT_EQ(fx.display.donationLabel, "82,00");
  fx.Set(r, one_percent, "0,00");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_GE(fx.display.messages.size(), 2u);
  EXPECT_EQ(fx.display.messages.back(),
            "    PIT-36. W polu formularza nr 309 należy podać kwotę, która ma być przekazana w ramach 1%");
  fx.Set(r, {{krs, ""}, {one_percent, "50,00"}});
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, one_percent), "0,00");
}

// Business revenue typed in the return is kept without a PIT/B; income
// that a ticked box expects from a missing attachment is cleared.
TEST(Pit36, BusinessRowWithoutAttachments) {
  using namespace pit36;
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Set(r, {{taxpayer_business_revenue, "1000,00"},
             {taxpayer_business_costs, "300,00"},
             {taxpayer_business_pit_z_income, "5,00"}});
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, taxpayer_business_revenue), "1000,00");
  EXPECT_EQ(fx.Get(r, taxpayer_business_income), "700,00");
  EXPECT_EQ(fx.Get(r, taxpayer_business_pit_z_income), "0,00");
  fx.Tick(r, taxpayer_business_first_way, "1");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, taxpayer_business_income), "0,00");
  EXPECT_EQ(fx.Get(r, taxpayer_business_revenue), "1000,00");
}

TEST(PitM, CarriesHalfOrAllOfTheChildrensIncome) {
  using namespace pit_m;
  struct Case {
    const char* name;
    int pm;
    int box;  // the box ticked, 0 none
    std::string income, advances;
    pit36::Field incomeField, advancesField;
  };
  const std::vector<Case> cases = {
      {"taxpayer, half", kPmTaxpayer, carried_half, "2500,00", "50,00", pit36::taxpayer_children_income,
       pit36::taxpayer_children_advances},
      {"spouse, whole", kPmSpouse, carried_whole, "5000,00", "100,00", pit36::spouse_children_income,
       pit36::spouse_children_advances},
      {"no box, nothing", kPmTaxpayer, 0, "0,00", "0,00", pit36::taxpayer_children_income,
       pit36::taxpayer_children_advances},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(kJoint, kIdNip);
    const int r = fx.Add(kPit36);
    const int m = fx.Add(kPitM, r, c.pm);
    fx.Set(m, {{pension_revenue, "1000,00"},
               {pension_advance, "60,40"},
               {rental_revenue, "5000,00"},
               {rental_costs, "1000,00"},
               {rental_advance, "40,00"}});
    if (c.box) fx.Tick(m, c.box, "1");
    fx.Show(m);
    ASSERT_EQ(fx.Run(m), CalcStatus::Done);
    EXPECT_EQ(fx.Get(m, pension_income), "1000,00");
    EXPECT_EQ(fx.Get(m, rental_income), "4000,00");
    EXPECT_EQ(fx.Get(m, pension_advance), "60,00");
    EXPECT_EQ(fx.Get(m, total_revenue), "6000,00");
    EXPECT_EQ(fx.Get(m, total_income), "5000,00");
    EXPECT_EQ(fx.Get(m, total_advance), "100,00");
    EXPECT_EQ(fx.Get(r, c.incomeField), c.income);
    EXPECT_EQ(fx.Get(r, c.advancesField), c.advances);
    EXPECT_TRUE(fx.display.MustBe(rental_revenue));
    EXPECT_FALSE(fx.display.MustBe(capital_revenue));
    // The return counts the children's income and advances.
    EXPECT_EQ(fx.Get(r, pit36::pit_m_count), "1");
    EXPECT_EQ(fx.Get(r, pit36::advances_due_total), c.advances);
  }
}

}  // namespace
}  // namespace pit
