// PIT/ZG, SSE-R, SSE/A and SSE-R/A: totals, the fields of the return the
// PIT/ZG belongs to, the zone relief rules and the name line.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"

namespace pit {
namespace {

using testing::CalcFixture;

// The fields of a PIT/ZG the user types depend on its return.
TEST(PitZG, FieldsOfItsReturnOnly) {
  struct Case {
    const char* name;
    int ret;
    std::vector<int> editable;
  };
  const std::vector<Case> cases = {
      {"PIT-36", kPit36, {8, 17, 25}},
      {"PIT-36L", kPit36L, {29, 30}},
      {"PIT-38", kPit38, {31, 32}},
      {"PIT-39", kPit39, {33, 34}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int r = fx.Add(c.ret);
    const int zg = fx.Add(kPitZG, r);
    fx.Show(zg);
    ASSERT_EQ(fx.Run(zg), CalcStatus::Done);
    for (int k : {8, 17, 25, 29, 30, 31, 32, 33, 34}) {
      const bool editable = std::find(c.editable.begin(), c.editable.end(), k) != c.editable.end();
      EXPECT_EQ(fx.display.ReadOnly(k), !editable) << "field " << k;
    }
  }
}

TEST(PitZG, TotalsCountryCopiesAndMessages) {
  CalcFixture fx;
  fx.ctx.countryCodeOf = [](const std::string& name) { return name == "NIEMCY" ? std::string("DE") : std::string(); };
  const int r = fx.Add(kPit36);
  const int zg1 = fx.Add(kPitZG, r);
  const int zg2 = fx.Add(kPitZG, r);
  fx.Set(zg1, {{38, "NIEMCY"}, {8, "1000,00"}, {9, "-200,00"}, {10, "50,00"}, {23, "10,50"}, {25, "1,00"}});
  fx.Show(zg1);
  ASSERT_EQ(fx.Run(zg1), CalcStatus::Done);
  EXPECT_EQ(fx.Get(zg1, 7), "DE");
  EXPECT_EQ(fx.Get(zg1, 26), "1010,50");
  EXPECT_EQ(fx.Get(zg1, 27), "-200,00");
  EXPECT_EQ(fx.Get(zg1, 28), "51,00");
  EXPECT_EQ(fx.Get(zg1, 37), "1");
  ASSERT_EQ(fx.display.messages.size(), 3u);
  EXPECT_EQ(fx.display.messages[1], "Dane z PIT/ZG musisz przenieść samodzielnie do odpowiedniego zeznania podatkowego.");
  EXPECT_EQ(fx.display.extraHeight, 60);
  // A row with an amount needs all three; an empty row none.
  EXPECT_TRUE(fx.display.MustBe(10));
  EXPECT_TRUE(fx.display.MustBe(24));
  EXPECT_FALSE(fx.display.MustBe(11));

  fx.Set(zg2, 38, "ATLANTYDA");
  fx.Show(zg2);
  ASSERT_EQ(fx.Run(zg2), CalcStatus::Done);
  EXPECT_EQ(fx.Get(zg2, 37), "2");
  EXPECT_EQ(fx.Get(zg2, 7), "");
}

TEST(SseR, Scenarios) {
  struct Case {
    const char* name;
    std::map<int, std::string> input;
    std::map<int, std::string> expected;
  };
  const std::vector<Case> cases = {
      {"costs, revenue share and limits",
       {{14, "100,00"}, {16, "200,00"}, {22, "300,00"}, {15, "10,00"}, {17, "20,00"}, {18, "5,00"}, {24, "5,00"},
        {30, "1000,00"}, {33, "500,00"}, {36, "400,00"}, {39, "100,00"}, {44, "10,00"}, {46, "700,00"},
        {47, "1000,00"}, {48, "1500,00"}, {50, "900,00"}, {70, "400,00"}, {71, "500,00"}, {72, "100,00"}},
       {{25, "600,00"}, {26, "30,00"}, {27, "10,00"}, {42, "2000,00"}, {43, "32,00"}, {45, "200,00"},
        {48, "1000,00"}, {49, "0,00"}, {51, "0,00"}, {52, "200,00"}, {53, "700,00"}, {71, "400,00"},
        {73, "0,00"}, {74, "100,00"}}},
      {"a percentage and an amount: the amount wins",
       {{55, "1000,00"}, {57, "50,00"}, {58, "300,00"}},
       {{57, "0,00"}, {58, "300,00"}, {59, "300,00"}, {60, "700,00"}, {64, "700,00"}, {68, "700,00"}}},
      {"a percentage alone",
       {{55, "1000,00"}, {57, "25,00"}},
       {{59, "250,00"}, {60, "750,00"}}},
      {"an amount above the income gives the income",
       {{55, "1000,00"}, {58, "3000,00"}},
       {{59, "1000,00"}, {60, "0,00"}}},
      {"a loss smaller than the amounts added",
       {{61, "100,00"}, {67, "350,00"}},
       {{64, "0,00"}, {65, "100,00"}, {68, "250,00"}, {69, "0,00"}}},
      {"the deduction fits in the income",
       {{55, "1000,49"}, {66, "2000,00"}, {67, "0,40"}},
       {{64, "1000,49"}, {66, "1000,49"}, {68, "0,00"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int r = fx.Add(kPit36);
    const int sse = fx.Add(kSseR, r);
    fx.Set(sse, c.input);
    fx.Show(sse);
    ASSERT_EQ(fx.Run(sse), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(sse, k), v) << "field " << k;
  }
}

// The sheets and SSE-R carry the person's name line; without a birth date
// it stays empty.
TEST(SseSheets, NameLineCopiesAndRows) {
  struct Case {
    const char* name;
    std::string birth;
    std::string line;
  };
  const std::vector<Case> cases = {
      {"complete", "01-02-1980", "KOWALSKI, JAN, 01-02-1980"},
      {"no birth date", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    fx.ids.Taxpayer.Surname = "KOWALSKI";
    fx.ids.Taxpayer.FirstName = "JAN";
    fx.ids.Taxpayer.BirthDate = c.birth;
    const int r = fx.Add(kPit36);
    const int sse = fx.Add(kSseR, r);
    const int a1 = fx.Add(kSseA, sse);
    const int a2 = fx.Add(kSseA, sse);
    const int ra = fx.Add(kSseRA, sse);
    fx.Set(a2, 12, "5000,00");
    fx.Set(ra, 60, "100,00");
    for (int e : {sse, a1, a2, ra}) {
      fx.Show(e);
      ASSERT_EQ(fx.Run(e), CalcStatus::Done);
      EXPECT_EQ(fx.Get(e, 3), c.line);
    }
    EXPECT_EQ(fx.Get(a1, 1), "1");
    EXPECT_EQ(fx.Get(a2, 1), "2");
    EXPECT_EQ(fx.Get(a2, 2), "2");
    EXPECT_EQ(fx.Get(ra, 1), "1");
    EXPECT_EQ(fx.Get(sse, 96), "2");
    EXPECT_EQ(fx.Get(sse, 97), "1");
    // The row of the filled field is required, the others not.
    EXPECT_TRUE(fx.display.MustBe(59));
    EXPECT_TRUE(fx.display.MustBe(63));
    EXPECT_FALSE(fx.display.MustBe(64));
  }
  // The spouse's sheet takes the spouse's data.
  CalcFixture fx(kJoint, kIdNip);
  fx.ids.Spouse.Surname = "NOWAK";
  fx.ids.Spouse.FirstName = "EWA";
  fx.ids.Spouse.BirthDate = "03-04-1985";
  const int r = fx.Add(kPit36);
  const int sse = fx.Add(kSseR, r, kPmSpouse);
  ASSERT_EQ(fx.Run(sse), CalcStatus::Done);
  EXPECT_EQ(fx.Get(sse, 3), "NOWAK, EWA, 03-04-1985");
}

}  // namespace
}  // namespace pit
