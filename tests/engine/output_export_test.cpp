// The export of a return and the texts of its HTML copy, on small
// definition folders made here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/settlement.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "forms/pit28b_fields.h"
#include "forms/pit_b_fields.h"
#include "forms/pit_o_fields.h"
#include "output/export.h"
#include "output/export_folder.h"
#include "output/html_copy.h"
#include "text/cp1250.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

std::string ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

FieldObject Field(int typ, const std::string& xml, const std::string& name, int option = 0) {
  FieldObject f;
  f.Typ = typ;
  f.XMLNode = xml;
  f.Name = name;
  f.Option = option;
  return f;
}

TEST(ExportValues, NumbersAndEscapes) {
  struct Case {
    std::string value;
    int option;
    std::string expected;
  };
  const std::vector<Case> numbers = {
      {"1234,50", 2, "1234"},   {"1234,50", 12, "1234"}, {"1234,50", 1, "1234.50"},
      {"1234,50", 11, "1234.50"}, {"-5,00", 12, "-5"},    {",50", 12, ".50"},  // the point stands first: kept
      {"7", 2, "7"},             {"", 1, ""},
  };
  for (const Case& c : numbers) EXPECT_EQ(ExportNumberText(c.value, c.option), c.expected) << c.value << c.option;

  EXPECT_EQ(EscapeXmlText("A&B && C"), "A&amp;B &amp;&amp; C");
  EXPECT_EQ(EscapeXmlText("<&>"), "&lt;&amp;&gt;");
  EXPECT_EQ(EscapeXmlText(std::string("a\x01" "b\tc", 5)), "ab\tc");
  EXPECT_EQ(EscapeXmlText("Łódź"), "Łódź");
  EXPECT_EQ(EscapeHtml("\"<Jan & Co>\""), "&quot;&lt;Jan &amp; Co&gt;&quot;");
}

TEST(ExportIdentifiers, TypeIdentifiersAndCaptions) {
  FormCatalogue cat;
  TypeIdentifiers ids;
  const std::vector<std::tuple<int, int, std::string>> cases = {
      {kPit37, 0, "PIT37_1.0"}, {kPitO, 1, "PITO_1.1"},   {kPitB, 1, "PITB_1.1"},  {kPitB, 2, "PITB_2.2"},
      {kPitD, 1, "PITD_1.1"},   {kPit28A, 1, "PIT28A_1.1"}, {kSseRA, 0, "SSERA_1.0"}, {kUpkdOrdZu, 0, "ORDZU_1.0"},
      {kNip7, 0, "NIP7"},       {kUpkd, 0, "UPKD"},       {kPit37, 0, "PIT37_2.0"},
  };
  for (const auto& [idPit, pm, expected] : cases) EXPECT_EQ(ids.Next(cat, idPit, pm), expected) << idPit;

  FormEntry e;
  e.Unlisted()[pit_o::copy_number].Value = "2";
  e.Unlisted()[pit_b::copy_number].Value = "3";
  for (const auto& [idPit, expected] : std::vector<std::pair<int, std::string>>{
           {kPit37, "1"}, {kUpkdOrdZu, "1"}, {kPitO, "2"}, {kPitB, "3"}, {kNip7, ""}, {kUpkd, ""}}) {
    e.IdPit = idPit;
    EXPECT_EQ(PageCaption(e), expected) << idPit;
  }
}

