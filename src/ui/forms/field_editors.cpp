#include "ui/forms/field_editors.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <cmath>

#include "forms/values.h"
#include "page_painter.h"

namespace pit::ui {
namespace {

constexpr int kNoLimit = 254;        // what a value slot holds
constexpr int kNoLimitRegrown = 253;  // the limit given back when a text shrinks
constexpr int kSmallestPoints = 5;
constexpr int kFitMargin = 10;

void Yellow(QWidget* w) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Base, QColor(0xFF, 0xFF, 0x00));
  pal.setColor(QPalette::Window, QColor(0xFF, 0xFF, 0x00));
  pal.setColor(QPalette::Text, Qt::black);
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

// The editors' fonts grow and shrink with the page they stand on.
QFont PointsFont(const QFont& base, int points, double zoom) {
  QFont f = base;
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(render::PointsToPixels(points) * zoom))));
  return f;
}

// The hidden input of the tick panel: it has no size, only the focus. Its
// keys are offered through the panel's signals.
class TickInput : public QLineEdit {
 public:
  explicit TickInput(TickPanel* panel) : QLineEdit(panel), panel_(panel) {}

 protected:
  bool event(QEvent* e) override {
    bool handled = false;
    if (e->type() == QEvent::KeyPress) {
      emit panel_->keyPressed(static_cast<QKeyEvent*>(e), &handled);
      if (handled) return true;
    }
    if (e->type() == QEvent::KeyRelease) {
      emit panel_->keyReleased(static_cast<QKeyEvent*>(e), &handled);
      clear();
      if (handled) return true;
    }
    return QLineEdit::event(e);
  }

 private:
  TickPanel* panel_;
};

// The keys of a box offered to its receivers first; true when one took it.
template <typename Box>
bool OfferKey(Box* box, QEvent* e) {
  bool handled = false;
  if (e->type() == QEvent::KeyPress) emit box->keyPressed(static_cast<QKeyEvent*>(e), &handled);
  if (e->type() == QEvent::KeyRelease) emit box->keyReleased(static_cast<QKeyEvent*>(e), &handled);
  return handled;
}

}  // namespace

// --- TextBox ---------------------------------------------------------------------

TextBox::TextBox(const FieldObject& def, double zoom, QWidget* parent)
    : QLineEdit(parent),
      zoom_(zoom),
      typ_(def.Typ),
      option_(def.Option),
      plusValue_(def.PlusValue),
      maxChar_(def.MaxChar),
      basePoints_(render::StartFontPoints(def)),
      points_(basePoints_) {
  setFrame(false);
  Yellow(this);
  setFont(PointsFont(QFont(QStringLiteral("Arial")), 10, zoom_));
  SetPoints(basePoints_);
  Qt::Alignment a = Qt::AlignLeft;
  if (def.TextAlign == kAlignRight) a = Qt::AlignRight;
  if (def.TextAlign == kAlignCenter) a = Qt::AlignHCenter;
  setAlignment(a | Qt::AlignVCenter);
  setMaxLength(maxChar_ > 0 ? maxChar_ : kNoLimit);
  connect(this, &QLineEdit::textEdited, this, &TextBox::OnEdited);
}

void TextBox::Rezoom(double zoom) {
  zoom_ = zoom;
  SetPoints(points_);
}

bool TextBox::IsAmountBox() const { return typ_ == kLiczba || typ_ == kJedenProcent; }

void TextBox::Start(const QString& text) {
  setText(text);
  lastLength_ = static_cast<int>(text.size());
  if (!text.isEmpty()) Fit();
  selectAll();
}

void TextBox::SetPoints(int points) {
  points_ = points;
  setFont(PointsFont(font(), points_, zoom_));
}

bool TextBox::TooWide() const {
  return QFontMetrics(font()).horizontalAdvance(text()) > width() - kFitMargin * zoom_;
}

void TextBox::Fit() {
  while (TooWide()) {
    if (points_ < kSmallestPoints) {
      // The smallest font is full: no further character fits.
      setMaxLength(std::max(1, static_cast<int>(text().size())));
      return;
    }
    SetPoints(points_ - 2);
  }
}

