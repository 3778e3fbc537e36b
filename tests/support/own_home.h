#pragma once
// Test programs and tools that start the desktop program give it folders of
// their own (home, configuration, state with the recovery copy, TMP and the
// runtime folder with the single-instance lock), so a running copy of the program is neither
// disturbed nor in the way. Child processes inherit them.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace pit::testsupport {

inline void UseOwnHomeFolders(const QString& root) {
  const QByteArray h = root.toLocal8Bit();
  qputenv("HOME", h);
  qputenv("XDG_CONFIG_HOME", h + "/config");
  qputenv("XDG_STATE_HOME", h + "/state");
  qputenv("TMP", h + "/tmp");
  qputenv("XDG_RUNTIME_DIR", h + "/run");
  QDir().mkpath(root + QStringLiteral("/tmp"));
  QDir().mkpath(root + QStringLiteral("/run"));
  // Qt refuses a runtime folder that others may read.
  QFile::setPermissions(root + QStringLiteral("/run"),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

}  // namespace pit::testsupport
