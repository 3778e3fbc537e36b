// PIT-37: the return of a person paid only through payers.
#include "calc/calculation.h"
#include "calc/framework.h"

namespace pit {
namespace {

constexpr int kPeselLine = 144, kNipLine = 145, kSpousePeselLine = 146, kSpouseNipLine = 147;
constexpr int kFilingBox = 8, kCorrectionBox = 9;
constexpr int kBoxIndividual = 3, kBoxJoint = 4, kBoxJointDeceased = 5, kBoxSingleParent = 6;
constexpr int kKrs = 131, kOnePercent = 132;
constexpr int kOnePercentPage = 3;

const char* const kOnePercentWarning =
    "    PIT-37. W polu formularza nr 132 należy podać kwotę, która ma być przekazana w ramach 1%";

// Non-zero test on a field of another entry.
bool NonZero(const FormFields& f, int k) { return f.AmountOf(k) != 0; }

// The PIT/D amount for the return: the PIT-36/37 part of the person columns
// when either is filled in, else the section's total part.
void CopyHousingPart(FormFields& ret, int k, const FormFields& d, int taxpayer, int spouse, int total) {
  if (NonZero(d, taxpayer) || NonZero(d, spouse))
    ret.CopyFrom(k, d, taxpayer);
  else
    ret.CopyFrom(k, d, total);
}

}  // namespace

void CalculatePit37(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit37);
  const int kind = ctx.settlement.Kind;
  bool reduced = false;

  // 1. Message list.
  ClearMessagesIfShown(ctx, kPit37);

  // 2. Housing amounts come from the PIT/D when one is attached.
  if (shown && ctx.FindChildEntry(kPitD, entry) > 0)
    for (int k : {96, 97, 110}) ctx.display.SetReadOnly(k, true);

  // 3. Identifier marks.
  MarkIdentifierKind(ctx, kPit37, entry, 0, kPeselLine, kNipLine);
  if (kind == kJoint) MarkSpouseIdentifierKind(ctx, kPit37, entry, 1, kSpousePeselLine, kSpouseNipLine);

  // 4. Identification exchange.
  ExchangeIdentification(ctx, entry);

  // 5. Without a PIT/O nothing is carried from it.
  if (ctx.FindEntry(kPitO, entry, kPmNone) < 0)
    for (int k : {94, 107, 95, 108}) f.SetZero(k);

  // 6. Purpose.
  SetPurposeBoxes(ctx, entry, kFilingBox, kCorrectionBox);

  // 7. Method of taxation follows the settlement kind. The boxes form one
  // choice, so the others lose their ticks too: a box left ticked from an
  // earlier kind would double the tax in step 18.
  if (kind == kIndividual) {
    f.Tick(kBoxIndividual, "1");
    for (int k : {kBoxJoint, kBoxJointDeceased, kBoxSingleParent}) f.Untick(k);
  } else if (kind == kJoint) {
    // A ticked box 5 (joint taxation with a deceased spouse) is the user's.
    if (!f.Ticked(kBoxJointDeceased)) {
      f.Tick(kBoxJoint, "2");
      for (int k : {kBoxIndividual, kBoxJointDeceased, kBoxSingleParent}) f.Untick(k);
    } else {
      for (int k : {kBoxIndividual, kBoxJoint, kBoxSingleParent}) f.Untick(k);
    }
  } else if (kind == kSingleParent) {
    f.Tick(kBoxSingleParent, "4");
    for (int k : {kBoxIndividual, kBoxJoint, kBoxJointDeceased}) f.Untick(k);
  }

