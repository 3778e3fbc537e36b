// The update check against a real HTTP server on 127.0.0.1, and the About
// window's switch of the check at start-up.
#include <QCheckBox>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <sys/types.h>
#include <unistd.h>

#include "local_http_server.h"
#include "selection_ui/modal_script.h"
#include "ui/app/app_context.h"
#include "ui/update/taktualizacja.h"
#include "platform/config.h"
#include "ui/update/tinfo.h"

namespace pit::ui::test {

namespace {

const char* kUpdatePath = "/aktualizacja/pit2014/update.ini";
const char* kInstallerPath = "/aktualizacja/pit2014/pit2014_setup.run";

QByteArray Installer() {
  QByteArray b;
  for (int i = 0; i < 50000; ++i) b += char('a' + i % 26);
  return b;
}

QByteArray Sha(const QByteArray& b) { return QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex(); }

// A descriptor with the checksum of Installer() unless told another.
QByteArray Descriptor(const char* ver, const QByteArray& sha = Sha(Installer()),
                      const QByteArray& file = "pit2014_setup.run") {
  QByteArray d = QByteArrayLiteral("[UPDATE]\r\nVer=") + ver + "\r\nFile=" + file + "\r\n";
  if (!sha.isEmpty()) d += "SHA256=" + sha + "\r\n";
  return d;
}

// The program's context and an update window pointed at the local server.
struct Rig {
  QTemporaryDir dir;
  LocalHttpServer server;
  AppContext ctx;
  QWidget main;
  std::unique_ptr<TAktualizacja> window;
  QStringList opened;
  int ended = 0;

