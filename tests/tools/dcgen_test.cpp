// The generator's output is what the program reads: field records must
// survive the engine's codecs unchanged, the shipped dc/ folder must match
// the sources, and a source that breaks the field-number contract or its own
// layout rules must be refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "field_ids.h"
#include "fixed_measurer.h"
#include "templates.h"
#include "form_source.h"
#include "schema.h"
#include "forms/definition_files.h"

namespace fs = std::filesystem;

namespace {

using dcgen::testsupport::FixedMeasurer;

std::vector<fs::path> ShippedSources() { return dcgen::FormSources(fs::path(PIT_SOURCE_DIR) / "data/forms"); }

// The shipped shared templates, which every shipped source may use.
const dcgen::SharedTemplates& Shared() {
  static const dcgen::SharedTemplates shared = *dcgen::LoadSharedTemplates(fs::path(PIT_SOURCE_DIR) / "data/forms");
  return shared;
}

void ExpectSameRecord(const pit::FieldObject& a, const pit::FieldObject& b, bool geometry,
                      const std::string& where) {
  SCOPED_TRACE(where);
  if (geometry) {
    EXPECT_EQ(a.Left, b.Left);
    EXPECT_EQ(a.Top, b.Top);
    EXPECT_EQ(a.Right, b.Right);
    EXPECT_EQ(a.Bottom, b.Bottom);
  }
  EXPECT_EQ(a.ID, b.ID);
  EXPECT_EQ(a.Page, b.Page);
  EXPECT_EQ(a.Typ, b.Typ);
  EXPECT_EQ(a.Option, b.Option);
  EXPECT_EQ(a.TextAlign, b.TextAlign);
  EXPECT_EQ(a.MaxChar, b.MaxChar);
  EXPECT_EQ(a.Name, b.Name);
  EXPECT_EQ(a.DefValue, b.DefValue);
  EXPECT_EQ(a.Hint, b.Hint);
  EXPECT_EQ(a.XMLNode, b.XMLNode);
  EXPECT_EQ(a.FontSize, b.FontSize);
  EXPECT_EQ(a.Visible, b.Visible);
  EXPECT_EQ(a.ReadOnly, b.ReadOnly);
  EXPECT_EQ(a.MustBe, b.MustBe);
  EXPECT_EQ(a.Multiline, b.Multiline);
  EXPECT_EQ(a.PlusValue, b.PlusValue);
  EXPECT_EQ(a.Tab, b.Tab);
  EXPECT_EQ(a.Poz, b.Poz);
  EXPECT_EQ(a.CheckValue(), b.CheckValue());
}

TEST(DcgenShippedForms, RecordsSurviveTheCodecsAndMatchTheBuiltFolder) {
  FixedMeasurer m;
  auto sources = ShippedSources();
  ASSERT_FALSE(sources.empty());
  for (const auto& src : sources) {
    SCOPED_TRACE(src.filename().string());
    dcgen::CompiledForm form = dcgen::CompileForm(YAML::LoadFile(src.string()), m, nullptr, &Shared());
    auto contract = YAML::LoadFile(
        (src.parent_path() / "contract" / (std::to_string(form.idPit) + ".yaml")).string());
    EXPECT_EQ(dcgen::CheckContract(form, contract), std::vector<std::string>{});

    // Texts longer than a record's field would be cut by the codec.
    auto decoded = pit::DecodeFieldObjects(pit::EncodeFieldObjects(form.fields));
    ASSERT_EQ(decoded.size(), form.fields.size());
    for (std::size_t k = 0; k < decoded.size(); ++k)
      ExpectSameRecord(form.fields[k], decoded[k], true, "kodek, pole " + std::to_string(k));

    // The folder the program runs with was made from these very sources
    // (rectangles depend on the real font, so they are not compared).
    std::string dc = std::string(PIT_BIN_DIR) + "/dc";
    auto built = pit::LoadFieldObjects(pit::DcsPath(dc, form.idPit));
    ASSERT_TRUE(built.has_value());
    ASSERT_EQ(built->size(), form.fields.size());
    for (std::size_t k = 0; k < built->size(); ++k)
      ExpectSameRecord(form.fields[k], (*built)[k], false, "bin/dc, pole " + std::to_string(k));
    auto dcd = pit::LoadFormDescription(pit::DcdPath(dc, form.idPit));
    ASSERT_TRUE(dcd.has_value());
    EXPECT_EQ(dcd->PageCount, static_cast<int>(form.pages.size()));
    for (int p = 1; p <= dcd->PageCount; ++p) {
      for (bool plain : {false, true}) {
        std::ifstream in(pit::DcgPath(dc, form.idPit, p, plain), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        auto size = pit::ReadPictureSize(bytes);
        ASSERT_TRUE(size.has_value()) << pit::DcgPath(dc, form.idPit, p, plain);
        EXPECT_EQ(pit::PageHeightFor800(*size), 1131);
      }
    }
  }
}

// A small form: identifier with its two lines, a tick group, two amounts.
const char* kFixture = R"(
form: 99
code: TEST
variant: 3
pages:
  - blocks:
      - cells:
          - {f: 0, t: id, poz: 1, id: taxpayer_id, label: "Identyfikator {NIP} / {PESEL}", strike: {NIP: 1, PESEL: 2}}
      - cells:
          - {poz: 2, name: CEL, label: "Cel", boxes: [{f: 3, code: "1", text: "a", id: purpose_filing}, {f: 4, code: "2", text: "b"}]}
          - {f: 5, poz: 3, id: amount, label: "Kwota"}
          - {f: 6, t: count, poz: 4, id: count, label: "Liczba"}
)";

TEST(DcgenContract, AcceptsAFormThatKeepsItAndNamesEachBrokenRule) {
  FixedMeasurer m;
  dcgen::CompiledForm form = dcgen::CompileForm(YAML::Load(kFixture), m);
  struct Case {
    const char* contract;
    const char* complaint;  // empty: the contract holds
  };
  const Case cases[] = {
      {"identifiers: {0: [1, 2]}\ntypes: {line: [1, 2], amount: [5], count: [6]}\n"
       "boxes: [{f: [3, 4], codes: ['1', '2']}]\nexchange: [0]\nexempt: 'P_1,'\nxml: {5: P_3}\npoz: {5: 3}\n"
       "page: {0: 1, 5: 1}",
       ""},
      // A masked NIP cannot hold a PESEL: the identifier is text.
      {"types: {nip: [0]}", "pole 0 ma być nip"},
      {"identifiers: {5: [1, 2]}", "pole 5 ma być identyfikatorem"},
      {"identifiers: {0: [2, 1]}", "kreski 2 i 1 (pole 0) w odwrotnej kolejności"},
      {"identifiers: {0: [1, 5]}", "kreska 5 (pole 0) ma być kreską"},
      {"identifiers: {0: [1]}", "identyfikator 0 bez dwóch kresek"},
      {"identifiers: {0: [1, 9]}", "pole 9 (kreska) nie istnieje"},
      {"page: {5: 2}", "pole 5: strona 1, oczekiwano 2"},
      {"types: {amount: [5, 7]}", "pole 7 (amount) nie istnieje"},
      {"types: {amount: [6]}", "pole 6 ma być amount"},
      // A field the calculation rounds to whole złoty keeps its grosze on
      // screen, on paper and in the XML unless its source says so.
      {"types: {zloty: [5]}", "pole 5 ma być zloty (Typ 1, Option 12"},
      {"types: {line: [0]}", "pole 0 ma być line"},
      {"types: {box: [3, 4]}", ""},
      {"types: {box: [5]}", "pole 5 ma być box"},
      {"boxes: [{f: [3, 4], codes: ['1', '4']}]", "kwadrat 4 ma kod \"2\", oczekiwano \"4\""},
      {"boxes: [{f: [3], codes: ['1']}, {f: [4], codes: ['2']}]", "dzieli nazwę grupy \"CEL\""},
      {"boxes: [{f: [3, 5], codes: ['1', '2']}]", "pole 5 ma być kwadratem"},
      {"exchange: [0]\nexempt: 'P_1,P_3,'", "nazwa P_3 z listy pominięć"},
      {"exchange: [0]\nidentification: [5]\nexempt: 'P_1,P_3,'", ""},
      {"exchange: [0]\nidentification: [5]\nexempt: 'P_1,P_3,P_4,'", "nazwa P_4 z listy pominięć"},
      {"identification: [9]", "pole 9 (pole identyfikacyjne) nie istnieje"},
      {"Podmiot1: [0]", "ma zaczynać się od Podmiot1."},
      {"xml: {0: Podmiot1.NIP}", "pole 0: nazwa XML \"P_1\""},
      {"poz: {5: 132}", "pole 5: pozycja 3, oczekiwano 132"},
      {"pages: 2", "liczba stron 1"},
      // Fields named in the source are named in the contract the same way.
      {"identifiers: {taxpayer_id: [taxpayer_id_strike_nip, taxpayer_id_strike_pesel]}\n"
       "types: {amount: [amount], count: [count]}\nboxes: [{f: [purpose_filing, 4], codes: ['1', '2']}]\n"
       "poz: {amount: 3}",
       ""},
      {"types: {amount: [taxpayer_id-amount]}", "pole 0 ma być amount"},
      {"types: {amount: [tax_due]}", "pole 'tax_due' nie ma nazwy w źródle"},
      {"poz: {tax_due: 3}", "pole 'tax_due' nie ma nazwy w źródle"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contract);
    auto problems = dcgen::CheckContract(form, YAML::Load(c.contract));
    if (*c.complaint == 0) {
      EXPECT_EQ(problems, std::vector<std::string>{});
      continue;
    }
    std::string all;
    for (const auto& p : problems) all += p + "\n";
    EXPECT_NE(all.find(c.complaint), std::string::npos) << all;
  }
  // The list of exempt names in the source is held to the same rule.
  YAML::Node exempting = YAML::Load(kFixture);
  exempting["exempt"] = "P_1,P_3,";
  const dcgen::CompiledForm withList = dcgen::CompileForm(exempting, m);
  EXPECT_EQ(dcgen::CheckContract(withList, YAML::Load("exchange: [0]\nidentification: [5]")),
            std::vector<std::string>{});
  const auto problems = dcgen::CheckContract(withList, YAML::Load("exchange: [0]"));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("nazwa P_3 z listy pominięć"), std::string::npos) << problems[0];
}

