#include "recalc.h"

#include <iostream>

#include "app/install_paths.h"
#include "calc/framework.h"
#include "commands.h"

namespace pit::cli {

CliSession::CliSession(DefinitionLibrary& defs, std::string bibDir) : bibDir_(std::move(bibDir)) {
  session.SetDefinitions(&defs);
  session.SetCountryLookup([this](const std::string& name) { return Countries().CodeByName(name); });
  session.SetCountryCheck([this](const std::string& name) { return !Countries().CodeByName(name).empty(); });
  session.SetTaxOfficeLookup([this](const std::string& code) -> std::optional<OfficeChoice> {
    if (const TaxOffice* office = Offices().FindByCode(code)) return OfficeChoice{office->Code, office->Name};
    return std::nullopt;
  });
}

CliSession::~CliSession() = default;

const TaxOfficeTable& CliSession::Offices() {
  if (!offices_) {
    TaxOfficeLoad l = LoadTaxOffices(bibDir_, DictionaryCacheFolder(bibDir_));
    if (!l.Message.empty()) std::cerr << l.Message << "\n";
    offices_ = std::move(l.Table);
  }
  return *offices_;
}

const CountryTable& CliSession::Countries() {
  if (!countries_) {
    CountryLoad l = LoadCountries(bibDir_, DictionaryCacheFolder(bibDir_));
    if (!l.Message.empty()) std::cerr << l.Message << "\n";
    countries_ = std::move(l.Table);
  }
  return *countries_;
}

void CliSession::PrintReminders() {
  const std::vector<std::string>& r = session.Headless().reminders;
  for (; remindersPrinted_ < r.size(); ++remindersPrinted_) std::cerr << r[remindersPrinted_] << "\n";
}

int CliSession::CalculationFailed() {
  const std::vector<std::string>& errors = session.Headless().errors;
  std::cerr << (errors.empty() ? std::string(kCalculationStopped) : errors.back()) << "\n";
  return kRefused;
}

// How long a command waits for another program to finish with the file.
constexpr int kLockWaitMs = 30000;

// A command that writes the file back holds its lock from reading to
// writing, so two of them on one file take turns instead of one losing the
// other's change; the desktop program holds it while the file is open.
int CliSession::Lock(const std::string& path) {
  switch (lock_.Acquire(path, kLockWaitMs)) {
    case platform::FileLock::Result::Locked:
      return kDone;
    case platform::FileLock::Result::Busy:
      std::cerr << "Plik jest używany przez inny program (np. otwarty w programie PIT): " << path << "\n";
      return kFileError;
    case platform::FileLock::Result::Failed:
      break;
  }
  std::cerr << lock_.FailureText() << "\n";
  return kFileError;
}

int CliSession::Open(const std::string& path, OpenFor purpose) {
  if (purpose != OpenFor::Reading) {
    if (const int rc = Lock(path); rc != kDone) return rc;
  }
  const FileResult r = session.Open(path);
  if (!r.ok) {
    std::cerr << r.message << "\n";
    return kFileError;
  }
  if (!r.message.empty()) std::cerr << r.message << "\n";
  // Changed and written back as a whole, what was skipped would be lost.
  if (r.damaged && purpose == OpenFor::WritingIntact) return kFileError;
  return kDone;
}

int CliSession::CheckEntry(int number, int page) const {
  if (!settlement.Has(number)) {
    std::cerr << "Rozliczenie nie ma pozycji " << number << ".\n";
    return kRefused;
  }
  const int idPit = settlement.Entry(number).IdPit;
  if (!FormCatalogue::IsValid(idPit)) {
    std::cerr << "Pozycja " << number << " nie jest znanym formularzem.\n";
    return kRefused;
  }
  if (page > session.PageCountOf(idPit)) {
    std::cerr << "Formularz " << settlement.Catalogue()[idPit].Code << " nie ma strony " << page << ".\n";
    return kRefused;
  }
  return kDone;
}

int CliSession::Save(const std::string& path, bool overwriteDamaged) {
  const FileResult r = session.Save(path, overwriteDamaged);
  if (!r.ok) {
    std::cerr << r.message << "\n";
    return kFileError;
  }
  return kDone;
}

int CliSession::Show(int number, int page) {
  if (!session.MakeCurrent(number, page)) return kRefused;
  session.EnsureShownFields();
  const CalcStatus st = session.Calculate(number);
  PrintReminders();
  return st == CalcStatus::Done ? kDone : CalculationFailed();
}

bool CliSession::PrepareForOutput() {
  const OutputPreparation r = session.PrepareForOutput();
  if (r.status == CalcStatus::Done) return true;
  std::cerr << r.error << "\n";
  return false;
}

int CliSession::Commit(int entry, int field, const std::string& text) {
  const CommitOutcome r = session.CommitTyped(entry, field, text);
  PrintReminders();
  if (r.noDefinition) {
    std::cerr << r.message << "\n";
    return kFileError;
  }
  if (r.calc != CalcStatus::Done) return CalculationFailed();
  if (!r.accepted) {
    std::cerr << (r.message.empty() ? "Wartość nie została przyjęta." : r.message) << "\n";
    return kRefused;
  }
  return kDone;
}

int CliSession::OpeningPass() {
  const CalcStatus st = session.RecalculateAll({}, false);
  PrintReminders();
  return st == CalcStatus::Done ? kDone : CalculationFailed();
}

void CliSession::PrintMessages() const {
  for (const std::string& m : session.Headless().messages) std::cerr << m << "\n";
}

}  // namespace pit::cli
