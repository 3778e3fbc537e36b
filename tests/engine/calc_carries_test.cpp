// The carry tables: what an attachment copies into a return is what removing
// it resets, for every attachment and every return it can belong to.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "calc/carries.h"
#include "engine/calc_fixture.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_z_fields.h"

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
      fx.Set(incomeReturn, pit36::taxpayer_employment_revenue, "1000000,00");
      fx.Set(incomeReturn, pit36::spouse_employment_revenue, "1000000,00");
    } else {
      fx.Set(incomeReturn, pit37::taxpayer_employment_revenue, "1000000,00");
    }
    // A PIT-28 fits what it is given into its revenue: typed second-group
    // revenue, as no PIT-28/A is attached.
    for (int e : {ret, other})
      if (fx.s.Entry(e).IdPit == kPit28) fx.Set(e, pit28::fivefold_revenue_3pct, "1000000,00");
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
    fx.Set(p36, pit36::taxpayer_children_income, "5,00");
    fx.Set(p36, pit36::taxpayer_pit_o_income_deductions, "5,00");
    const int a = fx.Add(attachment, ret);
    ClearAttachmentTransfers(fx.s, a);
    EXPECT_EQ(fx.Get(p36, pit36::taxpayer_children_income), "5,00");
    EXPECT_EQ(fx.Get(p36, pit36::taxpayer_pit_o_income_deductions), "5,00");
  }
}

// PIT/B and PIT/Z carry into the return they are attached to what its boxes
// choose, each person into the person's fields; removing the attachment
// resets every field its table names there, whatever the boxes.
TEST(CarryTables, BusinessAttachmentsCarryByTheBoxesAndResetOnRemoval) {
  struct Case {
    int attachment, parentType, pm, box;
    std::vector<std::pair<int, int>> intoFrom;
  };
  using namespace pit36;
  using pit_z::first_way_income, pit_z::first_way_loss, pit_z::first_way_row3_amount, pit_z::carried_income,
      pit_z::carried_loss, pit_b::total_revenue, pit_b::total_costs;
  const Case cases[] = {
      {kPitZ,
       kPit36,
       kPmNone,
       taxpayer_business_first_way,
       {{taxpayer_business_income, first_way_income},
        {taxpayer_business_loss, first_way_loss},
        {taxpayer_business_pit_z_income, first_way_row3_amount}}},
      {kPitZ,
       kPit36,
       kPmNone,
       taxpayer_business_second_way,
       {{taxpayer_business_income, carried_income}, {taxpayer_business_loss, carried_loss}}},
      {kPitZ,
       kPit36,
       kPmSpouse,
       spouse_business_first_way,
       {{spouse_business_income, first_way_income},
        {spouse_business_loss, first_way_loss},
        {spouse_business_pit_z_income, first_way_row3_amount}}},
      {kPitZ,
       kPit36,
       kPmSpouse,
       spouse_business_second_way,
       {{spouse_business_income, carried_income}, {spouse_business_loss, carried_loss}}},
      {kPitZ,
       kPit36L,
       kPmNone,
       pit36l::income_from_pit_z,
       {{pit36l::business_income, carried_income}, {pit36l::business_loss, carried_loss}}},
      {kPitB, kPit36, kPmNone, 0, {{taxpayer_business_revenue, total_revenue}, {taxpayer_business_costs, total_costs}}},
      {kPitB, kPit36, kPmSpouse, 0, {{spouse_business_revenue, total_revenue}, {spouse_business_costs, total_costs}}},
      {kPitB, kPit36L, kPmNone, 0, {{pit36l::business_revenue, total_revenue}, {pit36l::business_costs, total_costs}}},
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
      fx.Set(a, {{pit_z::business_revenue, "900,00"},
                 {pit_z::business_costs, "100,00"},
                 {pit_z::separate_revenue, "700,00"},
                 {pit_z::separate_costs, "200,00"},
                 {pit_z::other_revenue, "60,00"},
                 {pit_z::second_way_revenue, "3000,00"},
                 {pit_z::second_way_costs, "1000,00"}});
    else
      fx.Set(a, {{pit_b::own1_revenue, "5000,00"}, {pit_b::own1_costs, "1000,00"}});
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
  fx.Set(p37, pit37::taxpayer_employment_revenue, "1000000,00");
  const int d = fx.Add(kPitD, p37);
  using namespace pit_d;
  fx.Set(d, {{loan_return, "300,00"},
             {loan_return_taxpayer, "0,00"},
             {loan_return_spouse, "0,00"},
             {expenses_return, "400,00"},
             {expenses_return_taxpayer, "0,00"},
             {expenses_return_spouse, "40,00"}});
  CarryIntoReturns(fx.ctx, d);
  EXPECT_EQ(fx.Get(p37, pit37::pit_d_income_relief), "300,00");  // both columns zero: the total
  EXPECT_EQ(fx.Get(p37, pit37::pit_d_relief), "0,00");           // the spouse's column is not zero: the taxpayer's part
}

}  // namespace
}  // namespace pit