TEST(DcgenSource, FixtureGetsTheRecordAttributesItsTypesImply) {
  FixedMeasurer m;
  dcgen::CompiledForm form = dcgen::CompileForm(YAML::Load(kFixture), m);
  ASSERT_EQ(form.fields.size(), 7u);
  const auto& amount = form.fields[5];
  EXPECT_EQ(amount.Typ, pit::kLiczba);
  EXPECT_EQ(amount.Option, 1);
  EXPECT_EQ(amount.DefValue, "0,00");
  EXPECT_EQ(amount.TextAlign, pit::kAlignRight);
  EXPECT_EQ(amount.XMLNode, "P_3");
  EXPECT_EQ(form.fields[3].Name, "CEL");
  EXPECT_EQ(form.fields[4].Poz, 2);
  EXPECT_EQ(form.fields[4].XMLNode, "P_2");
  // The identifier takes the digits of a NIP or of a PESEL, one per cell.
  const auto& id = form.fields[0];
  EXPECT_EQ(id.Typ, pit::kTekst);
  EXPECT_EQ(id.MaxChar, 10);
  EXPECT_EQ(id.TextAlign, pit::kAlignCells);
  EXPECT_EQ(id.XMLNode, "P_1");
  // The strike-through lines lie over the printed words on the label line,
  // above the identifier box, and carry no tab stop.
  for (int k : {1, 2}) {
    EXPECT_EQ(form.fields[k].Typ, pit::kKreska);
    EXPECT_EQ(form.fields[k].Tab, 0);
    EXPECT_LT(form.fields[k].Bottom, form.fields[0].Top);
  }
  EXPECT_LT(form.fields[1].Right, form.fields[2].Left);
  // Tab order follows the page: identifier, boxes, amounts.
  EXPECT_LT(form.fields[0].Tab, form.fields[3].Tab);
  EXPECT_LT(form.fields[3].Tab, form.fields[4].Tab);
  EXPECT_LT(form.fields[4].Tab, form.fields[5].Tab);
}

