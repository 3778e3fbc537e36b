// The import window driven as a user drives it: a .dc2013 file chosen,
// the persons shown, swapped and ticked, "importuj" and "zamknij".
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "forms/pit11_fields.h"
#include "forms/pit37_fields.h"
#include "selection_ui/modal_script.h"
#include "support/dc2013_file.h"
#include "ui/app/app_context.h"
#include "support/own_home.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/import/tfimportdane.h"
#include "ui/update/tfpomoc.h"
#include "ui/update/tinfo.h"

namespace pit::ui::test {

namespace {

using testsupport::JointPit37;
using testsupport::OldRecord;

struct Rig {
  QTemporaryDir dir;
  AppContext ctx;
  std::unique_ptr<TFImportDane> window;
  QString file;
  int imported = 0;
  int pit37 = 0;

  Rig(int kind, int taxpayerIdKind, int spouseIdKind, const std::vector<OldRecord>& records) {
    Settlement& s = ctx.settlement;
    s.Open();
    s.Kind = kind;
    s.TaxpayerIdKind = taxpayerIdKind;
    s.SpouseIdKind = spouseIdKind;
    pit37 = s.AddEntry(kPit37, 0, kPmNone, kind);
    file = dir.path() + QStringLiteral("/2013.dc2013");
    testsupport::WriteOldFile(file.toStdString(), records, 333);
    window = std::make_unique<TFImportDane>(ctx);
    window->askFileName = [this] { return file; };
    window->imported = [this] { ++imported; };
    window->show();
  }
  void Read() { QTest::mouseClick(window->SBWskazRozliczenie, Qt::LeftButton); }
  const std::string& Field(int k) const { return ctx.settlement.Entry(pit37).Slots()[static_cast<std::size_t>(k)].Value; }
};

// A click on the box itself, wherever the layout stretched the control.
void Tick(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); }

}  // namespace

class ImportWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void jointFileFillsBothPersonsAndImportReachesTheForms();
  void closingWithoutImportKeepsTheSettlementsData();
  void mismatchIsToldAndChangingTheIdentifierRefreshesIt();
  void payerFormBringsThePayerPageAndItsWarning();
  void arrowsSwapThePersonsAndTheSpouseBoxFollowsTheKind();
  void missingFileIsTold();
  void unusableFileOrValuesLeaveTheSettlementsData();
  void mainWindowCommandsOpenTheirWindows();
};

void ImportWindowTest::jointFileFillsBothPersonsAndImportReachesTheForms() {
  Rig rig(kJoint, kIdNip, kIdPesel, {JointPit37()});
  TFImportDane& w = *rig.window;
  QCOMPARE(w.windowTitle(), QStringLiteral("Pobierz dane identyfikacyjne"));
  QCOMPARE(w.PageControl->currentWidget(), w.TSInformacja);
  QVERIFY(!w.BImportuj->isEnabled());
  QVERIFY(w.CBDaneMalzonka->isEnabled());
  ModalScript script;
  script.Deadline(20000);
  rig.Read();
  QVERIFY(script.boxes.empty());  // no mismatch
  QCOMPARE(w.PageControl->currentWidget(), w.TSDane);
  QCOMPARE(w.EPathImport->text(), rig.file);
  QCOMPARE(w.PRight->currentWidget(), w.TSMalzonek);
  QCOMPARE(w.Podatnik.idLabel->text(), QStringLiteral("Identyfikator podatnika - NIP: "));
  QCOMPARE(w.Podatnik.idValue->text(), QStringLiteral("1234563218"));
  QCOMPARE(w.Podatnik.office->text(), QStringLiteral("[0202] URZĄD SKARBOWY W BOLESŁAWCU"));
  QCOMPARE(w.Podatnik.name->text(), QStringLiteral("JAN NOWAK"));
  QCOMPARE(w.Podatnik.street->text(), QStringLiteral("OGRODOWA 12/3"));
  QCOMPARE(w.Podatnik.locality->text(), QStringLiteral("59-700 BOLESŁAWIEC"));
  QCOMPARE(w.Malzonek.idLabel->text(), QStringLiteral("Identyfikator małżonka - PESEL: "));
  QCOMPARE(w.Malzonek.idValue->text(), QStringLiteral("80010112340"));
  QCOMPARE(w.Malzonek.name->text(), QStringLiteral("ANNA NOWAK"));
  QVERIFY(!w.SBPZmienIdentyfikator->isVisible());

  Tick(w.CBDanePodatnika);
  QVERIFY(w.BImportuj->isEnabled());
  Tick(w.CBDaneMalzonka);
  QTest::mouseClick(w.BImportuj, Qt::LeftButton);
  QVERIFY(!w.isVisible());
  QCOMPARE(rig.imported, 1);
  QCOMPARE(rig.ctx.ids.Taxpayer.Surname, std::string("NOWAK"));
  QCOMPARE(rig.ctx.ids.Spouse.PESEL, std::string("80010112340"));
  // The forms carry the data: the joint PIT-37's two persons.
  QCOMPARE(rig.Field(0), std::string("1234563218"));
  QCOMPARE(rig.Field(1), std::string("80010112340"));
  QCOMPARE(rig.Field(24), std::string("ANNA"));
  QCOMPARE(rig.Field(7), std::string("URZĄD SKARBOWY W BOLESŁAWCU"));
}

