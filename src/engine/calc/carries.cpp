#include "calc/carries.h"

#include <optional>

#include "calc/calculation.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_m_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_z_fields.h"

namespace pit {
namespace {

using F = CarryField;
constexpr CarryPerson kAny = CarryPerson::Any;

// PIT/O: its totals of deductions from income and from tax, the taxpayer's
// and the spouse's, into the return it is attached to (a PIT-28 takes the
// attachment's own person's column).
const std::vector<AttachmentCarry> kPitOCarries = [] {
  using namespace pit_o;
  return std::vector<AttachmentCarry>{
      {kPit28,
       true,
       kAttachmentsPerson,
       kAny,
       {F::Copy(pit28::pit_o_revenue_deductions, taxpayer_income_deductions_total),
        F::Copy(pit28::pit_o_lump_sum_deductions, taxpayer_tax_deductions_total)}},
      {kPit36,
       true,
       kPmNone,
       kAny,
       {F::Copy(pit36::taxpayer_pit_o_income_deductions, taxpayer_income_deductions_total),
        F::Copy(pit36::spouse_pit_o_income_deductions, spouse_income_deductions_total),
        F::Copy(pit36::taxpayer_pit_o_tax_deductions, taxpayer_tax_deductions_total),
        F::Copy(pit36::spouse_pit_o_tax_deductions, spouse_tax_deductions_total)}},
      {kPit37,
       true,
       kPmNone,
       kAny,
       {F::Copy(pit37::taxpayer_pit_o_income_deductions, taxpayer_income_deductions_total),
        F::Copy(pit37::spouse_pit_o_income_deductions, spouse_income_deductions_total),
        F::Copy(pit37::taxpayer_pit_o_tax_deductions, taxpayer_tax_deductions_total),
        F::Copy(pit37::spouse_pit_o_tax_deductions, spouse_tax_deductions_total)}},
  };
}();

// A PIT/D removed from any return it feeds takes its amounts back from
// every PIT-28 too; from a PIT-28, back from the PIT-36/37 as well.
const std::vector<int> kAnyReturn = {kPit36, kPit37};

// PIT/D: the sections of the loan, the other expenses and the tax relief
// into every return of the settlement. The returns take the part of the
// PIT-36/37 (or the section total when both person columns are zero); a
// PIT-28 takes the PIT-28 part, and a PIT-28 of one person that person's
// column whatever it holds.
CarryField Split(int into, pit_d::Field part, pit_d::Field otherColumn, pit_d::Field total) {
  return {into, part, otherColumn, total};
}
const std::vector<AttachmentCarry> kPitDCarries = [] {
  using namespace pit_d;
  return std::vector<AttachmentCarry>{
      {kPit37,
       false,
       kPmNone,
       kAny,
       {Split(pit37::pit_d_income_relief, loan_return_taxpayer, loan_return_spouse, loan_return),
        Split(pit37::pit_d_relief, expenses_return_taxpayer, expenses_return_spouse, expenses_return),
        Split(pit37::pit_d_tax_relief, tax_relief_return_taxpayer, tax_relief_return_spouse, tax_relief_return)},
       {kPit28}},
      {kPit36,
       false,
       kPmNone,
       kAny,
       {Split(pit36::taxpayer_pit_d_income_relief, loan_return_taxpayer, loan_return_spouse, loan_return),
        Split(pit36::pit_d_relief, expenses_return_taxpayer, expenses_return_spouse, expenses_return),
        Split(pit36::pit_d_tax_relief, tax_relief_return_taxpayer, tax_relief_return_spouse, tax_relief_return)},
       {kPit28}},
      {kPit28,
       false,
       kPmNone,
       kAny,
       {Split(pit28::pit_d_revenue_relief, loan_pit28_taxpayer, loan_pit28_spouse, loan_pit28),
        Split(pit28::pit_d_relief, expenses_pit28_taxpayer, expenses_pit28_spouse, expenses_pit28),
        Split(pit28::pit_d_lump_sum_relief, tax_relief_pit28_taxpayer, tax_relief_pit28_spouse, tax_relief_pit28)},
       kAnyReturn},
      {kPit28,
       false,
       kPmTaxpayer,
       kAny,
       {F::Copy(pit28::pit_d_revenue_relief, loan_pit28_taxpayer),
        F::Copy(pit28::pit_d_relief, expenses_pit28_taxpayer),
        F::Copy(pit28::pit_d_lump_sum_relief, tax_relief_pit28_taxpayer)},
       kAnyReturn},
      {kPit28,
       false,
       kPmSpouse,
       kAny,
       {F::Copy(pit28::pit_d_revenue_relief, loan_pit28_spouse), F::Copy(pit28::pit_d_relief, expenses_pit28_spouse),
        F::Copy(pit28::pit_d_lump_sum_relief, tax_relief_pit28_spouse)},
       kAnyReturn},
  };
}();

// PIT/M: the children's income and advances into the PIT-36, in the
// spouse's fields for the spouse's PIT/M. Removing either person's PIT/M
// resets both persons' amounts; the other PIT/M carries its own again when
// it is calculated.
const std::vector<AttachmentCarry> kPitMCarries = [] {
  using namespace pit36;
  using pit_m::income_carried, pit_m::advances_carried;
  return std::vector<AttachmentCarry>{
      {kPit36,
       false,
       kPmNone,
       CarryPerson::NotSpouse,
       {F::Copy(taxpayer_children_income, income_carried), F::Copy(taxpayer_children_advances, advances_carried),
        F::OnRemoval(spouse_children_income), F::OnRemoval(spouse_children_advances)}},
      {kPit36,
       false,
       kPmNone,
       CarryPerson::Spouse,
       {F::Copy(spouse_children_income, income_carried), F::Copy(spouse_children_advances, advances_carried),
        F::OnRemoval(taxpayer_children_income), F::OnRemoval(taxpayer_children_advances)}},
  };
}();

// PIT/B: the revenue and costs of all the person's copies, which its
// calculation sums into the last copy's totals, into the return it is
// attached to (into a PIT-36 only amounts that are not zero). Removing the
// person's last copy also resets the income and loss made of them.
const std::vector<AttachmentCarry> kPitBCarries = [] {
  using namespace pit36;
  using pit_b::total_revenue, pit_b::total_costs;
  return std::vector<AttachmentCarry>{
      {kPit36,
       true,
       kPmNone,
       CarryPerson::NotSpouse,
       {F::IfNotZero(taxpayer_business_revenue, total_revenue), F::IfNotZero(taxpayer_business_costs, total_costs),
        F::OnRemoval(taxpayer_business_income), F::OnRemoval(taxpayer_business_loss)},
       {},
       0,
       true},
      {kPit36,
       true,
       kPmNone,
       CarryPerson::Spouse,
       {F::IfNotZero(spouse_business_revenue, total_revenue), F::IfNotZero(spouse_business_costs, total_costs),
        F::OnRemoval(spouse_business_income), F::OnRemoval(spouse_business_loss)},
       {},
       0,
       true},
      {kPit36L,
       true,
       kPmNone,
       kAny,
       {F::Copy(pit36l::business_revenue, total_revenue), F::Copy(pit36l::business_costs, total_costs),
        F::OnRemoval(pit36l::business_income), F::OnRemoval(pit36l::business_loss)},
       {},
       0,
       true},
  };
}();

// PIT/Z: the income, loss and amount carried of the first way, or the
// income and loss of the second way, into the return it is attached to, as
// the return's boxes (the person's income taxed the first or the second
// way; PIT-36L's box for income declared in a PIT/Z) choose; both boxes
// ticked: the second way's.
const std::vector<AttachmentCarry> kPitZCarries = [] {
  using namespace pit36;
  using pit_z::first_way_income, pit_z::first_way_loss, pit_z::first_way_row3_amount, pit_z::carried_income,
      pit_z::carried_loss;
  return std::vector<AttachmentCarry>{
      {kPit36,
       true,
       kPmNone,
       CarryPerson::NotSpouse,
       {F::Copy(taxpayer_business_income, first_way_income), F::Copy(taxpayer_business_loss, first_way_loss),
        F::Copy(taxpayer_business_pit_z_income, first_way_row3_amount)},
       {},
       taxpayer_business_first_way},
      {kPit36,
       true,
       kPmNone,
       CarryPerson::NotSpouse,
       {F::Copy(taxpayer_business_income, carried_income), F::Copy(taxpayer_business_loss, carried_loss),
        F::Zero(taxpayer_business_pit_z_income)},
       {},
       taxpayer_business_second_way},
      {kPit36,
       true,
       kPmNone,
       CarryPerson::Spouse,
       {F::Copy(spouse_business_income, first_way_income), F::Copy(spouse_business_loss, first_way_loss),
        F::Copy(spouse_business_pit_z_income, first_way_row3_amount)},
       {},
       spouse_business_first_way},
      {kPit36,
       true,
       kPmNone,
       CarryPerson::Spouse,
       {F::Copy(spouse_business_income, carried_income), F::Copy(spouse_business_loss, carried_loss),
        F::Zero(spouse_business_pit_z_income)},
       {},
       spouse_business_second_way},
      {kPit36L,
       true,
       kPmNone,
       kAny,
       {F::Copy(pit36l::business_income, carried_income), F::Copy(pit36l::business_loss, carried_loss)},
       {},
       pit36l::income_from_pit_z},
  };
}();

const std::vector<AttachmentCarry> kNone;

bool IsPlainCopy(const CarryField& c) { return c.otherColumn == c.part && c.total == c.part; }

bool ForPerson(CarryPerson p, int pm) {
  switch (p) {
    case CarryPerson::NotSpouse: return pm != kPmSpouse;
    case CarryPerson::Spouse: return pm == kPmSpouse;
    default: return true;
  }
}

int FirstReturn(const Settlement& s, const AttachmentCarry& c, const FormEntry& attachment) {
  const int r = s.FindEntry(c.returnType, 0, c.pm == kAttachmentsPerson ? attachment.PM : c.pm);
  return r > 0 ? r : 0;
}

// The return a carry goes into for attachment entry `entry`; 0 when none.
int ReturnOf(const Settlement& s, const AttachmentCarry& c, int entry) {
  const FormEntry& e = s.Entry(entry);
  if (!ForPerson(c.forPerson, e.PM)) return 0;
  const int r = FirstReturn(s, c, e);
  return c.parentOnly && r != e.IdParent ? 0 : r;
}

void ZeroFields(Settlement& s, int entry, const AttachmentCarry& c) {
  if (!s.Has(entry)) return;
  for (const CarryField& k : c.fields) s.Write(entry, k.into, "0,00");
}

// The fields of carry `c` filled in the return from the attachment (none:
// zero amounts), when the return's box allows it.
void Fill(FormFields& ret, const AttachmentCarry& c, const FormFields* from) {
  if (c.whenTicked != 0 && !ret.Ticked(c.whenTicked)) return;
  for (const CarryField& k : c.fields) {
    switch (k.rule) {
      case CarryRule::OnRemoval:
        break;
      case CarryRule::Zero:
        ret.SetZero(k.into);
        break;
      case CarryRule::IfNotZero:
        if (from != nullptr && from->AmountOf(k.part) != 0) ret.CopyFrom(k.into, *from, k.part);
        break;
      case CarryRule::Value:
        if (from == nullptr)
          ret.SetZero(k.into);
        else if (IsPlainCopy(k) || from->AmountOf(k.part) != 0 || from->AmountOf(k.otherColumn) != 0)
          ret.CopyFrom(k.into, *from, k.part);
        else
          ret.CopyFrom(k.into, *from, k.total);
        break;
    }
  }
}

}  // namespace

const std::vector<AttachmentCarry>& CarriesOf(int attachmentType) {
  switch (attachmentType) {
    case kPitO: return kPitOCarries;
    case kPitD: return kPitDCarries;
    case kPitM: return kPitMCarries;
    case kPitB: return kPitBCarries;
    case kPitZ: return kPitZCarries;
    default: return kNone;
  }
}

void CarryIntoReturns(CalcContext& ctx, int entry) {
  FormFields from(ctx, entry);
  for (const AttachmentCarry& c : CarriesOf(from.Header().IdPit)) {
    const int r = ReturnOf(ctx.settlement, c, entry);
    if (r <= 0) continue;
    FormFields ret(ctx, r);
    Fill(ret, c, &from);
    Calculate(ctx, c.returnType, r);
  }
}

void CarryInto(CalcContext& ctx, int attachmentType, int pm, int from, int ret) {
  if (!ctx.settlement.Has(ret)) return;
  const int returnType = ctx.settlement.Entry(ret).IdPit;
  FormFields into(ctx, ret);
  std::optional<FormFields> attachment;
  if (from > 0 && ctx.settlement.Has(from)) attachment.emplace(ctx, from);
  for (const AttachmentCarry& c : CarriesOf(attachmentType)) {
    if (c.returnType == returnType && ForPerson(c.forPerson, pm))
      Fill(into, c, attachment ? &*attachment : nullptr);
  }
}

void ClearAttachmentTransfers(Settlement& s, int removedEntry) {
  if (!s.Has(removedEntry)) return;
  const FormEntry& removed = s.Entry(removedEntry);
  const int parent = removed.IdParent;
  const int parentType = s.Has(parent) ? s.Entry(parent).IdPit : 0;
  const std::vector<AttachmentCarry>& carries = CarriesOf(removed.IdPit);
  bool carriesIntoParent = false;
  for (const AttachmentCarry& c : carries) carriesIntoParent = carriesIntoParent || c.returnType == parentType;
  if (!carriesIntoParent) return;
  const bool copyLeft = s.CountByTypeAndParent(removed.IdPit, parent, removed.PM) > 1;
  for (const AttachmentCarry& c : carries) {
    if (!ForPerson(c.forPerson, removed.PM) || (c.totalOfCopies && copyLeft)) continue;
    if (c.returnType == parentType) {
      ZeroFields(s, parent, c);
    } else {
      bool reset = false;
      for (int t : c.alsoResetUnder) reset = reset || t == parentType;
      if (!reset) continue;
    }
    if (!c.parentOnly) ZeroFields(s, FirstReturn(s, c, removed), c);
  }
}

}  // namespace pit
