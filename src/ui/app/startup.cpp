#include "ui/app/startup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>
#include <QFileInfo>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "platform/file_owner.h"
#include "platform/folders.h"
#include "platform/hand_over.h"
#include "ui/app/app_context.h"
#include "ui/app/file_dialogs.h"
#include "ui/app/program_filter.h"
#include "ui/app/ttools.h"
#include "ui/app/welcome_panel.h"
#include "ui/update/taktualizacja.h"

namespace pit::ui {

namespace {

// An exception that reaches the event loop is shown and the loop goes on.
class PitApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      QMessageBox::critical(nullptr, QString::fromUtf8(kApplicationTitle), QString::fromUtf8(e.what()));
    } catch (...) {
      QMessageBox::critical(nullptr, QString::fromUtf8(kApplicationTitle), QStringLiteral("Nieznany błąd programu."));
    }
    return false;
  }
};

// The toolkit's own remarks (a missing runtime folder, font and platform
// notices) are not for the user: what the program has to say it says in its
// windows. A fault the toolkit cannot survive still ends the program.
void DropToolkitMessages(QtMsgType type, const QMessageLogContext&, const QString&) {
  if (type == QtFatalMsg) std::abort();
}

}  // namespace

void PrepareApplication(QApplication& app) {
  app.setApplicationName(QStringLiteral("pit2014"));
  platform::KeepOwnersOfReplacedFiles();
  // Qt's own dialogs (file dialogs, standard buttons) in Polish.
  auto* qtbase = new QTranslator(&app);
  if (qtbase->load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(qtbase);
  }
  app.setStyle(new HintTimingStyle);
}

int RunProgram(int argc, char** argv, const std::function<void(TTools&)>& windowShown) {
  // Answered before any window or display is needed.
  if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-V") == 0)) {
    std::printf("pit2014 %s\n", PIT_VERSION);
    return 0;
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf(
        "Użycie: pit2014 [PLIK.dc2014]\n"
        "        pit2014 --designer [KATALOG]\n"
        "        pit2014 --help | --version\n"
        "Program do rozliczenia rocznego podatku dochodowego od osób fizycznych za 2014 r.\n"
        "PLIK.dc2014 otwiera rozliczenie; gdy program już działa, plik otwiera się w nim.\n");
    return 0;
  }
  qInstallMessageHandler(DropToolkitMessages);
  UsePolishDateFormats();
  PitApplication app(argc, argv);
  PrepareApplication(app);
  ProgramEventFilter filter;
  app.installEventFilter(&filter);

  AppContext ctx;
  ctx.programFolder = platform::DataFolder().toStdString();
  // The authoring tool of the definition files, only on an explicit request.
  QStringList args = app.arguments().mid(1);
  const bool designer = !args.isEmpty() && args[0] == QStringLiteral("--designer");
  QString designerDir = QString::fromStdString(ctx.Folder("dc"));
  if (designer) {
    args.removeFirst();
    if (!args.isEmpty() && QFileInfo(args[0]).isDir()) designerDir = args.takeFirst();
  }
  // A file named to a second start goes to the copy already running, which
  // opens it after its own save question.
  const QString socketPath = platform::HandOverServer::DefaultSocketPath();
  if (const QString file = app.arguments().value(1); !file.isEmpty() && platform::HandOverFile(socketPath, file))
    return 0;
  TTools tools(ctx);
  if (tools.Refused()) return 0;
  platform::HandOverServer handOver(socketPath);
  handOver.Listen();
  QObject::connect(&handOver, &platform::HandOverServer::fileHandedOver, &tools, &TTools::OpenHandedOver);
  // The designer's scratch files go where the user may write, never beside
  // an installed program.
  if (designer) tools.EnableDesignerMode(designerDir, platform::CacheFolder() + QStringLiteral("/designer"));
  QObject::connect(&filter, &ProgramEventFilter::mouseOverBrowser, tools.RozpocznijPrace, &WelcomePanel::HideTwins);
  // Without a window manager (a bare X server) "maximised" means nothing;
  // the screen's working area is the same thing.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) tools.setGeometry(screen->availableGeometry());
  tools.showMaximized();
  if (windowShown) windowShown(tools);
  if (!tools.AfterShow(args)) return 0;
  // What a run that did not end cleanly left unsaved, offered back.
  tools.OfferRecovery();
  // The update check runs once the window is up, so a slow server never delays the start.
  QTimer::singleShot(0, &tools, [&tools] { tools.FAktualizacja->StartUpCheck(); });
  return app.exec();
}

}  // namespace pit::ui