// Month boxes: one cell, each box a position of its own, several may be ticked.
TEST(DcgenSource, BoxesWithTheirOwnPositionsAreSeparateGroups) {
  FixedMeasurer m;
  const char* src = R"(
form: 99
code: T
variant: 1
pages:
  - blocks:
      - cells:
          - label: "Okres"
            name: WSPOLNA
            must: true
            boxes:
              - {f: 0, poz: 7, code: "1", caption: "7. cały rok", text: "cały rok"}
              - {f: 1, poz: 8, code: "1", text: "I"}
              - {f: 2, code: "2", text: "bez pozycji"}
)";
  dcgen::CompiledForm form = dcgen::CompileForm(YAML::Load(src), m);
  ASSERT_EQ(form.fields.size(), 3u);
  struct Expect {
    int poz;
    const char* name;
    const char* xml;
  };
  const Expect expect[] = {{7, "P7", "P_7"}, {8, "P8", "P_8"}, {0, "WSPOLNA", ""}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(form.fields[i].Typ, pit::kCheckbox);
    EXPECT_EQ(form.fields[i].Poz, expect[i].poz);
    EXPECT_EQ(form.fields[i].Name, expect[i].name);
    EXPECT_EQ(form.fields[i].XMLNode, expect[i].xml);
    EXPECT_TRUE(form.fields[i].MustBe);
  }
  auto drawn = [&](const std::string& text) {
    for (const auto& p : form.pages[0].prims)
      if (p.kind == dcgen::Prim::kText && p.text == text) return true;
    return false;
  };
  EXPECT_TRUE(drawn("7. cały rok"));
  EXPECT_TRUE(drawn("8. I"));
  EXPECT_TRUE(drawn("2. bez pozycji"));
}

