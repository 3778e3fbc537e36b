#pragma once
// The 1% section's two helpers: the organisation picker `PListaOPP` over a
// KRS field (an edit strip for the KRS with a drop-down list of suggested
// organisations) and the amount panel `POPP` that offers the whole computed
// 1% amount for the amount field.
#include <QFrame>
#include <QLabel>
#include <string>

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pit::ui {

class OrganisationPicker : public QFrame {
  Q_OBJECT
 public:
  explicit OrganisationPicker(QWidget* parent);

  // Opens the picker over a KRS field holding `value`, at (x, y).
  void Open(const std::string& value, int x, int y);
  // Closes the list and hides the picker.
  void Dismiss();
  // Puts the strip at (x, y) again, the list open or closed as it was.
  void MoveTo(const QPoint& at);

  bool ListOpen() const { return open_; }
  void SetListOpen(bool open);
  void ToggleList() { SetListOpen(!open_); }
  int CurrentRow() const { return row_; }
  void SetCurrentRow(int row);
  QString KrsText() const;
  QLineEdit* KrsEdit() const { return EKRSFind; }
  QTableWidget* Grid() const { return SGOPP; }
  QLabel* DropDown() const { return IDropDown; }
  // The grid row at a point of the grid's viewport, 0 when none of rows 1..11.
  int RowAt(const QPoint& viewportPos) const;

  // Handlers of the strip and the list.
  void EKRSFindKeyDown(QKeyEvent* e);
  void EKRSFindKeyUp(QKeyEvent* e);
  void EKRSFindDblClick();
  void IDropDownClick();
  void SGOPPMouseMove(const QPoint& viewportPos);
  void SGOPPMouseDown();
  void SGOPPMouseUp();
  void SGOPPDblClick();
  void SGOPPKeyUp(QKeyEvent* e);

 signals:
  // A KRS chosen or typed, the picker hidden; backward: Shift+Tab.
  void committed(bool backward);
  // Esc: the picker closed, nothing committed.
  void cancelled();

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void PutRowKrs(int row);
  void Commit(bool backward = false);

  QFrame* POOPFind;
  QLineEdit* EKRSFind;
  QLabel* IDropDown;
  QTableWidget* SGOPP;
  bool open_ = false;
  int row_ = 0;
  bool above_ = false;        // the open list lies above the strip
  int anchorY_ = 0;           // where the strip sits over its field
  int openWidth_ = 0;         // the open list: its longest name whole
  QPointF lastPointer_;       // global position of the last mouse move taken
};

class DonationPanel : public QFrame {
  Q_OBJECT
 public:
  explicit DonationPanel(QWidget* parent);
  QLabel* Amount() const { return KwotaDarowizny; }
  QPushButton* Yes() const { return SBTAK; }
  QPushButton* No() const { return SBNIE; }

  void SBTAKClick();
  void SBNIEClick();

 signals:
  void accepted();  // "TAK, chcę"
  void declined();  // "NIE, tylko część"

 private:
  QLabel* KwotaDarowizny;
  QPushButton* SBTAK;
  QPushButton* SBNIE;
};

}  // namespace pit::ui
