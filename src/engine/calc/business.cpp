// Business income: PIT-36L (the flat 19% return), PIT/B (shares in
// partnerships) and PIT/Z (income declared in another way), and the chain in
// which they run each other and PIT-36.
#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "calc/business_rows.h"
#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_z_fields.h"

namespace pit {
namespace {

constexpr int kPit36LAdvancesPage = 2, kPit36LOnePercentPage = 3;
constexpr Amount kFlatRate = Percent(19);

const char* const kFullShare = "100,00";

bool IsTaxpayerSide(int pm) { return pm != kPmSpouse; }

// Both boxes of a person in PIT-36.
pit36::Field FirstWayBox(int pm) {
  return IsTaxpayerSide(pm) ? pit36::taxpayer_business_first_way : pit36::spouse_business_first_way;
}
pit36::Field SecondWayBox(int pm) {
  return IsTaxpayerSide(pm) ? pit36::taxpayer_business_second_way : pit36::spouse_business_second_way;
}

struct PitBSums {
  Amount revenue = 0, costs = 0;
  int last = 0;  // the last copy summed, which shows the totals
};

Amount Revenue(const FormFields& b) {
  using namespace pit_b;
  return b.Sum({own1_revenue, own2_revenue, partner1_revenue_share, partner2_revenue_share, partner3_revenue_share});
}
Amount Costs(const FormFields& b) {
  using namespace pit_b;
  return b.Sum({own1_costs, own2_costs, partner1_costs_share, partner2_costs_share, partner3_costs_share});
}

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
    for (pit_b::Field k : {pit_b::total_revenue, pit_b::total_costs, pit_b::total_income, pit_b::total_loss})
      b.SetZero(k);
    s.last = i;
  }
  if (s.last > 0) {
    using namespace pit_b;
    FormFields b(ctx, s.last);
    b.Set(total_revenue, s.revenue);
    b.Set(total_costs, s.costs);
    b.SetPositivePart(total_income, b.AmountOf(total_revenue) - b.AmountOf(total_costs));
    b.SetPositivePart(total_loss, b.AmountOf(total_costs) - b.AmountOf(total_revenue));
  }
  return s;
}

void SetRounded(FormFields& f, int k, Amount x) { f.Set(k, x); }

}  // namespace

// --- PIT-36L ------------------------------------------------------------------

