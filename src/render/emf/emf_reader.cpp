#include "emf/emf_reader.h"

#include <cstdio>

namespace pit::emf {

const char* StatusText(Status s) {
  switch (s) {
    case Status::Ok: return "ok";
    case Status::TooShort: return "plik krótszy niż nagłówek rysunku";
    case Status::NotEmf: return "plik nie jest rysunkiem EMF";
    case Status::BadHeader: return "nieprawidłowy nagłówek rysunku (wymiary strony)";
    case Status::SizeMismatch: return "rozmiar w nagłówku różni się od rozmiaru pliku";
    case Status::BadDescription: return "opis rysunku wychodzi poza nagłówek";
    case Status::BadRecordSize: return "nieprawidłowa długość zapisu";
    case Status::RecordOverrun: return "zapis wychodzi poza koniec pliku (plik niepełny)";
    case Status::BadRecord: return "wartość zapisu poza zakresem";
    case Status::BadObjectIndex: return "nieprawidłowy numer obiektu";
    case Status::BadBitmap: return "obraz niezgodny ze swoim zapisem";
    case Status::MissingEof: return "brak zapisu końca pliku (plik niepełny)";
    case Status::DataAfterEof: return "dane za zapisem końca pliku";
  }
  return "nieznany błąd";
}

std::string ParseResult::Message() const {
  if (ok()) return StatusText(status);
  char buf[200];
  std::snprintf(buf, sizeof buf, "%s (zapis nr %zu, typ %u, bajt %zu)", StatusText(status), recordIndex,
                static_cast<unsigned>(recordType), offset);
  return buf;
}

namespace {

// One record's bytes; every read is checked against the record's own size,
// so a field can never be taken from the next record or past the data.
class View {
 public:
  View(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
  std::size_t size() const { return n_; }
  bool Has(std::size_t off, std::size_t len) const { return off <= n_ && len <= n_ - off; }
  std::uint32_t U32(std::size_t off) const { return LoadU32(p_ + off); }
  std::int32_t I32(std::size_t off) const { return LoadI32(p_ + off); }
  std::uint16_t U16(std::size_t off) const { return LoadU16(p_ + off); }
  std::uint8_t U8(std::size_t off) const { return p_[off]; }
  const std::uint8_t* Ptr(std::size_t off) const { return p_ + off; }
  RectL Rect(std::size_t off) const { return RectL{I32(off), I32(off + 4), I32(off + 8), I32(off + 12)}; }

 private:
  const std::uint8_t* p_;
  std::size_t n_;
};

std::u16string ReadUtf16(const View& v, std::size_t off, std::size_t chars) {
  std::u16string s(chars, u'\0');
  for (std::size_t i = 0; i < chars; ++i) s[i] = static_cast<char16_t>(v.U16(off + 2 * i));
  return s;
}

class Parser {
 public:
  Parser(const std::uint8_t* data, std::size_t size, Metafile& out) : data_(data), size_(size), out_(out) {}

  ParseResult Run() {
    out_ = Metafile{};
    if (size_ < kHeaderMinSize) return Fail(Status::TooShort);
    if (LoadU32(data_) != kHeader || LoadU32(data_ + 40) != kSignature) return Fail(Status::NotEmf);
    const std::uint32_t headerSize = LoadU32(data_ + 4);
    if (headerSize < kHeaderMinSize || headerSize % 4 != 0) return Fail(Status::BadRecordSize);
    if (headerSize > size_) return Fail(Status::RecordOverrun);
    const Status hs = ReadHeader(View(data_, headerSize));
    if (hs != Status::Ok) return Fail(hs);

    std::size_t pos = headerSize;
    bool sawEof = false;
    while (pos < size_) {
      ++index_;
      offset_ = pos;
      type_ = 0;
      if (size_ - pos < 8) return Fail(Status::RecordOverrun);
      type_ = LoadU32(data_ + pos);
      const std::uint32_t recSize = LoadU32(data_ + pos + 4);
      if (recSize < 8 || recSize % 4 != 0) return Fail(Status::BadRecordSize);
      if (recSize > size_ - pos) return Fail(Status::RecordOverrun);
      if (sawEof) return Fail(Status::DataAfterEof);
      const Status s = ReadRecord(View(data_ + pos, recSize));
      if (s != Status::Ok) return Fail(s);
      if (type_ == kEof) sawEof = true;
      pos += recSize;
    }
    if (!sawEof) {
      offset_ = size_;
      type_ = 0;
      return Fail(Status::MissingEof);
    }
    return ParseResult{};
  }

