// Typing survives a crash: the whole program (the same start-up as the
// installed one) is started in a child process on a settlement, values are
// typed into the PIT-37 as a user types them, the child is killed with
// SIGKILL, and the next start offers the copy back with the time it was
// taken: "Przywróć" brings the typed values back as unsaved changes of the
// same file, "Odrzuć" removes the copy. The user's file is never written.
//
// The child is this test program started again with --drive MODE; it
// copies itself into a program folder with the PIT-37 definitions first, as
// the installed program has them beside it.
#include <signal.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cstdio>
#include <memory>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "platform/config.h"
#include "ui/app/app_context.h"
#include "ui/app/recovery.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "../support/own_home.h"
#include "../support/program_folder.h"
#include "../support/window_driver.h"

using namespace pit;
using pit::ui::TTools;

namespace {

void Say(const QString& line) {
  std::fprintf(stdout, "%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

// --- the child: the program, driven from inside --------------------------------

// Types `text` into field `field` of entry 1 and commits it with Tab, as the
// user does with a click on the field.
bool TypeInto(TTools& w, int field, const QString& text) { return testsupport::TypeAndCommit(w, 1, field, text); }

QString Value(TTools& w, int field) {
  const Settlement& s = w.Context().settlement;
  return s.IsOpen() && s.Has(1) ? QString::fromStdString(s.Entry(1).Slots()[static_cast<std::size_t>(field)].Value)
                                : QString();
}

void SayState(TTools& w) {
  const Settlement& s = w.Context().settlement;
  Say(QStringLiteral("open=%1").arg(s.IsOpen()));
  Say(QStringLiteral("path=") + QString::fromStdString(s.DocumentPath));
  Say(QStringLiteral("modified=%1").arg(bool(s.DocumentModified)));
  Say(QStringLiteral("v36=") + Value(w, 36));
  Say(QStringLiteral("v37=") + Value(w, 37));
  Say(QStringLiteral("title=") + w.windowTitle());
  Say(QStringLiteral("save=%1").arg(w.ToolSave->isEnabled()));
}

// "edit": types the values and waits to be killed. "restore ANSWER": answers
// the recovery question with ANSWER, tells what it shows, then closes the
// program answering "Nie" to the save question.
int Drive(int argc, char** argv) {
  // A first start as the user's, without the update check going out.
  platform::Config config(platform::Config::DefaultPath());
  config.WriteFirstStartKeys(QString(), QString());
  config.SetAutoUpdate(false);
  const QString mode = QString::fromLocal8Bit(argv[2]);
  const QString answer = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
  const QString shots = qEnvironmentVariable("PIT_SHOTS");
  std::vector<char*> args{argv[0]};
  for (int i = 4; i < argc; ++i) args.push_back(argv[i]);
  args.push_back(nullptr);
  int count = static_cast<int>(args.size()) - 1;
  auto* timer = new QTimer;  // lives as long as the program
  return ui::RunProgram(count, args.data(), [&, timer](TTools& w) {
    if (mode == QStringLiteral("edit")) {
      QTimer::singleShot(0, &w, [&w] {
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w)) Say(QStringLiteral("not active"));
        const bool typed = TypeInto(w, 36, QStringLiteral("52340,17")) && TypeInto(w, 37, QStringLiteral("1335"));
        Say(QStringLiteral("edited=%1 v36=%2").arg(typed).arg(Value(w, 36)));
      });
      return;
    }
    // Every box the program shows is told and answered.
    QObject::connect(timer, &QTimer::timeout, &w, [&w, answer, shots] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) return;
      box->setProperty("answered", true);
      QStringList buttons;
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      Say(QStringLiteral("box=") + box->windowTitle() + QLatin1Char('|') + box->text().replace('\n', ' ') +
          QLatin1Char('|') + buttons.join(QLatin1Char('/')));
      if (box->windowTitle() == QStringLiteral("Zapisanie zmian")) {
        box->button(QMessageBox::No)->click();
        return;
      }
      if (!shots.isEmpty()) box->grab().save(shots + QStringLiteral("/recovery-question.png"));
      for (QAbstractButton* b : box->buttons()) {
        if (b->text() == answer) {
          QTimer::singleShot(0, b, [b] { b->click(); });
          break;
        }
      }
      // Once the answer is taken: what the window shows, then a clean end.
      QTimer::singleShot(300, &w, [&w, shots, answer] {
        SayState(w);
        if (!shots.isEmpty()) w.grab().save(shots + QStringLiteral("/recovery-after-%1.png").arg(answer));
        w.close();
        Say(QStringLiteral("closed"));
      });
    });
    timer->start(20);
  });
}

}  // namespace

class RecoveryTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString program_;  // a program folder with this test program as the program
  QString driver_;

  QString File(const QString& name) const { return dir_.filePath(name); }

  void MakeSettlementFile(const QString& path) {
    QVERIFY(testsupport::SavePit37Settlement(path, program_, {kPitO}));
  }

  static QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  static int Mode(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
  }

  QString CopyValue(const QString& copy, int field) {
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    Settlement s;
    if (!QFile::exists(copy) || !LoadSettlement(copy.toStdString(), s, defs).ok || !s.Has(1)) return QString();
    return QString::fromStdString(s.Entry(1).Slots()[static_cast<std::size_t>(field)].Value);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    program_ = testsupport::MakeProgramFolder(dir_.path(), QStringLiteral("program"), {kPit37, kPitO});
    driver_ = program_ + QStringLiteral("/pit2014");
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), driver_));
    QVERIFY(QFile::setPermissions(driver_, QFile::permissions(driver_) | QFileDevice::ExeOwner));
  }

  void killedProgramOffersTheCopyBack_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("Przywróć") << QStringLiteral("Przywróć");
    QTest::newRow("Odrzuć") << QStringLiteral("Odrzuć");
  }
  void killedProgramOffersTheCopyBack() {
    QFETCH(QString, answer);
    const QString path = File(QStringLiteral("kowalski-%1.dc2014").arg(QTest::currentDataTag()[0] == 'P'));
    MakeSettlementFile(path);
    const QByteArray original = Contents(path);
    const QString folder = ui::RecoveryCopy::DefaultFolder();
    const QString copy = folder + QStringLiteral("/odzysk.dc2014");
    QVERIFY2(folder.startsWith(QDir::homePath()), qPrintable(folder));

    QProcess edit;
    edit.start(driver_, {QStringLiteral("--drive"), QStringLiteral("edit"), QString(), path});
    QVERIFY(edit.waitForStarted(30000));
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += edit.readAllStandardOutput()).contains("edited="), 60000);
    QVERIFY2(said.contains("edited=1 v36=52340,17"), said.constData());
    // The copy follows the commits in the background, without a save.
    QTRY_COMPARE_WITH_TIMEOUT(CopyValue(copy, 37), QStringLiteral("1335,00"), 15000);
    QCOMPARE(CopyValue(copy, 36), QStringLiteral("52340,17"));
    QCOMPARE(Mode(copy), 0600);
    QCOMPARE(Mode(folder), 0700);
    const QDateTime taken = QFileInfo(copy).lastModified();
    ::kill(static_cast<pid_t>(edit.processId()), SIGKILL);
    QVERIFY(edit.waitForFinished(30000));
    QCOMPARE(edit.exitStatus(), QProcess::CrashExit);
    QCOMPARE(Contents(path), original);  // nothing of it reached the user's file

    QProcess again;
    again.start(driver_, {QStringLiteral("--drive"), QStringLiteral("restore"), answer});
    QVERIFY(again.waitForFinished(60000));
    const QString out = QString::fromUtf8(again.readAllStandardOutput());
    QCOMPARE(again.exitCode(), 0);
    const QStringList lines = out.split(QLatin1Char('\n'));
    const QString question = lines.value(0);
    QVERIFY2(question.startsWith(QStringLiteral("box=Odzyskiwanie rozliczenia|")), qPrintable(out));
    QVERIFY2(question.endsWith(QStringLiteral("|Przywróć/Odrzuć")), qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("\"%1\"").arg(QFileInfo(path).fileName())), qPrintable(question));
    QVERIFY2(question.contains(path), qPrintable(question));
    QVERIFY2(question.contains(QStringLiteral("Kopia wykonana: ") + taken.toString(QStringLiteral("yyyy-MM-dd, 'godz.' HH:mm"))), qPrintable(question));

    if (answer == QStringLiteral("Przywróć")) {
      QVERIFY2(lines.contains(QStringLiteral("v36=52340,17")), qPrintable(out));
      QVERIFY2(lines.contains(QStringLiteral("v37=1335,00")), qPrintable(out));
      QVERIFY2(lines.contains(QStringLiteral("path=") + path), qPrintable(out));
      QVERIFY2(lines.contains(QStringLiteral("modified=1")), qPrintable(out));
      QVERIFY2(lines.contains(QStringLiteral("save=1")), qPrintable(out));
      QVERIFY2(out.contains(QStringLiteral("title=") + QFileInfo(path).fileName() + QStringLiteral(" - ")),
               qPrintable(out));
      // Closing asks about the restored changes like about any others.
      QVERIFY2(out.contains(QStringLiteral("box=Zapisanie zmian|")), qPrintable(out));
    } else {
      QVERIFY2(lines.contains(QStringLiteral("open=0")), qPrintable(out));
      QVERIFY2(!out.contains(QStringLiteral("box=Zapisanie zmian|")), qPrintable(out));
    }
    QVERIFY2(lines.contains(QStringLiteral("closed")), qPrintable(out));
    // Answered and closed cleanly: nothing is offered the next time.
    QVERIFY(!QFile::exists(copy));
    QCOMPARE(Contents(path), original);
  }
};

int main(int argc, char** argv) {
  if (argc > 2 && qstrcmp(argv[1], "--drive") == 0) return Drive(argc, argv);
  static QTemporaryDir home;
  pit::testsupport::UseOwnHomeFolders(home.path());
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  RecoveryTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "recovery_test.moc"
