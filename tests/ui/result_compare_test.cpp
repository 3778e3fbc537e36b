// The result bar under the page bar and "Porównaj sposoby rozliczenia…" in
// the main window, driven as the user drives them.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "compare/methods.h"
#include "forms/definition_library.h"
#include "ui/app/app_context.h"
#include "ui/app/compare_window.h"
#include "ui/app/method_commands.h"
#include "ui/app/result_bar.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "../support/box_answerer.h"
#include "../support/program_folder.h"
#include "../support/window_driver.h"

using namespace pit;
using pit::ui::TTools;

class ResultCompareTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString program_;

  QString File(const QString& name) const { return dir_.filePath(name); }

  std::unique_ptr<testsupport::StartedProgram> Start(const QStringList& args) {
    auto st = testsupport::StartProgram(program_, args, {QSize(1280, 1000)});
    return st->active && st->showed ? std::move(st) : nullptr;
  }

  // A PIT-37 alone, of settlement kind `kind`, with the values given.
  void MakePit37File(const QString& path, int kind, const std::map<int, std::string>& values) {
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    Settlement s;
    s.Kind = kind;
    s.SpouseIdKind = kind == kJoint ? kIdNip : kIdNone;
    s.AddEntry(kPit37, 0, kPmNone, kind);
    s.RebuildTree(defs);
    for (const auto& [k, v] : values) s.Write(1, k, v);
    QVERIFY(SaveSettlement(s, path.toStdString()).ok);
  }

  static ui::MethodCommands& Commands(TTools& w) { return *w.findChild<ui::MethodCommands*>(); }
  static std::string Value(TTools& w, int entry, int field) {
    return w.Context().settlement.Entry(entry).Slots()[static_cast<std::size_t>(field)].Value;
  }
  // The PIT-37 at the page of `field`, the value typed and committed with Tab.
  void TypeAndTab(TTools& w, int field, const QString& text) { QVERIFY(testsupport::TypeAndCommit(w, 1, field, text)); }
  static void Shot(QWidget* w, const char* name) {
    const QByteArray dir = qgetenv("PIT_SHOTS");
    if (!dir.isEmpty()) w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
  }
  static QString Cell(const ui::TPorownanie& win, TaxMethod m, int column) {
    const QTableWidgetItem* item = win.Tabela->item(static_cast<int>(m), column);
    return item ? item->text() : QString();
  }

  // The joint return of a couple earning 120 000 and 10 000 zł, 20 000 zł
  // withheld from the taxpayer, 100 zł of the 1% for an organisation.
  std::map<int, std::string> Couple() const {
    return {{36, "120000,00"}, {37, "1335,00"}, {40, "20000,00"}, {63, "10000,00"}, {64, "1335,00"},
            {131, "0000127204"}, {132, "100,00"}};
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    program_ = testsupport::MakeProgramFolder(dir_.path(), QStringLiteral("program"), {kPit37});
  }

  // The bar shows the joint return's outcome, follows a commit, its undo
  // and its redo at once, tells each person's part on hover, and a click on
  // an amount opens the field it comes from.
  void resultBarFollowsTheReturn() {
    const QString path = File(QStringLiteral("bar.dc2014"));
    MakePit37File(path, kJoint, Couple());
    testsupport::BoxAnswerer watcher;
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    ui::ResultBar* bar = Commands(w).Bar();
    QVERIFY(bar != nullptr);
    w.SelectEntry(1);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->Title()->text(), QStringLiteral("PIT-37 (razem z małżonkiem):"));
    QCOMPARE(bar->TaxDue()->text(), QStringLiteral("Podatek należny: 21807,00 zł"));
    QCOMPARE(bar->Advances()->text(), QStringLiteral("Zaliczki: 20000,00 zł"));
    QCOMPARE(bar->Balance()->text(), QStringLiteral("Do zapłaty: 1807,00 zł"));
    QCOMPARE(bar->OnePercent()->text(), QStringLiteral("1% dla Fundacja Radia ZET: 100,00 zł"));
    QVERIFY(!bar->PaidBack()->isVisible());
    QCOMPARE(bar->toolTip(), QStringLiteral("Podatnik: dochód 118665,00 zł, zaliczki 20000,00 zł\n"
                                            "Małżonek: dochód 8665,00 zł, zaliczki 0,00 zł"));
    Shot(&w, "wynik_pasek.png");

    // 128 665 + 8 665 zł jointly: twice the tax on 68 665 zł.
    TypeAndTab(w, 36, QStringLiteral("130000"));
    QCOMPARE(bar->TaxDue()->text(), QStringLiteral("Podatek należny: 23607,00 zł"));
    QCOMPARE(bar->Balance()->text(), QStringLiteral("Do zapłaty: 3607,00 zł"));
    TypeAndTab(w, 40, QStringLiteral("25000"));
    QCOMPARE(bar->Balance()->text(), QStringLiteral("Nadpłata: 1393,00 zł"));
    auto* undo = w.findChild<QAction*>(QStringLiteral("Cofnij1"));
    auto* redo = w.findChild<QAction*>(QStringLiteral("Ponow1"));
    QVERIFY(undo != nullptr && redo != nullptr);
    undo->trigger();
    QCOMPARE(bar->Balance()->text(), QStringLiteral("Do zapłaty: 3607,00 zł"));
    undo->trigger();
    QCOMPARE(bar->TaxDue()->text(), QStringLiteral("Podatek należny: 21807,00 zł"));
    redo->trigger();
    QCOMPARE(bar->TaxDue()->text(), QStringLiteral("Podatek należny: 23607,00 zł"));

    // A click on an amount: its page shown, its field opened.
    w.PitPrevPageEnd->click();
    QCOMPARE(st->ctx.settlement.Current.Page, 1);
    QTest::mouseClick(bar->TaxDue(), Qt::LeftButton);
    QCOMPARE(st->ctx.settlement.Current.Page, w.Form()->Fields()[113].Page);
    QCOMPARE(w.Form()->EditedObject(), 113);
    QTest::mouseClick(bar->OnePercent(), Qt::LeftButton);
    QCOMPARE(w.Form()->EditedObject(), 132);
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Texts().join(QLatin1Char('|'))));

    QVERIFY(w.SaveDocument(path));
    w.MenuClose->trigger();
    QVERIFY(!st->ctx.settlement.IsOpen());
    QVERIFY(!bar->isVisible());
  }

  // The window shows the options with the cheapest marked; "Zastosuj" makes
  // the single parent's method the settlement's, one step "Cofnij" takes back.
  void compareAndApplySingleParent() {
    const QString path = File(QStringLiteral("samotny.dc2014"));
    MakePit37File(path, kIndividual, {{36, "60000,00"}, {37, "1335,00"}, {40, "9000,00"}});
    testsupport::BoxAnswerer watcher;
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    w.SelectEntry(1);
    ui::MethodCommands& mc = Commands(w);
    QAction* item = mc.CompareAction();
    QCOMPARE(item->text(), QStringLiteral("Porównaj sposoby rozliczenia…"));
    auto* menu = qobject_cast<QMenu*>(w.MenuImport->parent());
    QVERIFY(menu != nullptr && menu->actions().contains(item));
    QCOMPARE(menu->title(), QStringLiteral("Rozliczenie"));
    item->trigger();
    ui::TPorownanie* win = mc.Window();
    QVERIFY(win != nullptr && win->isVisible());
    constexpr int kTotal = 4, kDifference = 7, kNote = 8;
    QCOMPARE(Cell(*win, TaxMethod::Individual, kTotal), QStringLiteral("10004,00 zł"));
    QCOMPARE(Cell(*win, TaxMethod::SingleParent, kTotal), QStringLiteral("9448,00 zł"));
    QCOMPARE(Cell(*win, TaxMethod::SingleParent, kDifference), QStringLiteral("-556,00 zł"));
    QVERIFY(Cell(*win, TaxMethod::SingleParent, kNote).contains(QStringLiteral("najkorzystniejszy")));
    QVERIFY(Cell(*win, TaxMethod::Individual, kNote).contains(QStringLiteral("obecny sposób")));
    QVERIFY(Cell(*win, TaxMethod::Joint, kNote).contains(QStringLiteral("małżonka")));
    QVERIFY(!(win->Tabela->item(static_cast<int>(TaxMethod::Joint), 0)->flags() & Qt::ItemIsEnabled));
    QCOMPARE(win->Chosen(), std::optional<TaxMethod>(TaxMethod::SingleParent));
    QVERIFY(win->Zastosuj->isEnabled());
    Shot(win, "porownanie.png");

    QTest::mouseClick(win->Zastosuj, Qt::LeftButton);
    Settlement& s = st->ctx.settlement;
    QCOMPARE(s.Kind, int(kSingleParent));
    QCOMPARE(s.Entry(1).Kind, int(kSingleParent));
    QCOMPARE(Value(w, 1, 113), std::string("9448,00"));
    QVERIFY(s.Entry(1).Slots()[6].CheckState);
    QVERIFY(s.DocumentModified);
    QCOMPARE(Commands(w).Bar()->TaxDue()->text(), QStringLiteral("Podatek należny: 9448,00 zł"));
    // The table follows: the method now current, nothing to apply.
    QVERIFY(Cell(*win, TaxMethod::SingleParent, kNote).contains(QStringLiteral("obecny sposób")));
    QVERIFY(!win->Zastosuj->isEnabled());

    w.findChild<QAction*>(QStringLiteral("Cofnij1"))->trigger();
    QCOMPARE(s.Kind, int(kIndividual));
    QCOMPARE(Value(w, 1, 113), std::string("10004,00"));
    QVERIFY(!s.Entry(1).Slots()[6].CheckState);
    QVERIFY(!s.DocumentModified);
    QCOMPARE(Commands(w).Bar()->TaxDue()->text(), QStringLiteral("Podatek należny: 10004,00 zł"));
    QVERIFY2(watcher.boxes.isEmpty(), qPrintable(watcher.Texts().join(QLatin1Char('|'))));
    win->close();
  }

  // A couple filing separately: asked first, the spouse's forms written to
  // a settlement of the spouse's own, the taxpayer's kept here.
  void applySeparateFilingToACouple() {
    const QString path = File(QStringLiteral("para.dc2014"));
    MakePit37File(path, kJoint, Couple());
    testsupport::BoxAnswerer watcher(QMessageBox::Yes);
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    w.SelectEntry(1);
    ui::MethodCommands& mc = Commands(w);
    const QString spousePath = File(QStringLiteral("malzonek.dc2014"));
    mc.SetSpouseFileChooser([&] { return spousePath; });
    mc.CompareAction()->trigger();
    ui::TPorownanie* win = mc.Window();
    QVERIFY(win != nullptr);
    QCOMPARE(Cell(*win, TaxMethod::Individual, 1), QStringLiteral("25443,00 zł"));
    QCOMPARE(Cell(*win, TaxMethod::Individual, 2), QStringLiteral("1004,00 zł"));
    QCOMPARE(Cell(*win, TaxMethod::Individual, 4), QStringLiteral("26447,00 zł"));
    QCOMPARE(Cell(*win, TaxMethod::Joint, 3), QStringLiteral("21807,00 zł"));
    QVERIFY(Cell(*win, TaxMethod::Joint, 8).contains(QStringLiteral("najkorzystniejszy")));
    QVERIFY(!win->Zastosuj->isEnabled());  // the cheapest is the current one
    Shot(win, "porownanie_para.png");

    win->Tabela->selectRow(static_cast<int>(TaxMethod::Individual));
    QVERIFY(win->Zastosuj->isEnabled());
    QTest::mouseClick(win->Zastosuj, Qt::LeftButton);
    QVERIFY2(watcher.Texts().size() == 2, qPrintable(watcher.Texts().join(QLatin1Char('|'))));
    QVERIFY(watcher.Texts()[0].contains(QStringLiteral("Czy rozdzielić rozliczenie")));
    QVERIFY(watcher.Texts()[1].contains(spousePath));

    Settlement& s = st->ctx.settlement;
    QCOMPARE(s.Kind, int(kIndividual));
    QCOMPARE(s.Count(), 1);
    QCOMPARE(Value(w, 1, 36), std::string("120000,00"));
    QCOMPARE(Value(w, 1, 63), std::string(""));
    QCOMPARE(Value(w, 1, 113), std::string("25443,00"));
    QCOMPARE(Value(w, 1, 131), std::string("0000127204"));
    QVERIFY(s.DocumentModified);

    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    Settlement spouse;
    QVERIFY(LoadSettlement(spousePath.toStdString(), spouse, defs).ok);
    QCOMPARE(spouse.Kind, int(kIndividual));
    QCOMPARE(spouse.Count(), 1);
    QCOMPARE(spouse.Entry(1).Slots()[36].Value, std::string("10000,00"));
    QCOMPARE(spouse.Entry(1).Slots()[113].Value, std::string("1004,00"));
    QVERIFY(spouse.Entry(1).ReturnGuid != s.Entry(1).ReturnGuid);
    win->close();
  }
};

QTEST_MAIN(ResultCompareTest)
#include "result_compare_test.moc"
