// PIT-36 and PIT/M: whole-return figures, the caps, the messages the user
// sees and what PIT/M carries.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"

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
  const std::vector<Scenario> cases = {
      {"foreign income sets the rate",
       kIndividual,
       {{45, "100000,00"}, {167, "20000,00"}},
       {{47, "100000,00"}, {84, "100000,00"}, {86, "100000,00"}, {166, "100000,00"}, {169, "100000,00"},
        {170, "21560,00"}, {185, "21560,00"}},
       false},
      {"joint return taxed twice on half the income",
       kJoint,
       {{45, "60000,00"}},
       {{166, "60000,00"}, {169, "30000,00"}, {170, "9687,96"}, {174, "9687,96"}, {185, "9688,00"}},
       false},
      {"joint return with foreign income of both",
       kJoint,
       {{45, "60000,00"}, {88, "40000,00"}, {167, "10000,00"}, {168, "10000,00"}},
       // B = 60000, tax 10243,98, rate 17,07 %; 2 x 50000 x 17,07 %.
       {{166, "100000,00"}, {170, "17070,00"}},
       false},
      {"a foreign-income base that rounds to 0 leaves the tax as it was",
       kIndividual,
       {{45, "0,30"}, {167, "0,10"}, {170, "123,45"}},
       {{166, "0,30"}, {170, "123,45"}},
       false},
      {"all rows, both extra cells and the losses",
       kIndividual,
       {{45, "1000,00"}, {320, "500,00"}, {46, "200,00"}, {344, "100,00"}, {49, "50,00"}, {50, "300,00"},
        {53, "100,00"}, {54, "400,00"}, {59, "10,00"}, {60, "5,00"}, {74, "1000,00"}, {338, "1000,00"},
        {75, "500,00"}, {339, "2000,00"}, {79, "20,00"}, {80, "0,00"}, {83, "7,00"}},
       {{47, "1200,00"}, {48, "0,00"}, {51, "300,00"}, {55, "0,00"}, {56, "300,00"}, {61, "5,00"},
        {76, "0,00"}, {77, "500,00"}, {81, "20,00"}, {84, "3930,00"}, {85, "3205,00"}, {86, "1525,00"},
        {87, "57,00"}},
       false},
      {"deductions from income capped in the order 140, 138, 135",
       kIndividual,
       {{45, "1000,00"}, {140, "600,00"}, {138, "600,00"}, {135, "100,00"}, {329, "900,00"}},
       {{140, "600,00"}, {138, "400,00"}, {135, "0,00"}, {329, "600,00"}, {142, "0,00"}},
       true},
      {"housing relief of the return: what does not fit stays for later",
       kIndividual,
       {{45, "1000,00"}, {146, "300,00"}, {147, "100,00"}, {149, "800,00"}},
       {{150, "600,00"}, {151, "200,00"}, {166, "0,00"}},
       false},
      {"an amount above a loss adds the difference to the base",
       kIndividual,
       {{45, "1000,00"}, {53, "100,00"}, {54, "400,00"}, {158, "500,00"}},
       {{56, "300,00"}, {166, "1200,00"}},
       false},
      {"deductions from tax capped at the tax",
       kIndividual,
       {{45, "10000,00"}, {175, "1500,00"}, {176, "10,00"}, {331, "5000,00"}, {179, "100,00"}},
       // tax 10000 x 18 % - 556,02 = 1243,98
       {{174, "1243,98"}, {175, "1243,98"}, {176, "0,00"}, {331, "1243,98"}, {180, "0,00"},
        {181, "100,00"}, {182, "0,00"}, {185, "0,00"}},
       true},
      {"advances: to pay, and the settlement of advances",
       kIndividual,
       {{45, "50000,00"}, {46, "1335,00"}, {49, "6000,00"}, {189, "5000,00"}, {194, "100,00"},
        {196, "150,00"}, {195, "300,00"}, {197, "50,00"}},
       {{185, "8204,00"}, {186, "6000,00"}, {187, "2204,00"}, {188, "0,00"}, {196, "100,00"}, {200, "0"},
        {201, "250,00"}, {202, "0"}, {203, "0"}, {204, "3454,00"}, {205, "0"}},
       false},
      {"a blank return writes the text 0 in the settlement of advances",
       kIndividual,
       {},
       {{200, "0"}, {201, "0"}, {202, "0"}, {203, "0"}, {204, "0"}, {205, "0"}, {170, "0,00"}},
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
  CalcFixture fx(kJoint, kIdNip);
  const int r = fx.Add(kPit36);
  fx.Tick(r, 3, "1");  // left over from an individual settlement
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_TRUE(fx.Slot(r, 4).CheckState);
  EXPECT_FALSE(fx.Slot(r, 3).CheckState);
  EXPECT_EQ(fx.Get(r, 8), "1");  // złożenie without a UPKD
}

// Page 4 reminds about the advances actually paid; a reduction on the same
// run replaces the reminder by its notice.
TEST(Pit36, AdvancesReminderAndReductionNotice) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Show(r, 4);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.messages.size(), 2u);
  EXPECT_EQ(fx.display.messages[0], "   UWAGA !");
  EXPECT_NE(fx.display.messages[1].find("poz. 196 należy wypełnić samodzielnie"), std::string::npos);
  EXPECT_EQ(fx.display.height, MessageListHeight::Normal);

  fx.Set(r, 140, "10,00");  // no income: capped
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.messages, std::vector<std::string>{kNotice});

  fx.Set(r, {{140, "0,00"}, {189, "1,00"}});
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_TRUE(fx.display.messages.empty());
  EXPECT_EQ(fx.display.height, MessageListHeight::Hidden);
}