void CalculatePit36L(CalcContext& ctx, int entry) {
  using namespace pit36l;
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
    for (Field k : {business_income, business_loss}) f.SetZero(k);

  // 3. Purpose.
  SetPurposeBoxes(ctx, entry, purpose_filing, purpose_correction);

  // 4. Revenue and costs come from the PIT/B.
  if (shown && ctx.FindChildEntry(kPitB, entry) > 0)
    for (Field k : {business_revenue, business_costs}) ctx.shown.SetReadOnly(k, true);

  // 5. Income from a PIT/Z needs a PIT/Z.
  if (pitZ <= 0) {
    if (f.Ticked(income_from_pit_z))
      ctx.shown.Remind(
          "Zaznaczenie PIT-36L poz. 11 jest możliwe, jeżeli do PIT-36L jest załączony PIT/Z");
    f.Untick(income_from_pit_z);
  }

  // 6.-7. Income and loss of both sources.
  if (!f.Ticked(income_from_pit_z)) {
    f.SetPositivePart(business_income, RoundGrosze(f.AmountOf(business_revenue) - f.AmountOf(business_costs)));
    f.SetPositivePart(business_loss, RoundGrosze(f.AmountOf(business_costs) - f.AmountOf(business_revenue)));
  } else {
    const FormFields z(ctx, pitZ);
    f.CopyFrom(business_income, z, pit_z::carried_income);
    f.CopyFrom(business_loss, z, pit_z::carried_loss);
  }
  f.SetPositivePart(farming_income, RoundGrosze(f.AmountOf(farming_revenue) - f.AmountOf(farming_costs)));
  f.SetPositivePart(farming_loss, RoundGrosze(f.AmountOf(farming_costs) - f.AmountOf(farming_revenue)));

  // 8. Each deduction fits in the income the others leave; the IKZE also has
  // its statutory cap.
  const Amount income = f.AmountOf(business_income) + f.AmountOf(farming_income);
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
  capDeduction(past_losses, social_insurance, ikze);
  capDeduction(social_insurance, past_losses, ikze);
  capDeduction(ikze, past_losses, social_insurance);
  reduced |= f.Cap(ikze, limits2014::kIkzeContributions);

  // 9. Income after the deductions.
  f.SetPositivePart(income_after_deductions, RoundGrosze(income - f.Sum({past_losses, social_insurance, ikze})));

  // 10. Base: the amounts above the losses of each source are added.
  {
    Amount base = f.AmountOf(income_after_deductions) + f.AmountOf(base_additions);
    const Amount loss1 = f.AmountOf(business_loss), loss2 = f.AmountOf(farming_loss);
    const Amount add1 = f.AmountOf(base_addition_row1), add2 = f.AmountOf(base_addition_row2);
    if (loss1 > 0 && add1 > 0 && loss1 < add1) base += add1 - loss1;
    if (loss2 > 0 && add2 > 0 && loss2 < add2) base += add2 - loss2;
    f.Set(tax_base, base);
  }

  // 11. Tax at the flat rate.
  f.Set(tax_base_rounded, RoundZloty(f.AmountOf(tax_base)));
  f.Set(flat_tax, f.AmountOf(tax_base_rounded) * kFlatRate);

  // 12. Tax with the amounts added and deducted.
  f.SetPositivePart(tax_after_foreign,
                    RoundGrosze((f.AmountOf(flat_tax) + f.AmountOf(tax_additions)) - f.AmountOf(foreign_tax)));

  // 13. Deductions from tax fit in the tax.
  if (f.AmountOf(health_insurance) > f.AmountOf(tax_after_foreign)) {
    f.Copy(health_insurance, tax_after_foreign);
    f.SetZero(other_tax_deductions);
    reduced = true;
  }
  if (f.AmountOf(health_insurance) + f.AmountOf(other_tax_deductions) > f.AmountOf(tax_after_foreign)) {
    f.Set(other_tax_deductions, f.AmountOf(tax_after_foreign) - f.AmountOf(health_insurance));
    reduced = true;
  }
  reduced |= f.CapAtField(health_insurance_abroad, health_insurance);

  // 14. Tax due.
  f.Set(tax_after_deductions,
        f.AmountOf(tax_after_foreign) - (f.AmountOf(health_insurance) + f.AmountOf(other_tax_deductions)));
  f.Set(tax_due, RoundZloty(f.AmountOf(tax_after_deductions)));

  // 15. Advances; to pay or overpaid.
  f.Set(advances_due_total, f.AmountOf(business_advances) + f.AmountOf(farming_advances));
  f.SetPositivePart(to_pay, RoundGrosze(f.AmountOf(tax_due) - f.AmountOf(advances_due_total)));
  f.SetPositivePart(overpaid, RoundGrosze(f.AmountOf(advances_due_total) - f.AmountOf(tax_due)));

  // 16. Settlement of advances.
  f.CapAtField(advances_withheld, advances_due);
  f.SetPositivePart(advances_not_withheld, RoundGrosze(f.AmountOf(advances_due) - (f.AmountOf(advances_withheld) +
                                                                                   f.AmountOf(advances_self_paid))));
  f.SetPositivePart(advances_excess, RoundGrosze((f.AmountOf(advances_withheld) + f.AmountOf(advances_self_paid)) -
                                                 f.AmountOf(advances_due)));
  {
    const Amount due = f.Sum({tax_due, property_sale_tax, advances_not_withheld}),
                 paid = f.Sum({advances_paid, advances_excess});
    f.SetPositivePart(to_pay_after_advances, RoundGrosze(due - paid));
    f.SetPositivePart(overpaid_after_advances, RoundGrosze(paid - due));
  }

  // 17. Attachments.
  f.SetText(pit_b_count, CountText(ctx.CountChildEntries(kPitB, entry, -1)));
  f.SetText(pit_z_count, CountText(ctx.CountChildEntries(kPitZ, entry, -1)));
  f.SetText(pit_zg_count, CountText(ctx.CountChildEntries(kPitZG, entry, -1)));
  f.SetText(nip_count, CountText(ctx.CountChildEntries(kNip1, entry, -1) + ctx.CountChildEntries(kNip3, entry, -1)));

  // 18. The 1% amount.
  reduced |= CapOnePercent(ctx, f, tax_due, one_percent);

  // 19. The user clicked the korekta box.
  CorrectionInfoOnClick(ctx, kPit36L, purpose_correction, "PIT-36L", 0);

  // 20. Messages: the advances actually paid on page 2, then the reduction
  // notice after them.
  if (shown) {
    ctx.shown.ClearMessages();
    bool advancesNote = false;
    if (ctx.input.page == kPit36LAdvancesPage && f.AmountOf(advances_paid) == 0) {
      ctx.shown.SetMessageListHeight(MessageListHeight::Normal);
      ctx.shown.AddMessage("   UWAGA !");
      ctx.shown.AddMessage(
          "   PIT-36L. Ponieważ kwoty zaliczek należnych i faktycznie wpłaconych w ciągu roku przez "
          "podatnika mogą się różnić, poz. 48 należy wypełnić samodzielnie.");
      advancesNote = true;
    } else {
      ctx.shown.SetMessageListHeight(MessageListHeight::Hidden);
    }
    if (reduced) {
      ctx.shown.SetMessageListHeight(MessageListHeight::Normal);
      ctx.shown.AddMessage(ReductionNotice(kPit36L));
    } else if (!advancesNote) {
      ctx.shown.SetMessageListHeight(MessageListHeight::Hidden);
    }
  }

  // 21. No organisation, no 1% amount; an organisation without an amount.
  if (f.IsEmpty(krs)) f.SetZero(one_percent);
  if (shown && ctx.input.page == kPit36LOnePercentPage && f.AmountOf(tax_due) > 0 &&
      f.AmountOf(one_percent) == 0 && !f.IsEmpty(krs))
    ShowOnePercentWarning(
        ctx, "    PIT-36L. W polu formularza nr 95 należy podać kwotę, która ma być przekazana w ramach 1%");

  // 22. Required fields.
  if (!shown) return;
  ctx.shown.SetMustBe(pit_z_legal_basis, f.Ticked(income_from_pit_z));
  ctx.shown.SetMustBe(income_from_pit_z, !f.IsEmpty(pit_z_legal_basis));
  MarkRowRequired(ctx, entry, business_revenue, business_advances, true);
  MarkRowRequired(ctx, entry, business_income, business_loss, false);
  MarkRowRequired(ctx, entry, farming_revenue, farming_advances, true);
  MarkRowRequired(ctx, entry, farming_income, farming_loss, false);
  MarkRowRequired(ctx, entry, past_losses_source, past_losses, true);
  if (!f.IsEmpty(health_insurance_abroad) || !f.IsEmpty(health_insurance))
    MarkRowRequired(ctx, entry, health_insurance, health_insurance, true);
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
      ctx.shown.Remind(
          IsTaxpayerSide(pm)
              ? "UWAGA! \nPrzed wypełnieniem PIT/B (Podatnika), należy zaznaczyć odpowiednie pole w poz. 39 lub 40 "
                "PIT-36."
              : "UWAGA! \nPrzed wypełnieniem PIT/B (Małżonka), należy zaznaczyć odpowiednie pole w poz. 42 lub 43 "
                "PIT-36.");
      ctx.ShowEntry(p36, kPit36);
      return;
    }
  }
  const int p36l = ctx.FindEntry(kPit36L, 0, kPmNone);
  if (p36l > 0 && p36l == parent && ctx.FindEntry(kPitZ, p36l, kPmNone) > 0 &&
      !FormFields(ctx, p36l).Ticked(pit36l::income_from_pit_z)) {
    ctx.shown.Remind("UWAGA! \nPrzed wypełnieniem PIT/B, należy zaznaczyć pole 11 w PIT-36L.");
    ctx.ShowEntry(p36l, kPit36L);
    return;
  }

  // 2. Identification.
  ExchangeIdentification(ctx, entry);

  // 3. A share is at most the whole.
  for (pit_b::Field k : {pit_b::partner1_share, pit_b::partner2_share, pit_b::partner3_share})
    if (f.AmountOf(k) > 100) f.SetText(k, kFullShare);

  // 4. Number of copies and this copy's number: its place among the copies
  // of the same return and person, which is the count at the time it was
  // added when copies are added one by one, and stays right when several
  // are added at once.
  f.SetText(pit_b::copies, CountText(ctx.CountChildEntries(kPitB, parent, pm)));
  if (f.AmountOf(pit_b::copy_number) == 0) {
    int place = 0;
    for (int i = 1; i <= entry; ++i) {
      const FormEntry& e = ctx.settlement.Entry(i);
      if (e.IdPit == kPitB && e.IdParent == parent && e.PM == pm) ++place;
    }
    f.SetText(pit_b::copy_number, CountText(place));
  }

  // 5. Own business.
  f.SetUnrounded(pit_b::own1_income, f.AmountOf(pit_b::own1_revenue) - f.AmountOf(pit_b::own1_costs));
  f.SetUnrounded(pit_b::own2_income, f.AmountOf(pit_b::own2_revenue) - f.AmountOf(pit_b::own2_costs));

  // 6. The person's share of each partnership; a typed share overrides.
  struct Partnership {
    pit_b::Field share, rev, cost, revShare, revOwn, costShare, costOwn, revDiff, costDiff;
  };
  static const Partnership kSections[] = {
      {pit_b::partner1_share, pit_b::partner1_revenue, pit_b::partner1_costs, pit_b::partner1_revenue_share,
       pit_b::partner1_revenue_own, pit_b::partner1_costs_share, pit_b::partner1_costs_own, pit_b::partner1_income,
       pit_b::partner1_income_share},
      {pit_b::partner2_share, pit_b::partner2_revenue, pit_b::partner2_costs, pit_b::partner2_revenue_share,
       pit_b::partner2_revenue_own, pit_b::partner2_costs_share, pit_b::partner2_costs_own, pit_b::partner2_income,
       pit_b::partner2_income_share},
      {pit_b::partner3_share, pit_b::partner3_revenue, pit_b::partner3_costs, pit_b::partner3_revenue_share,
       pit_b::partner3_revenue_own, pit_b::partner3_costs_share, pit_b::partner3_costs_own, pit_b::partner3_income,
       pit_b::partner3_income_share}};
  for (const Partnership& p : kSections) {
    const int share = p.share, rev = p.rev, cost = p.cost, revShare = p.revShare, revOwn = p.revOwn,
              costShare = p.costShare, costOwn = p.costOwn, revDiff = p.revDiff, costDiff = p.costDiff;
    for (const auto& [part, own, whole] : {std::tuple{revShare, revOwn, rev}, std::tuple{costShare, costOwn, cost}}) {
      f.Set(part, f.AmountOf(share) * f.AmountOf(whole) / 100);
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
    using namespace pit_z;
    if (parentType == kPit36L) {
      SetRounded(pitZ, second_way_revenue, t.revenue);
      SetRounded(pitZ, second_way_costs, t.costs);
    } else if (parentType == kPit36) {
      const FormFields ret(ctx, parent);
      if (ret.Ticked(FirstWayBox(pm))) {
        SetRounded(pitZ, business_revenue, t.revenue);
        SetRounded(pitZ, business_costs, t.costs);
        for (Field k : {second_way_revenue, second_way_costs}) pitZ.SetZero(k);
      } else {
        for (Field k : {business_revenue, business_costs}) pitZ.SetZero(k);
      }
      if (ret.Ticked(SecondWayBox(pm))) {
        for (Field k : {business_revenue, business_costs}) pitZ.SetZero(k);
        SetRounded(pitZ, second_way_revenue, t.revenue);
        SetRounded(pitZ, second_way_costs, t.costs);
      } else {
        for (Field k : {second_way_revenue, second_way_costs}) pitZ.SetZero(k);
      }
    }
    Calculate(ctx, kPitZ, z);
  }

  // 10. Reminders, once per page display.
  if (shown && ctx.input.page == 1 && ctx.ReminderDue()) {
    const int edited = ctx.input.committedField;
    const char* reminder = nullptr;
    using namespace pit_b;
    if (edited == own1_regon && !f.IsEmpty(own1_kind) && f.IsEmpty(own1_regon)) reminder = "Uzupełnij w PIT/B poz. 9";
    if (edited == own2_regon && !f.IsEmpty(own2_kind) && f.IsEmpty(own2_regon)) reminder = "Uzupełnij w PIT/B poz. 15";
    if (reminder != nullptr) {
      ctx.RemindOnce(reminder);
    }
  }

  // 11. Required fields.
  if (!shown) return;
  const std::vector<bool> must = PitBRowsRequired([&](int k) -> const std::string& { return ctx.TextOf(entry, k); });
  for (int k : PitBRowFields()) ctx.shown.SetMustBe(k, must[static_cast<std::size_t>(k)]);
}