// The header of a form's names: what a template names once is named per use,
// a strike line after its identifier, every name with its object index.
TEST(DcgenFieldIds, TheHeaderNamesEveryNamedFieldOfTheExpandedSource) {
  const YAML::Node src = YAML::Load(R"(
form: 99
code: TEST
templates:
  person:
    params: [who, f]
    cells:
      - {f: <f>, t: text, id: <who>_surname, label: "Nazwisko"}
      - {f: <f+1>, t: text, label: "Imię"}
pages:
  - blocks:
      - cells:
          - {f: 0, t: id, id: taxpayer_id, label: "{NIP} / {PESEL}", strike: {NIP: 5, PESEL: 6}}
      - cells: [{use: person, who: taxpayer, f: 1}]
      - cells: [{use: person, who: spouse, f: 3}]
)");
  const auto named = dcgen::CollectFieldIds(dcgen::ExpandTemplates(src));
  const std::map<std::string, int> want = {{"taxpayer_id", 0},           {"taxpayer_id_strike_nip", 5},
                                           {"taxpayer_id_strike_pesel", 6}, {"taxpayer_surname", 1},
                                           {"spouse_surname", 3}};
  EXPECT_EQ(dcgen::FieldIdMap(named), want);
  const std::string h = dcgen::FieldsHeader("test", 99, "TEST", "data/forms/99-TEST.yaml", named);
  for (const char* line : {"namespace pit::test {", "using Field = FieldOf<99>;",
                           "inline constexpr Field taxpayer_id{0};", "inline constexpr Field spouse_surname{3};",
                           "inline constexpr Field taxpayer_id_strike_pesel{6};"})
    EXPECT_NE(h.find(line), std::string::npos) << line << "\n" << h;
}

