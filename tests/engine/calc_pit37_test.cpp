// PIT-37: the figures of whole returns, the caps and what the user sees.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"
#include "forms/pit37_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;

const std::string kNotice =
    "   PIT-37. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
    "kwot w tym w załącznikach.";

struct Scenario {
  const char* name;
  int kind;
  std::map<int, std::string> input;
  std::map<int, std::string> expected;
  bool reduced;
  const char* donationLabel;  // nullptr: not checked
};

TEST(Pit37, Scenarios) {
  const std::vector<Scenario> cases = {
      {"individual, one employer",
       kIndividual,
       {{pit37::taxpayer_employment_revenue, "50000,00"},
        {pit37::taxpayer_employment_costs, "1335,00"},
        {pit37::taxpayer_employment_advance, "6000,00"}},
       {{pit37::taxpayer_employment_income, "48665,00"},
        {pit37::taxpayer_employment_loss, "0,00"},
        {pit37::taxpayer_total_revenue, "50000,00"},
        {pit37::taxpayer_total_costs, "1335,00"},
        {pit37::taxpayer_total_income, "48665,00"},
        {pit37::taxpayer_total_advance, "6000,00"},
        {pit37::income_after_all_deductions, "48665,00"},
        {pit37::tax_base, "48665,00"},
        {pit37::tax, "8203,68"},
        {pit37::tax_total, "8203,68"},
        {pit37::tax_after_deductions, "8203,68"},
        {pit37::tax_due, "8204,00"},
        {pit37::advances_total, "6000,00"},
        {pit37::to_pay, "2204,00"},
        {pit37::overpaid, "0,00"}},
       false,
       "82,00"},
      {"joint, income of the taxpayer only",
       kJoint,
       {{pit37::taxpayer_employment_revenue, "100000,00"}},
       {{pit37::income_after_all_deductions, "100000,00"},
        {pit37::tax_base, "50000,00"},
        {pit37::tax, "16887,96"},
        {pit37::tax_due, "16888,00"}},
       false,
       "168,80"},
      {"joint base whose half ends in 495 thousandths",
       kJoint,
       {{pit37::taxpayer_employment_revenue, "24698,99"}},
       {{pit37::income_after_all_deductions, "24698,99"}, {pit37::tax_base, "12349,00"}, {pit37::tax, "3333,60"}},
       false,
       nullptr},
      // Half of this income has sixteen significant digits; the ten-grosz
      // floor must see its exact thousandths, not a 15-digit approximation
      // of them (which would read ,50 and raise the base by a złoty).
      {"large joint base whose half ends in 495 thousandths",
       kJoint,
       {{pit37::taxpayer_employment_revenue, "3965459287856,99"}},
       {{pit37::tax_base, "1982729643928,00"}, {pit37::tax, "1268946947054,04"}},
       false,
       nullptr},
      // Deductions that add up exactly to the tax take all of it and are
      // not above it: nothing is cut and no notice is shown, however the
      // two amounts add up in binary.
      {"deductions exactly equal to the tax are not reduced",
       kJoint,
       {{pit37::tax_additions, "50537,83"},
        {pit37::taxpayer_tax_deductions, "49803,69"},
        {pit37::spouse_tax_deductions, "734,14"}},
       {{pit37::tax_total, "50537,83"},
        {pit37::taxpayer_tax_deductions, "49803,69"},
        {pit37::spouse_tax_deductions, "734,14"},
        {pit37::tax_after_deductions, "0,00"}},
       false,
       nullptr},
      {"single parent halves the base too",
       kSingleParent,
       {{pit37::taxpayer_employment_revenue, "24698,99"}},
       {{pit37::tax_base, "12349,00"}, {pit37::tax, "3333,60"}},
       false,
       nullptr},
      {"costs above the revenue give a loss",
       kIndividual,
       {{pit37::taxpayer_employment_revenue, "1000,00"},
        {pit37::taxpayer_employment_extra_costs, "500,00"},
        {pit37::taxpayer_employment_costs, "1000,00"}},
       {{pit37::taxpayer_employment_income, "0,00"},
        {pit37::taxpayer_employment_loss, "500,00"},
        {pit37::taxpayer_total_income, "0,00"},
        {pit37::taxpayer_total_costs, "1500,00"}},
       false,
       nullptr},
      {"spouse rows in a joint return",
       kJoint,
       {{pit37::spouse_employment_revenue, "30000,00"},
        {pit37::spouse_employment_costs, "1335,00"},
        {pit37::spouse_detention_revenue, "2000,00"},
        {pit37::spouse_personal_revenue, "100,00"},
        {pit37::spouse_personal_costs, "300,00"}},
       {{pit37::spouse_employment_income, "28665,00"},
        {pit37::spouse_detention_income, "2000,00"},
        {pit37::spouse_personal_income, "0,00"},
        {pit37::spouse_personal_loss, "200,00"},
        {pit37::spouse_total_income, "30665,00"},
        {pit37::spouse_total_revenue, "32100,00"},
        {pit37::spouse_total_costs, "1635,00"},
        {pit37::spouse_income_after_deductions, "30665,00"}},
       false,
       nullptr},
      {"deduction from income above the income",
       kIndividual,
       {{pit37::taxpayer_employment_revenue, "1000,00"},
        {pit37::taxpayer_income_deductions, "1500,00"},
        {pit37::taxpayer_social_insurance, "1200,00"}},
       {{pit37::taxpayer_income_deductions, "1000,00"},
        {pit37::taxpayer_social_insurance, "1000,00"},
        {pit37::taxpayer_income_after_deductions, "0,00"},
        {pit37::income_after_all_deductions, "0,00"}},
       true,
       nullptr},
      {"deduction from tax above the tax",
       kIndividual,
       {{pit37::taxpayer_employment_revenue, "50000,00"},
        {pit37::taxpayer_employment_costs, "1335,00"},
        {pit37::taxpayer_tax_deductions, "9000,00"},
        {pit37::spouse_tax_deductions, "10,00"},
        {pit37::taxpayer_health_insurance, "9500,00"}},
       {{pit37::taxpayer_tax_deductions, "8203,68"},
        {pit37::spouse_tax_deductions, "0,00"},
        {pit37::taxpayer_pit_o_tax_deductions, "0,00"},
        {pit37::spouse_pit_o_tax_deductions, "0,00"},
        {pit37::tax_after_deductions, "0,00"},
        {pit37::tax_due, "0,00"},
        {pit37::taxpayer_health_insurance, "8203,68"}},
       true,
       nullptr},
      {"second deduction from tax cut to what is left",
       kIndividual,
       {{pit37::tax_additions, "1000,00"},
        {pit37::taxpayer_tax_deductions, "600,00"},
        {pit37::spouse_tax_deductions, "500,00"}},
       {{pit37::taxpayer_tax_deductions, "600,00"},
        {pit37::spouse_tax_deductions, "400,00"},
        {pit37::tax_after_deductions, "0,00"}},
       true,
       nullptr},
      {"1% above its limit",
       kIndividual,
       {{pit37::tax_additions, "5000,00"}, {pit37::krs, "0000012345"}, {pit37::one_percent, "100,00"}},
       {{pit37::tax_due, "5000,00"}, {pit37::one_percent, "50,00"}},
       true,
       "50,00"},
      {"1% within the limit cut to tens of grosze",
       kIndividual,
       {{pit37::tax_additions, "5000,00"}, {pit37::krs, "0000012345"}, {pit37::one_percent, "12,34"}},
       {{pit37::one_percent, "12,30"}},
       false,
       nullptr},
      {"1% without an organisation",
       kIndividual,
       {{pit37::tax_additions, "5000,00"}, {pit37::one_percent, "10,00"}},
       {{pit37::one_percent, "0,00"}},
       false,
       "50,00"},
      {"difference under 50 groszy is neither paid nor refunded",
       kIndividual,
       {{pit37::tax_additions, "5000,00"}, {pit37::taxpayer_employment_advance, "4999,60"}},
       {{pit37::tax_due, "5000,00"},
        {pit37::advances_total, "4999,60"},
        {pit37::to_pay, "0,00"},
        {pit37::overpaid, "0,00"}},
       false,
       nullptr},
      {"difference of 60 groszy is paid",
       kIndividual,
       {{pit37::tax_additions, "5000,00"}, {pit37::taxpayer_employment_advance, "4999,40"}},
       {{pit37::to_pay, "0,60"}, {pit37::overpaid, "0,00"}},
       false,
       nullptr},
      {"overpayment",
       kIndividual,
       {{pit37::tax_additions, "5000,00"}, {pit37::taxpayer_employment_advance, "6000,00"}},
       {{pit37::to_pay, "0,00"}, {pit37::overpaid, "1000,00"}},
       false,
       nullptr},
  };
  for (const Scenario& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(c.kind, c.kind == kJoint ? kIdNip : kIdNone);
    const int e = fx.Add(kPit37);
    fx.Set(e, c.input);
    fx.Show(e, 2);
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(e, k), v) << "field " << k;
    if (c.reduced) {
      ASSERT_EQ(fx.display.messages.size(), 1u);
      EXPECT_EQ(fx.display.messages[0], kNotice);
      EXPECT_EQ(fx.display.height, MessageListHeight::Normal);
    } else {
      EXPECT_TRUE(fx.display.messages.empty());
      EXPECT_EQ(fx.display.height, MessageListHeight::Hidden);
    }
    if (c.donationLabel) {
      EXPECT_EQ(fx.display.donationLabel, c.donationLabel);
    }
  }
}

