// The form-selection wizard walked as a user walks it: answers given page by
// page, going back and forward, and the settlement checked after each move.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "forms/definition_library.h"
#include "selection/manual_selection.h"
#include "selection/selection_rules.h"
#include "selection/wizard.h"

namespace pit {
namespace {

// The reply to one question: "TAK" in the listed groups with the listed
// boxes pressed; every other shown group answers "NIE".
struct Reply {
  int IdPit;
  std::vector<int> Yes;                      // groups answering "TAK"
  std::vector<std::pair<int, int>> Press{};  // group, box
};

struct Start {
  int Kind = kIndividual;
  int Taxpayer = kIdNip;
  int Spouse = kIdNone;  // kinds 0: -1 answers "NIE" to the spouse-data question
};

void Begin(Wizard& w, const Start& st) {
  w.Show();
  w.ChooseKind(st.Kind);
  if (st.Kind == kIndividual) w.AnswerSpouseQuestion(st.Spouse != kIdNone);
  w.SetTaxpayerId(st.Taxpayer);
  if (st.Spouse != kIdNone) w.SetSpouseId(st.Spouse);
  ASSERT_EQ(w.Forward(), "");
}

// Answers the current page by the replies (unlisted forms: "NIE").
void AnswerPage(Wizard& w, const std::vector<Reply>& replies) {
  const WizardPageView v = w.PageView();
  const int idPit = w.Record(w.Page()).IdPit;
  const Reply* reply = nullptr;
  for (const Reply& r : replies) {
    if (r.IdPit == idPit) reply = &r;
  }
  for (int g = 0; g < kWizardGroupCount; ++g) {
    if (!v.Groups[g].Visible) continue;
    const bool yes = reply != nullptr && std::count(reply->Yes.begin(), reply->Yes.end(), g) > 0;
    w.Answer(g, yes ? kAnswerYes : kAnswerNo);
  }
  if (reply != nullptr) {
    for (const auto& [g, box] : reply->Press) w.PressBox(g, box, true);
  }
}

// Walks to the end page; returns the forms of the pages shown, in order.
std::vector<int> WalkToEnd(Wizard& w, const std::vector<Reply>& replies) {
  std::vector<int> shown;
  while (w.Page() < w.PageCount()) {
    shown.push_back(w.Record(w.Page()).IdPit);
    AnswerPage(w, replies);
    const std::string m = w.Forward();
    EXPECT_EQ(m, "") << "on the page of form " << shown.back();
    if (!m.empty()) break;
  }
  return shown;
}

// An entry as the user sees it: form, main form and person.
using Placed = std::tuple<int, int, int>;  // IdPit, IdPit of the main form (0: none), PM
std::multiset<Placed> Entries(const Settlement& s) {
  std::multiset<Placed> out;
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    const int parent = s.Has(e.IdParent) ? s.Entry(e.IdParent).IdPit : (e.IdParent == 0 ? 0 : -1);
    out.insert({e.IdPit, parent, e.PM});
  }
  return out;
}

constexpr int G = kGroupGeneral;
constexpr int P = kGroupTaxpayer;
constexpr int M = kGroupSpouse;

TEST(WizardWalk, PagesShownFollowTheAnswersAndTheIdentifiers) {
  struct Case {
    const char* name;
    Start start;
    std::vector<Reply> replies;
    std::vector<int> shown;
    std::multiset<Placed> entries;
  };
  const std::vector<Case> cases = {
      {"PIT-37 'TAK' passes over PIT-36",
       {},
       {{kPit37, {G}}},
       {kPit37, kPit36L, kPit28, kPit38, kPit39, kPitD, kPitO, kPit16A},
       {{kPit37, 0, 0}}},
      {"PIT-37 with its reliefs",
       {},
       {{kPit37, {G}}, {kPitD, {G}}, {kPit2K, {G}}, {kPitO, {G}}, {kPitUZ, {G}}},
       {kPit37, kPit36L, kPit28, kPit38, kPit39, kPitD, kPit2K, kPitO, kPit16A, kPitUZ},
       {{kPit37, 0, 0}, {kPitD, kPit37, 0}, {kPit2K, kPit37, 0}, {kPitO, kPit37, 0}, {kPitUZ, kPit37, 0}}},
      {"PIT-36 on NIP asks every business form",
       {},
       {{kPit37, {}}, {kPit36, {G}}, {kPitB, {G}}, {kPitZ, {G}}, {kSseR, {G}}, {kSseA, {G}}},
       {kPit37, kPit36, kPit36L, kPit28, kPit38, kPit39, kPitB, kPitZ, kSseR, kSseA, kSseRA, kPitZG, kPitM, kPitD,
        kPitO, kPit16A},
       {{kPit36, 0, 0}, {kPitB, kPit36, 0}, {kPitZ, kPit36, 0}, {kSseR, kPit36, 0}, {kSseA, kSseR, 0}}},
      {"taxpayer on PESEL never sees the NIP-only pages",
       {kIndividual, kIdPesel},
       {{kPit37, {}}, {kPit36, {G}}, {kPit28, {G}}, {kPit38, {G}}, {kPit39, {G}}, {kPitZG, {G}, {{G, 3}}},
        {kPitM, {G}}, {kPit28A, {G}}, {kPitD, {G}, {{G, 1}}}, {kPit2K, {G}}, {kPitO, {G}, {{G, 1}, {G, 2}}},
        {kPitUZ, {G}}},
       {kPit37, kPit36, kPit28, kPit38, kPit39, kPitZG, kPitM, kPit28A, kPitD, kPit2K, kPitO, kPitUZ},
       {{kPit36, 0, 0}, {kPit28, 0, 0}, {kPit38, 0, 0}, {kPit39, 0, 0}, {kPitZG, kPit38, 0}, {kPitM, kPit36, 0},
        {kPit28A, kPit28, 0}, {kPitD, kPit28, 0}, {kPit2K, kPit28, 0}, {kPitO, kPit28, 0}, {kPitO, kPit36, 0},
        {kPitUZ, kPit36, 0}}},
      {"single parent with PIT-36: attachments go under it without boxes",
       {kSingleParent},
       {{kPit37, {}}, {kPit36, {G}}, {kPitB, {G}}, {kPitZ, {G}}, {kPitO, {G}}},
       {kPit37, kPit36, kPit28, kPit38, kPit39, kPitB, kPitZ, kSseR, kPitZG, kPitM, kPitD, kPitO, kPitUZ},
       {{kPit36, 0, 0}, {kPitB, kPit36, 0}, {kPitZ, kPit36, 0}, {kPitO, kPit36, 0}}},
      {"joint return, each spouse's PIT-38",
       {kJoint, kIdNip, kIdNip},
       {{kPit37, {G}}, {kPit38, {P, M}}, {kPitZG, {M}}},
       {kPit37, kPit28, kPit38, kPit39, kPitZG, kPitD, kPitO},
       {{kPit37, 0, 0}, {kPit38, 0, 1}, {kPit38, 0, 2}, {kPitZG, kPit38, 2}}},
      {"joint return, spouse's PIT-28 with PIT/D and PIT/2K",
       {kJoint, kIdNip, kIdPesel},
       {{kPit37, {G}}, {kPit28, {M}}, {kPit28A, {M}}, {kPitD, {G}, {{G, 2}}}, {kPit2K, {G}, {{G, 2}}}},
       {kPit37, kPit28, kPit38, kPit39, kPit28A, kPitD, kPit2K, kPitO},
       {{kPit37, 0, 0}, {kPit28, 0, 2}, {kPit28A, kPit28, 2}, {kPitD, kPit28, 2}, {kPit2K, kPit28, 2}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Settlement s;
    Wizard w(s);
    Begin(w, c.start);
    EXPECT_EQ(WalkToEnd(w, c.replies), c.shown);
    EXPECT_EQ(Entries(s), c.entries);
    EXPECT_EQ(w.PageView().File, "end.html");
    EXPECT_TRUE(w.CanFinish());
  }
}

TEST(WizardWalk, PassedOverQuestionsAreAnsweredNoOrKeepTheirAnswers) {
  Settlement s;
  Wizard w(s);
  Begin(w, {kIndividual, kIdPesel});
  ASSERT_EQ(w.Page(), 1);
  w.Answer(G, kAnswerYes);
  ASSERT_EQ(w.Forward(), "");
  // PIT-36 is not asked once PIT-37 is chosen: its answer becomes "NIE".
  EXPECT_EQ(w.Record(2).Answer[G], kAnswerNo);
  // PIT-36L is passed over on PESEL with its answer untouched.
  EXPECT_EQ(w.Record(3).Answer[G], kAnswerNone);
  EXPECT_EQ(w.Page(), 4);
  EXPECT_EQ(w.Record(4).IdPit, kPit28);
  // Back from PIT-28 lands on PIT-37 again, its entry taken away.
  w.Back();
  EXPECT_EQ(w.Page(), 1);
  EXPECT_EQ(s.Count(), 0);
  EXPECT_EQ(w.PageView().Groups[G].Answer, kAnswerYes);  // the answer stays to be confirmed
}

TEST(WizardWalk, OneBoxOnlyAndTheSingleBoxTickedAtOnce) {
  // PIT-28 and PIT-37 both present: PIT/D offers both, one at a time.
  Settlement s;
  Wizard w(s);
  Begin(w, {});
  WalkToEnd(w, {});  // warm-up pass that must not leak into the next one
  w.Show();
  Begin(w, {});
  while (w.Record(w.Page()).IdPit != kPitD) {
    const int idPit = w.Record(w.Page()).IdPit;
    w.Answer(G, idPit == kPit37 || idPit == kPit28 ? kAnswerYes : kAnswerNo);
    ASSERT_EQ(w.Forward(), "");
  }
  WizardPageView v = w.PageView();
  EXPECT_TRUE(v.Groups[G].Boxes[0].Visible);   // OZ1 Pit-28
  EXPECT_FALSE(v.Groups[G].Boxes[1].Visible);  // OZ2 Pit-36: no PIT-36
  EXPECT_TRUE(v.Groups[G].Boxes[2].Visible);   // OZ3 Pit-37
  EXPECT_EQ(v.Groups[G].Boxes[0].Caption, "PIT-28");
  EXPECT_FALSE(v.Groups[G].Boxes[0].Enabled);  // no answer yet
  w.Answer(G, kAnswerYes);
  v = w.PageView();
  EXPECT_TRUE(v.Groups[G].Boxes[0].Enabled);
  EXPECT_FALSE(v.Groups[G].Boxes[0].Checked);  // two boxes: the user chooses
  EXPECT_EQ(w.Validate(), Wizard::kNoBox);
  w.PressBox(G, 1, true);
  w.PressBox(G, 3, true);
  v = w.PageView();
  EXPECT_FALSE(v.Groups[G].Boxes[0].Checked);
  EXPECT_TRUE(v.Groups[G].Boxes[2].Checked);
  // Pressing the ticked box again keeps it the one ticked.
  w.PressBox(G, 3, false);
  EXPECT_TRUE(w.PageView().Groups[G].Boxes[2].Checked);
  ASSERT_EQ(w.Forward(), "");
  EXPECT_EQ(s.FindEntry(kPitD, s.FindEntry(kPit37, 0, 0), 0), s.Count());

  // PIT/2K is offered only where the PIT/D is, and "TAK" ticks that box.
  ASSERT_EQ(w.Record(w.Page()).IdPit, kPit2K);
  v = w.PageView();
  EXPECT_FALSE(v.Groups[G].Boxes[0].Visible);
  EXPECT_TRUE(v.Groups[G].Boxes[2].Visible);
  w.Answer(G, kAnswerYes);
  EXPECT_TRUE(w.PageView().Groups[G].Boxes[2].Checked);
  EXPECT_EQ(w.Validate(), "");

  // With only PIT-37, "TAK" on PIT/D ticks its box at once.
  Settlement s2;
  Wizard w2(s2);
  Begin(w2, {});
  while (w2.Record(w2.Page()).IdPit != kPitD) {
    w2.Answer(G, w2.Record(w2.Page()).IdPit == kPit37 ? kAnswerYes : kAnswerNo);
    ASSERT_EQ(w2.Forward(), "");
  }
  w2.Answer(G, kAnswerYes);
  EXPECT_TRUE(w2.PageView().Groups[G].Boxes[2].Checked);
  // "NIE" disables the box; its tick adds nothing.
  w2.Answer(G, kAnswerNo);
  EXPECT_FALSE(w2.PageView().Groups[G].Boxes[2].Enabled);
  ASSERT_EQ(w2.Forward(), "");
  EXPECT_EQ(s2.FindFirstOfType(kPitD), -1);
}

TEST(WizardWalk, ValidationKeepsTheUserOnThePage) {
  Settlement s;
  Wizard w(s);
  Begin(w, {});
  const int first = w.Page();
  EXPECT_EQ(w.Forward(), Wizard::kNoAnswer);
  EXPECT_EQ(w.Page(), first);
  EXPECT_EQ(s.Count(), 0);

  // "TAK" on PIT/O with two returns to choose from and no box ticked.
  for (int guard = 0; guard < 30 && w.Record(w.Page()).IdPit != kPitO; ++guard) {
    const int idPit = w.Record(w.Page()).IdPit;
    w.Answer(G, idPit == kPit37 || idPit == kPit28 ? kAnswerYes : kAnswerNo);
    ASSERT_EQ(w.Forward(), "");
  }
  ASSERT_EQ(w.Record(w.Page()).IdPit, kPitO);
  const int page = w.Page();
  const int entries = s.Count();
  w.Answer(G, kAnswerYes);
  EXPECT_EQ(w.Forward(), "Nie zaznaczono żadnego zezenania. Udziel odpowiedzi i spróbuj ponownie.");
  EXPECT_EQ(w.Page(), page);
  EXPECT_EQ(s.Count(), entries);
  w.PressBox(G, 1, true);
  w.PressBox(G, 3, true);  // PIT/O is not one-box-only: both go in
  EXPECT_EQ(w.Forward(), "");
  EXPECT_EQ(s.Count(), entries + 2);
}

TEST(WizardWalk, GoingBackTakesThePagesEntriesAwayAndForwardAddsThemAgain) {
  Settlement s;
  Wizard w(s);
  Begin(w, {});
  std::vector<Reply> replies = {{kPit37, {}}, {kPit36, {G}}, {kPit36L, {G}}, {kPitB, {G}, {{G, 1}, {G, 2}}}};
  while (w.Page() != 8) {
    AnswerPage(w, replies);
    ASSERT_EQ(w.Forward(), "");
  }
  ASSERT_EQ(w.Record(8).IdPit, kPitZ);
  const std::multiset<Placed> withB = {{kPit36, 0, 0}, {kPit36L, 0, 0}, {kPitB, kPit36, 0}, {kPitB, kPit36L, 0}};
  EXPECT_EQ(Entries(s), withB);

  w.Back();
  EXPECT_EQ(w.Page(), 7);
  EXPECT_EQ(Entries(s), (std::multiset<Placed>{{kPit36, 0, 0}, {kPit36L, 0, 0}}));
  // The boxes keep what was ticked; confirming again puts the forms back.
  const WizardPageView v = w.PageView();
  EXPECT_TRUE(v.Groups[G].Boxes[0].Checked && v.Groups[G].Boxes[1].Checked);
  ASSERT_EQ(w.Forward(), "");
  EXPECT_EQ(w.Page(), 8);
  EXPECT_EQ(Entries(s), withB);

  // PIT/Z is one-box-only and offered for both returns with a PIT/B.
  w.Answer(G, kAnswerYes);
  w.PressBox(G, 2, true);
  ASSERT_EQ(w.Forward(), "");
  EXPECT_EQ(s.CountByTypeAndParent(kPitZ, s.FindEntry(kPit36L, 0, 0), 0), 1);

  // Back to the start page and forward again: a fresh, empty list.
  while (w.Page() > 0) w.Back();
  EXPECT_EQ(s.Count(), 0);
  ASSERT_EQ(w.Forward(), "");
  EXPECT_EQ(s.Count(), 0);
  EXPECT_EQ(w.Record(2).Answer[G], kAnswerNone);
}

TEST(WizardWalk, EmptyEndPageCannotFinish) {
  Settlement s;
  Wizard w(s);
  Begin(w, {kSingleParent});
  EXPECT_EQ(WalkToEnd(w, {}), (std::vector<int>{kPit37, kPit36, kPit28, kPit38, kPit39}));
  const WizardPageView v = w.PageView();
  EXPECT_TRUE(v.EndPage);
  EXPECT_EQ(v.File, "empty.html");
  EXPECT_FALSE(v.FinishEnabled);
  EXPECT_FALSE(v.ForwardEnabled);
  EXPECT_TRUE(v.BackEnabled);
  EXPECT_FALSE(w.CanFinish());
  EXPECT_EQ(v.Caption, "Kreator doboru formularzy - dobór formularzy został zakończony. ");
  DefinitionLibrary defs(std::string(PIT_BIN_DIR) + "/dc");
  EXPECT_EQ(w.Finish(defs).FirstEntry, 0);
  EXPECT_FALSE(s.DocumentModified);
}

TEST(WizardJoint, GroupsFollowTheIdentifiersAndWhatEachPersonHas) {
  Settlement s;
  Wizard w(s);
  Begin(w, {kJoint, kIdNip, kIdPesel});
  std::vector<Reply> replies = {{kPit37, {}}, {kPit36, {G}}};
  while (w.Record(w.Page()).IdPit != kPitB) {
    AnswerPage(w, replies);
    ASSERT_EQ(w.Forward(), "");
  }
  EXPECT_EQ(w.Page(), 6);
  WizardPageView v = w.PageView();
  EXPECT_TRUE(v.Groups[P].Visible);
  EXPECT_FALSE(v.Groups[M].Visible);  // the spouse is on PESEL
  EXPECT_FALSE(v.Groups[G].Visible);
  EXPECT_EQ(v.Caption,
            "Kreator doboru formularzy -  druk załącznika PIT/B - rozliczenie wspólnie z małżonkiem ");
  EXPECT_EQ(v.File, "2.6.html");
  w.Answer(P, kAnswerYes);
  ASSERT_EQ(w.Forward(), "");
  EXPECT_EQ(Entries(s), (std::multiset<Placed>{{kPit36, 0, 0}, {kPitB, kPit36, 1}}));

  // PIT/Z: only for the person who has a PIT/B.
  ASSERT_EQ(w.Record(w.Page()).IdPit, kPitZ);
  v = w.PageView();
  EXPECT_TRUE(v.Groups[P].Visible);
  EXPECT_FALSE(v.Groups[M].Visible);
  EXPECT_EQ(w.Forward(), Wizard::kNoAnswer);
  w.Answer(P, kAnswerNo);
  ASSERT_EQ(w.Forward(), "");

  // SSE-R for the taxpayer; its SSE/A page has no group for the spouse.
  ASSERT_EQ(w.Record(w.Page()).IdPit, kSseR);
  w.Answer(P, kAnswerYes);
  ASSERT_EQ(w.Forward(), "");
  ASSERT_EQ(w.Record(w.Page()).IdPit, kSseA);
  v = w.PageView();
  EXPECT_TRUE(v.Groups[P].Visible);
  EXPECT_FALSE(v.Groups[M].Visible);
  w.Answer(P, kAnswerYes);
  ASSERT_EQ(w.Forward(), "");
  const int sseR = s.FindEntry(kSseR, 1, kPmTaxpayer);
  ASSERT_GT(sseR, 0);
  EXPECT_GT(s.FindEntry(kSseA, sseR, kPmTaxpayer), 0);
}

TEST(WizardJoint, PitZgGroupOfAPersonWithoutAnyOfItsReturnsIsHidden) {
  Settlement s;
  Wizard w(s);
  Begin(w, {kJoint, kIdNip, kIdNip});
  std::vector<Reply> replies = {{kPit37, {G}}, {kPit39, {M}}};
  while (w.Record(w.Page()).IdPit != kPitZG) {
    AnswerPage(w, replies);
    ASSERT_EQ(w.Forward(), "");
  }
  const WizardPageView v = w.PageView();
  EXPECT_FALSE(v.Groups[P].Visible);  // no PIT-36, PIT-38 or PIT-39 of the taxpayer
  ASSERT_TRUE(v.Groups[M].Visible);
  EXPECT_TRUE(v.Groups[M].LabelVisible);
  EXPECT_FALSE(v.Groups[M].Boxes[0].Visible);
  EXPECT_FALSE(v.Groups[M].Boxes[1].Visible);
  EXPECT_TRUE(v.Groups[M].Boxes[2].Visible);
  EXPECT_EQ(v.Groups[M].Boxes[2].Caption, "PIT-39 (Małżonka)");
}

TEST(WizardStart, KindsSetTheIdentifierStep) {
  Settlement s;
  s.Open();
  s.AddEntry(kPit38, 0, 0, kIndividual);
  Wizard w(s);
  w.Show();
  EXPECT_EQ(s.Count(), 0);
  EXPECT_FALSE(w.PageView().ForwardEnabled);  // the spouse-data question first
  EXPECT_EQ(w.Start().IdentifierCaption, " KROK 3. Wybierz identyfikator podatkowy: ");
  w.SetSpouseDataBox(kPitO, true);  // disabled: no effect
  EXPECT_FALSE(w.Start().SpouseData.PitO);
  w.AnswerSpouseQuestion(true);
  EXPECT_TRUE(w.PageView().ForwardEnabled);
  EXPECT_EQ(s.SpouseIdKind, kIdNip);
  w.SetSpouseDataBox(kPitO, true);
  w.SetSpouseDataBox(kPitUZ, true);
  w.SetSpouseId(kIdPesel);
  EXPECT_EQ(s.SpouseIdKind, kIdPesel);
  w.AnswerSpouseQuestion(false);
  EXPECT_FALSE(w.Start().SpouseData.PitO);
  EXPECT_EQ(s.SpouseIdKind, kIdNone);
  w.AnswerSpouseQuestion(true);
  w.SetSpouseDataBox(kPitD, true);

  w.ChooseKind(kSingleParent);
  EXPECT_FALSE(w.Start().SpouseQuestionVisible);
  EXPECT_FALSE(w.Start().SpouseEnabled);
  EXPECT_EQ(s.SpouseIdKind, kIdNone);
  EXPECT_EQ(w.Start().IdentifierCaption, " KROK 2. Wybierz identyfikator podatkowy: ");
  w.ChooseKind(kJoint);
  EXPECT_TRUE(w.Start().SpouseEnabled);
  EXPECT_EQ(s.SpouseIdKind, kIdNip);
  EXPECT_TRUE(w.PageView().ForwardEnabled);
  ASSERT_EQ(w.Forward(), "");
  EXPECT_EQ(s.Kind, kJoint);
  EXPECT_EQ(w.PageCount(), 18);
  EXPECT_FALSE(s.SpouseData.PitD);  // spouse-data boxes belong to individual returns
  EXPECT_TRUE(s.IsOpen());
  EXPECT_EQ(s.Count(), 0);

  // An individual return keeps the spouse-data boxes.
  w.Back();
  w.ChooseKind(kIndividual);
  w.AnswerSpouseQuestion(true);
  w.SetSpouseDataBox(kPit2K, true);
  ASSERT_EQ(w.Forward(), "");
  EXPECT_EQ(w.PageCount(), 21);
  EXPECT_TRUE(s.SpouseData.Pit2K);
  EXPECT_FALSE(s.SpouseData.PitO);
  EXPECT_EQ(w.PageView().Caption, "Kreator doboru formularzy -  druk PIT-37 - rozliczenie indywidualne ");
  EXPECT_EQ(w.PageView().File, "1.1.html");
}

TEST(WizardFinishing, FinishOpensTheFirstAttachmentAndCancelKeepsNothing) {
  DefinitionLibrary defs(std::string(PIT_BIN_DIR) + "/dc");
  Settlement s;
  Wizard w(s);
  Begin(w, {});
  WalkToEnd(w, {{kPit37, {G}}, {kPitD, {G}}, {kPitO, {G}}});
  ASSERT_TRUE(w.CanFinish());
  s.DocumentPath = "/tmp/old.dc2014";
  const WizardFinish f = w.Finish(defs);
  EXPECT_EQ(s.Entry(f.FirstEntry).IdPit, kPitD);
  EXPECT_TRUE(s.DocumentModified);
  EXPECT_EQ(s.DocumentName, "nowe_rozliczenie.dc2014");
  EXPECT_TRUE(s.DocumentPath.empty());
  EXPECT_EQ(s.Tree().size(), 1u);
  EXPECT_EQ(s.Entry(2).ReturnGuid, s.Entry(1).ReturnGuid);

  Settlement s2;
  Wizard w2(s2);
  Begin(w2, {});
  WalkToEnd(w2, {{kPit38, {G}}});
  w2.Cancel();
  EXPECT_FALSE(s2.IsOpen());
  EXPECT_EQ(s2.Count(), 0);
  EXPECT_FALSE(s2.DocumentModified);
}

// The forms a settlement of the wizard holds must be a choice the manual
// selection accepts: every entry has its place in the kind's tree, and the
// rules that tie forms together hold.
void ExpectAValidManualChoice(const Settlement& s) {
  SelectionTree tree;
  tree.Build(s.Kind, s.Catalogue(), &s);
  std::set<int> taken;
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    int parent = 0;
    if (e.IdParent != 0) {
      ASSERT_TRUE(s.Has(e.IdParent) && e.IdParent < i) << "entry " << i;
      const FormEntry& main = s.Entry(e.IdParent);
      parent = main.IdPit == kSseR ? tree.Find(kSseR, 1, main.PM) : tree.Find(main.IdPit, 0, main.PM);
    }
    int node = -1;
    for (int n = 1; n <= tree.Count() && node < 0; ++n) {
      const SelectionNode& x = tree.Node(n);
      if (x.IdPit == e.IdPit && x.IdParent == parent && x.PM == e.PM && !taken.count(n)) node = n;
    }
    ASSERT_GT(node, 0) << "no place in the tree for entry " << i << " (form " << e.IdPit << ")";
    taken.insert(node);
  }
  EXPECT_FALSE(s.FindEntry(kPit36, 0, 0) > 0 && s.FindEntry(kPit37, 0, 0) > 0);
  // One PIT/D and one PIT/2K in a settlement; one PIT/Z, in a joint return
  // one for each person.
  for (int single : {kPitD, kPit2K, kPitZ}) {
    std::map<int, int> count;
    for (int i = 1; i <= s.Count(); ++i) {
      const FormEntry& e = s.Entry(i);
      if (e.IdPit == single) ++count[single == kPitZ && s.Kind == kJoint ? e.PM : 0];
    }
    for (const auto& [pm, n] : count) EXPECT_LE(n, 1) << "form " << single << ", person " << pm;
  }
  // An attachment that needs another has it under the same main form.
  const std::pair<int, int> needs[] = {{kPitZ, kPitB}, {kPit2K, kPitD}, {kPitUZ, kPitO}};
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    for (const auto& [form, needed] : needs) {
      if (e.IdPit == form) {
        EXPECT_GT(s.FindEntry(needed, e.IdParent, e.PM), 0) << "form " << form;
      }
    }
  }
  // NIP-only forms of a person on PESEL.
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    const int id = e.PM == kPmSpouse ? s.SpouseIdKind : s.TaxpayerIdKind;
    if (id != kIdPesel) continue;
    for (const NipOnlyForm& f : e.PM == kPmSpouse ? SpouseNipOnlyForms() : TaxpayerNipOnlyForms())
      EXPECT_NE(e.IdPit, f.IdPit) << "entry " << i;
  }
}

