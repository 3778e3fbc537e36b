#pragma once
// What may be ticked together in the selection tree: the refusals of each
// settlement kind, the attachments another attachment requires, and the
// tick/untick of a clicked node that applies them.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "selection/selection_tree.h"

namespace pit {

// Which clicked nodes a rule looks at.
enum class ClickedMatch {
  kForm,           // a node whose type is listed
  kReturnOrUnder,  // a listed top-level form, or any node below it
  kUnder,          // any node below a listed top-level form
};

// What makes the rule refuse the tick.
enum class RefuseWhen {
  kPartnerUnderSameParent,  // `Partner` ticked with the clicked node's parent and person
  kOtherOfSameType,         // a node of the clicked type already ticked anywhere
  kReturnTicked,            // `Partner` (a top-level form) ticked
  kTaxpayerPesel,
  kSpousePesel,
};

enum class RuleUntick {
  kClicked,        // only the clicked node
  kClickedReturn,  // the clicked node's top-level form with everything under it
};

enum class RuleMessage {
  kPrefixA,  // "Nie można załączyć druku: "
  kPrefixB,  // "Nie można załączyć druku:"
  kTaxpayerNip,
  kSpouseNip,
};

struct TickRule {
  std::vector<int> Clicked;
  ClickedMatch Match = ClickedMatch::kForm;
  int ClickedPM = -1;  // -1: any person
  RefuseWhen When = RefuseWhen::kOtherOfSameType;
  int Partner = 0;
  RuleUntick Untick = RuleUntick::kClicked;
  RuleMessage Message = RuleMessage::kPrefixA;
  std::string Reason;
  bool NameOtherMainForm = false;  // the reason ends with the other node's main form
  bool PersonInClause = false;     // " Podatnika " / " Małżonka " after the main form
};

// The rules of a kind, in the order they are tried.
const std::vector<TickRule>& TickRules(int kind);

struct RequiredAttachment {
  int MainForm;
  int Chosen;
  int Required;
};
// Tried in order after an accepted tick of kinds 0 to 2.
const std::vector<RequiredAttachment>& RequiredAttachments();

// The identifiers the rules look at.
struct TickContext {
  int TaxpayerIdKind = kIdNip;
  int SpouseIdKind = kIdNone;
  bool SpouseBox = false;  // the spouse check box of individual returns
};

struct Refusal {
  int Rule = 0;  // 1-based number within the kind's rules
  std::string Message;
};

// The first rule of the tree's kind that refuses ticking `node`, if any.
// Nothing is changed.
std::optional<Refusal> CheckTick(const SelectionTree& tree, const FormCatalogue& catalogue, int node,
                                 const TickContext& ctx);

// The message of a rule for a clicked node ("UWAGA!\n..." with the main-form
// clause); `otherMainForm` is used by the rules that name it.
std::string RefusalMessage(const SelectionTree& tree, const FormCatalogue& catalogue, const TickRule& rule,
                           int node, const std::string& otherMainForm);

// Resets the amounts an unticked attachment carried into its main form, in
// the tree's own copies (the tree's working copy and the node number).
using ClearTransfersHook = std::function<void(Settlement& workingCopy, int node)>;

struct ClickResult {
  bool Handled = false;  // the node exists
  bool Ticked = false;   // the click ended with the node ticked
  bool Refused = false;
  std::vector<std::string> Messages;  // information boxes, in the order shown
  // For individual returns, after an accepted tick: whether the hint about
  // the spouse check box is shown. Unset: the hint stays as it is.
  std::optional<bool> SpouseHintVisible;
};

// A click on a node's box: an unticked node is ticked if the rules accept
// it (with its parents and any required attachment), a ticked node is
// unticked with everything below it.
ClickResult ClickNode(SelectionTree& tree, const FormCatalogue& catalogue, int node, const TickContext& ctx,
                      const ClearTransfersHook& clearTransfers);

}  // namespace pit
