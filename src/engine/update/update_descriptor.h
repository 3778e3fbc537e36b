#pragma once
// The on-line update check's rules: version numbers, the update descriptor
// "update.ini" (section "UPDATE", keys "Ver", "File" and, when the server
// gives one, "SHA256") and the server's address as the configuration gives it.
#include <cstdint>
#include <optional>
#include <string>

namespace pit {

// A version text with every "." removed, read as a decimal number; an empty
// text is 0, and so is a text that is not a number (nothing is offered
// against it). "14.0.0.3" is 14003, "14.0.0.12" is 140012.
std::int64_t VersionNumber(const std::string& text);
bool IsNewerVersion(const std::string& current, const std::string& offered);

struct UpdateDescriptor {
  std::string Ver;
  std::string File;
  std::string Sha256;  // 64 lower-case hexadecimal digits, or empty
};

// Reads the INI text (any line ends; keys and the section name in any case).
UpdateDescriptor ParseUpdateDescriptor(const std::string& text);

// An installer name the program may write into its temporary folder: a
// plain file name, no folder part, nothing hidden. The descriptor comes from
// the network, so a name like "../x" must never become a path.
bool IsSafeInstallerName(const std::string& name);
// A SHA256 value as the descriptor may carry it: 64 hexadecimal digits.
bool IsSha256Text(const std::string& text);

// Paths on the update server.
constexpr const char* kUpdateFolderPath = "/aktualizacja/pit2014/";
constexpr const char* kUpdateDescriptorName = "update.ini";
constexpr const char* kDefaultUpdateServer = "https://www.korvan.pl";

// The server address from the configuration: https unless the setting names
// http explicitly; a setting without a scheme means https; other schemes
// and addresses with spaces are refused (nullopt). No trailing "/".
std::optional<std::string> UpdateServerBase(const std::string& setting);

}  // namespace pit