TEST(ExportSharedNames, PitBAlternativeSlot) {
  struct Case {
    std::string alternative;
    bool alternativeUsed;
  };
  Settlement s;
  for (const Case& c : std::vector<Case>{{"0,00", false}, {"", false}, {"abc", false}, {"12,50", true}, {"-1,00", true},
                                                 // more decimals than grosze: read from the text
                                                 {"0,000", false}, {"0,001", true}}) {
    const int e = s.AddEntry(kPitB, 0, kPmNone, kIndividual);
    ValueSlot share;
    share.XMLNode = "P_27";
    s.WriteSlot(e, pit_b::partner1_revenue_share, share);
    s.Write(e, pit_b::partner1_revenue_own, c.alternative);
    ApplySharedXmlNames(s, e);
    EXPECT_EQ(s.Entry(e).Slot(pit_b::partner1_revenue_share).XMLNode, c.alternativeUsed ? "" : "P_27") << c.alternative;
    EXPECT_EQ(s.Entry(e).Slot(pit_b::partner1_revenue_own).XMLNode, c.alternativeUsed ? "P_27" : "") << c.alternative;
  }
  const int b = s.AddEntry(kPit28B, 0, kPmNone, kIndividual);
  s.Write(b, pit28b::partnership1_fivefold_20pct_typed, "1,00");
  ApplySharedXmlNames(s, b);
  EXPECT_EQ(s.Entry(b).Slot(pit28b::partnership1_fivefold_20pct_typed).XMLNode, "P_35");
  EXPECT_EQ(s.Entry(b).Slot(pit28b::partnership1_fivefold_20pct_share).XMLNode, "");
  EXPECT_EQ(s.Entry(b).Slot(pit28b::partnership2_fivefold_20pct_share).XMLNode, "P_64");
}

TEST(ExportRefusals, UpkdAndCopies) {
  Settlement s;
  s.Open();
  const int main = s.AddEntry(kPit37, 0, kPmNone, kIndividual);
  const std::string guid = s.Entry(main).ReturnGuid;
  EXPECT_EQ(HandOffRefusal(s, guid), "");
  s.AddEntry(kPitO, main, kPmTaxpayer, kIndividual);
  EXPECT_EQ(HandOffRefusal(s, guid), "");
  s.AddEntry(kPitO, main, kPmSpouse, kIndividual);
  EXPECT_EQ(HandOffRefusal(s, guid), "Niemożliwe jest wysłanie drogą elektroniczną więcej niż jednego załącznika: PIT-O.");
  s.AddEntry(kSseR, main, kPmTaxpayer, kIndividual);
  s.AddEntry(kSseR, main, kPmTaxpayer, kIndividual);
  EXPECT_EQ(HandOffRefusal(s, guid),
            "Niemożliwe jest wysłanie drogą elektroniczną więcej niż jednego załącznika: PIT-O, SSE-R.");
  s.AddEntry(kUpkd, main, kPmNone, kIndividual);
  EXPECT_EQ(HandOffRefusal(s, guid),
            "Niemożliwe jest wysłanie drogą elektroniczną druku UPKD.\nJeżeli korekta deklaracji ma być wysłana "
            "elektronicznie, należy załączyć druk UPKD ORD-ZU.");
  // Another return's forms do not count.
  EXPECT_EQ(HandOffRefusal(s, "00000000-0000-0000-0000-000000000000"), "");
}

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pit-export-" + NewGuidText());
    fs::create_directories(dir_ / "dc");
    fs::create_directories(dir_ / "icon");
    for (const char* icon : {"Pit.gif", "PitP.gif", "PitM.gif"}) std::ofstream(dir_ / "icon" / icon) << icon;
    std::vector<FieldObject> pit37(8);
    pit37[0] = Field(kTekst, "Podmiot1.Nazwisko", "PNazw");
    pit37[1] = Field(kLiczba, "P_36", "W1", 1);
    pit37[2] = Field(kLiczba, "P_103", "Podst", 12);
    pit37[3] = Field(kUrzadSkarbowy, "Naglowek.KodUrzedu", "Urzad");
    pit37[4] = Field(kKraj, "Podmiot1.KodKraju", "PKraj");
    pit37[5] = Field(kTekst, "P_", "Pusty");       // the bare prefix is no element
    pit37[6] = Field(kTekst, "P_40", "");          // no name: not exported
    pit37[7] = Field(kCheckbox, "P_8", "Sposob");
    ASSERT_TRUE(SaveFieldObjects(DcsPath((dir_ / "dc").string(), kPit37), pit37));
    ASSERT_TRUE(SaveFieldObjects(DcsPath((dir_ / "dc").string(), kPitO), {Field(kTekst, "P_12", "Ulga")}));
    defs_ = std::make_unique<DefinitionLibrary>((dir_ / "dc").string());

    s_.Open();
    main_ = s_.AddEntry(kPit37, 0, kPmNone, kIndividual);
    s_.AddEntry(kPitO, main_, kPmTaxpayer, kIndividual);
    s_.AddEntry(kPitD, main_, kPmTaxpayer, kIndividual);  // no definition file
    s_.AddEntry(kPit37, 0, kPmNone, kIndividual);        // another return
    s_.RebuildTree(*defs_);
    for (const auto& [k, value] : std::vector<std::pair<int, std::string>>{{0, "Kowalska & <Nowak>"},
                                                                          {1, "1234,56"},
                                                                          {2, "1234,00"},
                                                                          {3, "URZĄD SKARBOWY W TESTACH"},
                                                                          {4, "POLSKA"},
                                                                          {5, "x"},
                                                                          {6, "y"},
                                                                          {7, "1"}})
      s_.Write(main_, k, value);
    s_.WriteOfficeCode(main_, 3, "0202");
    s_.WriteCheck(main_, 7, true);
    s_.Write(2, 0, "Żółć");
    s_.Write(2, 3, "1");
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  std::unique_ptr<DefinitionLibrary> defs_;
  Settlement s_;
  int main_ = 0;
};

