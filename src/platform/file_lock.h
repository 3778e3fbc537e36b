#pragma once
// A settlement file is read, changed and written back as a whole, so two
// programs working on it at once would lose one's changes. Each program of
// the user takes this lock for the file first: the desktop program for as
// long as the file is open, the command line for one command.
//
// Every program of the user must find the same lock whatever environment it
// was started with (a terminal, cron, a desktop session of its own), so the
// locks live in one folder fixed by the user's account: the home folder the
// system records for the user, not $HOME or $XDG_RUNTIME_DIR. A lock is
// named after the folder holding the document (its device and inode) and
// the document's name there: saving, which replaces the document by a new
// file, does not drop it, and every path to the file (links, bind mounts,
// "./a" and "a") finds the same lock. Standard library and POSIX only: the
// command-line program uses it without Qt.
#include <string>

namespace pit::platform {

class FileLock {
 public:
  enum class Result { Locked, Busy, Failed };

  // `folder`: where the locks live; empty for the user's lock folder.
  explicit FileLock(std::string folder = {}) : folder_(std::move(folder)) {}
  ~FileLock() { Release(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock of the document at `documentPath`, waiting up to
  // `waitMs` milliseconds for another program to finish with it. Busy: it
  // is still held; Failed: the lock could not be made (FailureText says
  // why). The lock of another document held so far is given up only once
  // this one is taken.
  Result Acquire(const std::string& documentPath, int waitMs);
  void Release();
  bool Held() const { return fd_ >= 0; }
  // The document whose lock is held, as it was named ("" when none).
  const std::string& Document() const { return document_; }
  // Why the last Acquire failed, in Polish, naming the folder or file.
  const std::string& FailureText() const { return failure_; }

  // Where the lock of a document lives.
  std::string LockPathFor(const std::string& documentPath) const;

 private:
  std::string Folder() const;

  std::string folder_;
  int fd_ = -1;
  std::string key_;
  std::string document_;
  std::string lockPath_;
  std::string failure_;
};

// The user's lock folder: <home of the account>/.cache/pit2014-locks, or
// /tmp/pit2014-locks-<uid> for an account without a usable home.
std::string UserLockFolder();

// The user's private folder for the single-instance lock and the hand-over
// socket: $XDG_RUNTIME_DIR, or else ~/.cache/pit2014-run made with no
// access for others.
std::string PrivateRuntimeFolder();

}  // namespace pit::platform
