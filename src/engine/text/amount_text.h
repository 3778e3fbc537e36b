#pragma once
// The one grammar of amount texts in the program: an optional "-", digits,
// optionally "," followed by digits, at least one digit in all ("12",
// "-0,5", ",5", "12,"). No blanks, no grouping, no "+" and no "." are
// accepted; such a text is not an amount. The commit rules, the
// calculations (which read an empty field as 0) and the command line all
// read amounts through it. Amounts of ten thousand billion złoty and more,
// or with more than twenty decimals, are not amounts either: no return
// comes near them, and a text that long from a damaged file would make
// results longer than a field holds.
#include <optional>
#include <string_view>

namespace pit {

// The parts of an amount text, as views into it.
struct AmountParts {
  bool negative = false;
  std::string_view whole;     // digits before the comma, may be empty
  std::string_view fraction;  // digits after it, may be empty
};

constexpr bool IsAmountDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::size_t kAmountWholeDigits = 13;     // below 10^13 złoty
constexpr std::size_t kAmountFractionDigits = 20;

constexpr std::optional<AmountParts> ScanAmount(std::string_view text) {
  AmountParts a;
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') {
    a.negative = true;
    ++i;
  }
  const std::size_t w = i;
  while (i < text.size() && IsAmountDigit(text[i])) ++i;
  a.whole = text.substr(w, i - w);
  if (i < text.size() && text[i] == ',') {
    const std::size_t f = ++i;
    while (i < text.size() && IsAmountDigit(text[i])) ++i;
    a.fraction = text.substr(f, i - f);
  }
  if (i != text.size() || (a.whole.empty() && a.fraction.empty())) return std::nullopt;
  std::size_t significant = a.whole.size();
  for (std::size_t k = 0; k < a.whole.size() && a.whole[k] == '0'; ++k) --significant;
  if (significant > kAmountWholeDigits || a.fraction.size() > kAmountFractionDigits) return std::nullopt;
  return a;
}

}  // namespace pit
