// main_shots <settlement.dc2014> <folder>: starts the main window on the
// program folder of the build (bin/, with the shipped definitions in bin/dc),
// opens the settlement, clicks the PIT-37 in the tree and saves pictures of
// the whole window for looking at:
//   01_pit37_page1.png      page 1
//   02_pit37_page2.png      page 2 (the "next page" button)
//   03_tax_office.png       page 1 with the tax-office list open (field 7)
//   04_krs_picker.png       the KRS field (131) with the organisation list dropped down
//   05_one_percent.png      the 1% panel over the amount field (132), when the
//                           settlement has a KRS and a computed 1% amount
//   07_page1_after_the_end_of_page2.png  page 1 reached from the end of page 2
//   08_zoomed_in.png        page 1 two zoom steps (Ctrl++) above the window's width
//   09_zoomed_out_editor.png  one step (Ctrl+-) below the window's width, the
//                           surname's box open, and 09b_editor_close_up.png
//                           the box and its field four times enlarged
// Every step is a click or a key on the widgets, as a user does it. Message
// boxes that come up on the way are answered and their texts printed, and
// so are pick panels that open empty or partly outside the visible page and
// an organisation list whose highlighted row is not the field's KRS.
// Exit status 1 when a step could not be done or a picture not written.
// Without a display the offscreen platform is used.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cstdio>
#include <cstdlib>

#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/forms/opp_panels.h"
#include "ui/forms/pick_panels.h"
#include "ui/forms/tfimage.h"
#include "ui/output/efiling.h"
#include "../support/box_answerer.h"
#include "../support/own_home.h"

using namespace pit;
using pit::ui::TFImage;
using pit::ui::TTools;

namespace {

using testsupport::BoxAnswerer;

constexpr int kOfficeField = 7;
constexpr int kSurnameField = 10;
constexpr int kKrsField = 131;
constexpr int kOnePercentField = 132;
constexpr QSize kWindowSize(1280, 1024);

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QApplication::processEvents();
    QTest::qWait(20);
  }
}

int failures = 0;

void Fail(const QString& what) {
  std::fprintf(stderr, "main_shots: %s\n", qPrintable(what));
  ++failures;
}

// Something seen on the way that a reviewer should know about; the
// pictures are made all the same.
void Note(const QString& what) { std::fprintf(stderr, "main_shots: note: %s\n", qPrintable(what)); }

void Save(TTools& w, const QDir& dir, const QString& name) {
  Settle();
  const QString path = dir.filePath(name);
  if (!w.grab().save(path)) Fail(QStringLiteral("cannot write %1").arg(path));
  else std::printf("%s\n", qPrintable(path));
}

void Click(QWidget* target, const QPoint& at) {
  QTest::mouseMove(target, at);
  QTest::mouseClick(target, Qt::LeftButton, {}, at);
  Settle();
}

void Click(QWidget* target) { Click(target, target->rect().center()); }

// A panel opened over the page should be seen whole: the part of it outside
// the visible page (below the page's end, under the message list) is
// reported.
void CheckVisible(TFImage& form, QWidget* panel, const QString& what) {
  QWidget* viewport = form.ScrollArea()->viewport();
  const QRect inViewport(panel->mapTo(viewport, QPoint(0, 0)), panel->size());
  const QRect seen = inViewport & viewport->rect() & QRect(panel->parentWidget()->mapTo(viewport, QPoint(0, 0)),
                                                          panel->parentWidget()->size());
  if (seen != inViewport) {
    Note(QStringLiteral("%1: %2x%3 at (%4,%5) of the page view, only %6x%7 of it visible")
             .arg(what)
             .arg(inViewport.width())
             .arg(inViewport.height())
             .arg(inViewport.x())
             .arg(inViewport.y())
             .arg(seen.width())
             .arg(seen.height()));
  }
}

const FieldObject* Field(TFImage& form, int k) {
  if (k < 0 || k >= form.FieldCount()) return nullptr;
  return &form.Fields()[static_cast<std::size_t>(k)];
}

