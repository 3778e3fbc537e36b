// PIT-28 with PIT-28/A and PIT-28/B: the columns, the shared-out
// deductions, the lump sum, and what the attachments carry into the return.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/calc_fixture.h"
#include "forms/pit28_fields.h"
#include "forms/pit28a_fields.h"
#include "forms/pit28b_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"

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
  using namespace pit28;
  const std::vector<Case> cases = {
      {"column 2 with a deduction",
       {{pit28a::revenue_5_5pct, "100000,00"}},
       {{revenue_deductions, "3000,00"}},
       {{own_revenue_5_5pct, "100000,00"},
        {revenue_5_5pct, "100000,00"},
        {revenue_total, "100000,00"},
        {revenue_share_3pct, "0,00"},
        {revenue_share_5_5pct, "100,00"},
        {revenue_share_8_5pct, "0,00"},
        {revenue_share_20pct, "0,00"},
        {revenue_share_sum, "100,00"},
        {revenue_after_deductions, "97000,00"},
        {revenue_deductions_total, "3000,00"},
        {deductions_share_3pct, "0,00"},
        {deductions_share_5_5pct, "3000,00"},
        {taxable_revenue_5_5pct, "97000,00"},
        {taxable_revenue_total, "97000,00"},
        {lump_sum_5_5pct, "5335,00"},
        {lump_sum_total, "5335,00"},
        {lump_sum_corrected, "5335,00"},
        {lump_sum_due, "5335,00"},
        {to_pay, "5335,00"},
        {pit28a_count, "1"},
        {purpose_filing, "1"}},
       false},
      {"deduction shared out over two columns",
       {{pit28a::revenue_3pct, "30000,00"}, {pit28a::revenue_5_5pct, "70000,00"}},
       {{revenue_deductions, "1000,00"}, {lump_sum_paid, "5000,00"}},
       {{revenue_share_3pct, "30,00"},
        {revenue_share_5_5pct, "70,00"},
        {deductions_share_3pct, "300,00"},
        {deductions_share_5_5pct, "700,00"},
        {taxable_revenue_3pct, "29700,00"},
        {taxable_revenue_5_5pct, "69300,00"},
        {lump_sum_3pct, "891,00"},
        {lump_sum_5_5pct, "3811,50"},
        {lump_sum_total, "4702,50"},
        {lump_sum_due, "4703,00"},
        {to_pay, "0,00"},
        {overpaid, "297,00"}},
       false},
      {"revenue below the deductions",
       {{pit28a::revenue_3pct, "1000,00"}},
       {{past_losses, "500,00"}, {revenue_deductions, "3000,00"}},
       {{past_losses, "0,00"},
        {revenue_deductions, "1000,00"},
        {revenue_after_deductions, "0,00"},
        {revenue_deductions_total, "1000,00"},
        {taxable_revenue_3pct, "0,00"},
        {lump_sum_due, "0,00"}},
       true},
      {"revenue between the deductions",
       {{pit28a::revenue_3pct, "1000,00"}},
       {{past_losses, "500,00"}, {revenue_deductions, "800,00"}, {social_insurance, "900,00"}},
       {{past_losses, "200,00"},
        {revenue_deductions, "800,00"},
        {social_insurance, "800,00"},
        {revenue_after_deductions, "0,00"}},
       true},
      {"the two user columns' taxes when 148 holds an amount",
       {{pit28a::revenue_8_5pct, "10000,00"}, {pit28a::revenue_20pct, "10000,00"}},
       {{revenue_taxed_by_taxpayer, "5000,00"}, {lump_sum_8_5pct, "500,00"}, {lump_sum_20pct, "100,00"}},
       {{lump_sum_8_5pct, "500,00"}, {lump_sum_20pct, "100,00"}, {lump_sum_total, "600,00"}},
       false},
      {"the same columns computed without it",
       {{pit28a::revenue_8_5pct, "10000,00"}, {pit28a::revenue_20pct, "10000,00"}},
       {{lump_sum_8_5pct, "500,00"}, {lump_sum_20pct, "100,00"}},
       {{taxable_revenue_8_5pct, "10000,00"},
        {taxable_revenue_20pct, "10000,00"},
        {lump_sum_8_5pct, "850,00"},
        {lump_sum_20pct, "2000,00"},
        {lump_sum_total, "2850,00"}},
       false},
      {"further revenue of columns 3 and 6",
       {{pit28a::rental_revenue_8_5pct, "2000,00"}, {pit28a::rental_revenue_20pct, "1000,00"}},
       {},
       {{rental_revenue_8_5pct, "2000,00"},
        {rental_revenue_20pct, "1000,00"},
        {rental_revenue_total, "3000,00"},
        {revenue_8_5pct, "2000,00"},
        {revenue_20pct, "1000,00"},
        {revenue_total, "3000,00"},
        {lump_sum_8_5pct, "170,00"},
        {lump_sum_20pct, "200,00"}},
       false},
      {"second group: five times the rate, at most 75%",
       {{pit28a::fivefold_revenue_3pct, "10000,00"}, {pit28a::fivefold_revenue_20pct, "10000,00"}},
       {},
       {{fivefold_revenue_3pct, "10000,00"},
        {fivefold_revenue_20pct, "10000,00"},
        {fivefold_revenue_total, "20000,00"},
        {revenue_total, "0,00"},
        {fivefold_revenue_share_3pct, "50,00"},
        {fivefold_revenue_share_20pct, "50,00"},
        {taxable_fivefold_revenue, "20000,00"},
        {taxable_revenue_total, "20000,00"},
        {fivefold_lump_sum, "9000,00"},
        {lump_sum_due, "9000,00"}},
       false},
      {"second group shares the deduction",
       {{pit28a::revenue_3pct, "10000,00"}, {pit28a::fivefold_revenue_3pct, "10000,00"}},
       {{revenue_deductions, "2000,00"}},
       {{revenue_share_3pct, "50,00"},
        {fivefold_revenue_share_3pct, "50,00"},
        {deductions_share_3pct, "1000,00"},
        {fivefold_deductions_share, "1000,00"},
        {taxable_revenue_3pct, "9000,00"},
        {taxable_fivefold_revenue, "9000,00"},
        {lump_sum_3pct, "270,00"},
        {fivefold_lump_sum, "1350,00"}},
       false},
      {"deduction from the lump sum above it",
       {{pit28a::revenue_5_5pct, "10000,00"}},
       {{lump_sum_deductions, "600,00"}, {health_insurance, "700,00"}},
       {{lump_sum_corrected, "550,00"},
        {lump_sum_deductions, "550,00"},
        {health_insurance, "550,00"},
        {lump_sum_due, "0,00"}},
       true},
      {"1% above its limit",
       {{pit28a::revenue_5_5pct, "100000,00"}},
       {{krs, "0000127204"}, {one_percent, "100,00"}},
       {{lump_sum_due, "5500,00"}, {one_percent, "55,00"}},
       true},
      {"1% without an organisation",
       {{pit28a::revenue_5_5pct, "100000,00"}},
       {{one_percent, "40,00"}},
       {{one_percent, "0,00"}},
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
  fx.Set(r, {{pit28::own_revenue_5_5pct, "5000,00"},
             {pit28::partnership_revenue_5_5pct, "7000,00"},
             {pit28::rental_revenue_8_5pct, "100,00"},
             {pit28::pit_o_revenue_deductions, "300,00"},
             {pit28::pit_o_lump_sum_deductions, "200,00"},
             {pit28::fivefold_revenue_3pct, "1000,00"}});
  fx.Show(r);
  fx.Run(r);
  for (int k : {pit28::own_revenue_5_5pct, pit28::partnership_revenue_5_5pct, pit28::rental_revenue_8_5pct,
                pit28::pit_o_revenue_deductions, pit28::pit_o_lump_sum_deductions})
    EXPECT_EQ(fx.Get(r, k), "0,00") << "field " << k;
  // The second group is typed into the return when no attachment carries it.
  EXPECT_EQ(fx.Get(r, pit28::fivefold_revenue_3pct), "1000,00");
  EXPECT_FALSE(fx.display.ReadOnly(pit28::fivefold_revenue_3pct));
  EXPECT_TRUE(fx.display.ReadOnly(pit28::lump_sum_8_5pct));
}

TEST(Pit28, CarriedFieldsAreReadOnlyWithTheirAttachment) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  fx.Add(kPit28A, r);
  fx.Add(kPitD, r);
  fx.Show(r);
  fx.Run(r);
  for (int k : {pit28::own_revenue_3pct, pit28::own_revenue_20pct, pit28::own_revenue_total,
                pit28::rental_revenue_8_5pct, pit28::fivefold_revenue_3pct, pit28::fivefold_revenue_total,
                pit28::pit_d_revenue_relief, pit28::pit_d_relief, pit28::pit_d_lump_sum_relief})
    EXPECT_TRUE(fx.display.ReadOnly(k)) << "field " << k;
  EXPECT_FALSE(fx.display.ReadOnly(pit28::partnership_revenue_3pct));
}

