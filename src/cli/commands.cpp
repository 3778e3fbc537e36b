#include "commands.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <filesystem>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "app/document.h"
#include "app/install_paths.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "forms/values.h"
#include "recalc.h"
#include "refdata/dictionaries.h"

namespace fs = std::filesystem;

namespace pit::cli {

bool ParseInt(const std::string& s, int& out, std::size_t maxChars) {
  if (s.empty() || s.size() > maxChars) return false;
  std::size_t i = (s[0] == '-') ? 1 : 0;
  if (i == s.size()) return false;
  for (std::size_t k = i; k < s.size(); ++k)
    if (s[k] < '0' || s[k] > '9') return false;
  out = std::atoi(s.c_str());
  return true;
}

bool ParsePositive(const std::string& s, int& out) {
  return !s.empty() && s[0] != '-' && ParseInt(s, out, 6) && out > 0;
}

namespace {

const char* kUsageText =
    "Użycie:\n"
    "  pit2014cli new -o PLIK --kind K [--taxpayer-id nip|pesel] [--spouse-id nip|pesel|none]\n"
    "                 [--spouse-data O,D,2K,UZ] [--dc KATALOG] DRUK...\n"
    "  pit2014cli set PLIK POZYCJA:POLE=WARTOŚĆ... [--force] [--dc KATALOG]\n"
    "  pit2014cli recalc PLIK [--force] [--dc KATALOG]\n"
    "  pit2014cli get PLIK POZYCJA:POLE... [--dc KATALOG]\n"
    "  pit2014cli dump PLIK [--json] [--dc KATALOG]\n"
    "  pit2014cli render PLIK --entry N --page P -o PLIK.png [--no-background] [--dc KATALOG]\n"
    "  pit2014cli import PLIK --from STARY.dc2013 [--taxpayer] [--spouse] [--payer] [--swap] [--dc KATALOG]\n"
    "  pit2014cli validate PLIK [--dc KATALOG]\n"
    "  pit2014cli export PLIK --entry N -o KATALOG [--no-html] [--dc KATALOG]\n"
    "  pit2014cli print PLIK --entry N [--page P | --form | --return | --all] -o PLIK.pdf\n"
    "                   [--no-background] [--blank] [--size K] [--top K] [--left K] [--dx K] [--dy K]\n"
    "  pit2014cli compare PLIK [--json] [--dc KATALOG]\n"
    "  pit2014cli --help | --version\n"
    "DRUK: KOD[@RODZIC][:OSOBA] lub IDPIT[@RODZIC][:OSOBA], np. PIT-37 PIT/O@1:1\n";

int Usage(const std::string& why) {
  if (!why.empty()) std::cerr << "pit2014cli: " << why << "\n";
  std::cerr << kUsageText;
  return kUsage;
}

// ENTRY:FIELD with the entry 1-based and the field an object index.
bool ParseAddress(const std::string& s, int& entry, int& field) {
  const auto colon = s.find(':');
  if (colon == std::string::npos) return false;
  return ParseInt(s.substr(0, colon), entry) && ParseInt(s.substr(colon + 1), field) && field >= 0 &&
         field < kSlotCount;
}

struct Options {
  std::vector<std::string> positional;
  std::map<std::string, std::string> named;  // --name value
  bool json = false;
  bool force = false;  // write back over a file that was read damaged
};

// Splits the arguments into positional ones and the options that take a value.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                                    std::string& error) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      o.json = true;
    } else if (a == "--force") {
      o.force = true;
    } else if (a.size() > 1 && a[0] == '-' && !(a.size() > 1 && (a[1] >= '0' && a[1] <= '9'))) {
      bool known = false;
      for (const std::string& v : valued) known = known || v == a;
      if (!known) {
        error = "nieznana opcja " + a;
        return std::nullopt;
      }
      if (i + 1 >= args.size()) {
        error = "brak wartości opcji " + a;
        return std::nullopt;
      }
      o.named[a] = args[++i];
    } else {
      o.positional.push_back(a);
    }
  }
  return o;
}

struct Environment {
  std::string dataFolder;
  std::string dcDir;
  std::string bibDir;
};

