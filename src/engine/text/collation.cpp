#include "text/collation.h"

#include <cstddef>
#include <cstdint>

namespace pit {
namespace {

// The next code point of UTF-8 text; a byte that starts no valid sequence
// stands for itself, so broken text still sorts in a fixed order.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  const int more = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (more == 0 || i + static_cast<std::size_t>(more) >= s.size()) {
    ++i;
    return b;
  }
  char32_t cp = b & (0x3F >> more);
  for (int k = 1; k <= more; ++k) {
    const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += static_cast<std::size_t>(more) + 1;
  return cp;
}

// A character's place in the Polish alphabet. Letters fold to upper case;
// a Polish letter comes right after its base letter; every other character
// keeps its code point order, so digits and punctuation stay before letters.
std::uint32_t PolishRank(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') cp -= 32;
  switch (cp) {
    case 0x0104: case 0x0105: return 'A' * 4 + 1;  // Ą
    case 0x0106: case 0x0107: return 'C' * 4 + 1;  // Ć
    case 0x0118: case 0x0119: return 'E' * 4 + 1;  // Ę
    case 0x0141: case 0x0142: return 'L' * 4 + 1;  // Ł
    case 0x0143: case 0x0144: return 'N' * 4 + 1;  // Ń
    case 0x00D3: case 0x00F3: return 'O' * 4 + 1;  // Ó
    case 0x015A: case 0x015B: return 'S' * 4 + 1;  // Ś
    case 0x0179: case 0x017A: return 'Z' * 4 + 1;  // Ź
    case 0x017B: case 0x017C: return 'Z' * 4 + 2;  // Ż
    default: return static_cast<std::uint32_t>(cp) * 4;
  }
}

}  // namespace

bool PolishLess(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::uint32_t ra = PolishRank(NextCodePoint(a, i));
    const std::uint32_t rb = PolishRank(NextCodePoint(b, j));
    if (ra != rb) return ra < rb;
  }
  if ((i < a.size()) != (j < b.size())) return j < b.size();
  return a < b;
}

}  // namespace pit
