// PIT-11, PIT-40 and PIT-R: amounts, the payer's kind and the PIT-R link.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"
#include "forms/definition_files.h"
#include "forms/pit11_fields.h"
#include "forms/pit40_fields.h"
#include "forms/pit_r_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;
using Values = std::map<int, std::string>;

TEST(Pit40, TaxByTheScaleAgainstTheAdvances) {
  using namespace pit40;
  struct Case {
    const char* name;
    Values typed;
    Values expected;
  };
  const std::vector<Case> cases = {
      {"one salary",
       {{employment_revenue, "60000,00"}, {employment_costs, "1335,00"}},
       {{employment_income, "58665,00"},
        {total_revenue, "60000,00"},
        {total_costs, "1335,00"},
        {total_income, "58665,00"},
        {tax_base, "58665,00"},
        {scale_tax, "10003,68"},
        {tax, "10003,68"},
        {tax_due, "10004,00"},
        {total_advance, "0,00"},
        {to_pay, "10004,00"},
        {overpaid, "0,00"}}},
      {"advances equal to the tax due",
       {{employment_revenue, "60000,00"},
        {employment_costs, "1335,00"},
        {employment_advance, "6000,00"},
        {detention_advance, "4004,00"},
        {detention_revenue, "1,00"}},
       {{detention_income, "1,00"},
        {total_income, "58666,00"},
        {scale_tax, "10003,86"},
        {tax_due, "10004,00"},
        {total_advance, "10004,00"},
        {to_pay, "0,00"},
        {overpaid, "0,00"}}},
      {"advances above the tax",
       {{employment_revenue, "20000,00"}, {employment_advance, "4000,00"}},
       {{scale_tax, "3043,98"}, {tax_due, "3044,00"}, {to_pay, "0,00"}, {overpaid, "956,00"}}},
      {"costs above the revenue in every row",
       {{employment_revenue, "100,00"},
        {employment_costs, "500,00"},
        {employment_extra_revenue, "10,00"},
        {employment_extra_costs, "20,00"},
        {cooperative_revenue, "50,00"},
        {cooperative_costs, "80,00"},
        {mandate_revenue, "30,00"},
        {work_contract_revenue, "40,00"},
        {mandate_costs, "200,00"},
        {personal_revenue, "5,00"},
        {personal_costs, "9,00"}},
       {{employment_costs, "100,00"},
        {employment_extra_costs, "10,00"},
        {employment_income, "0,00"},
        {cooperative_costs, "50,00"},
        {cooperative_income, "0,00"},
        {mandate_costs, "70,00"},
        {mandate_income, "0,00"},
        {personal_costs, "5,00"},
        {personal_income, "0,00"},
        {total_revenue, "235,00"},
        {total_costs, "235,00"},
        {total_income, "0,00"}}},
      {"deductions from income capped at the income, in order",
       {{pension_revenue, "1000,00"},
        {social_insurance, "400,00"},
        {social_insurance_abroad, "500,00"},
        {internet, "700,00"},
        {other_deductions, "100,00"}},
       {{pension_income, "1000,00"},
        {total_income, "1000,00"},
        {social_insurance, "400,00"},
        {social_insurance_abroad, "400,00"},
        {internet, "600,00"},
        {other_deductions, "0,00"},
        {tax_base, "0,00"},
        {scale_tax, "0,00"},
        {tax_due, "0,00"}}},
      {"the whole income deducted by the first deduction",
       {{benefit_revenue, "300,00"}, {social_insurance, "900,00"}, {internet, "50,00"}, {other_deductions, "50,00"}},
       {{social_insurance, "300,00"}, {internet, "0,00"}, {other_deductions, "0,00"}, {tax_base, "0,00"}}},
      {"health contributions and the child relief never above the tax",
       {{employment_revenue, "30867,00"},
        {tax_additions, "900,00"},
        {health_insurance, "4000,00"},
        {health_insurance_abroad, "9000,00"},
        {child_count, "2"},
        {child_relief, "2000,00"}},
       {{scale_tax, "5000,04"},
        {tax_additions, "900,00"},
        {tax, "5900,04"},
        {health_insurance_deducted, "4000,00"},
        {health_insurance_abroad, "4000,00"},
        {child_relief, "1900,04"},
        {tax_due, "0,00"}}},
      {"health contributions above the tax",
       {{employment_revenue, "30867,00"}, {health_insurance, "6000,00"}, {child_count, "1"}, {child_relief, "10,00"}},
       {{health_insurance_deducted, "5000,04"}, {child_relief, "0,00"}, {tax_due, "0,00"}}},
      {"a base rounded up at 50 groszy",
       {{employment_revenue, "30000,50"}},
       {{total_income, "30000,50"}, {tax_base, "30001,00"}, {scale_tax, "4844,16"}, {tax_due, "4844,00"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(kPayerForms);
    const int e = fx.Add(kPit40);
    fx.Set(e, c.typed);
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(e, k), v) << "field " << k;
  }
}

// The statutory limits of the PIT/O hold on the PIT-40 as well, under the
// reduction notice: internet 760,00, the child relief by the number of
// children.
TEST(Pit40, StatutoryLimitsWithTheReductionNotice) {
  using namespace pit40;
  struct Case {
    const char* name;
    Values typed;
    Values expected;
    bool reduced;
  };
  const std::vector<Case> cases = {
      {"internet above its limit",
       {{employment_revenue, "60000,00"}, {internet, "2500,00"}},
       {{internet, "760,00"}, {tax_base, "59240,00"}},
       true},
      {"internet within its limit",
       {{employment_revenue, "60000,00"}, {internet, "760,00"}},
       {{internet, "760,00"}},
       false},
      {"one child's relief above its limit",
       {{employment_revenue, "60000,00"}, {child_count, "1"}, {child_relief, "4653,68"}},
       {{child_relief, "1112,04"}, {tax_due, "9132,00"}},
       true},
      {"four children's relief within the limit",
       {{employment_revenue, "60000,00"}, {child_count, "4"}, {child_relief, "6924,12"}},
       {{child_relief, "6924,12"}},
       false},
      // Kept until the number (then required) is typed.
      {"relief without the number of children",
       {{employment_revenue, "60000,00"}, {child_relief, "100,00"}},
       {{child_relief, "100,00"}},
       false},
      {"relief with no children",
       {{employment_revenue, "60000,00"}, {child_count, "0"}, {child_relief, "100,00"}},
       {{child_relief, "0,00"}},
       true},
  };
  const std::string notice =
      "   PIT-40. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
      "kwot w tym w załącznikach.";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(kPayerForms);
    const int e = fx.Add(kPit40);
    fx.Set(e, c.typed);
    fx.Show(e);
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(e, k), v) << "field " << k;
    EXPECT_EQ(fx.display.messages, c.reduced ? std::vector<std::string>{notice} : std::vector<std::string>{});
  }
}

