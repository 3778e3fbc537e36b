// PIT-38 and PIT-39: income, base, tax, the second section, the 1% and the
// person each return belongs to.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"
#include "forms/pit38_fields.h"
#include "forms/pit39_fields.h"

namespace pit {
namespace {

using testing::CalcFixture;

struct Case {
  const char* name;
  std::map<int, std::string> input;
  std::map<int, std::string> expected;
  bool reduced;
  std::string donationLabel;  // empty: not checked
};

void RunCases(int idPit, const std::vector<Case>& cases, const std::string& notice) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CalcFixture fx;
    const int e = fx.Add(idPit);
    fx.Set(e, c.input);
    fx.Show(e);
    ASSERT_EQ(fx.Run(e), CalcStatus::Done);
    for (const auto& [k, v] : c.expected) EXPECT_EQ(fx.Get(e, k), v) << "field " << k;
    EXPECT_EQ(fx.display.messages, c.reduced ? std::vector<std::string>{notice} : std::vector<std::string>{});
    if (!c.donationLabel.empty()) {
      EXPECT_EQ(fx.display.donationLabel, c.donationLabel);
    }
  }
}

TEST(Pit38, Figures) {
  using namespace pit38;
  RunCases(
      kPit38,
      {
          {"shares sold at a gain",
           {{pit8c_revenue, "10000,00"}, {pit8c_costs, "4000,00"}, {tax_rate, "19"}},
           {{total_revenue, "10000,00"},
            {total_costs, "4000,00"},
            {income, "6000,00"},
            {loss, "0,00"},
            {tax_base, "6000,00"},
            {tax, "1140,00"},
            {tax_due, "1140,00"},
            {deductions_over_tax, "0,00"},
            {to_pay, "1140,00"},
            {overpaid, "0,00"},
            {purpose_filing, "1"},
            {purpose_correction, ""}},
           false,
           "11,40"},
          {"costs above the revenue",
           {{pit8c_revenue, "3000,00"},
            {other_revenue, "1000,00"},
            {pit8c_costs, "2500,00"},
            {other_costs, "2000,50"},
            {tax_rate, "19"}},
           {{total_revenue, "4000,00"},
            {total_costs, "4500,50"},
            {income, "0,00"},
            {loss, "500,50"},
            {tax_base, "0,00"},
            {tax, "0,00"},
            {tax_due, "0,00"}},
           false,
           "0,00"},
          {"losses of earlier years above the income",
           {{pit8c_revenue, "10000,00"}, {pit8c_costs, "4000,00"}, {past_losses, "8000,00"}, {tax_rate, "19"}},
           {{past_losses, "6000,00"}, {tax_base, "0,00"}, {tax_due, "0,00"}},
           true,
           ""},
          {"base rounded to złoty, tax to grosze",
           {{pit8c_revenue, "1000,49"}, {tax_rate, "19"}},
           {{tax_base, "1000,00"}, {tax, "190,00"}, {tax_due, "190,00"}},
           false,
           ""},
          {"deductions above the tax",
           {{pit8c_revenue, "1000,00"}, {tax_rate, "19"}, {foreign_tax, "150,00"}, {other_tax_deductions, "100,60"}},
           {{tax, "190,00"}, {tax_due, "0,00"}, {deductions_over_tax, "61,00"}, {overpaid, "61,00"}},
           false,
           ""},
          {"second section with its deduction capped",
           {{lump_sum_tax, "500,00"},
            {lump_sum_foreign_tax, "800,00"},
            {lump_sum_deductions, "0,00"},
            {other_tax_to_pay, "20,00"}},
           {{lump_sum_foreign_tax, "500,00"},
            {lump_sum_difference, "0,00"},
            {lump_sum_deductions_over_tax, "0,00"},
            {to_pay, "20,00"}},
           false,
           ""},
          {"second section adds to the first",
           {{pit8c_revenue, "10000,00"},
            {pit8c_costs, "4000,00"},
            {tax_rate, "19"},
            {lump_sum_tax, "300,00"},
            {lump_sum_foreign_tax, "100,00"},
            {lump_sum_deductions, "50,00"}},
           {{lump_sum_difference, "150,00"}, {to_pay, "1290,00"}},
           false,
           ""},
          {"1% above its limit with an organisation",
           {{pit8c_revenue, "10000,00"},
            {pit8c_costs, "4000,00"},
            {tax_rate, "19"},
            {krs, "0000127204"},
            {one_percent, "20,00"}},
           {{one_percent, "11,40"}},
           true,
           "11,40"},
          {"1% cut to tens of grosze",
           {{pit8c_revenue, "10000,00"},
            {pit8c_costs, "4000,00"},
            {tax_rate, "19"},
            {krs, "0000127204"},
            {one_percent, "11,39"}},
           {{one_percent, "11,30"}},
           false,
           ""},
          // The notice comes from the cap before the empty organisation
          // empties the amount.
          {"1% above its limit without an organisation",
           {{pit8c_revenue, "10000,00"}, {pit8c_costs, "4000,00"}, {tax_rate, "19"}, {one_percent, "20,00"}},
           {{one_percent, "0,00"}},
           true,
           ""},
      },
      "   PIT-38. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
      "kwot w tym w załącznikach.");
}

