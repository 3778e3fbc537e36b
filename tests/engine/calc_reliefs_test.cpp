// PIT/O, PIT/D and PIT/UZ: limits, splitting and what reaches the return.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"
#include "forms/definition_library.h"

namespace pit {
namespace {

using testing::CalcFixture;

struct PitOCase {
  const char* name;
  bool secondCopy;
  std::map<int, std::string> input;
  std::map<int, std::string> expected;
  bool reduced;
};

TEST(PitO, Limits) {
  const std::vector<PitOCase> cases = {
      {"three children above the limit", false, {{34, "3"}, {35, "5000,00"}, {36, "0,00"}},
       {{35, "4224,12"}, {36, "0,00"}, {41, "4224,12"}}, true},
      {"limit split onto the spouse", false, {{34, "2"}, {35, "2000,00"}, {36, "1000,00"}},
       {{35, "2000,00"}, {36, "224,08"}, {42, "224,08"}}, true},
      {"six children", false, {{34, "6"}, {35, "12324,12"}, {36, "1,00"}},
       {{35, "12324,12"}, {36, "0,00"}}, true},
      {"within the limit", false, {{34, "1"}, {35, "1112,04"}}, {{35, "1112,04"}}, false},
      {"fractional count taken whole", false, {{34, "1,9"}, {35, "2000,00"}}, {{35, "1112,04"}}, true},
      // Any count a field may hold (below 10^13) keeps the limit above the deduction.
      {"count as large as an amount may be", false, {{34, "9999999999999"}, {35, "5000,00"}},
       {{35, "5000,00"}, {41, "5000,00"}}, false},
      {"negative count", false, {{34, "-2"}, {35, "100,00"}}, {{35, "0,00"}}, true},
      {"third child on the first copy", false, {{235, "1500,00"}, {236, "1000,00"}},
       {{235, "1500,00"}, {236, "500,04"}}, false},
      {"first child above its limit alone", false, {{241, "1200,00"}, {242, "300,00"}},
       {{241, "1112,04"}, {242, "0,00"}, {245, "1112,04"}}, false},
      {"first child on a second copy", true, {{241, "2000,00"}, {242, "1000,00"}},
       {{241, "2000,00"}, {242, "700,00"}}, false},
      {"internet and IKZE contributions", false,
       {{20, "1000,00"}, {21, "700,00"}, {223, "5000,00"}, {224, "4495,20"}, {12, "10,00"}},
       {{20, "760,00"}, {21, "700,00"}, {223, "4495,20"}, {224, "4495,20"}, {28, "5265,20"}, {29, "5195,20"}},
       true},
      // The return has no tax: it deducted nothing of the 1 500,00.
      {"unused child relief", false, {{34, "2"}, {241, "1000,00"}, {233, "1000,00"}, {35, "1500,00"}},
       {{243, "2000,00"}, {245, "2000,00"}}, false},
      // The deduction typed before the child's amount: nothing is unused,
      // and nothing below that either.
      {"relief typed before the child's data", false, {{34, "1"}, {35, "1112,04"}, {36, "0,00"}},
       {{35, "1112,04"}, {243, "0,00"}, {244, "0,00"}, {245, "0,00"}}, false},
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
    EXPECT_EQ(fx.Get(o, 3), c.secondCopy ? "2" : "1");
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(o, k), v) << "field " << k;
    EXPECT_EQ(fx.display.messages, c.reduced ? std::vector<std::string>{notice} : std::vector<std::string>{});
  }
}

TEST(PitO, EditChangesItsReturnAtOnce) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  fx.Set(ret, {{36, "50000,00"}, {37, "1335,00"}});
  fx.Run(ret);
  ASSERT_EQ(fx.Get(ret, 113), "8204,00");
  fx.Set(o, {{30, "1000,00"}, {12, "665,00"}});
  fx.Show(o);
  fx.Run(o);
  EXPECT_EQ(fx.Get(ret, 94), "665,00");
  EXPECT_EQ(fx.Get(ret, 107), "1000,00");
  EXPECT_EQ(fx.Get(ret, 100), "48000,00");
  EXPECT_EQ(fx.Get(ret, 113), "7084,00");  // 48000 x 18% - 556,02 - 1000,00
}

