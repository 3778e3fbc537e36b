#include "platform/launch.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace pit::platform {

bool OpenAddress(const QString& address) {
  const QUrl url = QFileInfo::exists(address) ? QUrl::fromLocalFile(address) : QUrl(address);
  return QDesktopServices::openUrl(url);
}

bool StartProgram(const QString& program, const QStringList& arguments) {
  return QProcess::startDetached(program, arguments);
}

bool StartProgramIn(const QString& program, const QStringList& arguments, const QString& folder) {
  return QProcess::startDetached(program, arguments, folder);
}

QString FindCalculator() {
  for (const char* name : {"gnome-calculator", "kcalc", "galculator", "mate-calc", "xcalc"}) {
    const QString path = QStandardPaths::findExecutable(QLatin1String(name));
    if (!path.isEmpty()) return path;
  }
  return {};
}

bool StartCalculator() {
  const QString calc = FindCalculator();
  return !calc.isEmpty() && StartProgram(calc);
}

}  // namespace pit::platform
