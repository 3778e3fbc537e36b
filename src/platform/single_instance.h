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
  // another process holds it or the file cannot be opened.
  bool TryAcquire();
  bool Held() const { return fd_ >= 0; }
  void Release();
  const QString& Path() const { return path_; }

  // The user's runtime folder (or the temporary folder with the user's id in
  // the name) + the guard's name.
  static QString DefaultLockPath();

 private:
  QString path_;
  int fd_ = -1;
};

}  // namespace pit::platform