// The wheel, a notch at a time, until the field's rectangle is inside the
// visible part of the page.
void ScrollIntoView(TFImage& form, const FieldObject& d) {
  QWidget* viewport = form.ScrollArea()->viewport();
  QScrollBar* bar = form.ScrollArea()->verticalScrollBar();
  const QPointF at(viewport->width() / 2.0, viewport->height() / 2.0);
  for (int guard = 0; guard < 400; ++guard) {
    const int top = bar->value();
    const int bottom = top + viewport->height();
    int notches = 0;
    const QRect field = form.SurfaceRect(QRect(d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top));
    if (field.top() < top) notches = 1;
    else if (field.bottom() + 10 > bottom) notches = -1;
    if (notches == 0) break;
    const int before = bar->value();
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    if (bar->value() == before) break;
  }
  Settle();
}

// A click in the middle of field `k` of the page on screen.
bool ClickField(TFImage& form, int k) {
  const FieldObject* d = Field(form, k);
  if (d == nullptr) {
    Fail(QStringLiteral("the form has no field %1").arg(k));
    return false;
  }
  ScrollIntoView(form, *d);
  Click(form.Surface(), form.SurfacePoint(QPoint(1 + (d->Left + d->Right) / 2, (d->Top + d->Bottom) / 2)));
  return true;
}

// The page buttons of the bar, clicked until `page` is on screen.
bool GoToPage(TTools& w, int page) {
  for (int guard = 0; guard < 20; ++guard) {
    const int now = w.Context().settlement.Current.Page;
    if (now == page) return true;
    QToolButton* b = now < page ? w.PitNextPage : w.PitPrevPage;
    if (!b->isEnabled()) break;
    Click(b);
  }
  if (w.Context().settlement.Current.Page == page) return true;
  Fail(QStringLiteral("page %1 could not be reached (on page %2)").arg(page).arg(w.Context().settlement.Current.Page));
  return false;
}

QTreeWidgetItem* TopItem(QTreeWidget* tree, const QString& text) {
  for (int i = 0; i < tree->topLevelItemCount(); ++i)
    if (tree->topLevelItem(i)->text(0) == text) return tree->topLevelItem(i);
  return nullptr;
}

// The offscreen platform says this on every window it shows; nothing else
// is held back.
QtMessageHandler previousHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.startsWith(QLatin1String("This plugin does not support propagateSizeHints"))) return;
  if (previousHandler != nullptr) previousHandler(type, context, text);
  else std::fprintf(stderr, "%s\n", qPrintable(text));
}

