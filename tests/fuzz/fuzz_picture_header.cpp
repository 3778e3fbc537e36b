#include <cstddef>
#include <cstdint>
#include <vector>

#include "forms/definition_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  if (auto s = pit::ReadPictureSize(bytes)) {
    if (s->width <= 0 || s->height <= 0) __builtin_trap();
    (void)pit::PageHeightFor800(*s);
  }
  return 0;
}
