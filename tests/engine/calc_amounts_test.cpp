// Amount texts and the rounding rules: each case is a figure a taxpayer
// would check on paper.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "calc/amounts.h"

namespace pit {

// Failures show the amount as a field would.
void PrintTo(const Amount& x, std::ostream* os) { *os << FormatAmount(x); }

namespace {

// The value of an amount text; the tests write amounts as the forms do.
Amount A(const char* text) {
  const auto v = ParseAmount(text);
  EXPECT_TRUE(v.has_value()) << text;
  return v.value_or(Amount{});
}

struct Case {
  const char* name;
  Amount (*fn)(const Amount&);
  Amount in;
  const char* expected;  // as written into a field
};

TEST(Rounding, MatchesTheDecimalDefinitions) {
  const std::vector<Case> cases = {
      {"grosze half up", RoundGrosze, A("2,675"), "2,68"},
      {"grosze below half", RoundGrosze, A("2,6749"), "2,67"},
      {"grosze 0.285", RoundGrosze, A("0,285"), "0,29"},
      {"grosze 1.234", RoundGrosze, A("1,234"), "1,23"},
      {"grosze 1.2349 later digits ignored", RoundGrosze, A("1,2349"), "1,23"},
      {"grosze negative small digit", RoundGrosze, A("-1,234"), "-1,23"},
      {"grosze negative large digit", RoundGrosze, A("-1,236"), "-1,24"},
      {"grosze negative half", RoundGrosze, A("-1,235"), "-1,23"},
      {"grosze negative digit from the floor", RoundGrosze, A("-1,2341"), "-1,23"},
      {"grosze a third", RoundGrosze, Amount(1) / 3, "0,33"},
      {"grosze two thirds", RoundGrosze, Amount(2) / 3, "0,67"},
      {"zloty below half", RoundZloty, A("30000,49"), "30000,00"},
      {"zloty at half", RoundZloty, A("30000,50"), "30001,00"},
      {"zloty grosze rounding first", RoundZloty, A("30000,994"), "30001,00"},
      {"zloty 10.49", RoundZloty, A("10,49"), "10,00"},
      {"zloty 10.495 rounds its grosze first", RoundZloty, A("10,495"), "11,00"},
      {"zloty 10.99", RoundZloty, A("10,99"), "11,00"},
      {"zloty negative half", RoundZloty, A("-10,50"), "-10,00"},
      {"zloty negative below half", RoundZloty, A("-10,49"), "-11,00"},
      {"tenths below half", RoundZlotyTenths, A("15000,49"), "15000,00"},
      {"tenths at half", RoundZlotyTenths, A("15000,5"), "15001,00"},
      {"tenths 495 thousandths cut first", RoundZlotyTenths, A("15000,495"), "15000,00"},
      {"tenths joint half", RoundZlotyTenths, A("12349,495"), "12349,00"},
      {"floor ten grosze", FloorTenGrosze, A("123,459"), "123,40"},
      {"floor ten grosze 12.39", FloorTenGrosze, A("12,39"), "12,30"},
      {"floor ten grosze exact", FloorTenGrosze, A("12,30"), "12,30"},
      {"floor ten grosze negative", FloorTenGrosze, A("-12,31"), "-12,40"},
      {"floor ten grosze of 1%", FloorTenGrosze, Amount(8204) * Percent(1), "82,00"},
      {"scale just above zero", TaxScale, 3091, "0,36"},
      {"scale below the relief", TaxScale, 3089, "0,00"},
      {"scale at the threshold", TaxScale, 85528, "14839,02"},
      {"scale just above the threshold", TaxScale, 85529, "14839,34"},
      {"scale above the threshold", TaxScale, 100000, "19470,06"},
      {"scale 48665", TaxScale, 48665, "8203,68"},
      {"scale 50000", TaxScale, 50000, "8443,98"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatAmount(c.fn(c.in)), c.expected) << c.name;
}

// A rate times an amount that lands exactly on half a grosz goes up, and
// one a hair below goes down: the exact product decides, not its binary
// neighbour.
TEST(Rounding, ProductsOnHalfAGroszFollowTheRule) {
  struct P {
    const char* amount;
    Amount rate;
    const char* expected;
  };
  const std::vector<P> cases = {
      {"0,50", Percent(1), "0,01"},         // 0,005
      {"1,50", Percent(19), "0,29"},        // 0,285
      {"14,10", PerMille(55), "0,78"},      // 0,7755
      {"100,10", PerMille(85), "8,51"},     // 8,5085
      {"1234567,85", Percent(19), "234567,89"},  // 234567,8915
      {"0,45", Percent(75), "0,34"},        // 0,3375
      {"10,01", PerMille(275), "2,75"},     // 2,75275
      {"-0,50", Percent(1), "-0,00"},       // -0,005 floors to -0,005
  };
  for (const P& c : cases) {
    const Amount exact = A(c.amount) * c.rate;
    const std::string expected = std::string(c.expected) == "-0,00" ? "0,00" : c.expected;
    EXPECT_EQ(FormatAmount(RoundGrosze(exact)), expected) << c.amount;
  }
}

// Whole amounts far beyond any real return (a product of large figures can
// reach them): every rounding leaves them as they are, with their sign.
TEST(Rounding, KeepsHugeAmountsAsTheyAre) {
  const std::vector<std::pair<const char*, Amount (*)(const Amount&)>> roundings = {
      {"grosze", RoundGrosze},
      {"zloty", RoundZloty},
      {"tenths", RoundZlotyTenths},
      {"floor ten grosze", FloorTenGrosze},
  };
  const Amount big = Amount(1000000000000000000LL);
  for (Amount x : {Amount(1000000000000000LL), big, big * big, -big, -(big * 100)}) {
    for (const auto& [name, fn] : roundings) EXPECT_EQ(fn(x), x) << name;
  }
  EXPECT_EQ(FormatAmount(RoundGrosze(A("9999999999999,995"))), "10000000000000,00");
  EXPECT_EQ(FormatAmount(RoundZloty(A("9999999999999,5"))), "10000000000000,00");
}

TEST(Rounding, GroszeCountsSaturateInsteadOfWrapping) {
  const std::int64_t top = std::numeric_limits<std::int64_t>::max();
  const std::int64_t bottom = std::numeric_limits<std::int64_t>::min();
  const Amount e16 = Amount(10000000000000000LL);
  EXPECT_EQ(RoundGroszeCents(e16), 1000000000000000000LL);
  EXPECT_EQ(RoundGroszeCents(-e16), -1000000000000000000LL);
  EXPECT_EQ(RoundGroszeCents(e16 * 10), top);
  EXPECT_EQ(RoundGroszeCents(e16 * e16), top);
  EXPECT_EQ(RoundGroszeCents(-(e16 * e16)), bottom);
}

TEST(TaxScale, GrowsWithTheBasePastEveryRange) {
  // Each base taxes more than the one before: no overflow turns a huge base
  // into a tax of zero or a smaller one.
  const Amount e12 = Amount(1000000000000LL);
  const std::vector<Amount> bases = {85528, 1000000, e12, e12 * 100, e12 * 1000, e12 * e12, e12 * e12 * e12};
  for (std::size_t i = 1; i < bases.size(); ++i) EXPECT_GT(TaxScale(bases[i]), TaxScale(bases[i - 1])) << i;
  EXPECT_EQ(FormatAmount(TaxScale(-e12 * e12)), "0,00");
}

TEST(FormatAmount, NormalisesToTwoDecimals) {
  const std::vector<std::pair<Amount, const char*>> cases = {
      {0, "0,00"},
      {A("1234,5"), "1234,50"},
      {A("-0,4"), "-0,40"},
      {-3, "-3,00"},
      {A("-0,00"), "0,00"},
      {A("0,1") + A("0,2"), "0,30"},
      {A("1234,567"), "1234,567"},
      {Amount(1000000000000LL), "1000000000000,00"},
      {A("0,05"), "0,05"},
      // Past 15 significant digits a text is cut, half up, as it always was.
      {Amount(1) / 3, "0,333333333333333"},
      {Amount(2) / 3, "0,666666666666667"},
      {Amount(-2) / 3, "-0,666666666666667"},
      {A("1234567890123,455"), "1234567890123,46"},
      {A("9999999999999,995"), "10000000000000,00"},
      {A("0,00000000000000000001"), "0,00"},
  };
  for (const auto& [x, expected] : cases) EXPECT_EQ(FormatAmount(x), expected) << expected;
}

TEST(ParseAmount, ReadsCommaTextsOnly) {
  // The decimal point of the C locale is not a separator of amounts, and
  // the calculations take no text the commit rules would refuse (blanks,
  // "+"): one grammar for both.
  struct P {
    const char* text;
    bool ok;
    const char* value;  // as formatted
  };
  const std::vector<P> cases = {
      {"1234,56", true, "1234,56"}, {"-5,00", true, "-5,00"}, {"0,00", true, "0,00"}, {"", true, "0,00"},
      {"  12,5 ", false, ""},       {"+7", false, ""},        {",5", true, "0,50"},   {"abc", false, ""},
      {"1.5", false, ""},           {"1,2,3", false, ""},     {"-", false, ""},       {"1e5", false, ""},
      {"12 000,00", false, ""},     {"inf", false, ""},       {"1,", true, "1,00"},
      {"0,123456789012345678", true, "0,123456789012346"},
      {"9999999999999,99", true, "9999999999999,99"},
  };
  for (const P& c : cases) {
    const auto v = ParseAmount(c.text);
    ASSERT_EQ(v.has_value(), c.ok) << c.text;
    if (c.ok) EXPECT_EQ(FormatAmount(*v), c.value) << c.text;
  }
  // Beyond 18 decimals the fraction is cut toward minus infinity, where the
  // rounding rules would take it anyway.
  EXPECT_EQ(*ParseAmount("0,0000000000000000019"), *ParseAmount("0,000000000000000001"));
  EXPECT_EQ(*ParseAmount("-0,0000000000000000011"), -*ParseAmount("0,000000000000000002"));
}

// Sums, differences, products and quotients are exact; comparisons look at
// the values, whatever their denominators.
TEST(AmountArithmetic, IsExactAcrossDenominators) {
  EXPECT_EQ(A("0,1") + A("0,2"), A("0,3"));
  EXPECT_EQ(A("1000,01") - A("999,99"), A("0,02"));
  EXPECT_EQ(Amount(1) / 3 * 3, 1);
  EXPECT_EQ(A("12,5") * 100 / A("250"), 5);
  EXPECT_EQ(A("1,001") + A("1,0001") + Amount(1) / 7, A("2,0011") + Amount(1) / 7);
  EXPECT_LT(A("2,6749999"), A("2,675"));
  EXPECT_GT(Amount(1) / 3, A("0,333333333333333333"));
  EXPECT_LT(-(Amount(1) / 3), A("-0,333333333333333333"));
  EXPECT_EQ(Trunc(A("-3,99")), -3);
  EXPECT_EQ(Abs(A("-3,99")), A("3,99"));
  EXPECT_EQ(A("7,5").WholeZloty(), 7);
  // A division by zero gives 0, as the old binary path's infinity was
  // written as 0,00.
  EXPECT_EQ(A("5") / 0, 0);
}

// Long fractions multiplied together do not fit 128 bits: the operands are
// cut far below the grosz instead of overflowing, and a quotient without
// an end is floored at its 18th decimal.
TEST(AmountArithmetic, LongFractionsStayNearTheirValue) {
  const Amount x = A("123456,123456789012345678");
  const Amount y = A("654321,987654321098765432");
  // 80780056088,3434...
  EXPECT_EQ(FormatAmount(RoundGrosze(x * y)), "80780056088,34");
  // 9972792577288868,8237...: near enough for its 15 significant digits.
  const Amount p = x * y * x;
  EXPECT_GT(p, Amount(9972792577288800LL));
  EXPECT_LT(p, Amount(9972792577288900LL));
  EXPECT_EQ(RoundGroszeCents(x / y * y), RoundGroszeCents(x));
  EXPECT_EQ(FormatAmount(RoundGrosze(Amount(1) / 7 * A("7000000,0049"))), "1000000,00");
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
      ASSERT_EQ(RoundGroszeCents(*v + A("1000,01") - A("1000,01")), cents(t)) << text(t);
      if (t % 10 == 0) {
        const std::string two = text(t).substr(0, text(t).size() - 1);
        ASSERT_EQ(FormatAmount(*v), two);
      }
    }
  }
}

}  // namespace
}  // namespace pit
