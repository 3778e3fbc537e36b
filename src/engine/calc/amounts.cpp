#include "calc/amounts.h"

#include "text/amount_text.h"

#include <limits>
#include <string>

namespace pit {
namespace {

using Int = Amount::Int;
using UInt = unsigned __int128;

// Far beyond any amount, yet 10^3 times it and a remainder below 10^18
// added still fit 128 bits: what a saturated result is.
constexpr Int kSaturated = static_cast<Int>(1) << 100;

constexpr Int Pow10(int n) {
  Int r = 1;
  while (n-- > 0) r *= 10;
  return r;
}

Int FloorDiv(Int a, Int b) {
  Int q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

UInt AbsU(Int a) { return a < 0 ? -static_cast<UInt>(a) : static_cast<UInt>(a); }

int TrailingZeros(UInt v) {
  const auto low = static_cast<std::uint64_t>(v);
  if (low != 0) return __builtin_ctzll(low);
  return 64 + __builtin_ctzll(static_cast<std::uint64_t>(v >> 64));
}

// Binary gcd: no 128-bit division, which is the slow part of these numbers.
UInt Gcd(UInt a, UInt b) {
  if (a == 0) return b;
  if (b == 0) return a;
  const int shift = TrailingZeros(a | b);
  a >>= TrailingZeros(a);
  do {
    b >>= TrailingZeros(b);
    if (a > b) {
      const UInt t = a;
      a = b;
      b = t;
    }
    b -= a;
  } while (b != 0);
  return a << shift;
}

Int Saturate(bool negative) { return negative ? -kSaturated : kSaturated; }

// floor(x * 10^decimals), saturated far beyond any amount. The remainder is
// below the denominator (at most 10^18), so its product with 10^decimals
// fits for decimals up to 18.
Int FloorScaled(Int num, Int den, int decimals) {
  const Int q = FloorDiv(num, den);
  const Int r = num - q * den;  // 0 <= r < den
  const Int p = Pow10(decimals);
  Int whole;
  if (__builtin_mul_overflow(q, p, &whole) || whole > kSaturated || whole < -kSaturated) return Saturate(q < 0);
  return whole + r * p / den;
}

// x cut down (floored) to `decimals` places: what an operation falls back
// to when the exact fraction would not fit 128 bits. Only long fractions
// multiplied together get there; the cut lies far below the grosz.
Amount Coarse(const Amount& x, int decimals) {
  return Amount::Fraction(FloorScaled(x.Numerator(), x.Denominator(), decimals), Pow10(decimals));
}

// n/d (d > 0) with a denominator within the limit: reduced when that is
// enough, else floored to 18 decimals. Floors nest, so a rounding rule
// applied later still sees the digits it looks at.
Amount Bounded(Int n, Int d) {
  if (d <= Amount::kDenominatorLimit) return Amount::Fraction(n, d);
  const Int g = static_cast<Int>(Gcd(AbsU(n), static_cast<UInt>(d)));
  n /= g;
  d /= g;
  if (d <= Amount::kDenominatorLimit) return Amount::Fraction(n, d);
  // Ten times a remainder must fit 128 bits.
  while (d > (static_cast<Int>(1) << 122)) {
    n = FloorDiv(n, 16);
    d /= 16;
  }
  const Int q = FloorDiv(n, d);
  Int r = n - q * d;
  Int fraction = 0;
  for (int i = 0; i < 18; ++i) {
    r *= 10;
    fraction = fraction * 10 + r / d;
    r %= d;
  }
  Int whole;
  if (__builtin_mul_overflow(q, Amount::kDenominatorLimit, &whole) || whole > kSaturated || whole < -kSaturated)
    return Amount::Fraction(Saturate(q < 0), 1);
  return Amount::Fraction(whole + fraction, Amount::kDenominatorLimit);
}

// Whether d divides n (both positive), in 64 bits where they fit.
bool Divides(Int d, Int n) {
  constexpr Int kTop = std::numeric_limits<std::uint64_t>::max();
  if (d <= kTop && n <= kTop) return static_cast<std::uint64_t>(n) % static_cast<std::uint64_t>(d) == 0;
  return n % d == 0;
}

bool TryAdd(const Amount& a, const Amount& b, Amount& out) {
  const Int da = a.Denominator(), db = b.Denominator();
  Int d, fa, fb;
  if (Divides(db, da)) {
    d = da;
    fa = 1;
    fb = da / db;
  } else if (Divides(da, db)) {
    d = db;
    fa = db / da;
    fb = 1;
  } else {
    // Both at most 10^18: their least common multiple fits.
    const Int g = static_cast<Int>(Gcd(static_cast<UInt>(da), static_cast<UInt>(db)));
    fa = db / g;
    fb = da / g;
    d = da * fa;
  }
  Int x, y, n;
  if (__builtin_mul_overflow(a.Numerator(), fa, &x) || __builtin_mul_overflow(b.Numerator(), fb, &y) ||
      __builtin_add_overflow(x, y, &n))
    return false;
  out = Bounded(n, d);
  return true;
}

bool TryMultiply(const Amount& a, const Amount& b, Amount& out) {
  // Cancel across first: a share times its total often divides out.
  const Int g1 = static_cast<Int>(Gcd(AbsU(a.Numerator()), static_cast<UInt>(b.Denominator())));
  const Int g2 = static_cast<Int>(Gcd(AbsU(b.Numerator()), static_cast<UInt>(a.Denominator())));
  const Int an = a.Numerator() / g1, bd = b.Denominator() / g1;
  const Int bn = b.Numerator() / g2, ad = a.Denominator() / g2;
  Int n, d;
  if (__builtin_mul_overflow(an, bn, &n) || __builtin_mul_overflow(ad, bd, &d)) return false;
  out = Bounded(n, d);
  return true;
}

// Decimal digits of a non-negative number.
std::string Digits(UInt v) {
  if (v == 0) return "0";
  char buf[40];
  int i = sizeof buf;
  // 64-bit divisions where the number allows: formatting is on every write.
  while (v > std::numeric_limits<std::uint64_t>::max()) {
    buf[--i] = static_cast<char>('0' + static_cast<int>(v % 10));
    v /= 10;
  }
  for (auto w = static_cast<std::uint64_t>(v); w != 0; w /= 10) buf[--i] = static_cast<char>('0' + static_cast<int>(w % 10));
  return std::string(buf + i, buf + sizeof buf);
}

// Half up at the third decimal of a value given in thousandths (already
// floored): the digit of the thousandths decides, whatever the sign.
Int CentsFromThousandths(Int t) {
  const Int tenths = FloorDiv(t, 10);
  const Int digit = t - tenths * 10;
  return tenths + (digit >= 5 ? 1 : 0);
}

// The złoty rule on a value of `units` (grosze or tens of grosze): at least
// 50 groszy away from the whole złoty toward zero goes up, otherwise down.
Amount ZlotyRule(Int value, int unitsPerZloty, int unitGrosze) {
  const Int whole = value / unitsPerZloty;  // toward zero
  Int diff = (value - whole * unitsPerZloty) * unitGrosze;
  if (diff < 0) diff = -diff;
  const Int floorZ = FloorDiv(value, unitsPerZloty);
  const bool exact = floorZ * unitsPerZloty == value;
  const Int ceilZ = exact ? floorZ : floorZ + 1;
  return Amount::Fraction((diff >= 50 ? ceilZ : floorZ) * 100, 100);
}

}  // namespace

Amount Amount::Trunc() const {
  const Int q = num_ / den_;  // toward zero
  return Fraction(q * den_, den_);
}

std::int64_t Amount::WholeZloty() const {
  const Int q = num_ / den_;
  if (q > std::numeric_limits<std::int64_t>::max()) return std::numeric_limits<std::int64_t>::max();
  if (q < std::numeric_limits<std::int64_t>::min()) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(q);
}

Amount Amount::Inverse() const {
  if (num_ == 0) return Amount{};
  return num_ < 0 ? Bounded(-den_, -num_) : Bounded(den_, num_);
}

Amount Amount::Add(const Amount& a, const Amount& b) {
  Amount out;
  if (TryAdd(a, b, out)) return out;
  for (int decimals : {18, 12, 6, 0}) {
    if (TryAdd(Coarse(a, decimals), Coarse(b, decimals), out)) return out;
  }
  return Fraction(Saturate(a.num_ < 0), 1);
}

Amount Amount::Multiply(const Amount& a, const Amount& b) {
  Amount out;
  if (TryMultiply(a, b, out)) return out;
  for (int decimals : {15, 12, 9, 6, 3, 0}) {
    if (TryMultiply(Coarse(a, decimals), Coarse(b, decimals), out)) return out;
  }
  return Fraction(Saturate((a.num_ < 0) != (b.num_ < 0)), 1);
}

int Amount::CompareSlow(const Amount& a, const Amount& b) {
  const Int qa = FloorDiv(a.num_, a.den_), qb = FloorDiv(b.num_, b.den_);
  if (qa != qb) return qa < qb ? -1 : 1;
  // Remainders below their denominators (at most 10^18 each): the cross
  // products fit.
  const Int ra = (a.num_ - qa * a.den_) * b.den_, rb = (b.num_ - qb * b.den_) * a.den_;
  return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

std::optional<Amount> ParseAmount(std::string_view text) {
  if (text.empty()) return Amount{};
  const std::optional<AmountParts> a = ScanAmount(text);
  if (!a) return std::nullopt;
  // Two decimals or fewer: grosze, the denominator every typed amount shares.
  constexpr std::size_t kMaxDecimals = 18;
  const std::size_t decimals = a->fraction.size() <= 2 ? 2 : std::min(a->fraction.size(), kMaxDecimals);
  Int n = 0;
  for (char c : a->whole) n = n * 10 + (c - '0');
  for (std::size_t i = 0; i < decimals; ++i) n = n * 10 + (i < a->fraction.size() ? a->fraction[i] - '0' : 0);
  // The cut of a longer fraction goes toward minus infinity, as the
  // rounding rules would take it.
  bool cut = false;
  for (std::size_t i = decimals; i < a->fraction.size(); ++i) cut = cut || a->fraction[i] != '0';
  if (a->negative) n = -n - (cut ? 1 : 0);
  return Amount::Fraction(n, Pow10(static_cast<int>(decimals)));
}

std::string FormatAmount(const Amount& x) {
  constexpr std::size_t kSignificant = 15;
  const bool negative = x.Numerator() < 0;
  const UInt den = static_cast<UInt>(x.Denominator());
  UInt n = AbsU(x.Numerator());
  // Grosze within the significant digits, the common case, without 128-bit divisions.
  if (den == 100 && n <= std::numeric_limits<std::uint64_t>::max()) {
    const auto g = static_cast<std::uint64_t>(n);
    if (g < 1000000000000000ULL) {
      std::string out = negative && g != 0 ? "-" : "";
      out += Digits(g / 100);
      out.push_back(',');
      out.push_back(static_cast<char>('0' + g % 100 / 10));
      out.push_back(static_cast<char>('0' + g % 10));
      return out;
    }
  }
  std::string digits = den == 1 ? Digits(n) : Digits(n / den);  // the whole part, then decimals
  const std::size_t wholeDigits = digits.size();
  std::size_t significant = digits == "0" ? 0 : digits.size();
  UInt r = den == 1 ? 0 : n % den;
  // Decimals until the fraction ends or one past the significant digits.
  while (r != 0 && significant <= kSignificant) {
    r *= 10;
    const int d = static_cast<int>(r / den);
    r %= den;
    digits.push_back(static_cast<char>('0' + d));
    if (significant > 0 || d != 0) ++significant;
  }
  std::size_t wholeLen = wholeDigits;
  if (significant > kSignificant) {
    // Half up at the last significant digit; the digits after it become 0.
    std::size_t first = 0;
    while (digits[first] == '0') ++first;
    const std::size_t last = first + kSignificant;  // the first digit dropped
    const bool up = digits[last] >= '5';
    for (std::size_t i = last; i < digits.size(); ++i) digits[i] = '0';
    if (up) {
      std::size_t i = last;
      bool carried = true;
      while (carried && i > 0) {
        --i;
        carried = digits[i] == '9';
        digits[i] = carried ? '0' : static_cast<char>(digits[i] + 1);
      }
      if (carried) {
        digits.insert(digits.begin(), '1');
        ++wholeLen;
      }
    }
  }
  std::string whole = digits.substr(0, wholeLen);
  std::string fraction = digits.substr(wholeLen);
  while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  while (fraction.size() < 2) fraction.push_back('0');
  const bool zero = whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
  return (negative && !zero ? "-" : "") + whole + "," + fraction;
}

std::int64_t RoundGroszeCents(const Amount& x) {
  const Int cents = CentsFromThousandths(FloorScaled(x.Numerator(), x.Denominator(), 3));
  if (cents > std::numeric_limits<std::int64_t>::max()) return std::numeric_limits<std::int64_t>::max();
  if (cents < std::numeric_limits<std::int64_t>::min()) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(cents);
}

Amount RoundGrosze(const Amount& x) {
  if (x.Denominator() == 100 || x.Denominator() == 1) return x;
  return Amount::Fraction(CentsFromThousandths(FloorScaled(x.Numerator(), x.Denominator(), 3)), 100);
}

// Whole złoty have nothing to round, however large (a product of large
// figures may be past what the saturated scaling keeps).
Amount FloorTenGrosze(const Amount& x) {
  if (x.Denominator() == 1) return x;
  return Amount::Fraction(FloorScaled(x.Numerator(), x.Denominator(), 1) * 10, 100);
}

Amount RoundZloty(const Amount& x) {
  if (x.Denominator() == 1) return x;
  return ZlotyRule(CentsFromThousandths(FloorScaled(x.Numerator(), x.Denominator(), 3)), 100, 1);
}

Amount RoundZlotyTenths(const Amount& x) {
  if (x.Denominator() == 1) return x;
  return ZlotyRule(FloorScaled(x.Numerator(), x.Denominator(), 1), 10, 10);
}

Amount TaxScale(const Amount& base) {
  using namespace scale2014;
  // In ten-thousandths of a złoty the scale is exact: grosze x percent.
  const Int baseGrosze = CentsFromThousandths(FloorScaled(base.Numerator(), base.Denominator(), 3));
  const Int threshold = static_cast<Int>(kThresholdZloty) * 100;
  Int tax;
  if (baseGrosze <= threshold) {
    tax = baseGrosze * kLowRatePercent - static_cast<Int>(kLowReliefGrosze) * 100;
  } else {
    tax = (baseGrosze - threshold) * kHighRatePercent + static_cast<Int>(kTaxAtThresholdGrosze) * 100;
  }
  if (tax < 0) tax = 0;
  return Amount::Fraction(CentsFromThousandths(FloorDiv(tax, 10)), 100);
}

}  // namespace pit
