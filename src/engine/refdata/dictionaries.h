#pragma once
// The two dictionaries behind the pick lists: tax offices and countries.
// Each has a text source ("US.xsd", "KR.xsd": Windows-1250, one "code,name"
// per line) and a cache of fixed-size records ("US.bib", "KR.bib") written
// from the source on the first start and read on every later one. This is
// the only code that knows either format.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pit {

constexpr std::size_t kTaxOfficeCapacity = 400;
constexpr std::size_t kTaxOfficeRecordSize = 524;
constexpr std::size_t kCountryCapacity = 248;
constexpr std::size_t kCountryRecordSize = 272;

// Field widths inside the cache records (zero-terminated Windows-1250).
constexpr std::size_t kDictNameWidth = 255;
constexpr std::size_t kOfficeCodeWidth = 10;
constexpr std::size_t kOfficeTownWidth = 255;
constexpr std::size_t kCountryCodeWidth = 13;

constexpr const char* kTaxOfficeSourceName = "US.xsd";
constexpr const char* kTaxOfficeCacheName = "US.bib";
constexpr const char* kCountrySourceName = "KR.xsd";
constexpr const char* kCountryCacheName = "KR.bib";

// Texts are UTF-8 and already fit their record fields.
struct TaxOffice {
  std::int32_t Index = 0;  // line number in the source, from 0
  std::string Name;        // full office name
  std::string Code;        // four-digit office code
  std::string Town;        // for sorting the pick list
  bool operator==(const TaxOffice& o) const {
    return Index == o.Index && Name == o.Name && Code == o.Code && Town == o.Town;
  }
};

struct Country {
  std::int32_t Index = 0;
  std::string Name;
  std::string Code;
  bool operator==(const Country& o) const { return Index == o.Index && Name == o.Name && Code == o.Code; }
};

// The town part of an office name: what follows " W " or " WE " after
// "URZĄD SKARBOWY", else the rest after that marker without its leading
// blank ("URZĄD SKARBOWY WROCŁAW-FABRYCZNA" gives "WROCŁAW-FABRYCZNA").
// A name without the marker is searched whole and, failing that, kept whole.
std::string OfficeTown(std::string_view name);

// Sources: the bytes of a whole .xsd file. Lines end at LF (a CR before it
// is dropped); each is split on its first comma into code and name, a line
// without a comma being all name. Lines past the capacity are ignored. The
// result always has the full capacity; records past the last line are empty.
std::vector<TaxOffice> ParseTaxOfficeSource(const std::vector<std::uint8_t>& bytes);
std::vector<Country> ParseCountrySource(const std::vector<std::uint8_t>& bytes);

// Caches: exactly capacity x record size bytes. Tables shorter than the
// capacity are padded with empty records, longer ones cut.
std::vector<std::uint8_t> EncodeTaxOfficeCache(const std::vector<TaxOffice>& offices);
std::vector<std::uint8_t> EncodeCountryCache(const std::vector<Country>& countries);

// Reads the whole records the bytes hold, up to the capacity; the rest of
// the table stays empty. A trailing partial record and anything past the
// capacity are ignored. Always returns the full capacity.
std::vector<TaxOffice> DecodeTaxOfficeCache(const std::vector<std::uint8_t>& bytes);
std::vector<Country> DecodeCountryCache(const std::vector<std::uint8_t>& bytes);

class TaxOfficeTable {
 public:
  TaxOfficeTable();
  explicit TaxOfficeTable(std::vector<TaxOffice> records);
  // All kTaxOfficeCapacity records in source order, empty ones included.
  const std::vector<TaxOffice>& Records() const { return records_; }
  // First office with this code; nullptr for an unknown or empty code.
  const TaxOffice* FindByCode(std::string_view code) const;
  // Whether any office has a code: a list that could not be read has none.
  bool HasCodes() const;

 private:
  std::vector<TaxOffice> records_;
};

class CountryTable {
 public:
  CountryTable();
  explicit CountryTable(std::vector<Country> records);
  const std::vector<Country>& Records() const { return records_; }
  // Exact, case-sensitive; empty when nothing matches.
  std::string NameByCode(std::string_view code) const;
  std::string CodeByName(std::string_view name) const;
  // "name=code" for every record, in record order.
  const std::vector<std::string>& LookupList() const { return lookup_; }

 private:
  std::vector<Country> records_;
  std::vector<std::string> lookup_;
};

struct TaxOfficeLoad {
  TaxOfficeTable Table;
  std::string Message;   // for the user when the source was needed and missing
  bool FromCache = false;
  bool CacheWritten = false;
};

struct CountryLoad {
  CountryTable Table;
  std::string Message;
  bool FromCache = false;
  bool CacheWritten = false;
};

// Start-up loading from the "bib" folder: the cache when it holds the whole
// table and is not older than the source; otherwise the source, whose table
// is then written as the new cache. Without a source the message is set and
// whatever the cache holds is used; no cache is written. The one-argument
// form keeps the cache beside its source; the programs keep it in the
// user's cache folder (see DictionaryCacheFolder), and an empty
// `cacheFolder` there means no cache at all: the source is read each time.
TaxOfficeLoad LoadTaxOffices(const std::string& bibFolder);
CountryLoad LoadCountries(const std::string& bibFolder);
TaxOfficeLoad LoadTaxOffices(const std::string& bibFolder, const std::string& cacheFolder);
CountryLoad LoadCountries(const std::string& bibFolder, const std::string& cacheFolder);

}  // namespace pit
