// PIT-36L, PIT/B and PIT/Z, and the chain in which they run each other and
// PIT-36.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_z_fields.h"

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
  using namespace pit36l;
  struct Case {
    const char* name;
    std::map<int, std::string> input;
    std::map<int, std::string> expected;
    bool reduced;
  };
  const std::vector<Case> cases = {
      {"business income taxed at 19 %",
       {{business_revenue, "200000,00"}, {business_costs, "120000,00"}},
       {{business_income, "80000,00"},
        {business_loss, "0,00"},
        {income_after_deductions, "80000,00"},
        {tax_base, "80000,00"},
        {tax_base_rounded, "80000,00"},
        {flat_tax, "15200,00"},
        {tax_after_foreign, "15200,00"},
        {tax_due, "15200,00"},
        {to_pay, "15200,00"}},
       false},
      {"the IKZE deduction has its statutory cap",
       {{business_revenue, "200000,00"}, {business_costs, "120000,00"}, {ikze, "5000,00"}},
       {{ikze, "4495,20"},
        {income_after_deductions, "75504,80"},
        {tax_base_rounded, "75505,00"},
        {flat_tax, "14345,95"}},
       true},
      {"deductions fit in the income the others leave",
       {{business_revenue, "1000,00"},
        {farming_revenue, "500,00"},
        {past_losses, "1000,00"},
        {social_insurance, "800,00"}},
       // the past losses first against 1500 - 800; the insurance then fits in what they leave
       {{past_losses, "700,00"}, {social_insurance, "800,00"}, {ikze, "0,00"}, {income_after_deductions, "0,00"}},
       true},
      {"a blank return reduces nothing",
       {},
       {{past_losses, "0,00"}, {social_insurance, "0,00"}, {ikze, "0,00"}, {tax_due, "0,00"}},
       false},
      {"amounts above the losses join the base; tax deductions capped",
       {{business_revenue, "1000,00"},
        {business_costs, "3000,00"},
        {base_addition_row1, "2500,00"},
        {health_insurance, "200,00"},
        {other_tax_deductions, "20,00"},
        {health_insurance_abroad, "300,00"},
        {business_advances, "10,00"},
        {farming_advances, "5,00"}},
       // base = 0 + 2500 - 2000; tax 95,00; other deductions = 95 - 200 -> the health insurance first
       {{business_loss, "2000,00"},
        {tax_base, "500,00"},
        {flat_tax, "95,00"},
        {health_insurance, "95,00"},
        {other_tax_deductions, "0,00"},
        {health_insurance_abroad, "95,00"},
        {tax_after_deductions, "0,00"},
        {advances_due_total, "15,00"},
        {overpaid, "15,00"}},
       true},
      {"further settlement amounts",
       {{business_revenue, "10000,00"},
        {advances_paid, "1000,00"},
        {property_sale_tax, "3,00"},
        {advances_due, "100,00"},
        {advances_withheld, "150,00"},
        {advances_self_paid, "20,00"}},
       {{tax_due, "1900,00"},
        {advances_withheld, "100,00"},
        {advances_not_withheld, "0,00"},
        {advances_excess, "20,00"},
        {to_pay_after_advances, "883,00"},
        {overpaid_after_advances, "0,00"}},
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
  using namespace pit36l;
  CalcFixture fx;
  const int r = fx.Add(kPit36L);
  fx.Tick(r, income_from_pit_z, "1");
  fx.Show(r);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.reminders.size(), 1u);
  EXPECT_EQ(fx.display.reminders[0],
            "Zaznaczenie PIT-36L poz. 11 jest możliwe, jeżeli do PIT-36L jest załączony PIT/Z");
  EXPECT_FALSE(fx.Slot(r, income_from_pit_z).CheckState);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.display.reminders.size(), 1u);  // unticked: said once
}

