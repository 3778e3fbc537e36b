#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "app/settlement.h"
#include "forms/definition_files.h"
#include "forms/definition_library.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

// A definition folder with small .dcs files written by the test.
class SettlementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pit-settlement-" + NewGuidText());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteDcs(int idPit, std::vector<FieldObject> fields) {
    ASSERT_TRUE(SaveFieldObjects(DcsPath(dir_.string(), idPit), fields));
  }

  fs::path dir_;
};

FieldObject Amount(int id, int page) {
  FieldObject f;
  f.ID = id;
  f.Page = page;
  f.Typ = kLiczba;
  f.Option = 1;
  f.DefValue = "0,00";
  f.XMLNode = "P_" + std::to_string(id + 10);
  return f;
}

TEST_F(SettlementTest, AttachmentSharesTheReturnGuidAndSortsUnderItsParent) {
  Settlement s;
  const int pit37 = s.AddEntry(kPit37, 0, 0, kIndividual);
  const int pitd = s.AddEntry(kPitD, pit37, kPmTaxpayer, kIndividual);
  const int pito = s.AddEntry(kPitO, pit37, kPmTaxpayer, kIndividual);
  const int pit28 = s.AddEntry(kPit28, 0, 0, kIndividual);
  EXPECT_EQ(s.Entry(pito).ReturnGuid, s.Entry(pit37).ReturnGuid);
  EXPECT_NE(s.Entry(pit28).ReturnGuid, s.Entry(pit37).ReturnGuid);
  EXPECT_TRUE(IsGuidText(s.Entry(pit37).ReturnGuid));
  EXPECT_EQ(s.AddEntry(kPitO, -1, 0, 0), -1);
  EXPECT_EQ(s.Count(), 4);

  DefinitionLibrary defs(dir_.string());
  s.RebuildTree(defs);
  ASSERT_EQ(s.Tree().size(), 2u);
  // Top level sorted by text: PIT-28 before PIT-37.
  EXPECT_EQ(s.Tree()[0].Text, "PIT-28");
  const TreeNode& n37 = s.Tree()[1];
  EXPECT_TRUE(n37.Bold);
  EXPECT_TRUE(n37.Expanded);
  ASSERT_EQ(n37.Children.size(), 2u);
  EXPECT_EQ(n37.Children[0].Text, "PIT/D (P)");
  EXPECT_EQ(n37.Children[1].Text, "PIT/O (P)");
  EXPECT_FALSE(n37.Children[0].Bold);
  EXPECT_EQ(n37.Children[1].Image, kPmTaxpayer);
  EXPECT_EQ(n37.Children[1].SelectedImage, kPmTaxpayer + 3);
  EXPECT_EQ(s.TreeOrder(), (std::vector<int>{pit28, pit37, pitd, pito}));
}

TEST_F(SettlementTest, FindAndCountOperations) {
  Settlement s;
  EXPECT_EQ(s.FindEntry(kPit37, 0, 0), -1);
  EXPECT_EQ(s.FindFirstOfType(kPitO), -1);
  EXPECT_EQ(s.CountByTypeAndParent(kPitB, 1, -1), 0);
  EXPECT_EQ(s.FirstAttachment(), 0);

  const int m = s.AddEntry(kPit36, 0, 0, kJoint);
  EXPECT_EQ(s.FirstAttachment(), 1);
  s.AddEntry(kPitB, m, kPmTaxpayer, kJoint);
  s.AddEntry(kPitB, m, kPmTaxpayer, kJoint);
  const int bSpouse = s.AddEntry(kPitB, m, kPmSpouse, kJoint);
  EXPECT_EQ(s.CountByTypeAndParent(kPitB, m, -1), 3);
  EXPECT_EQ(s.CountByTypeAndParent(kPitB, m, kPmTaxpayer), 2);
  EXPECT_EQ(s.FindByTypeAndPerson(kPitB, kPmSpouse), bSpouse);
  EXPECT_EQ(s.FindByTypeAndParent(kPitB, m), 2);
  EXPECT_EQ(s.CountInReturn(kPitB, s.Entry(m).ReturnGuid), 3);
  EXPECT_EQ(s.FirstAttachment(), 2);

  s.RemoveEntry(kPitB, m, kPmTaxpayer);  // the first match only
  EXPECT_EQ(s.Count(), 3);
  EXPECT_EQ(s.CountByTypeAndParent(kPitB, m, kPmTaxpayer), 1);
  EXPECT_EQ(s.FindByTypeAndPerson(kPitB, kPmSpouse), 3);
}

