// Undo and redo of whole commits through the settlement session, and the
// amounts a commit cut named under the reduction notice. Works on the
// definitions the build generates.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/session.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "forms/pit37_fields.h"
#include "forms/pit_o_fields.h"

namespace pit {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// Every value of every entry, and the persons' data, to compare whole states.
struct State {
  std::vector<std::vector<std::string>> values;
  std::vector<std::vector<bool>> ticks;
  std::string surname;
  bool operator==(const State& o) const { return values == o.values && ticks == o.ticks && surname == o.surname; }
};

class UndoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pit_undo_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    session.SetDefinitions(&defs);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  const std::string& Value(int entry, int field) const {
    return s.Entry(entry).Slots()[static_cast<std::size_t>(field)].Value;
  }
  State Now() const {
    State st;
    for (int e = 1; e <= s.Count(); ++e) {
      std::vector<std::string> v;
      std::vector<bool> t;
      for (const ValueSlot& slot : s.Entry(e).Slots()) {
        v.push_back(slot.Value);
        t.push_back(slot.CheckState);
      }
      st.values.push_back(std::move(v));
      st.ticks.push_back(std::move(t));
    }
    st.surname = ids.Taxpayer.Surname;
    return st;
  }
  void Type(int entry, int field, const std::string& text) {
    const CommitOutcome r = session.CommitTyped(entry, field, text);
    ASSERT_TRUE(r.ok()) << field << ": " << r.message;
  }
  // A PIT-37 with a PIT/O: a revenue with its costs and the social and
  // health contributions deducted, as a user fills it.
  void FilledPit37() {
    session.New(kIndividual);
    const int p = s.AddEntry(kPit37, 0, 0, kIndividual);
    s.AddEntry(kPitO, p, 0, kIndividual);
    s.RebuildTree(defs);
    ASSERT_EQ(session.RecalculateAll({}, false), CalcStatus::Done);
    using namespace pit37;
    for (const auto& [field, text] : std::vector<std::pair<int, std::string>>{{taxpayer_employment_revenue, "52340,17"},
                                                                             {taxpayer_employment_costs, "1335"},
                                                                             {taxpayer_income_deductions, "7175,40"},
                                                                             {taxpayer_tax_deductions, "4053,28"}}) {
      Type(1, field, text);
    }
  }
  std::vector<std::string> Messages() const { return session.Headless().messages; }
  // How a line names a field of the PIT-37: by its printed position.
  std::string Poz(int field) {
    return "poz. " + std::to_string((*defs.Fields(kPit37))[static_cast<std::size_t>(field)].Poz);
  }

  DefinitionLibrary defs{PIT_BIN_DIR "/dc"};
  Settlement s;
  IdentificationRecords ids;
  SettlementSession session{s, ids};
  fs::path dir_;
};

// A front end with a view of its own gets, as one value per commit, the
// message list the headless display gathers: the notice and the amounts cut.
TEST_F(UndoTest, AResultViewGetsTheListTheHeadlessDisplayGathers) {
  FilledPit37();
  std::vector<ShownResult> seen;
  const int owner = 0;
  session.SetResultView([&seen](const ShownResult& r) { seen.push_back(r); }, &owner);
  Type(1, pit37::taxpayer_employment_revenue, "1,53");
  // The commit's calculation, after the one that shows the field's page.
  ASSERT_FALSE(seen.empty());
  const MessageList viewed = seen.back().messages;
  EXPECT_TRUE(viewed.replaced);
  EXPECT_EQ(viewed.height, MessageListHeight::Normal);
  ASSERT_EQ(viewed.lines.size(), 3u);

  ASSERT_NE(session.Undo(), nullptr);
  session.DropResultView(&owner);
  Type(1, pit37::taxpayer_employment_revenue, "1,53");
  EXPECT_EQ(Messages(), viewed.lines);
}

