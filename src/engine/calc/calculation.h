#pragma once
// Running the calculation of a form entry.
#include "calc/context.h"

namespace pit {

enum class CalcStatus {
  Done,
  BadAmount,  // a field did not hold a number; said among the windows of what is shown
};

// Recomputes the dependent fields of entry `entry` (1-based) of form type
// `idPit`; unknown types do nothing. A calculation that fails takes back
// every value it wrote.
CalcStatus RunCalculation(CalcContext& ctx, int idPit, int entry);

// The same without the failure handling, for calculations that run another
// form's calculation inside their own.
void Calculate(CalcContext& ctx, int idPit, int entry);

// After a document is opened: every entry selected and calculated, the
// attachments first, then the main forms, each group in entry order.
CalcStatus RunOpeningPass(CalcContext& ctx);

// The message for a field that does not hold a number.
std::string BadAmountMessage(const CalcContext& ctx, const AmountError& e);

// --- one function per form (calc/<family>.cpp) ---------------------------
void CalculatePit37(CalcContext& ctx, int entry);
void CalculatePitO(CalcContext& ctx, int entry);
void CalculatePitD(CalcContext& ctx, int entry);
void CalculatePitUZ(CalcContext& ctx, int entry);
// A PIT-36/37 just calculated: its PIT/O show the child relief it could not
// deduct, and its PIT/UZ follow at once.
void FollowChildRelief(CalcContext& ctx, int returnEntry);
void CalculatePit2K(CalcContext& ctx, int entry);
void CalculateExchangeOnly(CalcContext& ctx, int entry);
void CalculateNip7(CalcContext& ctx, int entry);
void CalculateZap3(CalcContext& ctx, int entry);
void CalculateUpkdOrdZu(CalcContext& ctx, int entry);
void CalculateUpkd(CalcContext& ctx, int entry);
void CalculatePit16A(CalcContext& ctx, int entry);
void CalculatePit11(CalcContext& ctx, int entry);
void CalculatePit40(CalcContext& ctx, int entry);
void CalculatePitR(CalcContext& ctx, int entry);
// PIT-36 and PIT/M (calc/pit36.cpp); PIT-36L, PIT/B, PIT/Z (calc/business.cpp).
// The PIT/B and PIT/Z run PIT-36 without its business-attachment pass, which
// keeps the chain PIT-36 -> PIT/B -> PIT-36 finite.
void CalculatePit36(CalcContext& ctx, int entry);
void CalculatePit36WithPass(CalcContext& ctx, int entry, bool businessPass);
void CalculatePitM(CalcContext& ctx, int entry);
void CalculatePit36L(CalcContext& ctx, int entry);
void CalculatePitB(CalcContext& ctx, int entry);
void CalculatePitZ(CalcContext& ctx, int entry);
// PIT/ZG, SSE-R, SSE/A, SSE-R/A (calc/zones.cpp).
void CalculatePitZG(CalcContext& ctx, int entry);
void CalculateSseR(CalcContext& ctx, int entry);
void CalculateSseA(CalcContext& ctx, int entry);
void CalculateSseRA(CalcContext& ctx, int entry);
void CalculatePit28(CalcContext& ctx, int entry);
void CalculatePit28A(CalcContext& ctx, int entry);
void CalculatePit28B(CalcContext& ctx, int entry);
void CalculatePit38(CalcContext& ctx, int entry);
void CalculatePit39(CalcContext& ctx, int entry);

}  // namespace pit
