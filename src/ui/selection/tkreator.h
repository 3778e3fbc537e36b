#pragma once
// The form-selection wizard: one question per form, the question page in the
// browser beside a column of answers. The walk and the entries live in
// pit::Wizard; this window draws its pages and passes the clicks on.
#include <QDialog>
#include <functional>

#include "selection/wizard.h"
#include "ui/selection/tsam.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextBrowser;
class QToolButton;

namespace pit::ui {

struct AppContext;

class TKreator : public QDialog {
  Q_OBJECT

 public:
  // `settlementChanged` is told after every move that may have added or
  // removed entries (the main window redraws its tree of forms);
  // `openHelp` opens the help window at the page about NIP and PESEL.
  TKreator(AppContext& ctx, std::function<void()> settlementChanged = {}, std::function<void()> openHelp = {},
           QWidget* parent = nullptr);

  Wizard& Logic() { return wizard_; }
  const SelectionOutcome& Outcome() const { return outcome_; }

  // --- the start page ----------------------------------------------------------
  QWidget* PTypAlgorytm = nullptr;
  QGroupBox* TypAlgorytm = nullptr;
  QRadioButton* TypAlgorytmItems[3] = {};
  QGroupBox* GBPytanie = nullptr;
  QRadioButton* RBTAK = nullptr;
  QRadioButton* RBNIE = nullptr;
  QWidget* PDruki = nullptr;
  QCheckBox* sCBPitO = nullptr;
  QCheckBox* sCBPitD = nullptr;
  QCheckBox* sCBPit2K = nullptr;
  QCheckBox* sCBPitUZ = nullptr;
  QGroupBox* GIdPodatkowy = nullptr;
  QGroupBox* RGPodatnika = nullptr;
  QRadioButton* RGPodatnikaItems[2] = {};
  QGroupBox* RGMalzonka = nullptr;
  QRadioButton* RGMalzonkaItems[2] = {};
  QToolButton* INipCzyPesel = nullptr;

  // --- the question pages ------------------------------------------------------
  QTextBrowser* WBPytanie = nullptr;
  QWidget* PAnswers = nullptr;  // the answer column, headed "ODPOWIEDZI"
  // One panel per group, in the order of the records: PPodatnik, PMalzonek,
  // POgolnie; each with its TAK/NIE group (Podatnik, Malzonek, Odpowiedz),
  // its label (TextP, TextM, TextO) and its boxes (PZ1.., MZ1.., OZ1..).
  QWidget* Panels[kWizardGroupCount] = {};
  QGroupBox* AnswerGroups[kWizardGroupCount] = {};
  QRadioButton* Yes[kWizardGroupCount] = {};
  QRadioButton* No[kWizardGroupCount] = {};
  QLabel* Labels[kWizardGroupCount] = {};
  QCheckBox* Boxes[kWizardGroupCount][kWizardMaxBoxes] = {};

  // --- moving --------------------------------------------------------------------
  QPushButton* Wstecz = nullptr;
  QPushButton* Dalej = nullptr;
  QPushButton* Zakoncz = nullptr;
  QPushButton* Anuluj = nullptr;
  QToolButton* SWstecz = nullptr;
  QToolButton* SDalej = nullptr;
  QProgressBar* Postep = nullptr;

 public slots:
  void TypAlgorytmClick(int index);
  void RBTAKClick();
  void RGPodatnikaClick();
  void DalejClick();
  void WsteczClick();
  void ZakonczClick();
  void AnulujClick();
  void INipCzyPeselClick();
  // Esc and closing leave as "anuluj" does.
  void reject() override;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void BuildStartPage(QWidget* parent);
  void BuildAnswerColumn(QWidget* parent);
  void AnswerClicked(int group, int answer);
  void BoxClicked(int group, int box, bool checked);
  // The controls from the wizard's state, without raising their events.
  void SyncStart();
  void ShowPage();
  void Changed();

  AppContext& ctx_;
  Wizard wizard_;
  std::function<void()> settlementChanged_;
  std::function<void()> openHelp_;
  SelectionOutcome outcome_;
  QButtonGroup* kindButtons_ = nullptr;
  QButtonGroup* spouseQuestion_ = nullptr;
  QButtonGroup* taxpayerButtons_ = nullptr;
  QButtonGroup* spouseButtons_ = nullptr;
  QButtonGroup* answerButtons_[kWizardGroupCount] = {};
  QLabel* header_ = nullptr;
  bool left_ = false;
};

// The wizard path of a new settlement, from the method window's wizard
// button: the persons' data and the settlement emptied, the wizard shown
// modally. Returns true when the user finished with forms chosen; the
// outcome then says what the main window shows, as after the manual
// selection. Cancelled: false, with `outcome->backToIdle` set.
bool RunWizard(AppContext& ctx, QWidget* parent, SelectionOutcome* outcome,
               std::function<void()> settlementChanged, std::function<void()> openHelp);

}  // namespace pit::ui
