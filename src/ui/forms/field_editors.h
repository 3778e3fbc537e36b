#pragma once
// The in-place editors the form window puts over a field: the text box, the
// masked box of identifiers and dates, and the tick panel. Their keys are
// offered to whoever opened them first (keyPressed / keyReleased), so that
// Enter, Tab and Space move through the form the same way from each of them;
// a key the receiver leaves unhandled is the editor's own. The editors know
// nothing of the window they stand on: their font follows the zoom they are
// given.
#include <QFrame>
#include <QLineEdit>
#include <QString>

#include "forms/field_object.h"

class QKeyEvent;
class QLabel;

namespace pit::ui {

// The text box of Tekst, Liczba and JedenProcent fields.
class TextBox : public QLineEdit {
  Q_OBJECT
 public:
  TextBox(const FieldObject& def, double zoom, QWidget* parent);
  // Sets the text and fits the font to it, as when the box opens.
  void Start(const QString& text);
  int FontPoints() const { return points_; }
  bool IsAmountBox() const;
  // The font follows the page's zoom.
  void Rezoom(double zoom);

 signals:
  // Set *handled to take the key from the box.
  void keyPressed(QKeyEvent* e, bool* handled);
  void keyReleased(QKeyEvent* e, bool* handled);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  // An amount box showing a zero amount ("0,00", "0"): what is typed
  // replaces it.
  bool ShowsZero() const;
  void OnEdited(const QString& text);
  void SetPoints(int points);
  void Fit();
  bool TooWide() const;

  double zoom_;
  int typ_;
  int option_;
  bool plusValue_;
  int maxChar_;
  int basePoints_;
  int points_;
  int lastLength_ = 0;
};

// A box with a fixed pattern of digit positions and "-" literals. Typing
// overwrites the digit positions; blanks show as "_" and read as spaces.
class MaskedBox : public QLineEdit {
  Q_OBJECT
 public:
  // `pattern`: "9" for a digit position, "-" for a literal.
  MaskedBox(const QString& pattern, double zoom, QWidget* parent);
  void SetMasked(const QString& masked);  // spaces for blanks
  QString Masked() const { return masked_; }
  void Rezoom(double zoom);  // the font follows the page's zoom

 signals:
  // Set *handled to take the key from the box.
  void keyPressed(QKeyEvent* e, bool* handled);
  void keyReleased(QKeyEvent* e, bool* handled);

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;

 private:
  bool IsDigitPos(int i) const { return i >= 0 && i < pattern_.size() && pattern_[i] == QLatin1Char('9'); }
  void Show(int caret);
  void BlankRange(int from, int to);
  void TypeDigits(const QString& digits);

  QString pattern_;
  QString masked_;
};

// The tick panel: the caption shows "X" or nothing; a hidden input inside
// takes the keys.
class TickPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TickPanel(QWidget* parent);
  void SetCaption(bool ticked);
  bool Ticked() const;
  void Toggle();
  void SetZoom(double zoom);  // the cross follows the page's zoom
  QLineEdit* Input() const { return input_; }
  QLabel* Caption() const { return caption_; }

 signals:
  // The keys of the hidden input; set *handled to take the key from it.
  void keyPressed(QKeyEvent* e, bool* handled);
  void keyReleased(QKeyEvent* e, bool* handled);
  // A left click on the panel (it toggles nothing by itself).
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QLabel* caption_;
  QLineEdit* input_;
};

}  // namespace pit::ui
