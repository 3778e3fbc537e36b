#include "platform/processes.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace pit::platform {

namespace {

QString CommOf(const QString& procDir) {
  QFile f(procDir + QStringLiteral("/comm"));
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll()).trimmed();
}

// The processes of the current user (this one excepted) named `name`.
QList<pid_t> ProcessesNamed(const QString& name) {
  QList<pid_t> found;
  if (name.isEmpty()) return found;
  const uid_t me = ::getuid();
  const pid_t self = ::getpid();
  const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& entry : pids) {
    bool ok = false;
    const int pid = entry.toInt(&ok);
    if (!ok || pid <= 0 || pid == self) continue;
    const QString dir = QStringLiteral("/proc/") + entry;
    struct stat st {};
    if (::stat(QFile::encodeName(dir).constData(), &st) != 0 || st.st_uid != me) continue;
    // comm keeps 15 characters; the executable's link tells longer names
    // (and is unreadable for processes we may not inspect anyway).
    bool match = CommOf(dir) == name;
    if (!match) match = QFileInfo(QFileInfo(dir + QStringLiteral("/exe")).symLinkTarget()).fileName() == name;
    if (match) found.append(pid);
  }
  return found;
}

}  // namespace

int TerminateProcessesNamed(const QString& name) {
  int signalled = 0;
  for (const pid_t pid : ProcessesNamed(name))
    if (::kill(pid, SIGTERM) == 0) ++signalled;
  return signalled;
}

bool ProcessRunning(const QString& name) { return !ProcessesNamed(name).isEmpty(); }

}  // namespace pit::platform
