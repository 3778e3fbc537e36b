#include "calc/framework.h"

#include <utility>
#include <vector>

#include "calc/pit_o_children.h"
#include "forms/pit36_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit_2k_fields.h"
#include "forms/pit_d_fields.h"
#include "forms/pit_o_fields.h"
#include "forms/pit_uz_fields.h"
#include "text/cp1250.h"

namespace pit {
namespace {

constexpr int kPeselLength = 11;
constexpr int kNipLength = 10;

struct Range {
  int first, last;
};

void SetMaxCharIfShown(CalcContext& ctx, int idPit, int field, bool pesel) {
  if (ctx.IsShown(idPit)) ctx.shown.SetMaxChar(field, pesel ? kPeselLength : kNipLength);
}

void DrawPair(FormFields& f, int peselLine, int nipLine, bool pesel) {
  f.SetOption(peselLine, pesel ? 1 : 0);
  f.SetOption(nipLine, pesel ? 0 : 1);
}

}  // namespace

void MarkIdentifierKind(CalcContext& ctx, int idPit, int entry, int idField, int peselLine, int nipLine) {
  FormFields f(ctx, entry);
  const int kind = f.Header().PM == kPmSpouse ? ctx.settlement.SpouseIdKind : ctx.settlement.TaxpayerIdKind;
  const bool pesel = kind != kIdNip;
  DrawPair(f, peselLine, nipLine, pesel);
  SetMaxCharIfShown(ctx, idPit, idField, pesel);
}

void MarkSpouseIdentifierKind(CalcContext& ctx, int idPit, int entry, int idField, int peselLine,
                              int nipLine) {
  if (ctx.settlement.Kind != kJoint) return;
  FormFields f(ctx, entry);
  const bool pesel = ctx.settlement.SpouseIdKind != kIdNip;
  DrawPair(f, peselLine, nipLine, pesel);
  SetMaxCharIfShown(ctx, idPit, idField, pesel);
}

void MarkBothIdentifierKinds(CalcContext& ctx, int idPit, int entry, int taxpayerField, int taxpayerPesel,
                             int taxpayerNip, int spouseField, int spousePesel, int spouseNip) {
  FormFields f(ctx, entry);
  for (int line : {taxpayerPesel, taxpayerNip, spousePesel, spouseNip}) f.SetOption(line, 0);
  const int tk = ctx.settlement.TaxpayerIdKind;
  if (tk == kIdNip || tk == kIdPesel) {
    DrawPair(f, taxpayerPesel, taxpayerNip, tk == kIdPesel);
    SetMaxCharIfShown(ctx, idPit, taxpayerField, tk == kIdPesel);
  }
  const int sk = ctx.settlement.SpouseIdKind;
  if (sk == kIdNip || sk == kIdPesel) {
    DrawPair(f, spousePesel, spouseNip, sk == kIdPesel);
    SetMaxCharIfShown(ctx, idPit, spouseField, sk == kIdPesel);
  }
}

void MarkIdentifierByLength(CalcContext& ctx, int entry, int idField, int peselLine, int nipLine) {
  FormFields f(ctx, entry);
  f.SetOption(peselLine, 0);
  f.SetOption(nipLine, 0);
  const std::size_t n = Cp1250Length(f.TextOf(idField));
  if (n == kPeselLength) f.SetOption(peselLine, 1);
  if (n == kNipLength) f.SetOption(nipLine, 1);
}

void ExchangeIdentification(CalcContext& ctx, int entry) {
  ctx.identificationExchanged = true;
  CollectIdentification(ctx.settlement, ctx.ids, entry);
  DistributeIdentification(ctx.settlement, ctx.ids);
}

void SetPurposeBoxes(CalcContext& ctx, int entry, int filingBox, int correctionBox) {
  FormFields f(ctx, entry);
  const int pm = f.Header().PM;
  const bool corrected = ctx.FindEntry(kUpkdOrdZu, entry, pm) > 0 || ctx.FindEntry(kUpkd, entry, pm) > 0;
  if (corrected) {
    f.Tick(correctionBox, "2");
    f.Untick(filingBox);
  } else {
    f.Tick(filingBox, "1");
    f.Untick(correctionBox);
  }
}

void CorrectionInfoOnClick(CalcContext& ctx, int idPit, int correctionBox, const std::string& formCode,
                           int infoPage) {
  if (!ctx.IsShown(idPit) || ctx.input.page != 1 ||
      ctx.input.clickedField != correctionBox)
    return;
  ctx.shown.CorrectionInfo("Informacja - korekta zeznania " + formCode, infoPage);
}

std::string ReductionNotice(int idPit) {
  static const std::string kTail =
      ". Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych "
      "kwot w tym w załącznikach.";
  switch (idPit) {
    case kPit37: return "   PIT-37" + kTail;
    case kPit36: return "  PIT-36" + kTail;
    case kPit36L: return "   PIT-36L" + kTail;
    case kPit38: return "   PIT-38" + kTail;
    case kPit39: return "   PIT-39" + kTail;
    case kPit28: return "  PIT-28" + kTail;
    case kPitO: return "   PIT/O" + kTail;
    case kPit40: return "   PIT-40" + kTail;
    default: return std::string();
  }
}

void ClearMessagesIfShown(CalcContext& ctx, int idPit) {
  if (ctx.IsShown(idPit)) ctx.shown.ClearMessages();
}

void ShowReductionNotice(CalcContext& ctx, int idPit, bool reduced) {
  if (!ctx.IsShown(idPit)) return;
  if (reduced) {
    ctx.shown.SetMessageListHeight(MessageListHeight::Normal);
    ctx.shown.AddMessage(ReductionNotice(idPit));
  } else {
    ctx.shown.SetMessageListHeight(MessageListHeight::Hidden);
  }
}

void ShowOnePercentWarning(CalcContext& ctx, const std::string& text) {
  ctx.shown.GrowMessageList(2);
  ctx.shown.AddMessage("    UWAGA!");
  ctx.shown.AddMessage(text);
}

bool CapOnePercent(CalcContext& ctx, FormFields& f, int taxDue, int amount) {
  bool capped = false;
  const Amount limit = FloorTenGrosze(f.AmountOf(taxDue) * Percent(1));
  if (!(limit >= f.AmountOf(amount))) {
    f.SetUnrounded(amount, limit);
    capped = true;
  }
  if (f.AmountOf(amount) > 0) f.SetUnrounded(amount, FloorTenGrosze(f.AmountOf(amount)));
  ctx.shown.SetDonationLabel(FormatAmount(limit));
  return capped;
}

void MarkRowRequired(CalcContext& ctx, int entry, int first, int last, bool test) {
  for (int k = first; k <= last; ++k) ctx.shown.SetMustBe(k, false);
  if (!test) return;
  for (int k = first; k <= last; ++k) {
    const std::string& t = ctx.TextOf(entry, k);
    if (!t.empty() && t != "0,00") {
      for (int j = first; j <= last; ++j) ctx.shown.SetMustBe(j, true);
      return;
    }
  }
}

// --- spouse fields ------------------------------------------------------------

namespace {

using Ranges = std::vector<Range>;

// The spouse's fields; a run of them is written as its first and last.
const Ranges kPit36NotJointReadOnly = [] {
  using namespace pit36;
  return Ranges{{spouse_id, spouse_id},
                {filing_joint, filing_joint_deceased},
                {spouse_surname, spouse_post_office},
                {spouse_flat_no, spouse_flat_no},
                {spouse_country, spouse_country},
                {spouse_employment_revenue, spouse_other_advance},
                {spouse_employment_extra_revenue, spouse_employment_extra_costs},
                {spouse_rights_extra_revenue, spouse_rights_extra_revenue},
                {spouse_rights_extra_costs, spouse_rights_extra_costs},
                {spouse_other_income_deductions, spouse_other_income_deductions},
                {spouse_past_loss, spouse_past_loss},
                {spouse_social_insurance, spouse_social_insurance},
                {spouse_social_insurance_abroad, spouse_social_insurance_abroad},
                {spouse_housing_rights_deduction, spouse_housing_rights_deduction},
                {spouse_investment_rights_deduction, spouse_investment_rights_deduction},
                {spouse_exempt_income, spouse_exempt_income},
                {spouse_base_additions, spouse_base_additions},
                {spouse_base_additions_row3, spouse_base_additions_row3},
                {spouse_base_additions_row4, spouse_base_additions_row4},
                {spouse_lump_sum_income, spouse_lump_sum_income},
                {spouse_treaty_exempt_income, spouse_treaty_exempt_income},
                {spouse_foreign_rate_income, spouse_foreign_rate_income},
                {spouse_foreign_tax, spouse_foreign_tax},
                {spouse_health_insurance, spouse_health_insurance},
                {spouse_health_insurance_abroad, spouse_health_insurance_abroad},
                {spouse_property_sale_tax, spouse_property_sale_tax},
                {spouse_advances_due, spouse_advances_due},
                {spouse_advances_withheld, spouse_advances_withheld},
                {spouse_advances_self_paid, spouse_advances_self_paid},
                {spouse_business_january, spouse_business_december},
                {spouse_farming_january, spouse_farming_december},
                {spouse_rental_january, spouse_rental_december},
                {spouse_other_january, spouse_other_december}};
}();
const Ranges kPit37NotJointReadOnly = [] {
  using namespace pit37;
  return Ranges{{spouse_id, spouse_id},
                {filing_joint, filing_joint_deceased},
                {spouse_surname, spouse_post_office},
                {spouse_country, spouse_country},
                {spouse_employment_revenue, spouse_total_advance},
                {spouse_employment_extra_revenue, spouse_rights_extra_costs},
                {spouse_income_deductions, spouse_income_deductions},
                {spouse_social_insurance, spouse_social_insurance},
                {spouse_tax_deductions, spouse_tax_deductions},
                {spouse_health_insurance, spouse_health_insurance}};
}();
// The spouse's fields of PIT/O besides the children (whose spouse's amount
// and month boxes follow them in kPitOChildren).
const std::vector<pit_o::Field> kPitOSpouseFields = [] {
  using namespace pit_o;
  return std::vector<Field>{spouse_social_insurance_abroad,
                            spouse_repaid_benefits,
                            spouse_rehabilitation,
                            spouse_coworkers_social_insurance_abroad,
                            spouse_public_benefit_donations,
                            spouse_church_charity_donations,
                            spouse_internet,
                            spouse_new_technologies,
                            spouse_ikze,
                            spouse_other_income_deductions,
                            spouse_health_insurance_abroad,
                            spouse_abolition_relief,
                            spouse_child_relief,
                            spouse_cash_register_relief,
                            spouse_other_tax_deductions,
                            institution1_spouse_contributions,
                            institution2_spouse_contributions,
                            spouse_married_all_year,
                            spouse_single_parent};
}();

// The spouse's PIT/O without a joint settlement: read-only, and the
// spouse's month boxes of the shown PIT/O lose their ticks.
void CloseSpouseColumnOfPitO(CalcContext& ctx) {
  for (int k : kPitOSpouseFields) ctx.shown.SetReadOnly(k, true);
  for (const PitOChild& c : kPitOChildren) {
    ctx.shown.SetReadOnly(c.spouseRelief, true);
    ctx.shown.SetReadOnly(c.spouse.wholeYear, true);
    for (int k : c.spouse.months) ctx.shown.SetReadOnly(k, true);
  }
  const Settlement& s = ctx.settlement;
  const int shown = ctx.input.entry;
  if (!s.Has(shown) || s.Entry(shown).IdPit != kPitO) return;
  FormFields f(ctx, shown);
  const auto untick = [&f](int k) {
    if (f.Header().Slots()[static_cast<std::size_t>(k)].Typ == kCheckbox) f.Untick(k);
  };
  for (const PitOChild& c : kPitOChildren) {
    untick(c.spouse.wholeYear);
    for (int k : c.spouse.months) untick(k);
  }
}

void ReadOnlyRanges(CalcContext& ctx, const Ranges& ranges) {
  for (const Range& r : ranges)
    for (int k = r.first; k <= r.last; ++k) ctx.shown.SetReadOnly(k, true);
}

void Hide(CalcContext& ctx, std::initializer_list<int> fields) {
  for (int k : fields) ctx.shown.SetVisible(k, false);
}

void ReadOnly(CalcContext& ctx, std::initializer_list<int> fields) {
  for (int k : fields) ctx.shown.SetReadOnly(k, true);
}

}  // namespace

void SpouseFieldRules(CalcContext& ctx, int idPit) {
  const Settlement& s = ctx.settlement;
  const bool notJoint = s.Kind != kJoint;
  const bool noSpouseData = s.SpouseIdKind == kIdNone || !s.SpouseData.Get(idPit);
  const int shown = ctx.input.entry;
  switch (idPit) {
    case kPit36:
      if (notJoint) ReadOnlyRanges(ctx, kPit36NotJointReadOnly);
      break;
    case kPit37:
      if (notJoint) ReadOnlyRanges(ctx, kPit37NotJointReadOnly);
      break;
    case kPitO:
      if (notJoint) {
        CloseSpouseColumnOfPitO(ctx);
        using namespace pit_o;
        if (noSpouseData)
          Hide(ctx, {spouse_id, spouse_id_strike_nip, spouse_id_strike_pesel, spouse_surname, spouse_first_name,
                     spouse_birth_date});
      }
      if (s.Has(shown)) {
        const int parent = s.Entry(shown).IdParent;
        if (s.Has(parent) && s.Entry(parent).IdPit == kPit28)
          ReadOnly(ctx, {pit_o::taxpayer_new_technologies, pit_o::children_count, pit_o::taxpayer_child_relief});
      }
      break;
    case kPitD:
      if (notJoint && noSpouseData) {
        using namespace pit_d;
        ReadOnly(ctx, {loan_pit28_spouse, loan_return_spouse, expenses_pit28_spouse, expenses_return_spouse,
                       tax_relief_pit28_spouse, tax_relief_return_spouse});
        Hide(ctx, {spouse_id, spouse_id_strike_nip, spouse_id_strike_pesel, spouse_surname, spouse_first_name,
                   spouse_birth_date});
      }
      break;
    case kPit2K:
      if (notJoint && noSpouseData) {
        using namespace pit_2k;
        Hide(ctx, {spouse_id, spouse_id_strike_nip, spouse_id_strike_pesel, spouse_surname, spouse_first_name,
                   spouse_birth_date});
      }
      break;
    case kPitUZ:
      if (notJoint && noSpouseData) {
        using namespace pit_uz;
        ReadOnly(ctx, {spouse_contributions, spouse_unused_relief});
        Hide(ctx, {spouse_id, spouse_id_strike_nip, spouse_id_strike_pesel, spouse_surname, spouse_first_name,
                   spouse_birth_date});
      }
      break;
    default:
      break;
  }
}

std::string CountText(int n) { return std::to_string(n); }

}  // namespace pit
