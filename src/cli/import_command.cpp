// `import`: the identification data of last year's settlement taken into a
// settlement file, as the import window's "importuj" takes them.
#include <filesystem>
#include <iostream>

#include "calc/identification.h"
#include "commands.h"
#include "forms/definition_library.h"
#include "import/data_import.h"
#include "recalc.h"

namespace fs = std::filesystem;

namespace pit::cli {

int CmdImport(const std::vector<std::string>& args, const std::string& argv0) {
  const char* usage =
      "Użycie: pit2014cli import PLIK --from STARY.dc2013 [--taxpayer] [--spouse] [--payer] [--swap] "
      "[--dc KATALOG]\n";
  std::string file, from, dcDir;
  ImportChoice choice;
  bool swap = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--taxpayer") {
      choice.taxpayer = true;
    } else if (a == "--spouse") {
      choice.spouse = true;
    } else if (a == "--payer") {
      choice.payer = true;
    } else if (a == "--swap") {
      swap = true;
    } else if ((a == "--from" || a == "--dc") && i + 1 < args.size()) {
      (a == "--from" ? from : dcDir) = args[++i];
    } else if (!a.empty() && a[0] != '-' && file.empty()) {
      file = a;
    } else {
      std::cerr << "pit2014cli: nieprawidłowy argument \"" << a << "\"\n" << usage;
      return kUsage;
    }
  }
  if (file.empty() || from.empty()) {
    std::cerr << usage;
    return kUsage;
  }
  if (!choice.taxpayer && !choice.spouse && !choice.payer) {
    // The window's "importuj" stays disabled until a box is ticked.
    std::cerr << "pit2014cli: wskaż, czyje dane pobrać: --taxpayer, --spouse lub --payer\n" << usage;
    return kUsage;
  }
  if (dcDir.empty()) dcDir = (fs::u8path(DataFolder(argv0)) / "dc").u8string();

  // Read, changed and written back: another program must not do the same
  // meanwhile, and a file read damaged is not written over.
  DefinitionLibrary defs(dcDir);
  CliSession session(defs, (fs::u8path(DataFolder(argv0)) / "bib").u8string());
  if (const int rc = session.Open(file, OpenFor::WritingIntact); rc != kDone) return rc;
  Settlement& s = session.settlement;
  if (choice.spouse && s.Kind != kJoint) {
    std::cerr << "Dane małżonka można pobrać tylko do rozliczenia wspólnego z małżonkiem.\n";
    return kRefused;
  }

  const IdentifierSetting setting = IdentifierSettingOf(s);
  DataImport imp;
  const ImportReadStatus read = imp.ReadFile(from, setting);
  if (read != ImportReadStatus::Ok) {
    std::cerr << ImportReadMessage(read, from) << "\n";
    return read == ImportReadStatus::Missing || read == ImportReadStatus::Unreadable ? kFileError : kRefused;
  }
  if (swap) imp.Swap(setting);
  ImportChecks checks;
  if (session.HasOfficeList())
    checks.officeKnown = [&session](const std::string& code) { return session.OfficeKnown(code); };
  const ImportOutcome done = imp.Apply(choice, setting, session.ids, checks);
  if (!done.AnyWritten()) {
    // Nothing of what was asked for is in the file: the settlement stays.
    std::cerr << "Plik " << from << " jest rozliczeniem za 2013 r., ale nie ma w nim danych do pobrania dla "
              << "wskazanych osób. Dane w rozliczeniu nie zostały zmienione.\n"
              << ImportOutcomeNotes(done) << "\n";
    return kRefused;
  }
  DistributeIdentification(s, session.ids);
  session.session.SetModified(true);
  const int rc = session.Save(file);
  if (rc != kDone) return rc;
  std::cout << ImportOutcomeText(done) << "\n";
  return kDone;
}

}  // namespace pit::cli
