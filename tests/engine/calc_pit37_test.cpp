// PIT-37: the figures of whole returns, the caps and what the user sees.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"

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
       {{36, "50000,00"}, {37, "1335,00"}, {40, "6000,00"}},
       {{38, "48665,00"}, {39, "0,00"}, {59, "50000,00"}, {60, "1335,00"}, {61, "48665,00"}, {62, "6000,00"},
        {100, "48665,00"}, {101, "48665,00"}, {102, "8203,68"}, {104, "8203,68"}, {109, "8203,68"},
        {113, "8204,00"}, {114, "6000,00"}, {115, "2204,00"}, {116, "0,00"}},
       false,
       "82,00"},
      {"joint, income of the taxpayer only",
       kJoint,
       {{36, "100000,00"}},
       {{100, "100000,00"}, {101, "50000,00"}, {102, "16887,96"}, {113, "16888,00"}},
       false,
       "168,80"},
      {"joint base whose half ends in 495 thousandths",
       kJoint,
       {{36, "24698,99"}},
       {{100, "24698,99"}, {101, "12349,00"}, {102, "3333,60"}},
       false,
       nullptr},
      {"single parent halves the base too",
       kSingleParent,
       {{36, "24698,99"}},
       {{101, "12349,00"}, {102, "3333,60"}},
       false,
       nullptr},
      {"costs above the revenue give a loss",
       kIndividual,
       {{36, "1000,00"}, {149, "500,00"}, {37, "1000,00"}},
       {{38, "0,00"}, {39, "500,00"}, {61, "0,00"}, {60, "1500,00"}},
       false,
       nullptr},
      {"spouse rows in a joint return",
       kJoint,
       {{63, "30000,00"}, {64, "1335,00"}, {68, "2000,00"}, {71, "100,00"}, {72, "300,00"}},
       {{65, "28665,00"}, {69, "2000,00"}, {73, "0,00"}, {74, "200,00"}, {88, "30665,00"}, {86, "32100,00"},
        {87, "1635,00"}, {93, "30665,00"}},
       false,
       nullptr},
      {"deduction from income above the income",
       kIndividual,
       {{36, "1000,00"}, {90, "1500,00"}, {136, "1200,00"}},
       {{90, "1000,00"}, {136, "1000,00"}, {92, "0,00"}, {100, "0,00"}},
       true,
       nullptr},
      {"deduction from tax above the tax",
       kIndividual,
       {{36, "50000,00"}, {37, "1335,00"}, {105, "9000,00"}, {106, "10,00"}, {142, "9500,00"}},
       {{105, "8203,68"}, {106, "0,00"}, {107, "0,00"}, {108, "0,00"}, {109, "0,00"}, {113, "0,00"},
        {142, "8203,68"}},
       true,
       nullptr},
      {"second deduction from tax cut to what is left",
       kIndividual,
       {{103, "1000,00"}, {105, "600,00"}, {106, "500,00"}},
       {{105, "600,00"}, {106, "400,00"}, {109, "0,00"}},
       true,
       nullptr},
      {"1% above its limit",
       kIndividual,
       {{103, "5000,00"}, {131, "0000012345"}, {132, "100,00"}},
       {{113, "5000,00"}, {132, "50,00"}},
       true,
       "50,00"},
      {"1% within the limit cut to tens of grosze",
       kIndividual,
       {{103, "5000,00"}, {131, "0000012345"}, {132, "12,34"}},
       {{132, "12,30"}},
       false,
       nullptr},
      {"1% without an organisation",
       kIndividual,
       {{103, "5000,00"}, {132, "10,00"}},
       {{132, "0,00"}},
       false,
       "50,00"},
      {"difference under 50 groszy is neither paid nor refunded",
       kIndividual,
       {{103, "5000,00"}, {40, "4999,60"}},
       {{113, "5000,00"}, {114, "4999,60"}, {115, "0,00"}, {116, "0,00"}},
       false,
       nullptr},
      {"difference of 60 groszy is paid",
       kIndividual,
       {{103, "5000,00"}, {40, "4999,40"}},
       {{115, "0,60"}, {116, "0,00"}},
       false,
       nullptr},
      {"overpayment",
       kIndividual,
       {{103, "5000,00"}, {40, "6000,00"}},
       {{115, "0,00"}, {116, "1000,00"}},
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
  fx.Set(e, {{36, "1000,00"}, {90, "1500,00"}});
  fx.Show(o);
  fx.display.messages = {"kept"};
  ASSERT_EQ(fx.Run(e), CalcStatus::Done);
  EXPECT_EQ(fx.Get(e, 90), "1000,00");  // values are written all the same
  EXPECT_EQ(fx.display.messages, std::vector<std::string>{"kept"});
  EXPECT_TRUE(fx.display.flags.empty());
}

