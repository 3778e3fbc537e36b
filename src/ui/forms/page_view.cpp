#include "ui/forms/page_view.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

#include "app/settlement.h"
#include "page_painter.h"

namespace pit::ui {
namespace {

constexpr int kLeftOffset = 1;  // the page lies one pixel from the window's left edge
constexpr int kPageWidth = 800;
constexpr int kEmptyPageHeight = 1131;
constexpr int kWheelStep = 25;
constexpr int kWheelNotch = 120;
// Zoom steps of Ctrl++ and Ctrl+-; fitting the width may land between them.
constexpr std::array<double, 13> kZoomSteps{0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
constexpr double kMinZoom = kZoomSteps.front();
constexpr double kMaxZoom = kZoomSteps.back();

}  // namespace

// `Formatka` and `IDruk` in one: the page picture with the field layer over
// it, drawn from one image so that a redraw never shows a half-drawn page.
class PageSurface : public QWidget {
 public:
  PageSurface(PageView& view, QWidget* parent) : QWidget(parent), view_(view) {
    setObjectName(QStringLiteral("Formatka"));
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    // Moved to a screen of another density: the page is drawn for it anew.
    const QImage& shown = view_.display_;
    if (!shown.isNull() && std::abs(shown.devicePixelRatio() - devicePixelRatioF()) > 0.01) {
      view_.RenderZoomedPicture();
      view_.ClearFieldLayer();
      emit view_.fieldsNeeded();
    }
    QPainter p(this);
    p.fillRect(e->rect(), Qt::white);
    const QImage& image = view_.display_;
    if (image.isNull()) return;
    const qreal dpr = image.devicePixelRatio();
    const QRectF target(e->rect());
    p.drawImage(target, image, QRectF(target.x() * dpr, target.y() * dpr, target.width() * dpr, target.height() * dpr));
  }
  void mouseMoveEvent(QMouseEvent* e) override { emit view_.mouseMoved(PagePoint(e)); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    emit view_.clicked(PagePoint(e));
  }

