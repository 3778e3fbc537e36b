#pragma once
// The form window: one page of the current form entry, the picture of the
// printed page with every field of that page drawn over it (the page view,
// page_view.h, composes and zooms it), and the editors the user fills the
// fields with. What the calculations ask to show it puts on screen through
// its CalcResultView (calc_result_view.h): the message list, the correction
// information window, reminders and the 1% label; the flags they set are in
// the open definition it draws, where the session put them.
//
// The main window owns the settlement and the tree. To show an entry it sets
// ctx.settlement.Current (number, IdPit, parent, person, kind, page count,
// GUID) and calls ShowPage. Everything the window does to the settlement it
// does through the edited field's value slot, and it tells the main window
// with modified() after every commit.
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calc/shown.h"
#include "forms/field_object.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QScrollArea;

namespace pit {
struct FormEntry;
}  // namespace pit

namespace pit::ui {

struct AppContext;
class PageView;
class FieldEditing;
class CalcResultView;

class TFImage : public QWidget {
  Q_OBJECT

 public:
  TFImage(AppContext& ctx, QWidget* parent = nullptr);
  ~TFImage() override;

  // --- what the main window calls -----------------------------------------
  // Shows page `page` of the current entry (settlement.Current): the field
  // list is loaded when the entry changed since the last load, then the page
  // picture, the entry's calculation and the fields. `refresh` repaints the
  // whole window. Missing files are the caller's check; a missing picture
  // here keeps the previous one with its message.
  void ShowPage(int idPit, int page, bool refresh);
  // Closes editors, releases the picture and the field list (counts 0).
  void CloseForm();
  // Runs the shown entry's calculation once more and draws its fields again
  // over the page picture already loaded.
  void Recalculate();
  // Draws the fields again with the values the settlement holds now,
  // without running the calculation.
  void DrawValues();
  // Commits the field being edited and closes its editor, as a click beside
  // the fields does, without drawing the page again: the main window turns
  // the page after it, so that what was typed is not lost.
  void CommitOpenEditor();
  bool PictureLoaded() const;
  // The list under the form where calculations put their notices.
  void SetMessageList(QListWidget* list);
  // Whether the main window's e-filing button is shown; the correction
  // window then offers the electronic correction too. Shown unless set.
  void SetEFilingQuery(std::function<bool()> visible);
  // "Podświetlanie pól": frames and fills of the text fields (on at start);
  // the page is drawn again when it changes.
  void SetHighlightFields(bool on);
  bool HighlightFields() const;
  // "Cofnij" and "Ponów": text typed into the open editor and not committed
  // yet, giving it up, and the values the history put back shown (the
  // calculation, the fields drawn again, the open editor with its value).
  bool EditorHoldsTyping() const;
  void DropTyping();
  void ShowRestoredValues();
  // Field `k` of the page shown brought into the window and opened as a
  // click opens it (a read-only field becomes the field being looked at,
  // without an editor); what was being typed elsewhere is committed first.
  void OpenField(int k);

  // --- zoom ----------------------------------------------------------------------
  // The page is drawn Zoom() times its 800 pixels, from the picture itself so
  // that it stays sharp; field rectangles, the editors' places and the clicks
  // stay in page pixels and are mapped on the way to the screen. At start the
  // page fits the window's width and follows it; a zoom the user chose stays
  // until Ctrl+0 fits the width again. Printing and the HTML copy draw the
  // page at its own 800 pixels.
  double Zoom() const;
  bool FitsWidth() const;
  void SetZoom(double zoom);  // a chosen zoom, kept within the steps' range
  // The zoom in whole percent of the printed width, as the user is shown it.
  static int PercentOf(double zoom);
  int ZoomPercent() const { return PercentOf(Zoom()); }
  void ZoomIn();              // Ctrl++, Ctrl+wheel forwards
  void ZoomOut();             // Ctrl+-, Ctrl+wheel backwards
  void FitWidth();            // Ctrl+0
  // Where a point or rectangle of the page surface at 100% (the page one
  // pixel from the left) lies on the surface now.
  QPoint SurfacePoint(const QPoint& unzoomed) const;
  QRect SurfaceRect(const QRect& unzoomed) const;

  // --- state, for the main window and tests ----------------------------------
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  int PageCount() const { return pageCount_; }
  int PageHeight() const;
  // Page pictures read and parsed since the window was made.
  int PictureLoads() const;
  int EditedObject() const;
  const std::vector<FieldObject>& Fields() const { return fields_; }
  // The page as last drawn (picture and fields), 801 pixels wide, at 100%.
  const QImage& PageImage() const;
  // The open editor widget, nullptr when none (for tests and focus).
  QWidget* OpenEditor() const;
  QScrollArea* ScrollArea() const;
  QWidget* Surface() const;
  QLabel* DonationLabel() const;

  // --- what is shown -------------------------------------------------------------
  int ShownEntry() const;
  int ShownIdPit() const;
  int CurrentPage() const;
  int FieldUnderMouse() const;
  int FieldBeingEdited() const;
  // What a calculation asked to show, on screen.
  void ShowResult(const ShownResult& r);
  // The message list opened to its normal height or put away.
  void SetMessageListHeight(MessageListHeight h);

 signals:
  // After every committed edit (the settlement is modified).
  void modified();
  // After a page was shown: its number and the form's page count.
  void pageShown(int page, int pageCount);
  // The fields were drawn again with values that may have changed behind
  // the window (its calculation run once more, or values brought up to
  // date for an output).
  void valuesDrawn();
  // A calculation asks for an entry to be selected (as a click in the tree).
  void selectEntryRequested(int entry);
  // The user agreed to go on to `page` of the same form; the main window
  // shows it (ShowPage) from the slot, or the window shows it itself when
  // nobody did.
  void pageChangeRequested(int page);
  // The page is drawn at another zoom.
  void zoomChanged(double zoom);

 protected:
  void wheelEvent(QWheelEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:

  void LoadPagePicture();
  void DrawFields();
  void Redraw();  // field layer cleared and drawn again, the surface repainted
  void RunEntryCalculation();
  void ApplySpouseFieldRules();
  // Where a calculation sends the user: the tree selects it.
  void GoToEntry(int entry, int idPit);
  FormEntry* Entry() const;
  bool IsField(int k) const { return k >= 0 && k < FieldCount(); }
  // The page question answered yes: the main window shows the page from its
  // slot, or the window shows it itself when nobody did.
  void ShowOtherPage(int page);
  void Message(const std::string& text, bool warning = false);

  AppContext& ctx_;
  // The open definition: the session's, so that commits and calculations
  // work on what the window draws.
  std::vector<FieldObject>& fields_;
  int pageCount_ = 0;
  PageView* view_ = nullptr;
  QWidget* surface_ = nullptr;  // the view's, where the editors stand
  FieldEditing* editing_ = nullptr;
  std::unique_ptr<CalcResultView> results_;
  std::function<bool()> eFilingVisible_;
  int shownEntry_ = 0;  // entry, form and page last shown: another starts at its top
  int shownIdPit_ = 0;
  int shownPage_ = 0;
  int showCount_ = 0;  // pages shown so far, to see whether a signal showed one
};

}  // namespace pit::ui
