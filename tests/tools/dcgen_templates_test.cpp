// Templates of form sources stand for what is written out once per use, so a
// source with templates must compile to exactly the records of the same
// source written out; a wrong use is named with the line of the template and
// the line of the use. Keys that only repeat the generator's defaults are
// found where they are written. Templates of the shared file are used as a
// source's own, and a mistake in or about them names the shared file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "field_ids.h"
#include "fixed_measurer.h"
#include "form_source.h"
#include "schema.h"
#include "templates.h"

namespace {

using dcgen::testsupport::FixedMeasurer;

const char* kHead = "form: 99\ncode: T\nvariant: 1\n";

// A person's row, a month group passed a list, a group used inside a
// template and boxes used inside a cell.
const char* kWithTemplates = R"(templates:
  person:
    params: [who, n, f, poz]
    blocks:
      - subsection: "C.<n>"
        title: "DANE <who>"
      - cells:
          - {f: <f>, t: text, poz: <poz>, w: 2, must: true, name: "<who>Nazw", xml: "Podmiot<n>.Nazwisko", label: "Nazwisko"}
          - {f: <f+1>, t: date, poz: <poz+1>, label: "Data urodzenia <who>"}
  months:
    params: [poz, f]
    boxes:
      - {f: <f.0>, poz: <poz>, code: "1", text: "cały rok"}
      - {f: <f.1>, poz: <poz+1>, code: "1", text: "I"}
  child:
    params: [poz, f, months]
    cells:
      - {f: <f>, t: text, poz: <poz>, label: "PESEL"}
      - w: 3
        boxes:
          - {f: 9, code: "1", poz: 20, text: "osobno"}
          - {use: months, poz: <poz+1>, f: <months>}
pages:
  - blocks:
      - {use: person, who: P, n: 1, f: 0, poz: 1}
      - {use: person, who: M, n: 2, f: 2, poz: 3}
      - cells:
          - {use: child, poz: 5, f: 4, months: [5, 8]}
      - cells:
          - {f: 6, poz: 8}
          - {f: 7, poz: 9}
)";

const char* kWrittenOut = R"(pages:
  - blocks:
      - subsection: "C.1"
        title: "DANE P"
      - cells:
          - {f: 0, t: text, poz: 1, w: 2, must: true, name: "PNazw", xml: "Podmiot1.Nazwisko", label: "Nazwisko"}
          - {f: 1, t: date, poz: 2, label: "Data urodzenia P"}
      - subsection: "C.2"
        title: "DANE M"
      - cells:
          - {f: 2, t: text, poz: 3, w: 2, must: true, name: "MNazw", xml: "Podmiot2.Nazwisko", label: "Nazwisko"}
          - {f: 3, t: date, poz: 4, label: "Data urodzenia M"}
      - cells:
          - {f: 4, t: text, poz: 5, label: "PESEL"}
          - w: 3
            boxes:
              - {f: 9, code: "1", poz: 20, text: "osobno"}
              - {f: 5, poz: 6, code: "1", text: "cały rok"}
              - {f: 8, poz: 7, code: "1", text: "I"}
      - cells:
          - {f: 6, poz: 8}
          - {f: 7, poz: 9}
)";

TEST(DcgenTemplates, CompileToTheRecordsOfTheSourceWrittenOut) {
  FixedMeasurer m;
  const YAML::Node templated = YAML::Load(std::string(kHead) + kWithTemplates);
  EXPECT_EQ(dcgen::CheckSchema(templated, "t.yaml"), std::vector<std::string>{});
  const dcgen::CompiledForm a = dcgen::CompileForm(templated, m);
  const dcgen::CompiledForm b = dcgen::CompileForm(YAML::Load(std::string(kHead) + kWrittenOut), m);
  ASSERT_EQ(a.fields.size(), 10u);
  ASSERT_EQ(a.fields.size(), b.fields.size());
  for (std::size_t k = 0; k < a.fields.size(); ++k) {
    SCOPED_TRACE(k);
    const pit::FieldObject &x = a.fields[k], &y = b.fields[k];
    EXPECT_EQ(x.Name, y.Name);
    EXPECT_EQ(x.XMLNode, y.XMLNode);
    EXPECT_EQ(x.Poz, y.Poz);
    EXPECT_EQ(x.Typ, y.Typ);
    EXPECT_EQ(x.Hint, y.Hint);
    EXPECT_EQ(x.MustBe, y.MustBe);
    EXPECT_EQ(x.Tab, y.Tab);
    EXPECT_EQ(x.CheckValue(), y.CheckValue());
    EXPECT_EQ(std::vector<int>({x.Left, x.Top, x.Right, x.Bottom}),
              std::vector<int>({y.Left, y.Top, y.Right, y.Bottom}));
  }
  EXPECT_EQ(a.fields[2].Name, "MNazw");
  EXPECT_EQ(a.fields[2].XMLNode, "Podmiot2.Nazwisko");
  EXPECT_EQ(a.fields[8].Poz, 7);
  ASSERT_EQ(a.pages.size(), 1u);
  ASSERT_EQ(a.pages[0].prims.size(), b.pages[0].prims.size());
  for (std::size_t i = 0; i < a.pages[0].prims.size(); ++i) {
    EXPECT_EQ(a.pages[0].prims[i].text, b.pages[0].prims[i].text) << i;
    EXPECT_EQ(a.pages[0].prims[i].y0, b.pages[0].prims[i].y0) << i;
  }
}

