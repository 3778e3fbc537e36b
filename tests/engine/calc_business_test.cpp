// PIT-36L, PIT/B and PIT/Z, and the chain in which they run each other and
// PIT-36.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"

namespace pit {
namespace {

using testing::CalcFixture;

const std::string kNotice36L =
    "   PIT-36L. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
    "kwot w tym w załącznikach.";

bool Noticed(const CalcFixture& fx) {
  for (const auto& m : fx.display.messages)
    if (m == kNotice36L) return true;
  return false;
}

TEST(Pit36L, Scenarios) {
  struct Case {
    const char* name;
    std::map<int, std::string> input;
    std::map<int, std::string> expected;
    bool reduced;
  };
  const std::vector<Case> cases = {
      {"business income taxed at 19 %",
       {{21, "200000,00"}, {22, "120000,00"}},
       {{23, "80000,00"}, {24, "0,00"}, {34, "80000,00"}, {41, "80000,00"}, {42, "80000,00"},
        {43, "15200,00"}, {46, "15200,00"}, {50, "15200,00"}, {52, "15200,00"}},
       false},
      {"the deduction 120 has its statutory cap",
       {{21, "200000,00"}, {22, "120000,00"}, {120, "5000,00"}},
       {{120, "4495,20"}, {34, "75504,80"}, {42, "75505,00"}, {43, "14345,95"}},
       true},
      {"deductions fit in the income the others leave",
       {{21, "1000,00"}, {26, "500,00"}, {32, "1000,00"}, {33, "800,00"}},
       // 32 first against 1500 - 800; 33 then fits in what 32 leaves
       {{32, "700,00"}, {33, "800,00"}, {120, "0,00"}, {34, "0,00"}},
       true},
      {"a blank return reduces nothing",
       {},
       {{32, "0,00"}, {33, "0,00"}, {120, "0,00"}, {50, "0,00"}},
       false},
      {"amounts above the losses join the base; tax deductions capped",
       {{21, "1000,00"}, {22, "3000,00"}, {37, "2500,00"}, {47, "200,00"}, {114, "20,00"}, {113, "300,00"},
        {25, "10,00"}, {30, "5,00"}},
       // 41 = 0 + 2500 - 2000; 43 = 95,00; 114 = 95 - 200 -> 47 first
       {{24, "2000,00"}, {41, "500,00"}, {43, "95,00"}, {47, "95,00"}, {114, "0,00"}, {113, "95,00"},
        {48, "0,00"}, {51, "15,00"}, {53, "15,00"}},
       true},
      {"further settlement amounts",
       {{21, "10000,00"}, {54, "1000,00"}, {56, "3,00"}, {57, "100,00"}, {58, "150,00"}, {59, "20,00"}},
       {{50, "1900,00"}, {58, "100,00"}, {60, "0,00"}, {61, "20,00"}, {62, "883,00"}, {63, "0,00"}},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int r = fx.Add(kPit36L);
    fx.Set(r, c.input);
    fx.Show(r, 1);
    ASSERT_EQ(fx.Run(r), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(r, k), v) << "field " << k;
    EXPECT_EQ(Noticed(fx), c.reduced);
  }
}

TEST(Pit36L, BoxElevenNeedsAPitZ) {
  CalcFixture fx;
  const int r = fx.Add(kPit36L);
  fx.Tick(r, 19, "1");
  fx.Show(r);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.reminders.size(), 1u);
  EXPECT_EQ(fx.display.reminders[0],
            "Zaznaczenie PIT-36L poz. 11 jest możliwe, jeżeli do PIT-36L jest załączony PIT/Z");
  EXPECT_FALSE(fx.Slot(r, 19).CheckState);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.reminders.size(), 1u);  // unticked: said once
}

TEST(Pit36L, AdvancesReminderThenTheNotice) {
  CalcFixture fx;
  const int r = fx.Add(kPit36L);
  fx.Set(r, {{21, "100,00"}, {32, "500,00"}});
  fx.Show(r, 2);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.messages.size(), 3u);
  EXPECT_EQ(fx.display.messages[0], "   UWAGA !");
  EXPECT_NE(fx.display.messages[1].find("poz. 48 należy wypełnić samodzielnie"), std::string::npos);
  EXPECT_EQ(fx.display.messages[2], kNotice36L);
}