 private:
  QPoint PagePoint(QMouseEvent* e) const {
    const QPointF at = e->position() / view_.zoom_;
    return QPoint(static_cast<int>(std::floor(at.x())) - kLeftOffset, static_cast<int>(std::floor(at.y())));
  }
  PageView& view_;
};

PageView::PageView(QWidget* parent) : QWidget(parent), picture_(std::make_unique<render::PagePicture>()) {
  scroll_ = new QScrollArea(this);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(false);
  surface_ = new PageSurface(*this, scroll_);
  surface_->setFixedSize(kLeftOffset + kPageWidth, kEmptyPageHeight);
  scroll_->setWidget(surface_);
  scroll_->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll_);
}

PageView::~PageView() = default;

QWidget* PageView::Surface() const { return surface_; }

// --- the page picture and the layers -----------------------------------------------------

bool PageView::LoadPicture(const std::string& path, std::string& error) {
  if (!QFile::exists(QString::fromStdString(path))) {
    error = "Brak wymaganego pliku dcg:\n" + path;
    return false;
  }
  render::PagePicture next;
  if (!next.Load(path)) {
    error = "Nieprawidłowy plik dcg:\n" + next.Error();
    return false;
  }
  *picture_ = std::move(next);
  pictureLoaded_ = true;
  ++pictureLoads_;
  pageHeight_ = picture_->Height();
  pictureLayer_ = QImage(kLeftOffset + kPageWidth, pageHeight_, QImage::Format_RGB32);
  pictureLayer_.fill(Qt::white);
  QPainter p(&pictureLayer_);
  picture_->Draw(p, kLeftOffset, 0);
  p.end();
  RenderZoomedPicture();
  return true;
}

void PageView::Release() {
  picture_->Release();
  pictureLoaded_ = false;
  pictureLayer_ = QImage();
  composed_ = QImage();
  composedStale_ = false;
  paintedFields_ = nullptr;
  zoomedPicture_ = QImage();
  display_ = QImage();
  pageHeight_ = 0;
  surface_->update();
}

void PageView::RenderZoomedPicture() {
  const int height = pageHeight_ > 0 ? pageHeight_ : kEmptyPageHeight;
  const QSize size(static_cast<int>(std::lround((kLeftOffset + kPageWidth) * zoom_)),
                   static_cast<int>(std::lround(height * zoom_)));
  surface_->setFixedSize(size);
  const qreal dpr = std::max<qreal>(1.0, surface_->devicePixelRatioF());
  zoomedPicture_ = QImage(static_cast<int>(std::ceil(size.width() * dpr)), static_cast<int>(std::ceil(size.height() * dpr)),
                          QImage::Format_RGB32);
  zoomedPicture_.setDevicePixelRatio(dpr);
  zoomedPicture_.fill(Qt::white);
  if (!pictureLoaded_) return;
  QPainter p(&zoomedPicture_);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.scale(zoom_, zoom_);
  picture_->Draw(p, kLeftOffset, 0);
}

void PageView::ClearFieldLayer() {
  if (!pictureLayer_.isNull()) {
    composed_ = pictureLayer_;
  } else {
    composed_ = QImage(kLeftOffset + kPageWidth, pageHeight_ > 0 ? pageHeight_ : kEmptyPageHeight,
                       QImage::Format_RGB32);
    composed_.fill(Qt::white);
  }
  composedStale_ = false;
  if (zoomedPicture_.isNull()) RenderZoomedPicture();
  display_ = zoomedPicture_;
  surface_->update();
}

void PageView::PaintFields(int idPit, const std::vector<FieldObject>& fields, const FormEntry& entry, int page) {
  if (display_.isNull()) return;
  render::PaintOptions o;
  o.highlight = highlight_;
  QPainter z(&display_);
  z.setRenderHint(QPainter::TextAntialiasing);
  z.scale(zoom_, zoom_);
  z.translate(kLeftOffset, 0);
  render::PaintFields(z, idPit, fields, entry, page, o);
  z.end();
  paintedIdPit_ = idPit;
  paintedPage_ = page;
  paintedFields_ = &fields;
  composedStale_ = true;
  surface_->update();
}

const QImage& PageView::PageImage() const {
  if (!composedStale_) return composed_;
  composedStale_ = false;
  const FormEntry* entry = entrySource_ ? entrySource_() : nullptr;
  if (entry == nullptr || paintedFields_ == nullptr || composed_.isNull()) return composed_;
  render::PaintOptions o;
  o.highlight = highlight_;
  QPainter p(&composed_);
  p.translate(kLeftOffset, 0);
  render::PaintFields(p, paintedIdPit_, *paintedFields_, *entry, paintedPage_, o);
  return composed_;
}

// --- scrolling --------------------------------------------------------------------------------

int PageView::ScrollPos() const { return scroll_->verticalScrollBar()->value(); }

void PageView::ScrollTo(int y) { scroll_->verticalScrollBar()->setValue(std::max(0, y)); }

// A notch moves the page by the same stretch of the form at any zoom.
void PageView::Wheel(QWheelEvent* e) {
  if (e->modifiers() & Qt::ControlModifier) {
    zoomWheelDelta_ += e->angleDelta().y();
    while (zoomWheelDelta_ >= kWheelNotch) {
      ZoomIn();
      zoomWheelDelta_ -= kWheelNotch;
    }
    while (zoomWheelDelta_ <= -kWheelNotch) {
      ZoomOut();
      zoomWheelDelta_ += kWheelNotch;
    }
    e->accept();
    return;
  }
  const int step = static_cast<int>(std::lround(kWheelStep * zoom_));
  wheelDelta_ += e->angleDelta().y();
  while (wheelDelta_ >= kWheelNotch) {
    if (ScrollPos() >= 0) ScrollTo(ScrollPos() - step);
    wheelDelta_ -= kWheelNotch;
  }
  while (wheelDelta_ <= -kWheelNotch) {
    if (ScrollPos() >= 0) ScrollTo(ScrollPos() + step);
    wheelDelta_ += kWheelNotch;
  }
  e->accept();
}

bool PageView::eventFilter(QObject* watched, QEvent* e) {
  // The scroll area would scroll by its own step; the page moves 25 pixels
  // a notch.
  if (watched == scroll_->viewport() && e->type() == QEvent::Wheel) {
    Wheel(static_cast<QWheelEvent*>(e));
    return true;
  }
  if (watched == scroll_->viewport() && e->type() == QEvent::Resize && fitWidth_) ApplyZoom(FitZoom());
  return QWidget::eventFilter(watched, e);
}

void PageView::ShowSideways(const FieldObject& d) {
  QScrollBar* bar = scroll_->horizontalScrollBar();
  if (bar->maximum() <= 0) return;
  const QRect r = FieldRect(d);
  const int width = scroll_->viewport()->width();
  constexpr int kMargin = 10;
  if (r.left() < bar->value()) {
    bar->setValue(r.left() - kMargin);
  } else if (r.right() > bar->value() + width) {
    // The field's start matters most when it is wider than the window.
    bar->setValue(std::min(r.left() - kMargin, r.right() - width + kMargin));
  }
}

void PageView::BringIntoView(const FieldObject& d) {
  const QRect r = FieldRect(d);
  QScrollBar* bar = scroll_->verticalScrollBar();
  const int height = scroll_->viewport()->height();
  constexpr int kMargin = 40;
  if (r.top() < bar->value() || r.bottom() > bar->value() + height) bar->setValue(std::max(0, r.top() - kMargin));
  ShowSideways(d);
}

// --- zoom -----------------------------------------------------------------------------------------

double PageView::FitZoom() const {
  const double z = static_cast<double>(scroll_->viewport()->width()) / (kLeftOffset + kPageWidth);
  return std::clamp(z, kMinZoom, kMaxZoom);
}

void PageView::SetZoom(double zoom) {
  fitWidth_ = false;
  ApplyZoom(std::clamp(zoom, kMinZoom, kMaxZoom));
}

int PageView::PercentOf(double zoom) { return static_cast<int>(std::lround(zoom * 100)); }

// A step that shows the same percent as the zoom in use (a fit-to-width of
// 149,7% against the 150% step) would look like a key that does nothing.
void PageView::ZoomIn() {
  for (double step : kZoomSteps)
    if (PercentOf(step) > PercentOf(zoom_)) {
      SetZoom(step);
      return;
    }
}

void PageView::ZoomOut() {
  for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
    if (PercentOf(*it) < PercentOf(zoom_)) {
      SetZoom(*it);
      return;
    }
}

void PageView::FitWidth() {
  fitWidth_ = true;
  ApplyZoom(FitZoom());
}

void PageView::ApplyZoom(double zoom) {
  // A page wider than the window can be scrolled sideways; fitted to the
  // width it never needs to (a pixel of rounding must not bring the bar).
  scroll_->setHorizontalScrollBarPolicy(fitWidth_ ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  if (std::abs(zoom - zoom_) < 1e-4) return;
  // The line at the top of the window stays there.
  const double topLine = ScrollPos() / zoom_;
  zoom_ = zoom;
  RenderZoomedPicture();
  ClearFieldLayer();
  emit fieldsNeeded();
  ScrollTo(static_cast<int>(std::lround(topLine * zoom_)));
  emit zoomChanged(zoom_);
}

// --- page pixels and the surface ------------------------------------------------------------

QPoint PageView::SurfacePoint(const QPoint& unzoomed) const {
  return QPoint(static_cast<int>(std::lround(unzoomed.x() * zoom_)), static_cast<int>(std::lround(unzoomed.y() * zoom_)));
}

QRect PageView::SurfaceRect(const QRect& unzoomed) const {
  const QPoint topLeft = SurfacePoint(unzoomed.topLeft());
  const QPoint end = SurfacePoint(unzoomed.topLeft() + QPoint(unzoomed.width(), unzoomed.height()));
  return QRect(topLeft, QSize(std::max(1, end.x() - topLeft.x()), std::max(1, end.y() - topLeft.y())));
}

int PageView::SurfaceY(int pageY) const { return static_cast<int>(std::lround(pageY * zoom_)); }

QRect PageView::FieldRect(const FieldObject& d) const {
  return SurfaceRect(QRect(d.Left, d.Top, std::max(1, d.Right - d.Left), std::max(1, d.Bottom - d.Top)));
}

// The box over a field: inside its frame, the page one pixel from the left.
// At 100% that is (Left + 2, Top + 1), two pixels narrower and lower than
// the field. At another zoom the frame's lines (page rows Top and Bottom - 1,
// column Right - 1) are drawn across fractions of screen pixels: the box
// takes the whole pixels between them, so that rounding never lets it cover
// the frame's bottom or right edge.
QRect PageView::EditorRect(const FieldObject& d) const {
  const int left = std::min(d.Left, d.Right), right = std::max(d.Left, d.Right);
  const int top = std::min(d.Top, d.Bottom), bottom = std::max(d.Top, d.Bottom);
  constexpr double kSlack = 1e-6;
  const int x0 = static_cast<int>(std::ceil((left + kLeftOffset + 1) * zoom_ - kSlack));
  // A line that starts within a screen pixel shades that pixel too.
  const int shaded = std::abs(zoom_ - 1.0) < kSlack ? 0 : 1;
  const int x1 = static_cast<int>(std::floor((right - 1 + kLeftOffset) * zoom_ + kSlack)) - shaded;
  const int y0 = static_cast<int>(std::ceil((top + 1) * zoom_ - kSlack));
  const int y1 = static_cast<int>(std::floor((bottom - 1) * zoom_ + kSlack)) - shaded;
  return QRect(x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0));
}

}  // namespace pit::ui
