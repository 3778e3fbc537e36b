#include "ui/app/document_controller.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/document.h"
#include "app/session.h"
#include "forms/definition_library.h"
#include "ui/app/app_context.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/message_boxes.h"
#include "ui/app/recovery.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"

namespace pit::ui {
namespace {

const QString kNoSettlementFile = QStringLiteral("Nie ma pliku rozliczeniowego.");
const QString kFileFilter = QStringLiteral("Rozliczenie roczne (*.dc2014)");
const QString kExtension = QStringLiteral(".dc2014");

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// Another program wrote the file after this window opened or saved it: the
// user decides whether the window's settlement replaces that version.
QMessageBox::StandardButton AskAboutChangedFile(QWidget* parent, const QString& path) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Plik został zmieniony"),
                  QStringLiteral("Plik \"") + path +
                      QStringLiteral("\" został zmieniony przez inny program po otwarciu lub zapisaniu go w tym "
                                     "oknie.\nZapisanie rozliczenia w tym pliku usunie tamte zmiany.\n\n"
                                     "Co zrobić z rozliczeniem z tego okna?"),
                  QMessageBox::Yes | QMessageBox::Save | QMessageBox::Cancel, parent);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("Zastąp plik"));
  box.button(QMessageBox::Save)->setText(QStringLiteral("Zapisz pod inną nazwą..."));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("Anuluj"));
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

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
  bool askName = target.isEmpty() || !QFileInfo::exists(target) || ctx_.Session().SaveNeedsNewName(S(target));
  if (!askName && ctx_.Session().ChangedOnDisk(S(target))) {
    const QMessageBox::StandardButton answer = AskAboutChangedFile(&w_, target);
    if (answer != QMessageBox::Yes && answer != QMessageBox::Save) return false;
    askName = answer == QMessageBox::Save;
  }
  if (askName) {
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
  w_.UpdateCaption();
  return true;
}

bool DocumentController::Acceptable(const QString& path) {
  if (!QFileInfo::exists(path)) {
    TellUser(&w_, kNoSettlementFile, QMessageBox::Warning);
    return false;
  }
  // Read whole into a settlement of its own, as opening would read it: a
  // file that would be refused is refused while the open settlement is
  // still untouched, before the save question is asked about it.
  Settlement incoming;
  const FileResult r = LoadSettlement(S(path), incoming, *ctx_.defs);
  if (!r.ok) {
    TellUser(&w_, Q(r.message), QMessageBox::Warning);
    return false;
  }
  return true;
}

bool DocumentController::Replace(const QString& path) {
  // The open file's lock goes with taking the new one; given back when the
  // new file is not opened after all, so the open settlement keeps it.
  const std::string held = lock_.Document();
  const auto keepHeld = [this, &held] {
    if (!held.empty()) lock_.Acquire(held, 0);
  };
  if (!LockFor(path)) {
    keepHeld();
    return false;
  }
  w_.FImage->CloseForm();
  const FileResult r = ctx_.Session().Open(S(path));
  if (!r.ok) {
    // The file changed between the check and now; the session kept the
    // settlement as it was, and the screen shows it again.
    lock_.Release();
    keepHeld();
    TellUser(&w_, Q(r.message), QMessageBox::Warning);
    if (ctx_.settlement.IsOpen()) {
      ShowAgain();
    } else {
      w_.ReturnToIdle();
    }
    return false;
  }
  w_.ShowWelcome(false);
  const EFilingState eFiling = EFilingFor(ctx_.settlement);
  w_.RebuildTree();
  w_.UpdateCaption();
  ctx_.Session().SetModified(false);
  w_.SetEFilingCommands(eFiling.visible, eFiling.enabled);
  if (!r.message.empty()) TellUser(&w_, Q(r.message));
  return true;
}

bool DocumentController::Load(const QString& path) { return Acceptable(path) && Replace(path); }

void DocumentController::Open(bool recalculate) {
  // The file first: the open settlement is asked about only once there is
  // something to take its place.
  const QString file = AskOpenFileName();
  if (file.isEmpty() || !Acceptable(file)) return;
  if (!AskToSave()) return;
  OpenChosen(file, recalculate);
}

void DocumentController::OpenChosen(const QString& file, bool recalculate) {
  if (!Replace(file)) return;
  ctx_.settlement.DocumentPath = S(file);
  w_.SelectEntry(1);
  if (recalculate) RecalculateAll();
}

void DocumentController::OpenFromCommandLine(const QString& path) {
  if (!Load(path)) return;
  ctx_.settlement.DocumentPath = S(path);
  // As a file opened with the dialog: its first form at once, not an empty
  // page until the user clicks the tree.
  w_.SelectEntry(1);
}

