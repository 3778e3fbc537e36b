#include "refdata/dictionaries.h"

#include <filesystem>

#include <algorithm>
#include <utility>

#include "app/file_io.h"
#include "text/bytes.h"
#include "text/cp1250.h"

namespace pit {
namespace {

constexpr std::string_view kOfficeMarker = "URZĄD SKARBOWY";

constexpr const char* kMissingOfficeSource = "Brak pliku XSD z definicjami Urzędów Skarbowych: ";
constexpr const char* kMissingCountrySource = "Brak pliku XSD z definicjami krajow: ";

// Offsets inside the cache records.
constexpr std::size_t kIndexOffset = 0;
constexpr std::size_t kNameOffset = 4;
constexpr std::size_t kCodeOffset = kNameOffset + kDictNameWidth;        // 259
constexpr std::size_t kTownOffset = kCodeOffset + kOfficeCodeWidth;      // 269
static_assert(kTownOffset + kOfficeTownWidth == kTaxOfficeRecordSize);
static_assert(kCodeOffset + kCountryCodeWidth == kCountryRecordSize);

// What a zero-terminated field of `width` keeps of a text: a zero byte ends
// it just as it would in the record, so a table built from the source and
// the same table read back from its cache are equal.
std::string FieldText(std::string_view utf8, std::size_t width) {
  const std::size_t zero = utf8.find('\0');
  if (zero != std::string_view::npos) utf8 = utf8.substr(0, zero);
  return FitWidth(utf8, width);
}

std::size_t FirstCharLength(std::string_view s) {
  if (s.empty()) return 0;
  const auto b = static_cast<unsigned char>(s[0]);
  std::size_t n = 1;
  if ((b & 0xE0) == 0xC0) {
    n = 2;
  } else if ((b & 0xF0) == 0xE0) {
    n = 3;
  } else if ((b & 0xF8) == 0xF0) {
    n = 4;
  }
  return std::min(n, s.size());
}

struct SourceLine {
  std::string Code;
  std::string Name;
};

// Lines of a Windows-1250 source, decoded and split on their first comma.
// A last line without its line feed still counts; the empty rest after a
// final line feed does not.
std::vector<SourceLine> ReadSourceLines(const std::vector<std::uint8_t>& bytes, std::size_t capacity,
                                        std::size_t codeWidth) {
  std::vector<SourceLine> lines;
  const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::size_t pos = 0;
  while (pos < all.size() && lines.size() < capacity) {
    std::size_t end = all.find('\n', pos);
    const std::size_t next = end == std::string_view::npos ? all.size() : end + 1;
    if (end == std::string_view::npos) end = all.size();
    std::string_view raw = all.substr(pos, end - pos);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string text = Cp1250ToUtf8(raw);
    const std::size_t comma = text.find(',');
    SourceLine line;
    if (comma == std::string::npos) {
      line.Name = FieldText(text, kDictNameWidth);
    } else {
      line.Code = FieldText(std::string_view(text).substr(0, comma), codeWidth);
      line.Name = FieldText(std::string_view(text).substr(comma + 1), kDictNameWidth);
    }
    lines.push_back(std::move(line));
    pos = next;
  }
  return lines;
}

// A field without its terminating zero is cut to what the field can hold
// with one, so that a table read from any cache can be written back as read.
std::string ReadField(const std::uint8_t* field, std::size_t width) {
  return FitWidth(ReadFixedText(field, width), width);
}

const std::uint8_t* RecordAt(const std::vector<std::uint8_t>& bytes, std::size_t i, std::size_t size) {
  return bytes.data() + i * size;
}

}  // namespace

std::string OfficeTown(std::string_view name) {
  const std::size_t marker = name.find(kOfficeMarker);
  std::string_view rest = marker == std::string_view::npos ? name : name.substr(marker + kOfficeMarker.size());
  bool found = false;
  const std::size_t w = rest.find(" W ");
  if (w != std::string_view::npos) {
    rest = rest.substr(w + 3);
    found = true;
  }
  const std::size_t we = rest.find(" WE ");
  if (we != std::string_view::npos) {
    rest = rest.substr(we + 4);
    found = true;
  }
  if (!found && marker != std::string_view::npos) rest.remove_prefix(FirstCharLength(rest));
  return std::string(rest);
}

std::vector<TaxOffice> ParseTaxOfficeSource(const std::vector<std::uint8_t>& bytes) {
  std::vector<TaxOffice> offices(kTaxOfficeCapacity);
  const auto lines = ReadSourceLines(bytes, kTaxOfficeCapacity, kOfficeCodeWidth);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    TaxOffice& o = offices[i];
    o.Index = static_cast<std::int32_t>(i);
    o.Code = lines[i].Code;
    o.Name = lines[i].Name;
    o.Town = FieldText(OfficeTown(o.Name), kOfficeTownWidth);
  }
  return offices;
}

