// The form window driven like a user drives it: clicks on the page, keys in
// the editors, answers to its questions.
#include <QMouseEvent>
#include <QCursor>
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "../support/box_answerer.h"
#include "app/headless_display.h"
#include "form_fixture.h"
#include "forms/values.h"
#include "ui/forms/field_editors.h"
#include "ui/forms/opp_panels.h"
#include "ui/forms/pick_panels.h"
#include "ui/forms/tfimage.h"
#include "ui/forms/tfinfo.h"

using namespace pit;
using namespace pit::formtest;
using pit::ui::TFImage;

namespace {

using testsupport::BoxAnswerer;

QString S(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

class TFImageTest : public QObject, FormWindowFixture {
  Q_OBJECT

 private:
  void ClickOutsideFields() { QTest::mouseClick(w->Surface(), Qt::LeftButton, {}, QPoint(780, 1100)); }

  template <typename T>
  T* Editor() {
    return qobject_cast<T*>(w->OpenEditor());
  }
  void Key(QWidget* target, Qt::Key key) {
    QVERIFY(target != nullptr);
    QTest::keyClick(target, key);
  }
  // Pixels of the drawn page inside a field's rectangle.
  QImage FieldPixels(int k) {
    const FieldObject& d = Def(k);
    return w->PageImage().copy(1 + d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top);
  }

 private slots:
  void init() { QVERIFY(OpenWindow()); }
  void cleanup() { CloseWindow(); }

  // Typing revenue and pressing Enter stores it, recomputes the return and
  // redraws the page with the results, and opens the next field.
  void commitCycleUpdatesComputedFields() {
    Show(2);
    QSignalSpy modified(w.get(), &TFImage::modified);
    const QImage incomeBefore = FieldPixels(f::Income);
    Click(f::Revenue);
    auto* box = Editor<ui::TextBox>();
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), QStringLiteral("0,00"));
    QVERIFY(box->hasSelectedText());
    QTest::keyClicks(box, "50000");
    Key(box, Qt::Key_Return);

    QCOMPARE(S(fx->Slot(f::Revenue).Value), QStringLiteral("50000,00"));
    QCOMPARE(S(fx->Slot(f::Income).Value), QStringLiteral("50000,00"));
    QCOMPARE(S(fx->Slot(f::TaxDue).Value), QStringLiteral("8444,00"));
    QCOMPARE(S(fx->Slot(f::ToPay).Value), QStringLiteral("8444,00"));
    QCOMPARE(w->DonationLabel()->text(), QStringLiteral("84,40"));
    QVERIFY(fx->ctx.settlement.DocumentModified);
    QCOMPARE(modified.count(), 1);
    QVERIFY(FieldPixels(f::Income) != incomeBefore);
    // Enter moved on to the costs, the next field in tab order.
    QCOMPARE(w->EditedObject(), f::Costs);
    auto* next = Editor<ui::TextBox>();
    QVERIFY(next != nullptr);
    QCOMPARE(next->geometry(), QRect(Def(f::Costs).Left + 2, Def(f::Costs).Top + 1, 118, 16));
  }

