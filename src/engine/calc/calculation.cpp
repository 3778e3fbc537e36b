#include "calc/calculation.h"

#include <array>

namespace pit {
namespace {

using CalcFn = void (*)(CalcContext&, int);

void Nothing(CalcContext&, int) {}

const std::array<CalcFn, kFormTypeCount + 1>& DispatchTable() {
  static const std::array<CalcFn, kFormTypeCount + 1> table = [] {
    std::array<CalcFn, kFormTypeCount + 1> t{};
    t.fill(&Nothing);
    t[kPit36] = &CalculatePit36;
    t[kPit37] = &CalculatePit37;
    t[kPit36L] = &CalculatePit36L;
    t[kPit38] = &CalculatePit38;
    t[kPit28] = &CalculatePit28;
    t[kPitO] = &CalculatePitO;
    t[kPitD] = &CalculatePitD;
    t[kPit2K] = &CalculatePit2K;
    t[kPitM] = &CalculatePitM;
    t[kPitB] = &CalculatePitB;
    t[kPitZ] = &CalculatePitZ;
    t[kPitZG] = &CalculatePitZG;
    t[kSseR] = &CalculateSseR;
    t[kSseA] = &CalculateSseA;
    t[kSseRA] = &CalculateSseRA;
    t[kNip1] = &CalculateExchangeOnly;
    t[kNip3] = &CalculateExchangeOnly;
    t[kPit28A] = &CalculatePit28A;
    t[kPit28B] = &CalculatePit28B;
    t[kPit39] = &CalculatePit39;
    t[kPit40] = &CalculatePit40;
    t[kPit11] = &CalculatePit11;
    t[kPitR] = &CalculatePitR;
    t[kNip7] = &CalculateNip7;
    t[kNipB] = &CalculateExchangeOnly;
    t[kNipC] = &CalculateExchangeOnly;
    t[kZap3] = &CalculateZap3;
    t[kUpkdOrdZu] = &CalculateUpkdOrdZu;
    t[kUpkd] = &CalculateUpkd;
    t[kPit16A] = &CalculatePit16A;
    t[kUpkdPayer] = &Nothing;
    t[kPitUZ] = &CalculatePitUZ;
    return t;
  }();
  return table;
}

}  // namespace

void Calculate(CalcContext& ctx, int idPit, int entry) {
  if (!FormCatalogue::IsValid(idPit) || !ctx.settlement.Has(entry)) return;
  DispatchTable()[static_cast<std::size_t>(idPit)](ctx, entry);
}

std::string BadAmountMessage(const CalcContext& ctx, const AmountError& e) {
  const Settlement& s = ctx.settlement;
  const int idPit = s.Has(e.entry) ? s.Entry(e.entry).IdPit : 0;
  const std::string code = FormCatalogue::IsValid(idPit) ? s.Catalogue()[idPit].Code : std::string("?");
  std::string where = "w polu nr " + std::to_string(e.field);
  // The printed position is known only for the form whose definition is open.
  if (ctx.shownFields != nullptr && ctx.input.idPit == idPit && e.field >= 0 &&
      e.field < static_cast<int>(ctx.shownFields->size())) {
    const int poz = (*ctx.shownFields)[static_cast<std::size_t>(e.field)].Poz;
    if (poz > 0) where = "w poz. " + std::to_string(poz);
  }
  return "Nieprawidłowa kwota \"" + e.text + "\" " + where + " formularza " + code;
}

CalcStatus RunCalculation(CalcContext& ctx, int idPit, int entry) {
  Settlement::Trial trial(ctx.settlement);
  ctx.identificationExchanged = false;
  try {
    Calculate(ctx, idPit, entry);
  } catch (const AmountError& e) {
    // Half a calculation is no result: the figures it wrote go back to what
    // they were. The persons' data it took from the form stay taken, and
    // every form shows them again, so that nothing typed there is lost.
    trial.RollBack();
    if (ctx.identificationExchanged) DistributeIdentification(ctx.settlement, ctx.ids);
    ctx.shown.Fail(BadAmountMessage(ctx, e));
    return CalcStatus::BadAmount;
  }
  return CalcStatus::Done;
}

CalcStatus RunOpeningPass(CalcContext& ctx) {
  CalcStatus result = CalcStatus::Done;
  Settlement& s = ctx.settlement;
  for (bool attachments : {true, false}) {
    for (int i = 1; i <= s.Count(); ++i) {
      if ((s.Entry(i).IdParent != 0) != attachments) continue;
      ctx.MoveTo(i, s.Entry(i).IdPit);
      if (RunCalculation(ctx, s.Entry(i).IdPit, i) != CalcStatus::Done) result = CalcStatus::BadAmount;
    }
  }
  return result;
}

}  // namespace pit
