#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <utility>

namespace pit::platform {

SingleInstance::SingleInstance(QString lockPath) : path_(std::move(lockPath)) {}

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::TryAcquire() {
  if (fd_ >= 0) return true;
  // O_CLOEXEC: programs started from here (the calculator, the e-filing
  // program) must not inherit the lock and keep it after we end.
  const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void SingleInstance::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

QString SingleInstance::DefaultLockPath() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!runtime.isEmpty() && QDir(runtime).exists()) return runtime + QStringLiteral("/KorvanPit2014.lock");
  // A shared temporary folder: the user's id keeps users apart.
  return QDir::tempPath() + QStringLiteral("/KorvanPit2014-") + QString::number(::getuid()) +
         QStringLiteral(".lock");
}

}  // namespace pit::platform
