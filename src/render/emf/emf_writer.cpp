#include "emf/emf_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "emf/emf_records.h"

namespace pit::emf {
namespace {

constexpr double kScaleX = kDeviceWidth / kPageWidthPx;    // 3.1 device units per page pixel
constexpr double kScaleY = kDeviceHeight / kPageHeightPx;  // so that 1131 px fills the sheet
constexpr std::uint32_t kMaxHandles = 0xFFFF;              // nHandles is 16 bits

void Put16(std::vector<std::uint8_t>& b, std::uint16_t v) {
  b.push_back(std::uint8_t(v));
  b.push_back(std::uint8_t(v >> 8));
}
void Put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}
void PutI32(std::vector<std::uint8_t>& b, std::int32_t v) { Put32(b, static_cast<std::uint32_t>(v)); }
void PutF32(std::vector<std::uint8_t>& b, float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, 4);
  Put32(b, u);
}
void Patch32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}
void PutRect(std::vector<std::uint8_t>& b, std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t bo) {
  PutI32(b, l);
  PutI32(b, t);
  PutI32(b, r);
  PutI32(b, bo);
}

std::int32_t ClampToI32(double v) {
  if (!(v == v)) return 0;  // NaN
  v = std::round(v);
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<std::int32_t>(v);
}

std::int16_t ClampToI16(std::int32_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

// One record being assembled at the end of a buffer; the size is filled in
// (and the record padded to 4 bytes) when it ends.
class Record {
 public:
  Record(std::vector<std::uint8_t>& b, std::uint32_t type, std::uint32_t& count) : b_(b), start_(b.size()) {
    Put32(b_, type);
    Put32(b_, 0);
    ++count;
  }
  ~Record() {
    while ((b_.size() - start_) % 4) b_.push_back(0);
    Patch32(b_, start_ + 4, static_cast<std::uint32_t>(b_.size() - start_));
  }
  std::size_t Offset() const { return b_.size() - start_; }
  std::vector<std::uint8_t>& b() { return b_; }

 private:
  std::vector<std::uint8_t>& b_;
  std::size_t start_;
};

}  // namespace

