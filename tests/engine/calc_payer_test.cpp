// PIT-11, PIT-40 and PIT-R: amounts, the payer's kind and the PIT-R link.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"
#include "forms/definition_files.h"
#include "forms/pit40_fields.h"

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
    std::vector<int> visible, hidden, required, emptied, kept;
  };
  const std::vector<Case> cases = {
      {"PIT-11, not a natural person", kPit11, 6, {8, 97, 100}, {9, 98, 95, 99, 96}, {8}, {9, 95, 96}, {100}},
      {"PIT-11, a natural person", kPit11, 7, {9, 98, 95, 99, 96}, {8, 97, 100}, {9, 95, 96}, {8, 100}, {96}},
      {"PIT-40, not a natural person", kPit40, 5, {6, 102, 103}, {8, 101, 99, 100, 98}, {6}, {8, 99, 98}, {103}},
      {"PIT-40, a natural person", kPit40, 7, {8, 101, 99, 100, 98}, {6, 102, 103}, {8, 99, 98}, {6, 103}, {98}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx(kPayerForms);
    const int e = fx.Add(c.idPit);
    for (int k : c.emptied) fx.Set(e, k, "stare");
    for (int k : c.kept) fx.Set(e, k, "zostaje");
    fx.Tick(e, c.box, c.box == 7 ? "2" : "1");
    fx.Show(e);
    fx.Run(e);
    for (int k : c.visible) EXPECT_TRUE(fx.display.Visible(k)) << k;
    for (int k : c.hidden) EXPECT_FALSE(fx.display.Visible(k)) << k;
    for (int k : c.required) EXPECT_TRUE(fx.display.MustBe(k)) << k;
    for (int k : c.emptied) EXPECT_EQ(fx.Get(e, k), "") << k;
    for (int k : c.kept) EXPECT_EQ(fx.Get(e, k), "zostaje") << k;
  }
  // Without a kind ticked nothing of the payer's names shows.
  CalcFixture fx(kPayerForms);
  const int e = fx.Add(kPit11);
  fx.Show(e);
  fx.Run(e);
  for (int k : {8, 97, 100, 9, 98, 95, 99, 96}) EXPECT_FALSE(fx.display.Visible(k)) << k;
}

TEST(Pit11, CapsAndDifferences) {
  CalcFixture fx(kPayerForms);
  const int e = fx.Add(kPit11);
  fx.Set(e, {{40, "5000,00"}, {41, "6000,00"}, {45, "1000,00"}, {46, "300,00"}, {47, "12,34"}, {50, "7,00"},
             {54, "8,00"},    {57, "9,00"},    {60, "100,00"},  {61, "150,00"}, {64, "80,00"}, {65, "20,00"},
             {68, "100,00"},  {93, "50,00"},   {69, "400,00"},  {72, "10,00"},  {73, "11,00"}, {76, "3,00"},
             {80, "10,00"},   {81, "20,00"},   {82, "5,00"},    {83, "4,00"}});
  fx.Run(e);
  const Values expected = {{41, "5000,00"}, {46, "300,00"}, {42, "700,00"}, {48, "12,34"}, {51, "7,00"},   {55, "8,00"},
                           {58, "9,00"},    {61, "100,00"}, {62, "0,00"},   {66, "60,00"}, {69, "150,00"}, {70, "0,00"},
                           {73, "10,00"},   {74, "0,00"},   {77, "3,00"},   {81, "10,00"}, {83, "4,00"}};
  for (const auto& [k, v] : expected) EXPECT_EQ(fx.Get(e, k), v) << "field " << k;
  // Purpose and the PIT-R boxes without attachments.
  EXPECT_EQ(fx.Get(e, 4), "1");
  EXPECT_EQ(fx.Get(e, 5), "");
  EXPECT_FALSE(fx.Slot(e, 86).CheckState);
  EXPECT_TRUE(fx.Slot(e, 87).CheckState);
  EXPECT_EQ(fx.Get(e, 87), "2");
}

