// Templates of form sources stand for what is written out once per use, so a
// source with templates must compile to exactly the records of the same
// source written out; a wrong use is named with the line of the template and
// the line of the use. Keys that only repeat the generator's defaults are
// found where they are written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
