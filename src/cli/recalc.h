#pragma once
// The command line's settlement: the engine's session with its own headless
// display, the dictionaries read when a value needs them, and what the form
// window would show printed on standard error.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "refdata/dictionaries.h"

namespace pit::cli {

class CliSession {
 public:
  CliSession(DefinitionLibrary& defs, std::string bibDir);
  ~CliSession();

  Settlement settlement;
  IdentificationRecords ids;
  SettlementSession session{settlement, ids};

  // Shows entry `number` at `page` and runs its calculation, as selecting a
  // tree node does; returns an exit status.
  int Show(int number, int page);
  // Identification data of every entry into the persons' records (after a
  // load that did not go through session.Open).
  void CollectAll();
  // Commits `text` into field `field` of entry `entry` as typed by the user;
  // returns an exit status.
  int Commit(int entry, int field, const std::string& text);
  // Attachments first, then main forms: each shown and calculated once more.
  int OpeningPass();
  // The message list as the last calculation left it, on standard error.
  void PrintMessages() const;

 private:
  // Reminders the calculations showed since the last call, on standard error.
  void PrintReminders();
  int CalculationFailed();
  const TaxOfficeTable& Offices();
  const CountryTable& Countries();

  std::string bibDir_;
  std::optional<TaxOfficeTable> offices_;
  std::optional<CountryTable> countries_;
  std::size_t remindersPrinted_ = 0;
};

}  // namespace pit::cli
