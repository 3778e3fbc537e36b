// dcfields: the headers of the named fields, one per form source that has a
// `namespace:`, and the catalogue of the forms, for the engine's build. It
// reads only the sources, so the engine can be built from them before dcgen
// (which needs the engine).
//
//   dcfields SRC_DIR OUT_DIR      writes OUT_DIR/forms/<namespace>_fields.h,
//                                 OUT_DIR/forms/catalogue_rows.h and
//                                 OUT_DIR/forms/form_numbers.h
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "field_ids.h"
#include "form_source.h"
#include "templates.h"

namespace fs = std::filesystem;

namespace {

// Unchanged headers keep their time, so that only the code of a form whose
// names changed is compiled again.
bool WriteIfChanged(const fs::path& p, const std::string& text) {
  {
    std::ifstream in(p, std::ios::binary);
    if (in) {
      std::ostringstream old;
      old << in.rdbuf();
      if (old.str() == text) return true;
    }
  }
  fs::path tmp = p;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out || !(out << text)) return false;
  }
  std::error_code ec;
  fs::rename(tmp, p, ec);
  return !ec;
}

// A text as a C++ string literal (the sources are UTF-8, as the engine's texts).
std::string Literal(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

struct CatalogueRow {
  std::string constant, code, description, exempt;
  int pages = 0, variant = 0, kind = 0;
  bool multi = false;
};

// The form's row of the catalogue from the root keys of its source.
// "k", a capital, then letters and digits: kPit37, kUpkdOrdZu.
bool IsConstantName(const std::string& s) {
  if (s.size() < 2 || s[0] != 'k' || !std::isupper(static_cast<unsigned char>(s[1]))) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  return true;
}

CatalogueRow RowOf(const YAML::Node& src) {
  CatalogueRow r;
  r.code = src["code"].as<std::string>();
  r.constant = src["constant"] ? src["constant"].as<std::string>() : "";
  if (!IsConstantName(r.constant))
    throw dcgen::SourceError("constant: '" + r.constant + "' – ma być nazwą stałej numeru formularza, np. kPit37");
  r.pages = static_cast<int>(src["pages"].size());
  r.variant = src["variant"] ? src["variant"].as<int>() : 0;
  static const std::map<std::string, int> kinds = {{"return", 0}, {"attachment", 1}, {"form", 2}};
  const std::string kind = src["kind"] ? src["kind"].as<std::string>() : "";
  const auto k = kinds.find(kind);
  if (k == kinds.end())
    throw dcgen::SourceError("kind: '" + kind + "' – ma być return, attachment albo form");
  r.kind = k->second;
  const std::string copies = src["copies"] ? src["copies"].as<std::string>() : "one";
  if (copies != "one" && copies != "many")
    throw dcgen::SourceError("copies: '" + copies + "' – ma być one albo many");
  r.multi = copies == "many";
  if (src["description"]) r.description = src["description"].as<std::string>();
  if (src["exempt"]) r.exempt = src["exempt"].as<std::string>();
  return r;
}

std::string CatalogueHeader(const std::map<int, CatalogueRow>& rows) {
  std::ostringstream h;
  h << "#pragma once\n"
    << "// The catalogue of the forms, made by dcfields from the root keys of the\n"
    << "// sources in data/forms. Change the sources, not this file.\n\n"
    << "namespace pit {\n\n"
    << "struct CatalogueRow {\n"
    << "  const char* code;\n  int pages;\n  int variant;\n  bool multi;\n  int kind;\n"
    << "  const char* description;\n"
    << "  // Identification positions the check of required fields passes over.\n"
    << "  const char* exempt;\n};\n\n"
    << "// By form number; row 0 is empty.\n"
    << "inline constexpr CatalogueRow kCatalogueRows[] = {\n"
    << "    {\"\", 0, 0, false, 0, \"\", \"\"},\n";
  for (const auto& [idPit, r] : rows)
    h << "    {" << Literal(r.code) << ", " << r.pages << ", " << r.variant << ", " << (r.multi ? "true" : "false")
      << ", " << r.kind << ", " << Literal(r.description) << ", " << Literal(r.exempt) << "},  // " << idPit
      << "\n";
  h << "};\n\n}  // namespace pit\n";
  return h.str();
}

// The forms' numbers by name, for the code (`kPit37`), and their count.
std::string NumbersHeader(const std::map<int, CatalogueRow>& rows) {
  std::ostringstream h;
  h << "#pragma once\n"
    << "// The numbers of the forms (IdPit), made by dcfields from the `form:` and\n"
    << "// `constant:` keys of the sources in data/forms. Change the sources, not\n"
    << "// this file.\n\n"
    << "namespace pit {\n\n"
    << "constexpr int kFormTypeCount = " << rows.size() << ";\n\n"
    << "enum IdPit : int {\n";
  for (const auto& [idPit, r] : rows) h << "  " << r.constant << " = " << idPit << ",  // " << r.code << "\n";
  h << "};\n\n}  // namespace pit\n";
  return h.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "użycie: dcfields KATALOG_ZRODEL KATALOG_WYJSCIOWY\n";
    return 2;
  }
  const fs::path srcDir = argv[1], outDir = fs::path(argv[2]) / "forms";
  const std::vector<fs::path> sources = dcgen::FormSources(srcDir);
  std::optional<dcgen::SharedTemplates> shared;
  try {
    shared = dcgen::LoadSharedTemplates(srcDir);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  fs::create_directories(outDir);
  std::map<std::string, fs::path> sourceOf, sourceOfConstant;
  std::map<int, CatalogueRow> rows;
  int failures = 0;
  for (const auto& src : sources) {
    const std::string file = src.filename().string();
    try {
      const YAML::Node node = YAML::LoadFile(src.string());
      const int idPit = node["form"].as<int>();
      if (rows.count(idPit)) throw dcgen::SourceError("formularz " + std::to_string(idPit) + " ma już inne źródło");
      rows[idPit] = RowOf(node);
      if (const auto [first, fresh] = sourceOfConstant.emplace(rows[idPit].constant, src); !fresh)
        throw dcgen::SourceError("stała '" + rows[idPit].constant + "' ma już " + first->second.filename().string());
      if (!node["namespace"]) continue;
      const std::string ns = node["namespace"].as<std::string>();
      if (!dcgen::IsFieldName(ns)) throw dcgen::SourceError("przestrzeń nazw '" + ns + "' ma być w stylu snake_case");
      if (const auto [first, fresh] = sourceOf.emplace(ns, src); !fresh)
        throw dcgen::SourceError("przestrzeń nazw '" + ns + "' ma już " + first->second.filename().string());
      const auto named = dcgen::CollectFieldIds(dcgen::ExpandTemplates(node, shared ? &*shared : nullptr));
      const std::string header = dcgen::FieldsHeader(ns, node["form"].as<int>(), node["code"].as<std::string>(),
                                                     "data/forms/" + file, named);
      if (!WriteIfChanged(outDir / (ns + "_fields.h"), header))
        throw dcgen::SourceError("nie można zapisać " + (outDir / (ns + "_fields.h")).string());
    } catch (const std::exception& e) {
      std::cerr << file << ": " << e.what() << "\n";
      ++failures;
    }
  }
  // The forms are numbered 1, 2, ... without a gap.
  int expected = 1;
  for (const auto& kv : rows) {
    if (kv.first != expected) {
      std::cerr << "brak źródła formularza " << expected << "\n";
      ++failures;
      break;
    }
    ++expected;
  }
  if (!failures && !WriteIfChanged(outDir / "catalogue_rows.h", CatalogueHeader(rows))) {
    std::cerr << "nie można zapisać " << (outDir / "catalogue_rows.h").string() << "\n";
    ++failures;
  }
  if (!failures && !WriteIfChanged(outDir / "form_numbers.h", NumbersHeader(rows))) {
    std::cerr << "nie można zapisać " << (outDir / "form_numbers.h").string() << "\n";
    ++failures;
  }
  return failures ? 1 : 0;
}
