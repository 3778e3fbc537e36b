#include "selection/selection_rules.h"

#include <algorithm>

namespace pit {

namespace {

const char kWarning[] = "UWAGA!\n";
const char kPrefixA[] = "Nie można załączyć druku: ";
const char kPrefixB[] = "Nie można załączyć druku: ";

const char kAfterUpkd[] = ", ponieważ został wcześniej załączony druk: UPKD";
const char kAfterUpkdOrdZu[] = ", ponieważ został wcześniej załączony druk: UPKD ORD-ZU";

// The UPKD pair may not both go with one form; `upkd` is the kind's UPKD.
std::vector<TickRule> UpkdPair(int upkd, bool personInClause) {
  TickRule ordZu;
  ordZu.Clicked = {kUpkdOrdZu};
  ordZu.When = RefuseWhen::kPartnerUnderSameParent;
  ordZu.Partner = upkd;
  ordZu.Reason = kAfterUpkd;
  ordZu.PersonInClause = personInClause;
  TickRule plain = ordZu;
  plain.Clicked = {upkd};
  plain.Partner = kUpkdOrdZu;
  plain.Reason = kAfterUpkdOrdZu;
  return {ordZu, plain};
}

// `clicked` may not join a settlement where `other` is already chosen; the
// clicked side is cleared. SSE/A and SSE-R/A sit two levels below PIT-36,
// so the rule covers every depth, or they would bring PIT-36 in beside PIT-37.
TickRule Exclusive(int clicked, int other, RuleMessage prefix, const std::string& reason) {
  TickRule r;
  r.Clicked = {clicked};
  r.Match = ClickedMatch::kReturnOrUnder;
  r.When = RefuseWhen::kReturnTicked;
  r.Partner = other;
  r.Untick = RuleUntick::kClickedReturn;
  r.Message = prefix;
  r.Reason = reason;
  return r;
}

TickRule OnlyOnce(int idPit, RuleMessage prefix, const std::string& reason) {
  TickRule r;
  r.Clicked = {idPit};
  r.When = RefuseWhen::kOtherOfSameType;
  r.Message = prefix;
  r.Reason = reason;
  r.NameOtherMainForm = true;
  return r;
}

TickRule NeedsNip(std::vector<int> forms, RefuseWhen who, int pm = -1) {
  TickRule r;
  r.Clicked = std::move(forms);
  r.ClickedPM = pm;
  r.When = who;
  r.Message = who == RefuseWhen::kSpousePesel ? RuleMessage::kSpouseNip : RuleMessage::kTaxpayerNip;
  return r;
}

std::vector<TickRule> Join(std::vector<TickRule> a, const std::vector<TickRule>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const std::vector<TickRule>& IndividualRules() {
  static const std::vector<TickRule> rules = [] {
    const auto A = RuleMessage::kPrefixA;
    TickRule underNipReturn = NeedsNip({kPit36L, kPit16A}, RefuseWhen::kTaxpayerPesel);
    // Anything under PIT-36L or PIT-16A would tick that return too.
    underNipReturn.Match = ClickedMatch::kUnder;
    return Join(UpkdPair(kUpkd, false),
                {Exclusive(kPit36, kPit37, A, ", ponieważ został wcześniej wybrany druk: PIT-37."),
                 Exclusive(kPit37, kPit36, A, ", ponieważ został wcześniej wybrany druk: PIT-36."),
                 OnlyOnce(kPitD, A, ", ponieważ został wcześniej załączony do druku: "),
                 OnlyOnce(kPit2K, A, ", ponieważ został wcześniej załączony do druku: "),
                 OnlyOnce(kPitZ, A, ", ponieważ został wcześniej załączony do druku: "),
                 NeedsNip({kPit28B, kPitZ, kPitB, kPit36L, kSseR, kSseA, kSseRA, kPit16A},
                          RefuseWhen::kTaxpayerPesel),
                 underNipReturn});
  }();
  return rules;
}

const std::vector<int>& PersonNipForms() {
  static const std::vector<int> forms = {kPitZ, kPitB, kSseR, kSseA, kSseRA};
  return forms;
}

const std::vector<TickRule>& JointRules() {
  static const std::vector<TickRule> rules = [] {
    const auto A = RuleMessage::kPrefixA, B = RuleMessage::kPrefixB;
    return Join(UpkdPair(kUpkd, true),
                {Exclusive(kPit36, kPit37, B, ", ponieważ został wybrany wcześniej druk PIT-37."),
                 Exclusive(kPit37, kPit36, B, ", ponieważ został wybrany wcześniej druk PIT-36."),
                 OnlyOnce(kPitD, A, ", ponieważ został załączony wcześniej do druku: "),
                 OnlyOnce(kPit2K, A, ", ponieważ został załączony wcześniej do druku: "),
                 NeedsNip(PersonNipForms(), RefuseWhen::kTaxpayerPesel, kPmTaxpayer),
                 NeedsNip(PersonNipForms(), RefuseWhen::kSpousePesel, kPmSpouse)});
  }();
  return rules;
}

const std::vector<TickRule>& SingleParentRules() {
  static const std::vector<TickRule> rules = [] {
    const auto B = RuleMessage::kPrefixB;
    return Join(UpkdPair(kUpkd, false),
                {Exclusive(kPit36, kPit37, B, ", ponieważ został wybrany wcześniej druk PIT-37."),
                 Exclusive(kPit37, kPit36, B, ", ponieważ został wybrany wcześniej druk PIT-36."),
                 OnlyOnce(kPitD, B, ", ponieważ został załączony wcześniej do druku: "),
                 OnlyOnce(kPit2K, B, ", ponieważ został załączony wcześniej do druku: "),
                 NeedsNip(PersonNipForms(), RefuseWhen::kTaxpayerPesel)});
  }();
  return rules;
}

const std::vector<TickRule>& PayerRules() {
  static const std::vector<TickRule> rules =
      Join(UpkdPair(kUpkdPayer, false),
           {Exclusive(kPit11, kPit40, RuleMessage::kPrefixA, ", ponieważ został wcześniej wybrany druk PIT-40."),
            Exclusive(kPit40, kPit11, RuleMessage::kPrefixB, ", ponieważ został wybrany wcześniej druk PIT-11.")});
  return rules;
}

const std::vector<TickRule>& RegistrationRules() {
  static const std::vector<TickRule> rules = {
      Exclusive(kNip7, kZap3, RuleMessage::kPrefixA, ", ponieważ został wcześniej wybrany druk ZAP-3."),
      Exclusive(kZap3, kNip7, RuleMessage::kPrefixA, ", ponieważ został wcześniej wybrany druk NIP-7."),
  };
  return rules;
}

bool Listed(const std::vector<int>& forms, int idPit) {
  return std::find(forms.begin(), forms.end(), idPit) != forms.end();
}

bool Matches(const SelectionTree& tree, const TickRule& rule, int node) {
  const SelectionNode& n = tree.Node(node);
  if (rule.ClickedPM != -1 && n.PM != rule.ClickedPM) return false;
  switch (rule.Match) {
    case ClickedMatch::kForm:
      return Listed(rule.Clicked, n.IdPit);
    case ClickedMatch::kReturnOrUnder:
    case ClickedMatch::kUnder: {
      const int top = tree.TopLevelOf(node);
      if (top < 0 || !Listed(rule.Clicked, tree.Node(top).IdPit)) return false;
      return rule.Match == ClickedMatch::kReturnOrUnder || top != node;
    }
  }
  return false;
}

// The node that makes the rule refuse, or 0 for the identifier rules; -1
// when the rule does not refuse.
int Blocker(const SelectionTree& tree, const TickRule& rule, int node, const TickContext& ctx) {
  const SelectionNode& n = tree.Node(node);
  switch (rule.When) {
    case RefuseWhen::kPartnerUnderSameParent:
      return tree.FindTickedUnder(rule.Partner, n.IdParent, n.PM);
    case RefuseWhen::kOtherOfSameType:
      return tree.FindTickedOfType(n.IdPit);
    case RefuseWhen::kReturnTicked:
      return tree.FindTickedOfType(rule.Partner);
    case RefuseWhen::kTaxpayerPesel:
      return ctx.TaxpayerIdKind == kIdPesel ? 0 : -1;
    case RefuseWhen::kSpousePesel:
      return ctx.SpouseIdKind == kIdPesel ? 0 : -1;
  }
  return -1;
}

std::string Code(const FormCatalogue& catalogue, int idPit) {
  return FormCatalogue::IsValid(idPit) ? catalogue[idPit].Code : std::string();
}

}  // namespace

const std::vector<TickRule>& TickRules(int kind) {
  static const std::vector<TickRule> none;
  switch (kind) {
    case kIndividual: return IndividualRules();
    case kJoint: return JointRules();
    case kSingleParent: return SingleParentRules();
    case kPayerForms: return PayerRules();
    case kRegistrationForms: return RegistrationRules();
    default: return none;
  }
}

const std::vector<RequiredAttachment>& RequiredAttachments() {
  static const std::vector<RequiredAttachment> rows = {
      {kPit36, kPitZ, kPitB},   {kPit36, kPit2K, kPitD},  {kPit36, kPitUZ, kPitO}, {kPit37, kPitUZ, kPitO},
      {kPit37, kPit2K, kPitD},  {kPit36L, kPitZ, kPitB},  {kPit28, kPit2K, kPitD},
  };
  return rows;
}

std::string RefusalMessage(const SelectionTree& tree, const FormCatalogue& catalogue, const TickRule& rule,
                           int node, const std::string& otherMainForm) {
  const SelectionNode& n = tree.Node(node);
  const std::string name = Code(catalogue, n.IdPit);
  std::string clause;
  if (n.IdParent != 0) clause = " do " + Code(catalogue, tree.ParentType(node));
  switch (rule.Message) {
    case RuleMessage::kTaxpayerNip:
      return std::string(kWarning) + kPrefixA + name + clause +
             ", ponieważ jako identyfikator Podatnika został wybrany PESEL." +
             "\nIstnieje możliwość dołączenia druku: " + name + clause +
             " wyłącznie jeżeli identyfikatorem Podatnika będzie NIP.";
    case RuleMessage::kSpouseNip:
      return std::string(kWarning) + kPrefixA + name + clause +
             ", ponieważ jako identyfikator Małżonka został wybrany PESEL." +
             "\nIstnieje możliwość dołączenia druku: " + name + clause +
             " wyłącznie jeżeli identyfikatorem Małżonka będzie NIP.";
    case RuleMessage::kPrefixA:
    case RuleMessage::kPrefixB:
      break;
  }
  if (rule.PersonInClause && n.PM == kPmTaxpayer) clause += " Podatnika ";
  if (rule.PersonInClause && n.PM == kPmSpouse) clause += " Małżonka ";
  return std::string(kWarning) + (rule.Message == RuleMessage::kPrefixA ? kPrefixA : kPrefixB) + name + clause +
         rule.Reason + (rule.NameOtherMainForm ? otherMainForm : std::string());
}

std::optional<Refusal> CheckTick(const SelectionTree& tree, const FormCatalogue& catalogue, int node,
                                 const TickContext& ctx) {
  if (!tree.Has(node)) return std::nullopt;
  const std::vector<TickRule>& rules = TickRules(tree.Kind());
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const TickRule& rule = rules[i];
    if (!Matches(tree, rule, node)) continue;
    const int blocker = Blocker(tree, rule, node, ctx);
    if (blocker < 0) continue;
    const std::string other = blocker > 0 ? Code(catalogue, tree.ParentType(blocker)) : std::string();
    return Refusal{static_cast<int>(i) + 1, RefusalMessage(tree, catalogue, rule, node, other)};
  }
  return std::nullopt;
}

ClickResult ClickNode(SelectionTree& tree, const FormCatalogue& catalogue, int node, const TickContext& ctx,
                      const ClearTransfersHook& clearTransfers) {
  ClickResult result;
  if (!tree.Has(node)) return result;
  result.Handled = true;
  const SelectionNode& n = tree.Node(node);

  if (n.Checked) {
    tree.UntickWithDescendants(node);
    if ((n.IdPit == kPitO || n.IdPit == kPitD || n.IdPit == kPitM) && clearTransfers) {
      clearTransfers(tree.WorkingCopy(), node);
    }
    return result;
  }

  if (std::optional<Refusal> refusal = CheckTick(tree, catalogue, node, ctx)) {
    const TickRule& rule = TickRules(tree.Kind())[static_cast<std::size_t>(refusal->Rule - 1)];
    if (rule.Untick == RuleUntick::kClickedReturn) {
      tree.UntickWithDescendants(tree.TopLevelOf(node));
    } else {
      tree.Untick(node);
    }
    result.Refused = true;
    result.Messages.push_back(refusal->Message);
    return result;
  }

  for (int id = node; tree.Has(id); id = tree.Node(id).IdParent) tree.Tick(id);
  result.Ticked = true;

  if (tree.Kind() == kIndividual || tree.Kind() == kJoint || tree.Kind() == kSingleParent) {
    const int mainType = tree.ParentType(node);
    for (const RequiredAttachment& row : RequiredAttachments()) {
      if (n.IdPit != row.Chosen || mainType != row.MainForm) continue;
      const int mainNode = tree.Find(row.MainForm, 0, row.MainForm == kPit28 ? n.PM : kPmNone);
      if (mainNode < 0) continue;
      if (tree.FindTickedUnder(row.Required, mainNode, n.PM) >= 0) continue;
      result.Messages.push_back("Wybierając formularz " + Code(catalogue, row.Chosen) +
                                ", konieczne jest dodanie załącznika " + Code(catalogue, row.Required));
      tree.Tick(tree.Find(row.Required, mainNode, n.PM));
    }
  }
  if (tree.Kind() == kIndividual) {
    result.SpouseHintVisible = (n.IdPit == kPitO || n.IdPit == kPitD || n.IdPit == kPit2K) && !ctx.SpouseBox;
  }
  return result;
}

}  // namespace pit
