#include "ui/forms/tfimage.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "calc/calculation.h"
#include "app/headless_display.h"
#include "calc/framework.h"
#include "forms/definition_files.h"
#include "ui/app/app_context.h"
#include "ui/forms/field_editing.h"
#include "ui/forms/form_rules.h"
#include "ui/forms/page_view.h"
#include "ui/forms/tfinfo.h"
#include "ui/forms/calc_result_view.h"

namespace pit::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

TFImage::TFImage(AppContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), fields_(ctx.Session().ShownFields()) {
  setObjectName(QStringLiteral("FImage"));
  view_ = new PageView(this);
  surface_ = view_->Surface();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  view_->SetEntrySource([this]() -> const FormEntry* { return Entry(); });
  editing_ = new FieldEditing(ctx_, *view_, this);
  // Drawn anew at another zoom: the fields go over it again and the open
  // editor follows its field.
  connect(view_, &PageView::fieldsNeeded, this, [this] {
    DrawFields();
    editing_->PlaceOpenEditor();
  });
  connect(view_, &PageView::zoomChanged, this, &TFImage::zoomChanged);
  connect(view_, &PageView::mouseMoved, editing_, &FieldEditing::MouseMoved);
  connect(view_, &PageView::clicked, editing_, [this](const QPoint& at) {
    editing_->MouseMoved(at);
    editing_->Clicked();
  });
  connect(editing_, &FieldEditing::redrawNeeded, this, &TFImage::Redraw);
  connect(editing_, &FieldEditing::pageRequested, this, &TFImage::ShowOtherPage);
  connect(editing_, &FieldEditing::modified, this, &TFImage::modified);
  CalcResultView::Hooks hooks;
  hooks.message = [this](const std::string& text, bool warning) { Message(text, warning); };
  hooks.correctionInfo = [this](const std::string& caption, int page) {
    TFInfo info(this);
    info.Prepare(Q(caption), page, eFilingVisible_ ? eFilingVisible_() : true);
    info.exec();
    editing_->ForgetKeys();
  };
  hooks.donationLabel = [this](const std::string& text) { editing_->DonationLabel()->setText(Q(text)); };
  hooks.showEntry = [this](int entry, int idPit) { GoToEntry(entry, idPit); };
  results_ = std::make_unique<CalcResultView>(std::move(hooks));
  ctx_.Session().SetResultView([this](const ShownResult& r) { ShowResult(r); }, this);
}

TFImage::~TFImage() {
  ctx_.Session().DropResultView(this);
}

// --- state ---------------------------------------------------------------------------

QWidget* TFImage::Surface() const { return surface_; }
QScrollArea* TFImage::ScrollArea() const { return view_->ScrollArea(); }
int TFImage::PageHeight() const { return view_->PageHeight(); }
int TFImage::PictureLoads() const { return view_->PictureLoads(); }
const QImage& TFImage::PageImage() const { return view_->PageImage(); }
QLabel* TFImage::DonationLabel() const { return editing_->DonationLabel(); }
QWidget* TFImage::OpenEditor() const { return editing_->OpenEditor(); }
int TFImage::EditedObject() const { return editing_->EditedObject(); }
int TFImage::FieldUnderMouse() const { return editing_->FieldUnderMouse(); }
int TFImage::FieldBeingEdited() const { return editing_->EditedObject(); }
void TFImage::CommitOpenEditor() { editing_->CommitOpenEditor(); }
bool TFImage::EditorHoldsTyping() const { return editing_->EditorHoldsTyping(); }
void TFImage::DropTyping() { editing_->RevertEditor(); }
void TFImage::OpenField(int k) { editing_->OpenField(k); }
void TFImage::Message(const std::string& text, bool warning) { editing_->Message(text, warning); }

void TFImage::ShowRestoredValues() {
  RunEntryCalculation();
  editing_->ShowRestoredValue();
  Redraw();
}

bool TFImage::PictureLoaded() const { return view_->PictureLoaded(); }

void TFImage::SetMessageList(QListWidget* list) {
  results_->SetMessageList(list);
}

void TFImage::SetEFilingQuery(std::function<bool()> visible) { eFilingVisible_ = std::move(visible); }

void TFImage::SetHighlightFields(bool on) {
  view_->SetHighlight(on);
  if (PictureLoaded()) Redraw();
}

bool TFImage::HighlightFields() const { return view_->Highlight(); }

FormEntry* TFImage::Entry() const {
  const Settlement& s = ctx_.settlement;
  const int n = s.Current.Number;
  return s.Has(n) ? &ctx_.settlement.Entry(n) : nullptr;
}

// --- showing a page --------------------------------------------------------------------

