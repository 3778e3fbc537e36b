// PIT/O, PIT/D and PIT/UZ: the reliefs attached to a return.
#include <algorithm>
#include <array>
#include <cmath>

#include "calc/calculation.h"
#include "calc/framework.h"
#include "calc/limits.h"

namespace pit {

// --- statutory limits of 2014 ---------------------------------------------------

namespace limits2014 {
// Child relief of one PIT/O by the number of children, in grosze.
constexpr std::array<std::int64_t, 5> kChildReliefUpTo4 = {0, 111204, 222408, 422412, 692412};
constexpr std::int64_t kChildReliefPerFurtherChild = 270000;
// Per child by position; every child on a further copy has the last one.
constexpr std::array<std::int64_t, 5> kChildByPosition = {111204, 111204, 200004, 270000, 270000};
}  // namespace limits2014

namespace {

Amount FromGrosze(std::int64_t g) { return static_cast<Amount>(g) / 100.0L; }

}  // namespace

// `children` is a whole number, as read from the field and truncated; a
// count that no family has still gives its limit, without overflowing.
Amount ChildReliefLimit(Amount children) {
  using namespace limits2014;
  if (children < 1) return 0;
  if (children <= 4) return FromGrosze(kChildReliefUpTo4[static_cast<std::size_t>(children)]);
  // Up to here the limit in grosze fits 64 bits and is exact.
  constexpr Amount kExactUpTo = 1e12L;
  if (children <= kExactUpTo) {
    return FromGrosze(kChildReliefUpTo4[4] + (static_cast<std::int64_t>(children) - 4) * kChildReliefPerFurtherChild);
  }
  return FromGrosze(kChildReliefUpTo4[4]) + (children - 4) * FromGrosze(kChildReliefPerFurtherChild);
}

namespace {

Amount ChildLimitAt(int position) {
  const int i = std::clamp(position, 1, 5) - 1;
  return FromGrosze(limits2014::kChildByPosition[static_cast<std::size_t>(i)]);
}

// --- PIT/O child blocks -------------------------------------------------------

struct BoxGroup {
  int wholeYear;
  std::array<int, 12> months;
};

struct ChildBlock {
  int a, b, c, d;
  BoxGroup first, second;
};

const std::array<ChildBlock, 5> kChildBlocks = {{
    {67, 70, 71, 72, {73, {74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85}},
     {86, {87, 88, 89, 90, 91, 92, 93, 218, 94, 95, 96, 97}}},
    {98, 99, 100, 101, {102, {103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114}},
     {115, {116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127}}},
    {128, 129, 130, 131, {157, {133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144}},
     {132, {145, 146, 147, 153, 148, 149, 150, 151, 152, 154, 155, 156}}},
    {158, 188, 159, 160, {161, {163, 164, 165, 166, 167, 168, 169, 170, 171, 172, 173, 174}},
     {162, {175, 176, 177, 178, 179, 180, 181, 182, 183, 184, 185, 186}}},
    {187, 189, 190, 191, {192, {193, 194, 195, 196, 197, 198, 199, 200, 201, 202, 203, 204}},
     {205, {206, 207, 208, 209, 215, 210, 211, 212, 213, 214, 216, 217}}},
}};

// Relief amounts of children 1 to 5, taxpayer and spouse columns.
constexpr std::array<std::pair<int, int>, 5> kChildAmounts = {{{241, 242}, {233, 234}, {235, 236}, {237, 239}, {238, 240}}};

bool IsParentOfType(const CalcContext& ctx, int entry, int idPit) {
  const Settlement& s = ctx.settlement;
  const int parent = s.Entry(entry).IdParent;
  return s.Has(parent) && s.Entry(parent).IdPit == idPit;
}

// The return's deductions from tax that take a PIT/O's total, per column
// (taxpayer, spouse); the PIT/O's own deductions from tax besides the child
// relief, per column.
struct ReliefColumn {
  int childRelief, childSum;
  std::array<int, 4> others;
};
constexpr std::array<ReliefColumn, 2> kReliefColumns = {{{35, 245, {30, 32, 65, 39}}, {36, 246, {31, 33, 66, 40}}}};

int ReturnDeductionField(int idPit, int column) {
  if (idPit == kPit37) return column == 0 ? 107 : 108;
  if (idPit == kPit36) return column == 0 ? 177 : 178;
  return 0;
}

// The child relief the return actually deducted for one column of PIT/O
// `o`. The return fits the PIT/O's deductions into the tax; the child
// relief is counted as taken after the PIT/O's other deductions, since only
// what it leaves over is paid back. A PIT/O the return does not take its
// total from (a further copy, one under another form) deducted what it shows.
Amount ChildReliefDeducted(const CalcContext& ctx, int o, int column) {
  const Settlement& s = ctx.settlement;
  const ReliefColumn& c = kReliefColumns[static_cast<std::size_t>(column)];
  const Amount claimed = ctx.AmountOf(o, c.childRelief);
  const int parent = s.Entry(o).IdParent;
  if (!s.Has(parent) || ctx.FindChildEntry(kPitO, parent) != o) return claimed;
  const int into = ReturnDeductionField(s.Entry(parent).IdPit, column);
  if (into == 0) return claimed;
  Amount others = 0;
  for (int k : c.others) others += ctx.AmountOf(o, k);
  return std::clamp(ctx.AmountOf(parent, into) - others, Amount{0}, std::max(claimed, Amount{0}));
}

// 243/244: the children's amounts of this copy less what the return
// deducted of them, never below nothing (a deduction on the first copy may
// cover children of a further one; the PIT/UZ nets the copies itself).
void SetUnusedChildRelief(CalcContext& ctx, int o) {
  FormFields f(ctx, o);
  f.SetPositivePart(243, f.AmountOf(245) - ChildReliefDeducted(ctx, o, 0));
  f.SetPositivePart(244, f.AmountOf(246) - ChildReliefDeducted(ctx, o, 1));
}

void SetFlags(CalcContext& ctx, std::initializer_list<int> fields, bool readOnly) {
  for (int k : fields) ctx.display.SetReadOnly(k, readOnly);
}

void SetFlagRange(CalcContext& ctx, int first, int last, bool readOnly) {
  for (int k = first; k <= last; ++k) ctx.display.SetReadOnly(k, readOnly);
}

// Part G of PIT/O `o`: how many children it counts (up to the last one with
// an amount: the third child's amount means three children), and each
// column's total of the children's amounts.
struct PartG {
  int children = 0;
  std::array<Amount, 2> total{};
};

PartG PartGOf(const CalcContext& ctx, int o) {
  PartG g;
  int position = 0;
  for (const auto& [t, s] : kChildAmounts) {
    ++position;
    const Amount taxpayer = ctx.AmountOf(o, t), spouse = ctx.AmountOf(o, s);
    if (taxpayer > 0 || spouse > 0) g.children = position;
    g.total[0] += taxpayer;
    g.total[1] += spouse;
  }
  return g;
}

// 35 and 36 as part G gives them for `limit`: the taxpayer's total, then the
// spouse's within what is left.
std::array<Amount, 2> ReliefFromPartG(const std::array<Amount, 2>& total, Amount limit) {
  const Amount taxpayer = std::min(total[0], limit);
  return {taxpayer, std::min(total[1], limit - taxpayer)};
}

// The first copy's 34, 35 and 36 follow part G of all the person's copies
// while the user has not typed them: an empty field, or one that still
// holds what part G gave at the last calculation (245/246 hold each copy's
// totals as they were then). A typed amount is the user's and stays.
// Returns whether part G was more than the limit for the number of children.
bool FillChildReliefFromPartG(CalcContext& ctx, FormFields& f) {
  const Settlement& s = ctx.settlement;
  const FormEntry& self = f.Header();
  PartG now = PartGOf(ctx, f.Entry());
  std::array<Amount, 2> before = {f.AmountOf(245), f.AmountOf(246)};
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (i == f.Entry() || e.IdPit != kPitO || e.IdParent != self.IdParent || e.PM != self.PM) continue;
    const PartG further = PartGOf(ctx, i);
    // Children on a further copy come after the five of the first.
    if (further.children > 0) now.children = std::max(now.children, 5) + further.children;
    for (std::size_t c = 0; c < 2; ++c) {
      now.total[c] += further.total[c];
      before[c] += ctx.AmountOf(i, kReliefColumns[c].childSum);
    }
  }
  if (now.children == 0) return false;
  if (f.IsEmpty(34)) f.SetText(34, CountText(now.children));
  const Amount limit = ChildReliefLimit(std::trunc(f.AmountOf(34)));
  const std::array<Amount, 2> was = ReliefFromPartG(before, limit), is = ReliefFromPartG(now.total, limit);
  for (std::size_t c = 0; c < 2; ++c) {
    const int k = kReliefColumns[c].childRelief;
    const bool fromPartG =
        f.IsEmpty(k) || (before[c] > 0 && RoundGroszeCents(f.AmountOf(k)) == RoundGroszeCents(was[c]));
    if (fromPartG) f.Set(k, is[c]);
  }
  return RoundGroszeCents(now.total[0] + now.total[1]) > RoundGroszeCents(limit);
}

void ValidateChildBlock(CalcContext& ctx, const FormFields& f, const ChildBlock& b, bool enabled) {
  CalcDisplay& d = ctx.display;
  for (int k : {b.a, b.b, b.c, b.d}) d.SetMustBe(k, false);
  for (const BoxGroup* g : {&b.first, &b.second}) {
    d.SetMustBe(g->wholeYear, false);
    for (int k : g->months) d.SetMustBe(k, false);
  }
  if (!enabled) return;
  d.SetMustBe(b.a, true);
  if (f.IsEmpty(b.a))
    for (int k : {b.b, b.c, b.d}) d.SetMustBe(k, true);
  if (!f.IsEmpty(b.b) || !f.IsEmpty(b.c) || !f.IsEmpty(b.d)) d.SetMustBe(b.a, false);
  for (const BoxGroup* g : {&b.first, &b.second}) {
    bool any = f.Ticked(g->wholeYear);
    for (int k : g->months) any = any || f.Ticked(k);
    if (any) continue;
    d.SetMustBe(g->wholeYear, true);
    for (int k : g->months) d.SetMustBe(k, true);
  }
}

}  // namespace

