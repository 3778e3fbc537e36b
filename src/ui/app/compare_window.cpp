#include "ui/app/compare_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/app/result_bar.h"

namespace pit::ui {
namespace {

enum Column { kMethod, kTaxpayer, kSpouse, kJointReturn, kTotal, kToPay, kOverpaid, kDifference, kNote, kColumns };

QString Signed(long long grosze) { return (grosze > 0 ? QStringLiteral("+") : QString()) + AmountText(grosze); }

}  // namespace

TPorownanie::TPorownanie(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TPorownanie"));
  setWindowTitle(QStringLiteral("Porównaj sposoby rozliczenia"));
  auto* column = new QVBoxLayout(this);
  auto* head = new QLabel(
      QStringLiteral("Podatek należny przy każdym sposobie rozliczenia, z tymi samymi dochodami, odliczeniami i "
                     "ulgami. Porównanie liczone jest na kopii rozliczenia: zmieni się ono dopiero po "
                     "„Zastosuj”."),
      this);
  head->setWordWrap(true);
  column->addWidget(head);

  Tabela = new QTableWidget(3, kColumns, this);
  Tabela->setObjectName(QStringLiteral("Tabela"));
  Tabela->setHorizontalHeaderLabels({QStringLiteral("Sposób rozliczenia"), QStringLiteral("Podatek podatnika"),
                                     QStringLiteral("Podatek małżonka"), QStringLiteral("Zeznanie wspólne"),
                                     QStringLiteral("Podatek razem"), QStringLiteral("Do zapłaty"),
                                     QStringLiteral("Nadpłata"), QStringLiteral("Różnica"), QStringLiteral("Uwagi")});
  Tabela->verticalHeader()->hide();
  Tabela->setSelectionBehavior(QAbstractItemView::SelectRows);
  Tabela->setSelectionMode(QAbstractItemView::SingleSelection);
  Tabela->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Tabela->setWordWrap(true);
  Tabela->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  Tabela->horizontalHeader()->setSectionResizeMode(kNote, QHeaderView::Stretch);
  Tabela->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  column->addWidget(Tabela, 1);

  Opis = new QLabel(this);
  Opis->setObjectName(QStringLiteral("Opis"));
  Opis->setWordWrap(true);
  column->addWidget(Opis);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Zastosuj = new QPushButton(QStringLiteral("Zastosuj"), this);
  Zastosuj->setObjectName(QStringLiteral("Zastosuj"));
  Zamknij = new QPushButton(QStringLiteral("Zamknij"), this);
  Zamknij->setObjectName(QStringLiteral("Zamknij"));
  buttons->addWidget(Zastosuj);
  buttons->addWidget(Zamknij);
  column->addLayout(buttons);

  connect(Zamknij, &QPushButton::clicked, this, &QDialog::reject);
  connect(Zastosuj, &QPushButton::clicked, this, [this] {
    if (const auto m = Chosen()) emit applyRequested(*m);
  });
  connect(Tabela, &QTableWidget::itemSelectionChanged, this, &TPorownanie::UpdateButtons);
  resize(1220, 300);
}

void TPorownanie::SetComparison(const MethodComparison& c) {
  comparison_ = c;
  const bool joint = c.current == TaxMethod::Joint;
  for (TaxMethod m : kTaxMethods) {
    const int row = static_cast<int>(m);
    const MethodOption& o = c.Of(m);
    const bool figures = o.available || o.current;
    const bool best = c.best && *c.best == m;
    auto cell = [&](int col, const QString& text) {
      auto* item = new QTableWidgetItem(text);
      item->setTextAlignment(col == kMethod || col == kNote ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                                            : int(Qt::AlignRight | Qt::AlignVCenter));
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (!o.available) flags = Qt::NoItemFlags;  // shown, never chosen
      item->setFlags(flags);
      if (best) {
        QFont f = item->font();
        f.setBold(true);
        item->setFont(f);
        item->setBackground(QColor(0xdf, 0xf0, 0xd0));
      }
      Tabela->setItem(row, col, item);
    };
    const QString none = QStringLiteral("–");
    cell(kMethod, QString::fromUtf8(MethodCaption(m)));
    cell(kTaxpayer, figures && !(m == TaxMethod::Joint && o.taxpayerTax == 0) ? AmountText(o.taxpayerTax) : none);
    cell(kSpouse, figures && joint && !(m == TaxMethod::Joint && o.spouseTax == 0) ? AmountText(o.spouseTax) : none);
    cell(kJointReturn, figures && m == TaxMethod::Joint ? AmountText(o.jointTax) : none);
    cell(kTotal, figures ? AmountText(o.tax) : none);
    cell(kToPay, figures ? AmountText(o.toPay) : none);
    cell(kOverpaid, figures ? AmountText(o.overpayment) : none);
    cell(kDifference, figures && !o.current ? Signed(c.DifferenceToCurrent(m)) : none);
    QStringList notes;
    if (o.current) notes << QStringLiteral("obecny sposób");
    if (best) notes << QStringLiteral("najkorzystniejszy");
    if (o.childReliefPaidBack != 0)
      notes << QStringLiteral("zwrot ulgi na dzieci (PIT/UZ): ") + AmountText(o.childReliefPaidBack);
    if (!o.available) notes << QString::fromStdString(o.reason);
    cell(kNote, notes.join(QStringLiteral("; ")));
  }
  QString note;
  if (c.Of(TaxMethod::SingleParent).available)
    note = QStringLiteral("Sposób dla osoby samotnie wychowującej dziecko przysługuje tylko temu, kto w 2014 r. "
                          "samotnie wychowywał dziecko. ");
  if (joint && c.Of(TaxMethod::Individual).available)
    note += QStringLiteral("Przy rozliczeniu indywidualnym każdy z małżonków składa własne zeznanie: „Zastosuj” "
                           "zapisze rozliczenie małżonka w osobnym pliku.");
  Opis->setText(note);
  // Without a spouse in the settlement their columns would stay empty.
  Tabela->setColumnHidden(kSpouse, !joint);
  Tabela->setColumnHidden(kJointReturn, !joint);
  Tabela->clearSelection();
  const std::optional<TaxMethod> pick = c.best ? c.best : std::optional<TaxMethod>(c.current);
  if (c.Of(*pick).available) Tabela->selectRow(static_cast<int>(*pick));
  UpdateButtons();
}

std::optional<TaxMethod> TPorownanie::Chosen() const {
  const QList<QTableWidgetItem*> sel = Tabela->selectedItems();
  if (sel.isEmpty()) return std::nullopt;
  const auto m = static_cast<TaxMethod>(sel.first()->row());
  const MethodOption& o = comparison_.Of(m);
  if (!o.available || o.current) return std::nullopt;
  return m;
}

void TPorownanie::UpdateButtons() { Zastosuj->setEnabled(Chosen().has_value()); }

}  // namespace pit::ui
