#pragma once
// The identification data of the persons, typed once and shown on every form.
#include <string>

namespace pit {

class Settlement;

// Widths in bytes of Windows-1250, terminating zero included.
namespace idw {
constexpr std::size_t NIP = 14, TaxOffice = 255, TaxOfficeCode = 10, Surname = 255, FirstName = 255,
                      BirthDate = 11, PESEL = 13, Voivodeship = 255, County = 255, Country = 255,
                      Commune = 255, Street = 255, HouseNo = 10, FlatNo = 10, Town = 255,
                      PostalCode = 8, PostOffice = 255, Text = 255;
}

struct IdentificationRecord {
  std::string NIP, TaxOffice, TaxOfficeCode, Surname, FirstName, BirthDate, PESEL, Voivodeship,
      County, Country, Commune, Street, HouseNo, FlatNo, Town, PostalCode, PostOffice;
};

// The payer-form fields kept after the taxpayer's record.
struct PayerFormFields {
  bool VariantA = false, VariantB = false;
  std::string VariantAText, VariantBText;
};

struct PayerRecord {
  std::string NIP, PayerName1, PayerName2, PayerName3, PayerName4, PayerName5;
};

struct IdentificationRecords {
  IdentificationRecord Taxpayer;
  PayerFormFields PayerForm;
  IdentificationRecord Spouse;
  PayerRecord Payer;

  // A new settlement starts with all three records empty.
  void Clear() { *this = IdentificationRecords{}; }
};

// The country field of the address whose postal code is field `postalField`
// of entry `entry`, -1 when that field is no person's postal code here or
// the address has no country on this form.
int AddressCountryFieldOf(const Settlement& s, int entry, int postalField);

// Copies the identification fields of one entry into the records.
void CollectIdentification(Settlement& s, IdentificationRecords& ids, int entry);
// Overwrites the identification fields of one entry from the records; also
// what fills a newly added form.
void DistributeIdentificationTo(Settlement& s, const IdentificationRecords& ids, int entry);
// The same for every entry, entry 1 first.
void DistributeIdentification(Settlement& s, const IdentificationRecords& ids);

}  // namespace pit
