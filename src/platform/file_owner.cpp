#include "platform/file_owner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/file_io.h"

namespace pit::platform {

void KeepOwner(const std::string& temporary, const std::string& replaced) {
  struct stat want {};
  if (::stat(replaced.c_str(), &want) != 0) return;
  const int fd = ::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  struct stat have {};
  if (::fstat(fd, &have) == 0 && S_ISREG(have.st_mode) && have.st_nlink == 1 && have.st_uid == ::geteuid() &&
      (have.st_uid != want.st_uid || have.st_gid != want.st_gid)) {
    if (::fchown(fd, want.st_uid, want.st_gid) != 0 && have.st_gid != want.st_gid) {
      // Not allowed to give the file away: the group may still be kept.
      (void)::fchown(fd, static_cast<uid_t>(-1), want.st_gid);
    }
  }
  ::close(fd);
}

void KeepOwnersOfReplacedFiles() { SetOwnerKeeper(&KeepOwner); }

}  // namespace pit::platform