  explicit Rig(const char* version, const QString& serverSetting = QString()) {
    server.Start();
    ctx.version = version;
    ctx.tempFolder = dir.path().toStdString();
    ctx.updateFolder = dir.path().toStdString();
    ctx.configPath = (dir.path() + QStringLiteral("/pit2014.ini")).toStdString();
    QSettings ini(QString::fromStdString(ctx.configPath), QSettings::IniFormat);
    ini.setValue(QStringLiteral("PIT/UpdateServer"), serverSetting.isNull() ? server.Base() : serverSetting);
    ini.sync();
    main.resize(800, 600);
    main.show();
    window = std::make_unique<TAktualizacja>(ctx, &main);
    window->isConnected = [] { return true; };
    window->openInstaller = [this](const QString& path) {
      opened << path;
      return true;
    };
    window->endApplication = [this] { ++ended; };
  }
  QString Temp(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
  QStringList List() const {
    QStringList out;
    for (int i = 0; i < window->ListBox1->count(); ++i) out << window->ListBox1->item(i)->text();
    return out;
  }
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class UpdateCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void newerVersionIsOfferedDownloadedAndOpened();
  void equalVersionSaysSoOnlyWhenAsked();
  void missingDescriptorKeepsThePreviousCopyAndSaysWhy();
  void checksumMismatchIsRefused();
  void serverErrorAndRefusedAddressesHaveClearMessages();
  void withoutAutoInstallTheUserStartsTheInstaller();
  void aboutWindowSwitchesTheStartUpCheck();
  void unverifiedOrHostileDownloadsAreRefused();
  void configurationIsTheUsersOwnAndMovesFromTheTemporaryFolder();
};

void UpdateCheckTest::newerVersionIsOfferedDownloadedAndOpened() {
  Rig rig("14.0.0.3");
  const QByteArray installer = Installer();
  rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12", Sha(installer))};
  rig.server.routes[kInstallerPath] = {200, installer, 8000, 10};
  QFile::remove(rig.Temp(QStringLiteral("pit2014_aktualizacja.run")));

  ModalScript script;
  script.Deadline(20000);
  script.answers = {QMessageBox::Yes, QMessageBox::Ok};
  QList<QPair<int, int>> progress;  // value, maximum while downloading
  QObject::connect(rig.window->ProgressHTTP, &QProgressBar::valueChanged, rig.window.get(),
                   [&](int v) { progress << qMakePair(v, rig.window->ProgressHTTP->maximum()); });
  bool fullAtTheEnd = false;
  bool modalWhileDownloading = false;
  script.onBox = [&](QMessageBox* box) {
    if (box->text().startsWith(QStringLiteral("Pobieranie"))) {
      fullAtTheEnd = rig.window->ProgressHTTP->value() == rig.window->ProgressHTTP->maximum();
      modalWhileDownloading = rig.window->isModal() && rig.window->isVisible();
    }
  };
  rig.window->CheckForUpdate(true);

  QCOMPARE(script.boxes.size(), std::size_t(2));
  QCOMPARE(script.boxes[0].title, QStringLiteral("Aktualizacja on-line"));
  QCOMPARE(script.boxes[0].text,
           QStringLiteral("Aktualizacja nr 14.0.0.12 jest dostępna. Czy rozpocząć aktualizację programu?"));
  QVERIFY(script.boxes[0].yesNo);
  QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);
  QCOMPARE(script.boxes[1].text, QStringLiteral("Pobieranie aktualizacji zakończone"));
  QCOMPARE(rig.List(), (QStringList{"Połączono z serwerem.", "Trwa pobieranie aktualizacji ...",
                                    "Pobieranie aktualizacji zakończone", "Połączenie z serwerem zakończone."}));
  QVERIFY(fullAtTheEnd);
  // The bar moved in steps of the pieces sent, against the announced size.
  int steps = 0;
  for (const auto& [v, max] : progress) steps += (max == installer.size() && v > 0 && v < max) ? 1 : 0;
  QString seen;
  for (const auto& [v, max] : progress) seen += QStringLiteral("%1/%2 ").arg(v).arg(max);
  QVERIFY2(steps >= 2, qPrintable(seen));
  QVERIFY(modalWhileDownloading);
  QCOMPARE(ReadAll(rig.Temp(QStringLiteral("pit2014_aktualizacja.run"))), installer);
  QCOMPARE(ReadAll(rig.Temp(QStringLiteral("update.ini"))), Descriptor("14.0.0.12", Sha(installer)));
  QCOMPARE(rig.opened, QStringList{rig.Temp(QStringLiteral("pit2014_aktualizacja.run"))});
  QCOMPARE(rig.ended, 1);
  QCOMPARE(rig.main.windowTitle(), QStringLiteral("Restart ... "));
  QVERIFY(!rig.window->isVisible());
  // Both requests as the server expects them.
  QCOMPARE(rig.server.requests.size(), 2);
  for (const QByteArray& head : rig.server.requests) {
    QVERIFY(head.contains("User-Agent: Mozilla/3.0 (compatible; Indy Library)"));
    QVERIFY(head.contains("Accept: text/html, */*"));
  }
  QVERIFY(rig.server.requests[1].startsWith(QByteArray("GET ") + kInstallerPath));
}

void UpdateCheckTest::equalVersionSaysSoOnlyWhenAsked() {
  Rig rig("14.0.0.12");
  rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12")};
  ModalScript script;
  script.Deadline(20000);
  rig.window->CheckForUpdate(true);
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(script.boxes[0].text, QStringLiteral("Wersja 14.0.0.12 jest najnowszą wersją programu."));
  QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);
  rig.window->CheckForUpdate(false);  // at start-up: nothing said
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(rig.server.requests.size(), 2);

