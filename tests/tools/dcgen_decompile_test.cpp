// A definition edited in the designer must be able to go back into a source:
// decompiling and compiling again has to give the same records, byte for
// byte, for every form the program ships and for what the designer writes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <optional>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "decompile.h"
#include "field_ids.h"
#include "fixed_measurer.h"
#include "form_source.h"
#include "forms/definition_files.h"
#include "schema.h"
#include "templates.h"

namespace fs = std::filesystem;

namespace {

using dcgen::testsupport::FixedMeasurer;

std::vector<std::uint8_t> ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& l : lines) all += l + "\n";
  return all;
}

// Decompiles, writes the text, reads it back, checks it against the schema
// and compiles it: the records that come out, or the problems on the way.
struct RoundTrip {
  std::vector<std::string> problems;
  dcgen::CompiledForm form;
  std::string text;
  std::map<int, std::string> names;  // carried from the previous source
  std::vector<dcgen::DroppedName> dropped;
};

RoundTrip DecompileAndCompile(const dcgen::DecompileInput& in) {
  FixedMeasurer m;
  RoundTrip r;
  dcgen::Decompiled d = dcgen::Decompile(in, m);
  r.problems = d.problems;
  r.names = d.names;
  r.dropped = d.dropped;
  r.text = dcgen::EmitSource(d.source, "test");
  YAML::Node back = YAML::Load(r.text);
  for (const auto& p : dcgen::CheckSchema(back, "test.yaml")) r.problems.push_back(p);
  try {
    // A rebuilt source may go among the shipped ones: no key in it merely
    // repeats what the generator takes without it.
    std::vector<dcgen::RepeatedKey> repeated;
    r.form = dcgen::CompileForm(back, m, &repeated);
    for (const auto& k : repeated)
      r.problems.push_back("klucz " + k.key + " powtarza wartość domyślną, wiersz " + std::to_string(k.line));
  } catch (const std::exception& e) {
    r.problems.push_back(e.what());
  }
  return r;
}

// Names every record whose bytes differ, with the attributes that differ.
std::string ByteDifferences(const std::vector<std::uint8_t>& want, const std::vector<pit::FieldObject>& fields) {
  const auto got = pit::EncodeFieldObjects(fields);
  std::string out;
  if (got.size() != want.size() / pit::kFieldRecordSize * pit::kFieldRecordSize)
    out += "liczba rekordów " + std::to_string(fields.size()) + "\n";
  const auto wanted = pit::DecodeFieldObjects(want);
  for (std::size_t k = 0; k < fields.size() && k < wanted.size(); ++k) {
    const std::uint8_t* a = want.data() + k * pit::kFieldRecordSize;
    const std::uint8_t* b = got.data() + k * pit::kFieldRecordSize;
    if (std::memcmp(a, b, pit::kFieldRecordSize) == 0) continue;
    for (const auto& d : dcgen::RecordDifferences(wanted[k], fields[k]))
      out += "rekord " + std::to_string(k) + ": " + d + "\n";
  }
  return out;
}

TEST(DcgenDecompile, EveryShippedFormComesBackRecordForRecord) {
  const fs::path dc = fs::path(PIT_BIN_DIR) / "dc";
  pit::FormCatalogue catalogue;
  int forms = 0;
  for (const auto& e : fs::directory_iterator(dc)) {
    if (e.path().extension() != ".dcs") continue;
    ++forms;
    SCOPED_TRACE(e.path().filename().string());
    const auto dcsBytes = ReadBytes(e.path());
    fs::path dcdPath = e.path();
    dcdPath.replace_extension(".dcd");
    const auto dcdBytes = ReadBytes(dcdPath);
    dcgen::DecompileInput in;
    in.idPit = std::stoi(e.path().stem().string());
    ASSERT_TRUE(pit::FormCatalogue::IsValid(in.idPit));
    in.code = catalogue[in.idPit].Code;
    in.variant = catalogue[in.idPit].Variant;
    in.fields = pit::DecodeFieldObjects(dcsBytes);
    in.description = pit::DecodeFormDescription(dcdBytes);
    ASSERT_TRUE(in.description.has_value());

    RoundTrip r = DecompileAndCompile(in);
    EXPECT_EQ(Joined(r.problems), "");
    EXPECT_EQ(ByteDifferences(dcsBytes, r.form.fields), "");
    EXPECT_EQ(pit::EncodeFormDescription(r.form.description), dcdBytes);
    EXPECT_EQ(r.form.code, in.code);
    EXPECT_EQ(r.form.variant, in.variant);
  }
  EXPECT_EQ(forms, pit::kFormTypeCount) << "bin/dc should hold every form";
}

