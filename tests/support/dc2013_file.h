#pragma once
// Builds previous-year settlement files (.dc2013) for the import tests: 96-byte
// headers and 740-byte slots, the Value of slot n at 132 + 740 n, its office
// code 510 bytes further, its tick at 752 + 740 n.
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "text/bytes.h"
#include "text/cp1250.h"

namespace pit::testsupport {

struct OldRecord {
  int idPit = 2;
  int pm = 0;
  int kind = 0;  // 1: joint
  int taxpayerIdKind = 0;
  int spouseIdKind = -1;
  std::map<int, std::string> values;
  std::map<int, std::string> officeCodes;
  std::set<int> ticks;
};

constexpr std::size_t kOldRecordSize = 259096;

inline std::vector<std::uint8_t> OldFile(const std::vector<OldRecord>& records, std::size_t tail = 0) {
  std::vector<std::uint8_t> bytes(records.size() * kOldRecordSize + tail, 0);
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::uint8_t* r = bytes.data() + i * kOldRecordSize;
    const OldRecord& o = records[i];
    PutI32(r + 4, static_cast<std::int32_t>(i + 1));
    PutI32(r + 8, o.idPit);
    PutI32(r + 16, o.pm);
    PutI32(r + 20, o.kind);
    PutI32(r + 28, 2013);
    PutI32(r + 84, o.taxpayerIdKind);
    PutI32(r + 88, o.spouseIdKind);
    for (const auto& [n, v] : o.values) WriteFixedText(r + 132 + 740 * n, 255, v);
    for (const auto& [n, v] : o.officeCodes) WriteFixedText(r + 642 + 740 * n, 60, v);
    for (int n : o.ticks) r[752 + 740 * n] = 1;
  }
  // A tail shorter than a record: bytes that look like a PIT-37 header.
  if (tail >= 12) PutI32(bytes.data() + records.size() * kOldRecordSize + 8, 2);
  return bytes;
}

inline bool WriteOldFile(const std::string& path, const std::vector<OldRecord>& records, std::size_t tail = 0) {
  const std::vector<std::uint8_t> b = OldFile(records, tail);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  return static_cast<bool>(out);
}

// A joint PIT-37 of the previous year: the taxpayer on NIP, the spouse on PESEL.
inline OldRecord JointPit37() {
  OldRecord r;
  r.idPit = 2;
  r.kind = 1;
  r.taxpayerIdKind = 0;
  r.spouseIdKind = 1;
  r.values = {{0, "1234563218"},     {1, "80010112340"},  {7, "URZĄD SKARBOWY W BOLESŁAWCU"},
              {10, "NOWAK"},         {11, "JAN"},         {12, "01-02-1970"},
              {14, "DOLNOŚLĄSKIE"},  {15, "BOLESŁAWIECKI"}, {16, "BOLESŁAWIEC"},
              {17, "OGRODOWA"},      {18, "12"},          {19, "3"},
              {20, "BOLESŁAWIEC"},   {21, "59-700"},      {22, "BOLESŁAWIEC"},
              {140, "POLSKA"},       {23, "NOWAK"},       {24, "ANNA"},
              {25, "01-01-1980"},    {27, "DOLNOŚLĄSKIE"}, {28, "BOLESŁAWIECKI"},
              {29, "BOLESŁAWIEC"},   {30, "OGRODOWA"},    {31, "12"},
              {32, "3"},             {33, "BOLESŁAWIEC"}, {34, "59-700"},
              {35, "BOLESŁAWIEC"},   {141, "POLSKA"}};
  r.officeCodes = {{7, "0202"}};
  return r;
}

}  // namespace pit::testsupport
