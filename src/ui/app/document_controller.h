#pragma once
#include "platform/file_lock.h"
// The life cycle of the settlement file in the desktop program: open (with
// or without recalculation), save, save as, close, the save question, and
// recalculating every entry. It works through the engine's session and asks
// the main window only to show things; the window keeps the menus, the tree
// and the page.
#include <QObject>
#include <QString>

namespace pit::ui {

struct AppContext;
class TTools;
class RecoveryCopy;

class DocumentController : public QObject {
  Q_OBJECT

 public:
  DocumentController(TTools& window, AppContext& ctx);

  // Saves to `path`, asking for a name when it is empty or the file is gone.
  // False when the user cancelled or the file could not be written.
  bool Save(const QString& path);
  // Replaces the settlement by the file's; false (with the message) when the
  // file is missing or unreadable, and then the open settlement stays as it
  // was, on screen.
  bool Load(const QString& path);
  // The save question when the settlement is modified. True: go on (saved,
  // or the user chose not to save). False: stop ("Anuluj" or Esc, or the
  // save asked for did not happen).
  bool AskToSave();
  // "Otwórz" (menu) and the tool bar's open button (`recalculate`): the save
  // question, the file dialog, the file loaded and its first entry shown.
  // The file is chosen and checked before the save question: a file that
  // cannot be opened leaves the open settlement open and unchanged.
  void Open(bool recalculate);
  // The file named on the command line, shown as "Otwórz" shows a file.
  void OpenFromCommandLine(const QString& path);
  // A file handed over by a second start: the window comes up, the file is
  // checked, the save question, then the file opened as "Otwórz" opens it.
  // One file at a time: a file handed over while the program asks about an
  // earlier one waits until that is done; only the latest waits, each one
  // it replaces is named in the status bar.
  void OpenHandedOver(const QString& path);
  // The copy of unsaved changes left by a run that did not end cleanly,
  // offered back with the time it was taken: "Przywróć" opens it as the
  // modified settlement of its file (or a new one never saved), "Odrzuć"
  // removes it.
  void OfferRecovery(RecoveryCopy& copy);
  // "Zamknij": the save question, then no settlement.
  void Close();
  // Every entry calculated again, attachments first, each shown as a click
  // in the tree shows it.
  void RecalculateAll();
  // The open settlement shown again after the screen was emptied for a new
  // one that the user gave up: its tree, caption, commands and the entry
  // that was shown.
  void ShowAgain();

 signals:
  // The settlement's modified state changed (the session's notification).
  void modifiedChanged(bool modified);

 private:
  QString AskOpenFileName();
  QString AskSaveFileName();
  // The open settlement replaced by the file's, its first entry shown.
  void OpenChosen(const QString& file, bool recalculate);
  // Whether the file would open: false (after telling the user why) when it
  // is missing or refused. Nothing of the open settlement is touched.
  bool Acceptable(const QString& path);
  // The settlement replaced by the file's and shown; false (the settlement
  // and the screen as they were) when it cannot be.
  bool Replace(const QString& path);

  // Takes the lock of the file about to be opened or written; false (after
  // telling the user) when another program has it.
  bool LockFor(const QString& path);

  void HandleHandOver(const QString& path);
  void NoteDroppedHandOver(const QString& path);

  TTools& w_;
  AppContext& ctx_;
  bool handingOver_ = false;
  bool retryPending_ = false;  // a file waits for another window to close
  QString waitingHandOver_;
  int droppedHandOvers_ = 0;
  // The open file's lock, held while it is open so that the command line
  // cannot change it underneath the window.
  platform::FileLock lock_;
};

}  // namespace pit::ui