void TextBox::OnEdited(const QString& edited) {
  QString text = edited;
  if (text.size() < lastLength_) {
    if (points_ > basePoints_) SetPoints(basePoints_);
    if (points_ < basePoints_) {
      setMaxLength(maxChar_ > 0 ? maxChar_ : kNoLimitRegrown);
      SetPoints(points_ + 2);
    }
  }
  if (IsAmountBox()) {
    // A minus belongs in front only; a third decimal is taken off again.
    const int minus = static_cast<int>(text.indexOf(QLatin1Char('-'), 1));
    bool changed = false;
    int caret = cursorPosition();
    if (minus > 0) {
      text.remove(minus, 1);
      if (caret > minus) --caret;
      changed = true;
    }
    const int comma = static_cast<int>(text.indexOf(QLatin1Char(',')));
    if (comma >= 0 && text.size() - comma - 1 > 2) {
      text.chop(1);
      caret = static_cast<int>(text.size());
      changed = true;
    }
    if (changed) {
      setText(text);
      setCursorPosition(caret);
    }
  }
  if (!text.isEmpty()) Fit();
  lastLength_ = static_cast<int>(text.size());
}

bool TextBox::event(QEvent* e) {
  if (OfferKey(this, e)) return true;
  return QLineEdit::event(e);
}

void TextBox::keyPressEvent(QKeyEvent* e) {
  const QString typed = e->text();
  const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (!IsAmountBox() || !plain || typed.isEmpty() || e->key() == Qt::Key_Backspace ||
      e->key() == Qt::Key_Delete || e->key() == Qt::Key_Escape || !typed[0].isPrint()) {
    QLineEdit::keyPressEvent(e);
    return;
  }
  e->accept();
  if (typed.size() != 1 || typed[0].unicode() > 0x7F) return;  // refused
  const char key = static_cast<char>(typed[0].unicode());
  const std::string whole = text().toStdString();
  if (!AcceptsAmountKey(whole, key, plusValue_, option_)) return;
  std::string rest = whole;
  std::size_t caret = static_cast<std::size_t>(cursorPosition());
  if (hasSelectedText()) {
    caret = static_cast<std::size_t>(selectionStart());
    rest.erase(caret, static_cast<std::size_t>(selectedText().size()));
  }
  const auto next = ApplyAmountKey(rest, caret, key, plusValue_, option_);
  if (!next) return;
  if (maxLength() > 0 && static_cast<int>(next->Text.size()) > maxLength()) return;
  setText(QString::fromStdString(next->Text));
  setCursorPosition(static_cast<int>(next->Caret));
  OnEdited(text());
}

bool TextBox::ShowsZero() const {
  if (!IsAmountBox()) return false;
  const auto amount = AmountValue(text().toStdString());
  return amount && *amount == 0;
}

// A click into the zero an amount box opens with would leave the caret in
// front of it or among its digits, and 500 typed there would join it: 5000,00
// committed without a word. The zero stays selected, so that what is typed
// replaces it; a box holding an amount places the caret as usual.
void TextBox::mousePressEvent(QMouseEvent* e) {
  QLineEdit::mousePressEvent(e);
  if (e->button() == Qt::LeftButton && ShowsZero()) selectAll();
}

void TextBox::mouseReleaseEvent(QMouseEvent* e) {
  QLineEdit::mouseReleaseEvent(e);
  // A hand that moved while pressing may have left a caret in the zero.
  if (e->button() == Qt::LeftButton && ShowsZero() && !hasSelectedText()) selectAll();
}

// --- MaskedBox -------------------------------------------------------------------

MaskedBox::MaskedBox(const QString& pattern, double zoom, QWidget* parent)
    : QLineEdit(parent), pattern_(pattern) {
  setFrame(false);
  Yellow(this);
  Rezoom(zoom);
  masked_.fill(QLatin1Char(' '), pattern_.size());
  for (int i = 0; i < pattern_.size(); ++i)
    if (!IsDigitPos(i)) masked_[i] = pattern_[i];
  setMaxLength(static_cast<int>(pattern_.size()));
  Show(0);
}

void MaskedBox::Rezoom(double zoom) { setFont(PointsFont(QFont(QStringLiteral("Arial")), 10, zoom)); }

void MaskedBox::SetMasked(const QString& masked) {
  for (int i = 0; i < pattern_.size(); ++i) {
    if (!IsDigitPos(i)) continue;
    const QChar c = i < masked.size() ? masked[i] : QLatin1Char(' ');
    masked_[i] = c.isDigit() && c.unicode() < 0x80 ? c : QLatin1Char(' ');
  }
  Show(0);
}

