// update_shots <folder>: pictures of the import window with a joint file
// read, the update window during a download from a local server, and the
// help window on two topics, for looking at.
#include <QApplication>
#include <QCryptographicHash>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "local_http_server.h"
#include "selection_ui/modal_script.h"
#include "support/dc2013_file.h"
#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/import/tfimportdane.h"
#include "ui/update/taktualizacja.h"
#include "ui/update/tfpomoc.h"

using namespace pit;
using namespace pit::ui;

namespace {

bool Save(QWidget* w, const QString& folder, const char* name) {
  const QString path = folder + QLatin1Char('/') + QLatin1String(name);
  const bool ok = w->grab().save(path);
  std::printf("%s %s\n", ok ? "zapisano" : "NIE ZAPISANO", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  PrepareApplication(app);
  if (argc < 2) {
    std::fprintf(stderr, "użycie: update_shots KATALOG\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  QTemporaryDir tmp;
  int failures = 0;

  // The import window with a joint PIT-37 of 2013 read.
  {
    AppContext ctx;
    ctx.settlement.Open();
    ctx.settlement.Kind = kJoint;
    ctx.settlement.TaxpayerIdKind = kIdNip;
    ctx.settlement.SpouseIdKind = kIdPesel;
    const QString file = tmp.path() + QStringLiteral("/rozliczenie_2013.dc2013");
    testsupport::WriteOldFile(file.toStdString(), {testsupport::JointPit37()});
    TFImportDane w(ctx);
    w.askFileName = [&] { return file; };
    w.show();
    QApplication::processEvents();
    w.BPathReadDaneClick();
    w.CBDanePodatnika->setChecked(true);
    w.CBDaneMalzonka->setChecked(true);
    w.CheckBoxClick();
    QApplication::processEvents();
    failures += !Save(&w, out, "import_joint.png");
  }

  // The update window while the installer comes from a local server.
  {
    test::LocalHttpServer server;
    server.Start();
    QByteArray installer(400000, 'x');
    test::LocalHttpServer::Route descriptor;
    descriptor.body = "[UPDATE]\r\nVer=14.0.0.12\r\nFile=pit2014_setup.run\r\nSHA256=" +
                      QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex() + "\r\n";
    server.routes[QStringLiteral("/aktualizacja/pit2014/update.ini")] = descriptor;
    test::LocalHttpServer::Route slow;
    slow.body = installer;
    slow.pieceSize = 8000;
    slow.pieceDelayMs = 20;
    server.routes[QStringLiteral("/aktualizacja/pit2014/pit2014_setup.run")] = slow;
    AppContext ctx;
    ctx.version = "14.0.0.3";
    ctx.tempFolder = tmp.path().toStdString();
    ctx.updateFolder = tmp.path().toStdString();
    ctx.configPath = (tmp.path() + QStringLiteral("/pit2014.ini")).toStdString();
    QSettings(QString::fromStdString(ctx.configPath), QSettings::IniFormat)
        .setValue(QStringLiteral("PIT/UpdateServer"), server.Base());
    QWidget main;
    main.resize(900, 700);
    main.show();
    TAktualizacja w(ctx, &main);
    w.isConnected = [] { return true; };
    w.openInstaller = [](const QString&) { return true; };
    w.endApplication = [] {};
    test::ModalScript script;
    script.answers = {QMessageBox::Yes, QMessageBox::Ok};
    script.Deadline(30000);
    QTimer::singleShot(500, &w, [&] { failures += !Save(&w, out, "update_download.png"); });
    w.CheckForUpdate(true);
  }

  // The help window on two topics.
  {
    TFPomoc w(QStringLiteral(PIT_BIN_DIR "/Pomoc"));
    w.ShowHelp();
    QApplication::processEvents();
    w.SkalaPodatkowaClick();
    QApplication::processEvents();
    failures += !Save(&w, out, "help_scale.png");
    w.UlganadzieciwrozliczeniachClick();
    QApplication::processEvents();
    failures += !Save(&w, out, "help_children.png");
    w.TBHomeClick();
    QApplication::processEvents();
    failures += !Save(&w, out, "help_start.png");
  }
  return failures == 0 ? 0 : 1;
}
