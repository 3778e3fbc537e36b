// pit2014cli render: one page of one entry drawn as the form window draws it
// after opening the file and selecting the entry (picture, fields, values and
// colours after the entry's calculation), into a PNG file. Headless: the
// drawing runs on Qt's offscreen platform.
#include "commands.h"

#include <iostream>

#ifdef PIT_WITH_RENDER
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "app/file_io.h"

#include "forms/definition_library.h"
#include "offscreen_drawing.h"
#include "page_painter.h"
#include "recalc.h"
#endif

namespace pit::cli {

#ifndef PIT_WITH_RENDER

int CmdRender(const std::vector<std::string>&, const std::string&) {
  std::cerr << "pit2014cli: ta wersja programu nie rysuje stron (zbudowana bez Qt)\n";
  return kUsage;
}

#else

namespace {

namespace fs = std::filesystem;

const char* const kRenderUsage =
    "  pit2014cli render PLIK --entry N --page P -o PLIK.png [--no-background] [--dc KATALOG]\n";

int RenderUsage(const std::string& why) {
  std::cerr << "pit2014cli: " << why << "\nUżycie:\n" << kRenderUsage;
  return kUsage;
}

struct RenderArgs {
  std::string file, out, dcDir;
  int entry = 0, page = 0;
  bool noBackground = false;
};

int ParseRenderArgs(const std::vector<std::string>& args, const std::string& argv0, RenderArgs& r) {
  std::string entry, page;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    bool ok = true;
    if (a == "--entry") ok = value(entry);
    else if (a == "--page") ok = value(page);
    else if (a == "-o") ok = value(r.out);
    else if (a == "--dc") ok = value(r.dcDir);
    else if (a == "--no-background") r.noBackground = true;
    else if (!a.empty() && a[0] == '-') return RenderUsage("nieznana opcja " + a);
    else if (r.file.empty()) r.file = a;
    else return RenderUsage("render rysuje jedną stronę jednego pliku");
    if (!ok) return RenderUsage("brak wartości opcji " + a);
  }
  if (r.file.empty()) return RenderUsage("brak pliku rozliczenia");
  if (r.out.empty()) return RenderUsage("brak opcji -o PLIK.png");
  if (!ParsePositive(entry, r.entry)) return RenderUsage("--entry przyjmuje numer pozycji od 1");
  if (!ParsePositive(page, r.page)) return RenderUsage("--page przyjmuje numer strony od 1");
  const std::string folder = DataFolder(argv0);
  if (r.dcDir.empty()) r.dcDir = (fs::u8path(folder) / "dc").u8string();
  return kDone;
}

}  // namespace

int CmdRender(const std::vector<std::string>& args, const std::string& argv0) {
  RenderArgs r;
  if (const int rc = ParseRenderArgs(args, argv0, r); rc != kDone) return rc;

  DefinitionLibrary defs(r.dcDir);
  CliSession session(defs, (fs::u8path(DataFolder(argv0)) / "bib").u8string());
  if (const int rc = session.Open(r.file); rc != kDone) return rc;
  if (const int rc = session.CheckEntry(r.entry, r.page); rc != kDone) return rc;
  const Settlement& s = session.settlement;
  const int idPit = s.Entry(r.entry).IdPit;
  const std::string dcs = defs.DcsPath(idPit);
  const std::string dcg = defs.DcgPath(idPit, r.page, r.noBackground);
  if (!fs::exists(fs::u8path(dcs)) || !fs::exists(fs::u8path(dcg))) {
    std::cerr << "Brak wymaganych plików: \n" << dcs << "\n" << dcg << "\n";
    return kFileError;
  }

  const auto app = StartOffscreenDrawing();

  // A form that cannot be calculated is still drawn as it stands.
  session.PrepareForOutput();
  std::vector<std::string> messages;
  const std::vector<FieldObject> fields = session.session.FieldsAsShown(r.entry, &messages);
  for (const std::string& m : messages) std::cerr << m << "\n";

  render::PagePicture picture;
  if (!picture.Load(dcg)) {
    std::cerr << picture.Error() << "\n";
    return kFileError;
  }
  const QImage img = render::RenderPage(&picture, idPit, fields, s.Entry(r.entry), r.page);
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !img.save(&buffer, "PNG")) {
    std::cerr << "Nie można zapisać pliku " << r.out << "\n";
    return kFileError;
  }
  // As a settlement is saved: owner-only, through a link to the file it
  // names, never into a pipe or a device.
  const WriteError e = WriteFileReplacing(r.out, std::vector<std::uint8_t>(png.begin(), png.end()));
  if (e != WriteError::None) {
    std::cerr << OutputFailureMessage(r.out, e) << "\n";
    return kFileError;
  }
  return kDone;
}

#endif

}  // namespace pit::cli
