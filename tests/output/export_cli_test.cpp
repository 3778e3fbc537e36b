// Validation and export of a PIT-37 with the taxpayer's PIT/O end to end
// through pit2014cli, on the definitions the build ships: the problem lines,
// the XML and text files byte for byte against golden files, the XML read
// back by a real XML parser, and the HTML copy's files.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QXmlStreamReader>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "../support/cli_run.h"
#include "app/document.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "forms/pit38_fields.h"
#include "text/cp1250.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

using testsupport::CliRun;

std::string ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto p = text.find(part); p != std::string::npos; p = text.find(part, p + 1)) ++n;
  return n;
}

// The values typed into the return: every required field of the PIT-37's
// taxpayer, a surname holding the characters XML must escape, an amount.
const std::vector<std::string> kTyped = {
    "1:0=1234563218", "1:7=0202",     "1:10=<&>KOWAL", "1:11=JAN",    "1:12=01-02-1980", "1:140=POLSKA",
    "1:14=ŚLĄSKIE",   "1:15=GLIWICE", "1:16=GLIWICE",  "1:18=12",     "1:20=GLIWICE",    "1:21=44-100",
    "1:22=GLIWICE",   "1:36=50000",   "1:37=1335",     "1:40=6000"};

class ExportCliTest : public testsupport::CliFolderTest {
 protected:
  ExportCliTest() : CliFolderTest(PIT_CLI, "pit-export-cli-") {}

  std::string File() const { return CliFolderTest::File("zeznanie.dc2014"); }

  void MakeReturn(bool complete) {
    ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37", "PIT/O@1:1"}).status, 0);
    if (!complete) return;
    std::vector<std::string> args = {"set", File()};
    args.insert(args.end(), kTyped.begin(), kTyped.end());
    args.push_back("2:13=760,00");  // a PIT/O relief
    const CliRun r = Cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
  }

  fs::path Export(bool html) {
    std::vector<std::string> args = {"export", File(), "--entry", "2", "-o", (dir_ / "e").string()};
    if (!html) args.push_back("--no-html");
    const CliRun r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("Brak"), std::string::npos) << r.err;
    std::string folder = r.out;
    while (!folder.empty() && folder.back() == '\n') folder.pop_back();
    EXPECT_EQ(fs::path(folder).parent_path(), dir_ / "e");
    EXPECT_TRUE(IsGuidText(fs::path(folder).filename().string())) << folder;
    return fs::path(folder);
  }
};

TEST_F(ExportCliTest, ValidateListsTheEmptyRequiredFields) {
  MakeReturn(false);
  const CliRun r = Cli({"validate", File()});
  EXPECT_EQ(r.status, 1) << r.err;
  std::vector<std::string> lines;
  std::stringstream ss(r.out);
  for (std::string l; std::getline(ss, l);) lines.push_back(l);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "PIT-37 pole: Podatnik - NIP (poz. 1)");
  // The spouse's fields are not needed in an individual return; nothing of
  // the PIT/O is reported (its identification comes from the PIT-37).
  EXPECT_EQ(r.out.find("Małżonek"), std::string::npos);
  EXPECT_EQ(r.out.find("PIT/O"), std::string::npos);
  EXPECT_NE(r.out.find("PIT-37 pole: Urząd skarbowy, do którego adresowane jest zeznanie (poz. 6)\n"), std::string::npos);
  EXPECT_EQ(lines.back(), "ILOŚĆ NIEWYPEŁNIONYCH PÓL: " + std::to_string(lines.size() - 1));

  MakeReturn(true);
  const CliRun done = Cli({"validate", File()});
  EXPECT_EQ(done.status, 0) << done.out;
  EXPECT_EQ(done.out, "Wszystkie wymagane pola zostały wypełnione\nILOŚĆ NIEWYPEŁNIONYCH PÓL: 0\n");

  EXPECT_EQ(Cli({"validate"}).status, 2);
  EXPECT_EQ(Cli({"validate", (dir_ / "brak.dc2014").string()}).status, 3);
}

