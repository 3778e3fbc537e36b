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

  // Fixed at start-up by the main window.
  int taxYear = 2014;
  std::string version;              // "14.0.0.N"
  std::string documentsFolder;      // settlement files; empty when it could not be made
  std::string eDeclarationsFolder;  // exports of returns for e-filing and their HTML copies
  std::string tempFolder;
  std::string configPath;           // pit2014.ini
  std::string veltraFolder;         // the e-filing program
  std::string veltraExecutable = "Veltra2014.exe";

  std::string Folder(const std::string& name) const { return programFolder + "/" + name; }
};

}  // namespace pit::ui
