#pragma once
// Saving replaces a file by a new one, which belongs to whoever saves. Run
// as root (or by a member of the file's group) on another user's file, that
// would take the file away from its owner. Standard library and POSIX only:
// the command-line program uses it without Qt.
#include <string>

namespace pit::platform {

// Gives the fully written `temporary` the owner and group of `replaced`, as
// far as the process may (an ordinary user can still keep the group, when a
// member of it). Only a regular file of the process's own with one name is
// changed, so a file swapped in underneath is never given away.
void KeepOwner(const std::string& temporary, const std::string& replaced);

// Makes every replacing write of the engine keep owners (SetOwnerKeeper).
void KeepOwnersOfReplacedFiles();

}  // namespace pit::platform
