#pragma once
// Amount texts and the rounding rules of the tax calculations.
//
// Amounts travel between the forms as texts with a decimal comma ("1234,56").
// The calculations compute in long double and write back only through
// FormatAmount. Every rounding helper first takes its argument to 15
// significant decimal digits, which is all the precision an amount text can
// carry, and then rounds that decimal value exactly, so that 2.675 (stored a
// hair below) still rounds up like the printed figure does.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pit {

using Amount = long double;

// The number in an amount text of the program's one grammar
// (text/amount_text.h). Independent of the process locale. An empty text
// reads as 0 (an untouched field); anything else that is not an amount
// gives nullopt.
std::optional<Amount> ParseAmount(std::string_view text);

// The text written into an amount field: 0 -> "0,00", 12.5 -> "12,50",
// -0.4 -> "-0,40". Longer fractions are kept as they are (callers round
// first).
std::string FormatAmount(Amount x);

// Half up at the third decimal, later digits ignored: 1,234 -> 1,23;
// 1,235 -> 1,24; -1,234 -> -1,23; -1,236 -> -1,24.
Amount RoundGrosze(Amount x);
// The same result as a whole number of grosze.
std::int64_t RoundGroszeCents(Amount x);

// Down to full tens of grosze: 12,39 -> 12,30.
Amount FloorTenGrosze(Amount x);

// Under 50 groszy dropped, 50 groszy and more raised: 10,49 -> 10; 10,50 -> 11.
Amount RoundZloty(Amount x);

// FloorTenGrosze first, then the złoty rule: 123,495 -> 123,40 -> 123.
Amount RoundZlotyTenths(Amount x);

// Tax by the 2014 scale on a base in whole złoty, never negative.
Amount TaxScale(Amount base);

namespace scale2014 {
constexpr std::int64_t kThresholdZloty = 85528;
constexpr int kLowRatePercent = 18;
constexpr std::int64_t kLowReliefGrosze = 55602;      // 556,02
constexpr int kHighRatePercent = 32;
constexpr std::int64_t kTaxAtThresholdGrosze = 1483902;  // 14839,02
}  // namespace scale2014

}  // namespace pit