TEST(Pit36L, AdvancesReminderThenTheNotice) {
  using namespace pit36l;
  CalcFixture fx;
  const int r = fx.Add(kPit36L);
  fx.Set(r, {{business_revenue, "100,00"}, {past_losses, "500,00"}});
  fx.Show(r, 2);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  ASSERT_EQ(fx.display.messages.size(), 3u);
  EXPECT_EQ(fx.display.messages[0], "   UWAGA !");
  EXPECT_NE(fx.display.messages[1].find("poz. 48 należy wypełnić samodzielnie"), std::string::npos);
  EXPECT_EQ(fx.display.messages[2], kNotice36L);
}

// Two copies of the taxpayer's PIT/B under a PIT-36: the first shows 0,00 in
// its totals, the second the totals, which reach the PIT-36 business row.
TEST(PitB, TwoCopiesUnderPit36) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  // Each copy is added and filled in turn, as the user does.
  const int b1 = fx.Add(kPitB, r);
  fx.Set(b1, {{pit_b::own1_revenue, "1000,00"}, {pit_b::own1_costs, "200,00"}});
  fx.Show(b1);
  ASSERT_EQ(fx.Run(b1), CalcStatus::Done);
  const int b2 = fx.Add(kPitB, r);
  fx.Set(b2, {{pit_b::partner1_share, "120,00"},
              {pit_b::partner1_revenue, "10000,00"},
              {pit_b::partner1_costs, "4000,00"},
              {pit_b::partner2_share, "50,00"},
              {pit_b::partner2_revenue, "600,00"},
              {pit_b::partner2_revenue_own, "70,00"}});
  fx.Show(b2);
  ASSERT_EQ(fx.Run(b2), CalcStatus::Done);
  EXPECT_EQ(fx.Get(b1, pit_b::copy_number), "1");
  EXPECT_EQ(fx.Get(b2, pit_b::copy_number), "2");
  EXPECT_EQ(fx.Get(b2, pit_b::copies), "2");
  EXPECT_EQ(fx.Get(b1, pit_b::own1_income), "800,00");
  EXPECT_EQ(fx.Get(b2, pit_b::partner1_share), "100,00");  // share capped at the whole
  EXPECT_EQ(fx.Get(b2, pit_b::partner1_revenue_share), "10000,00");
  EXPECT_EQ(fx.Get(b2, pit_b::partner1_costs_share), "4000,00");
  EXPECT_EQ(fx.Get(b2, pit_b::partner1_income), "6000,00");
  EXPECT_EQ(fx.Get(b2, pit_b::partner1_income_share), "6000,00");
  EXPECT_EQ(fx.Get(b2, pit_b::partner2_revenue_share), "70,00");  // the typed share overrides 300,00
  for (int k : {pit_b::total_revenue, pit_b::total_costs, pit_b::total_income, pit_b::total_loss})
    EXPECT_EQ(fx.Get(b1, k), "0,00") << k;
  EXPECT_EQ(fx.Get(b2, pit_b::total_revenue), "11070,00");
  EXPECT_EQ(fx.Get(b2, pit_b::total_costs), "4200,00");
  EXPECT_EQ(fx.Get(b2, pit_b::total_income), "6870,00");
  EXPECT_EQ(fx.Get(b2, pit_b::total_loss), "0,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_revenue), "11070,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_costs), "4200,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_income), "6870,00");
  EXPECT_EQ(fx.Get(r, pit36::pit_b_count), "2");
}

// A partner's share of a large revenue has more digits than binary floating
// point carries; its grosze follow the exact product (…,094998 -> ,09).
TEST(PitB, ShareOfALargeRevenueRoundsTheExactProduct) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  const int b = fx.Add(kPitB, r);
  fx.Set(b, {{pit_b::partner1_share, "93,81"},
             {pit_b::partner1_revenue, "1546992689,58"},
             {pit_b::partner1_costs, "1000,00"}});
  fx.Show(b);
  ASSERT_EQ(fx.Run(b), CalcStatus::Done);
  EXPECT_EQ(fx.Get(b, pit_b::partner1_revenue_share), "1451233842,09");
  EXPECT_EQ(fx.Get(b, pit_b::partner1_costs_share), "938,10");
}