TEST(Pit40, RequiredFieldsFollowTheRowsFilled) {
  using namespace pit40;
  CalcFixture fx(kPayerForms);
  const int e = fx.Add(kPit40);
  fx.Show(e);
  fx.Set(e, {{employment_extra_costs, "10,00"},
             {mandate_advance, "5,00"},
             {social_insurance, "500,00"},
             {social_insurance_abroad, "1,00"},
             {child_relief, "1,00"},
             {employment_revenue, "100000,00"}});
  fx.Run(e);
  EXPECT_TRUE(fx.display.MustBe(employment_revenue));
  EXPECT_TRUE(fx.display.MustBe(employment_advance));
  EXPECT_TRUE(fx.display.MustBe(mandate_revenue));  // an advance alone requires its row
  EXPECT_TRUE(fx.display.MustBe(mandate_advance));
  EXPECT_FALSE(fx.display.MustBe(detention_revenue));
  EXPECT_FALSE(fx.display.MustBe(cooperative_revenue));
  EXPECT_TRUE(fx.display.MustBe(social_insurance));
  EXPECT_TRUE(fx.display.MustBe(child_count));
  // Emptying the row drops the mark again.
  fx.Set(e, {{employment_extra_costs, "0,00"}, {employment_revenue, "0,00"}});
  fx.Run(e);
  EXPECT_FALSE(fx.display.MustBe(employment_revenue));
  EXPECT_FALSE(fx.display.MustBe(employment_advance));
}

