// PIT/ZG, SSE-R, SSE/A and SSE-R/A: totals, the fields of the return the
// PIT/ZG belongs to, the zone relief rules and the name line.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/calc_fixture.h"
#include "forms/pit_zg_fields.h"
#include "forms/sse_a_fields.h"
#include "forms/sse_r_a_fields.h"
#include "forms/sse_r_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;

// A field of one form is refused where another form's field is meant.
static_assert(!std::is_convertible_v<pit_zg::Field, sse_r::Field>);
static_assert(std::is_convertible_v<sse_r::Field, int>);

// The fields of a PIT/ZG the user types depend on its return.
TEST(PitZG, FieldsOfItsReturnOnly) {
  using namespace pit_zg;
  struct Case {
    const char* name;
    int ret;
    std::vector<int> editable;
  };
  const std::vector<Case> cases = {
      {"PIT-36", kPit36, {employment_revenue, rental_revenue, other_tax_paid}},
      {"PIT-36L", kPit36L, {pit36l_income, pit36l_tax_paid}},
      {"PIT-38", kPit38, {pit38_income, pit38_tax_paid}},
      {"PIT-39", kPit39, {pit39_income, pit39_tax_paid}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int r = fx.Add(c.ret);
    const int zg = fx.Add(kPitZG, r);
    fx.Show(zg);
    ASSERT_EQ(fx.Run(zg), CalcStatus::Done);
    for (int k : {employment_revenue, rental_revenue, other_tax_paid, pit36l_income, pit36l_tax_paid, pit38_income,
                  pit38_tax_paid, pit39_income, pit39_tax_paid}) {
      const bool editable = std::find(c.editable.begin(), c.editable.end(), k) != c.editable.end();
      EXPECT_EQ(fx.display.ReadOnly(k), !editable) << "field " << k;
    }
  }
}

TEST(PitZG, TotalsCountryCopiesAndMessages) {
  using namespace pit_zg;
  CalcFixture fx;
  fx.ctx.countryCodeOf = [](const std::string& name) { return name == "NIEMCY" ? std::string("DE") : std::string(); };
  const int r = fx.Add(kPit36);
  const int zg1 = fx.Add(kPitZG, r);
  const int zg2 = fx.Add(kPitZG, r);
  fx.Set(zg1, {{country, "NIEMCY"},
               {employment_revenue, "1000,00"},
               {employment_income, "-200,00"},
               {employment_tax_paid, "50,00"},
               {other_revenue, "10,50"},
               {other_tax_paid, "1,00"}});
  fx.Show(zg1);
  ASSERT_EQ(fx.Run(zg1), CalcStatus::Done);
  EXPECT_EQ(fx.Get(zg1, country_code), "DE");
  EXPECT_EQ(fx.Get(zg1, total_revenue), "1010,50");
  EXPECT_EQ(fx.Get(zg1, total_income), "-200,00");
  EXPECT_EQ(fx.Get(zg1, total_tax_paid), "51,00");
  EXPECT_EQ(fx.Get(zg1, copy_number), "1");
  ASSERT_EQ(fx.display.messages.size(), 3u);
  EXPECT_EQ(fx.display.messages[1], "Dane z PIT/ZG musisz przenieść samodzielnie do odpowiedniego zeznania podatkowego.");
  EXPECT_EQ(fx.display.extraLines, 3);
  // A row with an amount needs all three; an empty row none.
  EXPECT_TRUE(fx.display.MustBe(employment_tax_paid));
  EXPECT_TRUE(fx.display.MustBe(other_income));
  EXPECT_FALSE(fx.display.MustBe(personal_activity_revenue));

  fx.Set(zg2, country, "ATLANTYDA");
  fx.Show(zg2);
  ASSERT_EQ(fx.Run(zg2), CalcStatus::Done);
  EXPECT_EQ(fx.Get(zg2, copy_number), "2");
  EXPECT_EQ(fx.Get(zg2, country_code), "");
}

TEST(SseR, Scenarios) {
  using namespace sse_r;
  struct Case {
    const char* name;
    std::map<int, std::string> input;
    std::map<int, std::string> expected;
  };
  const std::vector<Case> cases = {
      {"costs, revenue share and limits",
       {{past_costs_investment, "100,00"},
        {year_costs_investment, "200,00"},
        {other_costs_investment, "300,00"},
        {past_costs_labour, "10,00"},
        {year_costs_labour, "20,00"},
        {year_costs_other, "5,00"},
        {other_costs_other, "5,00"},
        {permit_revenue, "1000,00"},
        {zone_unpermitted_revenue, "500,00"},
        {outside_revenue, "400,00"},
        {other_revenue, "100,00"},
        {aid_rate, "10,00"},
        {past_exempt_income, "700,00"},
        {aid_limit, "1000,00"},
        {past_aid_used, "1500,00"},
        {year_exempt_income, "900,00"},
        {aid_due, "400,00"},
        {aid_used, "500,00"},
        {exempt_income_tax, "100,00"}},
       {{total_costs_investment, "600,00"},
        {total_costs_labour, "30,00"},
        {total_costs_other, "10,00"},
        {total_revenue, "2000,00"},
        {costs_to_revenue_ratio, "32,00"},
        {aid_rate_amount, "200,00"},
        {past_aid_used, "1000,00"},
        {limit_left, "0,00"},
        {past_exempt_excess, "0,00"},
        {year_exempt_excess, "200,00"},
        {exempt_income_counted, "700,00"},
        {aid_used, "400,00"},
        {aid_left, "0,00"},
        {tax_over_aid_left, "100,00"}}},
      {"a percentage and an amount: the amount wins",
       {{zone_income, "1000,00"}, {exempt_percent, "50,00"}, {exempt_amount, "300,00"}},
       {{exempt_percent, "0,00"},
        {exempt_amount, "300,00"},
        {exempt_income, "300,00"},
        {zone_taxable_income, "700,00"},
        {total_income, "700,00"},
        {taxable_income, "700,00"}}},
      {"a percentage alone",
       {{zone_income, "1000,00"}, {exempt_percent, "25,00"}},
       {{exempt_income, "250,00"}, {zone_taxable_income, "750,00"}}},
      {"an amount above the income gives the income",
       {{zone_income, "1000,00"}, {exempt_amount, "3000,00"}},
       {{exempt_income, "1000,00"}, {zone_taxable_income, "0,00"}}},
      {"a loss smaller than the amounts added",
       {{zone_losses, "100,00"}, {additions, "350,00"}},
       {{total_income, "0,00"}, {total_loss, "100,00"}, {taxable_income, "250,00"}, {loss_carried, "0,00"}}},
      {"the deduction fits in the income",
       {{zone_income, "1000,49"}, {deductions, "2000,00"}, {additions, "0,40"}},
       {{total_income, "1000,49"}, {deductions, "1000,49"}, {taxable_income, "0,00"}}},
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
    fx.Set(a2, sse_a::expense2_kind, "5000,00");
    fx.Set(ra, sse_r_a::month1_wages, "100,00");
    for (const auto& [e, nameLine] : {std::pair<int, int>{sse, sse_r::name_line},
                                      {a1, sse_a::name_line},
                                      {a2, sse_a::name_line},
                                      {ra, sse_r_a::name_line}}) {
      fx.Show(e);
      ASSERT_EQ(fx.Run(e), CalcStatus::Done);
      EXPECT_EQ(fx.Get(e, nameLine), c.line);
    }
    EXPECT_EQ(fx.Get(a1, sse_a::sheet_number), "1");
    EXPECT_EQ(fx.Get(a2, sse_a::sheet_number), "2");
    EXPECT_EQ(fx.Get(a2, sse_a::sheet_count), "2");
    EXPECT_EQ(fx.Get(ra, sse_r_a::sheet_number), "1");
    EXPECT_EQ(fx.Get(sse, sse_r::sse_a_sheets), "2");
    EXPECT_EQ(fx.Get(sse, sse_r::sse_r_a_sheets), "1");
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
  EXPECT_EQ(fx.Get(sse, sse_r::name_line), "NOWAK, EWA, 03-04-1985");
}

}  // namespace
}  // namespace pit
