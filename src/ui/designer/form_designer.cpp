#include "ui/designer/form_designer.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSaveFile>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolTip>
#include <algorithm>

#include "app/catalogue.h"
#include "forms/definition_files.h"
#include "page_painter.h"
#include "ui/designer/tfobj.h"
#include "ui/designer/tfpaleta.h"

namespace pit::ui {

namespace {

constexpr int kPageWidth = 800;
constexpr int kEmptySheetHeight = 1000;
constexpr int kMinSize = 4;       // a rectangle must be wider and higher than this
constexpr int kHandleMargin = 3;  // half of the 6-pixel handle squares

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The picture's own size in pixels, for the scale slider: the frame of an
// enhanced metafile on its reference device, or the bounding box of a
// placeable WMF at 96 pixels per inch. Kept within 4000 pixels.
QSize NativePictureSize(const QString& path) {
  QFile f(path);
  const QSize none(kPageWidth, kEmptySheetHeight);
  if (!f.open(QIODevice::ReadOnly)) return none;
  const QByteArray b = f.read(128);
  auto u16 = [&](int o) { return static_cast<quint16>(static_cast<uchar>(b[o]) | static_cast<uchar>(b[o + 1]) << 8); };
  auto i32 = [&](int o) { return static_cast<qint32>(u16(o) | static_cast<quint32>(u16(o + 2)) << 16); };
  double w = 0, h = 0;
  if (b.size() >= 22 && static_cast<quint32>(i32(0)) == 0x9AC6CDD7u) {
    const int inch = u16(14);
    if (inch > 0) {
      w = (static_cast<qint16>(u16(10)) - static_cast<qint16>(u16(6))) * 96.0 / inch;
      h = (static_cast<qint16>(u16(12)) - static_cast<qint16>(u16(8))) * 96.0 / inch;
    }
  } else if (b.size() >= 88 && i32(0) == 1 && static_cast<quint32>(i32(40)) == 0x464D4520u) {
    const double devW = i32(72), devH = i32(76), mmW = i32(80), mmH = i32(84);
    if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0) {
      w = (static_cast<double>(i32(32)) - i32(24)) / 100.0 * devW / mmW;
      h = (static_cast<double>(i32(36)) - i32(28)) / 100.0 * devH / mmH;
    }
  }
  if (!(w >= 1 && h >= 1)) return none;
  const double shrink = std::min(1.0, 4000.0 / std::max(w, h));
  return QSize(static_cast<int>(w * shrink), static_cast<int>(h * shrink));
}

// Midpoint of an edge from a to b, as the handles are placed.
int Mid(int a, int b) { return a + std::abs(a - b) / 2; }

QPoint HandlePos(const FieldObject& f, int h) {
  switch (h) {
    case 1: return {f.Left, f.Top};
    case 2: return {Mid(f.Left, f.Right), f.Top};
    case 3: return {f.Right, f.Top};
    case 4: return {f.Right, Mid(f.Top, f.Bottom)};
    case 5: return {f.Right, f.Bottom};
    case 6: return {Mid(f.Left, f.Right), f.Bottom};
    case 7: return {f.Left, f.Bottom};
    default: return {f.Left, Mid(f.Top, f.Bottom)};
  }
}

Qt::CursorShape HandleCursor(int h) {
  switch (h) {
    case 1: case 5: return Qt::SizeFDiagCursor;
    case 3: case 7: return Qt::SizeBDiagCursor;
    case 2: case 6: return Qt::SizeVerCursor;
    default: return Qt::SizeHorCursor;
  }
}

const char* TypeLabel(int typ) {
  static const char* const labels[] = {" #Typ: Tekst ", " #Typ: Liczba ", " #Typ: NIP ", " #Typ: Data ",
                                       " #Typ: OPP ", " #Typ: Checbox ", " #Typ: Kreska ",
                                       " #Typ: Urzad Skarbowy ", " #Typ: Kraj "};
  return typ >= 0 && typ <= 8 ? labels[typ] : "";
}

// A field as newly drawn: what every new record starts from.
FieldObject NewField(int index, int page, int typ, const QRect& r) {
  FieldObject f;
  f.Left = r.left();
  f.Top = r.top();
  f.Right = r.left() + r.width();
  f.Bottom = r.top() + r.height();
  f.ID = index;
  f.Tab = index;
  f.Name = std::to_string(index);
  f.Page = page;
  return ResetFieldType(f, typ);
}

}  // namespace

