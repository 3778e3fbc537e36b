// Forms without amounts: identifier marks, purpose boxes and screen rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"
#include "forms/nip7_fields.h"
#include "forms/pit11_fields.h"
#include "forms/pit16a_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit_2k_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/upkd_fields.h"
#include "forms/upkd_ord_zu_fields.h"
#include "forms/zap3_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;

TEST(IdentifierByLength, ElevenIsPeselTenIsNip) {
  struct Case {
    int idPit, idField, peselLine, nipLine;
    const char* text;
    int pesel, nip;
  };
  using namespace nip7;
  const int nip7Id = taxpayer_id, nip7OverNip = taxpayer_id_strike_nip, nip7OverPesel = taxpayer_id_strike_pesel;
  const int zap3Id = zap3::taxpayer_id, zap3OverNip = zap3::taxpayer_id_strike_nip,
            zap3OverPesel = zap3::taxpayer_id_strike_pesel;
  const std::vector<Case> cases = {
      {kNip7, nip7Id, nip7OverNip, nip7OverPesel, "80010112345", 1, 0},
      {kNip7, nip7Id, nip7OverNip, nip7OverPesel, "1234567890", 0, 1},
      {kNip7, nip7Id, nip7OverNip, nip7OverPesel, "123", 0, 0},
      {kZap3, zap3Id, zap3OverNip, zap3OverPesel, "80010112345", 1, 0},
      {kZap3, zap3Id, zap3OverNip, zap3OverPesel, "1234567890", 0, 1},
      {kZap3, zap3Id, zap3OverNip, zap3OverPesel, "", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CalcFixture fx(kRegistrationForms);
    const int e = fx.Add(c.idPit);
    fx.s.WriteOption(e, c.peselLine, 1);
    fx.s.WriteOption(e, c.nipLine, 1);
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
  using namespace pit_2k;
  const std::vector<int> pit2kLines = {taxpayer_id_strike_nip, taxpayer_id_strike_pesel, spouse_id_strike_nip,
                                       spouse_id_strike_pesel};
  const std::vector<int> pit37Lines = {pit37::taxpayer_id_strike_nip, pit37::taxpayer_id_strike_pesel,
                                       pit37::spouse_id_strike_nip, pit37::spouse_id_strike_pesel};
  const std::vector<Case> cases = {
      {"PIT/2K, taxpayer NIP, no spouse", kIndividual, kIdNip, kIdNone, kPit2K, pit2kLines, {0, 1, 0, 0}},
      {"PIT/2K, PESEL and spouse NIP", kIndividual, kIdPesel, kIdNip, kPit2K, pit2kLines, {1, 0, 0, 1}},
      {"PIT-37 joint", kJoint, kIdNip, kIdPesel, kPit37, pit37Lines, {0, 1, 1, 0}},
      {"PIT-37 individual keeps spouse lines", kIndividual, kIdPesel, kIdNone, kPit37, pit37Lines, {1, 0, 7, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(c.kind, c.spouse);
    fx.s.TaxpayerIdKind = c.taxpayer;
    const int e = fx.Add(c.idPit);
    for (int line : c.lines) fx.s.WriteOption(e, line, 7);
    fx.Show(e);
    fx.Run(e);
    for (std::size_t i = 0; i < c.lines.size(); ++i)
      EXPECT_EQ(fx.Slot(e, c.lines[i]).Option, c.expected[i]) << "line " << c.lines[i];
    EXPECT_EQ(fx.display.flags[0].maxChar, c.taxpayer == kIdPesel ? 11 : 10);
  }
}

TEST(Upkd, ReadOnlyFieldsAndPayerIdentifier) {
  const std::vector<int> spouseFields = {upkd::spouse_id, upkd::spouse_surname, upkd::spouse_first_name,
                                         upkd::spouse_birth_date};
  {
    CalcFixture fx(kJoint, kIdPesel);
    const int ret = fx.Add(kPit37);
    const int u = fx.Add(kUpkd, ret);
    fx.Show(u);
    fx.Run(u);
    for (int k : spouseFields) EXPECT_FALSE(fx.display.ReadOnly(k)) << k;  // the joint return itself
    EXPECT_EQ(fx.Slot(u, upkd::spouse_id_strike_nip).Option, 1);           // drawn for the spouse's PESEL
    EXPECT_EQ(fx.Slot(u, upkd::taxpayer_id_strike_nip).Option, 0);
  }
  {
    CalcFixture fx(kIndividual);
    const int ret = fx.Add(kPit37);
    const int u = fx.Add(kUpkd, ret);
    fx.Show(u);
    fx.Run(u);
    for (int k : spouseFields) EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
  }
  {
    CalcFixture fx(kPayerForms);
    const int p11 = fx.Add(kPit11);
    const int u = fx.Add(kUpkdOrdZu, p11);
    fx.Tick(p11, pit11::payer_person, "2");
    fx.Run(p11);  // the tick is committed in the PIT-11 first
    fx.Show(u);
    fx.Run(u);
    using namespace upkd_ord_zu;
    EXPECT_EQ(fx.Slot(u, taxpayer_id_strike_nip).Option, 0);
    EXPECT_EQ(fx.Slot(u, taxpayer_id_strike_pesel).Option, 1);
    EXPECT_EQ(fx.display.flags[0].maxChar, 10);
    EXPECT_FALSE(fx.display.ReadOnly(taxpayer_birth_date));
    EXPECT_TRUE(fx.display.ReadOnly(taxpayer_short_name));
    EXPECT_TRUE(fx.display.ReadOnly(spouse_surname));
  }
}

TEST(Pit16A, PurposeAndRequiredDescriptions) {
  using namespace pit16a;
  CalcFixture fx;
  const int e = fx.Add(kPit16A);
  fx.Set(e, {{january_deductible, "10,00"}, {february_deductible, "0,00"}});
  fx.Show(e);
  fx.display.clicked = purpose_correction;
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, purpose_filing).CheckState);
  EXPECT_FALSE(fx.Slot(e, purpose_correction).CheckState);
  EXPECT_TRUE(fx.display.MustBe(january_paid));
  EXPECT_FALSE(fx.display.MustBe(february_paid));
  ASSERT_EQ(fx.display.correctionInfos.size(), 1u);
  EXPECT_EQ(fx.display.correctionInfos[0].first, "Informacja - korekta zeznania PIT-16A");
  fx.Add(kUpkd, e);
  fx.Run(e);
  EXPECT_TRUE(fx.Slot(e, purpose_correction).CheckState);
  EXPECT_EQ(fx.Get(e, purpose_correction), "2");
}

TEST(SpouseFieldRules, ApplyOnlyWithoutTheSpouse) {
  {
    CalcFixture fx(kIndividual, kIdNone);
    fx.OnDisplay([&] { SpouseFieldRules(fx.ctx, kPit37); });
    using namespace pit37;
    for (int k : {spouse_id, filing_joint, filing_joint_deceased, spouse_surname, spouse_post_office,
                  spouse_employment_revenue, spouse_total_advance, spouse_employment_extra_revenue,
                  spouse_rights_extra_costs, spouse_income_deductions, spouse_social_insurance, spouse_tax_deductions,
                  spouse_health_insurance})
      EXPECT_TRUE(fx.display.ReadOnly(k)) << k;
    EXPECT_FALSE(fx.display.ReadOnly(taxpayer_employment_revenue));
  }
  {
    CalcFixture fx(kJoint, kIdNip);
    fx.OnDisplay([&] { SpouseFieldRules(fx.ctx, kPit37); });
    EXPECT_TRUE(fx.display.flags.empty());
  }
  {
    CalcFixture fx(kIndividual, kIdNip);
    fx.s.SpouseData.PitD = true;  // spouse data entered in PIT/D
    fx.OnDisplay([&] { SpouseFieldRules(fx.ctx, kPitD); });
    EXPECT_TRUE(fx.display.flags.empty());
    fx.s.SpouseData.PitD = false;
    fx.OnDisplay([&] { SpouseFieldRules(fx.ctx, kPitD); });
    EXPECT_TRUE(fx.display.ReadOnly(pit_d::loan_pit28_spouse));
    EXPECT_FALSE(fx.display.Visible(pit_d::spouse_id_strike_nip));
  }
  {
    CalcFixture fx(kIndividual, kIdNone);
    const int ret = fx.Add(kPit37);
    const int o = fx.Add(kPitO, ret);
    using namespace pit_o;
    fx.Edit(o, child1_spouse_january, [](ValueSlot& v) { v.Typ = kCheckbox; });
    fx.Tick(o, child1_spouse_january, "1");
    fx.Set(o, child1_spouse_whole_year, "kept");  // not a box
    fx.Show(o);
    fx.OnDisplay([&] { SpouseFieldRules(fx.ctx, kPitO); });
    EXPECT_FALSE(fx.Slot(o, child1_spouse_january).CheckState);
    EXPECT_EQ(fx.Get(o, child1_spouse_whole_year), "kept");
    EXPECT_FALSE(fx.display.Visible(spouse_id_strike_nip));
    EXPECT_TRUE(fx.display.ReadOnly(child5_spouse_relief));
  }
}

}  // namespace
}  // namespace pit
