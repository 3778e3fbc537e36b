#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "app/document.h"
#include "app/file_io.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "text/bytes.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pit-doc-" + NewGuidText());
    fs::create_directories(dir_ / "dc");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// A PIT-37 with PIT/O and PIT/D, values typed in Polish.
Settlement ThreeEntries() {
  Settlement s;
  s.Kind = kJoint;
  s.TaxpayerIdKind = kIdPesel;
  s.SpouseIdKind = kIdNip;
  s.SpouseData.PitO = true;
  const int m = s.AddEntry(kPit37, 0, 0, kJoint);
  const int o = s.AddEntry(kPitO, m, kPmTaxpayer, kJoint);
  s.AddEntry(kPitD, m, kPmTaxpayer, kJoint);
  s.Entry(m).Slots[36].SetValue("12345,67");
  s.Entry(m).Slots[12].SetValue("Żółkiewska-Gęślą");
  s.Entry(m).Slots[2].SetOfficeCode("1435");
  s.Entry(m).Slots[3].CheckState = true;
  s.Entry(m).Slots[3].CheckValue = "1";
  s.Entry(o).Slots[349].SetValue("ostatni");
  s.Entry(o).Slots[349].XMLNode = "P_999";
  return s;
}

TEST_F(DocumentTest, ThreeEntriesSaveTo777300BytesAndReloadTheSame) {
  Settlement s = ThreeEntries();
  DefinitionLibrary defs(Path("dc"));
  s.RebuildTree(defs);
  const FileResult saved = SaveSettlement(s, Path("a.dc2014"));
  ASSERT_TRUE(saved.ok) << saved.message;
  EXPECT_EQ(fs::file_size(Path("a.dc2014")), 777300u);
  EXPECT_EQ(s.DocumentName, "a.dc2014");
  EXPECT_FALSE(s.DocumentModified);

  Settlement r;
  const FileResult loaded = LoadSettlement(Path("a.dc2014"), r, defs);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  ASSERT_EQ(r.Count(), 3);
  EXPECT_EQ(r.Kind, kJoint);
  EXPECT_EQ(r.TaxpayerIdKind, kIdPesel);
  EXPECT_EQ(r.SpouseIdKind, kIdNip);
  EXPECT_TRUE(r.SpouseData.PitO);
  EXPECT_FALSE(r.SpouseData.PitD);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(r.Entry(i).ReturnGuid, s.Entry(i).ReturnGuid);
    EXPECT_EQ(r.Entry(i).IdPit, s.Entry(i).IdPit);
    EXPECT_EQ(r.Entry(i).IdParent, s.Entry(i).IdParent);
    EXPECT_EQ(r.Entry(i).TaxYear, 2014);
  }
  EXPECT_EQ(r.Entry(1).Slots[36].Value, "12345,67");
  EXPECT_EQ(r.Entry(1).Slots[12].Value, "Żółkiewska-Gęślą");
  EXPECT_EQ(r.Entry(1).Slots[2].OfficeCode, "1435");
  EXPECT_TRUE(r.Entry(1).Slots[3].CheckState);
  EXPECT_EQ(r.Entry(2).Slots[349].Value, "ostatni");
  EXPECT_EQ(r.Entry(2).SpouseDataFlag, 1);
  EXPECT_EQ(r.Entry(3).SpouseDataFlag, 0);
  ASSERT_EQ(r.Tree().size(), 1u);
  EXPECT_EQ(r.Tree()[0].Children.size(), 2u);
}

