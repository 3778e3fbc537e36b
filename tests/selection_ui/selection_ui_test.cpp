// The selection windows driven as a user drives them: clicks on the tree's
// boxes and on the radio groups, the message boxes answered as they open.
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <memory>

#include "selection/identifiers.h"
#include "modal_script.h"
#include "ui/app/app_context.h"
#include "ui/selection/start_work.h"
#include "ui/selection/tfrozpprace.h"
#include "ui/selection/tfwybalg.h"
#include "ui/selection/tsam.h"

namespace pit::ui::test {
namespace {

std::unique_ptr<AppContext> MakeContext() {
  auto ctx = std::make_unique<AppContext>();
  ctx->programFolder = PIT_BIN_DIR;
  ctx->defs = std::make_unique<DefinitionLibrary>(ctx->Folder("dc"));
  return ctx;
}

// The item of a form: a top-level form, or `label` (its text up to the
// description or copy number) under the top-level `under`.
QTreeWidgetItem* Item(SelectionTreeView* stv, const QString& label, const QString& under = QString()) {
  for (int i = 0; i < stv->topLevelItemCount(); ++i) {
    QTreeWidgetItem* top = stv->topLevelItem(i);
    if (under.isEmpty()) {
      if (top->text(0) == label) return top;
      continue;
    }
    if (top->text(0) != under) continue;
    for (int c = 0; c < top->childCount(); ++c) {
      QTreeWidgetItem* child = top->child(c);
      const QString text = child->text(0);
      if (text == label || text.startsWith(label + QStringLiteral(" - ")) || text.startsWith(label + QStringLiteral(" (")))
        return child;
    }
  }
  return nullptr;
}

void ClickBox(SelectionTreeView* stv, QTreeWidgetItem* item) {
  QVERIFY(item != nullptr);
  stv->scrollToItem(item);
  QTest::mouseClick(stv->viewport(), Qt::LeftButton, {}, stv->CheckRect(item).center());
}

bool Ticked(QTreeWidgetItem* item) { return item != nullptr && item->checkState(0) == Qt::Checked; }

// Texts of the ticked items, "under/label" for attachments, in screen order.
QStringList TickedItems(SelectionTreeView* stv) {
  QStringList out;
  for (QTreeWidgetItemIterator it(stv); *it; ++it) {
    if (!Ticked(*it)) continue;
    out << ((*it)->parent() ? (*it)->parent()->text(0) + QLatin1Char('/') : QString()) + (*it)->text(0);
  }
  return out;
}

// A new settlement of `kind` on the selection screen, shown.
std::unique_ptr<TSam> OpenNew(AppContext& ctx, int kind) {
  auto screen = std::make_unique<TSam>(ctx);
  screen->Selection().StartNew(kind == kJoint ? kIndividual : kind);
  screen->PrepareNew(kind == kJoint ? kIndividual : kind);
  screen->show();
  if (!QTest::qWaitForWindowExposed(screen.get())) return nullptr;
  if (kind == kJoint) QTest::mouseClick(screen->RodzRozlItems[kJoint], Qt::LeftButton);
  return screen;
}

}  // namespace

class SelectionUiTest : public QObject {
  Q_OBJECT

