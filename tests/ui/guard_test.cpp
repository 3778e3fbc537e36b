// The single-instance guard tells a copy that is already running apart from
// a lock file that cannot be made, and keeps its file where no other user
// can get at it.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <cstdio>

#include <unistd.h>

#include "platform/file_lock.h"
#include "platform/single_instance.h"

using pit::platform::SingleInstance;

class GuardTest : public QObject {
  Q_OBJECT

 private slots:
  void busyAndUnmakeableAreDifferent() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString lock = dir.filePath(QStringLiteral("a.lock"));
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), lock});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    SingleInstance busy(lock);
    QVERIFY(!busy.TryAcquire());
    QVERIFY(busy.OtherHolds());
    holder.kill();
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(busy.TryAcquire());

    SingleInstance nowhere(dir.filePath(QStringLiteral("brak/folderu/a.lock")));
    QVERIFY(!nowhere.TryAcquire());
    QVERIFY(!nowhere.OtherHolds());
  }

  // Two programs of the user on one settlement file take turns: the second
  // waits and is told when the first keeps the file. The lock follows the
  // document, not the file of the moment, so a save that replaces the file
  // or a link to it changes nothing.
  void documentLockIsSharedByEveryWayToTheFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString doc = dir.filePath(QStringLiteral("a.dc2014"));
    QFile(doc).open(QIODevice::WriteOnly);
    QVERIFY(QFile::link(doc, dir.filePath(QStringLiteral("skrot.dc2014"))));
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-document"), doc});
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    // The document is replaced as a save replaces it.
    const QString tmp = dir.filePath(QStringLiteral("a.dc2014.tmp-00000000"));
    QFile(tmp).open(QIODevice::WriteOnly);
    QVERIFY(std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(doc).constData()) == 0);

    pit::platform::FileLock lock;
    QCOMPARE(lock.Acquire(doc.toStdString(), 100), pit::platform::FileLock::Result::Busy);
    QCOMPARE(lock.Acquire(dir.filePath(QStringLiteral("skrot.dc2014")).toStdString(), 100),
             pit::platform::FileLock::Result::Busy);
    pit::platform::FileLock other;
    QCOMPARE(other.Acquire(dir.filePath(QStringLiteral("b.dc2014")).toStdString(), 0),
             pit::platform::FileLock::Result::Locked);
    holder.kill();
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(lock.Acquire(doc.toStdString(), 5000), pit::platform::FileLock::Result::Locked);
    QVERIFY(lock.Held());
  }

  // A lock folder the program cannot use stops every save: the message says
  // why and names the folder, so that the user can put it right.
  void unusableLockFolderIsNamed_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("cause");
    QTest::newRow("another user's") << QStringLiteral("owned") << QStringLiteral("należy do innego użytkownika");
    QTest::newRow("a file") << QStringLiteral("file") << QStringLiteral("jest plik, a nie folder");
  }
  void unusableLockFolderIsNamed() {
    QFETCH(QString, kind);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("blokady"));
    if (kind == QLatin1String("owned")) {
      if (::geteuid() != 0) QSKIP("only root can give a folder to another user here");
      QVERIFY(QDir().mkpath(folder));
      QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
    } else {
      QFile f(folder);
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const std::string doc = dir.filePath(QStringLiteral("a.dc2014")).toStdString();
    pit::platform::FileLock lock(folder.toStdString());
    QCOMPARE(lock.Acquire(doc, 0), pit::platform::FileLock::Result::Failed);
    const QString text = QString::fromStdString(lock.FailureText());
    QVERIFY2(text.contains(cause) && text.contains(folder), qPrintable(text));
    QVERIFY2(text.startsWith(QStringLiteral("Nie można założyć blokady pliku: ") + QString::fromStdString(doc)),
             qPrintable(text));
  }

  // The user's lock folder comes from the account, not from the
  // environment, is private, and keeps no lock that nobody holds.
  void lockFolderIsTheAccountsAndKeepsNoStaleLocks() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string before = pit::platform::UserLockFolder();
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir.path()));
    const std::string after = pit::platform::UserLockFolder();
    qputenv("HOME", home);
    QCOMPARE(after, before);

    const std::string doc = dir.filePath(QStringLiteral("a.dc2014")).toStdString();
    pit::platform::FileLock lock;
    QCOMPARE(lock.Acquire(doc, 0), pit::platform::FileLock::Result::Locked);
    const QString lockFile = QString::fromStdString(lock.LockPathFor(doc));
    QVERIFY(QFileInfo::exists(lockFile));
    QCOMPARE(QFileInfo(QFileInfo(lockFile).absolutePath()).permissions() &
                 (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                  QFileDevice::WriteOther | QFileDevice::ExeOther),
             QFileDevice::Permissions());
    lock.Release();
    QVERIFY(!QFileInfo::exists(lockFile));
  }

  void defaultPlaceIsPrivate() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.path()));
    const QString path = SingleInstance::DefaultLockPath();
    qputenv("XDG_RUNTIME_DIR", runtime);
    qputenv("XDG_CACHE_HOME", cache);

    QVERIFY2(path.startsWith(home.path() + QLatin1Char('/')), qPrintable(path));
    const QFileInfo folder(QFileInfo(path).absolutePath());
    QVERIFY(folder.isDir());
    QCOMPARE(folder.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                     QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther),
             QFileDevice::Permissions());
    SingleInstance guard(path);
    QVERIFY(guard.TryAcquire());
  }
};

int main(int argc, char** argv) {
  // --hold PATH: takes the lock and keeps it until killed.
  if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
    SingleInstance guard(QString::fromLocal8Bit(argv[2]));
    if (!guard.TryAcquire()) return 2;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    for (;;) QThread::sleep(1);
  }
  // --hold-document PATH: takes the document's lock and keeps it until killed.
  if (argc == 3 && qstrcmp(argv[1], "--hold-document") == 0) {
    pit::platform::FileLock lock;
    if (lock.Acquire(argv[2], 0) != pit::platform::FileLock::Result::Locked) return 2;
    std::fputs("held\n", stdout);
    std::fflush(stdout);
    for (;;) QThread::sleep(1);
  }
  QCoreApplication app(argc, argv);
  GuardTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "guard_test.moc"
