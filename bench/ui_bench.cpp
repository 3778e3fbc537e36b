// The desktop program on screen: a commit in the form window up to the page
// drawn again, and the start of the main window up to its first page drawn.
// Both run real widgets on the offscreen platform with the definitions the
// build generated in bin/dc.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "refdata/dictionaries.h"
#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "../tests/support/own_home.h"

namespace {

using namespace pit;

constexpr int kRevenue = 36;  // PIT-37 row 1: the employee's revenue

const std::string kBin = PIT_BIN_DIR;

// The user's folders, the temporary folder and the lock of the single-instance
// guard: the benchmark's own, so that nothing of the user's is touched.
QTemporaryDir& Home() {
  static QTemporaryDir home;
  return home;
}

// Set when a message box opened: the measured path is not the usual one.
bool g_boxShown = false;

// A message box would wait for a user; it is closed and the run is marked.
void WatchForBoxes() {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      g_boxShown = true;
      modal->close();
    }
  });
  timer->start(20);
}

// The offscreen platform says at every main window that it cannot pass size
// hints on; the rest goes out as usual.
QtMessageHandler g_defaultHandler = nullptr;
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QLatin1String("propagateSizeHints"))) return;
  if (g_defaultHandler != nullptr) g_defaultHandler(type, context, text);
}

void Set(Settlement& s, int entry, int k, const std::string& v) {
  s.Write(entry, k, v);
}

// A PIT-37 with the taxpayer's PIT/O and PIT/D, filled in the usual rows,
// saved once where both benchmarks read it from.
const QString& SettlementFile() {
  static const QString path = [] {
    const QString file = Home().filePath(QStringLiteral("rozliczenie.dc2014"));
    DefinitionLibrary defs(kBin + "/dc");
    Settlement s;
    s.Open();
    s.Kind = kIndividual;
    s.TaxpayerIdKind = kIdNip;
    s.SpouseIdKind = kIdNone;
    const int p37 = s.AddEntry(kPit37, 0, kPmNone, kIndividual);
    const int o = s.AddEntry(kPitO, p37, kPmTaxpayer, kIndividual);
    const int d = s.AddEntry(kPitD, p37, kPmTaxpayer, kIndividual);
    s.RebuildTree(defs);
    Set(s, p37, 10, "KOWALSKI");
    Set(s, p37, kRevenue, "60000,00");
    Set(s, p37, 37, "1335,00");
    Set(s, p37, 40, "7000,00");
    Set(s, o, 34, "2");
    Set(s, o, 35, "2224,08");
    Set(s, o, 12, "500,00");
    Set(s, d, 29, "1000,00");
    IdentificationRecords ids;
    CollectIdentification(s, ids, p37);
    DistributeIdentification(s, ids);
    const FileResult r = SaveSettlement(s, file.toStdString());
    return r.ok ? file : QString();
  }();
  return path;
}