void ImportWindowTest::closingWithoutImportKeepsTheSettlementsData() {
  Rig rig(kIndividual, kIdNip, kIdNone, {JointPit37()});
  rig.ctx.ids.Taxpayer.Surname = "KOWALSKI";
  rig.ctx.ids.Taxpayer.NIP = "5260250274";
  DistributeIdentification(rig.ctx.settlement, rig.ctx.ids);
  ModalScript script;
  script.Deadline(20000);
  rig.Read();
  QCOMPARE(rig.window->Podatnik.name->text(), QStringLiteral("JAN NOWAK"));
  Tick(rig.window->CBDanePodatnika);
  QTest::mouseClick(rig.window->BZamknij, Qt::LeftButton);
  QVERIFY(!rig.window->isVisible());
  QCOMPARE(rig.imported, 0);
  QCOMPARE(rig.ctx.ids.Taxpayer.Surname, std::string("KOWALSKI"));
  QCOMPARE(rig.Field(10), std::string("KOWALSKI"));
  QCOMPARE(rig.Field(0), std::string("5260250274"));
  // Opened again: it starts afresh on the information page.
  rig.window->show();
  QCOMPARE(rig.window->PageControl->currentWidget(), rig.window->TSInformacja);
  QVERIFY(rig.window->EPathImport->text().isEmpty());
  QVERIFY(!rig.window->CBDanePodatnika->isChecked());
}

void ImportWindowTest::mismatchIsToldAndChangingTheIdentifierRefreshesIt() {
  Rig rig(kIndividual, kIdPesel, kIdNone, {JointPit37()});
  TFImportDane& w = *rig.window;
  int asked = 0;
  w.changeIdentifiers = [&] {
    ++asked;
    rig.ctx.settlement.TaxpayerIdKind = kIdNip;  // the user chose NIP on the selection screen
    return true;
  };
  ModalScript script;
  script.Deadline(20000);
  // The text breaks its own lines: none of them is broken again by the
  // box, which would leave a word or two alone on a line.
  QStringList brokenAgain;
  script.onBox = [&brokenAgain](QMessageBox* box) {
    const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    if (label == nullptr) return brokenAgain.append(QStringLiteral("no label"));
    const QFontMetrics metrics(label->font());
    // (a line longer than the screen allows is broken all the same)
    const int screen = box->screen()->availableGeometry().width();
    for (const QString& line : box->text().split(QLatin1Char('\n')))
      if (metrics.horizontalAdvance(line) > label->contentsRect().width() && metrics.horizontalAdvance(line) < screen - 200)
        brokenAgain.append(line);
  };
  rig.Read();
  QVERIFY2(brokenAgain.isEmpty(), qPrintable(brokenAgain.join(QLatin1Char('|'))));
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QVERIFY(script.boxes[0].text.startsWith(QStringLiteral("Uwaga\n\nIstnieje rozbieżność")));
  QVERIFY(script.boxes[0].text.contains(QStringLiteral("\n - podatnika \n\n")));
  QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);
  QVERIFY(w.SBPZmienIdentyfikator->isVisible());
  QTest::mouseClick(w.SBPZmienIdentyfikator, Qt::LeftButton);
  QCOMPARE(asked, 1);
  QVERIFY(!w.SBPZmienIdentyfikator->isVisible());
  Tick(w.CBDanePodatnika);
  QTest::mouseClick(w.BImportuj, Qt::LeftButton);
  QCOMPARE(rig.ctx.ids.Taxpayer.NIP, std::string("1234563218"));
  QCOMPARE(rig.Field(0), std::string("1234563218"));

  // Left as it was: "importuj" takes all but the NIP.
  Rig kept(kIndividual, kIdPesel, kIdNone, {JointPit37()});
  kept.Read();
  Tick(kept.window->CBDanePodatnika);
  QTest::mouseClick(kept.window->BImportuj, Qt::LeftButton);
  QCOMPARE(kept.ctx.ids.Taxpayer.NIP, std::string());
  QCOMPARE(kept.ctx.ids.Taxpayer.Surname, std::string("NOWAK"));
}

