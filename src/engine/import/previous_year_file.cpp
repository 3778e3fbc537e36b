#include "import/previous_year_file.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "text/bytes.h"
#include "text/cp1250.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

namespace hdr {
constexpr std::size_t IdPit = 8, PM = 16, Kind = 20, TaxYear = 28, TaxpayerIdKind = 84, SpouseIdKind = 88;
constexpr std::size_t Size = 96;
}  // namespace hdr
namespace slot {
constexpr std::size_t Size = 740, Value = 36, OfficeCode = 546, CheckState = 656;
constexpr std::size_t ValueWidth = 255, OfficeCodeWidth = 60;
}  // namespace slot

static_assert(hdr::Size + kPreviousYearSlotCount * slot::Size == kPreviousYearRecordSize);

bool InRange(int n) { return n >= 0 && n < kPreviousYearSlotCount; }

std::size_t SlotAt(int n) { return hdr::Size + static_cast<std::size_t>(n) * slot::Size; }

}  // namespace

int PreviousYearRecord::IdPit() const { return GetI32(r_ + hdr::IdPit); }
int PreviousYearRecord::PM() const { return GetI32(r_ + hdr::PM); }
int PreviousYearRecord::Kind() const { return GetI32(r_ + hdr::Kind); }
int PreviousYearRecord::TaxpayerIdKind() const { return GetI32(r_ + hdr::TaxpayerIdKind); }
int PreviousYearRecord::SpouseIdKind() const { return GetI32(r_ + hdr::SpouseIdKind); }
int PreviousYearRecord::TaxYear() const { return GetI32(r_ + hdr::TaxYear); }

std::string PreviousYearRecord::Value(int n) const {
  return InRange(n) ? WithoutControls(ReadFixedText(r_ + SlotAt(n) + slot::Value, slot::ValueWidth)) : std::string();
}

std::string PreviousYearRecord::OfficeCode(int n) const {
  return InRange(n) ? ReadFixedText(r_ + SlotAt(n) + slot::OfficeCode, slot::OfficeCodeWidth) : std::string();
}

bool PreviousYearRecord::CheckState(int n) const { return InRange(n) && r_[SlotAt(n) + slot::CheckState] != 0; }

void ForEachPreviousYearRecord(const std::uint8_t* bytes, std::size_t size, const PreviousYearVisitor& visit) {
  const std::size_t count = size / kPreviousYearRecordSize;
  for (std::size_t i = 0; i < count; ++i) visit(PreviousYearRecord(bytes + i * kPreviousYearRecordSize));
}

PreviousYearRead ReadPreviousYearFile(const std::string& path, const PreviousYearVisitor& visit) {
  std::error_code ec;
  const fs::path p = fs::u8path(path);
  if (!fs::exists(p, ec)) return PreviousYearRead::Missing;
  if (!fs::is_regular_file(p, ec)) return PreviousYearRead::Unreadable;
  std::ifstream in(p, std::ios::binary);
  if (!in) return PreviousYearRead::Unreadable;
  std::vector<std::uint8_t> record(kPreviousYearRecordSize);
  for (;;) {
    in.read(reinterpret_cast<char*>(record.data()), static_cast<std::streamsize>(record.size()));
    if (static_cast<std::size_t>(in.gcount()) < record.size()) break;  // end, or a partial tail
    visit(PreviousYearRecord(record.data()));
  }
  if (in.bad()) return PreviousYearRead::Unreadable;
  return PreviousYearRead::Ok;
}

}  // namespace pit
