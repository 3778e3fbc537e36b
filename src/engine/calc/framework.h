#pragma once
// The routines the form calculations share.
#include <string>

#include "calc/carries.h"
#include "calc/context.h"

namespace pit {

// Identifier marks: exactly one of the two strike-through lines over the
// printed words NIP / PESEL is drawn, so that the word that does not apply
// is struck; the identifier field's length follows (when the form is shown).
void MarkIdentifierKind(CalcContext& ctx, int idPit, int entry, int idField, int peselLine, int nipLine);
void MarkSpouseIdentifierKind(CalcContext& ctx, int idPit, int entry, int idField, int peselLine,
                              int nipLine);
void MarkBothIdentifierKinds(CalcContext& ctx, int idPit, int entry, int taxpayerField, int taxpayerPesel,
                             int taxpayerNip, int spouseField, int spousePesel, int spouseNip);
// Forms without an identifier kind of their own: 11 characters are a
// PESEL, 10 a NIP, any other length neither.
void MarkIdentifierByLength(CalcContext& ctx, int entry, int idField, int peselLine, int nipLine);

// Identification exchange: this entry into the records, the records into all.
void ExchangeIdentification(CalcContext& ctx, int entry);

// Purpose boxes "1" (złożenie) / "2" (korekta): korekta exactly when a UPKD
// of either kind is attached for the same person.
void SetPurposeBoxes(CalcContext& ctx, int entry, int filingBox, int correctionBox);
// Opens the correction information window when the user has just clicked the
// korekta box of the return shown (page 1, pointer over the box).
void CorrectionInfoOnClick(CalcContext& ctx, int idPit, int correctionBox, const std::string& formCode,
                           int infoPage);

// The message list.
std::string ReductionNotice(int idPit);  // empty for forms without one
void ClearMessagesIfShown(CalcContext& ctx, int idPit);
// The notice with the list at its normal height when something was capped,
// else the list hidden (only for the form shown).
void ShowReductionNotice(CalcContext& ctx, int idPit, bool reduced);
// The two-line 1% warning, growing the list by its two lines.
void ShowOnePercentWarning(CalcContext& ctx, const std::string& text);

// The 1% amount of a return: capped at 1% of the tax due cut down to full
// tens of grosze (the cap is a reduction), then itself cut down to full tens
// of grosze; the limit is shown beside the amount box. Whether it was capped.
bool CapOnePercent(CalcContext& ctx, FormFields& f, int taxDue, int amount);

// A row with any amount requires its fields first..last; see the callers
// for the pairs that leave only the outer fields required.
void MarkRowRequired(CalcContext& ctx, int entry, int first, int last, bool test);

// ClearAttachmentTransfers (the selection screen's working copy) is in
// calc/carries.h, beside the tables it undoes.

// Read-only / hidden spouse fields of the open definition when the
// settlement does not carry the spouse.
void SpouseFieldRules(CalcContext& ctx, int idPit);

// Writes an integer count ("0", "1", ...).
std::string CountText(int n);

}  // namespace pit
