// The help window driven as a user drives it: topic clicks, back, home,
// forward, print, and opening it from the identifier picture of the
// selection screen while that screen is modal.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <memory>

#include "selection_ui/modal_script.h"
#include "ui/app/app_context.h"
#include "ui/selection/tsam.h"
#include "ui/update/tfpomoc.h"

namespace pit::ui::test {

namespace {

QString HelpFolder() { return QStringLiteral(PIT_BIN_DIR "/Pomoc"); }

// Clicks through the window system, as a user would, so that a window
// blocked by a modal one does not get the click.
void ClickTopic(TFPomoc& w, const char* name) {
  QLabel* l = w.TopicLabel(QLatin1String(name));
  QVERIFY2(l != nullptr, name);
  QVERIFY(w.windowHandle() != nullptr);
  QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, l->mapTo(&w, QPoint(10, 6)));
}

}  // namespace

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void pagesShareTheStylesheetAndTheirLinksLeadSomewhere();
  void topicsHistoryAndHome();
  void everyOpeningStartsOnTheIdentifierPage();
  void identifierPictureOfTheModalSelectionScreenOpensAUsableWindow();
  void printAsksFirstAndPrintsThePageShown();
  void missingPageLeavesTheWindowUsable();
};

void HelpWindowTest::pagesShareTheStylesheetAndTheirLinksLeadSomewhere() {
  QStringList pages{QStringLiteral("ncp.html")};
  for (int i = 1; i <= 10; ++i) pages << QString::number(i) + QStringLiteral(".html");
  const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
  for (const QString& page : pages) {
    QFile f(HelpFolder() + QLatin1Char('/') + page);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(page));
    const QString html = QString::fromUtf8(f.readAll());
    QVERIFY2(html.contains(QLatin1String("href=\"../pomoc/inf/pomoc.css\"")), qPrintable(page));
    for (auto m = href.globalMatch(html); m.hasNext();) {
      const QString target = m.next().captured(1);
      if (target.startsWith(QLatin1String("http"))) continue;
      QVERIFY2(QFileInfo::exists(HelpFolder() + QLatin1Char('/') + target), qPrintable(page + " -> " + target));
    }
  }
}

void HelpWindowTest::topicsHistoryAndHome() {
  TFPomoc w(HelpFolder());
  w.ShowHelp();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  QCOMPARE(w.windowTitle(), QStringLiteral("Pomocne informacje"));
  QCOMPARE(w.CurrentPage(), QStringLiteral("ncp.html"));
  // The page was found and drawn with its own heading.
  QVERIFY(w.WBHelp->toPlainText().contains(QStringLiteral("NIP czy PESEL")));

  // "Złożenie zeznania przez internet" is not among the visible topics.
  QLabel* internet = w.TopicLabel(QStringLiteral("JakZlozycZeznaniePrzezInternet"));
  QVERIFY(internet && !internet->isVisible());
  QLabel* authors = w.TopicLabel(QStringLiteral("Dlakogoijakiekoszty"));
  QCOMPARE(authors->text(), QStringLiteral("Dla kogo i jakie koszty z praw autorskich?"));

  ClickTopic(w, "SkalaPodatkowa");
  QCOMPARE(w.CurrentPage(), QStringLiteral("2.html"));
  QVERIFY(w.WBHelp->toPlainText().contains(QStringLiteral("85 528")));
  ClickTopic(w, "Dlakogoijakiekoszty");
  QCOMPARE(w.CurrentPage(), QStringLiteral("10.html"));

  w.TBPrev->trigger();
  QCOMPARE(w.CurrentPage(), QStringLiteral("2.html"));
  w.TBPrev->trigger();
  QCOMPARE(w.CurrentPage(), QStringLiteral("ncp.html"));
  w.TBPrev->trigger();  // the start of the history: nothing happens
  QCOMPARE(w.CurrentPage(), QStringLiteral("ncp.html"));
  w.TBNext->trigger();
  QCOMPARE(w.CurrentPage(), QStringLiteral("2.html"));
  w.TBNext->trigger();
  w.TBNext->trigger();  // the end of the history
  QCOMPARE(w.CurrentPage(), QStringLiteral("10.html"));
  w.TBHome->trigger();
  QCOMPARE(w.CurrentPage(), QStringLiteral("ncp.html"));

  // A link inside the table of contents leads to the hidden topic's page.
  w.WBHelp->setSource(w.WBHelp->source().resolved(QUrl(QStringLiteral("8.html"))));
  QCOMPARE(w.CurrentPage(), QStringLiteral("8.html"));
  // A second request while open only brings the window forward.
  w.ShowHelp();
  QCOMPARE(w.CurrentPage(), QStringLiteral("8.html"));
}

