// The settlement session both programs run their documents through: the
// commit of a typed value with the rules of its field and the calculation,
// the opening pass, the file life cycle and the modified notification.
// Works on the definitions the build generates.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <tuple>
#include <vector>

#include "app/headless_display.h"
#include "app/session.h"
#include "forms/definition_library.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit_o_fields.h"
#include "output/export.h"

namespace pit {
namespace {

namespace fs = std::filesystem;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("pit_session_test_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    session.SetDefinitions(&defs);
    session.SetModifiedListener([this](bool on) { notices.push_back(on); });
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  const std::string& Value(int entry, int field) const {
    return s.Entry(entry).Slots()[static_cast<std::size_t>(field)].Value;
  }
  // A PIT-37 with a PIT/O, as `pit2014cli new` makes it.
  void NewPit37() {
    session.New(kIndividual);
    const int p = s.AddEntry(kPit37, 0, 0, kIndividual);
    s.AddEntry(kPitO, p, 0, kIndividual);
    s.RebuildTree(defs);
    ASSERT_EQ(session.RecalculateAll({}, false), CalcStatus::Done);
  }

  DefinitionLibrary defs{PIT_BIN_DIR "/dc"};
  Settlement s;
  IdentificationRecords ids;
  SettlementSession session{s, ids};
  std::vector<bool> notices;
  fs::path dir_;
};

TEST_F(SessionTest, TypedAmountsAreCommittedAndTheReturnRecalculated) {
  NewPit37();
  for (const auto& [field, text] : std::vector<std::pair<int, std::string>>{
           {pit37::taxpayer_employment_revenue, "50000"},
           {pit37::taxpayer_employment_costs, "1335"},
           {pit37::taxpayer_employment_advance, "6000"}}) {
    const CommitOutcome r = session.CommitTyped(1, field, text);
    ASSERT_TRUE(r.ok()) << field << ": " << r.message;
  }
  EXPECT_EQ(Value(1, pit37::taxpayer_employment_revenue), "50000,00");
  EXPECT_EQ(Value(1, pit37::tax), "8203,68");
  EXPECT_EQ(Value(1, pit37::tax_due), "8204,00");
  EXPECT_EQ(Value(1, pit37::to_pay), "2204,00");
  EXPECT_TRUE(session.Modified());
  EXPECT_EQ(s.Current.Number, 1);
  EXPECT_EQ(s.Current.Page, 2);  // the page of the employment revenue

  // The internet relief in the PIT/O is capped and reaches the return at once.
  ASSERT_TRUE(session.CommitTyped(2, pit_o::taxpayer_internet, "900").ok());
  EXPECT_EQ(Value(2, pit_o::taxpayer_internet), "760,00");
}

TEST_F(SessionTest, TypedValuesTheFieldWouldNotTakeAreRefusedAndChangeNothing) {
  NewPit37();
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_employment_revenue, "100").ok());
  struct Case {
    int entry, field;
    const char* text;
    const char* says;
  } cases[] = {
      {1, pit37::taxpayer_employment_revenue, "12.345", "nie przyjmuje wartości"},  // a third decimal the box drops
      {1, pit37::taxpayer_employment_revenue, "1 000", "nie przyjmuje wartości"},   // blanks: not the amount grammar
      {1, pit37::taxpayer_employment_revenue, "+5", "nie przyjmuje wartości"},
      {1, pit37::taxpayer_employment_revenue, "abc", "nie przyjmuje wartości"},
      {1, pit37::tax, "1,00", "nie jest do wypełnienia"},  // computed
      {1, 349, "1", "nie ma pola"},
      {7, 1, "1", "nie ma pozycji"},
  };
  for (const Case& c : cases) {
    const CommitOutcome r = session.CommitTyped(c.entry, c.field, c.text);
    EXPECT_FALSE(r.accepted) << c.text;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << c.text << ": " << r.message;
  }
  EXPECT_EQ(Value(1, pit37::taxpayer_employment_revenue), "100,00");
}

TEST_F(SessionTest, ModifiedStateNotifiesOncePerChangeWhoeverChangesIt) {
  NewPit37();
  notices.clear();
  session.SetModified(false);
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_employment_revenue, "100").ok());
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_employment_costs, "10").ok());  // still modified: no second notice
  EXPECT_EQ(notices, (std::vector<bool>{true}));
  ASSERT_TRUE(session.Save(Path("a.dc2014")).ok);
  EXPECT_EQ(notices, (std::vector<bool>{true, false}));
  s.AddCopy(2, defs);  // the settlement's own operations notify too
  EXPECT_EQ(notices, (std::vector<bool>{true, false, true}));
}

