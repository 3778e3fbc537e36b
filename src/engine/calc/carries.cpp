#include "calc/carries.h"

#include <optional>

#include "calc/calculation.h"

namespace pit {
namespace {

using F = CarryField;
constexpr CarryPerson kAny = CarryPerson::Any;

// PIT/O: its totals (28, 29: deductions from income of the taxpayer and the
// spouse; 41, 42: from tax) into the return it is attached to.
const std::vector<AttachmentCarry> kPitOCarries = {
    {kPit28, true, kAttachmentsPerson, kAny, {F::Copy(64, 28), F::Copy(98, 41)}},
    {kPit36, true, kPmNone, kAny, {F::Copy(144, 28), F::Copy(145, 29), F::Copy(177, 41), F::Copy(178, 42)}},
    {kPit37, true, kPmNone, kAny, {F::Copy(94, 28), F::Copy(95, 29), F::Copy(107, 41), F::Copy(108, 42)}},
};

// A PIT/D removed from any return it feeds takes its amounts back from
// every PIT-28 too; from a PIT-28, back from the PIT-36/37 as well.
const std::vector<int> kAnyReturn = {kPit36, kPit37};

// PIT/D: the sections A, B and C into every return of the settlement. The
// returns take the part of the PIT-36/37 (or the section total when both
// person columns are zero); a PIT-28 takes the PIT-28 part, and a PIT-28
// of one person that person's column whatever it holds.
const std::vector<AttachmentCarry> kPitDCarries = {
    {kPit37, false, kPmNone, kAny, {{96, 34, 35, 31}, {97, 45, 46, 42}, {110, 54, 55, 51}}, {kPit28}},
    {kPit36, false, kPmNone, kAny, {{146, 34, 35, 31}, {149, 45, 46, 42}, {179, 54, 55, 51}}, {kPit28}},
    {kPit28, false, kPmNone, kAny, {{66, 32, 33, 30}, {68, 43, 44, 41}, {99, 52, 53, 50}}, kAnyReturn},
    {kPit28, false, kPmTaxpayer, kAny, {F::Copy(66, 32), F::Copy(68, 43), F::Copy(99, 52)}, kAnyReturn},
    {kPit28, false, kPmSpouse, kAny, {F::Copy(66, 33), F::Copy(68, 44), F::Copy(99, 53)}, kAnyReturn},
};

// PIT/M: the children's income (30) and the amount to carry (31) into the
// PIT-36, in the spouse's fields for the spouse's PIT/M. Removing either
// person's PIT/M resets both persons' amounts; the other PIT/M carries its
// own again when it is calculated.
const std::vector<AttachmentCarry> kPitMCarries = {
    {kPit36, false, kPmNone, CarryPerson::NotSpouse,
     {F::Copy(131, 30), F::Copy(133, 31), F::OnRemoval(132), F::OnRemoval(134)}},
    {kPit36, false, kPmNone, CarryPerson::Spouse,
     {F::Copy(132, 30), F::Copy(134, 31), F::OnRemoval(131), F::OnRemoval(133)}},
};

// PIT-36's business boxes: the person's income taxed the first or the
// second way; PIT-36L's box for income declared in a PIT/Z.
constexpr int kFirstWay = 39, kSpouseFirstWay = 40, kSecondWay = 41, kSpouseSecondWay = 42;
constexpr int kPit36LFromPitZ = 19;

// PIT/B: the revenue and costs of all the person's copies, which its
// calculation sums into the last copy's 56 and 57, into the return it is
// attached to (into a PIT-36 only amounts that are not zero). Removing the
// person's last copy also resets the income and loss made of them.
const std::vector<AttachmentCarry> kPitBCarries = {
    {kPit36, true, kPmNone, CarryPerson::NotSpouse,
     {F::IfNotZero(53, 56), F::IfNotZero(54, 57), F::OnRemoval(55), F::OnRemoval(56)}, {}, 0, true},
    {kPit36, true, kPmNone, CarryPerson::Spouse,
     {F::IfNotZero(96, 56), F::IfNotZero(97, 57), F::OnRemoval(98), F::OnRemoval(99)}, {}, 0, true},
    {kPit36L, true, kPmNone, kAny, {F::Copy(21, 56), F::Copy(22, 57), F::OnRemoval(23), F::OnRemoval(24)}, {},
     0, true},
};

// PIT/Z: the income, loss and amount carried of the first way (20-22), or
// the income and loss of the second way (34, 35), into the return it is
// attached to, as the return's boxes choose; both boxes ticked: the second
// way's.
const std::vector<AttachmentCarry> kPitZCarries = {
    {kPit36, true, kPmNone, CarryPerson::NotSpouse, {F::Copy(55, 20), F::Copy(56, 21), F::Copy(58, 22)}, {},
     kFirstWay},
    {kPit36, true, kPmNone, CarryPerson::NotSpouse, {F::Copy(55, 34), F::Copy(56, 35), F::Zero(58)}, {},
     kSecondWay},
    {kPit36, true, kPmNone, CarryPerson::Spouse, {F::Copy(98, 20), F::Copy(99, 21), F::Copy(101, 22)}, {},
     kSpouseFirstWay},
    {kPit36, true, kPmNone, CarryPerson::Spouse, {F::Copy(98, 34), F::Copy(99, 35), F::Zero(101)}, {},
     kSpouseSecondWay},
    {kPit36L, true, kPmNone, kAny, {F::Copy(23, 34), F::Copy(24, 35)}, {}, kPit36LFromPitZ},
};

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
  for (const CarryField& k : c.fields) s.Entry(entry).Slots[static_cast<std::size_t>(k.into)].SetValue("0,00");
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