  // 8.-9. Row incomes and losses, then the totals, taxpayer then spouse.
  auto rows = [&](int rev1, int addRev1, int cost1, int addCost1, int inc1, int loss1, int rev2, int inc2,
                  int rev3, int cost3, int inc3, int loss3, int rev4, int addRev4, int cost4, int addCost4,
                  int inc4, int loss4, int rev5, int cost5, int inc5, int loss5) {
    f.SetPositivePart(inc1, (f.AmountOf(rev1) + f.AmountOf(addRev1)) - (f.AmountOf(cost1) + f.AmountOf(addCost1)));
    f.Copy(inc2, rev2);
    f.SetPositivePart(inc3, f.AmountOf(rev3) - f.AmountOf(cost3));
    f.SetPositivePart(inc4, (f.AmountOf(rev4) + f.AmountOf(addRev4)) - (f.AmountOf(cost4) + f.AmountOf(addCost4)));
    f.SetPositivePart(inc5, f.AmountOf(rev5) - f.AmountOf(cost5));
    f.SetPositivePart(loss1, (f.AmountOf(cost1) + f.AmountOf(addCost1)) - (f.AmountOf(rev1) + f.AmountOf(addRev1)));
    f.SetPositivePart(loss3, f.AmountOf(cost3) - f.AmountOf(rev3));
    f.SetPositivePart(loss4, (f.AmountOf(cost4) + f.AmountOf(addCost4)) - (f.AmountOf(rev4) + f.AmountOf(addRev4)));
    f.SetPositivePart(loss5, f.AmountOf(cost5) - f.AmountOf(rev5));
  };
  rows(36, 148, 37, 149, 38, 39, 41, 42, 44, 45, 46, 47, 49, 150, 50, 151, 51, 52, 54, 55, 56, 57);
  f.Set(59, f.Sum({36, 148, 41, 44, 49, 150, 54}));
  f.Set(60, f.Sum({37, 149, 45, 50, 151, 55}));
  f.Set(61, f.Sum({38, 42, 46, 51, 56}));
  f.Set(62, f.Sum({40, 43, 48, 53, 58}));
  rows(63, 152, 64, 153, 65, 66, 68, 69, 71, 72, 73, 74, 76, 154, 77, 155, 78, 79, 81, 82, 83, 84);
  f.Set(86, f.Sum({63, 152, 68, 71, 76, 154, 81}));
  f.Set(87, f.Sum({64, 153, 72, 77, 155, 82}));
  f.Set(88, f.Sum({65, 69, 73, 78, 83}));
  f.Set(89, f.Sum({67, 70, 75, 80, 85}));

  // 10. Deductions from income typed in the return.
  reduced |= f.CapAtField(90, 61);
  f.CapAtField(136, 90);
  reduced |= f.CapAtField(91, 88);
  f.CapAtField(137, 91);

  // 11. Income after them.
  f.Set(92, f.AmountOf(61) - f.AmountOf(90));
  f.Set(93, f.AmountOf(88) - f.AmountOf(91));

  // 12. Deductions from income of the PIT/O.
  const int o = ctx.FindChildEntry(kPitO, entry);
  if (o > 0) f.CopyFrom(94, FormFields(ctx, o), 28);
  reduced |= f.CapAtField(94, 92);
  if (o > 0) f.CopyFrom(95, FormFields(ctx, o), 29);
  reduced |= f.CapAtField(95, 93);

  // 13. Housing reliefs of the settlement's PIT/D.
  const int d = ctx.FirstEntryOfType(kPitD);
  if (d > 0) {
    const FormFields pitD(ctx, d);
    CopyHousingPart(f, 96, pitD, 34, 35, 31);
    CopyHousingPart(f, 97, pitD, 45, 46, 42);
    CopyHousingPart(f, 110, pitD, 54, 55, 51);
  }

  // 14. The housing deduction fits in what is left of the income.
  {
    const Amount left = (f.AmountOf(92) + f.AmountOf(93)) - (f.AmountOf(94) + f.AmountOf(95));
    if (f.AmountOf(96) > left) {
      f.Set(96, left);
      reduced = true;
    }
  }

  // 15. The relief of 97: what does not fit is shown in 99.
  {
    const Amount left = f.AmountOf(92) + f.AmountOf(93) - f.AmountOf(94) - f.AmountOf(95) - f.AmountOf(96);
    if (f.AmountOf(97) > left)
      f.Set(98, left);
    else
      f.Copy(98, 97);
    f.Set(99, f.AmountOf(97) - f.AmountOf(98));
  }

  // 16. Income after all deductions.
  f.Set(100, (f.AmountOf(92) + f.AmountOf(93)) -
                 (f.AmountOf(94) + f.AmountOf(95) + f.AmountOf(96) + f.AmountOf(98)));

  // 17. Tax base; joint and single-parent returns are taxed on half the
  // combined income, cut to tens of grosze before the złoty rounding.
  if (f.Ticked(kBoxIndividual))
    f.Set(101, RoundZloty(f.AmountOf(100)));
  else
    f.Set(101, RoundZlotyTenths(f.AmountOf(100) * 0.5L));

  // 18. Tax by the scale, twice the tax on the half.
  {
    const bool halved = f.Ticked(kBoxJoint) || f.Ticked(kBoxJointDeceased) || f.Ticked(kBoxSingleParent);
    const Amount tax = halved ? 2 * TaxScale(f.AmountOf(101)) : TaxScale(f.AmountOf(101));
    f.SetPositivePart(102, tax);
  }

  // 19. Tax with the amounts added to it.
  f.Set(104, f.AmountOf(102) + f.AmountOf(103));

  // 20. Deductions from tax of the PIT/O.
  if (o > 0) {
    const FormFields pitO(ctx, o);
    f.CopyFrom(107, pitO, 41);
    f.CopyFrom(108, pitO, 42);
  }