// The reduction notice names each amount the user gave that the commit cut,
// from what it was to what it became; a commit that cuts nothing names none.
TEST_F(UndoTest, ReductionNoticeNamesTheAmountsTheCommitCut) {
  FilledPit37();
  const std::string notice =
      "   PIT-37. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj wysokość poszczególnych kwot w "
      "tym w załącznikach.";

  // Less revenue that still covers the deductions: results fall, nothing is cut.
  Type(1, pit37::taxpayer_employment_revenue, "40000");
  EXPECT_THAT(Messages(), IsEmpty());

  // The revenue mistyped: the social contributions no longer fit the income.
  Type(1, pit37::taxpayer_employment_revenue, "1,53");
  EXPECT_EQ(Value(1, pit37::taxpayer_income_deductions), "0,00");
  EXPECT_EQ(Value(1, pit37::taxpayer_tax_deductions), "0,00");
  EXPECT_THAT(Messages(), ElementsAre(notice, Poz(pit37::taxpayer_income_deductions) + ": 7 175,40 → 0,00",
                                      Poz(pit37::taxpayer_tax_deductions) + ": 4 053,28 → 0,00"));

  // A value cut as it is given names the value given.
  Type(1, pit37::taxpayer_employment_revenue, "52340,17");
  Type(1, pit37::taxpayer_income_deductions, "7175,40");
  Type(1, pit37::taxpayer_tax_deductions, "99999,99");
  EXPECT_THAT(Messages(), Contains(HasSubstr(Poz(pit37::taxpayer_tax_deductions) + ": 99 999,99 → ")));
}

// Undo takes back the whole commit, the calculation's results in every entry
// and the persons' data included; redo does it again; each step can be taken
// back and done again in turn.
TEST_F(UndoTest, UndoAndRedoTakeWholeCommitsBackAndForth) {
  FilledPit37();
  Type(1, pit37::taxpayer_surname, "KOWALSKI");
  const State beforeSurname = Now();
  Type(1, pit37::taxpayer_surname, "NOWAK");
  const State beforeMistake = Now();
  Type(1, pit37::taxpayer_employment_revenue, "1,53");
  const State afterMistake = Now();
  ASSERT_EQ(Value(1, pit37::taxpayer_income_deductions), "0,00");
  ASSERT_EQ(ids.Taxpayer.Surname, "NOWAK");

  const CommitStep* undone = session.Undo();
  ASSERT_NE(undone, nullptr);
  EXPECT_EQ(undone->entry, 1);
  EXPECT_EQ(undone->field, pit37::taxpayer_employment_revenue);
  EXPECT_EQ(undone->page, 2);
  EXPECT_EQ(Value(1, pit37::taxpayer_employment_revenue), "52340,17");
  EXPECT_EQ(Value(1, pit37::taxpayer_income_deductions), "7175,40");
  EXPECT_TRUE(Now() == beforeMistake);

  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_TRUE(Now() == beforeSurname);
  EXPECT_EQ(ids.Taxpayer.Surname, "KOWALSKI");

  ASSERT_NE(session.Redo(), nullptr);
  EXPECT_TRUE(Now() == beforeMistake);
  ASSERT_NE(session.Redo(), nullptr);
  EXPECT_TRUE(Now() == afterMistake);
  EXPECT_EQ(session.Redo(), nullptr);
  EXPECT_FALSE(session.History().CanRedo());

  // A new edit after undoing: what was undone cannot be done again.
  ASSERT_NE(session.Undo(), nullptr);
  Type(1, pit37::taxpayer_employment_costs, "2000");
  EXPECT_FALSE(session.History().CanRedo());
  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_TRUE(Now() == beforeMistake);
}

