#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "app/document.h"
#include "app/file_io.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "forms/pit_o_fields.h"
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
  s.Write(m, 36, "12345,67");
  s.Write(m, 12, "Żółkiewska-Gęślą");
  s.WriteOfficeCode(m, 2, "1435");
  s.WriteCheck(m, 3, true);
  ValueSlot box = s.Entry(m).Slot(3);
  box.CheckValue = "1";
  s.WriteSlot(m, 3, box);
  s.Write(o, 349, "ostatni");
  ValueSlot last = s.Entry(o).Slot(349);
  last.XMLNode = "P_999";
  s.WriteSlot(o, 349, last);
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
  EXPECT_EQ(r.Entry(1).Slots()[36].Value, "12345,67");
  EXPECT_EQ(r.Entry(1).Slots()[12].Value, "Żółkiewska-Gęślą");
  EXPECT_EQ(r.Entry(1).Slots()[2].OfficeCode, "1435");
  EXPECT_TRUE(r.Entry(1).Slots()[3].CheckState);
  EXPECT_EQ(r.Entry(2).Slots()[349].Value, "ostatni");
  EXPECT_EQ(r.Entry(2).SpouseDataFlag, 1);
  EXPECT_EQ(r.Entry(3).SpouseDataFlag, 0);
  ASSERT_EQ(r.Tree().size(), 1u);
  EXPECT_EQ(r.Tree()[0].Children.size(), 2u);
}