 private:
  ParseResult Fail(Status s) const {
    ParseResult r;
    r.status = s;
    r.offset = offset_;
    r.recordIndex = index_;
    r.recordType = type_;
    return r;
  }

  Status ReadHeader(const View& v) {
    type_ = kHeader;
    Header& h = out_.header;
    h.bounds = v.Rect(8);
    h.frame = v.Rect(24);
    h.nBytes = v.U32(48);
    h.nRecords = v.U32(52);
    h.nHandles = v.U16(56);
    const std::uint32_t nDesc = v.U32(60), offDesc = v.U32(64);
    h.deviceCx = v.I32(72);
    h.deviceCy = v.I32(76);
    h.millimetersCx = v.I32(80);
    h.millimetersCy = v.I32(84);
    if (h.nBytes != size_) return Status::SizeMismatch;
    if (nDesc != 0) {
      if (offDesc < kHeaderMinSize || !v.Has(offDesc, std::size_t(nDesc) * 2)) return Status::BadDescription;
      h.description = ReadUtf16(v, offDesc, nDesc);
    }
    // The frame gives the page's proportions; a picture without area cannot
    // be scaled, and one far from a sheet of paper (over 10 m, or a page
    // more than eight times as wide as high or five times as high as wide)
    // would only draw a stripe of nothing.
    const std::int64_t fw = std::int64_t(h.frame.right) - h.frame.left;
    const std::int64_t fh = std::int64_t(h.frame.bottom) - h.frame.top;
    if (fw <= 0 || fh <= 0 || fw > 1000000 || fh > 1000000) return Status::BadHeader;
    if (fh * 8 < fw || fh > fw * 5) return Status::BadHeader;
    if (h.nHandles == 0) return Status::BadHeader;  // entry 0 is always reserved
    return Status::Ok;
  }

  // A handle that a record creates or deletes: never 0 (reserved), inside the table.
  bool ValidHandle(std::uint32_t h) const { return h >= 1 && h < out_.header.nHandles; }