  // 21. Deductions from tax fit in the tax, in order of the columns.
  if (f.AmountOf(105) > f.AmountOf(104)) {
    f.Copy(105, 104);
    for (int k : {106, 107, 108}) f.SetZero(k);
    reduced = true;
  }
  if (f.AmountOf(105) + f.AmountOf(106) > f.AmountOf(104)) {
    f.Set(106, f.AmountOf(104) - f.AmountOf(105));
    for (int k : {107, 108}) f.SetZero(k);
    reduced = true;
  }
  if (f.AmountOf(105) + f.AmountOf(106) + f.AmountOf(107) > f.AmountOf(104)) {
    f.Set(107, f.AmountOf(104) - f.AmountOf(105) - f.AmountOf(106));
    f.SetZero(108);
    reduced = true;
  }
  if (f.AmountOf(105) + f.AmountOf(106) + f.AmountOf(107) + f.AmountOf(108) > f.AmountOf(104)) {
    f.Set(108, f.AmountOf(104) - f.AmountOf(105) - f.AmountOf(106) - f.AmountOf(107));
    reduced = true;
  }
  f.CapAtField(142, 105);
  f.CapAtField(143, 106);

  // 22. Tax after the deductions.
  f.Set(109, f.AmountOf(104) - (f.AmountOf(105) + f.AmountOf(106) + f.AmountOf(107) + f.AmountOf(108)));

  // 23. The PIT/D relief from tax, as far as the tax goes.
  if (f.AmountOf(110) > f.AmountOf(109))
    f.Copy(111, 109);
  else
    f.Copy(111, 110);
  f.Set(112, f.AmountOf(110) - f.AmountOf(111));

  // 24. Tax due in whole złoty.
  f.Set(113, RoundZloty(f.AmountOf(109) - f.AmountOf(111)));

  // 25. Advances of both persons.
  f.Set(114, f.AmountOf(62) + f.AmountOf(89));

  // 26. To pay or overpaid; under 50 groszy neither.
  {
    const Amount due = f.AmountOf(113), paid = f.AmountOf(114);
    if (RoundZloty(due - paid) > 0)
      f.Set(115, due - paid);
    else
      f.SetZero(115);
    if (RoundZloty(paid - due) > 0)
      f.Set(116, paid - due);
    else
      f.SetZero(116);
  }

  // The child relief the tax could not take, on the PIT/O and PIT/UZ.
  FollowChildRelief(ctx, entry);

  // 27. Attachments.
  f.SetText(156, CountText(ctx.CountChildEntries(kPitUZ, entry, -1)));
  f.SetText(117, CountText(ctx.CountChildEntries(kPitO, entry, -1)));
  f.SetText(118, CountText(ctx.CountChildEntries(kPitD, entry, -1)));
  f.SetText(119, CountText(ctx.CountChildEntries(kPit2K, entry, -1)));

  // 28. The 1% amount.
  {
    const Amount m = OnePercentLimit(f.AmountOf(113));
    if (!(m >= f.AmountOf(kOnePercent))) {
      f.SetUnrounded(kOnePercent, m);
      reduced = true;
    }
    if (f.AmountOf(kOnePercent) > 0) f.SetUnrounded(kOnePercent, FloorTenGrosze(f.AmountOf(kOnePercent)));
    ctx.display.SetDonationLabel(FormatAmount(m));
  }

  // 29. The user clicked the korekta box.
  CorrectionInfoOnClick(ctx, kPit37, kCorrectionBox, "PIT-37", 0);

  // 30. Reduction notice.
  ShowReductionNotice(ctx, kPit37, reduced);

  // 31. No organisation, no 1% amount.
  if (f.IsEmpty(kKrs)) f.SetZero(kOnePercent);

  // 32. An organisation chosen but no amount given.
  if (shown && ctx.display.CurrentPage() == kOnePercentPage && f.AmountOf(113) > 0 &&
      f.AmountOf(kOnePercent) == 0 && !f.IsEmpty(kKrs))
    ShowOnePercentWarning(ctx, kOnePercentWarning);

  // 33. Rows with amounts require their revenue and advances.
  if (!shown) return;
  static const int kRows[][4] = {{36, 40, 37, 39}, {41, 43, 42, 42}, {44, 48, 45, 47}, {49, 53, 50, 52},
                                 {54, 58, 55, 57}, {63, 67, 64, 66}, {68, 70, 69, 69}, {71, 75, 72, 74},
                                 {76, 80, 77, 79}, {81, 85, 82, 84}};
  for (const auto& r : kRows) {
    MarkRowRequired(ctx, entry, r[0], r[1], true);
    MarkRowRequired(ctx, entry, r[2], r[3], false);
  }
}

}  // namespace pit