Environment MakeEnvironment(const Options& o, const std::string& argv0) {
  Environment env;
  env.dataFolder = DataFolder(argv0);
  auto it = o.named.find("--dc");
  env.dcDir = it != o.named.end() ? it->second : (fs::u8path(env.dataFolder) / "dc").u8string();
  env.bibDir = (fs::u8path(env.dataFolder) / "bib").u8string();
  return env;
}

// The commands that work on one existing settlement file: options parsed,
// data folders found, the file loaded.
struct OpenedFile {
  Options options;
  Environment env;
  std::unique_ptr<DefinitionLibrary> defs;
  std::unique_ptr<CliSession> session;
  std::string path;
  Settlement& settlement() { return session->settlement; }
};

// Returns kDone with `out` filled, or the exit status to return.
int OpenFile(const std::vector<std::string>& args, const std::string& argv0, std::size_t minPositional,
             std::size_t maxPositional, const char* usage, OpenedFile& out, bool writes = false) {
  std::string error;
  auto o = ParseOptions(args, {"--dc"}, error);
  if (!o) return Usage(error);
  if (o->positional.size() < minPositional || o->positional.size() > maxPositional) return Usage(usage);
  out.options = std::move(*o);
  out.env = MakeEnvironment(out.options, argv0);
  out.defs = std::make_unique<DefinitionLibrary>(out.env.dcDir);
  out.session = std::make_unique<CliSession>(*out.defs, out.env.bibDir);
  out.path = out.options.positional[0];
  if (!writes && out.options.force) return Usage("--force dotyczy tylko poleceń zapisujących plik");
  return out.session->Open(out.path, writes ? OpenFor::Writing : OpenFor::Reading);
}

// --- new ------------------------------------------------------------------

struct FormSpec {
  int idPit = 0;
  int parent = 0;
  int pm = 0;
};

std::optional<FormSpec> ParseFormSpec(const std::string& text, const FormCatalogue& cat, int kind, std::string& error) {
  FormSpec f;
  std::string rest = text;
  const auto colon = rest.rfind(':');
  if (colon != std::string::npos) {
    if (!ParseInt(rest.substr(colon + 1), f.pm) || f.pm < 0 || f.pm > 2) {
      error = "nieprawidłowy kod osoby w \"" + text + "\"";
      return std::nullopt;
    }
    rest = rest.substr(0, colon);
  }
  const auto at = rest.rfind('@');
  if (at != std::string::npos) {
    if (!ParseInt(rest.substr(at + 1), f.parent) || f.parent < 1) {
      error = "nieprawidłowy numer druku głównego w \"" + text + "\"";
      return std::nullopt;
    }
    rest = rest.substr(0, at);
  }
  int number = 0;
  if (ParseInt(rest, number)) {
    f.idPit = FormCatalogue::IsValid(number) ? number : 0;
  } else {
    f.idPit = cat.FindCode(rest, kind == kPayerForms);
  }
  if (f.idPit == 0) {
    error = "nieznany druk \"" + rest + "\"";
    return std::nullopt;
  }
  return f;
}

int IdKindOf(const std::string& s, bool allowNone, bool& ok) {
  ok = true;
  if (s == "nip") return kIdNip;
  if (s == "pesel") return kIdPesel;
  if (allowNone && s == "none") return kIdNone;
  ok = false;
  return 0;
}

