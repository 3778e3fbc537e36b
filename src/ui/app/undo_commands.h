#pragma once
// "Edycja → Cofnij" (Ctrl+Z) and "Ponów" (Ctrl+Y) in the main window: whole
// commits taken back and done again through the session's history, the
// page of the commit shown with the values put back.
//
// Typing in an open editor that is not committed yet is the latest edit:
// "Cofnij" gives it up first. The keys work whatever has the focus in the
// main window, an editor of the form included.
#include <QObject>

class QAction;
class QMenu;

namespace pit {
struct CommitStep;
}

namespace pit::ui {

struct AppContext;
class TTools;

class UndoCommands : public QObject {
  Q_OBJECT

 public:
  UndoCommands(TTools& window, AppContext& ctx);
  ~UndoCommands() override;

  QMenu* Menu() const { return menu_; }
  QAction* UndoAction() const { return undo_; }
  QAction* RedoAction() const { return redo_; }

  void Undo();
  void Redo();

 signals:
  // A commit, an undo or a redo changed the history.
  void historyChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Takes in what changed since the history last looked, then shows it.
  void UpdateActions();
  // The keys enabled as the history stands.
  void ShowHistoryState();
  void Show(const CommitStep& step);

  TTools& w_;
  AppContext& ctx_;
  QMenu* menu_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
};

}  // namespace pit::ui
