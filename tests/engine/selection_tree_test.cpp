#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/selection_picks.h"
#include "selection/manual_selection.h"

namespace pit {
namespace {

constexpr int T = kPmTaxpayer, S = kPmSpouse;

TEST(SelectionTree, ShapeOfEachKind) {
  struct Case {
    int Kind;
    int Count;
    int Capacity;
    std::vector<std::pair<int, int>> TopLevel;  // form and person, in order
    std::vector<Pick> Present;
    std::vector<Pick> Absent;
  };
  const std::vector<Case> cases = {
      {kIndividual, 46, 46,
       {{kPit36, 0}, {kPit36L, 0}, {kPit37, 0}, {kPit38, 0}, {kPit28, 0}, {kPit39, 0}, {kPit16A, 0}},
       {{kSseA, kSseR, 0}, {kSseRA, kSseR, 0}, {kPit28B, kPit28, 0}, {kPitZG, kPit36L, 0}, {kPitUZ, kPit36, 0}},
       {{kPitM, kPit37, 0}, {kUpkdPayer, kPit37, 0}}},
      {kJoint, 58, 58,
       {{kPit36, 0}, {kPit37, 0}, {kPit38, T}, {kPit38, S}, {kPit28, T}, {kPit28, S}, {kPit39, T}, {kPit39, S}},
       {{kPitO, kPit36, 0}, {kPitB, kPit36, S}, {kSseRA, kSseR, S}, {kPit28A, kPit28, S}, {kPitZG, kPit39, T}},
       {{kPit36L, 0, 0}, {kPit28B, kPit28, T}, {kPitB, kPit36, 0}}},
      {kSingleParent, 36, 36, {{kPit36, 0}, {kPit37, 0}, {kPit38, 0}, {kPit28, 0}, {kPit39, 0}},
       {{kPit28A, kPit28, 0}, {kSseA, kSseR, 0}},
       {{kPit36L, 0, 0}, {kPit16A, 0, 0}, {kPit28B, kPit28, 0}}},
      {kPayerForms, 8, 8, {{kPit11, 0}, {kPit40, 0}},
       {{kPitR, kPit11, 0}, {kUpkdPayer, kPit40, 0}, {kUpkdOrdZu, kPit40, 0}},
       {{kUpkd, kPit11, 0}}},
      {kRegistrationForms, 2, 4, {{kNip7, 0}, {kZap3, 0}}, {}, {{kNip1, 0, 0}}},
  };
  const FormCatalogue catalogue;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Kind);
    SelectionTree t;
    t.Build(c.Kind, catalogue, nullptr);
    EXPECT_EQ(t.Count(), c.Count);
    EXPECT_EQ(t.BuiltCount(), c.Count);
    EXPECT_EQ(t.Capacity(), c.Capacity);
    std::vector<std::pair<int, int>> top;
    for (int id : t.Children(0)) top.emplace_back(t.Node(id).IdPit, t.Node(id).PM);
    EXPECT_EQ(top, c.TopLevel);
    for (const Pick& p : c.Present) EXPECT_GT(NodeOf(t, p), 0) << p.IdPit << " under " << p.Under;
    for (const Pick& p : c.Absent) EXPECT_EQ(NodeOf(t, p), -1) << p.IdPit << " under " << p.Under;
    for (int id = 1; id <= t.Count(); ++id) {
      const SelectionNode& n = t.Node(id);
      EXPECT_EQ(n.Id, id);
      EXPECT_LT(n.IdParent, id);  // parents are stored before their forms
      EXPECT_FALSE(n.Checked);
      EXPECT_EQ(n.Kind, c.Kind);
    }
  }
}

TEST(SelectionTree, LabelsAndTheOrderShownUnderAForm) {
  const FormCatalogue catalogue;
  SelectionTree t;
  t.Build(kJoint, catalogue, nullptr);
  EXPECT_EQ(t.Label(NodeOf(t, {kPit38, 0, S})), "PIT-38");
  EXPECT_EQ(t.Label(NodeOf(t, {kPitB, kPit36, T})), "PIT/B (Podatnik) (1)");
  EXPECT_EQ(t.Label(NodeOf(t, {kPitM, kPit36, S})), "PIT/M (Małżonek)");
  EXPECT_EQ(t.Label(NodeOf(t, {kUpkd, kPit38, S})), "UPKD (Małżonek) - Uzasadnienie Przyczyn Korekty Deklaracji");
  EXPECT_EQ(t.Label(NodeOf(t, {kPitO, kPit37, 0})), "PIT/O (1)");
  EXPECT_EQ(t.Node(NodeOf(t, {kPitO, kPit37, 0})).CopyNo, 1);
  EXPECT_EQ(t.Node(NodeOf(t, {kPitD, kPit37, 0})).CopyNo, 0);

  std::vector<std::string> shown;
  for (int id : t.Children(NodeOf(t, {kPit37, 0, 0}))) shown.push_back(t.Label(id));
  EXPECT_EQ(shown, (std::vector<std::string>{"PIT/2K", "PIT/D", "PIT/O (1)", "PIT/UZ",
                                             "UPKD - Uzasadnienie Przyczyn Korekty Deklaracji",
                                             "UPKD ORD-ZU - Uzasadnienie Przyczyn Korekty Deklaracji"}));
}