namespace {

// Each row with anything typed needs its fields; the optional ones in it
// (PKD, a partnership's REGON and address, the taxpayer's part of its
// revenue, the end of a share that goes on) are not. Later rows override
// earlier ones.
struct RequiredRow {
  pit_b::Field first, last;
  bool required;
};

const std::vector<RequiredRow>& PitBRows() {
  using namespace pit_b;
  static const std::vector<RequiredRow> rows = {{own1_kind, own1_costs, true},
                                                {own1_pkd, own1_pkd, false},
                                                {own2_kind, own2_costs, true},
                                                {own2_pkd, own2_pkd, false},
                                                {partner1_name, partner1_costs, true},
                                                {partner1_regon, partner1_address, false},
                                                {partner1_end, partner1_end, false},
                                                {partner1_revenue_share, partner1_revenue_share, false},
                                                {partner2_name, partner2_costs, true},
                                                {partner2_regon, partner2_address, false},
                                                {partner2_revenue_share, partner2_revenue_share, false},
                                                {partner3_name, partner3_costs, true},
                                                {partner3_regon, partner3_address, false},
                                                {partner3_revenue_share, partner3_revenue_share, false}};
  return rows;
}

}  // namespace

std::vector<bool> PitBRowsRequired(const std::function<const std::string&(int)>& text) {
  std::vector<bool> must(kSlotCount, false);
  for (const RequiredRow& r : PitBRows()) {
    bool typed = false;
    for (int k = r.first; k <= r.last && r.required; ++k) {
      const std::string& t = text(k);
      typed = typed || (!t.empty() && t != "0,00");
    }
    for (int k = r.first; k <= r.last; ++k) must[static_cast<std::size_t>(k)] = typed;
  }
  return must;
}