void CalculatePitO(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitO);
  const int parent = f.Header().IdParent;
  const int pm = f.Header().PM;
  const bool underPit28 = IsParentOfType(ctx, entry, kPit28);
  bool reduced = false;

  // 1. Messages, identifier marks, identification exchange.
  ClearMessagesIfShown(ctx, kPitO);
  MarkBothIdentifierKinds(ctx, kPitO, entry, 0, 219, 220, 1, 221, 222);
  ExchangeIdentification(ctx, entry);

  // 2. Only the first copy carries the deductions; further copies carry
  // further children.
  const int first = ctx.FindEntry(kPitO, parent, pm);
  if (shown && first > 0 && first < entry) {
    SetFlagRange(ctx, 12, 42, true);
    SetFlags(ctx, {65, 66, 224}, true);
  }

  // 3. A PIT/O of one person only.
  if (shown && (pm == kPmTaxpayer || pm == kPmSpouse)) {
    SetFlags(ctx, {8, 9, 10, 11}, true);
    if (underPit28) SetFlags(ctx, {1, 13, 230, 232, 15, 17, 19, 21, 23, 224, 27, 31, 33, 36, 66, 40, 42}, true);
  }

  // 4. Country codes from the country names.
  if (ctx.countryCodeOf) {
    f.SetText(45, ctx.countryCodeOf(f.TextOf(44)));
    f.SetText(56, ctx.countryCodeOf(f.TextOf(55)));
  }

  // 5. The block 54 to 64 needs the text of 43.
  if (shown) {
    const bool off = f.IsEmpty(43);
    if (off) {
      for (int k : {54, 55, 57, 58, 59, 60, 61, 62}) f.SetText(k, "");
      f.SetZero(63);
      f.SetZero(64);
    }
    SetFlags(ctx, {54, 55}, off);
    SetFlagRange(ctx, 57, 64, off);
  }

  // 6. A whole year excludes the single months.
  if (shown) {
    for (const ChildBlock& b : kChildBlocks)
      for (const BoxGroup* g : {&b.first, &b.second})
        if (f.Ticked(g->wholeYear))
          for (int k : g->months) f.Untick(k);
  }

  // 7. A lump-sum return has no child relief.
  if (shown && underPit28) {
    ctx.display.SetReadOnly(67, true);
    SetFlagRange(ctx, 70, 218, true);
  }

  // 8. Copy number.
  if (f.AmountOf(3) == 0) f.SetText(3, CountText(ctx.CountChildEntries(kPitO, parent, -1)));
  const bool firstCopy = f.AmountOf(3) == 1;

  // 9. Internet.
  reduced |= f.Cap(20, limits2014::kInternet);
  reduced |= f.Cap(21, limits2014::kInternet);

  // 10. Per child; these caps are silent.
  {
    int position = firstCopy ? 1 : 5;
    for (const auto& [t, s] : kChildAmounts) {
      const Amount limit = ChildLimitAt(position);
      if (f.AmountOf(t) + f.AmountOf(s) > limit) {
        if (limit < f.AmountOf(t)) {
          f.SetUnrounded(t, limit);
          f.SetZero(s);
        } else {
          f.Set(s, limit - f.AmountOf(t));
        }
      }
      if (firstCopy) ++position;
    }
  }

  // 11. Child relief of this PIT/O: what part G gives while the user has
  // not typed the deduction, within the limit for the number of children.
  if (firstCopy && !underPit28) reduced |= FillChildReliefFromPartG(ctx, f);
  const Amount children = std::trunc(f.AmountOf(34));
  {
    const Amount limit = ChildReliefLimit(children);
    if (f.AmountOf(35) + f.AmountOf(36) > limit) {
      if (limit >= f.AmountOf(35)) {
        f.Set(36, limit - f.AmountOf(35));
      } else {
        f.SetUnrounded(35, limit);
        f.SetZero(36);
      }
      reduced = true;
    }
  }

  // 12. IKZE contributions.
  reduced |= f.Cap(223, limits2014::kIkzeContributions);
  reduced |= f.Cap(224, limits2014::kIkzeContributions);

  // 13. Totals.
  f.SetUnrounded(28, f.Sum({12, 229, 231, 14, 16, 18, 20, 22, 223, 26}));
  f.SetUnrounded(29, f.Sum({13, 230, 232, 15, 17, 19, 21, 23, 224, 27}));
  f.SetUnrounded(41, f.Sum({39, 30, 32, 35, 65}));
  f.SetUnrounded(42, f.Sum({31, 33, 36, 40, 66}));

  // 14. Sums of the child amounts, before the return (which measures what
  // it deducted against them) is recalculated.
  f.SetUnrounded(245, f.Sum({241, 233, 235, 237, 238}));
  f.SetUnrounded(246, f.Sum({242, 234, 236, 239, 240}));

  // 15. Into the return this PIT/O belongs to, which is recalculated; then
  // the relief it could not deduct.
  CarryIntoReturns(ctx, entry);
  SetUnusedChildRelief(ctx, entry);

  // 16. Reduction notice.
  ShowReductionNotice(ctx, kPitO, reduced);

  if (!shown) return;

  // 17. Descriptions the amounts need.
  if (!ctx.display.ReminderFlag()) {
    const int page = ctx.display.CurrentPage();
    const int edited = ctx.display.FieldBeingEdited();
    const char* reminder = nullptr;
    if (page == 1 && (edited == 26 || edited == 27) && f.AmountOf(edited) > 0 && f.IsEmpty(24))
      reminder = "Uzupełnij opis w PIT/O poz. 31";
    if (page == 2 && (edited == 39 || edited == 40) && f.AmountOf(edited) > 0 && f.IsEmpty(37))
      reminder = "Uzupełnij opis w PIT/O poz. 45";
    if (reminder != nullptr) {
      ctx.display.ShowReminder(reminder);
      ctx.display.SetReminderFlag();
    }
  }

  // 18. Required fields.
  for (std::size_t k = 0; k < kChildBlocks.size(); ++k)
    ValidateChildBlock(ctx, f, kChildBlocks[k], static_cast<Amount>(k + 1) <= children);
  const bool abroad = f.AmountOf(12) > 0 || f.AmountOf(13) > 0 || f.AmountOf(14) > 0 || f.AmountOf(15) > 0;
  for (int k : {43, 44, 46, 52}) ctx.display.SetMustBe(k, abroad);
  ctx.display.SetMustBe(24, f.AmountOf(26) > 0 || f.AmountOf(27) > 0);
  ctx.display.SetMustBe(34, f.AmountOf(35) > 0 || f.AmountOf(36) > 0);
  ctx.display.SetMustBe(37, f.AmountOf(39) > 0 || f.AmountOf(40) > 0);
}