 private slots:
  void requiredAttachmentIsTickedWithItsMessage();
  void refusedTicks_data();
  void refusedTicks();
  void taxpayerToPeselAsksFirst();
  void spouseBoxOfAnIndividualReturn();
  void reopeningShowsEveryCopyWithItsData();
  void identifiersOnlyKeepsTheForms();
  void newSettlementPaths_data();
  void newSettlementPaths();
};

void SelectionUiTest::requiredAttachmentIsTickedWithItsMessage() {
  auto ctx = MakeContext();
  auto screen = OpenNew(*ctx, kIndividual);
  QVERIFY(screen);
  SelectionTreeView* stv = screen->STV;
  QVERIFY(!screen->Zatwierdzam->isEnabled());
  QVERIFY(screen->WBPomoc->isVisible());  // the kind's help page was found
  QVERIFY(screen->WBPomoc->source().toString().endsWith(QLatin1String("samodzielny_wybor_indywidualnie.html")));

  ModalScript script;
  ClickBox(stv, Item(stv, QStringLiteral("PIT/2K"), QStringLiteral("PIT-37")));
  QTRY_COMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(script.boxes[0].text, QStringLiteral("Wybierając formularz PIT/2K, konieczne jest dodanie załącznika PIT/D"));
  QCOMPARE(TickedItems(stv), (QStringList{"PIT-37", "PIT-37/PIT/2K", "PIT-37/PIT/D"}));
  QVERIFY(screen->Zatwierdzam->isEnabled());
  QVERIFY(!screen->RodzRozl->isEnabled());
  // Without the spouse box the hint about spouse data comes up.
  QVERIFY(screen->PKomunikat->isVisible());
  QTest::mouseClick(screen->WylaczKomunikat, Qt::LeftButton);
  QVERIFY(!screen->PKomunikat->isVisible());

  // Unticking the return takes its attachments with it and frees the kind.
  ClickBox(stv, Item(stv, QStringLiteral("PIT-37")));
  QVERIFY(TickedItems(stv).isEmpty());
  QVERIFY(!screen->Zatwierdzam->isEnabled());
  QVERIFY(screen->RodzRozl->isEnabled());
  QCOMPARE(script.boxes.size(), std::size_t(1));
}

void SelectionUiTest::refusedTicks_data() {
  QTest::addColumn<int>("kind");
  QTest::addColumn<QStringList>("first");   // label, under
  QTest::addColumn<QStringList>("second");  // the refused click
  QTest::addColumn<QString>("message");
  QTest::addColumn<QStringList>("tickedAfter");

  QTest::newRow("individual PIT-37 after PIT-36 with PIT/O")
      << int(kIndividual) << QStringList{"PIT/O", "PIT-36"} << QStringList{"PIT-37", ""}
      << QStringLiteral("UWAGA!\nNie można załączyć druku: PIT-37, ponieważ został wcześniej wybrany druk: PIT-36.")
      << QStringList{"PIT-36", "PIT-36/PIT/O (1)"};
  QTest::newRow("individual second PIT/D names the first one's return")
      << int(kIndividual) << QStringList{"PIT/D", "PIT-36"} << QStringList{"PIT/D", "PIT-28"}
      << QStringLiteral("UWAGA!\nNie można załączyć druku: PIT/D do PIT-28, ponieważ został wcześniej załączony "
                        "do druku: PIT-36")
      << QStringList{"PIT-36", "PIT-36/PIT/D"};
  QTest::newRow("joint PIT-36 after PIT-37")
      << int(kJoint) << QStringList{"PIT-37", ""} << QStringList{"PIT-36", ""}
      << QStringLiteral("UWAGA!\nNie można załączyć druku: PIT-36, ponieważ został wybrany wcześniej druk PIT-37.")
      << QStringList{"PIT-37"};
  QTest::newRow("registration ZAP-3 after NIP-7")
      << int(kRegistrationForms) << QStringList{"NIP-7", ""} << QStringList{"ZAP-3", ""}
      << QStringLiteral("UWAGA!\nNie można załączyć druku: ZAP-3, ponieważ został wcześniej wybrany druk NIP-7.")
      << QStringList{"NIP-7"};
}

void SelectionUiTest::refusedTicks() {
  QFETCH(int, kind);
  QFETCH(QStringList, first);
  QFETCH(QStringList, second);
  QFETCH(QString, message);
  QFETCH(QStringList, tickedAfter);

  auto ctx = MakeContext();
  auto screen = OpenNew(*ctx, kind);
  QVERIFY(screen);
  QCOMPARE(screen->Selection().Kind(), kind);
  SelectionTreeView* stv = screen->STV;
  ModalScript script;
  ClickBox(stv, Item(stv, first[0], first[1]));
  ClickBox(stv, Item(stv, second[0], second[1]));
  QTRY_COMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(script.boxes[0].text, message);
  QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);  // a refusal
  QCOMPARE(TickedItems(stv), tickedAfter);
  QVERIFY(screen->Zatwierdzam->isEnabled());
}