const std::vector<int>& PitBRowFields() {
  static const std::vector<int> fields = [] {
    std::vector<int> out;
    for (const RequiredRow& r : PitBRows())
      for (int k = r.first; k <= r.last; ++k)
        if (std::find(out.begin(), out.end(), k) == out.end()) out.push_back(k);
    return out;
  }();
  return fields;
}

// --- PIT/Z ------------------------------------------------------------------------

void CalculatePitZ(CalcContext& ctx, int entry) {
  using namespace pit_z;
  FormFields f(ctx, entry);
  const int parent = f.Header().IdParent, pm = f.Header().PM;
  const bool shown = ctx.IsShown(kPitZ);

  // 1. Identification; the amounts of the PIT/B are not typed here.
  ExchangeIdentification(ctx, entry);
  if (shown && ctx.FindEntry(kPitB, parent, pm) > 0)
    for (Field k : {business_revenue, business_costs, second_way_revenue, second_way_costs})
      ctx.shown.SetReadOnly(k, true);

  // 2. Incomes and losses of the first way: the difference of two fields,
  // the part above zero.
  auto plain = [&](int k, int plus, int minus) {
    const Amount x = f.AmountOf(plus) - f.AmountOf(minus);
    f.SetUnrounded(k, x > 0 ? x : 0);
  };
  plain(business_income, business_revenue, business_costs);
  plain(business_loss, business_costs, business_revenue);
  plain(separate_income, separate_revenue, separate_costs);
  plain(separate_loss, separate_costs, separate_revenue);
  plain(other_income, other_revenue, other_costs);
  plain(other_loss, other_costs, other_revenue);

  // 3. What the first way carries.
  f.Copy(first_way_revenue, business_revenue);
  f.Copy(first_way_costs, business_costs);
  f.Copy(first_way_income, separate_income);
  f.SetUnrounded(first_way_loss, f.AmountOf(separate_loss) + f.AmountOf(other_loss));
  f.Copy(first_way_row3_amount, other_income);

  // 4. The second way.
  plain(second_way_income, second_way_revenue, second_way_costs);
  plain(second_way_loss, second_way_costs, second_way_revenue);
  plain(loss_after_deduction, second_way_loss, deduction);
  plain(deduction_over_loss, deduction, second_way_loss);
  f.SetUnrounded(income_after_deduction, f.AmountOf(second_way_income) + f.AmountOf(deduction_over_loss));
  f.Copy(carried_revenue, second_way_revenue);
  f.Copy(carried_costs, second_way_costs);
  f.Copy(carried_income, income_after_deduction);
  f.Copy(carried_loss, loss_after_deduction);

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
  for (const auto& r : {std::pair{business_revenue, business_costs},
                        {separate_revenue, separate_costs},
                        {other_revenue, other_costs},
                        {second_way_revenue, second_way_costs},
                        {deduction_title, deduction}})
    MarkRowRequired(ctx, entry, r.first, r.second, true);
}

}  // namespace pit
