// The form-selection wizard driven as a user drives it: from "Nowe
// rozliczenie" in the main window through the start and method windows,
// page by page with clicks on the answers and boxes, to "zakończ" and the
// first form shown; and every question page checked to fit beside the
// answer column.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <memory>

#include "../support/own_home.h"
#include "forms/definition_library.h"
#include "modal_script.h"
#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "ui/update/tfpomoc.h"
#include "ui/selection/tfrozpprace.h"
#include "ui/selection/tfwybalg.h"
#include "ui/selection/tkreator.h"

namespace pit::ui::test {
namespace {

// What a user answers on one question: the groups answering "TAK" and the
// boxes (captions) ticked there; every other shown group answers "NIE".
struct Answer {
  std::vector<int> yes;
  QStringList boxes;
};
using Answers = std::map<int, Answer>;  // by IdPit of the question

// A click where a user clicks a radio button or box: on its indicator (a
// button stretched by its layout takes clicks only on its indicator and text).
void Click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2)); }

QString TreeText(QTreeWidget* tv) {
  QStringList out;
  std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
    out << QString(depth * 2, QLatin1Char(' ')) + item->text(0);
    for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1);
  };
  for (int i = 0; i < tv->topLevelItemCount(); ++i) walk(tv->topLevelItem(i), 0);
  return out.join(QLatin1Char('\n'));
}

// Clicks through the questions as `answers` say until the end page; the
// titles of the pages shown are collected.
void AnswerUntilEnd(TKreator* k, const Answers& answers, QStringList* titles) {
  for (int guard = 0; guard < 30 && !k->Logic().PageView().EndPage; ++guard) {
    titles->append(k->windowTitle());
    const int idPit = k->Logic().Record(k->Logic().Page()).IdPit;
    const auto it = answers.find(idPit);
    for (int g = 0; g < kWizardGroupCount; ++g) {
      if (!k->Panels[g]->isVisible()) continue;
      const bool yes = it != answers.end() && std::count(it->second.yes.begin(), it->second.yes.end(), g) > 0;
      Click(yes ? k->Yes[g] : k->No[g]);
      if (!yes) continue;
      for (QCheckBox* box : k->Boxes[g]) {
        if (box != nullptr && box->isVisible() && it->second.boxes.contains(box->text()) && !box->isChecked())
          Click(box);
      }
    }
    QTest::mouseClick(k->Dalej, Qt::LeftButton);
  }
}

}  // namespace

class KreatorTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  struct Program {
    AppContext ctx;
    std::unique_ptr<TTools> window;
  };
  std::unique_ptr<Program> Start() {
    auto p = std::make_unique<Program>();
    p->ctx.programFolder = PIT_BIN_DIR;
    p->window = std::make_unique<TTools>(p->ctx, dir_.filePath(QStringLiteral("lock")));
    p->window->show();
    if (!QTest::qWaitForWindowExposed(p->window.get())) return nullptr;
    p->window->AfterShow({});
    return p;
  }

  // The start and method windows answered: taxpayers, then the wizard.
  static void ToTheWizard(ModalScript& script) {
    script.steps.push_back([](QWidget* w) -> std::function<void()> {
      auto* start = qobject_cast<TFRozpPrace*>(w);
      if (start == nullptr) return {};
      return [start] { QTest::mouseClick(start->Typ1.face, Qt::LeftButton); };
    });
    script.steps.push_back([](QWidget* w) -> std::function<void()> {
      auto* method = qobject_cast<TFWybAlg*>(w);
      if (method == nullptr) return {};
      return [method] { QTest::mouseClick(method->BWyborSciezka, Qt::LeftButton); };
    });
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void individualReturnWithPitOAndPitD() {
    ModalScript script;  // answers what start-up may ask
    auto p = Start();
    QVERIFY(p);
    script.boxes.clear();
    TTools& main = *p->window;
    script.Deadline(60000);
    ToTheWizard(script);

    QStringList titles;
    QString treeAfterPit37, startCaption, firstPage, endPage, helpPage;
    bool startState = false, validation = false, progress = false;
    script.steps.push_back([&](QWidget* w) -> std::function<void()> {
      auto* k = qobject_cast<TKreator*>(w);
      if (k == nullptr) return {};
      return [&, k] {
        // The start page: an individual return waits for the spouse question.
        startCaption = k->windowTitle();
        startState = k->PTypAlgorytm->isVisible() && !k->WBPytanie->isVisible() && !k->Dalej->isEnabled() &&
                     !k->Wstecz->isEnabled() && !k->Zakoncz->isEnabled() && k->GBPytanie->isVisible() &&
                     k->TypAlgorytmItems[0]->isChecked() && k->RGPodatnikaItems[0]->isChecked() &&
                     !k->RGMalzonka->isEnabled() && !k->PDruki->isEnabled() &&
                     k->GIdPodatkowy->title() == QStringLiteral(" KROK 3. Wybierz identyfikator podatkowy: ");
        // The help picture opens the help window on the page about NIP and PESEL.
        QTest::mouseClick(k->INipCzyPesel, Qt::LeftButton);
        helpPage = main.FPomoc->isVisible() ? main.FPomoc->CurrentPage() : QString();
        main.FPomoc->hide();
        Click(k->RBNIE);
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        firstPage = k->WBPytanie->source().fileName();
        progress = k->Postep->maximum() == 20 && k->Postep->value() == 1;
        // "dalej" without an answer: the message, and the page stays.
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        validation = k->Logic().Page() == 1;
        Click(k->Yes[kGroupGeneral]);
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        treeAfterPit37 = TreeText(main.TV);  // the main window follows the answers
        AnswerUntilEnd(k, {{kPitD, {{kGroupGeneral}, {}}}, {kPitO, {{kGroupGeneral}, {}}}}, &titles);
        endPage = k->WBPytanie->source().fileName();
        QTest::mouseClick(k->Zakoncz, Qt::LeftButton);
      };
    });

    main.Nowe1Click();
    QVERIFY(script.steps.empty());
    QCOMPARE(startCaption, QStringLiteral("Podatnicy składający zeznanie podatkowe - kreator doboru formularzy"));
    QVERIFY(startState);
    QCOMPARE(helpPage, QStringLiteral("ncp.html"));
    QCOMPARE(firstPage, QStringLiteral("1.1.html"));
    QVERIFY(progress);
    QVERIFY(validation);
    QCOMPARE(script.boxes.size(), std::size_t(1));
    QCOMPARE(script.boxes[0].title, QStringLiteral("UWAGA"));
    QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);
    QCOMPARE(script.boxes[0].text,
             QStringLiteral("Nie udzielono wszystkich odpowiedzi. Udziel odpowiedzi i spróbuj ponownie."));
    QCOMPARE(treeAfterPit37, QStringLiteral("PIT-37"));
    // PIT-36 never came: PIT-37 was chosen. On NIP the PIT-36L and PIT-16A
    // questions come; the business and zone forms do not.
    QCOMPARE(titles, (QStringList{
                         "Kreator doboru formularzy -  druk PIT-36L - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk PIT-28 - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk PIT-38 - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk PIT-39 - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk załącznika PIT/D - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk załącznika PIT/2K - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk załącznika PIT/O - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk załącznika PIT-16A - rozliczenie indywidualne ",
                         "Kreator doboru formularzy -  druk formularza PIT/UZ - rozliczenie indywidualne ",
                     }));
    QCOMPARE(endPage, QStringLiteral("end.html"));

    // The settlement as picking the same forms by hand makes it, with the
    // first attachment shown.
    const Settlement& s = p->ctx.settlement;
    QCOMPARE(s.Count(), 3);
    QCOMPARE(TreeText(main.TV), QStringLiteral("PIT-37\n  PIT/D\n  PIT/O"));
    QCOMPARE(s.Entry(s.Current.Number).IdPit, int(kPitD));
    QCOMPARE(main.InfoPit->text(), QStringLiteral("Druk: PIT/D"));
    QCOMPARE(main.FImage->ShownIdPit(), int(kPitD));
    QVERIFY(main.FImage->PictureLoaded());
    QVERIFY(s.DocumentModified);
    QCOMPARE(s.DocumentName, std::string("nowe_rozliczenie.dc2014"));
    QVERIFY(main.ToolSave->isEnabled());
    QCOMPARE(s.Kind, int(kIndividual));
    QCOMPARE(s.SpouseIdKind, int(kIdNone));
  }

  void jointReturnWithEachSpousesPit38() {
    ModalScript script;  // answers what start-up may ask
    auto p = Start();
    QVERIFY(p);
    script.boxes.clear();
    TTools& main = *p->window;
    script.Deadline(60000);
    ToTheWizard(script);

    QStringList titles;
    bool spouseGroupOnPit38 = false, backRemoves = false;
    script.steps.push_back([&](QWidget* w) -> std::function<void()> {
      auto* k = qobject_cast<TKreator*>(w);
      if (k == nullptr) return {};
      return [&, k] {
        Click(k->TypAlgorytmItems[kJoint]);
        QVERIFY(!k->GBPytanie->isVisible());
        QVERIFY(k->Dalej->isEnabled());
        QVERIFY(k->RGMalzonka->isEnabled() && k->RGMalzonkaItems[0]->isChecked());
        QCOMPARE(k->GIdPodatkowy->title(), QStringLiteral(" KROK 2. Wybierz identyfikator podatkowy: "));
        Click(k->RGMalzonkaItems[1]);  // the spouse on PESEL
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        // PIT-37 "NIE", PIT-36 "NIE", PIT-28 "NIE" for both.
        for (int i = 0; i < 2; ++i) {
          Click(k->No[kGroupGeneral]);
          QTest::mouseClick(k->SDalej, Qt::LeftButton);
        }
        Click(k->No[kGroupTaxpayer]);
        Click(k->No[kGroupSpouse]);
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        spouseGroupOnPit38 = k->Panels[kGroupTaxpayer]->isVisible() && k->Panels[kGroupSpouse]->isVisible() &&
                             !k->Panels[kGroupGeneral]->isVisible() &&
                             k->WBPytanie->source().fileName() == QStringLiteral("2.4.html");
        Click(k->Yes[kGroupTaxpayer]);
        Click(k->Yes[kGroupSpouse]);
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        // Back from PIT-39 takes both PIT-38 away; forward puts them back.
        QTest::mouseClick(k->Wstecz, Qt::LeftButton);
        backRemoves = p->ctx.settlement.Count() == 0 && main.TV->topLevelItemCount() == 0 &&
                      k->Yes[kGroupTaxpayer]->isChecked() && k->Yes[kGroupSpouse]->isChecked();
        QTest::mouseClick(k->SDalej, Qt::LeftButton);
        AnswerUntilEnd(k, {}, &titles);
        QTest::mouseClick(k->Zakoncz, Qt::LeftButton);
      };
    });

    main.Nowe1Click();
    QVERIFY(script.steps.empty());
    QVERIFY(spouseGroupOnPit38);
    QVERIFY(backRemoves);
    // PIT-39, then PIT/ZG (a PIT-38 of either person is there); nothing else.
    QCOMPARE(titles, (QStringList{
                         "Kreator doboru formularzy -  druk PIT-39 - rozliczenie wspólnie z małżonkiem ",
                         "Kreator doboru formularzy -  druk załącznika PIT/ZG - rozliczenie wspólnie z małżonkiem ",
                     }));
    const Settlement& s = p->ctx.settlement;
    QCOMPARE(s.Count(), 2);
    QCOMPARE(s.Kind, int(kJoint));
    QCOMPARE(s.SpouseIdKind, int(kIdPesel));
    QCOMPARE(s.Entry(1).IdPit, int(kPit38));
    QCOMPARE(s.Entry(1).PM, int(kPmTaxpayer));
    QCOMPARE(s.Entry(2).IdPit, int(kPit38));
    QCOMPARE(s.Entry(2).PM, int(kPmSpouse));
    QVERIFY(s.Entry(1).ReturnGuid != s.Entry(2).ReturnGuid);  // two returns
    QCOMPARE(main.TV->topLevelItemCount(), 2);
    QCOMPARE(main.TV->topLevelItem(0)->text(0), QString::fromStdString(s.NodeText(1)));
    QCOMPARE(main.TV->topLevelItem(1)->text(0), QString::fromStdString(s.NodeText(2)));
    // No attachment: the first entry, the taxpayer's PIT-38, is shown.
    QCOMPARE(s.Current.Number, 1);
    QCOMPARE(main.InfoPit->text(), QStringLiteral("Druk: PIT-38 (Podatnika)"));
    DefinitionLibrary defs(std::string(PIT_BIN_DIR) + "/dc");
    if (defs.HasPage(kPit38, 1)) {
      QCOMPARE(main.FImage->ShownIdPit(), int(kPit38));
      QVERIFY(main.FImage->PictureLoaded());
    } else {
      // Until PIT-38's definition is part of the program its page is missing.
      QVERIFY(!script.boxes.empty());
      QVERIFY(script.boxes.back().text.startsWith(QStringLiteral("Brak wymaganych")));
    }
  }

  void cancelLeavesNothing() {
    ModalScript script;
    auto p = Start();
    QVERIFY(p);
    TTools& main = *p->window;
    script.Deadline(30000);
    ToTheWizard(script);
    script.steps.push_back([&](QWidget* w) -> std::function<void()> {
      auto* k = qobject_cast<TKreator*>(w);
      if (k == nullptr) return {};
      return [k] {
        Click(k->RBTAK);
        Click(k->sCBPitO);
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        Click(k->Yes[kGroupGeneral]);
        QTest::mouseClick(k->Dalej, Qt::LeftButton);
        QTest::mouseClick(k->Anuluj, Qt::LeftButton);
      };
    });
    main.Nowe1Click();
    QVERIFY(script.steps.empty());
    QVERIFY(!p->ctx.settlement.IsOpen());
    QVERIFY(!p->ctx.settlement.DocumentModified);
    QCOMPARE(main.TV->topLevelItemCount(), 0);
    QVERIFY(!main.ToolSave->isEnabled());
    QVERIFY(!main.ToolSend->isEnabled());
  }

  // The boxes of a one-box-only question act as one choice; "TAK" without a
  // box is refused with its message.
  void boxesOfTheAnswerColumn() {
    AppContext ctx;
    ctx.programFolder = PIT_BIN_DIR;
    TKreator k(ctx);
    k.show();
    QVERIFY(QTest::qWaitForWindowExposed(&k));
    Click(k.RBNIE);
    QTest::mouseClick(k.Dalej, Qt::LeftButton);
    QStringList titles;
    AnswerUntilEnd(&k, {}, &titles);  // nothing chosen: the empty page
    QCOMPARE(k.WBPytanie->source().fileName(), QStringLiteral("empty.html"));
    QVERIFY(!k.Zakoncz->isEnabled() && !k.Dalej->isEnabled() && k.Wstecz->isEnabled());
    QVERIFY(!k.PAnswers->isVisible());
    while (k.Logic().Page() > 1) QTest::mouseClick(k.Wstecz, Qt::LeftButton);

    ModalScript script;
    const Answers answers = {{kPit37, {{kGroupGeneral}, {}}}, {kPit28, {{kGroupGeneral}, {}}}};
    while (k.Logic().Record(k.Logic().Page()).IdPit != kPitD) {
      const int idPit = k.Logic().Record(k.Logic().Page()).IdPit;
      Click(answers.count(idPit) ? k.Yes[kGroupGeneral] : k.No[kGroupGeneral]);
      QTest::mouseClick(k.Dalej, Qt::LeftButton);
    }
    QCheckBox* const* boxes = k.Boxes[kGroupGeneral];
    QVERIFY(boxes[0]->isVisible() && !boxes[1]->isVisible() && boxes[2]->isVisible());
    QCOMPARE(boxes[0]->text(), QStringLiteral("PIT-28"));
    QCOMPARE(boxes[2]->text(), QStringLiteral("PIT-37"));
    QVERIFY(!boxes[0]->isEnabled());
    QVERIFY(k.Labels[kGroupGeneral]->isVisible());
    Click(k.Yes[kGroupGeneral]);
    QVERIFY(boxes[0]->isEnabled() && !boxes[0]->isChecked() && !boxes[2]->isChecked());
    QTest::mouseClick(k.Dalej, Qt::LeftButton);
    QTRY_COMPARE(script.boxes.size(), std::size_t(1));
    QCOMPARE(script.boxes[0].title, QStringLiteral("UWAGA"));
    QCOMPARE(script.boxes[0].text,
             QStringLiteral("Nie zaznaczono żadnego zezenania. Udziel odpowiedzi i spróbuj ponownie."));
    QCOMPARE(k.Logic().Record(k.Logic().Page()).IdPit, int(kPitD));
    Click(boxes[0]);
    Click(boxes[2]);
    QVERIFY(!boxes[0]->isChecked() && boxes[2]->isChecked());
    Click(boxes[2]);  // pressing the ticked box keeps it the choice
    QVERIFY(boxes[2]->isChecked());
    Click(k.No[kGroupGeneral]);
    QVERIFY(!boxes[2]->isEnabled());
    Click(k.Yes[kGroupGeneral]);
    QTest::mouseClick(k.Dalej, Qt::LeftButton);
    const Settlement& s = ctx.settlement;
    QCOMPARE(s.FindEntry(kPitD, s.FindEntry(kPit37, 0, 0), 0), s.Count());
    k.reject();
    QVERIFY(!s.IsOpen());
  }

  // Every question page, and the end pages, beside the answer column at the
  // wizard's size: nothing to scroll.
  void everyPageFitsBesideTheAnswers() {
    AppContext ctx;
    ctx.programFolder = PIT_BIN_DIR;
    TKreator k(ctx);
    k.show();
    QVERIFY(QTest::qWaitForWindowExposed(&k));
    // Its design size, or on a smaller screen (the offscreen one is 800
    // wide) what the screen holds.
    const QSize room = k.screen()->availableGeometry().size();
    QCOMPARE(k.height(), 482);
    QCOMPARE(k.width(), std::min(876, room.width() - 16));
    Click(k.RBNIE);
    QTest::mouseClick(k.Dalej, Qt::LeftButton);
    QVERIFY(k.PAnswers->isVisible());
    const QDir alg(QString::fromStdString(ctx.Folder("alg")));
    QStringList files;
    const int counts[3] = {20, 17, 17};
    for (int kind = 0; kind < 3; ++kind) {
      for (int n = 1; n <= counts[kind]; ++n) files << QStringLiteral("%1.%2.html").arg(kind + 1).arg(n);
    }
    files << QStringLiteral("end.html") << QStringLiteral("empty.html");
    for (const QString& f : files) {
      QVERIFY2(alg.exists(f), qPrintable(f));
      k.WBPytanie->setSource(QUrl::fromLocalFile(alg.filePath(f)));
      QApplication::processEvents();
      QVERIFY2(k.WBPytanie->verticalScrollBar()->maximum() == 0, qPrintable(f + " needs scrolling"));
      QVERIFY2(k.WBPytanie->horizontalScrollBar()->maximum() == 0, qPrintable(f));
      // The shared stylesheet was applied: the question is the large line.
      QVERIFY2(k.WBPytanie->toHtml().contains(QStringLiteral("font-size:14pt")), qPrintable(f));
    }
    k.reject();
  }
};

}  // namespace pit::ui::test

int main(int argc, char** argv) {
  static QTemporaryDir home;
  pit::testsupport::UseOwnHomeFolders(home.path());
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  pit::ui::test::KreatorTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "kreator_test.moc"
