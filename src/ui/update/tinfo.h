#pragma once
// The About window "Informacja o programie": the program, its version and
// the switch of the update check at start-up, kept in pit2014.ini.
#include <QDialog>

class QCheckBox;
class QLabel;

namespace pit::ui {

class TInfo : public QDialog {
  Q_OBJECT

 public:
  // `configPath`: pit2014.ini; `version`: "14.0.0.N".
  TInfo(const QString& configPath, const QString& version, QWidget* parent = nullptr);

  QLabel* Wersja = nullptr;
  QCheckBox* AutoAktualzacja = nullptr;

 public slots:
  void AutoAktualzacjaClick();

 private:
  QString configPath_;
};

}  // namespace pit::ui
