#include "forms/values.h"

#include <algorithm>

#include "text/cp1250.h"

namespace pit {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Character (code point) count of a UTF-8 text up to byte `end`.
std::size_t CharCount(std::string_view s, std::size_t end = std::string_view::npos) {
  end = std::min(end, s.size());
  std::size_t n = 0;
  for (std::size_t i = 0; i < end; ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) ++n;
  return n;
}

std::string StripLeadingZeros(std::string digits) {
  const auto first = digits.find_first_not_of('0');
  digits.erase(0, first == std::string::npos ? digits.size() : first);
  return digits;
}

// Adds one to a decimal digit string, growing it on carry ("999" -> "1000").
void Increment(std::string& digits) {
  for (auto i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

// The magnitude of `a` rounded half up to `decimals` places, as a digit
// string with `decimals` implied decimals and at least decimals + 1 digits.
// Rounding half up needs only the first dropped digit, so truncating to one
// more place first (as the grosze rule says) gives the same result.
std::string RoundHalfUp(const AmountText& a, std::size_t decimals) {
  std::string frac = a.Fraction;
  const bool up = frac.size() > decimals && frac[decimals] >= '5';
  frac.resize(decimals, '0');
  std::string units = StripLeadingZeros(a.Whole) + frac;
  if (up) Increment(units);
  if (units.size() < decimals + 1) units.insert(0, decimals + 1 - units.size(), '0');
  return units;
}

bool AllZeros(std::string_view digits) {
  return digits.find_first_not_of('0') == std::string_view::npos;
}

// The shortest decimal text of a magnitude given in grosze, with its sign.
std::string ShortestFromGrosze(const std::string& grosze, bool negative) {
  std::string whole = StripLeadingZeros(grosze.substr(0, grosze.size() - 2));
  if (whole.empty()) whole = "0";
  std::string frac = grosze.substr(grosze.size() - 2);
  while (!frac.empty() && frac.back() == '0') frac.pop_back();
  std::string out = (negative && !AllZeros(grosze)) ? "-" : "";
  out += whole;
  if (!frac.empty()) out += "," + frac;
  return out;
}

std::string GroupThousands(const std::string& whole) {
  std::string out;
  const std::size_t n = whole.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += ' ';
    out += whole[i];
  }
  return out;
}

constexpr std::string_view kNipNatural = "999-999-99-99";
constexpr std::string_view kNipLegal = "999-99-99-999";
constexpr std::string_view kDate = "99-99-9999";

std::string ApplyMask(std::string_view text, std::string_view mask) {
  std::string out(mask);
  if (text.find('-') != std::string_view::npos) {
    for (std::size_t i = 0; i < mask.size(); ++i)
      if (mask[i] == '9') out[i] = (i < text.size() && IsDigit(text[i])) ? text[i] : ' ';
    return out;
  }
  const std::string digits = DigitsOf(text);
  std::size_t next = 0;
  for (std::size_t i = 0; i < mask.size(); ++i)
    if (mask[i] == '9') out[i] = next < digits.size() ? digits[next++] : ' ';
  return out;
}

bool IsDecimalOption(int option) { return option == 1 || option == 11 || option == 12; }

CommitResult Refused(std::string message) { return CommitResult{false, std::move(message)}; }

CommitResult CommitAmount(const FieldObject& def, ValueSlot& slot, std::string_view text) {
  std::string t = text.empty() ? def.DefValue : std::string(text);
  if (IsDecimalOption(def.Option) && !t.empty()) {
    t = NormaliseAmount(t);
    if (def.Option != 1) {
      auto rounded = def.Option == 11 ? RoundAmountToGrosze(t) : RoundAmountToZloty(t);
      if (!rounded) return Refused(kMsgNotAnAmount);
      t = NormaliseAmount(*rounded);
    }
  }
  if (!t.empty()) {
    if (def.Option == 2) {
      if (!IsWholeNumberText(t)) return Refused(kMsgNotWholeNumber);
    } else if (!IsAmountText(t)) {
      return Refused(kMsgNotAnAmount);
    }
    // The slot would cut a longer text, which would change the amount.
    if (CharCount(t) >= slotw::Value) return Refused(kMsgNotAnAmount);
    if (def.PlusValue && t.front() == '-') return Refused(kMsgNegativeAmount);
  }
  slot.SetValue(t);
  return {};
}

}  // namespace

// --- amount texts -----------------------------------------------------------

std::optional<AmountText> ParseAmountText(std::string_view text) {
  const std::optional<AmountParts> p = ScanAmount(text);
  if (!p) return std::nullopt;
  return AmountText{p->negative, std::string(p->whole), std::string(p->fraction)};
}

std::optional<Amount> AmountValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  return ParseAmount(text);
}