// What a commit in an attachment changes in its return when the return is
// calculated next belongs to that commit: undoing it puts both back.
TEST_F(UndoTest, ConsequencesInOtherEntriesAreTakenBackWithTheCommit) {
  FilledPit37();
  ASSERT_EQ(session.Calculate(1), CalcStatus::Done);
  const State before = Now();
  Type(2, pit_o::taxpayer_internet, "500");
  ASSERT_EQ(session.Calculate(1), CalcStatus::Done);  // the return shown again
  ASSERT_EQ(Value(1, pit37::taxpayer_pit_o_income_deductions), "500,00");

  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_EQ(Value(2, pit_o::taxpayer_internet), before.values[1][pit_o::taxpayer_internet]);
  EXPECT_EQ(Value(1, pit37::taxpayer_pit_o_income_deductions),
            before.values[0][pit37::taxpayer_pit_o_income_deductions]);
  EXPECT_TRUE(Now() == before);
}

// The modified state follows the history: back at the saved state the
// settlement is unmodified, one step off it is modified.
TEST_F(UndoTest, ModifiedStateFollowsTheSavedPlaceInTheHistory) {
  FilledPit37();
  Type(1, pit37::taxpayer_surname, "KOWALSKI");
  ASSERT_TRUE(session.Save(Path("a.dc2014")).ok);
  EXPECT_FALSE(session.Modified());
  Type(1, pit37::taxpayer_surname, "NOWAK");
  EXPECT_TRUE(session.Modified());
  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_FALSE(session.Modified());
  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_TRUE(session.Modified());
  ASSERT_NE(session.Redo(), nullptr);
  EXPECT_FALSE(session.Modified());
  ASSERT_NE(session.Redo(), nullptr);
  EXPECT_TRUE(session.Modified());

  // A new edit where the saved state was among the steps undone: no step
  // leads back to it any more.
  ASSERT_NE(session.Undo(), nullptr);
  ASSERT_NE(session.Undo(), nullptr);
  Type(1, pit37::taxpayer_surname, "ZIELIŃSKI");
  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_TRUE(session.Modified());
}

