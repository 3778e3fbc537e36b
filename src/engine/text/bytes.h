#pragma once
// Little-endian integers inside fixed-size records. Callers check the
// record's size once; these helpers never look outside the span given.
#include <cstdint>
#include <cstring>

namespace pit {

inline std::int32_t GetI32(const std::uint8_t* p) {
  const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                          (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  std::int32_t r;
  std::memcpy(&r, &v, 4);
  return r;
}

inline void PutI32(std::uint8_t* p, std::int32_t value) {
  std::uint32_t v;
  std::memcpy(&v, &value, 4);
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t GetU32(const std::uint8_t* p) { return static_cast<std::uint32_t>(GetI32(p)); }

}  // namespace pit