// Which payer fields each kind of payer shows, requires and empties.
TEST(PayerKind, TheTickedKindShowsItsFieldsAndEmptiesTheOther) {
  struct Case {
    const char* name;
    int idPit;
    int box;
    const char* code;
    std::vector<int> visible, hidden, required, emptied, kept;
  };
  const std::vector<Case> cases = {
      {"PIT-11, not a natural person",
       kPit11,
       pit11::payer_entity,
       "1",
       {pit11::payer_name, pit11::payer_short_name, pit11::payer_regon},
       {pit11::payer_surname, pit11::payer_business_name, pit11::payer_first_name, pit11::payer_person_regon,
        pit11::payer_birth_date},
       {pit11::payer_name},
       {pit11::payer_surname, pit11::payer_first_name, pit11::payer_birth_date},
       {pit11::payer_regon}},
      {"PIT-11, a natural person",
       kPit11,
       pit11::payer_person,
       "2",
       {pit11::payer_surname, pit11::payer_business_name, pit11::payer_first_name, pit11::payer_person_regon,
        pit11::payer_birth_date},
       {pit11::payer_name, pit11::payer_short_name, pit11::payer_regon},
       {pit11::payer_surname, pit11::payer_first_name, pit11::payer_birth_date},
       {pit11::payer_name, pit11::payer_regon},
       {pit11::payer_birth_date}},
      {"PIT-40, not a natural person",
       kPit40,
       pit40::payer_entity,
       "1",
       {pit40::payer_name, pit40::payer_short_name, pit40::payer_regon},
       {pit40::payer_surname, pit40::payer_business_name, pit40::payer_first_name, pit40::payer_person_regon,
        pit40::payer_birth_date},
       {pit40::payer_name},
       {pit40::payer_surname, pit40::payer_first_name, pit40::payer_birth_date},
       {pit40::payer_regon}},
      {"PIT-40, a natural person",
       kPit40,
       pit40::payer_person,
       "2",
       {pit40::payer_surname, pit40::payer_business_name, pit40::payer_first_name, pit40::payer_person_regon,
        pit40::payer_birth_date},
       {pit40::payer_name, pit40::payer_short_name, pit40::payer_regon},
       {pit40::payer_surname, pit40::payer_first_name, pit40::payer_birth_date},
       {pit40::payer_name, pit40::payer_regon},
       {pit40::payer_birth_date}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(kPayerForms);
    const int e = fx.Add(c.idPit);
    for (int k : c.emptied) fx.Set(e, k, "stare");
    for (int k : c.kept) fx.Set(e, k, "zostaje");
    fx.Tick(e, c.box, c.code);
    fx.Show(e);
    fx.Run(e);
    for (int k : c.visible) EXPECT_TRUE(fx.display.Visible(k)) << k;
    for (int k : c.hidden) EXPECT_FALSE(fx.display.Visible(k)) << k;
    for (int k : c.required) EXPECT_TRUE(fx.display.MustBe(k)) << k;
    for (int k : c.emptied) EXPECT_EQ(fx.Get(e, k), "") << k;
    for (int k : c.kept) EXPECT_EQ(fx.Get(e, k), "zostaje") << k;
  }
  // Without a kind ticked nothing of the payer's names shows.
  using namespace pit11;
  CalcFixture fx(kPayerForms);
  const int e = fx.Add(kPit11);
  fx.Show(e);
  fx.Run(e);
  for (int k : {payer_name, payer_short_name, payer_regon, payer_surname, payer_business_name, payer_first_name,
                payer_person_regon, payer_birth_date})
    EXPECT_FALSE(fx.display.Visible(k)) << k;
}

TEST(Pit11, CapsAndDifferences) {
  using namespace pit11;
  CalcFixture fx(kPayerForms);
  const int e = fx.Add(kPit11);
  fx.Set(e, {{employment_revenue, "5000,00"},
             {employment_costs, "6000,00"},
             {employment_extra_revenue, "1000,00"},
             {employment_extra_costs, "300,00"},
             {detention_revenue, "12,34"},
             {pension_revenue, "7,00"},
             {benefit_revenue, "8,00"},
             {scholarship_revenue, "9,00"},
             {personal_revenue, "100,00"},
             {personal_costs, "150,00"},
             {cooperative_revenue, "80,00"},
             {cooperative_costs, "20,00"},
             {mandate_revenue, "100,00"},
             {work_contract_revenue, "50,00"},
             {mandate_costs, "400,00"},
             {rights_revenue, "10,00"},
             {rights_costs, "11,00"},
             {other_revenue, "3,00"},
             {social_insurance, "10,00"},
             {social_insurance_deductible, "20,00"},
             {health_insurance, "5,00"},
             {health_insurance_deductible, "4,00"}});
  fx.Run(e);
  const Values expected = {{employment_costs, "5000,00"},
                           {employment_extra_costs, "300,00"},
                           {employment_income, "700,00"},
                           {detention_income, "12,34"},
                           {pension_income, "7,00"},
                           {benefit_income, "8,00"},
                           {scholarship_income, "9,00"},
                           {personal_costs, "100,00"},
                           {personal_income, "0,00"},
                           {cooperative_income, "60,00"},
                           {mandate_costs, "150,00"},
                           {mandate_income, "0,00"},
                           {rights_costs, "10,00"},
                           {rights_income, "0,00"},
                           {other_income, "3,00"},
                           {social_insurance_deductible, "10,00"},
                           {health_insurance_deductible, "4,00"}};
  for (const auto& [k, v] : expected) EXPECT_EQ(fx.Get(e, k), v) << "field " << k;
  // Purpose and the PIT-R boxes without attachments.
  EXPECT_EQ(fx.Get(e, purpose_filing), "1");
  EXPECT_EQ(fx.Get(e, purpose_correction), "");
  EXPECT_FALSE(fx.Slot(e, pit_r_attached).CheckState);
  EXPECT_TRUE(fx.Slot(e, pit_r_not_attached).CheckState);
  EXPECT_EQ(fx.Get(e, pit_r_not_attached), "2");
}

TEST(Pit11, RequiredGroups) {
  using namespace pit11;
  CalcFixture fx(kPayerForms);
  const int e = fx.Add(kPit11);
  fx.Show(e);
  fx.Set(e, {{employment_exempt, "1,00"}, {work_contract_revenue, "1,00"}, {health_insurance, "1,00"}});
  fx.Run(e);
  for (int k : {employment_revenue, employment_advance, work_contract_revenue, mandate_costs, social_insurance,
                health_insurance})
    EXPECT_TRUE(fx.display.MustBe(k)) << k;
  for (int k : {employment_extra_revenue, employment_extra_costs, detention_revenue, detention_advance, mandate_revenue,
                mandate_advance})
    EXPECT_FALSE(fx.display.MustBe(k)) << k;
}

TEST(PitR, MonthsAreCappedAndTheTotalReachesThePit11) {
  using namespace pit_r;
  CalcFixture fx(kPayerForms);
  const int p11 = fx.Add(kPit11);
  const int r = fx.Add(kPitR, p11);
  fx.Tick(p11, pit11::payer_person, "2");
  fx.Set(p11, {{pit11::cooperative_revenue, "999,00"}, {pit11::cooperative_costs, "5000,00"}});
  // January: deductions above the amount; February: the second one too
  // much; March: in order; December: nothing deducted.
  fx.Set(r, {{january_paid, "100,00"},
             {january_exempt, "150,00"},
             {january_reductions, "30,00"},
             {february_paid, "200,00"},
             {february_exempt, "50,00"},
             {february_reductions, "170,00"},
             {march_paid, "300,00"},
             {march_exempt, "10,00"},
             {march_reductions, "20,00"},
             {december_paid, "1000,00"}});
  fx.Show(r);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  const Values expected = {{january_exempt, "100,00"}, {january_reductions, "0,00"},    {january_revenue, "0,00"},
                           {february_exempt, "50,00"}, {february_reductions, "150,00"}, {february_revenue, "0,00"},
                           {march_revenue, "270,00"},  {april_revenue, "0,00"},         {december_revenue, "1000,00"},
                           {total_revenue, "1270,00"}};
  for (const auto& [k, v] : expected) EXPECT_EQ(fx.Get(r, k), v) << "field " << k;

  // The PIT-11: the cooperative's kind of payer, its revenue from the total,
  // its costs and income recomputed at once, and the PIT-R box.
  EXPECT_EQ(fx.Get(p11, pit11::payer_entity), "1");
  EXPECT_TRUE(fx.Slot(p11, pit11::payer_entity).CheckState);
  EXPECT_FALSE(fx.Slot(p11, pit11::payer_person).CheckState);
  EXPECT_EQ(fx.Get(p11, pit11::payer_person), "");
  EXPECT_EQ(fx.Get(p11, pit11::cooperative_revenue), "1270,00");
  EXPECT_EQ(fx.Get(p11, pit11::cooperative_costs), "1270,00");
  EXPECT_EQ(fx.Get(p11, pit11::cooperative_income), "0,00");
  EXPECT_TRUE(fx.Slot(p11, pit11::pit_r_attached).CheckState);
  EXPECT_EQ(fx.Get(p11, pit11::pit_r_attached), "1");
  EXPECT_FALSE(fx.Slot(p11, pit11::pit_r_not_attached).CheckState);
  EXPECT_EQ(fx.Get(r, purpose_filing), "1");

  // On the PIT-11 page the kind of payer and the revenue are the PIT-R's.
  fx.Show(p11);
  fx.Run(p11);
  EXPECT_TRUE(fx.display.ReadOnly(pit11::payer_entity));
  EXPECT_TRUE(fx.display.ReadOnly(pit11::payer_person));
  EXPECT_TRUE(fx.display.ReadOnly(pit11::cooperative_revenue));
  EXPECT_TRUE(fx.display.Visible(pit11::payer_name));
}

TEST(PitR, UnderPit40TicksItsBoxesAndCorrectionFollowsTheParent) {
  CalcFixture fx(kPayerForms);
  const int p40 = fx.Add(kPit40);
  const int r = fx.Add(kPitR, p40);
  const int upkd = fx.Add(kUpkdPayer, p40);
  fx.Tick(p40, pit40::payer_person, "2");
  fx.Run(r);
  EXPECT_TRUE(fx.Slot(p40, pit40::payer_entity).CheckState);
  EXPECT_EQ(fx.Get(p40, pit40::payer_entity), "1");
  EXPECT_FALSE(fx.Slot(p40, pit40::payer_person).CheckState);
  EXPECT_EQ(fx.Get(r, pit_r::purpose_correction), "2");
  EXPECT_EQ(fx.Get(r, pit_r::purpose_filing), "");
  fx.Run(p40);
  EXPECT_EQ(fx.Get(p40, pit40::pit_r_attached), "1");
  EXPECT_EQ(fx.Get(p40, pit40::purpose_correction), "2");
  EXPECT_EQ(fx.Get(p40, pit40::purpose_filing), "");
  // Without the UPKD the forms are filed, not corrected.
  fx.s.RemoveAt(upkd);
  fx.Run(r);
  fx.Run(p40);
  EXPECT_EQ(fx.Get(r, pit_r::purpose_filing), "1");
  EXPECT_EQ(fx.Get(p40, pit40::purpose_filing), "1");
}

// A PIT-R that has never been calculated still fixes the kind of payer, so
// the payer's name fields of that kind are there to be filled.
TEST(PayerKind, AnAttachedPitRTicksTheCooperativeKind) {
  struct Case {
    int idPit;
    int entityBox, personBox, name;
  };
  for (const Case& c : {Case{kPit11, pit11::payer_entity, pit11::payer_person, pit11::payer_name},
                        Case{kPit40, pit40::payer_entity, pit40::payer_person, pit40::payer_name}}) {
    SCOPED_TRACE(c.idPit);
    CalcFixture fx(kPayerForms);
    const int e = fx.Add(c.idPit);
    fx.Add(kPitR, e);
    fx.Tick(e, c.personBox, "2");
    fx.Show(e);
    fx.Run(e);
    EXPECT_TRUE(fx.Slot(e, c.entityBox).CheckState);
    EXPECT_EQ(fx.Get(e, c.entityBox), "1");
    EXPECT_FALSE(fx.Slot(e, c.personBox).CheckState);
    EXPECT_TRUE(fx.display.ReadOnly(c.entityBox));
    EXPECT_TRUE(fx.display.Visible(c.name));
  }
}

// The payer's NIP and names typed into one payer form appear in the other
// forms of the settlement, and the taxpayer's data with them.
TEST(PayerRecord, TravelsBetweenPit11Pit40AndPitR) {
  CalcFixture fx(kPayerForms);
  const int p11 = fx.Add(kPit11);
  const int r = fx.Add(kPitR, p11);
  const int p40 = fx.Add(kPit40);
  fx.Tick(p11, pit11::payer_entity, "1");
  fx.Set(p11, {{pit11::payer_nip, "5260250995"},
               {pit11::payer_name, "SPÓŁDZIELNIA ROLNA"},
               {pit11::payer_regon, "012345678"},
               {pit11::taxpayer_id, "1234567890"},
               {pit11::surname, "NOWAK"},
               {pit11::first_name, "JAN"},
               {pit11::town, "WARSZAWA"}});
  fx.Run(p11);
  EXPECT_EQ(fx.ids.Payer.NIP, "5260250995");
  EXPECT_EQ(fx.ids.Payer.PayerName1, "SPÓŁDZIELNIA ROLNA");
  EXPECT_EQ(fx.ids.PayerForm.VariantA, true);
  const Values inPit40 = {{pit40::payer_nip, "5260250995"},  {pit40::payer_name, "SPÓŁDZIELNIA ROLNA"},
                          {pit40::payer_regon, "012345678"}, {pit40::taxpayer_id, "1234567890"},
                          {pit40::surname, "NOWAK"},         {pit40::first_name, "JAN"},
                          {pit40::town, "WARSZAWA"}};
  for (const auto& [k, v] : inPit40) EXPECT_EQ(fx.Get(p40, k), v) << "PIT-40 field " << k;
  EXPECT_TRUE(fx.Slot(p40, pit40::payer_entity).CheckState);
  const Values inPitR = {{pit_r::payer_nip, "5260250995"},
                         {pit_r::payer_name, "SPÓŁDZIELNIA ROLNA"},
                         {pit_r::payer_regon, "012345678"},
                         {pit_r::taxpayer_id, "1234567890"},
                         {pit_r::surname, "NOWAK"}};
  for (const auto& [k, v] : inPitR) EXPECT_EQ(fx.Get(r, k), v) << "PIT-R field " << k;

  // Back from the PIT-40: a new name reaches the PIT-11.
  fx.Set(p40, pit40::payer_name, "RSP ZGODA");
  fx.Run(p40);
  EXPECT_EQ(fx.Get(p11, pit11::payer_name), "RSP ZGODA");
  EXPECT_EQ(fx.Get(r, pit_r::payer_name), "RSP ZGODA");
}

TEST(PayerForms, CalculatingTwiceChangesNothing) {
  CalcFixture fx(kPayerForms);
  const int p11 = fx.Add(kPit11);
  const int r = fx.Add(kPitR, p11);
  fx.Set(p11, {{pit11::employment_revenue, "5000,00"},
               {pit11::employment_costs, "6000,00"},
               {pit11::mandate_revenue, "10,00"},
               {pit11::mandate_costs, "99,00"}});
  fx.Set(r, {{pit_r::january_paid, "100,00"}, {pit_r::january_exempt, "150,00"}});
  for (int e : {r, p11}) fx.Run(e);
  const auto once = fx.Snapshot();
  for (int e : {r, p11}) fx.Run(e);
  EXPECT_EQ(fx.Snapshot(), once);
}

TEST(PayerForms, CorrectionInfoWhenTheKorektaBoxIsClicked) {
  for (int idPit : {kPit11, kPit40}) {
    CalcFixture fx(kPayerForms);
    const int e = fx.Add(idPit);
    fx.Show(e);
    fx.display.clicked = idPit == kPit11 ? int{pit11::purpose_correction} : int{pit40::purpose_correction};
    fx.Run(e);
    ASSERT_EQ(fx.display.correctionInfos.size(), 1u);
    EXPECT_EQ(fx.display.correctionInfos[0].first,
              std::string("Informacja - korekta zeznania ") + (idPit == kPit11 ? "PIT-11" : "PIT-40"));
  }
}

// The list of unfilled required fields names the fields of these forms by
// their hints, so every exported field of the shipped definitions has one.
TEST(PayerForms, ShippedFieldsHaveTheHintsValidationShows) {
  for (int idPit : {kPit40, kPit11, kPitR}) {
    SCOPED_TRACE(idPit);
    const auto fields = LoadFieldObjects(DcsPath(std::string(PIT_BIN_DIR) + "/dc", idPit));
    ASSERT_TRUE(fields.has_value());
    for (const FieldObject& f : *fields) {
      if (f.XMLNode.empty()) continue;
      EXPECT_FALSE(f.Hint.empty()) << "field " << f.ID << " (" << f.XMLNode << ")";
    }
  }
}

}  // namespace
}  // namespace pit
