// pit2014cli validate: the required-field check of the desktop program's
// "Weryfikacja" button, one problem per line. pit2014cli export: the export
// of one return as the e-filing hand-off makes it, without starting the
// e-filing program.
#include <filesystem>
#include <iostream>

#include "app/file_io.h"
#include "commands.h"
#include "forms/definition_library.h"
#include "output/export_folder.h"
#include "output/validation.h"
#include "recalc.h"
#include "text/guid.h"

#ifdef PIT_WITH_RENDER
#include <memory>

#include "html_copy_pages.h"
#include "offscreen_drawing.h"
#include "print_options.h"
#endif

namespace fs = std::filesystem;

namespace pit::cli {
namespace {

const char* const kValidateUsage = "  pit2014cli validate PLIK [--dc KATALOG]\n";
const char* const kExportUsage = "  pit2014cli export PLIK --entry N -o KATALOG [--no-html] [--dc KATALOG]\n";

int ValidateUsage(const std::string& why) {
  std::cerr << "pit2014cli: " << why << "\nUżycie:\n" << kValidateUsage;
  return kUsage;
}

int ExportUsage(const std::string& why) {
  std::cerr << "pit2014cli: " << why << "\nUżycie:\n" << kExportUsage;
  return kUsage;
}

}  // namespace

int CmdValidate(const std::vector<std::string>& args, const std::string& argv0) {
  std::string file, dcDir;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dc") {
      if (i + 1 >= args.size()) return ValidateUsage("brak wartości opcji --dc");
      dcDir = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      return ValidateUsage("nieznana opcja " + args[i]);
    } else if (file.empty()) {
      file = args[i];
    } else {
      return ValidateUsage("validate sprawdza jeden plik");
    }
  }
  if (file.empty()) return ValidateUsage("brak pliku rozliczenia");
  const fs::path program = fs::u8path(DataFolder(argv0));
  if (dcDir.empty()) dcDir = (program / "dc").u8string();

  DefinitionLibrary defs(dcDir);
  CliSession session(defs, (program / "bib").u8string());
  if (const int rc = session.Open(file); rc != kDone) return rc;

  const ValidationResult r = ValidateSettlement(session.settlement, defs);
  for (const std::string& line : r.lines) std::cout << line << "\n";
  if (r.count == 0) std::cout << ValidationMessage(r, true) << "\n";
  std::cout << "ILOŚĆ NIEWYPEŁNIONYCH PÓL: " << r.count << "\n";
  return r.count == 0 ? kDone : 1;
}

int CmdExport(const std::vector<std::string>& args, const std::string& argv0) {
  std::string file, dcDir, outDir, entryText;
  bool html = true;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    bool ok = true;
    if (a == "--entry") ok = value(entryText);
    else if (a == "-o") ok = value(outDir);
    else if (a == "--dc") ok = value(dcDir);
    else if (a == "--no-html") html = false;
    else if (!a.empty() && a[0] == '-') return ExportUsage("nieznana opcja " + a);
    else if (file.empty()) file = a;
    else return ExportUsage("export eksportuje jeden plik");
    if (!ok) return ExportUsage("brak wartości opcji " + a);
  }
  if (file.empty()) return ExportUsage("brak pliku rozliczenia");
  if (outDir.empty()) return ExportUsage("brak opcji -o KATALOG");
  int entry = 0;
  if (!ParsePositive(entryText, entry)) return ExportUsage("--entry przyjmuje numer pozycji od 1");
  const fs::path program = fs::u8path(DataFolder(argv0));
  if (dcDir.empty()) dcDir = (program / "dc").u8string();

  DefinitionLibrary defs(dcDir);
  CliSession session(defs, (program / "bib").u8string());
  Settlement& s = session.settlement;
  if (const int rc = session.Open(file); rc != kDone) return rc;
  if (!s.Has(entry) || !FormCatalogue::IsValid(s.Entry(entry).IdPit)) {
    std::cerr << "Rozliczenie nie ma pozycji " << entry << ".\n";
    return kRefused;
  }
  const std::string guid = s.Entry(entry).ReturnGuid;
  // A return whose figures could not be worked out is not handed on; a
  // figure another return of the settlement cannot read does not stop it.
  const OutputPreparation prepared = session.session.PrepareForOutput();
  if (const OutputFailure* failure = prepared.FailureIn(s, guid)) {
    std::cerr << failure->error << "\n";
    return kRefused;
  }
  if (const std::string refusal = HandOffRefusal(s, guid); !refusal.empty()) {
    std::cerr << refusal << "\n";
    return kRefused;
  }

  ExportHooks hooks;
  hooks.countryCode = [&](const std::string& name) { return session.CountryCode(name); };
  ExportRequest request{outDir, NewGuidText(), guid, (program / "icon").u8string(), html};

  std::vector<std::string> drawMessages;
  DrawPageHook draw;
#ifdef PIT_WITH_RENDER
  std::unique_ptr<QGuiApplication> app;
  if (html) {
    app = StartOffscreenDrawing();
    draw = render::HtmlCopyDrawer(
        s, defs, [&session](int n) { return session.session.FieldsAsShown(n); }, render::SharedPrintOptions(),
        drawMessages);
  }
#else
  if (html) std::cerr << "Ta wersja programu nie rysuje stron: kopia HTML nie powstanie.\n";
  request.htmlCopy = false;
#endif
  MakePrivateFolders(outDir);
  const ExportOutcome out = ExportReturn(s, defs, request, hooks, draw);
  for (const std::string& m : out.messages) std::cerr << m << "\n";
  for (const std::string& m : drawMessages) std::cerr << m << "\n";
  if (!out.filesWritten) {
    std::cerr << "Nie można zapisać plików eksportu w katalogu " << out.folder << "\n";
    return kFileError;
  }
  std::cout << out.folder << "\n";
  return kDone;
}

}  // namespace pit::cli