TEST_F(DocumentTest, RecordLayoutOffsets) {
  Settlement s = ThreeEntries();
  s.StampEntries();
  const std::vector<std::uint8_t> b = EncodeSettlement(s);
  ASSERT_EQ(b.size(), 3 * kEntryRecordSize);
  const std::uint8_t* r2 = b.data() + kEntryRecordSize;  // PIT/O
  EXPECT_EQ(GetI32(r2 + 4), 2);        // Id
  EXPECT_EQ(GetI32(r2 + 8), kPitO);    // IdPit
  EXPECT_EQ(GetI32(r2 + 12), 1);       // IdParent
  EXPECT_EQ(GetI32(r2 + 16), kPmTaxpayer);
  EXPECT_EQ(GetI32(r2 + 20), kJoint);
  EXPECT_EQ(GetI32(r2 + 28), 2014);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r2 + 32)), s.Entry(1).ReturnGuid);
  EXPECT_EQ(r2[32 + 36], 0);
  EXPECT_EQ(GetI32(r2 + 84), kIdPesel);
  EXPECT_EQ(GetI32(r2 + 88), kIdNip);
  EXPECT_EQ(GetI32(r2 + 92), 1);
  // Slot 349 ends exactly at the end of the record.
  const std::uint8_t* last = r2 + 100 + 740 * 349;
  EXPECT_EQ(last + 740, r2 + kEntryRecordSize);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(last + 36)), "ostatni");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(last + 657)), "P_999");
  // Windows-1250 on disk.
  const std::uint8_t* name = b.data() + 100 + 740 * 12 + 36;
  EXPECT_EQ(name[0], 0xAF);  // Ż
  const std::uint8_t* office = b.data() + 100 + 740 * 2 + 546;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(office)), "1435");
  EXPECT_EQ(b[100 + 740 * 3 + 656], 1);  // CheckState
}

TEST_F(DocumentTest, MalformedFilesLoadWhatIsUsable) {
  DefinitionLibrary defs(Path("dc"));
  Settlement s = ThreeEntries();
  s.StampEntries();
  std::vector<std::uint8_t> good = EncodeSettlement(s);

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    int entries;
    bool warned;
  };
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 2 * kEntryRecordSize + 500);
  std::vector<std::uint8_t> shortFile(good.begin(), good.begin() + 1000);
  std::vector<std::uint8_t> badType = good;
  PutI32(badType.data() + kEntryRecordSize + 8, 77);  // PIT/O becomes an unknown type
  std::vector<std::uint8_t> dangling = good;
  PutI32(dangling.data() + 2 * kEntryRecordSize + 12, 9);  // PIT/D's parent does not exist
  std::vector<std::uint8_t> noZero = good;
  std::fill(noZero.begin() + 100 + 740 * 12 + 36, noZero.begin() + 100 + 740 * 12 + 36 + 255, 'A');
  std::vector<std::uint8_t> dropParent = good;
  PutI32(dropParent.data() + 8, 40);  // the main form itself is unusable: its attachments go too

  const Case cases[] = {
      {"truncated tail", truncated, 2, false},
      {"shorter than a record", shortFile, 0, false},
      {"unknown form type", badType, 2, true},
      {"dangling parent", dangling, 2, true},
      {"text without terminator", noZero, 3, false},
      {"unusable main form", dropParent, 0, true},
  };
  for (const Case& c : cases) {
    const std::string path = Path("bad.dc2014");
    ASSERT_TRUE(WriteFileAtomically(path, c.bytes));
    Settlement r;
    const FileResult res = LoadSettlement(path, r, defs);
    EXPECT_TRUE(res.ok) << c.name;
    EXPECT_TRUE(r.IsOpen()) << c.name;
    EXPECT_EQ(r.Count(), c.entries) << c.name;
    EXPECT_EQ(!res.message.empty(), c.warned) << c.name << ": " << res.message;
    for (int i = 1; i <= r.Count(); ++i) {
      const FormEntry& e = r.Entry(i);
      EXPECT_EQ(e.Id, i) << c.name;
      if (e.IdParent != 0) {
        ASSERT_TRUE(r.Has(e.IdParent)) << c.name;
        EXPECT_EQ(r.Entry(e.IdParent).IdParent, 0) << c.name;
      }
    }
  }
  // A text that fills its field without the zero is cut at the field width.
  Settlement r;
  ASSERT_TRUE(WriteFileAtomically(Path("nz.dc2014"), noZero));
  ASSERT_TRUE(LoadSettlement(Path("nz.dc2014"), r, defs).ok);
  EXPECT_EQ(r.Entry(1).Slots[12].Value, std::string(255, 'A'));
}

TEST_F(DocumentTest, MissingFileLeavesTheSettlementAlone) {
  DefinitionLibrary defs(Path("dc"));
  Settlement s = ThreeEntries();
  const FileResult res = LoadSettlement(Path("nie-ma.dc2014"), s, defs);
  EXPECT_FALSE(res.ok);
  EXPECT_EQ(res.message, "Nie ma pliku rozliczeniowego.");
  EXPECT_EQ(s.Count(), 3);
}

