#pragma once
// Small pieces shared by the start-of-work windows and the selection screen:
// picture tiles with a highlighted twin, the help panes, message boxes.
#include <array>

#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QString>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLayout;
class QRadioButton;
class QTextBrowser;
class QToolButton;

namespace pit::ui {

// A picture that reacts to a click, like the tiles and their twins.
class TilePicture : public QLabel {
  Q_OBJECT

 public:
  TilePicture(const QPixmap& picture, QWidget* parent);

 signals:
  void clicked();
  void entered();
  void left();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
};

// A tile's picture: a title in bold and a line of forms under it. The
// highlighted face is the twin shown while the mouse is over the tile.
QPixmap TileFace(const QString& title, const QString& forms, const QColor& accent, bool highlighted,
                 QSize size = QSize(320, 84));

// A tile: its picture with the highlighted twin lying over it, hidden until
// the mouse comes; both answer a click the same way.
struct Tile {
  QWidget* box = nullptr;  // holds both; this goes into the layout
  TilePicture* face = nullptr;
  TilePicture* twin = nullptr;
};
Tile MakeTile(QWidget* parent, const QString& title, const QString& forms, const QColor& accent,
              QSize size = QSize(320, 84));

// Shows `fileName` of the help folder in `pane` when the file exists; a
// missing page leaves the pane as it was. True when the page was loaded.
bool LoadHelpPage(QTextBrowser* pane, const QString& helpFolder, const QString& fileName);

// The program's message boxes: a plain information box with the program's
// title, and the Yes/No question with the warning icon. Both are modal and
// return when the user has answered.
void InformationBox(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Information);
bool WarningQuestion(QWidget* parent, const QString& caption, const QString& text);

// A radio button of `group` with the value `id`, put into `layout`.
QRadioButton* AddRadio(QButtonGroup* group, int id, const QString& text, QWidget* parent, QLayout* layout);
// Ticks the button of `index`; a group shows no item when its value is -1.
void SetGroupIndex(QButtonGroup* group, int index);

// The four attachments whose spouse data the user may give, each box with
// the form type it stands for, added to `layout` in this order:
// PIT/O, PIT/D, PIT/2K, PIT/UZ.
struct SpouseDataBox {
  QCheckBox* box = nullptr;
  int idPit = 0;
};
std::array<SpouseDataBox, 4> AddSpouseDataBoxes(QWidget* parent, QLayout* layout);

// The "NIP czy PESEL?" help button beside the identifier groups; it shows
// the hand pointer only when there is help to open.
QToolButton* MakeIdHelpButton(QWidget* parent, bool helpAvailable);

}  // namespace pit::ui
