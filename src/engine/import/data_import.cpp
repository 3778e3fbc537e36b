#include "import/data_import.h"

#include <tuple>

#include "app/catalogue.h"
#include "app/settlement.h"
#include "forms/field_checks.h"
#include "forms/pit11_fields.h"
#include "forms/pit16a_fields.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit39_fields.h"
#include "forms/pit40_fields.h"
#include "import/previous_year_slots.h"
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

// Where one person's items lie in a record of the previous year.
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

// Last year's records hold these fields where this year's forms do, except
// the slots of import/previous_year_slots.h. Each row in PersonMap's order:
// identifier, office, surname, first name, birth date; voivodeship .. post
// office, country.
constexpr FormMap kFormMaps[] = {
    {kPit36, Who::Taxpayer, false, false,
     {pit36::taxpayer_id, pit36::office, pit36::taxpayer_surname, pit36::taxpayer_first_name,
      pit36::taxpayer_birth_date,
      pit36::taxpayer_voivodeship, pit36::taxpayer_county, pit36::taxpayer_commune, pit36::taxpayer_street,
      pit36::taxpayer_house_no, pit36::taxpayer_flat_no, pit36::taxpayer_town, pit36::taxpayer_postal_code,
      pit36::taxpayer_post_office, pit36::taxpayer_country}},
    {kPit36, Who::Spouse, true, false,
     {pit36::spouse_id, pit36::office, pit36::spouse_surname, pit36::spouse_first_name, pit36::spouse_birth_date,
      pit36::spouse_voivodeship, pit36::spouse_county, pit36::spouse_commune, pit36::spouse_street,
      pit36::spouse_house_no, pit36::spouse_flat_no, pit36::spouse_town, pit36::spouse_postal_code,
      pit36::spouse_post_office, pit36::spouse_country}},
    {kPit37, Who::Taxpayer, false, false,
     {pit37::taxpayer_id, pit37::office, pit37::taxpayer_surname, pit37::taxpayer_first_name,
      pit37::taxpayer_birth_date,
      pit37::taxpayer_voivodeship, pit37::taxpayer_county, pit37::taxpayer_commune, pit37::taxpayer_street,
      pit37::taxpayer_house_no, pit37::taxpayer_flat_no, pit37::taxpayer_town, pit37::taxpayer_postal_code,
      pit37::taxpayer_post_office, pit37::taxpayer_country}},
    {kPit37, Who::Spouse, true, false,
     {pit37::spouse_id, pit37::office, pit37::spouse_surname, pit37::spouse_first_name, pit37::spouse_birth_date,
      pit37::spouse_voivodeship, pit37::spouse_county, pit37::spouse_commune, pit37::spouse_street,
      pit37::spouse_house_no, pit37::spouse_flat_no, pit37::spouse_town, pit37::spouse_postal_code,
      pit37::spouse_post_office, pit37::spouse_country}},
    {kPit36L, Who::Taxpayer, false, true,
     {pit36l::taxpayer_id, pit36l::office, pit36l::surname, pit36l::first_name, pit36l::birth_date,
      last_year::pit36l::voivodeship, last_year::pit36l::county, last_year::pit36l::commune,
      last_year::pit36l::street, last_year::pit36l::house_no, last_year::pit36l::flat_no, last_year::pit36l::town,
      last_year::pit36l::postal_code, last_year::pit36l::post_office, last_year::pit36l::country}},
    {kPit38, Who::OfTheForm, false, false,
     {pit38::taxpayer_id, pit38::office, pit38::surname, pit38::first_name, pit38::birth_date,
      pit38::voivodeship, pit38::county, pit38::commune, pit38::street, pit38::house_no, pit38::flat_no, pit38::town,
      pit38::postal_code, pit38::post_office, pit38::country}},
    {kPit28, Who::OfTheForm, false, false,
     {pit28::taxpayer_id, pit28::office, pit28::surname, pit28::first_name, pit28::birth_date,
      pit28::voivodeship, pit28::county, pit28::commune, pit28::street, pit28::house_no, pit28::flat_no, pit28::town,
      pit28::postal_code, pit28::post_office, pit28::country}},
    {kPit39, Who::OfTheForm, false, false,
     {pit39::taxpayer_id, pit39::office, pit39::surname, pit39::first_name, pit39::birth_date,
      pit39::voivodeship, pit39::county, pit39::commune, pit39::street, pit39::house_no, pit39::flat_no, pit39::town,
      pit39::postal_code, pit39::post_office, pit39::country}},
    {kPit40, Who::Taxpayer, false, false,
     {pit40::taxpayer_id, pit40::office, pit40::surname, pit40::first_name, pit40::birth_date,
      pit40::voivodeship, pit40::county, pit40::commune, pit40::street, pit40::house_no, pit40::flat_no, pit40::town,
      pit40::postal_code, pit40::post_office, pit40::country}},
    {kPit11, Who::Taxpayer, false, false,
     {pit11::taxpayer_id, pit11::office, pit11::surname, pit11::first_name, pit11::birth_date,
      pit11::voivodeship, pit11::county, pit11::commune, pit11::street, pit11::house_no, pit11::flat_no, pit11::town,
      pit11::postal_code, pit11::post_office, pit11::country}},
    {kPit16A, Who::Taxpayer, false, true,
     {pit16a::taxpayer_id, pit16a::office, pit16a::surname, pit16a::first_name, pit16a::birth_date,
      pit16a::voivodeship, pit16a::county, pit16a::commune, pit16a::street, pit16a::house_no, pit16a::flat_no,
      pit16a::town, pit16a::postal_code, pit16a::post_office, pit16a::country}},
};

