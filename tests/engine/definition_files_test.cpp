#include <gtest/gtest.h>

#include <filesystem>

#include "app/file_io.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "text/bytes.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

FieldObject Sample() {
  FieldObject f;
  f.Left = 10; f.Top = 20; f.Right = 110; f.Bottom = 38;
  f.ID = 36; f.Page = 2; f.Group = 0; f.Option = 11; f.Typ = kLiczba; f.TextAlign = kAlignRight;
  f.MaxChar = 14; f.Name = "Przychód"; f.Value = "v"; f.DefValue = "0,00";
  f.Hint = "Przychód z wynagrodzeń"; f.XMLNode = "P_37"; f.FontSize = "9";
  f.BorderColor = "00FF80"; f.FillColor = "FFFFFF"; f.TextColor = "000000";
  f.Visible = true; f.ReadOnly = false; f.MustBe = true; f.Block = true; f.Multiline = false; f.PlusValue = true;
  f.Tab = 40; f.Poz = 37;
  f.Choices[0].Value = "1";
  f.Choices[0].Flag = true;
  f.SelectItems[3].Text = "ż";
  return f;
}

TEST(FieldRecord, RoundTripAndOffsets) {
  const FieldObject f = Sample();
  std::vector<std::uint8_t> rec(kFieldRecordSize, 0xEE);
  EncodeFieldObject(f, rec.data());
  EXPECT_EQ(GetI32(rec.data() + 16), 36);
  EXPECT_EQ(GetI32(rec.data() + 32), kLiczba);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.data() + 649)), "P_37");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.data() + 752)), "00FF80");
  EXPECT_EQ(rec[775], 1);  // MustBe
  EXPECT_EQ(rec[778], 1);  // PlusValue
  EXPECT_EQ(GetI32(rec.data() + 784), 37);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.data() + 838)), "1");
  EXPECT_EQ(rec[888], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(rec.data() + 788 + 101 + 50)), "0");  // unused entries read "0"

  const FieldObject g = DecodeFieldObject(rec.data());
  EXPECT_EQ(g.Name, "Przychód");
  EXPECT_EQ(g.Hint, f.Hint);
  EXPECT_EQ(g.Right, 110);
  EXPECT_EQ(g.Option, 11);
  EXPECT_TRUE(g.MustBe && g.Block && g.PlusValue && g.Visible);
  EXPECT_FALSE(g.ReadOnly || g.Multiline);
  EXPECT_EQ(g.CheckValue(), "1");
  EXPECT_EQ(g.SelectItems[3].Text, "ż");
  EXPECT_EQ(g.Tab, 40);
}

TEST(FieldRecord, NameIsCutToItsWidth) {
  FieldObject f;
  f.Name = "abcdefghijklmnopqrstuvwxyz";
  std::vector<std::uint8_t> rec(kFieldRecordSize);
  EncodeFieldObject(f, rec.data());
  EXPECT_EQ(DecodeFieldObject(rec.data()).Name, "abcdefghijklmn");
}

TEST(FieldFile, RecordCountIgnoresPartialTail) {
  const fs::path dir = fs::temp_directory_path() / ("pit-dcs-" + NewGuidText());
  fs::create_directories(dir);
  const std::string p = DcsPath(dir.string(), 6);
  EXPECT_EQ(p, (dir / "6.dcs").string());
  std::vector<FieldObject> three(3, Sample());
  three[2].XMLNode = "P_3";
  std::vector<std::uint8_t> bytes = EncodeFieldObjects(three);
  bytes.resize(bytes.size() + 100, 0x41);
  ASSERT_TRUE(WriteFileAtomically(p, bytes));
  EXPECT_EQ(CountFieldRecords(p), 3);
  auto loaded = LoadFieldObjects(p);
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded->size(), 3u);
  EXPECT_EQ((*loaded)[2].XMLNode, "P_3");

  FieldObject changed = Sample();
  changed.Poz = 99;
  ASSERT_TRUE(RewriteFieldRecord(p, 1, changed));
  ASSERT_TRUE(AppendFieldRecord(p, changed));
  EXPECT_EQ(CountFieldRecords(p), 4);  // the partial tail was dropped by the append
  EXPECT_EQ(ReadFieldRecord(p, 1)->Poz, 99);
  EXPECT_EQ(ReadFieldRecord(p, 3)->Poz, 99);
  EXPECT_FALSE(ReadFieldRecord(p, 4));
  EXPECT_FALSE(RewriteFieldRecord(p, 9, changed));

  ASSERT_TRUE(WriteFileAtomically(p, {}));
  EXPECT_EQ(LoadFieldObjects(p)->size(), 0u);
  EXPECT_FALSE(LoadFieldObjects((dir / "none.dcs").string()));
  EXPECT_EQ(CountFieldRecords((dir / "none.dcs").string()), 0);
  fs::remove_all(dir);
}

