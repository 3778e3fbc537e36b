// Field definition files are read from a folder the user can change.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/settlement.h"
#include "forms/definition_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  // Small inputs are widened to a whole record so the decoder sees them.
  if (bytes.size() < pit::kFieldRecordSize) bytes.resize(pit::kFieldRecordSize, size ? data[0] : 0);
  const auto fields = pit::DecodeFieldObjects(bytes);
  pit::FormEntry e;
  e.IdPit = 6;
  e.IdParent = 1;
  pit::FillSlotsFromDefinition(e, fields);
  const auto back = pit::EncodeFieldObjects(fields);
  if (back.size() != fields.size() * pit::kFieldRecordSize) __builtin_trap();
  for (const auto& f : fields) (void)pit::ParseColour(f.BorderColor);
  return 0;
}
