#include <cstddef>
#include <cstdint>
#include <vector>

#include "forms/definition_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  if (auto d = pit::DecodeFormDescription(bytes)) {
    const auto again = pit::EncodeFormDescription(*d);
    if (again.size() != pit::kFormDescriptionSize) __builtin_trap();
  }
  return 0;
}
