#include "ui/designer/tfobj.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace pit::ui {

FieldObject ResetFieldType(const FieldObject& f, int typ) {
  FieldObject r;
  r.Left = f.Left;
  r.Top = f.Top;
  r.Right = f.Right;
  r.Bottom = f.Bottom;
  r.ID = f.ID;
  r.Page = f.Page;
  r.Group = f.Group;
  r.Name = f.Name;
  r.PlusValue = f.PlusValue;
  r.Tab = f.Tab;
  r.Poz = f.Poz;
  r.Typ = typ;
  r.FontSize = "10";
  r.BorderColor = "FFFFFF";
  r.FillColor = "FFFFFF";
  r.TextColor = "000000";
  r.Visible = true;
  if (typ == kLiczba) {
    r.TextAlign = kAlignRight;
    r.Option = 1;
    r.DefValue = "0,00";
  } else if (typ == kNip) {
    r.Option = 1;
  }
  return r;
}

TFObj::TFObj(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFObj"));
  auto* lay = new QVBoxLayout(this);
  tabs_ = new QTabWidget;
  for (const char* t : {"[0] Tekst", "[1] Liczba", "[2] NIP", "[3] Data", "[4] Select", "[5] Checbox",
                        "[6] Przekreślenie", "[7] Urząd Skarbowy", "[8] Kraj", "[9] Wyliczanie 1%"}) {
    tabs_->addTab(new QWidget, QString::fromUtf8(t));
  }
  lay->addWidget(tabs_);
  auto* warning = new QLabel(QStringLiteral("Uwaga. \nZmiana typu obiektu powoduje utracenie dotyczczasowych \n"
                                            "ustawień na danym typie obiektu."));
  lay->addWidget(warning);
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(QStringLiteral("Zastosuj"), QDialogButtonBox::AcceptRole);
  ok->setObjectName(QStringLiteral("Zastosuj"));
  buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("Anuluj"));
  lay->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    emit applied(index_, field_);
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int typ) { field_ = ResetFieldType(field_, typ); });
}

void TFObj::Edit(int index, const FieldObject& f) {
  index_ = index;
  field_ = f;
  const QSignalBlocker b(tabs_);
  tabs_->setCurrentIndex(f.Typ >= 0 && f.Typ <= 9 ? f.Typ : 0);
  setWindowTitle(QStringLiteral("Zmiana typu obiektu [%1.%2]").arg(f.Group).arg(f.ID));
}

}  // namespace pit::ui