TEST(Pit11, RequiredGroups) {
  CalcFixture fx(kPayerForms);
  const int e = fx.Add(kPit11);
  fx.Show(e);
  fx.Set(e, {{43, "1,00"}, {93, "1,00"}, {82, "1,00"}});
  fx.Run(e);
  for (int k : {40, 44, 93, 69, 80, 82}) EXPECT_TRUE(fx.display.MustBe(k)) << k;
  for (int k : {45, 46, 47, 49, 68, 71}) EXPECT_FALSE(fx.display.MustBe(k)) << k;
}

TEST(PitR, MonthsAreCappedAndTheTotalReachesThePit11) {
  CalcFixture fx(kPayerForms);
  const int p11 = fx.Add(kPit11);
  const int r = fx.Add(kPitR, p11);
  fx.Tick(p11, 7, "2");
  fx.Set(p11, {{64, "999,00"}, {65, "5000,00"}});
  // January: deductions above the amount; February: the second one too
  // much; March: in order; December: nothing deducted.
  fx.Set(r, {{34, "100,00"},
             {35, "150,00"},
             {36, "30,00"},
             {38, "200,00"},
             {39, "50,00"},
             {40, "170,00"},
             {42, "300,00"},
             {43, "10,00"},
             {44, "20,00"},
             {78, "1000,00"}});
  fx.Show(r);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  const Values expected = {{35, "100,00"}, {36, "0,00"},   {37, "0,00"}, {39, "50,00"},   {40, "150,00"},
                           {41, "0,00"},   {45, "270,00"}, {49, "0,00"}, {81, "1000,00"}, {82, "1270,00"}};
  for (const auto& [k, v] : expected) EXPECT_EQ(fx.Get(r, k), v) << "field " << k;

  // The PIT-11: the cooperative's kind of payer, its revenue from the total,
  // its costs and income recomputed at once, and the PIT-R box.
  EXPECT_EQ(fx.Get(p11, 6), "1");
  EXPECT_TRUE(fx.Slot(p11, 6).CheckState);
  EXPECT_FALSE(fx.Slot(p11, 7).CheckState);
  EXPECT_EQ(fx.Get(p11, 7), "");
  EXPECT_EQ(fx.Get(p11, 64), "1270,00");
  EXPECT_EQ(fx.Get(p11, 65), "1270,00");
  EXPECT_EQ(fx.Get(p11, 66), "0,00");
  EXPECT_TRUE(fx.Slot(p11, 86).CheckState);
  EXPECT_EQ(fx.Get(p11, 86), "1");
  EXPECT_FALSE(fx.Slot(p11, 87).CheckState);
  EXPECT_EQ(fx.Get(r, 4), "1");

  // On the PIT-11 page the kind of payer and the revenue are the PIT-R's.
  fx.Show(p11);
  fx.Run(p11);
  EXPECT_TRUE(fx.display.ReadOnly(6));
  EXPECT_TRUE(fx.display.ReadOnly(7));
  EXPECT_TRUE(fx.display.ReadOnly(64));
  EXPECT_TRUE(fx.display.Visible(8));
}

TEST(PitR, UnderPit40TicksItsBoxesAndCorrectionFollowsTheParent) {
  CalcFixture fx(kPayerForms);
  const int p40 = fx.Add(kPit40);
  const int r = fx.Add(kPitR, p40);
  const int upkd = fx.Add(kUpkdPayer, p40);
  fx.Tick(p40, 7, "2");
  fx.Run(r);
  EXPECT_TRUE(fx.Slot(p40, 5).CheckState);
  EXPECT_EQ(fx.Get(p40, 5), "1");
  EXPECT_FALSE(fx.Slot(p40, 7).CheckState);
  EXPECT_EQ(fx.Get(r, 5), "2");
  EXPECT_EQ(fx.Get(r, 4), "");
  fx.Run(p40);
  EXPECT_EQ(fx.Get(p40, 36), "1");
  EXPECT_EQ(fx.Get(p40, 4), "2");
  EXPECT_EQ(fx.Get(p40, 3), "");
  // Without the UPKD the forms are filed, not corrected.
  fx.s.RemoveAt(upkd);
  fx.Run(r);
  fx.Run(p40);
  EXPECT_EQ(fx.Get(r, 4), "1");
  EXPECT_EQ(fx.Get(p40, 3), "1");
}

