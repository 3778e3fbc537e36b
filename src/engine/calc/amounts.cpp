#include "calc/amounts.h"

#include "text/amount_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace pit {
namespace {

using Int128 = __int128;

// x to 15 significant digits: digits * 10^exponent, digits < 10^15.
struct Decimal15 {
  std::int64_t digits = 0;  // signed
  int exponent = 0;
  bool finite = true;
};

// Powers of ten up to 10^27 are exact in long double.
const std::array<Amount, 28>& PowersOfTen() {
  static const std::array<Amount, 28> p = [] {
    std::array<Amount, 28> t{};
    Amount v = 1;
    for (Amount& e : t) {
      e = v;
      v *= 10;
    }
    return t;
  }();
  return p;
}

// The common case without the text conversion: one scaling of a value in
// the range of amounts and a rounding to the nearest integer. Values whose
// 16th digit sits too near a half are left to the exact conversion.
bool FastDecimal15(Amount x, Decimal15& d) {
  const auto& p = PowersOfTen();
  const Amount a = x < 0 ? -x : x;
  if (!(a >= 1e-10L && a < 1e14L)) return false;
  int k = 13;  // 10^k <= a < 10^(k+1)
  if (a >= 1) {
    k = 0;
    while (k < 13 && a >= p[static_cast<std::size_t>(k + 1)]) ++k;
  } else {
    k = -1;
    while (a * p[static_cast<std::size_t>(-k)] < 1) --k;
  }
  const int scale = 14 - k;  // 1..24
  const Amount m = a * p[static_cast<std::size_t>(scale)];
  const Amount fl = std::floor(m);
  const Amount frac = m - fl;
  if (frac > 0.499L && frac < 0.501L) return false;
  std::int64_t digits = static_cast<std::int64_t>(fl) + (frac > 0.5L ? 1 : 0);
  int exponent = -scale;
  if (digits >= 1000000000000000LL) {
    digits /= 10;
    ++exponent;
  }
  d.digits = x < 0 ? -digits : digits;
  d.exponent = exponent;
  return true;
}

Decimal15 ToDecimal15(Amount x) {
  Decimal15 d;
  if (!std::isfinite(x)) {
    d.finite = false;
    return d;
  }
  if (x == 0) return d;
  if (FastDecimal15(x, d)) return d;
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
  const char* p = buf;
  bool neg = false;
  if (*p == '-') {
    neg = true;
    ++p;
  }
  std::int64_t m = 0;
  for (; p < res.ptr && *p != 'e'; ++p) {
    if (*p >= '0' && *p <= '9') m = m * 10 + (*p - '0');
  }
  int e = 0;
  if (p < res.ptr && *p == 'e') std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, e);
  d.digits = neg ? -m : m;
  d.exponent = e - 14;
  return d;
}

Int128 FloorDiv(Int128 a, Int128 b) {
  Int128 q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

Int128 Pow10(int n) {
  Int128 r = 1;
  while (n-- > 0) r *= 10;
  return r;
}

constexpr Int128 kLimit = static_cast<Int128>(1) << 100;

// floor(x * 10^decimals) of the 15-digit value of x, saturated far beyond
// any amount: below 10^15 x 10^15 the product is exact, and 2^100 lies above
// all of those.
Int128 FloorScaled(Amount x, int decimals) {
  const Decimal15 d = ToDecimal15(x);
  if (!d.finite) return 0;
  const int shift = d.exponent + decimals;
  if (shift >= 0) {
    if (shift > 15) return d.digits < 0 ? -kLimit : kLimit;
    return static_cast<Int128>(d.digits) * Pow10(shift);
  }
  if (shift < -30) return d.digits < 0 ? -1 : 0;
  return FloorDiv(d.digits, Pow10(-shift));
}

// From 10^15 on, the 15 significant digits of an amount end at whole złoty
// or above: there are no grosze left to round, and every rounding gives the
// value as it is. Below it, the grosze of an amount fit in 64 bits.
bool NothingToRound(Amount x) { return std::isfinite(x) && std::fabs(x) >= 1e15L; }

// Half up at the third decimal of a value given in thousandths (already
// floored): the digit of the thousandths decides, whatever the sign.
Int128 CentsFromThousandths(Int128 t) {
  const Int128 tenths = FloorDiv(t, 10);
  const Int128 digit = t - tenths * 10;
  return tenths + (digit >= 5 ? 1 : 0);
}

// The złoty rule on a value of `units` (grosze or tens of grosze): at least
// 50 groszy away from the whole złoty toward zero goes up, otherwise down.
Amount ZlotyRule(Int128 value, int unitsPerZloty, int unitGrosze) {
  const Int128 whole = value / unitsPerZloty;  // toward zero
  Int128 diff = (value - whole * unitsPerZloty) * unitGrosze;
  if (diff < 0) diff = -diff;
  const Int128 floorZ = FloorDiv(value, unitsPerZloty);
  const bool exact = floorZ * unitsPerZloty == value;
  const Int128 ceilZ = exact ? floorZ : floorZ + 1;
  return static_cast<Amount>(diff >= 50 ? ceilZ : floorZ);
}

}  // namespace

