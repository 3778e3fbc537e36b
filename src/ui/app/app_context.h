#pragma once
// What the main window owns and every other window works on: the settlement
// with its definitions and dictionaries, and the persons' identification data.
#include <memory>
#include <string>

#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "refdata/dictionaries.h"

namespace pit::ui {

struct AppContext {
  std::string programFolder;  // dc/, bib/, alg/, pomoc/, Pomoc/, icon/ lie here
  Settlement settlement;
  std::unique_ptr<DefinitionLibrary> defs;
  TaxOfficeTable offices;
  CountryTable countries;
  IdentificationRecords ids;

  std::string Folder(const std::string& name) const { return programFolder + "/" + name; }
};

}  // namespace pit::ui