std::u16string Utf8ToUtf16(const std::string& s) {
  std::u16string out;
  out.reserve(s.size());
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned c = p[i];
    std::uint32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (c < 0x80) {
      cp = c;
    } else {
      std::size_t need = 0;
      std::uint32_t min = 0;
      if ((c & 0xE0) == 0xC0) need = 1, cp = c & 0x1F, min = 0x80;
      else if ((c & 0xF0) == 0xE0) need = 2, cp = c & 0x0F, min = 0x800;
      else if ((c & 0xF8) == 0xF0) need = 3, cp = c & 0x07, min = 0x10000;
      bool ok = need > 0;
      for (std::size_t k = 1; ok && k <= need; ++k) {
        if (i + k >= n || (p[i + k] & 0xC0) != 0x80) ok = false;
        else cp = (cp << 6) | (p[i + k] & 0x3F);
      }
      if (ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
        len = need + 1;
      } else {
        cp = 0xFFFD;
        len = 1;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(char16_t(0xD800 + (cp >> 10)));
      out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
    i += len;
  }
  return out;
}

PageWriter::PageWriter(TextMeasurer& m) : measurer_(m) {
  {
    Record r(body_, kSetMapMode, records_);
    Put32(r.b(), kMmText);
  }
  {
    Record r(body_, kSetBkMode, records_);
    Put32(r.b(), kTransparent);
  }
}

std::int32_t PageWriter::Dx(double px) const { return ClampToI32(px * kScaleX); }
std::int32_t PageWriter::Dy(double px) const { return ClampToI32(px * kScaleY); }

std::int32_t PageWriter::DevicePenWidth(double penPx) const {
  // A geometric pen of width 0 vanishes in some players: never go below 1.
  return std::max<std::int32_t>(1, ClampToI32(penPx * kScaleX));
}

std::uint32_t PageWriter::NewHandle() {
  if (nextHandle_ >= kMaxHandles) throw std::length_error("EMF: too many distinct pens, brushes and fonts");
  return nextHandle_++;
}

void PageWriter::Select(std::uint32_t handle, std::uint32_t& current) {
  if (current == handle) return;
  Record r(body_, kSelectObject, records_);
  Put32(r.b(), handle);
  current = handle;
}

void PageWriter::SelectPen(Color c, double penPx) {
  const PenKey key{ColorRef(c.r, c.g, c.b), static_cast<std::uint32_t>(DevicePenWidth(penPx))};
  auto it = pens_.find(key);
  if (it == pens_.end()) {
    const std::uint32_t h = NewHandle();
    Record r(body_, kExtCreatePen, records_);
    Put32(r.b(), h);
    Put32(r.b(), 0);  // offBmi: no pattern bitmap
    Put32(r.b(), 0);  // cbBmi
    Put32(r.b(), 0);  // offBits
    Put32(r.b(), 0);  // cbBits
    // Square caps and mitred joins keep frames closed at their corners.
    Put32(r.b(), kPsGeometric | kPsSolid | kPsEndcapSquare | kPsJoinMiter);
    Put32(r.b(), key.width);
    Put32(r.b(), kBsSolid);
    Put32(r.b(), key.color);
    Put32(r.b(), 0);  // hatch
    Put32(r.b(), 0);  // no style entries
    it = pens_.emplace(key, h).first;
  }
  Select(it->second, curPen_);
}

void PageWriter::SelectNullPen() { Select(kStockObjectFlag | kNullPen, curPen_); }

void PageWriter::SelectBrush(Color c) {
  const std::uint32_t key = ColorRef(c.r, c.g, c.b);
  auto it = brushes_.find(key);
  if (it == brushes_.end()) {
    const std::uint32_t h = NewHandle();
    Record r(body_, kCreateBrushIndirect, records_);
    Put32(r.b(), h);
    Put32(r.b(), kBsSolid);
    Put32(r.b(), key);
    Put32(r.b(), 0);  // hatch
    it = brushes_.emplace(key, h).first;
  }
  Select(it->second, curBrush_);
}

void PageWriter::SelectNullBrush() { Select(kStockObjectFlag | kNullBrush, curBrush_); }

void PageWriter::SelectFont(const Font& f) {
  const std::int32_t height = -std::max<std::int32_t>(1, ClampToI32(f.emPx * kScaleX));
  FontKey key{f.family, height, f.bold, f.italic};
  auto it = fonts_.find(key);
  if (it == fonts_.end()) {
    const std::uint32_t h = NewHandle();
    Record r(body_, kExtCreateFontIndirectW, records_);
    auto& b = r.b();
    Put32(b, h);
    const std::size_t elwStart = b.size();
    PutI32(b, height);        // lfHeight < 0: em height
    PutI32(b, 0);             // lfWidth
    PutI32(b, 0);             // lfEscapement
    PutI32(b, 0);             // lfOrientation
    PutI32(b, f.bold ? 700 : 400);
    b.push_back(f.italic ? 1 : 0);  // lfItalic
    b.push_back(0);                 // lfUnderline
    b.push_back(0);                 // lfStrikeOut
    b.push_back(kEastEuropeCharset);
    b.push_back(0);  // lfOutPrecision
    b.push_back(0);  // lfClipPrecision
    b.push_back(0);  // lfQuality
    b.push_back(0);  // lfPitchAndFamily
    std::u16string face = Utf8ToUtf16(f.family);
    if (face.size() > kFaceNameChars - 1) face.resize(kFaceNameChars - 1);
    for (std::size_t i = 0; i < kFaceNameChars; ++i) Put16(b, i < face.size() ? face[i] : 0);
    // The rest of the usual LogFontPanose (full name, style, panose) stays zero.
    b.resize(elwStart + kLogFontPanoseSize, 0);
    it = fonts_.emplace(std::move(key), h).first;
  }
  Select(it->second, curFont_);
}

void PageWriter::SetTextColor(Color c) {
  const std::uint32_t v = ColorRef(c.r, c.g, c.b);
  if (v == textColor_) return;
  Record r(body_, kSetTextColor, records_);
  Put32(r.b(), v);
  textColor_ = v;
}

void PageWriter::SetTextAlign(std::uint32_t align) {
  if (align == textAlign_) return;
  Record r(body_, kSetTextAlign, records_);
  Put32(r.b(), align);
  textAlign_ = align;
}

void PageWriter::FillRect(double x0, double y0, double x1, double y1, Color fill) {
  SelectNullPen();
  SelectBrush(fill);
  Record r(body_, kRectangle, records_);
  PutRect(r.b(), Dx(std::min(x0, x1)), Dy(std::min(y0, y1)), Dx(std::max(x0, x1)), Dy(std::max(y0, y1)));
}

void PageWriter::FrameRect(double x0, double y0, double x1, double y1, Color pen, double penPx) {
  SelectPen(pen, penPx);
  SelectNullBrush();
  Record r(body_, kRectangle, records_);
  PutRect(r.b(), Dx(std::min(x0, x1)), Dy(std::min(y0, y1)), Dx(std::max(x0, x1)), Dy(std::max(y0, y1)));
}

void PageWriter::Line(double x0, double y0, double x1, double y1, Color pen, double penPx) {
  SelectPen(pen, penPx);
  {
    Record r(body_, kMoveToEx, records_);
    PutI32(r.b(), Dx(x0));
    PutI32(r.b(), Dy(y0));
  }
  Record r(body_, kLineTo, records_);
  PutI32(r.b(), Dx(x1));
  PutI32(r.b(), Dy(y1));
}

void PageWriter::Polyline(const std::vector<std::pair<double, double>>& pts, Color pen, double penPx) {
  if (pts.size() < 2) return;
  SelectPen(pen, penPx);
  std::vector<std::int16_t> xy;
  xy.reserve(pts.size() * 2);
  std::int16_t minX = 32767, minY = 32767, maxX = -32768, maxY = -32768;
  for (const auto& [x, y] : pts) {
    const std::int16_t dx = ClampToI16(Dx(x)), dy = ClampToI16(Dy(y));
    xy.push_back(dx);
    xy.push_back(dy);
    minX = std::min(minX, dx), maxX = std::max(maxX, dx);
    minY = std::min(minY, dy), maxY = std::max(maxY, dy);
  }
  Record r(body_, kPolyline16, records_);
  PutRect(r.b(), minX, minY, maxX, maxY);
  Put32(r.b(), static_cast<std::uint32_t>(pts.size()));
  for (std::int16_t v : xy) Put16(r.b(), static_cast<std::uint16_t>(v));
}

double PageWriter::TextWidth(const std::string& utf8, const Font& f) {
  double w = 0;
  for (double a : measurer_.Advances(f, Utf8ToUtf16(utf8))) w += a;
  return w;
}

void PageWriter::Text(double x, double baselineY, const std::string& utf8, const Font& f, Color c, HAlign a) {
  const std::u16string text = Utf8ToUtf16(utf8);
  if (text.empty()) return;
  std::vector<double> adv = measurer_.Advances(f, text);
  adv.resize(text.size(), 0.0);

  // Round the running position, not each advance, so long texts keep their
  // measured width instead of drifting by the rounding of every letter.
  std::vector<std::int32_t> dx(text.size());
  double pos = 0;
  std::int32_t prev = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    pos += adv[i] * kScaleX;
    const std::int32_t cur = ClampToI32(pos);
    dx[i] = cur - prev;
    prev = cur;
  }
  const std::int32_t width = prev;

  SelectFont(f);
  SetTextColor(c);
  const std::uint32_t horz = a == HAlign::Left ? kTaLeft : a == HAlign::Center ? kTaCenter : kTaRight;
  SetTextAlign(kTaBaseline | horz);

  const std::int32_t rx = Dx(x), ry = Dy(baselineY);
  const std::int32_t left = a == HAlign::Left ? rx : a == HAlign::Center ? rx - width / 2 : rx - width;
  const std::int32_t em = std::max<std::int32_t>(1, ClampToI32(f.emPx * kScaleX));

  Record r(body_, kExtTextOutW, records_);
  auto& b = r.b();
  // Approximate ink box: a Latin font's ascent and descent lie within the em.
  PutRect(b, left, ry - em, left + width, ry + em / 3);
  Put32(b, kGmCompatible);
  PutF32(b, 0.0f);  // exScale
  PutF32(b, 0.0f);  // eyScale
  PutI32(b, rx);
  PutI32(b, ry);
  Put32(b, static_cast<std::uint32_t>(text.size()));
  const std::size_t stringBytes = (text.size() * 2 + 3) / 4 * 4;
  Put32(b, static_cast<std::uint32_t>(kExtTextOutFixedSize));  // offString
  Put32(b, 0);                                                  // options
  PutRect(b, 0, 0, -1, -1);                                     // no clipping/opaque rectangle
  Put32(b, static_cast<std::uint32_t>(kExtTextOutFixedSize + stringBytes));  // offDx
  for (char16_t ch : text) Put16(b, static_cast<std::uint16_t>(ch));
  if (text.size() % 2) Put16(b, 0);
  for (std::int32_t d : dx) PutI32(b, d);
}

