#include "emf/emf_player.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <variant>

namespace pit::emf {
namespace {

QColor FromColorRef(std::uint32_t c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }

// Raw fonts by face, weight, slant and size. Building one costs far more than
// drawing a line of text, and a page uses a handful, so they live for the
// thread (QRawFont may not cross threads).
struct FontKey {
  QString face;
  bool bold;
  bool italic;
  double pixelSize;
  bool operator==(const FontKey& o) const {
    return face == o.face && bold == o.bold && italic == o.italic && pixelSize == o.pixelSize;
  }
};
size_t qHash(const FontKey& k, size_t seed = 0) {
  return ::qHash(k.face, seed) ^ ::qHash(k.pixelSize, seed) ^ (k.bold ? 0x9e3779b9u : 0) ^ (k.italic ? 0x7f4a7c15u : 0);
}

const QRawFont& CachedRawFont(const QString& face, bool bold, bool italic, double pixelSize) {
  thread_local QHash<FontKey, QRawFont> cache;
  const FontKey key{face, bold, italic, pixelSize};
  auto it = cache.find(key);
  if (it != cache.end()) return *it;
  if (cache.size() > 256) cache.clear();
  QFont f(face);
  f.setBold(bold);
  f.setItalic(italic);
  f.setHintingPreference(QFont::PreferNoHinting);
  f.setPixelSize(100);
  QRawFont raw = QRawFont::fromFont(f);
  if (raw.isValid()) raw.setPixelSize(pixelSize);
  return *cache.insert(key, raw);
}

struct FontObject {
  QRawFont raw;
  double escapement = 0;  // degrees, counter-clockwise
  bool underline = false;
  bool strikeOut = false;
};

struct Object {
  enum Kind { None, Pen, Brush, Font } kind = None;
  QPen pen;
  QBrush brush;
  std::shared_ptr<const FontObject> font;
};

struct DcState {
  QPen pen{QColor(Qt::black), 0};  // BLACK_PEN: cosmetic, one pixel
  QBrush brush{Qt::white};
  std::shared_ptr<const FontObject> font;  // null: the default font
  std::uint32_t textAlign = kTaTop | kTaLeft;
  QColor textColor{Qt::black};
  QColor bkColor{Qt::white};
  bool bkOpaque = true;
  QPointF current;
};

class Player {
 public:
  Player(QPainter& p, const Metafile& mf, double scale) : p_(p), mf_(mf), scale_(scale) {
    objects_.resize(mf.header.nHandles);
  }

  void Run() {
    ApplyPen();
    ApplyBrush();
    for (const Record& r : mf_.records) std::visit([this](const auto& rec) { Play(rec); }, r);
  }

 private:
  // --- state -------------------------------------------------------------
  void ApplyPen() { p_.setPen(dc_.pen); }
  void ApplyBrush() { p_.setBrush(dc_.brush); }

  std::shared_ptr<const FontObject> DefaultFont() {
    if (!defaultFont_) defaultFont_ = MakeFont(u"Arial", -16, 400, false, 0, false, false);
    return defaultFont_;
  }

  std::shared_ptr<const FontObject> MakeFont(const std::u16string& face16, std::int32_t height, std::int32_t weight,
                                             bool italic, std::int32_t escapement, bool underline, bool strikeOut) {
    auto f = std::make_shared<FontObject>();
    const QString face = face16.empty() ? QStringLiteral("Arial")
                                        : QString::fromUtf16(face16.data(), static_cast<qsizetype>(face16.size()));
    const bool bold = weight >= 600;
    // Negative: em height; positive: cell height (ascent + descent); 0: default.
    double em = height < 0 ? -double(height) : height > 0 ? double(height) : 16.0;
    em = std::min(em, 100000.0);
    f->raw = CachedRawFont(face, bold, italic, em);
    if (height > 0 && f->raw.isValid()) {
      const double cell = f->raw.ascent() + f->raw.descent();
      if (cell > 0) f->raw = CachedRawFont(face, bold, italic, std::round(em * em / cell * 64) / 64);
    }
    f->escapement = escapement / 10.0;
    f->underline = underline;
    f->strikeOut = strikeOut;
    return f;
  }

