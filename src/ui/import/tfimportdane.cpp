#include "ui/import/tfimportdane.h"

#include "ui/app/message_boxes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "calc/identification.h"
#include "ui/app/app_context.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/icons.h"
#include "ui/app/screen_fit.h"

namespace pit::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QString kCaption = QStringLiteral("Pobierz dane identyfikacyjne");

void Inform(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Information) {
  QMessageBox box(icon, kCaption, text, QMessageBox::Ok, parent);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  KeepLines(box);
  box.exec();
}

void Warn(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, kCaption, text, QMessageBox::Ok, parent);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  KeepLines(box);
  box.exec();
}

QLabel* Value(QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  return l;
}

}  // namespace

TFImportDane::TFImportDane(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
  setObjectName(QStringLiteral("FImportDane"));
  setWindowTitle(kCaption);
  setModal(true);
  BuildControls();
  askFileName = [this] {
    return AskOpenFile(this, kCaption, Q(ctx_.documentsFolder), QStringLiteral("Rozliczenie roczne (*.dc2013)"));
  };
  // Step 1 of the window's life: nothing shown, nothing held.
  EPathImport->clear();
  EmptyShown();
  import_.Reset();
}

QWidget* TFImportDane::BuildPerson(PersonView& v, const QString& caption, QToolButton*& change, QCheckBox*& box,
                                   const QString& boxText) {
  v.group = new QGroupBox(caption);
  auto* column = new QVBoxLayout(v.group);
  auto* idRow = new QHBoxLayout();
  v.idLabel = new QLabel(v.group);
  v.idValue = Value(v.group);
  change = new QToolButton(v.group);
  change->setText(QStringLiteral("zmień identyfikator"));
  change->setStyleSheet(QStringLiteral("QToolButton { color: #b00000; font-weight: bold; }"));
  idRow->addWidget(v.idLabel);
  idRow->addWidget(v.idValue);
  idRow->addStretch(1);
  idRow->addWidget(change);
  column->addLayout(idRow);
  auto* form = new QFormLayout();
  form->setLabelAlignment(Qt::AlignRight);
  auto row = [&](const char* label, QLabel*& value) {
    value = Value(v.group);
    value->setWordWrap(true);
    form->addRow(QString::fromUtf8(label), value);
  };
  row("Urząd Skarbowy:", v.office);
  row("Imię i nazwisko:", v.name);
  row("Data urodzenia:", v.birthDate);
  row("Adres:", v.street);
  v.locality = Value(v.group);
  form->addRow(QString(), v.locality);
  row("Województwo:", v.voivodeship);
  row("Powiat:", v.county);
  row("Gmina:", v.commune);
  row("Poczta:", v.postOffice);
  row("Kraj:", v.country);
  column->addLayout(form);
  column->addStretch(1);
  box = new QCheckBox(boxText, v.group);
  column->addWidget(box);
  connect(box, &QCheckBox::clicked, this, &TFImportDane::CheckBoxClick);
  connect(change, &QToolButton::clicked, this, &TFImportDane::SBZmienIdentyfikatorClick);
  return v.group;
}

