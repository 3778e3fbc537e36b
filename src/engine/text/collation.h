#pragma once
// The order of texts in the Polish alphabet.
#include <string_view>

namespace pit {

// Order of UTF-8 texts in the Polish alphabet (A Ą B C Ć … S Ś … Z Ź Ż),
// without regard to case: what every list the user reads is sorted by.
// Texts equal but for case keep a fixed order (byte order) between them.
bool PolishLess(std::string_view a, std::string_view b);

}  // namespace pit