TEST(DcgenTemplates, PlaceholdersAreReplacedOnlyWhereTheyNameAParameter) {
  const dcgen::Params p = {{"n", YAML::Node("7")}, {"f", YAML::Load("[3, 4]")}};
  struct Case {
    const char* text;
    const char* result;
  };
  const Case cases[] = {
      {"<n>", "7"},
      {"<n+2>", "9"},
      {"<n-7>", "0"},
      {"<f.1>", "4"},
      {"<f.0+10>", "13"},
      {"Podmiot<n>.NIP", "Podmiot7.NIP"},
      {"<n>/<n+1>", "7/8"},
      {"a < b > c", "a < b > c"},  // not a placeholder: spaces
      {"<2>", "<2>"},
      {"1 <", "1 <"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(dcgen::Resolve(YAML::Node(c.text), p).Scalar(), c.result);
  }
  // A list handed on whole, and nothing replaced outside templates.
  EXPECT_TRUE(dcgen::Resolve(YAML::Node("<f>"), p).IsSequence());
  EXPECT_EQ(dcgen::Resolve(YAML::Node("<n>"), {}).Scalar(), "<n>");
  const char* wrong[][2] = {{"<x>", "nieznany parametr <x>"},
                            {"<f.2>", "nie ma elementu 2"},
                            {"<f+1>", "nie jest pojedynczą wartością"},
                            {"a<f>", "nie jest pojedynczą wartością"}};
  for (const auto& w : wrong) {
    SCOPED_TRACE(w[0]);
    try {
      dcgen::Resolve(YAML::Node(w[0]), p);
      ADD_FAILURE() << "przyjęte";
    } catch (const dcgen::SourceError& e) {
      EXPECT_NE(std::string(e.what()).find(w[1]), std::string::npos) << e.what();
    }
  }
}

TEST(DcgenTemplates, AWrongUseIsNamedWithTheTemplateLineAndTheUseLine) {
  // Template "row" is on lines 3-7 (its cell on line 7); uses from line 10.
  const std::string templates = std::string(kHead) + R"(templates:
  row:
    params: [f, poz]
    cells:
      - {f: <f>, poz: <poz>, label: "Kwota"}
pages:
  - blocks:
)";
  struct Case {
    const char* uses;  // the page's blocks
    const char* complaint;
  };
  const Case cases[] = {
      {"      - cells: [{use: row, f: 0, poz: 1}]\n", ""},
      {"      - cells: [{use: wiersz, f: 0, poz: 1}]\n", "t.yaml:11: nieznany wzór 'wiersz'"},
      {"      - cells: [{use: row, f: 0}]\n", "t.yaml:11: brak parametru 'poz' wzoru 'row'"},
      {"      - cells: [{use: row, f: 0, poz: 1, w: 2}]\n", "t.yaml:11: wzór 'row' nie ma parametru 'w'"},
      {"      - cells: [{use: row, f: 0, poz: pierwsza}]\n",
       "t.yaml:8: klucz 'poz' musi być liczbą całkowitą (we wzorze 'row' użytym w wierszu 11)"},
      {"      - {use: row, f: 0, poz: 1}\n", "t.yaml:11: wzór 'row' nie jest listą blocks"},
      {"      - cells: [{f: 0, poz: 1}]\n", "t.yaml:5: wzór 'row' nie jest nigdzie użyty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uses);
    const auto problems = dcgen::CheckSchema(YAML::Load(templates + c.uses), "t.yaml");
    if (*c.complaint == 0) {
      EXPECT_EQ(problems, std::vector<std::string>{});
      continue;
    }
    std::string all;
    for (const auto& p : problems) all += p + "\n";
    EXPECT_NE(all.find(std::string(c.complaint) + "\n"), std::string::npos) << all;
  }
}

TEST(DcgenTemplates, MalformedTemplatesAreRefused) {
  struct Case {
    const char* templates;
    const char* complaint;
  };
  const Case cases[] = {
      {"  a:\n    params: [f]\n    cells: [{f: <f>}]\n    boxes: []\n", "dokładnie jedną listę"},
      {"  a:\n    params: [f, f]\n    cells: [{f: <f>}]\n", "parametr 'f' podany dwa razy"},
      {"  a:\n    params: [use]\n    cells: [{f: 0}]\n", "nazwa parametru"},
      {"  a:\n    params: [f]\n    cells: [{f: <f>}, {use: a, f: 1}]\n", "zbyt głęboko"},
      {"  a:\n    params: [f]\n    cells: [{f: <f>, lable: x}]\n", "nieznany klucz 'lable'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.templates);
    const std::string src = std::string(kHead) + "templates:\n" + c.templates +
                            "pages:\n  - blocks:\n      - cells: [{use: a, f: 0}]\n";
    const auto problems = dcgen::CheckSchema(YAML::Load(src), "t.yaml");
    std::string all;
    for (const auto& p : problems) all += p + "\n";
    EXPECT_NE(all.find(c.complaint), std::string::npos) << all;
  }
}

TEST(DcgenTemplates, KeysThatRepeatTheirDefaultAreFoundWhereTheyAreWritten) {
  FixedMeasurer m;
  // Line numbers below count from the first line of this source.
  const std::string src = std::string(kHead) + R"(templates:
  amount:
    params: [f, poz, t]
    cells:
      - {f: <f>, poz: <poz>, t: <t>, w: 1, ro: false}
pages:
  - blocks:
      - cells:
          - {f: 0, t: amount, poz: 1, name: P1, xml: Podatek}
          - label: "Cel"
            name: P2
            poz: 2
            boxes:
              - {f: 1, code: "1", text: "a", caption: "1. a"}
              - {f: 2, code: "2", text: "b", caption: "dwa"}
          - {use: amount, f: 3, poz: 3, t: amount}
          - {use: amount, f: 4, poz: 4, t: count}
      - cells:
          - {label: "", w: 2, bold: false}
          - {f: 5, t: text, poz: 5, multi: true, fh: 34, label: "Uwagi", hint: "Uwagi"}
)";
  std::vector<dcgen::RepeatedKey> repeated;
  dcgen::CompileForm(YAML::Load(src), m, &repeated);
  std::vector<std::string> found;
  for (const auto& r : repeated) found.push_back(std::to_string(r.line) + " " + r.key);
  // The group's name is needed even when it equals its position's name,
  // and a template's key counts as needed when any use needs it.
  const std::vector<std::string> expected = {"8 w", "8 ro", "12 t", "12 name", "17 caption",
                                             "22 label", "22 bold", "23 fh", "23 hint"};
  EXPECT_EQ(found, expected);
}

// Line 5 and 6 hold the cells of `names`, line 7 the unused template.
const char* kShared = R"(templates:
  names:
    params: [f, poz, as, name, xml]
    cells:
      - {f: <f>, t: text, poz: <poz>, w: 2, name: <name>Nazw, xml: <xml>Nazwisko, label: "Nazwisko"}
      - {f: <f+1>, t: date, poz: <poz+1>, id: <as>_birth, xml: <xml>DataUrodzenia, label: "Data urodzenia"}
  unused:
    params: [f]
    cells: [{f: <f>}]
)";

