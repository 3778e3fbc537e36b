#include "ui/output/twydruk.h"

#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <fcntl.h>
#include <unistd.h>

#include "forms/definition_files.h"
#include "output/print_order.h"
#include "ui/app/app_context.h"
#include "ui/app/app_texts.h"

namespace pit::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// The printer chosen in the print dialog.
class PrinterTarget : public PrintTarget {
 public:
  explicit PrinterTarget(QPrinter& printer) : printer_(printer) {}
  QPagedPaintDevice* BeginJob(const QString& title) override {
    printer_.setDocName(title);
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
      // A PDF holds tax data: a new one is made owner-only before Qt writes
      // into it (an existing one keeps the mode its owner gave it).
      const int fd = ::open(QFile::encodeName(printer_.outputFileName()).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd >= 0) ::close(fd);
    }
    return &printer_;
  }
  bool SingleJob() const override { return printer_.outputFormat() == QPrinter::PdfFormat; }

 private:
  QPrinter& printer_;
};

QSpinBox* Spin(const char* name, int limit, QWidget* parent) {
  auto* s = new QSpinBox(parent);
  s->setObjectName(QString::fromLatin1(name));
  s->setRange(-limit, limit);
  s->setValue(0);
  s->setAlignment(Qt::AlignRight);
  s->setMinimumWidth(70);
  return s;
}

QRadioButton* Radio(const QString& text, QButtonGroup* group, int id, QLayout* layout, QWidget* parent) {
  auto* r = new QRadioButton(text, parent);
  group->addButton(r, id);
  layout->addWidget(r);
  return r;
}

}  // namespace

TWydruk::TWydruk(AppContext& ctx, PrintHooks hooks, QWidget* parent)
    : QDialog(parent), ctx_(ctx), hooks_(std::move(hooks)) {
  setObjectName(QStringLiteral("Wydruk"));
  setWindowTitle(QStringLiteral("Parametry wydruku"));
  setModal(true);
  Build();
}

TWydruk::~TWydruk() = default;

