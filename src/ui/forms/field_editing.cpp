#include "ui/forms/field_editing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <algorithm>

#include "forms/values.h"
#include "page_painter.h"
#include "ui/app/app_context.h"
#include "ui/app/app_texts.h"
#include "ui/forms/field_editors.h"
#include "ui/forms/form_rules.h"
#include "ui/forms/opp_panels.h"
#include "ui/forms/page_view.h"
#include "ui/forms/pick_panels.h"

namespace pit::ui {
namespace {

constexpr int kLeftOffset = 1;  // the page lies one pixel from the window's left edge

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

FieldEditing::FieldEditing(AppContext& ctx, PageView& view, QWidget* window)
    : QObject(window),
      ctx_(ctx),
      view_(view),
      window_(window),
      surface_(view.Surface()),
      fields_(ctx.Session().ShownFields()) {
  PListaUS = new TaxOfficePanel(ctx_.offices, surface_);
  PListaKR = new CountryPanel(ctx_.countries, surface_);
  PListaOPP = new OrganisationPicker(surface_);
  POPP = new DonationPanel(surface_);
  tickPanel_ = new TickPanel(surface_);
  tickPanel_->hide();
  connect(tickPanel_, &TickPanel::keyPressed, this,
          [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyPress(e, true); });
  connect(tickPanel_, &TickPanel::keyReleased, this,
          [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyRelease(e); });
  connect(tickPanel_, &TickPanel::clicked, this, &FieldEditing::TickPanelClicked);
  for (PickPanel* panel : {static_cast<PickPanel*>(PListaUS), static_cast<PickPanel*>(PListaKR)}) {
    connect(panel, &PickPanel::chosen, this, &FieldEditing::PickChosen);
    connect(panel, &PickPanel::cancelled, this, &FieldEditing::PickCancelled);
  }
  connect(PListaOPP, &OrganisationPicker::committed, this, &FieldEditing::PickChosen);
  connect(PListaOPP, &OrganisationPicker::cancelled, this, &FieldEditing::PickCancelled);
  connect(POPP, &DonationPanel::accepted, this, &FieldEditing::DonationAccepted);
  connect(POPP, &DonationPanel::declined, this, &FieldEditing::DonationDeclined);
}

FieldEditing::~FieldEditing() = default;

FormEntry* FieldEditing::Entry() const {
  const Settlement& s = ctx_.settlement;
  const int n = s.Current.Number;
  return s.Has(n) ? &ctx_.settlement.Entry(n) : nullptr;
}

const ValueSlot* FieldEditing::Slot(int k) const {
  FormEntry* e = Entry();
  if (e == nullptr || k < 0 || k >= kSlotCount) return nullptr;
  return &e->Slot(k);
}

void FieldEditing::RunEntryCalculation(int clicked) {
  if (Entry() == nullptr) return;
  ctx_.Session().Calculate(ctx_.settlement.Current.Number, -1, clicked);
}

QLabel* FieldEditing::DonationLabel() const { return POPP->Amount(); }

void FieldEditing::PageChanging() {
  CloseAllEditors();
  edited_ = -1;
  fieldLeft_ = -1;
}

QWidget* FieldEditing::OpenEditor() const {
  switch (editor_) {
    case Editor::Text: return textBox_;
    case Editor::Masked: return maskedBox_;
    case Editor::Tick: return tickPanel_;
    case Editor::Office: return PListaUS;
    case Editor::Country: return PListaKR;
    case Editor::Picker: return PListaOPP;
    default: return nullptr;
  }
}

// --- mouse -------------------------------------------------------------------

void FieldEditing::MouseMoved(const QPoint& pos) {
  if (!view_.PictureLoaded() || fields_.empty()) return;
  overField_ = false;
  underMouse_ = -1;
  surface_->setCursor(Qt::CrossCursor);
  QString hint;
  const int page = ctx_.settlement.Current.Page;
  for (int k = 0; k < FieldCount(); ++k) {
    const FieldObject& d = fields_[static_cast<std::size_t>(k)];
    if (d.Page != page || pos.x() < d.Left || pos.x() > d.Right || pos.y() < d.Top || pos.y() > d.Bottom) continue;
    overField_ = true;
    underMouse_ = k;
    surface_->setCursor(d.Visible && !d.ReadOnly ? Qt::PointingHandCursor : Qt::CrossCursor);
    hint = Q(d.Hint);
  }
  ctx_.settlement.Current.FieldUnderMouse = underMouse_;
  surface_->setToolTip(hint);
}

void FieldEditing::Clicked() {
  if (overField_) {
    clickInProgress_ = true;
    if (edited_ < 0) {
      RunEntryCalculation(underMouse_);
    } else {
      CommitEdited();
      edited_ = -1;
      CloseAllEditors();
      emit redrawNeeded();
    }
    edited_ = underMouse_;
    if (IsField(edited_) && !fields_[static_cast<std::size_t>(edited_)].ReadOnly) OpenEditor(edited_);
    clickInProgress_ = false;
  } else if (edited_ >= 0) {
    CommitOpenEditor();
    emit redrawNeeded();
  }
}

void FieldEditing::CommitOpenEditor() {
  if (edited_ < 0) return;
  CommitEdited();
  edited_ = -1;
  CloseAllEditors();
}

int FieldEditing::FieldUnder(int k) const {
  if (!IsField(k)) return -1;
  const int idPit = ctx_.settlement.Current.IdPit;
  if (!render::IsNeverDrawn(idPit, k)) return -1;
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  for (int j = 0; j < FieldCount(); ++j) {
    const FieldObject& u = fields_[static_cast<std::size_t>(j)];
    if (j == k || u.Page != d.Page || !u.Visible || render::IsNeverDrawn(idPit, j)) continue;
    if (u.Left == d.Left && u.Top == d.Top && u.Right == d.Right && u.Bottom == d.Bottom) return j;
  }
  return -1;
}

QRect FieldEditing::EditorRect(int k) const { return view_.EditorRect(fields_[static_cast<std::size_t>(k)]); }

void FieldEditing::PlaceOpenEditor() {
  if (!IsField(openedFor_)) return;
  const FieldObject& d = fields_[static_cast<std::size_t>(openedFor_)];
  switch (editor_) {
    case Editor::Text:
      if (textBox_ != nullptr) {
        textBox_->setGeometry(EditorRect(openedFor_));
        textBox_->Rezoom(view_.Zoom());
      }
      if (POPP->isVisible()) POPP->move(DonationPanelPos(d));
      break;
    case Editor::Masked:
      if (maskedBox_ != nullptr) {
        maskedBox_->setGeometry(EditorRect(openedFor_));
        maskedBox_->Rezoom(view_.Zoom());
      }
      break;
    case Editor::Tick:
      tickPanel_->setGeometry(view_.SurfaceRect(QRect(d.Left + 1, d.Top, d.Right - d.Left, d.Bottom - d.Top)));
      tickPanel_->SetZoom(view_.Zoom());
      break;
    case Editor::Office:
      if (PListaUS->isVisible()) PListaUS->PlaceAt(view_.SurfacePoint(QPoint(d.Left + 2, d.Bottom)));
      break;
    case Editor::Country:
      if (PListaKR->isVisible()) PListaKR->PlaceAt(view_.SurfacePoint(QPoint(d.Left + 2, d.Bottom)));
      break;
    case Editor::Picker:
      if (PListaOPP->isVisible()) PListaOPP->MoveTo(view_.SurfacePoint(QPoint(d.Left + 1, std::max(0, d.Top - 1))));
      break;
    case Editor::ValueOver:
      if (valueOver_ != nullptr)
        valueOver_->setGeometry(view_.SurfaceRect(QRect(d.Left + kLeftOffset, d.Top, std::max(1, d.Right - d.Left), std::max(1, d.Bottom - d.Top))));
      break;
    default:
      break;
  }
}

// --- editors -----------------------------------------------------------------

void FieldEditing::HidePickPanels() {
  PListaOPP->Dismiss();
  PListaKR->hide();
  PListaUS->hide();
  POPP->hide();
}

void FieldEditing::CloseAllEditors() {
  const bool hadFocus = OpenEditor() != nullptr && OpenEditor()->isAncestorOf(QApplication::focusWidget());
  if (textBox_ != nullptr) {
    textBox_->hide();
    textBox_->deleteLater();
    textBox_ = nullptr;
  }
  if (maskedBox_ != nullptr) {
    maskedBox_->hide();
    maskedBox_->deleteLater();
    maskedBox_ = nullptr;
  }
  if (valueOver_ != nullptr) {
    valueOver_->hide();
    valueOver_->deleteLater();
    valueOver_ = nullptr;
  }
  tickPanel_->hide();
  HidePickPanels();
  editor_ = Editor::None;
  openedFor_ = -1;
  opensOverShown_ = false;
  shownAtOpen_.clear();
  enterPressed_ = tabPressed_ = false;
  if (hadFocus || QApplication::focusWidget() == nullptr) surface_->setFocus();
}

void FieldEditing::OpenEditor(int k) {
  HidePickPanels();
  if (!IsField(k) || Slot(k) == nullptr) return;
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  if (!d.Visible) return;
  view_.ShowSideways(d);
  switch (d.Typ) {
    case kTekst:
    case kLiczba:
      ShowEntryHint(k);
      OpenTextBox(k);
      break;
    case kNip:
    case kData:
      OpenMaskedBox(k);
      break;
    case kSelect:
      OpenOrganisationPicker(k);
      break;
    case kCheckbox:
      OpenTickPanel(k);
      break;
    case kKreska:
      break;
    case kUrzadSkarbowy:
      OpenTaxOfficePanel(k);
      break;
    case kKraj:
      OpenCountryPanel(k);
      break;
    case kJedenProcent:
      OpenDonationFlow(k);
      break;
    default:
      WriteValueOver(k);
      break;
  }
}

void FieldEditing::ShowEntryHint(int k) {
  const std::string hint = EntryHint(ctx_.settlement.Current.IdPit, k, Slot(k)->Value);
  if (!hint.empty()) Message(hint);
}

void FieldEditing::OpenTextBox(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  if (textBox_ != nullptr) {
    textBox_->hide();
    textBox_->deleteLater();
  }
  textBox_ = new TextBox(d, view_.Zoom(), surface_);
  TakeEditorKeys(textBox_);
  textBox_->setGeometry(EditorRect(k));
  textBox_->show();
  textBox_->raise();
  // An amount typed in place of a computed one: the box lies over the
  // computed field and starts from what that field shows (the typed amount
  // itself when there is one), never from an empty 0,00.
  const int under = FieldUnder(k);
  opensOverShown_ = under >= 0 && Slot(under) != nullptr;
  shownAtOpen_ = opensOverShown_ ? Slot(under)->Value : std::string();
  textBox_->Start(Q(opensOverShown_ ? shownAtOpen_ : Slot(k)->Value));
  textBox_->setFocus();
  editor_ = Editor::Text;
  openedFor_ = k;
}

template <typename Box>
void FieldEditing::TakeEditorKeys(Box* box) {
  connect(box, &Box::keyPressed, this, [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyPress(e, false); });
  connect(box, &Box::keyReleased, this, [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyRelease(e); });
}

void FieldEditing::OpenMaskedBox(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  const std::string& value = Slot(k)->Value;
  QString pattern;
  std::string masked;
  if (d.Typ == kNip) {
    pattern = d.Option == 1 ? QStringLiteral("999-999-99-99") : QStringLiteral("999-99-99-999");
    masked = MaskNip(value, d.Option);
  } else {
    pattern = QStringLiteral("99-99-9999");
    masked = MaskDate(value);
  }
  if (maskedBox_ != nullptr) {
    maskedBox_->hide();
    maskedBox_->deleteLater();
  }
  maskedBox_ = new MaskedBox(pattern, view_.Zoom(), surface_);
  TakeEditorKeys(maskedBox_);
  maskedBox_->setGeometry(EditorRect(k));
  maskedBox_->SetMasked(Q(masked));
  maskedBox_->show();
  maskedBox_->raise();
  maskedBox_->setFocus();
  maskedBox_->selectAll();
  editor_ = Editor::Masked;
  openedFor_ = k;
}

void FieldEditing::OpenTickPanel(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  const bool ticked = Slot(k)->CheckState;
  // A click shows the new state at once; the keyboard shows the present one.
  tickPanel_->SetCaption(clickInProgress_ ? !ticked : ticked);
  emit redrawNeeded();
  tickPanel_->setGeometry(view_.SurfaceRect(QRect(d.Left + 1, d.Top, d.Right - d.Left, d.Bottom - d.Top)));
  tickPanel_->SetZoom(view_.Zoom());
  tickPanel_->show();
  tickPanel_->raise();
  tickPanel_->Input()->setFocus();
  editor_ = Editor::Tick;
  openedFor_ = k;
}

void FieldEditing::OpenTaxOfficePanel(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  editor_ = Editor::Office;
  openedFor_ = k;
  const QPoint at = view_.SurfacePoint(QPoint(d.Left + 2, d.Bottom));
  PListaUS->Open(Slot(k)->OfficeCode, at.x(), at.y());
}

void FieldEditing::OpenCountryPanel(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  rememberedCountry_ = Slot(k)->Value;
  editor_ = Editor::Country;
  openedFor_ = k;
  const QPoint at = view_.SurfacePoint(QPoint(d.Left + 2, d.Bottom));
  PListaKR->Open(rememberedCountry_, d.MustBe, at.x(), at.y());
}

void FieldEditing::OpenOrganisationPicker(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  view_.ScrollTo(view_.SurfaceY(d.Top) - 10);
  editor_ = Editor::Picker;
  openedFor_ = k;
  const QPoint at = view_.SurfacePoint(QPoint(d.Left + 1, std::max(0, d.Top - 1)));
  PListaOPP->Open(Slot(k)->Value, at.x(), at.y());
}

// The question stands above the amount's field and its printed label
// ("132. Wnioskowana kwota"), which it must not cover.
QPoint FieldEditing::DonationPanelPos(const FieldObject& d) const {
  constexpr int kLabelRoom = 22;  // page pixels between a box and the top of its cell
  return QPoint(view_.SurfacePoint(QPoint(200, 0)).x(), std::max(0, view_.SurfaceY(d.Top - kLabelRoom) - POPP->height() - 4));
}

void FieldEditing::OpenDonationFlow(int k) {
  const int krs = KrsFieldOf(ctx_.settlement.Current.IdPit);
  if (krs < 0 || Slot(krs) == nullptr || Slot(krs)->Value.empty()) return;
  if (POPP->Amount()->text() == QLatin1String("0,00")) return;
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  POPP->move(DonationPanelPos(d));
  view_.ScrollTo(POPP->y() - 10);
  POPP->show();
  POPP->raise();
  OpenTextBox(k);
}

void FieldEditing::WriteValueOver(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  valueOver_ = new QLabel(Q(d.Value), surface_);
  valueOver_->setGeometry(
      view_.SurfaceRect(QRect(d.Left + kLeftOffset, d.Top, std::max(1, d.Right - d.Left), std::max(1, d.Bottom - d.Top))));
  valueOver_->show();
  editor_ = Editor::ValueOver;
  openedFor_ = k;
}

// --- commit and moving on ----------------------------------------------------

void FieldEditing::CommitEdited() {
  const int k = edited_;
  // Only an editor that was opened has anything to commit: a read-only or
  // hidden field the user merely clicked keeps its value, and a list left
  // with another row selected changes nothing behind the user's back.
  const int clicked = clickInProgress_ ? underMouse_ : -1;
  if (!IsField(k) || openedFor_ != k || editor_ == Editor::ValueOver || Slot(k) == nullptr) {
    RunEntryCalculation(clicked);
    return;
  }
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  FieldInput input;
  switch (d.Typ) {
    case kTekst:
    case kLiczba:
    case kJedenProcent:
      if (textBox_ != nullptr) {
        const std::string text = textBox_->text().toStdString();
        // The computed amount passed through unchanged is not an amount
        // typed in its place: the field keeps following the calculation.
        const auto typed = AmountValue(text), shown = AmountValue(shownAtOpen_);
        const bool unchanged = opensOverShown_ && (text == shownAtOpen_ || (typed && shown && *typed == *shown));
        if (!unchanged) input = FieldInput::Typed(text);
      }
      break;
    case kNip:
    case kData:
      if (maskedBox_ != nullptr) input = FieldInput::Typed(maskedBox_->Masked().toStdString());
      break;
    case kSelect:
      input = FieldInput::Typed(PListaOPP->KrsText().toStdString());
      break;
    case kCheckbox:
      if (editor_ == Editor::Tick) input = FieldInput::Ticked(tickPanel_->Ticked());
      break;
    case kUrzadSkarbowy: {
      const int row = PListaUS->SelectedRow();
      std::optional<OfficeChoice> office;
      if (row >= 1) office = OfficeChoice{PListaUS->RowCode(row), PListaUS->RowName(row)};
      input = FieldInput::TaxOffice(std::move(office));
      break;
    }
    case kKraj: {
      const int row = PListaKR->SelectedRow();
      std::optional<std::string> chosen;
      if (row >= 1) chosen = PListaKR->RowName(row);
      input = FieldInput::Country(std::move(chosen), PListaKR->SearchText().toStdString());
      break;
    }
    default:
      break;
  }
  input.clickedField = clicked;
  // The rules of the field's type, the document modified, the calculation.
  const CommitOutcome r = ctx_.Session().Commit(ctx_.settlement.Current.Number, k, input);
  if (!r.accepted && !r.message.empty()) Message(r.message, true);
  // Passing through a field without changing it is no edit.
  if (r.changed) emit modified();
}

void FieldEditing::NextField() { MoveOn(false); }

void FieldEditing::MoveOn(bool backward) {
  fieldLeft_ = edited_;
  edited_ = -1;
  CloseAllEditors();
  emit redrawNeeded();
  if (!IsField(fieldLeft_)) {
    fieldLeft_ = -1;
    return;
  }
  const int next = backward ? PreviousFieldIndex(fields_, fieldLeft_) : NextFieldIndex(fields_, fieldLeft_);
  const int page = ctx_.settlement.Current.Page;
  const int nextPage = fields_[static_cast<std::size_t>(next)].Page;
  if (backward ? nextPage < page : nextPage > page) {
    const std::string code =
        FormCatalogue::IsValid(ctx_.settlement.Current.IdPit) ? ctx_.settlement.Catalogue()[ctx_.settlement.Current.IdPit].Code : "";
    // The Enter that answers is released into the editor opened below, which
    // did not see its press: it does not move on again.
    const bool yes = AskYesNo("Pytanie", PageQuestion(nextPage, code));
    if (yes) {
      const int left = fieldLeft_;
      emit pageRequested(nextPage);
      fieldLeft_ = left;
      edited_ = next;
    } else {
      edited_ = fieldLeft_;
    }
  } else if (nextPage != page) {
    // The tab order never leads back a page; stay on the field.
    edited_ = fieldLeft_;
  } else {
    edited_ = next;
  }
  if (surface_->isVisible()) OpenEditor(edited_);
  fieldLeft_ = -1;
}

void FieldEditing::SendEnter() {
  const bool tick = editor_ == Editor::Tick;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  EditorKeyPress(&press, tick);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  EditorKeyRelease(&release);
}

bool FieldEditing::EditorKeyPress(QKeyEvent* e, bool tickPanel) {
  const int key = e->key();
  if (IsEnter(key)) {
    enterPressed_ = true;
    if (!tickPanel) {
      overField_ = false;
      if (edited_ >= 0) CommitEdited();
    }
    return true;
  }
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {  // moves on at its release
    tabPressed_ = true;
    backtabPressed_ = key == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
    return true;
  }
  if (key == Qt::Key_Escape && !tickPanel) {
    RevertEditor();
    return true;
  }
  if (key == Qt::Key_Space && tickPanel) {
    if (edited_ >= 0) {
      tickPanel_->Toggle();
      CommitEdited();
      emit redrawNeeded();
    }
    return true;
  }
  return false;
}

bool FieldEditing::EditorKeyRelease(QKeyEvent* e) {
  const int key = e->key();
  if (e->isAutoRepeat()) return false;
  if (IsEnter(key)) {
    const bool pressedHere = enterPressed_;
    enterPressed_ = false;
    if (edited_ >= 0 && pressedHere) NextField();
    return true;
  }
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    const bool pressedHere = tabPressed_;
    tabPressed_ = false;
    if (!pressedHere) return true;
    if (!backtabPressed_) {
      SendEnter();
      return true;
    }
    // Shift+Tab commits as Enter does, then goes back; a refused value
    // (its message cleared the press) keeps the field.
    const bool tick = editor_ == Editor::Tick;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EditorKeyPress(&press, tick);
    const bool kept = enterPressed_;
    enterPressed_ = false;
    if (kept && edited_ >= 0) MoveOn(true);
    return true;
  }
  return false;
}

void FieldEditing::RevertEditor() {
  if (!IsField(edited_) || openedFor_ != edited_ || Slot(edited_) == nullptr) return;
  const FieldObject& d = fields_[static_cast<std::size_t>(edited_)];
  if (editor_ == Editor::Text && textBox_ != nullptr) {
    textBox_->Start(Q(Slot(edited_)->Value));
  } else if (editor_ == Editor::Masked && maskedBox_ != nullptr) {
    const std::string& value = Slot(edited_)->Value;
    maskedBox_->SetMasked(Q(d.Typ == kNip ? MaskNip(value, d.Option) : MaskDate(value)));
    maskedBox_->selectAll();
  }
}

void FieldEditing::TickPanelClicked() {
  if (edited_ < 0) return;
  tickPanel_->Toggle();
  CommitEdited();
  emit redrawNeeded();
  tickPanel_->Input()->setFocus();
}

void FieldEditing::PickChosen(bool backward) {
  if (edited_ < 0) return;
  CommitEdited();
  MoveOn(backward);
}

void FieldEditing::PickCancelled() {
  if (editor_ == Editor::Country) PListaKR->Cancel(rememberedCountry_);
  // Cancelling ends the edit: a later click elsewhere must not commit the
  // row the user walked away from.
  edited_ = -1;
  editor_ = Editor::None;
  openedFor_ = -1;
  surface_->setFocus();
}

void FieldEditing::DonationDeclined() {
  POPP->hide();
  // The part is typed into the field the panel stood over.
  if (textBox_ != nullptr && editor_ == Editor::Text) {
    textBox_->setFocus();
    textBox_->selectAll();
  }
}

void FieldEditing::DonationAccepted() {
  if (edited_ >= 0) {
    if (textBox_ != nullptr) textBox_->setText(POPP->Amount()->text());
    CommitEdited();
    NextField();
  }
  POPP->hide();
}

// --- messages ----------------------------------------------------------------

void FieldEditing::Message(const std::string& text, bool warning) {
  QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, QString::fromUtf8(kApplicationTitle),
                  Q(text), QMessageBox::Ok, window_);
  box.exec();
  enterPressed_ = tabPressed_ = false;
}

