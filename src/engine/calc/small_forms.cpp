// The forms without amounts: attachments and registration forms whose
// calculation only keeps the identification and the display in step.
#include "calc/calculation.h"
#include "calc/framework.h"

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
      if (ctx.IsShown(idPit)) ctx.display.SetMaxChar(idField, kNipLength);
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
  MarkBothIdentifierKinds(ctx, kPit2K, entry, 0, 4, 17, 1, 41, 42);
  ExchangeIdentification(ctx, entry);
  const Settlement& s = ctx.settlement;
  if (s.Entry(entry).Kind != kJoint && ctx.IsShown(kPit2K) && s.SpouseIdKind == kIdNone)
    ctx.display.SetReadOnly(1, true);
}

void CalculateNip7(CalcContext& ctx, int entry) {
  ExchangeIdentification(ctx, entry);
  MarkIdentifierByLength(ctx, entry, 135, 138, 139);
}

void CalculateZap3(CalcContext& ctx, int entry) { MarkIdentifierByLength(ctx, entry, 25, 23, 24); }

void CalculateUpkdOrdZu(CalcContext& ctx, int entry) {
  ClearMessagesIfShown(ctx, kUpkdOrdZu);
  ExchangeIdentification(ctx, entry);
  UpkdIdentifierLines(ctx, kUpkdOrdZu, entry, 0, 30, 31, 1, 32, 33);
  if (!ctx.IsShown(kUpkdOrdZu)) return;

  // The payer's kind decides which of the payer's name fields apply.
  const Settlement& s = ctx.settlement;
  int payerForm = ctx.FindEntry(kPit11, 0, kPmNone);
  int firstBox = 6;
  if (payerForm < 0) {
    payerForm = ctx.FindEntry(kPit40, 0, kPmNone);
    firstBox = 5;
  }
  if (payerForm > 0) {
    const FormFields p(ctx, payerForm);
    ctx.display.SetReadOnly(4, p.Ticked(firstBox));
    ctx.display.SetReadOnly(5, p.Ticked(7));
  }
  const bool editable = IsJointReturnItself(s.Entry(entry));
  for (int k : {1, 6, 7, 8, 9}) ctx.display.SetReadOnly(k, !editable);
}

void CalculateUpkd(CalcContext& ctx, int entry) {
  ClearMessagesIfShown(ctx, kUpkd);
  UpkdIdentifierLines(ctx, kUpkd, entry, 3, 26, 27, 22, 28, 29);
  if (ctx.IsShown(kUpkd)) {
    const bool editable = IsJointReturnItself(ctx.settlement.Entry(entry));
    for (int k : {22, 23, 24, 25}) ctx.display.SetReadOnly(k, !editable);
  }
  ExchangeIdentification(ctx, entry);
}

void CalculatePit16A(CalcContext& ctx, int entry) {
  ExchangeIdentification(ctx, entry);
  CorrectionInfoOnClick(ctx, kPit16A, 4, "PIT-16A", 0);
  SetPurposeBoxes(ctx, entry, 3, 4);
  if (!ctx.IsShown(kPit16A)) return;
  // A description is required next to every amount given.
  static const int kPairs[][2] = {{18, 19}, {22, 23}, {26, 27}, {30, 31}, {34, 35}, {38, 39},
                                  {20, 21}, {24, 25}, {28, 29}, {32, 33}, {36, 37}, {40, 41}};
  const FormFields f(ctx, entry);
  for (const auto& p : kPairs) ctx.display.SetMustBe(p[0], f.AmountOf(p[1]) > 0);
}

}  // namespace pit