  QPen MakePen(const PenRecord& r) const {
    const std::uint32_t style = r.style & kPsStyleMask;
    if (style == kPsNull) return QPen(Qt::NoPen);
    QPen pen(FromColorRef(r.color));
    const bool geometric = !r.extended || (r.style & kPsGeometric);
    const double width = geometric ? std::abs(double(r.width)) : 0.0;
    // Below one device pixel a geometric pen would thin out or vanish: draw it
    // as the one-pixel cosmetic pen instead.
    if (width * scale_ < 1.0) {
      pen.setWidthF(0);
      pen.setCosmetic(true);
    } else {
      pen.setWidthF(width);
    }
    switch (style) {
      case kPsDash: pen.setStyle(Qt::DashLine); break;
      case kPsDot: pen.setStyle(Qt::DotLine); break;
      case kPsDashDot: pen.setStyle(Qt::DashDotLine); break;
      case kPsDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
      default: pen.setStyle(Qt::SolidLine); break;
    }
    if (geometric) {
      const std::uint32_t cap = r.style & kPsEndcapMask, join = r.style & kPsJoinMask;
      pen.setCapStyle(cap == kPsEndcapSquare ? Qt::SquareCap : cap == kPsEndcapFlat ? Qt::FlatCap : Qt::RoundCap);
      pen.setJoinStyle(join == kPsJoinBevel ? Qt::BevelJoin : join == kPsJoinMiter ? Qt::MiterJoin : Qt::RoundJoin);
    } else {
      pen.setCapStyle(Qt::FlatCap);
    }
    if (r.brushStyle == kBsNull) pen.setStyle(Qt::NoPen);
    return pen;
  }

  static QBrush MakeBrush(const BrushRecord& r) {
    const QColor c = FromColorRef(r.color);
    if (r.style == kBsNull) return QBrush(Qt::NoBrush);
    if (r.style == kBsHatched) {
      static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                               Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
      return QBrush(c, r.hatch < 6 ? hatches[r.hatch] : Qt::SolidPattern);
    }
    return QBrush(c);
  }

  void SelectStock(std::uint32_t index) {
    switch (index) {
      case kWhiteBrush: dc_.brush = QBrush(Qt::white); ApplyBrush(); break;
      case kLtGrayBrush: dc_.brush = QBrush(QColor(0xC0, 0xC0, 0xC0)); ApplyBrush(); break;
      case kGrayBrush: dc_.brush = QBrush(QColor(0x80, 0x80, 0x80)); ApplyBrush(); break;
      case kDkGrayBrush: dc_.brush = QBrush(QColor(0x40, 0x40, 0x40)); ApplyBrush(); break;
      case kBlackBrush: dc_.brush = QBrush(Qt::black); ApplyBrush(); break;
      case kNullBrush: dc_.brush = QBrush(Qt::NoBrush); ApplyBrush(); break;
      case kDcBrush: dc_.brush = QBrush(Qt::white); ApplyBrush(); break;
      case kWhitePen: dc_.pen = QPen(QColor(Qt::white), 0); ApplyPen(); break;
      case kBlackPen:
      case kDcPen: dc_.pen = QPen(QColor(Qt::black), 0); ApplyPen(); break;
      case kNullPen: dc_.pen = QPen(Qt::NoPen); ApplyPen(); break;
      case kDefaultPalette: break;
      default: dc_.font = nullptr; break;  // the stock fonts
    }
  }

  // --- records -----------------------------------------------------------
  void Play(const ValueRecord& r) {
    switch (r.type) {
      case kSetMapMode: break;  // pages are MM_TEXT; no window/viewport records are played
      case kSetBkMode: dc_.bkOpaque = r.value == kOpaque; break;
      case kSetTextAlign: dc_.textAlign = r.value; break;
      case kSetTextColor: dc_.textColor = FromColorRef(r.value); break;
      case kSetBkColor: dc_.bkColor = FromColorRef(r.value); break;
      case kRestoreDc: {
        const std::int32_t n = static_cast<std::int32_t>(r.value);
        std::size_t keep;  // saved states left after the restore
        if (n < 0) {
          if (std::size_t(-std::int64_t(n)) > saved_.size()) return;
          keep = saved_.size() - std::size_t(-std::int64_t(n));
        } else {
          if (n == 0 || std::size_t(n) > saved_.size()) return;
          keep = std::size_t(n) - 1;
        }
        dc_ = saved_[keep];
        saved_.resize(keep);
        ApplyPen();
        ApplyBrush();
        break;
      }
      case kSelectObject: {
        if (r.value & kStockObjectFlag) return SelectStock(r.value & ~kStockObjectFlag);
        if (r.value >= objects_.size()) return;
        const Object& o = objects_[r.value];
        if (o.kind == Object::Pen) dc_.pen = o.pen, ApplyPen();
        else if (o.kind == Object::Brush) dc_.brush = o.brush, ApplyBrush();
        else if (o.kind == Object::Font) dc_.font = o.font;
        break;
      }
      case kDeleteObject:
        if (r.value < objects_.size()) objects_[r.value] = Object{};
        break;
    }
  }