TEST(Pit37, MessagesAndFlagsOnlyForTheFormShown) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  const int o = fx.Add(kPitO, e);
  fx.Set(e, {{pit37::taxpayer_employment_revenue, "1000,00"}, {pit37::taxpayer_income_deductions, "1500,00"}});
  fx.Show(o);
  fx.display.messages = {"kept"};
  ASSERT_EQ(fx.Run(e), CalcStatus::Done);
  EXPECT_EQ(fx.Get(e, pit37::taxpayer_income_deductions), "1000,00");  // values are written all the same
  EXPECT_EQ(fx.display.messages, std::vector<std::string>{"kept"});
  EXPECT_TRUE(fx.display.flags.empty());
}

TEST(Pit37, OnePercentWarningOnPageThree) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  fx.Set(e, {{pit37::tax_additions, "5000,00"}, {pit37::krs, "0000012345"}, {pit37::one_percent, "0,00"}});
  fx.Show(e, 3);
  fx.Run(e);
  EXPECT_EQ(fx.display.messages,
            (std::vector<std::string>{"    UWAGA!", "    PIT-37. W polu formularza nr 132 należy podać kwotę, "
                                                   "która ma być przekazana w ramach 1%"}));
  EXPECT_EQ(fx.display.extraLines, 2);
}