void TFImage::ShowPage(int idPit, int page, bool refresh) {
  ++showCount_;
  CurrentEntryState& c = ctx_.settlement.Current;
  // An editor left open belongs to the page that is going away.
  editing_->PageChanging();
  c.IdPit = idPit;
  c.Page = page;
  if (Entry() == nullptr) return;
  ctx_.Session().EnsureShownFields();
  pageCount_ = c.PageCount;
  if (pageCount_ <= 0 && FormCatalogue::IsValid(idPit)) pageCount_ = ctx_.settlement.Catalogue()[idPit].PageCount;
  ctx_.Session().PageDisplayed();
  editing_->ForgetKeys();
  LoadPagePicture();
  view_->ClearFieldLayer();
  RunEntryCalculation();
  DrawFields();
  // Another page, form or entry starts at its top: one opened at the place
  // of the page before would hide its first fields and put others where the
  // user expects them.
  if (c.Number != shownEntry_ || idPit != shownIdPit_ || page != shownPage_) view_->ScrollTo(0);
  shownEntry_ = c.Number;
  shownIdPit_ = idPit;
  shownPage_ = page;
  if (refresh) update();
  emit pageShown(page, pageCount_);
}

void TFImage::Recalculate() {
  RunEntryCalculation();
  Redraw();
  emit valuesDrawn();
}

void TFImage::DrawValues() {
  Redraw();
  emit valuesDrawn();
}

void TFImage::CloseForm() {
  editing_->PageChanging();
  view_->Release();
  ctx_.Session().ForgetShownFields();
  pageCount_ = 0;
  shownEntry_ = shownIdPit_ = shownPage_ = 0;
}

void TFImage::LoadPagePicture() {
  const CurrentEntryState& c = ctx_.settlement.Current;
  const std::string dir = ctx_.defs ? ctx_.defs->Dir() : ctx_.Folder("dc");
  std::string error;
  if (!view_->LoadPicture(DcgPath(dir, c.IdPit, c.Page), error)) Message(error, true);
}

void TFImage::ApplySpouseFieldRules() {
  const int number = ctx_.settlement.Current.Number;
  CalcContext cc = ctx_.Session().ContextFor(number, ctx_.Session().InputFor(number));
  SpouseFieldRules(cc, ctx_.settlement.Current.IdPit);
  ApplyFlags(cc.shown, fields_);
}

void TFImage::DrawFields() {
  const FormEntry* e = Entry();
  if (e == nullptr || !view_->HasFieldLayer()) return;
  if (FieldCount() > 0) ApplySpouseFieldRules();
  view_->PaintFields(ctx_.settlement.Current.IdPit, fields_, *e, ctx_.settlement.Current.Page);
}

void TFImage::Redraw() {
  view_->ClearFieldLayer();
  DrawFields();
}

void TFImage::RunEntryCalculation() {
  if (Entry() == nullptr) return;
  ctx_.Session().Calculate(ctx_.settlement.Current.Number);
}

void TFImage::wheelEvent(QWheelEvent* e) { view_->Wheel(e); }

void TFImage::showEvent(QShowEvent* e) {
  editing_->ForgetKeys();
  QWidget::showEvent(e);
}

// --- zoom ---------------------------------------------------------------------------------------

double TFImage::Zoom() const { return view_->Zoom(); }
bool TFImage::FitsWidth() const { return view_->FitsWidth(); }
void TFImage::SetZoom(double zoom) { view_->SetZoom(zoom); }
int TFImage::PercentOf(double zoom) { return PageView::PercentOf(zoom); }
void TFImage::ZoomIn() { view_->ZoomIn(); }
void TFImage::ZoomOut() { view_->ZoomOut(); }
void TFImage::FitWidth() { view_->FitWidth(); }
QPoint TFImage::SurfacePoint(const QPoint& unzoomed) const { return view_->SurfacePoint(unzoomed); }
QRect TFImage::SurfaceRect(const QRect& unzoomed) const { return view_->SurfaceRect(unzoomed); }

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

void TFImage::ShowOtherPage(int page) {
  const int before = showCount_;
  ctx_.settlement.Current.Page = page;
  emit pageChangeRequested(page);
  if (showCount_ == before) ShowPage(ctx_.settlement.Current.IdPit, page, false);
}

// --- what is shown -------------------------------------------------------------------------------

int TFImage::ShownEntry() const { return ctx_.settlement.Current.Number; }
int TFImage::ShownIdPit() const { return ctx_.settlement.Current.IdPit; }
int TFImage::CurrentPage() const { return ctx_.settlement.Current.Page; }

void TFImage::ShowResult(const ShownResult& r) { results_->Render(r); }

void TFImage::SetMessageListHeight(MessageListHeight h) {
  ShownResult r;
  r.SetMessageListHeight(h);
  results_->Render(r);
}

void TFImage::GoToEntry(int entry, int idPit) {
  emit selectEntryRequested(entry);
  Settlement& s = ctx_.settlement;
  if (!s.Has(entry)) return;
  if (s.Current.Number != entry || s.Current.IdPit != idPit) {
    // Nobody showed it: it is the one shown from now on all the same, with
    // its own definition open.
    ctx_.Session().MakeCurrent(entry, 1);
    ctx_.Session().PageDisplayed();
  }
  ctx_.Session().EnsureShownFields();
}

}  // namespace pit::ui