TEST(DcgenSource, RefusesSourcesThatWouldMakeABrokenDefinition) {
  FixedMeasurer m;
  struct Case {
    const char* cells;
    const char* complaint;
  };
  const Case cases[] = {
      {"[{f: 0, poz: 1}, {f: 0, poz: 2}]", "zdefiniowane dwa razy"},
      {"[{f: 0, poz: 1}, {f: 2, poz: 2}]", "brak pola o indeksie 1"},
      {"[{f: 0, poz: 1, xml: P_7}]", "nazwa XML P_7 a pozycja 1"},
      {"[{f: 0, poz: 1}, {f: 1, poz: 1}]", "pozycja 1 użyta przez"},
      {"[{f: 0, t: money}]", "nieznany typ"},
      {"[{f: 0, poz: 1, name: NazwaDluzszaNiz14}]", "za długa"},
      {"[{poz: 1, boxes: [{f: 0, code: '1', text: a}]}]", "bez nazwy grupy"},
      {"[{f: 0, poz: 1}]\n      - {gap: 1200}", "nie mieści się"},
      // Names: one per field, usable as C++ names, only where a field is.
      {"[{f: 0, poz: 1, id: tax}, {f: 1, poz: 2, id: tax}]", "nazwa 'tax' nadana dwóm polom: 0 i 1"},
      {"[{f: 0, poz: 1, id: TaxDue}]", "nazwa pola 'TaxDue' ma być w stylu snake_case"},
      {"[{f: 0, poz: 1, id: 2nd_row}]", "nazwa pola '2nd_row'"},
      {"[{f: 0, poz: 1, id: tax__due}]", "nazwa pola 'tax__due'"},
      {"[{f: 0, poz: 1, id: default}]", "nie może być słowem C++"},
      {"[{f: 0, poz: 1, id: x, strike: {NIP: 1}}, {f: 2, poz: 2, id: x_strike_nip}]",
       "nazwa 'x_strike_nip' nadana dwóm polom: 1 i 2"},
      {"[{poz: 1, name: C, id: purpose, boxes: [{f: 0, code: '1', text: a}]}]",
       "nazwa 'purpose' przy grupie kwadratów"},
      {"[{label: Opis, id: note}, {f: 0, poz: 1}]", "nazwa 'note' przy komórce bez pola"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cells);
    std::string src = std::string("form: 99\ncode: T\nvariant: 1\npages:\n  - blocks:\n      - cells: ") +
                      c.cells + "\n";
    try {
      dcgen::CompileForm(YAML::Load(src), m);
      ADD_FAILURE() << "przyjęte";
    } catch (const dcgen::SourceError& e) {
      EXPECT_NE(std::string(e.what()).find(c.complaint), std::string::npos) << e.what();
    }
  }
}

// The typed shares of PIT/B lie exactly over the computed shares they
// replace: the page never draws them, and a click on the computed share
// must open the typed one.
TEST(DcgenShippedForms, PitBTypedSharesLieOverTheComputedShares) {
  auto built = pit::LoadFieldObjects(pit::DcsPath(std::string(PIT_BIN_DIR) + "/dc", 10));
  ASSERT_TRUE(built.has_value());
  const std::pair<int, int> pairs[] = {{27, 64}, {29, 65}, {39, 60}, {41, 61}, {51, 62}, {53, 63}};
  for (const auto& [computed, typed] : pairs) {
    SCOPED_TRACE(typed);
    const pit::FieldObject& a = (*built)[static_cast<std::size_t>(computed)];
    const pit::FieldObject& b = (*built)[static_cast<std::size_t>(typed)];
    EXPECT_EQ(a.Page, b.Page);
    EXPECT_EQ(a.Left, b.Left);
    EXPECT_EQ(a.Top, b.Top);
    EXPECT_EQ(a.Right, b.Right);
    EXPECT_EQ(a.Bottom, b.Bottom);
    EXPECT_TRUE(a.ReadOnly);
    EXPECT_FALSE(b.ReadOnly);
  }
}

