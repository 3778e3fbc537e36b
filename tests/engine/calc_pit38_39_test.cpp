// PIT-38 and PIT-39: income, base, tax, the second section, the 1% and the
// person each return belongs to.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/calc_fixture.h"

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
  RunCases(kPit38,
           {
               {"shares sold at a gain",
                {{18, "10000,00"}, {19, "4000,00"}, {28, "19"}},
                {{22, "10000,00"}, {23, "4000,00"}, {24, "6000,00"}, {25, "0,00"}, {27, "6000,00"},
                 {29, "1140,00"}, {32, "1140,00"}, {33, "0,00"}, {41, "1140,00"}, {42, "0,00"}, {3, "1"}, {4, ""}},
                false, "11,40"},
               {"costs above the revenue",
                {{18, "3000,00"}, {20, "1000,00"}, {19, "2500,00"}, {21, "2000,50"}, {28, "19"}},
                {{22, "4000,00"}, {23, "4500,50"}, {24, "0,00"}, {25, "500,50"}, {27, "0,00"}, {29, "0,00"},
                 {32, "0,00"}},
                false, "0,00"},
               {"losses of earlier years above the income",
                {{18, "10000,00"}, {19, "4000,00"}, {26, "8000,00"}, {28, "19"}},
                {{26, "6000,00"}, {27, "0,00"}, {32, "0,00"}},
                true, ""},
               {"base rounded to złoty, tax to grosze",
                {{18, "1000,49"}, {28, "19"}},
                {{27, "1000,00"}, {29, "190,00"}, {32, "190,00"}},
                false, ""},
               {"deductions above the tax",
                {{18, "1000,00"}, {28, "19"}, {30, "150,00"}, {31, "100,60"}},
                {{29, "190,00"}, {32, "0,00"}, {33, "61,00"}, {42, "61,00"}},
                false, ""},
               {"second section with its deduction capped",
                {{36, "500,00"}, {37, "800,00"}, {38, "0,00"}, {35, "20,00"}},
                {{37, "500,00"}, {39, "0,00"}, {40, "0,00"}, {41, "20,00"}},
                false, ""},
               {"second section adds to the first",
                {{18, "10000,00"}, {19, "4000,00"}, {28, "19"}, {36, "300,00"}, {37, "100,00"}, {38, "50,00"}},
                {{39, "150,00"}, {41, "1290,00"}},
                false, ""},
               {"1% above its limit with an organisation",
                {{18, "10000,00"}, {19, "4000,00"}, {28, "19"}, {59, "0000127204"}, {60, "20,00"}},
                {{60, "11,40"}},
                true, "11,40"},
               {"1% cut to tens of grosze",
                {{18, "10000,00"}, {19, "4000,00"}, {28, "19"}, {59, "0000127204"}, {60, "11,39"}},
                {{60, "11,30"}},
                false, ""},
               // The notice comes from the cap before the empty organisation
               // empties the amount.
               {"1% above its limit without an organisation",
                {{18, "10000,00"}, {19, "4000,00"}, {28, "19"}, {60, "20,00"}},
                {{60, "0,00"}},
                true, ""},
           },
           "   PIT-38. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
           "kwot w tym w załącznikach.");
}

TEST(Pit39, Figures) {
  RunCases(kPit39,
           {
               {"flat sold at a gain",
                {{19, "200000,00"}, {20, "150000,00"}, {21, "0,00"}},
                {{22, "50000,00"}, {23, "0,00"}, {25, "50000,00"}, {26, "9500,00"}, {28, "9500,00"},
                 {35, "9500,00"}, {36, "0,00"}, {3, "1"}},
                false, "95,00"},
               {"loss taken in whole złoty",
                {{19, "100000,00"}, {20, "101234,56"}},
                {{22, "0,00"}, {23, "1234,00"}, {25, "0,00"}, {26, "0,00"}, {28, "0,00"}, {35, "0,00"}, {36, "0,00"}},
                false, ""},
               // The depreciation added to income lessens the loss as it
               // adds to an income.
               {"loss less the amount added to income",
                {{19, "100000,00"}, {20, "150000,00"}, {21, "10000,00"}},
                {{22, "0,00"}, {23, "40000,00"}, {25, "0,00"}, {28, "0,00"}},
                false, ""},
               {"amount added to income turns a loss into an income",
                {{19, "100000,00"}, {20, "105000,00"}, {21, "10000,00"}},
                {{22, "5000,00"}, {23, "0,00"}, {25, "5000,00"}, {26, "950,00"}},
                false, ""},
               {"exempt income capped at the income",
                {{19, "200000,00"}, {20, "150000,00"}, {24, "60000,00"}},
                {{24, "50000,00"}, {25, "0,00"}, {28, "0,00"}},
                false, ""},
               {"deduction from tax above the tax",
                {{19, "10000,00"}, {27, "2000,00"}},
                {{26, "1900,00"}, {28, "0,00"}},
                false, ""},
               {"second section: excess reduces what is to pay",
                {{19, "10000,00"}, {30, "100,00"}, {31, "300,00"}, {32, "400,00"}},
                {{31, "100,00"}, {33, "0,00"}, {34, "400,00"}, {35, "1500,00"}, {36, "0,00"}},
                false, ""},
               {"overpayment",
                {{19, "1000,00"}, {30, "0,00"}, {32, "500,00"}},
                {{28, "190,00"}, {34, "500,00"}, {35, "0,00"}, {36, "310,00"}},
                false, ""},
               {"1% above its limit with an organisation",
                {{19, "200000,00"}, {20, "150000,00"}, {58, "0000127204"}, {50, "100,00"}},
                {{50, "95,00"}},
                true, "95,00"},
               // Without an organisation the amount is emptied first, so
               // nothing is capped and no notice shows.
               {"1% above its limit without an organisation",
                {{19, "200000,00"}, {20, "150000,00"}, {50, "100,00"}},
                {{50, "0,00"}},
                false, "95,00"},
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
      {kPit38, 18, 28, 59, 2,
       "    PIT-38. W polu formularza nr 58 należy podać kwotę, która ma być przekazana w ramach 1%"},
      {kPit39, 19, -1, 58, 2,
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
        EXPECT_EQ(fx.display.extraHeight, 40);
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
    const int revenue = idPit == kPit38 ? 18 : 19;
    const int krs = idPit == kPit38 ? 59 : 58;
    const int onePercent = idPit == kPit38 ? 60 : 50;
    if (idPit == kPit38) {
      fx.Set(p, 28, "19");
      fx.Set(m, 28, "19");
    }
    fx.Set(p, {{5, "Kowalski"}, {6, "Jan"}, {revenue, "10000,00"}, {krs, "0000127204"}, {onePercent, "15,00"}});
    fx.Run(p);
    fx.Set(m, {{5, "Nowak"}, {6, "Anna"}, {revenue, "2000,00"}, {krs, "0000270809"}, {onePercent, "15,00"}});
    fx.Run(m);
    fx.Run(p);
    EXPECT_EQ(fx.Get(p, 5), "Kowalski");
    EXPECT_EQ(fx.Get(p, 6), "Jan");
    EXPECT_EQ(fx.Get(m, 5), "Nowak");
    EXPECT_EQ(fx.Get(m, 6), "Anna");
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
