// PIT-28 with PIT-28/A and PIT-28/B: the columns, the shared-out
// deductions, the lump sum, and what the attachments carry into the return.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"

namespace pit {
namespace {

using testing::CalcFixture;

const std::string kNotice =
    "  PIT-28. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
    "kwot w tym w załącznikach.";

// A PIT-28 with a PIT-28/A: the revenue is typed into the attachment, the
// rest into the return; the attachment is run last, as after its edit.
struct Case {
  const char* name;
  std::map<int, std::string> attachment;  // PIT-28/A
  std::map<int, std::string> ret;         // PIT-28
  std::map<int, std::string> expected;    // PIT-28
  bool reduced;
};

TEST(Pit28, FiguresFromItsPit28A) {
  const std::vector<Case> cases = {
      {"column 2 with a deduction",
       {{16, "100000,00"}},
       {{63, "3000,00"}},
       {{20, "100000,00"}, {37, "100000,00"}, {42, "100000,00"}, {50, "0,00"}, {51, "100,00"}, {52, "0,00"},
        {55, "0,00"}, {150, "100,00"}, {65, "97000,00"}, {71, "3000,00"}, {72, "0,00"}, {73, "3000,00"},
        {80, "97000,00"}, {86, "97000,00"}, {88, "5335,00"}, {94, "5335,00"}, {96, "5335,00"}, {102, "5335,00"},
        {109, "5335,00"}, {129, "1"}, {3, "1"}},
       false},
      {"deduction shared out over two columns",
       {{15, "30000,00"}, {16, "70000,00"}},
       {{63, "1000,00"}, {108, "5000,00"}},
       {{50, "30,00"}, {51, "70,00"}, {72, "300,00"}, {73, "700,00"}, {79, "29700,00"}, {80, "69300,00"},
        {87, "891,00"}, {88, "3811,50"}, {94, "4702,50"}, {102, "4703,00"}, {109, "0,00"}, {110, "297,00"}},
       false},
      {"revenue below the deductions",
       {{15, "1000,00"}},
       {{62, "500,00"}, {63, "3000,00"}},
       {{62, "0,00"}, {63, "1000,00"}, {65, "0,00"}, {71, "1000,00"}, {79, "0,00"}, {102, "0,00"}},
       true},
      {"revenue between the deductions",
       {{15, "1000,00"}},
       {{62, "500,00"}, {63, "800,00"}, {146, "900,00"}},
       {{62, "200,00"}, {63, "800,00"}, {146, "800,00"}, {65, "0,00"}},
       true},
      {"the two user columns' taxes when 148 holds an amount",
       {{17, "10000,00"}, {20, "10000,00"}},
       {{148, "5000,00"}, {89, "500,00"}, {92, "100,00"}},
       {{89, "500,00"}, {92, "100,00"}, {94, "600,00"}},
       false},
      {"the same columns computed without it",
       {{17, "10000,00"}, {20, "10000,00"}},
       {{89, "500,00"}, {92, "100,00"}},
       {{81, "10000,00"}, {84, "10000,00"}, {89, "850,00"}, {92, "2000,00"}, {94, "2850,00"}},
       false},
      {"further revenue of columns 3 and 6",
       {{21, "2000,00"}, {22, "1000,00"}},
       {},
       {{33, "2000,00"}, {34, "1000,00"}, {35, "3000,00"}, {38, "2000,00"}, {41, "1000,00"}, {42, "3000,00"},
        {89, "170,00"}, {92, "200,00"}},
       false},
      {"second group: five times the rate, at most 75%",
       {{23, "10000,00"}, {28, "10000,00"}},
       {},
       {{43, "10000,00"}, {48, "10000,00"}, {49, "20000,00"}, {42, "0,00"}, {56, "50,00"}, {61, "50,00"},
        {85, "20000,00"}, {86, "20000,00"}, {93, "9000,00"}, {102, "9000,00"}},
       false},
      {"second group shares the deduction",
       {{15, "10000,00"}, {23, "10000,00"}},
       {{63, "2000,00"}},
       {{50, "50,00"}, {56, "50,00"}, {72, "1000,00"}, {78, "1000,00"}, {79, "9000,00"}, {85, "9000,00"},
        {87, "270,00"}, {93, "1350,00"}},
       false},
      {"deduction from the lump sum above it",
       {{16, "10000,00"}},
       {{97, "600,00"}, {149, "700,00"}},
       {{96, "550,00"}, {97, "550,00"}, {149, "550,00"}, {102, "0,00"}},
       true},
      {"1% above its limit",
       {{16, "100000,00"}},
       {{142, "0000127204"}, {143, "100,00"}},
       {{102, "5500,00"}, {143, "55,00"}},
       true},
      {"1% without an organisation",
       {{16, "100000,00"}},
       {{143, "40,00"}},
       {{143, "0,00"}},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int r = fx.Add(kPit28);
    const int a = fx.Add(kPit28A, r);
    fx.Set(r, c.ret);
    fx.Set(a, c.attachment);
    fx.Show(r);
    ASSERT_EQ(fx.Run(a), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(r, k), v) << "field " << k;
    EXPECT_EQ(fx.display.messages, c.reduced ? std::vector<std::string>{kNotice} : std::vector<std::string>{});
  }
}

TEST(Pit28, WithoutItsAttachmentsNothingCarriedStays) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  fx.Set(r, {{20, "5000,00"}, {27, "7000,00"}, {33, "100,00"}, {64, "300,00"}, {98, "200,00"}, {43, "1000,00"}});
  fx.Show(r);
  fx.Run(r);
  for (int k : {20, 27, 33, 64, 98}) EXPECT_EQ(fx.Get(r, k), "0,00") << "field " << k;
  // The second group is typed into the return when no attachment carries it.
  EXPECT_EQ(fx.Get(r, 43), "1000,00");
  EXPECT_FALSE(fx.display.ReadOnly(43));
  EXPECT_TRUE(fx.display.ReadOnly(89));
}

TEST(Pit28, CarriedFieldsAreReadOnlyWithTheirAttachment) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  fx.Add(kPit28A, r);
  fx.Add(kPitD, r);
  fx.Show(r);
  fx.Run(r);
  for (int k : {19, 24, 25, 33, 43, 49, 66, 68, 99}) EXPECT_TRUE(fx.display.ReadOnly(k)) << "field " << k;
  EXPECT_FALSE(fx.display.ReadOnly(26));
}

TEST(Pit28B, Shares) {
  struct B {
    const char* name;
    std::map<int, std::string> input;
    std::map<int, std::string> expected;
  } cases[] = {
      {"share above 99,99", {{24, "150"}, {26, "10000,00"}, {51, "120"}},
       {{24, "99,99"}, {39, "9999,00"}, {51, "99,99"}}},
      {"shares of both partnerships, summed per column",
       {{24, "50"}, {27, "10000,00"}, {25, "333,33"}, {51, "25"}, {73, "8000,00"}, {71, "100,00"}},
       {{40, "5000,00"}, {86, "2000,00"}, {98, "7000,00"}, {38, "166,67"}, {84, "25,00"}}},
      {"an amount typed over the share replaces it",
       {{24, "50"}, {26, "10000,00"}, {109, "1234,56"}}, {{39, "1234,56"}, {97, "1234,56"}}},
      {"no share left, the typed amount goes too",
       {{24, "50"}, {109, "1234,56"}}, {{39, "0,00"}, {109, "0,00"}}},
  };
  for (const B& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int r = fx.Add(kPit28);
    const int b = fx.Add(kPit28B, r);
    fx.Set(b, c.input);
    fx.Show(b);
    ASSERT_EQ(fx.Run(b), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(b, k), v) << "field " << k;
    EXPECT_EQ(fx.Get(b, 133), "1");
    EXPECT_EQ(fx.Get(b, 6), "1");
  }
}

TEST(Pit28B, TwoCopiesTheLastHoldsTheTotals) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  // Each copy is calculated when it is added, as the program does.
  const int b1 = fx.Add(kPit28B, r);
  fx.Set(b1, {{24, "50"}, {27, "10000,00"}, {32, "4000,00"}});
  fx.Run(b1);
  const int b2 = fx.Add(kPit28B, r);
  fx.Set(b2, {{24, "25"}, {27, "8000,00"}});
  fx.Run(b2);
  fx.Run(b1);
  EXPECT_EQ(fx.Get(b1, 133), "1");
  EXPECT_EQ(fx.Get(b2, 133), "2");
  EXPECT_EQ(fx.Get(b1, 6), "2");
  EXPECT_EQ(fx.Get(b2, 6), "2");
  for (int k = 97; k <= 108; ++k) EXPECT_EQ(fx.Get(b1, k), "0,00") << "field " << k;
  EXPECT_EQ(fx.Get(b2, 98), "7000,00");
  EXPECT_EQ(fx.Get(b2, 103), "2000,00");
  EXPECT_EQ(fx.Get(r, 27), "7000,00");
  EXPECT_EQ(fx.Get(r, 32), "7000,00");
  EXPECT_EQ(fx.Get(r, 43), "2000,00");
  EXPECT_EQ(fx.Get(r, 130), "2");
  // 7000 of revenue at 5,5%; 2000 in the second group at five times 3%.
  EXPECT_EQ(fx.Get(r, 88), "385,00");
  EXPECT_EQ(fx.Get(r, 93), "300,00");
}

