// Business income: PIT-36L (the flat 19% return), PIT/B (shares in
// partnerships) and PIT/Z (income declared in another way), and the chain in
// which they run each other and PIT-36.
#include <tuple>
#include <utility>
#include <vector>

#include "calc/calculation.h"
#include "calc/framework.h"

namespace pit {
namespace {

constexpr int kPit36LFilingBox = 3, kPit36LCorrectionBox = 4;
constexpr int kPit36LFromPitZ = 19;  // printed position 11
constexpr int kPit36LKrs = 108, kPit36LOnePercent = 109;
constexpr int kPit36LPaidAdvances = 54;  // printed position 48
constexpr int kPit36LAdvancesPage = 2, kPit36LOnePercentPage = 3;
constexpr Amount kFlatRate = 0.19L;

// PIT-36 business boxes: the taxpayer's / the spouse's income the first or
// the second way.
constexpr int kFirstWay = 39, kSpouseFirstWay = 40, kSecondWay = 41, kSpouseSecondWay = 42;

constexpr int kPitBCopies = 2, kPitBCopyNo = 68;
const char* const kFullShare = "100,00";

bool IsTaxpayerSide(int pm) { return pm != kPmSpouse; }

// Both boxes of a person in PIT-36.
int FirstWayBox(int pm) { return IsTaxpayerSide(pm) ? kFirstWay : kSpouseFirstWay; }
int SecondWayBox(int pm) { return IsTaxpayerSide(pm) ? kSecondWay : kSpouseSecondWay; }

struct PitBSums {
  Amount revenue = 0, costs = 0;
  int last = 0;  // the last copy summed, which shows the totals
};

Amount Revenue(const FormFields& b) { return b.Sum({10, 16, 27, 39, 51}); }
Amount Costs(const FormFields& b) { return b.Sum({11, 17, 29, 41, 53}); }

// Sums the PIT/B of `parent` that `inGroup` takes, in entry order; every
// copy's totals are cleared and the last copy gets them.
template <typename Pred>
PitBSums SumPitB(CalcContext& ctx, int parent, Pred inGroup) {
  PitBSums s;
  Settlement& st = ctx.settlement;
  for (int i = 1; i <= st.Count(); ++i) {
    const FormEntry& e = st.Entry(i);
    if (e.IdPit != kPitB || e.IdParent != parent || !inGroup(e.PM)) continue;
    FormFields b(ctx, i);
    s.revenue += Revenue(b);
    s.costs += Costs(b);
    for (int k : {56, 57, 58, 59}) b.SetZero(k);
    s.last = i;
  }
  if (s.last > 0) {
    FormFields b(ctx, s.last);
    b.Set(56, s.revenue);
    b.Set(57, s.costs);
    b.SetPositivePart(58, b.AmountOf(56) - b.AmountOf(57));
    b.SetPositivePart(59, b.AmountOf(57) - b.AmountOf(56));
  }
  return s;
}

void SetRounded(FormFields& f, int k, Amount x) { f.Set(k, x); }

}  // namespace

// --- PIT-36L ------------------------------------------------------------------

void CalculatePit36L(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit36L);
  bool reduced = false;

  // 1. Messages and identification.
  ClearMessagesIfShown(ctx, kPit36L);
  ExchangeIdentification(ctx, entry);

  // 2. Income from a PIT/Z that is no longer attached is gone (the revenue
  // and costs a removed PIT/B carried are cleared when it is removed; typed
  // without a PIT/B they are the user's).
  const int pitB = ctx.FindEntry(kPitB, entry, kPmNone);
  const int pitZ = ctx.FindChildEntry(kPitZ, entry);
  if (pitB <= 0 && ctx.FindEntry(kPitZ, entry, kPmNone) <= 0)
    for (int k : {23, 24}) f.SetZero(k);

  // 3. Purpose.
  SetPurposeBoxes(ctx, entry, kPit36LFilingBox, kPit36LCorrectionBox);

  // 4. Revenue and costs come from the PIT/B.
  if (shown && ctx.FindChildEntry(kPitB, entry) > 0)
    for (int k : {21, 22}) ctx.display.SetReadOnly(k, true);

  // 5. Income from a PIT/Z needs a PIT/Z.
  if (pitZ <= 0) {
    if (f.Ticked(kPit36LFromPitZ))
      ctx.display.ShowReminder(
          "Zaznaczenie PIT-36L poz. 11 jest możliwe, jeżeli do PIT-36L jest załączony PIT/Z");
    f.Untick(kPit36LFromPitZ);
  }

