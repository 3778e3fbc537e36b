#include "ui/selection/tfwybalg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace pit::ui {

namespace {

QPushButton* BigButton(const QString& text, const QColor& colour, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setFixedSize(320, 40);
  QFont f = b->font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 1);
  b->setFont(f);
  b->setCursor(Qt::PointingHandCursor);
  b->setStyleSheet(QStringLiteral("QPushButton { color: white; background-color: %1; border: 1px solid %2;"
                                  " border-radius: 5px; }"
                                  "QPushButton:hover { background-color: %3; }"
                                  "QPushButton:pressed { background-color: %2; }")
                       .arg(colour.name(), colour.darker(140).name(), colour.lighter(115).name()));
  return b;
}

}  // namespace

TFWybAlg::TFWybAlg(const QString& helpFolder, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFWybAlg"));
  setWindowTitle(QStringLiteral("Podatnicy składający zeznanie podatkowe"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(653, 312);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 8, 8, 8);
  row->setSpacing(8);

  auto* left = new QWidget(this);
  auto* column = new QVBoxLayout(left);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);
  KreatorDoboru = MakeTile(left, QStringLiteral("Kreator doboru formularzy"),
                           QStringLiteral("program zada pytania i sam dobierze druki"), QColor(46, 139, 87));
  KreatorDoboru.box->setObjectName(QStringLiteral("KreatorDoboru"));
  BWyborSciezka = BigButton(QStringLiteral("KREATOR DOBORU FORMULARZY"), QColor(40, 140, 60), left);
  BWyborSciezka->setObjectName(QStringLiteral("BWyborSciezka"));
  SamodzielnyWyborFormularzy = MakeTile(left, QStringLiteral("Samodzielny dobór formularzy"),
                                        QStringLiteral("zaznaczasz druki i załączniki na liście"), QColor(190, 40, 40));
  SamodzielnyWyborFormularzy.box->setObjectName(QStringLiteral("SamodzielnyWyborFormularzy"));
  BWyborSamodzielnie = BigButton(QStringLiteral("SAMODZIELNY DOBÓR FORMULARZY"), QColor(190, 40, 40), left);
  BWyborSamodzielnie->setObjectName(QStringLiteral("BWyborSamodzielnie"));
  column->addWidget(KreatorDoboru.box);
  column->addWidget(BWyborSciezka);
  column->addSpacing(6);
  column->addWidget(SamodzielnyWyborFormularzy.box);
  column->addWidget(BWyborSamodzielnie);
  column->addStretch(1);
  row->addWidget(left);

  WBCase = new QTextBrowser(this);
  WBCase->setObjectName(QStringLiteral("WBCase"));
  WBCase->setOpenLinks(false);
  row->addWidget(WBCase, 1);

  connect(BWyborSciezka, &QPushButton::clicked, this, &TFWybAlg::BWyborSciezkaClick);
  connect(KreatorDoboru.face, &TilePicture::clicked, this, &TFWybAlg::BWyborSciezkaClick);
  connect(KreatorDoboru.twin, &TilePicture::clicked, this, &TFWybAlg::BWyborSciezkaClick);
  connect(BWyborSamodzielnie, &QPushButton::clicked, this, &TFWybAlg::BWyborSamodzielnieClick);
  connect(SamodzielnyWyborFormularzy.face, &TilePicture::clicked, this, &TFWybAlg::BWyborSamodzielnieClick);
  connect(SamodzielnyWyborFormularzy.twin, &TilePicture::clicked, this, &TFWybAlg::BWyborSamodzielnieClick);

  LoadHelpPage(WBCase, helpFolder, QStringLiteral("wybor_sposobu_doboru_formularzy.html"));
}

void TFWybAlg::showEvent(QShowEvent* e) {
  manual_ = false;
  wizard_ = false;
  KreatorDoboru.twin->hide();
  SamodzielnyWyborFormularzy.twin->hide();
  if (parentWidget() != nullptr) {
    const QRect owner = parentWidget()->window()->geometry();
    move(owner.center() - rect().center());
  }
  QDialog::showEvent(e);
}

void TFWybAlg::BWyborSciezkaClick() {
  wizard_ = true;
  accept();
}

void TFWybAlg::BWyborSamodzielnieClick() {
  manual_ = true;
  accept();
}

}  // namespace pit::ui
