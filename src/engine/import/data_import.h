#pragma once
// Taking the identification data of the taxpayer, the spouse and the payer
// over from a settlement file of the previous year. The import window and
// `pit2014cli import` drive this one model: read a file into the two persons'
// blocks, swap them, work out which imported identifier kinds disagree with
// the settlement's, and write the chosen persons into the settlement's
// identification records.
//
// Reading never touches the settlement's records: only Apply ("importuj")
// does, and only for the persons chosen. A look at an old file that ends
// without "importuj" leaves the user's data as it was.
#include <functional>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "calc/identification.h"
#include "import/previous_year_file.h"

namespace pit {

// The payer of a payer form, as the import holds it.
struct ImportedPayer {
  int IdKind = kIdNone;
  std::string NIP;
  // The payer's name texts: the import never fills them, only clears them.
  std::string Names[5];
  // Address in the order of a person's address.
  std::string Voivodeship, County, Country, Commune, Street, HouseNo, FlatNo, Town, PostalCode, PostOffice;
};

// Everything the import holds for one person.
struct ImportBlock {
  int IdKind = kIdNone;  // the kind the file gave this person's identifier
  IdentificationRecord Person;
  PayerFormFields PayerKind;  // the kind of payer (the two boxes of a payer form)
  ImportedPayer Payer;
};

bool operator==(const ImportBlock& a, const ImportBlock& b);
inline bool operator!=(const ImportBlock& a, const ImportBlock& b) { return !(a == b); }

// What a settlement says about its persons' identifiers.
struct IdentifierSetting {
  int kind = 0;  // SettlementKind
  int taxpayerIdKind = kIdNip;
  int spouseIdKind = kIdNone;
};
IdentifierSetting IdentifierSettingOf(const Settlement& s);

struct ImportChoice {
  bool taxpayer = false;
  bool spouse = false;
  bool payer = false;
};

enum class ImportReadStatus {
  Ok,
  Missing,
  Unreadable,
  NotPreviousYear,  // no record of last year's program: empty, text, cut, this year's settlement
  NothingToImport,  // last year's records, but no person's data in them
};

// The message for a file that gave nothing to import; empty for Ok.
std::string ImportReadMessage(ImportReadStatus status, const std::string& path);

// The checks imported values pass, as typed values do. The tax office list
// is the caller's; without it office codes are not checked.
struct ImportChecks {
  std::function<bool(const std::string& code)> officeKnown;
};

// What "importuj" did.
struct ImportOutcome {
  // Persons written into the identification records.
  bool taxpayer = false, spouse = false, payer = false;
  // Chosen persons the file has no data for: their records were left alone
  // ("podatnika", "małżonka", "płatnika").
  std::vector<std::string> notInFile;
  // Identifiers not taken because their kind differs from the settlement's.
  std::vector<std::string> identifierNotTaken;
  // Values that failed their check and were not taken, each with who and why.
  std::vector<std::string> refused;
  bool AnyWritten() const { return taxpayer || spouse || payer; }
};

// What happened, in Polish, for someone who did not see the window.
std::string ImportOutcomeText(const ImportOutcome& o);
// The notes of a partial import (values refused, persons missing); empty
// when everything chosen was taken.
std::string ImportOutcomeNotes(const ImportOutcome& o);

class DataImport {
 public:
  // The blocks: taxpayer first. The payer data are the kind of payer and the
  // payer part of the taxpayer's block.
  ImportBlock Taxpayer, Spouse;
  // Copies of both blocks taken after reading and after a swap; "importuj"
  // starts from them.
  ImportBlock StagedTaxpayer, StagedSpouse;
  // A payer form was read: the payer page goes to the front.
  bool PayerFound = false;
  // The payer's name texts shown beside "Nazwa pełna, Regon: " and
  // "Nazwisko, pierwsze imię, data urodzenia:" (not stored).
  std::string PayerFullName, PayerPersonName;
  bool TaxpayerMismatch = false, SpouseMismatch = false;

  // Everything emptied, as before the first file.
  void Reset();

  // Empties the blocks and reads the file into them, then stages them and
  // works out the mismatch for `setting`. Only records stamped with last
  // year are read. Anything but Ok: the blocks stay empty.
  ImportReadStatus ReadFile(const std::string& path, const IdentifierSetting& setting);
  // The same from bytes already in memory (tests, fuzzing).
  ImportReadStatus ReadBytes(const std::uint8_t* bytes, std::size_t size, const IdentifierSetting& setting);

  // Exchanges the persons' blocks, drops the payer, works out the mismatch
  // again and stages the blocks.
  void Swap(const IdentifierSetting& setting);

  // The mismatch flags for a settlement: a person whose imported kind (NIP
  // or PESEL) differs from the kind the settlement gives him; the spouse
  // only in a joint settlement. True when any person mismatches.
  bool ComputeMismatch(const IdentifierSetting& setting);
  // The information message naming the mismatching persons; empty without
  // a mismatch.
  std::string MismatchMessage() const;

  // "importuj": the staged blocks, a mismatching person's identifier kind
  // and NIP dropped, then every chosen person written into `ids`. Persons
  // not chosen, and chosen ones the file has nothing for, keep what `ids`
  // held; so does every field whose imported value fails its check, and an
  // identifier not taken. The forms are not touched
  // (DistributeIdentification is the caller's next step).
  ImportOutcome Apply(const ImportChoice& choice, const IdentifierSetting& setting, IdentificationRecords& ids,
                      const ImportChecks& checks = {});

  // Whether the blocks hold anything of the taxpayer, the spouse, the payer.
  bool HasTaxpayer() const;
  bool HasSpouse() const;
  bool HasPayer() const;

  // Clearing a person or the payer inside the blocks.
  void ClearTaxpayer();
  void ClearSpouse();
  void ClearPayer();

 private:
  void Take(const PreviousYearRecord& r);
  ImportReadStatus Finish(bool previousYearFound, const IdentifierSetting& setting);
  bool anyRecord_ = false;  // a record of last year was read
};

// The warning shown before a payer is taken.
extern const char* const kPayerImportWarning;
extern const char* const kNoSettlementFileMessage;
extern const char* const kUnreadableSettlementFileMessage;

}  // namespace pit