TEST_F(SessionTest, SavedFileOpensWithTheSameValuesAndTheSameResultsAfterRecalculation) {
  NewPit37();
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_employment_revenue, "50000").ok());
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_surname, "KOWALSKI").ok());
  ASSERT_TRUE(session.Save(Path("a.dc2014")).ok);
  const std::vector<std::uint8_t> before = EncodeSettlement(s);

  session.Close();
  EXPECT_FALSE(s.IsOpen());
  const FileResult r = session.Open(Path("a.dc2014"));
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_FALSE(session.Modified());
  EXPECT_EQ(Value(1, pit37::taxpayer_employment_revenue), "50000,00");
  EXPECT_EQ(ids.Taxpayer.Surname, "KOWALSKI");  // the persons' data collected
  ASSERT_EQ(session.RecalculateAll({}, false), CalcStatus::Done);
  s.StampEntries();
  EXPECT_EQ(EncodeSettlement(s), before);

  // A file that is not there takes nothing away from the open one.
  EXPECT_FALSE(session.Open(Path("missing.dc2014")).ok);
  EXPECT_EQ(Value(1, pit37::taxpayer_employment_revenue), "50000,00");
  EXPECT_EQ(ids.Taxpayer.Surname, "KOWALSKI");
}

TEST_F(SessionTest, OpeningPassRunsAttachmentsBeforeTheirReturns) {
  NewPit37();
  // A value placed in the attachment behind the calculations' back: the
  // pass caps it and the return takes the capped figure.
  s.Write(2, pit_o::taxpayer_internet, "900,00");
  std::vector<int> shown;
  PassHooks hooks;
  hooks.show = [&](int i) {
    shown.push_back(i);
    session.MakeCurrent(i);
    session.EnsureShownFields();
    return PassShow::Shown;
  };
  ASSERT_EQ(session.RecalculateAll(hooks), CalcStatus::Done);
  EXPECT_EQ(shown, (std::vector<int>{2, 1}));
  EXPECT_EQ(Value(2, pit_o::taxpayer_internet), "760,00");
  EXPECT_EQ(OpeningOrder(s), (std::vector<int>{2, 1}));
}

// Printing and export bring the file up to date without a page on screen:
// what is handed on must be what the desktop program handed on after
// opening the file and selecting each return in the tree before reading it.
TEST_F(SessionTest, OutputPreparationExportsWhatTheSelectedReturnsDid) {
  NewPit37();
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_employment_revenue, "50000").ok());
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_employment_advance, "6000").ok());
  ASSERT_TRUE(session.CommitTyped(1, pit37::taxpayer_surname, "KOWALSKI").ok());
  // Figures the file brings that no calculation has seen: the attachment's
  // relief over its cap, the return's tax out of date.
  s.Write(2, pit_o::taxpayer_internet, "900,00");
  s.Write(1, pit37::tax_due, "1,00");
  ASSERT_TRUE(session.Save(Path("a.dc2014")).ok);

  struct Opened {
    Settlement s;
    IdentificationRecords ids;
    SettlementSession session{s, ids};
  };
  const auto exportOf = [&](bool clickFree) {
    Opened o;
    o.session.SetDefinitions(&defs);
    EXPECT_TRUE(o.session.Open(Path("a.dc2014")).ok);
    ExportHooks hooks;
    if (clickFree) {
      const OutputPreparation r = o.session.PrepareForOutput();
      EXPECT_EQ(r.status, CalcStatus::Done);
      EXPECT_EQ(r.error, "");
      EXPECT_EQ(o.session.ShownFieldsEntry(), 0);  // nothing was put on screen
    } else {
      // The opening pass, then each main form of the return selected in
      // the tree before it was read.
      EXPECT_EQ(o.session.RecalculateAll({}, false), CalcStatus::Done);
      for (int n : o.s.TreeOrder()) {
        if (o.s.Entry(n).IsAttachment() || o.s.Entry(n).ReturnGuid != o.s.Entry(1).ReturnGuid) continue;
        o.session.MakeCurrent(n, o.s.Catalogue()[o.s.Entry(n).IdPit].LastPage);
        o.session.EnsureShownFields();
        o.session.Calculate(n);
      }
    }
    EXPECT_EQ(o.s.Entry(2).Slots()[pit_o::taxpayer_internet].Value, "760,00");
    return BuildExport(o.s, defs, o.s.Entry(1).ReturnGuid, hooks).xml;
  };
  const std::string selected = exportOf(false);
  const std::string prepared = exportOf(true);
  EXPECT_NE(selected.find("KOWALSKI"), std::string::npos);
  EXPECT_EQ(prepared, selected);

  // A figure no calculation can read stops neither the other entries nor
  // the report of what went wrong.
  Opened o;
  o.session.SetDefinitions(&defs);
  ASSERT_TRUE(o.session.Open(Path("a.dc2014")).ok);
  o.s.Write(2, pit_o::taxpayer_rehabilitation, "300 zł");
  const OutputPreparation r = o.session.PrepareForOutput();
  EXPECT_EQ(r.status, CalcStatus::BadAmount);
  // Named by its printed position, as the form window names it.
  const int poz = (*defs.Fields(kPitO))[pit_o::taxpayer_rehabilitation].Poz;
  EXPECT_EQ(r.error, "Nieprawidłowa kwota \"300 zł\" w poz. " + std::to_string(poz) + " formularza PIT/O");
  EXPECT_NE(o.s.Entry(1).Slots()[pit37::tax_due].Value, "1,00");  // the return calculated after it
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(r.failures[0].entry, 2);
}