void PageWriter::Picture(double x0, double y0, double x1, double y1, int width, int height,
                         const std::vector<std::uint8_t>& rgb) {
  if (width <= 0 || height <= 0) return;
  const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  if (rgb.size() < w * h * 3) throw std::invalid_argument("EMF picture: fewer pixels than width * height");
  const std::size_t stride = (w * 3 + 3) / 4 * 4;
  const std::size_t bits = stride * h;
  if (bits > 0x7FFFFFFFu - 1024) throw std::length_error("EMF picture too large");

  const std::int32_t dl = Dx(std::min(x0, x1)), dt = Dy(std::min(y0, y1));
  const std::int32_t dr = Dx(std::max(x0, x1)), db = Dy(std::max(y0, y1));
  Record r(body_, kStretchDiBits, records_);
  auto& b = r.b();
  PutRect(b, dl, dt, dr, db);
  PutI32(b, dl);  // xDest
  PutI32(b, dt);  // yDest
  PutI32(b, 0);   // xSrc
  PutI32(b, 0);   // ySrc
  PutI32(b, width);
  PutI32(b, height);
  Put32(b, static_cast<std::uint32_t>(kStretchDiBitsFixedSize));                            // offBmiSrc
  Put32(b, static_cast<std::uint32_t>(kBitmapInfoHeaderSize));                              // cbBmiSrc
  Put32(b, static_cast<std::uint32_t>(kStretchDiBitsFixedSize + kBitmapInfoHeaderSize));  // offBitsSrc
  Put32(b, static_cast<std::uint32_t>(bits));                                              // cbBitsSrc
  Put32(b, kDibRgbColors);
  Put32(b, kSrcCopy);
  PutI32(b, dr - dl);  // cxDest
  PutI32(b, db - dt);  // cyDest
  // BITMAPINFOHEADER, bottom-up 24-bit BGR rows.
  Put32(b, static_cast<std::uint32_t>(kBitmapInfoHeaderSize));
  PutI32(b, width);
  PutI32(b, height);
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, kBiRgb);
  Put32(b, static_cast<std::uint32_t>(bits));
  PutI32(b, 11811);  // 300 dpi in pixels per metre
  PutI32(b, 11811);
  Put32(b, 0);
  Put32(b, 0);
  const std::size_t base = b.size();
  b.resize(base + bits, 0);
  for (std::size_t row = 0; row < h; ++row) {
    std::uint8_t* out = b.data() + base + (h - 1 - row) * stride;
    const std::uint8_t* in = rgb.data() + row * w * 3;
    for (std::size_t col = 0; col < w; ++col) {
      out[col * 3 + 0] = in[col * 3 + 2];
      out[col * 3 + 1] = in[col * 3 + 1];
      out[col * 3 + 2] = in[col * 3 + 0];
    }
  }
}

