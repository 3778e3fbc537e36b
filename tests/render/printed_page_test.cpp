// Printing a page: where the page picture and the values land on a device
// of a given resolution, and which fields are printed at all. Pages are
// printed into images whose resolution is set like a printer's.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <optional>

#include "emf/emf_writer.h"
#include "forms/definition_files.h"
#include "page_painter.h"
#include "printed_page.h"

namespace pit::render {
namespace {

struct FixedMeasurer : emf::TextMeasurer {
  std::vector<double> Advances(const emf::Font& font, const std::u16string& text) override {
    return std::vector<double>(text.size(), font.emPx * 0.55);
  }
};

// A page picture black all over, so its placement is the black area.
std::vector<std::uint8_t> BlackPage() {
  FixedMeasurer m;
  emf::PageWriter w(m);
  w.FillRect(0, 0, emf::kPageWidthPx, emf::kPageHeightPx, {0, 0, 0});
  return w.Finish();
}

QImage Device(int dpi, int width, int height) {
  QImage img(width, height, QImage::Format_RGB32);
  img.fill(Qt::white);
  const int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
  img.setDotsPerMeterX(dpm);
  img.setDotsPerMeterY(dpm);
  return img;
}

bool Ink(QRgb c) { return qGray(c) < 128; }

// Bounding box of the dark pixels inside `area` (nullopt: none).
std::optional<QRect> InkBox(const QImage& img, const QRect& area) {
  const QRect a = area.intersected(img.rect());
  int l = INT_MAX, t = INT_MAX, r = -1, b = -1;
  for (int y = a.top(); y <= a.bottom(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = a.left(); x <= a.right(); ++x)
      if (Ink(row[x])) {
        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
      }
  }
  if (r < 0) return std::nullopt;
  return QRect(QPoint(l, t), QPoint(r, b));
}

FieldObject Field(int typ, int left, int top, int right, int bottom, const std::string& value = {}) {
  FieldObject d;
  d.Typ = typ;
  d.Page = 1;
  d.Left = left;
  d.Top = top;
  d.Right = right;
  d.Bottom = bottom;
  d.Value = value;  // the slot's value, by the helper below
  d.BorderColor = "FFFFFF";  // outlines out of the way of the ink measured
  return d;
}

// An entry whose slots carry the values the test put into the definitions.
FormEntry EntryOf(const std::vector<FieldObject>& defs, int idPit) {
  FormEntry e;
  e.IdPit = idPit;
  for (std::size_t k = 0; k < defs.size() && k < e.Slots().size(); ++k) {
    ValueSlot& v = e.Unlisted()[k];
    v.Typ = defs[k].Typ;
    v.Value = defs[k].Value;
    v.CheckState = defs[k].Typ == kCheckbox && defs[k].Value == "X";
    if (defs[k].Typ == kKreska) v.Option = defs[k].Value == "1" ? 1 : 0;
  }
  return e;
}

QImage PrintOne(const std::vector<FieldObject>& defs, int idPit, const PrintOptions& o, bool withData = true,
                const std::vector<FieldObject>* shown = nullptr, int dpi = 600) {
  QImage img = Device(dpi, 800 * dpi / 100, 1131 * dpi / 100);
  const FormEntry e = EntryOf(defs, idPit);
  PrintedPage pg;
  pg.idPit = idPit;
  pg.page = 1;
  pg.entry = &e;
  pg.fileDefs = &defs;
  pg.shownDefs = shown;
  QPainter p(&img);
  PrintPage(p, GeometryFor(o, img.width(), dpi), pg, withData);
  p.end();
  return img;
}

TEST(PrintedPage, PagePictureFillsTheWidthMovedByMarginsOrCentredWhenSmaller) {
  PagePicture picture;
  ASSERT_TRUE(picture.LoadBytes(BlackPage()));
  struct Case {
    const char* what;
    int dpi, size, left, top;
    int expectLeft, expectRight, expectTop;  // device pixels, right edge exclusive
  };
  // A device 8 inches wide: 4800 pixels at 600 dpi, 2400 at 300 dpi.
  const Case cases[] = {
      {"as it is", 600, 0, 0, 0, 0, 4800, 0},
      {"margins of 5 and 2 steps", 600, 0, 5, 2, 50, 4850, 20},
      {"size -3: 30 narrower, 15 from the left, the margin of 5 plays no part", 600, -3, 5, 0, 15, 4785, 0},
      {"size +4: 40 wider", 600, 4, 0, 0, 0, 4840, 0},
      {"half the resolution, the same millimetres", 300, 0, 5, 2, 25, 2425, 10},
  };
  for (const Case& c : cases) {
    const int width = 8 * c.dpi;
    QImage img = Device(c.dpi, width + 100, 12 * c.dpi);
    PrintOptions o;
    o.sizeCorrection = c.size;
    o.left = c.left;
    o.top = c.top;
    const PaperGeometry g = GeometryFor(o, width, c.dpi);
    PrintedPage pg;
    pg.picture = &picture;
    QPainter p(&img);
    PrintPage(p, g, pg, true);
    p.end();
    const auto box = InkBox(img, img.rect());
    ASSERT_TRUE(box) << c.what;
    EXPECT_NEAR(box->left(), c.expectLeft, 1) << c.what;
    EXPECT_NEAR(box->right() + 1, c.expectRight, 1) << c.what;
    EXPECT_NEAR(box->top(), c.expectTop, 1) << c.what;
    // The page keeps its proportions: 1131 high for 800 wide.
    EXPECT_NEAR(box->height(), (c.expectRight - c.expectLeft) * 1131.0 / 800.0, 2) << c.what;
  }
}

TEST(PrintedPage, ValuesSitWhereTheirAlignmentPutsThem) {
  std::vector<FieldObject> defs;
  FieldObject left = Field(kTekst, 100, 100, 400, 120, "KOWALSKA");
  left.TextAlign = kAlignLeft;
  FieldObject right = Field(kLiczba, 100, 200, 400, 220, "1234567,8");
  right.TextAlign = kAlignRight;
  right.Option = 1;
  FieldObject centre = Field(kTekst, 100, 300, 400, 320, "ŻÓŁW");
  centre.TextAlign = kAlignCenter;
  FieldObject date = Field(kData, 100, 400, 300, 420, "01-02-1970");
  date.TextAlign = kAlignCells;
  date.MaxChar = 8;  // a date always has 10 cells
  defs = {left, right, centre, date};
  const QImage img = PrintOne(defs, 2, PrintOptions{});
  const double f = 6.0;  // 4800 / 800
  auto boxOf = [&](const FieldObject& d) {
    // Inside the outline, down to where the text may reach.
    return QRect(QPoint(int(d.Left * f) + 3, int(d.Top * f) + 3), QPoint(int(d.Right * f) - 3, int(d.Bottom * f) + 12));
  };
  const auto l = InkBox(img, boxOf(left));
  const auto r = InkBox(img, boxOf(right));
  const auto c = InkBox(img, boxOf(centre));
  ASSERT_TRUE(l && r && c);
  EXPECT_LT(l->left() - 600, 20);
  EXPECT_GT(r->right(), 2400 - 20);
  EXPECT_NEAR(c->center().x(), 1500, 10);
  // The text starts 15 printer pixels below the box's top.
  EXPECT_GE(l->top(), 600 + 15);
  EXPECT_LT(l->top(), 600 + 50);
  // Grouped with two decimals: wider than the stored "1234567,8".
  EXPECT_GT(r->width(), 300);
  // One character per cell: each of the 10 cells of 120 pixels has ink, and
  // the ink of cell j lies within it.
  for (int j = 0; j < 10; ++j) {
    const QRect cell(QPoint(600 + j * 120 + 3, 2400 + 3), QPoint(600 + (j + 1) * 120 - 3, 2520 + 12));
    const auto ink = InkBox(img, cell);
    ASSERT_TRUE(ink) << "cell " << j;
    EXPECT_NEAR(ink->center().x(), 600 + j * 120 + 60, 12) << "cell " << j;
  }
}

TEST(PrintedPage, WhichFieldsArePrinted) {
  // Objects 59, 62, 64 and 66 of a PIT/B: 60 to 65 are the hidden
  // alternative slots, never printed whatever their value.
  std::vector<FieldObject> defs(67, Field(kTekst, 10, 10, 20, 20));
  for (auto& d : defs) d.Visible = false;
  for (int k : {59, 62, 64, 66}) {
    defs[static_cast<std::size_t>(k)] = Field(kTekst, 100, 100 + (k - 59) * 50, 400, 120 + (k - 59) * 50, "TEKST");
    defs[static_cast<std::size_t>(k)].TextAlign = kAlignLeft;
  }
  auto inkAt = [&](const QImage& img, int k) {
    const FieldObject& d = defs[static_cast<std::size_t>(k)];
    return InkBox(img, QRect(QPoint(d.Left * 6 + 8, d.Top * 6 + 8), QPoint(d.Right * 6 - 8, d.Bottom * 6 + 12)))
        .has_value();
  };
  const QImage pitB = PrintOne(defs, 10, PrintOptions{});
  EXPECT_TRUE(inkAt(pitB, 59));
  EXPECT_FALSE(inkAt(pitB, 62));
  EXPECT_FALSE(inkAt(pitB, 64));
  EXPECT_TRUE(inkAt(pitB, 66));
  // The same objects of another form are printed.
  const QImage other = PrintOne(defs, 2, PrintOptions{});
  EXPECT_TRUE(inkAt(other, 64));
  // Hidden by the form window (its calculation's spouse rules): not printed.
  std::vector<FieldObject> shown = defs;
  shown[66].Visible = false;
  EXPECT_FALSE(inkAt(PrintOne(defs, 10, PrintOptions{}, true, &shown), 66));
  // Content option 0: the page picture only, no box, no value.
  for (auto& d : defs) d.BorderColor = "000000";
  ASSERT_TRUE(InkBox(PrintOne(defs, 2, PrintOptions{}), QRect(0, 0, 4800, 6786)));
  const QImage bare = PrintOne(defs, 2, PrintOptions{}, false);
  EXPECT_FALSE(InkBox(bare, bare.rect()));
}

// The shipped PIT/B: whatever object 64 holds, its page prints the same;
// a value in a printed field of the same page does change it.
TEST(PrintedPage, PitBObject64IsNeverPrinted) {
  const auto defs = LoadFieldObjects(DcsPath(PIT_BIN_DIR "/dc", 10));
  ASSERT_TRUE(defs.has_value()) << "the build makes dc/10.dcs";
  ASSERT_GT(defs->size(), 64u);
  const int page = (*defs)[64].Page;
  ASSERT_TRUE((*defs)[64].Visible);
  // A visible amount field on the same page, for the control.
  int control = -1;
  for (int k = 0; k < static_cast<int>(defs->size()) && control < 0; ++k) {
    const FieldObject& d = (*defs)[static_cast<std::size_t>(k)];
    if (d.Page == page && d.Visible && d.Typ == kLiczba && (k < 60 || k > 65)) control = k;
  }
  ASSERT_GE(control, 0);
  auto print = [&](const std::string& v64, const std::string& vControl) {
    FormEntry e;
    e.IdPit = 10;
    FillSlotsFromDefinition(e, *defs);
    e.Unlisted()[64].Value = v64;
    e.Unlisted()[static_cast<std::size_t>(control)].Value = vControl;
    QImage img = Device(600, 4800, 6786);
    PrintedPage pg;
    pg.idPit = 10;
    pg.page = page;
    pg.entry = &e;
    pg.fileDefs = &*defs;
    QPainter p(&img);
    PrintPage(p, GeometryFor(PrintOptions{}, img.width(), 600), pg, true);
    p.end();
    return img;
  };
  const QImage empty = print("", "");
  EXPECT_EQ(print("98765,43", ""), empty);
  EXPECT_EQ(print("NIE DRUKOWAĆ", ""), empty);
  EXPECT_NE(print("", "98765,43"), empty);
}

TEST(PrintedPage, TicksAreCrossesLinesAreStrokes) {
  std::vector<FieldObject> defs = {Field(kCheckbox, 100, 100, 120, 120, "X"),
                                   Field(kCheckbox, 200, 100, 220, 120, ""),
                                   Field(kKreska, 100, 200, 500, 220, "1"),
                                   Field(kKreska, 100, 300, 500, 320, "0")};
  const QImage img = PrintOne(defs, 2, PrintOptions{});
  // A cross: ink at the centre and near the four corners, pen about 10 wide.
  const auto ticked = InkBox(img, QRect(590, 590, 140, 140));
  ASSERT_TRUE(ticked);
  EXPECT_TRUE(Ink(img.pixel(660, 660)));
  EXPECT_TRUE(Ink(img.pixel(607, 607)));
  EXPECT_TRUE(Ink(img.pixel(713, 607)));
  EXPECT_FALSE(Ink(img.pixel(660, 607)));  // between the arms: nothing
  // An unticked box prints nothing at all, not even its outline.
  EXPECT_FALSE(InkBox(img, QRect(1190, 590, 140, 140)));
  // A struck-through line: 10 pixels thick across the middle.
  const auto line = InkBox(img, QRect(590, 1190, 2420, 140));
  ASSERT_TRUE(line);
  EXPECT_NEAR(line->center().y(), 1260, 2);
  EXPECT_NEAR(line->height(), 10, 3);
  EXPECT_GE(line->width(), 2390);
  EXPECT_FALSE(InkBox(img, QRect(590, 1790, 2420, 140)));
}

TEST(PrintedPage, MissingPicturePrintsTheValuesOnAnEmptyPageAndIsReportedOnce) {
  QTemporaryDir dir;
  const std::string dc = dir.path().toStdString();
  const std::vector<std::uint8_t> black = BlackPage();
  QFile page1(QString::fromStdString(DcgPath(dc, 2, 1)));
  ASSERT_TRUE(page1.open(QIODevice::WriteOnly));
  page1.write(reinterpret_cast<const char*>(black.data()), static_cast<qint64>(black.size()));
  page1.close();

  FormToPrint form;
  form.idPit = 2;
  form.code = "PIT-37";
  form.fileDefs = {Field(kTekst, 100, 100, 400, 120, "WARTOŚĆ")};
  form.fileDefs[0].Page = 2;
  const FormEntry e = EntryOf(form.fileDefs, 2);
  form.entry = &e;
  form.pages = {1, 2};

  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter pdf(&buffer);
  pdf.setResolution(600);
  pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  QPainter p(&pdf);
  FormPrinter printer(PrintOptions{}, dc);
  printer.Print(p, pdf, form, true);
  printer.Print(p, pdf, form, false);  // the same form again: still reported once
  p.end();
  EXPECT_EQ(printer.PagesPrinted(), 4);
  ASSERT_EQ(printer.MissingPictures().size(), 1u);
  EXPECT_EQ(printer.MissingPictures()[0], DcgPath(dc, 2, 2));
  EXPECT_NE(MissingPicturesMessage(printer.MissingPictures()).find(DcgPath(dc, 2, 2)), std::string::npos);
  EXPECT_TRUE(MissingPicturesMessage({}).empty());
  // The pages of the PDF: four page objects.
  const QByteArray bytes = buffer.data();
  int pages = 0;
  for (int i = bytes.indexOf("/Type /Page"); i >= 0; i = bytes.indexOf("/Type /Page", i + 1))
    if (bytes.mid(i + 11, 1) != "s") ++pages;
  EXPECT_EQ(pages, 4);
  EXPECT_EQ(JobTitle({"PIT-37"}), QStringLiteral("Wydruk druku PIT-37"));
  EXPECT_EQ(JobTitle({"PIT-37", "PIT/O", "PIT-37"}), QStringLiteral("Wydruk druku PIT-37, PIT/O"));
}

}  // namespace
}  // namespace pit::render

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