  // 6.-7. Income and loss of both sources.
  if (!f.Ticked(kPit36LFromPitZ)) {
    f.SetPositivePart(23, RoundGrosze(f.AmountOf(21) - f.AmountOf(22)));
    f.SetPositivePart(24, RoundGrosze(f.AmountOf(22) - f.AmountOf(21)));
  } else {
    const FormFields z(ctx, pitZ);
    f.CopyFrom(23, z, 34);
    f.CopyFrom(24, z, 35);
  }
  f.SetPositivePart(28, RoundGrosze(f.AmountOf(26) - f.AmountOf(27)));
  f.SetPositivePart(29, RoundGrosze(f.AmountOf(27) - f.AmountOf(26)));

  // 8. Each deduction fits in the income the others leave; 120 also has its
  // statutory cap.
  const Amount income = f.AmountOf(23) + f.AmountOf(28);
  auto capDeduction = [&](int k, int other1, int other2) {
    const Amount room = income - (f.AmountOf(other1) + f.AmountOf(other2));
    if (room > 0) {
      if (f.AmountOf(k) > room) {
        f.Set(k, room);
        reduced = true;
      }
    } else if (f.AmountOf(k) != 0) {
      f.SetZero(k);
      reduced = true;
    } else {
      f.SetZero(k);
    }
  };
  capDeduction(32, 33, 120);
  capDeduction(33, 32, 120);
  capDeduction(120, 32, 33);
  reduced |= f.Cap(120, limits2014::kIkzeContributions);

  // 9. Income after the deductions.
  f.SetPositivePart(34, RoundGrosze(income - f.Sum({32, 33, 120})));

  // 10. Base: the amounts above the losses of each source are added.
  {
    Amount base = f.AmountOf(34) + f.AmountOf(36);
    const Amount loss1 = f.AmountOf(24), loss2 = f.AmountOf(29);
    if (loss1 > 0 && f.AmountOf(37) > 0 && loss1 < f.AmountOf(37)) base += f.AmountOf(37) - loss1;
    if (loss2 > 0 && f.AmountOf(38) > 0 && loss2 < f.AmountOf(38)) base += f.AmountOf(38) - loss2;
    f.Set(41, base);
  }

  // 11. Tax at the flat rate.
  f.Set(42, RoundZloty(f.AmountOf(41)));
  f.Set(43, f.AmountOf(42) * kFlatRate);

  // 12. Tax with the amounts added and deducted.
  f.SetPositivePart(46, RoundGrosze((f.AmountOf(43) + f.AmountOf(44)) - f.AmountOf(45)));

  // 13. Deductions from tax fit in the tax.
  if (f.AmountOf(47) > f.AmountOf(46)) {
    f.Copy(47, 46);
    f.SetZero(114);
    reduced = true;
  }
  if (f.AmountOf(47) + f.AmountOf(114) > f.AmountOf(46)) {
    f.Set(114, f.AmountOf(46) - f.AmountOf(47));
    reduced = true;
  }
  reduced |= f.CapAtField(113, 47);

  // 14. Tax due.
  f.Set(48, f.AmountOf(46) - (f.AmountOf(47) + f.AmountOf(114)));
  f.Set(50, RoundZloty(f.AmountOf(48)));

  // 15. Advances; to pay or overpaid.
  f.Set(51, f.AmountOf(25) + f.AmountOf(30));
  f.SetPositivePart(52, RoundGrosze(f.AmountOf(50) - f.AmountOf(51)));
  f.SetPositivePart(53, RoundGrosze(f.AmountOf(51) - f.AmountOf(50)));

  // 16. Settlement of advances.
  f.CapAtField(58, 57);
  f.SetPositivePart(60, RoundGrosze(f.AmountOf(57) - (f.AmountOf(58) + f.AmountOf(59))));
  f.SetPositivePart(61, RoundGrosze((f.AmountOf(58) + f.AmountOf(59)) - f.AmountOf(57)));
  {
    const Amount due = f.Sum({50, 56, 60}), paid = f.Sum({kPit36LPaidAdvances, 61});
    f.SetPositivePart(62, RoundGrosze(due - paid));
    f.SetPositivePart(63, RoundGrosze(paid - due));
  }

  // 17. Attachments.
  f.SetText(100, CountText(ctx.CountChildEntries(kPitB, entry, -1)));
  f.SetText(101, CountText(ctx.CountChildEntries(kPitZ, entry, -1)));
  f.SetText(102, CountText(ctx.CountChildEntries(kPitZG, entry, -1)));
  f.SetText(103, CountText(ctx.CountChildEntries(kNip1, entry, -1) + ctx.CountChildEntries(kNip3, entry, -1)));