// The page with the field rectangles; passes the mouse and keys to the window.
class DesignerSurface : public QWidget {
 public:
  explicit DesignerSurface(FormDesigner& d) : QWidget(nullptr), d_(d) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  QImage page;  // picture and rectangles, drawn again from the file on every change

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, page);
    const int sel = d_.selected_;
    if (sel >= 0 && sel < static_cast<int>(d_.fields_.size()) && d_.fields_[sel].Page == d_.page_) {
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      for (int h = 1; h <= 8; ++h) {
        const QPoint c = HandlePos(d_.fields_[sel], h);
        p.drawRect(c.x() - 3, c.y() - 3, 6, 6);
      }
    }
    if (d_.drawing_ || (d_.moving_ && d_.last_ != d_.start_)) {
      const QRect band = d_.drawing_ ? QRect(d_.start_, d_.last_).normalized() : d_.DraggedRect();
      p.setPen(QPen(Qt::red, 1, Qt::DotLine));
      p.setBrush(QBrush(QColor(255, 0, 0, 90), Qt::BDiagPattern));
      p.drawRect(band);
    }
  }
  void mousePressEvent(QMouseEvent* e) override {
    setFocus();
    d_.MousePress(e->position().toPoint(), e->button(), e->modifiers());
  }
  void mouseMoveEvent(QMouseEvent* e) override { d_.MouseMove(e->position().toPoint()); }
  void contextMenuEvent(QContextMenuEvent* e) override {
    if (d_.FieldAt(e->pos()) < 0) return;
    QMenu menu(this);
    menu.addAction(QStringLiteral("Zmień typ"), this, [this] { d_.ShowTypeDialog(); });
    menu.addAction(QStringLiteral("Właściwości"), this, [this] { d_.ShowPalette(); });
    menu.addAction(QStringLiteral("Usuń"));  // deleting is the Delete key's, so a slip of the menu loses nothing
    menu.exec(e->globalPos());
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) d_.MouseRelease(e->position().toPoint(), e->modifiers());
  }
  void keyPressEvent(QKeyEvent* e) override {
    if (!d_.KeyPress(e->key())) QWidget::keyPressEvent(e);
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    if (!d_.KeyRelease(e->key())) QWidget::keyReleaseEvent(e);
  }
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) {
      auto* he = static_cast<QHelpEvent*>(e);
      const int k = d_.FieldAt(he->pos());
      if (k >= 0) {
        QToolTip::showText(he->globalPos(), d_.ToolTipFor(k), this);
      } else {
        QToolTip::hideText();
      }
      return true;
    }
    return QWidget::event(e);
  }

 private:
  FormDesigner& d_;
};