// Two copies of the taxpayer's PIT/B under a PIT-36: the first shows 0,00 in
// its totals, the second the totals, which reach PIT-36 53 and 54.
TEST(PitB, TwoCopiesUnderPit36) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  // Each copy is added and filled in turn, as the user does.
  const int b1 = fx.Add(kPitB, r);
  fx.Set(b1, {{10, "1000,00"}, {11, "200,00"}});
  fx.Show(b1);
  ASSERT_EQ(fx.Run(b1), CalcStatus::Done);
  const int b2 = fx.Add(kPitB, r);
  fx.Set(b2, {{21, "120,00"}, {26, "10000,00"}, {28, "4000,00"}, {34, "50,00"}, {38, "600,00"}, {60, "70,00"}});
  fx.Show(b2);
  ASSERT_EQ(fx.Run(b2), CalcStatus::Done);
  EXPECT_EQ(fx.Get(b1, 68), "1");
  EXPECT_EQ(fx.Get(b2, 68), "2");
  EXPECT_EQ(fx.Get(b2, 2), "2");
  EXPECT_EQ(fx.Get(b1, 12), "800,00");
  EXPECT_EQ(fx.Get(b2, 21), "100,00");  // share capped at the whole
  EXPECT_EQ(fx.Get(b2, 27), "10000,00");
  EXPECT_EQ(fx.Get(b2, 29), "4000,00");
  EXPECT_EQ(fx.Get(b2, 30), "6000,00");
  EXPECT_EQ(fx.Get(b2, 31), "6000,00");
  EXPECT_EQ(fx.Get(b2, 39), "70,00");  // the typed share overrides 300,00
  for (int k : {56, 57, 58, 59}) EXPECT_EQ(fx.Get(b1, k), "0,00") << k;
  EXPECT_EQ(fx.Get(b2, 56), "11070,00");
  EXPECT_EQ(fx.Get(b2, 57), "4200,00");
  EXPECT_EQ(fx.Get(b2, 58), "6870,00");
  EXPECT_EQ(fx.Get(b2, 59), "0,00");
  EXPECT_EQ(fx.Get(r, 53), "11070,00");
  EXPECT_EQ(fx.Get(r, 54), "4200,00");
  EXPECT_EQ(fx.Get(r, 55), "6870,00");
  EXPECT_EQ(fx.Get(r, 302), "2");
}

// With a PIT/Z of the same person the return must say first which way the
// income goes: the PIT/B stops and the return is shown.
TEST(PitB, GuardShowsTheReturnFirst) {
  struct Case {
    const char* name;
    int kind, pm, ret;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"taxpayer", kIndividual, kPmNone, kPit36,
       "UWAGA! \nPrzed wypełnieniem PIT/B (Podatnika), należy zaznaczyć odpowiednie pole w poz. 39 lub 40 PIT-36."},
      {"spouse", kJoint, kPmSpouse, kPit36,
       "UWAGA! \nPrzed wypełnieniem PIT/B (Małżonka), należy zaznaczyć odpowiednie pole w poz. 42 lub 43 PIT-36."},
      {"PIT-36L", kIndividual, kPmNone, kPit36L, "UWAGA! \nPrzed wypełnieniem PIT/B, należy zaznaczyć pole 11 w PIT-36L."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(c.kind, c.kind == kJoint ? kIdNip : kIdNone);
    const int r = fx.Add(c.ret);
    const int b = fx.Add(kPitB, r, c.pm);
    fx.Add(kPitZ, r, c.pm);
    fx.Set(b, {{10, "100,00"}});
    fx.Show(b);
    ASSERT_EQ(fx.Run(b), CalcStatus::Done);
    EXPECT_EQ(fx.display.reminders, std::vector<std::string>{c.message});
    EXPECT_EQ(fx.display.entry, r);  // the return is shown
    EXPECT_EQ(fx.Get(b, 12), "");    // nothing computed
  }
}