TEST(Pit28B, Shares) {
  struct B {
    const char* name;
    std::map<int, std::string> input;
    std::map<int, std::string> expected;
  };
  using namespace pit28b;
  const B cases[] = {
      {"share above 99,99",
       {{partnership1_profit_share, "150"},
        {partnership1_3pct_revenue, "10000,00"},
        {partnership2_profit_share, "120"}},
       {{partnership1_profit_share, "99,99"},
        {partnership1_3pct_share, "9999,00"},
        {partnership2_profit_share, "99,99"}}},
      {"shares of both partnerships, summed per column",
       {{partnership1_profit_share, "50"},
        {partnership1_5_5pct_revenue, "10000,00"},
        {partnership1_other_revenue, "333,33"},
        {partnership2_profit_share, "25"},
        {partnership2_5_5pct_revenue, "8000,00"},
        {partnership2_other_revenue, "100,00"}},
       {{partnership1_5_5pct_share, "5000,00"},
        {partnership2_5_5pct_share, "2000,00"},
        {total_5_5pct, "7000,00"},
        {partnership1_other_revenue_share, "166,67"},
        {partnership2_other_revenue_share, "25,00"}}},
      {"an amount typed over the share replaces it",
       {{partnership1_profit_share, "50"},
        {partnership1_3pct_revenue, "10000,00"},
        {partnership1_3pct_typed, "1234,56"}},
       {{partnership1_3pct_share, "1234,56"}, {total_3pct, "1234,56"}}},
      {"no share left, the typed amount goes too",
       {{partnership1_profit_share, "50"}, {partnership1_3pct_typed, "1234,56"}},
       {{partnership1_3pct_share, "0,00"}, {partnership1_3pct_typed, "0,00"}}},
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
    EXPECT_EQ(fx.Get(b, pit28b::copy_number), "1");
    EXPECT_EQ(fx.Get(b, pit28b::copy_count), "1");
  }
}

