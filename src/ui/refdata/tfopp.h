#pragma once
// The information window "Wykaz OPP": where the public list of the
// organisations a taxpayer may give 1% of the tax to is published.
#include <QDialog>

class QLabel;
class QPushButton;

namespace pit::ui {

class TFOPP : public QDialog {
  Q_OBJECT

 public:
  explicit TFOPP(QWidget* parent = nullptr);

  // The ministry's public-information bulletin, and the page of the list in it.
  static QString BulletinAddress();
  static QString ListAddress();

  QLabel* L3 = nullptr;
  QPushButton* SBClose = nullptr;

 public slots:
  void L3Click();
  void SBCloseClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace pit::ui
