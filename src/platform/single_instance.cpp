#include "platform/single_instance.h"

#include "platform/file_lock.h"

#include <errno.h>
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
  otherHolds_ = false;
  // O_CLOEXEC: programs started from here (the calculator, the e-filing
  // program) must not inherit the lock and keep it after we end.
  const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    otherHolds_ = errno == EWOULDBLOCK;
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
  return QString::fromStdString(PrivateRuntimeFolder()) + QStringLiteral("/KorvanPit2014.lock");
}

}  // namespace pit::platform
