#pragma once
// The settlement file of the previous tax year (.dc2013): records of 259096
// bytes without a header, laid out like this year's records except that the
// header is 96 bytes (it has no spouse-data flag). This is the only code that
// knows its offsets. Only what the data import reads is exposed.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace pit {

constexpr std::size_t kPreviousYearRecordSize = 259096;
constexpr int kPreviousYearSlotCount = 350;
// The year the program of the previous year stamped into every record.
constexpr int kPreviousTaxYear = 2013;

// A view of one whole record; the bytes stay owned by the reader.
class PreviousYearRecord {
 public:
  explicit PreviousYearRecord(const std::uint8_t* record) : r_(record) {}

  int IdPit() const;
  int PM() const;
  int Kind() const;
  int TaxpayerIdKind() const;
  int SpouseIdKind() const;
  int TaxYear() const;
  // Slot texts and tick; empty/false for a slot number outside the record.
  std::string Value(int slot) const;
  std::string OfficeCode(int slot) const;
  bool CheckState(int slot) const;

 private:
  const std::uint8_t* r_;
};

using PreviousYearVisitor = std::function<void(const PreviousYearRecord&)>;

// Every whole record of `bytes` in file order; a trailing part shorter than
// a record is ignored.
void ForEachPreviousYearRecord(const std::uint8_t* bytes, std::size_t size, const PreviousYearVisitor& visit);

enum class PreviousYearRead { Ok, Missing, Unreadable };

// The same for a file, read one record at a time so that a huge file costs
// no more memory than one record.
PreviousYearRead ReadPreviousYearFile(const std::string& path, const PreviousYearVisitor& visit);

}  // namespace pit
