#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/framework.h"
#include "engine/selection_picks.h"
#include "forms/pit37_fields.h"
#include "selection/selection_rules.h"

namespace pit {
namespace {

struct ClickCase {
  const char* Name;
  int Kind;
  std::vector<Pick> Before;  // ticked with their parents before the click
  int Taxpayer;
  int Spouse;
  Pick Clicked;
  bool Refused;
  std::vector<std::string> Messages;
  std::vector<Pick> TickedAfter;
};

constexpr int N = kIdNip, P = kIdPesel, X = kIdNone;
constexpr int T = kPmTaxpayer, S = kPmSpouse;

std::string TaxpayerNip(const std::string& form) {
  return "UWAGA!\nNie można załączyć druku: " + form +
         ", ponieważ jako identyfikator Podatnika został wybrany PESEL.\nIstnieje możliwość dołączenia druku: " +
         form + " wyłącznie jeżeli identyfikatorem Podatnika będzie NIP.";
}

const std::vector<ClickCase>& Cases() {
  static const std::vector<ClickCase> cases = {
      // --- individual ---------------------------------------------------------
      {"k0 UPKD ORD-ZU beside UPKD", 0, {{kUpkd, kPit37, 0}}, N, X, {kUpkdOrdZu, kPit37, 0}, true,
       {"UWAGA!\nNie można załączyć druku: UPKD ORD-ZU do PIT-37, ponieważ został wcześniej załączony druk: UPKD"},
       {{kPit37, 0, 0}, {kUpkd, kPit37, 0}}},
      {"k0 UPKD beside UPKD ORD-ZU", 0, {{kUpkdOrdZu, kPit38, 0}}, N, X, {kUpkd, kPit38, 0}, true,
       {"UWAGA!\nNie można załączyć druku: UPKD do PIT-38, ponieważ został wcześniej załączony druk: UPKD ORD-ZU"},
       {{kPit38, 0, 0}, {kUpkdOrdZu, kPit38, 0}}},
      {"k0 UPKD pair under different returns", 0, {{kUpkd, kPit38, 0}}, N, X, {kUpkdOrdZu, kPit37, 0}, false,
       {},
       {{kPit38, 0, 0}, {kUpkd, kPit38, 0}, {kPit37, 0, 0}, {kUpkdOrdZu, kPit37, 0}}},
      // A settlement read from a file may hold both returns; the clicked side goes.
      {"k0 PIT-36 attachment while PIT-37", 0, {{kPit37, 0, 0}, {kPitB, kPit36, 0}}, N, X, {kPitO, kPit36, 0},
       true,
       {"UWAGA!\nNie można załączyć druku: PIT/O do PIT-36, ponieważ został wcześniej wybrany druk: PIT-37."},
       {{kPit37, 0, 0}}},
      {"k0 PIT-37 while PIT-36 with attachments", 0, {{kPitO, kPit36, 0}, {kPitB, kPit36, 0}}, N, X,
       {kPit37, 0, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT-37, ponieważ został wcześniej wybrany druk: PIT-36."},
       {{kPit36, 0, 0}, {kPitO, kPit36, 0}, {kPitB, kPit36, 0}}},
      {"k0 SSE/A two levels under PIT-36 while PIT-37", 0, {{kPit37, 0, 0}}, N, X, {kSseA, kSseR, 0}, true,
       {"UWAGA!\nNie można załączyć druku: SSE/A do SSE-R, ponieważ został wcześniej wybrany druk: PIT-37."},
       {{kPit37, 0, 0}}},
      {"k0 second PIT/D names the first one's return", 0, {{kPitD, kPit36, 0}}, N, X, {kPitD, kPit28, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT/D do PIT-28, ponieważ został wcześniej załączony do druku: PIT-36"},
       {{kPit36, 0, 0}, {kPitD, kPit36, 0}}},
      {"k0 second PIT/2K", 0, {{kPit2K, kPit37, 0}, {kPitD, kPit37, 0}}, N, X, {kPit2K, kPit28, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT/2K do PIT-28, ponieważ został wcześniej załączony do druku: PIT-37"},
       {{kPit37, 0, 0}, {kPit2K, kPit37, 0}, {kPitD, kPit37, 0}}},
      {"k0 second PIT/Z", 0, {{kPitZ, kPit36, 0}, {kPitB, kPit36, 0}}, N, X, {kPitZ, kPit36L, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT/Z do PIT-36L, ponieważ został wcześniej załączony do druku: PIT-36"},
       {{kPit36, 0, 0}, {kPitZ, kPit36, 0}, {kPitB, kPit36, 0}}},
      {"k0 PIT/B on PESEL", 0, {}, P, X, {kPitB, kPit36, 0}, true, {TaxpayerNip("PIT/B do PIT-36")}, {}},
      {"k0 PIT-16A on PESEL has no main-form clause", 0, {}, P, X, {kPit16A, 0, 0}, true,
       {TaxpayerNip("PIT-16A")}, {}},
      {"k0 PIT/ZG under PIT-36L on PESEL", 0, {}, P, X, {kPitZG, kPit36L, 0}, true,
       {TaxpayerNip("PIT/ZG do PIT-36L")}, {}},
      {"k0 UPKD under PIT-36L on PESEL would bring PIT-36L in", 0, {}, P, X, {kUpkd, kPit36L, 0}, true,
       {TaxpayerNip("UPKD do PIT-36L")}, {}},
      {"k0 PIT/ZG under PIT-38 on PESEL", 0, {}, P, X, {kPitZG, kPit38, 0}, false, {},
       {{kPit38, 0, 0}, {kPitZG, kPit38, 0}}},
      {"k0 SSE/A ticks SSE-R and PIT-36", 0, {}, N, X, {kSseA, kSseR, 0}, false, {},
       {{kPit36, 0, 0}, {kSseR, kPit36, 0}, {kSseA, kSseR, 0}}},
      // --- joint ---------------------------------------------------------------
      {"k1 UPKD ORD-ZU of the taxpayer", 1, {{kUpkd, kPit38, T}}, N, N, {kUpkdOrdZu, kPit38, T}, true,
       {"UWAGA!\nNie można załączyć druku: UPKD ORD-ZU do PIT-38 Podatnika , ponieważ został wcześniej "
        "załączony druk: UPKD"},
       {{kPit38, 0, T}, {kUpkd, kPit38, T}}},
      {"k1 UPKD of the spouse", 1, {{kUpkdOrdZu, kPit39, S}}, N, N, {kUpkd, kPit39, S}, true,
       {"UWAGA!\nNie można załączyć druku: UPKD do PIT-39 Małżonka , ponieważ został wcześniej załączony "
        "druk: UPKD ORD-ZU"},
       {{kPit39, 0, S}, {kUpkdOrdZu, kPit39, S}}},
      {"k1 UPKD pair of different persons", 1, {{kUpkd, kPit38, T}}, N, N, {kUpkdOrdZu, kPit38, S}, false, {},
       {{kPit38, 0, T}, {kUpkd, kPit38, T}, {kPit38, 0, S}, {kUpkdOrdZu, kPit38, S}}},
      {"k1 PIT-36 while PIT-37", 1, {{kPit37, 0, 0}}, N, N, {kPit36, 0, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT-36, ponieważ został wybrany wcześniej druk PIT-37."},
       {{kPit37, 0, 0}}},
      {"k1 PIT-37 attachment while PIT-36", 1, {{kPit36, 0, 0}}, N, N, {kPitO, kPit37, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT/O do PIT-37, ponieważ został wybrany wcześniej druk PIT-36."},
       {{kPit36, 0, 0}}},
      {"k1 PIT/D of the spouse after the common one", 1, {{kPitD, kPit37, 0}}, N, N, {kPitD, kPit28, S}, true,
       {"UWAGA!\nNie można załączyć druku: PIT/D do PIT-28, ponieważ został załączony wcześniej do druku: PIT-37"},
       {{kPit37, 0, 0}, {kPitD, kPit37, 0}}},
      {"k1 PIT/2K of the taxpayer after the spouse's", 1, {{kPit2K, kPit28, S}, {kPitD, kPit28, S}}, N, N,
       {kPit2K, kPit28, T}, true,
       {"UWAGA!\nNie można załączyć druku: PIT/2K do PIT-28, ponieważ został załączony wcześniej do druku: PIT-28"},
       {{kPit28, 0, S}, {kPit2K, kPit28, S}, {kPitD, kPit28, S}}},
      {"k1 taxpayer PIT/B on PESEL", 1, {}, P, N, {kPitB, kPit36, T}, true,
       {TaxpayerNip("PIT/B do PIT-36")}, {}},
      {"k1 spouse PIT/B while only the taxpayer is on PESEL", 1, {}, P, N, {kPitB, kPit36, S}, false, {},
       {{kPit36, 0, 0}, {kPitB, kPit36, S}}},
      {"k1 spouse SSE/A on PESEL", 1, {}, N, P, {kSseA, kSseR, S}, true,
       {"UWAGA!\nNie można załączyć druku: SSE/A do SSE-R, ponieważ jako identyfikator Małżonka został wybrany "
        "PESEL.\nIstnieje możliwość dołączenia druku: SSE/A do SSE-R wyłącznie jeżeli identyfikatorem Małżonka "
        "będzie NIP."},
       {}},
      // --- single parent -------------------------------------------------------
      {"k2 UPKD ORD-ZU beside UPKD", 2, {{kUpkd, kPit39, 0}}, N, X, {kUpkdOrdZu, kPit39, 0}, true,
       {"UWAGA!\nNie można załączyć druku: UPKD ORD-ZU do PIT-39, ponieważ został wcześniej załączony druk: UPKD"},
       {{kPit39, 0, 0}, {kUpkd, kPit39, 0}}},
      {"k2 PIT-37 while PIT-36", 2, {{kPit36, 0, 0}}, N, X, {kPit37, 0, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT-37, ponieważ został wybrany wcześniej druk PIT-36."},
       {{kPit36, 0, 0}}},
      {"k2 second PIT/D", 2, {{kPitD, kPit28, 0}}, N, X, {kPitD, kPit37, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT/D do PIT-37, ponieważ został załączony wcześniej do druku: PIT-28"},
       {{kPit28, 0, 0}, {kPitD, kPit28, 0}}},
      {"k2 PIT/Z on PESEL", 2, {}, P, X, {kPitZ, kPit36, 0}, true, {TaxpayerNip("PIT/Z do PIT-36")}, {}},
      // --- payer forms -----------------------------------------------------------
      {"k3 UPKD ORD-ZU beside the payer UPKD", 3, {{kUpkdPayer, kPit11, 0}}, N, X, {kUpkdOrdZu, kPit11, 0}, true,
       {"UWAGA!\nNie można załączyć druku: UPKD ORD-ZU do PIT-11, ponieważ został wcześniej załączony druk: UPKD"},
       {{kPit11, 0, 0}, {kUpkdPayer, kPit11, 0}}},
      {"k3 payer UPKD beside UPKD ORD-ZU", 3, {{kUpkdOrdZu, kPit40, 0}}, N, X, {kUpkdPayer, kPit40, 0}, true,
       {"UWAGA!\nNie można załączyć druku: UPKD do PIT-40, ponieważ został wcześniej załączony druk: UPKD ORD-ZU"},
       {{kPit40, 0, 0}, {kUpkdOrdZu, kPit40, 0}}},
      {"k3 the pair under PIT-40 is not PIT-11's", 3, {{kUpkdPayer, kPit11, 0}}, N, X, {kUpkdOrdZu, kPit40, 0},
       true,
       {"UWAGA!\nNie można załączyć druku: UPKD ORD-ZU do PIT-40, ponieważ został wybrany wcześniej druk PIT-11."},
       {{kPit11, 0, 0}, {kUpkdPayer, kPit11, 0}}},
      {"k3 PIT-R of PIT-11 while PIT-40", 3, {{kPit40, 0, 0}}, N, X, {kPitR, kPit11, 0}, true,
       {"UWAGA!\nNie można załączyć druku: PIT-R do PIT-11, ponieważ został wcześniej wybrany druk PIT-40."},
       {{kPit40, 0, 0}}},
      // --- registration forms ------------------------------------------------------
      {"k4 NIP-7 while ZAP-3", 4, {{kZap3, 0, 0}}, N, X, {kNip7, 0, 0}, true,
       {"UWAGA!\nNie można załączyć druku: NIP-7, ponieważ został wcześniej wybrany druk ZAP-3."},
       {{kZap3, 0, 0}}},
      {"k4 ZAP-3 while NIP-7", 4, {{kNip7, 0, 0}}, N, X, {kZap3, 0, 0}, true,
       {"UWAGA!\nNie można załączyć druku: ZAP-3, ponieważ został wcześniej wybrany druk NIP-7."},
       {{kNip7, 0, 0}}},
      // --- required attachments -------------------------------------------------------
      {"k0 PIT/2K under PIT-37 needs PIT/D", 0, {}, N, X, {kPit2K, kPit37, 0}, false,
       {"Wybierając formularz PIT/2K, konieczne jest dodanie załącznika PIT/D"},
       {{kPit37, 0, 0}, {kPit2K, kPit37, 0}, {kPitD, kPit37, 0}}},
      {"k0 PIT/2K under PIT-37 with its PIT/D", 0, {{kPitD, kPit37, 0}}, N, X, {kPit2K, kPit37, 0}, false, {},
       {{kPit37, 0, 0}, {kPit2K, kPit37, 0}, {kPitD, kPit37, 0}}},
      {"k0 PIT/UZ under PIT-36 needs PIT/O", 0, {}, N, X, {kPitUZ, kPit36, 0}, false,
       {"Wybierając formularz PIT/UZ, konieczne jest dodanie załącznika PIT/O"},
       {{kPit36, 0, 0}, {kPitUZ, kPit36, 0}, {kPitO, kPit36, 0}}},
      {"k0 PIT/Z under PIT-36L needs its PIT/B", 0, {{kPitB, kPit36, 0}}, N, X, {kPitZ, kPit36L, 0}, false,
       {"Wybierając formularz PIT/Z, konieczne jest dodanie załącznika PIT/B"},
       {{kPit36, 0, 0}, {kPitB, kPit36, 0}, {kPit36L, 0, 0}, {kPitZ, kPit36L, 0}, {kPitB, kPit36L, 0}}},
      {"k1 spouse PIT/Z needs the spouse PIT/B", 1, {}, N, N, {kPitZ, kPit36, S}, false,
       {"Wybierając formularz PIT/Z, konieczne jest dodanie załącznika PIT/B"},
       {{kPit36, 0, 0}, {kPitZ, kPit36, S}, {kPitB, kPit36, S}}},
      {"k1 spouse PIT/2K under the spouse PIT-28", 1, {}, N, N, {kPit2K, kPit28, S}, false,
       {"Wybierając formularz PIT/2K, konieczne jest dodanie załącznika PIT/D"},
       {{kPit28, 0, S}, {kPit2K, kPit28, S}, {kPitD, kPit28, S}}},
      {"k2 PIT/2K under PIT-28", 2, {}, N, X, {kPit2K, kPit28, 0}, false,
       {"Wybierając formularz PIT/2K, konieczne jest dodanie załącznika PIT/D"},
       {{kPit28, 0, 0}, {kPit2K, kPit28, 0}, {kPitD, kPit28, 0}}},
  };
  return cases;
}

TEST(SelectionRules, ClickOnAnUntickedNode) {
  const FormCatalogue catalogue;
  for (const ClickCase& c : Cases()) {
    SCOPED_TRACE(c.Name);
    SelectionTree tree;
    tree.Build(c.Kind, catalogue, nullptr);
    for (const Pick& p : c.Before) {
      ASSERT_GT(NodeOf(tree, p), 0);
      ForceTick(tree, p);
    }
    const int clicked = NodeOf(tree, c.Clicked);
    ASSERT_GT(clicked, 0);
    TickContext ctx;
    ctx.TaxpayerIdKind = c.Taxpayer;
    ctx.SpouseIdKind = c.Spouse;
    const ClickResult r = ClickNode(tree, catalogue, clicked, ctx, nullptr);
    EXPECT_TRUE(r.Handled);
    EXPECT_EQ(r.Refused, c.Refused);
    EXPECT_EQ(r.Ticked, !c.Refused);
    EXPECT_EQ(r.Messages, c.Messages);
    EXPECT_EQ(TickedNodes(tree), Nodes(tree, c.TickedAfter));
  }
}

TEST(SelectionRules, UntickTakesTheAttachmentsAndClearsWhatTheyCarried) {
  const FormCatalogue catalogue;
  SelectionTree tree;
  tree.Build(kIndividual, catalogue, nullptr);
  const int main37 = NodeOf(tree, {kPit37, 0, 0});
  const int pitD = NodeOf(tree, {kPitD, kPit37, 0});
  const int pitO = NodeOf(tree, {kPitO, kPit37, 0});
  ClickNode(tree, catalogue, pitD, {}, nullptr);
  ClickNode(tree, catalogue, pitO, {}, nullptr);
  // Amounts PIT/D and PIT/O carried into the PIT-37 copy held by the tree.
  for (int field : {pit37::pit_d_income_relief, pit37::pit_d_relief, pit37::pit_d_tax_relief,
                    pit37::taxpayer_pit_o_income_deductions})
    tree.WorkingCopy().Write(main37, field, "150,00");

  std::vector<int> cleared;
  const ClearTransfersHook hook = [&](Settlement& copy, int node) {
    cleared.push_back(node);
    ClearAttachmentTransfers(copy, node);
  };
  const ClickResult r = ClickNode(tree, catalogue, pitD, {}, hook);
  EXPECT_FALSE(r.Ticked);
  EXPECT_TRUE(r.Messages.empty());
  EXPECT_EQ(cleared, std::vector<int>{pitD});
  EXPECT_FALSE(tree.Node(pitD).Checked);
  EXPECT_TRUE(tree.Node(pitO).Checked);
  EXPECT_EQ(tree.Node(main37).Slots()[pit37::pit_d_income_relief].Value, "0,00");
  EXPECT_EQ(tree.Node(main37).Slots()[pit37::pit_d_tax_relief].Value, "0,00");
  EXPECT_EQ(tree.Node(main37).Slots()[pit37::taxpayer_pit_o_income_deductions].Value, "150,00");  // PIT/O's stays

  // The main form goes with everything under it; only the clicked node's
  // own transfers are cleared.
  ClickNode(tree, catalogue, main37, {}, hook);
  EXPECT_EQ(tree.CountTicked(), 0);
  EXPECT_EQ(cleared, std::vector<int>{pitD});
}

TEST(SelectionRules, SpouseHintFollowsTheTickedAttachmentAndTheSpouseBox) {
  const FormCatalogue catalogue;
  struct Case {
    int Kind;
    Pick Clicked;
    bool SpouseBox;
    std::optional<bool> Hint;
  };
  const std::vector<Case> cases = {
      {kIndividual, {kPitO, kPit37, 0}, false, true},
      {kIndividual, {kPit2K, kPit28, 0}, false, true},
      {kIndividual, {kPitO, kPit37, 0}, true, false},
      {kIndividual, {kPitUZ, kPit37, 0}, false, false},
      {kSingleParent, {kPitO, kPit37, 0}, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SelectionTree tree;
    tree.Build(c.Kind, catalogue, nullptr);
    TickContext ctx;
    ctx.SpouseBox = c.SpouseBox;
    EXPECT_EQ(ClickNode(tree, catalogue, NodeOf(tree, c.Clicked), ctx, nullptr).SpouseHintVisible, c.Hint)
        << c.Clicked.IdPit;
  }
}

TEST(SelectionRules, ClickOutsideTheTreeDoesNothing) {
  const FormCatalogue catalogue;
  SelectionTree tree;
  tree.Build(kPayerForms, catalogue, nullptr);
  for (int node : {0, -1, tree.Count() + 1}) {
    EXPECT_FALSE(ClickNode(tree, catalogue, node, {}, nullptr).Handled);
  }
  EXPECT_EQ(tree.CountTicked(), 0);
}

}  // namespace
}  // namespace pit
