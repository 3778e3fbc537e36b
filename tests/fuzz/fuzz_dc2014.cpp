// Settlement documents are untrusted: any bytes must load into a usable
// settlement (or an empty one) and save again, without a crash.
#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/document.h"
#include "forms/definition_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Records are large and mostly empty: the input goes into the header and
  // first slots of each record, and its tail into the last slot, so the
  // fuzzer's bytes land where the decoder makes decisions.
  if (size == 0) return 0;
  const std::size_t records = 1 + data[0] % 3;
  std::vector<std::uint8_t> bytes(pit::kEntryRecordSize * records + (data[size - 1] % 2 ? 17 : 0), 0);
  const std::size_t head = std::min<std::size_t>(size, 6000);
  const std::size_t tail = std::min<std::size_t>(size, pit::kSlotSize);
  for (std::size_t r = 0; r < records; ++r) {
    std::uint8_t* rec = bytes.data() + r * pit::kEntryRecordSize;
    std::copy(data, data + head, rec);
    std::copy(data + size - tail, data + size, rec + pit::kEntryRecordSize - tail);
  }
  pit::Settlement s;
  pit::DecodeSettlement(bytes, s);
  pit::DefinitionLibrary defs("/nonexistent-dc");
  s.RebuildTree(defs);
  pit::RefreshFromDefinitions(s, defs);
  s.StampEntries();
  const std::vector<std::uint8_t> again = pit::EncodeSettlement(s);
  if (again.size() != static_cast<std::size_t>(s.Count()) * pit::kEntryRecordSize) __builtin_trap();
  (void)s.TreeOrder();
  return 0;
}
