#pragma once
// The page as the form window shows it: the picture of the printed page and
// the field layer over it, in a scroll area, at a zoom. It composes and
// scales the page and maps between page pixels and the surface; it knows
// nothing of what the fields mean or of editing them. Its owner paints the
// fields (PaintFields) whenever the view asks for them (fieldsNeeded).
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/field_object.h"

class QScrollArea;

namespace pit {
struct FormEntry;
namespace render {
class PagePicture;
}
}  // namespace pit

namespace pit::ui {

class PageSurface;

class PageView : public QWidget {
  Q_OBJECT

 public:
  explicit PageView(QWidget* parent = nullptr);
  ~PageView() override;

  // --- the page picture ---------------------------------------------------
  // Reads the page picture of `path`; on failure the previous one stays and
  // `error` says why in the user's words.
  bool LoadPicture(const std::string& path, std::string& error);
  // The picture and both layers given up (no form shown).
  void Release();
  bool PictureLoaded() const { return pictureLoaded_; }
  int PageHeight() const { return pageHeight_; }
  int PictureLoads() const { return pictureLoads_; }

  // --- the field layer ----------------------------------------------------
  // The page without its fields again.
  void ClearFieldLayer();
  // Whether there is a page to paint fields on.
  bool HasFieldLayer() const { return !display_.isNull(); }
  // Paints the fields of `page` over the page at the zoom. `fields` must
  // outlive the view (the session's shown fields).
  void PaintFields(int idPit, const std::vector<FieldObject>& fields, const FormEntry& entry, int page);
  // "Podświetlanie pól": frames and fills of the text fields.
  void SetHighlight(bool on) { highlight_ = on; }
  bool Highlight() const { return highlight_; }
  // The page as last drawn (picture and fields), 801 pixels wide, at 100%.
  // It is composed when asked for, with the entry `entrySource` gives then:
  // a redraw after every commit paints only what the screen shows.
  const QImage& PageImage() const;
  void SetEntrySource(std::function<const FormEntry*()> entrySource) { entrySource_ = std::move(entrySource); }

  // --- zoom ---------------------------------------------------------------
  // The page is drawn Zoom() times its 800 pixels, from the picture itself so
  // that it stays sharp; field rectangles and clicks stay in page pixels and
  // are mapped on the way to the screen. At start the page fits the window's
  // width and follows it; a zoom the user chose stays until FitWidth.
  double Zoom() const { return zoom_; }
  bool FitsWidth() const { return fitWidth_; }
  void SetZoom(double zoom);  // a chosen zoom, kept within the steps' range
  static int PercentOf(double zoom);
  void ZoomIn();
  void ZoomOut();
  void FitWidth();

  // --- page pixels and the surface ------------------------------------------
  QPoint SurfacePoint(const QPoint& unzoomed) const;
  QRect SurfaceRect(const QRect& unzoomed) const;
  int SurfaceY(int pageY) const;
  // The rectangle of a field on the surface.
  QRect FieldRect(const FieldObject& d) const;
  // The box of an editor over the field: inside its frame.
  QRect EditorRect(const FieldObject& d) const;
  // Scrolls sideways so that the field is in the window, when the page is
  // wider than the window; BringIntoView also scrolls up or down to it.
  void ShowSideways(const FieldObject& d);
  void BringIntoView(const FieldObject& d);
  int ScrollPos() const;
  void ScrollTo(int y);
  // The wheel: Ctrl zooms, otherwise a notch moves the page 25 page pixels.
  void Wheel(QWheelEvent* e);
  QScrollArea* ScrollArea() const { return scroll_; }
  // The widget the page is drawn on; editors stand on it.
  QWidget* Surface() const;

 signals:
  // The page was drawn anew without its fields (another zoom or screen
  // density): the owner paints them again and puts its editors back.
  void fieldsNeeded();
  // The mouse over the page, in page pixels, and a left click at it.
  void mouseMoved(const QPoint& pagePos);
  void clicked(const QPoint& pagePos);
  // The page is drawn at another zoom.
  void zoomChanged(double zoom);

 protected:
  void wheelEvent(QWheelEvent* e) override { Wheel(e); }
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  friend class PageSurface;
  // The page picture drawn at the zoom and the screen's pixel density.
  void RenderZoomedPicture();
  void ApplyZoom(double zoom);
  double FitZoom() const;

  std::unique_ptr<render::PagePicture> picture_;
  bool pictureLoaded_ = false;
  int pictureLoads_ = 0;
  int pageHeight_ = 0;
  QImage pictureLayer_;   // the page picture at 800 wide, 1 pixel from the left
  // Picture + fields at 100%, made from what PaintFields was last given.
  mutable QImage composed_;
  mutable bool composedStale_ = false;
  int paintedIdPit_ = 0;
  int paintedPage_ = 0;
  const std::vector<FieldObject>* paintedFields_ = nullptr;
  std::function<const FormEntry*()> entrySource_;
  QImage zoomedPicture_;  // the picture at the zoom, in device pixels
  QImage display_;        // picture + fields at the zoom, what the surface shows
  double zoom_ = 1.0;
  bool fitWidth_ = true;
  bool highlight_ = true;
  int zoomWheelDelta_ = 0;
  int wheelDelta_ = 0;  // wheel movement not yet a whole notch

  QScrollArea* scroll_ = nullptr;
  PageSurface* surface_ = nullptr;
};

}  // namespace pit::ui