// A return is handed on when its own figures could be worked out: a figure
// another return of the same settlement cannot read is that return's
// failure alone.
TEST_F(SessionTest, AFailureBelongsToTheReturnOfTheFormThatFailed) {
  NewPit37();
  const int pit38 = s.AddEntry(kPit38, 0, 0, kIndividual);
  s.RebuildTree(defs);
  ASSERT_NE(s.Entry(pit38).ReturnGuid, s.Entry(1).ReturnGuid);
  s.Write(pit38, pit38::other_revenue, "5 zł");
  const OutputPreparation r = session.PrepareForOutput();
  EXPECT_EQ(r.status, CalcStatus::BadAmount);
  EXPECT_EQ(r.FailureIn(s, s.Entry(1).ReturnGuid), nullptr);
  const OutputFailure* f = r.FailureIn(s, s.Entry(pit38).ReturnGuid);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->entry, pit38);
  EXPECT_EQ(f->error, r.error);
  EXPECT_NE(f->error.find("PIT-38"), std::string::npos) << f->error;

  // An attachment's failure is its return's.
  s.Write(2, pit_o::taxpayer_rehabilitation, "300 zł");
  const OutputPreparation both = session.PrepareForOutput();
  ASSERT_NE(both.FailureIn(s, s.Entry(1).ReturnGuid), nullptr);
  EXPECT_EQ(both.FailureIn(s, s.Entry(1).ReturnGuid)->entry, 2);
  EXPECT_EQ(both.failures.size(), 2u);
}

TEST(EFiling, RegistrationFormsAndThePayersUpkdAreNotFiledElectronically) {
  struct Case {
    int kind;
    std::vector<int> forms;
    bool visible, enabled;
  } cases[] = {
      {kIndividual, {kPit37, kPitO}, true, true},
      {kPayerForms, {kPit11}, true, true},
      {kPayerForms, {kPit11, kUpkdPayer}, false, true},
      {kRegistrationForms, {kNip7}, false, false},
      {kRegistrationForms, {kZap3}, false, false},
  };
  for (const Case& c : cases) {
    Settlement s;
    s.Open();
    s.Kind = c.kind;
    for (int f : c.forms) s.AddEntry(f, 0, 0, c.kind);
    const EFilingState st = EFilingFor(s);
    EXPECT_EQ(st.visible, c.visible) << c.forms.back();
    EXPECT_EQ(st.enabled, c.enabled) << c.forms.back();
  }
}

// The flags a calculation sets, in whatever order, come out once per field
// in field order, each with every flag set for it; the screen without
// windows takes the newest value of each flag and keeps what earlier
// calculations set for the other fields.
TEST(ShownFlags, ComeInFieldOrderAndJoinWhatTheScreenKeeps) {
  ShownResult r;
  r.SetMustBe(30, true);
  r.SetReadOnly(10, true);
  r.SetMaxChar(20, 5);
  r.SetVisible(30, false);
  r.SetMustBe(10, false);
  std::vector<int> order;
  for (const auto& [field, f] : r.flags) order.push_back(field);
  EXPECT_EQ(order, (std::vector<int>{10, 20, 30}));

  HeadlessDisplay d;
  d.flags[5].visible = 1;
  d.flags[20].readOnly = 1;
  d.flags[20].maxChar = 9;
  d.flags[40].mustBe = 1;
  d.Take(r);
  const struct {
    int field;
    FieldFlags flags;
  } want[] = {
      {5, {-1, 1, -1, -1}}, {10, {1, -1, 0, -1}}, {20, {1, -1, -1, 5}}, {30, {-1, 0, 1, -1}}, {40, {-1, -1, 1, -1}},
  };
  ASSERT_EQ(d.flags.size(), std::size(want));
  for (const auto& w : want) {
    SCOPED_TRACE(w.field);
    ASSERT_EQ(d.flags.count(w.field), 1u);
    const FieldFlags& f = d.flags.at(w.field);
    EXPECT_EQ(std::tie(f.readOnly, f.visible, f.mustBe, f.maxChar),
              std::tie(w.flags.readOnly, w.flags.visible, w.flags.mustBe, w.flags.maxChar));
  }
}

}  // namespace
}  // namespace pit
