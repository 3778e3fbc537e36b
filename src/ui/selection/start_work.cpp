#include "ui/selection/start_work.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

#include "app/document.h"
#include "ui/app/app_context.h"
#include "ui/app/file_dialogs.h"
#include "ui/selection/selection_widgets.h"
#include "ui/selection/tfrozpprace.h"
#include "ui/selection/tfwybalg.h"
#include "ui/selection/tkreator.h"

namespace pit::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The save question for a caller without a main window of its own.
bool AskToSaveHere(AppContext& ctx, QWidget* parent) {
  Settlement& s = ctx.settlement;
  if (!s.DocumentModified) return true;
  const QString text = QStringLiteral("Rozliczenie \"") + Q(s.DocumentName) +
                       QStringLiteral("\" zostało zmodyfikowane.\nCzy zapisać zmiany w bieżącym rozliczeniu?");
  if (!WarningQuestion(parent, QStringLiteral("Zapisanie zmian"), text)) return true;
  QString path = Q(s.DocumentPath);
  if (path.isEmpty()) {
    path = AskSaveFile(parent, QStringLiteral("Zapisz rozliczenie jako"),
                       Q(ctx.documentsFolder) + QStringLiteral("/") + Q(s.DocumentName), QStringLiteral("*.dc2014"));
    if (path.isEmpty()) return false;
  }
  const FileResult r = SaveSettlement(s, path.toStdString());
  if (!r.ok) {
    InformationBox(parent, Q(r.message), QMessageBox::Warning);
    return false;
  }
  return true;
}

bool RunScreen(TSam& screen, SelectionOutcome* outcome) {
  screen.exec();
  if (outcome != nullptr) *outcome = screen.Outcome();
  return screen.Outcome().confirmed;
}

}  // namespace

bool StartNewSettlement(AppContext& ctx, QWidget* parent, SelectionOutcome* outcome, const MainWindowHooks& hooks) {
  if (outcome != nullptr) *outcome = SelectionOutcome{};
  const QString help = Q(ctx.Folder("pomoc/inf"));
  int kind = kIndividual;
  bool wizard = false;
  {
    TFRozpPrace start(help, parent);
    start.exec();
    switch (start.Chosen()) {
      case TFRozpPrace::kTaxpayers: {
        TFWybAlg method(help, parent);
        method.exec();
        if (!method.ManualChosen() && !method.WizardChosen()) return false;
        wizard = method.WizardChosen();
        kind = kIndividual;
        break;
      }
      case TFRozpPrace::kPayers:
        kind = kPayerForms;
        break;
      case TFRozpPrace::kRegistration:
        kind = kRegistrationForms;
        break;
      case TFRozpPrace::kNone:
        return false;
    }
  }
  // Asked while the open settlement is still intact.
  const bool goOn = hooks.askToSave ? hooks.askToSave() : AskToSaveHere(ctx, parent);
  if (!goOn) return false;

  // The open settlement is put aside, not given up, until the new one is
  // confirmed: leaving the windows on the way brings it back untouched.
  Settlement kept;
  std::swap(kept, ctx.settlement);
  const IdentificationRecords keptIds = ctx.ids;
  bool confirmed = false;
  if (wizard) {
    // The wizard empties the settlement itself; the main window's reset
    // comes first so that nothing of the old settlement stays on screen.
    ctx.settlement.Clear();
    ctx.settlement.DocumentPath.clear();
    ctx.settlement.DocumentModified = false;
    if (hooks.resetForNew) hooks.resetForNew(kIndividual);
    confirmed = RunWizard(ctx, parent, outcome, hooks.settlementChanged, hooks.openHelp);
  } else {
    TSam screen(ctx, hooks.openHelp, parent);
    screen.Selection().StartNew(kind);
    if (hooks.resetForNew) hooks.resetForNew(kind);
    screen.PrepareNew(kind);
    confirmed = RunScreen(screen, outcome);
  }
  if (!confirmed && kept.IsOpen()) {
    std::swap(kept, ctx.settlement);
    ctx.ids = keptIds;
    if (outcome != nullptr) {
      outcome->backToIdle = false;
      outcome->keptOpen = true;
    }
  }
  return confirmed;
}

bool ReopenSelection(AppContext& ctx, QWidget* parent, bool identifiersOnly, SelectionOutcome* outcome,
                     const MainWindowHooks& hooks) {
  if (outcome != nullptr) *outcome = SelectionOutcome{};
  if (!ctx.settlement.IsOpen()) return false;
  TSam screen(ctx, hooks.openHelp, parent);
  screen.PrepareReopen(identifiersOnly);
  return RunScreen(screen, outcome);
}

}  // namespace pit::ui