TEST(Pit39, Figures) {
  using namespace pit39;
  RunCases(kPit39,
           {
               {"flat sold at a gain",
                {{revenue, "200000,00"}, {costs, "150000,00"}, {depreciation, "0,00"}},
                {{income, "50000,00"},
                 {loss, "0,00"},
                 {tax_base, "50000,00"},
                 {tax, "9500,00"},
                 {tax_due, "9500,00"},
                 {to_pay, "9500,00"},
                 {overpaid, "0,00"},
                 {purpose_filing, "1"}},
                false,
                "95,00"},
               {"loss taken in whole złoty",
                {{revenue, "100000,00"}, {costs, "101234,56"}},
                {{income, "0,00"},
                 {loss, "1234,00"},
                 {tax_base, "0,00"},
                 {tax, "0,00"},
                 {tax_due, "0,00"},
                 {to_pay, "0,00"},
                 {overpaid, "0,00"}},
                false,
                ""},
               // The depreciation added to income lessens the loss as it
               // adds to an income.
               {"loss less the amount added to income",
                {{revenue, "100000,00"}, {costs, "150000,00"}, {depreciation, "10000,00"}},
                {{income, "0,00"}, {loss, "40000,00"}, {tax_base, "0,00"}, {tax_due, "0,00"}},
                false,
                ""},
               {"amount added to income turns a loss into an income",
                {{revenue, "100000,00"}, {costs, "105000,00"}, {depreciation, "10000,00"}},
                {{income, "5000,00"}, {loss, "0,00"}, {tax_base, "5000,00"}, {tax, "950,00"}},
                false,
                ""},
               {"a gain of a few grosze is written as those grosze",
                {{revenue, "2498,31"}, {costs, "2498,24"}},
                {{income, "0,07"}, {loss, "0,00"}, {tax_base, "0,00"}},
                false,
                ""},
               {"exempt income capped at the income",
                {{revenue, "200000,00"}, {costs, "150000,00"}, {exempt_income, "60000,00"}},
                {{exempt_income, "50000,00"}, {tax_base, "0,00"}, {tax_due, "0,00"}},
                false,
                ""},
               {"deduction from tax above the tax",
                {{revenue, "10000,00"}, {foreign_tax, "2000,00"}},
                {{tax, "1900,00"}, {tax_due, "0,00"}},
                false,
                ""},
               {"second section: excess reduces what is to pay",
                {{revenue, "10000,00"},
                 {past_years_tax, "100,00"},
                 {past_years_tax_paid, "300,00"},
                 {past_years_deductions, "400,00"}},
                {{past_years_tax_paid, "100,00"},
                 {past_years_difference, "0,00"},
                 {past_years_excess, "400,00"},
                 {to_pay, "1500,00"},
                 {overpaid, "0,00"}},
                false,
                ""},
               {"overpayment",
                {{revenue, "1000,00"}, {past_years_tax, "0,00"}, {past_years_deductions, "500,00"}},
                {{tax_due, "190,00"}, {past_years_excess, "500,00"}, {to_pay, "0,00"}, {overpaid, "310,00"}},
                false,
                ""},
               {"1% above its limit with an organisation",
                {{revenue, "200000,00"}, {costs, "150000,00"}, {krs, "0000127204"}, {one_percent, "100,00"}},
                {{one_percent, "95,00"}},
                true,
                "95,00"},
               // Without an organisation the amount is emptied first, so
               // nothing is capped and no notice shows.
               {"1% above its limit without an organisation",
                {{revenue, "200000,00"}, {costs, "150000,00"}, {one_percent, "100,00"}},
                {{one_percent, "0,00"}},
                false,
                "95,00"},
           },
           "   PIT-39. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
           "kwot w tym w załącznikach.");
}

