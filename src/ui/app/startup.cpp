#include "ui/app/startup.h"

#include <QApplication>
#include <QMainWindow>

namespace pit::ui {

int RunProgram(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.setWindowTitle("pit2014");
  w.show();
  return app.exec();
}

}  // namespace pit::ui