// A PIT-28/A next to a PIT-28/B: the return's second group is the sum of
// both, whichever attachment was edited last.
TEST(Pit28B, NextToPit28ATheSecondGroupIsTheSumOfBoth) {
  for (bool attachmentALast : {false, true}) {
    SCOPED_TRACE(attachmentALast ? "PIT-28/A last" : "PIT-28/B last");
    CalcFixture fx;
    const int r = fx.Add(kPit28);
    const int a = fx.Add(kPit28A, r);
    const int b = fx.Add(kPit28B, r);
    fx.Set(a, {{23, "1000,00"}, {28, "50,00"}, {15, "100,00"}});
    fx.Set(b, {{24, "50"}, {32, "4000,00"}, {26, "600,00"}});
    if (attachmentALast) {
      fx.Run(b);
      fx.Run(a);
    } else {
      fx.Run(a);
      fx.Run(b);
    }
    EXPECT_EQ(fx.Get(r, 43), "3000,00");
    EXPECT_EQ(fx.Get(r, 48), "50,00");
    EXPECT_EQ(fx.Get(r, 19), "100,00");
    EXPECT_EQ(fx.Get(r, 26), "300,00");
    EXPECT_EQ(fx.Get(r, 36), "400,00");
    EXPECT_EQ(fx.Get(r, 49), "3050,00");
  }
}