// An organisation chosen and no amount: the warning on page 2 only.
TEST(Pit38And39, OnePercentWarningOnTheSecondPage) {
  struct W {
    int idPit, revenue, rateField, krs, warningPage;
    const char* text;
  } cases[] = {
      {kPit38, pit38::pit8c_revenue, pit38::tax_rate, pit38::krs, 2,
       "    PIT-38. W polu formularza nr 58 należy podać kwotę, która ma być przekazana w ramach 1%"},
      {kPit39, pit39::revenue, -1, pit39::krs, 2,
       "    PIT-39. W polu formularza nr 52 należy podać kwotę, która ma być przekazana w ramach 1%"},
  };
  for (const W& w : cases) {
    for (int page : {1, 2}) {
      SCOPED_TRACE(std::to_string(w.idPit) + " page " + std::to_string(page));
      CalcFixture fx;
      const int e = fx.Add(w.idPit);
      fx.Set(e, w.revenue, "10000,00");
      if (w.rateField > 0) fx.Set(e, w.rateField, "19");
      fx.Set(e, w.krs, "0000127204");
      fx.Show(e, page);
      fx.Run(e);
      if (page == w.warningPage) {
        EXPECT_EQ(fx.display.messages, (std::vector<std::string>{"    UWAGA!", w.text}));
        EXPECT_EQ(fx.display.extraLines, 2);
      } else {
        EXPECT_TRUE(fx.display.messages.empty());
      }
    }
  }
}

// Each spouse files a PIT-38 of his or her own: the identification and the
// 1% of each stay with that person.
TEST(Pit38And39, EachSpouseHasTheirOwnReturn) {
  for (int idPit : {kPit38, kPit39}) {
    SCOPED_TRACE(idPit);
    CalcFixture fx(kJoint, kIdPesel);
    const int p = fx.Add(idPit, 0, kPmTaxpayer);
    const int m = fx.Add(idPit, 0, kPmSpouse);
    const bool isPit38 = idPit == kPit38;
    const int surname = isPit38 ? int{pit38::surname} : int{pit39::surname};
    const int firstName = isPit38 ? int{pit38::first_name} : int{pit39::first_name};
    const int revenue = isPit38 ? int{pit38::pit8c_revenue} : int{pit39::revenue};
    const int krs = isPit38 ? int{pit38::krs} : int{pit39::krs};
    const int onePercent = isPit38 ? int{pit38::one_percent} : int{pit39::one_percent};
    if (isPit38) {
      fx.Set(p, pit38::tax_rate, "19");
      fx.Set(m, pit38::tax_rate, "19");
    }
    fx.Set(
        p,
        {{surname, "Kowalski"}, {firstName, "Jan"}, {revenue, "10000,00"}, {krs, "0000127204"}, {onePercent, "15,00"}});
    fx.Run(p);
    fx.Set(m,
           {{surname, "Nowak"}, {firstName, "Anna"}, {revenue, "2000,00"}, {krs, "0000270809"}, {onePercent, "15,00"}});
    fx.Run(m);
    fx.Run(p);
    EXPECT_EQ(fx.Get(p, surname), "Kowalski");
    EXPECT_EQ(fx.Get(p, firstName), "Jan");
    EXPECT_EQ(fx.Get(m, surname), "Nowak");
    EXPECT_EQ(fx.Get(m, firstName), "Anna");
    EXPECT_EQ(fx.ids.Taxpayer.Surname, "Kowalski");
    EXPECT_EQ(fx.ids.Spouse.Surname, "Nowak");
    // 1% of 1900 is 19,00; of 380 it is 3,80.
    EXPECT_EQ(fx.Get(p, onePercent), "15,00");
    EXPECT_EQ(fx.Get(m, onePercent), "3,80");
    EXPECT_EQ(fx.Get(p, krs), "0000127204");
    EXPECT_EQ(fx.Get(m, krs), "0000270809");
  }
}

}  // namespace
}  // namespace pit
