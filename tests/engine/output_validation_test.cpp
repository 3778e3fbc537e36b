// The required-field check over small definition folders made here: labels,
// person marks, exemptions, tick-box groups, the spouse's fields, duplicates,
// the limits and the message box text.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/settlement.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "output/validation.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

FieldObject Required(const std::string& xml, int typ = kTekst, const std::string& name = "F") {
  FieldObject f;
  f.Typ = typ;
  f.MustBe = true;
  f.XMLNode = xml;
  f.Name = name;
  return f;
}

class ValidationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pit-valid-" + NewGuidText());
    fs::create_directories(dir_);
    // PIT-37: taxpayer's NIP, spouse's NIP, position 25, two boxes of one
    // group, an optional field, one more required field with P_25 (covered
    // when the first is filled).
    std::vector<FieldObject> pit37 = {
        Required("Podmiot1.NIP"),  Required("Podmiot2.NIP"), Required("P_25"),
        Required("P_8", kCheckbox, "Sposob"), Required("P_8", kCheckbox, "Sposob"),
        FieldObject{},             Required("P_25"),         Required("Naglowek.KodUrzedu")};
    pit37[3].Choices[0].Value = "1";
    pit37[4].Choices[0].Value = "2";
    // What the page prints beside the fields that have no position as XML name.
    pit37[0].Poz = 1;
    pit37[0].Hint = "Identyfikator podatkowy NIP / numer PESEL podatnika";
    pit37[1].Poz = 2;
    pit37[7].Poz = 6;
    pit37[7].Hint = "Urząd skarbowy, do którego adresowane jest zeznanie";
    ASSERT_TRUE(SaveFieldObjects(DcsPath(dir_.string(), kPit37), pit37));
    // PIT/O: an exempt identification field P_5 and the relief P_12.
    ASSERT_TRUE(SaveFieldObjects(DcsPath(dir_.string(), kPitO), {Required("P_5"), Required("P_12")}));
    defs_ = std::make_unique<DefinitionLibrary>(dir_.string());
    s_.Open();
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Add(int idPit, int parent = 0, int pm = kPmNone) {
    const int n = s_.AddEntry(idPit, parent, pm, s_.Kind);
    s_.RebuildTree(*defs_);
    return n;
  }
  void Set(int e, int k, const std::string& v) { s_.Write(e, k, v); }
  // A PIT-37 with every required field of the taxpayer filled.
  int FilledPit37() {
    const int e = Add(kPit37);
    Set(e, 0, "1234563218");
    Set(e, 2, "x");
    Set(e, 3, "1");
    Set(e, 7, "0202");
    return e;
  }
  ValidationResult Run() { return ValidateSettlement(s_, *defs_); }

  fs::path dir_;
  std::unique_ptr<DefinitionLibrary> defs_;
  Settlement s_;
};

// A line names the field as the page does: its printed position where that
// is the XML name, else its label and position, an identifier by the kind
// chosen for its person; each line knows its entry and field.
TEST_F(ValidationTest, LabelsAndPersonMarks) {
  s_.Kind = kJoint;
  s_.SpouseIdKind = kIdPesel;
  const int e = Add(kPit37);
  const int o = Add(kPitO, e, kPmSpouse);
  const ValidationResult r = Run();
  EXPECT_EQ(r.lines, (std::vector<std::string>{
                         "PIT-37 pole: Podatnik - NIP (poz. 1)",
                         "PIT-37 pole: Małżonek - PESEL (poz. 2)",
                         "PIT-37 pole: 25",
                         "PIT-37 pole: 8",  // two boxes of one group: one line
                         "PIT-37 pole: Urząd skarbowy, do którego adresowane jest zeznanie (poz. 6)",
                         "PIT/O(Małżonka)  pole: 12",  // P_5 is exempt
                     }));
  EXPECT_EQ(r.count, 6);
  const std::vector<std::pair<int, int>> places = {{e, 0}, {e, 1}, {e, 2}, {e, 3}, {e, 7}, {o, 1}};
  ASSERT_EQ(r.places.size(), places.size());
  for (std::size_t i = 0; i < places.size(); ++i) {
    EXPECT_EQ(r.places[i].entry, places[i].first) << i;
    EXPECT_EQ(r.places[i].field, places[i].second) << i;
  }

  // The taxpayer with a PESEL; a field with neither label nor position
  // keeps its element name.
  s_.TaxpayerIdKind = kIdPesel;
  s_.Kind = kIndividual;
  ASSERT_TRUE(SaveFieldObjects(DcsPath(dir_.string(), kPitD), {Required("Naglowek.KodUrzedu")}));
  defs_->Reload();
  Add(kPitD, e, kPmTaxpayer);
  const ValidationResult p = Run();
  ASSERT_GE(p.lines.size(), 3u);
  EXPECT_EQ(p.lines[0], "PIT-37 pole: Podatnik - PESEL (poz. 1)");
  EXPECT_EQ(p.lines.back(), "PIT/D(Podatnika)  pole: KodUrzedu");
}