bool IsWholeNumberText(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDigit);
}

std::string NormaliseAmount(std::string_view text) {
  std::string t(text);
  const std::size_t n = CharCount(t);
  const std::size_t comma = t.find(',');
  const std::size_t p = comma == std::string::npos ? 0 : CharCount(t, comma) + 1;
  if (n == 0 || (p > 0 && n == p + 2)) return t;
  if (p > 0 && p == n) t.pop_back();
  const std::size_t c = t.find(',');
  if (c == std::string::npos) return t + ",00";
  if (CharCount(t) == CharCount(t, c) + 2) t += '0';
  return t;
}

std::optional<std::string> RoundAmountToGrosze(std::string_view text) {
  const auto a = ParseAmountText(text);
  if (!a) return std::nullopt;
  return NormaliseAmount(ShortestFromGrosze(RoundHalfUp(*a, 2), a->Negative));
}

std::optional<std::string> RoundAmountToZloty(std::string_view text) {
  const auto a = ParseAmountText(text);
  if (!a) return std::nullopt;
  const std::string grosze = RoundHalfUp(*a, 2);
  std::string zloty = grosze.substr(0, grosze.size() - 2);
  if (grosze[grosze.size() - 2] >= '5') Increment(zloty);
  return NormaliseAmount(ShortestFromGrosze(zloty + "00", a->Negative));
}

std::string AmountAsShown(std::string_view value, int typ, int option) {
  if (typ != kLiczba || option == 2) return std::string(value);
  const auto a = ParseAmountText(value);
  if (!a) return std::string(value);
  const std::size_t decimals = option == 12 ? 0 : 2;
  const std::string units = RoundHalfUp(*a, decimals);
  std::string whole = StripLeadingZeros(units.substr(0, units.size() - decimals));
  if (whole.empty()) whole = "0";
  std::string out = (a->Negative && !AllZeros(units)) ? "-" : "";
  out += GroupThousands(whole);
  if (decimals > 0) out += "," + units.substr(units.size() - decimals);
  return out;
}

// --- the amount editor's keys ---------------------------------------------

bool AcceptsAmountKey(std::string_view text, char key, bool plusValue, int option) {
  if (IsDigit(key) || key == '\b') return true;
  if (key == '-') return !plusValue;
  if (key == ',' || key == '.')
    return option != 2 && !text.empty() && text.find(',') == std::string_view::npos;
  return false;
}

std::optional<AmountBoxState> ApplyAmountKey(std::string_view text, std::size_t caret, char key,
                                             bool plusValue, int option) {
  if (!AcceptsAmountKey(text, key, plusValue, option)) return std::nullopt;
  AmountBoxState s{std::string(text), std::min(caret, text.size())};
  if (key == '\b') {
    if (s.Caret == 0) return s;  // nothing to delete, nothing changes
    s.Text.erase(--s.Caret, 1);
  } else {
    s.Text.insert(s.Caret++, 1, key == '.' ? ',' : key);
  }
  const std::size_t minus = s.Text.find('-', 1);
  if (minus != std::string::npos) {
    s.Text.erase(minus, 1);
    if (minus < s.Caret) --s.Caret;
  }
  const std::size_t comma = s.Text.find(',');
  if (comma != std::string::npos && s.Text.size() - comma - 1 > 2) {
    s.Text.pop_back();
    s.Caret = s.Text.size();
  }
  return s;
}

