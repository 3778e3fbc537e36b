// Forms without amounts: identifier marks, purpose boxes and screen rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"

namespace pit {
namespace {

using testing::CalcFixture;

TEST(IdentifierByLength, ElevenIsPeselTenIsNip) {
  struct Case {
    int idPit, idField, peselLine, nipLine;
    const char* text;
    int pesel, nip;
  };
  const std::vector<Case> cases = {
      {kNip7, 135, 138, 139, "80010112345", 1, 0}, {kNip7, 135, 138, 139, "1234567890", 0, 1},
      {kNip7, 135, 138, 139, "123", 0, 0},         {kZap3, 25, 23, 24, "80010112345", 1, 0},
      {kZap3, 25, 23, 24, "1234567890", 0, 1},     {kZap3, 25, 23, 24, "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CalcFixture fx(kRegistrationForms);
    const int e = fx.Add(c.idPit);
    fx.Slot(e, c.peselLine).Option = 1;
    fx.Slot(e, c.nipLine).Option = 1;
    fx.Set(e, c.idField, c.text);
    fx.Run(e);
    EXPECT_EQ(fx.Slot(e, c.peselLine).Option, c.pesel);
    EXPECT_EQ(fx.Slot(e, c.nipLine).Option, c.nip);
  }
}

TEST(IdentifierMarks, OneLineOfEachPairIsDrawn) {
  struct Case {
    const char* name;
    int kind, taxpayer, spouse;
    int idPit;
    std::vector<int> lines;  // taxpayer PESEL, NIP, spouse PESEL, NIP
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"PIT/2K, taxpayer NIP, no spouse", kIndividual, kIdNip, kIdNone, kPit2K, {4, 17, 41, 42}, {0, 1, 0, 0}},
      {"PIT/2K, PESEL and spouse NIP", kIndividual, kIdPesel, kIdNip, kPit2K, {4, 17, 41, 42}, {1, 0, 0, 1}},
      {"PIT-37 joint", kJoint, kIdNip, kIdPesel, kPit37, {144, 145, 146, 147}, {0, 1, 1, 0}},
      {"PIT-37 individual keeps spouse lines", kIndividual, kIdPesel, kIdNone, kPit37, {144, 145, 146, 147},
       {1, 0, 7, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(c.kind, c.spouse);
    fx.s.TaxpayerIdKind = c.taxpayer;
    const int e = fx.Add(c.idPit);
    for (int line : c.lines) fx.Slot(e, line).Option = 7;
    fx.Show(e);
    fx.Run(e);
    for (std::size_t i = 0; i < c.lines.size(); ++i)
      EXPECT_EQ(fx.Slot(e, c.lines[i]).Option, c.expected[i]) << "line " << c.lines[i];
    EXPECT_EQ(fx.display.flags[0].maxChar, c.taxpayer == kIdPesel ? 11 : 10);
  }
}

TEST(Upkd, ReadOnlyFieldsAndPayerIdentifier) {
  {
    CalcFixture fx(kJoint, kIdPesel);
    const int ret = fx.Add(kPit37);
    const int u = fx.Add(kUpkd, ret);
    fx.Show(u);
    fx.Run(u);
    for (int k : {22, 23, 24, 25}) EXPECT_FALSE(fx.display.ReadOnly(k)) << k;  // the joint return itself
    EXPECT_EQ(fx.Slot(u, 28).Option, 1);  // spouse PESEL line
    EXPECT_EQ(fx.Slot(u, 26).Option, 0);
  }
  {
    CalcFixture fx(kIndividual);
    const int ret = fx.Add(kPit37);
    const int u = fx.Add(kUpkd, ret);
    fx.Show(u);
    fx.Run(u);
    for (int k : {22, 23, 24, 25}) EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
  }
  {
    CalcFixture fx(kPayerForms);
    const int p11 = fx.Add(kPit11);
    const int u = fx.Add(kUpkdOrdZu, p11);
    fx.Tick(p11, 7, "2");
    fx.Run(p11);  // the tick is committed in the PIT-11 first
    fx.Show(u);
    fx.Run(u);
    EXPECT_EQ(fx.Slot(u, 30).Option, 0);
    EXPECT_EQ(fx.Slot(u, 31).Option, 1);
    EXPECT_EQ(fx.display.flags[0].maxChar, 10);
    EXPECT_FALSE(fx.display.ReadOnly(4));
    EXPECT_TRUE(fx.display.ReadOnly(5));
    EXPECT_TRUE(fx.display.ReadOnly(6));
  }
}

TEST(Pit16A, PurposeAndRequiredDescriptions) {
  CalcFixture fx;
  const int e = fx.Add(kPit16A);
  fx.Set(e, {{19, "10,00"}, {21, "0,00"}});
  fx.Show(e);
  fx.display.underMouse = 4;
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, 3).CheckState);
  EXPECT_FALSE(fx.Slot(e, 4).CheckState);
  EXPECT_TRUE(fx.display.MustBe(18));
  EXPECT_FALSE(fx.display.MustBe(20));
  ASSERT_EQ(fx.display.correctionInfos.size(), 1u);
  EXPECT_EQ(fx.display.correctionInfos[0].first, "Informacja - korekta zeznania PIT-16A");
  fx.Add(kUpkd, e);
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, 4).CheckState);
  EXPECT_EQ(fx.Get(e, 4), "2");
}

TEST(SpouseFieldRules, ApplyOnlyWithoutTheSpouse) {
  {
    CalcFixture fx(kIndividual, kIdNone);
    SpouseFieldRules(fx.ctx, kPit37);
    for (int k : {1, 4, 5, 23, 35, 63, 89, 152, 155, 91, 137, 106, 143}) EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
    EXPECT_FALSE(fx.display.ReadOnly(36));
  }
  {
    CalcFixture fx(kJoint, kIdNip);
    SpouseFieldRules(fx.ctx, kPit37);
    EXPECT_TRUE(fx.display.flags.empty());
  }
  {
    CalcFixture fx(kIndividual, kIdNip);
    fx.s.SpouseData.PitD = true;  // spouse data entered in PIT/D
    SpouseFieldRules(fx.ctx, kPitD);
    EXPECT_TRUE(fx.display.flags.empty());
    fx.s.SpouseData.PitD = false;
    SpouseFieldRules(fx.ctx, kPitD);
    EXPECT_TRUE(fx.display.ReadOnly(33));
    EXPECT_FALSE(fx.display.Visible(60));
  }
  {
    CalcFixture fx(kIndividual, kIdNone);
    const int ret = fx.Add(kPit37);
    const int o = fx.Add(kPitO, ret);
    fx.Slot(o, 87).Typ = kCheckbox;
    fx.Tick(o, 87, "1");
    fx.Set(o, 86, "kept");  // not a box
    fx.Show(o);
    SpouseFieldRules(fx.ctx, kPitO);
    EXPECT_FALSE(fx.Slot(o, 87).CheckState);
    EXPECT_EQ(fx.Get(o, 86), "kept");
    EXPECT_FALSE(fx.display.Visible(221));
    EXPECT_TRUE(fx.display.ReadOnly(240));
  }
}

}  // namespace
}  // namespace pit
