#pragma once
// Writes one page picture (.dcg) as an enhanced metafile.
//
// Callers work in page pixels of a page 800 wide and 1131 high; the writer
// scales them to A4 at 300 dpi (device 2480 x 3508 units, frame 210 x 297 mm),
// so the picture keeps its detail when printed and plays at any size.
// Texts carry per-character advances measured by a TextMeasurer, so every
// player lays them out the same way whatever fonts the machine has.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace pit::emf {

struct Color {
  std::uint8_t r, g, b;
};

enum class HAlign { Left, Center, Right };

struct Font {
  std::string family = "Arial";
  double emPx = 10;  // em height in page pixels
  bool bold = false;
  bool italic = false;
};

// Per-character advances for EXTTEXTOUTW's Dx, in page pixels: one value per
// UTF-16 code unit (the second unit of a surrogate pair gets 0). pitrender
// provides a Qt-based one (QtTextMeasurer); tests may pass a fixed-width one.
struct TextMeasurer {
  virtual ~TextMeasurer() = default;
  virtual std::vector<double> Advances(const Font&, const std::u16string&) = 0;
};

// Page geometry shared by writer and tests.
constexpr double kPageWidthPx = 800;
constexpr double kPageHeightPx = 1131;
constexpr int kDeviceWidth = 2480;   // A4 at 300 dpi
constexpr int kDeviceHeight = 3508;
constexpr int kFrameRight = 20999;   // rclFrame, 0.01 mm, inclusive
constexpr int kFrameBottom = 29699;

// UTF-8 to UTF-16; malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& utf8);

class PageWriter {
 public:
  explicit PageWriter(TextMeasurer& m);

  void FillRect(double x0, double y0, double x1, double y1, Color fill);
  // Outline centred on the rectangle's edges.
  void FrameRect(double x0, double y0, double x1, double y1, Color pen, double penPx);
  void Line(double x0, double y0, double x1, double y1, Color pen, double penPx);
  void Polyline(const std::vector<std::pair<double, double>>& pts, Color pen, double penPx);
  // x is the left edge, centre or right edge by `a`; baselineY the baseline.
  void Text(double x, double baselineY, const std::string& utf8, const Font& f, Color c,
            HAlign a = HAlign::Left);
  double TextWidth(const std::string& utf8, const Font& f);  // page pixels, for layout (wrapping, fitting)
  // A picture (e.g. a scanned page) stretched over the rectangle; `rgb` holds
  // width * height pixels, 3 bytes each (red, green, blue), rows top down.
  void Picture(double x0, double y0, double x1, double y1, int width, int height,
               const std::vector<std::uint8_t>& rgb);

  std::vector<std::uint8_t> Finish();  // the .dcg bytes

 private:
  struct PenKey {
    std::uint32_t color;
    std::uint32_t width;
    bool operator<(const PenKey& o) const { return std::tie(color, width) < std::tie(o.color, o.width); }
  };
  using FontKey = std::tuple<std::string, std::int32_t, bool, bool>;

  std::int32_t Dx(double px) const;
  std::int32_t Dy(double px) const;
  std::int32_t DevicePenWidth(double penPx) const;
  std::uint32_t NewHandle();
  void SelectPen(Color c, double penPx);
  void SelectNullPen();
  void SelectBrush(Color c);
  void SelectNullBrush();
  void SelectFont(const Font& f);
  void SetTextColor(Color c);
  void SetTextAlign(std::uint32_t align);
  void Select(std::uint32_t handle, std::uint32_t& current);

  TextMeasurer& measurer_;
  std::vector<std::uint8_t> body_;  // records after the header
  std::uint32_t records_ = 0;
  std::uint32_t nextHandle_ = 1;
  std::map<PenKey, std::uint32_t> pens_;
  std::map<std::uint32_t, std::uint32_t> brushes_;
  std::map<FontKey, std::uint32_t> fonts_;
  std::uint32_t curPen_ = 0, curBrush_ = 0, curFont_ = 0;  // 0: the DC's default
  std::uint32_t textColor_ = 0xFFFFFFFFu, textAlign_ = 0xFFFFFFFFu;
  bool finished_ = false;
};

}  // namespace pit::emf