int CmdNew(const std::vector<std::string>& args, const std::string& argv0) {
  std::string error;
  auto o = ParseOptions(args, {"-o", "--kind", "--taxpayer-id", "--spouse-id", "--spouse-data", "--dc"}, error);
  if (!o) return Usage(error);
  if (!o->named.count("-o")) return Usage("brak opcji -o PLIK");
  if (!o->named.count("--kind")) return Usage("brak opcji --kind K");
  int kind = 0;
  if (!ParseInt(o->named["--kind"], kind) || kind < 0 || kind > 4) return Usage("--kind przyjmuje 0..4");
  if (o->positional.empty()) return Usage("nie podano żadnego druku");
  if (o->positional.size() > kMaxDocumentEntries) {
    return Usage("rozliczenie może mieć najwyżej " + std::to_string(kMaxDocumentEntries) + " druków");
  }
  Environment env = MakeEnvironment(*o, argv0);
  DefinitionLibrary defs(env.dcDir);
  CliSession session(defs, env.bibDir);
  if (const int rc = session.Lock(o->named["-o"]); rc != kDone) return rc;
  Settlement& s = session.settlement;
  session.session.New(kind);
  bool ok = true;
  s.TaxpayerIdKind = o->named.count("--taxpayer-id") ? IdKindOf(o->named["--taxpayer-id"], false, ok) : kIdNip;
  if (!ok) return Usage("--taxpayer-id przyjmuje nip lub pesel");
  s.SpouseIdKind = o->named.count("--spouse-id") ? IdKindOf(o->named["--spouse-id"], true, ok)
                                                 : (kind == kJoint ? kIdNip : kIdNone);
  if (!ok) return Usage("--spouse-id przyjmuje nip, pesel lub none");
  if (o->named.count("--spouse-data")) {
    std::stringstream ss(o->named["--spouse-data"]);
    std::string part;
    while (std::getline(ss, part, ',')) {
      if (part == "O") s.SpouseData.PitO = true;
      else if (part == "D") s.SpouseData.PitD = true;
      else if (part == "2K") s.SpouseData.Pit2K = true;
      else if (part == "UZ") s.SpouseData.PitUZ = true;
      else return Usage("--spouse-data przyjmuje O,D,2K,UZ");
    }
  }
  for (const std::string& text : o->positional) {
    auto f = ParseFormSpec(text, s.Catalogue(), kind, error);
    if (!f) return Usage(error);
    if (f->parent != 0) {
      if (!s.Has(f->parent) || !MayHangUnder(f->idPit, s.Entry(f->parent))) {
        return Usage("\"" + text + "\": druk główny musi być wcześniejszą pozycją bez rodzica"
                     " (arkusze SSE/A i SSE-R/A: wcześniejszą pozycją SSE-R)");
      }
    }
    const int n = s.AddEntry(f->idPit, f->parent, f->pm, kind);
    s.Entry(n).Checked = true;
    s.Entry(n).CopyNo = s.CountByTypeAndParent(f->idPit, f->parent, f->pm);
  }
  s.RebuildTree(defs);
  session.session.SetModified(true);
  if (const int rc = session.OpeningPass(); rc != kDone) return rc;
  session.PrintMessages();
  return session.Save(o->named["-o"]);
}

// --- set ------------------------------------------------------------------

int CmdSet(const std::vector<std::string>& args, const std::string& argv0) {
  OpenedFile f;
  if (const int rc = OpenFile(args, argv0, 2, SIZE_MAX, "set wymaga pliku i co najmniej jednej wartości", f, true);
      rc != kDone)
    return rc;
  CliSession& session = *f.session;
  const std::string& path = f.path;
  for (std::size_t i = 1; i < f.options.positional.size(); ++i) {
    const std::string& a = f.options.positional[i];
    const auto eq = a.find('=');
    int entry = 0, field = 0;
    if (eq == std::string::npos || !ParseAddress(a.substr(0, eq), entry, field)) {
      return Usage("oczekiwano POZYCJA:POLE=WARTOŚĆ, a jest \"" + a + "\"");
    }
    if (!session.settlement.Has(entry)) {
      std::cerr << "Rozliczenie nie ma pozycji " << entry << ".\n";
      return kRefused;
    }
    const int rc = session.Commit(entry, field, a.substr(eq + 1));
    if (rc != kDone) {
      // What was committed before stays: the user's earlier values are saved.
      session.Save(path, f.options.force);
      return rc;
    }
  }
  session.PrintMessages();
  return session.Save(path, f.options.force);
}

// --- recalc -----------------------------------------------------------------

int CmdRecalc(const std::vector<std::string>& args, const std::string& argv0) {
  OpenedFile f;
  if (const int rc = OpenFile(args, argv0, 1, 1, "recalc wymaga jednego pliku", f, true); rc != kDone) return rc;
  CliSession& session = *f.session;
  const std::string& path = f.path;
  const int rc = session.OpeningPass();
  session.PrintMessages();
  const int saved = session.Save(path, f.options.force);
  return rc != kDone ? rc : saved;
}

// --- get / dump -----------------------------------------------------------

