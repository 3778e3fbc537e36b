#pragma once
// Draws a form page as it goes on paper and into the HTML copy: the page
// picture stretched by a scale factor with margins, and the values in the
// colours of the form's definition (not the form window's highlight), moved
// by the data shift. Printing and the HTML copy differ only in small
// details (text area, pen widths, tick geometry), named by PaperKind.
#include <QFont>
#include <QImage>
#include <vector>

#include "app/settlement.h"
#include "forms/field_object.h"
#include "print_options.h"

class QPainter;

namespace pit::render {

class PagePicture;

enum class PaperKind { Print, HtmlCopy };

// Where the page goes on the surface.
struct PaperGeometry {
  double scale = 1.0;  // surface pixels per page pixel (page pictures are 800 wide)
  int left = 0, top = 0;
  int dx = 0, dy = 0;  // shift of the written data against the picture
  // Surface pixels per printer pixel, for the fixed distances of a printed
  // page (pens, the text's drop). 1 for the HTML copy; printing counts in
  // 1/600-inch printer pixels on devices of any resolution (printed_page.h).
  double unit = 1.0;

  // From the shared options: f = (`perStep` x size correction + surface
  // width) / 800; margins in steps of 10 pixels; a smaller page is centred.
  static PaperGeometry From(const PrintOptions& o, int surfaceWidth, int perStep);
};

// The values of the fields of `page` (definition's Visible flag only; the
// hidden alternative slots of PIT/B and PIT-28/B are skipped).
void PaintPaperFields(QPainter& p, PaperKind kind, const PaperGeometry& g, int idPit,
                      const std::vector<FieldObject>& defs, const FormEntry& entry, int page, const QFont& font);

// One page of the HTML copy: a surface as large as the page, the coloured
// picture (white when there is none) and, when `defs` is not null, the values.
QImage RenderHtmlCopyPage(const PagePicture* picture, int idPit, const std::vector<FieldObject>* defs,
                          const FormEntry& entry, int page, const PrintOptions& o);

}  // namespace pit::render