TEST(Pit36, LossesDescriptionReminderOncePerPageDisplay) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Set(r, {{45, "5000,00"}, {138, "100,00"}});
  fx.Show(r, 3);
  fx.display.edited = 138;
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.reminders.size(), 1u);
  EXPECT_EQ(fx.display.reminders[0], "Uzupełnij opis: \"Straty z lat ubiegłych\" – komórka lewa ");
  EXPECT_TRUE(fx.display.MustBe(137));
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.reminders.size(), 1u);  // same page display
  fx.Show(r, 3);
  fx.display.edited = 138;
  fx.Set(r, 137, "strata 2012");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.reminders.size(), 1u);  // described now
}

TEST(Pit36, OnePercentOfTheTaxDue) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Set(r, {{45, "50000,00"}, {46, "1335,00"}, {321, "0000012345"}, {322, "100,00"}});
  fx.Show(r, 6);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, 322), "82,00");
  EXPECT_EQ(fx.display.donationLabel, "82,00");
  fx.Set(r, 322, "0,00");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_GE(fx.display.messages.size(), 2u);
  EXPECT_EQ(fx.display.messages.back(),
            "    PIT-36. W polu formularza nr 309 należy podać kwotę, która ma być przekazana w ramach 1%");
  fx.Set(r, {{321, ""}, {322, "50,00"}});
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, 322), "0,00");
}

// Business revenue typed in the return is kept without a PIT/B; income
// that a ticked box expects from a missing attachment is cleared.
TEST(Pit36, BusinessRowWithoutAttachments) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  fx.Set(r, {{53, "1000,00"}, {54, "300,00"}, {58, "5,00"}});
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, 53), "1000,00");
  EXPECT_EQ(fx.Get(r, 55), "700,00");
  EXPECT_EQ(fx.Get(r, 58), "0,00");
  fx.Tick(r, 39, "1");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, 55), "0,00");
  EXPECT_EQ(fx.Get(r, 53), "1000,00");
}

TEST(PitM, CarriesHalfOrAllOfTheChildrensIncome) {
  struct Case {
    const char* name;
    int pm;
    int box;  // 28 half, 29 whole, 0 none
    std::string income, advances;
    int incomeField, advancesField;
  };
  const std::vector<Case> cases = {
      {"taxpayer, half", kPmTaxpayer, 28, "2500,00", "50,00", 131, 133},
      {"spouse, whole", kPmSpouse, 29, "5000,00", "100,00", 132, 134},
      {"no box, nothing", kPmTaxpayer, 0, "0,00", "0,00", 131, 133},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(kJoint, kIdNip);
    const int r = fx.Add(kPit36);
    const int m = fx.Add(kPitM, r, c.pm);
    fx.Set(m, {{6, "1000,00"}, {8, "60,40"}, {9, "5000,00"}, {10, "1000,00"}, {13, "40,00"}});
    if (c.box) fx.Tick(m, c.box, "1");
    fx.Show(m);
    ASSERT_EQ(fx.Run(m), CalcStatus::Done);
    EXPECT_EQ(fx.Get(m, 7), "1000,00");
    EXPECT_EQ(fx.Get(m, 11), "4000,00");
    EXPECT_EQ(fx.Get(m, 8), "60,00");
    EXPECT_EQ(fx.Get(m, 24), "6000,00");
    EXPECT_EQ(fx.Get(m, 26), "5000,00");
    EXPECT_EQ(fx.Get(m, 27), "100,00");
    EXPECT_EQ(fx.Get(r, c.incomeField), c.income);
    EXPECT_EQ(fx.Get(r, c.advancesField), c.advances);
    EXPECT_TRUE(fx.display.MustBe(9));
    EXPECT_FALSE(fx.display.MustBe(14));
    // The return counts the children's income and advances.
    EXPECT_EQ(fx.Get(r, 305), "1");
    EXPECT_EQ(fx.Get(r, 186), c.advances);
  }
}

}  // namespace
}  // namespace pit
