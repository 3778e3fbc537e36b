// Pages written with the real font metrics, played back into images: what
// must show (fills, lines, text, pictures) shows where it belongs, at any
// size, and nothing else is painted.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <functional>

#include "emf/emf_player.h"
#include "emf/emf_writer.h"
#include "emf/qt_text_measurer.h"

namespace pit::emf {
namespace {

bool IsWhite(QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; }
bool IsDark(QRgb c) { return qGray(c) < 128; }

int CountIn(const QImage& img, const QRect& r, const std::function<bool(QRgb)>& pred) {
  int n = 0;
  const QRect box = r.intersected(img.rect());
  for (int y = box.top(); y <= box.bottom(); ++y)
    for (int x = box.left(); x <= box.right(); ++x) n += pred(img.pixel(x, y));
  return n;
}

// Ink bounding box inside a region (empty when nothing is dark there).
QRect DarkBox(const QImage& img, const QRect& r) {
  QRect box;
  const QRect area = r.intersected(img.rect());
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (IsDark(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}

class EmfRender : public ::testing::Test {
 protected:
  QtTextMeasurer measurer;
};

struct Page {
  std::vector<std::uint8_t> bytes;
  double textWidth = 0;
};

const char kPolish[] = "Zażółć gęślą jaźń";

Page SamplePage(TextMeasurer& m) {
  PageWriter w(m);
  Font f;
  f.emPx = 24;
  w.FillRect(100, 100, 300, 200, {255, 0, 0});
  w.FrameRect(50, 50, 750, 1080, {0, 0, 0}, 1);
  w.Line(100, 500, 700, 500, {0, 0, 255}, 2);
  w.Text(100, 400, kPolish, f, {0, 0, 0});
  Page p;
  p.textWidth = w.TextWidth(kPolish, f);
  p.bytes = w.Finish();
  return p;
}

TEST_F(EmfRender, DrawsEachShapeWhereItBelongsAndNothingElse) {
  const Page page = SamplePage(measurer);
  ASSERT_GT(page.textWidth, 150);  // Liberation Sans at 24 px: about 200 px
  ASSERT_LT(page.textWidth, 260);

  for (int width : {800, 1600}) {
    SCOPED_TRACE(width);
    const double k = width / 800.0;
    const QImage img = RenderEmf(page.bytes, width);
    ASSERT_EQ(img.width(), width);
    ASSERT_EQ(img.height(), width == 800 ? 1131 : 2262);
    auto at = [&](double x, double y) { return img.pixel(int(x * k), int(y * k)); };
    auto px = [&](double x0, double y0, double x1, double y1) {
      return QRect(QPoint(int(x0 * k), int(y0 * k)), QPoint(int(x1 * k), int(y1 * k)));
    };

    // The filled rectangle is red up to its edges, white just outside.
    EXPECT_EQ(at(200, 150), qRgb(255, 0, 0));
    EXPECT_EQ(at(102, 102), qRgb(255, 0, 0));
    EXPECT_EQ(at(298, 198), qRgb(255, 0, 0));
    EXPECT_TRUE(IsWhite(at(97, 150)));
    EXPECT_TRUE(IsWhite(at(303, 150)));
    EXPECT_TRUE(IsWhite(at(200, 203)));

    // The 2-pixel blue line: blue in every column from end to end, about
    // 2 pixels thick, white 4 pixels away.
    const auto blue = [](QRgb c) { return qBlue(c) > 200 && qRed(c) < 80; };
    int thin = 0, missing = 0;
    for (int x = int(102 * k); x <= int(698 * k); ++x) {
      const int n = CountIn(img, QRect(x, int(494 * k), 1, int(12 * k)), blue);
      missing += n == 0;
      thin += n > 0 && n <= int(3 * k);
    }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(thin, int(698 * k) - int(102 * k) + 1);
    EXPECT_TRUE(IsWhite(at(400, 504)));
    EXPECT_TRUE(IsWhite(at(400, 496)));
    EXPECT_TRUE(IsWhite(at(95, 500)));
    EXPECT_TRUE(IsWhite(at(705, 500)));

    // The 1-pixel black frame: closed on all four sides.
    for (auto [x, y] : {std::pair{400.0, 50.0}, {400.0, 1080.0}, {50.0, 600.0}, {750.0, 600.0}}) {
      const QRect around = px(x - 2, y - 2, x + 2, y + 2);
      EXPECT_GT(CountIn(img, around, IsDark), 0) << x << "," << y;
    }

    // The text: ink from its left edge to its measured width, up to the
    // ascenders and accents (ł, ó, ć) and down to the ogoneks and descenders.
    const QRect ink = DarkBox(img, px(90, 370, 100 + page.textWidth + 10, 415));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.left() / k, 101, 2);
    EXPECT_NEAR(ink.right() / k, 100 + page.textWidth, 3);
    EXPECT_LT(ink.top() / k, 400 - 15);
    EXPECT_GT(ink.bottom() / k, 400 + 3);
    EXPECT_GT(CountIn(img, px(100, 380, 100 + page.textWidth, 405), IsDark), int(300 * k * k));

    // Nothing outside the shapes: whiten their areas and the rest must be white.
    QImage rest = img.copy();
    QPainter p(&rest);
    p.scale(k, k);
    for (QRectF r : {QRectF(96, 96, 208, 108), QRectF(96, 496, 608, 8), QRectF(90, 370, page.textWidth + 20, 45)})
      p.fillRect(r, Qt::white);
    p.setPen(QPen(Qt::white, 6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(50, 50, 700, 1030));
    p.end();
    EXPECT_EQ(CountIn(rest, rest.rect(), [](QRgb c) { return !IsWhite(c); }), 0);
  }
}

TEST_F(EmfRender, PlacesLettersByTheStoredAdvancesForEachAlignment) {
  // Advances far wider than the font's own: the player must follow them.
  struct Wide : TextMeasurer {
    std::vector<double> Advances(const Font&, const std::u16string& s) override {
      return std::vector<double>(s.size(), 40.0);
    }
  } wide;
  const struct {
    HAlign align;
    double expectedLeft;  // left edge of the first letter's cell
  } cases[] = {{HAlign::Left, 400}, {HAlign::Center, 400 - 100}, {HAlign::Right, 400 - 200}};
  for (const auto& c : cases) {
    PageWriter w(wide);
    Font f;
    f.emPx = 30;
    w.Text(400, 300, "IIIII", f, {0, 0, 0}, c.align);
    const QImage img = RenderEmf(w.Finish(), 800);
    ASSERT_FALSE(img.isNull());
    // Five narrow strokes 40 px apart, each a few pixels right of its cell's start.
    for (int i = 0; i < 5; ++i) {
      const double cell = c.expectedLeft + 40 * i;
      const QRect stroke = DarkBox(img, QRect(int(cell) - 5, 270, 30, 35));
      ASSERT_FALSE(stroke.isEmpty()) << "letter " << i << " align " << int(c.align);
      EXPECT_NEAR(stroke.left(), cell + 3, 3) << "letter " << i << " align " << int(c.align);
      EXPECT_LT(stroke.width(), 8);
    }
  }
}

TEST_F(EmfRender, DrawsAPictureStretchedOverItsRectangle) {
  PageWriter w(measurer);
  // 2 x 2: red, green / blue, white; rows top down.
  w.Picture(400, 600, 600, 800, 2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
  const QImage img = RenderEmf(w.Finish(), 800);
  ASSERT_FALSE(img.isNull());
  auto near = [](QRgb c, int r, int g, int b) {
    return std::abs(qRed(c) - r) < 40 && std::abs(qGreen(c) - g) < 40 && std::abs(qBlue(c) - b) < 40;
  };
  EXPECT_TRUE(near(img.pixel(430, 630), 255, 0, 0));
  EXPECT_TRUE(near(img.pixel(570, 630), 0, 255, 0));
  EXPECT_TRUE(near(img.pixel(430, 770), 0, 0, 255));
  EXPECT_TRUE(near(img.pixel(570, 770), 255, 255, 255));
  EXPECT_TRUE(IsWhite(img.pixel(395, 700)));
  EXPECT_TRUE(IsWhite(img.pixel(500, 805)));
}

TEST_F(EmfRender, KeepsGdiStateAcrossSaveRestoreAndStockObjects) {
  // A picture another program might write: default black pen, a stock brush
  // selected inside SaveDC and dropped again by RestoreDC.
  std::vector<std::uint8_t> b;
  auto put = [&](std::initializer_list<std::uint32_t> words) {
    for (std::uint32_t v : words)
      for (int i = 0; i < 4; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
  };
  put({kHeader, 88, 0, 0, 799, 1130, 0, 0, 21100, 29900, kSignature, kVersion, 0, 0, 1, 0, 0, 0,
       800, 1131, 211, 299});  // nHandles 1; 800 x 1131 device pixels
  put({kSaveDc, 8});
  put({kSelectObject, 12, kStockObjectFlag | kBlackBrush});
  put({kRectangle, 24, 100, 100, 200, 200});
  put({kRestoreDc, 12, 0xFFFFFFFFu});
  put({kRectangle, 24, 300, 100, 400, 200});  // the default white brush again
  put({kEof, 20, 0, 16, 20});
  for (int i = 0; i < 4; ++i) b[48 + i] = std::uint8_t(b.size() >> (8 * i));

  const QImage img = RenderEmf(b, 800);
  ASSERT_FALSE(img.isNull());
  EXPECT_TRUE(IsDark(img.pixel(150, 150)));
  EXPECT_TRUE(IsWhite(img.pixel(350, 150)));
  EXPECT_GT(CountIn(img, QRect(299, 150, 3, 1), IsDark), 0);  // its black outline
  EXPECT_GT(CountIn(img, QRect(350, 99, 1, 3), IsDark), 0);
}

TEST_F(EmfRender, DrawsNothingForADamagedFile) {
  auto bytes = SamplePage(measurer).bytes;
  bytes.resize(bytes.size() - 20);  // EOF gone
  for (int i = 0; i < 4; ++i) bytes[48 + i] = std::uint8_t(bytes.size() >> (8 * i));
  EXPECT_TRUE(RenderEmf(bytes, 800).isNull());

  QImage img(200, 283, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  const ParseResult r = PlayEmf(p, bytes, QRectF(0, 0, 200, 283));
  p.end();
  EXPECT_EQ(r.status, Status::MissingEof);
  EXPECT_EQ(CountIn(img, img.rect(), [](QRgb c) { return !IsWhite(c); }), 0);
  EXPECT_TRUE(RenderEmf({}, 800).isNull());
}

}  // namespace
}  // namespace pit::emf

int main(int argc, char** argv) {
  // Images only: never needs a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
