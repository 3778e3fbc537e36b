#include "ui/app/document_controller.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>

#include "app/session.h"
#include "forms/definition_library.h"
#include "ui/app/app_context.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/message_boxes.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"

namespace pit::ui {
namespace {

const QString kNoSettlementFile = QStringLiteral("Nie ma pliku rozliczeniowego.");
const QString kFileFilter = QStringLiteral("Rozliczenie roczne (*.dc2014)");
const QString kExtension = QStringLiteral(".dc2014");

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

DocumentController::DocumentController(TTools& window, AppContext& ctx) : QObject(&window), w_(window), ctx_(ctx) {
  ctx_.Session().SetModifiedListener([this](bool on) { emit modifiedChanged(on); });
}

QString DocumentController::AskOpenFileName() {
  QFileDialog d(&w_, QStringLiteral("Otwórz rozliczenie"), Q(ctx_.documentsFolder), kFileFilter);
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::AnyFile);
  PrepareFileDialog(d);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
  return d.selectedFiles().first();
}

QString DocumentController::AskSaveFileName() {
  QFileDialog d(&w_, QStringLiteral("Zapisz rozliczenie jako"), Q(ctx_.documentsFolder), kFileFilter);
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  d.setDefaultSuffix(QStringLiteral("dc2014"));
  d.selectFile(QStringLiteral("nowe rozliczenie"));
  PrepareFileDialog(d);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
  return d.selectedFiles().first();
}

bool DocumentController::AskToSave() {
  // A value typed and not yet committed is part of what the user sees: it is
  // committed first, so the question is asked and the save keeps it.
  w_.CommitTypedValue();
  const Settlement& s = ctx_.settlement;
  if (!s.DocumentModified) return true;
  const QString text = QStringLiteral("Rozliczenie \"") + Q(s.DocumentName) +
                       QStringLiteral("\" zostało zmodyfikowane.\nCzy zapisać zmiany w bieżącym rozliczeniu?");
  // Whatever is about to replace the settlement (closing it or the program,
  // a new one, another file), "Anuluj" keeps it as it is, and so does Esc:
  // a key pressed to get rid of the box must never throw the changes away.
  const int answer = AskUser(&w_, QMessageBox::Warning, QStringLiteral("Zapisanie zmian"), text,
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::Yes) {
    // Going on after a save that did not happen would throw the changes away.
    return Save(Q(s.DocumentPath));
  }
  return true;
}

bool DocumentController::Save(const QString& path) {
  w_.CommitTypedValue();
  QString target = path;
  // A file opened damaged keeps what it had: the settlement goes to a new name.
  if (target.isEmpty() || !QFileInfo::exists(target) || ctx_.Session().SaveNeedsNewName(S(target))) {
    target = AskSaveFileName();
    if (target.isEmpty()) return false;
    if (!HasSettlementExtension(target.toStdString())) target += kExtension;
  }
  if (!LockFor(target)) return false;
  const FileResult r = ctx_.Session().Save(S(target));
  if (!r.ok) {
    TellUser(&w_, Q(r.message), QMessageBox::Warning);
    return false;
  }
  w_.ToolButtonSave->setEnabled(false);
  w_.UpdateCaption();
  return true;
}

bool DocumentController::Load(const QString& path) {
  if (!QFileInfo::exists(path)) {
    TellUser(&w_, kNoSettlementFile, QMessageBox::Warning);
    return false;
  }
  w_.ShowWelcome(false);
  w_.TBSendXML->setVisible(true);
  w_.TbCheck->setVisible(true);
  w_.TBSendXML->setEnabled(false);
  w_.TbCheck->setEnabled(false);
  w_.TBOpenXML->setEnabled(false);
  w_.ClearSettlement();
  if (!LockFor(path)) return false;
  const FileResult r = ctx_.Session().Open(S(path));
  if (!r.ok) {
    lock_.Release();
    TellUser(&w_, Q(r.message), QMessageBox::Warning);
    return false;
  }
  const EFilingState eFiling = EFilingFor(ctx_.settlement);
  w_.TBSendXML->setVisible(eFiling.visible);
  w_.TbCheck->setVisible(eFiling.visible);
  w_.RebuildTree();
  w_.UpdateCaption();
  ctx_.Session().SetModified(false);
  w_.ToolButtonSave->setEnabled(false);
  if (eFiling.enabled) {
    w_.TBSendXML->setEnabled(true);
    w_.TBOpenXML->setEnabled(true);
    w_.TbCheck->setEnabled(true);
  }
  if (!r.message.empty()) TellUser(&w_, Q(r.message));
  return true;
}

void DocumentController::Open(bool recalculate) {
  if (!AskToSave()) return;
  const QString file = AskOpenFileName();
  if (file.isEmpty()) return;
  OpenChosen(file, recalculate);
}

void DocumentController::OpenChosen(const QString& file, bool recalculate) {
  ctx_.ids.Clear();
  w_.FImage->CloseForm();
  ctx_.settlement.DocumentPath.clear();
  if (!Load(file)) {
    // The settlement was given up already; the screen says so.
    w_.ReturnToIdle();
    return;
  }
  ctx_.settlement.DocumentPath = S(file);
  w_.SelectEntry(1);
  if (recalculate) RecalculateAll();
}

void DocumentController::OpenFromCommandLine(const QString& path) {
  ctx_.Session().SetModified(false);
  w_.ClearSettlement();
  if (!Load(path)) return;
  ctx_.settlement.DocumentPath = S(path);
  // As a file opened with the dialog: its first form at once, not an empty
  // page until the user clicks the tree.
  w_.SelectEntry(1);
}

void DocumentController::OpenHandedOver(const QString& path) {
  if (w_.isMinimized()) w_.showNormal();
  w_.show();
  w_.raise();
  w_.activateWindow();
  if (!HasSettlementExtension(S(path))) {
    TellUser(&w_, QStringLiteral("Podany plik nie jest plikiem programu PIT Korvan 2014.\n") + path,
             QMessageBox::Warning);
    return;
  }
  if (!AskToSave()) return;
  OpenChosen(path, false);
}

void DocumentController::Close() {
  if (!AskToSave()) return;
  lock_.Release();
  w_.ReturnToIdle();
}

bool DocumentController::LockFor(const QString& path) {
  switch (lock_.Acquire(S(path), 0)) {
    case platform::FileLock::Result::Locked:
      return true;
    case platform::FileLock::Result::Busy:
      TellUser(&w_, QStringLiteral("Plik jest właśnie używany przez inny program (np. pit2014cli):\n") + path +
                        QStringLiteral("\nSpróbuj ponownie za chwilę."),
               QMessageBox::Warning);
      return false;
    case platform::FileLock::Result::Failed:
      break;
  }
  TellUser(&w_, QStringLiteral("Nie można założyć blokady pliku:\n") + Q(platform::FileLock::LockPathFor(S(path))),
           QMessageBox::Critical);
  return false;
}

void DocumentController::ShowAgain() {
  const Settlement& s = ctx_.settlement;
  const int shown = s.Current.Number;
  const EFilingState eFiling = EFilingFor(s);
  w_.ShowWelcome(false);
  w_.RebuildTree();
  w_.UpdateCaption();
  w_.TBSendXML->setVisible(eFiling.visible);
  w_.TbCheck->setVisible(eFiling.visible);
  w_.TBSendXML->setEnabled(eFiling.enabled);
  w_.TBOpenXML->setEnabled(eFiling.enabled);
  w_.ToolButtonSave->setEnabled(s.DocumentModified);
  w_.SelectEntry(s.Has(shown) ? shown : 1);
}

void DocumentController::RecalculateAll() {
  SettlementSession& session = ctx_.Session();
  PassHooks hooks;
  hooks.show = [this](int i) {
    w_.SelectEntry(i);
    const CurrentEntryState& c = ctx_.settlement.Current;
    if (c.Number != i) return PassShow::Handled;
    if (ctx_.defs->HasPage(c.IdPit, c.Page)) {
      // The page is on screen already: its picture stays, the calculation
      // runs once more and the fields are drawn with its results.
      w_.FImage->Recalculate();
      return PassShow::Handled;
    }
    // No page to show, but the amounts it carries into its return count.
    return PassShow::Offpage;
  };
  session.RecalculateAll(hooks);
}

}  // namespace pit::ui