void MaskedBox::Show(int caret) {
  QString shown = masked_;
  for (int i = 0; i < shown.size(); ++i)
    if (IsDigitPos(i) && shown[i] == QLatin1Char(' ')) shown[i] = QLatin1Char('_');
  setText(shown);
  setCursorPosition(std::clamp(caret, 0, static_cast<int>(masked_.size())));
}

void MaskedBox::BlankRange(int from, int to) {
  for (int i = from; i < to; ++i)
    if (IsDigitPos(i)) masked_[i] = QLatin1Char(' ');
}

void MaskedBox::TypeDigits(const QString& digits) {
  int caret = cursorPosition();
  if (hasSelectedText()) {
    caret = selectionStart();
    BlankRange(caret, caret + static_cast<int>(selectedText().size()));
  }
  for (QChar d : digits) {
    if (!d.isDigit() || d.unicode() >= 0x80) continue;
    while (caret < pattern_.size() && !IsDigitPos(caret)) ++caret;
    if (caret >= pattern_.size()) break;
    masked_[caret] = d;
    ++caret;
  }
  while (caret < pattern_.size() && !IsDigitPos(caret)) ++caret;
  Show(caret);
}

bool MaskedBox::event(QEvent* e) {
  if (OfferKey(this, e)) return true;
  return QLineEdit::event(e);
}

void MaskedBox::inputMethodEvent(QInputMethodEvent* e) {
  // Composed text is typed like keys: digits only.
  if (!e->commitString().isEmpty()) TypeDigits(e->commitString());
  e->accept();
}

void MaskedBox::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Paste)) {
    TypeDigits(QApplication::clipboard()->text());
    e->accept();
    return;
  }
  if (e->matches(QKeySequence::Cut)) {
    copy();
    const int from = selectionStart();
    BlankRange(from, from + static_cast<int>(selectedText().size()));
    Show(from);
    e->accept();
    return;
  }
  if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) {
    e->accept();
    return;
  }
  const int caret = cursorPosition();
  if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) {
    if (hasSelectedText()) {
      const int from = selectionStart();
      BlankRange(from, from + static_cast<int>(selectedText().size()));
      Show(from);
    } else if (e->key() == Qt::Key_Backspace) {
      int i = caret - 1;
      while (i >= 0 && !IsDigitPos(i)) --i;
      if (i >= 0) {
        masked_[i] = QLatin1Char(' ');
        Show(i);
      }
    } else {
      int i = caret;
      while (i < pattern_.size() && !IsDigitPos(i)) ++i;
      if (i < pattern_.size()) masked_[i] = QLatin1Char(' ');
      Show(caret);
    }
    e->accept();
    return;
  }
  const QString typed = e->text();
  const bool plain = !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  if (plain && !typed.isEmpty() && typed[0].isPrint()) {
    TypeDigits(typed);  // anything but digits is refused there
    e->accept();
    return;
  }
  QLineEdit::keyPressEvent(e);  // caret movement, selection, copy
}

// --- TickPanel -------------------------------------------------------------------

TickPanel::TickPanel(QWidget* parent) : QFrame(parent), caption_(new QLabel(this)), input_(new TickInput(this)) {
  setFrameShape(QFrame::Box);
  setFrameShadow(QFrame::Plain);
  setLineWidth(1);
  Yellow(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(caption_);
  caption_->setAlignment(Qt::AlignCenter);
  SetZoom(1.0);
  QPalette pal = caption_->palette();
  pal.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
  caption_->setPalette(pal);
  caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
  input_->setFixedSize(0, 0);
  input_->move(0, 0);
}

void TickPanel::SetCaption(bool ticked) { caption_->setText(ticked ? QStringLiteral("X") : QString()); }

bool TickPanel::Ticked() const { return caption_->text() == QLatin1String("X"); }

void TickPanel::SetZoom(double zoom) { caption_->setFont(PointsFont(QFont(QStringLiteral("Arial")), 15, zoom)); }

void TickPanel::Toggle() { SetCaption(!Ticked()); }

void TickPanel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) emit clicked();
  e->accept();
}

}  // namespace pit::ui