// PIT-36 box 39 with PIT/B and PIT/Z: PIT-36 runs the PIT/B, the PIT/B fills
// the PIT/Z, the PIT/Z the PIT-36, and the chain ends.
TEST(PitB, ChainThroughPitZIntoPit36) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  const int b = fx.Add(kPitB, r);
  const int z = fx.Add(kPitZ, r);
  fx.Tick(r, 39, "1");
  fx.Set(r, {{53, "999,00"}, {54, "1,00"}});
  fx.Set(b, {{10, "5000,00"}, {11, "1000,00"}});
  fx.Set(z, {{10, "700,00"}, {11, "1000,00"}, {14, "50,00"}});
  fx.Show(r);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(z, 6), "5000,00");
  EXPECT_EQ(fx.Get(z, 7), "1000,00");
  EXPECT_EQ(fx.Get(z, 23), "0,00");
  EXPECT_EQ(fx.Get(z, 20), "0,00");
  EXPECT_EQ(fx.Get(z, 21), "300,00");
  EXPECT_EQ(fx.Get(z, 22), "50,00");
  // 55, 56, 58 from PIT/Z 20, 21, 22, not from 53 - 54.
  EXPECT_EQ(fx.Get(r, 53), "5000,00");
  EXPECT_EQ(fx.Get(r, 55), "0,00");
  EXPECT_EQ(fx.Get(r, 56), "300,00");
  EXPECT_EQ(fx.Get(r, 58), "50,00");
  EXPECT_TRUE(fx.display.ReadOnly(53));
  EXPECT_TRUE(fx.display.ReadOnly(146) == false);

  // The second way: PIT/Z 23, 24 take the sums, PIT-36 55, 56 its 34, 35.
  fx.Slot(r, 39).CheckState = false;
  fx.Set(r, 39, "");
  fx.Tick(r, 41, "1");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(z, 6), "0,00");
  EXPECT_EQ(fx.Get(z, 23), "5000,00");
  EXPECT_EQ(fx.Get(z, 25), "4000,00");
  EXPECT_EQ(fx.Get(z, 34), "4000,00");
  EXPECT_EQ(fx.Get(r, 55), "4000,00");
  EXPECT_EQ(fx.Get(r, 58), "0,00");
  EXPECT_TRUE(fx.display.MustBe(43));  // the text that goes with box 41

  const auto once = fx.Snapshot();
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.Run(b), CalcStatus::Done);
  ASSERT_EQ(fx.Run(z), CalcStatus::Done);
  EXPECT_EQ(fx.Snapshot(), once);
}

TEST(PitZ, SpousePitZFillsPit36) {
  CalcFixture fx(kJoint, kIdNip);
  const int r = fx.Add(kPit36);
  const int z = fx.Add(kPitZ, r, kPmSpouse);
  fx.Tick(r, 40, "1");
  fx.Set(z, {{10, "5000,00"}, {11, "1000,00"}, {14, "300,00"}, {15, "100,00"}, {6, "10,00"}, {7, "30,00"}});
  fx.Show(z);
  ASSERT_EQ(fx.Run(z), CalcStatus::Done);
  EXPECT_EQ(fx.Get(z, 18), "10,00");
  EXPECT_EQ(fx.Get(z, 19), "30,00");
  EXPECT_EQ(fx.Get(r, 98), "4000,00");
  EXPECT_EQ(fx.Get(r, 99), "0,00");
  EXPECT_EQ(fx.Get(r, 101), "200,00");
  EXPECT_EQ(fx.Get(r, 129), "4000,00");
  EXPECT_EQ(fx.Get(r, 308), "1");
  EXPECT_EQ(fx.Get(r, 55), "0,00");  // the taxpayer's row is not touched
}

// PIT-36L with box 11 ticked: PIT/B -> PIT/Z second way -> PIT-36L.
TEST(PitB, Pit36LWithPitBAndPitZ) {
  CalcFixture fx;
  const int r = fx.Add(kPit36L);
  const int b = fx.Add(kPitB, r);
  const int z = fx.Add(kPitZ, r);
  fx.Tick(r, 19, "1");
  fx.Set(b, {{10, "50000,00"}, {11, "20000,00"}});
  fx.Show(b);
  ASSERT_EQ(fx.Run(b), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, 21), "50000,00");
  EXPECT_EQ(fx.Get(r, 22), "20000,00");
  EXPECT_EQ(fx.Get(z, 23), "50000,00");
  EXPECT_EQ(fx.Get(z, 24), "20000,00");
  EXPECT_EQ(fx.Get(z, 34), "30000,00");
  EXPECT_EQ(fx.Get(r, 23), "30000,00");
  EXPECT_EQ(fx.Get(r, 43), "5700,00");
  EXPECT_EQ(fx.Get(r, 100), "1");
  EXPECT_EQ(fx.Get(r, 101), "1");
}

// Removing a PIT/B or PIT/Z clears what it carried; another copy of the same
// person keeps the totals.
TEST(ClearAttachmentTransfers, BusinessAttachments) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  const int b1 = fx.Add(kPitB, r);
  const int b2 = fx.Add(kPitB, r);
  const int z = fx.Add(kPitZ, r);
  for (int k = 50; k < 110; ++k) fx.Set(r, k, "9,00");
  ClearAttachmentTransfers(fx.s, b1);
  EXPECT_EQ(fx.Get(r, 53), "9,00");
  fx.s.RemoveAt(b1);
  ClearAttachmentTransfers(fx.s, b2 - 1);
  for (int k : {53, 54, 55, 56}) EXPECT_EQ(fx.Get(r, k), "0,00") << k;
  EXPECT_EQ(fx.Get(r, 96), "9,00");
  ClearAttachmentTransfers(fx.s, z - 1);
  EXPECT_EQ(fx.Get(r, 58), "0,00");
  EXPECT_EQ(fx.Get(r, 101), "9,00");
}

}  // namespace
}  // namespace pit