  void Play(const SaveDcRecord&) {
    if (saved_.size() < 4096) saved_.push_back(dc_);
  }

  void Play(const PointRecord& r) {
    const QPointF pt(r.point.x, r.point.y);
    if (r.type == kLineTo) p_.drawLine(dc_.current, pt);
    dc_.current = pt;
  }

  void Play(const RectangleRecord& r) {
    const double l = std::min(r.box.left, r.box.right), t = std::min(r.box.top, r.box.bottom);
    const double w = std::abs(double(r.box.right) - r.box.left), h = std::abs(double(r.box.bottom) - r.box.top);
    p_.drawRect(QRectF(l, t, w, h));
  }

  void Play(const Polyline16Record& r) {
    const std::size_t n = r.xy.size() / 2;
    if (n < 2) return;
    points_.resize(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i) points_[qsizetype(i)] = QPointF(r.xy[2 * i], r.xy[2 * i + 1]);
    p_.drawPolyline(points_.constData(), static_cast<int>(n));
  }

  void Play(const PenRecord& r) {
    Object& o = objects_[r.handle];
    o = Object{};
    o.kind = Object::Pen;
    o.pen = MakePen(r);
  }

  void Play(const BrushRecord& r) {
    Object& o = objects_[r.handle];
    o = Object{};
    o.kind = Object::Brush;
    o.brush = MakeBrush(r);
  }

  void Play(const FontRecord& r) {
    Object& o = objects_[r.handle];
    o = Object{};
    o.kind = Object::Font;
    o.font = MakeFont(r.face, r.height, r.weight, r.italic, r.escapement, r.underline, r.strikeOut);
  }

