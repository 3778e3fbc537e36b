// The page at another size: what the user sees, clicks and types into grows
// and shrinks together, while the fields keep their page pixels.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "form_fixture.h"
#include "page_painter.h"
#include "ui/forms/field_editors.h"
#include "ui/forms/pick_panels.h"
#include "ui/forms/tfimage.h"

using namespace pit;
using namespace pit::formtest;
using pit::ui::TFImage;

class ZoomTest : public QObject, FormWindowFixture {
  Q_OBJECT

 private:
  // The field's rectangle on the surface at `zoom`, worked out here rather
  // than asked from the window.
  static QRectF Drawn(const FieldObject& d, double zoom) {
    return QRectF((1 + d.Left) * zoom, d.Top * zoom, (d.Right - d.Left) * zoom, (d.Bottom - d.Top) * zoom);
  }
  void ClickAt(const QPointF& at) { QTest::mouseClick(w->Surface(), Qt::LeftButton, {}, at.toPoint()); }
  double FitZoom() const { return w->ScrollArea()->viewport()->width() / 801.0; }
  void CtrlKey(QWidget* target, Qt::Key key) {
    QVERIFY(target != nullptr);
    QTest::keyClick(target, key, Qt::ControlModifier);
  }

 private slots:
  void init() {
    QVERIFY(OpenWindow(QSize(1220, 800), false));
    Show(2);
  }
  void cleanup() { CloseWindow(); }

  // At start the page fills the window's width, and follows it.
  void fitsTheWindowsWidth() {
    QVERIFY(w->FitsWidth());
    QVERIFY(w->Zoom() > 1.4);
    QCOMPARE(w->Zoom(), FitZoom());
    QVERIFY(std::abs(w->Surface()->width() - w->ScrollArea()->viewport()->width()) <= 1);
    w->resize(1000, 800);
    QTRY_COMPARE(w->Zoom(), FitZoom());
    QVERIFY(w->Zoom() < 1.3);
    // The page drawn for printing and the HTML copy stays 800 pixels wide.
    QCOMPARE(w->PageImage().width(), 801);
  }