TEST(Pit28B, TwoCopiesTheLastHoldsTheTotals) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  // Each copy is calculated when it is added, as the program does.
  const int b1 = fx.Add(kPit28B, r);
  fx.Set(b1, {{pit28b::partnership1_profit_share, "50"},
              {pit28b::partnership1_5_5pct_revenue, "10000,00"},
              {pit28b::partnership1_fivefold_3pct_revenue, "4000,00"}});
  fx.Run(b1);
  const int b2 = fx.Add(kPit28B, r);
  fx.Set(b2, {{pit28b::partnership1_profit_share, "25"}, {pit28b::partnership1_5_5pct_revenue, "8000,00"}});
  fx.Run(b2);
  fx.Run(b1);
  EXPECT_EQ(fx.Get(b1, pit28b::copy_number), "1");
  EXPECT_EQ(fx.Get(b2, pit28b::copy_number), "2");
  EXPECT_EQ(fx.Get(b1, pit28b::copy_count), "2");
  EXPECT_EQ(fx.Get(b2, pit28b::copy_count), "2");
  for (int k = pit28b::total_3pct; k <= pit28b::total_fivefold_20pct; ++k)
    EXPECT_EQ(fx.Get(b1, k), "0,00") << "field " << k;
  EXPECT_EQ(fx.Get(b2, pit28b::total_5_5pct), "7000,00");
  EXPECT_EQ(fx.Get(b2, pit28b::total_fivefold_3pct), "2000,00");
  EXPECT_EQ(fx.Get(r, pit28::partnership_revenue_5_5pct), "7000,00");
  EXPECT_EQ(fx.Get(r, pit28::partnership_revenue_total), "7000,00");
  EXPECT_EQ(fx.Get(r, pit28::fivefold_revenue_3pct), "2000,00");
  EXPECT_EQ(fx.Get(r, pit28::pit28b_count), "2");
  // 7000 of revenue at 5,5%; 2000 in the second group at five times 3%.
  EXPECT_EQ(fx.Get(r, pit28::lump_sum_5_5pct), "385,00");
  EXPECT_EQ(fx.Get(r, pit28::fivefold_lump_sum), "300,00");
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
    fx.Set(a, {{pit28a::fivefold_revenue_3pct, "1000,00"},
               {pit28a::fivefold_revenue_20pct, "50,00"},
               {pit28a::revenue_3pct, "100,00"}});
    fx.Set(b, {{pit28b::partnership1_profit_share, "50"},
               {pit28b::partnership1_fivefold_3pct_revenue, "4000,00"},
               {pit28b::partnership1_3pct_revenue, "600,00"}});
    if (attachmentALast) {
      fx.Run(b);
      fx.Run(a);
    } else {
      fx.Run(a);
      fx.Run(b);
    }
    EXPECT_EQ(fx.Get(r, pit28::fivefold_revenue_3pct), "3000,00");
    EXPECT_EQ(fx.Get(r, pit28::fivefold_revenue_20pct), "50,00");
    EXPECT_EQ(fx.Get(r, pit28::own_revenue_3pct), "100,00");
    EXPECT_EQ(fx.Get(r, pit28::partnership_revenue_3pct), "300,00");
    EXPECT_EQ(fx.Get(r, pit28::revenue_3pct), "400,00");
    EXPECT_EQ(fx.Get(r, pit28::fivefold_revenue_total), "3050,00");
  }
}

