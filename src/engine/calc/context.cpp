#include "calc/context.h"

namespace pit {
namespace {
const std::string kEmpty;

bool ValidField(int k) { return k >= 0 && k < kSlotCount; }
}  // namespace

const std::string& CalcContext::TextOf(int entry, int field) const {
  if (!settlement.Has(entry) || !ValidField(field)) return kEmpty;
  return settlement.Entry(entry).Slots()[static_cast<std::size_t>(field)].Value;
}

Amount CalcContext::AmountOf(int entry, int field) const {
  // Most fields hold grosze, taken when their text was written.
  if (settlement.Has(entry)) {
    if (const std::optional<std::int64_t> g = settlement.Entry(entry).Grosze(field)) return Amount::FromGrosze(*g);
  }
  const std::string& text = TextOf(entry, field);
  const auto v = ParseAmount(text);
  if (!v) throw AmountError{entry, field, text};
  return *v;
}

Amount CalcContext::SumOfRange(int entry, int first, int last) const {
  Amount sum = 0;
  for (int k = first; k <= last; ++k) sum += AmountOf(entry, k);
  return sum;
}

Amount CalcContext::PercentOf(int entry, int amountField, int rateField) const {
  return AmountOf(entry, amountField) * AmountOf(entry, rateField) / 100;
}

FormFields::FormFields(CalcContext& ctx, int entry)
    : ctx_(ctx), entry_(entry), e_(&ctx.settlement.Entry(entry)) {}

const ValueSlot* FormFields::Slot(int k) const {
  return ValidField(k) ? &e_->Slots()[static_cast<std::size_t>(k)] : nullptr;
}

const std::string& FormFields::TextOf(int k) const {
  const ValueSlot* s = Slot(k);
  return s ? s->Value : kEmpty;
}

Amount FormFields::Sum(std::initializer_list<int> ks) const {
  Amount sum = 0;
  for (int k : ks) sum += AmountOf(k);
  return sum;
}

bool FormFields::Ticked(int k) const {
  const ValueSlot* s = Slot(k);
  return s && s->CheckState;
}

int FormFields::Option(int k) const {
  const ValueSlot* s = Slot(k);
  return s ? s->Option : 0;
}

void FormFields::SetText(int k, const std::string& text) { ctx_.settlement.Write(entry_, k, text); }

void FormFields::SetPositivePart(int k, Amount x) {
  if (x > 0)
    Set(k, x);
  else
    SetZero(k);
}

bool FormFields::Cap(int k, Amount limit, const std::string& limitText) {
  if (AmountOf(k) > limit) {
    SetText(k, limitText);
    return true;
  }
  return false;
}

bool FormFields::CapAtField(int k, int m) { return Cap(k, AmountOf(m), TextOf(m)); }

void FormFields::Tick(int k, const std::string& code) {
  ctx_.settlement.WriteCheck(entry_, k, true);
  ctx_.settlement.Write(entry_, k, code);
}

void FormFields::Untick(int k) {
  ctx_.settlement.WriteCheck(entry_, k, false);
  ctx_.settlement.Write(entry_, k, std::string_view());
}

void FormFields::SetOption(int k, int v) { ctx_.settlement.WriteOption(entry_, k, v); }

}  // namespace pit
