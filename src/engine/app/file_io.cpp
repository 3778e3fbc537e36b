#include "app/file_io.h"

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

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const fs::path target = fs::u8path(path);
  fs::path tmp = target;
  tmp += ".tmp-" + NewGuidText().substr(0, 8);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    if (!bytes.empty()) out.write(reinterpret_cast<const char*>(bytes.data()),
                                  static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ec;
      fs::remove(tmp, ec);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(tmp, target, ec);
  if (ec) {
    fs::remove(tmp, ec);
    return false;
  }
  return true;
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
