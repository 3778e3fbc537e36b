#include "platform/config.h"

#include <QSettings>

#include "platform/folders.h"

namespace pit::platform {

namespace {
const QString kRun = QStringLiteral("PIT/Run");
const QString kPath = QStringLiteral("PIT/Path");
const QString kVer = QStringLiteral("PIT/Ver");
const QString kAutoUpdate = QStringLiteral("PIT/AutoUpdate");
const QString kUpdateServer = QStringLiteral("PIT/UpdateServer");
}  // namespace

QString Config::DefaultPath() { return TempFolder() + QLatin1Char('/') + QLatin1String(kConfigFileName); }

bool Config::WriteFirstStartKeys(const QString& programFolder, const QString& version) {
  QSettings ini(path_, QSettings::IniFormat);
  if (ini.value(kRun, false).toBool()) return false;
  ini.setValue(kRun, true);
  ini.setValue(kPath, programFolder);
  ini.setValue(kVer, version);
  ini.setValue(kAutoUpdate, true);
  ini.sync();
  return ini.status() == QSettings::NoError;
}

bool Config::Run() const { return QSettings(path_, QSettings::IniFormat).value(kRun, false).toBool(); }

QString Config::ProgramPath() const { return QSettings(path_, QSettings::IniFormat).value(kPath).toString(); }

QString Config::Version() const { return QSettings(path_, QSettings::IniFormat).value(kVer).toString(); }

bool Config::AutoUpdate() const {
  return QSettings(path_, QSettings::IniFormat).value(kAutoUpdate, false).toBool();
}

void Config::SetAutoUpdate(bool on) {
  QSettings ini(path_, QSettings::IniFormat);
  ini.setValue(kAutoUpdate, on);
}

QString Config::UpdateServer() const {
  return QSettings(path_, QSettings::IniFormat).value(kUpdateServer).toString();
}

}  // namespace pit::platform
