#pragma once
// Record types, constants and the little-endian primitives shared by the EMF
// writer, the reader and the player. Only the subset our page pictures use
// (plus what a scanned page needs) is named here; anything else is skipped by
// its size when reading.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pit::emf {

enum RecordType : std::uint32_t {
  kHeader = 1,
  kEof = 14,
  kSetMapMode = 17,
  kSetBkMode = 18,
  kSetTextAlign = 22,
  kSetTextColor = 24,
  kSetBkColor = 25,
  kMoveToEx = 27,
  kSaveDc = 33,
  kRestoreDc = 34,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrushIndirect = 39,
  kDeleteObject = 40,
  kRectangle = 43,
  kLineTo = 54,
  kStretchDiBits = 81,
  kExtCreateFontIndirectW = 82,
  kExtTextOutW = 84,
  kPolyline16 = 87,
  kExtCreatePen = 95,
};

constexpr std::uint32_t kSignature = 0x464D4520;  // " EMF"
constexpr std::uint32_t kVersion = 0x00010000;

// Fixed part of the header record up to szlMillimeters; the two extensions
// (pixel format, micrometres) follow in newer files.
constexpr std::size_t kHeaderMinSize = 88;
constexpr std::size_t kHeaderWithExtensionsSize = 108;

// Stock objects are selected with the high bit set.
constexpr std::uint32_t kStockObjectFlag = 0x80000000u;
enum StockObject : std::uint32_t {
  kWhiteBrush = 0,
  kLtGrayBrush = 1,
  kGrayBrush = 2,
  kDkGrayBrush = 3,
  kBlackBrush = 4,
  kNullBrush = 5,
  kWhitePen = 6,
  kBlackPen = 7,
  kNullPen = 8,
  kOemFixedFont = 10,
  kAnsiFixedFont = 11,
  kAnsiVarFont = 12,
  kSystemFont = 13,
  kDeviceDefaultFont = 14,
  kDefaultPalette = 15,
  kSystemFixedFont = 16,
  kDefaultGuiFont = 17,
  kDcBrush = 18,
  kDcPen = 19,
  kLastStockObject = 19,
};

// Pen styles (CREATEPEN, EXTCREATEPEN).
constexpr std::uint32_t kPsSolid = 0, kPsDash = 1, kPsDot = 2, kPsDashDot = 3, kPsDashDotDot = 4,
                        kPsNull = 5, kPsInsideFrame = 6, kPsStyleMask = 0x0F;
constexpr std::uint32_t kPsEndcapRound = 0x000, kPsEndcapSquare = 0x100, kPsEndcapFlat = 0x200,
                        kPsEndcapMask = 0xF00;
constexpr std::uint32_t kPsJoinRound = 0x0000, kPsJoinBevel = 0x1000, kPsJoinMiter = 0x2000,
                        kPsJoinMask = 0xF000;
constexpr std::uint32_t kPsGeometric = 0x10000;

// Brush styles.
constexpr std::uint32_t kBsSolid = 0, kBsNull = 1, kBsHatched = 2;

// Text alignment bits.
constexpr std::uint32_t kTaUpdateCp = 1, kTaLeft = 0, kTaRight = 2, kTaCenter = 6, kTaHorzMask = 6;
constexpr std::uint32_t kTaTop = 0, kTaBottom = 8, kTaBaseline = 24, kTaVertMask = 24;

// ExtTextOut options.
constexpr std::uint32_t kEtoOpaque = 0x2, kEtoClipped = 0x4, kEtoGlyphIndex = 0x10, kEtoPdy = 0x2000;

constexpr std::uint32_t kMmText = 1;
constexpr std::uint32_t kTransparent = 1, kOpaque = 2;
constexpr std::uint32_t kGmCompatible = 1;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kDibRgbColors = 0;
constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;
constexpr std::uint8_t kEastEuropeCharset = 238;

// Sizes of fixed record parts, from the record start.
constexpr std::size_t kLogFontWSize = 92;        // LOGFONTW
constexpr std::size_t kLogFontPanoseSize = 320;  // what EXTCREATEFONTINDIRECTW usually carries
constexpr std::size_t kFaceNameChars = 32;
constexpr std::size_t kExtTextOutFixedSize = 76;
constexpr std::size_t kStretchDiBitsFixedSize = 80;
constexpr std::size_t kBitmapInfoHeaderSize = 40;

// COLORREF: 0x00BBGGRR.
inline std::uint32_t ColorRef(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16);
}

// Unaligned little-endian loads; callers have checked the bounds.
inline std::uint16_t LoadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
inline std::int16_t LoadI16(const std::uint8_t* p) { return static_cast<std::int16_t>(LoadU16(p)); }
inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}
inline std::int32_t LoadI32(const std::uint8_t* p) { return static_cast<std::int32_t>(LoadU32(p)); }
inline float LoadF32(const std::uint8_t* p) {
  const std::uint32_t u = LoadU32(p);
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

}  // namespace pit::emf
