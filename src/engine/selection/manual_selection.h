#pragma once
// The logic of the manual selection screen and of its identifier step: the
// state the window shows, and what each of its events does to the tree and
// to the settlement. The window only draws this state and asks the
// questions it is given.
#include <functional>
#include <string>

#include "selection/identifiers.h"
#include "selection/selection_rules.h"
#include "selection/selection_tree.h"

namespace pit {

class DefinitionLibrary;

// What the selection needs from the identification data and calculations,
// plugged in by whoever owns them.
struct SelectionHooks {
  // Resets the amounts an unticked PIT/O, PIT/D or PIT/M carried into its
  // main form, in the tree's working copy.
  ClearTransfersHook ClearAttachmentTransfers;
  // Empties the NIP and PESEL of one person's identification record
  // (kPmTaxpayer or kPmSpouse).
  std::function<void(int pm)> ClearPersonIdentifiers;
  // Empties the taxpayer's and the spouse's records, and the payer's too
  // when asked.
  std::function<void(bool withPayer)> ClearIdentificationRecords;
  // Copies the records into every entry of the settlement.
  std::function<void()> DistributeIdentification;
};

// The identifier step's controls.
struct IdentifierControls {
  int Taxpayer = kIdNip;            // NIP / PESEL of the taxpayer
  int Spouse = kIdNone;             // NIP / PESEL of the spouse, -1 none
  bool SpouseBox = false;           // "Małżonka" box of individual returns
  bool SpouseRadioEnabled = false;
  bool SpouseDataEnabled = false;   // the four spouse-data boxes
  SpouseDataFlags SpouseData;
};

// Which parts of the identifier step a kind shows.
struct IdentifierStepParts {
  bool Step = false;        // the identifier group
  bool Taxpayer = false;
  bool Spouse = false;
  bool SpouseBox = false;
  bool SpouseData = false;  // the four spouse-data boxes
  bool KindGroup = false;   // the choice between kinds 0, 1 and 2
};
IdentifierStepParts IdentifierStepFor(int kind);

// File name of the help page of a kind in the help folder.
std::string SelectionHelpPage(int kind);

struct ConfirmResult {
  bool EFilingVisible = true;  // e-filing and check buttons
  bool EFilingEnabled = true;  // e-filing and open-XML buttons
  bool ToolbarExtrasVisible = true;
  int FirstEntry = 0;  // entry to show first; 0 when the settlement is empty
};

// The entry shown first once forms are chosen, by hand or by the wizard:
// the first attachment; entry 1 instead when that is a PIT/B and the
// settlement has a PIT/Z, or when no entry has a parent; 0 when empty.
int FirstFormToOpen(const Settlement& s);

class ManualSelection {
 public:
  ManualSelection(Settlement& s, SelectionHooks hooks);

  // A new settlement of `kind` (0, 3 or 4) from the start paths: the kind
  // and its identifier defaults, empty identification records, the
  // settlement cleared and unsaved.
  void StartNew(int kind);
  // Showing the screen: the kind's tree built (with places for the copies
  // the open settlement holds), the identifier controls loaded.
  void Show();
  // Reopening for the open settlement: the kind of its first entry, the tree
  // shown with the settlement's forms ticked and their values carried.
  // `identifiersOnly` only records how the window is to be cut.
  void Reopen(bool identifiersOnly);
  // Ticks the settlement's entries into the built tree, carrying their values.
  void MarkSettlement();
  // A new choice of kind; refused (false) while anything is ticked.
  bool ChangeKind(int kind);

  ClickResult Click(int node);

  // A click on the taxpayer's / spouse's identifier. When the returned
  // question is needed, its answer goes to the matching Answer call.
  IdentifierQuestion TaxpayerIdClicked(int index);
  void AnswerTaxpayerQuestion(const IdentifierQuestion& q, bool yes);
  IdentifierQuestion SpouseIdClicked(int index);
  void AnswerSpouseQuestion(const IdentifierQuestion& q, bool yes);
  void SpouseBoxReleased(bool checked);
  void SpouseDataBoxReleased(int idPit, bool checked);
  void HideSpouseHint() { spouseHintVisible_ = false; }

  // The ticked nodes become the settlement's entries.
  ConfirmResult Confirm(DefinitionLibrary& defs);
  // Leaving without confirming; true when the settlement had no forms and
  // the main window goes back to its idle state.
  bool Cancel();

  SelectionTree& Tree() { return tree_; }
  const SelectionTree& Tree() const { return tree_; }
  const IdentifierControls& Identifiers() const { return ids_; }
  int Kind() const { return s_.Kind; }
  bool KindGroupEnabled() const { return kindGroupEnabled_; }
  bool ConfirmEnabled() const { return confirmEnabled_; }
  void SetConfirmEnabled(bool on) { confirmEnabled_ = on; }
  bool SpouseHintVisible() const { return spouseHintVisible_; }
  bool IdentifiersOnly() const { return identifiersOnly_; }

 private:
  void LoadIdentifierControls();
  void StoreIdentifiers();
  void ClearPerson(int pm);
  void AfterIdentifierClick();
  TickContext Context() const;

  Settlement& s_;
  SelectionHooks hooks_;
  SelectionTree tree_;
  IdentifierControls ids_;
  bool kindGroupEnabled_ = true;
  bool confirmEnabled_ = false;
  bool spouseHintVisible_ = false;
  bool identifiersOnly_ = false;
};

}  // namespace pit
