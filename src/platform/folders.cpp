#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

#include "app/install_paths.h"

namespace pit::platform {

QString ProgramFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  // Before the application object exists the kernel still knows the file.
  return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

QString DataFolder() { return QString::fromStdString(DataFolderFor(ProgramFolder().toStdString())); }

QString CacheFolder() { return QString::fromStdString(UserCacheFolder()); }

QString DocumentsFolder() { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

QString TempFolder() {
  const QString tmp = qEnvironmentVariable("TMP");
  if (!tmp.isEmpty()) return QDir::cleanPath(tmp);
  return QDir::cleanPath(QDir::tempPath());
}

QString ConfigFolder() {
  return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
         QStringLiteral("/pit2014");
}

QString UpdateDownloadFolder() {
  // Beside the program's other caches; the desktop's cache folder when the
  // environment names none.
  const QString cache = CacheFolder();
  if (!cache.isEmpty()) return cache + QStringLiteral("/aktualizacja");
  return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)) +
         QStringLiteral("/pit2014/aktualizacja");
}

bool OwnedByUser(const QString& path) {
  struct stat st {};
  if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
  return (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) && st.st_uid == ::geteuid();
}

bool MakePrivateFolder(const QString& path) {
  if (!QFileInfo::exists(path) && !QDir().mkpath(path)) return false;
  const QByteArray name = QFile::encodeName(path);
  struct stat st {};
  if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return false;
  return (st.st_mode & 077) == 0 || ::chmod(name.constData(), 0700) == 0;
}

Workspace WorkspaceIn(const QString& documentsFolder, int taxYear) {
  Workspace w;
  w.root = documentsFolder + QStringLiteral("/Pit Korvan");
  w.documents = w.root + QStringLiteral("/Deklaracje ") + QString::number(taxYear);
  w.eDeclarations = w.root + QStringLiteral("/eDeklaracje ") + QString::number(taxYear);
  return w;
}

bool FolderExists(const QString& path) { return QFileInfo(path).isDir(); }

bool CreateFolder(const QString& path) { return QDir().mkpath(path) && FolderExists(path); }

}  // namespace pit::platform
