#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/selection_picks.h"
#include "forms/definition_library.h"
#include "forms/pit36_fields.h"
#include "selection/manual_selection.h"

namespace pit {
namespace {

constexpr int T = kPmTaxpayer, S = kPmSpouse;

// A selection over a settlement, with the identification hooks recorded
// and the calculations' own clearing of transfers plugged in.
class ManualSelectionTest : public ::testing::Test {
 protected:
  SelectionHooks Hooks() {
    SelectionHooks h;
    h.ClearAttachmentTransfers = [](Settlement& copy, int node) { ClearAttachmentTransfers(copy, node); };
    h.ClearPersonIdentifiers = [this](int pm) { calls_.push_back("clear " + std::to_string(pm)); };
    h.ClearIdentificationRecords = [this](bool payer) { calls_.push_back(payer ? "clear all+payer" : "clear all"); };
    h.DistributeIdentification = [this] { calls_.push_back("distribute"); };
    return h;
  }

  void Start(int kind) {
    sel_.StartNew(kind);
    if (kind == kJoint) sel_.ChangeKind(kJoint);
    sel_.Show();
    calls_.clear();
  }
  int Node(const Pick& p) const { return NodeOf(sel_.Tree(), p); }
  void Tick(const Pick& p) {
    const ClickResult r = sel_.Click(Node(p));
    ASSERT_TRUE(r.Ticked) << p.IdPit << " under " << p.Under;
  }
  std::vector<int> Ticked() const { return TickedNodes(sel_.Tree()); }
  std::vector<int> Nodes(const std::vector<Pick>& picks) const { return pit::Nodes(sel_.Tree(), picks); }