TEST(Pit37, MethodOfTaxationFollowsTheSettlementKind) {
  CalcFixture fx(kJoint, kIdNip);
  const int e = fx.Add(kPit37);
  fx.Set(e, pit37::taxpayer_employment_revenue, "100000,00");
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, pit37::filing_joint).CheckState);
  EXPECT_EQ(fx.Get(e, pit37::filing_joint), "2");
  EXPECT_EQ(fx.Get(e, pit37::tax), "16887,96");

  // Back to an individual return: the joint box must not keep doubling the tax.
  fx.s.Kind = kIndividual;
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, pit37::filing_individual).CheckState);
  EXPECT_FALSE(fx.Slot(e, pit37::filing_joint).CheckState);
  EXPECT_EQ(fx.Get(e, pit37::tax_base), "100000,00");
  EXPECT_EQ(fx.Get(e, pit37::tax), "19470,06");

  // A joint return with a deceased spouse keeps the user's box.
  fx.s.Kind = kJoint;
  fx.Tick(e, pit37::filing_joint_deceased, "3");
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, pit37::filing_joint_deceased).CheckState);
  EXPECT_FALSE(fx.Slot(e, pit37::filing_joint).CheckState);
  EXPECT_EQ(fx.Get(e, pit37::tax), "16887,96");
}