  Status ReadRecord(const View& v) {
    switch (type_) {
      case kEof:
        return v.size() >= 20 ? Status::Ok : Status::BadRecord;
      case kSetMapMode:
      case kSetBkMode:
      case kSetTextAlign:
      case kSetTextColor:
      case kSetBkColor:
      case kRestoreDc:
        if (!v.Has(8, 4)) return Status::BadRecord;
        out_.records.push_back(ValueRecord{type_, v.U32(8)});
        return Status::Ok;
      case kSelectObject: {
        if (!v.Has(8, 4)) return Status::BadRecord;
        const std::uint32_t h = v.U32(8);
        if (h & kStockObjectFlag) {
          if ((h & ~kStockObjectFlag) > kLastStockObject) return Status::BadObjectIndex;
        } else if (!ValidHandle(h)) {
          return Status::BadObjectIndex;
        }
        out_.records.push_back(ValueRecord{type_, h});
        return Status::Ok;
      }
      case kDeleteObject: {
        if (!v.Has(8, 4)) return Status::BadRecord;
        const std::uint32_t h = v.U32(8);
        if (!ValidHandle(h)) return Status::BadObjectIndex;
        out_.records.push_back(ValueRecord{type_, h});
        return Status::Ok;
      }
      case kSaveDc:
        out_.records.push_back(SaveDcRecord{});
        return Status::Ok;
      case kMoveToEx:
      case kLineTo:
        if (!v.Has(8, 8)) return Status::BadRecord;
        out_.records.push_back(PointRecord{type_, PointL{v.I32(8), v.I32(12)}});
        return Status::Ok;
      case kRectangle:
        if (!v.Has(8, 16)) return Status::BadRecord;
        out_.records.push_back(RectangleRecord{v.Rect(8)});
        return Status::Ok;
      case kPolyline16: {
        if (!v.Has(8, 20)) return Status::BadRecord;
        const std::uint32_t n = v.U32(24);
        if (!v.Has(28, std::size_t(n) * 4)) return Status::BadRecord;
        Polyline16Record r;
        r.xy.resize(std::size_t(n) * 2);
        for (std::size_t i = 0; i < r.xy.size(); ++i) r.xy[i] = LoadI16(v.Ptr(28 + 2 * i));
        out_.records.push_back(std::move(r));
        return Status::Ok;
      }
      case kCreatePen: {
        // ihPen, lopnStyle, lopnWidth (x; y unused), lopnColor
        if (!v.Has(8, 20)) return Status::BadRecord;
        if (!ValidHandle(v.U32(8))) return Status::BadObjectIndex;
        out_.records.push_back(PenRecord{v.U32(8), v.U32(12), v.I32(16), kBsSolid, v.U32(24), false});
        return Status::Ok;
      }
      case kExtCreatePen: {
        // ihPen, offBmi, cbBmi, offBits, cbBits, elpPenStyle, elpWidth,
        // elpBrushStyle, elpColor, elpHatch, elpNumEntries, entries
        if (!v.Has(8, 44)) return Status::BadRecord;
        if (!ValidHandle(v.U32(8))) return Status::BadObjectIndex;
        const std::uint32_t offBmi = v.U32(12), cbBmi = v.U32(16), offBits = v.U32(20), cbBits = v.U32(24);
        if ((cbBmi && !v.Has(offBmi, cbBmi)) || (cbBits && !v.Has(offBits, cbBits))) return Status::BadRecord;
        const std::uint32_t entries = v.U32(48);
        if (!v.Has(52, std::size_t(entries) * 4)) return Status::BadRecord;
        out_.records.push_back(PenRecord{v.U32(8), v.U32(28), v.I32(32), v.U32(36), v.U32(40), true});
        return Status::Ok;
      }
      case kCreateBrushIndirect:
        if (!v.Has(8, 16)) return Status::BadRecord;
        if (!ValidHandle(v.U32(8))) return Status::BadObjectIndex;
        out_.records.push_back(BrushRecord{v.U32(8), v.U32(12), v.U32(16), v.U32(20)});
        return Status::Ok;
      case kExtCreateFontIndirectW:
        return ReadFont(v);
      case kExtTextOutW:
        return ReadText(v);
      case kStretchDiBits:
        return ReadBitmap(v);
      default:
        return Status::Ok;  // not drawn by us: skipped by its size
    }
  }

  Status ReadFont(const View& v) {
    if (!v.Has(12, kLogFontWSize)) return Status::BadRecord;
    if (!ValidHandle(v.U32(8))) return Status::BadObjectIndex;
    FontRecord f;
    f.handle = v.U32(8);
    f.height = v.I32(12);
    f.width = v.I32(16);
    f.escapement = v.I32(20);
    f.weight = v.I32(28);
    f.italic = v.U8(32) != 0;
    f.underline = v.U8(33) != 0;
    f.strikeOut = v.U8(34) != 0;
    f.charSet = v.U8(35);
    // The face name need not be terminated inside its 32 characters.
    for (std::size_t i = 0; i < kFaceNameChars; ++i) {
      const char16_t c = static_cast<char16_t>(v.U16(40 + 2 * i));
      if (c == 0) break;
      f.face.push_back(c);
    }
    out_.records.push_back(std::move(f));
    return Status::Ok;
  }

  Status ReadText(const View& v) {
    if (!v.Has(0, kExtTextOutFixedSize)) return Status::BadRecord;
    TextRecord t;
    t.graphicsMode = v.U32(24);
    t.reference = PointL{v.I32(36), v.I32(40)};
    const std::uint32_t nChars = v.U32(44), offString = v.U32(48);
    t.options = v.U32(52);
    t.rect = v.Rect(56);
    const std::uint32_t offDx = v.U32(72);
    if (nChars > 0 && (offString < kExtTextOutFixedSize || !v.Has(offString, std::size_t(nChars) * 2)))
      return Status::BadRecord;
    if (offDx != 0) {
      const std::size_t per = (t.options & kEtoPdy) ? 8 : 4;
      if (offDx < kExtTextOutFixedSize || !v.Has(offDx, std::size_t(nChars) * per)) return Status::BadRecord;
      t.dx.resize(std::size_t(nChars) * (per / 4));
      for (std::size_t i = 0; i < t.dx.size(); ++i) t.dx[i] = v.I32(offDx + 4 * i);
    }
    t.text = ReadUtf16(v, offString, nChars);
    out_.records.push_back(std::move(t));
    return Status::Ok;
  }