std::optional<Amount> ParseAmount(std::string_view text) {
  if (text.empty()) return Amount{0};
  const std::optional<AmountParts> a = ScanAmount(text);
  if (!a) return std::nullopt;
  const std::size_t digits = a->whole.size() + a->fraction.size();
  // Up to 19 digits the mantissa and the power of ten are exact, so one
  // division rounds correctly, as the text conversion would.
  if (digits <= 19 && a->fraction.size() < PowersOfTen().size()) {
    std::uint64_t mantissa = 0;
    for (char c : a->whole) mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    for (char c : a->fraction) mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    const Amount v = static_cast<Amount>(mantissa) / PowersOfTen()[a->fraction.size()];
    return a->negative ? -v : v;
  }
  std::string s;
  s.reserve(digits + 3);
  if (a->negative) s.push_back('-');
  s.append(a->whole.empty() ? std::string_view("0") : a->whole);
  s.push_back('.');
  s.append(a->fraction.empty() ? std::string_view("0") : a->fraction);
  Amount v = 0;
  const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
  if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string FormatAmount(Amount x) {
  const Decimal15 d = ToDecimal15(x);
  std::string out;
  if (!d.finite || d.digits == 0) {
    out = "0";
  } else {
    std::string digits = std::to_string(d.digits < 0 ? -d.digits : d.digits);
    // Value = digits * 10^exponent; place the comma.
    const int pointPos = static_cast<int>(digits.size()) + d.exponent;  // digits before the comma
    std::string intPart, fracPart;
    if (pointPos <= 0) {
      intPart = "0";
      fracPart = std::string(static_cast<std::size_t>(-pointPos), '0') + digits;
    } else if (pointPos >= static_cast<int>(digits.size())) {
      intPart = digits + std::string(static_cast<std::size_t>(pointPos) - digits.size(), '0');
    } else {
      intPart = digits.substr(0, static_cast<std::size_t>(pointPos));
      fracPart = digits.substr(static_cast<std::size_t>(pointPos));
    }
    while (!fracPart.empty() && fracPart.back() == '0') fracPart.pop_back();
    out = (d.digits < 0 ? "-" : "") + intPart;
    if (!fracPart.empty()) out += "," + fracPart;
  }
  // Normalise to at least two decimals.
  const std::size_t comma = out.find(',');
  if (comma == std::string::npos) {
    out += ",00";
  } else if (out.size() - comma - 1 == 1) {
    out += "0";
  }
  return out;
}

std::int64_t RoundGroszeCents(Amount x) {
  const Int128 cents = CentsFromThousandths(FloorScaled(x, 3));
  if (cents > std::numeric_limits<std::int64_t>::max()) return std::numeric_limits<std::int64_t>::max();
  if (cents < std::numeric_limits<std::int64_t>::min()) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(cents);
}

Amount RoundGrosze(Amount x) {
  if (NothingToRound(x)) return x;
  return static_cast<Amount>(RoundGroszeCents(x)) / 100.0L;
}

Amount FloorTenGrosze(Amount x) {
  if (NothingToRound(x)) return x;
  return static_cast<Amount>(FloorScaled(x, 1)) / 10.0L;
}

Amount RoundZloty(Amount x) {
  if (NothingToRound(x)) return x;
  return ZlotyRule(RoundGroszeCents(x), 100, 1);
}

Amount RoundZlotyTenths(Amount x) {
  if (NothingToRound(x)) return x;
  return ZlotyRule(FloorScaled(x, 1), 10, 10);
}

Amount TaxScale(Amount base) {
  using namespace scale2014;
  // Far above the threshold the tax has no grosze of the base to be exact
  // about; its own grosze are rounded as usual.
  if (NothingToRound(base)) {
    if (base < 0) return 0;
    return RoundGrosze((base - kThresholdZloty) * (kHighRatePercent / 100.0L) +
                       static_cast<Amount>(kTaxAtThresholdGrosze) / 100.0L);
  }
  // In ten-thousandths of a złoty the scale is exact: grosze x percent.
  const Int128 baseGrosze = RoundGroszeCents(base);
  const Int128 threshold = static_cast<Int128>(kThresholdZloty) * 100;
  Int128 tax;
  if (baseGrosze <= threshold) {
    tax = baseGrosze * kLowRatePercent - static_cast<Int128>(kLowReliefGrosze) * 100;
  } else {
    tax = (baseGrosze - threshold) * kHighRatePercent + static_cast<Int128>(kTaxAtThresholdGrosze) * 100;
  }
  if (tax < 0) tax = 0;
  const Int128 cents = CentsFromThousandths(FloorDiv(tax, 10));
  return static_cast<Amount>(cents) / 100.0L;
}

}  // namespace pit