  Settlement s_;
  std::vector<std::string> calls_;
  ManualSelection sel_{s_, Hooks()};
  DefinitionLibrary defs_{"/nonexistent-definitions"};
};

TEST(IdentifierDefaults, PerKind) {
  struct Case {
    int Kind;
    int Taxpayer, Spouse;  // before
    int WantTaxpayer, WantSpouse;
  };
  const std::vector<Case> cases = {
      {kIndividual, kIdPesel, kIdPesel, kIdNip, kIdNone},   {kJoint, kIdPesel, kIdNone, kIdNip, kIdNip},
      {kSingleParent, kIdPesel, kIdNip, kIdNip, kIdNone},   {kPayerForms, kIdPesel, kIdPesel, kIdPesel, kIdPesel},
      {kRegistrationForms, kIdPesel, kIdNone, kIdPesel, kIdNone},
  };
  for (const Case& c : cases) {
    Settlement s;
    s.TaxpayerIdKind = c.Taxpayer;
    s.SpouseIdKind = c.Spouse;
    ApplyIdentifierDefaults(s, c.Kind);
    EXPECT_EQ(s.TaxpayerIdKind, c.WantTaxpayer) << c.Kind;
    EXPECT_EQ(s.SpouseIdKind, c.WantSpouse) << c.Kind;
  }
  EXPECT_TRUE(IdentifierStepFor(kPayerForms).Taxpayer);
  EXPECT_FALSE(IdentifierStepFor(kPayerForms).Spouse);
  EXPECT_FALSE(IdentifierStepFor(kRegistrationForms).Step);
}

TEST_F(ManualSelectionTest, NipToPeselAsksAndDetachesOnlyOnYes) {
  struct Case {
    const char* Name;
    int Kind;
    bool Spouse;  // the spouse's identifier changes, else the taxpayer's
    std::vector<Pick> Ticks;
    std::string Question;
    std::vector<Pick> LeftAfterYes;
  };
  const std::vector<Case> cases = {
      {"taxpayer", kIndividual, false,
       {{kPitZ, kPit36, 0}, {kPitO, kPit36, 0}, {kSseA, kSseR, 0}, {kPitB, kPit36L, 0}, {kPitZG, kPit36L, 0},
        {kPit28B, kPit28, 0}},
       "UWAGA!\nZmiana identyfikatora Podatnika z NIP na PESEL spowoduje odłączenie\ni utratę dotychczasowych "
       "danych wpisanych w drukach:\n\n - PIT/Z\n - PIT-28/B - wszystkie dołączone do rozliczenia \n - PIT-36L "
       "wraz z wszystkimi dołączonymi do niego załącznikami \n - PIT/B - wszystkie dołączone do rozliczenia "
       "\n - SSE-R\n - SSE/A\n\nCzy dokonać zmiany identyfikatora Podatnika?",
       {{kPit36, 0, 0}, {kPitO, kPit36, 0}, {kPit28, 0, 0}}},
      {"joint taxpayer", kJoint, false, {{kPitB, kPit36, T}, {kPitB, kPit36, S}},
       "UWAGA!\nZmiana identyfikatora Podatnika z NIP na PESEL spowoduje odłączenie\ni utratę dotychczasowych "
       "danych wpisanych w drukach:\n\n - PIT/B - wszystkie dołączone do rozliczenia \n\nCzy dokonać zmiany "
       "identyfikatora Podatnika?",
       {{kPit36, 0, 0}, {kPitB, kPit36, S}}},
      {"joint spouse", kJoint, true, {{kPitB, kPit36, T}, {kPitB, kPit36, S}, {kSseRA, kSseR, S}},
       "UWAGA!\nZmiana identyfikatora Małżonka z NIP na PESEL spowoduje odłączenie\ni utratę dotychczasowych "
       "danych wpisanych w formularzu:\n\n - PIT/B (Małżonek)\n - SSE-R (Małżonek)\n - SSE-R/A (Małżonek)"
       "\n\nCzy dokonać zmiany identyfikatora Małżonka?",
       {{kPit36, 0, 0}, {kPitB, kPit36, T}}},
  };
  for (const Case& c : cases) {
    for (bool yes : {true, false}) {
      SCOPED_TRACE(std::string(c.Name) + (yes ? " yes" : " no"));
      Start(c.Kind);
      for (const Pick& p : c.Ticks) Tick(p);
      const std::vector<int> before = Ticked();
      calls_.clear();

      const IdentifierQuestion q = c.Spouse ? sel_.SpouseIdClicked(kIdPesel) : sel_.TaxpayerIdClicked(kIdPesel);
      ASSERT_TRUE(q.Needed());
      EXPECT_EQ(q.Text, c.Question);
      EXPECT_EQ(q.Caption, "Pytanie");
      EXPECT_EQ(Ticked(), before);  // nothing goes before the answer
      const std::string clear = c.Spouse ? "clear 2" : "clear 1";
      EXPECT_EQ(calls_, (std::vector<std::string>{clear, "distribute"}));

      if (c.Spouse) sel_.AnswerSpouseQuestion(q, yes);
      else sel_.AnswerTaxpayerQuestion(q, yes);
      const int& id = c.Spouse ? s_.SpouseIdKind : s_.TaxpayerIdKind;
      if (yes) {
        EXPECT_EQ(Ticked(), Nodes(c.LeftAfterYes));
        EXPECT_EQ(id, kIdPesel);
        EXPECT_EQ(calls_, (std::vector<std::string>{clear, "distribute", clear, "distribute"}));
      } else {
        EXPECT_EQ(Ticked(), before);
        EXPECT_EQ(id, kIdNip);
        EXPECT_EQ(c.Spouse ? sel_.Identifiers().Spouse : sel_.Identifiers().Taxpayer, kIdNip);
      }
      EXPECT_TRUE(sel_.ConfirmEnabled());
    }
  }
}

TEST_F(ManualSelectionTest, PeselWithoutNipOnlyFormsAsksNothing) {
  struct Case {
    const char* Name;
    int Kind;
    bool SpouseBox;
    bool Spouse;
    std::vector<Pick> Ticks;
  };
  const std::vector<Case> cases = {
      {"taxpayer with PIT/O", kIndividual, false, false, {{kPitO, kPit37, 0}}},
      {"spouse of an individual return", kIndividual, true, true, {{kPitB, kPit36, 0}}},
      {"joint spouse with only the taxpayer's PIT/B", kJoint, false, true, {{kPitB, kPit36, T}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Start(c.Kind);
    if (c.SpouseBox) sel_.SpouseBoxReleased(true);
    for (const Pick& p : c.Ticks) Tick(p);
    const std::vector<int> before = Ticked();
    const IdentifierQuestion q = c.Spouse ? sel_.SpouseIdClicked(kIdPesel) : sel_.TaxpayerIdClicked(kIdPesel);
    EXPECT_FALSE(q.Needed());
    EXPECT_EQ(c.Spouse ? s_.SpouseIdKind : s_.TaxpayerIdKind, kIdPesel);
    EXPECT_EQ(Ticked(), before);
    EXPECT_FALSE(sel_.KindGroupEnabled());
    EXPECT_TRUE(sel_.ConfirmEnabled());
  }
}

TEST_F(ManualSelectionTest, SpouseBoxAndSpouseDataFlags) {
  Start(kIndividual);
  EXPECT_FALSE(sel_.Identifiers().SpouseBox);
  EXPECT_FALSE(sel_.Identifiers().SpouseRadioEnabled);

  sel_.SpouseBoxReleased(true);
  EXPECT_EQ(s_.SpouseIdKind, kIdNip);
  EXPECT_TRUE(sel_.Identifiers().SpouseRadioEnabled);
  EXPECT_TRUE(sel_.Identifiers().SpouseDataEnabled);
  sel_.SpouseDataBoxReleased(kPitD, true);
  EXPECT_TRUE(sel_.Identifiers().SpouseData.PitD);

  calls_.clear();
  sel_.SpouseBoxReleased(false);
  EXPECT_EQ(s_.SpouseIdKind, kIdNone);
  EXPECT_EQ(sel_.Identifiers().Spouse, kIdNone);
  EXPECT_FALSE(sel_.Identifiers().SpouseData.PitD);
  EXPECT_FALSE(sel_.Identifiers().SpouseDataEnabled);
  EXPECT_EQ(calls_, (std::vector<std::string>{"clear 2", "distribute"}));
  EXPECT_TRUE(sel_.ConfirmEnabled());  // even with nothing ticked

  // Confirming nothing leaves an open, empty settlement and nothing to show.
  const ConfirmResult r = sel_.Confirm(defs_);
  EXPECT_TRUE(s_.IsOpen());
  EXPECT_EQ(s_.Count(), 0);
  EXPECT_EQ(r.FirstEntry, 0);
}

TEST_F(ManualSelectionTest, SpouseDataFlagsGoToTheSettlementOnConfirmAndComeBackOnReopen) {
  Start(kIndividual);
  sel_.SpouseBoxReleased(true);
  sel_.SpouseDataBoxReleased(kPitO, true);
  Tick({kPitO, kPit37, 0});
  EXPECT_FALSE(sel_.SpouseHintVisible());  // the spouse box is ticked
  sel_.Confirm(defs_);
  EXPECT_TRUE(s_.SpouseData.PitO);
  EXPECT_FALSE(s_.SpouseData.PitD);

  sel_.Reopen(false);
  EXPECT_TRUE(sel_.Identifiers().SpouseBox);
  EXPECT_TRUE(sel_.Identifiers().SpouseData.PitO);
}

struct EntryWant {
  int IdPit;
  int IdParent;
  int PM;
};

TEST_F(ManualSelectionTest, ConfirmMakesTheEntriesInTreeOrder) {
  struct Case {
    const char* Name;
    std::vector<Pick> Ticks;
    std::vector<EntryWant> Entries;
    std::vector<int> Returns;  // first entry of the return of each entry
    int FirstEntry;
  };
  const std::vector<Case> cases = {
      {"attachments of both persons",
       {{kPitB, kPit36, T}, {kSseA, kSseR, S}, {kPitZG, kPit38, S}},
       {{kPit36, 0, 0}, {kPitB, 1, T}, {kSseR, 1, S}, {kSseA, 3, S}, {kPit38, 0, S}, {kPitZG, 5, S}},
       {1, 1, 1, 1, 5, 5},
       2},
      {"PIT/B first with a PIT/Z shows the return",
       {{kPitZ, kPit36, T}},
       {{kPit36, 0, 0}, {kPitB, 1, T}, {kPitZ, 1, T}},
       {1, 1, 1},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    s_.Clear();
    Start(kJoint);
    for (const Pick& p : c.Ticks) Tick(p);
    const ConfirmResult r = sel_.Confirm(defs_);

    ASSERT_EQ(s_.Count(), static_cast<int>(c.Entries.size()));
    for (int i = 1; i <= s_.Count(); ++i) {
      const FormEntry& e = s_.Entry(i);
      const EntryWant& w = c.Entries[static_cast<std::size_t>(i - 1)];
      EXPECT_EQ(e.Id, i);
      EXPECT_EQ(e.IdPit, w.IdPit) << i;
      EXPECT_EQ(e.IdParent, w.IdParent) << i;
      EXPECT_EQ(e.PM, w.PM) << i;
      EXPECT_EQ(e.Kind, kJoint);
      EXPECT_EQ(e.ReturnGuid, s_.Entry(c.Returns[static_cast<std::size_t>(i - 1)]).ReturnGuid) << i;
    }
    if (s_.Count() > 4) {
      EXPECT_NE(s_.Entry(5).ReturnGuid, s_.Entry(1).ReturnGuid);
    }
    EXPECT_EQ(r.FirstEntry, c.FirstEntry);
    EXPECT_TRUE(r.EFilingVisible);
    EXPECT_TRUE(s_.DocumentModified);
    EXPECT_EQ(s_.DocumentName, "nowe_rozliczenie.dc2014");
    EXPECT_EQ(sel_.Tree().Count(), 0);
    EXPECT_EQ(calls_.back(), "distribute");
  }
}

TEST_F(ManualSelectionTest, ConfirmAfterReopeningKeepsTheValuesOfWhatStays) {
  const int main36 = s_.AddEntry(kPit36, 0, 0, kIndividual);
  for (const char* mark : {"b1", "b2", "b3"}) {
    const int b = s_.AddEntry(kPitB, main36, 0, kIndividual);
    s_.Write(b, 0, mark);
    s_.Entry(b).SlotsLoaded = true;
  }
  const int pitD = s_.AddEntry(kPitD, main36, 0, kIndividual);
  s_.Write(pitD, 0, "d");
  s_.Write(main36, 0, "main");
  s_.Write(main36, pit36::taxpayer_pit_d_income_relief, "500,00");  // carried from PIT/D
  s_.Entry(main36).SlotsLoaded = true;
  s_.DocumentPath = "/home/anna/kowalska.dc2014";
  s_.DocumentName = "kowalska.dc2014";

  sel_.Reopen(false);
  ASSERT_EQ(sel_.Tree().CountTicked(), 5);
  sel_.Click(Node({kPitD, kPit36, 0}));  // untick
  const ConfirmResult r = sel_.Confirm(defs_);

  std::vector<std::string> got;
  for (int i = 1; i <= s_.Count(); ++i) {
    const FormEntry& e = s_.Entry(i);
    got.push_back(s_.Catalogue()[e.IdPit].Code + ":" + std::to_string(e.IdParent) + ":" + e.Slots()[0].Value);
    EXPECT_EQ(e.ReturnGuid, s_.Entry(1).ReturnGuid);
    EXPECT_TRUE(e.SlotsLoaded);
  }
  EXPECT_EQ(got, (std::vector<std::string>{"PIT-36:0:main", "PIT/B:1:b1", "PIT/B:1:b2", "PIT/B:1:b3"}));
  EXPECT_EQ(s_.Entry(1).Slots()[pit36::taxpayer_pit_d_income_relief].Value, "0,00");
  EXPECT_EQ(r.FirstEntry, 2);
  // Still the file it was opened from, under that name: a save goes there.
  EXPECT_EQ(s_.DocumentPath, "/home/anna/kowalska.dc2014");
  EXPECT_EQ(s_.DocumentName, "kowalska.dc2014");
}

TEST_F(ManualSelectionTest, AnAttachmentWithoutItsFormIsLeftOut) {
  Start(kIndividual);
  Tick({kPit37, 0, 0});
  sel_.Tree().WorkingCopy().Write(NodeOf(sel_.Tree(), {kPit37, 0, 0}), 0, "mine");
  // Ticked without its PIT-36, as no click can do.
  sel_.Tree().Tick(Node({kPitB, kPit36, 0}));
  sel_.Tree().WorkingCopy().Write(Node({kPitB, kPit36, 0}), 0, "orphan");
  sel_.Confirm(defs_);
  ASSERT_EQ(s_.Count(), 1);
  EXPECT_EQ(s_.Entry(1).IdPit, kPit37);
  EXPECT_EQ(s_.Entry(1).Slots()[0].Value, "mine");
}

TEST_F(ManualSelectionTest, EFilingButtonsFollowTheConfirmedForms) {
  struct Case {
    int Kind;
    Pick Tick;
    bool Visible, Enabled;
  };
  const std::vector<Case> cases = {
      {kRegistrationForms, {kNip7, 0, 0}, false, false},
      {kPayerForms, {kUpkdPayer, kPit11, 0}, false, true},
      {kPayerForms, {kPitR, kPit40, 0}, true, true},
      {kIndividual, {kUpkd, kPit37, 0}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Kind);
    Start(c.Kind);
    Tick(c.Tick);
    const ConfirmResult r = sel_.Confirm(defs_);
    EXPECT_EQ(r.EFilingVisible, c.Visible);
    EXPECT_EQ(r.EFilingEnabled, c.Enabled);
    EXPECT_EQ(r.ToolbarExtrasVisible, c.Kind < kRegistrationForms);
    EXPECT_EQ(s_.Entry(1).Kind, c.Kind);
  }
}

TEST_F(ManualSelectionTest, KindChangesOnlyWhileNothingIsTicked) {
  Start(kIndividual);
  s_.TaxpayerIdKind = kIdPesel;
  ASSERT_TRUE(sel_.ChangeKind(kJoint));
  EXPECT_EQ(sel_.Kind(), kJoint);
  EXPECT_EQ(sel_.Tree().Count(), 58);
  EXPECT_EQ(s_.TaxpayerIdKind, kIdNip);
  EXPECT_EQ(s_.SpouseIdKind, kIdNip);
  EXPECT_EQ(calls_, std::vector<std::string>{"clear all+payer"});

  Tick({kPitO, kPit37, 0});
  EXPECT_FALSE(sel_.KindGroupEnabled());
  EXPECT_TRUE(sel_.ConfirmEnabled());
  EXPECT_FALSE(sel_.ChangeKind(kSingleParent));
  EXPECT_EQ(sel_.Tree().Count(), 58);

  sel_.Click(Node({kPit37, 0, 0}));
  EXPECT_EQ(sel_.Tree().CountTicked(), 0);
  EXPECT_TRUE(sel_.KindGroupEnabled());
  EXPECT_FALSE(sel_.ConfirmEnabled());
  EXPECT_TRUE(sel_.ChangeKind(kSingleParent));
  EXPECT_EQ(sel_.Tree().Count(), 36);
}

TEST_F(ManualSelectionTest, CancelReturnsToIdleOnlyWithoutForms) {
  Start(kIndividual);
  Tick({kPitO, kPit37, 0});
  EXPECT_TRUE(sel_.Cancel());
  EXPECT_FALSE(s_.IsOpen());
  EXPECT_FALSE(sel_.ConfirmEnabled());
  EXPECT_EQ(sel_.Tree().Count(), 0);

  s_.AddEntry(kPit38, 0, 0, kIndividual);
  sel_.Reopen(false);
  sel_.Click(Node({kPit38, 0, 0}));  // untick; the settlement is not touched before confirm
  EXPECT_FALSE(sel_.Cancel());
  ASSERT_EQ(s_.Count(), 1);
  EXPECT_EQ(s_.Entry(1).IdPit, kPit38);
}

}  // namespace
}  // namespace pit