// Random users: random answers and ticks, going back now and then. Whatever
// the road, the settlement at the end is the one a straight pass with the
// final answers gives, and a valid manual choice.
TEST(WizardWalk, AnyRoadEndsWithWhatTheFinalAnswersSay) {
  std::mt19937 rng(20140430);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const Start st{static_cast<int>(rng() % 3), static_cast<int>(rng() % 2),
                   static_cast<int>(rng() % 3) - 1};
    Start start = st;
    if (start.Kind == kJoint && start.Spouse == kIdNone) start.Spouse = kIdNip;
    if (start.Kind == kSingleParent) start.Spouse = kIdNone;
    Settlement s;
    Wizard w(s);
    Begin(w, start);
    int moves = 0;
    while (w.Page() < w.PageCount() && moves++ < 200) {
      if (w.Page() > 1 && rng() % 4 == 0) {
        w.Back();
        if (w.Page() == 0) {
          ASSERT_EQ(w.Forward(), "");
        }
        continue;
      }
      const WizardPageView v = w.PageView();
      for (int g = 0; g < kWizardGroupCount; ++g) {
        if (!v.Groups[g].Visible) continue;
        w.Answer(g, rng() % 2 == 0 ? kAnswerYes : kAnswerNo);
        for (int b = 1; b <= kWizardMaxBoxes; ++b) {
          if (rng() % 2 == 0) w.PressBox(g, b, true);
        }
      }
      if (!w.Validate().empty()) {
        for (int g = 0; g < kWizardGroupCount; ++g) {
          if (v.Groups[g].Visible) w.Answer(g, kAnswerNo);
        }
      }
      ASSERT_EQ(w.Forward(), "");
    }
    ASSERT_EQ(w.Page(), w.PageCount());
    ExpectAValidManualChoice(s);

    // The straight pass, replaying the answers the records hold now.
    Settlement straight;
    Wizard again(straight);
    Begin(again, start);
    while (again.Page() < again.PageCount()) {
      const WizardRecord& r = w.Record(again.Page());
      const WizardPageView v = again.PageView();
      for (int g = 0; g < kWizardGroupCount; ++g) {
        if (!v.Groups[g].Visible) continue;
        again.Answer(g, r.Answer[g]);
        for (int b = 1; b <= kWizardBoxesPerGroup[g]; ++b) {
          if (r.Boxes[WizardBoxIndex(g, b)]) again.PressBox(g, b, true);
        }
      }
      ASSERT_EQ(again.Forward(), "") << "page " << again.Page();
    }
    EXPECT_EQ(Entries(s), Entries(straight));
  }
}

}  // namespace
}  // namespace pit
