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
#include "platform/file_lock.h"
#include "refdata/dictionaries.h"

namespace pit::cli {

// What a command does with the settlement file it opens.
enum class OpenFor {
  Reading,        // only reads it
  Writing,        // writes it back: its lock is held from reading to writing
  WritingIntact,  // the same, and a file read damaged is refused at once
};

class CliSession {
 public:
  CliSession(DefinitionLibrary& defs, std::string bibDir);
  ~CliSession();

  Settlement settlement;
  IdentificationRecords ids;
  SettlementSession session{settlement, ids};

  // The settlement file opened through the session, what it says about the
  // file on standard error; returns an exit status.
  int Open(const std::string& path, OpenFor purpose = OpenFor::Reading);
  // The lock of a file the command is going to write, held while the
  // session lives; returns an exit status.
  int Lock(const std::string& path);
  // Unless the settlement has entry `number`, of a known form, with page
  // `page` (0: any), says so on standard error and returns kRefused.
  int CheckEntry(int number, int page = 0) const;
  // Whether the tax office list has an office of this code.
  bool OfficeKnown(const std::string& code) { return Offices().FindByCode(code) != nullptr; }
  // Whether the tax office list could be read.
  bool HasOfficeList() { return Offices().HasCodes(); }
  // A country's code in the dictionary ("" when unknown).
  std::string CountryCode(const std::string& name) { return Countries().CodeByName(name); }
  // The settlement written to `path`; a file read damaged is written over
  // only when `overwriteDamaged`. Returns an exit status.
  int Save(const std::string& path, bool overwriteDamaged = false);

  // Shows entry `number` at `page` and runs its calculation, as selecting a
  // tree node does; returns an exit status.
  int Show(int number, int page);
  // The settlement brought up to date for printing or export, without
  // putting any entry on a page; a failed calculation is said on standard
  // error. Whether every calculation went through.
  bool PrepareForOutput();
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
  platform::FileLock lock_;
  std::optional<TaxOfficeTable> offices_;
  std::optional<CountryTable> countries_;
  std::size_t remindersPrinted_ = 0;
};

}  // namespace pit::cli