std::vector<std::uint8_t> PageWriter::Finish() {
  if (finished_) throw std::logic_error("PageWriter::Finish called twice");
  finished_ = true;

  // Put the stock objects back before deleting ours, as GDI expects.
  Select(kStockObjectFlag | kBlackPen, curPen_);
  Select(kStockObjectFlag | kWhiteBrush, curBrush_);
  if (curFont_ != 0) Select(kStockObjectFlag | kDeviceDefaultFont, curFont_);
  for (std::uint32_t h = 1; h < nextHandle_; ++h) {
    Record r(body_, kDeleteObject, records_);
    Put32(r.b(), h);
  }
  {
    Record r(body_, kEof, records_);
    Put32(r.b(), 0);   // nPalEntries
    Put32(r.b(), 16);  // offPalEntries
    Put32(r.b(), 20);  // nSizeLast: this record's size
  }

  static const char16_t kDescription[] = u"pit2014\0strona\0";
  const std::size_t descChars = sizeof(kDescription) / sizeof(char16_t);  // incl. the final zero
  const std::size_t descBytes = (descChars * 2 + 3) / 4 * 4;
  const std::size_t headerSize = kHeaderWithExtensionsSize + descBytes;

  std::vector<std::uint8_t> out;
  out.reserve(headerSize + body_.size());
  Put32(out, kHeader);
  Put32(out, static_cast<std::uint32_t>(headerSize));
  PutRect(out, 0, 0, kDeviceWidth - 1, kDeviceHeight - 1);  // rclBounds: the whole page
  PutRect(out, 0, 0, kFrameRight, kFrameBottom);            // rclFrame
  Put32(out, kSignature);
  Put32(out, kVersion);
  Put32(out, static_cast<std::uint32_t>(headerSize + body_.size()));  // nBytes
  Put32(out, records_ + 1);                                           // nRecords, with the header
  Put16(out, static_cast<std::uint16_t>(nextHandle_));                // nHandles, with entry 0
  Put16(out, 0);
  Put32(out, static_cast<std::uint32_t>(descChars));
  Put32(out, static_cast<std::uint32_t>(kHeaderWithExtensionsSize));  // offDescription
  Put32(out, 0);                                                     // nPalEntries
  PutI32(out, kDeviceWidth);
  PutI32(out, kDeviceHeight);
  PutI32(out, 210);  // szlMillimeters
  PutI32(out, 297);
  Put32(out, 0);  // cbPixelFormat
  Put32(out, 0);  // offPixelFormat
  Put32(out, 0);  // bOpenGL
  PutI32(out, 210000);  // szlMicrometers
  PutI32(out, 297000);
  for (std::size_t i = 0; i < descChars; ++i) Put16(out, static_cast<std::uint16_t>(kDescription[i]));
  while (out.size() % 4) out.push_back(0);
  out.insert(out.end(), body_.begin(), body_.end());
  if (out.size() > 0xFFFFFFFFu) throw std::length_error("EMF page too large");
  return out;
}

}  // namespace pit::emf