// A new settlement, another file, closing, or the forms of the settlement
// made anew start a new history: nothing of the old one can be undone into it.
TEST_F(UndoTest, TheHistoryBelongsToOneSettlement) {
  struct Case {
    const char* name;
    std::function<void()> change;
  } cases[] = {
      {"Open", [this] { ASSERT_TRUE(session.Open(Path("a.dc2014")).ok); }},
      {"New", [this] { session.New(kIndividual); }},
      {"Close", [this] { session.Close(); }},
      {"forms chosen anew",
       [this] {
         // As the selection screen does: the same forms, made anew.
         s.Clear();
         const int p = s.AddEntry(kPit37, 0, 0, kIndividual);
         s.AddEntry(kPitO, p, 0, kIndividual);
         s.RebuildTree(defs);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FilledPit37();
    ASSERT_TRUE(session.Save(Path("a.dc2014")).ok);
    Type(1, pit37::taxpayer_surname, "NOWAK");
    ASSERT_TRUE(session.History().CanUndo());
    c.change();
    const State after = Now();
    EXPECT_EQ(session.Undo(), nullptr);
    EXPECT_FALSE(session.History().CanUndo());
    EXPECT_TRUE(Now() == after);
  }
}

// A commit whose calculation stops at a field that holds no amount makes no
// step and leaves no figure calculated half-way; the value given stays and
// goes with the step of the commit that puts the amount right, so that one
// undo takes back both.
TEST_F(UndoTest, AFailedCalculationLeavesNoStepAndNoHalfResults) {
  FilledPit37();
  using namespace pit37;
  // A deduction that is no amount, as a damaged file can bring it.
  s.Write(1, taxpayer_tax_deductions, "4053,28 zł");
  const State before = Now();
  const std::string income = Value(1, taxpayer_employment_income);

  const CommitOutcome failed = session.Commit(1, taxpayer_employment_revenue, FieldInput::Typed("60000"));
  EXPECT_TRUE(failed.accepted);
  EXPECT_TRUE(failed.changed);
  EXPECT_EQ(failed.calc, CalcStatus::BadAmount);
  State expected = before;
  expected.values[0][taxpayer_employment_revenue] = Value(1, taxpayer_employment_revenue);
  EXPECT_EQ(Value(1, taxpayer_employment_revenue), "60000,00");
  EXPECT_EQ(Value(1, taxpayer_employment_income), income);
  EXPECT_TRUE(Now() == expected);
  EXPECT_TRUE(session.Modified());
  EXPECT_FALSE(session.History().CanRedo());

  // The deduction put right: the value given is calculated now, as one step.
  ASSERT_TRUE(session.Commit(1, taxpayer_tax_deductions, FieldInput::Typed("4053,28")).ok());
  EXPECT_EQ(Value(1, taxpayer_employment_income), "58665,00");
  const State fixed = Now();
  const CommitStep* undone = session.Undo();
  ASSERT_NE(undone, nullptr);
  EXPECT_EQ(undone->field, taxpayer_tax_deductions);
  EXPECT_TRUE(Now() == before);
  ASSERT_NE(session.Redo(), nullptr);
  EXPECT_TRUE(Now() == fixed);
}

// An undo between a failed commit and the one that puts it right takes
// back the commit before, and leaves the value given where it is.
TEST_F(UndoTest, UndoAfterAFailedCalculationKeepsTheValueGiven) {
  FilledPit37();
  using namespace pit37;
  const std::string deductionsBefore = Value(1, taxpayer_tax_deductions);
  Type(1, taxpayer_tax_deductions, "3000");
  s.Write(1, taxpayer_income_deductions, "7175,40 zł");
  ASSERT_EQ(session.Commit(1, taxpayer_employment_revenue, FieldInput::Typed("60000")).calc, CalcStatus::BadAmount);

  const CommitStep* undone = session.Undo();
  ASSERT_NE(undone, nullptr);
  EXPECT_EQ(undone->field, taxpayer_tax_deductions);
  EXPECT_EQ(Value(1, taxpayer_tax_deductions), deductionsBefore);
  EXPECT_EQ(Value(1, taxpayer_employment_revenue), "60000,00");
  EXPECT_TRUE(session.Modified());
}

// A step keeps most slots as their values only. A slot changed in more than
// that after the commit (an XML node given by the export, a text longer
// than a step keeps in short) joins the commit's step whole: undo and redo
// put back the whole slot on both sides.
TEST_F(UndoTest, SlotsChangedInMoreThanTheirValuesComeBackWhole) {
  using namespace pit37;
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "ż";  // two bytes each
  const struct {
    const char* name;
    std::function<ValueSlot(ValueSlot)> change;
  } cases[] = {
      {"another XML node",
       [](ValueSlot slot) {
         slot.XMLNode = "P_INNY";
         return slot;
       }},
      {"a long text",
       [&](ValueSlot slot) {
         slot.Value = longText;
         return slot;
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FilledPit37();
    const ValueSlot before = s.Entry(1).Slot(taxpayer_employment_revenue);
    Type(1, taxpayer_employment_revenue, "60000");
    const ValueSlot after = c.change(s.Entry(1).Slot(taxpayer_employment_revenue));
    ASSERT_TRUE(s.WriteSlot(1, taxpayer_employment_revenue, after));

    ASSERT_NE(session.Undo(), nullptr);
    EXPECT_TRUE(SameSlot(s.Entry(1).Slot(taxpayer_employment_revenue), before));
    ASSERT_NE(session.Redo(), nullptr);
    EXPECT_TRUE(SameSlot(s.Entry(1).Slot(taxpayer_employment_revenue), after));
  }
}

// A further copy of a form keeps the entries before it where they were: the
// history goes on, and undoing a commit leaves the new copy alone.
TEST_F(UndoTest, AnAddedCopyKeepsTheHistory) {
  FilledPit37();
  const State before = Now();
  Type(2, pit_o::taxpayer_internet, "500");
  ASSERT_GT(s.AddCopy(2, defs), 0);
  ASSERT_NE(session.Undo(), nullptr);
  EXPECT_EQ(Value(2, pit_o::taxpayer_internet), before.values[1][pit_o::taxpayer_internet]);
  EXPECT_EQ(s.Count(), 3);
}

// A distribution of the persons' data passes over the entries it would not
// change. After each edit, undo, redo, failed calculation and change of kind
// below, distributing to every entry in full must change nothing more than
// the distribution that passes entries over: an entry passed over wrongly
// would keep a name, identifier or address the others no longer show.
TEST_F(UndoTest, EntriesPassedOverByTheDistributionHoldWhatAFullOneWrites) {
  session.New(kJoint);
  const int p = s.AddEntry(kPit37, 0, 0, kJoint);
  s.AddEntry(kPitO, p, 0, kJoint);
  s.AddEntry(kPitO, p, kPmSpouse, kJoint);
  s.AddEntry(kPitD, p, 0, kJoint);
  s.AddEntry(kPit38, 0, 0, kJoint);
  s.AddEntry(kPit28, 0, 0, kJoint);
  s.RebuildTree(defs);
  ASSERT_EQ(session.RecalculateAll({}, false), CalcStatus::Done);

  using namespace pit37;
  const std::vector<std::pair<std::string, std::function<void()>>> steps{
      {"surname in the return", [&] { Type(1, taxpayer_surname, "KOWALSKI"); }},
      {"spouse's name in an attachment", [&] { Type(2, pit_o::spouse_first_name, "ANNA"); }},
      {"an amount", [&] { Type(1, taxpayer_employment_revenue, "52340,17"); }},
      {"undo", [&] { ASSERT_NE(session.Undo(), nullptr); }},
      {"undo again", [&] { ASSERT_NE(session.Undo(), nullptr); }},
      {"redo", [&] { ASSERT_NE(session.Redo(), nullptr); }},
      {"a failed calculation that took a surname",
       [&] {
         ASSERT_TRUE(session.MakeCurrent(1));
         session.EnsureShownFields();
         s.Write(1, taxpayer_tax_deductions, "0,00 zł");
         ASSERT_EQ(session.Commit(1, taxpayer_surname, FieldInput::Typed("NOWAK")).calc, CalcStatus::BadAmount);
         ASSERT_EQ(ids.Taxpayer.Surname, "NOWAK");
       }},
      {"the amount put right",
       [&] { ASSERT_TRUE(session.Commit(1, taxpayer_tax_deductions, FieldInput::Typed("0")).ok()); }},
      {"undo after the failure", [&] { ASSERT_NE(session.Undo(), nullptr); }},
      {"redo after the failure", [&] { ASSERT_NE(session.Redo(), nullptr); }},
      {"single filing", [&] { ASSERT_NE(session.ChangeKind(kIndividual), nullptr); }},
      {"an amount after the change of kind", [&] { Type(1, taxpayer_employment_costs, "1335"); }},
      {"the change of kind undone", [&] {
         ASSERT_NE(session.Undo(), nullptr);
         ASSERT_NE(session.Undo(), nullptr);
       }},
      {"a NIP", [&] { Type(1, taxpayer_id, "5260250274"); }},
      {"identified by PESEL", [&] {
         s.TaxpayerIdKind = kIdPesel;
         ASSERT_EQ(session.Calculate(1), CalcStatus::Done);
       }},
  };
  for (const auto& [what, step] : steps) {
    SCOPED_TRACE(what);
    ASSERT_NO_FATAL_FAILURE(step());
    DistributeIdentification(s, ids);
    Settlement::Trial full(s);
    const std::size_t start = s.Journal().size();
    for (int i = 1; i <= s.Count(); ++i) DistributeIdentificationTo(s, ids, i);
    for (std::size_t r = start; r < s.Journal().size(); ++r) {
      const JournalRecord& rec = s.Journal()[r];
      ADD_FAILURE() << "entry " << rec.entry << " field " << rec.field << " held \"" << rec.before.Value
                    << "\", a full distribution writes \"" << Value(rec.entry, rec.field) << "\"";
    }
    full.RollBack();
  }
}

}  // namespace
}  // namespace pit