// Revenue and costs a few grosze apart give an income of those grosze,
// carried as written into PIT-36.
TEST(PitB, IncomeOfCloseRevenueAndCostsIsWholeGrosze) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  const int b = fx.Add(kPitB, r);
  fx.Set(b, {{pit_b::own1_revenue, "2498,31"}, {pit_b::own1_costs, "2498,24"}});
  fx.Show(b);
  ASSERT_EQ(fx.Run(b), CalcStatus::Done);
  EXPECT_EQ(fx.Get(b, pit_b::own1_income), "0,07");
  EXPECT_EQ(fx.Get(b, pit_b::total_income), "0,07");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_income), "0,07");
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
    fx.Set(b, {{pit_b::own1_revenue, "100,00"}});
    fx.Show(b);
    ASSERT_EQ(fx.Run(b), CalcStatus::Done);
    EXPECT_EQ(fx.display.reminders, std::vector<std::string>{c.message});
    EXPECT_EQ(fx.display.entry, r);  // the return is shown
    EXPECT_EQ(fx.Get(b, pit_b::own1_income), "");  // nothing computed
  }
}

// PIT-36 box of the first way with PIT/B and PIT/Z: PIT-36 runs the PIT/B, the PIT/B fills
// the PIT/Z, the PIT/Z the PIT-36, and the chain ends.
TEST(PitB, ChainThroughPitZIntoPit36) {
  CalcFixture fx;
  const int r = fx.Add(kPit36);
  const int b = fx.Add(kPitB, r);
  const int z = fx.Add(kPitZ, r);
  fx.Tick(r, pit36::taxpayer_business_first_way, "1");
  fx.Set(r, {{pit36::taxpayer_business_revenue, "999,00"}, {pit36::taxpayer_business_costs, "1,00"}});
  fx.Set(b, {{pit_b::own1_revenue, "5000,00"}, {pit_b::own1_costs, "1000,00"}});
  fx.Set(z, {{pit_z::separate_revenue, "700,00"}, {pit_z::separate_costs, "1000,00"}, {pit_z::other_revenue, "50,00"}});
  fx.Show(r);
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(z, pit_z::business_revenue), "5000,00");
  EXPECT_EQ(fx.Get(z, pit_z::business_costs), "1000,00");
  EXPECT_EQ(fx.Get(z, pit_z::second_way_revenue), "0,00");
  EXPECT_EQ(fx.Get(z, pit_z::first_way_income), "0,00");
  EXPECT_EQ(fx.Get(z, pit_z::first_way_loss), "300,00");
  EXPECT_EQ(fx.Get(z, pit_z::first_way_row3_amount), "50,00");
  // The income, loss and row 3a from the PIT/Z's first way, not revenue - costs.
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_revenue), "5000,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_income), "0,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_loss), "300,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_pit_z_income), "50,00");
  EXPECT_TRUE(fx.display.ReadOnly(pit36::taxpayer_business_revenue));
  EXPECT_FALSE(fx.display.ReadOnly(pit36::taxpayer_pit_d_income_relief));

  // The second way: the PIT/Z's second way takes the sums, PIT-36 the income and loss it carries.
  fx.s.WriteCheck(r, pit36::taxpayer_business_first_way, false);
  fx.Set(r, pit36::taxpayer_business_first_way, "");
  fx.Tick(r, pit36::taxpayer_business_second_way, "1");
  ASSERT_EQ(fx.Run(r), CalcStatus::Done);
  EXPECT_EQ(fx.Get(z, pit_z::business_revenue), "0,00");
  EXPECT_EQ(fx.Get(z, pit_z::second_way_revenue), "5000,00");
  EXPECT_EQ(fx.Get(z, pit_z::second_way_income), "4000,00");
  EXPECT_EQ(fx.Get(z, pit_z::carried_income), "4000,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_income), "4000,00");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_pit_z_income), "0,00");
  EXPECT_TRUE(fx.display.MustBe(pit36::taxpayer_second_way_basis));  // the text that goes with the box

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
  fx.Tick(r, pit36::spouse_business_first_way, "1");
  fx.Set(z, {{pit_z::separate_revenue, "5000,00"},
             {pit_z::separate_costs, "1000,00"},
             {pit_z::other_revenue, "300,00"},
             {pit_z::other_costs, "100,00"},
             {pit_z::business_revenue, "10,00"},
             {pit_z::business_costs, "30,00"}});
  fx.Show(z);
  ASSERT_EQ(fx.Run(z), CalcStatus::Done);
  EXPECT_EQ(fx.Get(z, pit_z::first_way_revenue), "10,00");
  EXPECT_EQ(fx.Get(z, pit_z::first_way_costs), "30,00");
  EXPECT_EQ(fx.Get(r, pit36::spouse_business_income), "4000,00");
  EXPECT_EQ(fx.Get(r, pit36::spouse_business_loss), "0,00");
  EXPECT_EQ(fx.Get(r, pit36::spouse_business_pit_z_income), "200,00");
  EXPECT_EQ(fx.Get(r, pit36::spouse_total_income), "4000,00");
  EXPECT_EQ(fx.Get(r, pit36::pit_z_count), "1");
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_income), "0,00");  // the taxpayer's row is not touched
}