std::vector<Country> ParseCountrySource(const std::vector<std::uint8_t>& bytes) {
  std::vector<Country> countries(kCountryCapacity);
  const auto lines = ReadSourceLines(bytes, kCountryCapacity, kCountryCodeWidth);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Country& c = countries[i];
    c.Index = static_cast<std::int32_t>(i);
    c.Code = lines[i].Code;
    c.Name = lines[i].Name;
  }
  return countries;
}

std::vector<std::uint8_t> EncodeTaxOfficeCache(const std::vector<TaxOffice>& offices) {
  std::vector<std::uint8_t> bytes(kTaxOfficeCapacity * kTaxOfficeRecordSize, 0);
  const std::size_t n = std::min(offices.size(), kTaxOfficeCapacity);
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t* r = bytes.data() + i * kTaxOfficeRecordSize;
    PutI32(r + kIndexOffset, offices[i].Index);
    WriteFixedText(r + kNameOffset, kDictNameWidth, offices[i].Name);
    WriteFixedText(r + kCodeOffset, kOfficeCodeWidth, offices[i].Code);
    WriteFixedText(r + kTownOffset, kOfficeTownWidth, offices[i].Town);
  }
  return bytes;
}

std::vector<std::uint8_t> EncodeCountryCache(const std::vector<Country>& countries) {
  std::vector<std::uint8_t> bytes(kCountryCapacity * kCountryRecordSize, 0);
  const std::size_t n = std::min(countries.size(), kCountryCapacity);
  for (std::size_t i = 0; i < n; ++i) {
    std::uint8_t* r = bytes.data() + i * kCountryRecordSize;
    PutI32(r + kIndexOffset, countries[i].Index);
    WriteFixedText(r + kNameOffset, kDictNameWidth, countries[i].Name);
    WriteFixedText(r + kCodeOffset, kCountryCodeWidth, countries[i].Code);
  }
  return bytes;
}

std::vector<TaxOffice> DecodeTaxOfficeCache(const std::vector<std::uint8_t>& bytes) {
  std::vector<TaxOffice> offices(kTaxOfficeCapacity);
  const std::size_t n = std::min(bytes.size() / kTaxOfficeRecordSize, kTaxOfficeCapacity);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* r = RecordAt(bytes, i, kTaxOfficeRecordSize);
    TaxOffice& o = offices[i];
    o.Index = GetI32(r + kIndexOffset);
    o.Name = ReadField(r + kNameOffset, kDictNameWidth);
    o.Code = ReadField(r + kCodeOffset, kOfficeCodeWidth);
    o.Town = ReadField(r + kTownOffset, kOfficeTownWidth);
  }
  return offices;
}

std::vector<Country> DecodeCountryCache(const std::vector<std::uint8_t>& bytes) {
  std::vector<Country> countries(kCountryCapacity);
  const std::size_t n = std::min(bytes.size() / kCountryRecordSize, kCountryCapacity);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t* r = RecordAt(bytes, i, kCountryRecordSize);
    Country& c = countries[i];
    c.Index = GetI32(r + kIndexOffset);
    c.Name = ReadField(r + kNameOffset, kDictNameWidth);
    c.Code = ReadField(r + kCodeOffset, kCountryCodeWidth);
  }
  return countries;
}

TaxOfficeTable::TaxOfficeTable() : records_(kTaxOfficeCapacity) {}

TaxOfficeTable::TaxOfficeTable(std::vector<TaxOffice> records) : records_(std::move(records)) {
  records_.resize(kTaxOfficeCapacity);
}

const TaxOffice* TaxOfficeTable::FindByCode(std::string_view code) const {
  if (code.empty()) return nullptr;
  for (const TaxOffice& o : records_) {
    if (o.Code == code) return &o;
  }
  return nullptr;
}

bool TaxOfficeTable::HasCodes() const {
  for (const TaxOffice& o : records_)
    if (!o.Code.empty()) return true;
  return false;
}

CountryTable::CountryTable() : CountryTable(std::vector<Country>{}) {}

