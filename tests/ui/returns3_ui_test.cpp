// PIT-28 with PIT-28/A and PIT-28/B, PIT-38 and PIT-39 in the main window on
// the shipped definitions: each page shows, a typed amount reaches the
// return at once, and a click on a partnership share edits the amount that
// replaces it. With PIT_SHOTS set to a folder, the first page of each form
// is saved there as a picture of the whole window.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/document.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "../support/box_answerer.h"
#include "../support/own_home.h"
#include "../support/window_driver.h"

using namespace pit;
using pit::ui::TTools;

namespace {

using testsupport::BoxAnswerer;

// Entries of the settlement the test opens.
enum : int { kReturn28 = 1, kA = 2, kB = 3, kReturn38 = 4, kReturn39 = 5 };

}  // namespace

class Returns3UiTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir home_;
  ui::AppContext ctx_;
  std::unique_ptr<TTools> w_;
  std::unique_ptr<BoxAnswerer> answerer_;

  const std::string& Value(int entry, int k) {
    return ctx_.settlement.Entry(entry).Slots()[static_cast<std::size_t>(k)].Value;
  }

  // Shows the entry's page, clicks field k, types and presses Enter.
  void Type(int entry, int k, const QString& text) {
    w_->SelectEntry(entry);
    ui::TFImage& form = *w_->Form();
    QVERIFY(form.PictureLoaded());
    const FieldObject& d = form.Fields()[static_cast<std::size_t>(k)];
    for (int guard = 0; guard < 5 && ctx_.settlement.Current.Page != d.Page; ++guard)
      (ctx_.settlement.Current.Page < d.Page ? w_->PitNextPage : w_->PitPrevPage)->click();
    QCOMPARE(ctx_.settlement.Current.Page, d.Page);
    QWidget* editor = testsupport::ClickOnPage(form, d);
    QVERIFY2(editor != nullptr, qPrintable(QStringLiteral("no editor on field %1").arg(k)));
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
  }

 private slots:
  void initTestCase() {
    QVERIFY(home_.isValid());
    const QString file = home_.filePath(QStringLiteral("ryczalt.dc2014"));
    {
      DefinitionLibrary defs(PIT_BIN_DIR "/dc");
      Settlement s;
      s.AddEntry(kPit28, 0, kPmNone, kIndividual);
      s.AddEntry(kPit28A, kReturn28, kPmNone, kIndividual);
      s.AddEntry(kPit28B, kReturn28, kPmNone, kIndividual);
      s.AddEntry(kPit38, 0, kPmNone, kIndividual);
      s.AddEntry(kPit39, 0, kPmNone, kIndividual);
      s.RebuildTree(defs);
      QVERIFY(SaveSettlement(s, file.toStdString()).ok);
    }
    answerer_ = std::make_unique<BoxAnswerer>();
    ctx_.programFolder = PIT_BIN_DIR;
    w_ = std::make_unique<TTools>(ctx_);
    w_->resize(1280, 1024);
    w_->show();
    QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
    QVERIFY(w_->AfterShow({file}));
    QVERIFY(ctx_.settlement.IsOpen());
  }
  void cleanupTestCase() {
    ctx_.settlement.DocumentModified = false;  // nothing to ask when the window goes
    w_.reset();
  }

  void everyPageShows() {
    const QString shots = qEnvironmentVariable("PIT_SHOTS");
    struct Form {
      int entry;
      int pages;
      const char* info;
    } forms[] = {{kReturn28, 4, "Druk: PIT-28"},
                 {kA, 1, "Druk: PIT-28/A"},
                 {kB, 2, "Druk: PIT-28/B"},
                 {kReturn38, 2, "Druk: PIT-38"},
                 {kReturn39, 2, "Druk: PIT-39"}};
    for (const Form& f : forms) {
      w_->SelectEntry(f.entry);
      w_->PitPrevPageEnd->click();
      QCOMPARE(w_->InfoPit->text(), QString::fromUtf8(f.info));
      QCOMPARE(w_->InfoPage->text(), QStringLiteral("1 z %1").arg(f.pages));
      QVERIFY(w_->Form()->PictureLoaded());
      if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        QString name = QString::fromUtf8(f.info).mid(6).replace(QLatin1Char('/'), QLatin1Char('_'));
        QVERIFY(w_->grab().save(QDir(shots).filePath(name + QStringLiteral("_strona1.png"))));
      }
      w_->PitNextPageEnd->click();
      QCOMPARE(w_->InfoPage->text(), QStringLiteral("%1 z %1").arg(f.pages));
      QVERIFY(w_->Form()->PictureLoaded());
    }
    QVERIFY2(answerer_->Texts().isEmpty(), qPrintable(answerer_->Texts().join(QStringLiteral(" | "))));
  }

  // Revenue typed into the PIT-28/A is in the PIT-28 at once.
  void pit28aEditReachesTheReturn() {
    Type(kA, 16, QStringLiteral("100000"));
    QCOMPARE(Value(kA, 16), std::string("100000,00"));
    QCOMPARE(Value(kReturn28, 20), std::string("100000,00"));
    QCOMPARE(Value(kReturn28, 88), std::string("5500,00"));
    QCOMPARE(Value(kReturn28, 102), std::string("5500,00"));
    QVERIFY(ctx_.settlement.DocumentModified);
  }

  // The share of a partnership is computed; a click on it edits the amount
  // that replaces it, and 0 brings the computed share back.
  void partnershipShareCanBeReplaced() {
    Type(kB, 24, QStringLiteral("50"));
    Type(kB, 27, QStringLiteral("10000"));
    QCOMPARE(Value(kB, 40), std::string("5000,00"));
    QCOMPARE(Value(kReturn28, 27), std::string("5000,00"));
    Type(kB, 40, QStringLiteral("4321"));
    QCOMPARE(Value(kB, 110), std::string("4321,00"));
    QCOMPARE(Value(kB, 40), std::string("4321,00"));
    QCOMPARE(Value(kReturn28, 27), std::string("4321,00"));
    Type(kB, 40, QStringLiteral("0"));
    QCOMPARE(Value(kB, 40), std::string("5000,00"));
    QCOMPARE(Value(kReturn28, 27), std::string("5000,00"));
  }

  void pit38And39Figures() {
    Type(kReturn38, 18, QStringLiteral("10000"));
    Type(kReturn38, 19, QStringLiteral("4000"));
    QCOMPARE(Value(kReturn38, 32), std::string("1140,00"));
    Type(kReturn39, 19, QStringLiteral("200000"));
    Type(kReturn39, 20, QStringLiteral("150000"));
    QCOMPARE(Value(kReturn39, 28), std::string("9500,00"));
  }
};

int main(int argc, char** argv) {
  // The program's configuration, workspace and single-instance lock go to
  // folders of the test's own.
  static QTemporaryDir home;
  testsupport::UseOwnHomeFolders(home.path());
  QApplication app(argc, argv);
  ui::PrepareApplication(app);
  Returns3UiTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "returns3_ui_test.moc"