// Run from cron, su or a container there is no runtime folder; the drawing
// commands still say on standard error only what the program itself says
// (here the calculation's reduction notice), the same as with the folder.
TEST_F(ExportCliTest, DrawingCommandsKeepStandardErrorQuietWithoutARuntimeFolder) {
  MakeReturn(true);
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string runtime = saved ? saved : "";
  const fs::path own = dir_ / "runtime";
  fs::create_directories(own);
  fs::permissions(own, fs::perms::owner_all, fs::perm_options::replace);
  const std::vector<std::vector<std::string>> commands = {
      {"render", File(), "--entry", "1", "--page", "1", "-o", (dir_ / "s1.png").string()},
      {"print", File(), "--entry", "1", "--return", "-o", (dir_ / "z.pdf").string()},
      {"export", File(), "--entry", "1", "-o", (dir_ / "e").string(), "--no-html"},
      {"export", File(), "--entry", "1", "-o", (dir_ / "e").string()},
  };
  for (const auto& args : commands) {
    setenv("XDG_RUNTIME_DIR", own.c_str(), 1);
    const CliRun with = Cli(args);
    unsetenv("XDG_RUNTIME_DIR");
    const CliRun without = Cli(args);
    EXPECT_EQ(without.status, 0) << args[0] << ": " << without.err;
    EXPECT_EQ(without.err, with.err) << args[0];
    for (const char* toolkit : {"XDG_RUNTIME_DIR", "QStandardPaths", "qt.", "QPA"})
      EXPECT_EQ(without.err.find(toolkit), std::string::npos) << args[0] << ": " << without.err;
  }
  EXPECT_TRUE(fs::exists(dir_ / "s1.png"));
  EXPECT_TRUE(fs::exists(dir_ / "z.pdf"));
  if (saved) setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
}

TEST_F(ExportCliTest, XmlAndTextMatchTheGoldenFiles) {
  MakeReturn(true);
  const fs::path folder = Export(false);
  const std::string id = folder.filename().string();
  const std::string xml = ReadAll(folder / ("P_" + id + ".xml"));
  const std::string text = ReadAll(folder / ("P_" + id + ".txt"));
  const fs::path golden = fs::path(PIT_SOURCE_DIR) / "tests" / "output" / "golden";
  EXPECT_EQ(xml, ReadAll(golden / "pit37_pito.xml"));
  EXPECT_EQ(text, ReadAll(golden / "pit37_pito.txt"));

  // Every line ends in CR LF; no byte-order mark; the text file is
  // Windows-1250 ("ŚLĄSKIE"), the XML UTF-8.
  for (const std::string* f : {&xml, &text}) {
    EXPECT_EQ(CountOf(*f, "\n"), CountOf(*f, "\r\n"));
    EXPECT_EQ(f->substr(f->size() - 2), "\r\n");
  }
  EXPECT_EQ(xml.rfind("<?xml", 0), 0u);
  EXPECT_NE(text.find("\x8C" "L\xA5SKIE"), std::string::npos);
  EXPECT_NE(xml.find("ŚLĄSKIE"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "html"));
  EXPECT_TRUE(fs::exists(folder / "ico" / "PitP.gif"));
}

TEST_F(ExportCliTest, AXmlParserReadsEveryValueBack) {
  MakeReturn(true);
  const fs::path folder = Export(false);
  const std::string id = folder.filename().string();
  const std::string xml = ReadAll(folder / ("P_" + id + ".xml"));
  const std::string text = Cp1250ToUtf8(ReadAll(folder / ("P_" + id + ".txt")));

  // What the parser reads, element by element.
  std::map<std::string, std::string> read;
  QXmlStreamReader reader(QByteArray::fromStdString(xml));
  int documents = 0;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    const std::string name = reader.name().toString().toStdString();
    if (name == "ROZICZENIE") continue;
    if (name == "DOCUMENT") {
      ++documents;
      continue;
    }
    read[name] = reader.readElementText().toStdString();
  }
  ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  EXPECT_EQ(documents, 2);

  EXPECT_EQ(read["PIT37_1.0.Podmiot1.Nazwisko"], "<&>KOWAL");
  EXPECT_EQ(read["PIT37_1.0.Podmiot1.Wojewodztwo"], "ŚLĄSKIE");
  EXPECT_EQ(read["PIT37_1.0.Naglowek.KodUrzedu"], "0202");
  EXPECT_EQ(read["PIT37_1.0.Podmiot1.KodKraju"], "PL");
  EXPECT_EQ(read["PIT37_1.0.P_37"], "50000.00");  // field 36, printed as 37
  EXPECT_EQ(read["PITO_1.1.Naglowek.WariantFormularza"], "20");

  // Every line of the text file is an element of the XML with the same
  // value; the text file carries the characters as typed.
  std::stringstream ss(text);
  int lines = 0;
  for (std::string line; std::getline(ss, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> parts;
    std::stringstream ls(line);
    for (std::string p; std::getline(ls, p, ';');) parts.push_back(p);
    ASSERT_EQ(parts.size(), 5u) << line;
    const std::string type = parts[3] == "PIT-37" ? "PIT37_1.0." : "PITO_1.1.";
    EXPECT_EQ(read[type + parts[1]], parts[2]) << line;
    ++lines;
  }
  // Besides: the form code and type elements (one name in every document)
  // and each document's variant.
  EXPECT_EQ(lines + 2 + documents, static_cast<int>(read.size()));
}