TEST_F(DocumentTest, AHugeFileIsRefusedBeforeItIsRead) {
  const std::string path = Path("huge.dc2014");
  { std::ofstream(path, std::ios::binary).put('x'); }
  fs::resize_file(path, 1001 * kEntryRecordSize);  // sparse: costs no disk
  DefinitionLibrary defs(Path("dc"));
  Settlement s = ThreeEntries();
  const FileResult res = LoadSettlement(path, s, defs);
  EXPECT_FALSE(res.ok);
  EXPECT_EQ(res.message, "Plik nie jest rozliczeniem programu (zbyt duży): " + path);
  EXPECT_EQ(s.Count(), 3);  // the open settlement is untouched
}

TEST_F(DocumentTest, FailedSaveKeepsThePreviousDocument) {
  Settlement s = ThreeEntries();
  ASSERT_TRUE(SaveSettlement(s, Path("a.dc2014")).ok);
  const auto before = ReadFileBytes(Path("a.dc2014"));
  s.Entry(1).Slots[36].SetValue("1,00");
  s.DocumentModified = true;
  // The folder turns read-only: the temporary file cannot be created.
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  const bool root = ::geteuid() == 0;  // root writes into read-only folders anyway
  const FileResult res = SaveSettlement(s, Path("a.dc2014"));
  fs::permissions(dir_, fs::perms::owner_all);
  if (!root && !res.ok) {
    EXPECT_EQ(res.message, "Brak dostępu do pliku: " + Path("a.dc2014"));
    EXPECT_TRUE(s.DocumentModified);
    EXPECT_EQ(*ReadFileBytes(Path("a.dc2014")), *before);
  }
  // Saving into a folder that does not exist fails the same way, for root too.
  const std::string nowhere = Path("brak/folderu/b.dc2014");
  s.DocumentModified = true;
  const FileResult res2 = SaveSettlement(s, nowhere);
  EXPECT_FALSE(res2.ok);
  EXPECT_EQ(res2.message, "Brak dostępu do pliku: " + nowhere);
  EXPECT_TRUE(s.DocumentModified);
  EXPECT_FALSE(fs::exists(nowhere));
  // No temporary file is left behind.
  for (const auto& f : fs::directory_iterator(dir_)) EXPECT_EQ(f.path().string().find(".tmp-"), std::string::npos);
}

TEST_F(DocumentTest, LoadingRefreshesNamesFromCurrentDefinitionsAndPitOBoxes) {
  Settlement s;
  const int m = s.AddEntry(kPit37, 0, 0, 0);
  const int o = s.AddEntry(kPitO, m, 0, 0);
  s.Entry(m).SlotsLoaded = true;
  s.Entry(m).Slots[0].XMLNode = "P_stary";
  s.Entry(m).Slots[0].Value = "7,00";
  s.Entry(o).SlotsLoaded = true;
  s.Entry(o).Slots[226].CheckState = true;
  s.Entry(o).Slots[226].Value = "";
  s.Entry(o).Slots[227].CheckState = false;
  s.Entry(o).Slots[227].Value = "x";
  ASSERT_TRUE(SaveSettlement(s, Path("r.dc2014")).ok);

  FieldObject f;
  f.XMLNode = "P_nowy";
  f.Name = "Nazwa";
  ASSERT_TRUE(SaveFieldObjects(DcsPath(Path("dc"), kPit37), {f}));
  DefinitionLibrary defs(Path("dc"));
  Settlement r;
  ASSERT_TRUE(LoadSettlement(Path("r.dc2014"), r, defs).ok);
  EXPECT_EQ(r.Entry(1).Slots[0].XMLNode, "P_nowy");
  EXPECT_EQ(r.Entry(1).Slots[0].Name, "Nazwa");
  EXPECT_EQ(r.Entry(1).Slots[0].Value, "7,00");
  EXPECT_EQ(r.Entry(2).Slots[226].Value, "1");
  EXPECT_EQ(r.Entry(2).Slots[227].Value, "x");
}

}  // namespace
}  // namespace pit