void TFImportDane::BuildControls() {
  auto* column = new QVBoxLayout(this);
  auto* top = new QWidget(this);
  auto* topRow = new QHBoxLayout(top);
  topRow->setContentsMargins(0, 0, 0, 0);
  topRow->addWidget(
      new QLabel(QStringLiteral("Proszę wskazać dowolne rozliczenie z 2013 roku, z którego pobrać dane identyfikacyjne:"),
                 top));
  EPathImport = new QLineEdit(top);
  EPathImport->setObjectName(QStringLiteral("EPathImport"));
  EPathImport->setReadOnly(true);
  BPathReadDane = new QPushButton(QStringLiteral("wskaż rozliczenie"), top);
  BPathReadDane->setObjectName(QStringLiteral("BPathReadDane"));
  topRow->addWidget(EPathImport, 1);
  topRow->addWidget(BPathReadDane);
  column->addWidget(top);

  PageControl = new QStackedWidget(this);
  // The information page.
  TSInformacja = new QWidget(PageControl);
  auto* info = new QVBoxLayout(TSInformacja);
  auto* infoGroup = new QGroupBox(QStringLiteral(" INFORMACJA "), TSInformacja);
  auto* infoColumn = new QVBoxLayout(infoGroup);
  auto* infoText = new QLabel(
      QStringLiteral("Mechanizm umożliwia pobranie danych identyfikacyjnych podatnika(ów) z poprzedniego okresu "
                     "rozliczeniowego."),
      infoGroup);
  infoText->setObjectName(QStringLiteral("InfoText"));
  infoText->setWordWrap(true);
  // Centred by the label itself: an alignment in the layout would give the
  // wrapped text its one-line width and cut its lines.
  infoText->setAlignment(Qt::AlignCenter);
  SBWskazRozliczenie = new QPushButton(QStringLiteral("wskaż dowolne rozliczenie z 2013 roku"), infoGroup);
  SBWskazRozliczenie->setObjectName(QStringLiteral("SBWskazRozliczenie"));
  SBWskazRozliczenie->setIcon(ToolBarIcon(ToolIcon::Open));
  // The window's own "zamknij" below closes it on every page.
  infoColumn->addStretch(1);
  infoColumn->addWidget(infoText);
  infoColumn->addSpacing(16);
  infoColumn->addWidget(SBWskazRozliczenie, 0, Qt::AlignHCenter);
  infoColumn->addStretch(2);
  info->addWidget(infoGroup);
  PageControl->addWidget(TSInformacja);

  // The data page.
  TSDane = new QWidget(PageControl);
  auto* data = new QHBoxLayout(TSDane);
  data->addWidget(BuildPerson(Podatnik, QStringLiteral("DANE PODATNIKA "), SBPZmienIdentyfikator, CBDanePodatnika,
                              QStringLiteral("importuj dane podatnika")),
                  1);
  auto* arrows = new QVBoxLayout();
  SBPdoM = new QToolButton(TSDane);
  SBPdoM->setObjectName(QStringLiteral("SBPdoM"));
  SBPdoM->setIcon(ToolBarIcon(ToolIcon::Next));
  SBPdoM->setToolTip(QStringLiteral("zamień podatnika z małżonkiem"));
  SBMdoP = new QToolButton(TSDane);
  SBMdoP->setObjectName(QStringLiteral("SBMdoP"));
  SBMdoP->setIcon(ToolBarIcon(ToolIcon::Previous));
  SBMdoP->setToolTip(QStringLiteral("zamień małżonka z podatnikiem"));
  arrows->addStretch(1);
  arrows->addWidget(SBPdoM);
  arrows->addWidget(SBMdoP);
  arrows->addStretch(1);
  data->addLayout(arrows);
  PRight = new QTabWidget(TSDane);
  PRight->setObjectName(QStringLiteral("PRight"));
  TSMalzonek = BuildPerson(Malzonek, QString(), SBMZmienIdentyfikator, CBDaneMalzonka,
                           QStringLiteral("importuj dane małżonka"));
  PRight->addTab(TSMalzonek, QStringLiteral("DANE MAŁŻONKA "));
  TSPlatnik = new QWidget(PRight);
  auto* payer = new QVBoxLayout(TSPlatnik);
  auto* payerId = new QHBoxLayout();
  PlatnikIdLabel = new QLabel(QStringLiteral("Identyfikator płatnika - NIP: "), TSPlatnik);
  PlatnikNip = Value(TSPlatnik);
  payerId->addWidget(PlatnikIdLabel);
  payerId->addWidget(PlatnikNip);
  payerId->addStretch(1);
  payer->addLayout(payerId);
  auto* payerForm = new QFormLayout();
  PlatnikNazwa = Value(TSPlatnik);
  PlatnikNazwa->setWordWrap(true);
  PlatnikOsoba = Value(TSPlatnik);
  PlatnikOsoba->setWordWrap(true);
  payerForm->addRow(QStringLiteral("Nazwa pełna, Regon: "), PlatnikNazwa);
  payerForm->addRow(QStringLiteral("Nazwisko, pierwsze imię, data urodzenia:"), PlatnikOsoba);
  payer->addLayout(payerForm);
  payer->addStretch(1);
  CBDanePlatnika = new QCheckBox(QStringLiteral("importuj dane płatnika"), TSPlatnik);
  payer->addWidget(CBDanePlatnika);
  connect(CBDanePlatnika, &QCheckBox::clicked, this, &TFImportDane::CheckBoxClick);
  PRight->addTab(TSPlatnik, QStringLiteral("DANE PŁATNIKA "));
  data->addWidget(PRight, 1);
  PageControl->addWidget(TSDane);
  column->addWidget(PageControl, 1);

  auto* bottom = new QHBoxLayout();
  BImportuj = new QPushButton(QStringLiteral("importuj"), this);
  BImportuj->setObjectName(QStringLiteral("BImportuj"));
  BZamknij = new QPushButton(QStringLiteral("zamknij"), this);
  BZamknij->setObjectName(QStringLiteral("BZamknij"));
  bottom->addStretch(1);
  bottom->addWidget(BImportuj);
  bottom->addWidget(BZamknij);
  column->addLayout(bottom);

  for (auto [button, name] : {std::pair{SBPZmienIdentyfikator, "SBPZmienIdentyfikator"},
                              std::pair{SBMZmienIdentyfikator, "SBMZmienIdentyfikator"}})
    button->setObjectName(QLatin1String(name));
  CBDanePodatnika->setObjectName(QStringLiteral("CBDanePodatnika"));
  CBDaneMalzonka->setObjectName(QStringLiteral("CBDaneMalzonka"));
  CBDanePlatnika->setObjectName(QStringLiteral("CBDanePlatnika"));

  connect(BPathReadDane, &QPushButton::clicked, this, &TFImportDane::BPathReadDaneClick);
  connect(SBWskazRozliczenie, &QPushButton::clicked, this, &TFImportDane::BPathReadDaneClick);
  connect(SBPdoM, &QToolButton::clicked, this, &TFImportDane::SBPdoMClick);
  connect(SBMdoP, &QToolButton::clicked, this, &TFImportDane::SBMdoPClick);
  connect(BImportuj, &QPushButton::clicked, this, &TFImportDane::BImportujClick);
  connect(BZamknij, &QPushButton::clicked, this, &TFImportDane::BZamknijClick);
  resize(FitOnScreen(this, QSize(886, 495)));
}

