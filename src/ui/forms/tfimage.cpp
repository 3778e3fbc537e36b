#include "ui/forms/tfimage.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <array>
#include <cmath>

#include "calc/calculation.h"
#include "calc/framework.h"
#include "forms/definition_files.h"
#include "forms/values.h"
#include "page_painter.h"
#include "ui/app/app_context.h"
#include "ui/app/message_boxes.h"
#include "ui/forms/field_editors.h"
#include "ui/forms/form_rules.h"
#include "ui/forms/opp_panels.h"
#include "ui/forms/pick_panels.h"
#include "ui/forms/tfinfo.h"

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

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

// `Formatka` and `IDruk` in one: the page picture with the field layer over
// it, drawn from one image so that a redraw never shows a half-drawn page.
class PageSurface : public QWidget {
 public:
  PageSurface(TFImage& owner, QWidget* parent) : QWidget(parent), owner_(owner) {
    setObjectName(QStringLiteral("Formatka"));
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    // Moved to a screen of another density: the page is drawn for it anew.
    const QImage& shown = owner_.display_;
    if (!shown.isNull() && std::abs(shown.devicePixelRatio() - devicePixelRatioF()) > 0.01) {
      owner_.RenderZoomedPicture();
      owner_.Redraw();
    }
    QPainter p(this);
    p.fillRect(e->rect(), Qt::white);
    const QImage& image = owner_.display_;
    if (image.isNull()) return;
    const qreal dpr = image.devicePixelRatio();
    const QRectF target(e->rect());
    p.drawImage(target, image, QRectF(target.x() * dpr, target.y() * dpr, target.width() * dpr, target.height() * dpr));
  }
  void mouseMoveEvent(QMouseEvent* e) override { owner_.FormatkaMouseMove(PagePoint(e)); }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    owner_.FormatkaMouseMove(PagePoint(e));
    owner_.FormatkaClick();
  }

 private:
  QPoint PagePoint(QMouseEvent* e) const {
    const QPointF at = e->position() / owner_.zoom_;
    return QPoint(static_cast<int>(std::floor(at.x())) - kLeftOffset, static_cast<int>(std::floor(at.y())));
  }
  TFImage& owner_;
};

TFImage::TFImage(AppContext& ctx, QWidget* parent)
    : QWidget(parent),
      ctx_(ctx),
      fields_(ctx.Session().ShownFields()),
      picture_(std::make_unique<render::PagePicture>()) {
  setObjectName(QStringLiteral("FImage"));
  ctx_.Session().SetDisplay(this);
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

  PListaUS = new TaxOfficePanel(*this, ctx_.offices, surface_);
  PListaKR = new CountryPanel(*this, ctx_.countries, surface_);
  PListaOPP = new OrganisationPicker(*this, surface_);
  POPP = new DonationPanel(*this, surface_);
  tickPanel_ = new TickPanel(surface_);
  tickPanel_->hide();
  connect(tickPanel_, &TickPanel::keyPressed, this,
          [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyPress(e, true); });
  connect(tickPanel_, &TickPanel::keyReleased, this,
          [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyRelease(e); });
  connect(tickPanel_, &TickPanel::clicked, this, &TFImage::TickPanelMouseUp);
}

TFImage::~TFImage() {
  if (&ctx_.Session().Display() == this) ctx_.Session().SetDisplay(nullptr);
}

// --- state ---------------------------------------------------------------------------

QWidget* TFImage::Surface() const { return surface_; }
QLabel* TFImage::DonationLabel() const { return POPP->Amount(); }

