// Foreign income and special economic zones: PIT/ZG, and SSE-R with its
// sheets SSE/A and SSE-R/A. They total their lines for the user and carry
// nothing into a return.
#include <utility>
#include <vector>

#include "calc/calculation.h"
#include "calc/framework.h"

namespace pit {
namespace {

constexpr int kNameLine = 3;

// "Surname, FirstName, BirthDate" of the sheet's person, empty when any of
// the three is missing.
void WriteNameLine(CalcContext& ctx, FormFields& f) {
  const IdentificationRecord& r = f.Header().PM == kPmSpouse ? ctx.ids.Spouse : ctx.ids.Taxpayer;
  if (r.Surname.empty() || r.FirstName.empty() || r.BirthDate.empty())
    f.SetText(kNameLine, "");
  else
    f.SetText(kNameLine, r.Surname + ", " + r.FirstName + ", " + r.BirthDate);
}

// The copy number when not yet written: the sheet's place among the sheets
// of the same type, parent and person (the count when they are added one by
// one, and still right when several are added at once).
int PlaceAmongCopies(const CalcContext& ctx, int entry) {
  const FormEntry& me = ctx.settlement.Entry(entry);
  int place = 0;
  for (int i = 1; i <= entry; ++i) {
    const FormEntry& e = ctx.settlement.Entry(i);
    if (e.IdPit == me.IdPit && e.IdParent == me.IdParent && e.PM == me.PM) ++place;
  }
  return place;
}

void NumberCopy(CalcContext& ctx, FormFields& f, int copyField) {
  if (f.AmountOf(copyField) == 0) f.SetText(copyField, CountText(PlaceAmongCopies(ctx, f.Entry())));
}

bool IsParent(int parent, int candidate) { return candidate > 0 && candidate == parent; }

// The sheets: identification, the name line, the copy number and count,
// the rows that need all their fields once one is filled.
void CalculateSheet(CalcContext& ctx, int entry, int idPit, const std::vector<std::pair<int, int>>& rows) {
  FormFields f(ctx, entry);
  ExchangeIdentification(ctx, entry);
  WriteNameLine(ctx, f);
  NumberCopy(ctx, f, 1);
  f.SetText(2, CountText(ctx.CountChildEntries(idPit, f.Header().IdParent, f.Header().PM)));
  if (!ctx.IsShown(idPit)) return;
  for (const auto& [first, last] : rows) MarkRowRequired(ctx, entry, first, last, true);
}

}  // namespace

void CalculatePitZG(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitZG);
  const int parent = f.Header().IdParent, pm = f.Header().PM;

  // 1. Identifier marks and identification.
  MarkIdentifierKind(ctx, kPitZG, entry, 0, 35, 36);
  ExchangeIdentification(ctx, entry);

  // 2. Copy number.
  NumberCopy(ctx, f, 37);

  // 3. The country code of the country picked by name.
  if (ctx.countryCodeOf) f.SetText(7, ctx.countryCodeOf(f.TextOf(38)));

  // 4. Only the fields of this PIT/ZG's return are typed.
  if (shown) {
    const bool underPit36 = IsParent(parent, ctx.FindEntry(kPit36, 0, kPmNone));
    const bool underPit36L = IsParent(parent, ctx.FindEntry(kPit36L, 0, kPmNone));
    const bool underPit38 = IsParent(parent, ctx.FindEntry(kPit38, 0, pm));
    const bool underPit39 = IsParent(parent, ctx.FindEntry(kPit39, 0, pm));
    for (int k = 8; k <= 25; ++k) ctx.display.SetReadOnly(k, !underPit36);
    for (int k : {29, 30}) ctx.display.SetReadOnly(k, !underPit36L);
    for (int k : {31, 32}) ctx.display.SetReadOnly(k, !underPit38);
    for (int k : {33, 34}) ctx.display.SetReadOnly(k, !underPit39);
  }

  // 5. Column totals.
  f.SetUnrounded(26, f.Sum({8, 11, 14, 17, 20, 23}));
  f.SetUnrounded(27, f.Sum({9, 12, 15, 18, 21, 24}));
  f.SetUnrounded(28, f.Sum({10, 13, 16, 19, 22, 25}));

  // 6. The user moves the figures into the return.
  if (shown) {
    ctx.display.ClearMessages();
    if (ctx.display.CurrentPage() == 1) {
      // Three lines: 60 pixels rather than the normal height.
      ctx.display.SetMessageListHeight(MessageListHeight::Hidden);
      ctx.display.GrowMessageList(60);
      ctx.display.AddMessage("UWAGA !");
      ctx.display.AddMessage("Dane z PIT/ZG musisz przenieść samodzielnie do odpowiedniego zeznania podatkowego.");
      ctx.display.AddMessage(
          "Przy rozliczaniu dochodów zagranicznych, proponujemy skorzystać z opisu dostępnego w menu programu - "
          "\"Pomocne informacje\".");
    } else {
      ctx.display.SetMessageListHeight(MessageListHeight::Hidden);
    }
  }

