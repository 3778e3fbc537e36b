// Designer mode inside the main window. Only a start with `--designer`
// shows ToolDesigner; it puts the designer where the form is shown, with its
// own menu and tool bar, and ButtonTrybEdycji brings filling mode back with
// the definitions read again, so the page shows what the designer wrote.
#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolBar>
#include <QTreeWidget>

#include "ui/app/app_context.h"
#include "ui/app/ttools.h"
#include "ui/designer/form_designer.h"
#include "ui/forms/tfimage.h"

namespace pit::ui {

void TTools::EnableDesignerMode(const QString& dcDir, const QString& tmpDir) {
  designerDir_ = dcDir;
  designerTmp_ = tmpDir;
  ToolDesigner->setText(QStringLiteral("Tryb narzędziowy"));
  ToolDesigner->setToolTip(QStringLiteral("tryb pracy: narzędziowy lub klienta"));
  ToolDesigner->setEnabled(true);
  ToolDesigner->setVisible(true);
  connect(ToolDesigner, &QAction::triggered, this, &TTools::EnterDesignerMode, Qt::UniqueConnection);
}

void TTools::EnterDesignerMode() {
  if (!designer_) {
    designer_ = new FormDesigner(designerDir_, designerTmp_, rightArea_);
    designer_->setWindowFlags(Qt::Widget);
    designer_->SetEmbedded(true);
    rightArea_->addWidget(designer_);
    connect(designer_, &FormDesigner::leaveRequested, this, &TTools::LeaveDesignerMode);
    connect(designer_, &FormDesigner::highlightFieldsToggled, FImage, &TFImage::SetHighlightFields);
  }
  // What is being typed is kept, and no editor stays open over the page.
  FImage->CommitOpenEditor();
  beforeDesigner_ = rightArea_->currentWidget();
  const CurrentEntryState& c = ctx_.settlement.Current;
  const bool sameFolder = QDir(designerDir_) == QDir(QString::fromStdString(ctx_.defs->Dir()));
  if (sameFolder && c.IdPit > 0) designer_->OpenForm(c.IdPit, std::max(1, c.Page));
  MenuKlienta->hide();
  ToolBarKlienta->hide();
  // The tree and the page buttons show settlement pages; while the designer
  // holds the form area they would take it away from it.
  if (auto* bar = findChild<QWidget*>(QStringLiteral("CoolBar"))) bar->setEnabled(false);
  TV->setEnabled(false);
  rightArea_->setCurrentWidget(designer_);
  designer_->Surface()->setFocus();
}

void TTools::LeaveDesignerMode() {
  if (!designer_ || rightArea_->currentWidget() != designer_) return;
  MenuKlienta->show();
  ToolBarKlienta->show();
  if (auto* bar = findChild<QWidget*>(QStringLiteral("CoolBar"))) bar->setEnabled(true);
  TV->setEnabled(true);
  rightArea_->setCurrentWidget(beforeDesigner_ ? beforeDesigner_ : formArea_);
  // The definitions may have changed: the field lists are read again.
  const CurrentEntryState& c = ctx_.settlement.Current;
  const int idPit = c.IdPit, page = c.Page;
  const bool formShown = beforeDesigner_ == formArea_ && idPit > 0 && page > 0;
  if (formShown) FImage->CloseForm();
  ctx_.defs->Reload();
  if (formShown) ShowPage(idPit, page, true);
}

}  // namespace pit::ui
