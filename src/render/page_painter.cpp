#include "page_painter.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "emf/emf_player.h"
#include "forms/values.h"

namespace pit::render {
namespace {

constexpr int kPageWidth = 800;
constexpr int kSmallestPoints = 4;
// Larger letters than any box of a printed form holds; a size above it can only
// come from a damaged definition.
constexpr int kLargestPoints = 72;
constexpr int kFitMargin = 10;
constexpr int kDateCells = 10;

const ValueSlot* SlotOf(const FormEntry& entry, int k) {
  if (k < 0 || k >= kSlotCount) return nullptr;
  return &entry.Slots()[static_cast<std::size_t>(k)];
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// GDI draws lines without their last pixel and rectangles with the outline
// inside the right and bottom edges; the pages were laid out for that.
void Line(QPainter& p, int x0, int y0, int x1, int y1) {
  if (x0 == x1 && y0 == y1) return;
  if (y0 == y1) {
    p.drawLine(x0, y0, x1 > x0 ? x1 - 1 : x1 + 1, y1);
  } else if (x0 == x1) {
    p.drawLine(x0, y0, x1, y1 > y0 ? y1 - 1 : y1 + 1);
  } else {
    p.drawLine(x0, y0, x1, y1);
  }
}

void Rectangle(QPainter& p, int l, int t, int r, int b, const QColor& pen, const QColor& fill) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (r - l < 1 || b - t < 1) return;
  p.fillRect(QRect(l, t, r - l, b - t), fill);
  p.setPen(QPen(pen, 1));
  p.setBrush(Qt::NoBrush);
  if (r - l == 1 || b - t == 1) {
    p.fillRect(QRect(l, t, r - l, b - t), pen);
    return;
  }
  p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}

bool GroupHasTick(const FormEntry& entry, int k) {
  const ValueSlot* own = SlotOf(entry, k);
  if (own == nullptr) return false;
  if (own->Name.empty()) return own->CheckState;
  for (const ValueSlot& s : entry.Slots())
    if (s.Typ == kCheckbox && s.Name == own->Name && s.CheckState) return true;
  return false;
}

void PaintTick(QPainter& p, int k, const FieldObject& d, const FormEntry& entry) {
  QColor frame = colour::kFrame, fill = colour::kFill;
  if (d.ReadOnly) {
    frame = colour::kReadOnlyTickFrame;
    fill = colour::kReadOnlyTickFill;
  } else if (d.MustBe) {
    frame = colour::kRequiredFrame;
    fill = colour::kRequiredFill;
  }
  auto box = [&] {
    Rectangle(p, d.Left, d.Top, d.Right, d.Bottom, frame, fill);
    p.setPen(QPen(frame, 1));
    Line(p, d.Left, d.Top, d.Right, d.Top);
    Line(p, d.Left, d.Top, d.Left, d.Bottom);
    Line(p, d.Left, d.Bottom - 1, d.Right, d.Bottom - 1);
    Line(p, d.Right - 1, d.Top, d.Right - 1, d.Bottom);
  };
  const ValueSlot* slot = SlotOf(entry, k);
  if (slot != nullptr && slot->CheckState) {
    box();
    p.setPen(QPen(colour::kInk, 2));
    p.drawLine(d.Left + 3, d.Top + 3, d.Right - 4, d.Bottom - 4);
    p.drawLine(d.Left + 3, d.Bottom - 4, d.Right - 4, d.Top + 3);
  } else if (!d.ReadOnly && !GroupHasTick(entry, k)) {
    box();
  }
}

QFont FontOf(const PaintOptions& o, int points) {
  QFont f(o.fontFamily);
  f.setPixelSize(std::max(1, PointsToPixels(points)));
  f.setBold(false);
  f.setItalic(false);
  f.setStyleStrategy(QFont::PreferAntialias);
  return f;
}

void PaintText(QPainter& p, int idPit, const FieldObject& d, const ValueSlot* slot, const PaintOptions& o) {
  (void)idPit;
  const QString text = Q(ShownText(d, slot));
  const bool required = d.MustBe;
  const QColor frame = required ? colour::kRequiredFrame : colour::kFrame;
  const QColor fill = required ? colour::kRequiredFill : colour::kFill;
  const bool framed = o.highlight && !d.ReadOnly;

  // Fitting measures what is drawn: the grouped amount of a Liczba field.
  int points = StartFontPoints(d);
  QFont font = FontOf(o, points);
  const int width = d.Right - d.Left;
  while (QFontMetrics(font).horizontalAdvance(text) > width - kFitMargin && points > kSmallestPoints) {
    points -= 2;
    font = FontOf(o, points);
  }
  p.setFont(font);

  int align = Qt::AlignHCenter;
  if (d.TextAlign == kAlignLeft) align = Qt::AlignLeft;
  if (d.TextAlign == kAlignRight) align = Qt::AlignRight;
  const int wrap = d.Multiline ? Qt::TextWordWrap : Qt::TextSingleLine;
  const int flags = align | Qt::AlignTop | wrap | Qt::TextDontClip;

  // A definition can ask for any number of cells; no more are drawn than
  // the value can hold or the box has pixels for, or one page would take
  // seconds to draw.
  const int cells = std::clamp(d.Typ == kData ? kDateCells : d.MaxChar, 0,
                               std::min(static_cast<int>(fow::Value) - 1, std::max(1, d.Right - d.Left)));
  if (d.TextAlign == kAlignCells && cells > 0 && !text.isEmpty()) {
    const int w = (d.Right - d.Left) / cells;
    if (framed) {
      p.setPen(QPen(frame, 1));
      Line(p, d.Left, d.Top, d.Right, d.Top);
      Line(p, d.Left, d.Bottom, d.Right, d.Bottom);
      Line(p, d.Left, d.Top, d.Left, d.Bottom);
    }
    for (int j = 0; j < cells; ++j) {
      const int x0 = d.Left + j * w;
      const int x1 = j == cells - 1 ? d.Right : x0 + w + 1;
      if (framed) Rectangle(p, x0 + 1, d.Top + 1, x1, d.Bottom, colour::kFill, fill);
      if (j >= text.size()) continue;
      const QString ch = text.mid(j, 1);
      const QRect area(QPoint(x0, d.Top + 1), QPoint(x1 - 1, d.Bottom - 2));
      const QRect used = p.boundingRect(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, ch);
      p.fillRect(used.intersected(area), framed ? fill : colour::kFill);
      p.setPen(QPen(colour::kInk, 1));
      p.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, ch);
    }
    if (framed) {
      p.setPen(QPen(frame, 1));
      Line(p, d.Right, d.Top, d.Right, d.Bottom);
    }
  } else {
    if (framed) Rectangle(p, d.Left, d.Top, d.Right, d.Bottom, frame, fill);
    if (!text.isEmpty()) {
      const QRect area(QPoint(d.Left + 1, d.Top + 1), QPoint(d.Right - 2, d.Bottom - 2));
      // The letters may run past the field, their background may not: a
      // line of text is taller than most fields' insides and would hide
      // the frame's bottom edge.
      const QRect used = p.boundingRect(area, flags, text);
      // On a page drawn larger or smaller than its pixels, rounding would
      // let that background cover the top of the frame's bottom edge, which
      // then shows only beside the text like an underline: it stops a pixel
      // higher there.
      QRect inside = area;
      if (p.worldTransform().isScaling()) inside.setBottom(inside.bottom() - 1);
      p.fillRect(used.intersected(inside), colour::kFill);
      p.setPen(QPen(colour::kInk, 1));
      p.drawText(area, flags, text);
    }
  }
  p.setPen(QPen(colour::kInk, 1));
}

}  // namespace