void SelectionUiTest::taxpayerToPeselAsksFirst() {
  auto ctx = MakeContext();
  auto screen = OpenNew(*ctx, kIndividual);
  QVERIFY(screen);
  SelectionTreeView* stv = screen->STV;
  QRadioButton* nip = screen->RGPodatnikaItems[0];
  QRadioButton* pesel = screen->RGPodatnikaItems[1];
  QVERIFY(nip->isChecked());
  ModalScript script;

  // Nothing that needs a NIP yet: the identifier changes without a word.
  ClickBox(stv, Item(stv, QStringLiteral("PIT/O"), QStringLiteral("PIT-37")));
  QTest::mouseClick(pesel, Qt::LeftButton);
  QVERIFY(pesel->isChecked());
  QCOMPARE(ctx->settlement.TaxpayerIdKind, int(kIdPesel));
  QVERIFY(script.boxes.empty());
  QTest::mouseClick(nip, Qt::LeftButton);
  ClickBox(stv, Item(stv, QStringLiteral("PIT-37")));

  ClickBox(stv, Item(stv, QStringLiteral("PIT/B"), QStringLiteral("PIT-36L")));
  QCOMPARE(TickedItems(stv), (QStringList{"PIT-36L", "PIT-36L/PIT/B (1)"}));
  ctx->ids.Taxpayer.NIP = "1234563218";
  ctx->ids.Taxpayer.Surname = "Kowalski";
  const QString question = QStringLiteral(
      "UWAGA!\nZmiana identyfikatora Podatnika z NIP na PESEL spowoduje odłączenie\ni utratę dotychczasowych danych "
      "wpisanych w drukach:\n\n - PIT-36L wraz z wszystkimi dołączonymi do niego załącznikami \n - PIT/B - wszystkie "
      "dołączone do rozliczenia \n\nCzy dokonać zmiany identyfikatora Podatnika?");

  script.answers = {QMessageBox::No};
  QTest::mouseClick(pesel, Qt::LeftButton);
  QTRY_COMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(script.boxes[0].title, QStringLiteral("Pytanie"));
  QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);
  QVERIFY(script.boxes[0].yesNo);
  QCOMPARE(script.boxes[0].text, question);
  QVERIFY(nip->isChecked());
  QCOMPARE(ctx->settlement.TaxpayerIdKind, int(kIdNip));
  QCOMPARE(TickedItems(stv), (QStringList{"PIT-36L", "PIT-36L/PIT/B (1)"}));

  script.answers = {QMessageBox::Yes};
  QTest::mouseClick(pesel, Qt::LeftButton);
  QTRY_COMPARE(script.boxes.size(), std::size_t(2));
  QCOMPARE(script.boxes[1].text, question);
  QVERIFY(pesel->isChecked());
  QCOMPARE(ctx->settlement.TaxpayerIdKind, int(kIdPesel));
  QVERIFY(TickedItems(stv).isEmpty());
  QVERIFY(!screen->Zatwierdzam->isEnabled());
  QVERIFY(ctx->ids.Taxpayer.NIP.empty());
  QCOMPARE(ctx->ids.Taxpayer.Surname, std::string("Kowalski"));

  // On PESEL the NIP-only forms are refused outright.
  ClickBox(stv, Item(stv, QStringLiteral("PIT/B"), QStringLiteral("PIT-36")));
  QTRY_COMPARE(script.boxes.size(), std::size_t(3));
  QVERIFY(script.boxes[2].text.contains(QStringLiteral("ponieważ jako identyfikator Podatnika został wybrany PESEL.")));
  QVERIFY(TickedItems(stv).isEmpty());
}

