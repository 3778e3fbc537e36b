// The main window driven as a user drives it: start-up with a file named on
// the command line, the tree, adding a copy, the save question, the file
// dialogs, the first-start configuration and the single-instance guard.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QDir>
#include <QAbstractButton>
#include <QRegularExpression>
#include <QTreeView>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QPointer>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QDesktopServices>
#include <QPushButton>
#include <QThread>
#include <QTableWidget>
#include <QTimer>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QAction>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "platform/folders.h"
#include "platform/single_instance.h"
#include "refdata/dictionaries.h"
#include "ui/app/app_context.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/startup.h"
#include "platform/file_lock.h"
#include "ui/app/ttools.h"
#include "ui/update/tfpomoc.h"
#include "ui/import/tfimportdane.h"
#include "ui/selection/tsam.h"
#include "ui/selection/tkreator.h"
#include "ui/app/welcome_panel.h"
#include "ui/designer/form_designer.h"
#include "ui/designer/tfpaleta.h"
#include "forms/definition_files.h"
#include "ui/forms/tfimage.h"
#include "../support/box_answerer.h"
#include "../support/own_home.h"
#include "../support/program_folder.h"
#include "../support/window_driver.h"
#include "ui/refdata/tfopp.h"

using namespace pit;
using pit::ui::TTools;

namespace {

using testsupport::BoxAnswerer;
using testsupport::MakeProgramFolder;

const QString kTail = QStringLiteral(" - PIT Korvan 2014 Korvan - wersja: ") + QStringLiteral(PIT_VERSION);


// An empty PIT-36 with one PIT/B.
void MakePit36WithPitB(const QString& path, const QString& programFolder) {
  DefinitionLibrary defs((programFolder + QStringLiteral("/dc")).toStdString());
  Settlement s;
  s.AddEntry(kPit36, 0, kPmNone, kIndividual);
  s.AddEntry(kPitB, 1, kPmNone, kIndividual);
  s.RebuildTree(defs);
  QVERIFY(SaveSettlement(s, path.toStdString()).ok);
}

// A settlement of a PIT-37 with the taxpayer's PIT/O and PIT/D, the
// taxpayer's surname typed into the PIT-37.
void MakeSettlementFile(const QString& path, const QString& programFolder) {
  QVERIFY(testsupport::SavePit37Settlement(path, programFolder, {kPitO, kPitD}));
}

QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QString& text) {
  for (int i = 0; i < parent->childCount(); ++i) {
    if (parent->child(i)->text(0) == text) return parent->child(i);
  }
  return nullptr;
}

}  // namespace

class TToolsTest : public QObject {
  Q_OBJECT

 public slots:
  void OpenedAddress(const QUrl& url) { opened_ << url; }

 private:
  QList<QUrl> opened_;
  QTemporaryDir dir_;
  QString program_;

  QString File(const QString& name) const { return dir_.filePath(name); }

  // Message boxes on the way are answered by the caller's BoxAnswerer.
  std::unique_ptr<testsupport::StartedProgram> Start(const QStringList& args, const QString& program = QString()) {
    return testsupport::StartProgram(program.isEmpty() ? program_ : program, args, {QSize(), false});
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    program_ = MakeProgramFolder(dir_.path(), QStringLiteral("program"), {kPit37});
    QVERIFY2(QFile::exists(program_ + QStringLiteral("/dc/2.dcs")), "the build makes dc/2.dcs");
  }