  // 14.0.1.0 against 14.0.0.12: 14010 < 140012, offered (and declined here).
  Rig older("14.0.1.0");
  older.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12")};
  script.answers = {QMessageBox::No};
  older.window->CheckForUpdate(false);
  QCOMPARE(script.boxes.size(), std::size_t(2));
  QVERIFY(script.boxes[1].text.startsWith(QStringLiteral("Aktualizacja nr 14.0.0.12")));
  QVERIFY(older.opened.isEmpty());
}

void UpdateCheckTest::missingDescriptorKeepsThePreviousCopyAndSaysWhy() {
  Rig rig("14.0.0.3");
  const QByteArray previous = Descriptor("14.0.0.2");
  {
    QFile f(rig.Temp(QStringLiteral("update.ini")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(previous);
  }
  ModalScript script;
  script.Deadline(20000);
  rig.window->CheckForUpdate(true);
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(script.boxes[0].text,
           QStringLiteral("Na serwerze aktualizacji nie ma pliku „update.ini”. Spróbuj ponownie później."));
  QCOMPARE(ReadAll(rig.Temp(QStringLiteral("update.ini"))), previous);
  rig.window->CheckForUpdate(false);  // at start-up: silent
  QCOMPARE(script.boxes.size(), std::size_t(1));
}

void UpdateCheckTest::checksumMismatchIsRefused() {
  Rig rig("14.0.0.3");
  rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12", Sha("something else"))};
  rig.server.routes[kInstallerPath] = {200, Installer()};
  ModalScript script;
  script.Deadline(20000);
  script.answers = {QMessageBox::Yes};
  rig.window->CheckForUpdate(true);
  QCOMPARE(script.boxes.size(), std::size_t(2));
  QVERIFY2(script.boxes[1].text.contains(QStringLiteral("suma kontrolna SHA256 się nie zgadza")),
           qPrintable(script.boxes[1].text));
  QVERIFY(!QFile::exists(rig.Temp(QStringLiteral("pit2014_aktualizacja.run"))));
  QVERIFY(rig.opened.isEmpty());
  QCOMPARE(rig.ended, 0);
}

void UpdateCheckTest::serverErrorAndRefusedAddressesHaveClearMessages() {
  ModalScript script;
  script.Deadline(20000);
  {
    Rig rig("14.0.0.3");
    rig.server.routes[kUpdatePath] = {500, "oops"};
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(1));
    QCOMPARE(script.boxes[0].text,
             QStringLiteral("Serwer aktualizacji odpowiedział błędem 500 (Internal Server Error). Spróbuj ponownie "
                            "później."));
  }
  {
    // The installer fails after the descriptor was fetched: the window says so.
    Rig rig("14.0.0.3");
    rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12")};
    rig.server.routes[kInstallerPath] = {500, "oops"};
    script.boxes.clear();
    script.answers = {QMessageBox::Yes};
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(2));
    QVERIFY(script.boxes[1].text.startsWith(QStringLiteral("Serwer aktualizacji odpowiedział błędem 500")));
    QVERIFY(!QFile::exists(rig.Temp(QStringLiteral("pit2014_aktualizacja.run"))));
    QVERIFY(rig.opened.isEmpty());
  }
  {
    // Nothing listens: the connection itself fails.
    Rig rig("14.0.0.3", QStringLiteral("http://127.0.0.1:1"));
    script.boxes.clear();
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(1));
    QVERIFY2(script.boxes[0].text.startsWith(QStringLiteral("Nie udało się połączyć z serwerem aktualizacji 127.0.0.1:1")),
             qPrintable(script.boxes[0].text));
  }
  {
    // Another scheme than https or a written-out http is refused before any request.
    Rig rig("14.0.0.3", QStringLiteral("ftp://127.0.0.1"));
    script.boxes.clear();
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(1));
    QVERIFY(script.boxes[0].text.contains(QStringLiteral("jest nieprawidłowy")));
    QVERIFY(rig.server.requests.isEmpty());
  }
  {
    Rig rig("14.0.0.3");
    rig.window->isConnected = [] { return false; };
    script.boxes.clear();
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(1));
    QCOMPARE(script.boxes[0].text, QStringLiteral("Brak połączenia z siecią Internet."));
    rig.window->CheckForUpdate(false);
    QCOMPARE(script.boxes.size(), std::size_t(1));
  }
  {
    // A descriptor naming a file outside the temporary folder is not followed.
    Rig rig("14.0.0.3");
    rig.server.routes[kUpdatePath] = {200, "[UPDATE]\nVer=14.0.0.12\nFile=../pit2014_setup.run\n"};
    script.boxes.clear();
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(1));
    QVERIFY(script.boxes[0].text.startsWith(QStringLiteral("Opis aktualizacji na serwerze jest nieprawidłowy")));
    QCOMPARE(rig.server.requests.size(), 1);
  }
}

