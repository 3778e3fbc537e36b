// Amount texts from anywhere (typed, read from a document, given on the
// command line) go through the same few functions; whatever comes in, they
// must not crash and must keep their promises about what comes out.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "forms/values.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Exactly two decimals after one comma, an optional leading minus.
bool IsNormalisedAmount(const std::string& s) {
  const auto a = pit::ParseAmountText(s);
  return a && !a->Whole.empty() && a->Fraction.size() == 2 && s.find(',') != std::string::npos;
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
  Check(pit::RoundAmountToGrosze(*grosze) == grosze);  // rounding twice changes nothing
  Check(shown.find_first_not_of("0123456789 ,-") == std::string::npos);

  // Against the binary value where it is precise enough to tell.
  if (parsed->Whole.size() + parsed->Fraction.size() <= 15) {
    const long double x = *pit::AmountValue(text);
    const long double g = *pit::AmountValue(*grosze);
    const long double z = *pit::AmountValue(*zloty);
    const long double slack = 1e-9L + std::fabs(x) * 1e-15L;
    Check(std::fabs(g - x) <= 0.005L + slack);
    Check(std::fabs(z - x) <= 0.5L + 0.005L + slack);
  }
  return 0;
}
