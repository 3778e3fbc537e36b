#pragma once
// The start window: who is filing. Three tiles (taxpayers with an annual
// return, registration forms, payers) and the start help page beside them.
#include <QDialog>

#include "ui/selection/selection_widgets.h"

class QTextBrowser;

namespace pit::ui {

class TFRozpPrace : public QDialog {
  Q_OBJECT

 public:
  // What the user chose; kNone when the window was closed.
  enum Choice { kNone, kTaxpayers, kPayers, kRegistration };

  // `helpFolder`: the folder of the start-of-work help pages.
  explicit TFRozpPrace(const QString& helpFolder, QWidget* parent = nullptr);

  Choice Chosen() const { return chosen_; }

  QWidget* PTlo = nullptr;  // the background the tiles lie on
  Tile Typ1;                // taxpayers filing a return
  Tile Typ3;                // registration forms
  Tile Typ2;                // payers
  QTextBrowser* WBStart = nullptr;

 public slots:
  void Typ1Click();
  void Typ2Click();
  void Typ3Click();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void Choose(Choice c);
  Choice chosen_ = kNone;
};

}  // namespace pit::ui