// --- PIT/D ------------------------------------------------------------------------

namespace {

struct HousingSection {
  int amount;
  int pit28Total, pit28Taxpayer, pit28Spouse;
  int returnTotal, returnTaxpayer, returnSpouse;
};

constexpr HousingSection kSectionA{29, 30, 32, 33, 31, 34, 35};
constexpr HousingSection kSectionB{40, 41, 43, 44, 42, 45, 46};
constexpr HousingSection kSectionC{49, 50, 52, 53, 51, 54, 55};

// A part and its two person columns never exceed what they are part of.
void FitPersonColumns(FormFields& f, int part, int taxpayer, int spouse) {
  if (f.AmountOf(taxpayer) > f.AmountOf(part)) {
    f.Copy(taxpayer, part);
    f.SetZero(spouse);
  }
  if (f.AmountOf(taxpayer) + f.AmountOf(spouse) > f.AmountOf(part))
    f.SetUnrounded(spouse, f.AmountOf(part) - f.AmountOf(taxpayer));
}

void SplitSection(FormFields& f, const HousingSection& s) {
  if (f.AmountOf(s.pit28Total) > f.AmountOf(s.amount)) f.Copy(s.pit28Total, s.amount);
  f.SetUnrounded(s.returnTotal, f.AmountOf(s.amount) - f.AmountOf(s.pit28Total));
  FitPersonColumns(f, s.pit28Total, s.pit28Taxpayer, s.pit28Spouse);
  FitPersonColumns(f, s.returnTotal, s.returnTaxpayer, s.returnSpouse);
}

}  // namespace

