// The open settlement in the main window as the user works on it: undoing
// and redoing commits, the save question and its Esc when it is replaced or
// closed, "Nowe" given up half-way, and a file handed over by a second start
// of the program.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>
#include <thread>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "platform/hand_over.h"
#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/app/welcome_panel.h"
#include "ui/forms/tfimage.h"
#include "ui/selection/selection_widgets.h"
#include "ui/selection/tfrozpprace.h"
#include "ui/selection/tfwybalg.h"
#include "ui/selection/tsam.h"
#include "../support/box_answerer.h"
#include "../support/own_home.h"
#include "../support/program_folder.h"

using namespace pit;
using pit::ui::TTools;

namespace {

QStringList Lines(const QListWidget& list) {
  QStringList lines;
  for (int i = 0; i < list.count(); ++i) lines << list.item(i)->text();
  return lines;
}

// Answers as the user in these cases does: Esc on each message box, and any
// other modal window given up.
void AnswerWithEscape(testsupport::BoxAnswerer& a) {
  a.onBox = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
  a.onDialog = [](QDialog& d) { d.reject(); };
}

}  // namespace

class DocumentWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString program_;

  QString File(const QString& name) const { return dir_.filePath(name); }

  struct Started {
    ui::AppContext ctx;
    std::unique_ptr<TTools> window;
  };
  std::unique_ptr<Started> Start(const QStringList& args) {
    auto st = std::make_unique<Started>();
    st->ctx.programFolder = program_.toStdString();
    st->window = std::make_unique<TTools>(st->ctx);
    st->window->show();
    // The keys reach the window the user works in: the active one.
    st->window->activateWindow();
    if (!QTest::qWaitForWindowActive(st->window.get())) return nullptr;
    if (!st->window->AfterShow(args)) return nullptr;
    return st;
  }

  // A PIT-37 with the taxpayer's PIT/O, the surname typed in.
  void MakeSettlementFile(const QString& path, const char* surname = "KOWALSKI") {
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    Settlement s;
    s.AddEntry(kPit37, 0, kPmNone, kIndividual);
    s.AddEntry(kPitO, 1, kPmTaxpayer, kIndividual);
    s.RebuildTree(defs);
    s.Entry(1).Slots[10].SetValue(surname);
    IdentificationRecords ids;
    CollectIdentification(s, ids, 1);
    DistributeIdentification(s, ids);
    QVERIFY(SaveSettlement(s, path.toStdString()).ok);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    program_ = testsupport::MakeProgramFolder(dir_.path(), QStringLiteral("program"), {kPit37, kPitO});
    QVERIFY(QFile::exists(program_ + QStringLiteral("/dc/2.dcs")));
  }

  // The PIT-37 of a started program at the page of `field`, its editor
  // opened with a click as the user opens it.
  QWidget* ClickField(TTools& w, int field) {
    ui::TFImage& form = *w.Form();
    const CurrentEntryState& c = w.Context().settlement.Current;
    if (c.Number != 1) w.SelectEntry(1);
    const FieldObject d = form.Fields()[static_cast<std::size_t>(field)];
    while (c.Page < d.Page) w.PitNextPage->click();
    while (c.Page > d.Page) w.PitPrevPage->click();
    QTest::mouseClick(form.Surface(), Qt::LeftButton, Qt::NoModifier,
                      form.SurfacePoint(QPoint(1 + (d.Left + d.Right) / 2, (d.Top + d.Bottom) / 2)));
    return form.OpenEditor();
  }
  // Types `text` over the field's value and commits it with Tab.
  void TypeAndTab(TTools& w, int field, const QString& text) {
    QWidget* editor = ClickField(w, field);
    QVERIFY(editor != nullptr);
    auto* edit = qobject_cast<QLineEdit*>(editor);
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
  }
  static std::string Value(TTools& w, int field) {
    return w.Context().settlement.Entry(1).Slots[static_cast<std::size_t>(field)].Value;
  }

  // "Edycja → Cofnij" and "Ponów" with Ctrl+Z and Ctrl+Y from the field the
  // user is in: a mistyped revenue that cut the deductions is taken back with
  // everything it cut, the open editor shows the value put back, the message
  // list named what was cut, and the modified state follows.
  void undoAndRedoFromTheKeyboard() {
    const QString path = File(QStringLiteral("undo.dc2014"));
    MakeSettlementFile(path);
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    auto* undo = w.findChild<QAction*>(QStringLiteral("Cofnij1"));
    auto* redo = w.findChild<QAction*>(QStringLiteral("Ponow1"));
    QVERIFY(undo != nullptr && redo != nullptr);
    QCOMPARE(undo->text(), QStringLiteral("Cofnij"));
    QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(redo->text(), QStringLiteral("Ponów"));
    QCOMPARE(redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));
    auto* edycja = w.findChild<QMenu*>(QStringLiteral("Edycja"));
    QVERIFY(edycja != nullptr && w.MenuKlienta->actions().contains(edycja->menuAction()));

    TypeAndTab(w, 36, QStringLiteral("52340,17"));
    TypeAndTab(w, 37, QStringLiteral("1335"));
    TypeAndTab(w, 90, QStringLiteral("7175,40"));
    QCOMPARE(Value(w, 90), std::string("7175,40"));
    QVERIFY(st->ctx.settlement.DocumentModified);
    w.SaveDocument(path);
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QVERIFY(!w.ToolButtonSave->isEnabled());

    // The mistake, committed with Tab; then back into the field.
    TypeAndTab(w, 36, QStringLiteral("1,53"));
    QCOMPARE(Value(w, 90), std::string("0,00"));
    QVERIFY(w.ToolButtonSave->isEnabled());
    const int poz90 = w.Form()->Fields()[90].Poz;
    QVERIFY2(Lines(*w.ListError).contains(QStringLiteral("poz. %1: 7 175,40 → 0,00").arg(poz90)),
             qPrintable(Lines(*w.ListError).join(QLatin1Char('|'))));
    QVERIFY(w.ListError->height() > 0);
    QTest::keyClick(w.focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(w.Form()->EditedObject(), 36);
    auto* edit = qobject_cast<QLineEdit*>(w.Form()->OpenEditor());
    QVERIFY(edit != nullptr);
    QCOMPARE(edit->text(), QStringLiteral("1,53"));

    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Value(w, 36), std::string("52340,17"));
    QCOMPARE(Value(w, 90), std::string("7175,40"));
    QCOMPARE(w.Form()->OpenEditor(), edit);
    QCOMPARE(edit->text(), QStringLiteral("52340,17"));
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QVERIFY(!w.ToolButtonSave->isEnabled());
    QVERIFY(redo->isEnabled());

    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Value(w, 36), std::string("1,53"));
    QCOMPARE(Value(w, 90), std::string("0,00"));
    QCOMPARE(edit->text(), QStringLiteral("1,53"));
    QVERIFY(st->ctx.settlement.DocumentModified);
    QVERIFY(w.ToolButtonSave->isEnabled());

    // Typing not committed yet is the latest edit: Ctrl+Z gives it up first.
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("999"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("1,53"));
    QCOMPARE(Value(w, 36), std::string("1,53"));

    // From another page the page of the commit is shown with the value put back.
    w.PitPrevPageEnd->click();
    QCOMPARE(st->ctx.settlement.Current.Page, 1);
    undo->trigger();
    QCOMPARE(st->ctx.settlement.Current.Page, w.Form()->Fields()[36].Page);
    QCOMPARE(Value(w, 36), std::string("52340,17"));
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Titles().join(QLatin1Char('|'))));

    // Another file opened: nothing to take back into it.
    w.Zamknij1->trigger();
    QVERIFY(!st->ctx.settlement.IsOpen());
    edycja->aboutToShow();
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
  }

  // "Nowe" (Ctrl+N) given up in the selection screen with "Rezygnuję": the
  // settlement that was open comes back untouched, with the changes the
  // user had chosen not to save, shown as it was.
  void givingUpANewSettlementKeepsTheOpenOne() {
    const QString path = File(QStringLiteral("kept.dc2014"));
    MakeSettlementFile(path);
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    watcher.onBox = [](QMessageBox& box) { box.button(QMessageBox::No)->click(); };
    QStringList windows;
    watcher.onDialog = [&windows](QDialog& d) {
      windows << d.windowTitle();
      if (auto* start = qobject_cast<ui::TFRozpPrace*>(&d)) {
        QTest::mouseClick(start->Typ1.face, Qt::LeftButton);
      } else if (auto* method = qobject_cast<ui::TFWybAlg*>(&d)) {
        QTest::mouseClick(method->BWyborSamodzielnie, Qt::LeftButton);
      } else if (auto* screen = qobject_cast<ui::TSam*>(&d)) {
        QTest::mouseClick(screen->Rezygnuje, Qt::LeftButton);
      } else {
        d.reject();
      }
    };
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    Settlement& s = st->ctx.settlement;
    w.SelectEntry(1);
    w.PitNextPage->click();
    QCOMPARE(s.Current.Page, 2);
    s.Entry(1).Slots[10].SetValue("NOWAK");
    w.SetModified();
    const QString title = w.windowTitle();

    QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(watcher.Titles(), QStringList{QStringLiteral("Zapisanie zmian")});
    QCOMPARE(windows.size(), 3);  // start, method, selection screen

    QVERIFY(s.IsOpen());
    QCOMPARE(s.Count(), 2);
    QCOMPARE(s.Entry(1).Slots[10].Value, std::string("NOWAK"));
    QVERIFY(s.DocumentModified);
    QVERIFY(w.ToolButtonSave->isEnabled());
    QCOMPARE(s.DocumentPath, path.toStdString());
    QCOMPARE(st->ctx.ids.Taxpayer.Surname, std::string("NOWAK"));  // the persons' data of what is shown
    QCOMPARE(w.windowTitle(), title);
    QCOMPARE(w.TV->topLevelItemCount(), 1);
    QCOMPARE(s.Current.Number, 1);
    QCOMPARE(s.Current.Page, 2);
    QVERIFY(w.Form()->PictureLoaded());
    QVERIFY(!w.RozpocznijPrace->isVisible());
    s.DocumentModified = false;
  }

  // A file named on the command line shows its first form's first page at
  // once, as a file opened with the dialog does.
  void commandLineFileIsShown() {
    const QString path = File(QStringLiteral("shown.dc2014"));
    MakeSettlementFile(path);
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    QCOMPARE(st->ctx.settlement.Current.Number, 1);
    QCOMPARE(st->ctx.settlement.Current.Page, 1);
    QVERIFY(w.Form()->PictureLoaded());
    QCOMPARE(w.InfoPit->text(), QStringLiteral("Druk: PIT-37"));
    QCOMPARE(w.TV->currentItem(), w.TV->topLevelItem(0));
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Titles().join(QLatin1Char('|'))));
  }

  // "Widok" zooms the page with Ctrl+=, Ctrl+- and Ctrl+0 wherever the focus
  // is in the window: in the settlement tree, and in an open editor, which
  // keeps what was typed.
  void zoomKeysWorkFromTheTreeAndTheEditor() {
    const QString path = File(QStringLiteral("zoom.dc2014"));
    MakeSettlementFile(path);
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    ui::TFImage& form = *w.Form();
    auto* widok = w.findChild<QMenu*>(QStringLiteral("Widok"));
    QVERIFY(widok != nullptr && w.MenuKlienta->actions().contains(widok->menuAction()));
    QVERIFY(form.FitsWidth());
    const double fit = form.Zoom();
    // The bar above the page says the zoom in percent of the printed width.
    QVERIFY(w.Powiekszenie->isVisible());
    auto shownPercent = [&w] { return w.Powiekszenie->text(); };
    auto percentOf = [](double zoom) { return QStringLiteral("powiększenie: %1%").arg(qRound(zoom * 100)); };
    QCOMPARE(shownPercent(), percentOf(fit));

    w.TV->setFocus();
    QTest::keyClick(w.TV, Qt::Key_Equal, Qt::ControlModifier);
    QVERIFY(!form.FitsWidth());
    QVERIFY(form.Zoom() > fit);
    QCOMPARE(shownPercent(), percentOf(form.Zoom()));
    QVERIFY(shownPercent() != percentOf(fit));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.TV));
    QTest::keyClick(w.TV, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(w.TV, Qt::Key_Minus, Qt::ControlModifier);
    QVERIFY(form.Zoom() < fit);
    QCOMPARE(shownPercent(), percentOf(form.Zoom()));
    form.SetZoom(1.0);
    QCOMPARE(shownPercent(), QStringLiteral("powiększenie: 100%"));
    QTest::keyClick(w.TV, Qt::Key_0, Qt::ControlModifier);
    QVERIFY(form.FitsWidth());
    QCOMPARE(form.Zoom(), fit);
    QCOMPARE(shownPercent(), percentOf(fit));

    auto* edit = qobject_cast<QLineEdit*>(ClickField(w, 36));
    QVERIFY(edit != nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_Equal, Qt::ControlModifier);
    QVERIFY(form.Zoom() > fit);
    QCOMPARE(form.OpenEditor(), static_cast<QWidget*>(edit));
    QCOMPARE(edit->text(), QStringLiteral("123"));
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Titles().join(QLatin1Char('|'))));
  }

  // The socket between a second start and the running copy: the name goes
  // over made absolute; with nobody listening, or a name left by a copy
  // that ended without cleaning up, the second start hears so at once; an
  // endless message is cut off.
  void handOverSocket() {
    const QString socket = File(QStringLiteral("hand-over.socket"));
    QCOMPARE(platform::HandOverFile(socket, QStringLiteral("a.dc2014"), 500), false);
    QFile stale(socket);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.close();
    QCOMPARE(platform::HandOverFile(socket, QStringLiteral("a.dc2014"), 500), false);

    platform::HandOverServer server(socket);
    QVERIFY(server.Listen());
    QStringList received;
    connect(&server, &platform::HandOverServer::fileHandedOver, this, [&](const QString& p) { received << p; });
    bool taken = false;
    std::thread second([&] { taken = platform::HandOverFile(socket, QStringLiteral("sub/b.dc2014")); });
    QTRY_COMPARE(received.size(), 1);
    second.join();
    QVERIFY(taken);
    QCOMPARE(received[0], QDir::current().absoluteFilePath(QStringLiteral("sub/b.dc2014")));

    bool endless = true;
    std::thread flood([&] { endless = platform::HandOverFile(socket, QString(20000, QLatin1Char('x')), 2000); });
    QTest::qWait(300);
    flood.join();
    QVERIFY(!endless);
    QCOMPARE(received.size(), 1);
  }

  // A second start hands its file to the running program, which comes up,
  // asks its own save question and opens the file on its first page.
  void handedOverFileIsOpened() {
    const QString first = File(QStringLiteral("first.dc2014"));
    const QString second = File(QStringLiteral("second.dc2014"));
    MakeSettlementFile(first);
    MakeSettlementFile(second, "ZIELIŃSKI");
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    watcher.onBox = [](QMessageBox& box) { box.button(QMessageBox::No)->click(); };
    auto st = Start({first});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    w.SetModified();
    w.showMinimized();

    platform::HandOverServer server(File(QStringLiteral("program.socket")));
    QVERIFY(server.Listen());
    connect(&server, &platform::HandOverServer::fileHandedOver, &w, &TTools::OpenHandedOver);
    bool taken = false;
    std::thread start([&] { taken = platform::HandOverFile(server.Path(), second); });
    QTRY_COMPARE(st->ctx.settlement.DocumentPath, second.toStdString());
    start.join();
    QVERIFY(taken);
    QCOMPARE(watcher.Titles(), QStringList{QStringLiteral("Zapisanie zmian")});
    QVERIFY(!w.isMinimized());
    QCOMPARE(st->ctx.settlement.Entry(1).Slots[10].Value, std::string("ZIELIŃSKI"));
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QCOMPARE(st->ctx.settlement.Current.Number, 1);
    QCOMPARE(st->ctx.settlement.Current.Page, 1);
    QVERIFY(w.Form()->PictureLoaded());
  }

  // Esc on the save question is "Anuluj" wherever the question comes from:
  // the settlement stays open with its changes, nothing else is asked.
  void escOnTheSaveQuestionKeepsTheChanges_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("Rozliczenie → Zamknij") << "Zamknij1";
    QTest::newRow("Otwórz") << "Otw1";
    QTest::newRow("Otwórz from the tool bar") << "ToolButton2";
    QTest::newRow("closing the window") << "";
  }
  void escOnTheSaveQuestionKeepsTheChanges() {
    QFETCH(QString, command);
    const QString path = File(QStringLiteral("esc.dc2014"));
    MakeSettlementFile(path);
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    w.SelectEntry(1);
    st->ctx.settlement.Entry(1).Slots[10].SetValue("NOWAK");
    w.SetModified();

    if (command.isEmpty()) {
      QVERIFY(!w.close());
    } else {
      auto* action = w.findChild<QAction*>(command);
      QVERIFY(action != nullptr);
      action->trigger();
    }
    QCOMPARE(watcher.Titles(), QStringList{QStringLiteral("Zapisanie zmian")});
    QCOMPARE(watcher.boxes.value(0).buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY2(watcher.dialogs.isEmpty(), qPrintable(watcher.dialogs.join(", ")));
    QVERIFY(w.isVisible());
    QVERIFY(st->ctx.settlement.IsOpen());
    QVERIFY(st->ctx.settlement.DocumentModified);
    QVERIFY(w.ToolButtonSave->isEnabled());
    QCOMPARE(st->ctx.settlement.Entry(1).Slots[10].Value, std::string("NOWAK"));
    QCOMPARE(w.TV->topLevelItemCount(), 1);
    QVERIFY(w.Form()->PictureLoaded());
    st->ctx.settlement.DocumentModified = false;
  }
};

int main(int argc, char** argv) {
  static QTemporaryDir home;
  pit::testsupport::UseOwnHomeFolders(home.path());
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  DocumentWindowTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "document_window_test.moc"