CountryTable::CountryTable(std::vector<Country> records) : records_(std::move(records)) {
  records_.resize(kCountryCapacity);
  lookup_.reserve(records_.size());
  for (const Country& c : records_) lookup_.push_back(c.Name + "=" + c.Code);
}

// Empty queries find nothing: the empty records (and a source line without
// a comma) would otherwise answer them.
std::string CountryTable::NameByCode(std::string_view code) const {
  if (code.empty()) return {};
  for (const Country& c : records_) {
    if (c.Code == code) return c.Name;
  }
  return {};
}

std::string CountryTable::CodeByName(std::string_view name) const {
  if (name.empty()) return {};
  for (const Country& c : records_) {
    if (c.Name == name) return c.Code;
  }
  return {};
}

namespace {

// One loading rule for both dictionaries. The cache is used when it holds the
// whole table and is not older than its source; otherwise the table comes
// from the source and replaces the cache. With no source, a cache is used as
// far as it goes but never written, so a missing source cannot leave an
// empty cache behind that would outlive the source's return.
template <typename Load, typename Record, typename Decode, typename Parse, typename Encode, typename Make>
Load LoadDictionary(const std::string& bibFolder, const std::string* cacheFolder, const char* cacheName,
                    const char* sourceName, std::size_t fullSize, const char* missingSource, Decode decode,
                    Parse parse, Encode encode, Make make) {
  namespace fs = std::filesystem;
  Load load;
  const bool cached = cacheFolder == nullptr || !cacheFolder->empty();
  const std::string cachePath = cached ? JoinPath(cacheFolder ? *cacheFolder : bibFolder, cacheName) : std::string();
  const std::string sourcePath = JoinPath(bibFolder, sourceName);
  const auto cache = cached ? ReadFileBytes(cachePath) : std::nullopt;
  std::error_code ec, sourceEc;
  const auto cacheTime = cached ? fs::last_write_time(fs::u8path(cachePath), ec) : fs::file_time_type{};
  const auto sourceTime = fs::last_write_time(fs::u8path(sourcePath), sourceEc);
  const bool sourceNewer = !ec && !sourceEc && sourceTime > cacheTime;
  if (cache && cache->size() >= fullSize && !sourceNewer) {
    load.Table = make(decode(*cache));
    load.FromCache = true;
    return load;
  }
  const auto source = ReadFileBytes(sourcePath);
  if (!source) {
    load.Message = missingSource + sourcePath;
    load.Table = make(cache ? decode(*cache) : std::vector<Record>{});
    load.FromCache = cache.has_value();
    return load;
  }
  std::vector<Record> records = parse(*source);
  if (cached) load.CacheWritten = WriteFileAtomically(cachePath, encode(records));
  load.Table = make(std::move(records));
  return load;
}

TaxOfficeLoad LoadTaxOfficesFrom(const std::string& bibFolder, const std::string* cacheFolder) {
  return LoadDictionary<TaxOfficeLoad, TaxOffice>(
      bibFolder, cacheFolder, kTaxOfficeCacheName, kTaxOfficeSourceName, kTaxOfficeCapacity * kTaxOfficeRecordSize,
      kMissingOfficeSource, DecodeTaxOfficeCache, ParseTaxOfficeSource, EncodeTaxOfficeCache,
      [](std::vector<TaxOffice> r) { return TaxOfficeTable(std::move(r)); });
}

CountryLoad LoadCountriesFrom(const std::string& bibFolder, const std::string* cacheFolder) {
  return LoadDictionary<CountryLoad, Country>(
      bibFolder, cacheFolder, kCountryCacheName, kCountrySourceName, kCountryCapacity * kCountryRecordSize,
      kMissingCountrySource, DecodeCountryCache, ParseCountrySource, EncodeCountryCache,
      [](std::vector<Country> r) { return CountryTable(std::move(r)); });
}

}  // namespace

TaxOfficeLoad LoadTaxOffices(const std::string& bibFolder) {
  return LoadTaxOfficesFrom(bibFolder, nullptr);
}
TaxOfficeLoad LoadTaxOffices(const std::string& bibFolder, const std::string& cacheFolder) {
  return LoadTaxOfficesFrom(bibFolder, &cacheFolder);
}
CountryLoad LoadCountries(const std::string& bibFolder) { return LoadCountriesFrom(bibFolder, nullptr); }
CountryLoad LoadCountries(const std::string& bibFolder, const std::string& cacheFolder) {
  return LoadCountriesFrom(bibFolder, &cacheFolder);
}

}  // namespace pit
