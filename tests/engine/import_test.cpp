// Last year's identification data taken into a new settlement: the .dc2013
// reader and the import's rules (persons, payer, swap, identifier mismatch).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "calc/identification.h"
#include "engine/calc_fixture.h"
#include "forms/pit11_fields.h"
#include "forms/pit16a_fields.h"
#include "forms/pit28_fields.h"
#include "forms/pit36_fields.h"
#include "forms/pit36l_fields.h"
#include "forms/pit37_fields.h"
#include "forms/pit38_fields.h"
#include "forms/pit39_fields.h"
#include "forms/pit40_fields.h"
#include "forms/pit_o_fields.h"
#include "import/data_import.h"
#include "import/previous_year_slots.h"
#include "support/dc2013_file.h"
#include "text/guid.h"

namespace fs = std::filesystem;

namespace pit {
namespace {

using testsupport::JointPit37;
using testsupport::OldFile;
using testsupport::OldRecord;

IdentifierSetting Setting(int kind, int taxpayer = kIdNip, int spouse = kIdNone) {
  return IdentifierSetting{kind, taxpayer, spouse};
}

DataImport Read(const std::vector<OldRecord>& records, const IdentifierSetting& s, std::size_t tail = 0) {
  const std::vector<std::uint8_t> bytes = OldFile(records, tail);
  DataImport imp;
  imp.ReadBytes(bytes.data(), bytes.size(), s);
  return imp;
}

TEST(DataImport, JointPit37FillsBothPersonsAndIndividualOnlyTheTaxpayer) {
  const DataImport joint = Read({JointPit37()}, Setting(kJoint, kIdNip, kIdPesel));
  const IdentificationRecord& t = joint.Taxpayer.Person;
  EXPECT_EQ(joint.Taxpayer.IdKind, kIdNip);
  EXPECT_EQ(t.NIP, "1234563218");
  EXPECT_EQ(t.PESEL, "");
  EXPECT_EQ(t.TaxOffice, "URZĄD SKARBOWY W BOLESŁAWCU");
  EXPECT_EQ(t.TaxOfficeCode, "0202");
  EXPECT_EQ(t.Surname + "|" + t.FirstName + "|" + t.BirthDate, "NOWAK|JAN|01-02-1970");
  EXPECT_EQ(t.Voivodeship + "|" + t.County + "|" + t.Commune + "|" + t.Street + "|" + t.HouseNo + "|" + t.FlatNo +
                "|" + t.Town + "|" + t.PostalCode + "|" + t.PostOffice + "|" + t.Country,
            "DOLNOŚLĄSKIE|BOLESŁAWIECKI|BOLESŁAWIEC|OGRODOWA|12|3|BOLESŁAWIEC|59-700|BOLESŁAWIEC|POLSKA");
  const IdentificationRecord& sp = joint.Spouse.Person;
  EXPECT_EQ(joint.Spouse.IdKind, kIdPesel);
  EXPECT_EQ(sp.PESEL, "80010112340");
  EXPECT_EQ(sp.NIP, "");
  EXPECT_EQ(sp.FirstName + " " + sp.Surname + " " + sp.BirthDate, "ANNA NOWAK 01-01-1980");
  EXPECT_EQ(sp.TaxOfficeCode, "0202");
  EXPECT_EQ(sp.Country, "POLSKA");
  EXPECT_FALSE(joint.TaxpayerMismatch || joint.SpouseMismatch);
  EXPECT_EQ(joint.StagedSpouse, joint.Spouse);

  OldRecord individual = JointPit37();
  individual.kind = 0;
  const DataImport one = Read({individual}, Setting(kIndividual));
  EXPECT_EQ(one.Taxpayer.Person.Surname, "NOWAK");
  EXPECT_EQ(one.Spouse.Person.FirstName, "");
  EXPECT_EQ(one.Spouse.Person.PESEL, "");
}

TEST(DataImport, EachFormTypeGivesItsPersonFromItsOwnFields) {
  struct Case {
    const char* name;
    OldRecord record;
    bool spouse;
    std::string nip, pesel, office, surname, town, country;
  };
  auto rec = [](int idPit, int pm, int tpKind, int spKind, std::map<int, std::string> v) {
    OldRecord r;
    r.idPit = idPit;
    r.pm = pm;
    r.taxpayerIdKind = tpKind;
    r.spouseIdKind = spKind;
    r.values = std::move(v);
    return r;
  };
  const std::vector<Case> cases = {
      {"PIT-36",
       rec(kPit36, 0, 0, -1,
           {{pit36::taxpayer_id, "111"}, {pit36::office, "US"}, {pit36::taxpayer_surname, "A"},
            {pit36::taxpayer_town, "T"}, {pit36::taxpayer_country, "C"}}),
       false, "111", "", "US", "A", "T", "C"},
      {"PIT-36L, NIP only even on PESEL",
       rec(kPit36L, 0, 1, -1,
           {{pit36l::taxpayer_id, "333"}, {pit36l::office, "US"}, {pit36l::surname, "B"},
            {last_year::pit36l::town, "T"}, {last_year::pit36l::country, "C"}}),
       false, "333", "", "US", "B", "T", "C"},
      {"spouse PIT-38 in a file without a joint return",
       rec(kPit38, 2, 0, 1,
           {{pit38::taxpayer_id, "80010112340"}, {pit38::office, "US"}, {pit38::surname, "C"}, {pit38::town, "T"},
            {pit38::country, "C"}}),
       true, "", "80010112340", "US", "C", "T", "C"},
      {"taxpayer PIT-28",
       rec(kPit28, 1, 1, -1,
           {{pit28::taxpayer_id, "70010112345"}, {pit28::office, "US"}, {pit28::surname, "D"}, {pit28::town, "T"},
            {pit28::country, "C"}}),
       false, "", "70010112345", "US", "D", "T", "C"},
      {"spouse PIT-39",
       rec(kPit39, 2, 0, 0,
           {{pit39::taxpayer_id, "999"}, {pit39::office, "US"}, {pit39::surname, "E"}, {pit39::town, "T"},
            {pit39::country, "C"}}),
       true, "999", "", "US", "E", "T", "C"},
      {"PIT-40 employee",
       rec(kPit40, 0, 1, -1,
           {{pit40::taxpayer_id, "60010112345"}, {pit40::office, "US"}, {pit40::surname, "F"}, {pit40::town, "T"},
            {pit40::country, "C"}}),
       false, "", "60010112345", "US", "F", "T", "C"},
      {"PIT-11 employee",
       rec(kPit11, 0, 0, -1,
           {{pit11::taxpayer_id, "222"}, {pit11::office, "US"}, {pit11::surname, "G"}, {pit11::town, "T"},
            {pit11::country, "C"}}),
       false, "222", "", "US", "G", "T", "C"},
      {"PIT-16A",
       rec(kPit16A, 0, 0, -1,
           {{pit16a::taxpayer_id, "161"}, {pit16a::office, "US"}, {pit16a::surname, "H"}, {pit16a::town, "T"},
            {pit16a::country, "C"}}),
       false, "161", "", "US", "H", "T", "C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DataImport imp = Read({c.record}, Setting(kIndividual));
    const IdentificationRecord& p = c.spouse ? imp.Spouse.Person : imp.Taxpayer.Person;
    const IdentificationRecord& other = c.spouse ? imp.Taxpayer.Person : imp.Spouse.Person;
    EXPECT_EQ(p.NIP, c.nip);
    EXPECT_EQ(p.PESEL, c.pesel);
    EXPECT_EQ(p.TaxOffice, c.office);
    EXPECT_EQ(p.Surname, c.surname);
    EXPECT_EQ(p.Town, c.town);
    EXPECT_EQ(p.Country, c.country);
    EXPECT_EQ(other.Surname, "");
  }
}

// The import names the slots it reads after this year's fields, but the
// files are last year's: a field renumbered in this year's form must not
// move where the import looks. These are the slots last year's program wrote
// (the identifier, the surname and the country of each person; the payer's
// NIP and town), kept as numbers because they are a fixed file layout.
TEST(DataImport, SlotsStayWhereLastYearsProgramWroteThem) {
  struct Case {
    const char* name;
    int idPit, kind, identifier, surname, country;
    bool spouse;
  };
  const Case cases[] = {
      {"PIT-36", kPit36, kIndividual, 0, 9, 327, false},
      {"PIT-36 spouse", kPit36, kJoint, 1, 22, 328, true},
      {"PIT-37", kPit37, kIndividual, 0, 10, 140, false},
      {"PIT-37 spouse", kPit37, kJoint, 1, 23, 141, true},
      {"PIT-36L", kPit36L, kIndividual, 0, 5, 111, false},
      {"PIT-38", kPit38, kIndividual, 0, 5, 62, false},
      {"PIT-28", kPit28, kIndividual, 0, 5, 9, false},
      {"PIT-39", kPit39, kIndividual, 0, 5, 9, false},
      {"PIT-40", kPit40, kIndividual, 20, 21, 25, false},
      {"PIT-11", kPit11, kIndividual, 21, 22, 26, false},
      {"PIT-16A", kPit16A, kIndividual, 0, 5, 8, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OldRecord r;
    r.idPit = c.idPit;
    r.kind = c.kind;
    r.spouseIdKind = kIdNip;
    r.values = {{c.identifier, "123"}, {c.surname, "NAZWISKO"}, {c.country, "KRAJ"}};
    const DataImport imp = Read({r}, Setting(c.kind, kIdNip, kIdNip));
    const IdentificationRecord& p = c.spouse ? imp.Spouse.Person : imp.Taxpayer.Person;
    EXPECT_EQ(p.NIP + "|" + p.Surname + "|" + p.Country, "123|NAZWISKO|KRAJ");
  }
  struct PayerCase {
    const char* name;
    int idPit, town;
  };
  for (const PayerCase& c : {PayerCase{"PIT-40", kPit40, 17}, PayerCase{"PIT-11", kPit11, 18}}) {
    SCOPED_TRACE(c.name);
    OldRecord r;
    r.idPit = c.idPit;
    r.values = {{0, "5260250274"}, {c.town, "MIASTO"}};
    const DataImport imp = Read({r}, Setting(kPayerForms));
    EXPECT_EQ(imp.Taxpayer.Payer.NIP + "|" + imp.Taxpayer.Payer.Town, "5260250274|MIASTO");
  }
}

TEST(DataImport, ReaderSkipsOtherFormsKeepsTheLastRecordAndIgnoresAPartialTail) {
  OldRecord pitO;  // PIT/O: not a source of identification data
  pitO.idPit = kPitO;
  pitO.values = {{pit_o::taxpayer_surname, "OBCY"}, {pit37::taxpayer_surname, "OBCY"}};
  OldRecord first = JointPit37();
  OldRecord later = JointPit37();
  later.values[pit37::taxpayer_surname] = "KOWALSKI";
  const DataImport imp = Read({first, pitO, later}, Setting(kJoint, kIdNip, kIdPesel), 5000);
  EXPECT_EQ(imp.Taxpayer.Person.Surname, "KOWALSKI");
  EXPECT_EQ(imp.Spouse.Person.Surname, "NOWAK");

  // The tail looks like a PIT-37 record but is shorter than one: nothing read.
  const DataImport tailOnly = Read({}, Setting(kIndividual), testsupport::kOldRecordSize - 1);
  EXPECT_EQ(tailOnly.Taxpayer, ImportBlock{});
  EXPECT_EQ(tailOnly.Spouse, ImportBlock{});

  // Texts without their terminating zero are cut at the field's width.
  std::vector<std::uint8_t> bytes = OldFile({JointPit37()});
  for (std::size_t k = 0; k < 255; ++k) bytes[132 + 740 * pit37::taxpayer_surname + k] = 'W';
  DataImport cut;
  cut.ReadBytes(bytes.data(), bytes.size(), Setting(kJoint, kIdNip, kIdPesel));
  EXPECT_EQ(cut.Taxpayer.Person.Surname, std::string(254, 'W'));
}

TEST(DataImport, MissingOrUnreadableFileLeavesNothingToImport) {
  DataImport imp;
  const std::string dir = (fs::temp_directory_path() / ("pit-import-" + NewGuidText())).string();
  fs::create_directories(dir);
  EXPECT_EQ(imp.ReadFile(dir + "/brak.dc2013", Setting(kIndividual)), ImportReadStatus::Missing);
  EXPECT_EQ(imp.ReadFile(dir, Setting(kIndividual)), ImportReadStatus::Unreadable);
  EXPECT_EQ(imp.Taxpayer, ImportBlock{});
  ASSERT_TRUE(testsupport::WriteOldFile(dir + "/stary.dc2013", {JointPit37()}, 100));
  EXPECT_EQ(imp.ReadFile(dir + "/stary.dc2013", Setting(kJoint, kIdNip, kIdPesel)), ImportReadStatus::Ok);
  EXPECT_EQ(imp.Spouse.Person.FirstName, "ANNA");
  fs::remove_all(dir);
}

TEST(DataImport, IdentifierKindMismatchDropsTheMismatchingNip) {
  struct Case {
    const char* name;
    int fileTaxpayerKind, fileSpouseKind;
    IdentifierSetting setting;
    bool taxpayerMismatch, spouseMismatch;
    std::string taxpayerNip, taxpayerPesel, spouseNip, spousePesel;
  };
  const std::vector<Case> cases = {
      {"file on PESEL, settlement on NIP: PESEL kept, NIP empty", 1, -1, Setting(kIndividual, kIdNip), true, false,
       "", "70010112341", "", ""},
      {"file on NIP, settlement on PESEL: NIP dropped", 0, -1, Setting(kIndividual, kIdPesel), true, false, "", "", "",
       ""},
      {"spouse on NIP, joint settlement gives the spouse PESEL", 0, 0, Setting(kJoint, kIdNip, kIdPesel), false, true,
       "1234563218", "", "", ""},
      {"both agree", 0, 1, Setting(kJoint, kIdNip, kIdPesel), false, false, "1234563218", "", "", "80010112340"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OldRecord r = JointPit37();
    r.taxpayerIdKind = c.fileTaxpayerKind;
    r.spouseIdKind = c.fileSpouseKind;
    if (c.fileTaxpayerKind == kIdPesel) r.values[pit37::taxpayer_id] = "70010112341";
    DataImport imp = Read({r}, c.setting);
    EXPECT_EQ(imp.TaxpayerMismatch, c.taxpayerMismatch);
    EXPECT_EQ(imp.SpouseMismatch, c.spouseMismatch);
    const std::string msg = imp.MismatchMessage();
    EXPECT_EQ(msg.find("\n - podatnika") != std::string::npos, c.taxpayerMismatch);
    EXPECT_EQ(msg.find("\n - małżonka") != std::string::npos, c.spouseMismatch);
    IdentificationRecords ids;
    imp.Apply({true, true, false}, c.setting, ids);
    EXPECT_EQ(ids.Taxpayer.NIP, c.taxpayerNip);
    EXPECT_EQ(ids.Taxpayer.PESEL, c.taxpayerPesel);
    EXPECT_EQ(ids.Spouse.NIP, c.spouseNip);
    EXPECT_EQ(ids.Spouse.PESEL, c.spousePesel);
    EXPECT_EQ(ids.Taxpayer.Surname, "NOWAK");  // the other items are taken
    if (c.taxpayerMismatch) {
      EXPECT_EQ(imp.Taxpayer.IdKind, kIdNone);
    }
  }
  // The spouse is compared only in a joint settlement.
  OldRecord r = JointPit37();
  r.spouseIdKind = 0;
  EXPECT_FALSE(Read({r}, Setting(kIndividual, kIdNip, kIdPesel)).SpouseMismatch);

  OldRecord both = JointPit37();
  both.taxpayerIdKind = 1;
  both.spouseIdKind = 0;
  EXPECT_EQ(Read({both}, Setting(kJoint, kIdNip, kIdPesel)).MismatchMessage(),
            "Uwaga\n\nIstnieje rozbieżność wskazań typu identyfikatora podatkowego (NIP-PESEL) wskazanego w zeznaniu "
            "\nz importowanym identyfikatorem podatkowym:\n\n - podatnika\n - małżonka \n\nNaciśnij przycisk "
            "\"zmień identyfikator\", znajdujący się przy identyfikatorze podatkowym, aby zmienić ustawienia - Krok 2 "
            "\nlub naciśnij przycisk \"importuj\", wówczas dane identyfikacyjne w których nastąpiła rozbieżność "
            "\nnie zostaną zaimportowane.");
}

OldRecord Pit11WithPayer() {
  using namespace pit11;
  namespace old = last_year::pit11;
  OldRecord r;
  r.idPit = kPit11;
  r.values = {{payer_nip, "5260250274"},
              {payer_entity, "X"},
              {payer_person, ""},
              {payer_name, "FIRMA SP. Z O.O., 012345678"},
              {payer_surname, ""},
              {old::payer_county, "WARSZAWA"},
              {old::payer_country, "POLSKA"},
              {old::payer_commune, "WARSZAWA"},
              {old::payer_street, "PROSTA"},
              {old::payer_house_no, "1"},
              {old::payer_flat_no, "2"},
              {old::payer_town, "WARSZAWA"},
              {old::payer_postal_code, "00-001"},
              {old::payer_post_office, "WARSZAWA"},
              {taxpayer_id, "1234563218"},
              {surname, "NOWAK"}};
  r.ticks = {payer_entity};
  return r;
}

TEST(DataImport, PayerFormBringsThePayerAndReachesThePayerForms) {
  DataImport imp = Read({Pit11WithPayer()}, Setting(kPayerForms));
  EXPECT_TRUE(imp.PayerFound);
  EXPECT_EQ(imp.Taxpayer.Payer.NIP, "5260250274");
  EXPECT_EQ(imp.Taxpayer.Payer.IdKind, kIdNip);
  EXPECT_EQ(imp.PayerFullName, "FIRMA SP. Z O.O., 012345678");
  EXPECT_TRUE(imp.Taxpayer.PayerKind.VariantA);
  EXPECT_FALSE(imp.Taxpayer.PayerKind.VariantB);
  EXPECT_EQ(imp.Taxpayer.Payer.Town, "WARSZAWA");
  EXPECT_EQ(imp.Taxpayer.Payer.PostalCode, "00-001");
  EXPECT_EQ(imp.Taxpayer.Payer.County, "WARSZAWA");
  EXPECT_EQ(imp.Taxpayer.Person.NIP, "1234563218");

  OldRecord old40;
  old40.idPit = kPit40;
  old40.values = {{pit40::payer_nip, "7770001122"},   {pit40::payer_entity, ""},
                  {pit40::payer_name, "URZĄD GMINY"}, {pit40::payer_person, "X"},
                  {pit40::payer_surname, "KOWALSKI JAN"}, {last_year::pit40::payer_town, "ŁÓDŹ"}};
  old40.ticks = {pit40::payer_person};
  const DataImport from40 = Read({old40}, Setting(kPayerForms));
  EXPECT_EQ(from40.Taxpayer.Payer.NIP, "7770001122");
  EXPECT_EQ(from40.PayerPersonName, "KOWALSKI JAN");
  EXPECT_FALSE(from40.Taxpayer.PayerKind.VariantA);
  EXPECT_TRUE(from40.Taxpayer.PayerKind.VariantB);
  EXPECT_EQ(from40.Taxpayer.Payer.Town, "ŁÓDŹ");

  // "importuj" with the payer: its NIP and kind reach this year's PIT-11 and
  // PIT-40 through the identification exchange; the names typed stay.
  testing::CalcFixture fx(kPayerForms);
  const int pit11e = fx.Add(kPit11);
  const int pit40e = fx.Add(kPit40);
  fx.ids.Payer.PayerName1 = "NAZWA WPISANA";
  imp.Apply({false, false, true}, Setting(kPayerForms), fx.ids);
  DistributeIdentification(fx.s, fx.ids);
  EXPECT_EQ(fx.Get(pit11e, pit11::payer_nip), "5260250274");
  EXPECT_EQ(fx.Get(pit40e, pit40::payer_nip), "5260250274");
  EXPECT_TRUE(fx.Slot(pit11e, pit11::payer_entity).CheckState);
  EXPECT_FALSE(fx.Slot(pit11e, pit11::payer_person).CheckState);
  EXPECT_TRUE(fx.Slot(pit40e, pit40::payer_entity).CheckState);
  EXPECT_EQ(fx.Get(pit11e, pit11::payer_name), "NAZWA WPISANA");
  // The taxpayer was not chosen: the employee's data stay as they were.
  EXPECT_EQ(fx.Get(pit11e, pit11::taxpayer_id), "");
}

TEST(DataImport, SwappingTwiceRestoresThePersonsButNotThePayer) {
  // Records of one file share the settlement's identifier kinds.
  OldRecord payer = Pit11WithPayer();
  payer.spouseIdKind = kIdPesel;
  DataImport imp = Read({payer, JointPit37()}, Setting(kJoint, kIdNip, kIdPesel));
  const ImportBlock taxpayer = imp.Taxpayer;
  const ImportBlock spouse = imp.Spouse;
  ASSERT_EQ(taxpayer.Payer.NIP, "5260250274");

  imp.Swap(Setting(kJoint, kIdNip, kIdPesel));
  EXPECT_EQ(imp.Taxpayer.Person.FirstName, "ANNA");
  EXPECT_EQ(imp.Spouse.Person.FirstName, "JAN");
  EXPECT_EQ(imp.StagedTaxpayer, imp.Taxpayer);
  // The persons now disagree with the settlement's kinds.
  EXPECT_TRUE(imp.TaxpayerMismatch);
  EXPECT_TRUE(imp.SpouseMismatch);

  imp.Swap(Setting(kJoint, kIdNip, kIdPesel));
  EXPECT_EQ(imp.Taxpayer.Person.FirstName, "JAN");
  EXPECT_EQ(imp.Taxpayer.IdKind, taxpayer.IdKind);
  EXPECT_EQ(imp.Spouse, spouse);
  EXPECT_EQ(imp.Taxpayer.Payer.NIP, "");
  EXPECT_FALSE(imp.Taxpayer.PayerKind.VariantA);
  EXPECT_EQ(imp.PayerFullName, "");
  EXPECT_FALSE(imp.TaxpayerMismatch || imp.SpouseMismatch);
}

TEST(DataImport, OnlyTheChosenPersonsAreWrittenAndTheOthersKeepTheirData) {
  DataImport imp = Read({JointPit37()}, Setting(kJoint, kIdNip, kIdPesel));
  IdentificationRecords ids;
  ids.Taxpayer.Surname = "WPISANY";
  ids.Taxpayer.NIP = "9999999999";
  imp.Apply({false, true, false}, Setting(kJoint, kIdNip, kIdPesel), ids);
  EXPECT_EQ(ids.Taxpayer.Surname, "WPISANY");
  EXPECT_EQ(ids.Taxpayer.NIP, "9999999999");
  EXPECT_EQ(ids.Spouse.FirstName, "ANNA");
  // Inside the import the person not chosen is cleared.
  EXPECT_EQ(imp.Taxpayer.Person.Surname, "");
  EXPECT_EQ(imp.Taxpayer.IdKind, kIdNone);

  // Into an empty settlement, only the spouse: the taxpayer's record stays empty.
  IdentificationRecords fresh;
  imp.Apply({false, true, false}, Setting(kJoint, kIdNip, kIdPesel), fresh);
  EXPECT_EQ(fresh.Taxpayer.Surname + fresh.Taxpayer.NIP + fresh.Taxpayer.Town, "");
  EXPECT_EQ(fresh.Spouse.PESEL, "80010112340");
}

// A file that is not last year's return, or holds no one's data, gives
// nothing to import: "importuj" can then not empty the settlement's data.
TEST(DataImport, UnusableSourcesAreRefused) {
  std::vector<std::uint8_t> random(testsupport::kOldRecordSize * 2);
  std::uint32_t x = 12345;
  for (auto& b : random) b = static_cast<std::uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  const std::vector<std::uint8_t> good = OldFile({JointPit37()});
  const std::vector<std::uint8_t> cut(good.begin(), good.begin() + 100000);
  // This year's settlement: records 4 bytes longer, stamped 2014.
  std::vector<std::uint8_t> thisYear(259100, 0);
  PutI32(thisYear.data() + 8, kPit37);
  PutI32(thisYear.data() + 28, 2014);
  WriteFixedText(thisYear.data() + 100 + 740 * pit37::taxpayer_surname + 36, 255, "NOWAK");
  std::vector<std::uint8_t> unstamped = good;  // a 2013 layout without the year
  PutI32(unstamped.data() + 28, 0);
  OldRecord pitO;  // last year's, but a form without persons
  pitO.idPit = kPitO;
  pitO.values = {{pit_o::taxpayer_surname, "100,00"}};
  OldRecord blank;  // a PIT-37 of last year with nothing typed
  const std::string text = "To nie jest rozliczenie.\n";

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    ImportReadStatus status;
  } cases[] = {
      {"empty", {}, ImportReadStatus::NotPreviousYear},
      {"text", std::vector<std::uint8_t>(text.begin(), text.end()), ImportReadStatus::NotPreviousYear},
      {"random bytes", random, ImportReadStatus::NotPreviousYear},
      {"cut inside its only record", cut, ImportReadStatus::NotPreviousYear},
      {"this year's settlement", thisYear, ImportReadStatus::NotPreviousYear},
      {"no year in the record", unstamped, ImportReadStatus::NotPreviousYear},
      {"only a PIT/O", OldFile({pitO}), ImportReadStatus::NothingToImport},
      {"an empty PIT-37", OldFile({blank}), ImportReadStatus::NothingToImport},
      {"a good file", good, ImportReadStatus::Ok},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DataImport imp;
    EXPECT_EQ(imp.ReadBytes(c.bytes.data(), c.bytes.size(), Setting(kJoint, kIdNip, kIdPesel)), c.status);
    if (c.status == ImportReadStatus::Ok) continue;
    EXPECT_EQ(imp.StagedTaxpayer, ImportBlock{});
    EXPECT_EQ(imp.StagedSpouse, ImportBlock{});
    // Even if "importuj" were run, nothing is written.
    IdentificationRecords ids;
    ids.Taxpayer.NIP = "1234563218";
    ids.Taxpayer.Surname = "NOWAK";
    ids.Spouse.FirstName = "ANNA";
    const ImportOutcome o = imp.Apply({true, true, true}, Setting(kJoint, kIdNip, kIdPesel), ids);
    EXPECT_FALSE(o.AnyWritten());
    EXPECT_EQ(ids.Taxpayer.NIP + ids.Taxpayer.Surname + ids.Spouse.FirstName, "1234563218NOWAKANNA");
  }
  EXPECT_NE(ImportReadMessage(ImportReadStatus::NotPreviousYear, "a.dc2014").find("nie jest rozliczeniem za 2013 r."),
            std::string::npos);
  EXPECT_NE(ImportReadMessage(ImportReadStatus::NothingToImport, "b.dc2013").find("nie ma w nim danych do pobrania"),
            std::string::npos);
}

// Imported values pass the checks typed values pass; one that fails is not
// taken (the settlement keeps its own) and is named with the reason.
TEST(DataImport, ImportedValuesPassTheFieldChecks) {
  OldRecord r = JointPit37();
  using namespace pit37;
  r.values[taxpayer_id] = "1234563219";          // NIP: wrong check digit
  r.values[spouse_id] = "80010112345";           // PESEL: wrong check digit
  r.values[taxpayer_birth_date] = "31-02-1970";  // no such day
  r.values[taxpayer_postal_code] = "59700";      // postal code without its dash
  r.values[taxpayer_country] = "POLSKA";
  r.values[spouse_postal_code] = "D-10115";  // the spouse lives abroad: her own form of postal code
  r.values[spouse_country] = "NIEMCY";
  r.officeCodes[office] = "9999";  // an office the list does not have
  DataImport imp = Read({r}, Setting(kJoint, kIdNip, kIdPesel));

  IdentificationRecords ids;
  ids.Taxpayer.NIP = "5260250995";
  ids.Taxpayer.BirthDate = "02-01-1970";
  ids.Taxpayer.TaxOffice = "URZĄD SKARBOWY WARSZAWA-ŚRÓDMIEŚCIE";
  ids.Taxpayer.TaxOfficeCode = "1435";
  ids.Spouse.PESEL = "70010112341";
  ImportChecks checks;
  checks.officeKnown = [](const std::string& code) { return code == "0202" || code == "1435"; };
  const ImportOutcome o = imp.Apply({true, true, false}, Setting(kJoint, kIdNip, kIdPesel), ids, checks);

  EXPECT_TRUE(o.taxpayer && o.spouse);
  EXPECT_EQ(ids.Taxpayer.NIP, "5260250995");
  EXPECT_EQ(ids.Taxpayer.BirthDate, "02-01-1970");
  EXPECT_EQ(ids.Taxpayer.PostalCode, "");
  EXPECT_EQ(ids.Taxpayer.TaxOfficeCode + " " + ids.Taxpayer.TaxOffice, "1435 URZĄD SKARBOWY WARSZAWA-ŚRÓDMIEŚCIE");
  EXPECT_EQ(ids.Taxpayer.Surname, "NOWAK");  // what passes is taken
  EXPECT_EQ(ids.Spouse.PESEL, "70010112341");
  EXPECT_EQ(ids.Spouse.PostalCode, "D-10115");
  EXPECT_EQ(ids.Spouse.FirstName, "ANNA");
  const std::string notes = ImportOutcomeNotes(o);
  for (const char* named : {"podatnik, NIP: NIP 1234563219", "małżonek, PESEL: Numer PESEL 80010112345",
                            "podatnik, data urodzenia: Data 31-02-1970", "podatnik, kod pocztowy: Kod pocztowy \"59700\"",
                            "podatnik, urząd skarbowy: kodu urzędu 9999", "małżonek, urząd skarbowy: kodu urzędu 9999"})
    EXPECT_NE(notes.find(named), std::string::npos) << named << " in\n" << notes;
  EXPECT_EQ(notes.find("D-10115"), std::string::npos) << notes;

  // A payer NIP that fails is not taken either; the kind of payer is.
  OldRecord payer = Pit11WithPayer();
  payer.values[pit11::payer_nip] = "5260250275";
  DataImport p = Read({payer}, Setting(kPayerForms));
  IdentificationRecords pids;
  pids.Payer.NIP = "5260250274";
  const ImportOutcome po = p.Apply({false, false, true}, Setting(kPayerForms), pids, checks);
  EXPECT_TRUE(po.payer);
  EXPECT_EQ(pids.Payer.NIP, "5260250274");
  EXPECT_TRUE(pids.PayerForm.VariantA);
  EXPECT_NE(ImportOutcomeNotes(po).find("płatnik, NIP: NIP 5260250275"), std::string::npos);
}

// A person chosen whom the file does not hold keeps the settlement's data.
TEST(DataImport, AChosenPersonTheFileLacksIsLeftAsItIs) {
  OldRecord individual = JointPit37();
  individual.kind = kIndividual;
  DataImport imp = Read({individual}, Setting(kJoint, kIdNip, kIdPesel));
  IdentificationRecords ids;
  ids.Spouse.FirstName = "ANNA";
  ids.Spouse.PESEL = "70010112341";
  const ImportOutcome spouseOnly = imp.Apply({false, true, true}, Setting(kJoint, kIdNip, kIdPesel), ids);
  EXPECT_FALSE(spouseOnly.AnyWritten());
  EXPECT_EQ(ids.Spouse.FirstName + ids.Spouse.PESEL, "ANNA70010112341");
  EXPECT_EQ(ImportOutcomeText(spouseOnly),
            "Nie pobrano żadnych danych; rozliczenie nie zostało zmienione.\n"
            "W pliku nie ma danych małżonka, płatnika; w rozliczeniu pozostały dotychczasowe.");

  const ImportOutcome both = imp.Apply({true, true, false}, Setting(kJoint, kIdNip, kIdPesel), ids);
  EXPECT_TRUE(both.taxpayer);
  EXPECT_FALSE(both.spouse);
  EXPECT_EQ(ids.Taxpayer.FirstName, "JAN");
  EXPECT_EQ(ids.Spouse.FirstName, "ANNA");
}

}  // namespace
}  // namespace pit
