#include "ui/update/tinfo.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/config.h"

namespace pit::ui {

TInfo::TInfo(const QString& configPath, const QString& version, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), configPath_(configPath) {
  setObjectName(QStringLiteral("Info"));
  setWindowTitle(QStringLiteral("Informacja o programie"));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(24, 20, 24, 16);
  column->setSpacing(8);
  auto* name = new QLabel(QStringLiteral("PIT Korvan 2014"), this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  name->setFont(big);
  auto* about = new QLabel(QStringLiteral("Roczne rozliczenie podatku dochodowego od osób fizycznych za 2014 rok:\n"
                                          "zeznania PIT-36, PIT-37, PIT-36L, PIT-38, PIT-28, PIT-39 z załącznikami,\n"
                                          "informacje płatnika PIT-11, PIT-40 oraz zgłoszenia NIP-7, ZAP-3."),
                           this);
  Wersja = new QLabel(QStringLiteral("wersja: ") + version, this);
  Wersja->setObjectName(QStringLiteral("Wersja"));
  auto* maker = new QLabel(QStringLiteral("Korvan"), this);
  AutoAktualzacja =
      new QCheckBox(QStringLiteral("Automatycznie sprawdzaj aktualizacje przy uruchamianiu programu."), this);
  AutoAktualzacja->setObjectName(QStringLiteral("AutoAktualzacja"));
  AutoAktualzacja->setChecked(platform::Config(configPath_).AutoUpdate());
  connect(AutoAktualzacja, &QCheckBox::clicked, this, &TInfo::AutoAktualzacjaClick);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  column->addWidget(name);
  column->addWidget(about);
  column->addWidget(Wersja);
  column->addWidget(maker);
  column->addSpacing(8);
  column->addWidget(AutoAktualzacja);
  column->addWidget(buttons);
}

void TInfo::AutoAktualzacjaClick() { platform::Config(configPath_).SetAutoUpdate(AutoAktualzacja->isChecked()); }

}  // namespace pit::ui