TEST_F(ExportTest, DocumentOfOneReturn) {
  ExportHooks hooks;
  hooks.countryCode = [](const std::string& name) { return name == "POLSKA" ? std::string("PL") : std::string(); };
  const ExportDocument doc = BuildExport(s_, *defs_, s_.Entry(main_).ReturnGuid, hooks);

  EXPECT_EQ(doc.xml,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ROZICZENIE>\n"
            "<DOCUMENT>\n<Naglowek.KodFormularza>PIT-37</Naglowek.KodFormularza>\n"
            "<Naglowek.TypFormularza>PIT37_1.0</Naglowek.TypFormularza>\n"
            "<PIT37_1.0.Naglowek.WariantFormularza>20</PIT37_1.0.Naglowek.WariantFormularza>\n"
            "<PIT37_1.0.Podmiot1.Nazwisko>Kowalska &amp; &lt;Nowak&gt;</PIT37_1.0.Podmiot1.Nazwisko>\n"
            "<PIT37_1.0.P_36>1234.56</PIT37_1.0.P_36>\n"
            "<PIT37_1.0.P_103>1234</PIT37_1.0.P_103>\n"
            "<PIT37_1.0.Naglowek.KodUrzedu>0202</PIT37_1.0.Naglowek.KodUrzedu>\n"
            "<PIT37_1.0.Podmiot1.KodKraju>PL</PIT37_1.0.Podmiot1.KodKraju>\n"
            "<PIT37_1.0.P_8>1</PIT37_1.0.P_8>\n"
            "</DOCUMENT>\n"
            // Tree order: PIT/D before PIT/O. PIT/D has no definition: the header only.
            "<DOCUMENT>\n<Naglowek.KodFormularza>PIT/D</Naglowek.KodFormularza>\n"
            "<Naglowek.TypFormularza>PITD_1.1</Naglowek.TypFormularza>\n"
            "<PITD_1.1.Naglowek.WariantFormularza>"
            "" + std::to_string(s_.Catalogue()[kPitD].Variant) +
            "</PITD_1.1.Naglowek.WariantFormularza>\n</DOCUMENT>\n"
            "<DOCUMENT>\n<Naglowek.KodFormularza>PIT/O</Naglowek.KodFormularza>\n"
            "<Naglowek.TypFormularza>PITO_1.1</Naglowek.TypFormularza>\n"
            "<PITO_1.1.Naglowek.WariantFormularza>" +
                std::to_string(s_.Catalogue()[kPitO].Variant) +
                "</PITO_1.1.Naglowek.WariantFormularza>\n"
                "<PITO_1.1.P_12>Żółć</PITO_1.1.P_12>\n"
                "</DOCUMENT>\n</ROZICZENIE>\n");
  EXPECT_EQ(doc.text,
            "0;Podmiot1.Nazwisko;Kowalska & <Nowak>;PIT-37;PNazw\n"
            "36;P_36;1234.56;PIT-37;W1\n"
            "103;P_103;1234;PIT-37;Podst\n"
            "0;Naglowek.KodUrzedu;0202;PIT-37;Urzad\n"
            "0;Podmiot1.KodKraju;PL;PIT-37;PKraj\n"
            "8;P_8;1;PIT-37;Sposob\n"
            "12;P_12;Żółć;PIT/O;Ulga\n");
  ASSERT_EQ(doc.entries.size(), 3u);
  EXPECT_EQ(doc.entries[2].caption, "1");
}

