// Settlement documents are untrusted: any bytes must load into a usable
// settlement (or an empty one) and save again, without a crash.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/document.h"
#include "forms/definition_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Records are large; repeat the input to reach whole records quickly.
  std::vector<std::uint8_t> bytes;
  if (size == 0) return 0;
  const std::size_t want = pit::kEntryRecordSize * (1 + data[0] % 3);
  bytes.reserve(want);
  while (bytes.size() < want) bytes.insert(bytes.end(), data, data + std::min(size, want - bytes.size()));
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