dcgen::SharedTemplates SharedFixture() { return dcgen::SharedTemplatesOf(YAML::Load(kShared), "shared.yaml"); }

// A parameter given as ~ leaves out the keys that mention it: the second
// person's fields take the names and XML elements of their positions.
TEST(DcgenSharedTemplates, ASourceUsesThemAsItsOwnAndNothingLeavesOutKeys) {
  FixedMeasurer m;
  const dcgen::SharedTemplates shared = SharedFixture();
  const YAML::Node src = YAML::Load(std::string(kHead) + R"(pages:
  - blocks:
      - cells: [{use: names, f: 0, poz: 1, as: taxpayer, name: P, xml: Podmiot1.}]
      - cells: [{use: names, f: 2, poz: 3, as: ~, name: ~, xml: ~}]
)");
  const YAML::Node writtenOut = YAML::Load(std::string(kHead) + R"(pages:
  - blocks:
      - cells:
          - {f: 0, t: text, poz: 1, w: 2, name: PNazw, xml: Podmiot1.Nazwisko, label: "Nazwisko"}
          - {f: 1, t: date, poz: 2, id: taxpayer_birth, xml: Podmiot1.DataUrodzenia, label: "Data urodzenia"}
      - cells:
          - {f: 2, t: text, poz: 3, w: 2, label: "Nazwisko"}
          - {f: 3, t: date, poz: 4, label: "Data urodzenia"}
)");
  std::set<std::string> used;
  EXPECT_EQ(dcgen::CheckSchema(src, "t.yaml", &shared, &used), std::vector<std::string>{});
  EXPECT_EQ(used, std::set<std::string>{"names"});
  const dcgen::CompiledForm a = dcgen::CompileForm(src, m, nullptr, &shared);
  const dcgen::CompiledForm b = dcgen::CompileForm(writtenOut, m);
  ASSERT_EQ(a.fields.size(), 4u);
  ASSERT_EQ(b.fields.size(), 4u);
  for (std::size_t k = 0; k < a.fields.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(a.fields[k].Name, b.fields[k].Name);
    EXPECT_EQ(a.fields[k].XMLNode, b.fields[k].XMLNode);
    EXPECT_EQ(a.fields[k].Poz, b.fields[k].Poz);
    EXPECT_EQ(std::vector<int>({a.fields[k].Left, a.fields[k].Top, a.fields[k].Right}),
              std::vector<int>({b.fields[k].Left, b.fields[k].Top, b.fields[k].Right}));
  }
  EXPECT_EQ(a.fields[0].XMLNode, "Podmiot1.Nazwisko");
  EXPECT_EQ(a.fields[2].Name, "P3");
  EXPECT_EQ(a.fields[2].XMLNode, "P_3");
  // The names too, as the header generator reads them.
  EXPECT_EQ(a.ids, (std::map<std::string, int>{{"taxpayer_birth", 1}}));
  EXPECT_EQ(dcgen::FieldIdMap(dcgen::CollectFieldIds(dcgen::ExpandTemplates(src, &shared))), a.ids);
  // The same source without the shared file knows no such template.
  EXPECT_THROW(dcgen::CompileForm(src, m), dcgen::SourceError);
}

