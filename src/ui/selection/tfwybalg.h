#pragma once
// The method window of taxpayers: the forms chosen by the question-and-answer
// wizard or by hand, with the method help page beside the choice.
#include <QDialog>

#include "ui/selection/selection_widgets.h"

class QPushButton;
class QTextBrowser;

namespace pit::ui {

class TFWybAlg : public QDialog {
  Q_OBJECT

 public:
  explicit TFWybAlg(const QString& helpFolder, QWidget* parent = nullptr);

  // True once the user chose to pick the forms by hand / by the wizard (the
  // window closes); both false when it was closed without a choice.
  bool ManualChosen() const { return manual_; }
  bool WizardChosen() const { return wizard_; }

  Tile KreatorDoboru;               // with its twin IKreatorDoboru
  Tile SamodzielnyWyborFormularzy;  // with its twin ISamodzielnyWyborFormularzy
  QPushButton* BWyborSciezka = nullptr;
  QPushButton* BWyborSamodzielnie = nullptr;
  QTextBrowser* WBCase = nullptr;

 public slots:
  void BWyborSciezkaClick();
  void BWyborSamodzielnieClick();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  bool manual_ = false;
  bool wizard_ = false;
};

}  // namespace pit::ui
