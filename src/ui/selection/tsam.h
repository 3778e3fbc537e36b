#pragma once
// The manual selection screen: the kind of settlement, the tax identifiers
// of the persons and the tree of forms with its tick rules. The logic lives
// in pit::ManualSelection; this window draws its state, passes the user's
// clicks to it and asks the questions and shows the messages it returns.
#include <QDialog>
#include <functional>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include "selection/manual_selection.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTextBrowser;
class QToolButton;

namespace pit::ui {

struct AppContext;

// What the main window does after the screen has closed.
struct SelectionOutcome {
  bool confirmed = false;  // the ticked forms became the settlement's entries
  // Left without confirming while the settlement had no forms: the main
  // window returns to its idle state (settlement cleared, welcome panels
  // shown, e-filing button disabled, open-XML button enabled).
  bool backToIdle = false;
  // A new settlement given up before its confirm: the one that was open is
  // back as it was, and the main window shows it again.
  bool keptOpen = false;
  int kind = 0;
  // After a confirm:
  int firstEntry = 0;           // entry to select and show; 0: none
  bool eFilingVisible = true;   // ToolSend and ToolCheck shown
  bool eFilingEnabled = true;   // ToolSend and ToolOpenVeltra enabled
  bool eFilingSeparatorVisible = true;  // the bar before the e-filing buttons shown
};

// The tree view STV. The check boxes show the nodes' ticks; the user changes
// them only through the selection's rules: a click on a box, a double click
// on a node, or Space on the current node asks for the node to be toggled.
class SelectionTreeView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit SelectionTreeView(QWidget* parent);
  // Node number of an item; 0 for none.
  static int NodeOf(const QTreeWidgetItem* item);
  QTreeWidgetItem* ItemOf(int node) const;
  // The check box of an item, in viewport coordinates.
  QRect CheckRect(QTreeWidgetItem* item) const;

 signals:
  void nodeClicked(int node);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

class TSam : public QDialog {
  Q_OBJECT

 public:
  // `openHelp` opens the help window at the NIP-or-PESEL page; without it
  // the help picture is not shown.
  explicit TSam(AppContext& ctx, std::function<void()> openHelp = {}, QWidget* parent = nullptr);

  // --- the paths that open the screen --------------------------------------
  // A new settlement of `kind`: 0 from the method window's manual choice,
  // 3 and 4 from the start window's payer and registration tiles. The
  // settlement must already be emptied (ManualSelection::StartNew).
  void PrepareNew(int kind);
  // The open settlement: its forms ticked, to add or remove forms, or with
  // `identifiersOnly` cut down to the identifier step.
  void PrepareReopen(bool identifiersOnly);

  ManualSelection& Selection() { return sel_; }
  const SelectionOutcome& Outcome() const { return outcome_; }

  // --- controls ----------------------------------------------------------------
  QWidget* PRodzRozl = nullptr;  // the panel of the kind group
  QGroupBox* RodzRozl = nullptr;
  QRadioButton* RodzRozlItems[3] = {};
  QGroupBox* GIdPodatkowy = nullptr;
  QGroupBox* RGPodatnika = nullptr;
  QRadioButton* RGPodatnikaItems[2] = {};  // NIP, PESEL
  QGroupBox* RGMalzonka = nullptr;
  QRadioButton* RGMalzonkaItems[2] = {};
  QCheckBox* CBMalzonek = nullptr;
  QWidget* PDruki = nullptr;
  QCheckBox* sCBPitO = nullptr;
  QCheckBox* sCBPitD = nullptr;
  QCheckBox* sCBPit2K = nullptr;
  QCheckBox* sCBPitUZ = nullptr;
  QToolButton* INipCzyPesel = nullptr;
  QGroupBox* GBDf = nullptr;
  SelectionTreeView* STV = nullptr;
  QFrame* PKomunikat = nullptr;
  QPushButton* WylaczKomunikat = nullptr;
  QPushButton* Zatwierdzam = nullptr;
  QPushButton* Rezygnuje = nullptr;
  QTextBrowser* WBPomoc = nullptr;

 public slots:
  void RodzRozlClick(int index);
  void STVClick(int node);
  void RGPodatnikaClick(int index);
  void RGMalzonkaClick(int index);
  void CBMalzonekMouseUp(bool checked);
  void sCBPitOMouseUp();
  void WylaczKomunikatClick();
  void INipCzyPeselClick();
  void ZatwierdzamClick();
  void RezygnujeClick();
  // Closing without the buttons (Esc) leaves as the cancel button does.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* e) override;

 private:
  void BuildControls();
  void SetCaptions(int kind);
  // Which parts of the identifier step the kind shows (Part of FormShow).
  void LayOutIdentifiers(int kind);
  // The screen's size for a path, on a small screen narrower, the help pane
  // giving up its width first so that the steps keep theirs.
  void FitSize(QSize design);
  // The controls from the selection's state, without raising their events.
  void SyncIdentifiers();
  void SyncTicks();
  void SyncButtons();
  void DisplayTree();
  void LoadKindHelp(int kind);
  void PlaceSpouseBox();
  void Leave(bool cancelButton);

  AppContext& ctx_;
  ManualSelection sel_;
  std::function<void()> openHelp_;
  SelectionOutcome outcome_;
  QButtonGroup* kindButtons_ = nullptr;
  QButtonGroup* taxpayerButtons_ = nullptr;
  QButtonGroup* spouseButtons_ = nullptr;
  bool identifiersOnly_ = false;
  bool reopening_ = false;
  bool left_ = false;  // confirmed or cancelled; the outcome is final
};

}  // namespace pit::ui
