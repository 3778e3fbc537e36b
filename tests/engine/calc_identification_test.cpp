// The identification data typed once appear on every form of the person.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"
#include "forms/nip7_fields.h"
#include "forms/nip_b_fields.h"
#include "forms/nip_c_fields.h"
#include "forms/pit11_fields.h"
#include "forms/pit16a_fields.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit40_fields.h"
#include "forms/pit_2k_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_m_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_r_fields.h"
#include "forms/pit_uz_fields.h"

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
      {"taxpayer surname from PIT-37",
       kIndividual,
       kIdNip,
       kIdNone,
       {kPit37, 0, pit37::taxpayer_surname},
       {{kPitO, 0, pit_o::taxpayer_surname},
        {kPitD, 0, pit_d::taxpayer_surname},
        {kPit36, 0, pit36::taxpayer_surname},
        {kPit2K, 0, pit_2k::taxpayer_surname},
        {kPitUZ, 0, pit_uz::taxpayer_surname},
        {kPit38, 0, pit38::surname}}},
      {"taxpayer NIP from PIT-37",
       kIndividual,
       kIdNip,
       kIdNone,
       {kPit37, 0, pit37::taxpayer_id},
       {{kPitO, 0, pit_o::taxpayer_id},
        {kPitD, 0, pit_d::taxpayer_id},
        {kPit36L, 0, pit36l::taxpayer_id},
        {kPit16A, 0, pit16a::taxpayer_id},
        {kPitB, 1, pit_b::taxpayer_id}}},
      {"taxpayer PESEL from PIT/O",
       kIndividual,
       kIdPesel,
       kIdNone,
       {kPitO, 0, pit_o::taxpayer_id},
       {{kPit37, 0, pit37::taxpayer_id}, {kPit38, 0, pit38::taxpayer_id}, {kPitM, 0, pit_m::taxpayer_id}}},
      {"spouse surname from a joint PIT-37",
       kJoint,
       kIdNip,
       kIdPesel,
       {kPit37, 0, pit37::spouse_surname},
       {{kPitO, 0, pit_o::spouse_surname},
        {kPitD, 0, pit_d::spouse_surname},
        {kPit28, 2, pit28::surname},
        {kPitUZ, 0, pit_uz::spouse_surname},
        {kPit36, 0, pit36::spouse_surname}}},
      {"spouse PESEL from a joint PIT-37",
       kJoint,
       kIdNip,
       kIdPesel,
       {kPit37, 0, pit37::spouse_id},
       {{kPitO, 0, pit_o::spouse_id},
        {kPitD, 0, pit_d::spouse_id},
        {kPit28, 2, pit28::taxpayer_id},
        {kPitO, 2, pit_o::taxpayer_id}}},
      {"spouse address into the spouse's PIT-28",
       kJoint,
       kIdNip,
       kIdNip,
       {kPit37, 0, pit37::spouse_street},
       {{kPit28, 2, pit28::street}}},
      {"spouse country into the spouse's PIT-28",
       kJoint,
       kIdNip,
       kIdNip,
       {kPit37, 0, pit37::spouse_country},
       {{kPit28, 2, pit28::country}}},
      {"date of birth from PIT/2K",
       kIndividual,
       kIdNip,
       kIdNone,
       {kPit2K, 0, pit_2k::taxpayer_birth_date},
       {{kPit37, 0, pit37::taxpayer_birth_date},
        {kPitO, 0, pit_o::taxpayer_birth_date},
        {kPitD, 0, pit_d::taxpayer_birth_date}}},
      {"payer NIP from PIT-11",
       kPayerForms,
       kIdNip,
       kIdNone,
       {kPit11, 0, pit11::payer_nip},
       {{kPit40, 0, pit40::payer_nip}, {kPitR, 0, pit_r::payer_nip}}},
      {"payer name from PIT-11",
       kPayerForms,
       kIdNip,
       kIdNone,
       {kPit11, 0, pit11::payer_name},
       {{kPit40, 0, pit40::payer_name}, {kPitR, 0, pit_r::payer_name}}},
      {"NIP-7 identifier",
       kRegistrationForms,
       kIdNip,
       kIdNone,
       {kNip7, 0, nip7::nip},
       {{kNipB, 0, nip_b::taxpayer_id}, {kNipC, 0, nip_c::taxpayer_id}}},
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
  fx.s.WriteOfficeCode(ret, 7, "1471");
  fx.Run(ret);
  EXPECT_EQ(fx.Get(pit38, 2), "Urząd Skarbowy Warszawa-Bemowo");
  EXPECT_EQ(fx.Slot(pit38, 2).OfficeCode, "1471");

  CalcFixture payer(kPayerForms);
  const int p11 = payer.Add(kPit11);
  const int p40 = payer.Add(kPit40);
  payer.Tick(p11, pit11::payer_entity, "1");
  payer.Run(p11);
  EXPECT_TRUE(payer.Slot(p40, pit40::payer_entity).CheckState);
  EXPECT_EQ(payer.Get(p40, pit40::payer_entity), "1");
  EXPECT_FALSE(payer.Slot(p40, pit40::payer_person).CheckState);
}

