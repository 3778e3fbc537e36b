// Last year's settlement through the whole import as "importuj" runs it:
// whatever the bytes, a file that gives nothing leaves the settlement's data
// as they were, and what is taken has passed the checks of typed values.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/field_checks.h"
#include "import/data_import.h"
#include "text/bytes.h"

namespace {

bool SameRecord(const pit::IdentificationRecord& a, const pit::IdentificationRecord& b) {
  return a.NIP == b.NIP && a.PESEL == b.PESEL && a.Surname == b.Surname && a.FirstName == b.FirstName &&
         a.BirthDate == b.BirthDate && a.TaxOffice == b.TaxOffice && a.TaxOfficeCode == b.TaxOfficeCode &&
         a.PostalCode == b.PostalCode && a.Town == b.Town;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // A record is 259096 bytes: the input fills the header and the first
  // slots; a flag stamps last year into it so that the readers behind the
  // year check are reached too.
  const std::size_t records = 1 + data[0] % 2;
  std::vector<std::uint8_t> bytes(pit::kPreviousYearRecordSize * records + (data[1] % 2 ? 17 : 0), 0);
  const std::size_t head = std::min<std::size_t>(size, 30000);
  for (std::size_t r = 0; r < records; ++r) {
    std::uint8_t* rec = bytes.data() + r * pit::kPreviousYearRecordSize;
    std::copy(data, data + head, rec);
    if (data[1] & 2) pit::PutI32(rec + 28, pit::kPreviousTaxYear);
  }
  const pit::IdentifierSetting setting{data[0] % 5, (data[1] / 4) % 2, (data[1] / 8) % 3 - 1};

  pit::IdentificationRecords ids;
  ids.Taxpayer.NIP = "5260250995";
  ids.Taxpayer.Surname = "KOWALSKA";
  ids.Spouse.PESEL = "80010112340";
  ids.Payer.NIP = "5260250274";
  const pit::IdentificationRecords before = ids;

  pit::DataImport imp;
  const pit::ImportReadStatus st = imp.ReadBytes(bytes.data(), bytes.size(), setting);
  if (data[1] & 16) imp.Swap(setting);
  pit::ImportChecks checks;
  checks.officeKnown = [](const std::string& code) { return code == "1435"; };
  const pit::ImportOutcome o =
      imp.Apply({(data[1] & 32) != 0, (data[1] & 64) != 0, (data[1] & 128) != 0}, setting, ids, checks);
  (void)pit::ImportOutcomeText(o);

  if (st != pit::ImportReadStatus::Ok || !o.AnyWritten()) {
    if (!SameRecord(ids.Taxpayer, before.Taxpayer) || !SameRecord(ids.Spouse, before.Spouse) ||
        ids.Payer.NIP != before.Payer.NIP)
      std::abort();
    return 0;
  }
  for (const pit::IdentificationRecord* p : {&ids.Taxpayer, &ids.Spouse}) {
    if (!pit::FieldValueProblem(pit::FieldRole::Pesel, p->PESEL).empty()) std::abort();
    if (!pit::FieldValueProblem(pit::FieldRole::BirthDate, p->BirthDate).empty()) std::abort();
    if (!p->TaxOfficeCode.empty() && p->TaxOfficeCode != "1435") std::abort();
  }
  if (!pit::FieldValueProblem(pit::FieldRole::Nip, ids.Payer.NIP).empty() ||
      ids.Payer.NIP.find_first_not_of("0123456789-") != std::string::npos)
    std::abort();

  pit::Settlement s;
  s.Open();
  s.Kind = setting.kind;
  for (int idPit : {pit::kPit37, pit::kPit11}) s.AddEntry(idPit, 0, idPit % 3, setting.kind);
  pit::DistributeIdentification(s, ids);
  return 0;
}
