#pragma once
// A headless stand-in for the form window: the settlement, the shown entry
// with its definition array, and the calculations run as the window runs them.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "forms/definition_library.h"
#include "forms/field_object.h"
#include "refdata/dictionaries.h"

namespace pit::cli {

class CliSession {
 public:
  CliSession(DefinitionLibrary& defs, std::string bibDir);
  ~CliSession();

  Settlement settlement;

  // Shows entry `number` at `page` (loading its definition array when the
  // entry changes) and runs its calculation, as selecting a tree node does.
  int Show(int number, int page);
  // Commits `text` into field `field` of entry `entry` as typed by the user;
  // returns an exit status.
  int Commit(int entry, int field, const std::string& text);
  // Attachments first, then main forms: each shown and calculated once more.
  int OpeningPass();
  // Identification data of every entry into the persons' records (after loading).
  void CollectAll();
  // The message list as the last calculation left it, on standard error.
  void PrintMessages() const;

 private:
  int Calculate(int number, int editedField = -1, bool clicked = false);
  const TaxOfficeTable& Offices();
  const CountryTable& Countries();

  DefinitionLibrary& defs_;
  std::string bibDir_;
  std::vector<FieldObject> shown_;  // the open definition array
  int shownEntry_ = 0;
  std::optional<TaxOfficeTable> offices_;
  std::optional<CountryTable> countries_;
  struct CalcState;
  std::unique_ptr<CalcState> calc_;
};

}  // namespace pit::cli
