#include "ui/update/tfpomoc.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/app/icons.h"
#include "ui/app/screen_fit.h"

namespace pit::ui {

namespace {

const QColor kGreen(0x2e, 0x8b, 0x57);

QPixmap Bullet() {
  QPixmap p(10, 10);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(kGreen.darker(140), 1));
  g.setBrush(kGreen);
  g.drawEllipse(QRectF(1.5, 1.5, 7, 7));
  return p;
}

QIcon HomeIcon() {
  QPixmap p(24, 24);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(QColor(40, 40, 60), 1.2));
  g.setBrush(QColor(0xc0, 0x39, 0x2b));
  g.drawPolygon(QPolygonF({QPointF(3, 12), QPointF(12, 3.5), QPointF(21, 12)}));
  g.setBrush(QColor(0xf5, 0xe6, 0xc8));
  g.drawRect(QRectF(6, 12, 12, 9));
  g.setBrush(QColor(0x6b, 0x4f, 0x2a));
  g.drawRect(QRectF(10.5, 15, 3.5, 6));
  return QIcon(p);
}

}  // namespace

const std::vector<TFPomoc::Topic>& TFPomoc::Topics() {
  static const std::vector<Topic> topics = {
      {"WyborIdentyfikatoraPodatkowego", "Wybór identyfikatora        podatkowego", "ncp.html"},
      {"KosztyUzyskaniaPrzychodow", "Koszty uzyskania        przychodów ", "1.html"},
      {"Dlakogoijakiekoszty", "Dla kogo i jakie koszty z praw autorskich?", "10.html"},
      {"SkalaPodatkowa", "Skala podatkowa", "2.html"},
      {"OdliczeniaOdDochodu", "Odliczenia od dochodu", "3.html"},
      {"OdliczeniaOdPodatku", "Odliczenia  od podatku", "4.html"},
      {"Ulganadzieciwrozliczeniach", "Ulga na dzieci na nowych zasadach", "9.html"},
      {"WyborSposobuRozliczania", "Wybór sposobu  rozliczania", "5.html"},
      {"RozliczenieWPolsceDochodowZagranicznych", "Rozliczenie w Polsce         dochodów  zagranicznych", "6.html"},
      {"AktualizowanieDanychPodatkowych", "Aktualizacja danych   podatkowych", "7.html"},
      {"JakZlozycZeznaniePrzezInternet", "Złożenie zeznania     przez internet", "8.html"},
  };
  return topics;
}

