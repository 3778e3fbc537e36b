#include "platform/config.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <initializer_list>
#include <utility>

#include "platform/folders.h"

namespace pit::platform {

namespace {
const QString kRun = QStringLiteral("PIT/Run");
const QString kPath = QStringLiteral("PIT/Path");
const QString kVer = QStringLiteral("PIT/Ver");
const QString kAutoUpdate = QStringLiteral("PIT/AutoUpdate");
const QString kUpdateServer = QStringLiteral("PIT/UpdateServer");
}  // namespace

QString Config::DefaultPath() {
  const QString folder = ConfigFolder();
  const QString path = folder + QLatin1Char('/') + QLatin1String(kConfigFileName);
  const QString old = TempFolder() + QLatin1Char('/') + QLatin1String(kConfigFileName);
  if (!QFileInfo::exists(path) && OwnedByUser(old) && QFileInfo(old).isFile() && MakePrivateFolder(folder) &&
      QFile::copy(old, path)) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(old);
  }
  return path;
}

bool Config::Usable() const {
  const QFileInfo file(path_);
  if (file.exists() || file.isSymLink()) return OwnedByUser(path_) && file.isFile();
  return OwnedByUser(file.absolutePath());
}

namespace {

// The value of a key, read only from a file of the user's own.
QVariant Read(const Config& c, const QString& key, const QVariant& missing = {}) {
  if (!c.Usable()) return missing;
  return QSettings(c.Path(), QSettings::IniFormat).value(key, missing);
}

// Keys written into a file of the user's own, which stays readable by him alone.
bool Write(const Config& c, const std::initializer_list<std::pair<QString, QVariant>>& keys) {
  const QString folder = QFileInfo(c.Path()).absolutePath();
  if (!QFileInfo::exists(folder)) MakePrivateFolder(folder);
  if (!c.Usable()) return false;
  bool ok = false;
  {
    QSettings ini(c.Path(), QSettings::IniFormat);
    for (const auto& [key, value] : keys) ini.setValue(key, value);
    ini.sync();
    ok = ini.status() == QSettings::NoError;
  }
  QFile::setPermissions(c.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  return ok;
}

}  // namespace

bool Config::WriteFirstStartKeys(const QString& programFolder, const QString& version) {
  if (Read(*this, kRun, false).toBool()) return false;
  return Write(*this, {{kRun, true}, {kPath, programFolder}, {kVer, version}, {kAutoUpdate, true}});
}

bool Config::Run() const { return Read(*this, kRun, false).toBool(); }

QString Config::ProgramPath() const { return Read(*this, kPath).toString(); }

QString Config::Version() const { return Read(*this, kVer).toString(); }

bool Config::AutoUpdate() const { return Read(*this, kAutoUpdate, false).toBool(); }

void Config::SetAutoUpdate(bool on) { Write(*this, {{kAutoUpdate, on}}); }

QString Config::UpdateServer() const { return Read(*this, kUpdateServer).toString(); }

}  // namespace pit::platform
