// The page writer's output read back through the validating reader, and the
// reader's refusal of damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>

#include "emf/emf_reader.h"
#include "emf/emf_records.h"
#include "emf/emf_writer.h"
#include "forms/definition_files.h"

namespace pit::emf {
namespace {

// Every code unit `factor` em wide: predictable advances without fonts.
struct FixedMeasurer : TextMeasurer {
  explicit FixedMeasurer(double f) : factor(f) {}
  std::vector<double> Advances(const Font& f, const std::u16string& s) override {
    return std::vector<double>(s.size(), f.emPx * factor);
  }
  double factor;
};

template <class T>
std::vector<T> All(const Metafile& mf) {
  std::vector<T> out;
  for (const Record& r : mf.records)
    if (const T* t = std::get_if<T>(&r)) out.push_back(*t);
  return out;
}

std::vector<std::uint8_t> SamplePage(TextMeasurer& m) {
  PageWriter w(m);
  Font f;
  f.emPx = 20;
  f.bold = true;
  w.FillRect(100, 100, 300, 200, {255, 0, 0});
  w.FrameRect(50, 50, 750, 1081, {0, 0, 0}, 1);
  w.Line(100, 500, 700, 500, {0, 0, 255}, 2);
  w.Polyline({{10, 10}, {20, 30}, {40, 10}}, {0, 0, 0}, 1);
  w.Text(400, 400, "Zażółć gęślą jaźń", f, {0, 0, 0}, HAlign::Center);
  w.Picture(400, 600, 600, 800, 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
  return w.Finish();
}

TEST(EmfWriter, PageReadsBackWithItsFrameObjectsAndText) {
  FixedMeasurer m(0.5);
  const auto bytes = SamplePage(m);
  Metafile mf;
  const ParseResult r = ParseEmf(bytes, mf);
  ASSERT_TRUE(r.ok()) << r.Message();

  // The engine's picture size: the frame, drawn 800 x 1131.
  const auto size = ReadPictureSize(bytes);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 20999);
  EXPECT_EQ(size->height, 29699);
  EXPECT_EQ(PageHeightFor800(*size), 1131);
  EXPECT_EQ(mf.header.bounds.right, 2479);
  EXPECT_EQ(mf.header.bounds.bottom, 3507);
  EXPECT_EQ(mf.header.deviceCx, 2480);
  EXPECT_EQ(mf.header.millimetersCy, 297);

  // Filled rectangle: no pen, a solid brush of its colour, device coordinates.
  const auto rects = All<RectangleRecord>(mf);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].box.left, 310);
  EXPECT_EQ(rects[0].box.top, 310);
  EXPECT_EQ(rects[0].box.right, 930);
  EXPECT_EQ(rects[0].box.bottom, 620);
  const auto brushes = All<BrushRecord>(mf);
  ASSERT_EQ(brushes.size(), 1u);
  EXPECT_EQ(brushes[0].style, kBsSolid);
  EXPECT_EQ(brushes[0].color, ColorRef(255, 0, 0));

  // Pens are geometric and about 3 device units per page pixel.
  const auto pens = All<PenRecord>(mf);
  ASSERT_EQ(pens.size(), 2u);
  EXPECT_TRUE(pens[0].extended);
  EXPECT_TRUE(pens[0].style & kPsGeometric);
  EXPECT_EQ(pens[0].width, 3);
  EXPECT_EQ(pens[1].width, 6);
  EXPECT_EQ(pens[1].color, ColorRef(0, 0, 255));

  const auto polys = All<Polyline16Record>(mf);
  ASSERT_EQ(polys.size(), 1u);
  EXPECT_EQ(polys[0].xy, (std::vector<std::int16_t>{31, 31, 62, 93, 124, 31}));

