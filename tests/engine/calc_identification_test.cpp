// The identification data typed once appear on every form of the person.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"

namespace pit {
namespace {

using testing::CalcFixture;

struct Form {
  int idPit;
  int pm;
  int field;
};

struct Case {
  const char* name;
  int kind;
  int taxpayerKind;
  int spouseKind;
  Form from;  // typed here, then this entry is calculated
  std::vector<Form> to;
};

TEST(IdentificationExchange, TypedFieldReachesTheSameFieldOfOtherForms) {
  const std::vector<Case> cases = {
      {"taxpayer surname from PIT-37", kIndividual, kIdNip, kIdNone, {kPit37, 0, 10},
       {{kPitO, 0, 4}, {kPitD, 0, 3}, {kPit36, 0, 9}, {kPit2K, 0, 2}, {kPitUZ, 0, 8}, {kPit38, 0, 5}}},
      {"taxpayer NIP from PIT-37", kIndividual, kIdNip, kIdNone, {kPit37, 0, 0},
       {{kPitO, 0, 0}, {kPitD, 0, 0}, {kPit36L, 0, 0}, {kPit16A, 0, 0}, {kPitB, 1, 0}}},
      {"taxpayer PESEL from PIT/O", kIndividual, kIdPesel, kIdNone, {kPitO, 0, 0},
       {{kPit37, 0, 0}, {kPit38, 0, 0}, {kPitM, 0, 0}}},
      {"spouse surname from a joint PIT-37", kJoint, kIdNip, kIdPesel, {kPit37, 0, 23},
       {{kPitO, 0, 8}, {kPitD, 0, 16}, {kPit28, 2, 5}, {kPitUZ, 0, 11}, {kPit36, 0, 22}}},
      {"spouse PESEL from a joint PIT-37", kJoint, kIdNip, kIdPesel, {kPit37, 0, 1},
       {{kPitO, 0, 1}, {kPitD, 0, 1}, {kPit28, 2, 0}, {kPitO, 2, 0}}},
      {"spouse address into the spouse's PIT-28", kJoint, kIdNip, kIdNip, {kPit37, 0, 30},
       {{kPit28, 2, 13}}},
      {"spouse country into the spouse's PIT-28", kJoint, kIdNip, kIdNip, {kPit37, 0, 141},
       {{kPit28, 2, 9}}},
      {"date of birth from PIT/2K", kIndividual, kIdNip, kIdNone, {kPit2K, 0, 5},
       {{kPit37, 0, 12}, {kPitO, 0, 6}, {kPitD, 0, 5}}},
      {"payer NIP from PIT-11", kPayerForms, kIdNip, kIdNone, {kPit11, 0, 0},
       {{kPit40, 0, 0}, {kPitR, 0, 0}}},
      {"payer name from PIT-11", kPayerForms, kIdNip, kIdNone, {kPit11, 0, 8},
       {{kPit40, 0, 6}, {kPitR, 0, 6}}},
      {"NIP-7 identifier", kRegistrationForms, kIdNip, kIdNone, {kNip7, 0, 0}, {{kNipB, 0, 0}, {kNipC, 0, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(c.kind, c.spouseKind);
    fx.s.TaxpayerIdKind = c.taxpayerKind;
    const int src = fx.Add(c.from.idPit, 0, c.from.pm);
    std::vector<int> targets;
    for (const Form& t : c.to) {
      const bool attachment = t.idPit == kPitO || t.idPit == kPitD || t.idPit == kPit2K || t.idPit == kPitUZ ||
                              t.idPit == kPitB || t.idPit == kPitM;
      targets.push_back(fx.Add(t.idPit, attachment ? src : 0, t.pm));
      fx.Set(targets.back(), t.field, "stare");
    }
    fx.Set(src, c.from.field, "1234567890");
    ASSERT_EQ(fx.Run(src), CalcStatus::Done);
    for (std::size_t i = 0; i < c.to.size(); ++i)
      EXPECT_EQ(fx.Get(targets[i], c.to[i].field), "1234567890")
          << "IdPit " << c.to[i].idPit << " field " << c.to[i].field;
  }
}

TEST(IdentificationExchange, IdentifierFollowsEachPersonsKind) {
  CalcFixture fx(kIndividual, kIdNone);
  fx.s.TaxpayerIdKind = kIdPesel;
  const int ret = fx.Add(kPit37);
  const int pit36l = fx.Add(kPit36L);
  fx.Set(pit36l, 0, "1111111111");
  fx.Set(ret, 0, "80010112345");
  fx.Run(ret);
  EXPECT_EQ(fx.ids.Taxpayer.PESEL, "80010112345");
  EXPECT_EQ(fx.ids.Taxpayer.NIP, "");
  // A form that takes a NIP only is left alone for a PESEL filer.
  EXPECT_EQ(fx.Get(pit36l, 0), "1111111111");
}

TEST(IdentificationExchange, RemovedSpouseLeavesNoIdentifierOnJointAttachments) {
  CalcFixture fx(kIndividual, kIdNip);
  const int ret = fx.Add(kPit37);
  const int d = fx.Add(kPitD, ret);
  const int o = fx.Add(kPitO, ret);
  fx.Set(d, 1, "9876543210");
  fx.Run(d);
  EXPECT_EQ(fx.Get(o, 1), "9876543210");

  fx.s.SpouseIdKind = kIdNone;
  fx.Run(d);
  EXPECT_EQ(fx.ids.Spouse.NIP, "");
  EXPECT_EQ(fx.Get(d, 1), "");
  EXPECT_EQ(fx.Get(o, 1), "");
}

TEST(IdentificationExchange, OnePersonsPitOCarriesNobodyElse) {
  CalcFixture fx(kJoint, kIdNip);
  const int ret = fx.Add(kPit36);
  const int o = fx.Add(kPitO, ret, kPmTaxpayer);
  fx.Set(o, {{1, "x"}, {8, "x"}, {9, "x"}, {10, "x"}, {11, "x"}, {12, "5,00"}});
  fx.Set(ret, 9, "Kowalski");
  fx.Run(ret);
  for (int k : {1, 8, 9, 10, 11}) EXPECT_EQ(fx.Get(o, k), "") << k;
  EXPECT_EQ(fx.Get(o, 4), "Kowalski");
  EXPECT_EQ(fx.Get(o, 12), "5,00");
}

TEST(IdentificationExchange, EditedEntryWinsAndUpkdKeepsItsOwnData) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int o = fx.Add(kPitO, ret);
  const int u = fx.Add(kUpkd, ret);
  fx.Set(o, 4, "Nowak");
  fx.Run(o);
  EXPECT_EQ(fx.Get(ret, 10), "Nowak");
  fx.Set(u, 3, "Własny");
  fx.Set(ret, 10, "Kowalska");
  fx.Run(ret);
  EXPECT_EQ(fx.Get(o, 4), "Kowalska");
  EXPECT_EQ(fx.Get(u, 3), "Własny");
}

TEST(IdentificationExchange, TaxOfficeCarriesItsCodeAndPayerVariantItsTick) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  const int pit38 = fx.Add(kPit38);
  fx.Set(ret, 7, "Urząd Skarbowy Warszawa-Bemowo");
  fx.Slot(ret, 7).OfficeCode = "1471";
  fx.Run(ret);
  EXPECT_EQ(fx.Get(pit38, 2), "Urząd Skarbowy Warszawa-Bemowo");
  EXPECT_EQ(fx.Slot(pit38, 2).OfficeCode, "1471");

  CalcFixture payer(kPayerForms);
  const int p11 = payer.Add(kPit11);
  const int p40 = payer.Add(kPit40);
  payer.Tick(p11, 6, "1");
  payer.Run(p11);
  EXPECT_TRUE(payer.Slot(p40, 5).CheckState);
  EXPECT_EQ(payer.Get(p40, 5), "1");
  EXPECT_FALSE(payer.Slot(p40, 7).CheckState);
}

TEST(IdentificationExchange, NewFormIsPrefilled) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  fx.Set(ret, {{0, "1234567890"}, {10, "Kowalski"}, {11, "Jan"}});
  fx.Run(ret);
  const int o = fx.Add(kPitO, ret);
  DistributeIdentificationTo(fx.s, fx.ids, o);
  EXPECT_EQ(fx.Get(o, 0), "1234567890");
  EXPECT_EQ(fx.Get(o, 4), "Kowalski");
  EXPECT_EQ(fx.Get(o, 5), "Jan");
}

TEST(IdentificationExchange, RecordsKeepTheirWidths) {
  CalcFixture fx;
  const int ret = fx.Add(kPit37);
  fx.Set(ret, {{0, "123456789012345678"}, {19, "12345678901"}});
  fx.Run(ret);
  EXPECT_EQ(fx.ids.Taxpayer.NIP, "1234567890123");  // 14 bytes with the zero
  EXPECT_EQ(fx.ids.Taxpayer.FlatNo, "123456789");
}

}  // namespace
}  // namespace pit