  // A click where a field is drawn opens that field's editor over it, and
  // what is typed there is the field's.
  void clickAndEditorAtAZoom_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("field");
    QTest::newRow("1.5 amount") << 1.5 << f::Costs;
    QTest::newRow("1.5 amount beside it") << 1.5 << f::Revenue;
    QTest::newRow("0.75 amount") << 0.75 << f::Advances;
    QTest::newRow("2 amount") << 2.0 << f::Revenue;
  }
  void clickAndEditorAtAZoom() {
    QFETCH(double, zoom);
    QFETCH(int, field);
    w->SetZoom(zoom);
    QCOMPARE(w->Zoom(), zoom);
    const QRectF drawn = Drawn(Def(field), zoom);
    w->ScrollArea()->ensureVisible(static_cast<int>(drawn.center().x()), static_cast<int>(drawn.center().y()));
    ClickAt(drawn.center());
    QCOMPARE(w->EditedObject(), field);
    auto* box = qobject_cast<ui::TextBox*>(w->OpenEditor());
    QVERIFY(box != nullptr);
    // Inside the field's frame, as large as the field drawn.
    const QRectF editor(box->geometry());
    QVERIFY2(drawn.adjusted(-1, -1, 1, 1).contains(editor), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(editor.x()).arg(editor.y()).arg(editor.width()).arg(editor.height())));
    // (a pixel more off the frame's lines when they fall between pixels)
    QVERIFY(editor.width() >= drawn.width() - 3 * zoom - 2);
    QVERIFY(editor.height() >= drawn.height() - 3 * zoom - 2);
    // The box's text grows with the page.
    QCOMPARE(box->font().pixelSize(), static_cast<int>(std::lround(render::PointsToPixels(box->FontPoints()) * zoom)));
    QTest::keyClicks(box, "1234");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(QString::fromStdString(fx->Slot(field).Value), QStringLiteral("1234,00"));
  }

  // The picture and the fields are drawn at the zoom: the fill of an empty
  // field lies where the field is drawn, and the page beside it is white.
  void fieldsDrawnWhereTheyAreClicked() {
    w->SetZoom(2.0);
    const QImage shot = w->Surface()->grab().toImage();
    const QRectF drawn = Drawn(Def(f::Revenue), 2.0);
    QCOMPARE(QColor(shot.pixel(QPointF(drawn.left() + 6, drawn.top() + 6).toPoint() * shot.devicePixelRatio())),
             render::colour::kFill);
    QCOMPARE(QColor(shot.pixel(QPointF(drawn.left() - 20, drawn.top() + 6).toPoint() * shot.devicePixelRatio())),
             QColor(Qt::white));
    QCOMPARE(shot.width() / shot.devicePixelRatio(), std::lround(801 * 2.0));
  }

  // At a zoom between whole pixels the frame's bottom edge runs on under
  // the value; the value's background used to cover it there, and what was
  // left beside the value looked like an underline.
  void frameUnbrokenUnderTheValue_data() {
    QTest::addColumn<double>("zoom");
    QTest::newRow("1.25") << 1.25;
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("1.75") << 1.75;
  }
  void frameUnbrokenUnderTheValue() {
    QFETCH(double, zoom);
    // A value whose line of text fills the field's inside, as on the
    // shipped forms.
    std::vector<FieldObject> fields = Pit37LikeFields();
    fields[static_cast<std::size_t>(f::Revenue)].FontSize = "12";
    w.reset();
    fx = std::make_unique<FormFixture>(fields);
    w = std::make_unique<TFImage>(fx->ctx);
    w->SetMessageList(list.get());
    w->resize(1220, 800);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->ShowPage(kPit37, 2, false);
    w->SetZoom(zoom);
    const QImage shot = w->Surface()->grab().toImage();
    const FieldObject& d = Def(f::Revenue);  // "0,00" at the right end
    const double dpr = shot.devicePixelRatio();
    const int beside = static_cast<int>((1 + d.Left + 10) * zoom * dpr);
    // The rows of the bottom edge beside the value.
    QList<int> edge;
    for (int y = static_cast<int>((d.Bottom - 3) * zoom * dpr); y < static_cast<int>((d.Bottom + 1) * zoom * dpr); ++y)
      if (QColor(shot.pixel(beside, y)) == render::colour::kFrame) edge << y;
    QVERIFY(!edge.isEmpty());
    for (int y : edge)
      for (int x = static_cast<int>((1 + d.Right - 30) * zoom * dpr); x < static_cast<int>((1 + d.Right - 5) * zoom * dpr);
           ++x)
        QVERIFY2(QColor(shot.pixel(x, y)) != render::colour::kFill, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
  }

  // On a screen of twice the density the page is drawn at the screen's
  // pixels, not at the page's and then enlarged: the edges of the letters
  // fall between the page's pixels. (Runs under QT_SCALE_FACTOR=2.)
  void sharpOnADenseScreen() {
    if (w->devicePixelRatioF() < 2) QSKIP("needs a device pixel ratio of 2 (the zoom_test_dense run)");
    w->SetZoom(1.0);
    const QImage shot = w->Surface()->grab().toImage();
    QCOMPARE(shot.devicePixelRatio(), 2.0);
    const FieldObject& d = Def(f::Revenue);  // "0,00" at its right end
    int split = 0;  // blocks of 2 x 2 screen pixels that are not one page pixel
    for (int y = 2 * d.Top; y + 1 < 2 * d.Bottom; y += 2)
      for (int x = 2 * (1 + d.Right - 40); x + 1 < 2 * (1 + d.Right); x += 2) {
        const QRgb c = shot.pixel(x, y);
        if (shot.pixel(x + 1, y) != c || shot.pixel(x, y + 1) != c || shot.pixel(x + 1, y + 1) != c) ++split;
      }
    QVERIFY2(split > 10, qPrintable(QString::number(split)));
  }

  // Zoomed beyond the window's width the page scrolls sideways, and the
  // keyboard brings a field out of sight into the window; fitted to the
  // width again, there is nothing to scroll.
  void widerThanTheWindowScrollsSideways() {
    w->SetZoom(3.0);
    QScrollBar* bar = w->ScrollArea()->horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), 0);
    const int width = w->ScrollArea()->viewport()->width();
    QVERIFY(Drawn(Def(f::Costs), 3.0).right() > width);
    ClickAt(Drawn(Def(f::Revenue), 3.0).center());
    QWidget* editor = w->OpenEditor();
    QVERIFY(editor != nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    editor = w->OpenEditor();
    QVERIFY(editor != nullptr);
    QVERIFY(Drawn(Def(f::Costs), 3.0).contains(editor->geometry().center()));
    QVERIFY(bar->value() > 0);
    QVERIFY(editor->geometry().left() >= bar->value());
    QVERIFY(editor->geometry().right() <= bar->value() + width);
    w->FitWidth();
    QCOMPARE(bar->maximum(), 0);
    QCOMPARE(w->ScrollArea()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  }

  // Ctrl++ and Ctrl+- step the zoom from the open editor, which stays over
  // its field with what was typed; Ctrl+wheel steps it too; Ctrl+0 fits the
  // width again.
  void keysAndWheel() {
    const double fit = w->Zoom();
    w->SetZoom(1.0);
    ClickAt(Drawn(Def(f::Revenue), 1.0).center());
    auto* box = qobject_cast<ui::TextBox*>(w->OpenEditor());
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, "77");
    CtrlKey(box, Qt::Key_Plus);
    QCOMPARE(w->Zoom(), 1.1);
    CtrlKey(box, Qt::Key_Plus);
    QCOMPARE(w->Zoom(), 1.25);
    QCOMPARE(w->OpenEditor(), box);
    QCOMPARE(box->text(), QStringLiteral("77"));
    QVERIFY(Drawn(Def(f::Revenue), 1.25).adjusted(-1, -1, 1, 1).contains(QRectF(box->geometry())));
    CtrlKey(box, Qt::Key_Minus);
    QCOMPARE(w->Zoom(), 1.1);
    QWidget* viewport = w->ScrollArea()->viewport();
    const QPointF at(100, 100);
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    QCOMPARE(w->Zoom(), 1.25);
    QVERIFY(!w->FitsWidth());
    CtrlKey(box, Qt::Key_0);
    QVERIFY(w->FitsWidth());
    QCOMPARE(w->Zoom(), fit);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(QString::fromStdString(fx->Slot(f::Revenue).Value), QStringLiteral("77,00"));
  }

  // A zoom between the steps (the width of the window) steps to the next
  // zoom that shows another percent: a key press always changes the page.
  void stepsFromBetweenTheSteps_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<bool>("in");
    QTest::addColumn<double>("to");
    QTest::newRow("just under 150%, in") << 1.497 << true << 1.75;
    QTest::newRow("just over 150%, out") << 1.503 << false << 1.25;
    QTest::newRow("between 110% and 125%, in") << 1.17 << true << 1.25;
    QTest::newRow("between 110% and 125%, out") << 1.17 << false << 1.1;
    QTest::newRow("on a step, in") << 1.0 << true << 1.1;
  }
  void stepsFromBetweenTheSteps() {
    QFETCH(double, from);
    QFETCH(bool, in);
    QFETCH(double, to);
    w->SetZoom(from);
    QCOMPARE(w->Zoom(), from);
    if (in)
      w->ZoomIn();
    else
      w->ZoomOut();
    QCOMPARE(w->Zoom(), to);
  }

  // Stepped down from the window's width one zoom step at a time, each kind
  // of box stays inside the field it edits.
  void editorsInsideTheirFieldsAtEveryStep_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("field");
    QTest::newRow("amount") << 2 << int(f::Revenue);
    QTest::newRow("date") << 1 << int(f::Birth);
    QTest::newRow("NIP") << 1 << int(f::Nip);
    QTest::newRow("text") << 1 << int(f::Surname);
  }
  void editorsInsideTheirFieldsAtEveryStep() {
    QFETCH(int, page);
    QFETCH(int, field);
    w->resize(1280, 900);
    QTRY_VERIFY(w->FitsWidth() && std::abs(w->Zoom() - FitZoom()) < 1e-6);
    Show(page);
    while (w->Zoom() > 0.5) {
      const double zoom = w->Zoom();
      const QRectF drawn = Drawn(Def(field), zoom);
      w->ScrollArea()->ensureVisible(static_cast<int>(drawn.center().x()), static_cast<int>(drawn.center().y()));
      ClickAt(drawn.center());
      QWidget* editor = w->OpenEditor();
      QVERIFY(editor != nullptr);
      QApplication::processEvents();
      const QRectF box(editor->geometry());
      const QString where = QStringLiteral("zoom %1: %2,%3 %4x%5 in %6,%7 %8x%9")
                                .arg(zoom).arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height())
                                .arg(drawn.x()).arg(drawn.y()).arg(drawn.width()).arg(drawn.height());
      QVERIFY2(drawn.adjusted(-1, -1, 1, 1).contains(box), qPrintable(where));
      // The box covers none of the frame's lines as the page draws them.
      const double dpr = w->Surface()->devicePixelRatioF();
      QPixmap page(w->Surface()->size() * dpr);
      page.setDevicePixelRatio(dpr);
      w->Surface()->render(&page, QPoint(), QRegion(), QWidget::DrawWindowBackground);
      const QImage shot = page.toImage();
      auto isFrame = [&](int x, int y) {
        const QColor c(shot.pixel(QPoint(x, y) * dpr));
        // The page drawn at the zoom is smoothed: near a frame colour, far
        // from the fills and the white page.
        for (const QColor& frame : {render::colour::kFrame, render::colour::kRequiredFrame})
          if (std::abs(c.red() - frame.red()) + std::abs(c.green() - frame.green()) + std::abs(c.blue() - frame.blue()) < 150)
            return true;
        return false;
      };
      const QRect pixels = editor->geometry();
      const int midX = pixels.center().x(), midY = pixels.center().y();
      QList<int> lineRows, lineColumns;
      for (int y = static_cast<int>(drawn.top()) - 1; y <= static_cast<int>(drawn.bottom()) + 1; ++y)
        if (isFrame(midX, y)) lineRows << y;
      // (not beside an amount: its digits end at the right edge, as dark)
      const bool digitsAtTheEdge = Def(field).Typ == kLiczba;
      for (int x = static_cast<int>(drawn.right() - 2 * zoom) - 1; x <= static_cast<int>(drawn.right()) + 1; ++x)
        if (!digitsAtTheEdge && isFrame(x, midY)) lineColumns << x;
      if (zoom >= 1) QVERIFY2(lineRows.size() >= 2 && (digitsAtTheEdge || !lineColumns.isEmpty()), qPrintable(where));
      for (int y : lineRows) QVERIFY2(y < pixels.top() || y > pixels.bottom(), qPrintable(where + QStringLiteral(" row %1").arg(y)));
      for (int x : lineColumns) QVERIFY2(x > pixels.right(), qPrintable(where + QStringLiteral(" column %1").arg(x)));
      // What the box draws stays inside it too: its text is no taller than
      // the box.
      QVERIFY2(QFontMetrics(editor->font()).height() <= box.height() + 1, qPrintable(where));
      CtrlKey(editor, Qt::Key_Minus);
      QVERIFY(w->Zoom() < zoom);
      // The open box follows the step.
      const QRectF smaller = Drawn(Def(field), w->Zoom());
      const QRectF moved(editor->geometry());
      QVERIFY2(smaller.adjusted(-1, -1, 1, 1).contains(moved),
               qPrintable(QStringLiteral("zoom %1: %2x%3 in %4x%5").arg(w->Zoom()).arg(moved.width()).arg(moved.height()).arg(smaller.width()).arg(smaller.height())));
      QVERIFY2(QFontMetrics(editor->font()).height() <= moved.height() + 1, qPrintable(QString::number(w->Zoom())));
    }
  }

  // A list opens under its field as drawn at the zoom.
  void listUnderItsField() {
    w->ShowPage(kPit37, 1, false);
    w->SetZoom(1.25);
    const QRectF drawn = Drawn(Def(f::Office), 1.25);
    ClickAt(drawn.center());
    auto* panel = qobject_cast<ui::PickPanel*>(w->OpenEditor());
    QVERIFY(panel != nullptr);
    QVERIFY(std::abs(panel->geometry().bottom() + 1 - drawn.bottom()) <= 1);
    QVERIFY(std::abs(panel->x() - drawn.left()) <= 2);
  }
};

QTEST_MAIN(ZoomTest)
#include "zoom_test.moc"
