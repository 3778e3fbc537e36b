// The .xsd source parsers on arbitrary bytes: no crash, the full table, texts
// that fit their record fields, and a table that reads back unchanged from
// the cache written from it (the first and every later start must agree).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "refdata/dictionaries.h"
#include "text/cp1250.h"

namespace {

bool Fits(const std::string& text, std::size_t width) {
  return text.find('\0') == std::string::npos && pit::Cp1250Length(text) < width;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);

  const auto offices = pit::ParseTaxOfficeSource(bytes);
  if (offices.size() != pit::kTaxOfficeCapacity) std::abort();
  for (const auto& o : offices) {
    if (!Fits(o.Name, pit::kDictNameWidth) || !Fits(o.Code, pit::kOfficeCodeWidth) ||
        !Fits(o.Town, pit::kOfficeTownWidth)) {
      std::abort();
    }
  }
  if (pit::DecodeTaxOfficeCache(pit::EncodeTaxOfficeCache(offices)) != offices) std::abort();

  const auto countries = pit::ParseCountrySource(bytes);
  if (countries.size() != pit::kCountryCapacity) std::abort();
  for (const auto& c : countries) {
    if (!Fits(c.Name, pit::kDictNameWidth) || !Fits(c.Code, pit::kCountryCodeWidth)) std::abort();
  }
  if (pit::DecodeCountryCache(pit::EncodeCountryCache(countries)) != countries) std::abort();
  return 0;
}
