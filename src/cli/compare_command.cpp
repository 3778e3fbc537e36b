// `compare`: the settlement's incomes, deductions and reliefs under each
// method of taxation, worked out on copies; the file is not changed.
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "calc/amounts.h"
#include "commands.h"
#include "compare/methods.h"
#include "forms/definition_library.h"
#include "recalc.h"

namespace fs = std::filesystem;

namespace pit::cli {
namespace {

const char* const kCompareUsage = "Użycie: pit2014cli compare PLIK [--json] [--dc KATALOG]\n";

std::string Zloty(std::int64_t grosze) { return FormatAmount(Amount::FromGrosze(grosze)); }
std::string Signed(std::int64_t grosze) { return (grosze > 0 ? "+" : "") + Zloty(grosze); }

// Pads a UTF-8 text to `width` characters (not bytes).
std::string Pad(const std::string& text, std::size_t width, bool right) {
  std::size_t chars = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++chars;
  const std::string fill(chars < width ? width - chars : 0, ' ');
  return right ? fill + text : text + fill;
}

nlohmann::ordered_json Json(const MethodComparison& c) {
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  for (TaxMethod m : kTaxMethods) {
    const MethodOption& o = c.Of(m);
    nlohmann::ordered_json x = nlohmann::ordered_json::object();
    const bool figures = o.available || o.current;
    if (figures) {
      x["tax"] = o.tax / 100;  // tax due is in whole złoty
      x["to_pay"] = static_cast<double>(o.toPay) / 100.0;
      x["overpayment"] = static_cast<double>(o.overpayment) / 100.0;
      x["child_relief_paid_back"] = static_cast<double>(o.childReliefPaidBack) / 100.0;
    } else {
      x["tax"] = nullptr;
      x["to_pay"] = nullptr;
      x["overpayment"] = nullptr;
    }
    x["available"] = o.available;
    if (!o.available) x["reason"] = o.reason;
    j[MethodKey(m)] = x;
  }
  j["current"] = MethodKey(c.current);
  j["best"] = c.best ? nlohmann::ordered_json(MethodKey(*c.best)) : nlohmann::ordered_json(nullptr);
  return j;
}

void Table(const MethodComparison& c, std::ostream& out) {
  const std::size_t w0 = 36, w = 12;
  out << Pad("Sposób rozliczenia", w0, false) << Pad("Podatnik", w, true) << Pad("Małżonek", w, true)
      << Pad("Wspólne", w, true) << Pad("Razem", w, true) << Pad("Do zapłaty", w, true)
      << Pad("Nadpłata", w, true) << Pad("Różnica", w, true) << "\n";
  for (TaxMethod m : kTaxMethods) {
    const MethodOption& o = c.Of(m);
    std::string name = MethodCaption(m);
    out << Pad(name, w0, false);
    if (!o.available && !o.current) {
      out << "  " << o.reason << "\n";
      continue;
    }
    const bool joint = m == TaxMethod::Joint;
    out << Pad(joint && o.taxpayerTax == 0 ? "-" : Zloty(o.taxpayerTax), w, true)
        << Pad(c.current != TaxMethod::Joint || (joint && o.spouseTax == 0) ? "-" : Zloty(o.spouseTax), w, true)
        << Pad(joint ? Zloty(o.jointTax) : "-", w, true) << Pad(Zloty(o.tax), w, true)
        << Pad(Zloty(o.toPay), w, true) << Pad(Zloty(o.overpayment), w, true)
        << Pad(o.current ? "-" : Signed(c.DifferenceToCurrent(m)), w, true);
    if (o.current) out << "  obecny";
    if (c.best && *c.best == m) out << "  najkorzystniejszy";
    if (!o.available) out << "  " << o.reason;
    out << "\n";
  }
  for (TaxMethod m : kTaxMethods)
    if (c.Of(m).childReliefPaidBack != 0)
      out << "Ulga na dzieci do zwrotu (PIT/UZ), " << MethodCaption(m) << ": " << Zloty(c.Of(m).childReliefPaidBack)
          << "\n";
}

}  // namespace

int CmdCompare(const std::vector<std::string>& args, const std::string& argv0) {
  std::string file, dcDir;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--json") {
      json = true;
    } else if (a == "--dc" && i + 1 < args.size()) {
      dcDir = args[++i];
    } else if (!a.empty() && a[0] != '-' && file.empty()) {
      file = a;
    } else {
      std::cerr << "pit2014cli: nieprawidłowy argument \"" << a << "\"\n" << kCompareUsage;
      return kUsage;
    }
  }
  if (file.empty()) {
    std::cerr << "pit2014cli: brak pliku rozliczenia\n" << kCompareUsage;
    return kUsage;
  }
  const fs::path program = fs::u8path(DataFolder(argv0));
  if (dcDir.empty()) dcDir = (program / "dc").u8string();
  DefinitionLibrary defs(dcDir);
  CliSession session(defs, (program / "bib").u8string());
  if (const int rc = session.Open(file, OpenFor::Reading); rc != kDone) return rc;

  const MethodComparison c = CompareMethods(session.settlement, session.ids,
                                            [&](const std::string& name) { return session.CountryCode(name); });
  if (!c.applicable) {
    std::cerr << "Sposoby rozliczenia porównuje się tylko w zeznaniach podatników; "
                 "to rozliczenie zawiera druki płatnika lub zgłoszenia.\n";
    return kRefused;
  }
  if (json)
    std::cout << Json(c).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  else
    Table(c, std::cout);
  return kDone;
}

}  // namespace pit::cli
