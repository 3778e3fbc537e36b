// selection_shots <folder>: renders the start window, the method window, the
// selection screen of an individual and of a joint return, the screen cut
// down to the identifiers, a refused tick's message, and the wizard's start
// page, question pages of each kind and end pages into PNG files, so that
// their look can be checked by eye.
#include <QApplication>
#include <QCheckBox>
#include <QRadioButton>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "modal_script.h"
#include "ui/app/app_context.h"
#include "ui/selection/tfrozpprace.h"
#include "ui/selection/tfwybalg.h"
#include "ui/selection/tkreator.h"
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

// Answers the wizard's questions up to the page of `stopAt` (or the end):
// "TAK" for the forms in `yes` (with the boxes captioned in `boxes` ticked),
// "NIE" elsewhere.
void WalkTo(TKreator& k, int stopAt, const QList<int>& yes, const QStringList& boxes = {}) {
  for (int guard = 0; guard < 30; ++guard) {
    const WizardPageView v = k.Logic().PageView();
    if (v.EndPage) return;
    const int idPit = k.Logic().Record(k.Logic().Page()).IdPit;
    if (idPit == stopAt) return;
    for (int g = 0; g < kWizardGroupCount; ++g) {
      if (!v.Groups[g].Visible) continue;
      (yes.contains(idPit) ? k.Yes[g] : k.No[g])->click();
      for (QCheckBox* b : k.Boxes[g]) {
        if (b != nullptr && b->isVisible() && b->isEnabled() && boxes.contains(b->text()) && !b->isChecked())
          b->click();
      }
    }
    k.DalejClick();
  }
}

// A wizard of `kind` past its start page.
void StartWizard(TKreator& k, int kind, int spouse = kIdNip) {
  k.TypAlgorytmItems[kind]->click();
  if (kind == kIndividual) k.RBNIE->click();
  if (kind == kJoint) k.RGMalzonkaItems[spouse]->click();
  k.DalejClick();
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
  payer.hide();

  {
    TKreator k(ctx);
    k.show();
    k.RBTAK->click();
    k.sCBPitO->click();
    k.sCBPitD->click();
    Save(&k, dir, QStringLiteral("kreator_start.png"));
    k.TypAlgorytmItems[kJoint]->click();
    Save(&k, dir, QStringLiteral("kreator_start_joint.png"));
    k.TypAlgorytmItems[kIndividual]->click();
    k.RBNIE->click();
    k.DalejClick();
    k.Yes[kGroupGeneral]->click();
    Save(&k, dir, QStringLiteral("kreator_1_01.png"));
    k.No[kGroupGeneral]->click();
    k.DalejClick();
    WalkTo(k, kPitD, {kPit36, kPit28}, {});
    k.Yes[kGroupGeneral]->click();
    Save(&k, dir, QStringLiteral("kreator_1_16.png"));
    k.Boxes[kGroupGeneral][1]->click();
    k.DalejClick();
    WalkTo(k, 0, {kPitO}, {QStringLiteral("PIT-36")});
    Save(&k, dir, QStringLiteral("kreator_end.png"));
    k.reject();
  }
  {
    TKreator k(ctx);
    k.show();
    StartWizard(k, kJoint, kIdPesel);
    WalkTo(k, kPit38, {kPit28});
    k.Yes[kGroupTaxpayer]->click();
    Save(&k, dir, QStringLiteral("kreator_2_04.png"));
    k.Yes[kGroupSpouse]->click();
    k.DalejClick();
    WalkTo(k, kPitZG, {});
    k.Yes[kGroupTaxpayer]->click();
    Save(&k, dir, QStringLiteral("kreator_2_11.png"));
    k.reject();
  }
  {
    TKreator k(ctx);
    k.show();
    StartWizard(k, kSingleParent);
    Save(&k, dir, QStringLiteral("kreator_3_01.png"));
    WalkTo(k, kPitO, {kPit36, kPitB});
    k.Yes[kGroupGeneral]->click();
    Save(&k, dir, QStringLiteral("kreator_3_16.png"));
    k.reject();
  }
  {
    TKreator k(ctx);
    k.show();
    StartWizard(k, kSingleParent);
    WalkTo(k, 0, {});
    Save(&k, dir, QStringLiteral("kreator_empty.png"));
    k.reject();
  }
  return 0;
}
