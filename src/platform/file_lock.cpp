#include "platform/file_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace pit::platform {
namespace {

// FNV-1a: the same name in every program and every build, unlike std::hash.
std::uint64_t Fnv1a(const std::string& s) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string FullPath(const std::string& path) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::absolute(fs::u8path(path), ec), ec);
  return ec ? fs::u8path(path).lexically_normal().u8string() : p.u8string();
}

// The document as the file system knows it: the folder that holds it by
// device and inode, and its name there. A path is the fallback only for a
// folder that cannot be looked at (then nothing can be saved there anyway).
std::string DocumentKey(const std::string& documentPath) {
  const fs::path p = fs::u8path(FullPath(documentPath));
  struct stat st {};
  if (p.has_parent_path() && ::stat(p.parent_path().c_str(), &st) == 0) {
    return "d:" + std::to_string(static_cast<unsigned long long>(st.st_dev)) + ":" +
           std::to_string(static_cast<unsigned long long>(st.st_ino)) + "/" + p.filename().u8string();
  }
  return "p:" + p.u8string();
}

std::string AccountName(uid_t uid) {
  struct passwd pw {};
  struct passwd* found = nullptr;
  std::vector<char> buf(16384);
  if (::getpwuid_r(uid, &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr && found->pw_name != nullptr)
    return found->pw_name;
  return "uid " + std::to_string(static_cast<unsigned long>(uid));
}

std::string AccountHome(uid_t uid) {
  struct passwd pw {};
  struct passwd* found = nullptr;
  std::vector<char> buf(16384);
  if (::getpwuid_r(uid, &pw, buf.data(), buf.size(), &found) == 0 && found != nullptr && found->pw_dir != nullptr &&
      found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

// What stopped a folder or file of the lock from being made, from errno.
std::string Cause(int err) {
  switch (err) {
    case EACCES:
    case EPERM: return "brak uprawnień";
    case EROFS: return "dysk tylko do odczytu";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return "brak wolnego miejsca na dysku";
    case ELOOP: return "w miejscu pliku blokady jest skrót (dowiązanie)";
    case ENOENT:
    case ENOTDIR: return "nie ma folderu, w którym miała powstać";
    default: return "błąd systemu nr " + std::to_string(err);
  }
}

// Makes the lock folder (with the parent the user's .cache, when missing)
// with no access for others. "" when it is usable, else why not. A folder
// of another user is never used: its owner could take or drop our locks.
std::string PrepareFolder(const std::string& folder) {
  const fs::path f = fs::u8path(folder);
  if (f.has_parent_path() && ::mkdir(f.parent_path().c_str(), 0700) != 0 && errno != EEXIST) {
    return "Nie można utworzyć folderu blokad plików (" + Cause(errno) + "): " + f.parent_path().u8string();
  }
  if (::mkdir(f.c_str(), 0700) != 0 && errno != EEXIST) {
    return "Nie można utworzyć folderu blokad plików (" + Cause(errno) + "): " + folder;
  }
  struct stat st {};
  if (::stat(f.c_str(), &st) != 0) {
    return "Nie można otworzyć folderu blokad plików (" + Cause(errno) + "): " + folder;
  }
  if (!S_ISDIR(st.st_mode)) {
    return "W miejscu folderu blokad plików jest plik, a nie folder: " + folder +
           "\nUsuń ten plik, aby można było zapisywać rozliczenia.";
  }
  if (st.st_uid != ::geteuid()) {
    return "Folder blokad plików należy do innego użytkownika (" + AccountName(st.st_uid) + "): " + folder +
           "\nProgram nie zakłada blokad w cudzym folderze. Usuń ten folder albo przywróć go użytkownikowi " +
           AccountName(::geteuid()) + ", aby można było zapisywać rozliczenia.";
  }
  if ((st.st_mode & 077) != 0) ::chmod(f.c_str(), 0700);
  return {};
}

}  // namespace

std::string UserLockFolder() {
  const uid_t uid = ::geteuid();
  const std::string home = AccountHome(uid);
  struct stat st {};
  if (!home.empty() && ::stat(home.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid)
    return home + "/.cache/pit2014-locks";
  return "/tmp/pit2014-locks-" + std::to_string(static_cast<unsigned long>(uid));
}

std::string PrivateRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code ec;
  if (runtime != nullptr && *runtime != '\0' && fs::is_directory(runtime, ec)) return runtime;
  std::string base;
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache == '/') {
    base = cache;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    base = std::string(home) + "/.cache";
  } else {
    base = "/tmp/pit2014-" + std::to_string(::getuid());
  }
  const std::string folder = base + "/pit2014-run";
  fs::create_directories(folder, ec);
  ::chmod(folder.c_str(), 0700);
  return folder;
}

std::string FileLock::Folder() const { return folder_.empty() ? UserLockFolder() : folder_; }

std::string FileLock::LockPathFor(const std::string& documentPath) const {
  char name[64];
  std::snprintf(name, sizeof name, "/pit2014-doc-%016llx.lock",
                static_cast<unsigned long long>(Fnv1a(DocumentKey(documentPath))));
  return Folder() + name;
}

FileLock::Result FileLock::Acquire(const std::string& documentPath, int waitMs) {
  failure_.clear();
  const std::string key = DocumentKey(documentPath);
  if (Held() && key == key_) return Result::Locked;
  const std::string head = "Nie można założyć blokady pliku: " + documentPath + "\n";
  if (const std::string why = PrepareFolder(Folder()); !why.empty()) {
    failure_ = head + why;
    return Result::Failed;
  }
  const std::string lockPath = LockPathFor(documentPath);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  int fd = -1;
  for (;;) {
    // O_CLOEXEC: a program started from here must not keep the lock after us.
    fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      failure_ = head + "Nie można utworzyć pliku blokady (" + Cause(errno) + "): " + lockPath;
      return Result::Failed;
    }
    for (;;) {
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
      if (errno != EWOULDBLOCK && errno != EINTR) {
        failure_ = head + "Nie można zablokować pliku blokady (" + Cause(errno) + "): " + lockPath;
        ::close(fd);
        return Result::Failed;
      }
      if (std::chrono::steady_clock::now() >= deadline) {
        ::close(fd);
        return Result::Busy;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The program before us removes the lock file when it lets go; locked
    // after that, ours is a file nobody else finds: start again on the file
    // the folder has now.
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && ::stat(lockPath.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino)
      break;
    ::close(fd);
  }
  Release();
  fd_ = fd;
  key_ = key;
  document_ = documentPath;
  lockPath_ = lockPath;
  return Result::Locked;
}

void FileLock::Release() {
  if (fd_ < 0) return;
  // Removed while still locked, so that no one else is holding it: the
  // folder does not fill with the locks of every file ever opened.
  ::unlink(lockPath_.c_str());
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
  key_.clear();
  document_.clear();
  lockPath_.clear();
}

}  // namespace pit::platform
