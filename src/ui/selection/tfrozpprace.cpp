#include "ui/selection/tfrozpprace.h"

#include <QHBoxLayout>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace pit::ui {

TFRozpPrace::TFRozpPrace(const QString& helpFolder, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFRozpPrace"));
  setWindowTitle(QStringLiteral("Rozpocznij pracę z programem PIT"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(652, 300);

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 8, 8, 8);
  row->setSpacing(8);

  PTlo = new QWidget(this);
  PTlo->setObjectName(QStringLiteral("PTlo"));
  auto* tiles = new QVBoxLayout(PTlo);
  tiles->setContentsMargins(0, 0, 0, 0);
  tiles->setSpacing(8);
  Typ1 = MakeTile(PTlo, QStringLiteral("Podatnicy składający zeznanie podatkowe"),
                  QStringLiteral("PIT-36, PIT-37, PIT-36L, PIT-38, PIT-28, PIT-39"), QColor(46, 139, 87));
  Typ3 = MakeTile(PTlo, QStringLiteral("Zgłoszenia identyfikacyjne i aktualizacyjne"),
                  QStringLiteral("NIP-7, ZAP-3"), QColor(70, 110, 190));
  Typ2 = MakeTile(PTlo, QStringLiteral("Płatnicy sporządzający informacje i roczne obliczenia"),
                  QStringLiteral("PIT-11, PIT-40"), QColor(200, 120, 30));
  Typ1.box->setObjectName(QStringLiteral("Typ1"));
  Typ3.box->setObjectName(QStringLiteral("Typ3"));
  Typ2.box->setObjectName(QStringLiteral("Typ2"));
  for (const Tile* t : {&Typ1, &Typ3, &Typ2}) tiles->addWidget(t->box);
  tiles->addStretch(1);
  row->addWidget(PTlo);

  WBStart = new QTextBrowser(this);
  WBStart->setObjectName(QStringLiteral("WBStart"));
  WBStart->setOpenLinks(false);
  row->addWidget(WBStart, 1);

  connect(Typ1.face, &TilePicture::clicked, this, &TFRozpPrace::Typ1Click);
  connect(Typ1.twin, &TilePicture::clicked, this, &TFRozpPrace::Typ1Click);
  connect(Typ2.face, &TilePicture::clicked, this, &TFRozpPrace::Typ2Click);
  connect(Typ2.twin, &TilePicture::clicked, this, &TFRozpPrace::Typ2Click);
  connect(Typ3.face, &TilePicture::clicked, this, &TFRozpPrace::Typ3Click);
  connect(Typ3.twin, &TilePicture::clicked, this, &TFRozpPrace::Typ3Click);

  LoadHelpPage(WBStart, helpFolder, QStringLiteral("rozpocznij_prace_z_programem.html"));
}

void TFRozpPrace::showEvent(QShowEvent* e) {
  // The window is shown again for every new settlement; nothing is chosen yet.
  chosen_ = kNone;
  for (const Tile* t : {&Typ1, &Typ2, &Typ3}) t->twin->hide();
  if (parentWidget() != nullptr) {
    const QRect owner = parentWidget()->window()->geometry();
    move(owner.center() - rect().center());
  }
  QDialog::showEvent(e);
}

void TFRozpPrace::Choose(Choice c) {
  chosen_ = c;
  accept();
}

void TFRozpPrace::Typ1Click() { Choose(kTaxpayers); }
void TFRozpPrace::Typ2Click() { Choose(kPayers); }
void TFRozpPrace::Typ3Click() { Choose(kRegistration); }

}  // namespace pit::ui
