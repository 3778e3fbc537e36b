#include "paper_painter.h"

#include <QFontMetrics>
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

// Printer pixels in surface pixels.
int Px(const PaperGeometry& g, int printerPixels) {
  return static_cast<int>(std::lround(printerPixels * g.unit));
}

void PaintTick(QPainter& p, PaperKind kind, const PaperGeometry& g, const Box& b) {
  if (kind == PaperKind::Print) {
    const int in = Px(g, 3);
    p.setPen(QPen(Qt::black, Px(g, 10), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(b.left + in, b.top + in, b.right - in, b.bottom - in);
    p.drawLine(b.left + in, b.bottom - in, b.right - in, b.top + in);
  } else {
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(b.left, b.top, b.right - 2, b.bottom - 2);
    p.drawLine(b.left, b.bottom - 3, b.right - 3, b.top);
  }
}

// A value on paper. The text drops 15 printer pixels below the box's top
// and may reach 13 below its bottom, as the printer font sits high in its
// line. Unlike the bare rule, the text keeps 12 printer pixels (0.5 mm) off
// the box's sides, so that no digit touches a line (people and the tax
// office's scanners read such digits badly); its background stays inside the
// box, so a line of text lower than a small box does not wipe out the box's
// bottom edge; and a value wider than its box gets a smaller font, two points
// at a time as on the screen, instead of running over the next box.
void PrintText(QPainter& p, const PaperGeometry& g, const Box& b, const FieldObject& d, const QString& text,
               const QColor& fill) {
  constexpr int kSmallestPoints = 4;
  const QRect inside(QPoint(b.left + 1, b.top + 1), QPoint(b.right - 2, b.bottom - 2));
  const int inset = Px(g, 12);
  const QRect area(QPoint(b.left + inset, b.top + Px(g, 15)), QPoint(b.right - inset, b.bottom + Px(g, 13)));
  auto draw = [&](const QRect& r, int flags, const QString& t) {
    p.fillRect(p.boundingRect(r, flags, t).intersected(inside), fill);
    p.drawText(r, flags, t);
  };
  const int cells = d.Typ == kData ? kDateCells : d.MaxChar;
  if (d.TextAlign == kAlignCells && cells > 0) {
    const int w = (b.right - b.left) / cells;
    for (int j = 0; j < cells && j < text.size(); ++j) {
      const int x0 = b.left + j * w;
      const int x1 = j == cells - 1 ? b.right : x0 + w + 1;
      draw(QRect(QPoint(x0 + 1, area.top()), QPoint(x1 - 1, area.bottom())),
           Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text.mid(j, 1));
    }
    return;
  }
  int align = Qt::AlignHCenter;
  if (d.TextAlign == kAlignLeft) align = Qt::AlignLeft;
  if (d.TextAlign == kAlignRight) align = Qt::AlignRight;
  if (!d.Multiline) {
    QFont font = p.font();
    int points = font.pointSize();
    while (points > kSmallestPoints && QFontMetrics(font, p.device()).horizontalAdvance(text) > area.width()) {
      points -= 2;
      font.setPointSize(points);
    }
    p.setFont(font);
  }
  draw(area, align | Qt::AlignTop | (d.Multiline ? Qt::TextWordWrap : Qt::TextSingleLine), text);
}

void PaintText(QPainter& p, PaperKind kind, const PaperGeometry& g, const Box& b, const FieldObject& d,
               const ValueSlot& slot) {
  const QColor fill = ColourOf(d.FillColor);
  p.fillRect(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)), fill);
  p.setPen(QPen(ColourOf(d.BorderColor), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)));

  std::string value = slot.Value;
  if (d.Typ == kLiczba && !value.empty() && d.Option != 2) value = AmountAsShown(value, d.Typ, d.Option);
  if (value.empty()) return;
  const QString text = Q(value);
  if (kind == PaperKind::Print) {
    p.save();
    p.setPen(QPen(ColourOf(d.TextColor), 1));
    PrintText(p, g, b, d, text, fill);
    p.restore();
    return;
  }

  // The HTML copy keeps the text inside the box.
  const QRect area(QPoint(b.left + 1, b.top + 1), QPoint(b.right - 1, b.bottom - 1));
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
    const ValueSlot& slot = entry.Slots()[static_cast<std::size_t>(k)];
    const Box b = Place(d, g);
    switch (d.Typ) {
      case kCheckbox:
        if (slot.CheckState) PaintTick(p, kind, g, b);
        break;
      case kKreska:
        if (slot.Option != 0) {
          p.setPen(kind == PaperKind::Print ? QPen(Qt::black, Px(g, 10), Qt::SolidLine, Qt::RoundCap) : QPen(Qt::black, 3));
          const int y = b.top + (b.bottom - b.top) / 2;
          p.drawLine(b.left, y, b.right, y);
        }
        break;
      default:
        PaintText(p, kind, g, b, d, slot);
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