  const auto fonts = All<FontRecord>(mf);
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].height, -62);  // em height, negative
  EXPECT_EQ(fonts[0].weight, 700);
  EXPECT_EQ(fonts[0].charSet, kEastEuropeCharset);
  EXPECT_EQ(fonts[0].face, u"Arial");

  const auto texts = All<TextRecord>(mf);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, u"Zażółć gęślą jaźń");
  EXPECT_EQ(texts[0].reference.x, 1240);
  EXPECT_EQ(texts[0].reference.y, 1241);
  ASSERT_EQ(texts[0].dx.size(), texts[0].text.size());
  EXPECT_EQ(std::accumulate(texts[0].dx.begin(), texts[0].dx.end(), 0), 527);  // 17 * 10 px * 3.1

  bool baselineCentred = false;
  for (const Record& rec : mf.records)
    if (auto* v = std::get_if<ValueRecord>(&rec); v && v->type == kSetTextAlign)
      baselineCentred = v->value == (kTaBaseline | kTaCenter);
  EXPECT_TRUE(baselineCentred);

  const auto bitmaps = All<BitmapRecord>(mf);
  ASSERT_EQ(bitmaps.size(), 1u);
  EXPECT_EQ(bitmaps[0].bitCount, 24);
  EXPECT_EQ(bitmaps[0].width, 2);
  // Bottom-up rows: the first stored row is the picture's last (blue, white).
  EXPECT_EQ(bitmaps[0].bits[0], 255);  // blue's B
  EXPECT_EQ(bitmaps[0].bits[2], 0);    // blue's R
}

TEST(EmfWriter, EverySelectedObjectExistsAndIsDeletedAtTheEnd) {
  FixedMeasurer m(0.5);
  PageWriter w(m);
  Font a, b;
  b.italic = true;
  for (int i = 0; i < 3; ++i) {  // repeated styles reuse their objects
    w.FillRect(0, 0, 10, 10, {1, 2, 3});
    w.Line(0, 0, 10, 10, {0, 0, 0}, 1);
    w.Text(0, 20, "a", a, {0, 0, 0});
    w.Text(0, 40, "b", b, {0, 0, 0});
  }
  Metafile mf;
  ASSERT_TRUE(ParseEmf(w.Finish(), mf).ok());

  std::vector<int> state(mf.header.nHandles, 0);  // 0 never made, 1 live, 2 deleted
  int created = 0;
  auto create = [&](std::uint32_t h) {
    ASSERT_LT(h, state.size());
    EXPECT_NE(state[h], 1) << "handle " << h << " created twice";
    state[h] = 1;
    ++created;
  };
  for (const Record& r : mf.records) {
    if (auto* p = std::get_if<PenRecord>(&r)) create(p->handle);
    if (auto* p = std::get_if<BrushRecord>(&r)) create(p->handle);
    if (auto* p = std::get_if<FontRecord>(&r)) create(p->handle);
    if (auto* v = std::get_if<ValueRecord>(&r)) {
      if (v->type == kSelectObject && !(v->value & kStockObjectFlag)) {
        EXPECT_EQ(state[v->value], 1);
      }
      if (v->type == kDeleteObject) {
        EXPECT_EQ(state[v->value], 1);
        state[v->value] = 2;
      }
    }
  }
  EXPECT_EQ(created, 4);  // one brush, one pen, two fonts
  EXPECT_EQ(mf.header.nHandles, created + 1);
  for (std::size_t h = 1; h < state.size(); ++h) EXPECT_EQ(state[h], 2) << "handle " << h;
}

TEST(EmfWriter, AdvancesAreRoundedAlongTheLineNotPerLetter) {
  // 0.33 px advances are 1.023 device units each; rounding each would lose
  // 2.3 units over 100 letters and make the text narrower than measured.
  struct Third : TextMeasurer {
    std::vector<double> Advances(const Font&, const std::u16string& s) override {
      return std::vector<double>(s.size(), 0.33);
    }
  } m;
  PageWriter w(m);
  w.Text(0, 10, std::string(100, 'i'), Font{}, {0, 0, 0});
  EXPECT_NEAR(w.TextWidth(std::string(100, 'i'), Font{}), 33.0, 1e-9);
  Metafile mf;
  ASSERT_TRUE(ParseEmf(w.Finish(), mf).ok());
  const auto texts = All<TextRecord>(mf);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(std::accumulate(texts[0].dx.begin(), texts[0].dx.end(), 0), 102);
}

TEST(EmfWriter, Utf8ToUtf16) {
  const struct {
    std::string in;
    std::u16string out;
  } cases[] = {
      {"Zażółć", u"Zażółć"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},        // outside the BMP: a surrogate pair
      {"a\xFF" "b", u"a\uFFFDb"},                  // byte that never starts a sequence
      {"x\xC5", u"x\uFFFD"},                        // sequence cut off at the end
      {"\xC0\xAF", u"\uFFFD\uFFFD"},               // overlong form of '/'
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},     // encoded surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << c.in;
}