TEST(Pit37, OnePercentWarningOnPageThree) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  fx.Set(e, {{103, "5000,00"}, {131, "0000012345"}, {132, "0,00"}});
  fx.Show(e, 3);
  fx.Run(e);
  EXPECT_EQ(fx.display.messages,
            (std::vector<std::string>{"    UWAGA!", "    PIT-37. W polu formularza nr 132 należy podać kwotę, "
                                                   "która ma być przekazana w ramach 1%"}));
  EXPECT_EQ(fx.display.extraHeight, 40);
}

TEST(Pit37, MethodOfTaxationFollowsTheSettlementKind) {
  CalcFixture fx(kJoint, kIdNip);
  const int e = fx.Add(kPit37);
  fx.Set(e, 36, "100000,00");
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, 4).CheckState);
  EXPECT_EQ(fx.Get(e, 4), "2");
  EXPECT_EQ(fx.Get(e, 102), "16887,96");

  // Back to an individual return: the joint box must not keep doubling the tax.
  fx.s.Kind = kIndividual;
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, 3).CheckState);
  EXPECT_FALSE(fx.Slot(e, 4).CheckState);
  EXPECT_EQ(fx.Get(e, 101), "100000,00");
  EXPECT_EQ(fx.Get(e, 102), "19470,06");

  // A joint return with a deceased spouse keeps the user's box 5.
  fx.s.Kind = kJoint;
  fx.Tick(e, 5, "3");
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, 5).CheckState);
  EXPECT_FALSE(fx.Slot(e, 4).CheckState);
  EXPECT_EQ(fx.Get(e, 102), "16887,96");
}

TEST(Pit37, CorrectionBoxesFollowAnAttachedUpkd) {
  for (int upkd : {kUpkd, kUpkdOrdZu}) {
    CalcFixture fx;
    const int e = fx.Add(kPit37);
    fx.Run(e);
    EXPECT_TRUE(fx.Slot(e, 8).CheckState);
    EXPECT_EQ(fx.Get(e, 8), "1");
    EXPECT_FALSE(fx.Slot(e, 9).CheckState);

    const int u = fx.Add(upkd, e);
    fx.Run(e);
    EXPECT_TRUE(fx.Slot(e, 9).CheckState);
    EXPECT_EQ(fx.Get(e, 9), "2");
    EXPECT_FALSE(fx.Slot(e, 8).CheckState);
    EXPECT_EQ(fx.Get(e, 8), "");

    fx.s.RemoveAt(u);
    fx.Run(e);
    EXPECT_TRUE(fx.Slot(e, 8).CheckState);
    EXPECT_FALSE(fx.Slot(e, 9).CheckState);
  }
  // A UPKD of the other person does not make this return a correction.
  CalcFixture fx(kJoint, kIdNip);
  const int e = fx.Add(kPit37);
  fx.Add(kUpkd, e, kPmSpouse);
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, 8).CheckState);
}

TEST(Pit37, ClickOnTheKorektaBoxExplainsIt) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  fx.Show(e, 1);
  fx.display.underMouse = 9;
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
  fx.Set(e, {{36, "0,00"}, {37, "0,00"}, {40, "0,00"}, {43, "12,00"}});
  fx.Show(e);
  fx.Run(e);
  // Row 1: nothing but zeros; row 2: advances only.
  for (int k : {36, 37, 38, 39, 40}) EXPECT_FALSE(fx.display.MustBe(k)) << k;
  EXPECT_TRUE(fx.display.MustBe(41));
  EXPECT_FALSE(fx.display.MustBe(42));
  EXPECT_TRUE(fx.display.MustBe(43));
  EXPECT_EQ(fx.display.flags[0].maxChar, 10);
}

TEST(Pit37, NonNumericAmountStopsWithAMessage) {
  CalcFixture fx;
  const int e = fx.Add(kPit37);
  fx.Set(e, {{36, "abc"}, {40, "100,00"}});
  fx.Show(e);
  EXPECT_EQ(fx.Run(e), CalcStatus::BadAmount);
  ASSERT_EQ(fx.display.errors.size(), 1u);
  EXPECT_EQ(fx.display.errors[0], "Nieprawidłowa kwota \"abc\" w polu nr 36 formularza PIT-37");
  // Written before the failure: the purpose box; not reached: the totals.
  EXPECT_TRUE(fx.Slot(e, 8).CheckState);
  EXPECT_EQ(fx.Get(e, 62), "");

  // With the definition open the printed position is named.
  std::vector<FieldObject> defs(200);
  defs[36].Poz = 45;
  fx.ctx.shownFields = &defs;
  fx.display.errors.clear();
  EXPECT_EQ(fx.Run(e), CalcStatus::BadAmount);
  EXPECT_EQ(fx.display.errors.at(0), "Nieprawidłowa kwota \"abc\" w poz. 45 formularza PIT-37");
}

}  // namespace
}  // namespace pit