  Status ReadBitmap(const View& v) {
    if (!v.Has(0, kStretchDiBitsFixedSize)) return Status::BadRecord;
    BitmapRecord b;
    b.xDest = v.I32(24);
    b.yDest = v.I32(28);
    b.xSrc = v.I32(32);
    b.ySrc = v.I32(36);
    b.cxSrc = v.I32(40);
    b.cySrc = v.I32(44);
    const std::uint32_t offBmi = v.U32(48), cbBmi = v.U32(52), offBits = v.U32(56), cbBits = v.U32(60);
    const std::uint32_t usage = v.U32(64);
    b.rop = v.U32(68);
    b.cxDest = v.I32(72);
    b.cyDest = v.I32(76);
    if (cbBmi == 0 && cbBits == 0) return Status::Ok;  // a raster operation without a source: not drawn
    if (cbBmi < kBitmapInfoHeaderSize || !v.Has(offBmi, cbBmi) || !v.Has(offBits, cbBits)) return Status::BadBitmap;
    if (offBmi < kStretchDiBitsFixedSize || offBits < kStretchDiBitsFixedSize) return Status::BadBitmap;
    const std::uint32_t biSize = v.U32(offBmi);
    if (biSize < kBitmapInfoHeaderSize || biSize > cbBmi) return Status::BadBitmap;
    b.width = v.I32(offBmi + 4);
    b.height = v.I32(offBmi + 8);
    b.bitCount = v.U16(offBmi + 14);
    const std::uint32_t compression = v.U32(offBmi + 16);
    const std::uint32_t clrUsed = v.U32(offBmi + 32);
    if (usage != kDibRgbColors) return Status::BadBitmap;
    if (compression != kBiRgb) return Status::BadBitmap;
    if (b.bitCount != 1 && b.bitCount != 4 && b.bitCount != 8 && b.bitCount != 24 && b.bitCount != 32)
      return Status::BadBitmap;
    if (b.width <= 0 || b.height == 0 || b.height == INT32_MIN) return Status::BadBitmap;
    const std::int64_t w = b.width, h = b.height < 0 ? -std::int64_t(b.height) : b.height;
    if (w > kMaxBitmapSide || h > kMaxBitmapSide || w * h > kMaxBitmapPixels) return Status::BadBitmap;
    if (b.cxSrc < 0 || b.cySrc < 0 || b.xSrc < 0 || b.ySrc < 0 || std::int64_t(b.xSrc) + b.cxSrc > w ||
        std::int64_t(b.ySrc) + b.cySrc > h)
      return Status::BadBitmap;
    if (b.bitCount <= 8) {
      const std::uint32_t maxColors = 1u << b.bitCount;
      const std::uint32_t colors = clrUsed == 0 ? maxColors : clrUsed;
      if (colors > maxColors || !v.Has(offBmi + biSize, std::size_t(colors) * 4) ||
          biSize + std::size_t(colors) * 4 > cbBmi)
        return Status::BadBitmap;
      b.palette.resize(colors);
      for (std::uint32_t i = 0; i < colors; ++i) b.palette[i] = v.U32(offBmi + biSize + 4 * i) & 0xFFFFFFu;
    }
    const std::int64_t stride = (w * b.bitCount + 31) / 32 * 4;
    if (stride * h > cbBits) return Status::BadBitmap;
    b.bits.assign(v.Ptr(offBits), v.Ptr(offBits) + stride * h);
    out_.records.push_back(std::move(b));
    return Status::Ok;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  Metafile& out_;
  std::size_t index_ = 0;
  std::size_t offset_ = 0;
  std::uint32_t type_ = 0;
};

}  // namespace

ParseResult ParseEmf(const std::uint8_t* data, std::size_t size, Metafile& out) {
  if (data == nullptr) size = 0;
  return Parser(data, size, out).Run();
}

}  // namespace pit::emf