void CalculatePitD(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitD);
  const Settlement& s = ctx.settlement;

  // 1. Identifier marks, identification exchange.
  MarkBothIdentifierKinds(ctx, kPitD, entry, 0, 58, 59, 1, 60, 61);
  ExchangeIdentification(ctx, entry);

  // 2. Person columns.
  if (shown) {
    if (s.Kind == kIndividual || s.Kind == kSingleParent) SetFlags(ctx, {34, 35, 45, 46, 54, 55}, false);
    if (s.Kind != kJoint && s.SpouseIdKind == kIdNone) ctx.display.SetReadOnly(1, true);
  }

  // 3. Each section split between the PIT-28 and the PIT-36/37.
  SplitSection(f, kSectionA);
  f.SetUnrounded(40, f.AmountOf(38) + f.AmountOf(39));
  SplitSection(f, kSectionB);
  f.Cap(47, limits2014::kHousingSavings);
  f.SetUnrounded(49, f.AmountOf(47) + f.AmountOf(48));
  SplitSection(f, kSectionC);

  // 4. Into the returns of the settlement, which are recalculated.
  CarryIntoReturns(ctx, entry);

  if (!shown) return;

  // 5. The description the amounts of section B need.
  if (!ctx.display.ReminderFlag() && ctx.display.CurrentPage() == 1) {
    const int edited = ctx.display.FieldBeingEdited();
    if ((edited == 38 || edited == 39) && f.AmountOf(edited) > 0 && f.IsEmpty(37)) {
      ctx.display.ShowReminder("Uzupełnij opis w PIT/D poz. 38");
      ctx.display.SetReminderFlag();
    }
  }

  // 6. Required fields.
  for (int k : {30, 37, 38, 39, 41}) ctx.display.SetMustBe(k, false);
  if (f.AmountOf(38) > 0 || f.AmountOf(39) > 0)
    for (int k : {37, 38, 39, 41}) ctx.display.SetMustBe(k, true);
}

