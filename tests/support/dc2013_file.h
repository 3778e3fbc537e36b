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

#include "forms/pit37_fields.h"
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
  r.idPit = pit37::kForm;
  r.kind = 1;
  r.taxpayerIdKind = 0;
  r.spouseIdKind = 1;
  using namespace pit37;
  r.values = {{taxpayer_id, "1234563218"},
              {spouse_id, "80010112340"},
              {office, "URZĄD SKARBOWY W BOLESŁAWCU"},
              {taxpayer_surname, "NOWAK"},
              {taxpayer_first_name, "JAN"},
              {taxpayer_birth_date, "01-02-1970"},
              {taxpayer_voivodeship, "DOLNOŚLĄSKIE"},
              {taxpayer_county, "BOLESŁAWIECKI"},
              {taxpayer_commune, "BOLESŁAWIEC"},
              {taxpayer_street, "OGRODOWA"},
              {taxpayer_house_no, "12"},
              {taxpayer_flat_no, "3"},
              {taxpayer_town, "BOLESŁAWIEC"},
              {taxpayer_postal_code, "59-700"},
              {taxpayer_post_office, "BOLESŁAWIEC"},
              {taxpayer_country, "POLSKA"},
              {spouse_surname, "NOWAK"},
              {spouse_first_name, "ANNA"},
              {spouse_birth_date, "01-01-1980"},
              {spouse_voivodeship, "DOLNOŚLĄSKIE"},
              {spouse_county, "BOLESŁAWIECKI"},
              {spouse_commune, "BOLESŁAWIEC"},
              {spouse_street, "OGRODOWA"},
              {spouse_house_no, "12"},
              {spouse_flat_no, "3"},
              {spouse_town, "BOLESŁAWIEC"},
              {spouse_postal_code, "59-700"},
              {spouse_post_office, "BOLESŁAWIEC"},
              {spouse_country, "POLSKA"}};
  r.officeCodes = {{office, "0202"}};
  return r;
}

}  // namespace pit::testsupport
