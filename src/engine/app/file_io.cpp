#include "app/file_io.h"

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::uint64_t limit) {
  std::error_code ec;
  if (!fs::is_regular_file(fs::u8path(path), ec)) return std::nullopt;
  std::ifstream in(fs::u8path(path), std::ios::binary);
  if (!in) return std::nullopt;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uint64_t>(size) > limit) return std::nullopt;
  in.seekg(0, std::ios::beg);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
  return bytes;
}

namespace {

WriteError FromErrno(int err) {
  switch (err) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return WriteError::NoSpace;
    case EACCES:
    case EPERM:
      return WriteError::NoPermission;
    case EROFS:
      return WriteError::ReadOnly;
    case EISDIR:
      return WriteError::IsFolder;
    case ENOENT:
    case ENOTDIR:
      return WriteError::NoFolder;
    default:
      return WriteError::Other;
  }
}

constexpr const char* kTemporaryMark = ".tmp-";
constexpr std::size_t kTemporaryTagLength = 8;
// The longest file name the file systems of the system take (NAME_MAX).
constexpr std::size_t kLongestName = 255;

OwnerKeeper& Keeper() {
  static OwnerKeeper keeper;
  return keeper;
}

// The part of a temporary file's name before its mark: the target's name,
// or for a name too long to take the mark, as much of it as fits (cut
// between characters) and a hash of the whole, so that the temporary always
// fits and still belongs to this target alone.
std::string TemporaryBase(const std::string& name) {
  const std::size_t room = kLongestName - std::char_traits<char>::length(kTemporaryMark) - kTemporaryTagLength;
  if (name.size() <= room) return name;
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (unsigned char c : name) {
    h ^= c;
    h *= 16777619u;
  }
  char tag[10];
  std::snprintf(tag, sizeof tag, "~%08x", static_cast<unsigned>(h));
  std::size_t keep = room - (sizeof tag - 1);
  while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
  return name.substr(0, keep) + tag;
}

bool IsTemporaryOf(const std::string& name, const std::string& target) {
  const std::string prefix = TemporaryBase(target) + kTemporaryMark;
  if (name.size() != prefix.size() + kTemporaryTagLength || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

// A save killed between writing and renaming leaves its temporary file. One
// younger than a couple of minutes may belong to a save still running in
// another process, so only older ones go.
void RemoveStaleTemporaries(const fs::path& target) {
  std::error_code ec;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string base = target.filename().u8string();
  const auto cutoff = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsTemporaryOf(it->path().filename().u8string(), base)) continue;
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc) || it->is_symlink(fileEc)) continue;
    const auto written = fs::last_write_time(it->path(), fileEc);
    if (!fileEc && written < cutoff) fs::remove(it->path(), fileEc);
  }
}

// The file a path names after following its symbolic links (a chain of at
// most 40, as the system allows); nullopt for a loop.
std::optional<fs::path> ResolveLinks(fs::path p) {
  std::error_code ec;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
    if (hops >= 40) return std::nullopt;
    const fs::path next = fs::read_symlink(p, ec);
    if (ec) return std::nullopt;
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  return p;
}

}  // namespace

WriteError WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, NewFileAccess access) {
  const std::optional<fs::path> resolved = ResolveLinks(fs::u8path(path));
  if (!resolved) return WriteError::NotRegular;
  const fs::path& target = *resolved;
  std::error_code ec;
  const fs::file_status st = fs::status(target, ec);
  const bool replacing = fs::exists(st);
  if (replacing) {
    if (fs::is_directory(st)) return WriteError::IsFolder;
    if (!fs::is_regular_file(st)) return WriteError::NotRegular;
    if ((st.permissions() & fs::perms::owner_write) == fs::perms::none) return WriteError::ReadOnly;
  } else {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) return WriteError::NoFolder;
  }
  RemoveStaleTemporaries(target);

  const fs::perms mode = replacing ? st.permissions()
                         : access == NewFileAccess::OwnerOnly
                             ? fs::perms::owner_read | fs::perms::owner_write
                             : fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                   fs::perms::others_read;
  const fs::path tmp =
      target.parent_path() /
      fs::u8path(TemporaryBase(target.filename().u8string()) + kTemporaryMark + NewGuidText().substr(0, kTemporaryTagLength));
  int err = 0;
  {
    errno = 0;
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return FromErrno(errno);
    // Before any byte is written, so tax data is never readable by others.
    fs::permissions(tmp, mode, fs::perm_options::replace, ec);
    if (!bytes.empty()) out.write(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) err = errno != 0 ? errno : EIO;
    out.close();
    if (err == 0 && out.fail()) err = errno != 0 ? errno : EIO;
  }
  if (err == 0 && replacing && Keeper()) Keeper()(tmp.u8string(), target.u8string());
  if (err == 0) {
    fs::rename(tmp, target, ec);
    if (ec) err = ec.value();
  }
  if (err != 0) {
    std::error_code removeEc;
    fs::remove(tmp, removeEc);
    return FromErrno(err);
  }
  return WriteError::None;
}

void SetOwnerKeeper(OwnerKeeper keep) { Keeper() = std::move(keep); }

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return WriteFileReplacing(path, bytes, NewFileAccess::Everyone) == WriteError::None;
}

std::string WriteErrorCause(WriteError e) {
  switch (e) {
    case WriteError::IsFolder: return "Pod tą nazwą jest folder, a nie plik.";
    case WriteError::NotRegular: return "Pod tą nazwą nie ma zwykłego pliku (urządzenie, potok lub zapętlony skrót).";
    case WriteError::ReadOnly: return "Plik lub dysk jest tylko do odczytu.";
    case WriteError::NoPermission: return "Brak uprawnień do zapisu w tym miejscu.";
    case WriteError::NoSpace: return "Brak wolnego miejsca na dysku.";
    case WriteError::NoFolder: return "Folder, w którym miał powstać plik, nie istnieje.";
    case WriteError::None:
    case WriteError::Other: break;
  }
  return {};
}

std::string OutputFailureMessage(const std::string& path, WriteError e) {
  std::string message = "Nie można zapisać pliku " + path;
  const std::string cause = WriteErrorCause(e);
  if (!cause.empty()) message += "\n" + cause;
  return message;
}

std::uint64_t ContentFingerprint(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint8_t c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

bool MakePrivateFolders(const std::string& path) {
  std::error_code ec;
  const fs::path target = fs::absolute(fs::u8path(path), ec).lexically_normal();
  if (ec) return false;
  fs::path made;
  for (const fs::path& part : target) {
    made /= part;
    if (part.empty() || fs::is_directory(made, ec)) continue;
    if (fs::create_directory(made, ec)) {
      fs::permissions(made, fs::perms::owner_all, fs::perm_options::replace, ec);
    } else if (!fs::is_directory(made, ec)) {
      return false;
    }
  }
  return fs::is_directory(target, ec);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::u8path(path), ec);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return (fs::u8path(folder) / fs::u8path(name)).u8string();
}

std::string FileNamePart(const std::string& path) { return fs::u8path(path).filename().u8string(); }

}  // namespace pit
