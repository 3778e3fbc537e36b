// PIT-36: the general return (business income, minor children, losses of
// earlier years, foreign income for the rate), and PIT/M, which carries the
// children's income into it.
#include "calc/calculation.h"
#include "calc/framework.h"

namespace pit {
namespace {

constexpr int kPeselLine = 340, kNipLine = 341, kSpousePeselLine = 342, kSpouseNipLine = 343;
constexpr int kFilingBox = 8, kCorrectionBox = 34;
constexpr int kBoxIndividual = 3, kBoxJoint = 4, kBoxJointDeceased = 5, kBoxSingleParent = 6;
// Business income of the taxpayer / the spouse from a PIT/B or PIT/Z, the
// first or the second way.
constexpr int kFirstWay = 39, kSpouseFirstWay = 40, kSecondWay = 41, kSpouseSecondWay = 42;
constexpr int kKrs = 321, kOnePercent = 322;
constexpr int kAdvancesPage = 4, kLossesPage = 3, kOnePercentPage = 6;
constexpr int kPaidAdvances = 189;

const char* const kOnePercentWarning =
    "    PIT-36. W polu formularza nr 309 należy podać kwotę, która ma być przekazana w ramach 1%";

bool NonZero(const FormFields& f, int k) { return f.AmountOf(k) != 0; }

void CopyHousingPart(FormFields& ret, int k, const FormFields& d, int taxpayer, int spouse, int total) {
  if (NonZero(d, taxpayer) || NonZero(d, spouse))
    ret.CopyFrom(k, d, taxpayer);
  else
    ret.CopyFrom(k, d, total);
}

// The income table is formatted as computed, without the grosze rounding.
void SetPlain(FormFields& f, int k, Amount x) { f.SetUnrounded(k, x > 0 ? x : 0); }

// Settlement of advances: the text "0" when the result is not positive.
void SetOrZeroText(FormFields& f, int k, Amount x) {
  if (RoundGrosze(x) > 0)
    f.Set(k, x);
  else
    f.SetText(k, "0");
}

// One person's income table: rows 1 to 8 and the totals. The business row
// (row 3) is computed only when no attachment supplies it.
struct IncomeColumns {
  int rev1, addRev1, cost1, addCost1, inc1, loss1, adv1;
  int rev2, inc2, adv2;
  int rev3, cost3, inc3, loss3, adv3;
  int rows[3][5];  // rows 4 to 6: revenue, costs, income, loss, advances
  int rev7, addRev7, cost7, addCost7, inc7, loss7, adv7;
  int rev8, cost8, inc8, loss8, adv8;
  int totalRev, totalCost, totalInc, totalAdv;
};

const IncomeColumns kTaxpayerColumns = {45, 320, 46, 344, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57,
                                        {{59, 60, 61, 62, 63}, {64, 65, 66, 67, 68}, {69, 70, 71, 72, 73}},
                                        74, 338, 75, 339, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87};
const IncomeColumns kSpouseColumns = {88, 183, 89, 184, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100,
                                      {{102, 103, 104, 105, 106}, {107, 108, 109, 110, 111}, {112, 113, 114, 115, 116}},
                                      117, 310, 118, 346, 119, 120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130};

void IncomeTable(FormFields& f, const IncomeColumns& c, bool businessFromAttachment) {
  auto a = [&](int k) { return f.AmountOf(k); };
  const Amount rev1 = a(c.rev1) + a(c.addRev1), cost1 = a(c.cost1) + a(c.addCost1);
  const Amount rev7 = a(c.rev7) + a(c.addRev7), cost7 = a(c.cost7) + a(c.addCost7);
  SetPlain(f, c.inc1, rev1 - cost1);
  SetPlain(f, c.loss1, cost1 - rev1);
  f.Copy(c.inc2, c.rev2);
  if (!businessFromAttachment) {
    SetPlain(f, c.inc3, a(c.rev3) - a(c.cost3));
    SetPlain(f, c.loss3, a(c.cost3) - a(c.rev3));
  }
  for (const auto& r : c.rows) {
    SetPlain(f, r[2], a(r[0]) - a(r[1]));
    SetPlain(f, r[3], a(r[1]) - a(r[0]));
  }
  SetPlain(f, c.inc7, rev7 - cost7);
  SetPlain(f, c.loss7, cost7 - rev7);
  SetPlain(f, c.inc8, a(c.rev8) - a(c.cost8));
  SetPlain(f, c.loss8, a(c.cost8) - a(c.rev8));

  f.SetUnrounded(c.totalRev, rev1 + a(c.rev2) + a(c.rev3) + a(c.rows[0][0]) + a(c.rows[1][0]) +
                                 a(c.rows[2][0]) + rev7 + a(c.rev8));
  f.SetUnrounded(c.totalCost, cost1 + a(c.cost3) + a(c.rows[0][1]) + a(c.rows[1][1]) + a(c.rows[2][1]) +
                                  cost7 + a(c.cost8));
  f.SetUnrounded(c.totalInc, a(c.inc1) + a(c.inc2) + a(c.inc3) + a(c.rows[0][2]) + a(c.rows[1][2]) +
                                 a(c.rows[2][2]) + a(c.inc7) + a(c.inc8));
  f.SetUnrounded(c.totalAdv, a(c.adv1) + a(c.adv2) + a(c.adv3) + a(c.rows[0][4]) + a(c.rows[1][4]) +
                                 a(c.rows[2][4]) + a(c.adv7) + a(c.adv8));
}

// Deductions from income of one person, capped in the order given against
// the income L.
bool CapIncomeDeductions(FormFields& f, Amount income, int first, int second, int third) {
  bool reduced = false;
  if (f.AmountOf(first) > income) {
    f.Set(first, income);
    f.SetZero(second);
    f.SetZero(third);
    reduced = true;
  }
  if (f.AmountOf(first) + f.AmountOf(second) > income) {
    f.Set(second, income - f.AmountOf(first));
    f.SetZero(third);
    reduced = true;
  }
  if (f.AmountOf(first) + f.AmountOf(second) + f.AmountOf(third) > income) {
    f.Set(third, income - f.AmountOf(first) - f.AmountOf(second));
    reduced = true;
  }
  return reduced;
}

// The tax when foreign income counts for the rate; false leaves 170 as it
// is (another kind, or a base that rounds to 0 złoty, which has no rate).
bool TaxWithForeignIncome(FormFields& f, int kind) {
  const Amount income = f.AmountOf(166), own = f.AmountOf(167), spouse = f.AmountOf(168);
  double base = 0;
  Amount halfTimes = 1;  // 2 when the return is taxed on half the income
  Amount taxed = 0;
  if (kind == kIndividual) {
    if (income + own == 0) return false;
    base = static_cast<double>(RoundZloty(income + own));
    taxed = RoundZloty(income);
  } else if (kind == kJoint) {
    if ((income + own + spouse) * 0.5L == 0) return false;
    base = static_cast<double>(RoundZloty((income + own + spouse) * 0.5L));
    taxed = RoundZloty(income * 0.5L);
    halfTimes = 2;
  } else if (kind == kSingleParent) {
    if (income + own * 0.5L == 0) return false;
    base = static_cast<double>(RoundZloty((income + own) * 0.5L));
    taxed = RoundZloty(income * 0.5L);
    halfTimes = 2;
  } else {
    return false;
  }
  if (base == 0) return false;
  const double rate = static_cast<double>(RoundGrosze(TaxScale(base) * 100 / base));
  f.Set(170, taxed * rate * 0.01L * halfTimes);
  return true;
}

}  // namespace

void CalculatePit36WithPass(CalcContext& ctx, int entry, bool businessPass) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPit36);
  const int kind = ctx.settlement.Kind;
  bool reduced = false;

  // 1. Messages, identifier marks, identification.
  ClearMessagesIfShown(ctx, kPit36);
  MarkIdentifierKind(ctx, kPit36, entry, 0, kPeselLine, kNipLine);
  MarkSpouseIdentifierKind(ctx, kPit36, entry, 1, kSpousePeselLine, kSpouseNipLine);
  ExchangeIdentification(ctx, entry);

  // 2. The taxpayer's attachments carry PM 1 in a joint settlement.
  const int own = kind == kJoint ? kPmTaxpayer : kPmNone;

  // 3. What a missing attachment carried is gone.
  auto has = [&](int idPit, int pm) { return ctx.FindEntry(idPit, entry, pm) > 0; };
  // Business revenue and costs typed without a PIT/B are the user's (a
  // removed PIT/B clears what it carried); only an income that a ticked box
  // expects from a missing attachment is cleared.
  if (!has(kPitB, own) && !has(kPitZ, own) && (f.Ticked(kFirstWay) || f.Ticked(kSecondWay)))
    for (int k : {55, 56}) f.SetZero(k);
  if (!has(kPitB, kPmSpouse) && !has(kPitZ, kPmSpouse) && (f.Ticked(kSpouseFirstWay) || f.Ticked(kSpouseSecondWay)))
    for (int k : {98, 99}) f.SetZero(k);
  if (!has(kPitZ, own)) f.SetZero(58);
  if (!has(kPitZ, kPmSpouse)) f.SetZero(101);
  if (!has(kPitM, own))
    for (int k : {131, 133}) f.SetZero(k);
  if (!has(kPitM, kPmSpouse))
    for (int k : {132, 134}) f.SetZero(k);
  if (!has(kPitO, kPmNone))
    for (int k : {144, 177, 145, 178}) f.SetZero(k);

  // 4. Purpose.
  SetPurposeBoxes(ctx, entry, kFilingBox, kCorrectionBox);

  // 5. The PIT/B run this return again with the pass off, after writing
  // their totals; this run then goes on with what they wrote.
  if (businessPass) {
    if (f.Ticked(kFirstWay) || f.Ticked(kSecondWay)) {
      for (int pm : {kPmNone, kPmTaxpayer})
        if (const int b = ctx.FindEntry(kPitB, entry, pm); b > 0) Calculate(ctx, kPitB, b);
    }
    if (f.Ticked(kSpouseFirstWay) || f.Ticked(kSpouseSecondWay)) {
      if (const int b = ctx.FindEntry(kPitB, entry, kPmSpouse); b > 0) Calculate(ctx, kPitB, b);
    }
  }

  // 6. Housing amounts come from the PIT/D.
  if (shown && ctx.FindChildEntry(kPitD, entry) > 0)
    for (int k : {146, 149, 179}) ctx.display.SetReadOnly(k, true);

  // 7. Business income declared in a PIT/Z, as the PIT/Z carries it.
  for (int pm : {kPmNone, kPmTaxpayer, kPmSpouse}) {
    if (const int z = ctx.FindEntry(kPitZ, entry, pm); z > 0) CarryInto(ctx, kPitZ, pm, z, entry);
  }

  // 8. Business revenue and costs come from the PIT/B.
  if (shown && ctx.FindChildEntry(kPitB, entry) > 0)
    for (int k : {53, 54, 96, 97}) ctx.display.SetReadOnly(k, true);

  // 9. Method of taxation follows the settlement kind. The boxes form one
  // choice, so a box left ticked from an earlier kind loses its tick: it
  // would halve the base or double the tax in steps 19 and 20. The user's
  // box 5 (joint with a deceased spouse) stays.
  if (kind == kIndividual) {
    f.Tick(kBoxIndividual, "1");
    for (int k : {kBoxJoint, kBoxJointDeceased, kBoxSingleParent}) f.Untick(k);
  } else if (kind == kJoint) {
    if (!f.Ticked(kBoxJointDeceased)) f.Tick(kBoxJoint, "2");
    else f.Untick(kBoxJoint);
    for (int k : {kBoxIndividual, kBoxSingleParent}) f.Untick(k);
  } else if (kind == kSingleParent) {
    f.Tick(kBoxSingleParent, "4");
    for (int k : {kBoxIndividual, kBoxJoint, kBoxJointDeceased}) f.Untick(k);
  }

  // 10. Income table.
  IncomeTable(f, kTaxpayerColumns, f.Ticked(kFirstWay) || f.Ticked(kSecondWay));
  IncomeTable(f, kSpouseColumns, f.Ticked(kSpouseFirstWay) || f.Ticked(kSpouseSecondWay));

  // 11. Separately entered parts of the deductions.
  f.CapAtField(329, 140);
  f.CapAtField(330, 141);

  // 12. Deductions from income typed in the return, against the income with
  // the children's.
  reduced |= CapIncomeDeductions(f, f.AmountOf(86) + f.AmountOf(131), 140, 138, 135);
  reduced |= CapIncomeDeductions(f, f.AmountOf(129) + f.AmountOf(132), 141, 139, 136);

  // 13. Income after them.
  f.Set(142, (f.AmountOf(86) + f.AmountOf(131)) - f.Sum({135, 138, 140}));
  f.Set(143, (f.AmountOf(129) + f.AmountOf(132)) - f.Sum({136, 139, 141}));

  // 14. Deductions from income of the PIT/O.
  const int o = ctx.FindChildEntry(kPitO, entry);
  if (o > 0) {
    const FormFields pitO(ctx, o);
    f.CopyFrom(144, pitO, 28);
    f.CopyFrom(145, pitO, 29);
  }

  // 15. Housing reliefs of the settlement's PIT/D.
  if (const int d = ctx.FirstEntryOfType(kPitD); d > 0) {
    const FormFields pitD(ctx, d);
    CopyHousingPart(f, 146, pitD, 34, 35, 31);
    CopyHousingPart(f, 149, pitD, 45, 46, 42);
    if (pitD.AmountOf(54) > 0 || NonZero(pitD, 55))
      f.CopyFrom(179, pitD, 54);
    else
      f.CopyFrom(179, pitD, 51);
  }

  // 16. The PIT/O deductions fit in each person's income.
  reduced |= f.CapAtField(144, 142);
  reduced |= f.CapAtField(145, 143);

  // 17. The further deductions fit in what is left, one after the other.
  Amount left = f.AmountOf(142) + f.AmountOf(143) - f.AmountOf(144) - f.AmountOf(145);
  if (f.AmountOf(146) > left) {
    f.Set(146, left);
    reduced = true;
  }
  left -= f.AmountOf(146);
  for (int k : {147, 148}) {
    if (f.AmountOf(k) > RoundGrosze(left)) {
      f.Set(k, left);
      reduced = true;
    }
    left -= f.AmountOf(k);
  }
  if (RoundGrosze(left) >= f.AmountOf(149))
    f.Copy(150, 149);
  else
    f.Set(150, left);
  f.SetUnrounded(151, f.AmountOf(149) - f.AmountOf(150));
  left -= f.AmountOf(150);
  for (int k : {152, 153}) {
    if (f.AmountOf(k) > RoundGrosze(left)) {
      f.Set(k, left);
      reduced = true;
    }
    left -= f.AmountOf(k);
  }

  // 18. Base before rounding, with the amounts that exceed the losses.
  {
    Amount w = RoundGrosze(f.AmountOf(156) + f.AmountOf(157) + left);
    static const int kLossPairs[][2] = {{56, 158}, {99, 159}, {62, 160}, {105, 161}};
    for (const auto& p : kLossPairs)
      if (f.AmountOf(p[0]) < f.AmountOf(p[1])) w += f.AmountOf(p[1]) - f.AmountOf(p[0]);
    f.Set(166, w);
  }

  // 19. Tax base in whole złoty: half the income unless taxed individually.
  if (f.Ticked(kBoxIndividual))
    f.Set(169, RoundZloty(f.AmountOf(166)));
  else
    f.Set(169, RoundZlotyTenths(f.AmountOf(166) * 0.5L));

  // 20. Tax; foreign income sets the rate of the Polish income.
  if (f.AmountOf(167) > 0 || f.AmountOf(168) > 0) {
    TaxWithForeignIncome(f, kind);
  } else if (f.AmountOf(167) == 0 && f.AmountOf(168) == 0) {
    const bool halved = f.Ticked(kBoxJoint) || f.Ticked(kBoxJointDeceased) || f.Ticked(kBoxSingleParent);
    const Amount scale = TaxScale(RoundZloty(f.AmountOf(169)));
    f.Set(170, halved ? 2 * scale : scale);
  }
  if (f.AmountOf(170) < 0) f.SetZero(170);

  // 21. Tax with the amounts added and deducted.
  f.SetPositivePart(174, (f.AmountOf(170) + f.AmountOf(171)) - (f.AmountOf(172) + f.AmountOf(173)));

  // 22. Deductions from tax of the PIT/O.
  if (o > 0) {
    const FormFields pitO(ctx, o);
    f.CopyFrom(177, pitO, 41);
    f.CopyFrom(178, pitO, 42);
  }

  // 23. Deductions from tax fit in the tax, in order of the columns.
  {
    const Amount tax = f.AmountOf(174);
    if (f.AmountOf(175) > tax) {
      f.Copy(175, 174);
      for (int k : {176, 177, 178}) f.SetZero(k);
      reduced = true;
    }
    if (f.AmountOf(175) + f.AmountOf(176) > tax) {
      f.Set(176, tax - f.AmountOf(175));
      for (int k : {177, 178}) f.SetZero(k);
      reduced = true;
    }
    if (f.Sum({175, 176, 177}) > tax) {
      f.Set(177, tax - f.AmountOf(175) - f.AmountOf(176));
      f.SetZero(178);
      reduced = true;
    }
    if (f.Sum({175, 176, 177, 178}) > tax) {
      f.Set(178, tax - f.AmountOf(175) - f.AmountOf(176) - f.AmountOf(177));
      reduced = true;
    }
  }

  // 24. The PIT/D relief from tax as far as the tax goes.
  {
    const Amount rest = f.AmountOf(174) - f.Sum({175, 176, 177, 178});
    if (f.AmountOf(179) > rest)
      f.Set(180, rest);
    else
      f.Copy(180, 179);
    f.Set(181, f.AmountOf(179) - f.AmountOf(180));
  }
  f.CapAtField(331, 175);
  f.CapAtField(332, 176);

  // 25. Tax due.
  f.Set(182, f.AmountOf(174) - f.Sum({175, 176, 177, 178, 180}));
  f.Set(185, RoundZloty(f.AmountOf(182)));

  // 26. Advances; to pay or overpaid.
  f.Set(186, f.Sum({87, 130, 133, 134}));
  f.SetPositivePart(187, RoundGrosze(f.AmountOf(185) - f.AmountOf(186)));
  f.SetPositivePart(188, RoundGrosze(f.AmountOf(186) - f.AmountOf(185)));

  // 27. Settlement of advances.
  f.CapAtField(196, 194);
  f.CapAtField(197, 195);
  SetOrZeroText(f, 200, f.AmountOf(194) - (f.AmountOf(196) + f.AmountOf(198)));
  SetOrZeroText(f, 201, f.AmountOf(195) - (f.AmountOf(197) + f.AmountOf(199)));
  SetOrZeroText(f, 202, (f.AmountOf(196) + f.AmountOf(198)) - f.AmountOf(194));
  SetOrZeroText(f, 203, (f.AmountOf(197) + f.AmountOf(199)) - f.AmountOf(195));
  {
    const Amount due = f.Sum({185, 192, 193, 200, 201}), paid = f.Sum({kPaidAdvances, 202, 203});
    SetOrZeroText(f, 204, due - paid);
    SetOrZeroText(f, 205, paid - due);
  }

  // The child relief the tax could not take, on the PIT/O and PIT/UZ.
  FollowChildRelief(ctx, entry);

  // 28. Attachments.
  static const int kCounts[][2] = {{347, kPitUZ}, {302, kPitB}, {303, kPitD},  {304, kPit2K}, {305, kPitM},
                                   {306, kPitO},  {307, kPitZG}, {308, kPitZ}, {309, kSseR}};
  for (const auto& c : kCounts) f.SetText(c[0], CountText(ctx.CountChildEntries(c[1], entry, -1)));

  // 29. The 1% amount.
  {
    const Amount m = OnePercentLimit(f.AmountOf(185));
    if (!(m >= f.AmountOf(kOnePercent))) {
      f.SetUnrounded(kOnePercent, m);
      reduced = true;
    }
    if (f.AmountOf(kOnePercent) > 0) f.SetUnrounded(kOnePercent, FloorTenGrosze(f.AmountOf(kOnePercent)));
    ctx.display.SetDonationLabel(FormatAmount(m));
  }

  // 30. Messages: the reminder about the advances actually paid on page 4,
  // replaced by the reduction notice when something was capped.
  bool advancesNote = false;
  if (shown) {
    ctx.display.ClearMessages();
    if (ctx.display.CurrentPage() == kAdvancesPage && f.AmountOf(kPaidAdvances) == 0) {
      ctx.display.SetMessageListHeight(MessageListHeight::Normal);
      ctx.display.AddMessage("   UWAGA !");
      ctx.display.AddMessage(
          "   PIT-36. Ponieważ kwoty zaliczek należnych i faktycznie wpłaconych w ciągu roku przez podatnika "
          "mogą się różnić, poz. 196 należy wypełnić samodzielnie.");
      advancesNote = true;
    } else {
      ctx.display.SetMessageListHeight(MessageListHeight::Hidden);
    }
    if (reduced) {
      ctx.display.ClearMessages();
      ctx.display.SetMessageListHeight(MessageListHeight::Normal);
      ctx.display.AddMessage(ReductionNotice(kPit36));
    } else if (!advancesNote) {
      ctx.display.SetMessageListHeight(MessageListHeight::Hidden);
    }
  }

  // 31. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(kKrs)) f.SetZero(kOnePercent);
  if (shown && ctx.display.CurrentPage() == kOnePercentPage && f.AmountOf(185) > 0 &&
      f.AmountOf(kOnePercent) == 0 && !f.IsEmpty(kKrs))
    ShowOnePercentWarning(ctx, kOnePercentWarning);

  // 32. The user clicked the korekta box.
  CorrectionInfoOnClick(ctx, kPit36, kCorrectionBox, "PIT-36", 0);

  // 33. A loss of earlier years needs its description; reminded once per
  // page display.
  if (shown && ctx.display.CurrentPage() == kLossesPage && !ctx.display.ReminderFlag()) {
    const int edited = ctx.display.FieldBeingEdited();
    const char* reminder = nullptr;
    if (edited == 138 && f.AmountOf(138) > 0 && f.IsEmpty(137))
      reminder = "Uzupełnij opis: \"Straty z lat ubiegłych\" – komórka lewa ";
    if (edited == 139 && f.AmountOf(139) > 0 && f.IsEmpty(345))
      reminder = "Uzupełnij opis: \"Straty z lat ubiegłych\" – komórka prawa ";
    if (reminder != nullptr) {
      ctx.display.ShowReminder(reminder);
      ctx.display.SetReminderFlag();
    }
  }

  // 34. Required fields.
  if (!shown) return;
  static const int kRows[][4] = {{45, 49, 46, 48},    {50, 52, 51, 51},    {53, 57, 54, 56},    {59, 63, 60, 62},
                                 {64, 68, 65, 67},    {69, 73, 70, 72},    {74, 78, 75, 77},    {79, 83, 80, 82},
                                 {88, 92, 89, 91},    {93, 95, 94, 94},    {96, 100, 97, 99},   {102, 106, 103, 105},
                                 {107, 111, 108, 110}, {112, 116, 113, 115}, {117, 121, 118, 120}, {122, 126, 123, 125}};
  for (const auto& r : kRows) {
    MarkRowRequired(ctx, entry, r[0], r[1], true);
    MarkRowRequired(ctx, entry, r[2], r[3], false);
  }
  if (f.AmountOf(58) > 0) ctx.display.SetMustBe(55, true);
  if (f.AmountOf(55) > 0) ctx.display.SetMustBe(58, true);
  if (f.AmountOf(101) > 0) ctx.display.SetMustBe(98, true);
  if (f.AmountOf(98) > 0) ctx.display.SetMustBe(101, true);
  for (int k : {41, 42, 43, 44}) ctx.display.SetMustBe(k, false);
  if (f.Ticked(kSecondWay)) ctx.display.SetMustBe(43, true);
  if (f.Ticked(kSpouseSecondWay)) ctx.display.SetMustBe(44, true);
  if (!f.IsEmpty(43)) ctx.display.SetMustBe(41, true);
  if (!f.IsEmpty(44)) ctx.display.SetMustBe(42, true);
  ctx.display.SetMustBe(137, f.AmountOf(138) > 0);
  ctx.display.SetMustBe(345, f.AmountOf(139) > 0);
}

