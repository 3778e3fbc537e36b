// Pages drawn into images: the pixels that tell the user what a field is
// (required, ticked, computed) and what it holds.
#include <QImage>
#include <QPainter>
#include <QTest>

#include "form_fixture.h"
#include "page_painter.h"

using namespace pit;
using namespace pit::formtest;
using pit::render::PaintOptions;
using pit::render::RenderPage;

namespace {

const QColor kWhite(Qt::white);
const QColor kBlack(Qt::black);

struct Page {
  std::vector<FieldObject> defs;
  std::unique_ptr<FormEntry> entry = std::make_unique<FormEntry>();

  int Add(FieldObject d, const std::string& value = "", int slotOption = 0) {
    const int k = static_cast<int>(defs.size());
    ValueSlot& s = entry->Unlisted()[static_cast<std::size_t>(k)];
    s.Typ = d.Typ;
    s.Name = d.Name;
    s.Value = value;
    s.Option = slotOption;
    defs.push_back(std::move(d));
    return k;
  }
  void Tick(int k) {
    entry->Unlisted()[static_cast<std::size_t>(k)].CheckState = true;
    entry->Unlisted()[static_cast<std::size_t>(k)].Value = "1";
  }
  QImage Render(int idPit = kPit37, bool highlight = true) const {
    PaintOptions o;
    o.highlight = highlight;
    return RenderPage(nullptr, idPit, defs, *entry, 1, o, 0, 300);
  }
};

FieldObject Text(int left, int top, int right, int bottom) { return Field(kTekst, 1, left, top, right, bottom); }

// Leftmost and rightmost columns holding text pixels (darker than any of
// the field colours) inside a band of rows; -1 when none.
std::pair<int, int> InkColumns(const QImage& img, int top, int bottom) {
  int first = -1, last = -1;
  for (int x = 0; x < img.width(); ++x)
    for (int y = top; y <= bottom; ++y)
      if (qGray(img.pixel(x, y)) < 200) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

}  // namespace

class PagePainterTest : public QObject {
  Q_OBJECT

 private slots:
  void textFieldColours_data() {
    QTest::addColumn<bool>("required");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("highlight");
    QTest::addColumn<QColor>("frame");
    QTest::addColumn<QColor>("fill");
    QTest::newRow("ordinary") << false << false << true << QColor(0x99, 0xC2, 0x99) << QColor(0xF4, 0xFF, 0xDF);
    QTest::newRow("required") << true << false << true << QColor(0xFF, 0x00, 0x00) << QColor(0xFF, 0xF5, 0xEF);
    QTest::newRow("computed") << true << true << true << kWhite << kWhite;
    QTest::newRow("highlighting off") << true << false << false << kWhite << kWhite;
  }
  void textFieldColours() {
    QFETCH(bool, required);
    QFETCH(bool, readOnly);
    QFETCH(bool, highlight);
    QFETCH(QColor, frame);
    QFETCH(QColor, fill);
    Page page;
    FieldObject d = Text(100, 100, 300, 120);
    d.MustBe = required;
    d.ReadOnly = readOnly;
    page.Add(d);
    const QImage img = page.Render(kPit37, highlight);
    QCOMPARE(img.pixelColor(100, 110), frame);
    QCOMPARE(img.pixelColor(299, 110), frame);  // the outline lies inside the right edge
    QCOMPARE(img.pixelColor(200, 100), frame);
    QCOMPARE(img.pixelColor(200, 119), frame);
    QCOMPARE(img.pixelColor(200, 110), fill);
    QCOMPARE(img.pixelColor(300, 110), kWhite);
  }

