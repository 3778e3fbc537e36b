// Amount texts from anywhere (typed, read from a document, given on the
// command line) go through the same few functions; whatever comes in, they
// must not crash and must keep their promises about what comes out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "forms/values.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Exactly two decimals after one comma, an optional leading minus. The
// shape only: a carry past the largest amount makes a longer text, which is
// then no amount.
bool IsNormalisedAmount(const std::string& s) {
  const std::size_t start = !s.empty() && s[0] == '-' ? 1 : 0;
  const std::size_t comma = s.find(',');
  return comma != std::string::npos && comma > start && s.size() == comma + 3 &&
         s.find_first_not_of("0123456789", start) == comma &&
         s.find_first_not_of("0123456789", comma + 1) == std::string::npos;
}

// What the amount box can hold: at most one comma, at most two decimals,
// "-" only in front.
bool IsBoxText(const std::string& s) {
  const auto comma = s.find(',');
  if (comma != std::string::npos && (s.find(',', comma + 1) != std::string::npos ||
                                     s.size() - comma - 1 > 2))
    return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (!((c >= '0' && c <= '9') || c == ',' || (c == '-' && i == 0))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  (void)pit::NormaliseAmount(text);
  (void)pit::MaskNip(text, 1);
  Check(pit::MaskNip(text, 2).size() == 13);
  Check(pit::MaskDate(text).size() == 10);

  const std::string box = pit::TypeIntoAmountBox(text, false, 1);
  Check(IsBoxText(box));
  Check(pit::TypeIntoAmountBox(text, true, 2).find_first_not_of("0123456789") ==
        std::string::npos);

  const auto grosze = pit::RoundAmountToGrosze(text);
  const auto zloty = pit::RoundAmountToZloty(text);
  const auto parsed = pit::ParseAmountText(text);
  Check(grosze.has_value() == parsed.has_value() && zloty.has_value() == parsed.has_value());
  const std::string shown = pit::AmountAsShown(text, pit::kLiczba, 11);
  if (!parsed) {
    Check(shown == text);
    return 0;
  }
  Check(IsNormalisedAmount(*grosze) && IsNormalisedAmount(*zloty));
  Check(zloty->substr(zloty->size() - 3) == ",00");
  // Rounding twice changes nothing (a carried text past the largest amount
  // is no amount to round again).
  Check(!pit::IsAmountText(*grosze) || pit::RoundAmountToGrosze(*grosze) == grosze);
  Check(shown.find_first_not_of("0123456789 ,-") == std::string::npos);

  // Against the exact value the calculations read: the grosze within half a
  // grosz of it, the złoty within half a złoty of those grosze. Only a carry
  // past the largest amount ("9999999999999,995" -> "10000000000000,00")
  // gives a text that is no amount, and so has no value to compare.
  const std::optional<pit::Amount> x = pit::AmountValue(text);
  const std::optional<pit::Amount> g = pit::AmountValue(*grosze);
  const std::optional<pit::Amount> z = pit::AmountValue(*zloty);
  Check(x.has_value());
  const bool nearLargest = pit::Abs(*x) >= pit::Amount(9999999999999);
  Check((g.has_value() && z.has_value()) || nearLargest);
  if (g) Check(pit::Abs(*g - *x) <= pit::Amount::Fraction(5, 1000));
  if (g && z) Check(pit::Abs(*z - *g) <= pit::Amount::Fraction(1, 2));
  return 0;
}
