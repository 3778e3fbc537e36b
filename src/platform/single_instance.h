#pragma once
// One running copy per user: an exclusive lock on a file. The kernel drops
// the lock when the process ends in any way, so a crash never leaves the
// program unable to start.
#include <QString>

namespace pit::platform {

class SingleInstance {
 public:
  explicit SingleInstance(QString lockPath);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this process holds the lock (now or already); false when
  // another process holds it (OtherHolds) or the file cannot be made.
  bool TryAcquire();
  // After a failed TryAcquire: another running copy has the lock, as
  // opposed to a lock file that could not be created or opened.
  bool OtherHolds() const { return otherHolds_; }
  bool Held() const { return fd_ >= 0; }
  void Release();
  const QString& Path() const { return path_; }

  // The guard's file in a folder only the user can enter: the runtime
  // folder, or else a private folder under the user's cache, made when
  // missing. In a folder others can write to, any user could take the name
  // first and so keep everybody else's program from starting.
  static QString DefaultLockPath();

 private:
  QString path_;
  int fd_ = -1;
  bool otherHolds_ = false;
};

}  // namespace pit::platform