// --- PIT/UZ ---------------------------------------------------------------------

void CalculatePitUZ(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const int parent = f.Header().IdParent;

  // 1. Messages, identifier marks, identification exchange.
  ClearMessagesIfShown(ctx, kPitUZ);
  MarkBothIdentifierKinds(ctx, kPitUZ, entry, 0, 1, 2, 3, 4, 5);
  ExchangeIdentification(ctx, entry);

  // 2. Which return it is attached to.
  if (IsParentOfType(ctx, entry, kPit36)) {
    f.Tick(6, "1");
    f.Untick(7);
  } else if (IsParentOfType(ctx, entry, kPit37)) {
    f.Tick(7, "2");
    f.Untick(6);
  }

  // 3. Child relief not used, over all PIT/O of the return: the children's
  // amounts less what the return actually deducted, copy by copy (a
  // deduction on the first copy may cover children listed on a further one).
  Amount unusedTaxpayer = 0, unusedSpouse = 0;
  for (int i = 1; i <= ctx.settlement.Count(); ++i) {
    const FormEntry& e = ctx.settlement.Entry(i);
    if (e.IdPit != kPitO || e.IdParent != parent) continue;
    unusedTaxpayer += ctx.AmountOf(i, 245) - ChildReliefDeducted(ctx, i, 0);
    unusedSpouse += ctx.AmountOf(i, 246) - ChildReliefDeducted(ctx, i, 1);
  }
  f.SetPositivePart(16, unusedTaxpayer);
  f.SetPositivePart(17, unusedSpouse);

  // 4. Paid back: no more than the limits entered.
  {
    const Amount limits = f.AmountOf(12) + f.AmountOf(15);
    const Amount unused = f.AmountOf(16) + f.AmountOf(17);
    f.Set(18, limits < unused ? limits : unused);
  }

  // 5.-7. Tax to pay (a PIT-36 only) and overpayment of the return it is
  // attached to.
  if (IsParentOfType(ctx, entry, kPit36)) {
    const FormFields ret(ctx, parent);
    f.CopyFrom(19, ret, 204);
    f.CopyFrom(21, ret, 205);
  } else if (IsParentOfType(ctx, entry, kPit37)) {
    f.SetZero(19);
    f.CopyFrom(21, FormFields(ctx, parent), 116);
  }
  f.SetPositivePart(20, f.AmountOf(19) - f.AmountOf(18));

  // 8. Total.
  f.SetPositivePart(22, (f.AmountOf(18) + f.AmountOf(21)) - f.AmountOf(19));
}

// --- after a PIT-36/37 is calculated ----------------------------------------------

void FollowChildRelief(CalcContext& ctx, int returnEntry) {
  const Settlement& s = ctx.settlement;
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent != returnEntry) continue;
    if (e.IdPit == kPitO) SetUnusedChildRelief(ctx, i);
  }
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    if (e.IdParent == returnEntry && e.IdPit == kPitUZ) Calculate(ctx, kPitUZ, i);
  }
}

}  // namespace pit
