#include <gtest/gtest.h>

#include "app/settlement.h"
#include "output/print_order.h"

namespace pit {
namespace {

// Two returns: a PIT-36 with a PIT/O and an SSE-R that has its own SSE/A,
// and a PIT-37 with a PIT/O and a PIT/D, the PIT-37's entries added after
// the PIT-36's so that list order and tree order differ.
struct TwoReturns {
  Settlement s;
  int pit36, pit36O, sseR, sseA, pit37, pit37O, pit37D;
  TwoReturns() {
    pit36 = s.AddEntry(kPit36, 0, 0, kIndividual);
    pit37 = s.AddEntry(kPit37, 0, 0, kIndividual);
    pit36O = s.AddEntry(kPitO, pit36, kPmTaxpayer, kIndividual);
    sseR = s.AddEntry(kSseR, pit36, kPmTaxpayer, kIndividual);
    pit37O = s.AddEntry(kPitO, pit37, kPmTaxpayer, kIndividual);
    sseA = s.AddEntry(kSseA, sseR, kPmTaxpayer, kIndividual);
    pit37D = s.AddEntry(kPitD, pit37, kPmTaxpayer, kIndividual);
  }
};

TEST(PrintOrder, RangesListTheirEntriesMainFormFirst) {
  TwoReturns t;
  // The entries must be numbered as added for the table below to hold.
  ASSERT_EQ(t.s.Count(), 7);
  struct Case {
    const char* what;
    int range;
    int current;
    std::vector<int> expected;
  };
  const std::vector<Case> cases = {
      {"page of an attachment", kPrintCurrentPage, t.pit37O, {t.pit37O}},
      {"form of an attachment", kPrintCurrentForm, t.pit37O, {t.pit37O}},
      {"return from its main form", kPrintReturn, t.pit37, {t.pit37, t.pit37O, t.pit37D}},
      {"return from an attachment: main form first", kPrintReturn, t.pit37D, {t.pit37, t.pit37O, t.pit37D}},
      {"return from a form under an attachment", kPrintReturn, t.sseA, {t.pit36, t.pit36O, t.sseR, t.sseA}},
      {"whole settlement", kPrintSettlement, t.pit37O,
       {t.pit36, t.pit36O, t.sseR, t.sseA, t.pit37, t.pit37O, t.pit37D}},
      {"nothing shown", kPrintReturn, 0, {}},
      {"unknown range", 7, t.pit37, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(EntriesToPrint(t.s, c.range, c.current), c.expected) << c.what;
  EXPECT_EQ(MainEntryOf(t.s, t.sseA), t.pit36);
}

TEST(PrintOrder, DamagedParentLinksNeitherLoopNorLoseEntries) {
  Settlement s;
  const int a = s.AddEntry(kPit37, 0, 0, kIndividual);
  const int b = s.AddEntry(kPitO, a, kPmTaxpayer, kIndividual);
  const int c = s.AddEntry(kPitD, a, kPmTaxpayer, kIndividual);
  s.Entry(b).IdParent = c;  // b and c point at each other
  s.Entry(c).IdParent = b;
  s.Entry(a).IdParent = 99;  // a parent that is not there: a main form
  const std::vector<int> all = EntriesToPrint(s, kPrintSettlement, a);
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(all.front(), a);
  EXPECT_LE(all.size(), 3u);
  EXPECT_FALSE(EntriesToPrint(s, kPrintReturn, b).empty());
}

}  // namespace
}  // namespace pit
