// The forms without amounts: attachments and registration forms whose
// calculation only keeps the identification and the display in step.
#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/nip7_fields.h"
#include "forms/pit11_fields.h"
#include "forms/pit16a_fields.h"
#include "forms/pit40_fields.h"
#include "forms/pit_2k_fields.h"
#include "forms/upkd_fields.h"
#include "forms/upkd_ord_zu_fields.h"
#include "forms/zap3_fields.h"

namespace pit {
namespace {

constexpr int kNipLength = 10;

// Which person's identifier marks a UPKD of either kind shows. The lines are
// (identifier field, PESEL line, NIP line); the spouse block of a joint
// return has its own field and lines.
void UpkdIdentifierLines(CalcContext& ctx, int idPit, int entry, int idField, int peselLine, int nipLine,
                         int spouseField, int spousePesel, int spouseNip) {
  const Settlement& s = ctx.settlement;
  const FormEntry& e = s.Entry(entry);
  switch (s.Kind) {
    case kIndividual:
    case kSingleParent:
      MarkIdentifierKind(ctx, idPit, entry, idField, peselLine, nipLine);
      break;
    case kJoint: {
      const int parentPm = s.Has(e.IdParent) ? s.Entry(e.IdParent).PM : kPmNone;
      if (parentPm == kPmNone) {
        MarkIdentifierKind(ctx, idPit, entry, idField, peselLine, nipLine);
        MarkSpouseIdentifierKind(ctx, idPit, entry, spouseField, spousePesel, spouseNip);
      } else if (parentPm == kPmTaxpayer) {
        MarkIdentifierKind(ctx, idPit, entry, idField, peselLine, nipLine);
      } else {
        MarkSpouseIdentifierKind(ctx, idPit, entry, idField, peselLine, nipLine);
      }
      break;
    }
    case kPayerForms: {
      // A payer is identified by its NIP.
      FormFields f(ctx, entry);
      f.SetOption(peselLine, 0);
      f.SetOption(nipLine, 1);
      if (ctx.IsShown(idPit)) ctx.shown.SetMaxChar(idField, kNipLength);
      break;
    }
    default:
      break;
  }
}

bool IsJointReturnItself(const FormEntry& e) { return e.Kind == kJoint && e.PM == kPmNone; }

}  // namespace

void CalculateExchangeOnly(CalcContext& ctx, int entry) { ExchangeIdentification(ctx, entry); }

void CalculatePit2K(CalcContext& ctx, int entry) {
  using namespace pit_2k;
  MarkBothIdentifierKinds(ctx, kPit2K, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel, spouse_id,
                          spouse_id_strike_nip, spouse_id_strike_pesel);
  ExchangeIdentification(ctx, entry);
  const Settlement& s = ctx.settlement;
  if (s.Entry(entry).Kind != kJoint && ctx.IsShown(kPit2K) && s.SpouseIdKind == kIdNone)
    ctx.shown.SetReadOnly(spouse_id, true);
}

void CalculateNip7(CalcContext& ctx, int entry) {
  ExchangeIdentification(ctx, entry);
  MarkIdentifierByLength(ctx, entry, nip7::taxpayer_id, nip7::taxpayer_id_strike_nip, nip7::taxpayer_id_strike_pesel);
}

void CalculateZap3(CalcContext& ctx, int entry) {
  MarkIdentifierByLength(ctx, entry, zap3::taxpayer_id, zap3::taxpayer_id_strike_nip, zap3::taxpayer_id_strike_pesel);
}

void CalculateUpkdOrdZu(CalcContext& ctx, int entry) {
  ClearMessagesIfShown(ctx, kUpkdOrdZu);
  ExchangeIdentification(ctx, entry);
  using namespace upkd_ord_zu;
  UpkdIdentifierLines(ctx, kUpkdOrdZu, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel, spouse_id,
                      spouse_id_strike_nip, spouse_id_strike_pesel);
  if (!ctx.IsShown(kUpkdOrdZu)) return;

  // The payer's kind decides which of the payer's name fields apply.
  const Settlement& s = ctx.settlement;
  int payerForm = ctx.FindEntry(kPit11, 0, kPmNone);
  int entityBox = pit11::payer_entity, personBox = pit11::payer_person;
  if (payerForm < 0) {
    payerForm = ctx.FindEntry(kPit40, 0, kPmNone);
    entityBox = pit40::payer_entity;
    personBox = pit40::payer_person;
  }
  if (payerForm > 0) {
    const FormFields p(ctx, payerForm);
    ctx.shown.SetReadOnly(taxpayer_birth_date, p.Ticked(entityBox));
    ctx.shown.SetReadOnly(taxpayer_short_name, p.Ticked(personBox));
  }
  const bool editable = IsJointReturnItself(s.Entry(entry));
  for (Field k : {spouse_id, spouse_surname, spouse_first_name, spouse_birth_date, spouse_notes})
    ctx.shown.SetReadOnly(k, !editable);
}

void CalculateUpkd(CalcContext& ctx, int entry) {
  ClearMessagesIfShown(ctx, kUpkd);
  using namespace upkd;
  UpkdIdentifierLines(ctx, kUpkd, entry, taxpayer_id, taxpayer_id_strike_nip, taxpayer_id_strike_pesel, spouse_id,
                      spouse_id_strike_nip, spouse_id_strike_pesel);
  if (ctx.IsShown(kUpkd)) {
    const bool editable = IsJointReturnItself(ctx.settlement.Entry(entry));
    for (Field k : {spouse_id, spouse_surname, spouse_first_name, spouse_birth_date})
      ctx.shown.SetReadOnly(k, !editable);
  }
  ExchangeIdentification(ctx, entry);
}

void CalculatePit16A(CalcContext& ctx, int entry) {
  ExchangeIdentification(ctx, entry);
  using namespace pit16a;
  CorrectionInfoOnClick(ctx, kPit16A, purpose_correction, "PIT-16A", 0);
  SetPurposeBoxes(ctx, entry, purpose_filing, purpose_correction);
  if (!ctx.IsShown(kPit16A)) return;
  // The premium paid in a month is required when a deductible part is given.
  static const Field kMonths[][2] = {
      {january_paid, january_deductible}, {february_paid, february_deductible}, {march_paid, march_deductible},
      {april_paid, april_deductible},     {may_paid, may_deductible},           {june_paid, june_deductible},
      {july_paid, july_deductible},       {august_paid, august_deductible},     {september_paid, september_deductible},
      {october_paid, october_deductible}, {november_paid, november_deductible}, {december_paid, december_deductible}};
  const FormFields f(ctx, entry);
  for (const auto& m : kMonths) ctx.shown.SetMustBe(m[0], f.AmountOf(m[1]) > 0);
}

}  // namespace pit