FormDesigner::FormDesigner(const QString& dcDir, const QString& tmpDir, QWidget* parent)
    : QMainWindow(parent),
      dcDir_(dcDir),
      tmpDir_(tmpDir.isEmpty() ? dcDir + QStringLiteral("/../tmp") : tmpDir),
      picture_(std::make_unique<render::PagePicture>()) {
  setWindowTitle(QStringLiteral("Formularz - tryb narzędziowy [%1]").arg(dcDir));
  defDir_ = dcDir_;
  QMenu* menu = menuBar()->addMenu(QStringLiteral("Formularz"));
  QList<QAction*> fileActions = {
      menu->addAction(QStringLiteral("Nowy"), this, &FormDesigner::NewDefinition),
      menu->addAction(QStringLiteral("Otwórz"), this, &FormDesigner::ChooseDefinition),
      menu->addAction(QStringLiteral("Zapisz jako ..."), this, &FormDesigner::ChooseSaveName),
      menu->addAction(QStringLiteral("Dodaj stronę druku"), this, &FormDesigner::ChoosePagePicture)};
  fileActions[0]->setObjectName(QStringLiteral("Nowy"));
  fileActions[1]->setObjectName(QStringLiteral("Otworz"));
  fileActions[2]->setObjectName(QStringLiteral("ZapiszJako"));
  fileActions[3]->setObjectName(QStringLiteral("DodajStrone"));
  menu->addSeparator();
  menu->addAction(QStringLiteral("Zamknij "), this, [this] {
    if (embedded_) {
      emit leaveRequested();
    } else {
      close();
    }
  });
  QMenu* view = menuBar()->addMenu(QStringLiteral("Widok"));
  QAction* auto_ = view->addAction(QStringLiteral("Okno opcji "));
  auto_->setCheckable(true);
  auto_->setChecked(true);
  connect(auto_, &QAction::toggled, this, [this](bool on) { autoOptions_ = on; });
  QAction* names = view->addAction(QStringLiteral("Nazwy pól"));
  names->setCheckable(true);
  names->setChecked(true);
  connect(names, &QAction::toggled, this, [this](bool on) {
    showNames_ = on;
    Redraw();
  });
  // Filling mode's drawing: with it off the page shows the values only.
  QAction* highlight = view->addAction(QStringLiteral("Podświetlanie pól"));
  highlight->setObjectName(QStringLiteral("PodswietlPol"));
  highlight->setCheckable(true);
  highlight->setChecked(true);
  connect(highlight, &QAction::toggled, this, &FormDesigner::highlightFieldsToggled);

  QToolBar* bar = addToolBar(QStringLiteral("ToolBarNarzedziowy"));
  bar->setObjectName(QStringLiteral("ToolBarNarzedziowy"));
  leave_ = bar->addAction(QStringLiteral("Tryb klienta"));
  leave_->setObjectName(QStringLiteral("ButtonTrybEdycji"));
  leave_->setToolTip(QStringLiteral("tryb pracy: narzędziowy lub klienta"));
  leave_->setVisible(false);
  connect(leave_, &QAction::triggered, this, &FormDesigner::leaveRequested);
  bar->addActions(fileActions);
  bar->addSeparator();
  bar->addWidget(new QLabel(QStringLiteral(" Formularz: ")));
  formCombo_ = new QComboBox;
  formCombo_->setObjectName(QStringLiteral("FormCombo"));
  QStringList ids;
  for (const QString& f : QDir(dcDir).entryList({QStringLiteral("*.dcd")}, QDir::Files)) {
    bool ok = false;
    const int id = f.chopped(4).toInt(&ok);
    if (ok) ids << QString::number(id);
  }
  std::sort(ids.begin(), ids.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
  formCombo_->addItems(ids);
  bar->addWidget(formCombo_);
  bar->addWidget(new QLabel(QStringLiteral(" strona: ")));
  pageSpin_ = new QSpinBox;
  pageSpin_->setObjectName(QStringLiteral("PageSpin"));
  pageSpin_->setRange(1, 1);
  bar->addWidget(pageSpin_);
  bar->addWidget(new QLabel(QStringLiteral(" typ pola: ")));
  selectObj_ = new QComboBox;
  selectObj_->setObjectName(QStringLiteral("SelectObj"));
  selectObj_->addItems({QStringLiteral("Text"), QStringLiteral("Liczba"), QStringLiteral("NIP"), QStringLiteral("Data"),
                        QStringLiteral("Select"), QStringLiteral("Checbox")});
  bar->addWidget(selectObj_);
  QAction* csv = bar->addAction(QStringLiteral("Lista CSV"));
  csv->setObjectName(QStringLiteral("ToolButton5"));
  csv->setToolTip(QStringLiteral("Zapisz listę pól z nazwami XML do pliku CSV"));
  connect(csv, &QAction::triggered, this, [this] {
    QString error;
    const QString path = WriteFieldCsv(&error);
    if (path.isEmpty()) {
      QMessageBox::warning(this, QStringLiteral("Lista pól"), error);
    } else {
      Status(QStringLiteral("Zapisano listę pól: ") + path);
    }
  });

  bar->addWidget(new QLabel(QStringLiteral(" skala: ")));
  trackBar_ = new QSlider(Qt::Horizontal);
  trackBar_->setObjectName(QStringLiteral("TrackBar"));
  trackBar_->setRange(0, 100);
  trackBar_->setTickInterval(10);
  trackBar_->setTickPosition(QSlider::TicksBelow);
  trackBar_->setFixedWidth(120);
  trackBar_->setToolTip(QStringLiteral("Warstwa pól w skali własnego rozmiaru obrazu strony (0: strona 800 pikseli szeroka)"));
  bar->addWidget(trackBar_);
  connect(trackBar_, &QSlider::valueChanged, this, &FormDesigner::SetScale);

  surface_ = new DesignerSurface(*this);
  scroll_ = new QScrollArea;
  scroll_->setWidget(surface_);
  scroll_->setBackgroundRole(QPalette::Dark);
  setCentralWidget(scroll_);
  status_ = new QLabel;
  statusBar()->addWidget(status_, 1);
  sizes_ = new QLabel;
  sizes_->setObjectName(QStringLiteral("RozmiarDruku"));
  statusBar()->addPermanentWidget(sizes_);

  connect(formCombo_, &QComboBox::currentTextChanged, this, [this](const QString& t) {
    if (!t.isEmpty() && (t.toInt() != idPit_ || defDir_ != dcDir_)) OpenForm(t.toInt(), 1);
  });
  connect(pageSpin_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int p) {
    if (p != page_) ShowPage(p);
  });
  palette_ = new TFPaleta(this);
  palette_->setWindowFlag(Qt::Tool);
  connect(palette_, &TFPaleta::applied, this, [this](int k, const FieldObject& f) {
    if (k >= 0 && k < static_cast<int>(fields_.size()) && Rewrite(k, f)) Redraw();
  });
  connect(palette_, &TFPaleta::fontSizeChanged, this, [this](int k, const QString& size) {
    if (k < 0 || k >= static_cast<int>(fields_.size())) return;
    FieldObject f = fields_[k];
    f.FontSize = size.toStdString();
    if (Rewrite(k, f)) Redraw();
  });
  typeDialog_ = new TFObj(this);
  connect(typeDialog_, &TFObj::applied, this, [this](int k, const FieldObject& f) {
    if (k >= 0 && k < static_cast<int>(fields_.size()) && Rewrite(k, f)) Redraw();
  });
  if (ids.isEmpty()) {
    NewDefinition();
  } else {
    OpenForm(ids.front().toInt(), 1);
  }
}