// --- damaged files ---------------------------------------------------------

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}
std::uint32_t Get32(const std::vector<std::uint8_t>& b, std::size_t at) { return LoadU32(b.data() + at); }
void FixNBytes(std::vector<std::uint8_t>& b) { Put32(b, 48, static_cast<std::uint32_t>(b.size())); }

// Offset of the first record of `type` in a well-formed file.
std::size_t Find(const std::vector<std::uint8_t>& b, std::uint32_t type) {
  for (std::size_t pos = 0; pos + 8 <= b.size(); pos += Get32(b, pos + 4))
    if (Get32(b, pos) == type) return pos;
  ADD_FAILURE() << "no record of type " << type;
  return 0;
}

TEST(EmfReader, RejectsDamagedFiles) {
  FixedMeasurer m(0.5);
  const auto good = SamplePage(m);
  const std::size_t headerSize = Get32(good, 4);

  const struct {
    const char* name;
    std::function<void(std::vector<std::uint8_t>&)> damage;
    Status expected;
  } cases[] = {
      {"empty", [](auto& b) { b.clear(); }, Status::TooShort},
      {"seven bytes", [](auto& b) { b.resize(7); }, Status::TooShort},
      {"signature", [](auto& b) { b[40] = 'X'; }, Status::NotEmf},
      {"first record not a header", [](auto& b) { Put32(b, 0, kEof); }, Status::NotEmf},
      {"truncated", [](auto& b) { b.resize(b.size() - 4); }, Status::SizeMismatch},
      {"truncated, nBytes fixed", [](auto& b) { b.resize(b.size() - 4); FixNBytes(b); }, Status::RecordOverrun},
      {"nBytes too large", [](auto& b) { Put32(b, 48, Get32(b, 48) + 4); }, Status::SizeMismatch},
      {"header size beyond the file", [](auto& b) { Put32(b, 4, 0x7FFFFFF0); }, Status::RecordOverrun},
      {"description past the header", [&](auto& b) { Put32(b, 64, std::uint32_t(headerSize - 2)); },
       Status::BadDescription},
      {"huge description", [](auto& b) { Put32(b, 60, 0x80000000u); }, Status::BadDescription},
      {"empty frame", [](auto& b) { Put32(b, 32, 0); }, Status::BadHeader},
      // Frames no sheet of paper has: they would draw a stripe of nothing.
      {"frame a thin stripe", [](auto& b) { Put32(b, 28, 0); Put32(b, 36, 10); }, Status::BadHeader},
      {"frame a thin column", [](auto& b) { Put32(b, 24, 0); Put32(b, 32, 100); }, Status::BadHeader},
      {"frame over ten metres", [](auto& b) { Put32(b, 32, 2000000); Put32(b, 36, 2000000); }, Status::BadHeader},
      {"record size not a multiple of 4", [](auto& b) { Put32(b, Find(b, kRectangle) + 4, 26); },
       Status::BadRecordSize},
      {"record size below 8", [](auto& b) { Put32(b, Find(b, kRectangle) + 4, 4); }, Status::BadRecordSize},
      {"record size zero", [](auto& b) { Put32(b, Find(b, kRectangle) + 4, 0); }, Status::BadRecordSize},
      {"record past the end", [](auto& b) { Put32(b, Find(b, kRectangle) + 4, 0x7FFFFFF0); },
       Status::RecordOverrun},
      {"record too short for its fields", [](auto& b) {
         // A RECTANGLE of 12 bytes followed by 12 bytes of an unknown record.
         const std::size_t at = Find(b, kRectangle);
         Put32(b, at + 4, 12);
         Put32(b, at + 12, 0x7F);
         Put32(b, at + 16, 12);
       }, Status::BadRecord},
      {"missing EOF", [](auto& b) { b.resize(Find(b, kEof)); FixNBytes(b); }, Status::MissingEof},
      {"record after EOF", [](auto& b) {
         const std::vector<std::uint8_t> saveDc = {kSaveDc, 0, 0, 0, 8, 0, 0, 0};
         b.insert(b.end(), saveDc.begin(), saveDc.end());
         FixNBytes(b);
       }, Status::DataAfterEof},
      {"huge string length", [](auto& b) { Put32(b, Find(b, kExtTextOutW) + 44, 0x7FFFFFFF); },
       Status::BadRecord},
      {"string offset past the record", [](auto& b) { Put32(b, Find(b, kExtTextOutW) + 48, 0xFFFFFFF0u); },
       Status::BadRecord},
      {"Dx offset past the record", [](auto& b) { Put32(b, Find(b, kExtTextOutW) + 72, 0x10000); },
       Status::BadRecord},
      {"Dx pairs not present", [](auto& b) { Put32(b, Find(b, kExtTextOutW) + 52, kEtoPdy); }, Status::BadRecord},
      {"polyline count", [](auto& b) { Put32(b, Find(b, kPolyline16) + 24, 0x40000000); }, Status::BadRecord},
      {"select beyond the handle table", [](auto& b) { Put32(b, Find(b, kSelectObject) + 8, 0xFFFF); },
       Status::BadObjectIndex},
      {"unknown stock object", [](auto& b) { Put32(b, Find(b, kSelectObject) + 8, kStockObjectFlag | 77); },
       Status::BadObjectIndex},
      {"create into handle 0", [](auto& b) { Put32(b, Find(b, kCreateBrushIndirect) + 8, 0); },
       Status::BadObjectIndex},
      {"delete beyond the handle table", [](auto& b) { Put32(b, Find(b, kDeleteObject) + 8, 70000); },
       Status::BadObjectIndex},
      {"bitmap taller than its bits", [](auto& b) { Put32(b, Find(b, kStretchDiBits) + 80 + 8, 1000); },
       Status::BadBitmap},
      {"bitmap of absurd width", [](auto& b) { Put32(b, Find(b, kStretchDiBits) + 80 + 4, 0x7FFFFFFF); },
       Status::BadBitmap},
      {"bitmap compressed", [](auto& b) { Put32(b, Find(b, kStretchDiBits) + 80 + 16, 1); }, Status::BadBitmap},
      {"bitmap source outside", [](auto& b) { Put32(b, Find(b, kStretchDiBits) + 40, 3); }, Status::BadBitmap},
      {"bitmap bits offset outside", [](auto& b) { Put32(b, Find(b, kStretchDiBits) + 56, 0xFFFFFFF0u); },
       Status::BadBitmap},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> b = good;
    c.damage(b);
    Metafile mf;
    const ParseResult r = ParseEmf(b, mf);
    EXPECT_EQ(r.status, c.expected) << c.name << ": " << r.Message();
  }
}

