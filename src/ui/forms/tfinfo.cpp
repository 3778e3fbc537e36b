#include "ui/forms/tfinfo.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace pit::ui {
namespace {

constexpr int kTallHeight = 525;
constexpr int kShortHeight = 360;
constexpr int kWidth = 620;

QLabel* Text(const QString& s, QWidget* parent, bool bold = false) {
  auto* l = new QLabel(s, parent);
  l->setWordWrap(true);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

QWidget* StepsPage(bool bothVariants, QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* v = new QVBoxLayout(page);
  v->addWidget(Text(QStringLiteral("Aby dołączyć go teraz do wybranego formularza PIT, należy:"), page, true));
  v->addWidget(Text(QStringLiteral("1. Kliknąć w przycisk dodaj/usuń druk, znajdujący się nad drzewem doboru deklaracji."),
                    page));
  if (bothVariants) {
    v->addWidget(Text(QStringLiteral("2. Dodać do deklaracji załącznik Uzasadnienia Przyczyn Korekty Deklaracji. "), page));
    v->addWidget(Text(QStringLiteral("a) UPKD – jeżeli korekta deklaracji zostanie złożona w sposób tradycyjny (tj. w okienku\n"
                                     "podawczym urzędu skarbowego lub za pośrednictwem poczty)."),
                      page));
    v->addWidget(Text(QStringLiteral("b) UPKD ORD-ZU - jeżeli korekta deklaracji zostanie złożona w sposób elektroniczny \n"
                                     "poprzez System e-Deklaracje."),
                      page));
  } else {
    v->addWidget(
        Text(QStringLiteral("2. Dodać do formularza załącznik Uzasadnienia Przyczyn Korekty Deklaracji - UPKD."), page));
  }
  v->addStretch(1);
  return page;
}

}  // namespace

TFInfo::TFInfo(QWidget* parent) : QDialog(parent), pages_(new QStackedWidget(this)) {
  setObjectName(QStringLiteral("TFInfo"));
  setModal(true);
  auto* v = new QVBoxLayout(this);
  v->addWidget(Text(QStringLiteral("Korekta zeznania podatkowego zaznaczana jest w sposób automatyczny, jedynie wówczas,\n"
                                   "gdy do zeznania zostanie załączony druk Uzasadnienia Przyczyn Korekty Deklaracji."),
                    this, true));
  QWidget* tinfo1 = StepsPage(true, pages_);
  tinfo1->setObjectName(QStringLiteral("TInfo1"));
  QWidget* tinfo2 = StepsPage(false, pages_);
  tinfo2->setObjectName(QStringLiteral("Tinfo2"));
  pages_->addWidget(tinfo1);
  pages_->addWidget(tinfo2);
  v->addWidget(pages_, 1);
  auto* close = new QPushButton(QStringLiteral("Zamknij"), this);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(close);
  v->addLayout(row);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(kWidth, kTallHeight);
}

void TFInfo::Prepare(const QString& caption, int page, bool eFilingShown) {
  setWindowTitle(caption);
  // The height follows the page asked for, even when the other is shown.
  resize(kWidth, page == 0 ? kTallHeight : kShortHeight);
  if (!eFilingShown) page = 1;
  pages_->setCurrentIndex(page == 0 ? 0 : 1);
}

int TFInfo::Page() const { return pages_->currentIndex(); }

}  // namespace pit::ui
