#include "update/update_descriptor.h"

#include <cctype>

namespace pit {
namespace {

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::int64_t VersionNumber(const std::string& text) {
  std::int64_t n = 0;
  int digits = 0;
  for (char c : Trim(text)) {
    if (c == '.') continue;
    if (c < '0' || c > '9') return 0;
    if (++digits > 18) return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool IsNewerVersion(const std::string& current, const std::string& offered) {
  return VersionNumber(current) < VersionNumber(offered);
}

UpdateDescriptor ParseUpdateDescriptor(const std::string& text) {
  UpdateDescriptor d;
  bool inSection = false;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[') {
      inSection = Lower(line) == "[update]";
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = Lower(Trim(line.substr(0, eq)));
    const std::string value = Trim(line.substr(eq + 1));
    if (key == "ver") d.Ver = value;
    else if (key == "file") d.File = value;
    else if (key == "sha256") d.Sha256 = Lower(value);
  }
  return d;
}

bool IsSafeInstallerName(const std::string& name) {
  if (name.empty() || name.size() > 200 || name[0] == '.') return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
        c == '>' || c == '|')
      return false;
  }
  return true;
}

bool IsSha256Text(const std::string& text) {
  if (text.size() != 64) return false;
  for (char c : text)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::optional<std::string> UpdateServerBase(const std::string& setting) {
  std::string s = Trim(setting);
  if (s.empty()) s = kDefaultUpdateServer;
  std::string scheme = "https";
  std::string rest = s;
  if (const std::size_t sep = s.find("://"); sep != std::string::npos) {
    scheme = Lower(s.substr(0, sep));
    if (scheme != "https" && scheme != "http") return std::nullopt;
    rest = s.substr(sep + 3);
  }
  while (!rest.empty() && rest.back() == '/') rest.pop_back();
  if (rest.empty()) return std::nullopt;
  for (char c : rest)
    if (std::isspace(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) < 0x20) return std::nullopt;
  return scheme + "://" + rest;
}

}  // namespace pit