// The zone sheets SSE/A and SSE-R/A hang under their SSE-R and come back
// with it; a sheet under any other attachment is dropped.
TEST_F(DocumentTest, ZoneSheetsUnderTheirSseRSurviveTheRoundTrip) {
  Settlement s;
  const int m = s.AddEntry(kPit36, 0, 0, kIndividual);
  const int o = s.AddEntry(kPitO, m, 0, kIndividual);
  const int sse = s.AddEntry(kSseR, m, 0, kIndividual);
  s.AddEntry(kSseA, sse, 0, kIndividual);
  s.AddEntry(kSseRA, sse, 0, kIndividual);
  s.AddEntry(kSseA, o, 0, kIndividual);
  DefinitionLibrary defs(Path("dc"));
  ASSERT_TRUE(SaveSettlement(s, Path("sse.dc2014")).ok);
  Settlement r;
  const FileResult loaded = LoadSettlement(Path("sse.dc2014"), r, defs);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  ASSERT_EQ(r.Count(), 5);
  EXPECT_EQ(r.Entry(4).IdPit, kSseA);
  EXPECT_EQ(r.Entry(4).IdParent, sse);
  EXPECT_EQ(r.Entry(5).IdPit, kSseRA);
  EXPECT_EQ(r.Entry(5).IdParent, sse);
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
    bool opened;
    int entries;
    bool damaged;  // opened with the warning, and not to be written back over
  };
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + 2 * kEntryRecordSize + 500);
  std::vector<std::uint8_t> appended = good;
  appended.insert(appended.end(), {'x', 'y', 'z'});
  std::vector<std::uint8_t> shortFile(good.begin(), good.begin() + 1000);
  std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 100);
  std::vector<std::uint8_t> text(kEntryRecordSize + 10, 'a');  // a text file named .dc2014
  std::vector<std::uint8_t> badType = good;
  PutI32(badType.data() + kEntryRecordSize + 8, 77);  // PIT/O becomes an unknown type
  std::vector<std::uint8_t> dangling = good;
  PutI32(dangling.data() + 2 * kEntryRecordSize + 12, 9);  // PIT/D's parent does not exist
  std::vector<std::uint8_t> noZero = good;
  std::fill(noZero.begin() + 100 + 740 * 12 + 36, noZero.begin() + 100 + 740 * 12 + 36 + 255, 'A');
  std::vector<std::uint8_t> dropParent = good;
  PutI32(dropParent.data() + 8, 40);  // the main form itself is unusable: its attachments go too
  std::vector<std::uint8_t> zeroType = good;
  PutI32(zeroType.data() + kEntryRecordSize + 8, 0);  // kept, but shown nowhere
  PutI32(zeroType.data() + kEntryRecordSize + 12, 0);

  // Kinds no settlement has: 99 as the taxpayer's or spouse's identifier
  // kind or as the settlement kind, in the main form and in an attachment.
  std::vector<std::uint8_t> taxpayerKind = good;
  PutI32(taxpayerKind.data() + 84, 99);
  std::vector<std::uint8_t> spouseKind = good;
  PutI32(spouseKind.data() + 2 * kEntryRecordSize + 88, 99);
  std::vector<std::uint8_t> settlementKind = good;
  PutI32(settlementKind.data() + kEntryRecordSize + 20, 99);

  const Case cases[] = {
      {"truncated tail", truncated, true, 2, true},
      {"taxpayer identifier kind 99", taxpayerKind, true, 3, true},
      {"spouse identifier kind 99", spouseKind, true, 3, true},
      {"settlement kind 99", settlementKind, true, 3, true},
      {"bytes appended", appended, true, 3, true},
      {"shorter than a record", shortFile, false, 3, false},
      {"header only", headerOnly, false, 3, false},
      {"empty file", {}, false, 3, false},
      {"text file", text, false, 3, false},
      {"unknown form type", badType, true, 2, true},
      {"dangling parent", dangling, true, 2, true},
      {"text without terminator", noZero, true, 3, false},
      {"unusable main form", dropParent, false, 3, false},
      {"form type 0", zeroType, true, 3, true},
  };
  for (const Case& c : cases) {
    const std::string path = Path("bad.dc2014");
    ASSERT_TRUE(WriteFileAtomically(path, c.bytes));
    Settlement r = ThreeEntries();  // what the user has open until the file is taken
    const FileResult res = LoadSettlement(path, r, defs);
    EXPECT_EQ(res.ok, c.opened) << c.name << ": " << res.message;
    EXPECT_TRUE(r.IsOpen() || !c.opened) << c.name;
    EXPECT_EQ(r.Count(), c.entries) << c.name;
    EXPECT_EQ(res.damaged, c.damaged) << c.name;
    if (!c.opened) {
      EXPECT_EQ(res.message, "Plik nie jest rozliczeniem programu: " + path) << c.name;
    } else if (c.damaged) {
      EXPECT_NE(res.message.find("pod inną nazwą"), std::string::npos) << c.name;
    } else {
      EXPECT_EQ(res.message, "") << c.name;
    }
    if (c.opened) {
      // Whatever a record said, the settlement's kinds are ones it can have;
      // here the intact records say joint, spouse on NIP, taxpayer on PESEL.
      EXPECT_EQ(r.Kind, kJoint) << c.name;
      EXPECT_EQ(r.TaxpayerIdKind, kIdPesel) << c.name;
      EXPECT_EQ(r.SpouseIdKind, kIdNip) << c.name;
    }
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
  EXPECT_EQ(r.Entry(1).Slots()[12].Value, std::string(255, 'A'));
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
  s.Write(1, 36, "1,00");
  s.DocumentModified = true;
  // The folder turns read-only: the temporary file cannot be created.
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  const bool root = ::geteuid() == 0;  // root writes into read-only folders anyway
  const FileResult res = SaveSettlement(s, Path("a.dc2014"));
  fs::permissions(dir_, fs::perms::owner_all);
  if (!root && !res.ok) {
    EXPECT_EQ(res.message, "Brak dostępu do pliku: " + Path("a.dc2014") + "\nBrak uprawnień do zapisu w tym miejscu.");
    EXPECT_TRUE(s.DocumentModified);
    EXPECT_EQ(*ReadFileBytes(Path("a.dc2014")), *before);
  }
  // Saving into a folder that does not exist fails the same way, for root too.
  const std::string nowhere = Path("brak/folderu/b.dc2014");
  s.DocumentModified = true;
  const FileResult res2 = SaveSettlement(s, nowhere);
  EXPECT_FALSE(res2.ok);
  EXPECT_EQ(res2.message, "Brak dostępu do pliku: " + nowhere + "\nFolder, w którym miał powstać plik, nie istnieje.");
  EXPECT_TRUE(s.DocumentModified);
  EXPECT_FALSE(fs::exists(nowhere));
  // No temporary file is left behind.
  for (const auto& f : fs::directory_iterator(dir_)) EXPECT_EQ(f.path().string().find(".tmp-"), std::string::npos);
}

