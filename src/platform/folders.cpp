#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
