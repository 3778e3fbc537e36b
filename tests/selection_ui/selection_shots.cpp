// selection_shots <folder>: renders the start window, the method window, the
// selection screen of an individual and of a joint return, the screen cut
// down to the identifiers, and a refused tick's message into PNG files, so
// that their look can be checked by eye.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "modal_script.h"
#include "ui/app/app_context.h"
#include "ui/selection/tfrozpprace.h"
#include "ui/selection/tfwybalg.h"
#include "ui/selection/tsam.h"

using namespace pit;
using namespace pit::ui;

namespace {

void Save(QWidget* w, const QDir& dir, const QString& name) {
  QApplication::processEvents();
  const QString path = dir.filePath(name);
  if (!w->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  else std::printf("%s\n", qPrintable(path));
}

QTreeWidgetItem* Child(QTreeWidget* t, const QString& top, const QString& prefix) {
  for (int i = 0; i < t->topLevelItemCount(); ++i) {
    QTreeWidgetItem* it = t->topLevelItem(i);
    if (it->text(0) != top) continue;
    if (prefix.isEmpty()) return it;
    for (int c = 0; c < it->childCount(); ++c)
      if (it->child(c)->text(0).startsWith(prefix)) return it->child(c);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  QDir().mkpath(dir.path());
  AppContext ctx;
  ctx.programFolder = PIT_BIN_DIR;
  ctx.defs = std::make_unique<DefinitionLibrary>(ctx.Folder("dc"));
  const QString help = QString::fromStdString(ctx.Folder("pomoc/inf"));

  TFRozpPrace start(help);
  start.show();
  Save(&start, dir, QStringLiteral("start.png"));
  start.Typ3.twin->show();
  start.Typ3.twin->raise();
  Save(&start, dir, QStringLiteral("start_hover.png"));
  start.hide();

  TFWybAlg method(help);
  method.show();
  Save(&method, dir, QStringLiteral("method.png"));
  method.hide();

  TSam screen(ctx, [] {});
  screen.Selection().StartNew(kIndividual);
  screen.PrepareNew(kIndividual);
  screen.show();
  screen.STVClick(screen.STV->ItemOf(1) ? SelectionTreeView::NodeOf(Child(screen.STV, "PIT-37", "PIT/O")) : 0);
  Save(&screen, dir, QStringLiteral("selection_kind0.png"));

  // A refused tick: PIT-36 while PIT-37 is ticked.
  {
    test::ModalScript script;
    script.onBox = [&dir](QMessageBox* box) { Save(box, dir, QStringLiteral("refused_tick.png")); };
    screen.STVClick(SelectionTreeView::NodeOf(Child(screen.STV, "PIT-36", "PIT/D")));
  }
  screen.STVClick(SelectionTreeView::NodeOf(Child(screen.STV, "PIT-37", "")));  // untick all

  screen.RodzRozlClick(kJoint);
  screen.STVClick(SelectionTreeView::NodeOf(Child(screen.STV, "PIT-36", "PIT/B (Małżonek)")));
  Save(&screen, dir, QStringLiteral("selection_kind1.png"));

  // The screen over the confirmed joint return, cut to the identifiers.
  screen.ZatwierdzamClick();
  TSam ids(ctx, [] {});
  ids.PrepareReopen(true);
  ids.show();
  Save(&ids, dir, QStringLiteral("identifiers_only.png"));

  TSam payer(ctx);
  payer.Selection().StartNew(kPayerForms);
  payer.PrepareNew(kPayerForms);
  payer.show();
  Save(&payer, dir, QStringLiteral("selection_kind3.png"));
  return 0;
}