TEST(Pit37, CorrectionBoxesFollowAnAttachedUpkd) {
  for (int upkd : {kUpkd, kUpkdOrdZu}) {
    CalcFixture fx;
    const int e = fx.Add(kPit37);
    fx.Run(e);
    EXPECT_TRUE(fx.Slot(e, pit37::purpose_filing).CheckState);
    EXPECT_EQ(fx.Get(e, pit37::purpose_filing), "1");
    EXPECT_FALSE(fx.Slot(e, pit37::purpose_correction).CheckState);

    const int u = fx.Add(upkd, e);
    fx.Run(e);
    EXPECT_TRUE(fx.Slot(e, pit37::purpose_correction).CheckState);
    EXPECT_EQ(fx.Get(e, pit37::purpose_correction), "2");
    EXPECT_FALSE(fx.Slot(e, pit37::purpose_filing).CheckState);
    EXPECT_EQ(fx.Get(e, pit37::purpose_filing), "");

    fx.s.RemoveAt(u);
    fx.Run(e);
    EXPECT_TRUE(fx.Slot(e, pit37::purpose_filing).CheckState);
    EXPECT_FALSE(fx.Slot(e, pit37::purpose_correction).CheckState);
  }
  // A UPKD of the other person does not make this return a correction.
  CalcFixture fx(kJoint, kIdNip);
  const int e = fx.Add(kPit37);
  fx.Add(kUpkd, e, kPmSpouse);
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, pit37::purpose_filing).CheckState);
}

TEST(Pit37, ClickOnTheKorektaBoxExplainsIt) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  fx.Show(e, 1);
  fx.display.clicked = pit37::purpose_correction;
  fx.Run(e);
  ASSERT_EQ(fx.display.correctionInfos.size(), 1u);
  EXPECT_EQ(fx.display.correctionInfos[0].first, "Informacja - korekta zeznania PIT-37");
  EXPECT_EQ(fx.display.correctionInfos[0].second, 0);

  fx.display.page = 2;  // the same field number on another page is another field
  fx.Run(e);
  EXPECT_EQ(fx.display.correctionInfos.size(), 1u);
}

TEST(Pit37, RowsWithAmountsRequireRevenueAndAdvances) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  fx.Set(e, {{pit37::taxpayer_employment_revenue, "0,00"},
             {pit37::taxpayer_employment_costs, "0,00"},
             {pit37::taxpayer_employment_advance, "0,00"},
             {pit37::taxpayer_detention_advance, "12,00"}});
  fx.Show(e);
  fx.Run(e);
  // Row 1: nothing but zeros; row 2: advances only.
  for (int k : {pit37::taxpayer_employment_revenue, pit37::taxpayer_employment_costs, pit37::taxpayer_employment_income,
                pit37::taxpayer_employment_loss, pit37::taxpayer_employment_advance})
    EXPECT_FALSE(fx.display.MustBe(k)) << k;
  EXPECT_TRUE(fx.display.MustBe(pit37::taxpayer_detention_revenue));
  EXPECT_FALSE(fx.display.MustBe(pit37::taxpayer_detention_income));
  EXPECT_TRUE(fx.display.MustBe(pit37::taxpayer_detention_advance));
  EXPECT_EQ(fx.display.flags[0].maxChar, 10);
}

TEST(Pit37, NonNumericAmountStopsWithAMessage) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  fx.Set(e, {{pit37::taxpayer_employment_revenue, "abc"}, {pit37::taxpayer_employment_advance, "100,00"}});
  fx.Show(e);
  EXPECT_EQ(fx.Run(e), CalcStatus::BadAmount);
  ASSERT_EQ(fx.display.errors.size(), 1u);
  EXPECT_EQ(fx.display.errors[0], "Nieprawidłowa kwota \"abc\" w polu nr 36 formularza PIT-37");
  // A calculation that stops takes back what it wrote before (the purpose
  // box); the totals it did not reach stay as they were.
  EXPECT_FALSE(fx.Slot(e, pit37::purpose_filing).CheckState);
  EXPECT_EQ(fx.Get(e, pit37::taxpayer_total_advance), "");

  // With the definition open the printed position is named.
  std::vector<FieldObject> defs(200);
  defs[pit37::taxpayer_employment_revenue].Poz = 45;
  fx.ctx.shownFields = &defs;
  fx.display.errors.clear();
  EXPECT_EQ(fx.Run(e), CalcStatus::BadAmount);
  EXPECT_EQ(fx.display.errors.at(0), "Nieprawidłowa kwota \"abc\" w poz. 45 formularza PIT-37");
}

}  // namespace
}  // namespace pit