void TFImportDane::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  PageControl->setCurrentWidget(TSInformacja);
  PRight->setCurrentWidget(TSMalzonek);
  EPathImport->clear();
  BImportuj->setEnabled(false);
  EmptyShown();
  import_.Reset();
  for (QCheckBox* b : {CBDanePodatnika, CBDaneMalzonka, CBDanePlatnika}) b->setChecked(false);
  CBDanePodatnika->setEnabled(true);
  CBDaneMalzonka->setEnabled(ctx_.settlement.Kind == kJoint);
}

void TFImportDane::EmptyShown() {
  for (PersonView* v : {&Podatnik, &Malzonek}) {
    for (QLabel* l : {v->idValue, v->office, v->name, v->birthDate, v->street, v->locality, v->voivodeship, v->county,
                      v->commune, v->postOffice, v->country})
      l->clear();
  }
  Podatnik.idLabel->setText(QStringLiteral("Identyfikator podatnika - NIP: "));
  Malzonek.idLabel->setText(QStringLiteral("Identyfikator małżonka - NIP: "));
  PlatnikNip->clear();
  PlatnikNazwa->clear();
  PlatnikOsoba->clear();
  SBPZmienIdentyfikator->setVisible(false);
  SBMZmienIdentyfikator->setVisible(false);
}

void TFImportDane::ShowPerson(PersonView& v, const ImportBlock& b, bool spouse) {
  const IdentificationRecord& p = b.Person;
  const QString who = spouse ? QStringLiteral("Identyfikator małżonka - ") : QStringLiteral("Identyfikator podatnika - ");
  v.idLabel->setText(who + (b.IdKind == kIdPesel ? QStringLiteral("PESEL: ") : QStringLiteral("NIP: ")));
  v.idValue->setText(b.IdKind == kIdNip ? Q(p.NIP) : b.IdKind == kIdPesel ? Q(p.PESEL) : QString());
  v.office->setText(p.TaxOffice.empty() && p.TaxOfficeCode.empty()
                        ? QString()
                        : QStringLiteral("[") + Q(p.TaxOfficeCode) + QStringLiteral("] ") + Q(p.TaxOffice));
  v.name->setText((Q(p.FirstName) + QLatin1Char(' ') + Q(p.Surname)).trimmed());
  v.birthDate->setText(Q(p.BirthDate));
  QString street = (Q(p.Street) + QLatin1Char(' ') + Q(p.HouseNo)).trimmed();
  if (!p.FlatNo.empty()) street += QLatin1Char('/') + Q(p.FlatNo);
  v.street->setText(street);
  v.locality->setText((Q(p.PostalCode) + QLatin1Char(' ') + Q(p.Town)).trimmed());
  v.voivodeship->setText(Q(p.Voivodeship));
  v.county->setText(Q(p.County));
  v.commune->setText(Q(p.Commune));
  v.postOffice->setText(Q(p.PostOffice));
  v.country->setText(Q(p.Country));
}