// The reliefs of PIT/O and PIT/D reach the lump sum and are capped by it.
TEST(Pit28, ReliefsFromPitOAndPitD) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  const int a = fx.Add(kPit28A, r);
  const int o = fx.Add(kPitO, r);
  const int d = fx.Add(kPitD, r);
  fx.Set(a, {{pit28a::revenue_5_5pct, "100000,00"}});
  fx.Run(a);
  fx.Set(o,
         {{pit_o::taxpayer_social_insurance_abroad, "1000,00"}, {pit_o::taxpayer_health_insurance_abroad, "9000,00"}});
  fx.Run(o);
  fx.Set(d, {{pit_d::loan_amount, "20000,00"},
             {pit_d::loan_pit28, "20000,00"},
             {pit_d::expenses_this_year, "300,00"},
             {pit_d::expenses_pit28, "300,00"}});
  fx.Show(r);
  fx.Run(d);
  fx.Run(r);
  EXPECT_EQ(fx.Get(r, pit28::pit_o_revenue_deductions), "1000,00");
  EXPECT_EQ(fx.Get(r, pit28::pit_d_revenue_relief), "20000,00");
  EXPECT_EQ(fx.Get(r, pit28::revenue_after_housing_relief), "79000,00");
  EXPECT_EQ(fx.Get(r, pit28::pit_d_relief), "300,00");
  EXPECT_EQ(fx.Get(r, pit28::pit_d_relief_deducted), "300,00");
  EXPECT_EQ(fx.Get(r, pit28::revenue_deductions_total), "21300,00");
  EXPECT_EQ(fx.Get(r, pit28::taxable_revenue_5_5pct), "78700,00");
  EXPECT_EQ(fx.Get(r, pit28::lump_sum_corrected), "4328,50");
  EXPECT_EQ(fx.Get(r, pit28::pit_o_lump_sum_deductions), "4328,50");
  EXPECT_EQ(fx.Get(r, pit28::lump_sum_due), "0,00");
  EXPECT_EQ(fx.Get(r, pit28::pit_o_count), "1");
  EXPECT_EQ(fx.Get(r, pit28::pit_d_count), "1");
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
  fx.Set(ap, {{pit28a::revenue_5_5pct, "1000,00"}});
  fx.Set(am, {{pit28a::revenue_5_5pct, "2000,00"}});
  fx.Run(ap);
  fx.Run(am);
  EXPECT_EQ(fx.Get(rp, pit28::own_revenue_5_5pct), "1000,00");
  EXPECT_EQ(fx.Get(rm, pit28::own_revenue_5_5pct), "2000,00");
}

// Running everything again changes nothing.
TEST(Pit28, RecalculatingChangesNothing) {
  CalcFixture fx;
  const int r = fx.Add(kPit28);
  const int a = fx.Add(kPit28A, r);
  const int b1 = fx.Add(kPit28B, r);
  const int b2 = fx.Add(kPit28B, r);
  const int o = fx.Add(kPitO, r);
  fx.Set(a, {{pit28a::revenue_3pct, "12345,67"}, {pit28a::fivefold_revenue_3pct, "999,99"}});
  fx.Set(b1, {{pit28b::partnership1_profit_share, "33,33"},
              {pit28b::partnership1_3pct_revenue, "10000,00"},
              {pit28b::partnership1_fivefold_5_5pct_revenue, "500,00"}});
  fx.Set(b2, {{pit28b::partnership1_profit_share, "12,5"}, {pit28b::partnership1_20pct_revenue, "7777,77"}});
  fx.Set(o, {{pit_o::taxpayer_social_insurance_abroad, "321,00"}, {pit_o::taxpayer_health_insurance_abroad, "10,00"}});
  fx.Set(r, {{pit28::revenue_deductions, "1500,00"}, {pit28::krs, "0000127204"}, {pit28::one_percent, "5,55"}});
  for (int e : {a, b1, b2, o, r}) fx.Run(e);
  const auto once = fx.Snapshot();
  for (int e : {a, b1, b2, o, r}) fx.Run(e);
  EXPECT_EQ(fx.Snapshot(), once);
}

}  // namespace
}  // namespace pit