  void commandLineFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<QString>("message");
    QTest::newRow("lower-case extension") << "lower.dc2014" << true << true << QString();
    QTest::newRow("upper-case extension") << "UPPER.DC2014" << true << true << QString();
    QTest::newRow("mixed-case extension") << "mixed.Dc2014" << true << true << QString();
    QTest::newRow("extension inside the name") << "notes.dc2014.txt" << true << false
                                               << "Podany plik nie jest plikiem programu PIT Korvan 2014.\n";
    QTest::newRow("missing file") << "missing.dc2014" << false << true << "Nie ma pliku rozliczeniowego.";
  }

  void commandLineFile() {
    QFETCH(QString, name);
    QFETCH(bool, create);
    QFETCH(bool, goesOn);
    QFETCH(QString, message);
    const QString path = File(name);
    if (create) MakeSettlementFile(path, program_);

    BoxAnswerer answerer;
    auto st = Start({path});
    QCOMPARE(st->showed, goesOn);
    if (!message.isEmpty()) {
      QCOMPARE(answerer.boxes.size(), 1);
      const QString expected = message.endsWith(QLatin1Char('\n')) ? message + path : message;
      QCOMPARE(answerer.boxes[0].text, expected);
    } else {
      QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    }

    TTools& w = *st->window;
    if (!create || !goesOn) {
      QCOMPARE(w.TV->topLevelItemCount(), 0);
      QVERIFY(!st->ctx.settlement.IsOpen());
      QCOMPARE(w.windowTitle(), QStringLiteral("Roczne rozliczenie podatku dochodowego") + kTail);
      return;
    }
    QCOMPARE(w.windowTitle(), name + kTail);
    QCOMPARE(w.TV->topLevelItemCount(), 1);
    QTreeWidgetItem* main = w.TV->topLevelItem(0);
    QCOMPARE(main->text(0), QStringLiteral("PIT-37"));
    QVERIFY(main->font(0).bold());
    QVERIFY(main->isExpanded());
    QCOMPARE(main->childCount(), 2);
    // Children sorted by their text, not by their order in the file.
    QCOMPARE(main->child(0)->text(0), QStringLiteral("PIT/D (P)"));
    QCOMPARE(main->child(1)->text(0), QStringLiteral("PIT/O (P)"));
    QVERIFY(!main->child(0)->font(0).bold());
    QCOMPARE(st->ctx.settlement.DocumentPath, path.toStdString());
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QVERIFY(!w.ToolSave->isEnabled());
    // The persons' data were collected from the forms.
    QCOMPARE(st->ctx.ids.Taxpayer.Surname, std::string("KOWALSKI"));
  }

  void selectingEntriesAndAddingACopy() {
    const QString path = File(QStringLiteral("copies.dc2014"));
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer;
    auto st = Start({path});
    TTools& w = *st->window;
    QTreeWidgetItem* main = w.TV->topLevelItem(0);
    QVERIFY(main);

    struct Case {
      QString node;
      QString info;
      bool zalAdd;
      bool pageMissing;
    };
    const Case cases[] = {
        {QStringLiteral("PIT/O (P)"), QStringLiteral("Druk: PIT/O (Podatnika)"), true, true},
        {QStringLiteral("PIT/D (P)"), QStringLiteral("Druk: PIT/D (Podatnika)"), false, true},
        {QStringLiteral("PIT-37"), QStringLiteral("Druk: PIT-37"), false, false},
    };
    for (const Case& c : cases) {
      answerer.boxes.clear();
      QTreeWidgetItem* item = c.node == main->text(0) ? main : ChildNamed(main, c.node);
      QVERIFY2(item, qPrintable(c.node));
      w.TV->setCurrentItem(item);
      QCOMPARE(w.InfoPit->text(), c.info);
      QCOMPARE(w.ZalAdd->isVisibleTo(&w), c.zalAdd);
      QCOMPARE(w.Form()->PictureLoaded(), !c.pageMissing);
      if (c.pageMissing) {
        QCOMPARE(answerer.boxes.size(), 1);
        QVERIFY(answerer.boxes[0].text.startsWith(QStringLiteral("Brak wymaganych plików: \n")));
      } else {
        QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
        QCOMPARE(w.InfoPage->text(), QStringLiteral("1 z 4"));
        QVERIFY(w.PitNextPage->isEnabled());
        QVERIFY(!w.PitPrevPage->isEnabled());
      }
    }

    // Page buttons walk the PIT-37 and stop at its ends.
    w.PitNextPageEnd->click();
    QCOMPARE(w.InfoPage->text(), QStringLiteral("4 z 4"));
    QVERIFY(!w.PitNextPage->isEnabled());
    w.PitPrevPage->click();
    QCOMPARE(st->ctx.settlement.Current.Page, 3);
    w.PitPrevPageEnd->click();
    QCOMPARE(w.InfoPage->text(), QStringLiteral("1 z 4"));

    // A further copy of the PIT/O: same return, the taxpayer's data, modified.
    w.TV->setCurrentItem(ChildNamed(main, QStringLiteral("PIT/O (P)")));
    Settlement& s = st->ctx.settlement;
    const int before = s.Count();
    w.ZalAdd->click();
    QCOMPARE(s.Count(), before + 1);
    const FormEntry& copy = s.Entry(s.Count());
    QCOMPARE(copy.IdPit, int(kPitO));
    QCOMPARE(copy.IdParent, 1);
    QCOMPARE(copy.PM, int(kPmTaxpayer));
    QCOMPARE(copy.ReturnGuid, s.Entry(1).ReturnGuid);
    QCOMPARE(copy.Slots()[4].Value, std::string("KOWALSKI"));
    main = w.TV->topLevelItem(0);
    int copies = 0;
    for (int i = 0; i < main->childCount(); ++i) copies += main->child(i)->text(0) == QStringLiteral("PIT/O (P)");
    QCOMPARE(copies, 2);
    QCOMPARE(w.TV->currentItem()->data(0, Qt::UserRole).toInt(), s.Count());
    QVERIFY(s.DocumentModified);
    QVERIFY(w.ToolSave->isEnabled());
    s.DocumentModified = false;  // nothing to ask when the window goes
  }

  // A file that another program of the user is working on (the command line
  // holds its lock) is not opened underneath it; once free, it opens and
  // stays locked while it is open.
  void fileInUseIsNotOpened() {
    const QString path = File(QStringLiteral("zajety.dc2014"));
    MakeSettlementFile(path, program_);
    {
      platform::FileLock other;
      QCOMPARE(other.Acquire(path.toStdString(), 0), platform::FileLock::Result::Locked);
      BoxAnswerer answerer;
      auto st = Start({path});
      QCOMPARE(answerer.boxes.size(), 1);
      QVERIFY2(answerer.boxes[0].text.startsWith(QStringLiteral("Plik jest właśnie używany przez inny program")),
               qPrintable(answerer.boxes[0].text));
      // Something went wrong: the warning icon, under the program's name.
      QCOMPARE(answerer.boxes[0].icon, QMessageBox::Warning);
      QCOMPARE(answerer.boxes[0].title, QString::fromUtf8(ui::kApplicationTitle));
      QVERIFY(!st->ctx.settlement.IsOpen());
    }
    BoxAnswerer answerer;
    auto st = Start({path});
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    QVERIFY(st->ctx.settlement.IsOpen());
    platform::FileLock other;
    QCOMPARE(other.Acquire(path.toStdString(), 0), platform::FileLock::Result::Busy);
  }

  // Qt's own windows read Polish: the file dialog of "Otwórz" (buttons,
  // labels, column heads, dates in the Polish form) and a message box's
  // standard buttons.
  void standardWindowsReadPolish() {
    std::unique_ptr<testsupport::StartedProgram> st;
    {
      BoxAnswerer answerer;
      st = Start({});
    }
    TTools& w = *st->window;
    QFile file(File(QStringLiteral("plik.dc2014")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    st->ctx.documentsFolder = dir_.path().toStdString();
    QStringList buttons, labels, heads, cut;
    QString date;
    int tries = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (d == nullptr || !d->isVisible()) return;
      auto* tree = d->findChild<QTreeView*>();
      // The folder is read in the background: wait for its files.
      if (tree == nullptr || tree->model()->rowCount(tree->rootIndex()) == 0) return;
      // Size, type and date show whole ("Pusty dokument", not "Pus…ent"),
      // once the columns have taken the folder's contents in.
      cut.clear();
      for (int c = 1; c <= 3; ++c) {
        const QString text = tree->model()->index(0, c, tree->rootIndex()).data().toString();
        if (tree->fontMetrics().horizontalAdvance(text) + 8 > tree->columnWidth(c)) cut << text;
      }
      if (!cut.isEmpty() && ++tries < 300) return;
      for (QAbstractButton* b : d->findChild<QDialogButtonBox*>()->buttons()) buttons << b->text();
      for (QLabel* l : d->findChildren<QLabel*>()) labels << l->text();
      for (int c = 0; c < tree->model()->columnCount(); ++c) heads << tree->model()->headerData(c, Qt::Horizontal).toString();
      date = tree->model()->index(0, 3, tree->rootIndex()).data().toString();
      if (!qEnvironmentVariableIsEmpty("PIT_SHOTS")) d->grab().save(qEnvironmentVariable("PIT_SHOTS") + "/file_dialog.png");
      poll.stop();
      d->reject();
    });
    poll.start(10);
    QTimer::singleShot(0, &w, [&w] { w.MenuOpen->trigger(); });
    QTRY_VERIFY_WITH_TIMEOUT(!heads.isEmpty(), 20000);
    QVERIFY2(buttons.contains(QStringLiteral("&Otwórz")) || buttons.contains(QStringLiteral("Otwórz")),
             qPrintable(buttons.join('|')));
    QVERIFY2(buttons.contains(QStringLiteral("Anuluj")), qPrintable(buttons.join('|')));
    QVERIFY2(labels.contains(QStringLiteral("Nazwa &pliku:")), qPrintable(labels.join('|')));
    QCOMPARE(heads.value(0), QStringLiteral("Nazwa"));
    QCOMPARE(heads.value(1), QStringLiteral("Rozmiar"));
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join('|')));
    // "dd.MM.yyyy", not "M/d/yy".
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{2}\\.\\d{2}\\.\\d{4}")).match(date).hasMatch(), qPrintable(date));

    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Save);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Tak"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("&Nie"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Anuluj"));
    QCOMPARE(box.button(QMessageBox::Save)->text(), QStringLiteral("Zachowaj"));  // Qt's own word
  }

  // On an 800x600 screen every window of the program opens whole, frame and
  // title bar included: the wizard, the selection screen on each path, the
  // help and the import windows.
  void windowsFitASmallScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (screen.width() > 800) QSKIP("the screen is wider than 800 pixels");
    std::unique_ptr<testsupport::StartedProgram> st;
    {
      BoxAnswerer answerer;
      st = Start({});
    }
    TTools& w = *st->window;
    ui::TKreator wizard(st->ctx, {}, {}, &w);
    ui::TSam manual(st->ctx, {}, &w);
    ui::TFImportDane import(st->ctx, &w);
    struct Shown {
      const char* name;
      QWidget* window;
      std::function<void()> prepare;
    };
    const std::vector<Shown> windows = {
        {"wizard", &wizard, [] {}},
        {"selection, individual", &manual, [&] { manual.PrepareNew(kIndividual); }},
        {"selection, payer", &manual, [&] { manual.PrepareNew(kPayerForms); }},
        {"help", w.FPomoc, [] {}},
        {"import", &import, [] {}},
    };
    for (const Shown& s : windows) {
      s.prepare();
      s.window->show();
      QVERIFY(QTest::qWaitForWindowExposed(s.window));
      // Room for a window manager's frame (a few pixels) and title bar.
      QVERIFY2(s.window->width() <= screen.width() - 10 && s.window->height() <= screen.height() - 30,
               qPrintable(QStringLiteral("%1: %2x%3").arg(s.name).arg(s.window->width()).arg(s.window->height())));
      // Fitted without squeezing: the layout needs no more than it gets.
      const QSize least = s.window->minimumSizeHint();
      QVERIFY2(least.width() <= s.window->width() && least.height() <= s.window->height(),
               qPrintable(QStringLiteral("%1: needs %2x%3, has %4x%5")
                              .arg(s.name).arg(least.width()).arg(least.height())
                              .arg(s.window->width()).arg(s.window->height())));
      if (!qEnvironmentVariableIsEmpty("PIT_SHOTS"))
        s.window->grab().save(qEnvironmentVariable("PIT_SHOTS") + QStringLiteral("/800x600_%1.png").arg(QString::fromUtf8(s.name).replace(QRegularExpression("[ ,]+"), "_")));
      s.window->hide();
    }
  }

  void openAndSaveAs() {
    const QString source = File(QStringLiteral("source.dc2014"));
    MakeSettlementFile(source, program_);
    BoxAnswerer answerer;
    auto st = Start({});
    TTools& w = *st->window;
    QVERIFY(!w.MenuSave->isEnabled());

    answerer.fileName = source;
    w.MenuOpen->trigger();
    QCOMPARE(answerer.dialogTitle, QStringLiteral("Otwórz rozliczenie"));
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    // Entry 1 is shown at once.
    QCOMPARE(w.InfoPit->text(), QStringLiteral("Druk: PIT-37"));
    QVERIFY(w.Form()->PictureLoaded());
    QVERIFY(w.MenuSave->isEnabled());
    QCOMPARE(w.windowTitle(), QStringLiteral("source.dc2014") + kTail);

    // A name typed without the extension gets it.
    const QString typed = File(QStringLiteral("kopia"));
    answerer.fileName = typed;
    w.SetModified();
    w.MenuSaveAs->trigger();
    QCOMPARE(answerer.dialogTitle, QStringLiteral("Zapisz rozliczenie jako"));
    const QString written = typed + QStringLiteral(".dc2014");
    QVERIFY(QFile::exists(written));
    QCOMPARE(QFileInfo(written).size(), qint64(3 * kEntryRecordSize));
    QCOMPARE(w.windowTitle(), QStringLiteral("kopia.dc2014") + kTail);
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QVERIFY(!w.ToolSave->isEnabled());

    // A cancelled dialog writes nothing and keeps the document as it was.
    answerer.fileName.clear();
    w.SetModified();
    w.MenuSaveAs->trigger();
    QVERIFY(st->ctx.settlement.DocumentModified);
    QCOMPARE(st->ctx.settlement.DocumentPath, written.toStdString());
    st->ctx.settlement.DocumentModified = false;
  }

  // Another program wrote the open file behind the window's back (a copy,
  // an editor, a program that takes no lock): saving asks before it throws
  // that version away, and each answer does what it says.
  void fileChangedBehindTheWindowIsAskedAbout_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("onDisk");
    QTest::addColumn<bool>("savedAs");
    QTest::newRow("Zastąp plik") << int(QMessageBox::Yes) << "NOWAK" << false;
    QTest::newRow("Zapisz pod inną nazwą") << int(QMessageBox::Save) << "OBCY" << true;
    QTest::newRow("Anuluj") << int(QMessageBox::Cancel) << "OBCY" << false;
  }
  void fileChangedBehindTheWindowIsAskedAbout() {
    QFETCH(int, answer);
    QFETCH(QString, onDisk);
    QFETCH(bool, savedAs);
    const QString path = File(QStringLiteral("zmieniony-%1.dc2014").arg(answer));
    const QString other = File(QStringLiteral("inna-%1.dc2014").arg(answer));
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer(static_cast<QMessageBox::StandardButton>(answer));
    answerer.fileName = other;
    auto st = Start({path});
    TTools& w = *st->window;
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    DefinitionLibrary defs(st->ctx.Folder("dc"));
    auto surnameIn = [&](const QString& file) {
      Settlement s;
      return LoadSettlement(file.toStdString(), s, defs).ok ? QString::fromStdString(s.Entry(1).Slots()[10].Value)
                                                            : QString();
    };
    {
      Settlement changed;
      QVERIFY(LoadSettlement(path.toStdString(), changed, defs).ok);
      changed.Write(1, 10, "OBCY");
      QVERIFY(SaveSettlement(changed, path.toStdString()).ok);
    }
    st->ctx.settlement.Write(1, 10, "NOWAK");
    w.SetModified();
    w.MenuSave->trigger();

    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].title, QStringLiteral("Plik został zmieniony"));
    QVERIFY2(answerer.boxes[0].text.startsWith(QStringLiteral("Plik \"") + path +
                                               QStringLiteral("\" został zmieniony przez inny program")),
             qPrintable(answerer.boxes[0].text));
    QCOMPARE(answerer.boxes[0].buttons, QMessageBox::Yes | QMessageBox::Save | QMessageBox::Cancel);
    QCOMPARE(surnameIn(path), onDisk);
    QCOMPARE(QFile::exists(other), savedAs);
    if (savedAs) QCOMPARE(surnameIn(other), QStringLiteral("NOWAK"));
    QCOMPARE(st->ctx.settlement.DocumentModified, answer == QMessageBox::Cancel);

    // What the window wrote or chose is what it knows now: the next save
    // asks nothing.
    if (answer != QMessageBox::Cancel) {
      answerer.boxes.clear();
      w.SetModified();
      w.MenuSave->trigger();
      QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
      QVERIFY(!st->ctx.settlement.DocumentModified);
    }
    st->ctx.settlement.DocumentModified = false;
  }

  // The tool bar's open recalculates every form, attachments first, so the
  // PIT/O's total reaches the PIT-37 even when the file holds it stale; the
  // menu's open only shows entry 1.
  void openingRecalculates_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("toolBar");
    QTest::addColumn<QString>("deductionInReturn");
    QTest::newRow("tool bar, attachment pages present") << "full" << true << "100,00";
    QTest::newRow("tool bar, attachment pages missing") << "" << true << "100,00";
    QTest::newRow("menu open shows entry 1 only") << "full" << false << "0,00";
  }

  void openingRecalculates() {
    QFETCH(QString, program);
    QFETCH(bool, toolBar);
    QFETCH(QString, deductionInReturn);
    const QString folder = program.isEmpty()
                               ? program_
                               : MakeProgramFolder(dir_.path(), QStringLiteral("program-full"), {kPit37, kPitO, kPitD});
    const QString path = File(QStringLiteral("stale.dc2014"));
    QFile::remove(path);
    MakeSettlementFile(path, folder);
    {
      Settlement s;
      DefinitionLibrary defs((folder + QStringLiteral("/dc")).toStdString());
      QVERIFY(LoadSettlement(path.toStdString(), s, defs).ok);
      s.Write(1, 36, "1000,00");  // PIT-37: revenue, the room for deductions
      s.Write(2, 12, "100,00");   // PIT/O: the taxpayer's first deduction
      s.Write(2, 28, "0,00");     // ... and its total, not yet recomputed
      QVERIFY(SaveSettlement(s, path.toStdString()).ok);
    }
    BoxAnswerer answerer;
    auto st = Start({}, folder);
    TTools& w = *st->window;
    answerer.fileName = path;
    const int loadsBefore = w.Form()->PictureLoads();
    (toolBar ? w.ToolOpen : w.MenuOpen)->trigger();
    QCOMPARE(answerer.dialogTitle, QStringLiteral("Otwórz rozliczenie"));
    const Settlement& s = st->ctx.settlement;
    QCOMPARE(QString::fromStdString(s.Entry(1).Slots()[94].Value), deductionInReturn);
    // Each page shown is read once: entry 1 after opening, then, in the
    // recalculation, every entry whose page exists (its second calculation
    // reuses the picture on screen).
    int pagesShown = 1;
    if (toolBar) {
      for (int i = 1; i <= s.Count(); ++i) pagesShown += program.isEmpty() && s.Entry(i).IdPit != kPit37 ? 0 : 1;
    }
    QCOMPARE(w.Form()->PictureLoads() - loadsBefore, pagesShown);
    // The main form is the one left on screen.
    QCOMPARE(s.Current.Number, 1);
    QCOMPARE(w.InfoPit->text(), QStringLiteral("Druk: PIT-37"));
    QVERIFY(w.Form()->PictureLoaded());
    st->ctx.settlement.DocumentModified = false;
  }

  // A file that cannot be read leaves the open settlement open and shown,
  // whichever command tried it.
  void failedOpenKeepsTheOpenSettlement_data() {
    QTest::addColumn<bool>("toolBar");
    QTest::newRow("tool bar") << true;
    QTest::newRow("menu") << false;
  }

  void failedOpenKeepsTheOpenSettlement() {
    QFETCH(bool, toolBar);
    const QString good = File(QStringLiteral("good.dc2014"));
    MakeSettlementFile(good, program_);
    // It exists, but it is too large to be a settlement (sparse: no disk used).
    const QString unreadable = File(QStringLiteral("ogromny.dc2014"));
    {
      QFile f(unreadable);
      QVERIFY(f.open(QIODevice::WriteOnly));
      QVERIFY(f.resize(qint64(1001) * kEntryRecordSize));
    }
    BoxAnswerer answerer;
    auto st = Start({good});
    TTools& w = *st->window;
    QVERIFY(st->ctx.settlement.IsOpen());
    const QString title = w.windowTitle();
    answerer.fileName = unreadable;
    (toolBar ? w.ToolOpen : w.MenuOpen)->trigger();
    QVERIFY2(answerer.Texts().join(" | ").contains(QStringLiteral("zbyt duży")),
             qPrintable(answerer.Texts().join(" | ")));
    QVERIFY(st->ctx.settlement.IsOpen());
    QCOMPARE(st->ctx.settlement.DocumentPath, good.toStdString());
    QVERIFY(w.TV->topLevelItemCount() > 0);
    QVERIFY(!w.RozpocznijPrace->isVisible());
    QVERIFY(w.MenuSave->isEnabled());
    QVERIFY(w.Form()->PictureLoaded());
    QCOMPARE(w.windowTitle(), title);
  }

  // A layer whose writes fail (the process's own never does): the program
  // asks to change the separators, says it could not, and does not go on.
  void regionalSettingsThatCannotBeWritten() {
    struct FailingLayer : platform::RegionalSettings {
      platform::Separators Read() const override { return {QChar('.'), QChar('/')}; }
      bool WriteDecimal(QChar) override { return false; }
      bool WriteDate(QChar) override { return false; }
    };
    BoxAnswerer answerer(QMessageBox::Yes);
    ui::AppContext ctx;
    ctx.programFolder = program_.toStdString();
    TTools w(ctx);
    w.UseRegionalSettings(std::make_unique<FailingLayer>());
    w.show();
    QVERIFY(!w.AfterShow({}));
    QCOMPARE(answerer.boxes.size(), 2);
    QCOMPARE(answerer.boxes[0].title, QStringLiteral("Nieprawidłowe ustawienia regionalne!"));
    QVERIFY(answerer.boxes[0].text.contains(QStringLiteral("separatora dziesiętnego")));
    QVERIFY(answerer.boxes[0].text.contains(QStringLiteral("separatora daty")));
    QVERIFY(answerer.boxes[1].text.contains(QStringLiteral("Nie można zmienić ustawień - brak uprawnień")));
  }

  void saveQuestionOnClose_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("valueInFile");
    QTest::newRow("cancel keeps the program open") << int(QMessageBox::Cancel) << false << "KOWALSKI";
    QTest::newRow("no closes without saving") << int(QMessageBox::No) << true << "KOWALSKI";
    QTest::newRow("yes saves, then closes") << int(QMessageBox::Yes) << true << "NOWAK";
  }

  void saveQuestionOnClose() {
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(QString, valueInFile);
    const QString path = File(QStringLiteral("question.dc2014"));
    QFile::remove(path);
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer(static_cast<QMessageBox::StandardButton>(answer));
    auto st = Start({path});
    TTools& w = *st->window;
    st->ctx.settlement.Write(1, 10, "NOWAK");
    w.SetModified();

    QCOMPARE(w.close(), closed);
    QCOMPARE(answerer.boxes.size(), 1);
    const BoxAnswerer::Box& box = answerer.boxes[0];
    QCOMPARE(box.title, QStringLiteral("Zapisanie zmian"));
    QCOMPARE(box.text, QStringLiteral("Rozliczenie \"question.dc2014\" zostało zmodyfikowane.\nCzy zapisać zmiany w "
                                      "bieżącym rozliczeniu?"));
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(w.isVisible(), !closed);
    QVERIFY(st->ctx.settlement.IsOpen());

    Settlement reread;
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    QVERIFY(LoadSettlement(path.toStdString(), reread, defs).ok);
    QCOMPARE(QString::fromStdString(reread.Entry(1).Slots()[10].Value), valueInFile);
    st->ctx.settlement.DocumentModified = false;
  }

  // The pick lists of the form window are made from the dictionaries that
  // the main window loads at start-up: the tax-office list of a PIT-37 holds
  // every office, and so does the country list.
  void pickListsHoldTheDictionaries() {
    const QString path = File(QStringLiteral("lists.dc2014"));
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer;
    auto st = Start({path});
    TTools& w = *st->window;
    w.TV->setCurrentItem(w.TV->topLevelItem(0));
    QCOMPARE(w.InfoPit->text(), QStringLiteral("Druk: PIT-37"));
    ui::TFImage& form = *w.Form();
    const std::vector<FieldObject>* fields = st->ctx.defs->Fields(kPit37);
    QVERIFY(fields != nullptr && fields->size() > 140);
    struct Case {
      int field;
      const char* panelClass;
    } cases[] = {{7, "pit::ui::TaxOfficePanel"}, {140, "pit::ui::CountryPanel"}};
    for (const Case& c : cases) {
      const FieldObject& d = (*fields)[static_cast<std::size_t>(c.field)];
      QCOMPARE(d.Page, 1);
      QWidget* editor = testsupport::ClickOnPage(form, d);
      QVERIFY2(editor != nullptr, c.panelClass);
      QCOMPARE(editor->metaObject()->className(), c.panelClass);
      auto* grid = editor->findChild<QTableWidget*>();
      QVERIFY(grid != nullptr);
      int expected = 0;
      if (c.field == 7) {
        for (const TaxOffice& o : st->ctx.offices.Records()) expected += o.Code.empty() ? 0 : 1;
      } else {
        for (const Country& k : st->ctx.countries.Records()) expected += k.Code.empty() ? 0 : 1;
      }
      QVERIFY(expected > 200);
      QCOMPARE(grid->rowCount(), expected);
      QTest::keyClick(editor->findChild<QLineEdit*>(), Qt::Key_Escape);
    }
    st->ctx.settlement.DocumentModified = false;
  }

  // Turning the page with an editor open keeps what was typed in it: the
  // edit is committed as a click beside the fields would commit it, the
  // settlement becomes modified and the new page is shown.
  void pageButtonsKeepTheOpenEdit_data() {
    QTest::addColumn<int>("startPage");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("pageAfter");
    QTest::addColumn<QString>("stored");
    QTest::newRow("surname, next page") << 1 << 10 << "NOWAK" << "PitNextPage" << 2 << "NOWAK";
    QTest::newRow("birth date, last page") << 1 << 12 << "01021980" << "PitNextPageEnd" << 4 << "01-02-1980";
    QTest::newRow("revenue, previous page") << 2 << 36 << "1000" << "PitPrevPage" << 1 << "1000,00";
    QTest::newRow("revenue, first page") << 2 << 36 << "25.5" << "PitPrevPageEnd" << 1 << "25,50";
  }
  void pageButtonsKeepTheOpenEdit() {
    QFETCH(int, startPage);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(int, pageAfter);
    QFETCH(QString, stored);
    const QString path = File(QStringLiteral("turn.dc2014"));
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer;
    auto st = Start({path});
    TTools& w = *st->window;
    w.SelectEntry(1);
    w.PitPrevPageEnd->click();
    if (startPage == 2) w.PitNextPage->click();
    QCOMPARE(st->ctx.settlement.Current.Page, startPage);
    QVERIFY(!st->ctx.settlement.DocumentModified);

    ui::TFImage& form = *w.Form();
    const FieldObject& d = form.Fields()[static_cast<std::size_t>(field)];
    QCOMPARE(d.Page, startPage);
    QWidget* editor = testsupport::ClickOnPage(form, d);
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, typed);
    auto* turn = w.findChild<QToolButton*>(button);
    QVERIFY(turn != nullptr);
    turn->click();

    QCOMPARE(st->ctx.settlement.Current.Page, pageAfter);
    QCOMPARE(form.OpenEditor(), nullptr);
    QCOMPARE(QString::fromStdString(st->ctx.settlement.Entry(1).Slots()[static_cast<std::size_t>(field)].Value), stored);
    QVERIFY(st->ctx.settlement.DocumentModified);
    QVERIFY(w.ToolSave->isEnabled());
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    st->ctx.settlement.DocumentModified = false;
  }

  // A value typed into a field and not yet committed is saved by "Zapisz",
  // and makes the settlement modified for the save question on closing.
  void typedValueIsSavedAndAskedAbout() {
    const QString path = File(QStringLiteral("typed.dc2014"));
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer(QMessageBox::No);
    auto st = Start({path});
    TTools& w = *st->window;
    w.TV->setCurrentItem(w.TV->topLevelItem(0));
    ui::TFImage& form = *w.Form();
    const FieldObject& surname = (*st->ctx.defs->Fields(kPit37))[10];
    auto typeSurname = [&](const char* text) {
      QTest::mouseClick(form.Surface(), Qt::LeftButton, Qt::NoModifier,
                        form.SurfacePoint(QPoint(1 + (surname.Left + surname.Right) / 2, (surname.Top + surname.Bottom) / 2)));
      QCOMPARE(form.EditedObject(), 10);
      auto* edit = qobject_cast<QLineEdit*>(form.OpenEditor());
      QVERIFY(edit != nullptr);
      edit->selectAll();
      QTest::keyClicks(edit, text);
    };

    typeSurname("NOWAK");
    w.MenuSave->trigger();
    QCOMPARE(form.EditedObject(), -1);
    Settlement saved;
    DefinitionLibrary defs(st->ctx.Folder("dc"));
    QVERIFY(LoadSettlement(path.toStdString(), saved, defs).ok);
    QCOMPARE(QString::fromStdString(saved.Entry(1).Slots()[10].Value), QStringLiteral("NOWAK"));
    QVERIFY(!st->ctx.settlement.DocumentModified);

    answerer.boxes.clear();
    typeSurname("KOWAL");
    w.MenuClose->trigger();
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].title, QStringLiteral("Zapisanie zmian"));
  }

  // "Nie" on the save question of "Zamknij" shows the welcome area.
  void closingTheSettlement() {
    const QString path = File(QStringLiteral("close.dc2014"));
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer(QMessageBox::No);
    auto st = Start({path});
    TTools& w = *st->window;
    w.SelectEntry(1);
    w.SetModified();
    w.MenuClose->trigger();
    QCOMPARE(answerer.boxes.size(), 1);
    QCOMPARE(answerer.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY(!st->ctx.settlement.IsOpen());
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QCOMPARE(w.TV->topLevelItemCount(), 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Roczne rozliczenie podatku dochodowego") + kTail);
    QVERIFY(w.RozpocznijPrace->isVisibleTo(&w));
    QVERIFY(!w.MenuSave->isEnabled());
    QVERIFY(!w.ToolSave->isEnabled());
    QVERIFY(!w.ToolPrint->isEnabled());
    QVERIFY(!w.Form()->PictureLoaded());
  }

  // The commands' states through a settlement's life: nothing open, a form
  // shown, an edit, a save, the settlement closed. Each stage names every
  // state it expects, so a command left behind by one of the steps shows.
  void commandsFollowTheSettlement() {
    const QString path = File(QStringLiteral("commands.dc2014"));
    MakeSettlementFile(path, program_);
    BoxAnswerer answerer(QMessageBox::No);
    auto st = Start({});
    TTools& w = *st->window;
    const auto states = [&w] {
      QStringList on;
      const std::pair<const char*, bool> named[] = {
          {"save", w.ToolSave->isEnabled()},        {"menuSave", w.MenuSave->isEnabled()},
          {"saveAs", w.MenuSaveAs->isEnabled()},    {"print", w.ToolPrint->isEnabled()},
          {"menuPrint", w.MenuPrint->isEnabled()},  {"import", w.ToolImport->isEnabled()},
          {"menuImport", w.MenuImport->isEnabled()}, {"check", w.ToolCheck->isEnabled()},
          {"change", w.Zmiana->isVisibleTo(&w)},    {"pageBar", w.PitNextPage->isVisibleTo(&w)},
      };
      for (const auto& [name, state] : named)
        if (state) on << QString::fromLatin1(name);
      return on.join(QLatin1Char(' '));
    };
    QCOMPARE(states(), QString());
    QCOMPARE(w.InfoPage->text(), QString());

    QVERIFY(w.LoadDocument(path));
    w.SelectEntry(1);
    const QString shown = QStringLiteral("menuSave saveAs print menuPrint import menuImport check change pageBar");
    QCOMPARE(states(), shown);
    QVERIFY(!w.InfoPage->text().isEmpty());

    w.SetModified();
    QCOMPARE(states(), QStringLiteral("save ") + shown);
    QVERIFY(w.SaveDocument(path));
    QCOMPARE(states(), shown);

    w.MenuClose->trigger();
    QCOMPARE(states(), QString());
    QCOMPARE(w.InfoPage->text(), QString());
  }

  void oppWindow() {
    BoxAnswerer answerer;
    auto st = Start({});
    TTools& w = *st->window;
    ui::TFOPP* opp = w.FOPP;
    QCOMPARE(opp->windowTitle(), QStringLiteral("Wykaz OPP"));
    QCOMPARE(opp->size(), QSize(692, 217));
    QCOMPARE(opp->SBClose->text(), QStringLiteral("Zamknij okno (wróć do wypełniania PIT)"));

    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "OpenedAddress");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "OpenedAddress");
    bool wasModal = false;
    QTimer::singleShot(50, opp, [&] {
      wasModal = opp->isVisible() && QApplication::activeModalWidget() == opp;
      QTest::mouseClick(opp->L3, Qt::LeftButton);
      opp->SBClose->click();
    });
    w.MenuOrganisations->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QVERIFY(wasModal);
    QVERIFY(!opp->isVisible());
    QCOMPARE(opened_.size(), 1);
    QVERIFY2(opened_[0].toString().endsWith(QStringLiteral("/bip/wykaz-organizacji-pozytku-publicznego/")),
             qPrintable(opened_[0].toString()));
  }

  void firstStartWritesTheConfiguration() {
    const QString ini = pit::platform::ConfigFolder() + QStringLiteral("/pit2014.ini");
    QFile::remove(ini);
    {
      BoxAnswerer answerer;
      auto st = Start({});
      QVERIFY(st->showed);
    }
    {
      QSettings s(ini, QSettings::IniFormat);
      QCOMPARE(s.value(QStringLiteral("PIT/Run")).toBool(), true);
      QCOMPARE(s.value(QStringLiteral("PIT/Path")).toString(), program_);
      QCOMPARE(s.value(QStringLiteral("PIT/Ver")).toString(), QStringLiteral(PIT_VERSION));
      QCOMPARE(s.value(QStringLiteral("PIT/AutoUpdate")).toBool(), true);
      s.setValue(QStringLiteral("PIT/Path"), QStringLiteral("/gdzie/indziej"));
      s.setValue(QStringLiteral("PIT/AutoUpdate"), false);
    }
    {
      BoxAnswerer answerer;
      auto st = Start({});
      QVERIFY(st->showed);
    }
    QSettings s(ini, QSettings::IniFormat);
    QCOMPARE(s.value(QStringLiteral("PIT/Path")).toString(), QStringLiteral("/gdzie/indziej"));
    QCOMPARE(s.value(QStringLiteral("PIT/AutoUpdate")).toBool(), false);
  }

  // A process started with "." before the decimals works with "," while
  // the program runs and gets its own convention back at the end.
  void separatorsSwitchedAndRestored() {
    QLocale::setDefault(QLocale::c());
    BoxAnswerer answerer;
    auto st = Start({});
    QVERIFY(st->showed);
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral(","));
    QVERIFY(st->window->close());
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
  }

  void secondInstanceIsRefused() {
    const QString program = program_;
    auto runSecond = [program](QString* out) {
      QProcess p;
      p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--second-instance"), program});
      if (!p.waitForFinished(60000)) return -1;
      *out = QString::fromUtf8(p.readAllStandardOutput());
      return p.exitCode();
    };
    QString out;
    {
      BoxAnswerer answerer;
      auto first = Start({});
      QVERIFY(!first->window->Refused());
      QCOMPARE(runSecond(&out), 0);
      QVERIFY2(out.contains(QStringLiteral("box: Program PIT Korvan jest już uruchomiony.")), qPrintable(out));
      QVERIFY2(out.contains(QStringLiteral("refused")), qPrintable(out));
      QVERIFY(first->window->isVisible());
    }
    // The first one ended: the next start goes through.
    QCOMPARE(runSecond(&out), 0);
    QVERIFY2(out.contains(QStringLiteral("started")) && !out.contains(QStringLiteral("box:")), qPrintable(out));
  }

  // The kernel drops the lock of a process that dies without cleaning up.
  void guardSurvivesACrash() {
    const QString lock = File(QStringLiteral("crash.lock"));
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), lock});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
    platform::SingleInstance guard(lock);
    QVERIFY(!guard.TryAcquire());
    holder.kill();
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(guard.TryAcquire());
  }

  // Only a start with --designer shows ToolDesigner. It turns the form
  // display into designer mode on the page shown; a field drawn there is in
  // the .dcs at once, and ButtonTrybEdycji shows the form again with it.
  void designerModeOnlyOnRequest() {
    const QString program = MakeProgramFolder(dir_.path(), QStringLiteral("designer"), {kPit37});
    const QString path = File(QStringLiteral("designer.dc2014"));
    MakeSettlementFile(path, program);
    BoxAnswerer answerer;
    auto st = Start({path}, program);
    TTools& w = *st->window;
    QVERIFY(!w.ToolDesigner->isVisible());
    QVERIFY(!w.statusBar()->isVisible());
    QCOMPARE(w.Designer(), nullptr);
    w.SelectEntry(1);
    QCOMPARE(st->ctx.settlement.Current.IdPit, int(kPit37));
    const std::size_t before = w.Form()->Fields().size();

    const QString dc = program + QStringLiteral("/dc");
    w.EnableDesignerMode(dc, program + QStringLiteral("/tmp"));
    QVERIFY(w.ToolDesigner->isVisible() && w.ToolDesigner->isEnabled());
    w.ToolDesigner->trigger();
    ui::FormDesigner* d = w.Designer();
    QVERIFY(d != nullptr && d->isVisible());
    QVERIFY(!w.Form()->isVisible());
    QVERIFY(!w.ToolBarKlienta->isVisible());
    QWidget* pageBar = w.findChild<QWidget*>(QStringLiteral("CoolBar"));
    QVERIFY(pageBar != nullptr);
    QVERIFY(!w.TV->isEnabled() && !pageBar->isEnabled());
    QCOMPARE(d->IdPit(), int(kPit37));
    QCOMPARE(d->Page(), 1);
    QCOMPARE(d->Fields().size(), before);

    // The bottom margin of the page holds no field.
    d->Palette()->setVisible(false);
    QTest::mousePress(d->Surface(), Qt::LeftButton, {}, QPoint(300, 1108));
    QTest::mouseMove(d->Surface(), QPoint(400, 1122));
    QTest::mouseRelease(d->Surface(), Qt::LeftButton, {}, QPoint(400, 1122));
    d->Palette()->hide();
    QCOMPARE(CountFieldRecords((dc + QStringLiteral("/2.dcs")).toStdString()), static_cast<int>(before) + 1);
    if (const QString shots = qEnvironmentVariable("PIT_DESIGNER_SHOTS"); !shots.isEmpty()) {
      w.resize(1280, 1024);
      w.grab().save(shots + QStringLiteral("/main-window-designer.png"));
    }

    // "Widok → Podświetlanie pól" switches filling mode's field highlight,
    // which stays as chosen when the form is shown again.
    auto* highlight = d->findChild<QAction*>(QStringLiteral("PodswietlPol"));
    QVERIFY(highlight != nullptr && highlight->isChecked());
    QVERIFY(w.Form()->HighlightFields());
    highlight->trigger();
    QVERIFY(!w.Form()->HighlightFields());

    auto* leave = d->findChild<QAction*>(QStringLiteral("ButtonTrybEdycji"));
    QVERIFY(leave != nullptr && leave->isVisible());
    leave->trigger();
    QVERIFY(!d->isVisible());
    QVERIFY(w.Form()->isVisible());
    QVERIFY(w.ToolBarKlienta->isVisible());
    QVERIFY(w.TV->isEnabled() && pageBar->isEnabled());
    QCOMPARE(st->ctx.settlement.Current.IdPit, int(kPit37));
    QCOMPARE(w.Form()->Fields().size(), before + 1);
    QVERIFY(!w.Form()->HighlightFields());
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
  }

  // Revenue typed into a PIT/B on its page reaches the PIT-36 at once: its
  // row 3 shows the PIT/B totals when the return is shown next.
  void pitBEditChangesPit36OnScreen() {
    const QString program = MakeProgramFolder(dir_.path(), QStringLiteral("program-business"), {kPit36, kPitB});
    const QString path = File(QStringLiteral("business.dc2014"));
    MakePit36WithPitB(path, program);
    BoxAnswerer answerer;
    auto st = Start({path}, program);
    TTools& w = *st->window;
    ui::TFImage& form = *w.Form();
    auto pixels = [&form](int k) {
      const FieldObject& d = form.Fields()[static_cast<std::size_t>(k)];
      return form.PageImage().copy(1 + d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top);
    };
    constexpr int kRevenue = 53, kIncome = 55;
    w.SelectEntry(1);
    w.PitPrevPageEnd->click();
    w.PitNextPage->click();
    QCOMPARE(st->ctx.settlement.Current.Page, 2);
    const QImage revenueBefore = pixels(kRevenue), incomeBefore = pixels(kIncome);

    w.SelectEntry(2);
    QCOMPARE(st->ctx.settlement.Current.IdPit, int(kPitB));
    for (const auto& [field, typed] : {std::pair{10, "50000"}, std::pair{11, "20000"}}) {
      const FieldObject& d = form.Fields()[static_cast<std::size_t>(field)];
      QCOMPARE(d.Page, 1);
      QWidget* editor = testsupport::ClickOnPage(form, d);
      QVERIFY(editor != nullptr);
      QTest::keyClicks(editor, typed);
      QTest::keyClick(editor, Qt::Key_Return);
    }
    QCOMPARE(QString::fromStdString(st->ctx.settlement.Entry(2).Slots()[12].Value), QStringLiteral("30000,00"));
    const auto& ret = st->ctx.settlement.Entry(1).Slots();
    QCOMPARE(QString::fromStdString(ret[kRevenue].Value), QStringLiteral("50000,00"));
    QCOMPARE(QString::fromStdString(ret[54].Value), QStringLiteral("20000,00"));
    QCOMPARE(QString::fromStdString(ret[kIncome].Value), QStringLiteral("30000,00"));

    w.SelectEntry(1);
    w.PitPrevPageEnd->click();
    w.PitNextPage->click();
    QCOMPARE(st->ctx.settlement.Current.IdPit, int(kPit36));
    QCOMPARE(st->ctx.settlement.Current.Page, 2);
    QVERIFY(pixels(kRevenue) != revenueBefore);
    QVERIFY(pixels(kIncome) != incomeBefore);
    // The revenue comes from the PIT/B now: it cannot be typed over.
    QVERIFY(form.Fields()[kRevenue].ReadOnly);
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    st->ctx.settlement.DocumentModified = false;
  }

  // The taxpayer's part of a partnership's revenue is computed from the
  // share; Tab from the partnership's revenue opens the box in which
  // another amount may be typed over it. That box shows the amount the page
  // shows, passing through it changes nothing (the part still follows the
  // revenue), an amount typed there stands, and 0 gives the computed part back.
  void pitBShareBoxShowsTheShare() {
    const QString program = MakeProgramFolder(dir_.path(), QStringLiteral("program-share"), {kPit36, kPitB});
    const QString path = File(QStringLiteral("share.dc2014"));
    MakePit36WithPitB(path, program);
    BoxAnswerer answerer;
    auto st = Start({path}, program);
    TTools& w = *st->window;
    ui::TFImage& form = *w.Form();
    w.SelectEntry(2);
    QCOMPARE(st->ctx.settlement.Current.IdPit, int(kPitB));
    constexpr int kShare = 21, kRevenue = 26, kRevenuePart = 27, kCosts = 28, kTyped = 64;
    const auto& entrySlots = st->ctx.settlement.Entry(2).Slots();
    auto value = [&entrySlots](int k) { return QString::fromStdString(entrySlots[static_cast<std::size_t>(k)].Value); };
    auto type = [&form](int k, const char* text, Qt::Key key = Qt::Key_Return) {
      const FieldObject& d = form.Fields()[static_cast<std::size_t>(k)];
      QTest::mouseClick(form.Surface(), Qt::LeftButton, Qt::NoModifier,
                        form.SurfacePoint(QPoint(1 + (d.Left + d.Right) / 2, (d.Top + d.Bottom) / 2)));
      QWidget* editor = form.OpenEditor();
      QVERIFY(editor != nullptr);
      QTest::keyClicks(editor, text);
      QTest::keyClick(editor, key);
    };
    auto typedBox = [&form]() {
      const int k = form.EditedObject();
      return k == kTyped ? qobject_cast<QLineEdit*>(form.OpenEditor()) : nullptr;
    };
    type(kShare, "50");
    type(kRevenue, "10000");
    QCOMPARE(value(kRevenuePart), QStringLiteral("5000,00"));

    // Tab from the revenue: the box lies over the part and shows 5000,00.
    type(kRevenue, "", Qt::Key_Tab);
    QLineEdit* box = typedBox();
    QVERIFY(box != nullptr);
    const FieldObject& part = form.Fields()[kRevenuePart];
    QVERIFY(part.ReadOnly);
    const QRect drawnPart =
        form.SurfaceRect(QRect(part.Left + 1, part.Top, part.Right - part.Left, part.Bottom - part.Top));
    QVERIFY(drawnPart.contains(box->geometry()));
    QVERIFY(box->width() > drawnPart.width() * 3 / 4);
    QCOMPARE(box->text(), QStringLiteral("5000,00"));
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(form.EditedObject(), kCosts);
    type(kRevenue, "20000");
    QCOMPARE(value(kRevenuePart), QStringLiteral("10000,00"));

    // Another amount typed over the part stands; the box shows it again.
    box = typedBox();
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), QStringLiteral("10000,00"));
    QTest::keyClicks(box, "7000");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(value(kRevenuePart), QStringLiteral("7000,00"));
    type(kRevenue, "30000");
    QCOMPARE(value(kRevenuePart), QStringLiteral("7000,00"));
    box = typedBox();
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), QStringLiteral("7000,00"));
    QTest::keyClicks(box, "0");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(value(kRevenuePart), QStringLiteral("15000,00"));
    QVERIFY2(answerer.boxes.isEmpty(), qPrintable(answerer.Texts().join(" | ")));
    st->ctx.settlement.DocumentModified = false;
  }
};