bool IsNeverDrawn(int idPit, int k) {
  if (idPit == 10) return k >= 60 && k <= 65;    // PIT/B
  if (idPit == 19) return k >= 109 && k <= 132;  // PIT-28/B
  return false;
}

int PointsToPixels(int points) {
  // MulDiv(points, 96, 72): rounded half away from zero.
  const int num = points * 96;
  return num >= 0 ? (num + 36) / 72 : -((-num + 36) / 72);
}

int StartFontPoints(const FieldObject& d) {
  int points = 0;
  bool digits = !d.FontSize.empty();
  for (char c : d.FontSize) digits = digits && c >= '0' && c <= '9';
  if (digits) points = std::atoi(d.FontSize.c_str());
  if (points > 0) return std::min(points, kLargestPoints);
  // No size of its own: the largest that fits the field's height, leaving
  // room above and below the letters (a size from the field's width would
  // not fit any field wider than it is high).
  const int px = static_cast<int>(std::min<long long>(std::llabs(static_cast<long long>(d.Bottom) - d.Top), 200)) - 4;
  return std::clamp(px * 72 / 96, kSmallestPoints, kLargestPoints);
}

std::string ShownText(const FieldObject& d, const ValueSlot* slot) {
  std::string text = slot != nullptr ? slot->Value : std::string();
  if (text.empty()) text = d.DefValue;
  if (d.Typ == kLiczba) return AmountAsShown(text, d.Typ, d.Option);
  return text;
}

