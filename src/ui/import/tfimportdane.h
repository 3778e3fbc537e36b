#pragma once
// The window "Pobierz dane identyfikacyjne": a settlement file of 2013 is
// read, its persons and payer shown, taxpayer and spouse may be swapped, and
// "importuj" writes the chosen persons into the settlement's identification
// records and from there into every form. The rules live in pit::DataImport;
// closing the window without "importuj" changes nothing.
#include <QDialog>
#include <functional>

#include "import/data_import.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QToolButton;

namespace pit::ui {

struct AppContext;

class TFImportDane : public QDialog {
  Q_OBJECT

 public:
  explicit TFImportDane(AppContext& ctx, QWidget* parent = nullptr);

  // Asks for the file; by default the open-file dialog. Empty: cancelled.
  std::function<QString()> askFileName;
  // "zmień identyfikator": the selection screen over the open settlement;
  // true when the user confirmed it there.
  std::function<bool()> changeIdentifiers;
  // After "importuj" wrote the forms: the main window marks the settlement
  // modified and redraws the page on screen.
  std::function<void()> imported;

  const DataImport& Import() const { return import_; }

  // One person's shown items (taxpayer left, spouse right).
  struct PersonView {
    QGroupBox* group = nullptr;
    QLabel* idLabel = nullptr;
    QLabel* idValue = nullptr;
    QLabel* office = nullptr;
    QLabel* name = nullptr;
    QLabel* birthDate = nullptr;
    QLabel* street = nullptr;
    QLabel* locality = nullptr;
    QLabel* voivodeship = nullptr;
    QLabel* county = nullptr;
    QLabel* commune = nullptr;
    QLabel* postOffice = nullptr;
    QLabel* country = nullptr;
  };

  // --- controls ------------------------------------------------------------------
  QLineEdit* EPathImport = nullptr;
  QPushButton* BPathReadDane = nullptr;
  QStackedWidget* PageControl = nullptr;
  QWidget* TSInformacja = nullptr;
  QWidget* TSDane = nullptr;
  QPushButton* SBWskazRozliczenie = nullptr;
  PersonView Podatnik;
  PersonView Malzonek;
  QToolButton* SBPZmienIdentyfikator = nullptr;
  QToolButton* SBMZmienIdentyfikator = nullptr;
  QCheckBox* CBDanePodatnika = nullptr;
  QCheckBox* CBDaneMalzonka = nullptr;
  QTabWidget* PRight = nullptr;
  QWidget* TSMalzonek = nullptr;
  QWidget* TSPlatnik = nullptr;
  QLabel* PlatnikIdLabel = nullptr;
  QLabel* PlatnikNip = nullptr;
  QLabel* PlatnikNazwa = nullptr;
  QLabel* PlatnikOsoba = nullptr;
  QCheckBox* CBDanePlatnika = nullptr;
  QToolButton* SBPdoM = nullptr;
  QToolButton* SBMdoP = nullptr;
  QPushButton* BImportuj = nullptr;
  QPushButton* BZamknij = nullptr;

 public slots:
  void BPathReadDaneClick();
  void SBPdoMClick();
  void SBMdoPClick();
  void SBZmienIdentyfikatorClick();
  void BImportujClick();
  void BZamknijClick();
  void CheckBoxClick();

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void BuildControls();
  QWidget* BuildPerson(PersonView& v, const QString& caption, QToolButton*& change, QCheckBox*& box,
                       const QString& boxText);
  void EmptyShown();
  void ShowPersons();
  void ShowPerson(PersonView& v, const ImportBlock& b, bool spouse);
  void ShowMismatch();
  void SwapPersons();

  AppContext& ctx_;
  DataImport import_;
};

}  // namespace pit::ui