namespace {

// --hold PATH: takes the lock and keeps it until killed.
int HoldLock(const char* path) {
  platform::SingleInstance guard(QString::fromLocal8Bit(path));
  if (!guard.TryAcquire()) return 2;
  std::fputs("held\n", stdout);
  std::fflush(stdout);
  for (;;) QThread::sleep(1);
}

// --second-instance PROGRAM-FOLDER: a program start as far as the main window's creation.
int SecondInstance(int argc, char** argv) {
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  BoxAnswerer answerer;
  ui::AppContext ctx;
  ctx.programFolder = QString::fromLocal8Bit(argv[2]).toStdString();
  TTools w(ctx);
  for (const BoxAnswerer::Box& b : answerer.boxes) std::printf("box: %s\n", b.text.toUtf8().constData());
  std::puts(w.Refused() ? "refused" : "started");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--hold") == 0) return HoldLock(argv[2]);
  // The user's folders, the temporary folder and the runtime folder (where
  // the single-instance lock lives) are the test's own, for its children too.
  static QTemporaryDir home;
  if (argc < 3 || std::strcmp(argv[1], "--second-instance") != 0) {
    pit::testsupport::UseOwnHomeFolders(home.path());
  } else {
    return SecondInstance(argc, argv);
  }
  // As the program starts: Qt's windows show Polish dates.
  pit::ui::UsePolishDateFormats();
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  TToolsTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "ttools_test.moc"
