// dcgen: compiles the form-definition sources into the dc/ folder the
// program reads, and shows compiled definitions for review.
//
//   dcgen compile SRC_DIR OUT_DIR
//   dcgen dump FILE.dcs
//   dcgen preview DC_DIR IDPIT PAGE OUT.png [x0,y0,x1,y1]
//   dcgen decompile FILE.dcs [FILE.dcd] -o SOURCE.yaml [--form N] [--force]
//                      (the source --force replaces gives the new one its
//                      field names and form keys)
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>

#include "forms/definition_files.h"
#include "decompile.h"
#include "form_source.h"
#include "schema.h"
#include "templates.h"
#include "emf/qt_text_measurer.h"
#include "pictures.h"

namespace fs = std::filesystem;

namespace {

int Usage() {
  std::cerr << "użycie:\n  dcgen compile KATALOG_ZRODEL KATALOG_DC\n  dcgen dump PLIK.dcs\n"
               "  dcgen preview KATALOG_DC IDPIT STRONA PLIK.png [x0,y0,x1,y1]\n"
               "  dcgen decompile PLIK.dcs [PLIK.dcd] -o ZRODLO.yaml [--form N] [--force]\n"
            << dcgen::kPreviousSourceUsage;
  return 2;
}

bool WriteFile(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
  fs::path tmp = p;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(tmp, p, ec);
  return !ec;
}

int Compile(const fs::path& srcDir, const fs::path& outDir) {
  pit::emf::QtTextMeasurer emfMeasurer;
  dcgen::EmfMeasurer measurer(emfMeasurer);
  const std::vector<fs::path> sources = dcgen::FormSources(srcDir);
  // Every source may use the shared templates: a broken file stops all.
  std::optional<dcgen::SharedTemplates> shared;
  try {
    shared = dcgen::LoadSharedTemplates(srcDir);
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  const dcgen::SharedTemplates* sharedPtr = shared ? &*shared : nullptr;
  std::set<std::string> sharedUsed;
  fs::create_directories(outDir);
  int failures = 0;
  if (shared)
    for (const auto& p : dcgen::CheckSharedTemplates(*shared)) {
      std::cerr << p << "\n";
      ++failures;
    }
  // Two sources of one form would overwrite each other's files, the later
  // one winning without a word.
  std::map<int, fs::path> sourceOfForm;
  for (const auto& src : sources) {
    try {
      YAML::Node node = YAML::LoadFile(src.string());
      // A key the generator does not know would be ignored without a word.
      if (const auto wrong = dcgen::CheckSchema(node, src.string(), sharedPtr, &sharedUsed); !wrong.empty()) {
        for (const auto& p : wrong) std::cerr << p << "\n";
        ++failures;
        continue;
      }
      std::vector<dcgen::RepeatedKey> repeated;
      dcgen::CompiledForm form = dcgen::CompileForm(node, measurer, &repeated, sharedPtr);
      for (const auto& r : repeated)
        std::cerr << (r.file.empty() ? src.string() : (srcDir / r.file).string()) << ":" << r.line
                  << ": uwaga: klucz '" << r.key << "' powtarza wartość domyślną"
                  << (r.file.empty() ? "" : " w " + src.filename().string()) << "\n";
      if (const auto [first, fresh] = sourceOfForm.emplace(form.idPit, src); !fresh) {
        std::cerr << src.filename().string() << ": formularz " << form.idPit << " (" << form.code
                  << ") jest już w " << first->second.filename().string() << "\n";
        ++failures;
        continue;
      }
      fs::path contractPath = srcDir / "contract" / (std::to_string(form.idPit) + ".yaml");
      if (!fs::exists(contractPath)) {
        std::cerr << src.filename().string() << ": brak kontraktu " << contractPath.string() << "\n";
        ++failures;
        continue;
      }
      auto problems = dcgen::CheckContract(form, YAML::LoadFile(contractPath.string()));
      if (!problems.empty()) {
        for (const auto& p : problems) std::cerr << src.filename().string() << ": " << p << "\n";
        ++failures;
        continue;
      }
      const std::string dc = outDir.string();
      bool ok = pit::SaveFieldObjects(pit::DcsPath(dc, form.idPit), form.fields) &&
                pit::SaveFormDescription(pit::DcdPath(dc, form.idPit), form.description);
      for (std::size_t p = 0; p < form.pages.size() && ok; ++p) {
        int page = static_cast<int>(p) + 1;
        ok = WriteFile(pit::DcgPath(dc, form.idPit, page, false),
                       dcgen::PagePicture(form.pages[p], true, emfMeasurer)) &&
             WriteFile(pit::DcgPath(dc, form.idPit, page, true),
                       dcgen::PagePicture(form.pages[p], false, emfMeasurer));
      }
      if (!ok) {
        std::cerr << src.filename().string() << ": nie można zapisać plików w " << dc << "\n";
        ++failures;
        continue;
      }
      std::cout << form.code << " (" << form.idPit << "): " << form.fields.size() << " pól, "
                << form.pages.size() << " str.\n";
    } catch (const std::exception& e) {
      std::cerr << src.filename().string() << ": " << e.what() << "\n";
      ++failures;
    }
  }
  // A shared template no source uses is never checked with real values; a
  // folder of a few of the sources (a test's) does not use them all, so it
  // is told, and the test of the shipped sources refuses it.
  if (shared)
    for (const auto& p : dcgen::UnusedSharedTemplates(*shared, sharedUsed)) std::cerr << "uwaga: " << p << "\n";
  return failures ? 1 : 0;
}

const char* TypeName(int typ) {
  static const char* names[] = {"Tekst", "Liczba", "Nip", "Data", "Select",
                                "Checbox", "Kreska", "UrzadSkarbowy", "Kraj", "JedenProcent"};
  return typ >= 0 && typ <= 9 ? names[typ] : "?";
}

int Dump(const std::string& path) {
  auto fields = pit::LoadFieldObjects(path);
  if (!fields) {
    std::cerr << "nie można odczytać " << path << "\n";
    return 1;
  }
  std::printf("%4s %3s %-19s %-13s %3s %4s %-28s %-12s %5s %s\n", "idx", "str", "prostokąt", "typ",
              "opc", "poz", "XML", "nazwa", "tab", "flagi");
  for (std::size_t k = 0; k < fields->size(); ++k) {
    const pit::FieldObject& f = (*fields)[k];
    char rect[40];
    std::snprintf(rect, sizeof rect, "%d,%d-%d,%d", f.Left, f.Top, f.Right, f.Bottom);
    std::string flags;
    if (f.MustBe) flags += " wymagane";
    if (f.ReadOnly) flags += " odczyt";
    if (!f.Visible) flags += " ukryte";
    if (f.Multiline) flags += " wielowierszowe";
    if (f.PlusValue) flags += " dodatnie";
    if (!f.DefValue.empty()) flags += " dom=\"" + f.DefValue + "\"";
    if (f.Typ == pit::kCheckbox) flags += " kod=\"" + f.CheckValue() + "\"";
    if (f.MaxChar) flags += " max=" + std::to_string(f.MaxChar);
    std::printf("%4zu %3d %-19s %-13s %3d %4d %-28s %-12s %5d%s\n", k, f.Page, rect, TypeName(f.Typ),
                f.Option, f.Poz, f.XMLNode.c_str(), f.Name.c_str(), f.Tab, flags.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  if (argc < 2) return Usage();
  std::string cmd = argv[1];
  if (cmd == "compile" && argc == 4) return Compile(argv[2], argv[3]);
  if (cmd == "dump" && argc == 3) return Dump(argv[2]);
  if (cmd == "preview" && (argc == 6 || argc == 7))
    return dcgen::Preview(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argv[5],
                          argc == 7 ? argv[6] : "");
  if (cmd == "decompile") {
    pit::emf::QtTextMeasurer emfMeasurer;
    dcgen::EmfMeasurer measurer(emfMeasurer);
    return dcgen::DecompileCommand(std::vector<std::string>(argv + 2, argv + argc), measurer);
  }
  return Usage();
}