  // 18. The 1% amount.
  {
    const Amount m = OnePercentLimit(f.AmountOf(50));
    if (!(m >= f.AmountOf(kPit36LOnePercent))) {
      f.SetUnrounded(kPit36LOnePercent, m);
      reduced = true;
    }
    if (f.AmountOf(kPit36LOnePercent) > 0)
      f.SetUnrounded(kPit36LOnePercent, FloorTenGrosze(f.AmountOf(kPit36LOnePercent)));
    ctx.display.SetDonationLabel(FormatAmount(m));
  }

  // 19. The user clicked the korekta box.
  CorrectionInfoOnClick(ctx, kPit36L, kPit36LCorrectionBox, "PIT-36L", 0);

  // 20. Messages: the advances actually paid on page 2, then the reduction
  // notice after them.
  if (shown) {
    ctx.display.ClearMessages();
    bool advancesNote = false;
    if (ctx.display.CurrentPage() == kPit36LAdvancesPage && f.AmountOf(kPit36LPaidAdvances) == 0) {
      ctx.display.SetMessageListHeight(MessageListHeight::Normal);
      ctx.display.AddMessage("   UWAGA !");
      ctx.display.AddMessage(
          "   PIT-36L. Ponieważ kwoty zaliczek należnych i faktycznie wpłaconych w ciągu roku przez "
          "podatnika mogą się różnić, poz. 48 należy wypełnić samodzielnie.");
      advancesNote = true;
    } else {
      ctx.display.SetMessageListHeight(MessageListHeight::Hidden);
    }
    if (reduced) {
      ctx.display.SetMessageListHeight(MessageListHeight::Normal);
      ctx.display.AddMessage(ReductionNotice(kPit36L));
    } else if (!advancesNote) {
      ctx.display.SetMessageListHeight(MessageListHeight::Hidden);
    }
  }

  // 21. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(kPit36LKrs)) f.SetZero(kPit36LOnePercent);
  if (shown && ctx.display.CurrentPage() == kPit36LOnePercentPage && f.AmountOf(50) > 0 &&
      f.AmountOf(kPit36LOnePercent) == 0 && !f.IsEmpty(kPit36LKrs))
    ShowOnePercentWarning(
        ctx, "    PIT-36L. W polu formularza nr 95 należy podać kwotę, która ma być przekazana w ramach 1%");

  // 22. Required fields.
  if (!shown) return;
  ctx.display.SetMustBe(20, f.Ticked(kPit36LFromPitZ));
  ctx.display.SetMustBe(kPit36LFromPitZ, !f.IsEmpty(20));
  MarkRowRequired(ctx, entry, 21, 25, true);
  MarkRowRequired(ctx, entry, 23, 24, false);
  MarkRowRequired(ctx, entry, 26, 30, true);
  MarkRowRequired(ctx, entry, 28, 29, false);
  MarkRowRequired(ctx, entry, 31, 32, true);
  if (!f.IsEmpty(113) || !f.IsEmpty(47)) MarkRowRequired(ctx, entry, 47, 47, true);
}

// --- PIT/B ------------------------------------------------------------------------