// A PIT-R that has never been calculated still fixes the kind of payer, so
// the payer's name fields of that kind are there to be filled.
TEST(PayerKind, AnAttachedPitRTicksTheCooperativeKind) {
  for (int idPit : {kPit11, kPit40}) {
    SCOPED_TRACE(idPit);
    CalcFixture fx(kPayerForms);
    const int e = fx.Add(idPit);
    fx.Add(kPitR, e);
    fx.Tick(e, 7, "2");
    fx.Show(e);
    fx.Run(e);
    const int box = idPit == kPit11 ? 6 : 5;
    EXPECT_TRUE(fx.Slot(e, box).CheckState);
    EXPECT_EQ(fx.Get(e, box), "1");
    EXPECT_FALSE(fx.Slot(e, 7).CheckState);
    EXPECT_TRUE(fx.display.ReadOnly(box));
    EXPECT_TRUE(fx.display.Visible(idPit == kPit11 ? 8 : 6));
  }
}

// The payer's NIP and names typed into one payer form appear in the other
// forms of the settlement, and the taxpayer's data with them.
TEST(PayerRecord, TravelsBetweenPit11Pit40AndPitR) {
  CalcFixture fx(kPayerForms);
  const int p11 = fx.Add(kPit11);
  const int r = fx.Add(kPitR, p11);
  const int p40 = fx.Add(kPit40);
  fx.Tick(p11, 6, "1");
  fx.Set(p11, {{0, "5260250995"},
               {8, "SPÓŁDZIELNIA ROLNA"},
               {100, "012345678"},
               {21, "1234567890"},
               {22, "NOWAK"},
               {23, "JAN"},
               {33, "WARSZAWA"}});
  fx.Run(p11);
  EXPECT_EQ(fx.ids.Payer.NIP, "5260250995");
  EXPECT_EQ(fx.ids.Payer.PayerName1, "SPÓŁDZIELNIA ROLNA");
  EXPECT_EQ(fx.ids.PayerForm.VariantA, true);
  const Values inPit40 = {
      {0, "5260250995"}, {6, "SPÓŁDZIELNIA ROLNA"}, {103, "012345678"}, {20, "1234567890"}, {21, "NOWAK"},
      {22, "JAN"},       {32, "WARSZAWA"}};
  for (const auto& [k, v] : inPit40) EXPECT_EQ(fx.Get(p40, k), v) << "PIT-40 field " << k;
  EXPECT_TRUE(fx.Slot(p40, 5).CheckState);
  const Values inPitR = {
      {0, "5260250995"}, {6, "SPÓŁDZIELNIA ROLNA"}, {7, "012345678"}, {19, "1234567890"}, {20, "NOWAK"}};
  for (const auto& [k, v] : inPitR) EXPECT_EQ(fx.Get(r, k), v) << "PIT-R field " << k;

  // Back from the PIT-40: a new name reaches the PIT-11.
  fx.Set(p40, 6, "RSP ZGODA");
  fx.Run(p40);
  EXPECT_EQ(fx.Get(p11, 8), "RSP ZGODA");
  EXPECT_EQ(fx.Get(r, 6), "RSP ZGODA");
}

TEST(PayerForms, CalculatingTwiceChangesNothing) {
  CalcFixture fx(kPayerForms);
  const int p11 = fx.Add(kPit11);
  const int r = fx.Add(kPitR, p11);
  fx.Set(p11, {{40, "5000,00"}, {41, "6000,00"}, {68, "10,00"}, {69, "99,00"}});
  fx.Set(r, {{34, "100,00"}, {35, "150,00"}});
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
    fx.display.underMouse = idPit == kPit11 ? 5 : 4;
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
