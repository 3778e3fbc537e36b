// The desktop program's "Weryfikacja" and "Wyślij" buttons on a PIT-37 with
// the taxpayer's PIT/O: the list of empty required fields, and the hand-off
// to a stand-in e-filing program (a script in the program folder that
// records its command line and working folder).
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QTreeWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "../support/box_answerer.h"
#include "../support/own_home.h"
#include "app/document.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "forms/pit38_fields.h"
#include "forms/pit_o_fields.h"
#include "output/validation.h"
#include "platform/processes.h"
#include "ui/app/app_context.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "ui/output/efiling.h"

using namespace pit;
using pit::ui::EFiling;
using pit::ui::TTools;

namespace {

const QString kVeltra = QStringLiteral("Veltra2014.exe");

// The values of a complete return (every required field of the taxpayer).
const QStringList kTyped = {
    "1:0=1234563218", "1:7=0202",     "1:10=KOWAL",   "1:11=JAN", "1:12=01-02-1980", "1:140=POLSKA",
    "1:14=ŚLĄSKIE",   "1:15=GLIWICE", "1:16=GLIWICE", "1:18=12",  "1:20=GLIWICE",    "1:21=44-100",
    "1:22=GLIWICE",   "1:36=50000",   "1:37=1335",    "1:40=6000"};

QString ReadText(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
}

}  // namespace

class EFilingTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString program_;
  QString veltra_;

  QString File(const QString& name) const { return dir_.filePath(name); }

  void Cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PIT_CLI), args);
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
  }

  // The settlement file: PIT-37 and the taxpayer's PIT/O, complete or not.
  // `more`: other forms of the settlement after them.
  QString MakeReturn(const QString& name, bool complete, const QStringList& more = {}) {
    const QString path = File(name);
    Cli(QStringList{"new", "-o", path, "--kind", "0", "PIT-37", "PIT/O@1:1"} + more);
    if (complete) Cli(QStringList{"set", path} + kTyped);
    return path;
  }

  struct Program {
    ui::AppContext ctx;
    std::unique_ptr<TTools> window;
    EFiling* efiling = nullptr;
    QStringList shown;
    QStringList asked;
    bool connected = true;
    bool answerYes = true;
  };

  // `listWindow`: the check's own list window opens instead of the text
  // being kept.
  std::unique_ptr<Program> Open(const QString& path, bool listWindow = false) {
    auto p = std::make_unique<Program>();
    p->ctx.programFolder = program_.toStdString();
    p->window = std::make_unique<TTools>(p->ctx, File(QStringLiteral("lock")));
    p->efiling = p->window->findChild<EFiling*>(QStringLiteral("EFiling"));
    Program* raw = p.get();
    p->efiling->hooks.connected = [raw] { return raw->connected; };
    p->efiling->hooks.show = [raw](const QString& text) { raw->shown << text; };
    if (!listWindow) {
      p->efiling->hooks.showProblems = [raw](const ValidationResult& r) {
        raw->shown << QString::fromStdString(ValidationMessage(r, false));
      };
    }
    p->efiling->hooks.askYesNo = [raw](const QString& title, const QString& text) {
      raw->asked << title + QStringLiteral("|") + text;
      return raw->answerYes;
    };
    if (!p->window->LoadDocument(path)) return nullptr;
    p->window->SelectEntry(1);
    p->shown.clear();
    return p;
  }

  QStringList ExportFolders() const {
    return QDir(File(QStringLiteral("home/Documents/Pit Korvan/eDeklaracje 2014")))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  }

  void WaitForStandIn() {
    // Generous: the machine may be busy with builds.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(veltra_ + QStringLiteral("/args.txt")), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!platform::ProcessRunning(kVeltra), 60000);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    testsupport::UseOwnHomeFolders(File(QStringLiteral("home")));
    // The program folder: the definitions and data the build lays out, and
    // the stand-in e-filing program.
    program_ = QStringLiteral(PIT_BIN_DIR);
    const QString copy = File(QStringLiteral("program"));
    for (const char* sub : {"dc", "bib", "icon"}) {
      QDir().mkpath(copy + "/" + sub);
      const QDir from(program_ + "/" + sub);
      for (const QString& f : from.entryList(QDir::Files)) QFile::copy(from.filePath(f), copy + "/" + sub + "/" + f);
    }
    program_ = copy;
    veltra_ = program_ + QStringLiteral("/Veltra");
    QDir().mkpath(veltra_);
    QFile script(veltra_ + "/" + kVeltra);
    QVERIFY(script.open(QIODevice::WriteOnly));
    // Shell built-ins only: the test reads the files once the process is gone.
    // A desktop program closing elsewhere ends every "Veltra2014.exe" of the
    // user (as it should at exit): the stand-in ignores that.
    script.write("#!/bin/sh\n"
                 "trap '' TERM\n"
                 "d=${0%/*}\n"
                 "pwd > \"$d/cwd.txt\"\n"
                 "echo \"$*\" > \"$d/args.txt\"\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }

  void checkListsTheMissingFields() {
    auto p = Open(MakeReturn(QStringLiteral("incomplete.dc2014"), false));
    QVERIFY(p);
    for (const bool connected : {false, true}) {
      p->shown.clear();
      p->connected = connected;
      p->window->ToolCheck->trigger();
      QCOMPARE(p->shown.size(), 1);
      QVERIFY2(p->shown[0].startsWith(QStringLiteral(" ILOŚĆ NIEWYPEŁNIONYCH PÓL: ")), qPrintable(p->shown[0]));
      QVERIFY(p->shown[0].contains(QStringLiteral("   1. PIT-37 pole: Podatnik - NIP (poz. 1)\n")));
    }
    QVERIFY(ExportFolders().isEmpty());
  }

  // The check's list window: the count above the lines; a double click or
  // Enter on a line shows that entry's form at the field's page with the
  // field open, whatever form was shown before.
  void aLineOfTheCheckOpensItsField() {
    auto p = Open(MakeReturn(QStringLiteral("goto.dc2014"), false), true);
    QVERIFY(p);
    TTools& w = *p->window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (const bool byKey : {true, false}) {
      w.SelectEntry(2);  // the PIT/O
      QCOMPARE(p->ctx.settlement.Current.Number, 2);
      testsupport::BoxAnswerer answerer;
      QString header;
      QStringList rows;
      answerer.onDialog = [&](QDialog& d) {
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        auto* list = d.findChild<QListWidget*>(QStringLiteral("Lista"));
        header = d.findChild<QLabel*>(QStringLiteral("Naglowek"))->text();
        for (int i = 0; i < list->count(); ++i) rows << list->item(i)->text();
        const QList<QListWidgetItem*> office =
            list->findItems(QStringLiteral("Urząd skarbowy"), Qt::MatchContains);
        if (office.isEmpty()) {
          d.reject();
          return;
        }
        list->setCurrentItem(office[0]);

        if (byKey) {
          list->setFocus();
          QTest::keyClick(list, Qt::Key_Return);
        } else {
          const QRect r = list->visualItemRect(office[0]);
          QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
          QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
        }
      };
      w.ToolCheck->trigger();
      QVERIFY2(header.startsWith(QStringLiteral("ILOŚĆ NIEWYPEŁNIONYCH PÓL: ")), qPrintable(header));
      QVERIFY(header.contains(QStringLiteral("Ograniczono wyświetlanie komunikatów do 10-ciu")));
      QCOMPARE(rows.size(), 10);
      QCOMPARE(rows[0], QStringLiteral("1. PIT-37 pole: Podatnik - NIP (poz. 1)"));
      // No XML element names: each line says what the page says.
      for (const QString& row : rows) {
        for (const char* xml : {"KodUrzedu", "ImiePierwsze", "DataUrodzenia", "Podmiot", "Naglowek"})
          QVERIFY2(!row.contains(QLatin1String(xml)), qPrintable(row));
      }
      QCOMPARE(p->ctx.settlement.Current.Number, 1);
      QCOMPARE(p->ctx.settlement.Current.Page, 1);
      QCOMPARE(w.Form()->EditedObject(), 7);  // the tax office's field, its list open
      QVERIFY(w.Form()->OpenEditor() != nullptr && w.Form()->OpenEditor()->isVisible());
      w.Form()->DropTyping();
      w.Form()->CommitOpenEditor();
    }
  }

  void handOffStartsTheEFilingProgram_data() {
    QTest::addColumn<bool>("send");
    QTest::addColumn<QString>("mode");
    QTest::newRow("check") << false << "0";
    QTest::newRow("send") << true << "1";
  }

  void handOffStartsTheEFilingProgram() {
    QFETCH(bool, send);
    QFETCH(QString, mode);
    auto p = Open(MakeReturn(QStringLiteral("complete.dc2014"), true));
    QVERIFY(p);
    QFile::remove(veltra_ + QStringLiteral("/args.txt"));
    const QStringList before = ExportFolders();
    (send ? p->window->ToolSend : p->window->ToolCheck)->trigger();
    QVERIFY2(p->shown.isEmpty(), qPrintable(p->shown.join(" | ")));
    QVERIFY(p->asked.isEmpty());  // saved: no question

    QStringList made = ExportFolders();
    for (const QString& b : before) made.removeAll(b);
    QCOMPARE(made.size(), 1);
    const QString id = made[0];
    QCOMPARE(QDir::cleanPath(p->efiling->LastExportFolder()).endsWith(id), true);
    const QString folder = p->efiling->LastExportFolder();
    QVERIFY(QFile::exists(folder + "/P_" + id + ".xml"));
    QVERIFY(QFile::exists(folder + "/P_" + id + ".txt"));
    QVERIFY(QFile::exists(folder + "/" + id + ".html"));
    QCOMPARE(QDir(folder + "/html").entryList({"*.bmp"}).size(), 7);

    WaitForStandIn();
    QCOMPARE(ReadText(veltra_ + QStringLiteral("/args.txt")), id + QStringLiteral(" 1 ") + mode);
    QCOMPARE(QDir(ReadText(veltra_ + QStringLiteral("/cwd.txt"))).canonicalPath(), QDir(veltra_).canonicalPath());
  }

  // The file of a complete return with `change` written into it behind the
  // calculations' back, as a file written elsewhere brings it.
  QString ReturnWith(const QString& name, const std::function<void(Settlement&)>& change,
                     const QStringList& more = {}) {
    const QString path = MakeReturn(name, true, more);
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    Settlement s;
    if (!LoadSettlement(path.toStdString(), s, defs).ok) return {};
    change(s);
    if (!SaveSettlement(s, path.toStdString()).ok) return {};
    return path;
  }

  // The files of an export folder by name, the export's own identifier
  // taken out of their names and texts.
  static QMap<QString, QByteArray> ExportFiles(const QString& folder) {
    QMap<QString, QByteArray> files;
    const QString id = QDir(folder).dirName();
    for (const QString& sub : {QString(), QStringLiteral("/html")}) {
      const QDir d(folder + sub);
      for (const QString& f : d.entryList(QDir::Files)) {
        QFile file(d.filePath(f));
        if (file.open(QIODevice::ReadOnly))
          files[sub + "/" + QString(f).replace(id, "ID")] = file.readAll().replace(id.toUtf8(), "ID");
      }
    }
    return files;
  }

  // A PIT/O relief over its cap that no calculation has seen, with the
  // PIT-37 on screen: the hand-off brings the whole settlement up to date
  // once, attachments first, and hands on what the command line exports
  // from the same file, byte for byte, the HTML copy's pages included. The
  // PIT-37 stays the form shown.
  void handOffExportsWhatTheCommandLineExports() {
    const QString path = ReturnWith(QStringLiteral("ulga.dc2014"),
                                    [](Settlement& s) { s.Write(2, pit_o::taxpayer_internet, "900,00"); });
    QVERIFY(!path.isEmpty());
    auto p = Open(path);
    QVERIFY(p);
    const Settlement& s = p->ctx.settlement;
    QCOMPARE(s.Entry(2).Slots()[pit_o::taxpayer_internet].Value, std::string("900,00"));
    p->window->ToolCheck->trigger();
    QVERIFY2(p->shown.isEmpty(), qPrintable(p->shown.join(" | ")));
    QCOMPARE(s.Entry(2).Slots()[pit_o::taxpayer_internet].Value, std::string("760,00"));
    QCOMPARE(s.Current.Number, 1);
    QCOMPARE(p->window->TV->currentItem()->data(0, Qt::UserRole).toInt(), 1);
    WaitForStandIn();

    const QString out = File(QStringLiteral("cli-export"));
    Cli({"export", path, "--entry", "1", "-o", out, "--dc", program_ + QStringLiteral("/dc")});
    const QStringList made = QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(made.size(), 1);
    const QMap<QString, QByteArray> desktop = ExportFiles(p->efiling->LastExportFolder());
    const QMap<QString, QByteArray> cli = ExportFiles(out + "/" + made[0]);
    QCOMPARE(desktop.keys(), cli.keys());
    for (const QString& name : desktop.keys()) QVERIFY2(desktop[name] == cli[name], qPrintable(name));
    const QString xml = QString::fromUtf8(desktop.value(QStringLiteral("/P_ID.xml")));
    // The PIT-37 took the capped relief in.
    QVERIFY(xml.contains(QStringLiteral("<PIT37_1.0.P_105>760.00</PIT37_1.0.P_105>")));
  }

  // A figure no calculation can read: the user is told once, in the words
  // the form window uses, and nothing is handed on.
  void figuresThatCannotBeWorkedOutAreNotHandedOn() {
    const QString path = ReturnWith(QStringLiteral("zla.dc2014"),
                                    [](Settlement& s) { s.Write(2, pit_o::taxpayer_rehabilitation, "300 zł"); });
    QVERIFY(!path.isEmpty());
    auto p = Open(path);
    QVERIFY(p);
    const int exports = ExportFolders().size();
    QFile::remove(veltra_ + QStringLiteral("/args.txt"));
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    const int poz = (*defs.Fields(kPitO))[pit_o::taxpayer_rehabilitation].Poz;
    p->window->ToolSend->trigger();
    QCOMPARE(p->shown, QStringList{QStringLiteral("Nieprawidłowa kwota \"300 zł\" w poz. %1 formularza PIT/O").arg(poz)});
    QCOMPARE(ExportFolders().size(), exports);
    QVERIFY(!QFile::exists(veltra_ + QStringLiteral("/args.txt")));
    QCOMPARE(p->ctx.settlement.Current.Number, 1);
  }

  // The same figure in a PIT-38 of the same settlement, another return: the
  // PIT-37 shown is handed on, and the PIT-38 keeps what was typed.
  void anotherReturnsFigureDoesNotStopTheHandOff() {
    const QString path = ReturnWith(
        QStringLiteral("inny.dc2014"), [](Settlement& s) { s.Write(3, pit38::other_revenue, "5 zł"); },
        {QStringLiteral("PIT-38")});
    QVERIFY(!path.isEmpty());
    auto p = Open(path);
    QVERIFY(p);
    const Settlement& s = p->ctx.settlement;
    QCOMPARE(s.Entry(3).IdPit, static_cast<int>(kPit38));
    QVERIFY(s.Entry(3).ReturnGuid != s.Entry(1).ReturnGuid);
    const int exports = ExportFolders().size();
    p->window->ToolCheck->trigger();
    QVERIFY2(p->shown.isEmpty(), qPrintable(p->shown.join(" | ")));
    QCOMPARE(ExportFolders().size(), exports + 1);
    const QMap<QString, QByteArray> files = ExportFiles(p->efiling->LastExportFolder());
    const QString xml = QString::fromUtf8(files.value(QStringLiteral("/P_ID.xml")));
    QVERIFY(xml.contains(QStringLiteral("PIT37")));
    QVERIFY(!xml.contains(QStringLiteral("PIT38")));
    QCOMPARE(s.Entry(3).Slots()[pit38::other_revenue].Value, std::string("5 zł"));
    WaitForStandIn();
  }

  void refusalsAndTheSaveQuestion() {
    auto p = Open(MakeReturn(QStringLiteral("asked.dc2014"), true));
    QVERIFY(p);
    const int exports = ExportFolders().size();

    // Modified and not saved on request: nothing is written.
    p->ctx.settlement.DocumentModified = true;
    p->answerYes = false;
    p->window->ToolCheck->trigger();
    QCOMPARE(p->asked, QStringList{QStringLiteral(
                           "Informacja|Aby przekazać dokument do Veltra należy zapisać dokument.\nCzy dokonać zapisu "
                           "dokumentu?")});
    QCOMPARE(ExportFolders().size(), exports);

    // Without a connection the send button stops after the confirmation.
    p->ctx.settlement.DocumentModified = false;
    p->connected = false;
    p->window->ToolSend->trigger();
    QCOMPARE(p->shown,
             (QStringList{QStringLiteral("Wszystkie wymagane pola zostały wypełnione"),
                          QStringLiteral("Brak połączenia z siecią internet.\nWysłanie zeznania do systemu "
                                         "e-Deklaracje wymaga połączenia internetowego.")}));
    QCOMPARE(ExportFolders().size(), exports);

    // A second PIT/O in the return is refused before anything is written.
    p->shown.clear();
    p->connected = true;
    Settlement& s = p->ctx.settlement;
    s.AddEntry(kPitO, 1, kPmTaxpayer, kIndividual);
    p->window->RebuildTree();
    p->window->SelectEntry(1);
    p->shown.clear();
    s.DocumentModified = false;
    p->efiling->hooks.show = [&](const QString& text) { p->shown << text; };
    p->window->ToolSend->trigger();
    QVERIFY(!p->shown.isEmpty());
    QCOMPARE(p->shown.last(),
             QStringLiteral("Niemożliwe jest wysłanie drogą elektroniczną więcej niż jednego załącznika: PIT-O."));
    QCOMPARE(ExportFolders().size(), exports);
  }

  void whyTheEFilingProgramWasNotStarted_data() {
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QString>("why");
    QTest::newRow("program missing") << true << "Nie znaleziono programu Veltra: ";
    QTest::newRow("never saved") << false << "Rozliczenie nie zostało zapisane, więc program Veltra nie został uruchomiony.";
  }

  void whyTheEFilingProgramWasNotStarted() {
    QFETCH(bool, saved);
    QFETCH(QString, why);
    auto p = Open(MakeReturn(QStringLiteral("noveltra.dc2014"), true));
    QVERIFY(p);
    if (saved) {
      p->ctx.veltraFolder = File(QStringLiteral("nowhere")).toStdString();
    } else {
      p->ctx.settlement.DocumentPath.clear();  // as after a cancelled save dialog
    }
    p->window->ToolCheck->trigger();
    QCOMPARE(p->shown.size(), 1);
    const QString folder = QDir::toNativeSeparators(p->efiling->LastExportFolder());
    QVERIFY2(p->shown[0].startsWith(why), qPrintable(p->shown[0]));
    QVERIFY(p->shown[0].endsWith(QStringLiteral("\nPliki do wysłania zapisano w katalogu:\n") + folder));
    // The export is kept.
    QVERIFY(QFile::exists(p->efiling->LastExportFolder() + "/P_" + QDir(folder).dirName() + ".xml"));
  }
};

QTEST_MAIN(EFilingTest)
#include "efiling_test.moc"
