#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pit {

// Whole file as bytes; nullopt when it cannot be opened or read.
// Files larger than `limit` are refused so a hostile file cannot exhaust memory.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::uint64_t limit = 512ull << 20);

// Why a file could not be written, so the user is told what to do about it.
enum class WriteError { None, IsFolder, NotRegular, ReadOnly, NoPermission, NoSpace, NoFolder, Other };

// Who may read a file that the write creates: settlements hold tax data and
// are their owner's only; program data (dictionary caches, definitions) are
// readable by every user of an installed program.
enum class NewFileAccess { OwnerOnly, Everyone };

// Writes the bytes to a temporary file in the same folder and renames it over
// `path`, so that a failed write leaves the previous file as it was. A
// symbolic link is written through to the file it names; anything else that
// is not a regular file (a folder, a device, a pipe) is refused, and so is a
// file without its owner's write permission. The replaced file keeps its
// permissions; a new one gets those of `access`. Temporary files of earlier
// writes of the same path that were interrupted are removed.
WriteError WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes,
                              NewFileAccess access = NewFileAccess::OwnerOnly);

// Called by WriteFileReplacing before its temporary file (written in full)
// takes the place of an existing file, to give it that file's owner and
// group where the process may: saving as another user (root) must not take
// the user's file away from them. The engine has no call for that; each
// program installs the system's (platform::KeepOwnersOfReplacedFiles).
using OwnerKeeper = std::function<void(const std::string& temporary, const std::string& replaced)>;
void SetOwnerKeeper(OwnerKeeper keep);

// WriteFileReplacing for program data, reduced to success or failure.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The cause in Polish, to follow "Brak dostępu do pliku: " + path; empty for
// None and Other.
std::string WriteErrorCause(WriteError e);

// Makes folder `path` with every missing folder above it, each with no
// access for others: what the program writes holds tax data. Folders that
// are there already are left as they are. True when `path` is a folder.
bool MakePrivateFolders(const std::string& path);

// "Nie można zapisać pliku " + path, and the cause on a line of its own:
// for the files the program makes besides settlements (prints, pictures).
std::string OutputFailureMessage(const std::string& path, WriteError e);

// A fingerprint of a file's bytes: two versions of a file that differ in
// any byte have different ones (FNV-1a, 64 bits; not for hostile input).
std::uint64_t ContentFingerprint(const std::vector<std::uint8_t>& bytes);

bool FileExists(const std::string& path);

// Folder of a path joined with a name, with the native separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// File name part of a path.
std::string FileNamePart(const std::string& path);

}  // namespace pit