bool FieldEditing::AskYesNo(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::Warning, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No, window_);
  const bool yes = box.exec() == QMessageBox::Yes;
  enterPressed_ = tabPressed_ = false;
  return yes;
}

// --- opening a field named from outside the page (the result bar's amounts) ------

void FieldEditing::OpenField(int k) {
  if (!IsField(k) || !view_.PictureLoaded()) return;
  if (edited_ >= 0 && edited_ != k) {
    CommitOpenEditor();
    emit redrawNeeded();
  }
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  view_.BringIntoView(d);
  edited_ = k;
  if (!d.ReadOnly) OpenEditor(k);
}

// --- "Cofnij" and "Ponów": the typing not yet committed, and showing values
// that the history put back ------------------------------------------------------

bool FieldEditing::EditorHoldsTyping() const {
  const int k = edited_;
  if (!IsField(k) || openedFor_ != k || Slot(k) == nullptr) return false;
  const std::string& stored = Slot(k)->Value;
  if (editor_ == Editor::Text && textBox_ != nullptr) return textBox_->text().toStdString() != stored;
  if (editor_ == Editor::Masked && maskedBox_ != nullptr) {
    const FieldObject& d = fields_[static_cast<std::size_t>(k)];
    const std::string masked = d.Typ == kNip ? MaskNip(stored, d.Option) : MaskDate(stored);
    return maskedBox_->Masked().toStdString() != masked;
  }
  return false;
}

void FieldEditing::ShowRestoredValue() {
  const int k = edited_;
  if (!IsField(k) || openedFor_ != k || Slot(k) == nullptr) return;
  switch (editor_) {
    case Editor::Text:
    case Editor::Masked:
      RevertEditor();
      break;
    case Editor::Tick:
      tickPanel_->SetCaption(Slot(k)->CheckState);
      break;
    case Editor::Office:
      OpenTaxOfficePanel(k);
      break;
    case Editor::Country:
      OpenCountryPanel(k);
      break;
    case Editor::Picker:
      OpenOrganisationPicker(k);
      break;
    case Editor::None:
    case Editor::ValueOver:
      break;
  }
}

}  // namespace pit::ui