  void Play(const TextRecord& r) {
    const std::size_t n = r.text.size();
    if (n == 0 && !(r.options & kEtoOpaque)) return;
    const std::shared_ptr<const FontObject> font = dc_.font ? dc_.font : DefaultFont();
    const QRawFont& raw = font->raw;
    if (!raw.isValid()) return;

    // Glyphs, and for each the advance of the code units it stands for.
    glyphs_.resize(static_cast<qsizetype>(n));
    positions_.resize(static_cast<qsizetype>(n));
    advances_.resize(static_cast<qsizetype>(n));
    int glyphCount = 0;
    const bool pdy = (r.options & kEtoPdy) && r.dx.size() >= 2 * n;
    const bool haveDx = !r.dx.empty();
    if (r.options & kEtoGlyphIndex) {
      for (std::size_t i = 0; i < n; ++i) glyphs_[qsizetype(i)] = r.text[i];
      glyphCount = static_cast<int>(n);
    } else {
      glyphCount = static_cast<int>(n);
      if (!raw.glyphIndexesForChars(reinterpret_cast<const QChar*>(r.text.data()), static_cast<int>(n),
                                    glyphs_.data(), &glyphCount))
        return;
    }
    if (!haveDx) raw.advancesForGlyphIndexes(glyphs_.constData(), advances_.data(), glyphCount, QRawFont::UseDesignMetrics);

    double x = 0, y = 0;
    std::size_t unit = 0;
    for (int g = 0; g < glyphCount && unit < n; ++g) {
      positions_[g] = QPointF(x, y);
      std::size_t units = 1;
      if (!(r.options & kEtoGlyphIndex) && QChar::isHighSurrogate(r.text[unit]) && unit + 1 < n &&
          QChar::isLowSurrogate(r.text[unit + 1]))
        units = 2;
      for (std::size_t k = 0; k < units; ++k, ++unit) {
        if (pdy) {
          x += r.dx[2 * unit];
          y -= r.dx[2 * unit + 1];  // dy grows upwards
        } else if (haveDx) {
          x += r.dx[unit];
        }
      }
      if (!haveDx) x += advances_[g].x();
    }
    const double total = x;

    QPointF ref(r.reference.x, r.reference.y);
    const bool updateCp = dc_.textAlign & kTaUpdateCp;
    if (updateCp) ref = dc_.current;
    const std::uint32_t horz = dc_.textAlign & kTaHorzMask, vert = dc_.textAlign & kTaVertMask;
    const double startX = horz == kTaRight ? -total : horz == kTaCenter ? -total / 2 : 0;
    const double baseline = vert == kTaBaseline ? 0 : vert == kTaBottom ? -raw.descent() : raw.ascent();

    p_.save();
    p_.translate(ref);
    if (font->escapement != 0) p_.rotate(-font->escapement);
    const QTransform toRef = QTransform::fromTranslate(-ref.x(), -ref.y());
    if (r.options & (kEtoOpaque | kEtoClipped)) {
      const QRectF box = QRectF(QPointF(r.rect.left, r.rect.top), QPointF(r.rect.right, r.rect.bottom)).normalized();
      const QRectF local = toRef.mapRect(box);
      if (r.options & kEtoOpaque) p_.fillRect(local, dc_.bkColor);
      if (r.options & kEtoClipped) p_.setClipRect(local, Qt::IntersectClip);
    }
    if (dc_.bkOpaque && !(r.options & kEtoOpaque) && glyphCount > 0)
      p_.fillRect(QRectF(startX, baseline - raw.ascent(), total, raw.ascent() + raw.descent()), dc_.bkColor);

    if (glyphCount > 0) {
      const QPointF origin(startX, baseline);
      for (int g = 0; g < glyphCount; ++g) positions_[g] += origin;
      QGlyphRun run;
      run.setRawFont(raw);
      run.setRawData(glyphs_.constData(), positions_.constData(), glyphCount);
      p_.setPen(dc_.textColor);
      p_.drawGlyphRun(QPointF(0, 0), run);
      if (font->underline || font->strikeOut) {
        const double thick = std::max(raw.lineThickness(), 1.0 / scale_);
        if (font->underline)
          p_.fillRect(QRectF(startX, baseline + raw.underlinePosition(), total, thick), dc_.textColor);
        if (font->strikeOut)
          p_.fillRect(QRectF(startX, baseline - raw.xHeight() / 2, total, thick), dc_.textColor);
      }
    }
    p_.restore();
    if (updateCp && horz == kTaLeft) dc_.current.rx() += total;
    else if (updateCp && horz == kTaRight) dc_.current.rx() -= total;
  }

  void Play(const BitmapRecord& r) {
    const int w = r.width, h = std::abs(r.height);
    const bool bottomUp = r.height > 0;
    const std::size_t stride = (std::size_t(w) * r.bitCount + 31) / 32 * 4;
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull()) return;
    const std::size_t colors = r.palette.size();
    for (int row = 0; row < h; ++row) {
      const std::uint8_t* in = r.bits.data() + stride * std::size_t(bottomUp ? h - 1 - row : row);
      auto* out = reinterpret_cast<QRgb*>(img.scanLine(row));
      switch (r.bitCount) {
        case 32:
          for (int x = 0; x < w; ++x) out[x] = qRgb(in[4 * x + 2], in[4 * x + 1], in[4 * x]);
          break;
        case 24:
          for (int x = 0; x < w; ++x) out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
          break;
        default: {
          const int bits = r.bitCount, perByte = 8 / bits, mask = (1 << bits) - 1;
          for (int x = 0; x < w; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            const std::size_t idx = (in[x / perByte] >> shift) & mask;
            out[x] = idx < colors ? (0xFF000000u | r.palette[idx]) : qRgb(0, 0, 0);
          }
        }
      }
    }
    // A bottom-up bitmap counts its source rows from the bottom.
    const int sy = bottomUp ? h - r.ySrc - r.cySrc : r.ySrc;
    const QRectF src(r.xSrc, sy, r.cxSrc, r.cySrc);
    if (src.isEmpty() || r.cxDest == 0 || r.cyDest == 0) return;
    QRectF dst(r.xDest, r.yDest, r.cxDest, r.cyDest);
    if (r.cxDest < 0 || r.cyDest < 0) {
      img = img.mirrored(r.cxDest < 0, r.cyDest < 0);
      dst = dst.normalized();
    }
    p_.save();
    p_.setRenderHint(QPainter::SmoothPixmapTransform);
    p_.drawImage(dst, img, r.cxDest < 0 || r.cyDest < 0 ? QRectF(w - src.right(), h - src.bottom(), src.width(), src.height()).intersected(QRectF(0, 0, w, h)) : src);
    p_.restore();
  }