TEST_F(ExportCliTest, HtmlCopyOfPit37WithPitO) {
  MakeReturn(true);
  const fs::path folder = Export(true);
  const std::string id = folder.filename().string();

  // Seven page bitmaps, 800 pixels wide, with the anchors as names.
  std::vector<std::string> bitmaps;
  for (const auto& f : fs::directory_iterator(folder / "html"))
    if (f.path().extension() == ".bmp") bitmaps.push_back(f.path().filename().string());
  std::sort(bitmaps.begin(), bitmaps.end());
  EXPECT_EQ(bitmaps, (std::vector<std::string>{"2_1._1.bmp", "2_1._2.bmp", "2_1._3.bmp", "2_1._4.bmp",
                                               "6_1.1_1.bmp", "6_1.1_2.bmp", "6_1.1_3.bmp"}));
  const QImage page1(QString::fromStdString((folder / "html" / "2_1._1.bmp").string()));
  EXPECT_EQ(page1.width(), 800);
  EXPECT_GT(page1.height(), 1000);

  const std::string pages = Cp1250ToUtf8(ReadAll(folder / "html" / ("r_" + id + ".html")));
  EXPECT_EQ(CountOf(pages, "\n<A NAME=\""), 7u);
  EXPECT_NE(pages.find("<A NAME=\"2_1._1\">"), std::string::npos);
  EXPECT_NE(pages.find("<img src=\"6_1.1_3.bmp\" class=\"DImg\">"), std::string::npos);
  // The first page's previous link and the last page's next link lead nowhere.
  EXPECT_NE(pages.find("<A href=\"#2_1._0\" class=\"L\">"), std::string::npos);
  EXPECT_NE(pages.find("<A href=\"#6_1.1_4\" class=\"L\">"), std::string::npos);
  EXPECT_NE(pages.find("PIT/O<sub style=\"font-size:8px;\">(20)</sub> (Podatnika)  (nr: 1)  str. 2/3"),
            std::string::npos);

  const std::string menu = Cp1250ToUtf8(ReadAll(folder / "html" / ("m_" + id + ".html")));
  EXPECT_EQ(CountOf(menu, "<B>"), 1u);
  EXPECT_NE(menu.find("list-style-image:url('../ico/Pit.gif')\"><B><A href=\"r_" + id +
                      ".html#2_1._1\" TARGET=\"page\" class=\"LM\">PIT-37</B></A>"),
            std::string::npos)
      << menu;
  EXPECT_NE(menu.find("list-style-image:url('../ico/PitP.gif')\"><A href=\"r_" + id +
                      ".html#6_1.1_1\" TARGET=\"page\" class=\"LM\">PIT/O (P) (nr: 1) </A>"),
            std::string::npos)
      << menu;
  EXPECT_TRUE(menu.find("\n</UL>\n</UL>\n</BODY>\n</HTML>") != std::string::npos ||
              menu.find("\r\n</UL>\r\n</UL>\r\n</BODY>\r\n</HTML>") != std::string::npos);

  const std::string frameset = ReadAll(folder / (id + ".html"));
  EXPECT_NE(frameset.find("SRC=\"html/m_" + id + ".html\""), std::string::npos);
  EXPECT_NE(frameset.find("SRC=\"html/r_" + id + ".html\""), std::string::npos);
  for (const char* icon : {"Pit.gif", "PitP.gif", "PitM.gif"}) {
    const QImage img(QString::fromStdString((folder / "ico" / icon).string()));
    EXPECT_EQ(img.width(), 16) << icon;
  }
}