void FormDesigner::ShowPalette() {
  const int k = underMouse_ >= 0 ? underMouse_ : static_cast<int>(fields_.size()) - 1;
  if (k < 0) return;
  palette_->Edit(k, fields_[k]);
  palette_->move(QCursor::pos());
  palette_->show();
  palette_->raise();
}

void FormDesigner::ShowTypeDialog() {
  if (underMouse_ < 0) return;
  typeDialog_->Edit(underMouse_, fields_[underMouse_]);
  typeDialog_->open();
}

FormDesigner::~FormDesigner() = default;

void FormDesigner::SetEmbedded(bool on) {
  embedded_ = on;
  leave_->setVisible(on);
}

QWidget* FormDesigner::Surface() const { return surface_; }
QString FormDesigner::StatusText() const { return status_->text(); }
QImage FormDesigner::PageImage() const { return surface_->page; }
QString FormDesigner::DcsFile() const { return QDir(defDir_).filePath(defName_ + QStringLiteral(".dcs")); }
QString FormDesigner::DcdFile() const { return QDir(defDir_).filePath(defName_ + QStringLiteral(".dcd")); }
QString FormDesigner::PictureFile(int page) const {
  return QDir(defDir_).filePath(QStringLiteral("%1_%2.dcg").arg(defName_).arg(page));
}
void FormDesigner::Status(const QString& text) { status_->setText(text); }