  void tabBehavesAsEnter_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
  }
  void tabBehavesAsEnter() {
    QFETCH(int, key);
    Show(2);
    Click(f::Revenue);
    auto* box = Editor<ui::TextBox>();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, "12.5");
    QCOMPARE(box->text(), QStringLiteral("12,5"));
    QTest::keyClick(box, Qt::Key(key));
    QCOMPARE(S(fx->Slot(f::Revenue).Value), QStringLiteral("12,50"));
    QCOMPARE(w->EditedObject(), f::Costs);
    QVERIFY(Editor<ui::TextBox>() != nullptr);
    QVERIFY(Editor<ui::TextBox>() != box);
  }

  void amountBoxKeys_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("dot typed as comma") << f::Revenue << "12.5" << "12,5" << "12,50";
    QTest::newRow("minus after digits dropped") << f::Revenue << "1-2" << "12" << "12,00";
    QTest::newRow("minus in front kept") << f::Revenue << "-5" << "-5" << "-5,00";
    QTest::newRow("third decimal refused") << f::Revenue << "1,239" << "1,23" << "1,23";
    QTest::newRow("letters refused") << f::Revenue << "1a2b" << "12" << "12,00";
    QTest::newRow("rounded to zloty") << f::Rounded << "1234,5" << "1234,5" << "1235,00";
    QTest::newRow("whole number takes no comma") << f::Whole << "12,5" << "125" << "125";
  }
  void amountBoxKeys() {
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    Show(2);
    Click(field);
    auto* box = Editor<ui::TextBox>();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), shown);
    ClickOutsideFields();
    QCOMPARE(S(fx->Slot(field).Value), stored);
  }

  // Reached by Tab, an amount box shows its zero selected. A click into it,
  // wherever it lands, and 500 typed give 500,00: the zero never joins what
  // is typed (5 000,00). A box holding an amount places the caret as usual.
  void clickIntoAmountBoxShowingZero_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<double>("at");  // where the click lands, a share of the box's width
    QTest::addColumn<QString>("stored");
    QTest::newRow("zero, left part") << "0,00" << 0.05 << "500,00";
    QTest::newRow("zero, middle") << "0,00" << 0.5 << "500,00";
    QTest::newRow("zero, on its digits") << "0,00" << 0.97 << "500,00";
    QTest::newRow("zero without grosze") << "0" << 0.05 << "500,00";
    QTest::newRow("amount, caret in front") << "12,00" << 0.05 << "50012,00";
  }
  void clickIntoAmountBoxShowingZero() {
    QFETCH(QString, before);
    QFETCH(double, at);
    QFETCH(QString, stored);
    fx->Set(f::Costs, before.toStdString());
    Show(2);
    Click(f::Revenue);
    QTest::keyClick(Editor<ui::TextBox>(), Qt::Key_Tab);
    QCOMPARE(w->EditedObject(), f::Costs);
    auto* box = Editor<ui::TextBox>();
    QVERIFY(box != nullptr);
    QCOMPARE(box->selectedText(), before);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(static_cast<int>(box->width() * at), box->height() / 2));
    QTest::keyClicks(box, "500");
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(S(fx->Slot(f::Costs).Value), stored);
  }

  // Boxes with one name form a group: the click shows the new tick at once,
  // the commit (here: a click elsewhere) clears the other boxes of the group.
  void tickGroupRule() {
    Show(1);
    Click(f::GroupA);
    auto* panel = Editor<ui::TickPanel>();
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->Caption()->text(), QStringLiteral("X"));
    QVERIFY(!fx->Slot(f::GroupA).CheckState);

    Click(f::GroupB);
    QVERIFY(fx->Slot(f::GroupA).CheckState);
    QCOMPARE(S(fx->Slot(f::GroupA).Value), QStringLiteral("1"));
    QCOMPARE(Editor<ui::TickPanel>()->Caption()->text(), QStringLiteral("X"));

    ClickOutsideFields();
    QVERIFY(w->OpenEditor() == nullptr);
    QVERIFY(fx->Slot(f::GroupB).CheckState);
    QCOMPARE(S(fx->Slot(f::GroupB).Value), QStringLiteral("2"));
    QVERIFY(!fx->Slot(f::GroupA).CheckState);
    QCOMPARE(S(fx->Slot(f::GroupA).Value), QString());
    // The unticked member of a ticked group is not drawn at all.
    const QImage a = FieldPixels(f::GroupA);
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) QCOMPARE(a.pixelColor(x, y), QColor(Qt::white));

    // Space in the panel toggles and commits; Enter then moves on without
    // committing anything more.
    Click(f::GroupB);  // shows the reverse: empty
    auto* again = Editor<ui::TickPanel>();
    QCOMPARE(again->Caption()->text(), QString());
    Key(again->Input(), Qt::Key_Space);
    QCOMPARE(again->Caption()->text(), QStringLiteral("X"));
    QVERIFY(fx->Slot(f::GroupB).CheckState);
    Key(again->Input(), Qt::Key_Return);
    QCOMPARE(w->EditedObject(), f::Surname);
    QVERIFY(fx->Slot(f::GroupB).CheckState);
  }

  void maskedBoxes_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("natural person NIP") << f::Nip << "1234567890" << "123-456-78-90";
    QTest::newRow("legal person NIP") << f::LegalNip << "1234567890" << "123-45-67-890";
    QTest::newRow("date") << f::Birth << "01022014" << "01-02-2014";
    QTest::newRow("empty NIP") << f::Nip << "" << "___-___-__-__";
  }
  void maskedBoxes() {
    QFETCH(int, field);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    Show(1);
    fx->Set(field, stored.toStdString());
    Click(field);
    auto* box = Editor<ui::MaskedBox>();
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), shown);
  }

  // Digits typed into an empty box fill the digit positions around the
  // dashes; the commit stores the text with its dashes.
  void maskedBoxTypingInsertsDashes() {
    Show(1);
    Click(f::Nip);
    auto* box = Editor<ui::MaskedBox>();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, "52a6025");
    QCOMPARE(box->text(), QStringLiteral("526-025-__-__"));
    QTest::keyClicks(box, "0995");
    QCOMPARE(box->Masked(), QStringLiteral("526-025-09-95"));
    Key(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("526-025-09-9_"));
    QTest::keyClicks(box, "5");
    Key(box, Qt::Key_Return);
    QCOMPARE(S(fx->Slot(f::Nip).Value), QStringLiteral("526-025-09-95"));

    // A date with a digit left blank is no date: it is refused with a word
    // and the stored date stays, rather than being emptied unasked.
    fx->Set(f::Birth, "01022014");
    Click(f::Birth);
    auto* date = Editor<ui::MaskedBox>();
    QVERIFY(date != nullptr);
    Key(date, Qt::Key_Home);
    Key(date, Qt::Key_Delete);
    QCOMPARE(date->text(), QStringLiteral("_1-02-2014"));
    BoxAnswerer answerer;
    Key(date, Qt::Key_Return);
    QCOMPARE(answerer.Texts().size(), 1);
    QVERIFY2(answerer.Texts()[0].contains(QStringLiteral("niepełna")), qPrintable(answerer.Texts()[0]));
    // The blank is named as the box shows it, not as a gap in the sentence.
    QVERIFY2(answerer.Texts()[0].contains(QStringLiteral("Data _1-02-2014 jest")), qPrintable(answerer.Texts()[0]));
    QCOMPARE(S(fx->Slot(f::Birth).Value), QStringLiteral("01022014"));
    QCOMPARE(w->EditedObject(), f::Birth);
  }

  // A NIP or a birth date that cannot be right is refused with a message
  // that says why; the field keeps its value and stays open for the
  // correction, which is then taken.
  void identifiersAndDatesAreChecked_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("wrong");
    QTest::addColumn<QString>("says");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("stored");
    QTest::newRow("NIP check digit") << f::Nip << "1234567890" << "cyfra kontrolna" << "5260250995" << "526-025-09-95";
    QTest::newRow("legal person NIP") << f::LegalNip << "5260250996" << "cyfra kontrolna" << "5260250995"
                                      << "526-02-50-995";
    QTest::newRow("birth date beyond the years") << f::Birth << "31029999" << "między 1900 a 2014" << "28021999"
                                                 << "28-02-1999";
    QTest::newRow("birth date not in the calendar") << f::Birth << "31021999" << "nie istnieje" << "01031999"
                                                    << "01-03-1999";
  }
  void identifiersAndDatesAreChecked() {
    QFETCH(int, field);
    QFETCH(QString, wrong);
    QFETCH(QString, says);
    QFETCH(QString, right);
    QFETCH(QString, stored);
    Show(1);
    Click(field);
    auto* box = Editor<ui::MaskedBox>();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, wrong);
    {
      BoxAnswerer answerer;
      Key(box, Qt::Key_Return);
      QCOMPARE(answerer.Texts().size(), 1);
      QVERIFY2(answerer.Texts()[0].contains(says), qPrintable(answerer.Texts()[0]));
      QCOMPARE(answerer.boxes[0].icon, QMessageBox::Warning);
    }
    QCOMPARE(S(fx->Slot(field).Value), QString());
    QVERIFY(!fx->ctx.settlement.DocumentModified);
    QCOMPARE(w->EditedObject(), field);
    box = Editor<ui::MaskedBox>();
    QVERIFY(box != nullptr);
    box->selectAll();
    QTest::keyClicks(box, right);
    Key(box, Qt::Key_Return);
    QCOMPARE(S(fx->Slot(field).Value), stored);
    QVERIFY(fx->ctx.settlement.DocumentModified);
  }

  // A birth date that contradicts the PESEL is stored, and a box says so.
  void birthDateContradictingThePeselIsKeptWithAWarning() {
    fx->ctx.settlement.TaxpayerIdKind = kIdPesel;
    fx->Set(f::Nip, "44051401359");
    Show(1);
    Click(f::Birth);
    auto* box = Editor<ui::MaskedBox>();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, "15051944");
    {
      BoxAnswerer answerer;
      Key(box, Qt::Key_Return);
      QCOMPARE(answerer.Texts().size(), 1);
      QVERIFY2(answerer.Texts()[0].contains("nie zgadza się z numerem PESEL 44051401359, z którego wynika 14-05-1944"),
               qPrintable(answerer.Texts()[0]));
      // Something is wrong (though kept): the warning sign, not the "i".
      QCOMPARE(answerer.boxes[0].icon, QMessageBox::Warning);
    }
    QCOMPARE(S(fx->Slot(f::Birth).Value), QStringLiteral("15-05-1944"));
  }

  void pageQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No reopens the field") << false;
    QTest::newRow("Yes goes to page 2") << true;
  }
  void pageQuestion() {
    QFETCH(bool, yes);
    Show(1);
    QSignalSpy pageRequests(w.get(), &TFImage::pageChangeRequested);
    Click(f::Surname);  // the last field of page 1 in tab order
    auto* box = Editor<ui::TextBox>();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, "Kowalski");
    BoxAnswerer answerer(yes ? QMessageBox::Yes : QMessageBox::No);
    Key(box, Qt::Key_Return);
    QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Czy przejść na 2 stronę druku PIT-37?")});
    QCOMPARE(answerer.Titles(), QStringList{QStringLiteral("Pytanie")});
    QCOMPARE(S(fx->Slot(f::Surname).Value), QStringLiteral("Kowalski"));
    if (yes) {
      QCOMPARE(pageRequests.count(), 1);
      QCOMPARE(w->CurrentPage(), 2);
      QCOMPARE(w->EditedObject(), f::Revenue);
    } else {
      QCOMPARE(pageRequests.count(), 0);
      QCOMPARE(w->CurrentPage(), 1);
      QCOMPARE(w->EditedObject(), f::Surname);
      auto* reopened = Editor<ui::TextBox>();
      QVERIFY(reopened != nullptr);
      QCOMPARE(reopened->text(), QStringLiteral("Kowalski"));
      // The release of the Enter that answered does not ask again; the next
      // Enter does.
      QTest::keyRelease(reopened, Qt::Key_Return);
      QCOMPARE(answerer.Texts().size(), 1);
      Key(reopened, Qt::Key_Return);
      QCOMPARE(answerer.Texts().size(), 2);
    }
    QVERIFY(Editor<ui::TextBox>() != nullptr);
  }

  void countryPanelPolskaRules_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("storedAfterCommit");
    QTest::newRow("required") << f::CountryRequired << "POLSKA" << "POLSKA";
    QTest::newRow("not required") << f::CountryOptional << "" << "";
  }
  void countryPanelPolskaRules() {
    QFETCH(int, field);
    QFETCH(QString, search);
    QFETCH(QString, storedAfterCommit);
    Show(1);
    Click(field);
    auto* panel = Editor<ui::CountryPanel>();
    QVERIFY(panel != nullptr);
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->width(), 433);
    QCOMPARE(panel->SearchText(), search);
    QCOMPARE(S(panel->RowName(panel->SelectedRow())), QStringLiteral("POLSKA"));
    QCOMPARE(panel->SelectedRow(), panel->RowCount());  // sorted: POLSKA comes last
    // Down on the last row stays there.
    Key(panel->SearchBox(), Qt::Key_Down);
    QCOMPARE(panel->SelectedRow(), panel->RowCount());
    ClickOutsideFields();
    QCOMPARE(S(fx->Slot(field).Value), storedAfterCommit);
  }

  void countryPanelSearchAndCancel() {
    Show(1);
    fx->Set(f::CountryOptional, "NIEMCY");
    Click(f::CountryOptional);
    auto* panel = Editor<ui::CountryPanel>();
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->SearchText(), QStringLiteral("NIEMCY"));
    QTest::keyClicks(panel->SearchBox(), "aus", Qt::NoModifier);  // typed over the selected text
    QCOMPARE(S(panel->RowName(panel->SelectedRow())), QStringLiteral("AUSTRIA"));
    Key(panel->SearchBox(), Qt::Key_Escape);  // "anuluj"
    QVERIFY(!panel->isVisible());
    QCOMPARE(panel->SearchText(), QStringLiteral("NIEMCY"));
    ClickOutsideFields();
    QCOMPARE(S(fx->Slot(f::CountryOptional).Value), QStringLiteral("NIEMCY"));

    Click(f::CountryOptional);
    QTest::keyClicks(panel->SearchBox(), "pol");
    QCOMPARE(S(panel->RowName(panel->SelectedRow())), QStringLiteral("POLINEZJA FRANCUSKA"));
    Key(panel->SearchBox(), Qt::Key_Return);  // "wybierz"
    QCOMPARE(S(fx->Slot(f::CountryOptional).Value), QStringLiteral("POLINEZJA FRANCUSKA"));
    QCOMPARE(w->EditedObject(), f::GroupA);
  }

  void taxOfficePanel() {
    Show(1);
    Click(f::Office);
    auto* panel = Editor<ui::TaxOfficePanel>();
    QVERIFY(panel != nullptr);
    QCOMPARE(panel->width(), 700);
    QCOMPARE(panel->SearchText(), QStringLiteral("wpisz nazwę miasta"));
    QCOMPARE(panel->geometry().bottom() + 1, Def(f::Office).Bottom);
    // Sorted by town in the Polish alphabet: Ś between S and T, before W.
    const QStringList towns = {"AUGUSTÓW", "BIAŁYSTOK", "WARSZAWA-ŚRÓDMIEŚCIE", "WARSZAWA-WOLA", "ZAMOŚĆ"};
    for (int row = 1; row <= towns.size(); ++row) QCOMPARE(S(panel->RowTown(row)), towns[row - 1]);
    QTest::keyClicks(panel->SearchBox(), "bia");
    QCOMPARE(S(panel->RowCode(panel->SelectedRow())), QStringLiteral("2004"));
    Key(panel->SearchBox(), Qt::Key_Up);
    QCOMPARE(panel->SelectedRow(), 1);
    Key(panel->SearchBox(), Qt::Key_Up);  // not above row 1
    QCOMPARE(panel->SelectedRow(), 1);
    Key(panel->SearchBox(), Qt::Key_Down);
    Key(panel->SearchBox(), Qt::Key_Return);
    QCOMPARE(S(fx->Slot(f::Office).Value), QStringLiteral("PIERWSZY URZĄD SKARBOWY W BIAŁYMSTOKU"));
    QCOMPARE(S(fx->Slot(f::Office).OfficeCode), QStringLiteral("2004"));
    QCOMPARE(w->EditedObject(), f::Birth);

    // Reopened, it shows the chosen office's town; Esc changes nothing.
    Click(f::Office);
    QCOMPARE(panel->SearchText(), QStringLiteral("BIAŁYSTOK"));
    QCOMPARE(S(panel->RowCode(panel->SelectedRow())), QStringLiteral("2004"));
    Key(panel->SearchBox(), Qt::Key_Down);
    Key(panel->SearchBox(), Qt::Key_Escape);
    ClickOutsideFields();
    QCOMPARE(S(fx->Slot(f::Office).OfficeCode), QStringLiteral("2004"));
  }

  // "anuluj" and Esc in the grid leave both lists the same way Esc in the
  // search box does: the list hides, and a later click elsewhere commits
  // nothing of the row the user moved to.
  void pickListsGiveUp_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("button");
    QTest::newRow("office, anuluj") << f::Office << true;
    QTest::newRow("office, Esc in the grid") << f::Office << false;
    QTest::newRow("country, anuluj") << f::CountryOptional << true;
    QTest::newRow("country, Esc in the grid") << f::CountryOptional << false;
  }
  void pickListsGiveUp() {
    QFETCH(int, field);
    QFETCH(bool, button);
    Show(1);
    fx->SetOfficeCode(f::Office, "2004");
    fx->Set(f::Office, "PIERWSZY URZĄD SKARBOWY W BIAŁYMSTOKU");
    fx->Set(f::CountryOptional, "NIEMCY");
    const std::string before = fx->Slot(field).Value;
    Click(field);
    auto* panel = qobject_cast<ui::PickPanel*>(w->OpenEditor());
    QVERIFY(panel != nullptr);
    QVERIFY(panel->isVisible());
    const int opened = panel->SelectedRow();
    QVERIFY(opened >= 1);
    panel->SelectRow(opened == 1 ? 2 : 1);
    if (button) {
      QCOMPARE(panel->CancelButton()->text(), QStringLiteral("anuluj"));
      panel->CancelButton()->click();
    } else {
      Key(panel->Grid(), Qt::Key_Escape);
    }
    QVERIFY(!panel->isVisible());
    QCOMPARE(w->EditedObject(), -1);
    ClickOutsideFields();
    QCOMPARE(fx->Slot(field).Value, before);
    QVERIFY(!fx->ctx.settlement.DocumentModified);
  }

  void krsPicker() {
    Show(3);
    Click(f::Krs);
    auto* picker = Editor<ui::OrganisationPicker>();
    QVERIFY(picker != nullptr);
    QCOMPARE(picker->width(), 470);
    QVERIFY(!picker->ListOpen());
    QCOMPARE(picker->height(), 23);
    {
      BoxAnswerer answerer;
      QTest::keyClicks(picker->KrsEdit(), "123");
      QVERIFY(picker->ListOpen());  // the first character opened the list
      // Open, no organisation's name is cut short where the page has room;
      // the page holds the list.
      auto* grid = picker->findChild<QTableWidget*>(QStringLiteral("SGOPP"));
      const bool room = picker->x() + 740 <= w->findChild<QWidget*>(QStringLiteral("Formatka"))->width();
      for (int r = 1; room && r < grid->rowCount(); ++r) {
        const QString name = grid->item(r, 0)->text();
        QVERIFY2(grid->fontMetrics().horizontalAdvance(name) < grid->columnWidth(0) - 4, qPrintable(name));
      }
      QVERIFY(picker->width() == 470 ||
              picker->geometry().right() < w->findChild<QWidget*>(QStringLiteral("Formatka"))->width());
      Key(picker->KrsEdit(), Qt::Key_Return);
      QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("KRS musi zawierać 10 znakow")});
    }
    QCOMPARE(S(fx->Slot(f::Krs).Value), QString());
    QVERIFY(!picker->isVisible());
    QCOMPARE(w->EditedObject(), f::OnePercent);  // moved on whatever the check gave

    // Choosing an organisation from the list stores its KRS.
    Click(f::Krs);
    QVERIFY(picker->isVisible());
    picker->IDropDownClick();
    QCOMPARE(picker->height(), 281);
    QTableWidget* grid = picker->Grid();
    const QPoint row2 = grid->visualItemRect(grid->item(2, 0)).center();
    QTest::mouseMove(grid->viewport(), row2);
    QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, row2);
    QCOMPARE(picker->KrsText(), QStringLiteral("0000127204"));
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, row2);
    QCOMPARE(S(fx->Slot(f::Krs).Value), QStringLiteral("0000127204"));
    QVERIFY(!picker->isVisible());

    // The own-entry row only hands the focus back to the edit.
    Click(f::Krs);
    QVERIFY(picker->ListOpen());  // a suggested organisation's KRS opens the list
    QCOMPARE(picker->CurrentRow(), 2);
    const QPoint row1 = grid->visualItemRect(grid->item(1, 0)).center();
    QTest::mouseMove(grid->viewport(), row1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row1);
    QVERIFY(picker->isVisible());
    QVERIFY(!picker->ListOpen());
    QCOMPARE(S(fx->Slot(f::Krs).Value), QStringLiteral("0000127204"));
  }

  // Low on the page the open list rises until all of it is on the page, and
  // goes back over its field when it closes; a mouse move at the pointer's
  // old place (the list moved under it) picks no row.
  void krsPickerLowOnThePage() {
    Show(3);
    Click(f::Krs);
    auto* picker = Editor<ui::OrganisationPicker>();
    QVERIFY(picker != nullptr);
    const int pageHeight = picker->parentWidget()->height();
    picker->Open("", 10, pageHeight - 30);
    picker->IDropDownClick();
    QVERIFY(picker->ListOpen());
    QCOMPARE(picker->height(), 281);
    QVERIFY(picker->geometry().bottom() < pageHeight);
    picker->IDropDownClick();
    QCOMPARE(picker->y(), pageHeight - 30);

    picker->IDropDownClick();
    picker->SetCurrentRow(2);
    QTableWidget* grid = picker->Grid();
    const QPoint row7 = grid->visualItemRect(grid->item(7, 0)).center();
    QMouseEvent still(QEvent::MouseMove, QPointF(row7), QPointF(QCursor::pos()), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &still);
    QCOMPARE(picker->CurrentRow(), 2);
    QMouseEvent moved(QEvent::MouseMove, QPointF(row7), QPointF(QCursor::pos()) + QPointF(3, 40), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &moved);
    QCOMPARE(picker->CurrentRow(), 7);
    picker->Dismiss();
  }

  // The amount panel offers the computed 1% only with a KRS chosen.
  void onePercentFlow() {
    fx->Set(f::Revenue, "50000,00");
    Show(3);
    Click(f::OnePercent);
    QVERIFY(w->OpenEditor() == nullptr);
    QCOMPARE(w->DonationLabel()->text(), QStringLiteral("84,40"));
    QVERIFY(!w->DonationLabel()->parentWidget()->isVisible());

    fx->Set(f::Krs, "0000127204");
    Click(f::OnePercent);
    QWidget* panel = w->DonationLabel()->parentWidget();
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->x(), 200);
    // Above the field's printed label ("132. Wnioskowana kwota", about 20
    // pixels over the box), yet right by it.
    QVERIFY2(panel->geometry().bottom() < Def(f::OnePercent).Top - 20, qPrintable(QString::number(panel->y())));
    QVERIFY(panel->geometry().bottom() > Def(f::OnePercent).Top - 40);
    QVERIFY(Editor<ui::TextBox>() != nullptr);
    auto* yes = panel->findChild<QPushButton*>(QStringLiteral("SBTAK"));
    QVERIFY(yes != nullptr);
    QCOMPARE(yes->text(), QStringLiteral("TAK, chcę"));
    QTest::mouseClick(yes, Qt::LeftButton);
    QCOMPARE(S(fx->Slot(f::OnePercent).Value), QStringLiteral("84,40"));
    QVERIFY(!panel->isVisible());
  }

  // A click on a read-only field opens nothing, and leaving it commits
  // nothing: the list row the user walked away from must not end up in it.
  void readOnlyListFieldKeepsItsValue() {
    Show(1);
    Click(f::Office);
    auto* panel = Editor<ui::TaxOfficePanel>();
    QVERIFY(panel != nullptr);
    QTest::keyClicks(panel->SearchBox(), "zam");
    QCOMPARE(S(panel->RowTown(panel->SelectedRow())), QStringLiteral("ZAMOŚĆ"));
    Key(panel->SearchBox(), Qt::Key_Escape);
    // As a calculation of the form shown leaves it.
    ShownResult readOnly;
    readOnly.SetReadOnly(f::Office, true);
    ApplyFlags(readOnly, fx->ctx.Session().ShownFields());
    Click(f::Office);
    QVERIFY(w->OpenEditor() == nullptr);
    ClickOutsideFields();
    QCOMPARE(S(fx->Slot(f::Office).Value), QString());
    QCOMPARE(S(fx->Slot(f::Office).OfficeCode), QString());
    QVERIFY(!fx->ctx.settlement.DocumentModified);
  }

  // The flat-costs hint shows while the field still holds its zero.
  void entryHintBeforeTheTextBox() {
    Show(2);
    {
      BoxAnswerer answerer;
      Click(f::FlatCosts);
      QCOMPARE(answerer.Texts(), QStringList{QStringLiteral("Suma pozycji 43 i 58 przy zastosowaniu kosztów "
                                                          "zryczałtowanych nie może przekroczyć kwoty 42.764 zł")});
      QVERIFY(Editor<ui::TextBox>() != nullptr);
      QTest::keyClicks(Editor<ui::TextBox>(), "100");
      ClickOutsideFields();
    }
    BoxAnswerer answerer;
    Click(f::FlatCosts);
    QVERIFY(answerer.Texts().isEmpty());
    QCOMPARE(Editor<ui::TextBox>()->text(), QStringLiteral("100,00"));
  }

  // A click on the korekta box explains why it cannot be ticked by hand.
  void correctionInfoOnKorektaClick_data() {
    QTest::addColumn<bool>("eFiling");
    QTest::addColumn<QString>("page");
    QTest::newRow("e-filing shown") << true << "TInfo1";
    QTest::newRow("e-filing hidden") << false << "Tinfo2";
  }
  void correctionInfoOnKorektaClick() {
    QFETCH(bool, eFiling);
    QFETCH(QString, page);
    w->SetEFilingQuery([eFiling] { return eFiling; });
    Show(1);
    QString caption, shownPage;
    int height = 0;
    QTimer::singleShot(0, this, [&] {
      auto* info = qobject_cast<ui::TFInfo*>(QApplication::activeModalWidget());
      if (info == nullptr) return;
      caption = info->windowTitle();
      shownPage = info->Pages()->currentWidget()->objectName();
      height = info->height();
      info->accept();
    });
    Click(f::Correction);
    QCOMPARE(caption, QStringLiteral("Informacja - korekta zeznania PIT-37"));
    QCOMPARE(shownPage, page);
    QCOMPARE(height, 525);
    QVERIFY(w->OpenEditor() == nullptr);
    QVERIFY(!fx->Slot(f::Correction).CheckState);
  }

  void messageListShowsReductionNotice() {
    fx->Set(f::Revenue, "1000,00");
    fx->Set(f::Deductions, "5000,00");  // more than the income
    Show(2);
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(),
             QStringLiteral("   PIT-37. Program dokonał redukcji odliczeń. Sprawdź i ewentualnie skoryguj "
                            "wysokość poszczególnych kwot w tym w załącznikach."));
    QVERIFY(list->maximumHeight() > 0);
    QCOMPARE(S(fx->Slot(f::Deductions).Value), QStringLiteral("1000,00"));
    // Once nothing is capped the list closes again.
    Click(f::Revenue);
    QTest::keyClicks(Editor<ui::TextBox>(), "9000");
    ClickOutsideFields();
    QCOMPARE(list->maximumHeight(), 0);
  }

  // A notch of the wheel moves the page 25 page pixels, at any zoom.
  void wheelScrollsTwentyFivePagePixelsANotch_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("twoDown");
    QTest::addColumn<int>("thenOneUp");
    QTest::newRow("100%") << 1.0 << 50 << 25;
    QTest::newRow("200%") << 2.0 << 100 << 50;
    QTest::newRow("150%") << 1.5 << 76 << 38;
  }
  void wheelScrollsTwentyFivePagePixelsANotch() {
    QFETCH(double, zoom);
    QFETCH(int, twoDown);
    QFETCH(int, thenOneUp);
    Show(2);
    w->SetZoom(zoom);
    QWidget* viewport = w->ScrollArea()->viewport();
    const QPointF at(100, 100);
    QWheelEvent down(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &down);
    QCOMPARE(w->ScrollArea()->verticalScrollBar()->value(), twoDown);
    QWheelEvent up(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &up);
    QCOMPARE(w->ScrollArea()->verticalScrollBar()->value(), thenOneUp);
  }
};

QTEST_MAIN(TFImageTest)
#include "tfimage_test.moc"
