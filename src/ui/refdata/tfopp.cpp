#include "ui/refdata/tfopp.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/launch.h"

namespace pit::ui {

QString TFOPP::BulletinAddress() { return QStringLiteral("http://www.mpips.gov.pl/"); }

QString TFOPP::ListAddress() { return BulletinAddress() + QStringLiteral("bip/wykaz-organizacji-pozytku-publicznego/"); }

TFOPP::TFOPP(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FOPP"));
  setWindowTitle(QStringLiteral("Wykaz OPP"));
  setFixedSize(692, 217);
  setModal(true);

  auto* title = new QLabel(QStringLiteral("INFORMACJA"), this);
  QFont titleFont = title->font();
  titleFont.setBold(true);
  titleFont.setPointSize(titleFont.pointSize() + 3);
  title->setFont(titleFont);
  title->setAlignment(Qt::AlignCenter);

  auto* line1 = new QLabel(
      QStringLiteral("Wykaz organizacji pożytku publicznego, na które podatnik podatku dochodowego od osób fizycznych"),
      this);
  auto* line2 = new QLabel(
      QStringLiteral("może przekazać 1% podatku, zamieszczony jest na stronie internetowej Biuletynu Informacji Publicznej"),
      this);
  for (QLabel* l : {line1, line2}) l->setAlignment(Qt::AlignCenter);

  L3 = new QLabel(ListAddress(), this);
  L3->setObjectName(QStringLiteral("L3"));
  L3->setAlignment(Qt::AlignCenter);
  L3->setCursor(Qt::PointingHandCursor);
  L3->setStyleSheet(QStringLiteral("color: #008000; font-weight: bold; text-decoration: underline;"));
  L3->installEventFilter(this);

  SBClose = new QPushButton(QStringLiteral("Zamknij okno (wróć do wypełniania PIT)"), this);
  SBClose->setObjectName(QStringLiteral("SBClose"));
  SBClose->setDefault(true);
  connect(SBClose, &QPushButton::clicked, this, &TFOPP::SBCloseClick);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(16, 12, 16, 12);
  column->addWidget(title);
  column->addSpacing(6);
  column->addWidget(line1);
  column->addWidget(line2);
  column->addSpacing(6);
  column->addWidget(L3);
  column->addStretch(1);
  column->addWidget(SBClose, 0, Qt::AlignCenter);
}

bool TFOPP::eventFilter(QObject* watched, QEvent* event) {
  if (watched == L3 && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    L3Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

// A failing browser start is not reported: the address stays readable on
// the label.
void TFOPP::L3Click() { platform::OpenAddress(ListAddress()); }

void TFOPP::SBCloseClick() { close(); }

}  // namespace pit::ui
