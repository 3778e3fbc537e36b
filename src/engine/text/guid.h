#pragma once
#include <string>

namespace pit {

// A fresh GUID as 36 upper-case hexadecimal characters with four dashes,
// without braces (version-4 random value).
std::string NewGuidText();

// True for text of exactly that shape.
bool IsGuidText(const std::string& s);

}  // namespace pit