void ImportWindowTest::payerFormBringsThePayerPageAndItsWarning() {
  OldRecord old11;
  old11.idPit = kPit11;
  old11.values = {{pit11::payer_nip, "5260250274"},
                  {pit11::payer_person, "X"},
                  {pit11::payer_name, "FIRMA SP. Z O.O., 012345678"},
                  {pit11::taxpayer_id, "1234563218"},
                  {pit11::surname, "NOWAK"}};
  old11.ticks = {pit11::payer_person};
  Rig rig(kPayerForms, kIdNip, kIdNone, {old11});
  TFImportDane& w = *rig.window;
  ModalScript script;
  script.Deadline(20000);
  rig.Read();
  QCOMPARE(w.PRight->currentWidget(), w.TSPlatnik);
  QCOMPARE(w.PlatnikNip->text(), QStringLiteral("5260250274"));
  QCOMPARE(w.PlatnikNazwa->text(), QStringLiteral("FIRMA SP. Z O.O., 012345678"));
  Tick(w.CBDanePlatnika);
  QTest::mouseClick(w.BImportuj, Qt::LeftButton);
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(script.boxes[0].text, QString::fromUtf8(kPayerImportWarning));
  QCOMPARE(rig.ctx.ids.Payer.NIP, std::string("5260250274"));
  QVERIFY(rig.ctx.ids.PayerForm.VariantB);
  QCOMPARE(rig.ctx.ids.Taxpayer.Surname, std::string());  // the employee was not ticked
}

void ImportWindowTest::arrowsSwapThePersonsAndTheSpouseBoxFollowsTheKind() {
  Rig rig(kJoint, kIdNip, kIdPesel, {JointPit37()});
  TFImportDane& w = *rig.window;
  ModalScript script;
  script.Deadline(20000);
  rig.Read();
  QTest::mouseClick(w.SBPdoM, Qt::LeftButton);
  QCOMPARE(w.Podatnik.name->text(), QStringLiteral("ANNA NOWAK"));
  QCOMPARE(w.Malzonek.name->text(), QStringLiteral("JAN NOWAK"));
  QCOMPARE(w.Podatnik.idLabel->text(), QStringLiteral("Identyfikator podatnika - PESEL: "));
  // Both now disagree with the settlement: told, with both buttons.
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QVERIFY(script.boxes[0].text.contains(QStringLiteral("\n - podatnika\n - małżonka")));
  QVERIFY(w.SBPZmienIdentyfikator->isVisible() && w.SBMZmienIdentyfikator->isVisible());
  QTest::mouseClick(w.SBMdoP, Qt::LeftButton);
  QCOMPARE(w.Podatnik.name->text(), QStringLiteral("JAN NOWAK"));
  QCOMPARE(script.boxes.size(), std::size_t(1));

  Rig single(kIndividual, kIdNip, kIdNone, {JointPit37()});
  QVERIFY(!single.window->CBDaneMalzonka->isEnabled());
  QVERIFY(single.window->CBDanePodatnika->isEnabled());
}

void ImportWindowTest::missingFileIsTold() {
  Rig rig(kIndividual, kIdNip, kIdNone, {JointPit37()});
  rig.file = rig.dir.path() + QStringLiteral("/brak.dc2013");
  ModalScript script;
  script.Deadline(20000);
  rig.Read();
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QCOMPARE(script.boxes[0].text, QStringLiteral("Nie ma pliku rozliczeniowego."));
  QVERIFY(rig.window->Podatnik.name->text().isEmpty());
  QVERIFY(!rig.window->BImportuj->isEnabled());
}