int CmdGet(const std::vector<std::string>& args, const std::string& argv0) {
  OpenedFile f;
  if (const int rc = OpenFile(args, argv0, 2, SIZE_MAX, "get wymaga pliku i co najmniej jednego pola", f); rc != kDone)
    return rc;
  const Settlement& s = f.settlement();
  const std::vector<std::string>& pos = f.options.positional;
  std::vector<std::string> out;
  for (std::size_t i = 1; i < pos.size(); ++i) {
    int entry = 0, field = 0;
    if (!ParseAddress(pos[i], entry, field)) return Usage("oczekiwano POZYCJA:POLE, a jest \"" + pos[i] + "\"");
    if (!s.Has(entry)) {
      std::cerr << "Rozliczenie nie ma pozycji " << entry << ".\n";
      return kRefused;
    }
    out.push_back(s.Entry(entry).Slots()[static_cast<std::size_t>(field)].Value);
  }
  for (const std::string& v : out) std::cout << v << "\n";
  return kDone;
}

// A value printed one per line cannot break its line or reach the terminal
// as a control sequence, whatever a file held: controls are shown as \xNN.
std::string Escaped(const std::string& v) {
  std::string out;
  for (unsigned char c : v) {
    if (c < 0x20 || c == 0x7F || c == '\\') {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int CmdDump(const std::vector<std::string>& args, const std::string& argv0) {
  OpenedFile f;
  if (const int rc = OpenFile(args, argv0, 1, 1, "dump wymaga jednego pliku", f); rc != kDone) return rc;
  const Settlement& s = f.settlement();
  if (f.options.json) {
    nlohmann::ordered_json all = nlohmann::ordered_json::array();
    for (int i = 1; i <= s.Count(); ++i) {
      const FormEntry& e = s.Entry(i);
      nlohmann::ordered_json j;
      j["entry"] = i;
      j["idpit"] = e.IdPit;
      j["code"] = s.Catalogue()[e.IdPit].Code;
      j["parent"] = e.IdParent;
      j["person"] = e.PM;
      j["guid"] = e.ReturnGuid;
      j["kind"] = e.Kind;
      nlohmann::ordered_json values = nlohmann::ordered_json::object();
      for (int k = 0; k < kSlotCount; ++k) {
        const std::string& v = e.Slots()[static_cast<std::size_t>(k)].Value;
        if (!v.empty()) values[std::to_string(k)] = v;
      }
      j["values"] = values;
      all.push_back(j);
    }
    std::cout << all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return kDone;
  }
  for (int i = 1; i <= s.Count(); ++i) {
    const FormEntry& e = s.Entry(i);
    std::cout << "#" << i << " " << s.Catalogue()[e.IdPit].Code << " (IdPit " << e.IdPit << ") rodzic " << e.IdParent
              << " osoba " << e.PM << " GUID " << Escaped(e.ReturnGuid) << "\n";
    for (int k = 0; k < kSlotCount; ++k) {
      const std::string& v = e.Slots()[static_cast<std::size_t>(k)].Value;
      if (!v.empty()) std::cout << "  " << k << " = " << Escaped(v) << "\n";
    }
  }
  return kDone;
}

}  // namespace

std::string DataFolder(const std::string& argv0) {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) exe = fs::absolute(fs::u8path(argv0), ec);
  return DataFolderFor(exe.parent_path().u8string());
}

int Main(std::vector<std::string> args, const std::string& argv0) {
  if (args.empty()) return Usage("");
  const std::string cmd = args[0];
  args.erase(args.begin());
  if (cmd == "new") return CmdNew(args, argv0);
  if (cmd == "set") return CmdSet(args, argv0);
  if (cmd == "recalc") return CmdRecalc(args, argv0);
  if (cmd == "get") return CmdGet(args, argv0);
  if (cmd == "dump") return CmdDump(args, argv0);
  if (cmd == "render") return CmdRender(args, argv0);
  if (cmd == "import") return CmdImport(args, argv0);
  if (cmd == "validate") return CmdValidate(args, argv0);
  if (cmd == "export") return CmdExport(args, argv0);
  if (cmd == "print") return CmdPrint(args, argv0);
  if (cmd == "compare") return CmdCompare(args, argv0);
  if (cmd == "--help" || cmd == "-h" || cmd == "help") {
    std::cout << kUsageText;
    return kDone;
  }
  if (cmd == "--version" || cmd == "-V") {
    std::cout << "pit2014cli " << PIT_VERSION << "\n";
    return kDone;
  }
  return Usage("nieznane polecenie \"" + cmd + "\"");
}

}  // namespace pit::cli
