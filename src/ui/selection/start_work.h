#pragma once
// How the main window starts a new settlement and reopens the selection of
// the open one. Both run their windows modally and return when the user has
// confirmed or given up; the settlement in AppContext is then as the user
// left it, and the outcome says what the main window has to do next.
//
// After a confirmed selection the main window (TTools) does:
//   RebuildTree();                     // the view of the new entries
//   SetModified();                     // DocumentModified, save button on
//   ToolSend/ToolCheck visible  := outcome.eFilingVisible
//   ToolSend/ToolOpenVeltra enabled := outcome.eFilingEnabled
//   SelectEntry(outcome.firstEntry);   // when it is not 0
//   EFilingSeparator visible := outcome.eFilingSeparatorVisible
// The settlement is already rebuilt, DocumentName is
// "nowe_rozliczenie.dc2014" and the identification data has been copied into
// every entry. When outcome.backToIdle is set instead, the user left while
// the settlement had no forms: the main window clears it and shows its
// welcome panels.
#include <QWidget>
#include <functional>

#include "ui/selection/tsam.h"

namespace pit::ui {

struct AppContext;

// What the windows need from the main window.
struct MainWindowHooks {
  // The save question before the open settlement is discarded; the main
  // window's own (TTools::AskToSave()). False stops the path and
  // nothing is discarded. Without it the question is asked here, and Yes
  // saves to DocumentPath (asking for a file name when there is none).
  std::function<bool()> askToSave;
  // Called once the settlement of a new path has been emptied (no
  // settlement is open, DocumentPath empty, not modified): the main window
  // shows its base caption, closes the form window, collapses the message
  // list, empties its tree, hides the welcome and start panels and disables
  // the save button; the e-filing button is disabled for kinds 0 and 4 and
  // keeps its state for 3; kind 4 also disables the open-XML button.
  std::function<void(int kind)> resetForNew;
  // Opens the help window at the page about NIP and PESEL. Without it the
  // help picture of the identifier step is not shown (the wizard's does
  // nothing).
  std::function<void()> openHelp;
  // The wizard has added or removed entries: the main window redraws its
  // tree of forms (TTools::RebuildTree).
  std::function<void()> settlementChanged;
};

// "Nowe rozliczenie": the start window (taxpayers, payers, registration
// forms), for taxpayers the method window, then the selection screen or
// the wizard (which ends with "zakończ" as the screen with a confirm, and
// with "anuluj" as the screen left while empty).
// Returns true when the user confirmed and the settlement holds the new
// entries. False when a window was closed without a choice (nothing
// changed), the save question stopped the path (nothing changed), or the
// selection screen or the wizard was left without confirming: the
// settlement that was open is then back as it was (`outcome->keptOpen`),
// or, when none was, `outcome->backToIdle` is set.
bool StartNewSettlement(AppContext& ctx, QWidget* parent, SelectionOutcome* outcome = nullptr,
                        const MainWindowHooks& hooks = {});

// "dodaj/usuń druk" (identifiersOnly false) and "zmień NIP-PESEL"
// (identifiersOnly true): the selection screen over the open settlement,
// its forms ticked with their values. Returns true when the user confirmed;
// the entries were then replaced by the ticked forms (values kept for forms
// that stayed). False when left without confirming: the settlement is as it
// was (or, when it had no forms, `outcome->backToIdle` is set), or when no
// settlement is open.
bool ReopenSelection(AppContext& ctx, QWidget* parent, bool identifiersOnly, SelectionOutcome* outcome = nullptr,
                     const MainWindowHooks& hooks = {});

}  // namespace pit::ui