// A damaged or foreign .dcs is no form definition: the library gives no
// fields for it and says so once, naming the file, instead of letting every
// calculation complain about missing fields.
TEST(DefinitionLibrary, ImplausibleFieldFilesAreReportedOnce) {
  const fs::path dir = fs::temp_directory_path() / ("pit-defs-" + NewGuidText());
  fs::create_directories(dir);
  FieldObject badType = Sample();
  badType.Typ = 42;
  FieldObject offPage = Sample();
  offPage.Right = 5000;
  FieldObject inverted = Sample();
  inverted.Top = 50;
  inverted.Bottom = 10;
  FieldObject line = Sample();
  line.Typ = kKreska;
  line.Top = line.Bottom = 300;  // a line has no height, and that is fine
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool usable;
  };
  std::vector<std::uint8_t> random(3 * kFieldRecordSize);
  for (std::size_t i = 0; i < random.size(); ++i) random[i] = static_cast<std::uint8_t>(i * 7919u >> 3);
  const Case cases[] = {
      {"empty file", {}, false},
      {"shorter than a record", std::vector<std::uint8_t>(100, 1), false},
      {"random bytes", random, false},
      {"type out of range", EncodeFieldObjects({Sample(), badType}), false},
      {"rectangle off the page", EncodeFieldObjects({offPage}), false},
      {"rectangle inside out", EncodeFieldObjects({inverted}), false},
      {"good fields and a line", EncodeFieldObjects({Sample(), line}), true},
  };
  int idPit = 1;
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteFileAtomically(DcsPath(dir.string(), idPit), c.bytes));
    DefinitionLibrary defs(dir.string());
    EXPECT_EQ(defs.Fields(idPit) != nullptr, c.usable) << c.name;
    defs.Fields(idPit);
    const auto problems = defs.TakeProblems();
    if (c.usable) {
      EXPECT_TRUE(problems.empty()) << c.name;
    } else {
      ASSERT_EQ(problems.size(), 1u) << c.name;
      EXPECT_EQ(problems[0], "Plik definicji formularza jest uszkodzony: " + DcsPath(dir.string(), idPit)) << c.name;
    }
    EXPECT_TRUE(defs.TakeProblems().empty()) << c.name;
    ++idPit;
  }
  DefinitionLibrary defs(dir.string());
  EXPECT_EQ(defs.Fields(30), nullptr);  // a missing file is no damage
  EXPECT_TRUE(defs.TakeProblems().empty());
  fs::remove_all(dir);
}

TEST(FormDescriptionFile, LayoutAndShortFile) {
  FormDescription d;
  d.Path = "C:\\pit\\dc\\2.dcd";
  d.PageCount = 4;
  d.ScreenWidth = 1280;
  d.ScreenHeight = 1024;
  d.PageHeight = 1131;
  d.PageWidth = 800;
  const auto b = EncodeFormDescription(d);
  ASSERT_EQ(b.size(), 276u);
  EXPECT_EQ(GetI32(b.data() + 256), 4);
  EXPECT_EQ(GetI32(b.data() + 268), 1131);
  const auto back = DecodeFormDescription(b);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->PageCount, 4);
  EXPECT_EQ(back->PageWidth, 800);
  EXPECT_EQ(back->Path, d.Path);
  EXPECT_FALSE(DecodeFormDescription(std::vector<std::uint8_t>(275)));
}

std::vector<std::uint8_t> EmfHeader(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
  std::vector<std::uint8_t> h(108, 0);
  PutI32(h.data(), 1);
  PutI32(h.data() + 4, 108);
  PutI32(h.data() + 24, l);
  PutI32(h.data() + 28, t);
  PutI32(h.data() + 32, r);
  PutI32(h.data() + 36, b);
  PutI32(h.data() + 40, 0x464D4520);
  return h;
}

std::vector<std::uint8_t> PlaceableWmf(int l, int t, int r, int b) {
  std::vector<std::uint8_t> h(22, 0);
  PutI32(h.data(), static_cast<std::int32_t>(0x9AC6CDD7u));
  auto put16 = [&](std::size_t o, int v) {
    h[o] = static_cast<std::uint8_t>(v & 0xFF);
    h[o + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  };
  put16(6, l);
  put16(8, t);
  put16(10, r);
  put16(12, b);
  return h;
}

TEST(PictureHeader, PageHeightAt800Pixels) {
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool ok;
    int height800;
  } cases[] = {
      {"A4 EMF frame", EmfHeader(0, 0, 20999, 29699), true, 1131},
      {"1000 x 1414 picture", EmfHeader(0, 0, 1000, 1414), true, 1131},
      {"offset frame", EmfHeader(100, 200, 1100, 1614), true, 1131},
      {"placeable WMF", PlaceableWmf(0, 0, 1000, 1414), true, 1131},
      {"empty frame", EmfHeader(0, 0, 0, 100), false, 0},
      {"inverted frame", EmfHeader(500, 0, 100, 100), false, 0},
      {"no signature", std::vector<std::uint8_t>(200, 1), false, 0},
      {"too short", std::vector<std::uint8_t>{1, 0, 0, 0}, false, 0},
      {"empty", {}, false, 0},
  };
  for (const Case& c : cases) {
    const auto s = ReadPictureSize(c.bytes);
    EXPECT_EQ(s.has_value(), c.ok) << c.name;
    if (s) {
      EXPECT_EQ(PageHeightFor800(*s), c.height800) << c.name;
    }
  }
}

TEST(DefinitionNames, PageNumbersAreNotConfused) {
  EXPECT_EQ(fs::path(DcgPath("dc", 6, 10)).filename().string(), "6_10.dcg");
  EXPECT_EQ(fs::path(DcgPath("dc", 61, 1)).filename().string(), "61_1.dcg");
  EXPECT_EQ(fs::path(DcgPath("dc", 6, 2, true)).filename().string(), "6_2b.dcg");
  EXPECT_EQ(fs::path(DcdPath("dc", 32)).filename().string(), "32.dcd");
}

TEST(Colour, HexTexts) {
  struct Case {
    const char* text;
    int r, g, b;
  } cases[] = {{"00FF80", 0, 255, 128}, {"", 255, 255, 255}, {"12ab9F", 0x12, 0xAB, 0x9F}, {"GG0000", 255, 255, 255}};
  for (const Case& c : cases) {
    const Rgb v = ParseColour(c.text);
    EXPECT_EQ(v.r, c.r) << c.text;
    EXPECT_EQ(v.g, c.g) << c.text;
    EXPECT_EQ(v.b, c.b) << c.text;
  }
}

}  // namespace
}  // namespace pit