void SelectionUiTest::spouseBoxOfAnIndividualReturn() {
  auto ctx = MakeContext();
  auto screen = OpenNew(*ctx, kIndividual);
  QVERIFY(screen);
  QVERIFY(screen->CBMalzonek->isVisible() && screen->PDruki->isVisible());
  QVERIFY(!screen->CBMalzonek->isChecked());
  QVERIFY(!screen->RGMalzonka->isEnabled());
  QVERIFY(!screen->RGMalzonkaItems[0]->isChecked() && !screen->RGMalzonkaItems[1]->isChecked());
  // The box lies over the spouse group's caption.
  QVERIFY(screen->CBMalzonek->geometry().intersects(screen->RGMalzonka->geometry()));
  QCOMPARE(screen->RGMalzonka->width(), 405);

  QTest::mouseClick(screen->CBMalzonek, Qt::LeftButton);
  QVERIFY(screen->RGMalzonka->isEnabled() && screen->PDruki->isEnabled());
  QVERIFY(screen->RGMalzonkaItems[0]->isChecked());
  QCOMPARE(ctx->settlement.SpouseIdKind, int(kIdNip));
  QTest::mouseClick(screen->sCBPitD, Qt::LeftButton);
  QVERIFY(screen->Zatwierdzam->isEnabled());

  // Taking the spouse away clears the data boxes and may be confirmed at once.
  QTest::mouseClick(screen->CBMalzonek, Qt::LeftButton);
  QCOMPARE(ctx->settlement.SpouseIdKind, int(kIdNone));
  QVERIFY(!screen->sCBPitD->isChecked() && !screen->PDruki->isEnabled() && !screen->RGMalzonka->isEnabled());
  QVERIFY(!screen->RGMalzonkaItems[0]->isChecked() && !screen->RGMalzonkaItems[1]->isChecked());
  QVERIFY(screen->Zatwierdzam->isEnabled());

  // With the spouse back, the data boxes reach the settlement on confirm.
  QTest::mouseClick(screen->CBMalzonek, Qt::LeftButton);
  QTest::mouseClick(screen->sCBPitO, Qt::LeftButton);
  ClickBox(screen->STV, Item(screen->STV, QStringLiteral("PIT/O"), QStringLiteral("PIT-37")));
  QVERIFY(!screen->PKomunikat->isVisible());  // the spouse box is ticked: no hint
  QTest::mouseClick(screen->Zatwierdzam, Qt::LeftButton);
  QVERIFY(ctx->settlement.SpouseData.PitO);
  QVERIFY(!ctx->settlement.SpouseData.PitD);
  QCOMPARE(ctx->settlement.Count(), 2);
}

void SelectionUiTest::reopeningShowsEveryCopyWithItsData() {
  auto ctx = MakeContext();
  Settlement& s = ctx->settlement;
  s.Open();
  const int pit36 = s.AddEntry(kPit36, 0, kPmNone, kIndividual);
  // Field 100 lies out of reach of the identification data, which confirm
  // copies into every form.
  for (const char* mark : {"pierwsza", "druga", "trzecia"}) {
    const int b = s.AddEntry(kPitB, pit36, kPmNone, kIndividual);
    s.Write(b, 100, mark);
    s.Entry(b).SlotsLoaded = true;
  }
  s.Write(pit36, 100, "zeznanie");
  s.Entry(pit36).SlotsLoaded = true;

  TSam screen(*ctx);
  screen.PrepareReopen(false);
  screen.show();
  QVERIFY(QTest::qWaitForWindowExposed(&screen));
  SelectionTreeView* stv = screen.STV;
  QCOMPARE(TickedItems(stv), (QStringList{"PIT-36", "PIT-36/PIT/B (1)", "PIT-36/PIT/B (2)", "PIT-36/PIT/B (3)"}));
  QVERIFY(!screen.RodzRozl->isEnabled());
  QVERIFY(screen.GBDf->isVisible());
  QCOMPARE(screen.GBDf->title(), QStringLiteral(" KROK 3. Dobierz formularze "));

  ClickBox(stv, Item(stv, QStringLiteral("PIT/B (2)"), QStringLiteral("PIT-36")));
  QTest::mouseClick(screen.Zatwierdzam, Qt::LeftButton);
  QVERIFY(screen.Outcome().confirmed);
  QCOMPARE(s.Count(), 3);
  QCOMPARE(s.Entry(1).Slots()[100].Value, std::string("zeznanie"));
  QCOMPARE(s.Entry(2).IdParent, 1);
  QCOMPARE(s.Entry(2).Slots()[100].Value, std::string("pierwsza"));
  QCOMPARE(s.Entry(3).IdParent, 1);
  QCOMPARE(s.Entry(3).Slots()[100].Value, std::string("trzecia"));
}

