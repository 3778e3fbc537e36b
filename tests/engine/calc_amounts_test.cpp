// Amount texts and the rounding rules: each case is a figure a taxpayer
// would check on paper.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "calc/amounts.h"

namespace pit {
namespace {

struct Case {
  const char* name;
  Amount (*fn)(Amount);
  Amount in;
  const char* expected;  // as written into a field
};

TEST(Rounding, MatchesTheDecimalDefinitions) {
  const std::vector<Case> cases = {
      {"grosze half up though stored below", RoundGrosze, 2.675L, "2,68"},
      {"grosze half up, double literal", [](Amount) { return RoundGrosze(2.675); }, 0, "2,68"},
      {"grosze below half", RoundGrosze, 2.6749L, "2,67"},
      {"grosze 0.285", [](Amount) { return RoundGrosze(0.285); }, 0, "0,29"},
      {"grosze 1.234", RoundGrosze, 1.234L, "1,23"},
      {"grosze 1.2349 later digits ignored", RoundGrosze, 1.2349L, "1,23"},
      {"grosze negative small digit", RoundGrosze, -1.234L, "-1,23"},
      {"grosze negative large digit", RoundGrosze, -1.236L, "-1,24"},
      {"grosze cancellation noise", [](Amount) { return RoundGrosze(1000.01L - 999.99L); }, 0, "0,02"},
      {"zloty below half", RoundZloty, 30000.49L, "30000,00"},
      {"zloty at half", RoundZloty, 30000.50L, "30001,00"},
      {"zloty grosze rounding first", RoundZloty, 30000.994L, "30001,00"},
      {"zloty 10.49", RoundZloty, 10.49L, "10,00"},
      {"zloty 10.99", RoundZloty, 10.99L, "11,00"},
      {"tenths below half", RoundZlotyTenths, 15000.49L, "15000,00"},
      {"tenths at half", RoundZlotyTenths, 15000.5L, "15001,00"},
      {"tenths 495 thousandths cut first", RoundZlotyTenths, 15000.495L, "15000,00"},
      {"tenths joint half", RoundZlotyTenths, 12349.495L, "12349,00"},
      {"floor ten grosze", FloorTenGrosze, 123.459L, "123,40"},
      {"floor ten grosze 12.39", FloorTenGrosze, 12.39L, "12,30"},
      {"floor ten grosze exact", FloorTenGrosze, 12.30L, "12,30"},
      {"floor ten grosze of 1% noise", [](Amount) { return FloorTenGrosze(8204 * 0.01L); }, 0, "82,00"},
      {"scale just above zero", TaxScale, 3091, "0,36"},
      {"scale below the relief", TaxScale, 3089, "0,00"},
      {"scale at the threshold", TaxScale, 85528, "14839,02"},
      {"scale above the threshold", TaxScale, 100000, "19470,06"},
      {"scale 48665", TaxScale, 48665, "8203,68"},
      {"scale 50000", TaxScale, 50000, "8443,98"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatAmount(c.fn(c.in)), c.expected) << c.name;
}

// Amounts far beyond any real return (a file or a typed value can hold
// them) are whole złoty at 15 significant digits: every rounding leaves them
// as they are, with their sign, instead of wrapping around 64 bits.
TEST(Rounding, KeepsHugeAmountsAsTheyAre) {
  const std::vector<std::pair<const char*, Amount (*)(Amount)>> roundings = {
      {"grosze", RoundGrosze},
      {"zloty", RoundZloty},
      {"tenths", RoundZlotyTenths},
      {"floor ten grosze", FloorTenGrosze},
  };
  for (Amount x : {1e15L, 9.3e16L, 1e17L, 1e20L, 1e24L, 1e35L, 1e50L, -1e17L, -1e35L}) {
    for (const auto& [name, fn] : roundings) {
      EXPECT_EQ(FormatAmount(fn(x)), FormatAmount(x)) << name << " " << static_cast<double>(x);
    }
  }
  // The last amount below the limit still rounds its grosze.
  EXPECT_EQ(FormatAmount(RoundGrosze(99999999999999.5L)), "99999999999999,50");
  EXPECT_EQ(FormatAmount(RoundZloty(99999999999999.5L)), "100000000000000,00");
}

TEST(Rounding, GroszeCountsSaturateInsteadOfWrapping) {
  struct C {
    Amount in;
    std::int64_t expected;
  };
  const std::int64_t top = std::numeric_limits<std::int64_t>::max();
  const std::int64_t bottom = std::numeric_limits<std::int64_t>::min();
  const std::vector<C> cases = {
      {1e16L, 1000000000000000000LL}, {-1e16L, -1000000000000000000LL}, {9.3e16L, top},
      {1e20L, top},                   {1e35L, top},                     {-1e20L, bottom},
  };
  for (const C& c : cases) EXPECT_EQ(RoundGroszeCents(c.in), c.expected) << static_cast<double>(c.in);
}

TEST(TaxScale, GrowsWithTheBasePastEveryRange) {
  // Each base taxes more than the one before: no overflow turns a huge base
  // into a tax of zero or a smaller one.
  const std::vector<Amount> bases = {85528,  1e6L,  1e12L, 1e14L, 9.99e14L, 1e15L,
                                     1e16L, 9.3e16L, 1e17L, 1e20L, 1e35L};
  for (std::size_t i = 1; i < bases.size(); ++i) {
    EXPECT_GT(TaxScale(bases[i]), TaxScale(bases[i - 1])) << static_cast<double>(bases[i]);
  }
  EXPECT_EQ(FormatAmount(TaxScale(-1e20L)), "0,00");
}

TEST(FormatAmount, NormalisesToTwoDecimals) {
  const std::vector<std::pair<Amount, const char*>> cases = {
      {0, "0,00"},          {1234.5L, "1234,50"},  {-0.4L, "-0,40"},     {-3, "-3,00"},
      {12.5L, "12,50"},     {-0.0L, "0,00"},       {0.1L + 0.2L, "0,30"}, {1234.567L, "1234,567"},
      {1e12L, "1000000000000,00"}, {0.05L, "0,05"},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(FormatAmount(x), expected) << static_cast<double>(x);
}

TEST(ParseAmount, ReadsCommaTextsOnly) {
  // The decimal point of the C locale is not a separator of amounts, and
  // the calculations take no text the commit rules would refuse (blanks,
  // "+"): one grammar for both.
  struct P {
    const char* text;
    bool ok;
    Amount value;
  };
  const std::vector<P> cases = {
      {"1234,56", true, 1234.56L}, {"-5,00", true, -5},  {"0,00", true, 0},   {"", true, 0},
      {"  12,5 ", false, 0},       {"+7", false, 0},       {",5", true, 0.5L},  {"abc", false, 0},
      {"1.5", false, 0},           {"1,2,3", false, 0},   {"-", false, 0},     {"1e5", false, 0},
      {"12 000,00", false, 0},     {"inf", false, 0},     {"1,", true, 1},
  };
  for (const P& c : cases) {
    const auto v = ParseAmount(c.text);
    ASSERT_EQ(v.has_value(), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(FormatAmount(*v), FormatAmount(c.value)) << c.text;
    }
  }
}


// Texts of three decimals over a wide range, and sums of them: reading,
// rounding half up and writing back must match integer arithmetic exactly.
TEST(Rounding, AgreesWithIntegerArithmeticOverARange) {
  auto text = [](long long thousandths) {
    const bool neg = thousandths < 0;
    const long long a = neg ? -thousandths : thousandths;
    std::string frac = std::to_string(a % 1000);
    frac.insert(0, 3 - frac.size(), '0');
    return std::string(neg ? "-" : "") + std::to_string(a / 1000) + "," + frac;
  };
  auto cents = [](long long thousandths) {  // half up, the digit taken from the floor
    long long t = thousandths, tenths = t / 10;
    if (t % 10 != 0 && t < 0) --tenths;
    return tenths + (t - tenths * 10 >= 5 ? 1 : 0);
  };
  for (long long base : {0LL, 123456789LL, 99999999999LL, -5000000LL, 4999999999995LL}) {
    for (long long i = -2000; i <= 2000; i += 7) {
      const long long t = base + i;
      const auto v = ParseAmount(text(t));
      ASSERT_TRUE(v.has_value()) << text(t);
      ASSERT_EQ(RoundGroszeCents(*v), cents(t)) << text(t);
      // A sum with cancellation lands on the same grosze.
      ASSERT_EQ(RoundGroszeCents(*v + 1000.01L - 1000.01L), cents(t)) << text(t);
      if (t % 10 == 0) {
        const std::string two = text(t).substr(0, text(t).size() - 1);
        ASSERT_EQ(FormatAmount(*v), two);
      }
    }
  }
}

}  // namespace
}  // namespace pit