// Every taxpayer and payer field of the payer forms has its own place in the
// records: typed into PIT-11, it reaches that place and the same field of
// PIT-40 and PIT-R (which has no address and no natural person's names).
TEST(IdentificationExchange, PayerFormsShareEachFieldInItsOwnPlace) {
  constexpr int kNone = -1;
  struct Row {
    const char* value;
    std::string IdentificationRecord::*taxpayer;
    std::string PayerRecord::*payer;
    int p11, p40, r;
  };
  const std::vector<Row> rows = {
      {"NOWAK", &IdentificationRecord::Surname, nullptr, pit11::surname, pit40::surname, pit_r::surname},
      {"JAN", &IdentificationRecord::FirstName, nullptr, pit11::first_name, pit40::first_name, pit_r::first_name},
      {"01-02-1980", &IdentificationRecord::BirthDate, nullptr, pit11::birth_date, pit40::birth_date,
       pit_r::birth_date},
      {"Urząd Skarbowy w Kutnie", &IdentificationRecord::TaxOffice, nullptr, pit11::office, pit40::office,
       pit_r::office},
      {"MAZOWIECKIE", &IdentificationRecord::Voivodeship, nullptr, pit11::voivodeship, pit40::voivodeship, kNone},
      {"KUTNOWSKI", &IdentificationRecord::County, nullptr, pit11::county, pit40::county, kNone},
      {"POLSKA", &IdentificationRecord::Country, nullptr, pit11::country, pit40::country, kNone},
      {"KROŚNIEWICE", &IdentificationRecord::Commune, nullptr, pit11::commune, pit40::commune, kNone},
      {"POLNA", &IdentificationRecord::Street, nullptr, pit11::street, pit40::street, kNone},
      {"12A", &IdentificationRecord::HouseNo, nullptr, pit11::house_no, pit40::house_no, kNone},
      {"3", &IdentificationRecord::FlatNo, nullptr, pit11::flat_no, pit40::flat_no, kNone},
      {"ŁĘKI", &IdentificationRecord::Town, nullptr, pit11::town, pit40::town, kNone},
      {"99-340", &IdentificationRecord::PostalCode, nullptr, pit11::postal_code, pit40::postal_code, kNone},
      {"KROŚNIEWICE P.", &IdentificationRecord::PostOffice, nullptr, pit11::post_office, pit40::post_office, kNone},
      {"5260250995", nullptr, &PayerRecord::NIP, pit11::payer_nip, pit40::payer_nip, pit_r::payer_nip},
      {"RSP ZGODA", nullptr, &PayerRecord::PayerName1, pit11::payer_name, pit40::payer_name, pit_r::payer_name},
      {"012345678", nullptr, &PayerRecord::PayerName2, pit11::payer_regon, pit40::payer_regon, pit_r::payer_regon},
      {"KOWALSKI", nullptr, &PayerRecord::PayerName3, pit11::payer_surname, pit40::payer_surname, kNone},
      {"ADAM", nullptr, &PayerRecord::PayerName4, pit11::payer_first_name, pit40::payer_first_name, kNone},
      {"03-04-1960", nullptr, &PayerRecord::PayerName5, pit11::payer_birth_date, pit40::payer_birth_date, kNone},
  };
  CalcFixture fx(kPayerForms, kIdNone);
  const int p11 = fx.Add(kPit11);
  const int r = fx.Add(kPitR, p11);
  const int p40 = fx.Add(kPit40);
  for (const Row& row : rows) fx.Set(p11, row.p11, row.value);
  fx.Run(p11);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    if (row.taxpayer) EXPECT_EQ(fx.ids.Taxpayer.*row.taxpayer, row.value);
    if (row.payer) EXPECT_EQ(fx.ids.Payer.*row.payer, row.value);
    EXPECT_EQ(fx.Get(p40, row.p40), row.value);
    if (row.r != kNone) EXPECT_EQ(fx.Get(r, row.r), row.value);
  }
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
