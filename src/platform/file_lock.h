#pragma once
// A settlement file is read, changed and written back as a whole, so two
// programs working on it at once would lose one's changes. Each program of
// the user takes this lock for the file first: the desktop program for as
// long as the file is open, the command line for one command.
//
// The lock is a file in a folder private to the user, named after the
// document's full path, so saving (which replaces the document by a new
// file) does not drop it. Standard library and POSIX only: the command-line
// program uses it without Qt.
#include <string>

namespace pit::platform {

class FileLock {
 public:
  enum class Result { Locked, Busy, Failed };

  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock of the document at `documentPath`, waiting up to
  // `waitMs` milliseconds for another program to finish with it. Busy: it
  // is still held; Failed: the lock file could not be made. Taking the lock
  // of another document releases the one held.
  Result Acquire(const std::string& documentPath, int waitMs);
  void Release();
  bool Held() const { return fd_ >= 0; }
  // The document whose lock is held ("" when none).
  const std::string& Document() const { return document_; }

  // Where the lock of a document lives.
  static std::string LockPathFor(const std::string& documentPath);

 private:
  int fd_ = -1;
  std::string document_;
};

// The user's private folder for locks: $XDG_RUNTIME_DIR, or else
// ~/.cache/pit2014-run made with no access for others.
std::string PrivateRuntimeFolder();

}  // namespace pit::platform