void TWydruk::Build() {
  auto* layout = new QVBoxLayout(this);

  ZakresDruku = new QGroupBox(QStringLiteral(" Zakres wydruku "), this);
  ZakresDruku->setObjectName(QStringLiteral("ZakresDruku"));
  zakres = new QButtonGroup(this);
  auto* zl = new QVBoxLayout(ZakresDruku);
  Radio(QStringLiteral("Bieżąca strona"), zakres, kPrintCurrentPage, zl, ZakresDruku)->setChecked(true);
  Radio(QStringLiteral("Wszystkie strony formularza"), zakres, kPrintCurrentForm, zl, ZakresDruku);
  Radio(QStringLiteral("Zeznanie wraz z załącznikami"), zakres, kPrintReturn, zl, ZakresDruku);
  Radio(QStringLiteral("Wszystkie dokumenty i załączniki bieżącego rozliczenia"), zakres, kPrintSettlement, zl,
        ZakresDruku);
  layout->addWidget(ZakresDruku);

  auto* tlo = new QGroupBox(QStringLiteral(" Tło wydruku "), this);
  auto* tl = new QHBoxLayout(tlo);
  RBWydrukKolor = new QRadioButton(QStringLiteral("druk z kolorowym tłem"), tlo);
  RBWydrukKolor->setObjectName(QStringLiteral("RBWydrukKolor"));
  RBWydrukBlack = new QRadioButton(QStringLiteral("druk bez tła"), tlo);
  RBWydrukBlack->setObjectName(QStringLiteral("RBWydrukBlack"));
  RBWydrukKolor->setChecked(true);
  tl->addWidget(RBWydrukKolor);
  tl->addWidget(RBWydrukBlack);
  layout->addWidget(tlo);

  ZawDruk = new QGroupBox(QStringLiteral(" Zawartość wydruku "), this);
  ZawDruk->setObjectName(QStringLiteral("ZawDruk"));
  zawartosc = new QButtonGroup(this);
  auto* cl = new QVBoxLayout(ZawDruk);
  Radio(QStringLiteral("drukuj tylko druk formularza"), zawartosc, 0, cl, ZawDruk);
  Radio(QStringLiteral("drukuj dane i druk formularza"), zawartosc, 1, cl, ZawDruk)->setChecked(true);
  layout->addWidget(ZawDruk);

  auto* rozmiar = new QGroupBox(QStringLiteral(" Rozmiar i marginesy "), this);
  auto* rl = new QGridLayout(rozmiar);
  UpDownRozmDruku = Spin("UpDownRozmDruku", 50, rozmiar);
  UpDownMG = Spin("UpDownMG", 100, rozmiar);
  UpDownML = Spin("UpDownML", 100, rozmiar);
  rl->addWidget(new QLabel(QStringLiteral("Korekta rozmiaru wydruku:"), rozmiar), 0, 0);
  rl->addWidget(UpDownRozmDruku, 0, 1);
  rl->addWidget(new QLabel(QStringLiteral("Margines górny:"), rozmiar), 1, 0);
  rl->addWidget(UpDownMG, 1, 1);
  rl->addWidget(new QLabel(QStringLiteral("Margines lewy:"), rozmiar), 2, 0);
  rl->addWidget(UpDownML, 2, 1);
  auto* steps = new QLabel(QStringLiteral("w krokach po 10 punktów drukarki (10 punktów to ok. 0,4 mm);\n"
                                          "przy ujemnej korekcie rozmiaru wydruk jest wyśrodkowany"),
                           rozmiar);
  steps->setEnabled(false);
  rl->addWidget(steps, 3, 0, 1, 2);
  layout->addWidget(rozmiar);

  GroupPrzesText = new QGroupBox(QStringLiteral(" Przesunięcie tekstu "), this);
  GroupPrzesText->setObjectName(QStringLiteral("GroupPrzesText"));
  auto* gl = new QGridLayout(GroupPrzesText);
  UpDownDx = Spin("UpDownDx", 100, GroupPrzesText);
  UpDownDy = Spin("UpDownDy", 100, GroupPrzesText);
  gl->addWidget(new QLabel(QStringLiteral("w poziomie:"), GroupPrzesText), 0, 0);
  gl->addWidget(UpDownDx, 0, 1);
  gl->addWidget(new QLabel(QStringLiteral("w pionie:"), GroupPrzesText), 1, 0);
  gl->addWidget(UpDownDy, 1, 1);
  auto* points = new QLabel(QStringLiteral("w punktach drukarki (1/600 cala)"), GroupPrzesText);
  points->setEnabled(false);
  gl->addWidget(points, 2, 0, 1, 2);
  layout->addWidget(GroupPrzesText);

  auto* buttons = new QHBoxLayout;
  UstawieniaDrukarki = new QPushButton(QStringLiteral("Ustawtenia drukarki"), this);
  UstawieniaDrukarki->setObjectName(QStringLiteral("UstawieniaDrukarki"));
  UstawieniaDrukarki->hide();
  Drukuj = new QPushButton(QStringLiteral("Drukuj"), this);
  Drukuj->setObjectName(QStringLiteral("Drukuj"));
  Drukuj->setDefault(true);
  Anuluj = new QPushButton(QStringLiteral("Anuluj"), this);
  Anuluj->setObjectName(QStringLiteral("Anuluj"));
  buttons->addWidget(UstawieniaDrukarki);
  buttons->addStretch();
  buttons->addWidget(Drukuj);
  buttons->addWidget(Anuluj);
  layout->addLayout(buttons);

  connect(Drukuj, &QPushButton::clicked, this, &TWydruk::DrukujClick);
  connect(Anuluj, &QPushButton::clicked, this, &QDialog::reject);
  connect(zawartosc, &QButtonGroup::idClicked, this, &TWydruk::ZawDrukClick);
  connect(zakres, &QButtonGroup::idClicked, this, &TWydruk::Store);
  connect(RBWydrukKolor, &QRadioButton::toggled, this, &TWydruk::Store);
  for (QSpinBox* s : {UpDownRozmDruku, UpDownMG, UpDownML, UpDownDx, UpDownDy})
    connect(s, &QSpinBox::valueChanged, this, &TWydruk::Store);
  setFixedSize(sizeHint());
}

render::PrintOptions TWydruk::Options() const {
  render::PrintOptions o;
  o.range = zakres->checkedId() < 0 ? 0 : zakres->checkedId();
  o.coloured = RBWydrukKolor->isChecked();
  o.sizeCorrection = UpDownRozmDruku->value();
  o.top = UpDownMG->value();
  o.left = UpDownML->value();
  o.dx = UpDownDx->value();
  o.dy = UpDownDy->value();
  o.content = zawartosc->checkedId() == 0 ? 0 : 1;
  return o;
}

void TWydruk::Store() { render::SharedPrintOptions() = Options(); }

void TWydruk::ZawDrukClick() {
  GroupPrzesText->setEnabled(zawartosc->checkedId() == 1);
  Store();
}

void TWydruk::showEvent(QShowEvent* e) {
  Drukuj->setEnabled(true);
  QDialog::showEvent(e);
}