TEST_F(SettlementTest, RemovingTheOnlyEntryLeavesAnOpenEmptyList) {
  Settlement s;
  s.AddEntry(kNip7, 0, 0, kRegistrationForms);
  s.RemoveEntry(kNip7, 0, 0);
  EXPECT_TRUE(s.IsOpen());
  EXPECT_EQ(s.Count(), 0);
  DefinitionLibrary defs(dir_.string());
  s.RebuildTree(defs);
  EXPECT_TRUE(s.Tree().empty());
  s.Clear();
  EXPECT_FALSE(s.IsOpen());
}

TEST_F(SettlementTest, RebuildFillsSlotsOnlyOnceAndOnlyWhenDefinitionsExist) {
  FieldObject box;
  box.ID = 1;
  box.Typ = kCheckbox;
  box.Option = 0;
  box.Name = "Cel";
  box.Choices[0].Value = "2";
  FieldObject line;
  line.ID = 2;
  line.Typ = kKreska;
  line.Option = 1;
  WriteDcs(kPit37, {Amount(0, 1), box, line});

  Settlement s;
  const int m = s.AddEntry(kPit37, 0, 0, 0);
  const int a = s.AddEntry(kPitO, m, kPmTaxpayer, 0);  // no PIT/O definitions yet
  DefinitionLibrary defs(dir_.string());
  s.RebuildTree(defs);

  const FormEntry& e = s.Entry(m);
  EXPECT_TRUE(e.SlotsLoaded);
  EXPECT_EQ(e.Slots()[0].Value, "0,00");
  EXPECT_EQ(e.Slots()[0].XMLNode, "P_10");
  EXPECT_EQ(e.Slots()[0].FormNo, kPit37);
  EXPECT_EQ(e.Slots()[1].CheckValue, "2");
  EXPECT_FALSE(e.Slots()[1].CheckState);
  EXPECT_EQ(e.Slots()[1].Name, "Cel");
  EXPECT_TRUE(e.Slots()[2].CheckState);  // Option 1: drawn in a new settlement
  EXPECT_EQ(e.Slots()[3].Typ, 0);        // beyond the records: untouched
  EXPECT_EQ(e.Slots()[0].Spare, "");
  EXPECT_FALSE(s.Entry(a).SlotsLoaded);

  // A later rebuild fills the attachment once its file exists, and leaves
  // the typed values of loaded entries alone.
  s.Write(m, 0, "123,00");
  WriteDcs(kPitO, {Amount(0, 1)});
  defs.Reload();
  s.RebuildTree(defs);
  EXPECT_EQ(s.Entry(m).Slots()[0].Value, "123,00");
  EXPECT_TRUE(s.Entry(a).SlotsLoaded);
  EXPECT_EQ(s.Entry(a).Slots()[0].Spare, "0");
}

TEST_F(SettlementTest, AddCopyRepeatsTheHeaderAndMarksModified) {
  WriteDcs(kPitB, {Amount(0, 1)});
  Settlement s;
  const int m = s.AddEntry(kPit36, 0, 0, kJoint);
  const int b = s.AddEntry(kPitB, m, kPmSpouse, kJoint);
  DefinitionLibrary defs(dir_.string());
  s.RebuildTree(defs);
  s.Write(b, 0, "5,00");
  const int copy = s.AddCopy(b, defs);
  ASSERT_EQ(copy, 3);
  EXPECT_TRUE(s.DocumentModified);
  const FormEntry& c = s.Entry(copy);
  EXPECT_EQ(c.IdPit, kPitB);
  EXPECT_EQ(c.IdParent, m);
  EXPECT_EQ(c.PM, kPmSpouse);
  EXPECT_EQ(c.ReturnGuid, s.Entry(m).ReturnGuid);
  EXPECT_EQ(c.Slots()[0].Value, "0,00");  // a fresh copy, not a clone of the values
  ASSERT_EQ(s.Tree()[0].Children.size(), 2u);
  EXPECT_EQ(s.Tree()[0].Children[1].Text, "PIT/B (M)");
  EXPECT_EQ(s.AddCopy(99, defs), -1);
}

