#include "app/install_paths.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "refdata/dictionaries.h"

namespace pit {

namespace fs = std::filesystem;

namespace {

bool HasDcFolder(const fs::path& folder) {
  std::error_code ec;
  return fs::is_directory(folder / "dc", ec);
}

// FNV-1a: a stable name, not a secret.
std::uint64_t Fnv1a(const std::string& text, std::uint64_t h = 1469598103934665603ull) {
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

std::string Absolute(const char* variable) {
  const char* v = std::getenv(variable);
  if (v == nullptr || *v != '/') return {};
  return v;
}

}  // namespace

std::string DataFolderFor(const std::string& executableFolder) {
  const fs::path exe = fs::u8path(executableFolder);
  if (HasDcFolder(exe)) return executableFolder;
  const fs::path installed = exe.parent_path() / "share" / "pit2014";
  if (HasDcFolder(installed)) return installed.lexically_normal().u8string();
  return executableFolder;
}

std::string UserCacheFolder() {
  std::string base = Absolute("XDG_CACHE_HOME");
  if (base.empty()) {
    const std::string home = Absolute("HOME");
    if (home.empty()) return {};
    base = home + "/.cache";
  }
  return base + "/pit2014";
}

std::string DictionaryCacheFolder(const std::string& bibFolder) {
  const std::string cache = UserCacheFolder();
  if (cache.empty()) return {};
  std::error_code ec;
  fs::path source = fs::weakly_canonical(fs::u8path(bibFolder), ec);
  if (ec) source = fs::u8path(bibFolder);
  std::string key = source.u8string();
  for (const char* name : {kTaxOfficeSourceName, kCountrySourceName}) {
    const fs::path file = source / name;
    std::error_code sizeEc, timeEc;
    const auto size = fs::file_size(file, sizeEc);
    const auto time = fs::last_write_time(file, timeEc);
    key += '\n';
    key += name;
    key += ' ' + std::to_string(sizeEc ? 0 : size);
    key += ' ' + std::to_string(timeEc ? 0 : static_cast<long long>(time.time_since_epoch().count()));
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Fnv1a(key)));
  const fs::path folder = fs::u8path(cache) / "bib" / hex;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder, ec)) return {};
  // Only the user reads what the program derives.
  for (const fs::path& p : {fs::u8path(cache), fs::u8path(cache) / "bib", folder})
    fs::permissions(p, fs::perms::owner_all, fs::perm_options::replace, ec);
  return folder.u8string();
}

}  // namespace pit