TFPomoc::TFPomoc(const QString& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      folder_(helpFolder) {
  setObjectName(QStringLiteral("FPomoc"));
  setWindowTitle(QStringLiteral("Pomocne informacje"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kGreen);
  setPalette(pal);
  askPrinter = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Drukuj"));
    return dialog.exec() == QDialog::Accepted;
  };

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setIconSize(QSize(24, 24));
  ToolBar1->setStyleSheet(QStringLiteral("QToolBar { background: #c0c0c0; border: 0; }"));
  // The spacer keeps the four buttons at the right end of the bar.
  TBLeft = new QWidget(ToolBar1);
  TBLeft->setObjectName(QStringLiteral("TBLeft"));
  TBLeft->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  ToolBar1->addWidget(TBLeft);
  auto button = [this](const char* name, const QIcon& icon, const QString& hint) {
    QAction* a = ToolBar1->addAction(icon, hint);
    a->setObjectName(QLatin1String(name));
    a->setToolTip(hint);
    return a;
  };
  TBPrev = button("TBPrev", ToolBarIcon(ToolIcon::Previous), QStringLiteral("Wstecz"));
  TBHome = button("TBHome", HomeIcon(), QStringLiteral("Spis treści"));
  TBNext = button("TBNext", ToolBarIcon(ToolIcon::Next), QStringLiteral("Dalej"));
  TBPrint = button("TBPrint", ToolBarIcon(ToolIcon::Print), QStringLiteral("Drukuj"));
  connect(TBPrev, &QAction::triggered, this, &TFPomoc::TBPrevClick);
  connect(TBHome, &QAction::triggered, this, &TFPomoc::TBHomeClick);
  connect(TBNext, &QAction::triggered, this, &TFPomoc::TBNextClick);
  connect(TBPrint, &QAction::triggered, this, &TFPomoc::TBPrintClick);
  column->addWidget(ToolBar1);

  auto* body = new QHBoxLayout();
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  PanelLeft = new QWidget(this);
  PanelLeft->setObjectName(QStringLiteral("PanelLeft"));
  PanelLeft->setFixedWidth(177);
  PanelLeft->setAutoFillBackground(true);
  QPalette white = PanelLeft->palette();
  white.setColor(QPalette::Window, Qt::white);
  PanelLeft->setPalette(white);
  auto* topics = new QVBoxLayout(PanelLeft);
  topics->setContentsMargins(6, 12, 6, 12);
  topics->setSpacing(10);
  const QPixmap bullet = Bullet();
  for (const Topic& t : Topics()) {
    auto* row = new QWidget(PanelLeft);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(5);
    auto* mark = new QLabel(row);
    mark->setPixmap(bullet);
    mark->setAlignment(Qt::AlignTop);
    mark->setContentsMargins(0, 4, 0, 0);
    auto* label = new QLabel(QString::fromUtf8(t.caption), row);
    label->setObjectName(QLatin1String(t.name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFixedWidth(150);
    label->setCursor(Qt::PointingHandCursor);
    label->setStyleSheet(QStringLiteral("QLabel { color: #1f4e8c; text-decoration: underline; }"));
    label->installEventFilter(this);
    line->addWidget(mark);
    line->addWidget(label);
    line->addStretch(1);
    topics->addWidget(row);
    topicLabels_.push_back(label);
  }
  topics->addStretch(1);
  // Reachable only through the links inside the pages.
  topicLabels_.back()->parentWidget()->hide();
  body->addWidget(PanelLeft);

  PRight = new QWidget(this);
  PRight->setObjectName(QStringLiteral("PRight"));
  auto* right = new QVBoxLayout(PRight);
  right->setContentsMargins(0, 0, 0, 0);
  WBHelp = new QTextBrowser(PRight);
  WBHelp->setObjectName(QStringLiteral("WBHelp"));
  WBHelp->setOpenExternalLinks(true);
  right->addWidget(WBHelp);
  body->addWidget(PRight, 1);
  column->addLayout(body, 1);

  setFixedSize(FitOnScreen(this, QSize(900, 534)));
  Navigate(QString::fromLatin1(kStartPage));
}

QLabel* TFPomoc::TopicLabel(const QString& name) const {
  for (QLabel* l : topicLabels_)
    if (l->objectName() == name) return l;
  return nullptr;
}

QUrl TFPomoc::PageUrl(const QString& page) const { return QUrl::fromLocalFile(folder_ + QLatin1Char('/') + page); }

QString TFPomoc::CurrentPage() const {
  const QUrl src = WBHelp->source();
  return src.isEmpty() ? QString() : QFileInfo(src.toLocalFile()).fileName();
}

void TFPomoc::Navigate(const QString& page) {
  const QUrl url = PageUrl(page);
  if (!QFileInfo::exists(url.toLocalFile())) {
    // The window stays usable: the topics and the history still work.
    WBHelp->setHtml(QStringLiteral("<p style=\"font-family: sans-serif\">Nie znaleziono strony pomocy „%1”.</p>"
                                   "<p style=\"font-family: sans-serif\">Program szuka jej w folderze %2. "
                                   "Zainstaluj program ponownie, aby ją przywrócić.</p>")
                         .arg(page.toHtmlEscaped(), folder_.toHtmlEscaped()));
    return;
  }
  WBHelp->setSource(url);
}

void TFPomoc::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  // Every opening starts at the identifier page, whatever was read last.
  Navigate(QString::fromLatin1(kStartPage));
}

void TFPomoc::FollowModalWindow() {
  QWidget* modal = QApplication::activeModalWidget();
  QWidget* owner = modal != nullptr && modal != this ? modal : parentWidget();
  if (owner == nullptr) return;
  owner = owner->window();
  create();
  if (windowHandle() && owner->windowHandle()) windowHandle()->setTransientParent(owner->windowHandle());
}

void TFPomoc::ShowHelp() {
  if (isVisible()) {
    raise();
    activateWindow();
    return;
  }
  OpenAt();
}

void TFPomoc::OpenAt(const QString& page) {
  FollowModalWindow();
  if (!isVisible()) {
    if (QWidget* p = parentWidget(); p != nullptr && p->isVisible()) {
      move(p->window()->frameGeometry().center() - rect().center());
    }
    show();  // navigates to the start page
  }
  if (page != CurrentPage()) Navigate(page);
  raise();
  activateWindow();
}

bool TFPomoc::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease) {
    auto* me = static_cast<QMouseEvent*>(event);
    for (std::size_t i = 0; i < topicLabels_.size(); ++i) {
      if (watched == topicLabels_[i] && me->button() == Qt::LeftButton &&
          topicLabels_[i]->rect().contains(me->position().toPoint())) {
        TopicClick(static_cast<int>(i));
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFPomoc::TopicClick(int index) { Navigate(QString::fromLatin1(Topics()[static_cast<std::size_t>(index)].page)); }

void TFPomoc::TBPrevClick() { WBHelp->backward(); }
void TFPomoc::TBHomeClick() { Navigate(QString::fromLatin1(kStartPage)); }
void TFPomoc::TBNextClick() { WBHelp->forward(); }

void TFPomoc::TBPrintClick() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(windowTitle());
  if (!askPrinter || !askPrinter(printer)) return;
  WBHelp->document()->print(&printer);
}

void TFPomoc::WyborIdentyfikatoraPodatkowegoClick() { TopicClick(0); }
void TFPomoc::KosztyUzyskaniaPrzychodowClick() { TopicClick(1); }
void TFPomoc::DlakogoijakiekosztyClick() { TopicClick(2); }
void TFPomoc::SkalaPodatkowaClick() { TopicClick(3); }
void TFPomoc::OdliczeniaOdDochoduClick() { TopicClick(4); }
void TFPomoc::OdliczeniaOdPodatkuClick() { TopicClick(5); }
void TFPomoc::UlganadzieciwrozliczeniachClick() { TopicClick(6); }
void TFPomoc::WyborSposobuRozliczaniaClick() { TopicClick(7); }
void TFPomoc::RozliczenieWPolsceDochodowZagranicznychClick() { TopicClick(8); }
void TFPomoc::AktualizowanieDanychPodatkowychClick() { TopicClick(9); }
void TFPomoc::JakZlozycZeznaniePrzezInternetClick() { TopicClick(10); }

}  // namespace pit::ui