TEST_F(ValidationTest, WhatCountsAsFilled) {
  struct Case {
    const char* what;
    int kind;
    std::vector<std::pair<int, std::string>> values;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"individual: the spouse's fields are not needed", kIndividual, {}, {}},
      {"joint: they are", kJoint, {}, {"PIT-37 pole: Małżonek - NIP (poz. 2)"}},
      {"joint, spouse's NIP typed", kJoint, {{1, "1234563218"}}, {}},
      {"the other box of the group ticked", kIndividual, {{3, ""}, {4, "2"}}, {}},
      {"no box of the group ticked", kIndividual, {{3, ""}}, {"PIT-37 pole: 8"}},
      {"the first P_25 empty, the second filled: covered", kIndividual, {{2, ""}, {6, "y"}}, {}},
      {"both P_25 empty: one line", kIndividual, {{2, ""}}, {"PIT-37 pole: 25"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    s_.Clear();
    s_.Open();
    s_.Kind = c.kind;
    const int e = FilledPit37();
    for (const auto& [k, v] : c.values) Set(e, k, v);
    const ValidationResult r = Run();
    EXPECT_EQ(r.lines, c.expected);
    EXPECT_EQ(r.count, static_cast<int>(c.expected.size()));
  }
}

TEST_F(ValidationTest, AttachmentOfNoPersonAndMissingDefinitions) {
  const int e = FilledPit37();
  Add(kPitO, e, kPmTaxpayer);
  Add(kPitD, e, kPmTaxpayer);  // no definition file: skipped entirely
  const ValidationResult r = Run();
  EXPECT_EQ(r.lines, (std::vector<std::string>{"PIT/O(Podatnika)  pole: 12"}));
}

TEST_F(ValidationTest, LimitsAndMessage) {
  // Eleven PIT/O copies of different persons would repeat lines; lines
  // differ by their form only through the copies' persons, so use many
  // distinct positions instead.
  std::vector<FieldObject> many;
  for (int i = 1; i <= 500; ++i) many.push_back(Required("P_" + std::to_string(100 + i)));
  ASSERT_TRUE(SaveFieldObjects(DcsPath(dir_.string(), kPitUZ), {many.begin(), many.begin() + 11}));
  ASSERT_TRUE(SaveFieldObjects(DcsPath(dir_.string(), kPit2K), {many.begin(), many.begin() + 340}));
  defs_->Reload();

  const int e = FilledPit37();
  const int uz = Add(kPitUZ, e, kPmNone);
  ValidationResult r = Run();
  ASSERT_EQ(r.count, 11);
  const std::string m = ValidationMessage(r, false);
  EXPECT_EQ(m.substr(0, m.find("   1.")),
            " ILOŚĆ NIEWYPEŁNIONYCH PÓL: 11\n"
            "------------------------------------------------------------------\n"
            " Ograniczono wyświetlanie komunikatów do 10-ciu\n\n");
  EXPECT_NE(m.find("   10. PIT/UZ pole: 110\n"), std::string::npos);
  EXPECT_EQ(m.find("   11."), std::string::npos);

  // 11 + 340 + 340 would be 691: only 450 are counted.
  Add(kPit2K, e, kPmTaxpayer);
  Add(kPit2K, e, kPmSpouse);
  r = Run();
  EXPECT_EQ(r.count, kProblemLimit);
  EXPECT_EQ(r.lines.size(), static_cast<std::size_t>(kProblemLimit));

  // Ten lines: no limit line.
  s_.RemoveAt(s_.Count());
  s_.RemoveAt(s_.Count());
  Set(uz, 0, "x");
  r = Run();
  ASSERT_EQ(r.count, 10);
  EXPECT_EQ(ValidationMessage(r, false).find("Ograniczono"), std::string::npos);
}

TEST_F(ValidationTest, NothingMissing) {
  FilledPit37();
  const ValidationResult r = Run();
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(ValidationMessage(r, true), "Wszystkie wymagane pola zostały wypełnione");
  EXPECT_EQ(ValidationMessage(r, false), "");
}

TEST(ValidationExemptions, ListsEndWithAComma) {
  for (int idPit = 1; idPit <= kFormTypeCount; ++idPit) {
    const std::string_view list = ExemptXmlNames(idPit);
    if (!list.empty()) EXPECT_EQ(list.back(), ',') << idPit;
  }
  // P_1 of PIT/O is exempt, P_11 is not although "P_1" is its beginning.
  EXPECT_NE(ExemptXmlNames(kPitO).find("P_1,"), std::string_view::npos);
  EXPECT_EQ(ExemptXmlNames(kPitO).find("P_11,"), std::string_view::npos);
  EXPECT_TRUE(ExemptXmlNames(kPit37).empty());
}

}  // namespace
}  // namespace pit
