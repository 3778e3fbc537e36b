#pragma once
// "Właściwości obiektu": the property palette of designer mode. It edits a
// copy of one field; "zastosuj" (Enter) hands the copy back to be written,
// "anuluj" (Esc) drops it. The font size is the one setting written at once.
#include <QDialog>
#include <array>

#include "forms/field_object.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace pit::ui {

class TFPaleta : public QDialog {
  Q_OBJECT

 public:
  explicit TFPaleta(QWidget* parent = nullptr);
  // Fills the controls from field `index` and shows the palette on the tab
  // last shown.
  void Edit(int index, const FieldObject& f);
  // Every control into the field; false (with a message) when a text does
  // not fit its place in the record.
  bool Collect(FieldObject& f, QString* error) const;
  QTabWidget* Tabs() const { return tabs_; }
  int Index() const { return index_; }

 signals:
  void applied(int index, const pit::FieldObject& f);
  void fontSizeChanged(int index, const QString& size);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void Apply();
  void Cancel();
  void ShowTypePanels();
  void ShowRounding();
  // The window takes the size of the panel shown; "Oblicz" has none and
  // leaves it as it was.
  void FitToTab(int tab);

  QTabWidget* tabs_ = nullptr;
  FieldObject field_;
  int index_ = -1;
  bool loading_ = false;

  // Ogólne
  QLineEdit *XML_ = nullptr, *Nazwa_ = nullptr, *Pomoc_ = nullptr;
  QComboBox* StanPola_ = nullptr;
  QCheckBox *ReadOlny_ = nullptr, *MustBe_ = nullptr, *Block_ = nullptr;
  QSpinBox *PozPrzeg_ = nullptr, *DrukPoz_ = nullptr, *DrukPage_ = nullptr;
  // Wygląd
  QString border_, fill_, text_;
  QComboBox* RozmiarCzcionki_ = nullptr;
  // Opcje
  QGroupBox *alignPanel_ = nullptr, *limitPanel_ = nullptr, *multiPanel_ = nullptr, *numberPanel_ = nullptr,
            *nipPanel_ = nullptr, *datePanel_ = nullptr, *tickPanel_ = nullptr, *selectPanel_ = nullptr,
            *linePanel_ = nullptr, *roundingPanel_ = nullptr;
  QComboBox* TextAlign_ = nullptr;
  QLineEdit* DefValue_ = nullptr;
  QCheckBox* MaxChar_ = nullptr;
  QSpinBox* CharLimit_ = nullptr;
  QCheckBox* Multiline_ = nullptr;
  QRadioButton *LiczbaCalkowita_ = nullptr, *LiczbaDziesietna_ = nullptr, *ZaokrZloty_ = nullptr,
               *ZaokrGroszy_ = nullptr, *BezZaokr_ = nullptr;
  QCheckBox* PlusValue_ = nullptr;
  QRadioButton *NipFizyczna_ = nullptr, *NipPrawna_ = nullptr;
  QCheckBox* BiezacaData_ = nullptr;
  QCheckBox* CheckBoxChecked_ = nullptr;
  QLineEdit* ChecBoxValue_ = nullptr;
  QSpinBox* ECBRozmiar_ = nullptr;
  QListWidget* EListBox_ = nullptr;
  QLineEdit *SelectText_ = nullptr, *SelectValue_ = nullptr;
  std::array<SelectItem, 10> items_{};
  QCheckBox* CheckBoxPodkreslenie_ = nullptr;
};

}  // namespace pit::ui