// PIT-36L with its PIT/Z box ticked: PIT/B -> PIT/Z second way -> PIT-36L.
TEST(PitB, Pit36LWithPitBAndPitZ) {
  CalcFixture fx;
  const int r = fx.Add(kPit36L);
  const int b = fx.Add(kPitB, r);
  const int z = fx.Add(kPitZ, r);
  fx.Tick(r, pit36l::income_from_pit_z, "1");
  fx.Set(b, {{pit_b::own1_revenue, "50000,00"}, {pit_b::own1_costs, "20000,00"}});
  fx.Show(b);
  ASSERT_EQ(fx.Run(b), CalcStatus::Done);
  EXPECT_EQ(fx.Get(r, pit36l::business_revenue), "50000,00");
  EXPECT_EQ(fx.Get(r, pit36l::business_costs), "20000,00");
  EXPECT_EQ(fx.Get(z, pit_z::second_way_revenue), "50000,00");
  EXPECT_EQ(fx.Get(z, pit_z::second_way_costs), "20000,00");
  EXPECT_EQ(fx.Get(z, pit_z::carried_income), "30000,00");
  EXPECT_EQ(fx.Get(r, pit36l::business_income), "30000,00");
  EXPECT_EQ(fx.Get(r, pit36l::flat_tax), "5700,00");
  EXPECT_EQ(fx.Get(r, pit36l::pit_b_count), "1");
  EXPECT_EQ(fx.Get(r, pit36l::pit_z_count), "1");
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
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_revenue), "9,00");
  fx.s.RemoveAt(b1);
  ClearAttachmentTransfers(fx.s, b2 - 1);
  for (int k : {pit36::taxpayer_business_revenue, pit36::taxpayer_business_costs, pit36::taxpayer_business_income,
                pit36::taxpayer_business_loss})
    EXPECT_EQ(fx.Get(r, k), "0,00") << k;
  EXPECT_EQ(fx.Get(r, pit36::spouse_business_revenue), "9,00");
  ClearAttachmentTransfers(fx.s, z - 1);
  EXPECT_EQ(fx.Get(r, pit36::taxpayer_business_pit_z_income), "0,00");
  EXPECT_EQ(fx.Get(r, pit36::spouse_business_pit_z_income), "9,00");
}

}  // namespace
}  // namespace pit
