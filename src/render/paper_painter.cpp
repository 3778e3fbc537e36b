#include "paper_painter.h"

#include <QPainter>
#include <QPen>
#include <cmath>

#include "forms/values.h"
#include "page_painter.h"

namespace pit::render {
namespace {

constexpr int kPageWidth = 800;
constexpr int kFallbackHeight = 1131;  // an A4 page 800 pixels wide
constexpr int kDateCells = 10;

QColor ColourOf(const std::string& rrggbb) {
  const Rgb c = ParseColour(rrggbb);
  return QColor(c.r, c.g, c.b);
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

struct Box {
  int left, top, right, bottom;
};

Box Place(const FieldObject& d, const PaperGeometry& g) {
  auto x = [&](int v) { return static_cast<int>(std::lround(v * g.scale)) + g.left + g.dx; };
  auto y = [&](int v) { return static_cast<int>(std::lround(v * g.scale)) + g.top + g.dy; };
  return {x(d.Left), y(d.Top), x(d.Right), y(d.Bottom)};
}

void PaintTick(QPainter& p, PaperKind kind, const Box& b) {
  if (kind == PaperKind::Print) {
    p.setPen(QPen(Qt::black, 10));
    p.drawLine(b.left + 3, b.top + 3, b.right - 3, b.bottom - 3);
    p.drawLine(b.left + 3, b.bottom - 3, b.right - 3, b.top + 3);
  } else {
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(b.left, b.top, b.right - 2, b.bottom - 2);
    p.drawLine(b.left, b.bottom - 3, b.right - 3, b.top);
  }
}

void PaintText(QPainter& p, PaperKind kind, const Box& b, const FieldObject& d, const ValueSlot& slot) {
  const QColor fill = ColourOf(d.FillColor);
  p.fillRect(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)), fill);
  p.setPen(QPen(ColourOf(d.BorderColor), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)));

  std::string value = slot.Value;
  if (d.Typ == kLiczba && !value.empty() && d.Option != 2) value = AmountAsShown(value, d.Typ, d.Option);
  if (value.empty()) return;
  const QString text = Q(value);

  // Printing writes a line lower than the box (its font sits above the
  // baseline); the HTML copy keeps the text inside the box.
  const QRect area = kind == PaperKind::Print ? QRect(QPoint(b.left + 1, b.top + 15), QPoint(b.right - 1, b.bottom + 13))
                                              : QRect(QPoint(b.left + 1, b.top + 1), QPoint(b.right - 1, b.bottom - 1));
  p.setPen(QPen(ColourOf(d.TextColor), 1));
  p.setBackground(fill);
  p.setBackgroundMode(Qt::OpaqueMode);

  const int cells = d.Typ == kData ? kDateCells : d.MaxChar;
  if (d.TextAlign == kAlignCells && cells > 0) {
    const int w = (b.right - b.left) / cells;
    for (int j = 0; j < cells && j < text.size(); ++j) {
      const int x0 = b.left + j * w;
      const int x1 = j == cells - 1 ? b.right : x0 + w + 1;
      const QRect cell(QPoint(x0 + 1, area.top()), QPoint(x1 - 1, area.bottom()));
      p.drawText(cell, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text.mid(j, 1));
    }
  } else {
    int align = Qt::AlignHCenter;
    if (d.TextAlign == kAlignLeft) align = Qt::AlignLeft;
    if (d.TextAlign == kAlignRight) align = Qt::AlignRight;
    const int wrap = d.Multiline ? Qt::TextWordWrap : Qt::TextSingleLine;
    p.drawText(area, align | Qt::AlignTop | wrap, text);
  }
  p.setBackgroundMode(Qt::TransparentMode);
}

}  // namespace

PaperGeometry PaperGeometry::From(const PrintOptions& o, int surfaceWidth, int perStep) {
  PaperGeometry g;
  g.scale = static_cast<double>(perStep * o.sizeCorrection + surfaceWidth) / kPageWidth;
  g.top = 10 * o.top;
  g.left = 10 * o.left;
  if (o.sizeCorrection < 0) g.left = static_cast<int>(std::floor(-10.0 * o.sizeCorrection / 2));
  g.dx = o.dx;
  g.dy = o.dy;
  return g;
}

void PaintPaperFields(QPainter& p, PaperKind kind, const PaperGeometry& g, int idPit,
                      const std::vector<FieldObject>& defs, const FormEntry& entry, int page, const QFont& font) {
  p.save();
  p.setFont(font);
  p.setRenderHint(QPainter::Antialiasing, false);
  const int n = std::min<int>(static_cast<int>(defs.size()), kSlotCount);
  for (int k = 0; k < n; ++k) {
    const FieldObject& d = defs[static_cast<std::size_t>(k)];
    if (!d.Visible || d.Page != page || IsNeverDrawn(idPit, k)) continue;
    const ValueSlot& slot = entry.Slots[static_cast<std::size_t>(k)];
    const Box b = Place(d, g);
    switch (d.Typ) {
      case kCheckbox:
        if (slot.CheckState) PaintTick(p, kind, b);
        break;
      case kKreska:
        if (slot.Option != 0) {
          p.setPen(QPen(Qt::black, kind == PaperKind::Print ? 10 : 3));
          const int y = b.top + (b.bottom - b.top) / 2;
          p.drawLine(b.left, y, b.right, y);
        }
        break;
      default:
        PaintText(p, kind, b, d, slot);
        break;
    }
  }
  p.restore();
}

QImage RenderHtmlCopyPage(const PagePicture* picture, int idPit, const std::vector<FieldObject>* defs,
                          const FormEntry& entry, int page, const PrintOptions& o) {
  const bool withPicture = picture != nullptr && picture->Loaded();
  const int height = withPicture ? picture->Height() : kFallbackHeight;
  QImage img(kPageWidth, height, QImage::Format_RGB888);
  img.fill(Qt::white);
  const PaperGeometry g = PaperGeometry::From(o, kPageWidth, 100);
  QPainter p(&img);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  if (withPicture) {
    p.save();
    p.translate(g.left, g.top);
    p.scale(g.scale, g.scale);
    picture->Draw(p, 0, 0);
    p.restore();
  }
  if (defs != nullptr) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(10);
    PaintPaperFields(p, PaperKind::HtmlCopy, g, idPit, *defs, entry, page, font);
  }
  p.end();
  return img;
}

}  // namespace pit::render