  // 7. Required fields.
  if (!shown) return;
  for (int k = 8; k <= 25; ++k) ctx.display.SetMustBe(k, false);
  for (int a = 8; a <= 23; a += 3) {
    if (f.AmountOf(a) > 0 || f.AmountOf(a + 1) != 0 || f.AmountOf(a + 2) > 0)
      for (int k = a; k <= a + 2; ++k) ctx.display.SetMustBe(k, true);
  }
  ctx.display.SetMustBe(30, f.AmountOf(29) > 0);
  ctx.display.SetMustBe(32, f.AmountOf(31) > 0);
  ctx.display.SetMustBe(34, f.AmountOf(33) > 0);
}

void CalculateSseR(CalcContext& ctx, int entry) {
  FormFields f(ctx, entry);

  // 1. Identification and the name line.
  ExchangeIdentification(ctx, entry);
  WriteNameLine(ctx, f);

  // 2.-4. Totals, the share of the zone activity and the relief limit.
  f.Set(25, f.Sum({14, 16, 22}));
  f.Set(26, f.Sum({15, 17, 23}));
  f.Set(27, f.Sum({18, 24}));
  f.Set(42, f.Sum({30, 33, 36, 39}));
  if (f.AmountOf(42) != 0) f.Set(43, f.Sum({25, 26, 27}) * 100 / f.AmountOf(42));
  f.Set(45, f.AmountOf(44) * 0.01L * f.AmountOf(42));

  // 5.-6.
  f.CapAtField(48, 47);
  f.SetPositivePart(49, RoundGrosze(f.AmountOf(47) - f.AmountOf(48)));
  f.SetPositivePart(51, RoundGrosze(f.AmountOf(46) - f.AmountOf(50)));
  f.SetPositivePart(52, RoundGrosze(f.AmountOf(50) - f.AmountOf(46)));
  f.Copy(53, f.AmountOf(46) >= f.AmountOf(50) ? 50 : 46);

  // 7. A percentage (57) or an amount (58) of 55; the amount wins.
  if (f.AmountOf(57) > 0) f.Set(59, f.AmountOf(57) * 0.01L * f.AmountOf(55));
  if (f.AmountOf(58) > 0) f.Copy(59, f.AmountOf(58) > f.AmountOf(55) ? 55 : 58);
  if (f.AmountOf(55) == 0) f.SetZero(59);
  if (f.AmountOf(58) != 0) f.SetZero(57);
  if (f.AmountOf(57) != 0) f.SetZero(58);

  // 8.-9.
  f.Set(60, f.AmountOf(55) - f.AmountOf(59));
  f.SetPositivePart(64, RoundGrosze((f.AmountOf(60) + f.AmountOf(62)) - (f.AmountOf(61) + f.AmountOf(63))));
  f.SetPositivePart(65, RoundGrosze((f.AmountOf(61) + f.AmountOf(63)) - (f.AmountOf(60) + f.AmountOf(62))));

  // 10.-12. The relief used, in whole złoty, and what is left.
  f.CapAtField(66, 64);
  if (f.AmountOf(64) > 0)
    f.Set(68, RoundZloty((f.AmountOf(64) - f.AmountOf(66)) + f.AmountOf(67)));
  else if (f.AmountOf(65) < f.AmountOf(67))
    f.Set(68, RoundZloty(f.AmountOf(67) - (f.AmountOf(65) + f.AmountOf(66))));
  if (f.AmountOf(68) < 0) f.SetZero(68);
  f.SetPositivePart(69, RoundGrosze((f.AmountOf(65) + f.AmountOf(66)) - (f.AmountOf(64) + f.AmountOf(67))));

  // 13.
  f.CapAtField(71, 70);
  f.Set(73, f.AmountOf(70) - f.AmountOf(71));
  f.SetPositivePart(74, RoundGrosze(f.AmountOf(72) - f.AmountOf(73)));

  // 14. Sheets.
  f.SetText(96, CountText(ctx.CountChildEntries(kSseA, entry, -1)));
  f.SetText(97, CountText(ctx.CountChildEntries(kSseRA, entry, -1)));

  // 15. Required fields.
  if (!ctx.IsShown(kSseR)) return;
  for (int k = 21; k <= 24; ++k) ctx.display.SetMustBe(k, false);
  if (f.AmountOf(22) > 0 || f.AmountOf(23) != 0 || f.AmountOf(24) > 0)
    for (int k = 21; k <= 24; ++k) ctx.display.SetMustBe(k, true);
}

void CalculateSseA(CalcContext& ctx, int entry) {
  static const std::vector<std::pair<int, int>> kRows = {{5, 11},  {12, 18}, {19, 25}, {26, 32},
                                                         {33, 39}, {40, 46}, {47, 53}};
  CalculateSheet(ctx, entry, kSseA, kRows);
}

void CalculateSseRA(CalcContext& ctx, int entry) {
  static const std::vector<std::pair<int, int>> kRows = [] {
    std::vector<std::pair<int, int>> rows;
    for (int first = 5; first <= 50; first += 9) rows.emplace_back(first, first + 8);
    for (int first = 59; first <= 184; first += 5) rows.emplace_back(first, first + 4);
    return rows;
  }();
  CalculateSheet(ctx, entry, kSseRA, kRows);
}

}  // namespace pit
