#pragma once
// Amounts of the tax calculations and their rounding rules.
//
// Amounts travel between the forms as texts with a decimal comma ("1234,56").
// A calculation reads a text into an exact value, computes with exact
// values and writes back only through FormatAmount. An Amount is a fraction
// of two 128-bit integers: every amount text reads into it without loss
// (below 10^13 złoty, up to 18 decimals), sums stay exact, and a product
// with a rate or a quotient of two amounts keeps every digit until one of
// the rounding rules below decides the grosz. Rates are fractions
// (Percent(19), PerMille(55)), never binary floating point, so a figure
// exactly on half a grosz is rounded by the rule and not by binary noise.
//
// Values typed or carried between forms have two decimals and are held in
// grosze (denominator 100); the operators keep that common case to one
// 128-bit addition or multiplication.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace pit {

class Amount {
 public:
  using Int = __int128;

  constexpr Amount() = default;
  // Whole złoty: lets `x > 0`, `x * 100` and `Amount sum = 0` read as they do
  // on paper.
  template <typename I, std::enable_if_t<std::is_integral_v<I>, int> = 0>
  constexpr Amount(I whole) : num_(static_cast<Int>(whole)) {}
  // A binary fraction would bring back the noise this type exists to avoid.
  Amount(float) = delete;
  Amount(double) = delete;
  Amount(long double) = delete;

  // num/den; a zero denominator gives 0 (as a division by zero does).
  static constexpr Amount Fraction(Int num, Int den) {
    if (den == 0) return Amount{};
    if (den < 0) {
      num = -num;
      den = -den;
    }
    return Raw(num, den);
  }
  static constexpr Amount FromGrosze(std::int64_t grosze) { return Raw(grosze, 100); }

  Int Numerator() const { return num_; }
  Int Denominator() const { return den_; }

  // Toward zero to whole złoty (a count read from an amount field).
  Amount Trunc() const;
  Amount Abs() const { return num_ < 0 ? Raw(-num_, den_) : *this; }
  // The whole złoty toward zero, saturated at the ends of 64 bits.
  std::int64_t WholeZloty() const;

  friend Amount operator+(const Amount& a, const Amount& b) {
    Int s;
    if (a.den_ == b.den_ && !__builtin_add_overflow(a.num_, b.num_, &s)) return Raw(s, a.den_);
    return Add(a, b);
  }
  friend Amount operator-(const Amount& a) { return Raw(-a.num_, a.den_); }
  friend Amount operator-(const Amount& a, const Amount& b) { return a + (-b); }
  friend Amount operator*(const Amount& a, const Amount& b) {
    Int n, d;
    if (!__builtin_mul_overflow(a.num_, b.num_, &n) && !__builtin_mul_overflow(a.den_, b.den_, &d) &&
        d <= kDenominatorLimit)
      return Raw(n, d);
    return Multiply(a, b);
  }
  // Division by zero gives 0; callers test the divisor where it matters.
  friend Amount operator/(const Amount& a, const Amount& b) { return a * b.Inverse(); }
  Amount& operator+=(const Amount& b) { return *this = *this + b; }
  Amount& operator-=(const Amount& b) { return *this = *this - b; }
  Amount& operator*=(const Amount& b) { return *this = *this * b; }
  Amount& operator/=(const Amount& b) { return *this = *this / b; }

  friend bool operator==(const Amount& a, const Amount& b) { return Compare(a, b) == 0; }
  friend bool operator!=(const Amount& a, const Amount& b) { return Compare(a, b) != 0; }
  friend bool operator<(const Amount& a, const Amount& b) { return Compare(a, b) < 0; }
  friend bool operator<=(const Amount& a, const Amount& b) { return Compare(a, b) <= 0; }
  friend bool operator>(const Amount& a, const Amount& b) { return Compare(a, b) > 0; }
  friend bool operator>=(const Amount& a, const Amount& b) { return Compare(a, b) >= 0; }

  // Denominators stay at or below 10^18, so that a remainder times a
  // denominator always fits 128 bits.
  static constexpr Int kDenominatorLimit = static_cast<Int>(1000000000000000000LL);

 private:
  static constexpr Amount Raw(Int num, Int den) {
    Amount a;
    a.num_ = num;
    a.den_ = den;
    return a;
  }
  static int Compare(const Amount& a, const Amount& b) {
    Int x = a.num_, y = b.num_;
    if (a.den_ != b.den_ &&
        (__builtin_mul_overflow(a.num_, b.den_, &x) || __builtin_mul_overflow(b.num_, a.den_, &y)))
      return CompareSlow(a, b);
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  Amount Inverse() const;
  static Amount Add(const Amount& a, const Amount& b);
  static Amount Multiply(const Amount& a, const Amount& b);
  static int CompareSlow(const Amount& a, const Amount& b);

  Int num_ = 0;
  Int den_ = 1;  // > 0
};

inline Amount Trunc(const Amount& x) { return x.Trunc(); }
inline Amount Abs(const Amount& x) { return x.Abs(); }

// Rates as written in the law: Percent(19) is 19/100, PerMille(55) 5,5%.
constexpr Amount Percent(int p) { return Amount::Fraction(p, 100); }
constexpr Amount PerMille(int p) { return Amount::Fraction(p, 1000); }

// The value of an amount text of the program's one grammar
// (text/amount_text.h), exact to 18 decimals (a longer fraction is cut
// there). Independent of the process locale. An empty text reads as 0 (an
// untouched field); anything else that is not an amount gives nullopt.
std::optional<Amount> ParseAmount(std::string_view text);

// The text written into an amount field: 0 -> "0,00", 12,5 -> "12,50",
// -0,4 -> "-0,40". Longer fractions are kept as they are (callers round
// first), up to 15 significant digits, all a field's text ever carried.
std::string FormatAmount(const Amount& x);

// Half up at the third decimal, later digits ignored: 1,234 -> 1,23;
// 1,235 -> 1,24; 1,2349 -> 1,23; -1,234 -> -1,23; -1,236 -> -1,24 (the third
// digit is that of the value floored to thousandths).
Amount RoundGrosze(const Amount& x);
// The same result as a whole number of grosze, saturated at the ends of
// 64 bits.
std::int64_t RoundGroszeCents(const Amount& x);

// Down to full tens of grosze: 12,39 -> 12,30; -12,31 -> -12,40.
Amount FloorTenGrosze(const Amount& x);

// Under 50 groszy dropped, 50 groszy and more raised: 10,49 -> 10; 10,50 -> 11
// (the grosze are those of RoundGrosze).
Amount RoundZloty(const Amount& x);

// FloorTenGrosze first, then the złoty rule: 123,495 -> 123,40 -> 123.
Amount RoundZlotyTenths(const Amount& x);

// Tax by the 2014 scale on a base in whole złoty, never negative.
Amount TaxScale(const Amount& base);

namespace scale2014 {
constexpr std::int64_t kThresholdZloty = 85528;
constexpr int kLowRatePercent = 18;
constexpr std::int64_t kLowReliefGrosze = 55602;      // 556,02
constexpr int kHighRatePercent = 32;
constexpr std::int64_t kTaxAtThresholdGrosze = 1483902;  // 14839,02
}  // namespace scale2014

}  // namespace pit
