#pragma once
// What the main window owns and every other window works on: the settlement
// with its definitions and dictionaries, and the persons' identification data.
#include <memory>
#include <string>

#include "app/session.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "refdata/dictionaries.h"

namespace pit::ui {

struct AppContext {
  AppContext() {
    session_.SetCountryLookup([this](const std::string& name) { return countries.CodeByName(name); });
  }
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

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
  // Where the update check keeps the descriptor and downloads the installer;
  // empty: the user's own folder (platform::UpdateDownloadFolder).
  std::string updateFolder;
  std::string veltraFolder;         // the e-filing program
  std::string veltraExecutable = "Veltra2014.exe";

  std::string Folder(const std::string& name) const { return programFolder + "/" + name; }

  // The engine's session over `settlement`: opening, saving, the entry
  // shown, commits and calculations. The definitions are those of `defs`.
  SettlementSession& Session() {
    session_.SetDefinitions(defs.get());
    return session_;
  }

 private:
  SettlementSession session_{settlement, ids};
};

}  // namespace pit::ui