void CalculatePitB(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const FormEntry& me = f.Header();
  const int parent = me.IdParent, pm = me.PM;
  const bool shown = ctx.IsShown(kPitB);

  // 1. Guards: with a PIT/Z of the same person the return must say first
  // which way the business income goes.
  const int p36 = ctx.FindEntry(kPit36, 0, kPmNone);
  if (p36 > 0 && p36 == parent && ctx.FindEntry(kPitZ, p36, pm) > 0) {
    const FormFields ret(ctx, p36);
    if (!ret.Ticked(FirstWayBox(pm)) && !ret.Ticked(SecondWayBox(pm))) {
      ctx.display.ShowReminder(
          IsTaxpayerSide(pm)
              ? "UWAGA! \nPrzed wypełnieniem PIT/B (Podatnika), należy zaznaczyć odpowiednie pole w poz. 39 lub 40 "
                "PIT-36."
              : "UWAGA! \nPrzed wypełnieniem PIT/B (Małżonka), należy zaznaczyć odpowiednie pole w poz. 42 lub 43 "
                "PIT-36.");
      ctx.display.SelectEntry(p36, kPit36);
      return;
    }
  }
  const int p36l = ctx.FindEntry(kPit36L, 0, kPmNone);
  if (p36l > 0 && p36l == parent && ctx.FindEntry(kPitZ, p36l, kPmNone) > 0 &&
      !FormFields(ctx, p36l).Ticked(kPit36LFromPitZ)) {
    ctx.display.ShowReminder("UWAGA! \nPrzed wypełnieniem PIT/B, należy zaznaczyć pole 11 w PIT-36L.");
    ctx.display.SelectEntry(p36l, kPit36L);
    return;
  }

  // 2. Identification.
  ExchangeIdentification(ctx, entry);

  // 3. A share is at most the whole.
  for (int k : {21, 34, 46})
    if (f.AmountOf(k) > 100) f.SetText(k, kFullShare);

  // 4. Number of copies and this copy's number: its place among the copies
  // of the same return and person, which is the count at the time it was
  // added when copies are added one by one, and stays right when several
  // are added at once.
  f.SetText(kPitBCopies, CountText(ctx.CountChildEntries(kPitB, parent, pm)));
  if (f.AmountOf(kPitBCopyNo) == 0) {
    int place = 0;
    for (int i = 1; i <= entry; ++i) {
      const FormEntry& e = ctx.settlement.Entry(i);
      if (e.IdPit == kPitB && e.IdParent == parent && e.PM == pm) ++place;
    }
    f.SetText(kPitBCopyNo, CountText(place));
  }

  // 5. Own business.
  f.SetUnrounded(12, f.AmountOf(10) - f.AmountOf(11));
  f.SetUnrounded(18, f.AmountOf(16) - f.AmountOf(17));

  // 6. The person's share of each partnership; a typed share overrides.
  static const int kSections[][9] = {
      {21, 26, 28, 27, 64, 29, 65, 30, 31}, {34, 38, 40, 39, 60, 41, 61, 42, 43}, {46, 50, 52, 51, 62, 53, 63, 54, 55}};
  for (const auto& s : kSections) {
    const int share = s[0], rev = s[1], cost = s[2], revShare = s[3], revOwn = s[4], costShare = s[5],
              costOwn = s[6], revDiff = s[7], costDiff = s[8];
    for (const auto& [part, own, whole] : {std::tuple{revShare, revOwn, rev}, std::tuple{costShare, costOwn, cost}}) {
      f.Set(part, f.AmountOf(share) * 0.01L * f.AmountOf(whole));
      if (f.AmountOf(part) == 0) f.Copy(own, part);
      if (f.AmountOf(own) > 0) f.Copy(part, own);
    }
    f.Set(revDiff, f.AmountOf(rev) - f.AmountOf(cost));
    f.Set(costDiff, f.AmountOf(revShare) - f.AmountOf(costShare));
  }

  // 7. Under a PIT-36: the totals of each person's copies into the return
  // (the carry table, calc/carries.cpp).
  if (p36 > 0 && p36 == parent) {
    const PitBSums t = SumPitB(ctx, p36, [](int p) { return p != kPmSpouse; });
    const PitBSums s = SumPitB(ctx, p36, [](int p) { return p == kPmSpouse; });
    CarryInto(ctx, kPitB, kPmNone, t.last, p36);
    CarryInto(ctx, kPitB, kPmSpouse, s.last, p36);
    CalculatePit36WithPass(ctx, p36, false);
  }

  // 8. Under a PIT-36L: the same into its revenue and costs.
  if (p36l > 0 && p36l == parent) {
    const int ownPm = ctx.settlement.Entry(p36l).PM;
    const PitBSums t = SumPitB(ctx, p36l, [ownPm](int p) { return p == ownPm; });
    CarryInto(ctx, kPitB, ownPm, t.last, p36l);
    Calculate(ctx, kPit36L, p36l);
  }

  // 9. A PIT/Z of the same person takes the totals the way the return says.
  if (const int z = ctx.FindEntry(kPitZ, parent, pm); z > 0) {
    const PitBSums t = SumPitB(ctx, parent, [pm](int p) { return p == pm; });
    FormFields pitZ(ctx, z);
    const int parentType = ctx.settlement.Has(parent) ? ctx.settlement.Entry(parent).IdPit : 0;
    if (parentType == kPit36L) {
      SetRounded(pitZ, 23, t.revenue);
      SetRounded(pitZ, 24, t.costs);
    } else if (parentType == kPit36) {
      const FormFields ret(ctx, parent);
      if (ret.Ticked(FirstWayBox(pm))) {
        SetRounded(pitZ, 6, t.revenue);
        SetRounded(pitZ, 7, t.costs);
        for (int k : {23, 24}) pitZ.SetZero(k);
      } else {
        for (int k : {6, 7}) pitZ.SetZero(k);
      }
      if (ret.Ticked(SecondWayBox(pm))) {
        for (int k : {6, 7}) pitZ.SetZero(k);
        SetRounded(pitZ, 23, t.revenue);
        SetRounded(pitZ, 24, t.costs);
      } else {
        for (int k : {23, 24}) pitZ.SetZero(k);
      }
    }
    Calculate(ctx, kPitZ, z);
  }

  // 10. Reminders, once per page display.
  if (shown && ctx.display.CurrentPage() == 1 && !ctx.display.ReminderFlag()) {
    const int edited = ctx.display.FieldBeingEdited();
    const char* reminder = nullptr;
    if (edited == 9 && !f.IsEmpty(7) && f.IsEmpty(9)) reminder = "Uzupełnij w PIT/B poz. 9";
    if (edited == 15 && !f.IsEmpty(13) && f.IsEmpty(15)) reminder = "Uzupełnij w PIT/B poz. 15";
    if (reminder != nullptr) {
      ctx.display.ShowReminder(reminder);
      ctx.display.SetReminderFlag();
    }
  }

  // 11. Required fields.
  if (!shown) return;
  static const int kRows[][3] = {{7, 11, 1},  {8, 8, 0},   {13, 17, 1}, {14, 14, 0}, {19, 28, 1},
                                 {22, 23, 0}, {27, 27, 0}, {32, 40, 1}, {35, 36, 0}, {39, 39, 0},
                                 {44, 52, 1}, {47, 48, 0}, {51, 51, 0}};
  for (const auto& r : kRows) MarkRowRequired(ctx, entry, r[0], r[1], r[2] != 0);
}