// The reliefs of PIT/O and PIT/D reach the lump sum and are capped by it.
TEST(Pit28, ReliefsFromPitOAndPitD) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  const int a = fx.Add(kPit28A, r);
  const int o = fx.Add(kPitO, r);
  const int d = fx.Add(kPitD, r);
  fx.Set(a, {{16, "100000,00"}});
  fx.Run(a);
  fx.Set(o, {{12, "1000,00"}, {30, "9000,00"}});
  fx.Run(o);
  fx.Set(d, {{29, "20000,00"}, {30, "20000,00"}, {38, "300,00"}, {41, "300,00"}});
  fx.Show(r);
  fx.Run(d);
  fx.Run(r);
  EXPECT_EQ(fx.Get(r, 64), "1000,00");
  EXPECT_EQ(fx.Get(r, 66), "20000,00");
  EXPECT_EQ(fx.Get(r, 67), "79000,00");
  EXPECT_EQ(fx.Get(r, 68), "300,00");
  EXPECT_EQ(fx.Get(r, 69), "300,00");
  EXPECT_EQ(fx.Get(r, 71), "21300,00");
  EXPECT_EQ(fx.Get(r, 80), "78700,00");
  EXPECT_EQ(fx.Get(r, 96), "4328,50");
  EXPECT_EQ(fx.Get(r, 98), "4328,50");
  EXPECT_EQ(fx.Get(r, 102), "0,00");
  EXPECT_EQ(fx.Get(r, 124), "1");
  EXPECT_EQ(fx.Get(r, 125), "1");
  EXPECT_EQ(fx.display.messages, std::vector<std::string>{kNotice});
}

// Spouses each with a PIT-28 and a PIT-28/A: each attachment feeds its own
// person's return.
TEST(Pit28A, EachSpouseFeedsTheirOwnReturn) {
  CalcFixture fx(kJoint, kIdNip);
  const int rp = fx.Add(kPit28, 0, kPmTaxpayer);
  const int rm = fx.Add(kPit28, 0, kPmSpouse);
  const int ap = fx.Add(kPit28A, rp, kPmTaxpayer);
  const int am = fx.Add(kPit28A, rm, kPmSpouse);
  fx.Set(ap, {{16, "1000,00"}});
  fx.Set(am, {{16, "2000,00"}});
  fx.Run(ap);
  fx.Run(am);
  EXPECT_EQ(fx.Get(rp, 20), "1000,00");
  EXPECT_EQ(fx.Get(rm, 20), "2000,00");
}

// Running everything again changes nothing.
TEST(Pit28, RecalculatingChangesNothing) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  const int a = fx.Add(kPit28A, r);
  const int b1 = fx.Add(kPit28B, r);
  const int b2 = fx.Add(kPit28B, r);
  const int o = fx.Add(kPitO, r);
  fx.Set(a, {{15, "12345,67"}, {23, "999,99"}});
  fx.Set(b1, {{24, "33,33"}, {26, "10000,00"}, {33, "500,00"}});
  fx.Set(b2, {{24, "12,5"}, {31, "7777,77"}});
  fx.Set(o, {{12, "321,00"}, {30, "10,00"}});
  fx.Set(r, {{63, "1500,00"}, {142, "0000127204"}, {143, "5,55"}});
  for (int e : {a, b1, b2, o, r}) fx.Run(e);
  const auto once = fx.Snapshot();
  for (int e : {a, b1, b2, o, r}) fx.Run(e);
  EXPECT_EQ(fx.Snapshot(), once);
}

}  // namespace
}  // namespace pit