TEST(Catalogue, RowsAndCodes) {
  FormCatalogue c;
  struct Row {
    int id;
    const char* code;
    int pages, variant;
    bool multi;
    int kind;
  } rows[] = {
      {1, "PIT-36", 6, 20, false, 0}, {2, "PIT-37", 4, 20, false, 0}, {6, "PIT/O", 3, 20, true, 1},
      {10, "PIT/B", 2, 13, true, 1},  {16, "NIP-1", 4, 0, false, 1},  {28, "UPKD ORD-ZU", 1, 2, false, 1},
      {31, "UPKD", 1, 2, false, 1},   {32, "PIT/UZ", 1, 1, false, 2},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(c[r.id].Code, r.code);
    EXPECT_EQ(c[r.id].PageCount, r.pages) << r.code;
    EXPECT_EQ(c[r.id].Variant, r.variant) << r.code;
    EXPECT_EQ(c[r.id].MultiCopy, r.multi) << r.code;
    EXPECT_EQ(c[r.id].Kind, r.kind) << r.code;
    EXPECT_EQ(c[r.id].LastPage, 1);
  }
  EXPECT_EQ(c[29].Description, "Uzasadnienie Przyczyn Korekty Deklaracji");
  EXPECT_EQ(c[2].Description, "");
  EXPECT_EQ(c.FindCode("UPKD"), 29);
  EXPECT_EQ(c.FindCode("UPKD", true), 31);
  EXPECT_EQ(c.FindCode("PIT/2K"), 8);
  EXPECT_EQ(c.FindCode("PIT-99"), 0);
  EXPECT_EQ(c[0].Code, "");
  EXPECT_EQ(c[33].Code, "");
}

// The journal keeps each slot once, with the value it had before the edit;
// writing what is there is no change; a trial taken back restores every slot
// it wrote to its value at the trial's start, also one changed before it.
TEST(SettlementJournal, KeepsFirstValuesAndTakesTrialsBack) {
  Settlement s;
  const int e = s.AddEntry(kPit37, 0, 0, kIndividual);
  s.Write(e, 1, "a");
  s.TakeJournal();

  EXPECT_FALSE(s.Write(e, 1, "a"));
  EXPECT_TRUE(s.Journal().empty());
  EXPECT_TRUE(s.Write(e, 1, "b"));
  EXPECT_TRUE(s.Write(e, 1, "c"));
  EXPECT_TRUE(s.WriteCheck(e, 1, true));
  ASSERT_EQ(s.Journal().size(), 1u);
  EXPECT_EQ(s.Journal()[0].before.Value, "a");
  EXPECT_FALSE(s.Journal()[0].before.CheckState);

  {
    Settlement::Trial outer(s);
    s.Write(e, 1, "d");  // changed before the trial too
    s.Write(e, 2, "x");
    {
      Settlement::Trial inner(s);
      s.Write(e, 1, "e");
      s.Write(e, 3, "y");
    }  // kept: its writes belong to the outer trial
    outer.RollBack();
  }
  EXPECT_EQ(s.Entry(e).Slot(1).Value, "c");
  EXPECT_TRUE(s.Entry(e).Slot(1).CheckState);
  EXPECT_EQ(s.Entry(e).Slot(2).Value, "");
  EXPECT_EQ(s.Entry(e).Slot(3).Value, "");
  ASSERT_EQ(s.Journal().size(), 1u);  // the edit around it is as it was

  {
    Settlement::Trial kept(s);
    s.Write(e, 1, "f");
    s.Write(e, 4, "z");
  }
  const std::vector<JournalRecord> edit = s.TakeJournal();
  ASSERT_EQ(edit.size(), 2u);
  EXPECT_EQ(edit[0].field, 1);
  EXPECT_EQ(edit[0].before.Value, "a");
  EXPECT_EQ(edit[1].field, 4);
  EXPECT_EQ(edit[1].before.Value, "");
  EXPECT_TRUE(s.Journal().empty());
  EXPECT_TRUE(s.Write(e, 1, "g"));
  EXPECT_EQ(s.Journal().at(0).before.Value, "f");
}

