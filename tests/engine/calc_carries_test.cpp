// The carry tables: what an attachment copies into a return is what removing
// it resets, for every attachment and every return it can belong to.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "calc/carries.h"
#include "engine/calc_fixture.h"

namespace pit {
namespace {

using testing::CalcFixture;

TEST(CarryTables, RemovingAnAttachmentResetsWhatItCarried) {
  struct Case {
    int attachment, parentType, pm;
  } cases[] = {
      {kPitO, kPit37, kPmNone}, {kPitO, kPit36, kPmNone}, {kPitO, kPit28, kPmNone},
      {kPitD, kPit37, kPmNone}, {kPitD, kPit36, kPmNone}, {kPitD, kPit28, kPmNone},
      {kPitM, kPit36, kPmTaxpayer}, {kPitM, kPit36, kPmSpouse},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.attachment) + " under " + std::to_string(c.parentType));
    CalcFixture fx(kJoint, kIdNip);
    const int ret = fx.Add(c.parentType);
    // A PIT-28 beside a PIT-37/36 return: PIT/D writes into both.
    const int other = c.parentType == kPit28 ? fx.Add(kPit37) : fx.Add(kPit28);
    // Income enough that the return keeps every deduction it is given: the
    // PIT-37's revenue, or both persons' first row of the PIT-36.
    const int incomeReturn = c.parentType == kPit28 ? other : ret;
    if (fx.s.Entry(incomeReturn).IdPit == kPit36) {
      fx.Set(incomeReturn, 45, "1000000,00");
      fx.Set(incomeReturn, 88, "1000000,00");
    } else {
      fx.Set(incomeReturn, 36, "1000000,00");
    }
    // A PIT-28 fits what it is given into its revenue: typed second-group
    // revenue, as no PIT-28/A is attached.
    for (int e : {ret, other})
      if (fx.s.Entry(e).IdPit == kPit28) fx.Set(e, 43, "1000000,00");
    const int a = fx.Add(c.attachment, ret, c.pm);
    for (int k = 0; k < kSlotCount; ++k) fx.Set(a, k, "7,00");
    CalcContext& ctx = fx.ctx;
    CarryIntoReturns(ctx, a);

    std::set<int> named;
    for (const AttachmentCarry& t : CarriesOf(c.attachment))
      for (const CarryField& f : t.fields) named.insert(f.into);
    std::set<std::pair<int, int>> carried;
    for (int e : {ret, other})
      for (int k : named)
        if (fx.Get(e, k) == "7,00") carried.insert({e, k});
    ASSERT_FALSE(carried.empty());
    ClearAttachmentTransfers(fx.s, a);
    for (const auto& [e, k] : carried) EXPECT_EQ(fx.Get(e, k), "0,00") << e << ":" << k;
  }
}

TEST(CarryTables, AnAttachmentUnderAReturnItDoesNotFeedResetsNothing) {
  for (int attachment : {kPitO, kPitM}) {
    CalcFixture fx;
    const int ret = fx.Add(kPit38);
    const int p36 = fx.Add(kPit36);
    fx.Set(p36, 131, "5,00");
    fx.Set(p36, 144, "5,00");
    const int a = fx.Add(attachment, ret);
    ClearAttachmentTransfers(fx.s, a);
    EXPECT_EQ(fx.Get(p36, 131), "5,00");
    EXPECT_EQ(fx.Get(p36, 144), "5,00");
  }
}

// PIT/B and PIT/Z carry into the return they are attached to what its boxes
// choose, each person into the person's fields; removing the attachment
// resets every field its table names there, whatever the boxes.
TEST(CarryTables, BusinessAttachmentsCarryByTheBoxesAndResetOnRemoval) {
  struct Case {
    int attachment, parentType, pm, box;
    std::vector<std::pair<int, int>> intoFrom;
  } cases[] = {
      {kPitZ, kPit36, kPmNone, 39, {{55, 20}, {56, 21}, {58, 22}}},
      {kPitZ, kPit36, kPmNone, 41, {{55, 34}, {56, 35}}},
      {kPitZ, kPit36, kPmSpouse, 40, {{98, 20}, {99, 21}, {101, 22}}},
      {kPitZ, kPit36, kPmSpouse, 42, {{98, 34}, {99, 35}}},
      {kPitZ, kPit36L, kPmNone, 19, {{23, 34}, {24, 35}}},
      {kPitB, kPit36, kPmNone, 0, {{53, 56}, {54, 57}}},
      {kPitB, kPit36, kPmSpouse, 0, {{96, 56}, {97, 57}}},
      {kPitB, kPit36L, kPmNone, 0, {{21, 56}, {22, 57}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.attachment) + " under " + std::to_string(c.parentType) + " person " +
                 std::to_string(c.pm) + " box " + std::to_string(c.box));
    CalcFixture fx(kJoint, kIdNip);
    const int ret = fx.Add(c.parentType);
    if (c.box != 0) fx.Tick(ret, c.box, "1");
    const int a = fx.Add(c.attachment, ret, c.pm);
    // Both ways' income differ, so the way taken shows.
    if (c.attachment == kPitZ)
      fx.Set(a, {{6, "900,00"}, {7, "100,00"}, {10, "700,00"}, {11, "200,00"}, {14, "60,00"}, {23, "3000,00"},
                 {24, "1000,00"}});
    else
      fx.Set(a, {{10, "5000,00"}, {11, "1000,00"}});
    fx.Show(a);
    ASSERT_EQ(fx.Run(a), CalcStatus::Done);
    bool someAmount = false;
    for (const auto& [into, from] : c.intoFrom) {
      EXPECT_EQ(fx.Get(ret, into), fx.Get(a, from)) << into;
      someAmount = someAmount || fx.Get(ret, into) != "0,00";
    }
    EXPECT_TRUE(someAmount);

    ClearAttachmentTransfers(fx.s, a);
    for (const AttachmentCarry& t : CarriesOf(c.attachment)) {
      const bool forThisPerson = t.forPerson == CarryPerson::Any || (t.forPerson == CarryPerson::Spouse) == (c.pm == kPmSpouse);
      if (t.returnType != c.parentType || !forThisPerson) continue;
      for (const CarryField& f : t.fields) EXPECT_EQ(fx.Get(ret, f.into), "0,00") << f.into;
    }
  }
}

TEST(CarryTables, PitDTakesThePersonColumnsOrTheSectionTotal) {
  CalcFixture fx(kJoint, kIdNip);
  const int p37 = fx.Add(kPit37);
  fx.Set(p37, 36, "1000000,00");
  const int d = fx.Add(kPitD, p37);
  fx.Set(d, {{31, "300,00"}, {34, "0,00"}, {35, "0,00"}, {42, "400,00"}, {45, "0,00"}, {46, "40,00"}});
  CarryIntoReturns(fx.ctx, d);
  EXPECT_EQ(fx.Get(p37, 96), "300,00");  // both columns zero: the total
  EXPECT_EQ(fx.Get(p37, 97), "0,00");    // the spouse's column is not zero: the taxpayer's part
}

}  // namespace
}  // namespace pit