void SelectionUiTest::identifiersOnlyKeepsTheForms() {
  auto ctx = MakeContext();
  Settlement& s = ctx->settlement;
  s.Open();
  const int pit37 = s.AddEntry(kPit37, 0, kPmNone, kJoint);
  s.AddEntry(kPitO, pit37, kPmNone, kJoint);
  s.Kind = kJoint;
  s.SpouseIdKind = kIdNip;

  TSam screen(*ctx);
  screen.PrepareReopen(true);
  screen.show();
  QVERIFY(QTest::qWaitForWindowExposed(&screen));
  QCOMPARE(screen.size(), QSize(648, 150));
  QCOMPARE(screen.GIdPodatkowy->title(), QStringLiteral(" Zmień identyfikator podatkowy "));
  QVERIFY(!screen.GBDf->isVisible());
  QVERIFY(!screen.PRodzRozl->isVisible());
  QVERIFY(!screen.WBPomoc->isVisible());
  QVERIFY(screen.RGMalzonka->isVisible() && screen.RGMalzonka->isEnabled());
  QVERIFY(!screen.CBMalzonek->isVisible());

  ModalScript script;
  QTest::mouseClick(screen.RGMalzonkaItems[1], Qt::LeftButton);
  QVERIFY(script.boxes.empty());  // nothing of the spouse's needs a NIP
  QVERIFY(screen.Zatwierdzam->isEnabled());
  QTest::mouseClick(screen.Zatwierdzam, Qt::LeftButton);
  QCOMPARE(s.Count(), 2);
  QCOMPARE(s.Entry(2).IdPit, int(kPitO));
  QCOMPARE(s.SpouseIdKind, int(kIdPesel));
  QCOMPARE(s.Kind, int(kJoint));
}

void SelectionUiTest::newSettlementPaths_data() {
  QTest::addColumn<int>("tile");  // TFRozpPrace::Choice
  QTest::addColumn<QStringList>("ticks");  // label, under, label, under ...
  QTest::addColumn<QList<int>>("entries");  // IdPit, IdParent of each entry
  QTest::addColumn<int>("firstEntry");
  QTest::addColumn<bool>("eFiling");  // visible and enabled

  QTest::newRow("taxpayers: PIT-37 with PIT/O")
      << int(TFRozpPrace::kTaxpayers) << QStringList{"PIT/O", "PIT-37"} << QList<int>{kPit37, 0, kPitO, 1} << 2
      << true;
  QTest::newRow("payers: PIT-11 with PIT-R")
      << int(TFRozpPrace::kPayers) << QStringList{"PIT-R", "PIT-11"} << QList<int>{kPit11, 0, kPitR, 1} << 2
      << true;
  QTest::newRow("payers: PIT-40 with its UPKD")
      << int(TFRozpPrace::kPayers) << QStringList{"UPKD", "PIT-40"} << QList<int>{kPit40, 0, kUpkdPayer, 1} << 2
      << false;
  QTest::newRow("registration: NIP-7")
      << int(TFRozpPrace::kRegistration) << QStringList{"NIP-7", ""} << QList<int>{kNip7, 0} << 1 << false;
}

