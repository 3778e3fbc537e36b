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
#include <QRadioButton>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "platform/file_lock.h"
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
#include "../support/window_driver.h"

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

  // The keys reach the window the user works in: the active one.
  std::unique_ptr<testsupport::StartedProgram> Start(const QStringList& args) {
    auto st = testsupport::StartProgram(program_, args);
    return st->active && st->showed ? std::move(st) : nullptr;
  }

  // A PIT-37 with the taxpayer's PIT/O, the surname typed in; with
  // `childRelief` the PIT/O deducts that much for children.
  void MakeSettlementFile(const QString& path, const char* surname = "KOWALSKI", const char* childRelief = nullptr) {
    QVERIFY(testsupport::SavePit37Settlement(path, program_, {kPitO}, surname, [&](Settlement& s) {
      if (childRelief == nullptr) return;
      s.Write(2, 35, childRelief);
      s.Write(2, 41, childRelief);
    }));
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    program_ = testsupport::MakeProgramFolder(dir_.path(), QStringLiteral("program"), {kPit37, kPitO});
    QVERIFY(QFile::exists(program_ + QStringLiteral("/dc/2.dcs")));
  }

  // The PIT-37 of a started program at the page of `field`, its editor
  // opened with a click as the user opens it.
  QWidget* ClickField(TTools& w, int field) { return testsupport::ClickField(w, 1, field); }
  // Types `text` over the field's value and commits it with Tab.
  void TypeAndTab(TTools& w, int field, const QString& text) { QVERIFY(testsupport::TypeAndCommit(w, 1, field, text)); }
  static std::string Value(TTools& w, int field) {
    return w.Context().settlement.Entry(1).Slots()[static_cast<std::size_t>(field)].Value;
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
    QVERIFY(!w.ToolSave->isEnabled());

    // The mistake, committed with Tab; then back into the field.
    TypeAndTab(w, 36, QStringLiteral("1,53"));
    QCOMPARE(Value(w, 90), std::string("0,00"));
    QVERIFY(w.ToolSave->isEnabled());
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
    QVERIFY(!w.ToolSave->isEnabled());
    QVERIFY(redo->isEnabled());

    QTest::keyClick(edit, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(Value(w, 36), std::string("1,53"));
    QCOMPARE(Value(w, 90), std::string("0,00"));
    QCOMPARE(edit->text(), QStringLiteral("1,53"));
    QVERIFY(st->ctx.settlement.DocumentModified);
    QVERIFY(w.ToolSave->isEnabled());

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
    w.MenuClose->trigger();
    QVERIFY(!st->ctx.settlement.IsOpen());
    edycja->aboutToShow();
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
  }

  // The amounts a calculation cut stay listed under the notice: through a
  // later commit that cuts nothing, back with "Cofnij" and "Ponów" as the
  // step restored had them, each until it is given again (or restored), the
  // whole list until the user puts it away. The child relief the PIT-37
  // takes from the PIT/O into poz. 120 is listed with the rest.
  void cutAmountsStayListed() {
    const QString path = File(QStringLiteral("cuts.dc2014"));
    MakeSettlementFile(path, "KOWALSKI", "1112,04");
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    auto* undo = w.findChild<QAction*>(QStringLiteral("Cofnij1"));
    auto* redo = w.findChild<QAction*>(QStringLiteral("Ponow1"));
    QVERIFY(undo != nullptr && redo != nullptr);
    TypeAndTab(w, 36, QStringLiteral("52340,17"));
    TypeAndTab(w, 37, QStringLiteral("1335"));
    TypeAndTab(w, 90, QStringLiteral("7175,40"));
    QCOMPARE(Value(w, 107), std::string("1112,04"));
    const QString deduction =
        QStringLiteral("poz. %1: 7 175,40 → 0,00").arg(w.Form()->Fields()[90].Poz);
    const QString childRelief =
        QStringLiteral("poz. %1: 1 112,04 → 0,00").arg(w.Form()->Fields()[107].Poz);
    QCOMPARE(childRelief, QStringLiteral("poz. 120: 1 112,04 → 0,00"));
    auto listed = [&w](const QStringList& want) {
      const QStringList lines = Lines(*w.ListError);
      for (const QString& line : want) {
        if (!lines.contains(line)) return false;
      }
      return lines.filter(QStringLiteral(" → ")).size() == want.size() && (want.isEmpty() || w.ListError->height() > 0);
    };
    auto why = [&w] { return qPrintable(Lines(*w.ListError).join(QLatin1Char('|'))); };

    TypeAndTab(w, 36, QStringLiteral("1,53"));
    QVERIFY2(listed({deduction, childRelief}), why());
    // A commit that cuts nothing leaves the list as it was.
    TypeAndTab(w, 37, QStringLiteral("1400"));
    QVERIFY2(listed({deduction, childRelief}), why());
    QVERIFY2(Lines(*w.ListError).value(0).contains(QStringLiteral("Program dokonał redukcji odliczeń")), why());
    if (const QString shots = qEnvironmentVariable("PIT_SHOTS"); !shots.isEmpty()) {
      w.resize(1280, 1024);
      QTest::qWait(100);
      w.grab().save(shots + QStringLiteral("/cut-amounts-after-second-commit.png"));
    }
    // So does a turn of the page.
    w.PitPrevPageEnd->click();
    w.PitNextPageEnd->click();
    QVERIFY2(listed({deduction, childRelief}), why());

    undo->trigger();  // the costs: the cut amounts stay cut, and listed
    QVERIFY2(listed({deduction, childRelief}), why());
    undo->trigger();  // the revenue of 1,53: nothing is cut
    QCOMPARE(Value(w, 90), std::string("7175,40"));
    QVERIFY2(listed({}), why());
    redo->trigger();
    QCOMPARE(Value(w, 90), std::string("0,00"));
    QVERIFY2(listed({deduction, childRelief}), why());

    // The revenue given again restores poz. 120; poz. 99 stays cut until typed again.
    TypeAndTab(w, 36, QStringLiteral("52340,17"));
    QCOMPARE(Value(w, 107), std::string("1112,04"));
    QVERIFY2(listed({deduction}), why());
    TypeAndTab(w, 90, QStringLiteral("7175,40"));
    QVERIFY2(listed({}), why());

    // Put away with Delete in the list: gone, also after the next commit.
    TypeAndTab(w, 36, QStringLiteral("1,53"));
    QVERIFY2(listed({deduction, childRelief}), why());
    w.ListError->setFocus();
    QTest::keyClick(w.ListError, Qt::Key_Delete);
    QVERIFY2(listed({}), why());
    TypeAndTab(w, 37, QStringLiteral("1335"));
    QVERIFY2(listed({}), why());
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Titles().join(QLatin1Char('|'))));
    st->ctx.settlement.DocumentModified = false;
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
    s.Write(1, 10, "NOWAK");
    w.SetModified();
    const QString title = w.windowTitle();

    QTest::keyClick(&w, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(watcher.Titles(), QStringList{QStringLiteral("Zapisanie zmian")});
    QCOMPARE(windows.size(), 3);  // start, method, selection screen

    QVERIFY(s.IsOpen());
    QCOMPARE(s.Count(), 2);
    QCOMPARE(s.Entry(1).Slots()[10].Value, std::string("NOWAK"));
    QVERIFY(s.DocumentModified);
    QVERIFY(w.ToolSave->isEnabled());
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
    QCOMPARE(st->ctx.settlement.Entry(1).Slots()[10].Value, std::string("ZIELIŃSKI"));
    QVERIFY(!st->ctx.settlement.DocumentModified);
    QCOMPARE(st->ctx.settlement.Current.Number, 1);
    QCOMPARE(st->ctx.settlement.Current.Page, 1);
    QVERIFY(w.Form()->PictureLoaded());
  }

  // A thousand second starts while the save question about the first one is
  // open: no question opens inside another, the file that came last is the
  // one opened once the user has answered, and the status bar names those
  // given up. (Each hand-over used to open its box inside the previous one
  // until the stack ran out.)
  void aFloodOfHandOversAsksOneQuestionAtATime() {
    const QString first = File(QStringLiteral("flood-first.dc2014"));
    const QString second = File(QStringLiteral("flood-second.dc2014"));
    const QString last = File(QStringLiteral("flood-last.dc2014"));
    MakeSettlementFile(first);
    MakeSettlementFile(second, "NOWAK");
    MakeSettlementFile(last, "ZIELIŃSKI");
    auto st = Start({first});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    w.SetModified();

    platform::HandOverServer server(File(QStringLiteral("flood.socket")));
    QVERIFY(server.Listen());
    connect(&server, &platform::HandOverServer::fileHandedOver, &w, &TTools::OpenHandedOver);
    constexpr int kStarts = 1000;
    std::atomic<int> taken{0};
    std::atomic<bool> sent{false};
    std::thread starts([&] {
      for (int i = 0; i < kStarts; ++i) {
        // The first asks about the open settlement; the others are files of
        // other names, and those given up are never looked at.
        QString file = File(QStringLiteral("flood-%1.dc2014").arg(i));
        if (i == 0) file = second;
        if (i + 1 == kStarts) file = last;
        taken += platform::HandOverFile(server.Path(), file);
      }
      sent = true;
    });

    int mostBoxesAtOnce = 0;
    QList<QPointer<QMessageBox>> questions;
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    watcher.onBox = [&](QMessageBox& box) {
      int open = 0;
      for (QWidget* t : QApplication::topLevelWidgets()) open += qobject_cast<QMessageBox*>(t) && t->isVisible();
      mostBoxesAtOnce = std::max(mostBoxesAtOnce, open);
      questions << &box;
    };
    // "Nie" once every second start has had its answer.
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
      for (QPointer<QMessageBox>& q : questions) {
        if (sent && q && q->isVisible() && q->button(QMessageBox::No) != nullptr) q->button(QMessageBox::No)->click();
      }
    });
    answer.start(20);
    QTRY_VERIFY_WITH_TIMEOUT(sent, 120000);
    starts.join();
    QTRY_COMPARE(st->ctx.settlement.DocumentPath, last.toStdString());
    QCOMPARE(taken.load(), kStarts);
    QCOMPARE(mostBoxesAtOnce, 1);
    QCOMPARE(watcher.Titles(), QStringList{QStringLiteral("Zapisanie zmian")});
    QCOMPARE(st->ctx.settlement.Entry(1).Slots()[10].Value, std::string("ZIELIŃSKI"));
    QVERIFY(!st->ctx.settlement.DocumentModified);
    const QString note = w.statusBar()->currentMessage();
    // The first was asked about, the last opened: the rest given up, the latest named.
    QVERIFY2(note.contains(File(QStringLiteral("flood-%1.dc2014").arg(kStarts - 2))) &&
                 note.endsWith(QStringLiteral(": %1.").arg(kStarts - 2)),
             qPrintable(note));
    QVERIFY(w.statusBar()->isVisible());
  }

  // A file handed over while another of the program's windows is open (here
  // the "Otwórz" dialog) waits until it closes.
  void aHandOverWaitsForTheOpenWindow() {
    const QString first = File(QStringLiteral("wait-first.dc2014"));
    const QString second = File(QStringLiteral("wait-second.dc2014"));
    MakeSettlementFile(first);
    MakeSettlementFile(second, "ZIELIŃSKI");
    auto st = Start({first});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    QString pathWhileOpen;
    bool handed = false;
    // The file dialog is left open a while: the hand-over comes meanwhile.
    QTimer during;
    connect(&during, &QTimer::timeout, [&] {
      auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (d == nullptr) return;
      if (!handed) {
        handed = true;
        w.OpenHandedOver(second);
        QTimer::singleShot(600, d, [&, d] {
          pathWhileOpen = QString::fromStdString(st->ctx.settlement.DocumentPath);
          d->reject();
        });
      }
    });
    during.start(10);
    w.MenuOpen->trigger();
    QVERIFY(handed);
    QCOMPARE(pathWhileOpen, first);
    QTRY_COMPARE(st->ctx.settlement.DocumentPath, second.toStdString());
    QCOMPARE(st->ctx.settlement.Entry(1).Slots()[10].Value, std::string("ZIELIŃSKI"));
  }

  // Esc on the save question is "Anuluj" wherever the question comes from:
  // the settlement stays open with its changes, nothing else is asked.
  void escOnTheSaveQuestionKeepsTheChanges_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("dialogs");  // met before the question
    const QStringList none;
    const QStringList fileDialog{QStringLiteral("QFileDialog")};
    QTest::newRow("Rozliczenie → Zamknij") << "Zamknij1" << none;
    QTest::newRow("Otwórz") << "Otw1" << fileDialog;
    QTest::newRow("Otwórz from the tool bar") << "ToolButton2" << fileDialog;
    QTest::newRow("closing the window") << "" << none;
  }
  void escOnTheSaveQuestionKeepsTheChanges() {
    QFETCH(QString, command);
    QFETCH(QStringList, dialogs);
    const QString path = File(QStringLiteral("esc.dc2014"));
    const QString other = File(QStringLiteral("esc-other.dc2014"));
    MakeSettlementFile(path);
    MakeSettlementFile(other, "ZIELIŃSKI");
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    // "Otwórz" chooses the file first; the question comes once it is known to open.
    watcher.fileName = other;
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    w.SelectEntry(1);
    st->ctx.settlement.Write(1, 10, "NOWAK");
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
    QCOMPARE(watcher.dialogs, dialogs);
    QVERIFY(w.isVisible());
    QVERIFY(st->ctx.settlement.IsOpen());
    QVERIFY(st->ctx.settlement.DocumentModified);
    QVERIFY(w.ToolSave->isEnabled());
    QCOMPARE(st->ctx.settlement.Entry(1).Slots()[10].Value, std::string("NOWAK"));
    QCOMPARE(st->ctx.settlement.DocumentPath, path.toStdString());
    QCOMPARE(w.TV->topLevelItemCount(), 1);
    QVERIFY(w.Form()->PictureLoaded());
    st->ctx.settlement.DocumentModified = false;
  }

  // A file that cannot be opened, whichever way it comes (Ctrl+O, the tool
  // bar's open button, a second start handing it over), is refused with its
  // reason before the save question: the settlement that was open stays
  // open on its page with its unsaved changes, its file still locked.
  void aFileThatCannotBeOpenedKeepsTheOpenSettlement_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("file");  // "missing", "cut" (a settlement's first 1000 bytes), "text"
    QTest::addColumn<QString>("message");
    const QString notOurs = QStringLiteral("Plik nie jest rozliczeniem programu");
    const QString missing = QStringLiteral("Nie ma pliku rozliczeniowego.");
    QTest::newRow("Ctrl+O, missing") << "Otw1" << "missing" << missing;
    QTest::newRow("Ctrl+O, cut short") << "Otw1" << "cut" << notOurs;
    QTest::newRow("tool bar, text") << "ToolButton2" << "text" << notOurs;
    QTest::newRow("handed over, missing") << "hand-over" << "missing" << missing;
    QTest::newRow("handed over, cut short") << "hand-over" << "cut" << notOurs;
  }
  void aFileThatCannotBeOpenedKeepsTheOpenSettlement() {
    QFETCH(QString, how);
    QFETCH(QString, file);
    QFETCH(QString, message);
    const QString path = File(QStringLiteral("kept-open.dc2014"));
    MakeSettlementFile(path);
    const QString incoming = File(QStringLiteral("incoming-%1.dc2014").arg(file));
    QFile::remove(incoming);
    if (file == QStringLiteral("cut")) {
      MakeSettlementFile(incoming, "ZIELIŃSKI");
      QFile f(incoming);
      QVERIFY(f.resize(1000));
    } else if (file == QStringLiteral("text")) {
      QFile f(incoming);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(QByteArray("Rozliczenie 2014: Kowalski, 52 340,17 zł\n").repeated(8000));
    }
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    // "Nie" to a save question, were one asked; OK to the reason.
    watcher.onBox = [](QMessageBox& box) {
      QAbstractButton* b = box.button(QMessageBox::No);
      if (b == nullptr) b = box.button(QMessageBox::Ok);
      if (b != nullptr) b->click();
    };
    watcher.fileName = incoming;
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    Settlement& s = st->ctx.settlement;
    w.PitNextPage->click();
    s.Write(1, 10, "NOWAK");
    w.SetModified();
    const QString title = w.windowTitle();

    if (how == QStringLiteral("hand-over")) {
      w.OpenHandedOver(incoming);
    } else {
      w.findChild<QAction*>(how)->trigger();
    }
    QCOMPARE(watcher.boxes.size(), 1);  // the reason, and no save question
    QVERIFY2(watcher.boxes[0].text.contains(message), qPrintable(watcher.boxes[0].text));
    QVERIFY(s.IsOpen());
    QCOMPARE(s.DocumentPath, path.toStdString());
    QCOMPARE(s.Entry(1).Slots()[10].Value, std::string("NOWAK"));
    QVERIFY(s.DocumentModified);
    QVERIFY(w.ToolSave->isEnabled());
    QCOMPARE(w.windowTitle(), title);
    QCOMPARE(w.TV->topLevelItemCount(), 1);
    QCOMPARE(s.Current.Number, 1);
    QCOMPARE(s.Current.Page, 2);
    QVERIFY(w.Form()->PictureLoaded());
    QVERIFY(!w.RozpocznijPrace->isVisible());
    // The command line still finds the open file taken.
    platform::FileLock other;
    QCOMPARE(other.Acquire(path.toStdString(), 0), platform::FileLock::Result::Busy);
    s.DocumentModified = false;
  }

  // "zmień NIP-PESEL" on a settlement opened from its file: the caption
  // keeps the file's name, and Ctrl+S writes there, the file the caption
  // names, without asking for another.
  void changedIdentifiersAreSavedWhereTheCaptionSays() {
    const QString path = File(QStringLiteral("identyfikator.dc2014"));
    MakeSettlementFile(path);
    testsupport::BoxAnswerer watcher;
    AnswerWithEscape(watcher);
    watcher.onDialog = [](QDialog& d) {
      if (auto* screen = qobject_cast<ui::TSam*>(&d)) {
        QTest::mouseClick(screen->RGPodatnikaItems[1], Qt::LeftButton);
        QTest::mouseClick(screen->Zatwierdzam, Qt::LeftButton);
      } else {
        d.reject();
      }
    };
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    Settlement& s = st->ctx.settlement;
    QCOMPARE(s.TaxpayerIdKind, int(kIdNip));

    QTest::mouseClick(w.SBZmienIdentyfikator, Qt::LeftButton);
    QCOMPARE(watcher.dialogs, QStringList{QStringLiteral("pit::ui::TSam")});
    QCOMPARE(s.TaxpayerIdKind, int(kIdPesel));
    QVERIFY(s.DocumentModified);
    QVERIFY2(w.windowTitle().startsWith(QStringLiteral("identyfikator.dc2014 - ")), qPrintable(w.windowTitle()));

    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(watcher.dialogs, QStringList{QStringLiteral("pit::ui::TSam")});  // no file dialog
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Texts().join(QLatin1Char('|'))));
    QVERIFY(!s.DocumentModified);
    QCOMPARE(s.DocumentPath, path.toStdString());
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    Settlement saved;
    QVERIFY(LoadSettlement(path.toStdString(), saved, defs).ok);
    QCOMPARE(saved.TaxpayerIdKind, int(kIdPesel));
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Texts().join(QLatin1Char('|'))));
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