bool FormDesigner::OpenForm(int idPit, int page) {
  idPit_ = idPit;
  defDir_ = dcDir_;
  defName_ = QString::number(idPit);
  const auto d = LoadFormDescription(DcdFile().toStdString());
  pageCount_ = d ? d->PageCount : 0;
  workSize_ = d ? QSize(d->PageWidth, d->PageHeight) : QSize();
  ShowDefinition(page);
  return pictureLoaded_;
}

void FormDesigner::ShowDefinition(int page) {
  {
    const QSignalBlocker b1(formCombo_), b2(pageSpin_);
    formCombo_->setCurrentIndex(formCombo_->findText(defDir_ == dcDir_ ? defName_ : QString()));
    pageSpin_->setRange(1, std::max(1, pageCount_));
  }
  page_ = -1;
  ShowPage(std::clamp(page, 1, std::max(1, pageCount_)));
  setWindowTitle(QStringLiteral("Formularz - tryb narzędziowy [%1]").arg(QDir::toNativeSeparators(DcdFile())));
}

void FormDesigner::ShowPage(int page) {
  page_ = page;
  {
    const QSignalBlocker b(pageSpin_);
    pageSpin_->setValue(page);
  }
  selected_ = dragged_ = underMouse_ = -1;
  drawing_ = moving_ = false;
  render::PagePicture next;
  pictureLoaded_ = next.Load(PictureFile(page).toStdString());
  if (pictureLoaded_) {
    *picture_ = std::move(next);
    pageHeight_ = picture_->Height();
    nativeSize_ = NativePictureSize(PictureFile(page));
  } else {
    picture_->Release();
    pageHeight_ = kEmptySheetHeight;
    nativeSize_ = QSize(kPageWidth, kEmptySheetHeight);
  }
  ShowSizes();
  Redraw();
}