TEST(DcgenSharedTemplates, MistakesNameTheSharedFileAndTheTemplate) {
  const dcgen::SharedTemplates shared = SharedFixture();
  // The uses are on line 10, a source template named like a shared one on line 5.
  struct Case {
    const char* templates;  // the source's own
    const char* uses;
    const char* complaint;
  };
  const Case cases[] = {
      {"  row:\n    params: [f]\n    cells: [{f: <f>}]\n",
       "[{use: row, f: 0}, {use: names, f: 1, poz: 1, as: a, name: P, xml: X}]", ""},
      {"  names:\n    params: [f]\n    cells: [{f: <f>}]\n", "[{use: names, f: 0}]",
       "t.yaml:5: wzór 'names' jest już w shared.yaml – wzór źródła musi mieć inną nazwę"},
      {"", "[{use: nazwy, f: 0}]", "t.yaml:10: nieznany wzór 'nazwy' (nie ma go w źródle ani w shared.yaml)"},
      {"", "[{use: names, f: 0, poz: pierwsza, as: a, name: P, xml: X}]",
       "shared.yaml:5: klucz 'poz' musi być liczbą całkowitą (we wzorze 'names' użytym w wierszu 10 pliku t.yaml)"},
      {"", "[{use: names, f: 0, poz: 1, as: a, name: P}]", "t.yaml:10: brak parametru 'xml' wzoru 'names'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.uses);
    // No template of its own: an empty map, as long as one.
    const std::string src = std::string(kHead) + "templates:\n" + (*c.templates ? c.templates : "  {}\n\n\n") +
                            "pages:\n  - blocks:\n      - cells: " + c.uses + "\n";
    const auto problems = dcgen::CheckSchema(YAML::Load(src), "t.yaml", &shared);
    if (*c.complaint == 0) {
      EXPECT_EQ(problems, std::vector<std::string>{});
      continue;
    }
    std::string all;
    for (const auto& p : problems) all += p + "\n";
    EXPECT_NE(all.find(std::string(c.complaint) + "\n"), std::string::npos) << all;
  }
  // The generators refuse the clash too, used or not.
  FixedMeasurer m;
  const YAML::Node clash = YAML::Load(std::string(kHead) +
                                      "templates:\n  names:\n    params: [f]\n    cells: [{f: <f>}]\n"
                                      "pages:\n  - blocks:\n      - cells: [{f: 0}]\n");
  try {
    dcgen::ExpandTemplates(clash, &shared);
    ADD_FAILURE() << "przyjęte";
  } catch (const dcgen::SourceError& e) {
    EXPECT_NE(std::string(e.what()).find("wzór 'names' źródła ma nazwę wzoru z shared.yaml"), std::string::npos)
        << e.what();
  }
  EXPECT_THROW(dcgen::CompileForm(clash, m, nullptr, &shared), dcgen::SourceError);
  // A shared template no source uses is named once all sources are read.
  const std::set<std::string> used = {"names"};
  EXPECT_EQ(dcgen::UnusedSharedTemplates(shared, used),
            std::vector<std::string>{"shared.yaml:7: wzór 'unused' nie jest nigdzie użyty"});
  EXPECT_EQ(dcgen::CheckSharedTemplates(shared), std::vector<std::string>{});
}

TEST(DcgenSharedTemplates, ABrokenSharedFileIsRefusedWithItsName) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("dcgen_shared_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "01-A.yaml") << "form: 1\n";
  // No file: no shared templates, and the folder's sources are its forms.
  EXPECT_FALSE(dcgen::LoadSharedTemplates(dir).has_value());
  std::ofstream(dir / dcgen::kSharedTemplatesFile) << kShared;
  EXPECT_EQ(dcgen::FormSources(dir), std::vector<std::filesystem::path>{dir / "01-A.yaml"});
  ASSERT_TRUE(dcgen::LoadSharedTemplates(dir).has_value());
  const char* cases[][2] = {
      {"templates:\n  names: [a\n", "templates.yaml: błąd pliku wspólnych wzorów"},
      {"templates:\n  names: {params: [f], cells: []}\npages: []\n",
       "templates.yaml: plik wspólnych wzorów ma tylko klucz 'templates:'"},
      {"- names\n", "templates.yaml: plik wspólnych wzorów ma tylko klucz 'templates:'"},
      {"templates:\n  names: [f]\n", "templates.yaml: wzór 'names' musi być słownikiem"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    std::ofstream(dir / dcgen::kSharedTemplatesFile, std::ios::trunc) << c[0];
    try {
      dcgen::LoadSharedTemplates(dir);
      ADD_FAILURE() << "przyjęte";
    } catch (const dcgen::SourceError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c[1], 0), 0u) << e.what();
    }
  }
  // Its own templates are checked as a source's are.
  const auto problems = dcgen::CheckSharedTemplates(dcgen::SharedTemplatesOf(
      YAML::Load("templates:\n  names:\n    params: [f, f]\n    cells: [{f: <f>}]\n"), "shared.yaml"));
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "shared.yaml:3: parametr 'f' podany dwa razy");
  std::filesystem::remove_all(dir);
}

// A key of a shared template that repeats a default is told at its line in
// the shared file, not at the same line of the source.
TEST(DcgenSharedTemplates, RepeatedKeysAreToldInTheFileTheySitIn) {
  FixedMeasurer m;
  const dcgen::SharedTemplates shared = dcgen::SharedTemplatesOf(YAML::Load(R"(templates:
  amount:
    params: [f]
    cells:
      - {f: <f>, ro: false}
)"), "shared.yaml");
  const YAML::Node src = YAML::Load(std::string(kHead) + R"(pages:
  - blocks:
      - cells: [{f: 0, must: true}, {use: amount, f: 1}, {f: 2, plus: true}]
)");
  std::vector<dcgen::RepeatedKey> repeated;
  dcgen::CompileForm(src, m, &repeated, &shared);
  std::vector<std::string> found;
  for (const auto& r : repeated) found.push_back(r.file + ":" + std::to_string(r.line) + " " + r.key);
  EXPECT_EQ(found, (std::vector<std::string>{":6 plus", "shared.yaml:5 ro"}));
}

}  // namespace