// A field as the designer makes it when one is drawn.
pit::FieldObject Drawn(int index, int l, int t, int r, int b, int typ = pit::kTekst, int page = 1) {
  pit::FieldObject f;
  f.Left = l, f.Top = t, f.Right = r, f.Bottom = b;
  f.ID = f.Tab = index;
  f.Name = std::to_string(index);
  f.Page = page;
  f.Typ = typ;
  f.FontSize = "10";
  f.BorderColor = "FFFFFF";
  if (typ == pit::kLiczba) f.TextAlign = 1, f.Option = 1, f.DefValue = "0,00";
  if (typ == pit::kNip) f.Option = 1;
  return f;
}

TEST(DcgenDecompile, DesignerEditedDefinitionsComeBackOrSayWhatTheSourceCannotCarry) {
  struct Case {
    const char* what;
    std::vector<pit::FieldObject> fields;
    int pages;          // in the .dcd; 0: no .dcd
    const char* problem;  // empty: the round trip holds
  };
  auto tricky = Drawn(0, 100, 100, 300, 120);
  tricky.Name = "~";
  tricky.Value = "true";
  tricky.DefValue = "0,00";
  tricky.Hint = "Kwota \"brutto\"\nz: #1 [a, b] {c}";
  tricky.XMLNode = "Podmiot1.Nazwa";
  auto box = Drawn(1, 400, 100, 430, 120, pit::kCheckbox);
  box.Choices[0].Value = "2";
  auto box12 = Drawn(2, 500, 100, 512, 112, pit::kCheckbox);
  box12.Choices[0].Value = "1";
  box12.Name = "1";
  auto line = Drawn(1, 40, 50, 80, 58, pit::kKreska);
  line.Tab = 0;
  auto multi = Drawn(0, 50, 200, 700, 290);
  multi.Multiline = true;
  multi.Poz = 7;
  multi.XMLNode = "P_7";
  auto numbered = Drawn(2, 50, 300, 200, 316, pit::kLiczba);
  numbered.Poz = 8;
  numbered.PlusValue = true;
  auto hidden = Drawn(3, 50, 330, 200, 346, pit::kData);
  hidden.Visible = false;
  hidden.ReadOnly = hidden.MustBe = true;
  hidden.TextColor = "FF0000";
  auto deletedBefore = Drawn(0, 100, 100, 200, 120);
  deletedBefore.ID = 4;  // the records before it were deleted
  auto blocked = Drawn(0, 100, 100, 200, 120);
  blocked.Block = true;
  auto ticked = Drawn(0, 100, 100, 112, 112, pit::kCheckbox);
  ticked.Choices[0].Flag = true;
  auto retypedLine = Drawn(1, 100, 130, 200, 138, pit::kKreska);  // keeps its tab stop
  retypedLine.Group = 2;
  auto listed = Drawn(0, 100, 100, 200, 120, pit::kSelect);
  listed.SelectItems[0] = {"pierwszy", "1"};
  listed.SelectItems[2] = {"trzeci \"[x]\"", ""};
  auto secondChoice = Drawn(0, 100, 100, 112, 112, pit::kCheckbox);
  secondChoice.Choices[1].Text = "drugi";  // nothing writes it, nothing reads it
  auto xmlOfAnother = Drawn(0, 100, 100, 200, 120);
  xmlOfAnother.Poz = 3;
  xmlOfAnother.XMLNode = "P_4";

  const Case cases[] = {
      {"fields drawn every way, with texts YAML would misread", {tricky, box, box12}, 1, ""},
      // Over the frame of the page, inside out, in the footer, overlapping.
      {"fields no cell can hold",
       {Drawn(0, 5, 10, 790, 30), Drawn(1, 300, 400, 250, 380), Drawn(2, 100, 1110, 400, 1128),
        Drawn(3, 100, 500, 300, 520), Drawn(4, 150, 505, 350, 520), Drawn(5, 200, 490, 220, 520)},
       1, ""},
      {"a strike line, a multi-line field, numbers and flags", {multi, line, numbered, hidden}, 1, ""},
      {"fields on the last of three pages", {Drawn(0, 100, 100, 200, 120, pit::kNip, 3)}, 3, ""},
      {"no fields at all", {}, 2, ""},
      {"a form without its description", {Drawn(0, 60, 60, 90, 80, pit::kLiczba, 2)}, 0, ""},
      {"what only the designer sets: a kept ID, a group, a lock, a default tick, a line's tab",
       {deletedBefore, retypedLine}, 1, ""},
      {"a blocked field", {blocked}, 1, ""},
      {"a box ticked by default", {ticked}, 1, ""},
      {"a pick list of its own", {listed}, 1, ""},
      {"a second text of a tick box", {secondChoice}, 1, "rekord 0: Choices[1].Text \"\" zamiast \"drugi\""},
      {"an XML name of another position", {xmlOfAnother}, 1, "nazwa XML P_4 a pozycja 3"},
      {"a field on page 0", {Drawn(0, 100, 100, 200, 120, pit::kTekst, 0)}, 1, "Page 1 zamiast 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dcgen::DecompileInput in;
    in.idPit = 6;
    in.code = "PIT/O";
    in.variant = 20;
    in.fields = c.fields;
    if (c.pages) {
      in.description = pit::FormDescription{"dc/6.dcd", c.pages, 1280, 1024, 1131, 800};
    }
    RoundTrip r = DecompileAndCompile(in);
    if (*c.problem) {
      EXPECT_NE(Joined(r.problems).find(c.problem), std::string::npos) << Joined(r.problems);
      continue;
    }
    EXPECT_EQ(Joined(r.problems), "") << r.text;
    EXPECT_EQ(ByteDifferences(pit::EncodeFieldObjects(c.fields), r.form.fields), "") << r.text;
    int pages = std::max(c.pages, 1);
    for (const auto& f : c.fields) pages = std::max(pages, f.Page);
    EXPECT_EQ(static_cast<int>(r.form.pages.size()), pages);
  }
}

TEST(DcgenDecompile, CommandWritesACompilableSourceAndKeepsAnExistingOne) {
  const fs::path dir = fs::temp_directory_path() / ("dcgen_decompile_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::vector<pit::FieldObject> fields = {Drawn(0, 100, 100, 300, 120), Drawn(1, 100, 200, 300, 220, pit::kLiczba)};
  ASSERT_TRUE(pit::SaveFieldObjects((dir / "tmp.dcs").string(), fields));
  FixedMeasurer m;
  const std::string out = (dir / "form.yaml").string();
  const std::string dcs = (dir / "tmp.dcs").string();

  // The form number does not follow from "tmp".
  EXPECT_EQ(dcgen::DecompileCommand({dcs, "-o", out}, m), 2);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(dcgen::DecompileCommand({dcs, "-o", out, "--form", "6"}, m), 0);
  const auto first = ReadBytes(out);
  YAML::Node src = YAML::LoadFile(out);
  EXPECT_EQ(dcgen::CheckSchema(src, out), std::vector<std::string>{});
  EXPECT_EQ(ByteDifferences(pit::EncodeFieldObjects(fields), dcgen::CompileForm(src, m).fields), "");

  // A second run does not replace a source unless asked to.
  fields.pop_back();
  ASSERT_TRUE(pit::SaveFieldObjects(dcs, fields));
  EXPECT_EQ(dcgen::DecompileCommand({dcs, "-o", out, "--form", "6"}, m), 1);
  EXPECT_EQ(ReadBytes(out), first);
  EXPECT_EQ(dcgen::DecompileCommand({dcs, "-o", out, "--form", "6", "--force"}, m), 0);
  EXPECT_EQ(dcgen::CompileForm(YAML::LoadFile(out), m).fields.size(), 1u);

  // A record the source cannot carry fails the command, naming it.
  fields[0].ExtraItems[3].Value = "7";
  ASSERT_TRUE(pit::SaveFieldObjects(dcs, fields));
  testing::internal::CaptureStderr();
  EXPECT_EQ(dcgen::DecompileCommand({dcs, "-o", out, "--form", "6", "--force"}, m), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("rekord 0: ExtraItems[3].Value"), std::string::npos);
  fs::remove_all(dir);
}

// A damaged definition (random records, too many of them, a page or a page
// count no form has) is refused at once with what is wrong, and no source
// is written: decompiling it must not run on for pages without end.
TEST(DcgenDecompile, DamagedDefinitionsAreRefusedAtOnce) {
  const fs::path dir = fs::temp_directory_path() / ("dcgen_damaged_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::vector<pit::FieldObject> good = {Drawn(0, 100, 100, 300, 120), Drawn(1, 100, 200, 300, 220)};
  auto write = [](const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
  };
  std::vector<std::uint8_t> random(pit::kFieldRecordSize * 40);
  std::uint32_t x = 99;
  for (auto& b : random) b = static_cast<std::uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  std::vector<pit::FieldObject> farPage = good;
  farPage[1].Page = 1000000000;
  std::vector<pit::FieldObject> offPage = good;
  offPage[0].Bottom = 2000000000;
  const std::vector<std::uint8_t> tooMany =
      pit::EncodeFieldObjects(std::vector<pit::FieldObject>(pit::kMaxFields + 1, good[0]));
  pit::FormDescription manyPages;
  manyPages.PageCount = 2000000000;
  manyPages.PageWidth = 800;
  manyPages.PageHeight = 1131;

  struct Case {
    const char* name;
    std::vector<std::uint8_t> dcs;
    std::optional<pit::FormDescription> dcd;
    const char* says;
  } cases[] = {
      {"random records", random, std::nullopt, "definicja jest uszkodzona: rekord 0"},
      {"a page number far away", pit::EncodeFieldObjects(farPage), std::nullopt, "rekord 1: numer strony 1000000000"},
      {"a rectangle off the page", pit::EncodeFieldObjects(offPage), std::nullopt, "rekord 0: prostokąt pola"},
      {"more records than a form has", tooMany, std::nullopt, "351 rekordów pól"},
      {"two thousand million pages", pit::EncodeFieldObjects(good), manyPages, "liczba stron 2000000000"},
  };
  FixedMeasurer m;
  const std::string out = (dir / "form.yaml").string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    write(dir / "6.dcs", c.dcs);
    std::vector<std::string> args = {(dir / "6.dcs").string()};
    if (c.dcd) {
      ASSERT_TRUE(pit::SaveFormDescription((dir / "6.dcd").string(), *c.dcd));
      args.push_back((dir / "6.dcd").string());
    }
    args.insert(args.end(), {"-o", out});
    testing::internal::CaptureStderr();
    EXPECT_EQ(dcgen::DecompileCommand(args, m), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(out));
  }
  // The library call says the same.
  dcgen::DecompileInput in;
  in.idPit = 6;
  in.fields = farPage;
  const dcgen::Decompiled d = dcgen::Decompile(in, m);
  ASSERT_EQ(d.problems.size(), 1u);
  EXPECT_NE(d.problems[0].find("uszkodzona"), std::string::npos) << d.problems[0];
  fs::remove_all(dir);
}

// The names and the form's keys live only in the source: a definition
// edited in the designer and turned back into a source must keep them, or
// the code naming the fields stops compiling.

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A header's lines in order: the rebuilt source lists the cells by their
// place on the page, so the constants may come in another order.
std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Each shipped source replaced by `dcgen decompile --force` from the kept
// records: the records come back, and dcfields makes the same headers of
// names and the same catalogue from the rebuilt sources as from the shipped.
TEST(DcgenDecompile, ReplacedShippedSourcesKeepTheirNamesAndFormKeys) {
  const fs::path dir = fs::temp_directory_path() / ("dcgen_names_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const fs::path forms = fs::path(PIT_SOURCE_DIR) / "data" / "forms";
  fs::create_directories(dir / "src");
  for (const auto& e : fs::directory_iterator(forms))
    if (e.is_regular_file()) fs::copy_file(e.path(), dir / "src" / e.path().filename());
  FixedMeasurer m;
  const fs::path dc = fs::path(PIT_BIN_DIR) / "dc";
  for (const fs::path& src : dcgen::FormSources(forms)) {
    SCOPED_TRACE(src.filename().string());
    const YAML::Node shipped = YAML::LoadFile(src.string());
    const std::string idPit = std::to_string(shipped["form"].as<int>());
    const fs::path out = dir / "src" / src.filename();
    testing::internal::CaptureStderr();
    const int rc = dcgen::DecompileCommand(
        {(dc / (idPit + ".dcs")).string(), (dc / (idPit + ".dcd")).string(), "-o", out.string(), "--force"}, m);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(rc, 0) << err;
    EXPECT_EQ(err.find("przepadła"), std::string::npos) << err;

    const YAML::Node rebuilt = YAML::LoadFile(out.string());
    EXPECT_FALSE(rebuilt["templates"]);
    for (const auto& kv : shipped) {
      const std::string key = kv.first.Scalar();
      if (key == "pages" || key == "templates") continue;
      EXPECT_EQ(rebuilt[key].Scalar(), kv.second.Scalar()) << key;
    }
    EXPECT_EQ(ByteDifferences(ReadBytes(dc / (idPit + ".dcs")), dcgen::CompileForm(rebuilt, m).fields), "");
  }

  auto dcfields = [&](const fs::path& from, const fs::path& to) {
    const std::string command = "'" PIT_TOOLS_DIR "/dcfields' '" + from.string() + "' '" + to.string() + "'";
    return std::system(command.c_str());
  };
  ASSERT_EQ(dcfields(forms, dir / "shipped"), 0);
  ASSERT_EQ(dcfields(dir / "src", dir / "rebuilt"), 0);
  int headers = 0;
  for (const auto& e : fs::directory_iterator(dir / "shipped" / "forms")) {
    SCOPED_TRACE(e.path().filename().string());
    const std::string want = ReadText(e.path());
    const std::string got = ReadText(dir / "rebuilt" / "forms" / e.path().filename());
    if (e.path().filename() == "catalogue_rows.h") {
      EXPECT_EQ(got, want);
    } else {
      ++headers;
      EXPECT_EQ(SortedLines(got), SortedLines(want));
    }
  }
  EXPECT_GT(headers, 20);
  fs::remove_all(dir);
}

// A source to edit: named fields, a printed position renumbered by hand
// later, and two tick boxes of one group that only their values tell apart.
constexpr const char* kNamedSource = R"(form: 6
code: "PIT/O"
namespace: named
kind: attachment
copies: many
exempt: "P_1,"
variant: 20
pages:
  - blocks:
      - cells:
          - {f: 0, id: first, t: text, poz: 1}
          - {f: 1, id: second, poz: 2}
          - {f: 2, id: third, poz: 3}
      - cells:
          - w: 2
            boxes:
              - {f: 3, id: filing, poz: 4, code: "1", text: "złożenie"}
              - {f: 4, id: correction, poz: 4, code: "2", text: "korekta"}
)";

// What the designer does to the records: it keeps a record's ID whatever
// is edited, closes the gap of a deleted record, and gives an appended one
// the ID of its index.
TEST(DcgenDecompile, NamesFollowTheirFieldsThroughDesignerEdits) {
  FixedMeasurer m;
  const dcgen::PreviousSource previous = dcgen::PreviousOf(YAML::Load(kNamedSource), m);
  ASSERT_EQ(previous.fields.size(), 5u);
  using Records = std::vector<pit::FieldObject>;
  auto erase = [](Records r, int k) {
    r.erase(r.begin() + k);
    return r;
  };
  auto append = [](Records r, const pit::FieldObject& f) {
    r.push_back(f);
    return r;
  };
  // Both come after a deletion, as the fifth record.
  const pit::FieldObject drawn = Drawn(4, 300, 400, 400, 420);
  pit::FieldObject boxCopy = previous.fields[3];  // Ctrl-drag of a box
  boxCopy.ID = 4;
  boxCopy.Left += 40, boxCopy.Right += 40;

  Records edited = previous.fields;
  edited[0].Typ = pit::kKreska, edited[0].XMLNode.clear(), edited[0].MaxChar = 0;  // retyped to a line
  edited[0].Bottom = edited[0].Top + 8;
  edited[1].Left += 20, edited[1].Right += 20;                      // moved
  edited[2].Poz = 7, edited[2].XMLNode = "P_7";                     // renumbered, its name kept
  Records renamed = previous.fields;
  renamed[2].Poz = 9, renamed[2].XMLNode = "P_9", renamed[2].Name = "kwota";

  struct Case {
    const char* what;
    Records fields;
    std::map<int, std::string> names;
    std::vector<std::pair<std::string, bool>> dropped;  // name, its field deleted
  };
  const Case cases[] = {
      {"nothing edited", previous.fields,
       {{0, "first"}, {1, "second"}, {2, "third"}, {3, "filing"}, {4, "correction"}}, {}},
      {"a field deleted: the ones after it move down with their names", erase(previous.fields, 1),
       {{0, "first"}, {1, "third"}, {2, "filing"}, {3, "correction"}}, {{"second", true}}},
      {"a field drawn after a deletion takes the ID a moved field has", append(erase(previous.fields, 1), drawn),
       {{0, "first"}, {1, "third"}, {2, "filing"}, {3, "correction"}}, {{"second", true}}},
      {"a field drawn in place of the deleted last one", append(erase(previous.fields, 4), drawn),
       {{0, "first"}, {1, "second"}, {2, "third"}, {3, "filing"}}, {{"correction", false}}},
      {"a box copied in place of the deleted box of the same group", append(erase(previous.fields, 4), boxCopy),
       {{0, "first"}, {1, "second"}, {2, "third"}, {3, "filing"}}, {{"correction", false}}},
      {"fields retyped, moved and renumbered", edited,
       {{0, "first"}, {1, "second"}, {2, "third"}, {3, "filing"}, {4, "correction"}}, {}},
      {"a field with another name, XML element and position", renamed,
       {{0, "first"}, {1, "second"}, {3, "filing"}, {4, "correction"}}, {{"third", false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dcgen::DecompileInput in;
    in.idPit = 6;
    in.code = "PIT/O";
    in.fields = c.fields;
    in.previous = previous;
    RoundTrip r = DecompileAndCompile(in);
    EXPECT_EQ(Joined(r.problems), "") << r.text;
    EXPECT_EQ(r.names, c.names);
    std::vector<std::pair<std::string, bool>> dropped;
    for (const auto& d : r.dropped) dropped.emplace_back(d.id, d.deleted);
    EXPECT_EQ(dropped, c.dropped);
    // The rebuilt source gives the edited records and has the names where
    // they were carried.
    EXPECT_EQ(ByteDifferences(pit::EncodeFieldObjects(c.fields), r.form.fields), "") << r.text;
    std::map<int, std::string> compiledNames;
    for (const auto& [id, index] : r.form.ids) compiledNames[index] = id;
    EXPECT_EQ(compiledNames, c.names) << r.text;
    EXPECT_EQ(r.form.exempt, "P_1,");
  }
}

// The command takes the source it replaces as the previous one, says which
// names were lost, and keeps a source it cannot take names from.
TEST(DcgenDecompile, CommandCarriesTheNamesOfTheSourceItReplaces) {
  const fs::path dir = fs::temp_directory_path() / ("dcgen_replace_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  FixedMeasurer m;
  const fs::path source = dir / "06-named.yaml", dcs = dir / "6.dcs";
  const std::string text = kNamedSource;
  auto writeSource = [&](const std::string& t) { std::ofstream(source, std::ios::binary | std::ios::trunc) << t; };
  ASSERT_TRUE(pit::SaveFieldObjects(dcs.string(), dcgen::PreviousOf(YAML::Load(text), m).fields));
  auto fields = *pit::LoadFieldObjects(dcs.string());
  fields.erase(fields.begin() + 1);
  ASSERT_TRUE(pit::SaveFieldObjects(dcs.string(), fields));

  writeSource(text);
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  EXPECT_EQ(dcgen::DecompileCommand({dcs.string(), "-o", source.string(), "--force"}, m), 0);
  const std::string said = testing::internal::GetCapturedStdout();
  const std::string warned = testing::internal::GetCapturedStderr();
  EXPECT_NE(warned.find("uwaga: nazwa 'second' przepadła – pole 1 poprzedniego źródła zostało usunięte; kod, "
                        "który jej używa, się nie skompiluje"),
            std::string::npos)
      << warned;
  EXPECT_NE(said.find("4 przeniesione, 1 przepadło"), std::string::npos) << said;
  const YAML::Node rebuilt = YAML::LoadFile(source.string());
  EXPECT_EQ(rebuilt["namespace"].Scalar(), "named");
  EXPECT_EQ(rebuilt["copies"].Scalar(), "many");
  EXPECT_EQ(dcgen::CompileForm(rebuilt, m).ids,
            (std::map<std::string, int>{{"first", 0}, {"third", 1}, {"filing", 2}, {"correction", 3}}));

  // A source that does not compile, or one of another form, is kept as it
  // is: replacing it would lose its names without a word.
  struct Case {
    const char* what;
    std::string source;
    const char* says;
  };
  std::string otherForm = text;
  otherForm.replace(otherForm.find("form: 6"), 7, "form: 7");
  std::string twice = text;
  twice.replace(twice.find("id: third"), 9, "id: first");
  const Case cases[] = {
      {"not YAML", "form: [6\n", "nie można odczytać poprzedniego źródła"},
      {"a name given twice", twice, "nazwa 'first' nadana dwóm polom"},
      {"another form's source", otherForm, "to źródło formularza 7, a definicja jest formularza 6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeSource(c.source);
    testing::internal::CaptureStderr();
    EXPECT_EQ(dcgen::DecompileCommand({dcs.string(), "-o", source.string(), "--force"}, m), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_EQ(ReadText(source), c.source);
  }
  fs::remove_all(dir);
}

}  // namespace