void HelpWindowTest::everyOpeningStartsOnTheIdentifierPage() {
  TFPomoc w(HelpFolder());
  w.ShowHelp();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  ClickTopic(w, "SkalaPodatkowa");
  QCOMPARE(w.CurrentPage(), QStringLiteral("2.html"));
  w.close();
  QVERIFY(!w.isVisible());
  w.ShowHelp();
  QCOMPARE(w.CurrentPage(), QStringLiteral("ncp.html"));
  // The history survived the hiding.
  w.TBPrev->trigger();
  QCOMPARE(w.CurrentPage(), QStringLiteral("2.html"));
  // Opened on another page on request (the wizard may ask for one).
  w.OpenAt(QStringLiteral("9.html"));
  QCOMPARE(w.CurrentPage(), QStringLiteral("9.html"));
}

void HelpWindowTest::identifierPictureOfTheModalSelectionScreenOpensAUsableWindow() {
  AppContext ctx;
  ctx.programFolder = PIT_BIN_DIR;
  ctx.defs = std::make_unique<DefinitionLibrary>(ctx.Folder("dc"));
  QWidget main;
  main.resize(1000, 700);
  main.show();
  TFPomoc help(HelpFolder(), &main);
  // Read "Skala podatkowa" on an earlier opening.
  help.ShowHelp();
  ClickTopic(help, "SkalaPodatkowa");
  help.close();

  TSam screen(ctx, [&help] { help.OpenAt(); }, &main);
  screen.Selection().StartNew(kIndividual);
  screen.PrepareNew(kIndividual);
  QVERIFY(screen.INipCzyPesel != nullptr);

  QString pageOpened, pageAfterClick;
  bool visible = false;
  ModalScript script;
  script.Deadline(20000);
  script.steps.push_back([&](QWidget* modal) -> std::function<void()> {
    if (modal != &screen) return {};
    return [&] {
      QTest::mouseClick(screen.INipCzyPesel, Qt::LeftButton);
      visible = help.isVisible() && QTest::qWaitForWindowExposed(&help);
      pageOpened = help.CurrentPage();
      // The selection screen is modal, yet the help window takes clicks.
      ClickTopic(help, "KosztyUzyskaniaPrzychodow");
      pageAfterClick = help.CurrentPage();
      screen.reject();
    };
  });
  screen.exec();
  QVERIFY(visible);
  QCOMPARE(pageOpened, QStringLiteral("ncp.html"));
  QCOMPARE(pageAfterClick, QStringLiteral("1.html"));
}

void HelpWindowTest::printAsksFirstAndPrintsThePageShown() {
  TFPomoc w(HelpFolder());
  w.ShowHelp();
  ClickTopic(w, "SkalaPodatkowa");
  const QString pdf = QDir::temp().filePath(QStringLiteral("pit-help-print-%1.pdf").arg(QCoreApplication::applicationPid()));
  QFile::remove(pdf);
  int asked = 0;
  bool accept = false;
  w.askPrinter = [&](QPrinter& printer) {
    ++asked;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return accept;
  };
  w.TBPrint->trigger();  // cancelled in the dialog
  QCOMPARE(asked, 1);
  QVERIFY(!QFileInfo::exists(pdf));
  accept = true;
  w.TBPrint->trigger();
  QCOMPARE(asked, 2);
  QFile f(pdf);
  QVERIFY(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  QVERIFY(bytes.startsWith("%PDF"));
  QVERIFY(bytes.size() > 2000);
  QCOMPARE(w.CurrentPage(), QStringLiteral("2.html"));
  f.close();
  QFile::remove(pdf);
}

void HelpWindowTest::missingPageLeavesTheWindowUsable() {
  const QString folder = QDir::temp().filePath(QStringLiteral("pit-help-%1").arg(QCoreApplication::applicationPid()));
  QDir(folder).removeRecursively();
  QVERIFY(QDir().mkpath(folder));
  QFile::copy(HelpFolder() + QStringLiteral("/ncp.html"), folder + QStringLiteral("/ncp.html"));
  TFPomoc w(folder);
  w.ShowHelp();
  ClickTopic(w, "SkalaPodatkowa");
  QVERIFY(w.WBHelp->toPlainText().contains(QStringLiteral("Nie znaleziono strony pomocy „2.html”")));
  w.TBHome->trigger();
  QCOMPARE(w.CurrentPage(), QStringLiteral("ncp.html"));
  QDir(folder).removeRecursively();
}

}  // namespace pit::ui::test

QTEST_MAIN(pit::ui::test::HelpWindowTest)
#include "help_window_test.moc"
