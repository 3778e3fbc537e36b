#include "recalc.h"

#include <iostream>

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
    TaxOfficeLoad l = LoadTaxOffices(bibDir_);
    if (!l.Message.empty()) std::cerr << l.Message << "\n";
    offices_ = std::move(l.Table);
  }
  return *offices_;
}

const CountryTable& CliSession::Countries() {
  if (!countries_) {
    CountryLoad l = LoadCountries(bibDir_);
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
  std::cerr << (errors.empty() ? std::string("Obliczenie formularza zostało przerwane.") : errors.back()) << "\n";
  return kRefused;
}

int CliSession::Show(int number, int page) {
  if (!session.MakeCurrent(number, page)) return kRefused;
  session.EnsureShownFields();
  const CalcStatus st = session.Calculate(number);
  PrintReminders();
  return st == CalcStatus::Done ? kDone : CalculationFailed();
}

void CliSession::CollectAll() {
  for (int i = 1; i <= settlement.Count(); ++i) CollectIdentification(settlement, ids, i);
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