  void tickBoxes() {
    Page page;
    FieldObject box = Field(kCheckbox, 1, 20, 20, 34, 34);
    box.Name = "A";
    box.MustBe = true;
    const int ticked = page.Add(box);
    page.Tick(ticked);
    const int sameGroup = page.Add(Field(kCheckbox, 1, 60, 20, 74, 34));
    page.entry->Unlisted()[static_cast<std::size_t>(sameGroup)].Name = "A";
    page.defs.back().Name = "A";
    FieldObject required = Field(kCheckbox, 1, 100, 20, 114, 34);
    required.Name = "B";
    required.MustBe = true;
    page.Add(required);
    FieldObject readOnly = Field(kCheckbox, 1, 140, 20, 154, 34);
    readOnly.ReadOnly = true;
    page.Add(readOnly);
    FieldObject readOnlyTicked = Field(kCheckbox, 1, 180, 20, 194, 34);
    readOnlyTicked.ReadOnly = true;
    page.Tick(page.Add(readOnlyTicked));

    const QImage img = page.Render();
    // The cross of the ticked box, in black, over its required colours.
    QCOMPARE(img.pixelColor(27, 27), kBlack);
    QCOMPARE(img.pixelColor(23, 23), kBlack);
    QCOMPARE(img.pixelColor(30, 23), kBlack);
    QCOMPARE(img.pixelColor(20, 27), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(img.pixelColor(27, 21), QColor(0xFF, 0xF5, 0xEF));
    // The other member of its group is not drawn at all.
    for (int x = 60; x < 74; ++x) QCOMPARE(img.pixelColor(x, 27), kWhite);
    // An empty required box: red frame, pale pink inside, no cross.
    QCOMPARE(img.pixelColor(100, 27), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(img.pixelColor(107, 27), QColor(0xFF, 0xF5, 0xEF));
    // An empty read-only box stays undrawn; a ticked one is grey with its cross.
    QCOMPARE(img.pixelColor(140, 27), kWhite);
    QCOMPARE(img.pixelColor(180, 27), QColor(0x7C, 0x81, 0x87));
    QCOMPARE(img.pixelColor(187, 22), QColor(0xF0, 0xF0, 0xF0));
    QCOMPARE(img.pixelColor(187, 27), kBlack);
  }

  // An amount is drawn grouped with two decimals: pixel for pixel the same as
  // the grouped text typed into a text field of the same shape.
  void amountsAsShown_data() {
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("decimal") << 1 << "1234567,8" << "1 234 567,80";
    QTest::newRow("whole zloty") << 12 << "1235,00" << "1 235";
    QTest::newRow("whole number as stored") << 2 << "1234567" << "1234567";
  }
  void amountsAsShown() {
    QFETCH(int, option);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    Page amount;
    FieldObject d = Field(kLiczba, 1, 100, 50, 300, 70);
    d.Option = option;
    d.TextAlign = kAlignRight;
    amount.Add(d, value.toStdString());
    Page text;
    FieldObject t = Text(100, 50, 300, 70);
    t.TextAlign = kAlignRight;
    text.Add(t, shown.toStdString());
    const QImage a = amount.Render();
    QVERIFY(InkColumns(a, 51, 68).first > 0);
    QCOMPARE(a, text.Render());
  }

  void dateCellsAreTen() {
    Page page;
    FieldObject d = Field(kData, 1, 100, 100, 300, 120);
    d.TextAlign = kAlignCells;
    d.MaxChar = 8;  // a date is drawn in 10 cells whatever it says
    d.MustBe = true;
    page.Add(d, "01-02-2014");
    const QImage img = page.Render();
    const int w = 200 / 10;
    for (int j = 1; j < 10; ++j) {
      QCOMPARE(img.pixelColor(100 + j * w + 1, 118), QColor(0xF4, 0xFF, 0xDF));  // cell outline
      QCOMPARE(img.pixelColor(100 + j * w + 3, 118), QColor(0xFF, 0xF5, 0xEF));  // cell inside
    }
    QCOMPARE(img.pixelColor(100, 110), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(img.pixelColor(300, 110), QColor(0xFF, 0x00, 0x00));
    // One character per cell, centred in it: ink in the middle of every
    // cell, none on the cell outlines.
    for (int j = 0; j < 10; ++j) {
      const auto ink = InkColumns(img.copy(100 + j * w + 2, 102, w - 2, 14), 0, 13);
      QVERIFY(ink.first >= 2);
      QVERIFY(ink.second <= w - 5);
    }
  }

  // A damaged definition asking for two thousand million cells or a
  // thousand-point font draws what the box can show, as the largest sensible
  // values would, instead of freezing the page.
  void absurdCellsAndFontSizesAreClamped() {
    const auto render = [](int maxChar, const char* fontSize) {
      Page page;
      FieldObject d = Text(100, 100, 180, 120);
      d.TextAlign = kAlignCells;
      d.MaxChar = maxChar;
      d.FontSize = fontSize;
      page.Add(d, "1234567890");
      return page.Render();
    };
    QCOMPARE(render(2147483647, "9"), render(80, "9"));   // one cell per pixel of the box at most
    QCOMPARE(render(10, "999"), render(10, "72"));         // letters no larger than any form has
    Page tall;
    tall.Add(Text(100, 100, 180, 2000000000), "x");          // a box taller than any page
    QVERIFY(!tall.Render().isNull());
  }

  void longTextShrinksThenOverflows() {
    Page fits;
    FieldObject d = Text(100, 100, 200, 120);
    d.FontSize = "10";
    d.ReadOnly = true;  // no frame: only the text's own pixels
    fits.Add(d, "Kowalska-Wiśniewska");
    const auto inFit = InkColumns(fits.Render(), 100, 140);
    QVERIFY(inFit.first >= 100);
    QVERIFY(inFit.second < 200);

    Page overflows;
    overflows.Add(d, "Przedsiębiorstwo Produkcyjno-Handlowo-Usługowe Spółka Jawna");
    const auto over = InkColumns(overflows.Render(), 100, 140);
    QVERIFY(over.second > 200);  // at the smallest font it runs past the field, unclipped
  }

  void strikeThroughLine() {
    Page page;
    page.Add(Field(kKreska, 1, 100, 100, 200, 110), "", 1);
    page.Add(Field(kKreska, 1, 100, 150, 200, 160), "", 0);
    const QImage img = page.Render();
    QCOMPARE(img.pixelColor(150, 105), kBlack);
    QCOMPARE(img.pixelColor(150, 104), kWhite);
    for (int x = 100; x < 200; ++x) QCOMPARE(img.pixelColor(x, 155), kWhite);
  }

  void neverDrawnObjects() {
    Page page;
    for (int k = 0; k <= 62; ++k) page.Add(Text(10, 10, 20, 20), "");
    page.defs[62] = Text(100, 100, 200, 120);
    page.entry->Unlisted()[62].Value = "123";
    QCOMPARE(page.Render(kPitB).pixelColor(100, 110), kWhite);
    QCOMPARE(page.Render(kPit37).pixelColor(100, 110), QColor(0x99, 0xC2, 0x99));
  }

  // The screen's page: the picture under the fields.
  void pictureUnderFields() {
    render::PagePicture picture;
    QVERIFY(picture.LoadBytes(PlainPage("strona")));
    QCOMPARE(picture.Height(), 1131);
    Page page;
    FieldObject d = Text(100, 100, 300, 116);  // a line of text is taller than its inside
    d.MustBe = true;
    page.Add(d, "Jan");
    const QImage img = RenderPage(&picture, kPit37, page.defs, *page.entry, 1, {}, 1);
    QCOMPARE(img.size(), QSize(801, 1131));
    QCOMPARE(img.pixelColor(101, 108), QColor(0xFF, 0x00, 0x00));  // one pixel from the left
    // The text's background stays inside the frame: the bottom edge under
    // the letters is still red, the letters sit on the text colour.
    for (int x = 102; x < 120; ++x) QCOMPARE(img.pixelColor(x, 115), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(img.pixelColor(103, 102), QColor(0xF4, 0xFF, 0xDF));
    QVERIFY(InkColumns(img.copy(0, 500, 20, 1), 0, 0).first >= 9);  // the picture's frame line
    QVERIFY(!picture.LoadBytes({1, 2, 3}));
    QVERIFY(picture.Loaded());  // the picture loaded before stays
  }
};

QTEST_MAIN(PagePainterTest)
#include "page_painter_test.moc"