// Entries of a settlement, each with a mark in its first slot.
struct EntryRow {
  int IdPit;
  int Parent;  // entry number of the main form, 0 none
  int PM;
  std::string Mark;
};

void Fill(Settlement& s, int kind, const std::vector<EntryRow>& entries) {
  for (const EntryRow& e : entries) {
    const int n = s.AddEntry(e.IdPit, e.Parent, e.PM, kind);
    s.Write(n, 0, e.Mark);
    s.Entry(n).SlotsLoaded = true;
  }
}

TEST(SelectionTree, ReopeningShowsEveryCopyTickedWithItsOwnData) {
  Settlement s;
  Fill(s, kIndividual,
       {{kPit36, 0, 0, "main"}, {kPitB, 1, 0, "b1"}, {kPitO, 1, 0, "o"}, {kPitB, 1, 0, "b2"},
        {kPitB, 1, 0, "b3"}, {kNip7, 0, 0, "no place for it"}});
  s.Kind = kSingleParent;  // the kind comes from the entries
  ManualSelection sel(s, {});
  sel.Reopen(false);

  const SelectionTree& t = sel.Tree();
  EXPECT_EQ(sel.Kind(), kIndividual);
  EXPECT_FALSE(sel.KindGroupEnabled());
  EXPECT_EQ(t.Capacity(), 48);
  EXPECT_EQ(t.Count(), 48);

  const int pit36 = NodeOf(t, {kPit36, 0, 0});
  std::vector<std::string> labels, marks;
  for (int id : t.Children(pit36)) {
    if (t.Node(id).IdPit != kPitB) continue;
    labels.push_back(t.Label(id));
    marks.push_back(t.Node(id).Slots()[0].Value);
    EXPECT_TRUE(t.Node(id).Checked);
    EXPECT_EQ(t.Node(id).IdParent, pit36);
    EXPECT_EQ(t.Node(id).ReturnGuid, s.Entry(1).ReturnGuid);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"PIT/B (1)", "PIT/B (2)", "PIT/B (3)"}));
  EXPECT_EQ(marks, (std::vector<std::string>{"b1", "b2", "b3"}));
  const int copy2 = t.FindCopy(kPitB, pit36, 0, 2);
  ASSERT_GT(copy2, t.BuiltCount());  // the added copies follow the built nodes
  EXPECT_EQ(t.Node(copy2).Slots()[0].Value, "b2");
  EXPECT_EQ(t.FindCopy(kPitB, pit36, 0, 4), -1);
  EXPECT_EQ(t.Node(pit36).Slots()[0].Value, "main");
  EXPECT_EQ(t.Node(NodeOf(t, {kPitO, kPit36, 0})).Slots()[0].Value, "o");
  // The PIT-36L's own PIT/B has no copies and stays unticked; NIP-7 has no
  // place in this tree and is left out.
  EXPECT_EQ(t.Label(NodeOf(t, {kPitB, kPit36L, 0})), "PIT/B (1)");
  EXPECT_EQ(t.CountTicked(), 5);
}

TEST(SelectionTree, ReopeningPutsZoneAttachmentsUnderThePersonsSseR) {
  Settlement s;
  Fill(s, kJoint,
       {{kPit36, 0, 0, "main"}, {kSseR, 1, S, "sse-r"}, {kSseA, 2, S, "a1"}, {kSseA, 2, S, "a2"},
        {kPitB, 1, T, "b"}});
  ManualSelection sel(s, {});
  sel.Reopen(false);

  const SelectionTree& t = sel.Tree();
  const int sseR = NodeOf(t, {kSseR, kPit36, S});
  std::vector<std::string> marks;
  for (int id : t.Children(sseR)) {
    if (t.Node(id).Checked) marks.push_back(t.Label(id) + "=" + t.Node(id).Slots()[0].Value);
  }
  EXPECT_EQ(marks, (std::vector<std::string>{"SSE/A (Małżonek) (1)=a1", "SSE/A (Małżonek) (2)=a2"}));
  EXPECT_TRUE(t.Node(sseR).Checked);
  EXPECT_FALSE(t.Node(NodeOf(t, {kSseR, kPit36, T})).Checked);
  EXPECT_TRUE(t.Node(NodeOf(t, {kPitB, kPit36, T})).Checked);
  EXPECT_EQ(t.CountTicked(), 5);
}

}  // namespace
}  // namespace pit
