// pit2014cli print: forms of a settlement printed into one PDF file as the
// print window prints them (the same ranges and options), so that a paper
// copy can be made without the desktop program. Headless: the drawing runs
// on Qt's offscreen platform.
#include "commands.h"

#include <iostream>

#ifdef PIT_WITH_RENDER
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "app/file_io.h"

#include "forms/definition_library.h"
#include "offscreen_drawing.h"
#include "output/print_order.h"
#include "printed_page.h"
#include "recalc.h"
#endif

namespace pit::cli {

#ifndef PIT_WITH_RENDER

int CmdPrint(const std::vector<std::string>&, const std::string&) {
  std::cerr << "pit2014cli: ta wersja programu nie drukuje (zbudowana bez Qt)\n";
  return kUsage;
}

#else

namespace {

namespace fs = std::filesystem;

const char* const kPrintUsage =
    "  pit2014cli print PLIK --entry N [--page P | --form | --return | --all] -o PLIK.pdf\n"
    "                   [--no-background] [--blank] [--size K] [--top K] [--left K] [--dx K] [--dy K]\n"
    "                   [--dc KATALOG]\n";

int PrintUsage(const std::string& why) {
  std::cerr << "pit2014cli: " << why << "\nUżycie:\n" << kPrintUsage;
  return kUsage;
}

struct PrintArgs {
  std::string file, out, dcDir;
  int entry = 0, page = 0;
  bool rangeGiven = false;
  render::PrintOptions options;
};

int ParsePrintArgs(const std::vector<std::string>& args, const std::string& argv0, PrintArgs& r) {
  std::string entry, page;
  r.options.range = kPrintCurrentForm;
  int ranges = 0;
  struct Setting {
    const char* name;
    int* into;
    int limit;
  };
  const Setting settings[] = {
      {"--size", &r.options.sizeCorrection, 50},
      {"--top", &r.options.top, 100},
      {"--left", &r.options.left, 100},
      {"--dx", &r.options.dx, 100},
      {"--dy", &r.options.dy, 100},
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    bool ok = true;
    const Setting* setting = nullptr;
    for (const Setting& s : settings)
      if (a == s.name) setting = &s;
    if (setting != nullptr) {
      std::string v;
      ok = value(v);
      if (ok && (!ParseInt(v, *setting->into, 6) || *setting->into < -setting->limit ||
                 *setting->into > setting->limit))
        return PrintUsage(a + " przyjmuje liczbę całkowitą od " + std::to_string(-setting->limit) + " do " +
                          std::to_string(setting->limit));
    } else if (a == "--entry") {
      ok = value(entry);
    } else if (a == "--page") {
      ok = value(page);
      r.options.range = kPrintCurrentPage;
      ++ranges;
    } else if (a == "--form") {
      r.options.range = kPrintCurrentForm;
      ++ranges;
    } else if (a == "--return") {
      r.options.range = kPrintReturn;
      ++ranges;
    } else if (a == "--all") {
      r.options.range = kPrintSettlement;
      ++ranges;
    } else if (a == "-o") {
      ok = value(r.out);
    } else if (a == "--dc") {
      ok = value(r.dcDir);
    } else if (a == "--no-background") {
      r.options.coloured = false;
    } else if (a == "--blank") {
      r.options.content = 0;
    } else if (!a.empty() && a[0] == '-') {
      return PrintUsage("nieznana opcja " + a);
    } else if (r.file.empty()) {
      r.file = a;
    } else {
      return PrintUsage("print drukuje jeden plik rozliczenia");
    }
    if (!ok) return PrintUsage("brak wartości opcji " + a);
  }
  if (r.file.empty()) return PrintUsage("brak pliku rozliczenia");
  if (r.out.empty()) return PrintUsage("brak opcji -o PLIK.pdf");
  if (ranges > 1) return PrintUsage("podaj jeden zakres: --page P, --form, --return albo --all");
  if (entry.empty() && r.options.range == kPrintSettlement) entry = "1";
  if (!ParseInt(entry, r.entry, 6) || r.entry < 1) return PrintUsage("--entry przyjmuje numer pozycji od 1");
  if (r.options.range == kPrintCurrentPage && (!ParseInt(page, r.page, 6) || r.page < 1))
    return PrintUsage("--page przyjmuje numer strony od 1");
  if (r.dcDir.empty()) r.dcDir = (fs::u8path(DataFolder(argv0)) / "dc").u8string();
  return kDone;
}

// Entry `number` as it is printed: with the fields the form window would
// show for it.
render::FormToPrint Select(CliSession& session, DefinitionLibrary& defs, int number, std::vector<int> pages) {
  const FormEntry& e = session.settlement.Entry(number);
  render::FormToPrint form;
  form.entryNumber = number;
  form.idPit = e.IdPit;
  form.code = session.settlement.Catalogue()[e.IdPit].Code;
  form.entry = &e;
  form.pages = std::move(pages);
  if (const std::vector<FieldObject>* recs = defs.Fields(e.IdPit)) {
    form.fileDefs = *recs;
  } else {
    std::cerr << "Brak pliku definicji formularza " << form.code << ": " << defs.DcsPath(e.IdPit)
              << " (drukowane są same strony druku).\n";
  }
  form.shownDefs = session.session.FieldsAsShown(number);
  return form;
}

std::vector<int> AllPages(int count) {
  std::vector<int> pages;
  for (int p = 1; p <= count; ++p) pages.push_back(p);
  return pages;
}

}  // namespace

int CmdPrint(const std::vector<std::string>& args, const std::string& argv0) {
  PrintArgs r;
  if (const int rc = ParsePrintArgs(args, argv0, r); rc != kDone) return rc;

  DefinitionLibrary defs(r.dcDir);
  CliSession session(defs, (fs::u8path(DataFolder(argv0)) / "bib").u8string());
  if (const int rc = session.Open(r.file); rc != kDone) return rc;
  const Settlement& s = session.settlement;
  const int page = r.options.range == kPrintCurrentPage ? r.page : 0;
  if (const int rc = session.CheckEntry(r.entry, page); rc != kDone) return rc;
  const std::vector<int> entries = EntriesToPrint(s, r.options.range, r.entry);
  for (int n : entries) {
    if (const int rc = session.CheckEntry(n); rc != kDone) return rc;
  }

  const auto app = StartOffscreenDrawing();

  std::vector<std::string> codes;
  for (int n : entries) codes.push_back(s.Catalogue()[s.Entry(n).IdPit].Code);

  // One file holds every form. It is made in memory and written as a
  // settlement is saved: a half-written file never replaces a good one, the
  // file is owner-only, a link is written through to the file it names,
  // and a pipe or a device is refused, never replaced.
  QByteArray bytes;
  QBuffer file(&bytes);
  file.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&file);
  pdf.setResolution(render::kPrinterPixelsPerInch);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  pdf.setTitle(render::JobTitle(codes));
  pdf.setCreator(QStringLiteral("pit2014"));
  QPainter painter;
  if (!painter.begin(&pdf)) {
    std::cerr << "Nie można zapisać pliku " << r.out << "\n";
    return kFileError;
  }
  // A form that cannot be calculated is still printed as it stands.
  session.PrepareForOutput();
  render::FormPrinter printer(r.options, r.dcDir);
  for (int n : entries) {
    const int idPit = s.Entry(n).IdPit;
    const std::vector<int> pages = r.options.range == kPrintCurrentPage
                                       ? std::vector<int>{r.page}
                                       : AllPages(session.session.PageCountOf(idPit));
    printer.Print(painter, pdf, Select(session, defs, n, pages), printer.PagesPrinted() == 0);
  }
  painter.end();
  file.close();
  const WriteError e = WriteFileReplacing(r.out, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  if (e != WriteError::None) {
    std::cerr << OutputFailureMessage(r.out, e) << "\n";
    return kFileError;
  }
  if (!printer.MissingPictures().empty()) std::cerr << render::MissingPicturesMessage(printer.MissingPictures()) << "\n";
  return kDone;
}

#endif

}  // namespace pit::cli
