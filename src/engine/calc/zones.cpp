// Foreign income and special economic zones: PIT/ZG, and SSE-R with its
// sheets SSE/A and SSE-R/A. They total their lines for the user and carry
// nothing into a return.
#include <utility>
#include <vector>

#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/pit_zg_fields.h"
#include "forms/sse_a_fields.h"
#include "forms/sse_r_a_fields.h"
#include "forms/sse_r_fields.h"

namespace pit {
namespace {

// "Surname, FirstName, BirthDate" of the sheet's person, empty when any of
// the three is missing.
void WriteNameLine(CalcContext& ctx, FormFields& f, int nameLine) {
  const IdentificationRecord& r = f.Header().PM == kPmSpouse ? ctx.ids.Spouse : ctx.ids.Taxpayer;
  if (r.Surname.empty() || r.FirstName.empty() || r.BirthDate.empty())
    f.SetText(nameLine, "");
  else
    f.SetText(nameLine, r.Surname + ", " + r.FirstName + ", " + r.BirthDate);
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

// The fields every sheet has: its number, the count of sheets and the name line.
struct SheetHeader {
  int number, count, nameLine;
};

// The sheets: identification, the name line, the copy number and count,
// the rows (first and last field) that need all their fields once one is filled.
void CalculateSheet(CalcContext& ctx, int entry, int idPit, const SheetHeader& h,
                    const std::vector<std::pair<int, int>>& rows) {
  FormFields f(ctx, entry);
  ExchangeIdentification(ctx, entry);
  WriteNameLine(ctx, f, h.nameLine);
  NumberCopy(ctx, f, h.number);
  f.SetText(h.count, CountText(ctx.CountChildEntries(idPit, f.Header().IdParent, f.Header().PM)));
  if (!ctx.IsShown(idPit)) return;
  for (const auto& [first, last] : rows) MarkRowRequired(ctx, entry, first, last, true);
}

}  // namespace

void CalculatePitZG(CalcContext& ctx, int entry) {
  using namespace pit_zg;
  FormFields f(ctx, entry);
  const bool shown = ctx.IsShown(kPitZG);
  const int parent = f.Header().IdParent, pm = f.Header().PM;

  // 1. Identifier marks and identification.
  MarkIdentifierKind(ctx, kPitZG, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel);
  ExchangeIdentification(ctx, entry);

  // 2. Copy number.
  NumberCopy(ctx, f, copy_number);

  // 3. The country code of the country picked by name.
  if (ctx.countryCodeOf) f.SetText(country_code, ctx.countryCodeOf(f.TextOf(country)));

  // 4. Only the fields of this PIT/ZG's return are typed. The PIT-36 rows
  // run from employment to other sources, three fields a row.
  constexpr int kRowWidth = 3;
  if (shown) {
    const bool underPit36 = IsParent(parent, ctx.FindEntry(kPit36, 0, kPmNone));
    const bool underPit36L = IsParent(parent, ctx.FindEntry(kPit36L, 0, kPmNone));
    const bool underPit38 = IsParent(parent, ctx.FindEntry(kPit38, 0, pm));
    const bool underPit39 = IsParent(parent, ctx.FindEntry(kPit39, 0, pm));
    for (int k = employment_revenue; k <= other_tax_paid; ++k) ctx.shown.SetReadOnly(k, !underPit36);
    for (Field k : {pit36l_income, pit36l_tax_paid}) ctx.shown.SetReadOnly(k, !underPit36L);
    for (Field k : {pit38_income, pit38_tax_paid}) ctx.shown.SetReadOnly(k, !underPit38);
    for (Field k : {pit39_income, pit39_tax_paid}) ctx.shown.SetReadOnly(k, !underPit39);
  }

  // 5. Column totals.
  f.SetUnrounded(total_revenue, f.Sum({employment_revenue, personal_activity_revenue, business_revenue, rental_revenue,
                                       rights_revenue, other_revenue}));
  f.SetUnrounded(total_income, f.Sum({employment_income, personal_activity_income, business_income, rental_income,
                                      rights_income, other_income}));
  f.SetUnrounded(total_tax_paid, f.Sum({employment_tax_paid, personal_activity_tax_paid, business_tax_paid,
                                        rental_tax_paid, rights_tax_paid, other_tax_paid}));

  // 6. The user moves the figures into the return.
  if (shown) {
    ctx.shown.ClearMessages();
    if (ctx.input.page == 1) {
      // Just the three lines, not the normal height.
      ctx.shown.SetMessageListHeight(MessageListHeight::Hidden);
      ctx.shown.GrowMessageList(3);
      ctx.shown.AddMessage("UWAGA !");
      ctx.shown.AddMessage("Dane z PIT/ZG musisz przenieść samodzielnie do odpowiedniego zeznania podatkowego.");
      ctx.shown.AddMessage(
          "Przy rozliczaniu dochodów zagranicznych, proponujemy skorzystać z opisu dostępnego w menu programu - "
          "\"Pomocne informacje\".");
    } else {
      ctx.shown.SetMessageListHeight(MessageListHeight::Hidden);
    }
  }

  // 7. Required fields: a PIT-36 row with any figure needs all three.
  if (!shown) return;
  for (int k = employment_revenue; k <= other_tax_paid; ++k) ctx.shown.SetMustBe(k, false);
  for (int a = employment_revenue; a <= other_revenue; a += kRowWidth) {
    if (f.AmountOf(a) > 0 || f.AmountOf(a + 1) != 0 || f.AmountOf(a + 2) > 0)
      for (int k = a; k < a + kRowWidth; ++k) ctx.shown.SetMustBe(k, true);
  }
  ctx.shown.SetMustBe(pit36l_tax_paid, f.AmountOf(pit36l_income) > 0);
  ctx.shown.SetMustBe(pit38_tax_paid, f.AmountOf(pit38_income) > 0);
  ctx.shown.SetMustBe(pit39_tax_paid, f.AmountOf(pit39_income) > 0);
}

void CalculateSseR(CalcContext& ctx, int entry) {
  using namespace sse_r;
  FormFields f(ctx, entry);

  // 1. Identification and the name line.
  ExchangeIdentification(ctx, entry);
  WriteNameLine(ctx, f, name_line);

  // 2.-4. Totals, the share of the zone activity and the relief limit.
  f.Set(total_costs_investment, f.Sum({past_costs_investment, year_costs_investment, other_costs_investment}));
  f.Set(total_costs_labour, f.Sum({past_costs_labour, year_costs_labour, other_costs_labour}));
  f.Set(total_costs_other, f.Sum({year_costs_other, other_costs_other}));
  f.Set(total_revenue, f.Sum({permit_revenue, zone_unpermitted_revenue, outside_revenue, other_revenue}));
  if (f.AmountOf(total_revenue) != 0)
    f.Set(costs_to_revenue_ratio,
          f.Sum({total_costs_investment, total_costs_labour, total_costs_other}) * 100 / f.AmountOf(total_revenue));
  f.Set(aid_rate_amount, f.AmountOf(aid_rate) * f.AmountOf(total_revenue) / 100);

  // 5.-6.
  f.CapAtField(past_aid_used, aid_limit);
  f.SetPositivePart(limit_left, RoundGrosze(f.AmountOf(aid_limit) - f.AmountOf(past_aid_used)));
  f.SetPositivePart(past_exempt_excess, RoundGrosze(f.AmountOf(past_exempt_income) - f.AmountOf(year_exempt_income)));
  f.SetPositivePart(year_exempt_excess, RoundGrosze(f.AmountOf(year_exempt_income) - f.AmountOf(past_exempt_income)));
  f.Copy(exempt_income_counted,
         f.AmountOf(past_exempt_income) >= f.AmountOf(year_exempt_income) ? year_exempt_income : past_exempt_income);

  // 7. A percentage or an amount of the zone income; the amount wins.
  if (f.AmountOf(exempt_percent) > 0)
    f.Set(exempt_income, f.AmountOf(exempt_percent) * f.AmountOf(zone_income) / 100);
  if (f.AmountOf(exempt_amount) > 0)
    f.Copy(exempt_income, f.AmountOf(exempt_amount) > f.AmountOf(zone_income) ? zone_income : exempt_amount);
  if (f.AmountOf(zone_income) == 0) f.SetZero(exempt_income);
  if (f.AmountOf(exempt_amount) != 0) f.SetZero(exempt_percent);
  if (f.AmountOf(exempt_percent) != 0) f.SetZero(exempt_amount);

  // 8.-9.
  f.Set(zone_taxable_income, f.AmountOf(zone_income) - f.AmountOf(exempt_income));
  const Amount gains = f.AmountOf(zone_taxable_income) + f.AmountOf(outside_income);
  const Amount losses = f.AmountOf(zone_losses) + f.AmountOf(outside_losses);
  f.SetPositivePart(total_income, RoundGrosze(gains - losses));
  f.SetPositivePart(total_loss, RoundGrosze(losses - gains));

  // 10.-12. The relief used, in whole złoty, and what is left.
  f.CapAtField(deductions, total_income);
  if (f.AmountOf(total_income) > 0)
    f.Set(taxable_income, RoundZloty((f.AmountOf(total_income) - f.AmountOf(deductions)) + f.AmountOf(additions)));
  else if (f.AmountOf(total_loss) < f.AmountOf(additions))
    f.Set(taxable_income, RoundZloty(f.AmountOf(additions) - (f.AmountOf(total_loss) + f.AmountOf(deductions))));
  if (f.AmountOf(taxable_income) < 0) f.SetZero(taxable_income);
  f.SetPositivePart(loss_carried, RoundGrosze((f.AmountOf(total_loss) + f.AmountOf(deductions)) -
                                              (f.AmountOf(total_income) + f.AmountOf(additions))));

  // 13.
  f.CapAtField(aid_used, aid_due);
  f.Set(aid_left, f.AmountOf(aid_due) - f.AmountOf(aid_used));
  f.SetPositivePart(tax_over_aid_left, RoundGrosze(f.AmountOf(exempt_income_tax) - f.AmountOf(aid_left)));

  // 14. Sheets.
  f.SetText(sse_a_sheets, CountText(ctx.CountChildEntries(kSseA, entry, -1)));
  f.SetText(sse_r_a_sheets, CountText(ctx.CountChildEntries(kSseRA, entry, -1)));

  // 15. Required fields: the other costs' row with any amount needs its title.
  if (!ctx.IsShown(kSseR)) return;
  for (int k = other_costs_title; k <= other_costs_other; ++k) ctx.shown.SetMustBe(k, false);
  if (f.AmountOf(other_costs_investment) > 0 || f.AmountOf(other_costs_labour) != 0 ||
      f.AmountOf(other_costs_other) > 0)
    for (int k = other_costs_title; k <= other_costs_other; ++k) ctx.shown.SetMustBe(k, true);
}

void CalculateSseA(CalcContext& ctx, int entry) {
  using namespace sse_a;
  static const std::vector<std::pair<int, int>> kRows = {
      {expense1_kind, expense1_cumulative}, {expense2_kind, expense2_cumulative}, {expense3_kind, expense3_cumulative},
      {expense4_kind, expense4_cumulative}, {expense5_kind, expense5_cumulative}, {expense6_kind, expense6_cumulative},
      {expense7_kind, expense7_cumulative}};
  CalculateSheet(ctx, entry, kSseA, {sheet_number, sheet_count, name_line}, kRows);
}

void CalculateSseRA(CalcContext& ctx, int entry) {
  using namespace sse_r_a;
  // Six employees' rows, then 26 months', each row its fields in a run.
  static const std::vector<std::pair<int, int>> kRows = [] {
    constexpr int kEmployees = 6, kMonths = 26;
    const int employeeWidth = employee1_cumulative - employee1_position + 1;
    const int monthWidth = month1_total - month1_period + 1;
    static_assert(employee6_cumulative - employee1_position + 1 ==
                  kEmployees * (employee1_cumulative - employee1_position + 1));
    static_assert(month26_total - month1_period + 1 == kMonths * (month1_total - month1_period + 1));
    std::vector<std::pair<int, int>> rows;
    for (int i = 0; i < kEmployees; ++i) {
      const int first = employee1_position + i * employeeWidth;
      rows.emplace_back(first, first + employeeWidth - 1);
    }
    for (int i = 0; i < kMonths; ++i) {
      const int first = month1_period + i * monthWidth;
      rows.emplace_back(first, first + monthWidth - 1);
    }
    return rows;
  }();
  CalculateSheet(ctx, entry, kSseRA, {sheet_number, sheet_count, name_line}, kRows);
}

}  // namespace pit
