#include <gtest/gtest.h>

#include <chrono>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/file_io.h"
#include "refdata/dictionaries.h"
#include "refdata/organisations.h"
#include "text/cp1250.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::uint8_t> ShippedSource(const char* name) {
  const auto bytes = ReadFileBytes(std::string(PIT_SOURCE_DIR) + "/data/bib/" + name);
  EXPECT_TRUE(bytes.has_value()) << name;
  return bytes.value_or(std::vector<std::uint8_t>{});
}

// A fresh, empty "bib" folder per test.
class BibFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("pit-refdata-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Folder() const { return dir_.string(); }
  std::string PathOf(const char* name) const { return (dir_ / name).string(); }
  void Put(const char* name, const std::vector<std::uint8_t>& bytes) const {
    ASSERT_TRUE(WriteFileAtomically(PathOf(name), bytes));
  }
  std::uintmax_t SizeOf(const char* name) const { return fs::file_size(dir_ / name); }

  fs::path dir_;
};

TEST(OfficeTown, TakesThePartAfterTheMarker) {
  struct Case {
    const char* name;
    const char* town;
  };
  const std::vector<Case> cases = {
      {"URZĄD SKARBOWY W BOLESŁAWCU", "BOLESŁAWCU"},
      {"PIERWSZY URZĄD SKARBOWY ŁÓDŹ-BAŁUTY", "ŁÓDŹ-BAŁUTY"},
      {"URZĄD SKARBOWY WROCŁAW-FABRYCZNA", "WROCŁAW-FABRYCZNA"},
      {"ZACHODNIOPOMORSKI URZĄD SKARBOWY W SZCZECINIE", "SZCZECINIE"},
      {"PIERWSZY URZĄD SKARBOWY WE WROCŁAWIU", "WROCŁAWIU"},
      {"URZĄD SKARBOWY WE WŁOCŁAWKU", "WŁOCŁAWKU"},
      {"URZĄD SKARBOWY W STARGARDZIE SZCZECIŃSKIM", "STARGARDZIE SZCZECIŃSKIM"},
      // Only the first " W " counts; a " WE " left after it is cut too.
      {"URZĄD SKARBOWY W NOWYM DWORZE W GDAŃSKU", "NOWYM DWORZE W GDAŃSKU"},
      {"URZĄD SKARBOWY W X WE Y", "Y"},
      // " W " before the marker is not looked at.
      {"ODDZIAŁ W RADOMIU URZĄD SKARBOWY KIELCE", "KIELCE"},
      // The dropped first character is a whole letter, not a byte.
      {"URZĄD SKARBOWYŁÓDŹ", "ÓDŹ"},
      {"URZĄD SKARBOWY", ""},
      // Without the marker the whole name is searched, else kept.
      {"ODDZIAŁ W RADOMIU", "RADOMIU"},
      {"BIURO", "BIURO"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(OfficeTown(c.name), c.town) << c.name;
}

TEST(ShippedDictionaries, EveryOfficeHasCodeAndTown) {
  const auto offices = ParseTaxOfficeSource(ShippedSource("US.xsd"));
  ASSERT_EQ(offices.size(), kTaxOfficeCapacity);
  for (std::size_t i = 0; i < offices.size(); ++i) {
    const TaxOffice& o = offices[i];
    EXPECT_EQ(o.Index, static_cast<std::int32_t>(i));
    EXPECT_EQ(o.Code.size(), 4u) << i;
    EXPECT_NE(o.Name.find("URZĄD SKARBOWY"), std::string::npos) << o.Name;
    EXPECT_FALSE(o.Town.empty()) << o.Name;
    EXPECT_NE(o.Town.front(), ' ') << o.Name;
    EXPECT_NE(o.Name.find(o.Town), std::string::npos) << o.Name;
  }
  EXPECT_EQ(offices.front().Code, "0202");
  EXPECT_EQ(offices.front().Name, "URZĄD SKARBOWY W BOLESŁAWCU");

  const TaxOfficeTable table(offices);
  const TaxOffice* szczecin = table.FindByCode("3271");
  ASSERT_NE(szczecin, nullptr);
  EXPECT_EQ(szczecin->Name, "ZACHODNIOPOMORSKI URZĄD SKARBOWY W SZCZECINIE");
  EXPECT_EQ(szczecin->Town, "SZCZECINIE");
  EXPECT_EQ(table.FindByCode("9999"), nullptr);
  EXPECT_EQ(table.FindByCode(""), nullptr);
}

TEST(ShippedDictionaries, CountriesAndLookups) {
  const CountryTable table(ParseCountrySource(ShippedSource("KR.xsd")));
  ASSERT_EQ(table.Records().size(), kCountryCapacity);
  for (const Country& c : table.Records()) {
    EXPECT_EQ(c.Code.size(), 2u) << c.Name;
    EXPECT_FALSE(c.Name.empty()) << c.Code;
  }
  EXPECT_EQ(table.Records().back().Index, static_cast<std::int32_t>(kCountryCapacity - 1));

  struct Case {
    const char* code;
    const char* name;
  };
  const std::vector<Case> found = {
      {"CD", "KONGO, REPUBLIKA DEMOKRATYCZNA"},  // only the first comma splits
      {"PL", "POLSKA"},
      {"DE", "NIEMCY"},
      {"AF", "AFGANISTAN"},
  };
  for (const Case& c : found) {
    EXPECT_EQ(table.NameByCode(c.code), c.name);
    EXPECT_EQ(table.CodeByName(c.name), c.code);
  }
  // Unknown, differently cased, partial and empty texts find nothing.
  for (const char* name : {"ATLANTYDA", "polska", "POLSKA ", "KONGO, REPUBLIKA", ""}) {
    EXPECT_EQ(table.CodeByName(name), "") << name;
  }
  for (const char* code : {"XX", "pl", ""}) EXPECT_EQ(table.NameByCode(code), "") << code;

  const auto& list = table.LookupList();
  ASSERT_EQ(list.size(), kCountryCapacity);
  EXPECT_EQ(list.front(), "AFGANISTAN=AF");
  EXPECT_EQ(list[102], "KONGO, REPUBLIKA DEMOKRATYCZNA=CD");
}

TEST(SourceParsing, LinesAndCommas) {
  struct Line {
    const char* code;
    const char* name;
  };
  struct Case {
    const char* label;
    std::string source;
    std::vector<Line> lines;  // the records expected before the empty rest
  };
  const std::vector<Case> cases = {
      {"lf", "AF,AFGANISTAN\nPL,POLSKA\n", {{"AF", "AFGANISTAN"}, {"PL", "POLSKA"}}},
      {"crlf", "AF,AFGANISTAN\r\nPL,POLSKA\r\n", {{"AF", "AFGANISTAN"}, {"PL", "POLSKA"}}},
      {"no final line feed", "AF,AFGANISTAN\nPL,POLSKA", {{"AF", "AFGANISTAN"}, {"PL", "POLSKA"}}},
      {"first comma", "CD,KONGO, REPUBLIKA DEMOKRATYCZNA\n", {{"CD", "KONGO, REPUBLIKA DEMOKRATYCZNA"}}},
      {"no comma", "BEZ PRZECINKA\nPL,POLSKA\n", {{"", "BEZ PRZECINKA"}, {"PL", "POLSKA"}}},
      {"empty parts", ",\n,X\nY,\n", {{"", ""}, {"", "X"}, {"Y", ""}}},
      {"empty line keeps its number", "AF,A\n\nPL,P\n", {{"AF", "A"}, {"", ""}, {"PL", "P"}}},
      {"cr inside a line stays", "A\rB,C\r\n", {{"A\rB", "C"}}},
      {"zero byte ends the text", std::string("PL,POL\0SKA\n", 11), {{"PL", "POL"}}},
      {"code cut to its field", "ABCDEFGHIJKLMNOP,X\n", {{"ABCDEFGHIJKL", "X"}}},
      {"windows-1250", "PL,\xA3\xD3\x8C\xAF\x8F\xA5\xCA\xC6\xD1 \xB3\xF3\x9C\xBF\x9F\xB9\xEA\xE6\xF1\n",
       {{"PL", "ŁÓŚŻŹĄĘĆŃ łóśżźąęćń"}}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const auto countries = ParseCountrySource(Bytes(c.source));
    ASSERT_EQ(countries.size(), kCountryCapacity);
    for (std::size_t i = 0; i < countries.size(); ++i) {
      if (i < c.lines.size()) {
        EXPECT_EQ(countries[i].Index, static_cast<std::int32_t>(i));
        EXPECT_EQ(countries[i].Code, c.lines[i].code);
        EXPECT_EQ(countries[i].Name, c.lines[i].name);
      } else {
        EXPECT_EQ(countries[i], Country{}) << "record " << i;
      }
    }
  }
}

TEST(SourceParsing, LinesPastCapacityAreIgnoredAndLongTextsCut) {
  std::string source;
  for (int i = 0; i < 405; ++i) source += std::to_string(1000 + i) + ",URZĄD SKARBOWY W MIEŚCIE " + std::to_string(i) + "\n";
  const auto offices = ParseTaxOfficeSource(Bytes(Utf8ToCp1250(source)));
  ASSERT_EQ(offices.size(), kTaxOfficeCapacity);
  EXPECT_EQ(offices.back().Code, "1399");
  EXPECT_EQ(offices.back().Town, "MIEŚCIE 399");

  std::string longName = "URZĄD SKARBOWY W ";
  for (int i = 0; i < 300; ++i) longName += "Ź";
  const auto cut = ParseTaxOfficeSource(Bytes(Utf8ToCp1250("1234567890123," + longName)));
  EXPECT_EQ(cut[0].Code, "123456789");
  EXPECT_EQ(Cp1250Length(cut[0].Name), kDictNameWidth - 1);
  std::string town;
  for (int i = 0; i < 254 - 17; ++i) town += "Ź";
  EXPECT_EQ(cut[0].Town, town);
}

// The start-up load of either dictionary, seen the same way for both.
struct Dictionary {
  const char* label;
  const char* sourceName;
  const char* cacheName;
  std::uintmax_t cacheSize;
  std::size_t capacity;
  std::string missingMessage;
  struct Result {
    std::string message;
    bool fromCache;
    bool cacheWritten;
    std::vector<std::uint8_t> tableBytes;  // the table in cache form, for comparing loads
    std::size_t nonEmpty;
  };
  std::function<Result(const std::string&)> load;
};

std::vector<Dictionary> Dictionaries() {
  return {
      {"tax offices", kTaxOfficeSourceName, kTaxOfficeCacheName, 209600, kTaxOfficeCapacity,
       "Brak pliku XSD z definicjami Urzędów Skarbowych: ",
       [](const std::string& folder) {
         const TaxOfficeLoad l = LoadTaxOffices(folder);
         std::size_t n = 0;
         for (const auto& o : l.Table.Records()) n += !(o == TaxOffice{});
         return Dictionary::Result{l.Message, l.FromCache, l.CacheWritten,
                                   EncodeTaxOfficeCache(l.Table.Records()), n};
       }},
      {"countries", kCountrySourceName, kCountryCacheName, 248 * 272, kCountryCapacity,
       "Brak pliku XSD z definicjami krajow: ",
       [](const std::string& folder) {
         const CountryLoad l = LoadCountries(folder);
         std::size_t n = 0;
         for (const auto& c : l.Table.Records()) n += !(c == Country{});
         EXPECT_EQ(l.Table.LookupList().size(), kCountryCapacity);
         return Dictionary::Result{l.Message, l.FromCache, l.CacheWritten,
                                   EncodeCountryCache(l.Table.Records()), n};
       }},
  };
}

TEST_F(BibFolder, FirstStartBuildsTheCacheAndLaterStartsReadIt) {
  for (const Dictionary& d : Dictionaries()) {
    SCOPED_TRACE(d.label);
    Put(d.sourceName, ShippedSource(d.sourceName));
    const auto first = d.load(Folder());
    EXPECT_EQ(first.message, "");
    EXPECT_FALSE(first.fromCache);
    EXPECT_TRUE(first.cacheWritten);
    ASSERT_TRUE(fs::exists(dir_ / d.cacheName));
    EXPECT_EQ(SizeOf(d.cacheName), d.cacheSize);
    EXPECT_EQ(first.nonEmpty, d.capacity);

    // Later starts read the cache, as long as the source is not newer.
    Put(d.sourceName, Bytes("00,ZMIENIONE\n"));
    const auto cacheTime = fs::last_write_time(dir_ / d.cacheName);
    fs::last_write_time(dir_ / d.sourceName, cacheTime - std::chrono::hours(1));
    const auto second = d.load(Folder());
    EXPECT_TRUE(second.fromCache);
    EXPECT_FALSE(second.cacheWritten);
    EXPECT_EQ(second.tableBytes, first.tableBytes);
    EXPECT_EQ(*ReadFileBytes(PathOf(d.cacheName)), first.tableBytes);

    // A source changed after the cache was made replaces it.
    fs::last_write_time(dir_ / d.sourceName, cacheTime + std::chrono::hours(1));
    const auto third = d.load(Folder());
    EXPECT_FALSE(third.fromCache);
    EXPECT_TRUE(third.cacheWritten);
    EXPECT_EQ(third.nonEmpty, 1u);
  }
}

// Without a source nothing is written: an empty cache would outlive the
// source's return and leave the lists empty for good.
TEST_F(BibFolder, MissingSourceGivesTheMessageAndWritesNoCache) {
  for (const Dictionary& d : Dictionaries()) {
    SCOPED_TRACE(d.label);
    const auto first = d.load(Folder());
    EXPECT_EQ(first.message, d.missingMessage + PathOf(d.sourceName));
    EXPECT_EQ(first.nonEmpty, 0u);
    EXPECT_FALSE(first.cacheWritten);
    EXPECT_FALSE(fs::exists(dir_ / d.cacheName));

    Put(d.sourceName, Bytes("PL,POLSKA\n"));
    const auto second = d.load(Folder());
    EXPECT_EQ(second.message, "");
    EXPECT_FALSE(second.fromCache);
    EXPECT_EQ(second.nonEmpty, 1u);
    EXPECT_EQ(SizeOf(d.cacheName), d.cacheSize);
  }
}

TEST_F(BibFolder, CacheShorterThanTheWholeTableIsRebuilt) {
  for (const Dictionary& d : Dictionaries()) {
    SCOPED_TRACE(d.label);
    Put(d.sourceName, Bytes("1234,URZĄD SKARBOWY W TESTOWIE\n"));
    for (std::size_t size : {std::size_t{0}, std::size_t{271}, std::size_t(d.cacheSize - 1)}) {
      Put(d.cacheName, std::vector<std::uint8_t>(size, 0xFF));
      fs::last_write_time(dir_ / d.sourceName, fs::last_write_time(dir_ / d.cacheName) - std::chrono::hours(1));
      const auto load = d.load(Folder());
      EXPECT_FALSE(load.fromCache) << size;
      EXPECT_EQ(load.nonEmpty, 1u) << size;
      EXPECT_EQ(SizeOf(d.cacheName), d.cacheSize) << size;
    }
    // With the source gone, a short cache is used as far as it goes, with the message.
    const auto whole = *ReadFileBytes(PathOf(d.cacheName));
    Put(d.cacheName, std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<long>(d.cacheSize / 2)));
    fs::remove(dir_ / d.sourceName);
    const auto load = d.load(Folder());
    EXPECT_EQ(load.message, d.missingMessage + PathOf(d.sourceName));
    EXPECT_TRUE(load.fromCache);
    EXPECT_EQ(load.nonEmpty, 1u);
    EXPECT_EQ(SizeOf(d.cacheName), d.cacheSize / 2);
  }
}

TEST_F(BibFolder, PolishLettersSurviveTheCache) {
  const std::string name = "URZĄD SKARBOWY W ĄĆĘŁŃÓŚŹŻ ąćęłńóśźż";
  Put(kTaxOfficeSourceName, Bytes(Utf8ToCp1250("9999," + name + "\r\n")));
  const TaxOfficeLoad built = LoadTaxOffices(Folder());
  EXPECT_EQ(built.Table.Records()[0].Name, name);
  EXPECT_EQ(built.Table.Records()[0].Town, "ĄĆĘŁŃÓŚŹŻ ąćęłńóśźż");

  // In the file the letters are single Windows-1250 bytes at the name's offset.
  const auto cache = *ReadFileBytes(PathOf(kTaxOfficeCacheName));
  const std::string expected = Utf8ToCp1250(name);
  ASSERT_EQ(expected.size(), 36u);
  EXPECT_EQ(std::string(cache.begin() + 4, cache.begin() + 4 + expected.size()), expected);
  EXPECT_EQ(cache[4 + expected.size()], 0);
  EXPECT_EQ(std::string(cache.begin() + 259, cache.begin() + 263), "9999");

  const TaxOfficeLoad read = LoadTaxOffices(Folder());
  ASSERT_TRUE(read.FromCache);
  EXPECT_EQ(read.Table.Records(), built.Table.Records());
}

TEST(CacheReading, ShortAndOversizedCaches) {
  const auto offices = ParseTaxOfficeSource(ShippedSource("US.xsd"));
  const auto full = EncodeTaxOfficeCache(offices);
  struct Case {
    const char* label;
    std::size_t bytes;
    std::size_t records;  // whole records expected back
  };
  const std::vector<Case> cases = {
      {"three and a half records", 3 * kTaxOfficeRecordSize + kTaxOfficeRecordSize / 2, 3},
      {"one record", kTaxOfficeRecordSize, 1},
      {"one byte short of all", full.size() - 1, kTaxOfficeCapacity - 1},
      {"less than a record", kTaxOfficeRecordSize - 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const auto read = DecodeTaxOfficeCache(std::vector<std::uint8_t>(full.begin(), full.begin() + c.bytes));
    ASSERT_EQ(read.size(), kTaxOfficeCapacity);
    for (std::size_t i = 0; i < read.size(); ++i) {
      if (i < c.records) {
        EXPECT_EQ(read[i], offices[i]) << i;
      } else {
        EXPECT_EQ(read[i], TaxOffice{}) << i;
      }
    }
  }
  // Bytes past the full record count are ignored.
  auto longer = full;
  longer.resize(full.size() + 3 * kTaxOfficeRecordSize, 'X');
  EXPECT_EQ(DecodeTaxOfficeCache(longer), offices);
}

TEST(CacheReading, TextsWithoutTheirZeroAreCutToWhatTheFieldHolds) {
  std::vector<std::uint8_t> record(kCountryRecordSize, 'A');
  record[0] = 0x07;
  record[1] = 0x01;
  record[2] = record[3] = 0;
  const auto read = DecodeCountryCache(record);
  EXPECT_EQ(read[0].Index, 263);
  EXPECT_EQ(read[0].Name, std::string(kDictNameWidth - 1, 'A'));
  EXPECT_EQ(read[0].Code, std::string(kCountryCodeWidth - 1, 'A'));
  EXPECT_EQ(DecodeCountryCache(EncodeCountryCache(read)), read);
}

TEST(Organisations, ListAndGridRows) {
  const auto& list = OrganisationList();
  ASSERT_EQ(list.size(), 12u);
  EXPECT_EQ(list[0].Name, "Samodzielnie wpiszę KRS innej OPP");
  EXPECT_EQ(list[0].Krs, "");
  for (std::size_t i = 2; i < list.size(); ++i) {
    EXPECT_EQ(list[i].Krs.size(), 10u) << list[i].Name;
    EXPECT_LT(Cp1250Length(list[i].Name), 255u);
  }

  const auto rows = OrganisationGridRows();
  ASSERT_EQ(rows.size(), list.size());
  const std::vector<std::pair<std::size_t, std::string>> expected = {
      {0, "KRS: - Samodzielnie wpiszę KRS innej OPP"},
      {1, "Samodzielnie wpiszę KRS innej OPP"},
      {2, "KRS:0000127204 - Fundacja Radia ZET"},
      {4, "KRS:0000085133 - Dzieci Niepełnosprawne Intelektualnie Oczekują Twojej Pomocy"},
      {11, "KRS:0000037904 - Fundacja Dzieciom \"Zdążyć z Pomocą\""},
  };
  for (const auto& [row, text] : expected) EXPECT_EQ(rows[row], text) << row;
}

}  // namespace
}  // namespace pit
