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

class DocumentController : public QObject {
  Q_OBJECT

 public:
  DocumentController(TTools& window, AppContext& ctx);

  // Saves to `path`, asking for a name when it is empty or the file is gone.
  // False when the user cancelled or the file could not be written.
  bool Save(const QString& path);
  // Replaces the settlement by the file's; false (with the message) when the
  // file is missing or unreadable.
  bool Load(const QString& path);
  // The save question when the settlement is modified. True: go on (saved,
  // or the user chose not to save). False: stop ("Anuluj" or Esc, or the
  // save asked for did not happen).
  bool AskToSave();
  // "Otwórz" (menu) and the tool bar's open button (`recalculate`): the save
  // question, the file dialog, the file loaded and its first entry shown.
  // A file that cannot be read leaves no settlement: the welcome panel.
  void Open(bool recalculate);
  // The file named on the command line, shown as "Otwórz" shows a file.
  void OpenFromCommandLine(const QString& path);
  // A file handed over by a second start: the window comes up, the save
  // question, then the file opened as "Otwórz" opens it.
  void OpenHandedOver(const QString& path);
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

  // Takes the lock of the file about to be opened or written; false (after
  // telling the user) when another program has it.
  bool LockFor(const QString& path);

  TTools& w_;
  AppContext& ctx_;
  // The open file's lock, held while it is open so that the command line
  // cannot change it underneath the window.
  platform::FileLock lock_;
};

}  // namespace pit::ui