void TFImportDane::ShowPersons() {
  ShowPerson(Podatnik, import_.Taxpayer, false);
  ShowPerson(Malzonek, import_.Spouse, true);
  PlatnikIdLabel->setText(QStringLiteral("Identyfikator płatnika - NIP: "));
  PlatnikNip->setText(Q(import_.Taxpayer.Payer.NIP));
  PlatnikNazwa->setText(Q(import_.PayerFullName));
  PlatnikOsoba->setText(Q(import_.PayerPersonName));
  SBPZmienIdentyfikator->setVisible(import_.TaxpayerMismatch);
  SBMZmienIdentyfikator->setVisible(import_.SpouseMismatch);
}

void TFImportDane::ShowMismatch() {
  const std::string m = import_.MismatchMessage();
  if (!m.empty()) Inform(this, Q(m), QMessageBox::Warning);
}

void TFImportDane::BPathReadDaneClick() {
  const QString file = askFileName ? askFileName() : QString();
  if (file.isEmpty()) return;
  for (QCheckBox* b : {CBDanePodatnika, CBDaneMalzonka, CBDanePlatnika}) b->setChecked(false);
  BImportuj->setEnabled(false);
  PageControl->setCurrentWidget(TSDane);
  EPathImport->setText(file);
  EmptyShown();
  PRight->setCurrentWidget(TSMalzonek);
  const ImportReadStatus read = import_.ReadFile(file.toStdString(), IdentifierSettingOf(ctx_.settlement));
  if (read != ImportReadStatus::Ok) {
    // Nothing to take: "importuj" stays off and the settlement as it is.
    Warn(this, Q(ImportReadMessage(read, file.toStdString())));
    return;
  }
  if (import_.PayerFound) PRight->setCurrentWidget(TSPlatnik);
  ShowPersons();
  ShowMismatch();
}

void TFImportDane::SwapPersons() {
  import_.Swap(IdentifierSettingOf(ctx_.settlement));
  ShowPersons();
  ShowMismatch();
}

void TFImportDane::SBPdoMClick() { SwapPersons(); }
void TFImportDane::SBMdoPClick() { SwapPersons(); }

void TFImportDane::SBZmienIdentyfikatorClick() {
  if (!changeIdentifiers || !changeIdentifiers()) return;
  // The selection screen may have changed the identifiers and the kind.
  import_.ComputeMismatch(IdentifierSettingOf(ctx_.settlement));
  CBDaneMalzonka->setEnabled(ctx_.settlement.Kind == kJoint);
  if (!CBDaneMalzonka->isEnabled()) CBDaneMalzonka->setChecked(false);
  CheckBoxClick();
  ShowPersons();
}

void TFImportDane::CheckBoxClick() {
  BImportuj->setEnabled(CBDanePodatnika->isChecked() || CBDaneMalzonka->isChecked() || CBDanePlatnika->isChecked());
}

void TFImportDane::BImportujClick() {
  if (CBDanePlatnika->isChecked()) Inform(this, QString::fromUtf8(kPayerImportWarning));
  const ImportChoice choice{CBDanePodatnika->isChecked(), CBDaneMalzonka->isChecked() && CBDaneMalzonka->isEnabled(),
                            CBDanePlatnika->isChecked()};
  ImportChecks checks;
  // Without the office list (not read) codes cannot be told apart.
  if (ctx_.offices.HasCodes())
    checks.officeKnown = [this](const std::string& code) { return ctx_.offices.FindByCode(code) != nullptr; };
  const ImportOutcome done = import_.Apply(choice, IdentifierSettingOf(ctx_.settlement), ctx_.ids, checks);
  if (!done.AnyWritten()) {
    // The window stays open: another person or another file may be chosen.
    Warn(this, QStringLiteral("W pliku nie ma danych do pobrania dla zaznaczonych osób. Dane w rozliczeniu nie "
                              "zostały zmienione.\n") +
                   Q(ImportOutcomeNotes(done)));
    import_.Taxpayer = import_.StagedTaxpayer;
    import_.Spouse = import_.StagedSpouse;
    return;
  }
  DistributeIdentification(ctx_.settlement, ctx_.ids);
  if (imported) imported();
  const std::string notes = ImportOutcomeNotes(done);
  if (!notes.empty()) Warn(this, Q(notes));
  accept();
}

void TFImportDane::BZamknijClick() { reject(); }

}  // namespace pit::ui