void DocumentController::OpenHandedOver(const QString& path) {
  if (handingOver_ || QApplication::activeModalWidget() != nullptr) {
    // A question about an earlier file is open, or another window the user
    // is working in: this file waits for it, in the place of any that was
    // waiting already. Never a second question inside the first: a flood of
    // second starts would nest them without end.
    if (!waitingHandOver_.isEmpty() && waitingHandOver_ != path) NoteDroppedHandOver(waitingHandOver_);
    waitingHandOver_ = path;
    if (!handingOver_ && !retryPending_) {
      retryPending_ = true;
      QTimer::singleShot(250, this, [this] {
        retryPending_ = false;
        const QString waiting = waitingHandOver_;
        waitingHandOver_.clear();
        if (!waiting.isEmpty()) OpenHandedOver(waiting);
      });
    }
    return;
  }
  handingOver_ = true;
  QString next = path;
  while (!next.isEmpty()) {
    HandleHandOver(next);
    next = waitingHandOver_;
    waitingHandOver_.clear();
  }
  handingOver_ = false;
}

void DocumentController::NoteDroppedHandOver(const QString& path) {
  ++droppedHandOvers_;
  w_.ShowStatusNote(QStringLiteral("Nie otwarto pliku przekazanego przy ponownym uruchomieniu programu "
                                   "(czekał na niego już inny plik): %1. Pominiętych plików: %2.")
                        .arg(path)
                        .arg(droppedHandOvers_));
}

void DocumentController::HandleHandOver(const QString& path) {
  if (w_.isMinimized()) w_.showNormal();
  w_.show();
  w_.raise();
  w_.activateWindow();
  if (!HasSettlementExtension(S(path))) {
    TellUser(&w_, QStringLiteral("Podany plik nie jest plikiem programu PIT Korvan 2014.\n") + path,
             QMessageBox::Warning);
    return;
  }
  if (!Acceptable(path) || !AskToSave()) return;
  OpenChosen(path, false);
}

void DocumentController::OfferRecovery(RecoveryCopy& copy) {
  const std::optional<RecoveryCopy::Found> found = copy.Find();
  if (!found) return;
  const QString where = found->documentPath.isEmpty()
                            ? QStringLiteral("Rozliczenie nie było jeszcze zapisane w pliku.")
                            : QStringLiteral("Plik rozliczenia: %1").arg(found->documentPath);
  const QString text =
      QStringLiteral("Program nie został poprawnie zamknięty.\n\n"
                     "Zachowała się kopia rozliczenia \"%1\" z niezapisanymi zmianami.\n"
                     "Kopia wykonana: %2\n%3\n\n"
                     "Czy przywrócić rozliczenie z tej kopii?")
          .arg(found->documentName, found->taken.toString(QStringLiteral("yyyy-MM-dd, 'godz.' HH:mm:ss")), where);
  QMessageBox box(QMessageBox::Question, QStringLiteral("Odzyskiwanie rozliczenia"), text, QMessageBox::NoButton, &w_);
  QPushButton* restore = box.addButton(QStringLiteral("Przywróć"), QMessageBox::AcceptRole);
  box.addButton(QStringLiteral("Odrzuć"), QMessageBox::DestructiveRole);
  box.setDefaultButton(restore);
  // Esc must not throw the changes away: it takes them back, and the user
  // can still close them unsaved.
  box.setEscapeButton(restore);
  box.exec();
  if (box.clickedButton() != restore) {
    copy.Discard();
    return;
  }
  // A file named on the command line may be open already.
  if (!AskToSave()) return;
  if (!Acceptable(found->copyPath)) {
    copy.Discard();
    return;
  }
  if (!Replace(found->copyPath)) return;
  Settlement& s = ctx_.settlement;
  s.DocumentPath = S(found->documentPath);
  s.DocumentName = S(found->documentName);
  if (found->documentPath.isEmpty()) {
    lock_.Release();
  } else if (!LockFor(found->documentPath)) {
    lock_.Release();
  }
  // Changes not saved anywhere but in the copy: the history starts at them
  // as unsaved, so no undo can make them look saved.
  ctx_.Session().SetModified(true);
  ctx_.Session().History().Reset(s, ctx_.ids);
  w_.UpdateCaption();
  w_.SelectEntry(1);
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
  TellUser(&w_, Q(lock_.FailureText()), QMessageBox::Critical);
  return false;
}

void DocumentController::ShowAgain() {
  const Settlement& s = ctx_.settlement;
  const int shown = s.Current.Number;
  const EFilingState eFiling = EFilingFor(s);
  w_.ShowWelcome(false);
  w_.RebuildTree();
  w_.UpdateCaption();
  w_.SetEFilingCommands(eFiling.visible, eFiling.enabled);
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