TEST(EmfReader, ReportsWhereTheFirstBadRecordIs) {
  FixedMeasurer m(0.5);
  auto b = SamplePage(m);
  const std::size_t at = Find(b, kRectangle);
  Put32(b, at + 4, 26);
  Metafile mf;
  const ParseResult r = ParseEmf(b, mf);
  EXPECT_EQ(r.status, Status::BadRecordSize);
  EXPECT_EQ(r.offset, at);
  EXPECT_EQ(r.recordType, kRectangle);
  EXPECT_NE(r.Message().find("bajt " + std::to_string(at)), std::string::npos) << r.Message();
}

TEST(EmfReader, SkipsUnknownRecordsBySize) {
  FixedMeasurer m(0.5);
  auto b = SamplePage(m);
  Metafile before;
  ASSERT_TRUE(ParseEmf(b, before).ok());
  // A 20-byte record of a type we do not draw, inserted before the rectangle;
  // its body looks like a huge RECTANGLE, which must not leak into the next record.
  const std::vector<std::uint8_t> unknown = {70, 0, 0, 0, 20, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F,
                                             0, 0, 0, 0, 0, 0, 0, 0};
  b.insert(b.begin() + static_cast<std::ptrdiff_t>(Find(b, kRectangle)), unknown.begin(), unknown.end());
  FixNBytes(b);
  Metafile after;
  const ParseResult r = ParseEmf(b, after);
  ASSERT_TRUE(r.ok()) << r.Message();
  EXPECT_EQ(after.records.size(), before.records.size());
  EXPECT_EQ(All<RectangleRecord>(after)[0].box.left, 310);
}

}  // namespace
}  // namespace pit::emf