// What is at the path decides how a save goes; nothing there is ever
// replaced by something it was not, and tax data never become readable by
// other users.
TEST_F(DocumentTest, SavingRespectsWhatIsAtThePath) {
  const auto modeOf = [](const std::string& p) { return fs::status(p).permissions() & fs::perms::all; };
  const std::string target = Path("cel.dc2014");

  // A new file is its owner's only.
  Settlement s = ThreeEntries();
  ASSERT_TRUE(SaveSettlement(s, target).ok);
  EXPECT_EQ(modeOf(target), fs::perms::owner_read | fs::perms::owner_write);

  // A replaced file keeps its mode.
  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, shared);
  ASSERT_TRUE(SaveSettlement(s, target).ok);
  EXPECT_EQ(modeOf(target), shared);

  // A symbolic link stays a link, and the file it names gets the document.
  fs::create_symlink("cel.dc2014", Path("skrot.dc2014"));
  s.Write(1, 36, "99,00");
  ASSERT_TRUE(SaveSettlement(s, Path("skrot.dc2014")).ok);
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(Path("skrot.dc2014"))));
  Settlement back;
  DefinitionLibrary defs(Path("dc"));
  ASSERT_TRUE(LoadSettlement(target, back, defs).ok);
  EXPECT_EQ(back.Entry(1).Slots()[36].Value, "99,00");

  // Targets that are refused, each leaving what is there untouched.
  fs::create_directory(Path("folder.dc2014"));
  ASSERT_EQ(::mkfifo(Path("potok.dc2014").c_str(), 0600), 0);
  const std::string readOnly = Path("ro.dc2014");
  ASSERT_TRUE(SaveSettlement(s, readOnly).ok);
  const auto readOnlyBytes = ReadFileBytes(readOnly);
  fs::permissions(readOnly, fs::perms::owner_read);
  fs::create_symlink("skrot2.dc2014", Path("petla.dc2014"));
  fs::create_symlink("petla.dc2014", Path("skrot2.dc2014"));
  struct Refusal {
    std::string path;
    std::string message;
  };
  const Refusal refusals[] = {
      {Path("folder.dc2014"), "Brak dostępu do pliku: " + Path("folder.dc2014") + "\nPod tą nazwą jest folder, a nie plik."},
      {Path("potok.dc2014"), "Brak dostępu do pliku: " + Path("potok.dc2014") +
                                 "\nPod tą nazwą nie ma zwykłego pliku (urządzenie, potok lub zapętlony skrót)."},
      {"/dev/null", "Brak dostępu do pliku: /dev/null\nPod tą nazwą nie ma zwykłego pliku (urządzenie, potok lub zapętlony skrót)."},
      {Path("petla.dc2014"), "Brak dostępu do pliku: " + Path("petla.dc2014") +
                                 "\nPod tą nazwą nie ma zwykłego pliku (urządzenie, potok lub zapętlony skrót)."},
      {readOnly, "Plik jest tylko do odczytu i nie został zmieniony: " + readOnly + "\nZapisz rozliczenie pod inną nazwą."},
  };
  for (const Refusal& r : refusals) {
    s.DocumentModified = true;
    const FileResult res = SaveSettlement(s, r.path);
    EXPECT_FALSE(res.ok) << r.path;
    EXPECT_EQ(res.message, r.message);
    EXPECT_TRUE(s.DocumentModified) << r.path;
  }
  EXPECT_TRUE(fs::is_directory(Path("folder.dc2014")));
  EXPECT_TRUE(fs::is_fifo(Path("potok.dc2014")));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(*ReadFileBytes(readOnly), *readOnlyBytes);
  fs::permissions(readOnly, fs::perms::owner_all);
}

// A save killed before its rename leaves a temporary file; the next save of
// the same document clears it away, but not another document's, nor one so
// young that a save may still be writing it.
TEST_F(DocumentTest, StaleTemporaryFilesOfTheDocumentAreRemoved) {
  const auto touch = [](const std::string& p, std::chrono::minutes age) {
    { std::ofstream(p, std::ios::binary) << "x"; }
    fs::last_write_time(p, fs::file_time_type::clock::now() - age);
  };
  touch(Path("a.dc2014.tmp-0badf00d"), std::chrono::minutes(30));
  touch(Path("a.dc2014.tmp-12345678"), std::chrono::minutes(0));
  touch(Path("b.dc2014.tmp-0badf00d"), std::chrono::minutes(30));
  touch(Path("a.dc2014.tmp-notmine!"), std::chrono::minutes(30));
  Settlement s = ThreeEntries();
  ASSERT_TRUE(SaveSettlement(s, Path("a.dc2014")).ok);
  EXPECT_FALSE(fs::exists(Path("a.dc2014.tmp-0badf00d")));
  EXPECT_TRUE(fs::exists(Path("a.dc2014.tmp-12345678")));
  EXPECT_TRUE(fs::exists(Path("b.dc2014.tmp-0badf00d")));
  EXPECT_TRUE(fs::exists(Path("a.dc2014.tmp-notmine!")));
}

