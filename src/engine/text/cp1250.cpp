#include "text/cp1250.h"

#include <array>
#include <cstring>

namespace pit {
namespace {

// Unicode code points of bytes 0x80..0xFF; 0 marks an unassigned byte.
constexpr std::array<char32_t, 128> kHigh = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021,
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one code point at s[i]; advances i. Invalid sequences give
// U+FFFD and consume one byte so that decoding always progresses.
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra = 0;
  char32_t cp = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3;
    cp = b0 & 0x07;
  } else {
    ++i;
    return 0xFFFD;
  }
  if (i + extra >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += extra + 1;
  return cp;
}

unsigned char EncodeOne(char32_t cp) {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  for (std::size_t k = 0; k < kHigh.size(); ++k) {
    if (kHigh[k] == cp) return static_cast<unsigned char>(0x80 + k);
  }
  return '?';
}

}  // namespace

std::string Utf8ToCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) out += static_cast<char>(EncodeOne(NextCodePoint(utf8, i)));
  return out;
}

std::string Cp1250ToUtf8(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size() + cp1250.size() / 4);
  for (char c : cp1250) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      const char32_t cp = kHigh[b - 0x80];
      if (cp == 0) {
        out += '?';
      } else {
        AppendUtf8(out, cp);
      }
    }
  }
  return out;
}

std::size_t Cp1250Length(std::string_view utf8) {
  std::size_t n = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    NextCodePoint(utf8, i);
    ++n;
  }
  return n;
}

std::string FitWidth(std::string_view utf8, std::size_t width) {
  if (width == 0) return {};
  const std::size_t keep = width - 1;
  std::size_t i = 0;
  std::size_t n = 0;
  while (i < utf8.size() && n < keep) {
    NextCodePoint(utf8, i);
    ++n;
  }
  if (i >= utf8.size()) return std::string(utf8);
  return std::string(utf8.substr(0, i));
}

std::string ReadFixedText(const std::uint8_t* field, std::size_t width) {
  std::size_t n = 0;
  while (n < width && field[n] != 0) ++n;
  return Cp1250ToUtf8(std::string_view(reinterpret_cast<const char*>(field), n));
}

void WriteFixedText(std::uint8_t* field, std::size_t width, std::string_view utf8) {
  if (width == 0) return;
  std::memset(field, 0, width);
  const std::string enc = Utf8ToCp1250(utf8);
  const std::size_t n = enc.size() < width - 1 ? enc.size() : width - 1;
  std::memcpy(field, enc.data(), n);
}

std::string WithoutControls(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t start = i;
    const char32_t cp = NextCodePoint(utf8, i);
    if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) continue;
    out.append(utf8.substr(start, i - start));
  }
  return out;
}

bool FitsCp1250(std::string_view utf8) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t cp = NextCodePoint(utf8, i);
    if (cp != '?' && EncodeOne(cp) == '?') return false;
  }
  return true;
}

std::string UpperPl(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = NextCodePoint(utf8, i);
    if (cp >= 'a' && cp <= 'z') {
      cp -= 32;
    } else {
      switch (cp) {
        case 0x0105: cp = 0x0104; break;  // ą
        case 0x0107: cp = 0x0106; break;  // ć
        case 0x0119: cp = 0x0118; break;  // ę
        case 0x0142: cp = 0x0141; break;  // ł
        case 0x0144: cp = 0x0143; break;  // ń
        case 0x00F3: cp = 0x00D3; break;  // ó
        case 0x015B: cp = 0x015A; break;  // ś
        case 0x017A: cp = 0x0179; break;  // ź
        case 0x017C: cp = 0x017B; break;  // ż
        default: break;
      }
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace pit
