#pragma once
// Validating reader of enhanced metafiles. Page pictures come from files the
// user can replace, so the whole file is checked before anything is drawn:
// the header, every record's size and every field a record refers to. The
// first bad record stops the reading with a status naming it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "emf/emf_records.h"

namespace pit::emf {

enum class Status {
  Ok,
  TooShort,            // fewer bytes than a header
  NotEmf,              // first record not a header, or no " EMF" signature
  BadHeader,           // header size, frame or device size unusable
  SizeMismatch,        // nBytes differs from the data size
  BadDescription,      // description outside the header
  BadRecordSize,       // below 8 or not a multiple of 4
  RecordOverrun,       // record reaches past the end of the data
  BadRecord,           // a field of the record points outside it or is out of range
  BadObjectIndex,      // object index outside the handle table or unknown stock object
  BadBitmap,           // bitmap header, size or pixel data inconsistent
  MissingEof,          // data ends without an EOF record
  DataAfterEof,        // records follow the EOF record
};

const char* StatusText(Status s);

struct ParseResult {
  Status status = Status::Ok;
  std::size_t offset = 0;       // byte offset of the offending record
  std::size_t recordIndex = 0;  // its number, the header being 0
  std::uint32_t recordType = 0;
  bool ok() const { return status == Status::Ok; }
  std::string Message() const;
};

struct RectL {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct PointL {
  std::int32_t x = 0, y = 0;
};

struct Header {
  RectL bounds;  // device units, inclusive
  RectL frame;   // 0.01 mm, inclusive
  std::uint32_t nBytes = 0;
  std::uint32_t nRecords = 0;
  std::uint16_t nHandles = 0;
  std::int32_t deviceCx = 0, deviceCy = 0;
  std::int32_t millimetersCx = 0, millimetersCy = 0;
  std::u16string description;
};

// SETMAPMODE, SETBKMODE, SETTEXTALIGN, SETTEXTCOLOR, SETBKCOLOR, SELECTOBJECT,
// DELETEOBJECT, RESTOREDC (value as int32 bits), SAVEDC (no value).
struct ValueRecord {
  std::uint32_t type;
  std::uint32_t value;
};
// MOVETOEX, LINETO.
struct PointRecord {
  std::uint32_t type;
  PointL point;
};
struct RectangleRecord {
  RectL box;  // inclusive-inclusive, as GDI takes it
};
struct Polyline16Record {
  std::vector<std::int16_t> xy;  // x0, y0, x1, y1, ...
};
// CREATEPEN and EXTCREATEPEN (the latter without its pattern bitmap and
// style entries, which our player does not use).
struct PenRecord {
  std::uint32_t handle;
  std::uint32_t style;
  std::int32_t width;
  std::uint32_t brushStyle;  // BS_SOLID for CREATEPEN
  std::uint32_t color;
  bool extended;
};
struct BrushRecord {
  std::uint32_t handle;
  std::uint32_t style;
  std::uint32_t color;
  std::uint32_t hatch;
};
struct FontRecord {
  std::uint32_t handle;
  std::int32_t height;
  std::int32_t width;
  std::int32_t escapement;  // tenths of a degree
  std::int32_t weight;
  bool italic, underline, strikeOut;
  std::uint8_t charSet;
  std::u16string face;
};
struct TextRecord {
  std::uint32_t graphicsMode;
  PointL reference;
  std::uint32_t options;
  RectL rect;
  std::u16string text;
  std::vector<std::int32_t> dx;  // empty when the record has none; with ETO_PDY pairs (dx, dy)
};
struct BitmapRecord {
  std::int32_t xDest, yDest, cxDest, cyDest;
  std::int32_t xSrc, ySrc, cxSrc, cySrc;
  std::uint32_t rop;
  std::int32_t width, height;  // height < 0: rows top down
  std::uint16_t bitCount;      // 1, 4, 8, 24 or 32
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB, for bitCount <= 8
  std::vector<std::uint8_t> bits;      // rows padded to 4 bytes, as stored
};
struct SaveDcRecord {};

using Record = std::variant<ValueRecord, PointRecord, RectangleRecord, Polyline16Record, PenRecord, BrushRecord,
                            FontRecord, TextRecord, BitmapRecord, SaveDcRecord>;

struct Metafile {
  Header header;
  std::vector<Record> records;  // what the player needs; unknown records and EOF are left out
};

// Checks and parses `bytes`. On failure `out` holds what was read before the
// bad record, which callers should not draw.
ParseResult ParseEmf(const std::uint8_t* data, std::size_t size, Metafile& out);
inline ParseResult ParseEmf(const std::vector<std::uint8_t>& bytes, Metafile& out) {
  return ParseEmf(bytes.data(), bytes.size(), out);
}

// Limits on what an untrusted page picture may ask of us.
constexpr std::int64_t kMaxBitmapPixels = 64LL * 1024 * 1024;
constexpr std::int32_t kMaxBitmapSide = 32768;

}  // namespace pit::emf
