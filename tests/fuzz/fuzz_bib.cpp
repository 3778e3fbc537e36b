// The .bib cache readers on arbitrary bytes: they must not crash, must
// always give the full table, and what they read must survive being written
// back and read again unchanged.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "refdata/dictionaries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);

  const auto offices = pit::DecodeTaxOfficeCache(bytes);
  if (offices.size() != pit::kTaxOfficeCapacity) std::abort();
  const auto officeBytes = pit::EncodeTaxOfficeCache(offices);
  if (officeBytes.size() != pit::kTaxOfficeCapacity * pit::kTaxOfficeRecordSize) std::abort();
  if (pit::DecodeTaxOfficeCache(officeBytes) != offices) std::abort();
  const pit::TaxOfficeTable officeTable(offices);
  for (const auto& o : offices) {
    if (!o.Code.empty() && officeTable.FindByCode(o.Code) == nullptr) std::abort();
  }

  const auto countries = pit::DecodeCountryCache(bytes);
  if (countries.size() != pit::kCountryCapacity) std::abort();
  const auto countryBytes = pit::EncodeCountryCache(countries);
  if (countryBytes.size() != pit::kCountryCapacity * pit::kCountryRecordSize) std::abort();
  if (pit::DecodeCountryCache(countryBytes) != countries) std::abort();
  const pit::CountryTable countryTable(countries);
  if (countryTable.LookupList().size() != pit::kCountryCapacity) std::abort();
  for (std::size_t i = 0; i < countries.size(); ++i) {
    if (countryTable.LookupList()[i] != countries[i].Name + "=" + countries[i].Code) std::abort();
    countryTable.CodeByName(countries[i].Name);
    countryTable.NameByCode(countries[i].Code);
  }
  return 0;
}