void UpdateCheckTest::withoutAutoInstallTheUserStartsTheInstaller() {
  Rig rig("14.0.0.3");
  rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12")};
  rig.server.routes[kInstallerPath] = {200, Installer()};
  rig.window->AutoInstall->setChecked(false);
  ModalScript script;
  script.Deadline(20000);
  script.answers = {QMessageBox::Yes, QMessageBox::Ok};
  bool enabled = false;
  script.steps.push_back([&](QWidget* modal) -> std::function<void()> {
    if (modal != rig.window.get() || !rig.window->Instaluj->isEnabled()) return {};
    return [&] {
      enabled = true;
      QTest::mouseClick(rig.window->Instaluj, Qt::LeftButton);
    };
  });
  rig.window->CheckForUpdate(true);
  QVERIFY(enabled);
  QCOMPARE(rig.opened, QStringList{rig.Temp(QStringLiteral("pit2014_aktualizacja.run"))});
  QCOMPARE(rig.ended, 1);
}

void UpdateCheckTest::aboutWindowSwitchesTheStartUpCheck() {
  QTemporaryDir dir;
  const QString ini = dir.path() + QStringLiteral("/pit2014.ini");
  {
    TInfo info(ini, QStringLiteral("14.0.0.3"));
    QCOMPARE(info.windowTitle(), QStringLiteral("Informacja o programie"));
    QCOMPARE(info.Wersja->text(), QStringLiteral("wersja: 14.0.0.3"));
    QVERIFY(!info.AutoAktualzacja->isChecked());  // a missing key reads false
    info.show();
    QTest::mouseClick(info.AutoAktualzacja, Qt::LeftButton);
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("PIT/AutoUpdate")).toBool(), true);
  }
  {
    TInfo info(ini, QStringLiteral("14.0.0.3"));
    QVERIFY(info.AutoAktualzacja->isChecked());
    info.show();
    QTest::mouseClick(info.AutoAktualzacja, Qt::LeftButton);
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value(QStringLiteral("PIT/AutoUpdate")).toBool(), false);
  }
  // The start-up check follows the key.
  Rig rig("14.0.0.3");
  rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.3")};
  rig.window->StartUpCheck();
  QVERIFY(rig.server.requests.isEmpty());
  platform::Config(QString::fromStdString(rig.ctx.configPath)).SetAutoUpdate(true);
  rig.window->StartUpCheck();
  QCOMPARE(rig.server.requests.size(), 1);
}

