// The form window from the keyboard: every key a user presses lands where
// the user meant it, forwards and backwards, and a key that answered a
// question or chose from a list does nothing more.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "form_fixture.h"
#include "ui/app/welcome_panel.h"
#include "ui/forms/field_editors.h"
#include "ui/forms/opp_panels.h"
#include "ui/forms/pick_panels.h"
#include "ui/forms/tfimage.h"

using namespace pit;
using namespace pit::formtest;
using pit::ui::TFImage;

namespace {

// Answers each message box as a user does with the keyboard: the press of
// Enter closes the box; its release comes later, to whatever has the focus
// then (the test sends it).
class EnterAnswerer : public QObject {
 public:
  EnterAnswerer() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      texts << box->text();
      QTest::keyPress(box, Qt::Key_Return);
    });
    timer_.start(5);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

QString S(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

class KeyboardTest : public QObject, FormWindowFixture {
  Q_OBJECT

 private:
  // Where the keyboard's keys go now.
  QWidget* Focused() { return w->focusWidget(); }
  // Shift+Tab as the window system delivers it (QTest would also send the
  // Shift key's own release to an editor that may be gone by then).
  void ShiftTab() {
    QWidget* target = Focused();
    QVERIFY(target != nullptr);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backtab, Qt::ShiftModifier);
    QApplication::sendEvent(target, &release);
  }

 private slots:
  void init() { QVERIFY(OpenWindow()); }
  void cleanup() { CloseWindow(); }

  // The release of an Enter whose press went to a dialog or a list reaches
  // the editor opened after it; the form stays on that editor's field.
  void enterThatAnsweredDoesNotMoveOn_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("questions");
    // The last field of page 1, then "Czy przejść na 2 stronę …" + Enter.
    QTest::newRow("page question") << 1 << f::Surname << "Kowalski" << f::Revenue << 1;
    // A tax office chosen with Enter in the list's search box.
    QTest::newRow("tax office list") << 1 << f::Office << "bia" << f::Birth << 0;
    // The field after it greets with a hint, which Enter closes.
    QTest::newRow("message box OK") << 2 << f::Rounded << "5" << f::FlatCosts << 1;
  }
  void enterThatAnsweredDoesNotMoveOn() {
    QFETCH(int, page);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(int, expected);
    QFETCH(int, questions);
    Show(page);
    Click(field);
    QWidget* editor = Focused();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, typed);
    EnterAnswerer answerer;
    if (field == f::Office) {
      QTest::keyPress(editor, Qt::Key_Return);  // the list chooses on the press
    } else {
      QTest::keyClick(editor, Qt::Key_Return);
    }
    QCOMPARE(answerer.texts.size(), questions);
    QCOMPARE(w->EditedObject(), expected);
    QWidget* next = Focused();
    QVERIFY(next != nullptr);
    QTest::keyRelease(next, Qt::Key_Return);
    QCOMPARE(w->EditedObject(), expected);
    QCOMPARE(answerer.texts.size(), questions);
    QVERIFY(w->OpenEditor() != nullptr);
  }

  // Shift+Tab commits like Tab and goes back in tab order; back across a
  // page it asks first.
  void shiftTabGoesBack() {
    Show(2);
    Click(f::Advances);
    QTest::keyClicks(Focused(), "7");
    ShiftTab();
    QCOMPARE(S(fx->Slot(f::Advances).Value), QStringLiteral("7,00"));
    QCOMPARE(w->EditedObject(), f::Costs);
    ShiftTab();
    QCOMPARE(w->EditedObject(), f::Revenue);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QCOMPARE(w->EditedObject(), f::Costs);

    Click(f::Revenue);
    {
      QTimer::singleShot(0, this, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
          box->button(QMessageBox::Yes)->click();
      });
      ShiftTab();
    }
    QCOMPARE(w->CurrentPage(), 1);
    QCOMPARE(w->EditedObject(), f::Surname);
  }

  // In the office and country lists and the KRS picker, Tab chooses and
  // goes on and Shift+Tab chooses and goes back, as in the other editors.
  void listsTabBothWays_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("stored");
    QTest::newRow("office, Tab") << 1 << f::Office << "bia" << false << f::Birth
                                 << "PIERWSZY URZĄD SKARBOWY W BIAŁYMSTOKU";
    QTest::newRow("country, Shift+Tab to a list") << 1 << f::CountryOptional << "niem" << true
                                                  << f::CountryRequired << "NIEMCY";
    QTest::newRow("country, Shift+Tab") << 1 << f::CountryRequired << "niem" << true << f::Birth << "NIEMCY";
    // Back across the page, with its question.
    QTest::newRow("KRS, Shift+Tab") << 3 << f::Krs << "0000127204" << true << f::FlatCosts << "0000127204";
  }
  void listsTabBothWays() {
    QFETCH(int, page);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(bool, backward);
    QFETCH(int, expected);
    QFETCH(QString, stored);
    Show(page);
    Click(field);
    QCOMPARE(w->EditedObject(), field);
    QWidget* editor = Focused();
    QVERIFY(editor != nullptr);
    QTest::keyClicks(editor, typed);
    EnterAnswerer answerer;
    if (backward) {
      ShiftTab();
    } else {
      QTest::keyClick(editor, Qt::Key_Tab);
    }
    QCOMPARE(w->EditedObject(), expected);
    QVERIFY(w->OpenEditor() != nullptr);
    QCOMPARE(S(fx->Slot(field).Value), stored);
  }

  // Esc gives the field its stored value back; a Tab after it commits
  // nothing and leaves the settlement unmodified.
  void escCancelsTheTypedEdit_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("amount") << 2 << f::Revenue << "abc-1.5e3";
    QTest::newRow("date") << 1 << f::Birth << "31129";
  }
  void escCancelsTheTypedEdit() {
    QFETCH(int, page);
    QFETCH(int, field);
    QFETCH(QString, typed);
    fx->Set(f::Revenue, "100,00");
    fx->Set(f::Birth, "01-02-1980");
    const std::string stored = fx->Slot(field).Value;
    Show(page);
    QSignalSpy modified(w.get(), &TFImage::modified);
    Click(field);
    auto* editor = qobject_cast<QLineEdit*>(w->OpenEditor());
    QVERIFY(editor != nullptr);
    const QString shown = editor->text();
    QTest::keyClicks(editor, typed);
    QVERIFY(editor->text() != shown);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCOMPARE(editor->text(), shown);
    QCOMPARE(w->EditedObject(), field);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(fx->Slot(field).Value, stored);
    QVERIFY(!fx->ctx.settlement.DocumentModified);
    QCOMPARE(modified.count(), 0);
  }

  // Tabbing through fields without changing them is no edit.
  void passingThroughModifiesNothing() {
    fx->Set(f::Revenue, "52340,17");
    Show(2);
    QSignalSpy modified(w.get(), &TFImage::modified);
    Click(f::Revenue);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(w->EditedObject(), f::Whole);
    QVERIFY(!fx->ctx.settlement.DocumentModified);
    QCOMPARE(modified.count(), 0);
    // A real change still counts.
    QTest::keyClicks(Focused(), "3");
    QTest::keyClick(Focused(), Qt::Key_Tab);
    QVERIFY(fx->ctx.settlement.DocumentModified);
    QCOMPARE(modified.count(), 1);
  }

  // "NIE, tylko część" leaves the 1% field ready for the part to be typed.
  void onePercentPartIsTyped() {
    fx->Set(f::Revenue, "50000,00");
    fx->Set(f::Krs, "0000127204");
    // In the main window more widgets follow the form's panels in the focus
    // chain; hiding the focused button must not hand the keys to them.
    auto* later = new QLineEdit(w.get());
    later->setGeometry(0, 0, 1, 1);
    later->show();
    Show(3);
    Click(f::OnePercent);
    QWidget* panel = w->DonationLabel()->parentWidget();
    QVERIFY(panel->isVisible());
    auto* no = panel->findChild<QPushButton*>(QStringLiteral("SBNIE"));
    QVERIFY(no != nullptr);
    QTest::mouseClick(no, Qt::LeftButton);
    QVERIFY(!panel->isVisible());
    QCOMPARE(QApplication::focusWidget(), w->OpenEditor());
    QTest::keyClicks(QApplication::focusWidget(), "50");
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(S(fx->Slot(f::OnePercent).Value), QStringLiteral("50,00"));
  }

  // Low on the page (PIT-37's KRS field lies 214 pixels above the page's
  // end) the list opens above the strip; the strip with the typed KRS stays
  // over its field, and a row chosen from the list still gives its KRS.
  void krsListOpensAboveItsField() {
    Show(3);
    Click(f::Krs);
    auto* picker = qobject_cast<ui::OrganisationPicker*>(w->OpenEditor());
    QVERIFY(picker != nullptr);
    QWidget* page = picker->parentWidget();
    const int fieldTop = page->height() - 214;
    picker->Open("", 28, fieldTop);
    QLineEdit* edit = picker->KrsEdit();
    const QPoint editAt = edit->mapTo(page, QPoint(0, 0));
    QTest::keyClicks(edit, "0");  // the first character opens the list
    QVERIFY(picker->ListOpen());
    QCOMPARE(edit->mapTo(page, QPoint(0, 0)), editAt);
    QVERIFY(picker->geometry().bottom() < page->height());
    QTableWidget* grid = picker->Grid();
    const QRect list(grid->mapTo(page, QPoint(0, 0)), grid->size());
    QVERIFY(list.bottom() < editAt.y());
    QVERIFY(list.top() >= 0);
    QVERIFY(grid->isRowHidden(0));
    const QPoint row2 = grid->visualItemRect(grid->item(2, 0)).center();
    QVERIFY(grid->viewport()->rect().contains(row2));
    QTest::mouseMove(grid->viewport(), row2);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row2);
    QCOMPARE(S(fx->Slot(f::Krs).Value), QStringLiteral("0000127204"));
  }

  // Both buttons of the welcome panel are reached with Tab and pressed
  // with Enter or Space; the focused one is shown highlighted.
  void welcomeButtonsFromTheKeyboard() {
    ui::WelcomePanel panel;
    QSignalSpy start(&panel, &ui::WelcomePanel::startWorkClicked);
    QSignalSpy open(&panel, &ui::WelcomePanel::openExistingClicked);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.activateWindow();
    QCOMPARE(panel.focusWidget(), panel.IRozpocznijPrace);
    QVERIFY(panel.IIRozpocznijPrace->isVisible());
    QTest::keyClick(panel.focusWidget(), Qt::Key_Return);
    QCOMPARE(start.count(), 1);
    QTest::keyClick(panel.focusWidget(), Qt::Key_Tab);
    QCOMPARE(panel.focusWidget(), panel.IOtworzIstniejace);
    QVERIFY(panel.IIOtworzIstniejace->isVisible());
    QVERIFY(!panel.IIRozpocznijPrace->isVisible());
    QTest::keyClick(panel.focusWidget(), Qt::Key_Space);
    QCOMPARE(open.count(), 1);
    QCOMPARE(start.count(), 1);
  }

  // Another page opens at its top; the same page shown again keeps its place.
  void pageOpensAtItsTop() {
    Show(2);
    QScrollBar* bar = w->ScrollArea()->verticalScrollBar();
    QVERIFY(bar->maximum() > 300);
    bar->setValue(300);
    Show(2);
    QCOMPARE(bar->value(), 300);
    Show(3);
    QCOMPARE(bar->value(), 0);
    // What is clicked at the top of the window is the field drawn there.
    Click(f::Krs);
    QCOMPARE(w->EditedObject(), f::Krs);
  }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