// An export holds the same tax data as the settlement: its folders and files
// are the owner's only. One that cannot be written whole (a disk that fills
// up, here a file size limit) leaves nothing behind for the e-filing
// program to take for a whole one: the command fails and says so.
TEST_F(ExportCliTest, ExportIsOwnerOnlyAndWhollyWrittenOrGone) {
  MakeReturn(true);
  const std::vector<std::string> limited = {"-c", "trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\"",
                                            PIT_CLI, "export", File(), "--entry", "2", "-o", (dir_ / "e").string()};
  const CliRun failed = testsupport::RunCli("/bin/sh", limited, dir_ / "stderr.txt");
  EXPECT_EQ(failed.status, 3) << failed.err;
  EXPECT_NE(failed.err.find("Pliki tego eksportu zostały usunięte: " + (dir_ / "e").string() + "/"),
            std::string::npos)
      << failed.err;
  EXPECT_TRUE(fs::is_empty(dir_ / "e"));

  const fs::path folder = Export(true);
  std::size_t files = 0;
  for (const auto& f : fs::recursive_directory_iterator(dir_ / "e")) {
    const fs::perms mode = f.status().permissions() & fs::perms::all;
    if (f.is_directory()) {
      EXPECT_EQ(mode, fs::perms::owner_all) << f.path();
    } else {
      EXPECT_EQ(mode, fs::perms::owner_read | fs::perms::owner_write) << f.path();
      ++files;
    }
  }
  EXPECT_EQ(fs::status(dir_ / "e").permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_GE(files, 2u + 3u + 3u + 7u);  // XML, text, HTML files, icons, page bitmaps
}

TEST_F(ExportCliTest, RefusedReturnsAndWrongUse) {
  ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37", "PIT/O@1:1", "PIT/O@1:1"}).status, 0);
  CliRun r = Cli({"export", File(), "--entry", "1", "-o", (dir_ / "e").string()});
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, "Niemożliwe jest wysłanie drogą elektroniczną więcej niż jednego załącznika: PIT-O.\n");
  EXPECT_FALSE(fs::exists(dir_ / "e"));
  EXPECT_EQ(Cli({"export", File(), "--entry", "9", "-o", (dir_ / "e").string()}).status, 4);
  EXPECT_EQ(Cli({"export", File(), "-o", (dir_ / "e").string()}).status, 2);
  EXPECT_EQ(Cli({"export", File(), "--entry", "1"}).status, 2);
}

// A figure that cannot be read stops the export of its own return only: the
// PIT-37 of the same settlement is handed on, the PIT-38 is refused with
// the message the form window gives.
TEST_F(ExportCliTest, AnUnreadableFigureStopsOnlyItsOwnReturn) {
  ASSERT_EQ(Cli({"new", "-o", File(), "--kind", "0", "PIT-37", "PIT/O@1:1", "PIT-38"}).status, 0);
  std::vector<std::string> args = {"set", File()};
  args.insert(args.end(), kTyped.begin(), kTyped.end());
  ASSERT_EQ(Cli(args).status, 0);
  {
    DefinitionLibrary defs((fs::path(PIT_CLI).parent_path() / "dc").string());
    Settlement s;
    ASSERT_TRUE(LoadSettlement(File(), s, defs).ok);
    ASSERT_EQ(s.Entry(3).IdPit, static_cast<int>(kPit38));
    s.Write(3, pit38::other_revenue, "5 zł");
    ASSERT_TRUE(SaveSettlement(s, File()).ok);
  }
  const CliRun own = Cli({"export", File(), "--entry", "3", "-o", (dir_ / "e38").string()});
  EXPECT_EQ(own.status, 4);
  EXPECT_EQ(own.err, "Nieprawidłowa kwota \"5 zł\" w poz. 22 formularza PIT-38\n");
  EXPECT_FALSE(fs::exists(dir_ / "e38"));

  const CliRun other = Cli({"export", File(), "--entry", "1", "-o", (dir_ / "e37").string(), "--no-html"});
  ASSERT_EQ(other.status, 0) << other.err;
  std::string folder = other.out;
  while (!folder.empty() && folder.back() == '\n') folder.pop_back();
  const std::string xml = ReadAll(fs::path(folder) / ("P_" + fs::path(folder).filename().string() + ".xml"));
  EXPECT_NE(xml.find("<Naglowek.KodFormularza>PIT-37</Naglowek.KodFormularza>"), std::string::npos) << folder;
  EXPECT_EQ(xml.find("PIT-38"), std::string::npos);
}

}  // namespace
}  // namespace pit