  QPainter& p_;
  const Metafile& mf_;
  double scale_;  // device pixels per logical unit (the smaller axis)
  std::vector<Object> objects_;
  DcState dc_;
  std::vector<DcState> saved_;
  std::shared_ptr<const FontObject> defaultFont_;
  QVector<quint32> glyphs_;
  QVector<QPointF> positions_;
  QVector<QPointF> advances_;
  QVector<QPointF> points_;
};

// The frame (0.01 mm) in the logical units the records use.
QRectF LogicalFrame(const Header& h) {
  const QRectF frame(QPointF(h.frame.left, h.frame.top), QPointF(h.frame.right, h.frame.bottom));
  if (h.deviceCx > 0 && h.deviceCy > 0 && h.millimetersCx > 0 && h.millimetersCy > 0) {
    const double sx = double(h.deviceCx) / (h.millimetersCx * 100.0);
    const double sy = double(h.deviceCy) / (h.millimetersCy * 100.0);
    return QRectF(QPointF(frame.left() * sx, frame.top() * sy), QPointF(frame.right() * sx, frame.bottom() * sy));
  }
  // Without a device size, fall back to the bounds, which are in device units.
  const QRectF bounds(QPointF(h.bounds.left, h.bounds.top), QPointF(h.bounds.right + 1, h.bounds.bottom + 1));
  return bounds.isValid() ? bounds : frame;
}

}  // namespace

int HeightForWidth(const Header& h, int width) {
  const std::int64_t fw = std::int64_t(h.frame.right) - h.frame.left;
  const std::int64_t fh = std::int64_t(h.frame.bottom) - h.frame.top;
  if (fw <= 0 || fh <= 0 || width <= 0) return 0;
  const std::int64_t r = fh * width / fw;
  return r > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(r);
}

void PlayEmf(QPainter& p, const Metafile& mf, const QRectF& target) {
  const QRectF frame = LogicalFrame(mf.header);
  if (frame.width() <= 0 || frame.height() <= 0 || target.isEmpty()) return;
  p.save();
  const double sx = target.width() / frame.width(), sy = target.height() / frame.height();
  QTransform t;
  t.translate(target.left(), target.top());
  t.scale(sx, sy);
  t.translate(-frame.left(), -frame.top());
  p.setTransform(t, true);
  p.setClipRect(frame, Qt::IntersectClip);
  // Device pixels per logical unit, for the thinnest visible pen.
  const QTransform& dt = p.deviceTransform();
  const double scale = std::min(std::hypot(dt.m11(), dt.m12()), std::hypot(dt.m21(), dt.m22()));
  Player(p, mf, scale > 0 ? scale : 1.0).Run();
  p.restore();
}

ParseResult PlayEmf(QPainter& p, const std::vector<std::uint8_t>& bytes, const QRectF& target) {
  Metafile mf;
  const ParseResult r = ParseEmf(bytes, mf);
  if (r.ok()) PlayEmf(p, mf, target);
  return r;
}

QImage RenderEmf(const std::vector<std::uint8_t>& bytes, int width) {
  constexpr int kMaxSide = 30000;
  if (width < 1 || width > kMaxSide) return QImage();
  Metafile mf;
  if (!ParseEmf(bytes, mf).ok()) return QImage();
  const int height = HeightForWidth(mf.header, width);
  if (height < 1 || height > kMaxSide) return QImage();
  QImage img(width, height, QImage::Format_RGB32);
  if (img.isNull()) return img;
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  PlayEmf(p, mf, QRectF(0, 0, width, height));
  p.end();
  return img;
}

}  // namespace pit::emf