void SelectionUiTest::newSettlementPaths() {
  QFETCH(int, tile);
  QFETCH(QStringList, ticks);
  QFETCH(QList<int>, entries);
  QFETCH(int, firstEntry);
  QFETCH(bool, eFiling);

  auto ctx = MakeContext();
  // An open, changed settlement that the new one replaces.
  ctx->settlement.Open();
  ctx->settlement.AddEntry(kPit38, 0, kPmNone, kIndividual);
  ctx->settlement.DocumentModified = true;
  ctx->ids.Taxpayer.Surname = "Nowak";
  QStringList calls;
  MainWindowHooks hooks;
  hooks.askToSave = [&] {
    calls << QStringLiteral("save question, %1 entries").arg(ctx->settlement.Count());
    return true;
  };
  hooks.resetForNew = [&](int kind) {
    calls << QStringLiteral("reset for kind %1, open %2").arg(kind).arg(ctx->settlement.IsOpen());
  };

  ModalScript script;
  script.Deadline(20000);
  QString windowTitle;
  bool identifierStep = true;
  script.steps.push_back([&](QWidget* w) -> std::function<void()> {
    auto* start = qobject_cast<TFRozpPrace*>(w);
    if (start == nullptr) return {};
    return [start, tile] {
      TilePicture* face = tile == TFRozpPrace::kTaxpayers ? start->Typ1.face
                          : tile == TFRozpPrace::kPayers  ? start->Typ2.face
                                                          : start->Typ3.face;
      QTest::mouseClick(face, Qt::LeftButton);
    };
  });
  if (tile == TFRozpPrace::kTaxpayers) {
    script.steps.push_back([](QWidget* w) -> std::function<void()> {
      auto* method = qobject_cast<TFWybAlg*>(w);
      if (method == nullptr) return {};
      return [method] { QTest::mouseClick(method->BWyborSamodzielnie, Qt::LeftButton); };
    });
  }
  script.steps.push_back([&](QWidget* w) -> std::function<void()> {
    auto* screen = qobject_cast<TSam*>(w);
    if (screen == nullptr) return {};
    return [&, screen] {
      windowTitle = screen->windowTitle();
      identifierStep = screen->GIdPodatkowy->isVisible();
      for (int i = 0; i + 1 < ticks.size(); i += 2) ClickBox(screen->STV, Item(screen->STV, ticks[i], ticks[i + 1]));
      QTest::mouseClick(screen->Zatwierdzam, Qt::LeftButton);
    };
  });

  SelectionOutcome outcome;
  const bool created = StartNewSettlement(*ctx, nullptr, &outcome, hooks);
  QVERIFY(script.steps.empty());
  QVERIFY(created);
  QCOMPARE(calls, (QStringList{"save question, 1 entries",
                               QStringLiteral("reset for kind %1, open 0")
                                   .arg(tile == TFRozpPrace::kTaxpayers ? 0 : tile == TFRozpPrace::kPayers ? 3 : 4)}));
  QVERIFY(script.boxes.empty());
  if (tile == TFRozpPrace::kTaxpayers) {
    QCOMPARE(windowTitle, QStringLiteral("Podatnicy składający zeznanie podatkowe - samodzielny dobór formularzy"));
  }
  if (tile == TFRozpPrace::kPayers)
    QCOMPARE(windowTitle, QStringLiteral("Płatnicy sporządzający PIT-11, PIT-40 - samodzielny dobór formularzy "));
  QCOMPARE(identifierStep, tile != TFRozpPrace::kRegistration);

  const Settlement& s = ctx->settlement;
  QCOMPARE(s.Count() * 2, entries.size());
  for (int i = 1; i <= s.Count(); ++i) {
    QCOMPARE(s.Entry(i).IdPit, entries[2 * (i - 1)]);
    QCOMPARE(s.Entry(i).IdParent, entries[2 * (i - 1) + 1]);
  }
  if (s.Count() > 1) QCOMPARE(s.Entry(2).ReturnGuid, s.Entry(1).ReturnGuid);
  QCOMPARE(s.DocumentName, std::string("nowe_rozliczenie.dc2014"));
  QVERIFY(s.DocumentModified);
  QVERIFY(s.DocumentPath.empty());
  QVERIFY(ctx->ids.Taxpayer.Surname.empty());  // the old settlement's persons are gone
  QCOMPARE(outcome.firstEntry, firstEntry);
  QCOMPARE(outcome.eFilingVisible, eFiling);
  QCOMPARE(outcome.eFilingSeparatorVisible, tile != TFRozpPrace::kRegistration);
  QCOMPARE(outcome.eFilingEnabled, tile != TFRozpPrace::kRegistration);
}

}  // namespace pit::ui::test

QTEST_MAIN(pit::ui::test::SelectionUiTest)
#include "selection_ui_test.moc"
