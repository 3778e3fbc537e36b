#pragma once
// Editing the fields of the page shown: which field the mouse is over, the
// editor opened over a field (text box, masked box, tick panel, the pick
// lists and the donation question), Enter, Tab and Esc, the commit of what
// was typed through the session, and moving on to the next field, with the
// page question when the next one is on another page.
//
// It works on the page view's surface and the session's shown fields; what
// the form window has to do in return it is told by signals: draw the
// fields again, show another page, and that the settlement changed.
#include <QObject>
#include <QPoint>
#include <QRect>
#include <string>
#include <vector>

#include "forms/field_object.h"

class QKeyEvent;
class QLabel;
class QWidget;

namespace pit {
struct FormEntry;
struct ValueSlot;
}  // namespace pit

namespace pit::ui {

struct AppContext;
class PageView;
class TextBox;
class MaskedBox;
class TickPanel;
class TaxOfficePanel;
class CountryPanel;
class OrganisationPicker;
class DonationPanel;

class FieldEditing : public QObject {
  Q_OBJECT

 public:
  // `window` parents the message boxes.
  FieldEditing(AppContext& ctx, PageView& view, QWidget* window);
  ~FieldEditing() override;

  // --- what the form window calls ----------------------------------------------
  // The page is going away: the editor closes without a commit.
  void PageChanging();
  // A key press or release that answered something else is forgotten, so
  // that its other half does not move on.
  void ForgetKeys() { enterPressed_ = tabPressed_ = false; }
  // Commits the field being edited and closes its editor, without drawing.
  void CommitOpenEditor();
  // The editor and panels put over their field again after a zoom.
  void PlaceOpenEditor();
  // Field `k` brought into the window and opened as a click opens it.
  void OpenField(int k);
  // "Cofnij": typing not committed yet, and giving it up.
  bool EditorHoldsTyping() const;
  void RevertEditor();
  // The open editor shows the value the history put back.
  void ShowRestoredValue();
  // A message box over the window; the keys that led to it are forgotten.
  void Message(const std::string& text, bool warning = false);

  // --- the mouse over the page ---------------------------------------------------
  void MouseMoved(const QPoint& pagePos);
  void Clicked();

  // --- state -----------------------------------------------------------------------
  int FieldUnderMouse() const { return underMouse_; }
  int EditedObject() const { return edited_; }
  QWidget* OpenEditor() const;
  QLabel* DonationLabel() const;

 signals:
  // The fields are to be drawn again (a commit, a tick, an editor closed).
  void redrawNeeded();
  // The user agreed to go on to `page` of the same form; the window shows
  // it before the slot returns.
  void pageRequested(int page);
  // After every committed edit that changed the settlement.
  void modified();

 private:
  enum class Editor { None, Text, Masked, Tick, Office, Country, Picker, ValueOver };

  FormEntry* Entry() const;
  const ValueSlot* Slot(int k) const;
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  bool IsField(int k) const { return k >= 0 && k < FieldCount(); }
  // `clicked`: the field whose click started it.
  void RunEntryCalculation(int clicked = -1);
  // The drawn field that the never-drawn field k lies exactly over, -1 when
  // there is none.
  int FieldUnder(int k) const;
  QRect EditorRect(int k) const;

  void OpenEditor(int k);
  void CloseAllEditors();
  void HidePickPanels();
  void CommitEdited();
  void NextField();
  // Tab order forwards or backwards from the field being edited; a field of
  // another page is reached only after the page question.
  void MoveOn(bool backward);
  void ShowEntryHint(int k);
  void OpenTextBox(int k);
  void OpenMaskedBox(int k);
  void OpenTickPanel(int k);
  void OpenTaxOfficePanel(int k);
  void OpenCountryPanel(int k);
  void OpenOrganisationPicker(int k);
  void OpenDonationFlow(int k);
  QPoint DonationPanelPos(const FieldObject& d) const;
  void WriteValueOver(int k);
  template <typename Box>
  void TakeEditorKeys(Box* box);

  // Keys of the text box, the masked box and the tick panel's input; true
  // when they were taken.
  bool EditorKeyPress(QKeyEvent* e, bool tickPanel);
  bool EditorKeyRelease(QKeyEvent* e);
  void SendEnter();
  void TickPanelClicked();
  // "wybierz" of the office and country lists; Shift+Tab chooses and goes back.
  void PickChosen(bool backward);
  void PickCancelled();  // "anuluj" / Esc of any pick panel
  void DonationAccepted();  // "TAK, chcę"
  void DonationDeclined();  // "NIE, tylko część": the user types a part
  bool AskYesNo(const std::string& title, const std::string& text);

  AppContext& ctx_;
  PageView& view_;
  QWidget* window_;
  QWidget* surface_;
  // The open definition: the session's, so that commits and calculations
  // work on what the window draws.
  std::vector<FieldObject>& fields_;

  int underMouse_ = -1;
  bool overField_ = false;
  int edited_ = -1;
  bool clickInProgress_ = false;
  // An Enter or Tab moves on at its release only when its press came to an
  // editor too: the release of a key that answered a dialog or chose from a
  // list lands in the editor opened after it and must not move on again.
  bool enterPressed_ = false;
  bool tabPressed_ = false;
  bool backtabPressed_ = false;
  int fieldLeft_ = -1;
  std::string rememberedCountry_;

  TextBox* textBox_ = nullptr;
  MaskedBox* maskedBox_ = nullptr;
  TickPanel* tickPanel_ = nullptr;
  TaxOfficePanel* PListaUS = nullptr;
  CountryPanel* PListaKR = nullptr;
  OrganisationPicker* PListaOPP = nullptr;
  DonationPanel* POPP = nullptr;
  QLabel* valueOver_ = nullptr;  // a field of an unknown kind shows its definition's text
  Editor editor_ = Editor::None;  // what was opened for `openedFor_`
  int openedFor_ = -1;
  // A box over a computed amount in which another amount may be typed shows
  // the amount the page shows; left as it was it changes nothing.
  bool opensOverShown_ = false;
  std::string shownAtOpen_;
};

}  // namespace pit::ui
