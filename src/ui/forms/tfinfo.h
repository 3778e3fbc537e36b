#pragma once
// TFInfo: why the "korekta" box cannot be ticked by hand, and how to attach
// the UPKD that ticks it. Page 0 (`TInfo1`) names both UPKD variants, page 1
// (`Tinfo2`) the paper one only.
#include <QDialog>

class QLabel;
class QStackedWidget;

namespace pit::ui {

class TFInfo : public QDialog {
  Q_OBJECT
 public:
  explicit TFInfo(QWidget* parent = nullptr);
  // Caption and page; the page with the electronic variant only when the
  // e-filing button is shown.
  void Prepare(const QString& caption, int page, bool eFilingShown);
  int Page() const;
  QStackedWidget* Pages() const { return pages_; }

 private:
  QStackedWidget* pages_;
};

}  // namespace pit::ui