void FormDesigner::Redraw() {
  const std::string path = DcsFile().toStdString();
  const auto loaded = LoadFieldObjects(path);
  fields_ = loaded ? *loaded : std::vector<FieldObject>{};
  if (selected_ >= static_cast<int>(fields_.size())) selected_ = -1;
  if (dragged_ >= static_cast<int>(fields_.size())) dragged_ = -1;

  const QSize layer = LayerSize();
  surface_->setFixedSize(layer);
  QImage img(layer, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  if (scale_ > 0) {
    // The picture at a share of its own size, the field layer framed; the
    // fields keep their page coordinates.
    if (pictureLoaded_) picture_->DrawInto(p, QRectF(0, 0, layer.width(), layer.height()));
    p.setPen(QPen(Qt::darkRed, 1));
    p.drawRect(0, 0, layer.width() - 1, layer.height() - 1);
  } else if (pictureLoaded_) {
    picture_->Draw(p, 0, 0);
  } else {
    // The empty sheet: a frame 50 pixels inside its edges.
    p.setPen(Qt::black);
    p.drawRect(50, 50, kPageWidth - 100, pageHeight_ - 100);
  }
  if (!loaded) {
    p.end();
    surface_->page = img;
    surface_->update();
    Status(Q("Brak pliku Dcs!: " + path));
    return;
  }
  QFont font = p.font();
  font.setPixelSize(9);
  p.setFont(font);
  for (int k = 0; k < static_cast<int>(fields_.size()); ++k) {
    const FieldObject& f = fields_[k];
    if (f.Page != page_) continue;
    const QRect r(QPoint(f.Left, f.Top), QPoint(f.Right - 1, f.Bottom - 1));
    if (showNames_) {
      p.fillRect(r, QColor(0xFF, 0xFF, 0x80));
      const QString label = QStringLiteral("[%1][%2]{%3}").arg(k).arg(Q(f.XMLNode)).arg(f.Tab);
      p.setPen(Qt::black);
      p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, p.fontMetrics().elidedText(label, Qt::ElideRight, r.width()));
    }
    p.setPen(QPen(f.Block ? Qt::darkGray : Qt::blue, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
  }
  p.end();
  surface_->page = img;
  surface_->update();
  Status(QStringLiteral("Liczba obiektow:%1").arg(fields_.size()));
}

void FormDesigner::ShowSizes() {
  QString text = pictureLoaded_ ? QStringLiteral("Rozmiar druku:[%1x%2]").arg(kPageWidth).arg(pageHeight_)
                                : QStringLiteral("Rozmiar druku:[brak obrazu strony]");
  if (workSize_.isValid()) text += QStringLiteral(" Roz.rob.druk: %1x%2").arg(workSize_.width()).arg(workSize_.height());
  sizes_->setText(text);
}

QSize FormDesigner::LayerSize() const {
  if (scale_ <= 0) return QSize(kPageWidth, pageHeight_);
  return QSize(std::max(1, nativeSize_.width() * scale_ / 100), std::max(1, nativeSize_.height() * scale_ / 100));
}

int FormDesigner::FieldAt(const QPoint& pt) const {
  for (int k = static_cast<int>(fields_.size()) - 1; k >= 0; --k) {
    const FieldObject& f = fields_[k];
    if (f.Page == page_ && pt.x() >= f.Left && pt.x() < f.Right && pt.y() >= f.Top && pt.y() < f.Bottom) return k;
  }
  return -1;
}

int FormDesigner::HandleAt(const QPoint& pt) const {
  if (selected_ < 0 || selected_ >= static_cast<int>(fields_.size())) return 0;
  int found = 0;  // the later handle of the table wins
  for (int h = 1; h <= 8; ++h) {
    const QPoint c = HandlePos(fields_[selected_], h);
    if (std::abs(pt.x() - c.x()) <= kHandleMargin && std::abs(pt.y() - c.y()) <= kHandleMargin) found = h;
  }
  return found;
}

QRect FormDesigner::DraggedRect() const {
  if (dragged_ < 0 || dragged_ >= static_cast<int>(fields_.size())) return {};
  const FieldObject& f = fields_[dragged_];
  int l = f.Left, t = f.Top, r = f.Right, b = f.Bottom;
  const int dx = last_.x() - start_.x(), dy = last_.y() - start_.y();
  const bool left = handle_ == 0 || handle_ == 1 || handle_ == 7 || handle_ == 8;
  const bool right = handle_ == 0 || handle_ == 3 || handle_ == 4 || handle_ == 5;
  const bool top = handle_ == 0 || handle_ == 1 || handle_ == 2 || handle_ == 3;
  const bool bottom = handle_ == 0 || handle_ == 5 || handle_ == 6 || handle_ == 7;
  if (left) l += dx;
  if (right) r += dx;
  if (top) t += dy;
  if (bottom) b += dy;
  // Dragging an edge past the opposite one turns the rectangle over rather than inside out.
  return QRect(std::min(l, r), std::min(t, b), std::abs(r - l), std::abs(b - t));
}

QString FormDesigner::ToolTipFor(int k) const {
  const FieldObject& f = fields_[k];
  const QString rule = QStringLiteral("----------------------------------------------------------");
  return QStringLiteral("#ID:%1                                 #Name:%2").arg(k).arg(Q(f.Name)) + "\n" + rule + "\n" +
         QString::fromUtf8(TypeLabel(f.Typ)) + "\n #TAB: " + QString::number(f.Tab) + "\n" + rule + "\n #XML: " +
         Q(f.XMLNode) + "\n #POZ: " + QString::number(f.Poz) + "\n" + rule;
}

void FormDesigner::UpdateCursor(const QPoint& p) {
  const int h = HandleAt(p);
  if (h != 0) {
    surface_->setCursor(HandleCursor(h));
  } else if (FieldAt(p) >= 0) {
    surface_->setCursor((shiftHeld_ || ctrlHeld_) ? Qt::DragCopyCursor : Qt::SizeAllCursor);
  } else {
    surface_->setCursor(Qt::ArrowCursor);
  }
}

void FormDesigner::MousePress(const QPoint& p, Qt::MouseButton b, Qt::KeyboardModifiers) {
  if (b != Qt::LeftButton) return;
  start_ = last_ = p;
  // A handle of the selected field comes first: half of each square lies inside the field.
  if (const int h = HandleAt(p); h != 0) {
    handle_ = h;
    dragged_ = selected_;
    moving_ = true;
    return;
  }
  handle_ = 0;
  if (const int k = FieldAt(p); k >= 0) {
    selected_ = dragged_ = k;
    moving_ = true;
    surface_->update();
    return;
  }
  if (selected_ >= 0) {  // a click beside the fields only clears the selection
    selected_ = -1;
    surface_->update();
    return;
  }
  drawing_ = true;
}

void FormDesigner::MouseMove(const QPoint& p) {
  underMouse_ = FieldAt(p);
  if (drawing_) {
    last_ = p;
    Status(QStringLiteral("Rysowanie pola obiektu X,Y[%1,%2]").arg(p.x()).arg(p.y()));
    surface_->update();
    return;
  }
  if (moving_ && dragged_ >= 0 && !fields_[dragged_].Block) {
    last_ = p;
    Status(QStringLiteral("Wektor zmiany: X,Y[%1,%2]").arg(p.x() - start_.x()).arg(p.y() - start_.y()));
    surface_->update();
    return;
  }
  UpdateCursor(p);
  if (underMouse_ >= 0) {
    const FieldObject& f = fields_[underMouse_];
    Status(QStringLiteral("Liczba obiektow:%1   x,y [%2,%3]   ID: %4   IntValue: %5   XML: %6   Value: %7   RValue: ")
               .arg(fields_.size()).arg(p.x()).arg(p.y()).arg(underMouse_).arg(f.Tab)
               .arg(Q(f.XMLNode), Q(f.Value)));
  }
}

void FormDesigner::MouseRelease(const QPoint& p, Qt::KeyboardModifiers m) {
  last_ = p;
  if (drawing_) {
    drawing_ = false;
    const QRect r = QRect(QPoint(std::min(start_.x(), p.x()), std::min(start_.y(), p.y())),
                          QSize(std::abs(p.x() - start_.x()), std::abs(p.y() - start_.y())));
    if (r.width() > kMinSize && r.height() > kMinSize) {
      AppendNewField(r);
    } else {
      surface_->update();
    }
    return;
  }
  if (!moving_) return;
  moving_ = false;
  const bool moved = p != start_ && dragged_ >= 0 && !fields_[dragged_].Block;
  if (moved) {
    const QRect r = DraggedRect();
    FieldObject f = fields_[dragged_];
    f.Left = r.left();
    f.Top = r.top();
    f.Right = r.x() + r.width();
    f.Bottom = r.y() + r.height();
    const bool shift = shiftHeld_ || (m & Qt::ShiftModifier);
    const bool ctrl = ctrlHeld_ || (m & Qt::ControlModifier);
    const int index = static_cast<int>(fields_.size());
    if (shift) {
      f.ID = index;
      f.Name = std::to_string(f.Group) + "." + std::to_string(index);
      Append(f);
    } else if (ctrl && f.Typ == kCheckbox) {
      f.ID = index;  // the name stays, so the copy joins the same group of boxes
      Append(f);
    } else {
      Rewrite(dragged_, f);
    }
  }
  handle_ = 0;
  start_ = last_ = p;
  Redraw();
}

void FormDesigner::AppendNewField(const QRect& r) {
  const int index = static_cast<int>(fields_.size());
  if (index >= kMaxFields) {
    Status(QStringLiteral("Formularz ma już najwięcej pól (%1).").arg(kMaxFields));
    surface_->update();
    return;
  }
  if (!Append(NewField(index, page_, selectObj_->currentIndex(), r))) return;
  Redraw();
  if (autoOptions_) {
    underMouse_ = -1;  // the palette takes the new, last field
    ShowPalette();
  }
}

bool FormDesigner::Append(const FieldObject& f) {
  // The folder of a new definition comes with its first field.
  if (!QDir().mkpath(defDir_)) {
    Status(QStringLiteral("Tworzenie folderu [%1] nie powiodło się!").arg(defDir_));
    return false;
  }
  if (!AppendFieldRecord(DcsFile().toStdString(), f)) {
    Status(QStringLiteral("Zapis pliku %1 nie powiódł się.").arg(DcsFile()));
    return false;
  }
  return true;
}

bool FormDesigner::Rewrite(int k, const FieldObject& f) {
  if (!RewriteFieldRecord(DcsFile().toStdString(), k, f)) {
    Status(QStringLiteral("Zapis pliku %1 nie powiódł się.").arg(DcsFile()));
    return false;
  }
  return true;
}

void FormDesigner::DeleteSelected() {
  if (selected_ < 0 || selected_ >= static_cast<int>(fields_.size())) return;
  std::vector<FieldObject> rest = fields_;
  rest.erase(rest.begin() + selected_);
  const std::string path = DcsFile().toStdString();
  if (rest.empty()) {
    QFile::remove(Q(path));
  } else if (!SaveFieldObjects(path, rest)) {
    Status(QStringLiteral("Zapis pliku %1 nie powiódł się.").arg(DcsFile()));
    return;
  }
  selected_ = dragged_ = underMouse_ = -1;
  Redraw();
}

void FormDesigner::Nudge(int key) {
  if (dragged_ < 0 || dragged_ >= static_cast<int>(fields_.size())) return;
  FieldObject f = fields_[dragged_];
  QString what;
  switch (key) {
    case Qt::Key_Left: --f.Left; --f.Right; what = QStringLiteral("<-"); break;
    case Qt::Key_Right: ++f.Left; ++f.Right; what = QStringLiteral("->"); break;
    case Qt::Key_Up: --f.Top; --f.Bottom; what = QStringLiteral("top"); break;
    default: ++f.Top; ++f.Bottom; what = QStringLiteral("down"); break;
  }
  if (Rewrite(dragged_, f)) {
    Redraw();
    Status(what);
  }
}

bool FormDesigner::KeyPress(int key) {
  switch (key) {
    case Qt::Key_Shift: case Qt::Key_Control:
      (key == Qt::Key_Shift ? shiftHeld_ : ctrlHeld_) = true;
      surface_->setCursor(Qt::DragCopyCursor);
      return true;
    case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Up: case Qt::Key_Down:
      if (underMouse_ < 0) return false;
      Nudge(key);
      return true;
    default: return false;
  }
}

bool FormDesigner::KeyRelease(int key) {
  switch (key) {
    case Qt::Key_Shift: case Qt::Key_Control:
      (key == Qt::Key_Shift ? shiftHeld_ : ctrlHeld_) = false;
      UpdateCursor(surface_->mapFromGlobal(QCursor::pos()));
      return true;
    case Qt::Key_Delete: DeleteSelected(); return true;
    case Qt::Key_F2: ShowPalette(); return true;
    default: return false;
  }
}

QString FormDesigner::WriteFieldCsv(QString* error) {
  const std::string dcs = DcsFile().toStdString();
  const auto fields = LoadFieldObjects(dcs);
  if (!fields) {
    *error = Q("Brak pliku Dcs!: " + dcs);
    return {};
  }
  QString name;
  if (defDir_ == dcDir_ && FormCatalogue::IsValid(idPit_)) {
    static const FormCatalogue catalogue;
    QString code = Q(catalogue[idPit_].Code);
    if (const int slash = code.indexOf('/'); slash >= 0) code.remove(slash, 1);
    name = code + QStringLiteral("[%1]").arg(catalogue[idPit_].Variant);
  } else {
    name = defName_;
  }
  if (!QDir().mkpath(tmpDir_)) {
    *error = QStringLiteral("Tworzenie folderu [%1] nie powiodło się!").arg(tmpDir_);
    return {};
  }
  const QString path = QDir(tmpDir_).filePath(name + QStringLiteral(".csv"));
  QByteArray out("id,XMLNode,Page,Poz,Tab\n");
  for (const FieldObject& f : *fields) {
    const QString xml = Q(f.XMLNode).trimmed();
    if (xml.isEmpty()) continue;
    out += QStringLiteral("%1,%2,%3,%4,%5\n").arg(f.ID).arg(Q(f.XMLNode)).arg(f.Page).arg(f.Poz).arg(f.Tab).toUtf8();
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
    *error = QStringLiteral("Zapis pliku %1 nie powiódł się.").arg(path);
    return {};
  }
  return path;
}

}  // namespace pit::ui