// The payer of a payer form: NIP, the two boxes of the kind of payer, the
// address (County .. PostOffice; the voivodeship is not read) and the two
// name texts shown on the payer page.
struct PayerMap {
  int idPit;
  int nip, kindA, kindB;
  int county, country, commune, street, houseNo, flatNo, town, postalCode, postOffice;
  int fullName, personName;
};

constexpr PayerMap kPayerMaps[] = {
    {kPit40, pit40::payer_nip, pit40::payer_entity, pit40::payer_person,
     last_year::pit40::payer_county, last_year::pit40::payer_country, last_year::pit40::payer_commune,
     last_year::pit40::payer_street, last_year::pit40::payer_house_no, last_year::pit40::payer_flat_no,
     last_year::pit40::payer_town, last_year::pit40::payer_postal_code, last_year::pit40::payer_post_office,
     pit40::payer_name, pit40::payer_surname},
    {kPit11, pit11::payer_nip, pit11::payer_entity, pit11::payer_person,
     last_year::pit11::payer_county, last_year::pit11::payer_country, last_year::pit11::payer_commune,
     last_year::pit11::payer_street, last_year::pit11::payer_house_no, last_year::pit11::payer_flat_no,
     last_year::pit11::payer_town, last_year::pit11::payer_postal_code, last_year::pit11::payer_post_office,
     pit11::payer_name, pit11::payer_surname},
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
  // This year's settlement, or bytes that only look like a record, carry
  // another year or none: nothing in them is last year's data.
  if (r.TaxYear() != kPreviousTaxYear) return;
  anyRecord_ = true;
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

ImportReadStatus DataImport::Finish(bool previousYearFound, const IdentifierSetting& setting) {
  if (!previousYearFound || !(HasTaxpayer() || HasSpouse() || HasPayer())) {
    // Nothing is offered for import: "importuj" must not empty what the
    // user has with the blanks of a file that is not last year's return.
    Reset();
    return previousYearFound ? ImportReadStatus::NothingToImport : ImportReadStatus::NotPreviousYear;
  }
  StagedTaxpayer = Taxpayer;
  StagedSpouse = Spouse;
  ComputeMismatch(setting);
  return ImportReadStatus::Ok;
}

ImportReadStatus DataImport::ReadBytes(const std::uint8_t* bytes, std::size_t size, const IdentifierSetting& setting) {
  Reset();
  ForEachPreviousYearRecord(bytes, size, [this](const PreviousYearRecord& r) { Take(r); });
  return Finish(anyRecord_, setting);
}

ImportReadStatus DataImport::ReadFile(const std::string& path, const IdentifierSetting& setting) {
  Reset();
  const PreviousYearRead st = ReadPreviousYearFile(path, [this](const PreviousYearRecord& r) { Take(r); });
  if (st != PreviousYearRead::Ok) {
    // Nothing half-read is offered for import.
    Reset();
    return st == PreviousYearRead::Missing ? ImportReadStatus::Missing : ImportReadStatus::Unreadable;
  }
  return Finish(anyRecord_, setting);
}

std::string ImportReadMessage(ImportReadStatus status, const std::string& path) {
  switch (status) {
    case ImportReadStatus::Ok:
      return {};
    case ImportReadStatus::Missing:
      return kNoSettlementFileMessage;
    case ImportReadStatus::Unreadable:
      return kUnreadableSettlementFileMessage;
    case ImportReadStatus::NotPreviousYear:
      return "Plik " + path + " nie jest rozliczeniem za 2013 r. Wskaż rozliczenie roczne zapisane programem "
             "w ubiegłym roku (*.dc2013). Dane w rozliczeniu nie zostały zmienione.";
    case ImportReadStatus::NothingToImport:
      return "Plik " + path + " jest rozliczeniem za 2013 r., ale nie ma w nim danych do pobrania. Dane w "
             "rozliczeniu nie zostały zmienione.";
  }
  return {};
}

namespace {

bool Filled(const IdentificationRecord& p) {
  for (const std::string* f : {&p.NIP, &p.TaxOffice, &p.TaxOfficeCode, &p.Surname, &p.FirstName, &p.BirthDate,
                               &p.PESEL, &p.Voivodeship, &p.County, &p.Country, &p.Commune, &p.Street, &p.HouseNo,
                               &p.FlatNo, &p.Town, &p.PostalCode, &p.PostOffice})
    if (!f->empty()) return true;
  return false;
}

bool AllDigits(const std::string& s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// Every imported value of a person passes the check its field gives a typed
// one; a value that fails keeps what `current` has, and is named.
IdentificationRecord Checked(const IdentificationRecord& imported, const IdentificationRecord& current,
                             const std::string& who, const ImportChecks& checks, std::vector<std::string>& refused) {
  IdentificationRecord p = imported;
  auto check = [&](std::string IdentificationRecord::*field, const char* label, const std::string& problem) {
    if (problem.empty() || p.*field == current.*field) return;
    refused.push_back(who + ", " + label + ": " + problem);
    p.*field = current.*field;
  };
  // A person's identifier is typed as digits only.
  check(&IdentificationRecord::NIP, "NIP",
        AllDigits(p.NIP) ? FieldValueProblem(FieldRole::Nip, p.NIP)
                         : FieldValueProblem(FieldRole::Identifier, p.NIP));
  check(&IdentificationRecord::PESEL, "PESEL", FieldValueProblem(FieldRole::Pesel, p.PESEL));
  check(&IdentificationRecord::BirthDate, "data urodzenia", FieldValueProblem(FieldRole::BirthDate, p.BirthDate));
  const bool polish = p.Country.empty() || p.Country == "POLSKA";
  check(&IdentificationRecord::PostalCode, "kod pocztowy",
        FieldValueProblem(FieldRole::PostalCode, p.PostalCode, polish));
  if (!p.TaxOfficeCode.empty() && checks.officeKnown && !checks.officeKnown(p.TaxOfficeCode)) {
    refused.push_back(who + ", urząd skarbowy: kodu urzędu " + p.TaxOfficeCode + " (" + p.TaxOffice +
                      ") nie ma w wykazie urzędów skarbowych.");
    p.TaxOffice = current.TaxOffice;
    p.TaxOfficeCode = current.TaxOfficeCode;
  }
  return p;
}

std::string JoinedList(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) out += (i == 0 ? "" : ", ") + items[i];
  return out;
}

}  // namespace

bool DataImport::HasTaxpayer() const { return Filled(Taxpayer.Person); }
bool DataImport::HasSpouse() const { return Filled(Spouse.Person); }
bool DataImport::HasPayer() const {
  return !Taxpayer.Payer.NIP.empty() || Taxpayer.PayerKind.VariantA || Taxpayer.PayerKind.VariantB;
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
  m += " \n\nNaciśnij przycisk \"zmień identyfikator\", znajdujący się przy identyfikatorze podatkowym, aby zmienić "
       "ustawienia - Krok 2"
       " \nlub naciśnij przycisk \"importuj\", wówczas dane identyfikacyjne w których nastąpiła rozbieżność"
       " \nnie zostaną zaimportowane.";
  return m;
}

ImportOutcome DataImport::Apply(const ImportChoice& choice, const IdentifierSetting& setting,
                                IdentificationRecords& ids, const ImportChecks& checks) {
  ImportOutcome o;
  Taxpayer = StagedTaxpayer;
  Spouse = StagedSpouse;
  const bool taxpayerThere = HasTaxpayer(), spouseThere = HasSpouse(), payerThere = HasPayer();
  ComputeMismatch(setting);
  // The identifier of the kind the settlement does not use is not taken:
  // the settlement keeps the identifier it has.
  auto keepIdentifier = [](ImportBlock& b, const IdentificationRecord& current) {
    b.IdKind = kIdNone;
    b.Person.NIP = current.NIP;
    if (b.Person.PESEL.empty()) b.Person.PESEL = current.PESEL;
  };
  if (TaxpayerMismatch) {
    keepIdentifier(Taxpayer, ids.Taxpayer);
    if (choice.taxpayer) o.identifierNotTaken.push_back("podatnika");
  }
  if (SpouseMismatch) {
    keepIdentifier(Spouse, ids.Spouse);
    if (choice.spouse) o.identifierNotTaken.push_back("małżonka");
  }
  if (!choice.taxpayer) ClearTaxpayer();
  if (!choice.spouse) ClearSpouse();
  if (!choice.payer) ClearPayer();

  if (choice.taxpayer) {
    if (taxpayerThere) {
      ids.Taxpayer = Checked(Taxpayer.Person, ids.Taxpayer, "podatnik", checks, o.refused);
      o.taxpayer = true;
    } else {
      o.notInFile.push_back("podatnika");
    }
  }
  if (choice.spouse) {
    if (spouseThere) {
      ids.Spouse = Checked(Spouse.Person, ids.Spouse, "małżonek", checks, o.refused);
      o.spouse = true;
    } else {
      o.notInFile.push_back("małżonka");
    }
  }
  if (choice.payer) {
    if (payerThere) {
      ids.PayerForm = Taxpayer.PayerKind;
      // The payer's NIP box takes digits, its dashes are the mask's.
      const std::string& nip = Taxpayer.Payer.NIP;
      const bool masked = nip.find_first_not_of("0123456789-") == std::string::npos;
      const std::string problem =
          masked ? FieldValueProblem(FieldRole::Nip, nip) : FieldValueProblem(FieldRole::Identifier, nip);
      if (problem.empty())
        ids.Payer.NIP = Taxpayer.Payer.NIP;
      else
        o.refused.push_back("płatnik, NIP: " + problem);
      o.payer = true;
    } else {
      o.notInFile.push_back("płatnika");
    }
  }
  return o;
}

std::string ImportOutcomeNotes(const ImportOutcome& o) {
  std::string t;
  auto line = [&t](const std::string& s) { t += (t.empty() ? "" : "\n") + s; };
  for (const std::string& who : o.identifierNotTaken)
    line("Identyfikatora " + who + " nie pobrano: jego rodzaj (NIP/PESEL) jest inny niż wskazany w rozliczeniu; "
         "pozostał identyfikator z rozliczenia.");
  if (!o.notInFile.empty())
    line("W pliku nie ma danych " + JoinedList(o.notInFile) + "; w rozliczeniu pozostały dotychczasowe.");
  if (!o.refused.empty()) {
    line("Tych danych nie pobrano, bo są błędne; w rozliczeniu pozostały dotychczasowe:");
    for (const std::string& r : o.refused) t += "\n - " + r;
  }
  return t;
}

std::string ImportOutcomeText(const ImportOutcome& o) {
  std::vector<std::string> taken;
  if (o.taxpayer) taken.push_back("podatnika");
  if (o.spouse) taken.push_back("małżonka");
  if (o.payer) taken.push_back("płatnika (NIP i rodzaj płatnika; pozostałe dane płatnika trzeba uzupełnić ręcznie)");
  std::string t = taken.empty() ? std::string("Nie pobrano żadnych danych; rozliczenie nie zostało zmienione.")
                                : "Pobrano dane " + JoinedList(taken) + ".";
  const std::string notes = ImportOutcomeNotes(o);
  if (!notes.empty()) t += "\n" + notes;
  return t;
}

}  // namespace pit
