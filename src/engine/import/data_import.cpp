#include "import/data_import.h"

#include <tuple>

#include "app/catalogue.h"
#include "app/settlement.h"
#include "text/cp1250.h"

namespace pit {

const char* const kPayerImportWarning =
    "UWAGA!\n\n"
    "Wyjątkowo rozlilczeniu za 2014 r. nie ma możliwości przeniesienia wszystkich "
    "\ndanych identyfikacjnych płatnika z uwagi na wprowadzone zmiany w nowym druku."
    "\n"
    "\n Zostaną przenisione dane:  "
    "\n - Identyfikator podatkowy NIP płatnika "
    "\n - Rodzaj płatnika  "
    "\n\n Pozostałe brakujące dane należy uzupełnić ręcznie.  ";
const char* const kNoSettlementFileMessage = "Nie ma pliku rozliczeniowego.";
const char* const kUnreadableSettlementFileMessage =
    "Nie można odczytać pliku rozliczeniowego. Sprawdź, czy plik jest dostępny i czy masz prawo do jego odczytu.";

namespace {

// Where one person's items lie in a form of the previous year.
struct PersonMap {
  int identifier, office, surname, firstName, birthDate, voivodeship, county, commune, street, houseNo, flatNo,
      town, postalCode, postOffice, country;
};

enum class Who { Taxpayer, Spouse, OfTheForm };

struct FormMap {
  int idPit;
  Who who;
  bool jointOnly;  // the spouse row of a joint return
  bool nipOnly;    // the identifier field holds a NIP whatever the kind
  PersonMap map;
};

// clang-format off
const FormMap kFormMaps[] = {
    {kPit36,  Who::Taxpayer,  false, false, {0,  7, 9,  10, 11, 13, 14, 15, 16, 17, 18,  19, 20, 21, 327}},
    {kPit36,  Who::Spouse,    true,  false, {1,  7, 22, 23, 24, 26, 27, 28, 29, 30, 324, 31, 32, 33, 328}},
    {kPit37,  Who::Taxpayer,  false, false, {0,  7, 10, 11, 12, 14, 15, 16, 17, 18, 19,  20, 21, 22, 140}},
    {kPit37,  Who::Spouse,    true,  false, {1,  7, 23, 24, 25, 27, 28, 29, 30, 31, 32,  33, 34, 35, 141}},
    {kPit36L, Who::Taxpayer,  false, true,  {0,  2, 5,  6,  7,  9,  10, 11, 12, 13, 14,  15, 16, 17, 111}},
    {kPit38,  Who::OfTheForm, false, false, {0,  2, 5,  6,  7,  9,  10, 11, 12, 13, 14,  15, 16, 17, 62}},
    {kPit28,  Who::OfTheForm, false, false, {0,  2, 5,  6,  7,  10, 11, 12, 13, 14, 15,  16, 17, 18, 9}},
    {kPit39,  Who::OfTheForm, false, false, {0,  2, 5,  6,  7,  10, 11, 12, 13, 14, 15,  16, 17, 18, 9}},
    {kPit40,  Who::Taxpayer,  false, false, {20, 2, 21, 22, 23, 26, 27, 28, 29, 30, 31,  32, 33, 34, 25}},
    {kPit11,  Who::Taxpayer,  false, false, {21, 3, 22, 23, 24, 27, 28, 29, 30, 31, 32,  33, 34, 35, 26}},
    {kPit16A, Who::Taxpayer,  false, true,  {0,  2, 5,  6,  7,  9,  10, 11, 12, 13, 14,  15, 16, 17, 8}},
};
// clang-format on

// The payer of a payer form: NIP, the two boxes of the kind of payer, the
// address (County .. PostOffice; the voivodeship is not read) and the two
// name texts shown on the payer page.
struct PayerMap {
  int idPit;
  int nip, kindA, kindB;
  int county, country, commune, street, houseNo, flatNo, town, postalCode, postOffice;
  int fullName, personName;
};

const PayerMap kPayerMaps[] = {
    {kPit40, 0, 5, 7, 11, 12, 13, 14, 15, 16, 17, 18, 19, 6, 8},
    {kPit11, 0, 6, 7, 11, 12, 13, 14, 15, 16, 18, 19, 20, 8, 9},
};

int KnownKind(int k) { return (k == kIdNip || k == kIdPesel) ? k : kIdNone; }

std::string Text(const PreviousYearRecord& r, int slot, std::size_t width = idw::Text) {
  return FitWidth(r.Value(slot), width);
}

void TakePerson(const PreviousYearRecord& r, const FormMap& f, ImportBlock& b) {
  const PersonMap& m = f.map;
  IdentificationRecord& p = b.Person;
  const std::string id = r.Value(m.identifier);
  if (f.nipOnly || b.IdKind == kIdNip)
    p.NIP = FitWidth(id, idw::NIP);
  else if (b.IdKind == kIdPesel)
    p.PESEL = FitWidth(id, idw::PESEL);
  p.TaxOffice = Text(r, m.office, idw::TaxOffice);
  p.TaxOfficeCode = FitWidth(r.OfficeCode(m.office), idw::TaxOfficeCode);
  p.Surname = Text(r, m.surname);
  p.FirstName = Text(r, m.firstName);
  p.BirthDate = Text(r, m.birthDate, idw::BirthDate);
  p.Voivodeship = Text(r, m.voivodeship);
  p.County = Text(r, m.county);
  p.Commune = Text(r, m.commune);
  p.Street = Text(r, m.street);
  p.HouseNo = Text(r, m.houseNo, idw::HouseNo);
  p.FlatNo = Text(r, m.flatNo, idw::FlatNo);
  p.Town = Text(r, m.town);
  p.PostalCode = Text(r, m.postalCode, idw::PostalCode);
  p.PostOffice = Text(r, m.postOffice);
  p.Country = Text(r, m.country);
}

auto Tie(const IdentificationRecord& p) {
  return std::tie(p.NIP, p.TaxOffice, p.TaxOfficeCode, p.Surname, p.FirstName, p.BirthDate, p.PESEL, p.Voivodeship,
                  p.County, p.Country, p.Commune, p.Street, p.HouseNo, p.FlatNo, p.Town, p.PostalCode, p.PostOffice);
}

auto Tie(const ImportedPayer& p) {
  return std::tie(p.IdKind, p.NIP, p.Names[0], p.Names[1], p.Names[2], p.Names[3], p.Names[4], p.Voivodeship,
                  p.County, p.Country, p.Commune, p.Street, p.HouseNo, p.FlatNo, p.Town, p.PostalCode, p.PostOffice);
}

}  // namespace

bool operator==(const ImportBlock& a, const ImportBlock& b) {
  const PayerFormFields& ka = a.PayerKind;
  const PayerFormFields& kb = b.PayerKind;
  return a.IdKind == b.IdKind && Tie(a.Person) == Tie(b.Person) && ka.VariantA == kb.VariantA &&
         ka.VariantB == kb.VariantB && ka.VariantAText == kb.VariantAText && ka.VariantBText == kb.VariantBText &&
         Tie(a.Payer) == Tie(b.Payer);
}

IdentifierSetting IdentifierSettingOf(const Settlement& s) {
  return IdentifierSetting{s.Kind, s.TaxpayerIdKind, s.SpouseIdKind};
}

void DataImport::Reset() { *this = DataImport{}; }

void DataImport::ClearTaxpayer() {
  Taxpayer.IdKind = kIdNone;
  Taxpayer.Person = IdentificationRecord{};
}

void DataImport::ClearSpouse() {
  Spouse.IdKind = kIdNone;
  Spouse.Person = IdentificationRecord{};
  Spouse.PayerKind.VariantA = Spouse.PayerKind.VariantB = false;
  Spouse.Payer = ImportedPayer{};
}

void DataImport::ClearPayer() {
  // The texts of the kind of payer stay: only the ticks say which applies.
  Taxpayer.PayerKind.VariantA = Taxpayer.PayerKind.VariantB = false;
  Taxpayer.Payer = ImportedPayer{};
  PayerFullName.clear();
  PayerPersonName.clear();
}

void DataImport::Take(const PreviousYearRecord& r) {
  const int idPit = r.IdPit();
  bool known = false;
  for (const FormMap& f : kFormMaps) known = known || f.idPit == idPit;
  if (!known) return;

  Taxpayer.IdKind = KnownKind(r.TaxpayerIdKind());
  Spouse.IdKind = KnownKind(r.SpouseIdKind());

  for (const PayerMap& m : kPayerMaps) {
    if (m.idPit != idPit) continue;
    PayerFound = true;
    ImportedPayer& p = Taxpayer.Payer;
    p.IdKind = kIdNip;
    p.NIP = Text(r, m.nip, idw::NIP);
    PayerFormFields& k = Taxpayer.PayerKind;
    k.VariantA = r.CheckState(m.kindA);
    k.VariantAText = Text(r, m.kindA);
    k.VariantB = r.CheckState(m.kindB);
    k.VariantBText = Text(r, m.kindB);
    p.County = Text(r, m.county);
    p.Country = Text(r, m.country);
    p.Commune = Text(r, m.commune);
    p.Street = Text(r, m.street);
    p.HouseNo = Text(r, m.houseNo, idw::HouseNo);
    p.FlatNo = Text(r, m.flatNo, idw::FlatNo);
    p.Town = Text(r, m.town);
    p.PostalCode = Text(r, m.postalCode, idw::PostalCode);
    p.PostOffice = Text(r, m.postOffice);
    PayerFullName = r.Value(m.fullName);
    PayerPersonName = r.Value(m.personName);
  }

  for (const FormMap& f : kFormMaps) {
    if (f.idPit != idPit) continue;
    if (f.jointOnly && r.Kind() != kJoint) continue;
    const bool spouse = f.who == Who::Spouse || (f.who == Who::OfTheForm && r.PM() == kPmSpouse);
    TakePerson(r, f, spouse ? Spouse : Taxpayer);
  }
}

void DataImport::ReadBytes(const std::uint8_t* bytes, std::size_t size, const IdentifierSetting& setting) {
  Reset();
  ForEachPreviousYearRecord(bytes, size, [this](const PreviousYearRecord& r) { Take(r); });
  StagedTaxpayer = Taxpayer;
  StagedSpouse = Spouse;
  ComputeMismatch(setting);
}

ImportReadStatus DataImport::ReadFile(const std::string& path, const IdentifierSetting& setting) {
  Reset();
  const PreviousYearRead st = ReadPreviousYearFile(path, [this](const PreviousYearRecord& r) { Take(r); });
  if (st != PreviousYearRead::Ok) {
    // Nothing half-read is offered for import.
    Reset();
    return st == PreviousYearRead::Missing ? ImportReadStatus::Missing : ImportReadStatus::Unreadable;
  }
  StagedTaxpayer = Taxpayer;
  StagedSpouse = Spouse;
  ComputeMismatch(setting);
  return ImportReadStatus::Ok;
}

void DataImport::Swap(const IdentifierSetting& setting) {
  std::swap(Taxpayer, Spouse);
  ClearPayer();
  ComputeMismatch(setting);
  StagedTaxpayer = Taxpayer;
  StagedSpouse = Spouse;
}

bool DataImport::ComputeMismatch(const IdentifierSetting& setting) {
  auto differs = [](int imported, int settlement) { return imported != kIdNone && imported != settlement; };
  TaxpayerMismatch = differs(Taxpayer.IdKind, setting.taxpayerIdKind);
  SpouseMismatch = setting.kind == kJoint && differs(Spouse.IdKind, setting.spouseIdKind);
  return TaxpayerMismatch || SpouseMismatch;
}

std::string DataImport::MismatchMessage() const {
  if (!TaxpayerMismatch && !SpouseMismatch) return {};
  std::string m =
      "Uwaga\n\nIstnieje rozbieżność wskazań typu identyfikatora podatkowego (NIP-PESEL) wskazanego w zeznaniu "
      "\nz importowanym identyfikatorem podatkowym:\n";
  if (TaxpayerMismatch) m += "\n - podatnika";
  if (SpouseMismatch) m += "\n - małżonka";
  m += " \n\nNaciśnij przycisk \"zmień identyfikator\", znajdujacy się przy identyfikatorze podatkowym, aby zmienić "
       "ustawienia - Krok 2"
       " \nlub naciśnij przycisk \"importuj\", wówczas dane identyfikacyjne w których nastąpiła rozbieżność"
       " \nnie zostaną zaimportowane.";
  return m;
}

void DataImport::Apply(const ImportChoice& choice, const IdentifierSetting& setting, IdentificationRecords& ids) {
  Taxpayer = StagedTaxpayer;
  Spouse = StagedSpouse;
  ComputeMismatch(setting);
  // The identifier of the kind the settlement does not use is not taken.
  if (TaxpayerMismatch) {
    Taxpayer.IdKind = kIdNone;
    Taxpayer.Person.NIP.clear();
  }
  if (SpouseMismatch) {
    Spouse.IdKind = kIdNone;
    Spouse.Person.NIP.clear();
  }
  if (!choice.taxpayer) ClearTaxpayer();
  if (!choice.spouse) ClearSpouse();
  if (!choice.payer) ClearPayer();

  if (choice.taxpayer) ids.Taxpayer = Taxpayer.Person;
  if (choice.spouse) ids.Spouse = Spouse.Person;
  if (choice.payer) {
    ids.PayerForm = Taxpayer.PayerKind;
    ids.Payer.NIP = Taxpayer.Payer.NIP;
  }
}

}  // namespace pit