// --- PIT/Z ------------------------------------------------------------------------

void CalculatePitZ(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const int parent = f.Header().IdParent, pm = f.Header().PM;
  const bool shown = ctx.IsShown(kPitZ);

  // 1. Identification; the amounts of the PIT/B are not typed here.
  ExchangeIdentification(ctx, entry);
  if (shown && ctx.FindEntry(kPitB, parent, pm) > 0)
    for (int k : {6, 7, 23, 24}) ctx.display.SetReadOnly(k, true);

  // 2. Incomes and losses of the first way.
  auto plain = [&](int k, Amount x) { f.SetUnrounded(k, x > 0 ? x : 0); };
  plain(8, f.AmountOf(6) - f.AmountOf(7));
  plain(9, f.AmountOf(7) - f.AmountOf(6));
  plain(12, f.AmountOf(10) - f.AmountOf(11));
  plain(13, f.AmountOf(11) - f.AmountOf(10));
  plain(16, f.AmountOf(14) - f.AmountOf(15));
  plain(17, f.AmountOf(15) - f.AmountOf(14));

  // 3. What the first way carries.
  f.Copy(18, 6);
  f.Copy(19, 7);
  f.Copy(20, 12);
  f.SetUnrounded(21, f.AmountOf(13) + f.AmountOf(17));
  f.Copy(22, 16);

  // 4. The second way.
  plain(25, f.AmountOf(23) - f.AmountOf(24));
  plain(26, f.AmountOf(24) - f.AmountOf(23));
  plain(29, f.AmountOf(26) - f.AmountOf(28));
  plain(30, f.AmountOf(28) - f.AmountOf(26));
  f.SetUnrounded(31, f.AmountOf(25) + f.AmountOf(30));
  f.Copy(32, 23);
  f.Copy(33, 24);
  f.Copy(34, 31);
  f.Copy(35, 29);

  // 5. Into the PIT-36 it belongs to, the way its boxes say (the carry
  // table, calc/carries.cpp).
  const int p36 = ctx.FindEntry(kPit36, 0, kPmNone);
  if (p36 > 0 && p36 == parent) {
    CarryInto(ctx, kPitZ, pm, entry, p36);
    CalculatePit36WithPass(ctx, p36, false);
  }

  // 6. Into the PIT-36L it belongs to, when its box says so.
  const int p36l = ctx.FindEntry(kPit36L, 0, kPmNone);
  if (p36l > 0 && p36l == parent) {
    CarryInto(ctx, kPitZ, pm, entry, p36l);
    Calculate(ctx, kPit36L, p36l);
  }

  // 7. Required fields.
  if (!shown) return;
  for (const auto& r : {std::pair{6, 7}, {10, 11}, {14, 15}, {23, 24}, {27, 28}})
    MarkRowRequired(ctx, entry, r.first, r.second, true);
}

}  // namespace pit