// Any name the system takes can be saved under, up to the longest (255
// bytes, Polish letters two each): the temporary file of the save fits
// too, and one left by a killed save of such a name is cleared away.
TEST_F(DocumentTest, LongestNamesCanBeSavedAgain) {
  auto named = [](std::size_t bytes, const std::string& unit) {
    std::string name;
    while (name.size() + unit.size() + 7 <= bytes) name += unit;
    name.append(bytes - 7 - name.size(), 'x');
    return name + ".dc2014";
  };
  const std::string names[] = {named(242, "a"), named(243, "a"), named(250, "a"), named(255, "a"),
                               named(255, "\xC5\xBC"), named(254, "\xC5\xBC")};
  Settlement s = ThreeEntries();
  DefinitionLibrary defs(Path("dc"));
  for (const std::string& name : names) {
    ASSERT_LE(name.size(), 255u);
    const FileResult first = SaveSettlement(s, Path(name));
    ASSERT_TRUE(first.ok) << name.size() << ": " << first.message;
    s.Write(1, 36, "77,00");
    const FileResult again = SaveSettlement(s, Path(name));
    ASSERT_TRUE(again.ok) << name.size() << ": " << again.message;
    Settlement back;
    ASSERT_TRUE(LoadSettlement(Path(name), back, defs).ok) << name.size();
    EXPECT_EQ(back.Entry(1).Slots()[36].Value, "77,00");
    s.Write(1, 36, "12345,67");
  }
  // Only the documents are there: no temporary file was left behind.
  std::size_t files = 0;
  for (const auto& f : fs::directory_iterator(dir_)) files += f.is_regular_file();
  EXPECT_EQ(files, std::size(names));
}

TEST_F(DocumentTest, ControlCharactersInAFileDoNotReachTheForms) {
  Settlement s = ThreeEntries();
  s.Write(1, 10, "KOWAL\x1b[2J\nSKA\r");
  s.Write(1, 36, "1\t2,00");
  ASSERT_TRUE(SaveSettlement(s, Path("c.dc2014")).ok);
  DefinitionLibrary defs(Path("dc"));
  Settlement r;
  ASSERT_TRUE(LoadSettlement(Path("c.dc2014"), r, defs).ok);
  EXPECT_EQ(r.Entry(1).Slots()[10].Value, "KOWAL[2JSKA");
  EXPECT_EQ(r.Entry(1).Slots()[36].Value, "12,00");
}

TEST(DocumentName, EndsWithTheExtensionInAnyCase) {
  const std::pair<const char*, bool> cases[] = {
      {"a.dc2014", true}, {"/x/A.DC2014", true}, {"a.Dc2014", true},     {"notes.dc2014.txt", false},
      {".dc2014", false}, {"a.dc2013", false},   {"adc2014", false},     {"", false},
  };
  for (const auto& [path, ok] : cases) EXPECT_EQ(HasSettlementExtension(path), ok) << path;
}

TEST_F(DocumentTest, LoadingRefreshesNamesFromCurrentDefinitionsAndPitOBoxes) {
  Settlement s;
  const int m = s.AddEntry(kPit37, 0, 0, 0);
  const int o = s.AddEntry(kPitO, m, 0, 0);
  s.Entry(m).SlotsLoaded = true;
  ValueSlot old = s.Entry(m).Slot(0);
  old.XMLNode = "P_stary";
  s.WriteSlot(m, 0, old);
  s.Write(m, 0, "7,00");
  s.Entry(o).SlotsLoaded = true;
  s.WriteCheck(o, pit_o::taxpayer_single_parent, true);
  s.Write(o, pit_o::taxpayer_single_parent, "");
  s.WriteCheck(o, pit_o::spouse_married_all_year, false);
  s.Write(o, pit_o::spouse_married_all_year, "x");
  ASSERT_TRUE(SaveSettlement(s, Path("r.dc2014")).ok);

  FieldObject f;
  f.XMLNode = "P_nowy";
  f.Name = "Nazwa";
  ASSERT_TRUE(SaveFieldObjects(DcsPath(Path("dc"), kPit37), {f}));
  DefinitionLibrary defs(Path("dc"));
  Settlement r;
  ASSERT_TRUE(LoadSettlement(Path("r.dc2014"), r, defs).ok);
  EXPECT_EQ(r.Entry(1).Slots()[0].XMLNode, "P_nowy");
  EXPECT_EQ(r.Entry(1).Slots()[0].Name, "Nazwa");
  EXPECT_EQ(r.Entry(1).Slots()[0].Value, "7,00");
  EXPECT_EQ(r.Entry(2).Slots()[pit_o::taxpayer_single_parent].Value, "1");
  EXPECT_EQ(r.Entry(2).Slots()[pit_o::spouse_married_all_year].Value, "x");
}

}  // namespace
}  // namespace pit
