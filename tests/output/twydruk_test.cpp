// The print window driven as a user drives it: opened from the main window
// with Ctrl+P or the tool bar, its controls set, "Drukuj" pressed and the
// system's print dialog answered. The jobs are recorded (title, pages) or,
// when the dialog chooses a PDF file, written to it.
#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "../support/box_answerer.h"
#include "../support/own_home.h"
#include "../support/program_folder.h"
#include "../support/window_driver.h"
#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "forms/pit37_fields.h"
#include "forms/pit_o_fields.h"
#include "output/print_order.h"
#include "ui/app/app_context.h"
#include "ui/app/result_bar.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "ui/output/twydruk.h"

using namespace pit;
using pit::ui::TTools;
using pit::ui::TWydruk;

namespace {

using testsupport::BoxAnswerer;
using testsupport::MakeProgramFolder;

int PdfPages(const QByteArray& bytes) {
  int pages = 0;
  for (int i = bytes.indexOf("/Type /Page"); i >= 0; i = bytes.indexOf("/Type /Page", i + 1))
    if (bytes.mid(i + 11, 1) != "s") ++pages;
  return pages;
}

// Print jobs kept in memory: each job is a PDF of its own.
struct JobLog {
  struct Job {
    QString title;
    std::unique_ptr<QBuffer> buffer;
    std::unique_ptr<QPdfWriter> pdf;
  };
  std::vector<Job> jobs;
  QStringList Titles() const {
    QStringList t;
    for (const Job& j : jobs) t << j.title;
    return t;
  }
  QList<int> Pages() const {
    QList<int> p;
    for (const Job& j : jobs) p << PdfPages(j.buffer->data());
    return p;
  }
};

class RecordingTarget : public ui::PrintTarget {
 public:
  explicit RecordingTarget(JobLog& log) : log_(log) {}
  QPagedPaintDevice* BeginJob(const QString& title) override {
    JobLog::Job job;
    job.title = title;
    job.buffer = std::make_unique<QBuffer>();
    job.buffer->open(QIODevice::WriteOnly);
    job.pdf = std::make_unique<QPdfWriter>(job.buffer.get());
    job.pdf->setResolution(600);
    job.pdf->setPageSize(QPageSize(QPageSize::A4));
    log_.jobs.push_back(std::move(job));
    return log_.jobs.back().pdf.get();
  }
  bool SingleJob() const override { return false; }

 private:
  JobLog& log_;
};


// A PIT-37 with the taxpayer's PIT/O and PIT/D, revenue typed in.
void MakeSettlementFile(const QString& path, const QString& programFolder) {
  DefinitionLibrary defs((programFolder + QStringLiteral("/dc")).toStdString());
  Settlement s;
  s.AddEntry(kPit37, 0, kPmNone, kIndividual);
  s.AddEntry(kPitO, 1, kPmTaxpayer, kIndividual);
  s.AddEntry(kPitD, 1, kPmTaxpayer, kIndividual);
  s.RebuildTree(defs);
  s.Write(1, 10, "KOWALSKI");
  s.Write(1, 36, "50000,00");
  IdentificationRecords ids;
  CollectIdentification(s, ids, 1);
  DistributeIdentification(s, ids);
  QVERIFY(SaveSettlement(s, path.toStdString()).ok);
}

// The text of every page of a PDF as pdftotext lays it out, page by page,
// without its empty lines (their number follows the device's resolution).
QStringList PdfText(const QString& pdf) {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  if (pdftotext.isEmpty()) return {QStringLiteral("pdftotext (poppler-utils) is missing: run scripts/setup.sh")};
  QProcess p;
  p.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!p.waitForFinished(60000)) return {};
  QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
  for (QString& page : pages) {
    QStringList lines = page.split(QLatin1Char('\n'));
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    page = lines.join(QLatin1Char('\n'));
  }
  return pages;
}

int PagesOf(const QString& programFolder, int idPit) {
  DefinitionLibrary defs((programFolder + QStringLiteral("/dc")).toStdString());
  return defs.Description(idPit) ? defs.Description(idPit)->PageCount : -1;
}

}  // namespace

class TWydrukTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString program_;
  QString file_;
  ui::AppContext ctx_;
  std::unique_ptr<TTools> window_;

  TTools& W() { return *window_; }

  // Shows the tree node of entry `number` and its page `page`.
  void Show(int number, int page) {
    W().SelectEntry(number);
    while (ctx_.settlement.Current.Page > page) W().PitPrevPageClick();
    while (ctx_.settlement.Current.Page < page) W().PitNextPageClick();
    QCOMPARE(ctx_.settlement.Current.Number, number);
    QCOMPARE(ctx_.settlement.Current.Page, page);
  }

  // Opens the print window with Ctrl+P; `inside` runs while it is open.
  // False when no window opened.
  bool WithPrintWindow(const std::function<void(TWydruk&)>& inside) {
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
      TWydruk* dialog = W().Wydruk;
      if (dialog == nullptr || !dialog->isVisible()) return;
      opened = true;
      inside(*dialog);
      if (dialog->isVisible()) dialog->Anuluj->click();
    });
    // The shortcut belongs to the main window, active again after the
    // print window closed.
    QApplication::setActiveWindow(&W());
    QTest::keyClick(&W(), Qt::Key_P, Qt::ControlModifier);
    // Without a window the timer has run by now as well.
    QCoreApplication::processEvents();
    return opened;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    testsupport::UseOwnHomeFolders(dir_.path() + QStringLiteral("/home"));
    program_ = MakeProgramFolder(dir_.path());
    file_ = dir_.filePath(QStringLiteral("zeznanie.dc2014"));
    MakeSettlementFile(file_, program_);
    ctx_.programFolder = program_.toStdString();
    window_ = std::make_unique<TTools>(ctx_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    BoxAnswerer answerer;
    QVERIFY(window_->AfterShow({}));
  }

  void noFormShownNoPrintWindow() {
    // A settlement read in: the tree, but no page yet.
    QVERIFY(W().LoadDocument(file_));
    QVERIFY(!W().ToolPrint->isEnabled());
    QVERIFY(!WithPrintWindow([](TWydruk&) {}));
  }

  void controlsAndTheirRanges() {
    Show(1, 1);
    QVERIFY(W().ToolPrint->isEnabled());
    const bool opened = WithPrintWindow([](TWydruk& d) {
      QCOMPARE(d.windowTitle(), QStringLiteral("Parametry wydruku"));
      QVERIFY(d.Drukuj->isEnabled());
      QVERIFY(!d.UstawieniaDrukarki->isVisible());
      QCOMPARE(d.zakres->checkedId(), 0);
      QCOMPARE(d.zakres->button(3)->text(), QStringLiteral("Wszystkie dokumenty i załączniki bieżącego rozliczenia"));
      QVERIFY(d.RBWydrukKolor->isChecked());
      QCOMPARE(d.zawartosc->checkedId(), 1);
      struct Spin {
        QSpinBox* box;
        int limit;
      };
      for (const Spin& s : {Spin{d.UpDownRozmDruku, 50}, Spin{d.UpDownMG, 100}, Spin{d.UpDownML, 100},
                            Spin{d.UpDownDx, 100}, Spin{d.UpDownDy, 100}}) {
        QCOMPARE(s.box->value(), 0);
        QCOMPARE(s.box->minimum(), -s.limit);
        QCOMPARE(s.box->maximum(), s.limit);
      }
      // The shift applies to the data only: off while only the form prints.
      QVERIFY(d.GroupPrzesText->isEnabled());
      d.zawartosc->button(0)->click();
      QVERIFY(!d.GroupPrzesText->isEnabled());
      QCOMPARE(render::SharedPrintOptions().content, 0);
      d.zawartosc->button(1)->click();
      QVERIFY(d.GroupPrzesText->isEnabled());
      // Settings typed in stay for the next time, and the HTML copy reads them.
      d.UpDownRozmDruku->setValue(-3);
      d.UpDownML->setValue(5);
    });
    QVERIFY(opened);
    QCOMPARE(render::SharedPrintOptions().sizeCorrection, -3);
    QCOMPARE(render::SharedPrintOptions().left, 5);
    QVERIFY(WithPrintWindow([](TWydruk& d) {
      QCOMPARE(d.UpDownRozmDruku->value(), -3);
      QCOMPARE(d.UpDownML->value(), 5);
      d.UpDownRozmDruku->setValue(0);
      d.UpDownML->setValue(0);
    }));
  }

  void rangesPrintTheirForms_data() {
    QTest::addColumn<int>("range");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QList<int>>("pages");
    const int o = PagesOf(program_, kPitO);
    const int d = PagesOf(program_, kPitD);
    const int p37 = PagesOf(program_, kPit37);
    QTest::newRow("current page") << 0 << QStringList{"Wydruk druku PIT/O"} << QList<int>{1};
    QTest::newRow("current form") << 1 << QStringList{"Wydruk druku PIT/O"} << QList<int>{o};
    QTest::newRow("return from an attachment: main form first")
        << 2 << QStringList{"Wydruk druku PIT-37", "Wydruk druku PIT/O", "Wydruk druku PIT/D"}
        << QList<int>{p37, o, d};
    QTest::newRow("whole settlement")
        << 3 << QStringList{"Wydruk druku PIT-37", "Wydruk druku PIT/O", "Wydruk druku PIT/D"}
        << QList<int>{p37, o, d};
  }

  void rangesPrintTheirForms() {
    QFETCH(int, range);
    QFETCH(QStringList, titles);
    QFETCH(QList<int>, pages);
    Show(2, 2);  // PIT/O, page 2
    JobLog log;
    W().Wydruk->SetTargetFactory([&](QPrinter&) { return std::make_unique<RecordingTarget>(log); });
    int dialogs = 0;
    W().Wydruk->SetPrintDialog([&](QPrinter&) {
      ++dialogs;
      return true;
    });
    bool closed = false;
    QVERIFY(WithPrintWindow([&](TWydruk& d) {
      d.zakres->button(range)->click();
      d.Drukuj->click();
      closed = !d.isVisible();
    }));
    QCOMPARE(dialogs, 1);
    QVERIFY(closed);
    QCOMPARE(log.Titles(), titles);
    QCOMPARE(log.Pages(), pages);
    // Whatever the range, the form and page the user chose stay on screen.
    QCOMPARE(ctx_.settlement.Current.Number, 2);
    QCOMPARE(ctx_.settlement.Current.Page, 2);
    QCOMPARE(W().TV->currentItem()->data(0, Qt::UserRole).toInt(), 2);
    W().Wydruk->SetTargetFactory(nullptr);
    W().Wydruk->SetPrintDialog(nullptr);
  }

  void cancelledDialogPrintsNothing() {
    Show(1, 1);
    JobLog log;
    W().Wydruk->SetTargetFactory([&](QPrinter&) { return std::make_unique<RecordingTarget>(log); });
    W().Wydruk->SetPrintDialog([](QPrinter&) { return false; });
    bool stillOpen = false, buttonOn = false;
    QVERIFY(WithPrintWindow([&](TWydruk& d) {
      d.Drukuj->click();
      stillOpen = d.isVisible();
      buttonOn = d.Drukuj->isEnabled();
    }));
    QVERIFY(stillOpen);
    QVERIFY(buttonOn);
    QVERIFY(log.jobs.empty());
    W().Wydruk->SetTargetFactory(nullptr);
  }

  void pdfFileTakesTheWholeReturnInOneFile() {
    Show(3, 1);  // PIT/D
    const QString pdf = dir_.filePath(QStringLiteral("wydruk.pdf"));
    W().Wydruk->SetPrintDialog([&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    });
    QVERIFY(WithPrintWindow([&](TWydruk& d) {
      d.zakres->button(2)->click();
      d.Drukuj->click();
    }));
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(PdfPages(bytes), PagesOf(program_, kPit37) + PagesOf(program_, kPitO) + PagesOf(program_, kPitD));
    W().Wydruk->SetPrintDialog(nullptr);
  }

  // What `range` prints into a PDF file, from the form shown.
  void PrintToPdf(int range, const QString& pdf) {
    QFile::remove(pdf);
    W().Wydruk->SetPrintDialog([&](QPrinter& printer) {
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      return true;
    });
    QVERIFY(WithPrintWindow([&](TWydruk& d) {
      d.zakres->button(range)->click();
      d.Drukuj->click();
    }));
    W().Wydruk->SetPrintDialog(nullptr);
    QVERIFY(QFile::exists(pdf));
  }

  // A file whose PIT/O holds a relief over its cap that no calculation has
  // seen, as a file written elsewhere brings it, and whose PIT-37 has not
  // taken it in. Printing the return from the PIT-37 prints the return
  // brought up to date once, attachments first: the PIT/O capped, the
  // PIT-37 with the capped relief, every page as the command line prints
  // the same file. The PIT-37 stays on screen and shows the new figure, and
  // nothing of it becomes a step of its own or a change to save.
  void returnPrintedAsTheCommandLinePrintsIt() {
    const QString file = dir_.filePath(QStringLiteral("ulga.dc2014"));
    QVERIFY(testsupport::SavePit37Settlement(file, program_, {kPitO}, "KOWALSKI", [](Settlement& s) {
      s.Write(1, pit37::taxpayer_employment_revenue, "50000,00");
      s.Write(2, pit_o::taxpayer_internet, "900,00");
    }));
    QVERIFY(W().LoadDocument(file));
    const std::vector<FieldObject>* defs = ctx_.defs->Fields(kPit37);
    QVERIFY(defs != nullptr);
    const int reliefPage = (*defs)[pit37::taxpayer_pit_o_income_deductions].Page;
    Show(1, reliefPage);
    const Settlement& s = ctx_.settlement;
    QCOMPARE(s.Entry(2).Slots()[pit_o::taxpayer_internet].Value, std::string("900,00"));
    const std::string before = s.Entry(1).Slots()[pit37::taxpayer_pit_o_income_deductions].Value;
    QVERIFY2(before != "760,00", before.c_str());
    const QImage shownBefore = W().Form()->PageImage();
    const ui::ResultBar* bar = W().findChild<ui::ResultBar*>();
    QVERIFY(bar != nullptr && bar->isVisible());
    const QString taxBefore = bar->TaxDue()->text();

    const QString pdf = dir_.filePath(QStringLiteral("ulga.pdf"));
    PrintToPdf(kPrintReturn, pdf);

    QCOMPARE(s.Entry(2).Slots()[pit_o::taxpayer_internet].Value, std::string("760,00"));
    QCOMPARE(s.Entry(1).Slots()[pit37::taxpayer_pit_o_income_deductions].Value, std::string("760,00"));
    QCOMPARE(s.Current.Number, 1);
    QCOMPARE(s.Current.Page, reliefPage);
    QCOMPARE(W().TV->currentItem()->data(0, Qt::UserRole).toInt(), 1);
    QVERIFY(!s.DocumentModified);
    QVERIFY(!W().MenuUndo->isEnabled());
    // The window shows the page and the tax as a fresh look at them would.
    const QImage shownAfter = W().Form()->PageImage();
    const QString taxAfter = bar->TaxDue()->text();
    QVERIFY(shownAfter != shownBefore);
    QVERIFY(taxAfter != taxBefore);
    Show(1, reliefPage);
    QCOMPARE(shownAfter, W().Form()->PageImage());
    QCOMPARE(taxAfter, bar->TaxDue()->text());

    // The command line prints the file as it is on disk, never shown.
    const QString cliPdf = dir_.filePath(QStringLiteral("ulga-cli.pdf"));
    QProcess cli;
    cli.start(QStringLiteral(PIT_CLI), {QStringLiteral("print"), file, QStringLiteral("--entry"), QStringLiteral("1"),
                                        QStringLiteral("--return"), QStringLiteral("-o"), cliPdf,
                                        QStringLiteral("--dc"), program_ + QStringLiteral("/dc")});
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
    const QStringList printed = PdfText(pdf);
    QCOMPARE(printed.size(), PagesOf(program_, kPit37) + PagesOf(program_, kPitO) + 1);
    QCOMPARE(printed, PdfText(cliPdf));
    QVERIFY2(printed[reliefPage - 1].contains(QStringLiteral("760")), qPrintable(printed[reliefPage - 1]));
  }

  // A figure no calculation can read, in the form shown or in another: the
  // user is told once, in the words the form window uses, and the return is
  // still printed as it stands.
  void figureThatCannotBeWorkedOutIsToldOnce_data() {
    QTest::addColumn<int>("shown");
    QTest::newRow("its return shown") << 1;
    QTest::newRow("the form itself shown") << 2;
  }

  void figureThatCannotBeWorkedOutIsToldOnce() {
    QFETCH(int, shown);
    const QString file = dir_.filePath(QStringLiteral("zla.dc2014"));
    QVERIFY(testsupport::SavePit37Settlement(file, program_, {kPitO}, "KOWALSKI", [](Settlement& s) {
      s.Write(2, pit_o::taxpayer_rehabilitation, "300 zł");
    }));
    BoxAnswerer answerer;
    QVERIFY(W().LoadDocument(file));
    Show(shown, 1);
    answerer.boxes.clear();
    const QString pdf = dir_.filePath(QStringLiteral("zla.pdf"));
    PrintToPdf(kPrintReturn, pdf);
    const int poz = (*ctx_.defs->Fields(kPitO))[pit_o::taxpayer_rehabilitation].Poz;
    QCOMPARE(answerer.Texts(),
             QStringList{QStringLiteral("Nieprawidłowa kwota \"300 zł\" w poz. %1 formularza PIT/O").arg(poz)});
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(PdfPages(f.readAll()), PagesOf(program_, kPit37) + PagesOf(program_, kPitO));
    QCOMPARE(ctx_.settlement.Current.Number, shown);
    QCOMPARE(ctx_.settlement.Entry(2).Slots()[pit_o::taxpayer_rehabilitation].Value, std::string("300 zł"));
  }

  // The flags a calculation sets (the spouse's column of a PIT/O read-only
  // on a return of one person) reach the form window once, where the
  // session puts them, and the window holds every field as printing and the
  // HTML copy draw it.
  void windowHoldsTheFlagsItPrints() {
    QVERIFY(W().LoadDocument(file_));
    QVERIFY(testsupport::ClickField(W(), 2, pit_o::taxpayer_internet) != nullptr);
    W().Form()->CommitOpenEditor();
    QVERIFY(W().Form()->Fields()[pit_o::spouse_internet].ReadOnly);
    QVERIFY(testsupport::ClickField(W(), 2, pit_o::spouse_internet) == nullptr);
    const std::vector<FieldObject> printed = ctx_.Session().FieldsAsShown(2);
    const std::vector<FieldObject>& shown = W().Form()->Fields();
    QCOMPARE(shown.size(), printed.size());
    for (std::size_t k = 0; k < shown.size(); ++k) {
      const FieldObject& a = shown[k];
      const FieldObject& b = printed[k];
      QVERIFY2(a.ReadOnly == b.ReadOnly && a.Visible == b.Visible && a.MustBe == b.MustBe && a.MaxChar == b.MaxChar,
               qPrintable(QStringLiteral("field %1").arg(k)));
    }
  }

  // A value typed and not yet committed goes in before the figures are
  // worked out: it is printed, kept, and can be taken back as any commit.
  void typedValueIsPrintedAndKept() {
    QVERIFY(W().LoadDocument(file_));
    auto* edit = qobject_cast<QLineEdit*>(testsupport::ClickField(W(), 1, pit37::taxpayer_surname));
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("NOWAKOWSKA"));
    QVERIFY(W().Form()->EditorHoldsTyping());
    const int page = ctx_.settlement.Current.Page;

    const QString pdf = dir_.filePath(QStringLiteral("nazwisko.pdf"));
    PrintToPdf(kPrintCurrentPage, pdf);

    QCOMPARE(ctx_.settlement.Entry(1).Slots()[pit37::taxpayer_surname].Value, std::string("NOWAKOWSKA"));
    QVERIFY(W().Form()->OpenEditor() == nullptr);
    QCOMPARE(ctx_.settlement.Current.Page, page);
    QVERIFY(ctx_.settlement.DocumentModified);
    const QStringList printed = PdfText(pdf);
    QCOMPARE(printed.size(), 2);  // the page, and the empty text after the last page break
    QVERIFY2(printed[0].contains(QStringLiteral("NOWAKOWSKA")), qPrintable(printed[0]));
    QVERIFY(W().MenuUndo->isEnabled());
    W().MenuUndo->trigger();
    QCOMPARE(ctx_.settlement.Entry(1).Slots()[pit37::taxpayer_surname].Value, std::string("KOWALSKI"));
    ctx_.settlement.DocumentModified = false;
  }

  void missingPagePictureIsToldOnce() {
    QVERIFY(QFile::remove(program_ + QStringLiteral("/dc/6_3.dcg")));
    Show(2, 1);
    JobLog log;
    W().Wydruk->SetTargetFactory([&](QPrinter&) { return std::make_unique<RecordingTarget>(log); });
    W().Wydruk->SetPrintDialog([](QPrinter&) { return true; });
    BoxAnswerer answerer;
    QVERIFY(WithPrintWindow([&](TWydruk& d) {
      d.zakres->button(1)->click();
      d.Drukuj->click();
    }));
    QCOMPARE(log.Pages(), QList<int>{PagesOf(program_, kPitO)});
    QCOMPARE(answerer.Texts().size(), 1);
    QVERIFY2(answerer.Texts()[0].contains(program_ + QStringLiteral("/dc/6_3.dcg")), qPrintable(answerer.Texts()[0]));
    W().Wydruk->SetTargetFactory(nullptr);
    W().Wydruk->SetPrintDialog(nullptr);
  }

  void cleanupTestCase() {
    ctx_.settlement.DocumentModified = false;
    window_.reset();
  }
};

QTEST_MAIN(TWydrukTest)
#include "twydruk_test.moc"
