#pragma once
// Printing a form: the page pictures stretched over the printer's page and
// the values written over them at their fields' places, in the look of the
// paper form (the definition's own colours, one printer font, ticks as
// crosses). The device is any paged paint device: a printer chosen in the
// print dialog or a PDF file.
//
// Printer pixels: the settings and the fixed distances of the printed page
// (the 15-pixel drop of the text, the 10-pixel pens) count in pixels of a
// 600-dpi printer and are converted to the device's own resolution, so the
// same settings move the print by the same millimetres on every printer. The
// page itself is stretched over the device's page width, so an A4 page fills
// an A4 sheet whatever the resolution.
#include <QFont>
#include <QString>
#include <string>
#include <vector>

#include "app/settlement.h"
#include "forms/field_object.h"
#include "paper_painter.h"
#include "print_options.h"

class QPainter;
class QPagedPaintDevice;

namespace pit::render {

class PagePicture;

constexpr int kPrinterPixelsPerInch = 600;
// The printer font; the platform substitutes its own when it has none.
inline const char* const kPrintFontFamily = "MS Sans Serif";
constexpr int kPrintFontPoints = 9;
QFont PrintFont();

// Where a page goes on a device `deviceWidth` pixels wide at `dpi`: the
// page stretched over the width plus the size correction, the margins and
// the data shift, all counted in printer pixels.
PaperGeometry GeometryFor(const PrintOptions& o, int deviceWidth, int dpi);

// One page of one entry. `fileDefs` are the definition file's records;
// `shownDefs` the same fields as the form window holds them after the
// entry's calculation (read-only, hidden, an identifier's cells); a field
// is printed only when it is visible in both, with the cell count of the
// window (null: as in the file). `picture` may be null or not
// loaded: the page area is then left empty and only the values are written.
struct PrintedPage {
  int idPit = 0;
  int page = 1;
  const FormEntry* entry = nullptr;
  const std::vector<FieldObject>* fileDefs = nullptr;
  const std::vector<FieldObject>* shownDefs = nullptr;
  const PagePicture* picture = nullptr;
};
void PrintPage(QPainter& p, const PaperGeometry& g, const PrintedPage& page, bool withData);

// One form entry to print with everything needed to draw it.
struct FormToPrint {
  int entryNumber = 0;
  int idPit = 0;
  std::string code;  // the catalogue's Code
  const FormEntry* entry = nullptr;
  std::vector<FieldObject> fileDefs;
  std::vector<FieldObject> shownDefs;  // empty: as in the file
  std::vector<int> pages;              // 1-based page numbers
};

// Title of a print job: "Wydruk druku " + the form's code; a job holding
// several forms (one PDF file) names them all.
QString JobTitle(const std::vector<std::string>& codes);

// Draws forms page after page onto paged devices. Pictures come from
// `dcDir` (coloured or without background as the options say); those that
// could not be read are collected for one message at the end.
class FormPrinter {
 public:
  FormPrinter(const PrintOptions& o, std::string dcDir);
  // Prints every page of `form` with `painter` open on `device`. A new
  // device page is started before each page, except before the first one
  // when `onFreshPage` (nothing drawn on the device yet).
  void Print(QPainter& painter, QPagedPaintDevice& device, const FormToPrint& form, bool onFreshPage);
  int PagesPrinted() const { return pages_; }
  // Paths of page pictures that were missing or unreadable, each once.
  const std::vector<std::string>& MissingPictures() const { return missing_; }

 private:
  PrintOptions options_;
  std::string dcDir_;
  int pages_ = 0;
  std::vector<std::string> missing_;
};

// The message telling which pictures were missing (empty when none).
std::string MissingPicturesMessage(const std::vector<std::string>& paths);

}  // namespace pit::render
