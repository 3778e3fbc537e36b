#include "ui/selection/selection_widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>

#include "app/catalogue.h"
#include "ui/app/app_texts.h"

namespace pit::ui {

TilePicture::TilePicture(const QPixmap& picture, QWidget* parent) : QLabel(parent) {
  setPixmap(picture);
  setFixedSize(picture.size());
  setCursor(Qt::PointingHandCursor);
}

void TilePicture::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(e);
}

void TilePicture::enterEvent(QEnterEvent* e) {
  emit entered();
  QLabel::enterEvent(e);
}

void TilePicture::leaveEvent(QEvent* e) {
  emit left();
  QLabel::leaveEvent(e);
}

QPixmap TileFace(const QString& title, const QString& forms, const QColor& accent, bool highlighted, QSize size) {
  const int w = size.width(), h = size.height();
  QPixmap pm(w, h);
  pm.fill(Qt::transparent);
  QPainter g(&pm);
  g.setRenderHint(QPainter::Antialiasing);
  QLinearGradient grad(0, 0, 0, h);
  grad.setColorAt(0, highlighted ? accent.lighter(185) : QColor(250, 250, 252));
  grad.setColorAt(1, highlighted ? accent.lighter(130) : QColor(218, 224, 236));
  g.setPen(QPen(highlighted ? accent.darker(130) : QColor(130, 140, 165), highlighted ? 2 : 1));
  g.setBrush(grad);
  g.drawRoundedRect(QRectF(1.5, 1.5, w - 3, h - 3), 9, 9);
  // The coloured band on the left tells the tiles apart at a glance.
  g.setPen(Qt::NoPen);
  g.setBrush(accent);
  g.drawRoundedRect(QRectF(8, 10, 10, h - 20), 4, 4);

  QFont f(QStringLiteral("Tahoma"));
  f.setPixelSize(14);
  f.setBold(true);
  g.setFont(f);
  g.setPen(QColor(30, 40, 80));
  const QRectF textArea(28, 6, w - 38, h - 12);
  g.drawText(QRectF(textArea.left(), textArea.top(), textArea.width(), textArea.height() * 0.62),
             Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap, title);
  f.setPixelSize(11);
  f.setBold(false);
  g.setFont(f);
  g.setPen(QColor(70, 70, 90));
  g.drawText(QRectF(textArea.left(), textArea.top() + textArea.height() * 0.66, textArea.width(),
                    textArea.height() * 0.34),
             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, forms);
  return pm;
}

Tile MakeTile(QWidget* parent, const QString& title, const QString& forms, const QColor& accent, QSize size) {
  Tile t;
  t.box = new QWidget(parent);
  t.box->setFixedSize(size);
  t.face = new TilePicture(TileFace(title, forms, accent, false, size), t.box);
  t.twin = new TilePicture(TileFace(title, forms, accent, true, size), t.box);
  t.face->move(0, 0);
  t.twin->move(0, 0);
  t.twin->hide();
  TilePicture* twin = t.twin;
  QObject::connect(t.face, &TilePicture::entered, twin, [twin] {
    twin->show();
    twin->raise();
  });
  // Leaving the twin means the mouse is over the background again.
  QObject::connect(t.twin, &TilePicture::left, twin, &QWidget::hide);
  return t;
}

bool LoadHelpPage(QTextBrowser* pane, const QString& helpFolder, const QString& fileName) {
  if (pane == nullptr || fileName.isEmpty()) return false;
  const QFileInfo page(QDir(helpFolder).filePath(fileName));
  if (!page.isFile()) return false;
  pane->setSource(QUrl::fromLocalFile(page.absoluteFilePath()));
  return true;
}

void InformationBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
  QMessageBox box(icon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, parent);
  box.exec();
}

bool WarningQuestion(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("&Tak"));
  box.button(QMessageBox::No)->setText(QStringLiteral("&Nie"));
  return box.exec() == QMessageBox::Yes;
}

QRadioButton* AddRadio(QButtonGroup* group, int id, const QString& text, QWidget* parent, QLayout* layout) {
  auto* b = new QRadioButton(text, parent);
  group->addButton(b, id);
  layout->addWidget(b);
  return b;
}

void SetGroupIndex(QButtonGroup* group, int index) {
  if (index >= 0 && group->button(index) != nullptr) {
    group->button(index)->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

std::array<SpouseDataBox, 4> AddSpouseDataBoxes(QWidget* parent, QLayout* layout) {
  std::array<SpouseDataBox, 4> boxes = {{{nullptr, kPitO}, {nullptr, kPitD}, {nullptr, kPit2K}, {nullptr, kPitUZ}}};
  const char* const captions[] = {"PIT/O", "PIT/D", "PIT/2K", "PIT/UZ"};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    boxes[i].box = new QCheckBox(QString::fromLatin1(captions[i]), parent);
    layout->addWidget(boxes[i].box);
  }
  return boxes;
}

QToolButton* MakeIdHelpButton(QWidget* parent, bool helpAvailable) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QStringLiteral("INipCzyPesel"));
  b->setIcon(parent->style()->standardIcon(QStyle::SP_MessageBoxQuestion));
  b->setIconSize(QSize(24, 24));
  b->setAutoRaise(true);
  b->setToolTip(QStringLiteral("NIP czy PESEL?"));
  if (helpAvailable) b->setCursor(Qt::PointingHandCursor);
  return b;
}

}  // namespace pit::ui
