#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pit {

// Whole file as bytes; nullopt when it cannot be opened or read.
// Files larger than `limit` are refused so a hostile file cannot exhaust memory.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::uint64_t limit = 512ull << 20);

// Writes the bytes to a temporary file in the same folder and renames it over
// `path`, so that a failed write leaves the previous file as it was.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool FileExists(const std::string& path);

// Folder of a path joined with a name, with the native separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// File name part of a path.
std::string FileNamePart(const std::string& path);

}  // namespace pit