std::string TypeIntoAmountBox(std::string_view typed, bool plusValue, int option) {
  std::string box;
  for (char c : typed)
    if (auto s = ApplyAmountKey(box, box.size(), c, plusValue, option)) box = std::move(s->Text);
  return box;
}

// --- masked identifiers and dates -----------------------------------------

std::string MaskNip(std::string_view text, int option) {
  return ApplyMask(text, option == 1 ? kNipNatural : kNipLegal);
}

std::string MaskDate(std::string_view text) { return ApplyMask(text, kDate); }

std::string DigitsOf(std::string_view text) {
  std::string out;
  for (char c : text)
    if (IsDigit(c)) out += c;
  return out;
}

// --- commits -----------------------------------------------------------------

CommitResult CommitEditorText(FieldObject& def, ValueSlot& slot, std::string_view text) {
  switch (def.Typ) {
    case kTekst: {
      std::size_t limit = slotw::Value - 1;
      if (def.MaxChar > 0) limit = std::min(limit, static_cast<std::size_t>(def.MaxChar));
      def.Value = FitWidth(text, limit + 1);
      slot.SetValue(def.Value);
      return {};
    }
    case kLiczba:
    case kJedenProcent:
      return CommitAmount(def, slot, text);
    case kNip:
      slot.SetValue(MaskNip(text, def.Option));
      return {};
    case kData: {
      const std::string masked = MaskDate(text);
      slot.SetValue(masked.front() == ' ' ? std::string() : masked);
      return {};
    }
    case kSelect: {
      const std::size_t n = CharCount(text);
      if (n != 0 && n != 10) return Refused(kMsgKrsLength);
      def.Value = std::string(text);
      slot.SetValue(def.Value);
      return {};
    }
    case kCheckbox:
    case kUrzadSkarbowy:
    case kKraj:
      return Refused("");
    default:  // Kreska and unknown types hold no edited text
      return {};
  }
}

CommitResult CommitCheckbox(Settlement& s, int entry, int index, std::vector<FieldObject>& defs,
                            bool tick) {
  if (!s.Has(entry) || index < 0 || index >= kSlotCount) return Refused("");
  const auto at = static_cast<std::size_t>(index);
  const auto& slots = s.Entry(entry).Slots();
  const ValueSlot& box = slots[at];
  FieldObject* def = at < defs.size() ? &defs[at] : nullptr;
  if (box.Typ != kCheckbox || (def && def->ReadOnly)) return Refused("");

  // An unnamed box belongs to no group: clearing every other unnamed box
  // of the form would wipe unrelated answers.
  if (!box.Name.empty()) {
    const std::string group = box.Name;
    for (std::size_t j = 0; j < slots.size(); ++j) {
      const ValueSlot& other = slots[j];
      if (other.Typ != kCheckbox || other.Name != group) continue;
      s.WriteCheck(entry, static_cast<int>(j), false);
      s.Write(entry, static_cast<int>(j), std::string_view());
      if (j < defs.size()) defs[j].Choices[0].Flag = false;
    }
  }
  s.WriteCheck(entry, index, tick);
  s.Write(entry, index, tick ? std::string(box.CheckValue) : std::string());
  if (def) def->Choices[0].Flag = tick;
  return {};
}

CommitResult CommitTaxOffice(FieldObject& def, ValueSlot& slot,
                             const std::optional<OfficeChoice>& office) {
  slot.SetValue(office ? office->Name : std::string());
  slot.SetOfficeCode(office ? office->Code : std::string());
  def.Value = slot.Value;
  return {};
}

CommitResult CommitCountry(FieldObject& def, ValueSlot& slot,
                           const std::optional<std::string>& chosenName,
                           std::string_view searchText) {
  slot.SetValue(chosenName && !searchText.empty() ? *chosenName : std::string());
  def.Value = slot.Value;
  return {};
}

}  // namespace pit