// A person's identifier goes out under the name of its kind, on the joint
// return and on the spouse's own form; a ";" in a value keeps the text
// file's five columns; the 1% amount has a decimal point like every amount.
TEST_F(ExportTest, IdentifierNamesByKindSemicolonsAndTheOnePercentAmount) {
  const std::string dc = (dir_ / "dc2").string();
  fs::create_directories(dc);
  ASSERT_TRUE(SaveFieldObjects(DcsPath(dc, kPit37),
                               {Field(kTekst, "Podmiot1.NIP", "PNIP"), Field(kTekst, "Podmiot2.NIP", "MNIP"),
                                Field(kTekst, "Podmiot1.Nazwisko", "PNazw"), Field(kJedenProcent, "P_132", "OPP", 1)}));
  ASSERT_TRUE(SaveFieldObjects(DcsPath(dc, kPit38), {Field(kTekst, "Podmiot1.NIP", "PNIP")}));
  DefinitionLibrary defs(dc);

  struct Case {
    int taxpayer, spouse;
    std::string joint1, joint2, spouseOwn;
  };
  const Case cases[] = {
      {kIdPesel, kIdNip, "Podmiot1.PESEL", "Podmiot2.NIP", "Podmiot1.NIP"},
      {kIdNip, kIdPesel, "Podmiot1.NIP", "Podmiot2.PESEL", "Podmiot1.PESEL"},
      {kIdPesel, kIdPesel, "Podmiot1.PESEL", "Podmiot2.PESEL", "Podmiot1.PESEL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.joint1 + " " + c.joint2);
    Settlement s;
    s.Open();
    s.Kind = kJoint;
    s.TaxpayerIdKind = c.taxpayer;
    s.SpouseIdKind = c.spouse;
    const int joint = s.AddEntry(kPit37, 0, kPmNone, kJoint);
    const int own = s.AddEntry(kPit38, 0, kPmSpouse, kJoint);
    s.RebuildTree(defs);
    s.Write(joint, 0, "80010112340");
    s.Write(joint, 1, "5260250995");
    s.Write(joint, 2, "KOW;ALSKA");
    s.Write(joint, 3, "12,30");
    s.Write(own, 0, "5260250995");

    const ExportDocument doc = BuildExport(s, defs, s.Entry(joint).ReturnGuid, {});
    EXPECT_NE(doc.xml.find("<PIT37_1.0." + c.joint1 + ">80010112340</PIT37_1.0." + c.joint1 + ">"),
              std::string::npos)
        << doc.xml;
    EXPECT_NE(doc.xml.find("<PIT37_1.0." + c.joint2 + ">5260250995</PIT37_1.0." + c.joint2 + ">"),
              std::string::npos)
        << doc.xml;
    EXPECT_NE(doc.xml.find("<PIT37_1.0.P_132>12.30</PIT37_1.0.P_132>"), std::string::npos) << doc.xml;
    EXPECT_EQ(doc.text, "0;" + c.joint1 + ";80010112340;PIT-37;PNIP\n0;" + c.joint2 +
                            ";5260250995;PIT-37;MNIP\n0;Podmiot1.Nazwisko;KOW,ALSKA;PIT-37;PNazw\n"
                            "132;P_132;12.30;PIT-37;OPP\n");
    // The XML keeps the value as it is.
    EXPECT_NE(doc.xml.find(">KOW;ALSKA<"), std::string::npos);

    const ExportDocument spouse = BuildExport(s, defs, s.Entry(own).ReturnGuid, {});
    EXPECT_NE(spouse.xml.find("<PIT38_1.2." + c.spouseOwn + ">5260250995</PIT38_1.2." + c.spouseOwn + ">"),
              std::string::npos)
        << spouse.xml;
  }
  // Every line of the text file has five columns, whatever a value holds.
  for (const std::string value : {"A;B;C", "a\r\nb", ";"}) {
    const std::string v = TextFileValue(value);
    EXPECT_EQ(v.find_first_of(";\r\n"), std::string::npos) << v;
    EXPECT_EQ(v.size(), value.size());
  }
  // Names that are no identifier, or a person without one, stay as defined.
  Settlement s;
  s.TaxpayerIdKind = kIdPesel;
  s.SpouseIdKind = kIdNone;
  FormEntry e;
  EXPECT_EQ(IdentifierElement(s, e, "Podmiot1.Nazwisko"), "Podmiot1.Nazwisko");
  EXPECT_EQ(IdentifierElement(s, e, "P_1"), "P_1");
  EXPECT_EQ(IdentifierElement(s, e, "Podmiot2.NIP"), "Podmiot2.NIP");
  EXPECT_EQ(IdentifierElement(s, e, "Podmiot1.NIPX"), "Podmiot1.NIPX");
}

TEST_F(ExportTest, FilesInTheExportFolder) {
  ExportRequest r{(dir_ / "e").string(), "ID-1", s_.Entry(main_).ReturnGuid, (dir_ / "icon").string(), true};
  std::vector<std::pair<int, int>> drawn;
  const DrawPageHook draw = [&](int entry, int page, const std::string& path, bool withFields) {
    drawn.emplace_back(entry, page);
    std::ofstream(path) << (withFields ? "fields" : "picture only");
    return true;
  };
  const ExportOutcome out = ExportReturn(s_, *defs_, r, {}, draw);
  const fs::path f = dir_ / "e" / "ID-1";
  EXPECT_EQ(out.folder, f.string());
  EXPECT_TRUE(out.filesWritten);

  // Text in Windows-1250, XML in UTF-8 without a byte-order mark; CR LF.
  const std::string xml = ReadAll(f / "P_ID-1.xml");
  const std::string text = ReadAll(f / "P_ID-1.txt");
  EXPECT_EQ(xml.substr(0, 7), "<?xml v");
  EXPECT_NE(xml.find("\r\n<ROZICZENIE>\r\n"), std::string::npos);
  EXPECT_EQ(xml, WithCrLf(out.document.xml));
  EXPECT_EQ(text, WithCrLf(Utf8ToCp1250(out.document.text)));
  EXPECT_NE(text.find("\xAF\xF3\xB3\xE6"), std::string::npos);  // "Żółć" in Windows-1250
  for (const char* icon : {"Pit.gif", "PitP.gif", "PitM.gif"}) EXPECT_TRUE(fs::exists(f / "ico" / icon)) << icon;

  // PIT-37 4 pages, PIT/D 2 pages (no definition: its message per page), PIT/O 3.
  EXPECT_EQ(drawn.size(), 9u);
  EXPECT_EQ(out.messages, std::vector<std::string>(2, "Brak Pliku: " + DcsPath((dir_ / "dc").string(), kPitD)));
  EXPECT_EQ(ReadAll(f / "html" / "7_1.1_2.bmp"), "picture only");
  EXPECT_EQ(ReadAll(f / "html" / "6_1.1_3.bmp"), "fields");
  EXPECT_TRUE(fs::exists(f / "ID-1.html"));
  const std::string pages = Cp1250ToUtf8(ReadAll(f / "html" / "r_ID-1.html"));
  EXPECT_NE(pages.find("PIT/O<sub style=\"font-size:8px;\">(" + std::to_string(s_.Catalogue()[kPitO].Variant) +
                       ")</sub> (Podatnika)  (nr: 1)  str. 1/3"),
            std::string::npos);

  // A second export of the same folder name keeps the icons already there.
  std::ofstream(f / "ico" / "Pit.gif") << "kept";
  std::vector<std::string> messages;
  PrepareExportFolder(f.string(), (dir_ / "icon").string(), messages);
  EXPECT_EQ(ReadAll(f / "ico" / "Pit.gif"), "kept");
  EXPECT_TRUE(messages.empty());
}

// A page bitmap that could not be written (a full disk) makes the whole
// export fail: none of its files stay, so no half export is ever handed on.
TEST_F(ExportTest, FailedBitmapTakesTheWholeExportAway) {
  ExportRequest r{(dir_ / "e").string(), "ID-3", s_.Entry(main_).ReturnGuid, (dir_ / "icon").string(), true};
  int drawn = 0;
  const DrawPageHook draw = [&](int, int, const std::string& path, bool) {
    std::ofstream(path) << "page";
    return ++drawn < 5;
  };
  const ExportOutcome out = ExportReturn(s_, *defs_, r, {}, draw);
  EXPECT_FALSE(out.filesWritten);
  EXPECT_FALSE(fs::exists(dir_ / "e" / "ID-3"));
  ASSERT_FALSE(out.messages.empty());
  EXPECT_EQ(out.messages.back(), "Nie wszystkie pliki eksportu dało się zapisać (np. brak miejsca na dysku). "
                                 "Pliki tego eksportu zostały usunięte: " + out.folder);
  // Only the export's own folder goes, not the one it was made in.
  EXPECT_TRUE(fs::is_directory(dir_ / "e"));
}

TEST_F(ExportTest, FolderThatCannotBeMade) {
  std::ofstream(dir_ / "file") << "not a folder";
  ExportRequest r{(dir_ / "file").string(), "ID-2", s_.Entry(main_).ReturnGuid, (dir_ / "icon").string(), false};
  const ExportOutcome out = ExportReturn(s_, *defs_, r, {}, {});
  ASSERT_GE(out.messages.size(), 1u);
  EXPECT_EQ(out.messages[0], "Utowrzenie katalogu: " + (dir_ / "file" / "ID-2").string() + " nie powiodło się.");
  EXPECT_FALSE(out.filesWritten);
  // The document was made all the same.
  EXPECT_NE(out.document.xml.find("PIT37_1.0.P_36"), std::string::npos);
}

TEST(HtmlCopyTexts, AnchorsNamesAndMenu) {
  const HtmlEntryNames main = NamesFor(kPmNone, false, "1");
  EXPECT_EQ(HtmlAnchor(kPit37, main, 1), "2_1._1");
  EXPECT_EQ(HtmlAnchor(kPit37, main, 0), "2_1._0");
  const HtmlEntryNames pitO = NamesFor(kPmTaxpayer, true, "2");
  EXPECT_EQ(HtmlAnchor(kPitO, pitO, 3), "6_2.1_3");
  EXPECT_EQ(pitO.copyNote, " (nr: 2) ");
  EXPECT_EQ(pitO.icon, "PitP.gif");
  // No caption, or "0": the first copy without a note.
  EXPECT_EQ(NamesFor(kPmSpouse, true, "0").copyLabel, "1.");
  EXPECT_EQ(NamesFor(kPmSpouse, true, "").copyNote, "");
  EXPECT_EQ(NamesFor(kPmSpouse, true, "").longPerson, " (Małżonka) ");
  // A caption from a file is text: it cannot lead the bitmap out of its folder.
  const HtmlEntryNames odd = NamesFor(kPmNone, true, "../<b>");
  EXPECT_EQ(HtmlAnchor(kPitB, odd, 1), "10_..__b_._1");
  EXPECT_EQ(odd.copyNote, " (nr: ../&lt;b&gt;) ");
}

}  // namespace
}  // namespace pit
