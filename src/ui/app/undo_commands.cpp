#include "ui/app/undo_commands.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

#include "app/session.h"
#include "ui/app/app_context.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"

namespace pit::ui {

UndoCommands::UndoCommands(TTools& window, AppContext& ctx) : QObject(&window), w_(window), ctx_(ctx) {
  menu_ = new QMenu(QStringLiteral("Edycja"), w_.MenuKlienta);
  menu_->setObjectName(QStringLiteral("Edycja"));
  w_.MenuKlienta->insertMenu(w_.MenuOrganisations, menu_);
  undo_ = menu_->addAction(QStringLiteral("Cofnij"));
  undo_->setObjectName(QStringLiteral("Cofnij1"));
  undo_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
  redo_ = menu_->addAction(QStringLiteral("Ponów"));
  redo_->setObjectName(QStringLiteral("Ponow1"));
  redo_->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
  connect(undo_, &QAction::triggered, this, &UndoCommands::Undo);
  connect(redo_, &QAction::triggered, this, &UndoCommands::Redo);
  // The menu tells what there is to take back when it opens; the history
  // tells the keys each time it changes.
  connect(menu_, &QMenu::aboutToShow, this, &UndoCommands::UpdateActions);
  // The history has just taken in the settlement when it calls: looking
  // through it again would compare every value once more after each commit.
  ctx_.Session().History().SetListener([this] {
    ShowHistoryState();
    emit historyChanged();
  });
  UpdateActions();
  qApp->installEventFilter(this);
}

UndoCommands::~UndoCommands() { ctx_.Session().History().SetListener(nullptr); }

void UndoCommands::UpdateActions() {
  CommitHistory& h = ctx_.Session().History();
  // A settlement replaced or closed since has nothing to take back.
  h.Follow(ctx_.settlement, ctx_.ids);
  ShowHistoryState();
}

void UndoCommands::ShowHistoryState() {
  const CommitHistory& h = ctx_.Session().History();
  // Typing in an editor can always be given up, and is not overwritten by
  // a commit done again.
  const bool typing = w_.Form() != nullptr && w_.Form()->EditorHoldsTyping();
  w_.SetHistoryCommands(typing || h.CanUndo(), !typing && h.CanRedo());
}

bool UndoCommands::eventFilter(QObject* watched, QEvent* event) {
  // An editor of the form would take Ctrl+Z for its own text; in the main
  // window the keys are the window's, so that a commit can be taken back
  // from the field the user is in.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && widget->window() == &w_) {
      const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
      if (undo_->shortcuts().contains(pressed) || redo_->shortcuts().contains(pressed)) {
        UpdateActions();
        return true;  // not accepted: the window's shortcut takes the key
      }
    }
  }
  return QObject::eventFilter(watched, event);
}

void UndoCommands::Undo() {
  TFImage* form = w_.Form();
  if (form != nullptr && form->EditorHoldsTyping()) {
    form->DropTyping();
    UpdateActions();
    return;
  }
  if (const CommitStep* step = ctx_.Session().Undo()) Show(*step);
  UpdateActions();
}

void UndoCommands::Redo() {
  TFImage* form = w_.Form();
  // Typing not yet committed would be lost under the values done again.
  if (form != nullptr && form->EditorHoldsTyping()) return;
  if (const CommitStep* step = ctx_.Session().Redo()) Show(*step);
  UpdateActions();
}

void UndoCommands::Show(const CommitStep& step) {
  Settlement& s = ctx_.settlement;
  TFImage* form = w_.Form();
  if (!s.Has(step.entry)) return;
  const CurrentEntryState& c = s.Current;
  if (form != nullptr && form->PictureLoaded() && c.Number == step.entry && c.Page == step.page) {
    form->ShowRestoredValues();
    return;
  }
  // The page the value was given on, as a click in the tree shows a form.
  const int idPit = s.Entry(step.entry).IdPit;
  if (FormCatalogue::IsValid(idPit) && step.page > 0) s.Catalogue().Row(idPit).LastPage = step.page;
  w_.SelectEntry(step.entry);
}

}  // namespace pit::ui
