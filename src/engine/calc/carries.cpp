#include "calc/carries.h"

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
// PIT-36, in the spouse's fields for the spouse's PIT/M.
const std::vector<AttachmentCarry> kPitMCarries = {
    {kPit36, false, kPmNone, CarryPerson::NotSpouse, {F::Copy(131, 30), F::Copy(133, 31)}},
    {kPit36, false, kPmNone, CarryPerson::Spouse, {F::Copy(132, 30), F::Copy(134, 31)}},
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

void ZeroFields(Settlement& s, int entry, std::initializer_list<int> fields) {
  if (!s.Has(entry)) return;
  for (int k : fields) s.Entry(entry).Slots[static_cast<std::size_t>(k)].SetValue("0,00");
}

// Business amounts a PIT/B or PIT/Z carried. Which fields they fill depends
// on the return's tick boxes (business.cpp), so they are not rows of a
// table; without the attachment the user types them in the return.
void ClearBusinessTransfers(Settlement& s, const FormEntry& removed) {
  const int parent = removed.IdParent;
  const int parentType = s.Has(parent) ? s.Entry(parent).IdPit : 0;
  if (removed.IdPit == kPitB) {
    // Another copy of the same person still carries its totals.
    if (s.CountByTypeAndParent(kPitB, parent, removed.PM) > 1) return;
    if (parentType == kPit36)
      ZeroFields(s, parent, removed.PM == kPmSpouse ? std::initializer_list<int>{96, 97, 98, 99}
                                                    : std::initializer_list<int>{53, 54, 55, 56});
    if (parentType == kPit36L) ZeroFields(s, parent, {21, 22, 23, 24});
  } else {
    if (parentType == kPit36)
      ZeroFields(s, parent, removed.PM == kPmSpouse ? std::initializer_list<int>{98, 99, 101}
                                                    : std::initializer_list<int>{55, 56, 58});
    if (parentType == kPit36L) ZeroFields(s, parent, {23, 24});
  }
}

void ZeroFields(Settlement& s, int entry, const AttachmentCarry& c) {
  if (!s.Has(entry)) return;
  for (const CarryField& k : c.fields) s.Entry(entry).Slots[static_cast<std::size_t>(k.into)].SetValue("0,00");
}

}  // namespace

const std::vector<AttachmentCarry>& CarriesOf(int attachmentType) {
  switch (attachmentType) {
    case kPitO: return kPitOCarries;
    case kPitD: return kPitDCarries;
    case kPitM: return kPitMCarries;
    default: return kNone;
  }
}

void CarryIntoReturns(CalcContext& ctx, int entry) {
  FormFields from(ctx, entry);
  for (const AttachmentCarry& c : CarriesOf(from.Header().IdPit)) {
    const int r = ReturnOf(ctx.settlement, c, entry);
    if (r <= 0) continue;
    FormFields ret(ctx, r);
    for (const CarryField& k : c.fields) {
      if (IsPlainCopy(k) || from.AmountOf(k.part) != 0 || from.AmountOf(k.otherColumn) != 0)
        ret.CopyFrom(k.into, from, k.part);
      else
        ret.CopyFrom(k.into, from, k.total);
    }
    Calculate(ctx, c.returnType, r);
  }
}

void ClearAttachmentTransfers(Settlement& s, int removedEntry) {
  if (!s.Has(removedEntry)) return;
  const FormEntry& removed = s.Entry(removedEntry);
  const int parent = removed.IdParent;
  const int parentType = s.Has(parent) ? s.Entry(parent).IdPit : 0;
  if (removed.IdPit == kPitB || removed.IdPit == kPitZ) return ClearBusinessTransfers(s, removed);
  const std::vector<AttachmentCarry>& carries = CarriesOf(removed.IdPit);
  bool carriesIntoParent = false;
  for (const AttachmentCarry& c : carries) carriesIntoParent = carriesIntoParent || c.returnType == parentType;
  if (!carriesIntoParent) return;
  for (const AttachmentCarry& c : carries) {
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