// Every shipped source uses only keys the generator reads; a misspelt key,
// a value of the wrong kind or a missing required key is named with its
// file and line instead of being ignored.
// Two sources of one form in a folder would write the same files, the later
// one winning silently: the build stops instead and names both sources.
// dcfields makes the catalogue of the forms and their numbers' names from
// the sources' root keys, and refuses a source whose row cannot be made, a
// name of a number taken twice or a gap in the numbers.
TEST(DcfieldsCommand, CatalogueRowsFromTheSourcesAndTheirMistakes) {
  const fs::path dir = fs::temp_directory_path() / ("dcfields_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "src");
  const fs::path forms = fs::path(PIT_SOURCE_DIR) / "data" / "forms";
  fs::copy_file(forms / "01-PIT-36.yaml", dir / "src" / "01.yaml");
  fs::copy_file(forms / "02-PIT-37.yaml", dir / "src" / "02.yaml");
  fs::copy_file(forms / dcgen::kSharedTemplatesFile, dir / "src" / dcgen::kSharedTemplatesFile);
  const std::string command = "'" PIT_TOOLS_DIR "/dcfields' '" + (dir / "src").string() + "' '" +
                              (dir / "gen").string() + "' 2>'" + (dir / "err.txt").string() + "'";
  auto said = [&] {
    std::ifstream err(dir / "err.txt");
    return std::string((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
  };
  ASSERT_EQ(std::system(command.c_str()), 0) << said();
  {
    std::ifstream in(dir / "gen" / "forms" / "catalogue_rows.h");
    const std::string rows((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(rows.find("{\"PIT-37\", 4, 20, false, 0, \"\", \"\"},  // 2"), std::string::npos) << rows;
    EXPECT_TRUE(fs::exists(dir / "gen" / "forms" / "pit37_fields.h"));
    std::ifstream numbersIn(dir / "gen" / "forms" / "form_numbers.h");
    const std::string numbers((std::istreambuf_iterator<char>(numbersIn)), std::istreambuf_iterator<char>());
    EXPECT_NE(numbers.find("constexpr int kFormTypeCount = 2;"), std::string::npos) << numbers;
    EXPECT_NE(numbers.find("  kPit37 = 2,  // PIT-37\n"), std::string::npos) << numbers;
  }
  struct Case {
    const char* from;
    const char* to;
    const char* complaint;
  };
  const Case cases[] = {
      {"kind: return", "kind: zeznanie", "kind: 'zeznanie' – ma być return, attachment albo form"},
      {"namespace: pit37", "namespace: pit37\ncopies: some", "copies: 'some' – ma być one albo many"},
      {"namespace: pit37", "namespace: pit36", "przestrzeń nazw 'pit36' ma już 01.yaml"},
      {"form: 2", "form: 3", "brak źródła formularza 2"},
      {"constant: kPit37", "constant: kPit36", "stała 'kPit36' ma już 01.yaml"},
      {"constant: kPit37", "constant: pit37", "constant: 'pit37' – ma być nazwą stałej"},
      {"constant: kPit37\n", "", "constant: '' – ma być nazwą stałej"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    std::ifstream in(forms / "02-PIT-37.yaml");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto at = text.find(c.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string(c.from).size(), c.to);
    std::ofstream(dir / "src" / "02.yaml", std::ios::trunc) << text;
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(said().find(c.complaint), std::string::npos) << said();
  }
  fs::remove_all(dir);
}

TEST(DcgenCompileCommand, TwoSourcesOfOneFormFailTheBuild) {
  const fs::path dir = fs::temp_directory_path() / ("dcgen_twice_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "src" / "contract");
  const fs::path forms = fs::path(PIT_SOURCE_DIR) / "data" / "forms";
  fs::copy_file(forms / "08-PIT-2K.yaml", dir / "src" / "a.yaml");
  fs::copy_file(forms / dcgen::kSharedTemplatesFile, dir / "src" / dcgen::kSharedTemplatesFile);
  fs::copy_file(forms / "contract" / "8.yaml", dir / "src" / "contract" / "8.yaml");
  const std::string command = "QT_QPA_PLATFORM=offscreen '" PIT_BIN_DIR "/dcgen' compile '" +
                              (dir / "src").string() + "' '" + (dir / "dc").string() + "' 2>'" +
                              (dir / "err.txt").string() + "' >/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  fs::copy_file(forms / "08-PIT-2K.yaml", dir / "src" / "b.yaml");
  EXPECT_NE(std::system(command.c_str()), 0);
  std::ifstream err(dir / "err.txt");
  const std::string said((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
  EXPECT_NE(said.find("b.yaml: formularz 8 (PIT/2K) jest już w a.yaml"), std::string::npos) << said;
  fs::remove_all(dir);
}

TEST(DcgenSchema, ShippedSourcesHoldAndMistakesAreNamedWithTheirLine) {
  std::set<std::string> used;
  for (const fs::path& p : ShippedSources()) {
    const auto problems = dcgen::CheckSchema(YAML::LoadFile(p.string()), p.filename().string(), &Shared(), &used);
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
  EXPECT_EQ(dcgen::CheckSharedTemplates(Shared()), std::vector<std::string>{});
  EXPECT_EQ(dcgen::UnusedSharedTemplates(Shared(), used), std::vector<std::string>{});
  struct Case {
    const char* cell;
    const char* complaint;
  };
  const Case cases[] = {
      {"{f: 0, poz: 1, lable: Przychód}", "t.yaml:6: nieznany klucz 'lable'"},
      {"{f: 0, poz: pierwsza}", "t.yaml:6: klucz 'poz' musi być liczbą całkowitą"},
      {"{f: 0, must: tak}", "t.yaml:6: klucz 'must' musi być wartością true/false"},
      {"{f: 0, rect: [1, 2, 3]}", "t.yaml:6: klucz 'rect' musi być listą czterech"},
      {"{poz: 1, name: G, boxes: [{f: 0, text: a}]}", "t.yaml:6: brak wymaganego klucza 'code' (kwadrat)"},
      {"{poz: 1, name: G, boxes: [{f: 0, code: '1', captoin: a}]}", "t.yaml:6: nieznany klucz 'captoin'"},
      {"{f: 0, strike: {NIP: 1, PESLE: 2}}", "t.yaml:6: nieznany klucz 'PESLE'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cell);
    const std::string src = std::string("form: 99\ncode: T\nvariant: 1\npages:\n  - blocks:\n      - cells: [") +
                            c.cell + "]\n";
    const auto problems = dcgen::CheckSchema(YAML::Load(src), "t.yaml");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find(c.complaint), std::string::npos) << problems[0];
  }
  const auto missing = dcgen::CheckSchema(YAML::Load("form: 99\nvariant: 1\npages: []\n"), "t.yaml");
  ASSERT_EQ(missing.size(), 1u);
  EXPECT_EQ(missing[0], "t.yaml:1: brak wymaganego klucza 'code' (formularz)");
  const auto block = dcgen::CheckSchema(YAML::Load("form: 99\ncode: T\npages:\n  - blocks:\n      - {sekcja: A}\n"), "t.yaml");
  ASSERT_EQ(block.size(), 2u);
  EXPECT_EQ(block[0], "t.yaml:5: nieznany klucz 'sekcja' (blok)");
}

}  // namespace