// The journal keeps most slots as their values only; a whole slot written
// with another XML node must come back whole, also when the slot's value
// changed earlier in the same edit or the whole write was in a trial kept
// by the one around it.
TEST(SettlementJournal, WholeSlotsWrittenComeBackWhole) {
  Settlement s;
  const int e = s.AddEntry(kPit37, 0, 0, kIndividual);
  ValueSlot named = s.Entry(e).Slot(1);
  named.XMLNode = "P_1";
  named.Value = "a";
  s.WriteSlot(e, 1, named);
  s.TakeJournal();
  ValueSlot renamed = named;
  renamed.XMLNode = "P_2";
  renamed.Value = "c";

  {
    Settlement::Trial trial(s);
    s.Write(e, 1, "b");
    s.WriteSlot(e, 1, renamed);
    trial.RollBack();
  }
  EXPECT_TRUE(SameSlot(s.Entry(e).Slot(1), named));

  {
    Settlement::Trial outer(s);
    s.Write(e, 1, "b");
    {
      Settlement::Trial inner(s);
      s.WriteSlot(e, 1, renamed);
    }
    outer.RollBack();
  }
  EXPECT_TRUE(SameSlot(s.Entry(e).Slot(1), named));

  s.Write(e, 1, "b");
  s.WriteSlot(e, 1, renamed);
  const std::vector<JournalRecord> edit = s.TakeJournal();
  ASSERT_EQ(edit.size(), 1u);
  EXPECT_EQ(edit[0].before.Value, "a");
  ASSERT_NE(edit[0].whole, nullptr);
  EXPECT_TRUE(SameSlot(*edit[0].whole, named));
}

// An entry in a settlement changes only through it; a copy starts in none.
TEST(SettlementJournal, ListedEntriesRefuseDirectWrites) {
  Settlement s;
  const int e = s.AddEntry(kPit37, 0, 0, kIndividual);
  EXPECT_THROW(s.Entry(e).Unlisted(), std::logic_error);
  FormEntry copy(s.Entry(e));
  copy.Unlisted()[5].Value = "1,00";
  s.AppendLoaded(std::make_unique<FormEntry>(copy));
  EXPECT_EQ(s.Entry(2).Slot(5).Value, "1,00");
  EXPECT_THROW(s.Entry(2).Unlisted(), std::logic_error);
}

}  // namespace
}  // namespace pit

namespace pit {
namespace {

// The calculations read a field's grosze as kept from the write of its
// text: whatever changes the text, the grosze must follow it.
TEST(SettlementGrosze, FollowEveryChangeOfTheText) {
  Settlement s;
  const int e = s.AddEntry(kPit37, 0, 0, kIndividual);
  EXPECT_EQ(s.Entry(e).Grosze(5), 0);  // an untouched field reads as 0
  const std::vector<std::pair<const char*, std::optional<std::int64_t>>> writes = {
      {"12,5", 1250}, {"-3", -300}, {"0,07", 7}, {"", 0}, {"9999999999999,99", 999999999999999},
      {"1,234", std::nullopt},  // more decimals: read in full when needed
      {"abc", std::nullopt},    {"-0,00", 0},
  };
  for (const auto& [text, grosze] : writes) {
    s.Write(e, 5, text);
    EXPECT_EQ(s.Entry(e).Grosze(5), grosze) << text;
  }

  ValueSlot slot = s.Entry(e).Slot(6);
  slot.Value = "7,05";
  s.WriteSlot(e, 6, slot);
  EXPECT_EQ(s.Entry(e).Grosze(6), 705);

  s.Write(e, 7, "1,00");
  {
    Settlement::Trial trial(s);
    s.Write(e, 7, "99,99");
    EXPECT_EQ(s.Entry(e).Grosze(7), 9999);
    trial.RollBack();
  }
  EXPECT_EQ(s.Entry(e).Grosze(7), 100);

  // Filled out of the settlement, then listed: read from the texts then.
  auto loaded = std::make_unique<FormEntry>();
  loaded->IdPit = kPitO;
  loaded->Unlisted()[3].Value = "8,10";
  EXPECT_EQ(loaded->Grosze(3), 810);
  s.AppendLoaded(std::move(loaded));
  EXPECT_EQ(s.Entry(s.Count()).Grosze(3), 810);

  std::array<ValueSlot, kSlotCount> chosen{};
  chosen[4].Value = "4,00";
  const int added = s.AddEntry(kPitD, e, kPmTaxpayer, kIndividual, chosen, true);
  EXPECT_EQ(s.Entry(added).Grosze(4), 400);
}

}  // namespace
}  // namespace pit
