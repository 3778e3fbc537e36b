#pragma once
// The commands that draw (render, print, the HTML copy of export) run Qt on
// its offscreen platform whatever the environment says: no display is
// needed to draw.
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace pit::cli {

// The toolkit's own remarks ("XDG_RUNTIME_DIR not set", font and platform
// notices) say nothing a user of the command line can act on, and a script
// reading standard error must see only this program's messages. A fault
// the toolkit cannot survive still ends the program.
inline void DropToolkitMessages(QtMsgType type, const QMessageLogContext&, const QString&) {
  if (type == QtFatalMsg) std::abort();
}

inline std::unique_ptr<QGuiApplication> StartOffscreenDrawing() {
  qInstallMessageHandler(DropToolkitMessages);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // The application keeps these for as long as it lives.
  static int argc = 1;
  static char name[] = "pit2014cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace pit::cli