// A file with nothing to take is refused before "importuj" can empty the
// settlement; a value that fails its check is not taken and is named.
void ImportWindowTest::unusableFileOrValuesLeaveTheSettlementsData() {
  Rig rig(kIndividual, kIdNip, kIdNone, {JointPit37()});
  rig.ctx.ids.Taxpayer.NIP = "5260250995";
  rig.ctx.ids.Taxpayer.Surname = "KOWALSKA";
  {
    QFile text(rig.file);
    QVERIFY(text.open(QIODevice::WriteOnly | QIODevice::Truncate));
    text.write("to nie jest rozliczenie\n");
  }
  ModalScript script;
  script.Deadline(20000);
  rig.Read();
  QCOMPARE(script.boxes.size(), std::size_t(1));
  QVERIFY2(script.boxes[0].text.contains(QStringLiteral("nie jest rozliczeniem za 2013 r.")),
           qPrintable(script.boxes[0].text));
  QCOMPARE(script.boxes[0].icon, QMessageBox::Warning);
  QVERIFY(!rig.window->BImportuj->isEnabled());
  Tick(rig.window->CBDanePodatnika);
  QTest::mouseClick(rig.window->BImportuj, Qt::LeftButton);
  QCOMPARE(rig.ctx.ids.Taxpayer.NIP, std::string("5260250995"));
  QCOMPARE(rig.ctx.ids.Taxpayer.Surname, std::string("KOWALSKA"));
  QCOMPARE(rig.imported, 0);

  OldRecord wrong = JointPit37();
  wrong.values[pit37::taxpayer_id] = "1234563219";  // the check digit does not agree
  Rig bad(kIndividual, kIdNip, kIdNone, {wrong});
  bad.ctx.ids.Taxpayer.NIP = "5260250995";
  ModalScript& told = script;  // one script: two would race for the same box
  told.boxes.clear();
  bad.Read();
  Tick(bad.window->CBDanePodatnika);
  QTest::mouseClick(bad.window->BImportuj, Qt::LeftButton);
  QCOMPARE(told.boxes.size(), std::size_t(1));
  QVERIFY2(told.boxes[0].text.contains(QStringLiteral("podatnik, NIP: NIP 1234563219 jest błędny")),
           qPrintable(told.boxes[0].text));
  QCOMPARE(bad.ctx.ids.Taxpayer.NIP, std::string("5260250995"));
  QCOMPARE(bad.ctx.ids.Taxpayer.Surname, std::string("NOWAK"));
  QCOMPARE(bad.Field(0), std::string("5260250995"));
  QCOMPARE(bad.imported, 1);
}

void ImportWindowTest::mainWindowCommandsOpenTheirWindows() {
  QTemporaryDir lock;
  AppContext ctx;
  ctx.programFolder = PIT_BIN_DIR;
  TTools tools(ctx, lock.filePath(QStringLiteral("pit.lock")));
  QVERIFY(!tools.Refused());
  tools.show();
  QString importCaption, aboutVersion;
  ModalScript script;
  script.Deadline(20000);
  script.steps.push_back([&](QWidget* modal) -> std::function<void()> {
    auto* w = qobject_cast<TFImportDane*>(modal);
    if (w == nullptr) return {};
    return [&, w] {
      importCaption = w->windowTitle();
      QTest::mouseClick(w->BZamknij, Qt::LeftButton);
    };
  });
  tools.PrzeniesDaneMenuClick();
  QCOMPARE(importCaption, QStringLiteral("Pobierz dane identyfikacyjne"));

  script.steps.push_back([&](QWidget* modal) -> std::function<void()> {
    auto* w = qobject_cast<TInfo*>(modal);
    if (w == nullptr) return {};
    return [&, w] {
      aboutVersion = w->Wersja->text();
      w->accept();
    };
  });
  tools.MenuAbout->trigger();
  QCOMPARE(aboutVersion, QStringLiteral("wersja: ") + QString::fromStdString(ctx.version));

  tools.MenuHelp->trigger();
  QVERIFY(tools.FPomoc->isVisible());
  QCOMPARE(tools.FPomoc->CurrentPage(), QStringLiteral("ncp.html"));
  QVERIFY(script.boxes.empty());  // none of them is "not yet available" any more
}

}  // namespace pit::ui::test

int main(int argc, char** argv) {
  // The main window's configuration and lock go to the test's own folders.
  static QTemporaryDir home;
  pit::testsupport::UseOwnHomeFolders(home.path());
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  pit::ui::test::ImportWindowTest t;
  return QTest::qExec(&t, argc, argv);
}
#include "import_window_test.moc"