// What comes from the server is not trusted: no checksum, a redirect to
// another host, a body too large or one that trickles in, an installer that
// names a file of the program. Each is refused with a message, nothing is
// opened, and no file but the program's own download is written.
void UpdateCheckTest::unverifiedOrHostileDownloadsAreRefused() {
  ModalScript script;
  script.Deadline(60000);
  const QString installerFile = QStringLiteral("pit2014_aktualizacja.run");
  {
    Rig rig("14.0.0.3");
    rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12", QByteArray())};
    rig.server.routes[kInstallerPath] = {200, Installer()};
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(1));
    QVERIFY2(script.boxes[0].text.contains(QStringLiteral("nie podaje sumy kontrolnej SHA256")),
             qPrintable(script.boxes[0].text));
    QCOMPARE(rig.server.requests.size(), 1);
    QVERIFY(rig.opened.isEmpty());
  }
  {
    // A redirect on the same server is followed; one to another host is not.
    Rig rig("14.0.0.3");
    const QByteArray other = rig.server.Base().replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost")).toLatin1();
    rig.server.routes[kUpdatePath] = {302, {}, 0, 0, "/aktualizacja/pit2014/nowy.ini"};
    rig.server.routes[QStringLiteral("/aktualizacja/pit2014/nowy.ini")] = {200, Descriptor("14.0.0.12")};
    rig.server.routes[kInstallerPath] = {302, {}, 0, 0, other + kInstallerPath};
    script.boxes.clear();
    script.answers = {QMessageBox::Yes};
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(2));
    QVERIFY(script.boxes[0].text.startsWith(QStringLiteral("Aktualizacja nr 14.0.0.12")));
    QVERIFY2(script.boxes[1].text.contains(QStringLiteral("skierował pobieranie pod inny adres")),
             qPrintable(script.boxes[1].text));
    QCOMPARE(rig.server.requests.size(), 3);  // the redirect to localhost was not taken
    QVERIFY(!QFile::exists(rig.Temp(installerFile)));
    QVERIFY(rig.opened.isEmpty());
  }
  {
    // A descriptor over 64 KB, said so or sent so: the previous copy stays.
    Rig rig("14.0.0.3");
    const QByteArray previous = Descriptor("14.0.0.2");
    {
      QFile f(rig.Temp(QStringLiteral("update.ini")));
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write(previous);
    }
    for (const LocalHttpServer::Route& huge :
         {LocalHttpServer::Route{200, Descriptor("14.0.0.12") + QByteArray(70000, ';')},
          LocalHttpServer::Route{200, Descriptor("14.0.0.12"), 0, 0, {}, 3LL * 1024 * 1024 * 1024}}) {
      rig.server.routes[kUpdatePath] = huge;
      script.boxes.clear();
      rig.window->CheckForUpdate(true);
      QCOMPARE(script.boxes.size(), std::size_t(1));
      QVERIFY2(script.boxes[0].text.contains(QStringLiteral("jest większy, niż może być (64 KB)")),
               qPrintable(script.boxes[0].text));
      QCOMPARE(ReadAll(rig.Temp(QStringLiteral("update.ini"))), previous);
    }
  }
  {
    // An installer larger than allowed, and one that trickles in.
    Rig rig("14.0.0.3");
    rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12")};
    rig.server.routes[kInstallerPath] = {200, Installer()};
    rig.window->maxInstallerBytes = 10000;
    script.boxes.clear();
    script.answers = {QMessageBox::Yes};
    rig.window->CheckForUpdate(true);
    QCOMPARE(script.boxes.size(), std::size_t(2));
    QVERIFY2(script.boxes[1].text.contains(QStringLiteral("jest większy, niż może być")),
             qPrintable(script.boxes[1].text));
    QVERIFY(!QFile::exists(rig.Temp(installerFile)));

    rig.window->maxInstallerBytes = 1 << 20;
    rig.window->SetStallRule(400, 1024);
    rig.server.routes[kInstallerPath] = {200, Installer(), 1, 40};  // 25 bytes a second
    script.boxes.clear();
    script.answers = {QMessageBox::Yes};
    QElapsedTimer clock;
    clock.start();
    rig.window->CheckForUpdate(true);
    QVERIFY(clock.elapsed() < 10000);
    QCOMPARE(script.boxes.size(), std::size_t(2));
    QVERIFY2(script.boxes[1].text.contains(QStringLiteral("przestał przesyłać dane")), qPrintable(script.boxes[1].text));
    QVERIFY(!QFile::exists(rig.Temp(installerFile)));
    QVERIFY(rig.opened.isEmpty());
  }
  {
    // An installer that calls itself pit2014.ini goes under the program's own
    // name; the configuration beside it is not touched.
    Rig rig("14.0.0.3");
    const QByteArray config = ReadAll(QString::fromStdString(rig.ctx.configPath));
    QVERIFY(!config.isEmpty());
    rig.server.routes[kUpdatePath] = {200, Descriptor("14.0.0.12", Sha(Installer()), "pit2014.ini")};
    rig.server.routes[QStringLiteral("/aktualizacja/pit2014/pit2014.ini")] = {200, Installer()};
    script.boxes.clear();
    script.answers = {QMessageBox::Yes, QMessageBox::Ok};
    rig.window->CheckForUpdate(true);
    QCOMPARE(ReadAll(QString::fromStdString(rig.ctx.configPath)), config);
    QCOMPARE(rig.opened, QStringList{rig.Temp(QStringLiteral("pit2014_aktualizacja"))});
    QCOMPARE(ReadAll(rig.opened.value(0)), Installer());
  }
}