TEST(PitO, UnderPit28GoesToThePit28Only) {
  CalcFixture fx;
  const int p28 = fx.Add(kPit28);
  const int p37 = fx.Add(kPit37);
  const int o = fx.Add(kPitO, p28);
  // Revenue for the deductions to fit in (typed: no PIT-28/A is attached).
  fx.Set(p28, 43, "100000,00");
  fx.Set(o, {{12, "100,00"}, {30, "50,00"}});
  fx.Show(o);
  fx.Run(o);
  EXPECT_EQ(fx.Get(p28, 64), "100,00");
  EXPECT_EQ(fx.Get(p28, 98), "50,00");
  EXPECT_EQ(fx.Get(p37, 94), "");  // not its return: untouched
  EXPECT_TRUE(fx.display.ReadOnly(67));
  EXPECT_TRUE(fx.display.ReadOnly(218));
}

TEST(PitO, ScreenRules) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  fx.Tick(o, 73, "1");
  for (int k = 74; k <= 85; ++k) fx.Tick(o, k, "1");
  fx.Set(o, {{34, "1"}, {54, "x"}, {63, "7,00"}, {26, "10,00"}});
  fx.Show(o);
  fx.display.edited = 26;
  fx.Run(o);
  // A whole year unticks the months.
  for (int k = 74; k <= 85; ++k) EXPECT_FALSE(fx.Slot(o, k).CheckState) << k;
  // Block 54..64 closed without the text of 43.
  EXPECT_EQ(fx.Get(o, 54), "");
  EXPECT_EQ(fx.Get(o, 63), "0,00");
  EXPECT_TRUE(fx.display.ReadOnly(60));
  // Child 1 enabled: its data and the unticked second group are required.
  EXPECT_TRUE(fx.display.MustBe(67));
  EXPECT_TRUE(fx.display.MustBe(86));
  EXPECT_FALSE(fx.display.MustBe(73));
  EXPECT_FALSE(fx.display.MustBe(98));  // child 2 not enabled
  EXPECT_TRUE(fx.display.MustBe(24));
  EXPECT_EQ(fx.display.reminders, std::vector<std::string>{"Uzupełnij opis w PIT/O poz. 31"});
  fx.Run(o);  // once per page display
  EXPECT_EQ(fx.display.reminders.size(), 1u);
}

