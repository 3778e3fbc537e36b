#include "ui/app/zoom_commands.h"

#include <QAction>
#include <QMenu>
#include <QLabel>
#include <QMenuBar>

#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"

namespace pit::ui {

ZoomCommands::ZoomCommands(TTools& window) : QObject(&window), w_(window) {
  menu_ = new QMenu(QStringLiteral("Widok"), w_.MenuKlienta);
  menu_->setObjectName(QStringLiteral("Widok"));
  w_.MenuKlienta->insertMenu(w_.MenuOrganisations, menu_);
  in_ = menu_->addAction(QStringLiteral("Powiększ"));
  in_->setObjectName(QStringLiteral("Powieksz1"));
  // Ctrl++ is Ctrl+Shift+= on most keyboards; Ctrl+= saves the Shift.
  in_->setShortcuts({QKeySequence(QKeySequence::ZoomIn), QKeySequence(QStringLiteral("Ctrl+="))});
  out_ = menu_->addAction(QStringLiteral("Pomniejsz"));
  out_->setObjectName(QStringLiteral("Pomniejsz1"));
  out_->setShortcut(QKeySequence(QKeySequence::ZoomOut));
  fit_ = menu_->addAction(QStringLiteral("Dopasuj do szerokości"));
  fit_->setObjectName(QStringLiteral("Dopasuj1"));
  fit_->setShortcut(QKeySequence(QStringLiteral("Ctrl+0")));
  for (QAction* a : {in_, out_, fit_}) a->setShortcutContext(Qt::WindowShortcut);
  // The shortcuts are the menu's, so they act while the tree has the focus
  // too; an editor of the page keeps what was typed, as with the page's keys.
  connect(in_, &QAction::triggered, this, [this] {
    if (PageShown()) w_.Form()->ZoomIn();
  });
  connect(out_, &QAction::triggered, this, [this] {
    if (PageShown()) w_.Form()->ZoomOut();
  });
  connect(fit_, &QAction::triggered, this, [this] {
    if (PageShown()) w_.Form()->FitWidth();
  });
  connect(menu_, &QMenu::aboutToShow, this, &ZoomCommands::UpdateActions);
  connect(w_.Form(), &TFImage::zoomChanged, this, &ZoomCommands::ShowZoom);
  ShowZoom();
}

void ZoomCommands::ShowZoom() {
  w_.Powiekszenie->setText(QStringLiteral("powiększenie: %1%").arg(w_.Form()->ZoomPercent()));
}

bool ZoomCommands::PageShown() const { return w_.Form() != nullptr && w_.Form()->isVisible(); }

void ZoomCommands::UpdateActions() {
  const bool shown = PageShown();
  for (QAction* a : {in_, out_, fit_}) a->setEnabled(shown);
}

}  // namespace pit::ui
