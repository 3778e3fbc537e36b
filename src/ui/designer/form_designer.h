#pragma once
// Designer mode: the authoring tool of the definition files. A page picture
// of a definition folder is shown with the rectangles of its fields; fields
// are drawn, selected, moved, resized by eight handles, copied with Shift,
// deleted and nudged with the arrow keys. Every change goes to the `.dcs`
// file at once through the engine's codecs, and the page is then drawn again
// from the file, so what the screen shows is what the file holds.
//
// Reached only with `pit2014 --designer [DIR]` (ToolDesigner of the main
// window); ordinary start-up never shows it.
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <vector>

#include "forms/field_object.h"

class QComboBox;
class QSpinBox;
class QScrollArea;
class QLabel;
class QAction;
class QSlider;

namespace pit::render {
class PagePicture;
}

namespace pit::ui {

class DesignerSurface;
class TFPaleta;
class TFObj;

class FormDesigner : public QMainWindow {
  Q_OBJECT

 public:
  // `tmpDir` takes the CSV lists of fields.
  explicit FormDesigner(const QString& dcDir, const QString& tmpDir = {}, QWidget* parent = nullptr);
  ~FormDesigner() override;

  // Shows page `page` of definition `idPit` of the folder; false (with a
  // message in the status bar) when the definition has no page picture,
  // in which case an empty sheet is shown and fields can still be drawn.
  bool OpenForm(int idPit, int page = 1);
  void ShowPage(int page);

  // --- the definition being edited: its name and folder ----------------------
  // "Nowy": definition "tmp" in the folder tmp of the definition folder,
  // no pages, the empty sheet.
  void NewDefinition();
  // "Otwórz": the definition of a `.dcd` file (name and folder from its
  // path); false with a message when the file cannot be read.
  bool OpenDefinition(const QString& dcdPath);
  // "Zapisz jako ...": the definition's files copied to folder `name` of
  // the definition folder under the new name (never over an existing
  // file), then the `.dcd` written there; false with a message.
  bool SaveDefinitionAs(const QString& name);
  // "Dodaj stronę druku": the picture copied as the next page and shown;
  // false with a message when it is no page picture or cannot be copied.
  bool AddPrintPage(const QString& picturePath);
  // The scale slider: 0 shows the page 800 pixels wide; 10..100 shows the
  // field layer at that percentage of the picture's own size.
  void SetScale(int position);
  int Scale() const { return scale_; }
  QSlider* ScaleSlider() const { return trackBar_; }
  QString DefinitionName() const { return defName_; }
  QString DefinitionFolder() const { return defDir_; }
  int PageCount() const { return pageCount_; }
  QString DcdFile() const;
  QString PictureFile(int page) const;
  // Inside the main window: "ButtonTrybEdycji" and "Zamknij " hand the
  // window back to filling mode (leaveRequested).
  void SetEmbedded(bool on);
  // The last message shown to the author (errors of the file commands).
  QString LastMessage() const { return lastMessage_; }

  // --- state, for tests ----------------------------------------------------
  const std::vector<FieldObject>& Fields() const { return fields_; }
  int Selected() const { return selected_; }
  int IdPit() const { return idPit_; }
  int Page() const { return page_; }
  QString DcsFile() const;
  QWidget* Surface() const;
  QComboBox* TypeCombo() const { return selectObj_; }
  QString StatusText() const;
  // The page as last drawn (picture, rectangles, handles).
  QImage PageImage() const;

  TFPaleta* Palette() const { return palette_; }
  TFObj* TypeDialog() const { return typeDialog_; }
  // The palette for the field under the pointer, or the last field when
  // the pointer is over none (F2, "Właściwości").
  void ShowPalette();
  // "Zmień typ": the type dialog for the field under the pointer.
  void ShowTypeDialog();

  // "ToolButton5": the list of the shown definition's fields with an XML
  // name, as Code[Variant].csv in the tmp folder. Returns the file written,
  // or an empty text with `error` set.
  QString WriteFieldCsv(QString* error);

  // Handle 1..8 of the selected field under `p`, 0 for none.
  int HandleAt(const QPoint& p) const;
  // Object index of the topmost field of the current page under `p`, -1 for none.
  int FieldAt(const QPoint& p) const;

 signals:
  void leaveRequested();
  // "Widok → Podświetlanie pól": whether filling mode frames and fills the
  // fields in the highlight colours.
  void highlightFieldsToggled(bool on);

 private:
  friend class DesignerSurface;

  // The file dialogs of the four file commands.
  void ChooseDefinition();
  void ChooseSaveName();
  void ChoosePagePicture();
  // Reloads the field list from the `.dcs` file and repaints.
  void Redraw();
  void Status(const QString& text);
  // Shows a message without stopping the window.
  void Message(const QString& text);
  // Writes the `.dcd` of the definition: its path, page count, the screen
  // size and the current page size.
  bool WriteDescription();
  void ShowDefinition(int page);
  void ShowSizes();
  void MousePress(const QPoint& p, Qt::MouseButton b, Qt::KeyboardModifiers m);
  void MouseMove(const QPoint& p);
  void MouseRelease(const QPoint& p, Qt::KeyboardModifiers m);
  bool KeyPress(int key);
  bool KeyRelease(int key);
  QRect DraggedRect() const;
  QSize LayerSize() const;  // the page, or the field layer at the slider's scale  // the dragged field's rectangle moved by the change vector
  void AppendNewField(const QRect& r);
  void DeleteSelected();
  void Nudge(int key);
  bool Append(const FieldObject& f);
  bool Rewrite(int k, const FieldObject& f);
  void UpdateCursor(const QPoint& p);
  QString ToolTipFor(int k) const;

  QString dcDir_;
  QString tmpDir_;
  QString defDir_;   // folder of the definition's files
  QString defName_;  // their name: "6" for 6.dcs, 6.dcd, 6_1.dcg ...
  QString lastMessage_;
  int scale_ = 0;
  int idPit_ = 0;    // form number when the name is one, otherwise 0
  int page_ = 1;
  int pageCount_ = 0;
  std::vector<FieldObject> fields_;
  std::unique_ptr<render::PagePicture> picture_;
  bool pictureLoaded_ = false;
  int pageHeight_ = 1000;
  QSize nativeSize_{800, 1000};  // the picture's own size

  int selected_ = -1;
  int dragged_ = -1;      // field pressed last with the mouse (also what the arrow keys move)
  int underMouse_ = -1;
  bool drawing_ = false;
  bool moving_ = false;
  int handle_ = 0;        // handle pressed (resizing), 0 for a move
  QPoint start_, last_;
  bool shiftHeld_ = false;
  bool ctrlHeld_ = false;
  bool showNames_ = true;
  bool autoOptions_ = true;  // "Okno opcji ": the palette after a field is drawn
  TFPaleta* palette_ = nullptr;
  TFObj* typeDialog_ = nullptr;

  DesignerSurface* surface_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QComboBox* selectObj_ = nullptr;
  QComboBox* formCombo_ = nullptr;
  QSpinBox* pageSpin_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* sizes_ = nullptr;  // page size and the working size of the .dcd
  QSize workSize_;           // stored in the .dcd (800 wide), empty without one
  QSlider* trackBar_ = nullptr;
  QAction* leave_ = nullptr;  // ButtonTrybEdycji
  bool embedded_ = false;
};

}  // namespace pit::ui
