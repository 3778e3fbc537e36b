#include "platform/file_lock.h"

#include <fcntl.h>
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

}  // namespace

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

std::string FileLock::LockPathFor(const std::string& documentPath) {
  char name[64];
  std::snprintf(name, sizeof name, "/pit2014-doc-%016llx.lock",
                static_cast<unsigned long long>(Fnv1a(FullPath(documentPath))));
  return PrivateRuntimeFolder() + name;
}

FileLock::Result FileLock::Acquire(const std::string& documentPath, int waitMs) {
  if (Held() && document_ == FullPath(documentPath)) return Result::Locked;
  Release();
  const std::string lockPath = LockPathFor(documentPath);
  // O_CLOEXEC: a program started from here must not keep the lock after us.
  const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return Result::Failed;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    if (errno != EWOULDBLOCK && errno != EINTR) {
      ::close(fd);
      return Result::Failed;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return Result::Busy;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  fd_ = fd;
  document_ = FullPath(documentPath);
  return Result::Locked;
}

void FileLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
  document_.clear();
}

}  // namespace pit::platform