void CalculatePit36(CalcContext& ctx, int entry) { CalculatePit36WithPass(ctx, entry, true); }

void CalculatePitM(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitM);

  // 1. Identifier marks and identification.
  MarkIdentifierKind(ctx, kPitM, entry, 0, 32, 33);
  ExchangeIdentification(ctx, entry);

  // 2. Rows.
  f.Copy(7, 6);
  SetPlain(f, 11, f.AmountOf(9) - f.AmountOf(10));
  SetPlain(f, 16, f.AmountOf(14) - f.AmountOf(15));
  SetPlain(f, 21, f.AmountOf(19) - f.AmountOf(20));
  SetPlain(f, 12, f.AmountOf(10) - f.AmountOf(9));
  SetPlain(f, 17, f.AmountOf(15) - f.AmountOf(14));
  SetPlain(f, 22, f.AmountOf(20) - f.AmountOf(19));

  // 3. Totals.
  f.SetUnrounded(24, f.Sum({6, 9, 14, 19}));
  f.SetUnrounded(25, f.Sum({10, 15, 20}));
  f.SetUnrounded(26, f.Sum({7, 11, 16, 21}));

  // 4. Advances in whole złoty.
  for (int k : {8, 13, 18, 23}) f.SetUnrounded(k, RoundZloty(f.AmountOf(k)));
  f.SetUnrounded(27, f.Sum({8, 13, 18, 23}));

  // 5. Half or all of the children's income goes to the return.
  if (f.Ticked(28)) {
    f.Set(30, f.AmountOf(26) * 0.5L);
    f.Set(31, f.AmountOf(27) * 0.5L);
  } else if (f.Ticked(29)) {
    f.Copy(30, 26);
    f.Copy(31, 27);
  } else {
    f.SetZero(30);
    f.SetZero(31);
  }

  // 6. Into the PIT-36, which is recalculated (calc/carries.cpp).
  CarryIntoReturns(ctx, entry);

  // 7. Required fields.
  if (!shown) return;
  for (int k : {8, 6, 13, 9, 18, 14, 23, 19}) ctx.display.SetMustBe(k, false);
  auto anyPositive = [&](std::initializer_list<int> ks) {
    for (int k : ks)
      if (f.AmountOf(k) > 0) return true;
    return false;
  };
  if (anyPositive({6, 8}))
    for (int k : {8, 6}) ctx.display.SetMustBe(k, true);
  if (anyPositive({9, 10, 13}))
    for (int k : {13, 9}) ctx.display.SetMustBe(k, true);
  if (anyPositive({14, 15, 18}))
    for (int k : {18, 14}) ctx.display.SetMustBe(k, true);
  if (anyPositive({19, 20, 23}))
    for (int k : {23, 19}) ctx.display.SetMustBe(k, true);
}

}  // namespace pit