QWidget* TFImage::OpenEditor() const {
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

bool TFImage::PictureLoaded() const { return pictureLoaded_; }

void TFImage::SetMessageList(QListWidget* list) {
  listError_ = list;
  if (list != nullptr && list->height() > 0) listNormalHeight_ = list->height();
}

void TFImage::SetEFilingQuery(std::function<bool()> visible) { eFilingVisible_ = std::move(visible); }

void TFImage::SetHighlightFields(bool on) {
  highlight_ = on;
  if (pictureLoaded_) Redraw();
}

FormEntry* TFImage::Entry() const {
  const Settlement& s = ctx_.settlement;
  const int n = s.Current.Number;
  return s.Has(n) ? &ctx_.settlement.Entry(n) : nullptr;
}

ValueSlot* TFImage::Slot(int k) const {
  FormEntry* e = Entry();
  if (e == nullptr || k < 0 || k >= kSlotCount) return nullptr;
  return &e->Slots[static_cast<std::size_t>(k)];
}

// --- showing a page --------------------------------------------------------------------

void TFImage::ShowPage(int idPit, int page, bool refresh) {
  ++showCount_;
  CurrentEntryState& c = ctx_.settlement.Current;
  // An editor left open belongs to the page that is going away.
  CloseAllEditors();
  edited_ = -1;
  fieldLeft_ = -1;
  c.IdPit = idPit;
  c.Page = page;
  if (Entry() == nullptr) return;
  ctx_.Session().EnsureShownFields();
  pageCount_ = c.PageCount;
  if (pageCount_ <= 0 && FormCatalogue::IsValid(idPit)) pageCount_ = ctx_.settlement.Catalogue()[idPit].PageCount;
  reminderFlag_ = false;
  enterPressed_ = tabPressed_ = false;
  LoadPagePicture();
  ClearFieldLayer();
  RunEntryCalculation();
  DrawFields();
  // Another page, form or entry starts at its top: one opened at the place
  // of the page before would hide its first fields and put others where the
  // user expects them.
  if (c.Number != shownEntry_ || idPit != shownIdPit_ || page != shownPage_) ScrollTo(0);
  shownEntry_ = c.Number;
  shownIdPit_ = idPit;
  shownPage_ = page;
  if (refresh) update();
  emit pageShown(page, pageCount_);
}

void TFImage::Recalculate() {
  RunEntryCalculation();
  Redraw();
}

void TFImage::CloseForm() {
  CloseAllEditors();
  edited_ = -1;
  fieldLeft_ = -1;
  picture_->Release();
  pictureLoaded_ = false;
  pictureLayer_ = QImage();
  composed_ = QImage();
  zoomedPicture_ = QImage();
  display_ = QImage();
  ctx_.Session().ForgetShownFields();
  pageCount_ = 0;
  pageHeight_ = 0;
  shownEntry_ = shownIdPit_ = shownPage_ = 0;
  surface_->update();
}

void TFImage::LoadPagePicture() {
  const CurrentEntryState& c = ctx_.settlement.Current;
  const std::string dir = ctx_.defs ? ctx_.defs->Dir() : ctx_.Folder("dc");
  const std::string path = DcgPath(dir, c.IdPit, c.Page);
  if (!QFile::exists(Q(path))) {
    Message("Brak wymaganego pliku dcg:\n" + path, true);
    return;
  }
  render::PagePicture next;
  if (!next.Load(path)) {
    Message("Nieprawidłowy plik dcg:\n" + next.Error(), true);
    return;
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
}

void TFImage::RenderZoomedPicture() {
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

void TFImage::ClearFieldLayer() {
  if (!pictureLayer_.isNull()) {
    composed_ = pictureLayer_;
  } else {
    composed_ = QImage(kLeftOffset + kPageWidth, pageHeight_ > 0 ? pageHeight_ : kEmptyPageHeight,
                       QImage::Format_RGB32);
    composed_.fill(Qt::white);
  }
  if (zoomedPicture_.isNull()) RenderZoomedPicture();
  display_ = zoomedPicture_;
  surface_->update();
}

void TFImage::ApplySpouseFieldRules() {
  CalcContext cc = ctx_.Session().ContextFor(ctx_.settlement.Current.Number, *this);
  SpouseFieldRules(cc, ctx_.settlement.Current.IdPit);
}

void TFImage::DrawFields() {
  const FormEntry* e = Entry();
  if (e == nullptr || composed_.isNull()) return;
  if (FieldCount() > 0) ApplySpouseFieldRules();
  QPainter p(&composed_);
  p.translate(kLeftOffset, 0);
  render::PaintOptions o;
  o.highlight = highlight_;
  render::PaintFields(p, ctx_.settlement.Current.IdPit, fields_, *e, ctx_.settlement.Current.Page, o);
  p.end();
  if (!display_.isNull()) {
    QPainter z(&display_);
    z.setRenderHint(QPainter::TextAntialiasing);
    z.scale(zoom_, zoom_);
    z.translate(kLeftOffset, 0);
    render::PaintFields(z, ctx_.settlement.Current.IdPit, fields_, *e, ctx_.settlement.Current.Page, o);
  }
  surface_->update();
}

void TFImage::Redraw() {
  ClearFieldLayer();
  DrawFields();
}

void TFImage::RunEntryCalculation() {
  if (Entry() == nullptr) return;
  ctx_.Session().Calculate(ctx_.settlement.Current.Number);
}

// --- mouse ---------------------------------------------------------------------------------

void TFImage::FormatkaMouseMove(const QPoint& pos) {
  if (!pictureLoaded_ || fields_.empty()) return;
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

void TFImage::FormatkaClick() {
  if (overField_) {
    clickInProgress_ = true;
    if (edited_ < 0) {
      RunEntryCalculation();
    } else {
      CommitEdited();
      edited_ = -1;
      CloseAllEditors();
      Redraw();
    }
    edited_ = underMouse_;
    if (IsField(edited_) && !fields_[static_cast<std::size_t>(edited_)].ReadOnly) OpenEditor(edited_);
    clickInProgress_ = false;
  } else if (edited_ >= 0) {
    CommitOpenEditor();
    Redraw();
  }
}

void TFImage::CommitOpenEditor() {
  if (edited_ < 0) return;
  CommitEdited();
  edited_ = -1;
  CloseAllEditors();
}

int TFImage::ScrollPos() const { return scroll_->verticalScrollBar()->value(); }

void TFImage::ScrollTo(int y) { scroll_->verticalScrollBar()->setValue(std::max(0, y)); }

// A notch moves the page by the same stretch of the form at any zoom.
void TFImage::FormMouseWheelUp() {
  if (ScrollPos() >= 0) ScrollTo(ScrollPos() - static_cast<int>(std::lround(kWheelStep * zoom_)));
}

void TFImage::FormMouseWheelDown() {
  if (ScrollPos() >= 0) ScrollTo(ScrollPos() + static_cast<int>(std::lround(kWheelStep * zoom_)));
}

void TFImage::wheelEvent(QWheelEvent* e) {
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
  wheelDelta_ += e->angleDelta().y();
  while (wheelDelta_ >= kWheelNotch) {
    FormMouseWheelUp();
    wheelDelta_ -= kWheelNotch;
  }
  while (wheelDelta_ <= -kWheelNotch) {
    FormMouseWheelDown();
    wheelDelta_ += kWheelNotch;
  }
  e->accept();
}

bool TFImage::eventFilter(QObject* watched, QEvent* e) {
  // The scroll area would scroll by its own step; the page moves 25 pixels
  // a notch.
  if (watched == scroll_->viewport() && e->type() == QEvent::Wheel) {
    wheelEvent(static_cast<QWheelEvent*>(e));
    return true;
  }
  if (watched == scroll_->viewport() && e->type() == QEvent::Resize && fitWidth_) ApplyZoom(FitZoom());
  return QWidget::eventFilter(watched, e);
}

void TFImage::showEvent(QShowEvent* e) {
  enterPressed_ = tabPressed_ = false;
  QWidget::showEvent(e);
}

// --- zoom ---------------------------------------------------------------------------------------

double TFImage::FitZoom() const {
  const double z = static_cast<double>(scroll_->viewport()->width()) / (kLeftOffset + kPageWidth);
  return std::clamp(z, kMinZoom, kMaxZoom);
}

void TFImage::SetZoom(double zoom) {
  fitWidth_ = false;
  ApplyZoom(std::clamp(zoom, kMinZoom, kMaxZoom));
}

int TFImage::PercentOf(double zoom) { return static_cast<int>(std::lround(zoom * 100)); }

// A step that shows the same percent as the zoom in use (a fit-to-width of
// 149,7% against the 150% step) would look like a key that does nothing.
void TFImage::ZoomIn() {
  for (double step : kZoomSteps)
    if (PercentOf(step) > PercentOf(zoom_)) {
      SetZoom(step);
      return;
    }
}

void TFImage::ZoomOut() {
  for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
    if (PercentOf(*it) < PercentOf(zoom_)) {
      SetZoom(*it);
      return;
    }
}

void TFImage::FitWidth() {
  fitWidth_ = true;
  ApplyZoom(FitZoom());
}

void TFImage::ApplyZoom(double zoom) {
  // A page wider than the window can be scrolled sideways; fitted to the
  // width it never needs to (a pixel of rounding must not bring the bar).
  scroll_->setHorizontalScrollBarPolicy(fitWidth_ ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  if (std::abs(zoom - zoom_) < 1e-4) return;
  // The line at the top of the window stays there.
  const double topLine = ScrollPos() / zoom_;
  zoom_ = zoom;
  RenderZoomedPicture();
  Redraw();
  PlaceOpenEditor();
  ScrollTo(static_cast<int>(std::lround(topLine * zoom_)));
  emit zoomChanged(zoom_);
}

void TFImage::ShowSideways(const FieldObject& d) {
  QScrollBar* bar = scroll_->horizontalScrollBar();
  if (bar->maximum() <= 0) return;
  const QRect r = SurfaceRect(QRect(d.Left, d.Top, std::max(1, d.Right - d.Left), std::max(1, d.Bottom - d.Top)));
  const int width = scroll_->viewport()->width();
  constexpr int kMargin = 10;
  if (r.left() < bar->value()) {
    bar->setValue(r.left() - kMargin);
  } else if (r.right() > bar->value() + width) {
    // The field's start matters most when it is wider than the window.
    bar->setValue(std::min(r.left() - kMargin, r.right() - width + kMargin));
  }
}

QPoint TFImage::SurfacePoint(const QPoint& unzoomed) const {
  return QPoint(static_cast<int>(std::lround(unzoomed.x() * zoom_)), static_cast<int>(std::lround(unzoomed.y() * zoom_)));
}

QRect TFImage::SurfaceRect(const QRect& unzoomed) const {
  const QPoint topLeft = SurfacePoint(unzoomed.topLeft());
  const QPoint end = SurfacePoint(unzoomed.topLeft() + QPoint(unzoomed.width(), unzoomed.height()));
  return QRect(topLeft, QSize(std::max(1, end.x() - topLeft.x()), std::max(1, end.y() - topLeft.y())));
}

int TFImage::SurfaceY(int pageY) const { return static_cast<int>(std::lround(pageY * zoom_)); }

int TFImage::FieldUnder(int k) const {
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

// The box over field k: inside its frame, the page one pixel from the left.
// At 100% that is (Left + 2, Top + 1), two pixels narrower and lower than
// the field. At another zoom the frame's lines (page rows Top and Bottom - 1,
// column Right - 1) are drawn across fractions of screen pixels: the box
// takes the whole pixels between them, so that rounding never lets it cover
// the frame's bottom or right edge.
QRect TFImage::EditorRect(int k) const {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
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

void TFImage::PlaceOpenEditor() {
  if (!IsField(openedFor_)) return;
  const FieldObject& d = fields_[static_cast<std::size_t>(openedFor_)];
  switch (editor_) {
    case Editor::Text:
      if (textBox_ != nullptr) {
        textBox_->setGeometry(EditorRect(openedFor_));
        textBox_->Rezoom(zoom_);
      }
      if (POPP->isVisible()) POPP->move(DonationPanelPos(d));
      break;
    case Editor::Masked:
      if (maskedBox_ != nullptr) {
        maskedBox_->setGeometry(EditorRect(openedFor_));
        maskedBox_->Rezoom(zoom_);
      }
      break;
    case Editor::Tick:
      tickPanel_->setGeometry(SurfaceRect(QRect(d.Left + 1, d.Top, d.Right - d.Left, d.Bottom - d.Top)));
      tickPanel_->SetZoom(zoom_);
      break;
    case Editor::Office:
      if (PListaUS->isVisible()) PListaUS->PlaceAt(SurfacePoint(QPoint(d.Left + 2, d.Bottom)));
      break;
    case Editor::Country:
      if (PListaKR->isVisible()) PListaKR->PlaceAt(SurfacePoint(QPoint(d.Left + 2, d.Bottom)));
      break;
    case Editor::Picker:
      if (PListaOPP->isVisible()) PListaOPP->MoveTo(SurfacePoint(QPoint(d.Left + 1, std::max(0, d.Top - 1))));
      break;
    case Editor::ValueOver:
      if (valueOver_ != nullptr)
        valueOver_->setGeometry(SurfaceRect(QRect(d.Left + kLeftOffset, d.Top, std::max(1, d.Right - d.Left), std::max(1, d.Bottom - d.Top))));
      break;
    default:
      break;
  }
}

void TFImage::keyPressEvent(QKeyEvent* e) {
  // Keys the editors leave alone come up here.
  if (e->modifiers() & Qt::ControlModifier) {
    switch (e->key()) {
      case Qt::Key_Plus:
      case Qt::Key_Equal:
        ZoomIn();
        e->accept();
        return;
      case Qt::Key_Minus:
        ZoomOut();
        e->accept();
        return;
      case Qt::Key_0:
        FitWidth();
        e->accept();
        return;
      default:
        break;
    }
  }
  QWidget::keyPressEvent(e);
}

// --- editors ---------------------------------------------------------------------------------

void TFImage::HidePickPanels() {
  PListaOPP->Dismiss();
  PListaKR->hide();
  PListaUS->hide();
  POPP->hide();
}

void TFImage::CloseAllEditors() {
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

void TFImage::OpenEditor(int k) {
  HidePickPanels();
  if (!IsField(k) || Slot(k) == nullptr) return;
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  if (!d.Visible) return;
  ShowSideways(d);
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

void TFImage::ShowEntryHint(int k) {
  const std::string hint = EntryHint(ctx_.settlement.Current.IdPit, k, Slot(k)->Value);
  if (!hint.empty()) Message(hint);
}

void TFImage::OpenTextBox(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  if (textBox_ != nullptr) {
    textBox_->hide();
    textBox_->deleteLater();
  }
  textBox_ = new TextBox(d, zoom_, surface_);
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
void TFImage::TakeEditorKeys(Box* box) {
  connect(box, &Box::keyPressed, this, [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyPress(e, false); });
  connect(box, &Box::keyReleased, this, [this](QKeyEvent* e, bool* handled) { *handled = EditorKeyRelease(e); });
}

void TFImage::OpenMaskedBox(int k) {
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
  maskedBox_ = new MaskedBox(pattern, zoom_, surface_);
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

void TFImage::OpenTickPanel(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  const bool ticked = Slot(k)->CheckState;
  // A click shows the new state at once; the keyboard shows the present one.
  tickPanel_->SetCaption(clickInProgress_ ? !ticked : ticked);
  Redraw();
  tickPanel_->setGeometry(SurfaceRect(QRect(d.Left + 1, d.Top, d.Right - d.Left, d.Bottom - d.Top)));
  tickPanel_->SetZoom(zoom_);
  tickPanel_->show();
  tickPanel_->raise();
  tickPanel_->Input()->setFocus();
  editor_ = Editor::Tick;
  openedFor_ = k;
}

void TFImage::OpenTaxOfficePanel(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  editor_ = Editor::Office;
  openedFor_ = k;
  const QPoint at = SurfacePoint(QPoint(d.Left + 2, d.Bottom));
  PListaUS->Open(Slot(k)->OfficeCode, at.x(), at.y());
}

void TFImage::OpenCountryPanel(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  rememberedCountry_ = Slot(k)->Value;
  editor_ = Editor::Country;
  openedFor_ = k;
  const QPoint at = SurfacePoint(QPoint(d.Left + 2, d.Bottom));
  PListaKR->Open(rememberedCountry_, d.MustBe, at.x(), at.y());
}

void TFImage::OpenOrganisationPicker(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  ScrollTo(SurfaceY(d.Top) - 10);
  editor_ = Editor::Picker;
  openedFor_ = k;
  const QPoint at = SurfacePoint(QPoint(d.Left + 1, std::max(0, d.Top - 1)));
  PListaOPP->Open(Slot(k)->Value, at.x(), at.y());
}

// The question stands above the amount's field and its printed label
// ("132. Wnioskowana kwota"), which it must not cover.
QPoint TFImage::DonationPanelPos(const FieldObject& d) const {
  constexpr int kLabelRoom = 22;  // page pixels between a box and the top of its cell
  return QPoint(SurfacePoint(QPoint(200, 0)).x(), std::max(0, SurfaceY(d.Top - kLabelRoom) - POPP->height() - 4));
}

void TFImage::OpenDonationFlow(int k) {
  const int krs = KrsFieldOf(ctx_.settlement.Current.IdPit);
  if (krs < 0 || Slot(krs) == nullptr || Slot(krs)->Value.empty()) return;
  if (POPP->Amount()->text() == QLatin1String("0,00")) return;
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  POPP->move(DonationPanelPos(d));
  ScrollTo(POPP->y() - 10);
  POPP->show();
  POPP->raise();
  OpenTextBox(k);
}

void TFImage::WriteValueOver(int k) {
  const FieldObject& d = fields_[static_cast<std::size_t>(k)];
  valueOver_ = new QLabel(Q(d.Value), surface_);
  valueOver_->setGeometry(
      SurfaceRect(QRect(d.Left + kLeftOffset, d.Top, std::max(1, d.Right - d.Left), std::max(1, d.Bottom - d.Top))));
  valueOver_->show();
  editor_ = Editor::ValueOver;
  openedFor_ = k;
}

// --- commit and moving on ----------------------------------------------------------------------

void TFImage::CommitEdited() {
  const int k = edited_;
  // Only an editor that was opened has anything to commit: a read-only or
  // hidden field the user merely clicked keeps its value, and a list left
  // with another row selected changes nothing behind the user's back.
  if (!IsField(k) || openedFor_ != k || editor_ == Editor::ValueOver || Slot(k) == nullptr) {
    RunEntryCalculation();
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
  // The rules of the field's type, the document modified, the calculation.
  const CommitOutcome r = ctx_.Session().Commit(ctx_.settlement.Current.Number, k, input);
  if (!r.accepted && !r.message.empty()) Message(r.message, true);
  // Passing through a field without changing it is no edit.
  if (r.changed) emit modified();
}

void TFImage::NextField() { MoveOn(false); }

void TFImage::MoveOn(bool backward) {
  fieldLeft_ = edited_;
  edited_ = -1;
  CloseAllEditors();
  Redraw();
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
      ShowOtherPage(nextPage);
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

void TFImage::ShowOtherPage(int page) {
  const int before = showCount_;
  ctx_.settlement.Current.Page = page;
  emit pageChangeRequested(page);
  if (showCount_ == before) ShowPage(ctx_.settlement.Current.IdPit, page, false);
}

void TFImage::SendEnter() {
  const bool tick = editor_ == Editor::Tick;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  EditorKeyPress(&press, tick);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  EditorKeyRelease(&release);
}

bool TFImage::EditorKeyPress(QKeyEvent* e, bool tickPanel) {
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
      Redraw();
    }
    return true;
  }
  return false;
}

bool TFImage::EditorKeyRelease(QKeyEvent* e) {
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

void TFImage::RevertEditor() {
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

void TFImage::TickPanelMouseUp() {
  if (edited_ < 0) return;
  tickPanel_->Toggle();
  CommitEdited();
  Redraw();
  tickPanel_->Input()->setFocus();
}

void TFImage::PickChosen(bool backward) {
  if (edited_ < 0) return;
  CommitEdited();
  MoveOn(backward);
}

void TFImage::PickCancelled() {
  if (editor_ == Editor::Country) PListaKR->Cancel(rememberedCountry_);
  // Cancelling ends the edit: a later click elsewhere must not commit the
  // row the user walked away from.
  edited_ = -1;
  editor_ = Editor::None;
  openedFor_ = -1;
  surface_->setFocus();
}

void TFImage::PickerCommit(bool backward) {
  if (edited_ < 0) return;
  CommitEdited();
  MoveOn(backward);
}

void TFImage::DonationDeclined() {
  POPP->hide();
  // The part is typed into the field the panel stood over.
  if (textBox_ != nullptr && editor_ == Editor::Text) {
    textBox_->setFocus();
    textBox_->selectAll();
  }
}

void TFImage::DonationAccepted() {
  if (edited_ >= 0) {
    if (textBox_ != nullptr) textBox_->setText(POPP->Amount()->text());
    CommitEdited();
    NextField();
  }
  POPP->hide();
}

// --- messages -------------------------------------------------------------------------------------

void TFImage::Message(const std::string& text, bool warning) {
  QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, QString::fromUtf8(kApplicationTitle),
                  Q(text), QMessageBox::Ok, this);
  box.exec();
  enterPressed_ = tabPressed_ = false;
}

bool TFImage::AskYesNo(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::Warning, Q(title), Q(text), QMessageBox::Yes | QMessageBox::No, this);
  const bool yes = box.exec() == QMessageBox::Yes;
  enterPressed_ = tabPressed_ = false;
  return yes;
}

// --- CalcDisplay -------------------------------------------------------------------------------------

int TFImage::ShownEntry() const { return ctx_.settlement.Current.Number; }
int TFImage::ShownIdPit() const { return ctx_.settlement.Current.IdPit; }
int TFImage::CurrentPage() const { return ctx_.settlement.Current.Page; }

void TFImage::SetReadOnly(int field, bool on) {
  if (IsField(field)) fields_[static_cast<std::size_t>(field)].ReadOnly = on;
}
void TFImage::SetVisible(int field, bool on) {
  if (IsField(field)) fields_[static_cast<std::size_t>(field)].Visible = on;
}
void TFImage::SetMustBe(int field, bool on) {
  if (IsField(field)) fields_[static_cast<std::size_t>(field)].MustBe = on;
}
void TFImage::SetMaxChar(int field, int maxChar) {
  if (IsField(field)) fields_[static_cast<std::size_t>(field)].MaxChar = maxChar;
}

void TFImage::ClearMessages() {
  if (listError_ != nullptr) listError_->clear();
}

void TFImage::AddMessage(const std::string& line) {
  if (listError_ != nullptr) listError_->addItem(Q(line));
}

void TFImage::SetMessageListHeight(MessageListHeight h) {
  if (listError_ != nullptr) listError_->setFixedHeight(h == MessageListHeight::Normal ? listNormalHeight_ : 0);
}

void TFImage::GrowMessageList(int pixels) {
  if (listError_ != nullptr) listError_->setFixedHeight(listError_->maximumHeight() + pixels);
}

void TFImage::ShowCorrectionInfo(const std::string& caption, int page) {
  TFInfo info(this);
  info.Prepare(Q(caption), page, eFilingVisible_ ? eFilingVisible_() : true);
  info.exec();
  enterPressed_ = tabPressed_ = false;
}

void TFImage::ShowReminder(const std::string& text) { Message(text); }
void TFImage::ShowWarning(const std::string& text) { Message(text, true); }

void TFImage::ReportError(const std::string& text) { Message(text, true); }

void TFImage::SelectEntry(int entry, int idPit) {
  emit selectEntryRequested(entry);
  Settlement& s = ctx_.settlement;
  if (!s.Has(entry)) return;
  if (s.Current.Number != entry || s.Current.IdPit != idPit) {
    // Nobody showed it: the calculation that follows still needs the entry
    // as the one shown, with its own definition open.
    ctx_.Session().MakeCurrent(entry, 1);
    reminderFlag_ = false;
  }
  ctx_.Session().EnsureShownFields();
}

void TFImage::SetDonationLabel(const std::string& text) { POPP->Amount()->setText(Q(text)); }

}  // namespace pit::ui