// The configuration is the user's own: found in his configuration folder,
// moved there from the temporary folder when it is his, and a file of
// another user's is neither read nor written.
void UpdateCheckTest::configurationIsTheUsersOwnAndMovesFromTheTemporaryFolder() {
  QTemporaryDir dir;
  const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME"), oldTmp = qgetenv("TMP");
  qputenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toLocal8Bit());
  qputenv("TMP", (dir.path() + QStringLiteral("/tmp")).toLocal8Bit());
  QDir().mkpath(dir.path() + QStringLiteral("/tmp"));
  const QString legacy = dir.path() + QStringLiteral("/tmp/pit2014.ini");
  auto writeIni = [](const QString& path, const QString& server) {
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(QStringLiteral("PIT/UpdateServer"), server);
    ini.setValue(QStringLiteral("PIT/AutoUpdate"), true);
  };

  writeIni(legacy, QStringLiteral("https://moj.example"));
  const QString path = platform::Config::DefaultPath();
  QCOMPARE(path, dir.path() + QStringLiteral("/config/pit2014/pit2014.ini"));
  QVERIFY(!QFile::exists(legacy));
  QCOMPARE(platform::Config(path).UpdateServer(), QStringLiteral("https://moj.example"));
  // Read and written by the user alone (the user bits; group and others none).
  QCOMPARE(QFile::permissions(path) & 0x0FFF, QFileDevice::ReadUser | QFileDevice::WriteUser);
  QCOMPARE(QFileInfo(dir.path() + QStringLiteral("/config/pit2014")).permissions() & 0x0077, QFileDevice::Permissions());
  QVERIFY(platform::Config(path).WriteFirstStartKeys(QStringLiteral("/opt/pit2014"), QStringLiteral("14.0.0.3")));
  QVERIFY(platform::Config(path).Run());

  // A link in place of the file is not followed.
  const QString elsewhere = dir.path() + QStringLiteral("/elsewhere.ini");
  writeIni(elsewhere, QStringLiteral("http://obcy.example"));
  const QString linked = dir.path() + QStringLiteral("/config/pit2014/link.ini");
  QVERIFY(QFile::link(elsewhere, linked));
  QCOMPARE(platform::Config(linked).UpdateServer(), QString());
  platform::Config(linked).SetAutoUpdate(false);
  QCOMPARE(QSettings(elsewhere, QSettings::IniFormat).value(QStringLiteral("PIT/AutoUpdate")).toBool(), true);

  if (::geteuid() == 0) {
    // Files another user made: in the temporary folder and in place.
    QFile::remove(path);
    writeIni(legacy, QStringLiteral("http://obcy.example"));
    QCOMPARE(::chown(QFile::encodeName(legacy).constData(), 65534, 65534), 0);
    QCOMPARE(platform::Config::DefaultPath(), path);
    QVERIFY(QFile::exists(legacy));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(platform::Config(path).UpdateServer(), QString());

    writeIni(path, QStringLiteral("http://obcy.example"));
    QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    const QByteArray planted = ReadAll(path);
    platform::Config foreign(path);
    QCOMPARE(foreign.UpdateServer(), QString());
    QVERIFY(!foreign.AutoUpdate());
    QVERIFY(!foreign.WriteFirstStartKeys(QStringLiteral("/opt/pit2014"), QStringLiteral("14.0.0.3")));
    foreign.SetAutoUpdate(false);
    QCOMPARE(ReadAll(path), planted);
  }
  qputenv("XDG_CONFIG_HOME", oldConfig);
  qputenv("TMP", oldTmp);
}

}  // namespace pit::ui::test

QTEST_MAIN(pit::ui::test::UpdateCheckTest)
#include "update_check_test.moc"
