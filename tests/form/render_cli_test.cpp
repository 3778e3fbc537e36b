// pit2014cli render draws a page exactly as the form window shows it.
#include <QImage>
#include <QProcess>
#include <QTest>

#include "app/document.h"
#include "form_fixture.h"
#include "ui/forms/tfimage.h"

using namespace pit;
using namespace pit::formtest;

namespace {

struct Run {
  int exitCode = -1;
  QString err;
};

Run Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(PIT_BIN_DIR "/pit2014cli"), args);
  p.waitForFinished(60000);
  return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

class RenderCliTest : public QObject {
  Q_OBJECT

 private slots:
  void pageAsTheFormWindowShowsIt() {
    FormFixture fx;
    fx.Set(f::Revenue, "50000,00");
    fx.Set(f::Costs, "1234,5");
    fx.Set(f::Nip, "123-456-78-90");
    fx.Set(f::Birth, "01-02-1970");
    const QString file = fx.dir.filePath(QStringLiteral("rozliczenie.dc2014"));
    QVERIFY(SaveSettlement(fx.ctx.settlement, file.toStdString()).ok);
    const QString dc = QString::fromStdString(fx.ctx.Folder("dc"));

    for (int page : {1, 2}) {
      ui::TFImage w(fx.ctx);
      w.resize(840, 700);
      w.show();
      fx.ctx.settlement.Current.Page = page;
      w.ShowPage(kPit37, page, false);
      const QImage shown = w.PageImage().copy(1, 0, 800, w.PageHeight());

      const QString png = fx.dir.filePath(QStringLiteral("strona%1.png").arg(page));
      const Run r = Cli({QStringLiteral("render"), file, QStringLiteral("--entry"), QStringLiteral("1"),
                         QStringLiteral("--page"), QString::number(page), QStringLiteral("-o"), png,
                         QStringLiteral("--dc"), dc});
      QVERIFY2(r.exitCode == 0, qPrintable(r.err));
      const QImage drawn(png);
      QCOMPARE(drawn.size(), shown.size());
      QCOMPARE(drawn.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
    }
  }

  void refusals_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no such entry") << QStringList{"--entry", "5", "--page", "1"} << 4
                                   << "Rozliczenie nie ma pozycji 5.";
    QTest::newRow("no such page") << QStringList{"--entry", "1", "--page", "9"} << 4
                                  << "Formularz PIT-37 nie ma strony 9.";
    QTest::newRow("no page without background")
        << QStringList{"--entry", "1", "--page", "1", "--no-background"} << 3 << "Brak wymaganych plików: \n";
    QTest::newRow("page missing") << QStringList{"--entry", "1"} << 2 << "--page";
  }
  void refusals() {
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    FormFixture fx;
    const QString file = fx.dir.filePath(QStringLiteral("r.dc2014"));
    QVERIFY(SaveSettlement(fx.ctx.settlement, file.toStdString()).ok);
    const QString png = fx.dir.filePath(QStringLiteral("x.png"));
    const Run r = Cli(QStringList{QStringLiteral("render"), file, QStringLiteral("-o"), png, QStringLiteral("--dc"),
                                  QString::fromStdString(fx.ctx.Folder("dc"))} +
                      options);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(png));
  }
};

QTEST_MAIN(RenderCliTest)
#include "render_cli_test.moc"