int Usage() {
  std::fprintf(stderr, "Użycie: main_shots PLIK.dc2014 KATALOG\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return Usage();
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
      qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // The program writes its configuration, workspace folders and the
  // single-instance lock under the user's folders: here they are the tool's
  // own, so a running copy of the program is neither disturbed nor in the way.
  QTemporaryDir home;
  if (!home.isValid()) {
    std::fprintf(stderr, "main_shots: no temporary folder\n");
    return 1;
  }
  pit::testsupport::UseOwnHomeFolders(home.path());

  previousHandler = qInstallMessageHandler(QuietHandler);
  QApplication app(argc, argv);
  ui::PrepareApplication(app);
  const QString file = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
  const QDir dir(QString::fromLocal8Bit(argv[2]));
  if (!QFileInfo::exists(file)) {
    std::fprintf(stderr, "main_shots: no file %s\n", qPrintable(file));
    return 1;
  }
  if (!QDir().mkpath(dir.absolutePath())) {
    std::fprintf(stderr, "main_shots: cannot make %s\n", qPrintable(dir.absolutePath()));
    return 1;
  }

  BoxAnswerer answerer(QMessageBox::Yes);
  answerer.echo = true;
  ui::AppContext ctx;
  ctx.programFolder = PIT_BIN_DIR;
  TTools w(ctx);
  if (w.Refused()) {
    std::fprintf(stderr, "main_shots: the program refused to start\n");
    return 1;
  }
  w.resize(kWindowSize);
  w.show();
  if (!QTest::qWaitForWindowExposed(&w)) Fail(QStringLiteral("the window was not shown"));
  if (!w.AfterShow({file}) || !ctx.settlement.IsOpen()) {
    std::fprintf(stderr, "main_shots: %s could not be opened\n", qPrintable(file));
    return 1;
  }
  w.resize(kWindowSize);  // a window manager may have placed it otherwise
  Settle();

  // The PIT-37 in the tree, clicked.
  QTreeWidgetItem* pit37 = TopItem(w.TV, QStringLiteral("PIT-37"));
  if (pit37 == nullptr) {
    std::fprintf(stderr, "main_shots: no PIT-37 in the tree of %s\n", qPrintable(file));
    return 1;
  }
  w.TV->scrollToItem(pit37);
  Click(w.TV->viewport(), w.TV->visualItemRect(pit37).center());
  TFImage& form = *w.Form();
  if (ctx.settlement.Current.IdPit != kPit37 || !form.PictureLoaded()) {
    std::fprintf(stderr, "main_shots: the PIT-37 page is not shown\n");
    return 1;
  }
  GoToPage(w, 1);
  Save(w, dir, QStringLiteral("01_pit37_page1.png"));

  Click(w.PitNextPage);
  if (ctx.settlement.Current.Page != 2) Fail(QStringLiteral("the next-page button did not show page 2"));
  Save(w, dir, QStringLiteral("02_pit37_page2.png"));

  // Page 2 read down to its end, then the page before: that opens at its top.
  QScrollBar* bar = form.ScrollArea()->verticalScrollBar();
  bar->setValue(bar->maximum());
  Settle();
  Click(w.PitPrevPage);
  if (bar->value() != 0) Note(QStringLiteral("page 1 opened %1 pixels down").arg(bar->value()));
  Save(w, dir, QStringLiteral("07_page1_after_the_end_of_page2.png"));

  // Two steps of Ctrl++, then Ctrl+0 back to the window's width.
  QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
  QTest::keyClick(&form, Qt::Key_Plus, Qt::ControlModifier);
  Settle();
  Save(w, dir, QStringLiteral("08_zoomed_in.png"));
  QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
  Settle();

  // The tax-office list over page 1.
  Click(w.PitPrevPageEnd);
  if (ClickField(form, kOfficeField)) {
    auto* panel = qobject_cast<ui::TaxOfficePanel*>(form.OpenEditor());
    if (panel == nullptr || !panel->isVisible()) {
      Fail(QStringLiteral("the tax-office list did not open"));
    } else {
      if (panel->RowCount() == 0) Note(QStringLiteral("the tax-office list has no rows"));
      CheckVisible(form, panel, QStringLiteral("the tax-office list"));
    }
    Save(w, dir, QStringLiteral("03_tax_office.png"));
    if (panel != nullptr) {
      QTest::keyClick(panel->SearchBox(), Qt::Key_Escape);  // "anuluj"
      Settle();
    }
  }

  // The KRS field with its list of organisations dropped down.
  const FieldObject* krs = Field(form, kKrsField);
  if (krs != nullptr && GoToPage(w, krs->Page) && ClickField(form, kKrsField)) {
    auto* picker = qobject_cast<ui::OrganisationPicker*>(form.OpenEditor());
    if (picker == nullptr || !picker->isVisible()) {
      Fail(QStringLiteral("the organisation picker did not open"));
    } else {
      // A KRS from the list opens it at once; otherwise the arrow does.
      if (!picker->ListOpen()) Click(picker->DropDown());
      if (!picker->ListOpen()) Fail(QStringLiteral("the organisation list did not drop down"));
      CheckVisible(form, picker, QStringLiteral("the organisation picker"));
      Save(w, dir, QStringLiteral("04_krs_picker.png"));
      // The highlighted row (as saved) is what Enter would store.
      const QString stored = QString::fromStdString(ctx.settlement.Entry(ctx.settlement.Current.Number).Slots()[kKrsField].Value);
      const QTableWidgetItem* current = picker->Grid()->item(picker->CurrentRow(), 0);
      const QString row = current != nullptr ? current->text() : QString();
      if (!stored.isEmpty() && !row.contains(stored))
        Note(QStringLiteral("the field holds KRS %1 but the organisation list highlights row %2 \"%3\"")
                 .arg(stored)
                 .arg(picker->CurrentRow())
                 .arg(row));
      QTest::keyClick(picker->KrsEdit(), Qt::Key_Escape);
      Settle();
    }
  }

  // The 1% panel: only with a KRS and a 1% amount to offer.
  const FieldObject* one = Field(form, kOnePercentField);
  if (one != nullptr && GoToPage(w, one->Page) && ClickField(form, kOnePercentField)) {
    QWidget* panel = form.DonationLabel()->parentWidget();
    if (panel->isVisible()) {
      CheckVisible(form, panel, QStringLiteral("the 1% panel"));
      Save(w, dir, QStringLiteral("05_one_percent.png"));
    } else {
      Note(QStringLiteral("no 1% panel (KRS \"%1\", amount %2); 05_one_percent.png not made")
               .arg(QString::fromStdString(ctx.settlement.Entry(ctx.settlement.Current.Number).Slots()[kKrsField].Value),
                    form.DonationLabel()->text()));
    }
  }

  // One step below the window's width, a text box open over its field.
  QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
  QTest::keyClick(&form, Qt::Key_Minus, Qt::ControlModifier);
  Settle();
  if (GoToPage(w, 1) && ClickField(form, kSurnameField)) {
    Save(w, dir, QStringLiteral("09_zoomed_out_editor.png"));
    if (QWidget* box = form.OpenEditor()) {
      const QRect around = box->geometry().adjusted(-20, -20, 20, 20);
      const QImage page = form.Surface()->grab(around).toImage();
      const QString path = dir.filePath(QStringLiteral("09b_editor_close_up.png"));
      if (!page.scaled(page.size() * 4).save(path)) Fail(QStringLiteral("cannot write %1").arg(path));
      else std::printf("%s\n", qPrintable(path));
      const FieldObject* d = Field(form, kSurnameField);
      const QRect drawn = form.SurfaceRect(QRect(d->Left, d->Top, d->Right - d->Left, d->Bottom - d->Top));
      if (!drawn.adjusted(-1, -1, 1, 1).contains(box->geometry()))
        Note(QStringLiteral("the box %1x%2 at (%3,%4) is not inside its field %5x%6 at (%7,%8)")
                 .arg(box->width()).arg(box->height()).arg(box->x()).arg(box->y())
                 .arg(drawn.width()).arg(drawn.height()).arg(drawn.x()).arg(drawn.y()));
    }
  }
  QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
  Settle();

  // "Weryfikacja" without a connection: the box with the empty required
  // fields (or the confirmation), never the hand-off.
  if (auto* efiling = w.findChild<pit::ui::EFiling*>(QStringLiteral("EFiling"))) {
    efiling->hooks.connected = [] { return false; };
    QTimer::singleShot(0, [&] {  // before the answerer closes it
      if (QWidget* box = QApplication::activeModalWidget()) {
        const QString path = dir.filePath(QStringLiteral("06_check.png"));
        if (!box->grab().save(path)) Fail(QStringLiteral("cannot write %1").arg(path));
        else std::printf("%s\n", qPrintable(path));
        box->close();
      }
    });
    w.ToolCheck->trigger();
  }

  // Nothing of this is to be saved.
  ctx.settlement.DocumentModified = false;
  w.close();
  return failures == 0 ? 0 : 1;
}