void PaintField(QPainter& p, int idPit, int k, const std::vector<FieldObject>& defs, const FormEntry& entry,
                const PaintOptions& o) {
  if (k < 0 || k >= static_cast<int>(defs.size())) return;
  const FieldObject& d = defs[static_cast<std::size_t>(k)];
  if (!d.Visible || IsNeverDrawn(idPit, k)) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(colour::kInk, 1));
  switch (d.Typ) {
    case kCheckbox:
      PaintTick(p, k, d, entry);
      break;
    case kKreska: {
      const ValueSlot* slot = SlotOf(entry, k);
      if (slot != nullptr && slot->Option == 1) {
        const int y = d.Top + std::abs(d.Bottom - d.Top) / 2;
        Line(p, d.Left, y, d.Right, y);
      }
      break;
    }
    default:
      PaintText(p, idPit, d, SlotOf(entry, k), o);
      break;
  }
  p.restore();
}

void PaintFields(QPainter& p, int idPit, const std::vector<FieldObject>& defs, const FormEntry& entry, int page,
                 const PaintOptions& o) {
  for (int k = 0; k < static_cast<int>(defs.size()); ++k)
    if (defs[static_cast<std::size_t>(k)].Page == page) PaintField(p, idPit, k, defs, entry, o);
}

bool PagePicture::Load(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) {
    error_ = "Brak wymaganego pliku dcg:\n" + path;
    return false;
  }
  const QByteArray data = f.readAll();
  std::vector<std::uint8_t> bytes(data.begin(), data.end());
  if (!LoadBytes(bytes)) {
    error_ = path + ": " + error_;
    return false;
  }
  return true;
}

bool PagePicture::LoadBytes(const std::vector<std::uint8_t>& bytes) {
  emf::Metafile mf;
  const emf::ParseResult r = emf::ParseEmf(bytes, mf);
  if (!r.ok()) {
    error_ = "Plik rysunku strony jest uszkodzony: " + r.Message();
    return false;
  }
  const int h = emf::HeightForWidth(mf.header, kPageWidth);
  if (h < 1) {
    error_ = "Plik rysunku strony jest uszkodzony: nieprawidłowe wymiary strony";
    return false;
  }
  metafile_ = std::move(mf);
  height_ = h;
  loaded_ = true;
  error_.clear();
  return true;
}

void PagePicture::Release() {
  metafile_ = emf::Metafile{};
  loaded_ = false;
  height_ = 0;
}

void PagePicture::Draw(QPainter& p, int x, int y) const {
  if (!loaded_) return;
  emf::PlayEmf(p, metafile_, QRectF(x, y, kPageWidth, height_));
}

void PagePicture::DrawInto(QPainter& p, const QRectF& target) const {
  if (loaded_) emf::PlayEmf(p, metafile_, target);
}

QImage RenderPage(const PagePicture* picture, int idPit, const std::vector<FieldObject>& defs,
                  const FormEntry& entry, int page, const PaintOptions& o, int leftOffset, int fallbackHeight) {
  const bool withPicture = picture != nullptr && picture->Loaded();
  const int height = withPicture ? picture->Height() : fallbackHeight;
  QImage img(leftOffset + kPageWidth, std::max(1, height), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  if (withPicture) picture->Draw(p, leftOffset, 0);
  p.translate(leftOffset, 0);
  PaintFields(p, idPit, defs, entry, page, o);
  p.end();
  return img;
}

}  // namespace pit::render
