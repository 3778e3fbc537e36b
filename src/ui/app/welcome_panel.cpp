#include "ui/app/welcome_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/app/icons.h"

namespace pit::ui {

WelcomePicture::WelcomePicture(const QPixmap& picture, QWidget* parent) : QLabel(parent) {
  setPixmap(picture);
  setFixedSize(picture.size());
  setCursor(Qt::PointingHandCursor);
  setMouseTracking(true);
}

void WelcomePicture::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && isEnabled()) emit clicked();
  QLabel::mouseReleaseEvent(e);
}

void WelcomePicture::keyPressEvent(QKeyEvent* e) {
  const int key = e->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) && !e->isAutoRepeat()) {
    e->accept();
    if (isEnabled()) emit clicked();
    return;
  }
  QLabel::keyPressEvent(e);
}

WelcomePanel::WelcomePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("RozpocznijPrace"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(236, 240, 248));
  setPalette(pal);

  PButtons = new QWidget(this);
  PButtons->setObjectName(QStringLiteral("PButtons"));
  PButtons->setMouseTracking(true);
  PButtons->installEventFilter(this);

  const QString start = QStringLiteral("Rozpocznij nowe rozliczenie");
  const QString open = QStringLiteral("Otwórz istniejące rozliczenie");
  IRozpocznijPrace = new WelcomePicture(WelcomeFace(start, ToolIcon::New, false), PButtons);
  IIRozpocznijPrace = new WelcomePicture(WelcomeFace(start, ToolIcon::New, true), PButtons);
  IOtworzIstniejace = new WelcomePicture(WelcomeFace(open, ToolIcon::Open, false), PButtons);
  IIOtworzIstniejace = new WelcomePicture(WelcomeFace(open, ToolIcon::Open, true), PButtons);
  IRozpocznijPrace->setObjectName(QStringLiteral("IRozpocznijPrace"));
  IIRozpocznijPrace->setObjectName(QStringLiteral("IIRozpocznijPrace"));
  IOtworzIstniejace->setObjectName(QStringLiteral("IOtworzIstniejace"));
  IIOtworzIstniejace->setObjectName(QStringLiteral("IIOtworzIstniejace"));

  auto* grid = new QGridLayout(PButtons);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(40);
  grid->addWidget(IRozpocznijPrace, 0, 0);
  grid->addWidget(IIRozpocznijPrace, 0, 0);
  grid->addWidget(IOtworzIstniejace, 0, 1);
  grid->addWidget(IIOtworzIstniejace, 0, 1);
  IIRozpocznijPrace->hide();
  IIOtworzIstniejace->hide();
  IRozpocznijPrace->setFocusPolicy(Qt::StrongFocus);
  IOtworzIstniejace->setFocusPolicy(Qt::StrongFocus);
  IRozpocznijPrace->setAccessibleName(start);
  IOtworzIstniejace->setAccessibleName(open);
  setTabOrder(IRozpocznijPrace, IOtworzIstniejace);

  for (WelcomePicture* p : {IRozpocznijPrace, IIRozpocznijPrace, IOtworzIstniejace, IIOtworzIstniejace}) {
    p->installEventFilter(this);
  }
  connect(IRozpocznijPrace, &WelcomePicture::clicked, this, &WelcomePanel::startWorkClicked);
  connect(IIRozpocznijPrace, &WelcomePicture::clicked, this, &WelcomePanel::startWorkClicked);
  connect(IOtworzIstniejace, &WelcomePicture::clicked, this, &WelcomePanel::openExistingClicked);
  connect(IIOtworzIstniejace, &WelcomePicture::clicked, this, &WelcomePanel::openExistingClicked);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(10, 12, 10, 12);
  row->addStretch(1);
  row->addWidget(PButtons);
  row->addStretch(1);
}

void WelcomePanel::HideTwins() {
  IIRozpocznijPrace->hide();
  IIOtworzIstniejace->hide();
}

void WelcomePanel::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Nothing else of the window takes typing while the panel is there.
  QWidget* first = IRozpocznijPrace->isEnabled() ? static_cast<QWidget*>(IRozpocznijPrace) : IOtworzIstniejace;
  first->setFocus(Qt::OtherFocusReason);
}

bool WelcomePanel::eventFilter(QObject* watched, QEvent* event) {
  // The focused picture shows its highlighted twin, as the mouse does.
  if (event->type() == QEvent::FocusIn && (watched == IRozpocznijPrace || watched == IOtworzIstniejace)) {
    const bool start = watched == IRozpocznijPrace;
    (start ? IIOtworzIstniejace : IIRozpocznijPrace)->hide();
    WelcomePicture* twin = start ? IIRozpocznijPrace : IIOtworzIstniejace;
    twin->show();
    twin->raise();
  } else if (event->type() == QEvent::FocusOut && watched == IRozpocznijPrace) {
    IIRozpocznijPrace->hide();
  } else if (event->type() == QEvent::FocusOut && watched == IOtworzIstniejace) {
    IIOtworzIstniejace->hide();
  }
  if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
    if (watched == IRozpocznijPrace && IRozpocznijPrace->isEnabled()) {
      IIOtworzIstniejace->hide();
      IIRozpocznijPrace->show();
      IIRozpocznijPrace->raise();
    } else if (watched == IOtworzIstniejace || watched == IIOtworzIstniejace) {
      IIRozpocznijPrace->hide();
      IIOtworzIstniejace->show();
      IIOtworzIstniejace->raise();
    } else if (watched == PButtons) {
      HideTwins();
    }
  } else if (event->type() == QEvent::Leave && (watched == IIRozpocznijPrace || watched == IIOtworzIstniejace)) {
    static_cast<QWidget*>(watched)->hide();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace pit::ui
