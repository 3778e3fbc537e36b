#include "printed_page.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "forms/definition_files.h"
#include "page_painter.h"

namespace pit::render {
namespace {

constexpr int kShownPageWidth = 800;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

int Round(double v) { return static_cast<int>(std::lround(std::clamp(v, -1e6, 1e6))); }

}  // namespace

QFont PrintFont() {
  QFont f;
  // Nobody on Linux has the original's printer font; the families after it
  // are the platform's closest (metric-compatible with Arial).
  f.setFamilies({QString::fromLatin1(kPrintFontFamily), QStringLiteral("Microsoft Sans Serif"),
                 QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  f.setStyleHint(QFont::SansSerif);
  f.setPointSize(kPrintFontPoints);
  return f;
}

PaperGeometry GeometryFor(const PrintOptions& o, int deviceWidth, int dpi) {
  PaperGeometry g;
  g.unit = dpi > 0 ? static_cast<double>(dpi) / kPrinterPixelsPerInch : 1.0;
  g.scale = (deviceWidth + 10.0 * o.sizeCorrection * g.unit) / kShownPageWidth;
  g.top = Round(10.0 * o.top * g.unit);
  // A smaller page is centred; the left margin plays no part then.
  g.left = Round((o.sizeCorrection < 0 ? std::floor(-10.0 * o.sizeCorrection / 2) : 10.0 * o.left) * g.unit);
  g.dx = Round(o.dx * g.unit);
  g.dy = Round(o.dy * g.unit);
  return g;
}

void PrintPage(QPainter& p, const PaperGeometry& g, const PrintedPage& pg, bool withData) {
  p.save();
  if (pg.picture != nullptr && pg.picture->Loaded()) {
    const QRectF target(g.left, g.top, kShownPageWidth * g.scale, pg.picture->Height() * g.scale);
    pg.picture->DrawInto(p, target);
  }
  if (withData && pg.fileDefs != nullptr && pg.entry != nullptr) {
    // Visible in the file and in the form window; an identifier has the
    // cells of its kind (eleven for a PESEL) as the window gives it.
    std::vector<FieldObject> defs = *pg.fileDefs;
    if (pg.shownDefs != nullptr)
      for (std::size_t k = 0; k < defs.size() && k < pg.shownDefs->size(); ++k) {
        defs[k].Visible = defs[k].Visible && (*pg.shownDefs)[k].Visible;
        defs[k].MaxChar = (*pg.shownDefs)[k].MaxChar;
      }
    PaintPaperFields(p, PaperKind::Print, g, pg.idPit, defs, *pg.entry, pg.page, PrintFont());
  }
  p.restore();
}

QString JobTitle(const std::vector<std::string>& codes) {
  QStringList names;
  for (const std::string& c : codes)
    if (!names.contains(Q(c))) names << Q(c);
  return QStringLiteral("Wydruk druku ") + names.join(QStringLiteral(", "));
}

FormPrinter::FormPrinter(const PrintOptions& o, std::string dcDir) : options_(o), dcDir_(std::move(dcDir)) {
  // As the print window's spin boxes allow them.
  options_.sizeCorrection = std::clamp(options_.sizeCorrection, -50, 50);
  for (int* v : {&options_.top, &options_.left, &options_.dx, &options_.dy}) *v = std::clamp(*v, -100, 100);
}

void FormPrinter::Print(QPainter& painter, QPagedPaintDevice& device, const FormToPrint& form, bool onFreshPage) {
  const PaperGeometry g = GeometryFor(options_, device.width(), device.logicalDpiX());
  bool fresh = onFreshPage;
  for (int page : form.pages) {
    if (!fresh) device.newPage();
    fresh = false;
    PagePicture picture;
    const std::string path = DcgPath(dcDir_, form.idPit, page, !options_.coloured);
    if (!picture.Load(path) && std::find(missing_.begin(), missing_.end(), path) == missing_.end())
      missing_.push_back(path);
    PrintedPage pg;
    pg.idPit = form.idPit;
    pg.page = page;
    pg.entry = form.entry;
    pg.fileDefs = &form.fileDefs;
    pg.shownDefs = form.shownDefs.empty() ? nullptr : &form.shownDefs;
    pg.picture = &picture;
    PrintPage(painter, g, pg, options_.content != 0);
    ++pages_;
  }
}

std::string MissingPicturesMessage(const std::vector<std::string>& paths) {
  if (paths.empty()) return {};
  std::string m = "Nie można odczytać rysunku strony druku:\n";
  for (const std::string& p : paths) m += p + "\n";
  m += "Te strony wydrukowano bez rysunku formularza, z samymi danymi.";
  return m;
}

}  // namespace pit::render