// An amount typed without its description reminds the user of the printed
// position of the description, as the shipped definition numbers it.
TEST(Reliefs, DescriptionRemindersNameThePrintedPosition) {
  struct Case {
    int idPit;
    const char* code;
    int page, amount, description;
  } cases[] = {
      {kPitO, "PIT/O", 1, 26, 24},
      {kPitO, "PIT/O", 2, 39, 37},
      {kPitD, "PIT/D", 1, 38, 37},
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
  struct Case {
    const char* name;
    std::map<int, std::string> input, expected;
  };
  const std::vector<Case> cases = {
      {"PIT-28 part above the amount", {{29, "1000,00"}, {30, "1500,00"}}, {{30, "1000,00"}, {31, "0,00"}}},
      {"rest goes to the return", {{29, "1000,00"}, {30, "300,00"}}, {{30, "300,00"}, {31, "700,00"}}},
      {"person columns fit the part",
       {{29, "1000,00"}, {30, "300,00"}, {32, "400,00"}, {33, "50,00"}, {34, "500,00"}, {35, "500,00"}},
       {{32, "300,00"}, {33, "0,00"}, {31, "700,00"}, {34, "500,00"}, {35, "200,00"}}},
      {"section B adds its two amounts", {{38, "100,00"}, {39, "50,50"}}, {{40, "150,50"}, {42, "150,50"}}},
      {"section C capped", {{47, "20000,00"}, {48, "10,00"}}, {{47, "11340,00"}, {49, "11350,00"}, {51, "11350,00"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int ret = fx.Add(kPit37);
    const int d = fx.Add(kPitD, ret);
    fx.Set(d, c.input);
    fx.Show(d);
    ASSERT_EQ(fx.Run(d), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(d, k), v) << "field " << k;
    EXPECT_TRUE(fx.display.messages.empty());
  }
}

TEST(PitD, CarriesIntoEveryReturnOfTheSettlement) {
  CalcFixture fx(kJoint, kIdNip);
  const int p37 = fx.Add(kPit37);
  const int p28t = fx.Add(kPit28, 0, kPmTaxpayer);
  const int p28s = fx.Add(kPit28, 0, kPmSpouse);
  const int d = fx.Add(kPitD, p37);
  fx.Set(p37, 36, "10000,00");
  for (int r : {p28t, p28s}) fx.Set(r, 43, "100000,00");
  fx.Set(d, {{29, "1000,00"}, {30, "400,00"}, {32, "100,00"}, {33, "300,00"}, {38, "200,00"}, {47, "500,00"}});
  fx.Show(d);
  fx.Run(d);
  EXPECT_EQ(fx.Get(p37, 96), "600,00");  // person columns empty: the total part
  EXPECT_EQ(fx.Get(p37, 97), "200,00");
  EXPECT_EQ(fx.Get(p37, 110), "500,00");
  EXPECT_EQ(fx.Get(p37, 100), "9200,00");  // PIT-37 recalculated
  EXPECT_EQ(fx.Get(p28t, 66), "100,00");
  EXPECT_EQ(fx.Get(p28s, 66), "300,00");
  EXPECT_TRUE(fx.display.MustBe(37));
  EXPECT_EQ(fx.display.reminders.size(), 0u);  // nothing being edited
}

// The housing parts reach a PIT-36 and a common PIT-28 too: a person's part
// when it or its other column holds an amount, else the section's part.
TEST(PitD, CarriesIntoPit36AndACommonPit28) {
  CalcFixture fx;
  const int p36 = fx.Add(kPit36);
  const int p28 = fx.Add(kPit28);
  const int d = fx.Add(kPitD, p36);
  fx.Set(p36, 45, "100000,00");  // income the PIT-36 deducts the housing parts from
  fx.Set(p28, 43, "100000,00");
  fx.Set(d, {{29, "1000,00"}, {30, "400,00"}, {32, "100,00"}, {34, "250,00"}, {47, "500,00"}, {50, "0,00"}});
  ASSERT_EQ(fx.Run(d), CalcStatus::Done);
  EXPECT_EQ(fx.Get(d, 31), "600,00");
  EXPECT_EQ(fx.Get(p36, 146), "250,00");  // taxpayer's column of the PIT-36 part
  EXPECT_EQ(fx.Get(p36, 179), "500,00");  // section C: columns empty, the part
  EXPECT_EQ(fx.Get(p28, 66), "100,00");   // taxpayer's column of the PIT-28 part
  EXPECT_EQ(fx.Get(p28, 99), "0,00");     // section C has no PIT-28 part
}

TEST(PitUZ, PaidBackPart) {
  struct Case {
    const char* name;
    // The PIT/O's sums of the children's amounts and its deductions, and
    // what the return deducted of them (107, 108).
    std::map<int, std::string> pitO, pit37;
    std::string limit12, limit15, pit37Overpaid;
    std::map<int, std::string> expected;
  };
  const std::vector<Case> cases = {
      {"limited by the user's limits", {{245, "800,00"}}, {}, "300,00", "200,00", "0,00",
       {{16, "800,00"}, {17, "0,00"}, {18, "500,00"}, {20, "0,00"}, {22, "500,00"}}},
      {"limited by the unused relief", {{245, "300,00"}, {35, "200,00"}, {246, "50,00"}, {36, "100,00"}},
       {{107, "200,00"}, {108, "100,00"}}, "300,00", "200,00", "40,00",
       {{16, "100,00"}, {17, "0,00"}, {18, "100,00"}, {21, "40,00"}, {22, "140,00"}}},
      // The return could take only part of the deduction: the rest is unused.
      {"deduction cut by the return's tax", {{245, "300,00"}, {35, "300,00"}, {246, "500,00"}, {36, "500,00"}},
       {{107, "120,00"}, {108, "0,00"}}, "1000,00", "0,00", "0,00",
       {{16, "180,00"}, {17, "500,00"}, {18, "680,00"}, {22, "680,00"}}},
      // The PIT/O's other deductions from tax are taken before the child
      // relief: of 107 = 250, 100 went to the abolition relief (32).
      {"other deductions of the PIT/O come first", {{245, "300,00"}, {35, "300,00"}, {32, "100,00"}},
       {{107, "250,00"}}, "1000,00", "0,00", "0,00", {{16, "150,00"}, {18, "150,00"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int ret = fx.Add(kPit37);
    const int o = fx.Add(kPitO, ret);
    const int uz = fx.Add(kPitUZ, ret);
    fx.Set(o, c.pitO);
    fx.Set(ret, c.pit37);
    fx.Set(ret, 116, c.pit37Overpaid);
    fx.Set(uz, {{12, c.limit12}, {15, c.limit15}});
    ASSERT_EQ(fx.Run(uz), CalcStatus::Done);
    EXPECT_TRUE(fx.Slot(uz, 7).CheckState);
    EXPECT_EQ(fx.Get(uz, 7), "2");
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(uz, k), v) << "field " << k;
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
  fx.Set(ret, {{36, "200000,00"}, {40, "40000,00"}});
  fx.Set(first, {{3, "1"}, {34, "6"}, {35, "12324,12"}, {241, "1112,04"}, {233, "1112,04"}, {235, "2000,04"},
                 {237, "2700,00"}, {238, "2700,00"}});
  fx.Set(second, {{3, "2"}, {241, "2700,00"}});
  fx.Set(uz, {{12, "5000,00"}});
  for (int e : {first, second, uz}) {
    fx.Show(e);
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
  }
  EXPECT_EQ(fx.Get(first, 245), "9624,12");
  EXPECT_EQ(fx.Get(first, 243), "0,00");
  EXPECT_EQ(fx.Get(second, 243), "2700,00");
  EXPECT_EQ(fx.Get(uz, 16), "0,00");
  EXPECT_EQ(fx.Get(uz, 18), "0,00");
}

// A user who fills only part G gets the relief: the number of children and
// each column's total reach 34-36 and the return, and follow part G until
// the user types the deduction.
TEST(PitO, ChildReliefFollowsPartGUntilTyped) {
  CalcFixture fx(kJoint, kIdNip);
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  fx.Set(ret, {{36, "60000,00"}});
  const auto edit = [&](const std::map<int, std::string>& values) {
    fx.Set(o, values);
    fx.Show(o, 2);
    ASSERT_EQ(fx.Run(o), CalcStatus::Done);
  };
  edit({{241, "1112,04"}, {233, "556,02"}, {234, "556,02"}});
  EXPECT_EQ(fx.Get(o, 34), "2");
  EXPECT_EQ(fx.Get(o, 35), "1668,06");
  EXPECT_EQ(fx.Get(o, 36), "556,02");
  EXPECT_EQ(fx.Get(ret, 107), "1668,06");
  EXPECT_EQ(fx.Get(ret, 108), "556,02");

  edit({{233, "1112,04"}, {234, ""}});
  EXPECT_EQ(fx.Get(o, 35), "2224,08");
  EXPECT_EQ(fx.Get(o, 36), "0,00");

  // A third child beyond the count the user typed: the limit for two holds,
  // under the reduction notice.
  edit({{34, "2"}, {235, "2000,04"}});
  EXPECT_EQ(fx.Get(o, 35), "2224,08");
  ASSERT_EQ(fx.display.messages.size(), 1u);
  EXPECT_NE(fx.display.messages[0].find("redukcji"), std::string::npos);

  // Typed by the user: a later change of part G leaves it.
  edit({{34, "3"}, {35, "3000,00"}});
  edit({{235, "1000,00"}});
  EXPECT_EQ(fx.Get(o, 35), "3000,00");
  EXPECT_EQ(fx.Get(ret, 107), "3000,00");
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
  edit(uz, {{12, "2742,00"}, {15, "1300,00"}});
  edit(ret, {{36, "20000,00"}, {37, "1335,00"}, {40, "1000,00"}, {90, "2742,00"}, {105, "1300,00"}});
  edit(o, {{34, "4"}, {241, "1112,04"}, {233, "1112,04"}, {235, "2000,04"}, {237, "2700,00"}, {35, "6924,12"}});
  EXPECT_EQ(fx.Get(ret, 107), "1010,12");
  EXPECT_EQ(fx.Get(o, 243), "5914,00");
  EXPECT_EQ(fx.Get(uz, 16), "5914,00");
  EXPECT_EQ(fx.Get(uz, 18), "4042,00");
  EXPECT_EQ(fx.Get(uz, 21), "1000,00");
  EXPECT_EQ(fx.Get(uz, 22), "5042,00");

  // More tax (a higher revenue) takes more of the relief.
  edit(ret, {{36, "21000,00"}, {40, "2000,00"}});
  EXPECT_EQ(fx.Get(ret, 107), "1190,12");
  EXPECT_EQ(fx.Get(uz, 16), "5734,00");
  EXPECT_EQ(fx.Get(uz, 18), "4042,00");
  EXPECT_EQ(fx.Get(uz, 21), "2000,00");
  EXPECT_EQ(fx.Get(uz, 22), "6042,00");

  // A child less on the PIT/O: the relief the tax cannot take shrinks.
  edit(o, {{34, "3"}, {237, ""}, {35, "4224,12"}});
  EXPECT_EQ(fx.Get(uz, 16), "3034,00");
  EXPECT_EQ(fx.Get(uz, 18), "3034,00");
}

// A joint PIT-36: each spouse's relief is measured against that spouse's
// deduction; the health contribution (175) leaves the taxpayer 487,96 of
// the tax and the spouse nothing.
TEST(PitUZ, EachSpouseOfAJointPit36) {
  CalcFixture fx(kJoint, kIdNip);
  const int ret = fx.Add(kPit36);
  const int o = fx.Add(kPitO, ret);
  const int uz = fx.Add(kPitUZ, ret);
  fx.Set(uz, {{12, "5000,00"}});
  fx.Set(ret, {{45, "20000,00"}, {175, "2000,00"}});
  fx.Set(o, {{34, "2"}, {241, "1112,04"}, {234, "1112,04"}, {35, "1112,04"}, {36, "1112,04"}});
  fx.Show(o);
  ASSERT_EQ(fx.Run(o), CalcStatus::Done);
  EXPECT_EQ(fx.Get(ret, 174), "2487,96");
  EXPECT_EQ(fx.Get(ret, 177), "487,96");
  EXPECT_EQ(fx.Get(ret, 178), "0,00");
  EXPECT_TRUE(fx.Slot(uz, 6).CheckState);
  EXPECT_EQ(fx.Get(uz, 16), "624,08");
  EXPECT_EQ(fx.Get(uz, 17), "1112,04");
  EXPECT_EQ(fx.Get(uz, 18), "1736,12");
  EXPECT_EQ(fx.Get(o, 243), "624,08");
  EXPECT_EQ(fx.Get(o, 244), "1112,04");
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

  ClearAttachmentTransfers(fx.s, o37);
  for (int k : {94, 95, 107, 108}) EXPECT_EQ(fx.Get(p37, k), "0,00") << k;
  EXPECT_EQ(fx.Get(p37, 96), "9,00");
  EXPECT_EQ(fx.Get(p36, 144), "9,00");

  ClearAttachmentTransfers(fx.s, d37);
  for (int k : {96, 97, 110}) EXPECT_EQ(fx.Get(p37, k), "0,00") << k;
  for (int k : {66, 68, 99}) EXPECT_EQ(fx.Get(p28, k), "0,00") << k;
  EXPECT_EQ(fx.Get(p36, 146), "9,00");

  ClearAttachmentTransfers(fx.s, o36);
  for (int k : {144, 145, 177, 178}) EXPECT_EQ(fx.Get(p36, k), "0,00") << k;
  EXPECT_EQ(fx.Get(p36, 146), "9,00");
  EXPECT_EQ(fx.Get(p28, 64), "9,00");
}

TEST(Calculations, RunningTwiceEqualsRunningOnce) {
  CalcFixture fx(kJoint, kIdNip);
  const int p37 = fx.Add(kPit37);
  const int o = fx.Add(kPitO, p37);
  const int d = fx.Add(kPitD, p37);
  const int uz = fx.Add(kPitUZ, p37);
  const int k2 = fx.Add(kPit2K, p37);
  const int upkd = fx.Add(kUpkd, p37);
  fx.Set(p37, {{36, "60000,00"}, {37, "1335,00"}, {40, "7000,00"}, {63, "20000,00"}, {90, "100000,00"},
               {105, "100,00"}, {131, "0000012345"}, {132, "500,00"}, {10, "Kowalski"}});
  fx.Set(o, {{34, "3"}, {35, "5000,00"}, {20, "1000,00"}, {235, "2500,00"}, {12, "50,555"}});
  fx.Set(d, {{29, "1000,00"}, {30, "1500,00"}, {47, "20000,00"}});
  fx.Set(uz, {{12, "100,00"}});
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
  fx.Set(p37, {{36, "50000,00"}, {37, "1335,00"}});
  fx.Set(o, {{12, "665,00"}, {20, "1000,00"}});
  EXPECT_EQ(RunOpeningPass(fx.ctx), CalcStatus::Done);
  EXPECT_EQ(fx.Get(o, 28), "1425,00");
  EXPECT_EQ(fx.Get(p37, 94), "1425,00");
  EXPECT_EQ(fx.Get(p37, 100), "47240,00");
  EXPECT_EQ(fx.display.ShownEntry(), p37);  // main forms come last
}

}  // namespace
}  // namespace pit