void TWydruk::DrukujClick() {
  Store();
  const render::PrintOptions options = Options();
  AppContext& ctx = ctx_;
  Settlement& s = ctx.settlement;
  const std::vector<int> entries = EntriesToPrint(s, options.range, s.Current.Number);
  if (entries.empty()) return;

  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setDocName(render::JobTitle({s.Catalogue()[s.Entry(entries.front()).IdPit].Code}));
  const bool chosen = printDialog_ ? printDialog_(printer) : [&] {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
  }();
  if (!chosen) return;
  Drukuj->setEnabled(false);
  // Every range prints the settlement's figures as they stand, the same
  // whichever form is shown: what is being typed goes in, then every form
  // is calculated, attachments before their returns, none of them put on
  // screen. The tree keeps the form the user chose.
  if (hooks_.commitTyping) hooks_.commitTyping();
  const OutputPreparation prepared = ctx.Session().PrepareForOutput();
  const bool calculated = prepared.status == CalcStatus::Done;
  if (hooks_.showPrepared) hooks_.showPrepared(calculated);
  if (!calculated) {
    // A form that cannot be calculated is still printed as it stands; the
    // user is told why its figures may be out of date.
    QMessageBox::warning(this, QString::fromUtf8(kApplicationTitle), Q(prepared.error));
  }
  printer.setPageOrientation(QPageLayout::Portrait);
  // A PDF file has no unprintable edge: the A4 page fills the A4 sheet.
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  }
  std::unique_ptr<PrintTarget> target =
      targetFactory_ ? targetFactory_(printer) : std::make_unique<PrinterTarget>(printer);

  const std::string dcDir = ctx.defs ? ctx.defs->Dir() : ctx.Folder("dc");
  render::FormPrinter forms(options, dcDir);
  QPainter painter;
  bool fresh = true;
  bool failed = false;
  if (target->SingleJob()) {
    std::vector<std::string> codes;
    for (int n : entries) codes.push_back(s.Catalogue()[s.Entry(n).IdPit].Code);
    QPagedPaintDevice* device = target->BeginJob(render::JobTitle(codes));
    failed = device == nullptr || !painter.begin(device);
    for (std::size_t i = 0; !failed && i < entries.size(); ++i) {
      render::FormToPrint form;
      if (!Prepare(entries[i], options.range == kPrintCurrentPage, form)) continue;
      forms.Print(painter, *device, form, fresh);
      fresh = false;
    }
    if (painter.isActive()) painter.end();
  } else {
    for (int n : entries) {
      render::FormToPrint form;
      if (!Prepare(n, options.range == kPrintCurrentPage, form)) continue;
      QPagedPaintDevice* device = target->BeginJob(render::JobTitle({form.code}));
      if (device == nullptr || !painter.begin(device)) {
        failed = true;
        break;
      }
      forms.Print(painter, *device, form, true);
      painter.end();
    }
  }
  if (failed) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("Drukowanie nie powiodło się: drukarka nie przyjęła wydruku."));
  } else if (!forms.MissingPictures().empty()) {
    QMessageBox::warning(this, windowTitle(), Q(render::MissingPicturesMessage(forms.MissingPictures())));
  }
  accept();
}

bool TWydruk::Prepare(int number, bool currentPage, render::FormToPrint& form) {
  AppContext& ctx = ctx_;
  Settlement& s = ctx.settlement;
  if (!s.Has(number) || !FormCatalogue::IsValid(s.Entry(number).IdPit)) return false;
  const FormEntry& e = s.Entry(number);
  const CurrentEntryState& c = s.Current;
  form.entryNumber = number;
  form.idPit = e.IdPit;
  form.code = s.Catalogue()[e.IdPit].Code;
  form.entry = &e;
  const std::string dcDir = ctx.defs ? ctx.defs->Dir() : ctx.Folder("dc");
  if (auto recs = LoadFieldObjects(DcsPath(dcDir, e.IdPit))) form.fileDefs = std::move(*recs);
  // The fields as the form window holds them with the entry shown (after
  // its calculation's spouse rules), whether it is on screen or not: the
  // command line prints the same.
  form.shownDefs = ctx.Session().FieldsAsShown(number);
  int pageCount = s.Catalogue()[e.IdPit].PageCount;
  if (ctx.defs) {
    if (const auto d = ctx.defs->Description(e.IdPit)) pageCount = d->PageCount;
  }
  if (currentPage && c.Number == number) {
    form.pages = {c.Page};
  } else {
    for (int p = 1; p <= pageCount; ++p) form.pages.push_back(p);
  }
  return !form.pages.empty();
}

}  // namespace pit::ui