void SendKey(QWidget* target, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

void Click(QWidget* target, const QPoint& at) {
  const QPointF local(at);
  const QPointF global(target->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

// --- commit to redrawn page -----------------------------------------------------------

// PIT-37 page 2 in the form window. Each iteration types a revenue into row 1
// and presses Enter in the amount box: the value is committed, the PIT-37's
// calculation runs, the field layer is drawn again, the next field's editor
// opens, and the window is repainted at once so that the page really reaches
// the window's buffer inside the timed part. Opening the box (a click on the
// field, which runs the calculation of its own) is outside it.
void BM_CommitRedrawPit37Page2(benchmark::State& state) {
  const QString file = SettlementFile();
  if (file.isEmpty()) {
    state.SkipWithError("the settlement could not be written");
    return;
  }
  ui::AppContext ctx;
  ctx.programFolder = kBin;
  ctx.defs = std::make_unique<DefinitionLibrary>(ctx.Folder("dc"));
  ctx.offices = LoadTaxOffices(ctx.Folder("bib")).Table;
  ctx.countries = LoadCountries(ctx.Folder("bib")).Table;
  Settlement& s = ctx.settlement;
  if (!LoadSettlement(file.toStdString(), s, *ctx.defs).ok) {
    state.SkipWithError("the settlement could not be read");
    return;
  }
  for (int i = 1; i <= s.Count(); ++i) CollectIdentification(s, ctx.ids, i);
  const auto description = ctx.defs->Description(kPit37);
  CurrentEntryState& c = s.Current;
  c.Number = 1;
  c.IdPit = kPit37;
  c.IdParent = 0;
  c.PM = kPmNone;
  c.Kind = s.Entry(1).Kind;
  c.PageCount = description ? description->PageCount : s.Catalogue()[kPit37].PageCount;
  c.Page = 2;
  c.ReturnGuid = s.Entry(1).ReturnGuid;

  ui::TFImage w(ctx);
  w.ShowPage(kPit37, 2, false);
  if (!w.PictureLoaded() || w.FieldCount() <= kRevenue) {
    state.SkipWithError("PIT-37 page 2 is missing from bin/dc");
    return;
  }
  // Tall enough for the whole page: every repaint draws all of it.
  w.resize(w.Surface()->width() + w.ScrollArea()->verticalScrollBar()->sizeHint().width(), w.PageHeight());
  w.show();
  QCoreApplication::processEvents();

  const FieldObject& revenue = w.Fields()[kRevenue];
  const QPoint onRevenue(1 + (revenue.Left + revenue.Right) / 2, (revenue.Top + revenue.Bottom) / 2);
  const ValueSlot& slot = s.Entry(1).Slot(kRevenue);
  const QString typed[2] = {QStringLiteral("61000"), QStringLiteral("62000")};
  const std::string stored[2] = {"61000,00", "62000,00"};
  g_boxShown = false;
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    // The page as after a click on row 1: its box open, the rest closed.
    w.ShowPage(kPit37, 2, false);
    Click(w.Surface(), onRevenue);
    QCoreApplication::processEvents();
    QWidget* box = w.OpenEditor();
    if (box == nullptr || w.EditedObject() != kRevenue) {
      state.SkipWithError("no editor opened on row 1");
      break;
    }
    const int n = i++ & 1;
    state.ResumeTiming();

    for (const QChar ch : typed[n]) SendKey(box, static_cast<Qt::Key>(Qt::Key_0 + ch.digitValue()), QString(ch));
    SendKey(box, Qt::Key_Return, QStringLiteral("\r"));
    w.repaint();

    state.PauseTiming();
    if (slot.Value != stored[n] || w.EditedObject() == kRevenue || g_boxShown) {
      state.SkipWithError("the commit did not go the usual way");
      state.ResumeTiming();
      break;
    }
    state.ResumeTiming();
  }
  state.counters["page_px"] = static_cast<double>(w.Surface()->visibleRegion().boundingRect().height());
}
BENCHMARK(BM_CommitRedrawPit37Page2)->Unit(benchmark::kMillisecond);

// --- start-up to first page ---------------------------------------------------------------

// From the creation of the main window, with the settlement named on the
// command line, through the show handler that reads it, to PIT-37 page 1
// selected and drawn. Closing the window is outside the timed part.
void BM_StartupToFirstPage(benchmark::State& state) {
  const QString file = SettlementFile();
  if (file.isEmpty()) {
    state.SkipWithError("the settlement could not be written");
    return;
  }
  const QString lock = Home().filePath(QStringLiteral("run/bench.lock"));
  const QScreen* screen = QGuiApplication::primaryScreen();
  g_boxShown = false;
  for (auto _ : state) {
    auto ctx = std::make_unique<ui::AppContext>();
    ctx->programFolder = kBin;
    auto w = std::make_unique<ui::TTools>(*ctx, lock);
    if (screen != nullptr) w->setGeometry(screen->availableGeometry());
    w->showMaximized();
    const bool started = w->AfterShow({file});
    w->SelectEntry(1);
    w->repaint();

    state.PauseTiming();
    const CurrentEntryState& c = ctx->settlement.Current;
    const bool ok = !w->Refused() && started && w->Form()->PictureLoaded() && c.IdPit == kPit37 && c.Page == 1 &&
                    !g_boxShown;
    w.reset();
    ctx.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    if (!ok) {
      state.SkipWithError("the first page was not shown the usual way");
      state.ResumeTiming();
      break;
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartupToFirstPage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir& home = Home();
  if (!home.isValid()) return 1;
  pit::testsupport::UseOwnHomeFolders(home.path());

  g_defaultHandler = qInstallMessageHandler(QuietHandler);
  // The benchmark's options first; the application takes Qt's from the rest.
  benchmark::Initialize(&argc, argv);
  QApplication app(argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  pit::ui::PrepareApplication(app);
  WatchForBoxes();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
