// Last year's settlement files are untrusted: any bytes must read into the
// import's blocks and go through swap and "importuj" without a crash.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/settlement.h"
#include "calc/identification.h"
#include "import/data_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Records are large and mostly empty: the input goes into the header and
  // the first slots of each record and its tail into the last slots, where
  // the payer forms and the country fields lie.
  if (size == 0) return 0;
  const std::size_t records = 1 + data[0] % 2;
  std::vector<std::uint8_t> bytes(pit::kPreviousYearRecordSize * records + (data[size - 1] % 2 ? 17 : 0), 0);
  const std::size_t head = std::min<std::size_t>(size, 30000);
  const std::size_t tail = std::min<std::size_t>(size, 4000);
  for (std::size_t r = 0; r < records; ++r) {
    std::uint8_t* rec = bytes.data() + r * pit::kPreviousYearRecordSize;
    std::copy(data, data + head, rec);
    std::copy(data + size - tail, data + size, rec + pit::kPreviousYearRecordSize - tail);
  }
  const pit::IdentifierSetting setting{data[0] % 5, data[0] % 2, (data[0] / 2) % 3 - 1};
  pit::DataImport imp;
  imp.ReadBytes(bytes.data(), bytes.size(), setting);
  (void)imp.MismatchMessage();
  if (data[0] & 8) imp.Swap(setting);
  pit::IdentificationRecords ids;
  imp.Apply({true, (data[0] & 16) != 0, (data[0] & 32) != 0}, setting, ids);

  pit::Settlement s;
  s.Open();
  s.Kind = setting.kind;
  for (int idPit : {pit::kPit37, pit::kPit38, pit::kPit11, pit::kPit40}) s.AddEntry(idPit, 0, idPit % 3, setting.kind);
  pit::DistributeIdentification(s, ids);
  return 0;
}
