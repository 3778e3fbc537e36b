// Designer mode driven with the mouse and the keyboard: what is drawn, moved,
// resized, copied, nudged or deleted on the page is in the `.dcs` file at
// once, and the page shows what the file holds.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QGroupBox>
#include <QListWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QAction>
#include <QTabWidget>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/catalogue.h"
#include "forms/definition_files.h"
#include "ui/designer/form_designer.h"
#include "ui/designer/tfobj.h"
#include "ui/designer/tfpaleta.h"
#ifdef PIT_WITH_DCGEN
#include "decompile.h"
#include "form_source.h"
#endif

using namespace pit;
using pit::ui::FormDesigner;

namespace {

constexpr int kForm = 41;

FieldObject Field(int k, int left, int top, int right, int bottom) {
  FieldObject f;
  f.Left = left;
  f.Top = top;
  f.Right = right;
  f.Bottom = bottom;
  f.ID = k;
  f.Tab = k;
  f.Name = std::to_string(k);
  f.Page = 1;
  f.XMLNode = "P_" + std::to_string(k + 1);
  return f;
}

// Ten fields in a column, 30 pixels apart: field k at (100, 40 + 30k) - (300, 60 + 30k).
std::vector<FieldObject> TenFields() {
  std::vector<FieldObject> v;
  for (int k = 0; k < 10; ++k) v.push_back(Field(k, 100, 40 + 30 * k, 300, 60 + 30 * k));
  return v;
}

std::vector<FieldObject> OnDisk(const QString& dir) {
  auto v = LoadFieldObjects(DcsPath(dir.toStdString(), kForm));
  return v ? *v : std::vector<FieldObject>{};
}

QRect Rect(const FieldObject& f) { return QRect(f.Left, f.Top, f.Right - f.Left, f.Bottom - f.Top); }

void Drag(QWidget* w, QPoint from, QPoint to, Qt::KeyboardModifiers m = {}) {
  QTest::mousePress(w, Qt::LeftButton, m, from);
  QTest::mouseMove(w, (from + to) / 2);
  QTest::mouseMove(w, to);
  QTest::mouseRelease(w, Qt::LeftButton, m, to);
}

}  // namespace

class DesignerTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString Dir() const { return dir_.path(); }
  std::unique_ptr<FormDesigner> Open(const std::vector<FieldObject>& fields) {
    QFile::remove(QString::fromStdString(DcsPath(Dir().toStdString(), kForm)));
    if (!fields.empty()) SaveFieldObjects(DcsPath(Dir().toStdString(), kForm), fields);
    auto d = std::make_unique<FormDesigner>(Dir());
    d->OpenForm(kForm, 1);
    d->resize(900, 1100);
    d->show();
    return d;
  }

 private slots:
  // Drawn in either direction, the same rectangle becomes the same field;
  // a rectangle of at most 4 pixels is no field at all.
  void DrawingInAnyDirection() {
    auto d = Open({});
    QWidget* s = d->Surface();
    QVERIFY(d->StatusText().startsWith("Brak pliku Dcs!: "));
    d->TypeCombo()->setCurrentIndex(kLiczba);
    Drag(s, {400, 300}, {250, 200});  // bottom-right to top-left
    Drag(s, {250, 400}, {400, 500});  // top-left to bottom-right
    Drag(s, {500, 500}, {504, 560});  // 4 pixels wide: refused
    const auto v = OnDisk(Dir());
    QCOMPARE(v.size(), std::size_t(2));
    QCOMPARE(Rect(v[0]), QRect(250, 200, 150, 100));
    QCOMPARE(Rect(v[1]), QRect(250, 400, 150, 100));
    for (int k = 0; k < 2; ++k) {
      QCOMPARE(v[k].ID, k);
      QCOMPARE(v[k].Tab, k);
      QCOMPARE(v[k].Name, std::to_string(k));
      QCOMPARE(v[k].Typ, int(kLiczba));
      QCOMPARE(v[k].TextAlign, 1);
      QCOMPARE(v[k].Option, 1);
      QCOMPARE(v[k].DefValue, std::string("0,00"));
      QCOMPARE(v[k].FontSize, std::string("10"));
      QCOMPARE(v[k].BorderColor, std::string("FFFFFF"));
    }
    QCOMPARE(d->Fields().size(), std::size_t(2));
    // The page shows the new field's rectangle over the empty sheet.
    QVERIFY(d->PageImage().pixelColor(260, 250) != QColor(Qt::white));
  }

  // Deleting field 3 of 10 leaves 9 records; the former field 4 is object 3
  // and keeps ID 4. Deleting the only field deletes the file.
  void DeletingRenumbers() {
    auto d = Open(TenFields());
    QWidget* s = d->Surface();
    QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(150, 40 + 30 * 3 + 10));
    QCOMPARE(d->Selected(), 3);
    QTest::keyClick(s, Qt::Key_Delete);
    auto v = OnDisk(Dir());
    QCOMPARE(v.size(), std::size_t(9));
    QCOMPARE(v[3].ID, 4);
    QCOMPARE(v[3].XMLNode, std::string("P_5"));
    QCOMPARE(v[2].ID, 2);
    QCOMPARE(d->Selected(), -1);
    QCOMPARE(d->FieldAt(QPoint(150, 40 + 30 * 4 + 10)), 3);

    d = Open({Field(0, 100, 100, 200, 130)});
    QTest::mouseClick(d->Surface(), Qt::LeftButton, {}, QPoint(150, 110));
    QTest::keyClick(d->Surface(), Qt::Key_Delete);
    QVERIFY(!QFile::exists(d->DcsFile()));
    QVERIFY(d->Fields().empty());
  }

  // A drag moves a field; a Shift-drag appends a copy named Group "." index
  // and leaves the original where it was; a Block field does not move.
  void MovingAndCopying() {
    auto d = Open(TenFields());
    QWidget* s = d->Surface();
    const QRect seven = Rect(TenFields()[7]);
    Drag(s, seven.center(), seven.center() + QPoint(200, 5), Qt::ShiftModifier);
    auto v = OnDisk(Dir());
    QCOMPARE(v.size(), std::size_t(11));
    QCOMPARE(Rect(v[7]), seven);
    QCOMPARE(Rect(v[10]), seven.translated(200, 5));
    QCOMPARE(v[10].Name, std::string("0.10"));
    QCOMPARE(v[10].ID, 10);
    QCOMPARE(v[10].XMLNode, v[7].XMLNode);

    Drag(s, seven.center(), seven.center() + QPoint(-30, 2));
    v = OnDisk(Dir());
    QCOMPARE(v.size(), std::size_t(11));
    QCOMPARE(Rect(v[7]), seven.translated(-30, 2));
    QCOMPARE(v[7].ID, 7);

    auto fields = TenFields();
    fields[2].Block = true;
    d = Open(fields);
    Drag(d->Surface(), Rect(fields[2]).center(), Rect(fields[2]).center() + QPoint(50, 50));
    QCOMPARE(Rect(OnDisk(Dir())[2]), Rect(fields[2]));
  }

  // A Ctrl-drag of a tick box adds a box of the same group (same name); a
  // Ctrl-drag of any other field only moves it.
  void CtrlCopiesTickBoxes() {
    auto fields = TenFields();
    fields[4].Typ = kCheckbox;
    fields[4].Name = "CEL";
    fields[4].Choices[0].Value = "1";
    auto d = Open(fields);
    const QRect box = Rect(fields[4]), text = Rect(fields[6]);
    Drag(d->Surface(), box.center(), box.center() + QPoint(250, 0), Qt::ControlModifier);
    auto v = OnDisk(Dir());
    QCOMPARE(v.size(), std::size_t(11));
    QCOMPARE(Rect(v[4]), box);
    QCOMPARE(Rect(v[10]), box.translated(250, 0));
    QCOMPARE(v[10].Name, std::string("CEL"));
    QCOMPARE(v[10].ID, 10);
    QCOMPARE(v[10].CheckValue(), std::string("1"));

    Drag(d->Surface(), text.center(), text.center() + QPoint(250, 0), Qt::ControlModifier);
    v = OnDisk(Dir());
    QCOMPARE(v.size(), std::size_t(11));
    QCOMPARE(Rect(v[6]), text.translated(250, 0));
  }

  // Each of the eight handles moves only its own edges.
  void ResizingByHandles() {
    struct Case {
      QPoint handle;
      QRect expected;
    } cases[] = {
        {{100, 100}, QRect(90, 95, 110, 35)},   // 1: left and top
        {{150, 100}, QRect(100, 95, 100, 35)},  // 2: top
        {{200, 100}, QRect(100, 95, 110, 35)},  // 3: right and top
        {{200, 115}, QRect(100, 100, 110, 30)}, // 4: right
        {{200, 130}, QRect(100, 100, 110, 35)}, // 5: right and bottom
        {{150, 130}, QRect(100, 100, 100, 35)}, // 6: bottom
        {{100, 130}, QRect(90, 100, 110, 35)},  // 7: left and bottom
        {{100, 115}, QRect(90, 100, 110, 30)},  // 8: left
    };
    for (const Case& c : cases) {
      auto d = Open({Field(0, 100, 100, 200, 130)});
      QWidget* s = d->Surface();
      QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(150, 115));
      QCOMPARE(d->Selected(), 0);
      const int dx = (c.expected.left() != 100 ? -10 : 10), dy = (c.expected.top() != 100 ? -5 : 5);
      Drag(s, c.handle, c.handle + QPoint(dx, dy));
      QCOMPARE(Rect(OnDisk(Dir())[0]), c.expected);
    }
  }

  // The arrow keys move the field last pressed by one pixel while the
  // pointer is over a field.
  void NudgingWithArrows() {
    auto d = Open(TenFields());
    QWidget* s = d->Surface();
    QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(150, 50));
    QTest::mouseMove(s, QPoint(150, 52));
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_Right);
    QTest::keyClick(s, Qt::Key_Down);
    QCOMPARE(d->StatusText(), QString("down"));
    QCOMPARE(Rect(OnDisk(Dir())[0]), QRect(102, 41, 200, 20));
    QTest::mouseMove(s, QPoint(600, 600));  // beside the fields the keys do nothing
    QTest::keyClick(s, Qt::Key_Left);
    QCOMPARE(Rect(OnDisk(Dir())[0]), QRect(102, 41, 200, 20));
  }

  // F2 over a field opens the palette on it; "zastosuj" writes every
  // control into the record, "anuluj" leaves the file as it was, and a text
  // longer than its place in the record is refused.
  void PaletteWritesOnlyOnApply() {
    auto d = Open(TenFields());
    QWidget* s = d->Surface();
    QTest::mouseMove(s, QPoint(150, 40 + 30 * 4 + 5));
    QTest::keyClick(s, Qt::Key_F2);
    ui::TFPaleta* p = d->Palette();
    QVERIFY(p->isVisible());
    QCOMPARE(p->Index(), 4);
    QCOMPARE(p->windowTitle(), QString("Właściwości obiektu TEKST [0.4]"));
    const QByteArray before = [&] {
      QFile f(d->DcsFile());
      f.open(QIODevice::ReadOnly);
      return f.readAll();
    }();
    p->findChild<QLineEdit*>("XML")->setText("P_77");
    p->findChild<QLineEdit*>("Nazwa")->setText("kwota");
    p->findChild<QCheckBox*>("Block")->setChecked(true);
    p->findChild<QPushButton*>("anuluj")->click();
    QVERIFY(!p->isVisible());
    {
      QFile f(d->DcsFile());
      f.open(QIODevice::ReadOnly);
      QCOMPARE(f.readAll(), before);
    }

    QTest::keyClick(s, Qt::Key_F2);
    p->findChild<QLineEdit*>("Nazwa")->setText("imię_nazwisko_x");  // 15 characters: one too many
    p->findChild<QLineEdit*>("XML")->setText("P_77");
    QTimer::singleShot(0, [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->accept();
    });
    p->findChild<QPushButton*>("zastosuj")->click();
    QCOMPARE(OnDisk(Dir())[4].XMLNode, std::string("P_5"));
    p->findChild<QLineEdit*>("Nazwa")->setText("kwota");
    p->findChild<QCheckBox*>("Block")->setChecked(true);
    p->findChild<QPushButton*>("zastosuj")->click();
    const auto v = OnDisk(Dir());
    QCOMPARE(v[4].XMLNode, std::string("P_77"));
    QCOMPARE(v[4].Name, std::string("kwota"));
    QVERIFY(v[4].Block);
    QCOMPARE(Rect(v[4]), Rect(TenFields()[4]));
    QCOMPARE(d->Fields()[4].XMLNode, std::string("P_77"));
  }

  // The type dialog shows the field's type; choosing another resets the
  // field to that type's defaults and keeps its place and names; "Anuluj"
  // writes nothing.
  void TypeDialogResets() {
    auto fields = TenFields();
    fields[2].Hint = "pomoc";
    fields[2].Poz = 12;
    fields[2].MaxChar = 30;
    auto d = Open(fields);
    QWidget* s = d->Surface();
    QTest::mouseMove(s, QPoint(150, 40 + 30 * 2 + 5));
    d->ShowTypeDialog();
    ui::TFObj* t = d->TypeDialog();
    QCOMPARE(t->Tabs()->currentIndex(), int(kTekst));
    QCOMPARE(t->windowTitle(), QString("Zmiana typu obiektu [0.2]"));
    t->Tabs()->setCurrentIndex(kLiczba);
    t->findChild<QPushButton*>("Anuluj")->click();
    QCOMPARE(OnDisk(Dir())[2].Typ, int(kTekst));

    d->ShowTypeDialog();
    t->Tabs()->setCurrentIndex(kLiczba);
    t->findChild<QPushButton*>("Zastosuj")->click();
    const FieldObject f = OnDisk(Dir())[2];
    QCOMPARE(f.Typ, int(kLiczba));
    QCOMPARE(f.Option, 1);
    QCOMPARE(f.TextAlign, 1);
    QCOMPARE(f.DefValue, std::string("0,00"));
    QCOMPARE(f.MaxChar, 0);
    QCOMPARE(f.Hint, std::string());
    QCOMPARE(f.XMLNode, std::string());
    QCOMPARE(f.Poz, 12);
    QCOMPARE(f.Name, std::string("2"));
    QCOMPARE(f.Tab, 2);
    QCOMPARE(Rect(f), Rect(fields[2]));
  }

#ifdef PIT_WITH_DCGEN
  // What the designer writes goes back to a form source: PIT/O with a field
  // drawn, one moved, one retyped to a line and one deleted decompiles into
  // a source that compiles to the very bytes of the edited .dcs and keeps
  // the names of the shipped source.
  void EditedDefinitionGoesBackToASource() {
    QTemporaryDir work;
    for (const QString& f : QDir(PIT_BIN_DIR "/dc").entryList({"6.*", "6_*"}, QDir::Files))
      QFile::copy(PIT_BIN_DIR "/dc/" + f, work.path() + "/" + f);
    FormDesigner d(work.path());
    d.OpenForm(kPitO, 1);
    d.resize(900, 1100);
    d.show();
    QWidget* s = d.Surface();
    const std::size_t shipped = d.Fields().size();
    Drag(s, {300, 830}, {100, 800});  // below the last row of page 1
    d.Palette()->hide();
    QCOMPARE(d.Fields().size(), shipped + 1);
    const FieldObject birth = d.Fields().at(10);
    Drag(s, {birth.Left + 5, birth.Top + 5}, {birth.Left + 12, birth.Top + 8});
    QCOMPARE(d.Fields().at(10).Left, birth.Left + 7);
    const FieldObject status = d.Fields().at(11);
    QTest::mouseMove(s, QPoint(status.Left + 5, status.Top + 5));
    d.ShowTypeDialog();
    d.TypeDialog()->Tabs()->setCurrentIndex(kKreska);
    d.TypeDialog()->findChild<QPushButton*>("Zastosuj")->click();
    QCOMPARE(d.Fields().at(11).Typ, int(kKreska));
    const FieldObject count = d.Fields().at(3);
    QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(count.Left + 5, count.Top + 5));
    QTest::keyClick(s, Qt::Key_Delete);
    QCOMPARE(d.Fields().size(), shipped);
    QCOMPARE(d.Fields().at(3).ID, 4);

    QFile dcs(d.DcsFile());
    QVERIFY(dcs.open(QIODevice::ReadOnly));
    const QByteArray edited = dcs.readAll();
    struct Measurer : dcgen::Measurer {
      double Width(const std::string& s, double em, bool) override { return s.size() * em * 0.55; }
    } m;
    dcgen::DecompileInput in;
    in.idPit = kPitO;
    in.code = "PIT/O";
    in.variant = 20;
    in.fields = d.Fields();
    in.description = LoadFormDescription((work.path() + "/6.dcd").toStdString());
    // The shipped source the definition was made from gives the names.
    in.previous = dcgen::LoadPreviousSource(PIT_SOURCE_DIR "/data/forms/06-PIT-O.yaml", m);
    const dcgen::Decompiled back = dcgen::Decompile(in, m);
    QCOMPARE(QString::fromStdString(back.problems.empty() ? std::string() : back.problems.front()), QString());
    const YAML::Node source = YAML::Load(dcgen::EmitSource(back.source, "test"));
    const auto compiled = dcgen::CompileForm(source, m);
    const auto bytes = EncodeFieldObjects(compiled.fields);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size())), edited);

    // The deleted field's name is gone and told; the fields after it moved
    // down with theirs (moved and retyped ones too); the drawn one has none.
    QCOMPARE(back.dropped.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(back.dropped[0].id), QString("copy_number"));
    QVERIFY(back.dropped[0].deleted);
    QCOMPARE(compiled.ids.count("copy_number"), std::size_t(0));
    QCOMPARE(compiled.ids.at("taxpayer_surname"), 3);
    QCOMPARE(compiled.ids.at("spouse_birth_date"), 9);
    QCOMPARE(compiled.ids.at("status"), 10);
    QCOMPARE(compiled.ids.size(), in.previous->ids.size() - 1);
    for (const auto& [id, index] : compiled.ids) QVERIFY(index != static_cast<int>(shipped) - 1);
    QCOMPARE(QString::fromStdString(source["namespace"].Scalar()), QString("pit_o"));
    QCOMPARE(QString::fromStdString(source["exempt"].Scalar()), QString("P_1,P_2,P_5,P_6,P_7,P_8,P_9,P_10,"));
  }
#endif

  // The CSV list of PIT/O: PITO[20].csv in the tmp folder, one line per
  // field with an XML name; a definition without a .dcs file is reported.
  void CsvList() {
    const QString tmp = Dir() + "/tmp";
    auto fields = TenFields();
    fields[1].XMLNode = "   ";
    fields[2].XMLNode.clear();
    fields[3].Page = 2;
    fields[3].Poz = 14;
    SaveFieldObjects(DcsPath(Dir().toStdString(), kPitO), std::vector<FieldObject>(fields.begin(), fields.begin() + 4));
    FormDesigner d(Dir(), tmp);
    d.OpenForm(kPitO, 1);
    QString error;
    const QString path = d.WriteFieldCsv(&error);
    QCOMPARE(path, tmp + "/PITO[20].csv");
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("id,XMLNode,Page,Poz,Tab\n0,P_1,1,0,0\n3,P_4,2,14,3\n"));

    QFile::remove(QString::fromStdString(DcsPath(Dir().toStdString(), kPitO)));
    QVERIFY(d.WriteFieldCsv(&error).isEmpty());
    QCOMPARE(error, "Brak pliku Dcs!: " + QString::fromStdString(DcsPath(Dir().toStdString(), kPitO)));
  }

  // The Opcje tab shows only the panels of the field's type.
  void PaletteOptionsFollowTheType() {
    const QStringList all = {"PanelWyrownanie", "PanelLimit", "PanelWielowierszowe", "PanelLiczba", "PanelNip",
                             "PanelData",       "PanelKwadrat", "PanelLista",        "PanelKreska"};
    struct Case {
      int typ;
      QStringList shown;
    };
    const Case cases[] = {
        {kTekst, {"PanelWyrownanie", "PanelLimit", "PanelWielowierszowe"}},
        {kLiczba, {"PanelWyrownanie", "PanelLimit", "PanelLiczba"}},
        {kJedenProcent, {"PanelWyrownanie", "PanelLimit", "PanelLiczba"}},
        {kNip, {"PanelWyrownanie", "PanelNip"}},
        {kData, {"PanelWyrownanie", "PanelData"}},
        {kSelect, {"PanelLista"}},
        {kCheckbox, {"PanelKwadrat"}},
        {kKreska, {"PanelKreska"}},
        {kUrzadSkarbowy, {}},
        {kKraj, {}},
    };
    for (const Case& c : cases) {
      auto fields = TenFields();
      fields[0].Typ = c.typ;
      auto d = Open(fields);
      QTest::mouseMove(d->Surface(), QPoint(600, 600));  // a move onto the field, wherever the pointer was
      QTest::mouseMove(d->Surface(), QPoint(150, 50));
      d->ShowPalette();
      QCOMPARE(d->Palette()->Index(), 0);
      for (const QString& name : all) {
        auto* panel = d->Palette()->findChild<QGroupBox*>(name);
        QVERIFY2(panel != nullptr, qPrintable(name));
        QVERIFY2(panel->isHidden() != c.shown.contains(name), qPrintable(QString("typ %1, %2").arg(c.typ).arg(name)));
      }
      d->Palette()->hide();
    }
  }

  // The pick-list buttons fill the chosen entry and step down, or empty it
  // and step up; "zastosuj" stores the entries, the chosen one as Option and
  // its text as Value. A text longer than an entry holds is refused.
  void PalettePickList() {
    auto fields = TenFields();
    fields[0].Typ = kSelect;
    auto d = Open(fields);
    QTest::mouseMove(d->Surface(), QPoint(600, 600));
    QTest::mouseMove(d->Surface(), QPoint(150, 50));
    d->ShowPalette();
    ui::TFPaleta* p = d->Palette();
    QCOMPARE(p->Index(), 0);
    auto* text = p->findChild<QLineEdit*>("SelectText");
    auto* value = p->findChild<QLineEdit*>("SelectValue");
    auto* list = p->findChild<QListWidget*>("EListBox");
    auto* add = p->findChild<QPushButton*>("Dodaj");
    auto* remove = p->findChild<QPushButton*>("Usun");
    QVERIFY(text && value && list && add && remove);
    QCOMPARE(list->currentRow(), 0);
    for (const auto& [t, v] : {std::pair<QString, QString>{"roczny", "R"}, {"kwartalny", "K"}}) {
      text->setText(t);
      value->setText(v);
      add->click();
    }
    QCOMPARE(list->item(1)->text(), QString("kwartalny = K"));
    QCOMPARE(list->currentRow(), 2);
    QTimer::singleShot(0, [] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w)) box->accept();
    });
    text->setText(QString(50, QChar(u'ż')));
    add->click();
    QCOMPARE(list->item(2)->text(), QString(" = 0"));
    QCOMPARE(list->currentRow(), 2);
    remove->click();  // empties entry 2, which is empty, and steps up
    QCOMPARE(list->currentRow(), 1);
    remove->click();
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(list->item(1)->text(), QString(" = 0"));
    p->findChild<QPushButton*>("zastosuj")->click();
    const FieldObject f = OnDisk(Dir())[0];
    QCOMPARE(f.SelectItems[0].Text, std::string("roczny"));
    QCOMPARE(f.SelectItems[0].Value, std::string("R"));
    QCOMPARE(f.SelectItems[1].Text, std::string());
    QCOMPARE(f.SelectItems[1].Value, std::string("0"));
    QCOMPARE(f.Option, 0);
    QCOMPARE(f.Value, std::string("roczny"));
  }

  // The palette takes the size of the panel shown; "Oblicz" has no panel
  // and leaves the window as it was; the palette opens on the tab last shown.
  void PaletteFitsItsPanel() {
    auto d = Open(TenFields());
    QTest::mouseMove(d->Surface(), QPoint(150, 50));  // over field 0
    d->ShowPalette();
    ui::TFPaleta* p = d->Palette();
    QCOMPARE(p->Tabs()->currentIndex(), 0);
    const QSize general = p->size();
    p->Tabs()->setCurrentIndex(1);  // three colour buttons, two fills and the font size
    const QSize look = p->size();
    QVERIFY2(look.height() < general.height(), qPrintable(QString("%1 / %2").arg(look.height()).arg(general.height())));
    p->Tabs()->setCurrentIndex(3);
    QCOMPARE(p->size(), look);
    p->hide();
    d->ShowPalette();
    QCOMPARE(p->Tabs()->currentIndex(), 3);
    QCOMPARE(p->size(), look);
    p->Tabs()->setCurrentIndex(0);
    QCOMPARE(p->size(), general);
    p->hide();
  }

  // "Nowy" starts definition tmp in the folder tmp with the empty sheet;
  // "Dodaj stronę druku" copies pictures in as pages 1 and 2 and writes the
  // .dcd; "Zapisz jako ..." copies the whole definition under the new name
  // without replacing a file already there; "Otwórz" takes it up again.
  void FileCommands() {
    QTemporaryDir dc;
    const QString root = dc.path();
    FormDesigner d(root);  // a folder without definitions starts a new one
    d.resize(900, 1100);
    d.show();
    auto action = [&](const char* name) { return d.findChild<QAction*>(name); };
    QVERIFY(action("Nowy") && action("Otworz") && action("ZapiszJako") && action("DodajStrone"));
    action("Nowy")->trigger();
    QCOMPARE(d.DefinitionName(), "tmp");
    QCOMPARE(d.DcsFile(), root + "/tmp/tmp.dcs");
    QCOMPARE(d.PageCount(), 0);
    QCOMPARE(d.PageImage().size(), QSize(800, 1000));
    QCOMPARE(d.PageImage().pixelColor(50, 400), QColor(Qt::black));  // the frame 50 pixels inside
    QCOMPARE(d.PageImage().pixelColor(30, 400), QColor(Qt::white));

    // Pictures that are no page, or whose page file is already there, add nothing.
    const QString junk = root + "/junk.dcg";
    {
      QFile f(junk);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("not a picture");
    }
    const QString page1 = PIT_BIN_DIR "/dc/6_1.dcg", page2 = PIT_BIN_DIR "/dc/6_2.dcg";
    QVERIFY(!d.AddPrintPage(junk));
    QVERIFY(d.LastMessage().contains("nie jest obrazem strony"));
    QVERIFY(!QFile::exists(root + "/tmp/tmp_1.dcg"));
    QVERIFY(d.AddPrintPage(page1));
    QVERIFY(d.AddPrintPage(page2));
    QCOMPARE(d.PageCount(), 2);
    QCOMPARE(d.Page(), 2);
    QCOMPARE(d.PageImage().height(), 1131);
    auto bytes = [](const QString& path) {
      QFile f(path);
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QCOMPARE(bytes(root + "/tmp/tmp_2.dcg"), bytes(page2));
    auto dcd = LoadFormDescription((root + "/tmp/tmp.dcd").toStdString());
    QVERIFY(dcd.has_value());
    QCOMPARE(dcd->PageCount, 2);
    QCOMPARE(dcd->PageHeight, 1131);
    QCOMPARE(dcd->PageWidth, 800);
    QVERIFY(QString::fromStdString(dcd->Path).endsWith("tmp.dcd"));
    QCOMPARE(d.findChild<QLabel*>("RozmiarDruku")->text(), QString("Rozmiar druku:[800x1131] Roz.rob.druk: 800x1131"));
    QFile::copy(junk, root + "/tmp/tmp_3.dcg");
    QVERIFY(!d.AddPrintPage(page1));
    QCOMPARE(d.PageCount(), 2);
    QCOMPARE(LoadFormDescription((root + "/tmp/tmp.dcd").toStdString())->PageCount, 2);

    // A field drawn on page 2 of the new definition goes to its own .dcs.
    Drag(d.Surface(), {100, 100}, {300, 130});
    auto onDisk = LoadFieldObjects((root + "/tmp/tmp.dcs").toStdString());
    QVERIFY(onDisk && onDisk->size() == 1);
    QCOMPARE(onDisk->at(0).Page, 2);

    QVERIFY(!d.SaveDefinitionAs("a/b"));
    QVERIFY(QDir(root + "/pitx").mkpath("."));
    {
      QFile f(root + "/pitx/pitx_1.dcg");
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("X");
    }
    QVERIFY(d.SaveDefinitionAs("pitx"));
    QCOMPARE(d.DcsFile(), root + "/pitx/pitx.dcs");
    QCOMPARE(bytes(root + "/pitx/pitx_1.dcg"), QByteArray("X"));  // never overwritten
    QCOMPARE(bytes(root + "/pitx/pitx_2.dcg"), bytes(page2));
    QCOMPARE(bytes(root + "/pitx/pitx.dcs"), bytes(root + "/tmp/tmp.dcs"));
    dcd = LoadFormDescription((root + "/pitx/pitx.dcd").toStdString());
    QVERIFY(dcd && dcd->PageCount == 2);
    QVERIFY(QString::fromStdString(dcd->Path).endsWith("pitx.dcd"));
    QVERIFY(QFile::exists(root + "/tmp/tmp.dcs"));

    action("Nowy")->trigger();
    QVERIFY(!d.OpenDefinition(root + "/none.dcd"));
    QCOMPARE(d.DefinitionName(), "tmp");
    QVERIFY(d.OpenDefinition(root + "/pitx/pitx.dcd"));
    QCOMPARE(d.DefinitionName(), "pitx");
    QCOMPARE(d.DefinitionFolder(), root + "/pitx");
    QCOMPARE(d.PageCount(), 2);
    QCOMPARE(d.Page(), 1);
    d.ShowPage(2);
    QCOMPARE(d.Fields().size(), std::size_t(1));
    QCOMPARE(d.FieldAt(QPoint(150, 110)), 0);
  }

  // The slider shows the field layer at tenths of the picture's own size
  // and leaves the fields where they are; 0 is the page 800 pixels wide.
  void ScaleSlider() {
    QTemporaryDir dc;
    for (const QString& f : {QString("6_1.dcg"), QString("6.dcd")})
      QFile::copy(PIT_BIN_DIR "/dc/" + f, dc.path() + "/" + f);
    SaveFieldObjects(DcsPath(dc.path().toStdString(), 6), {Field(0, 100, 100, 200, 120)});
    FormDesigner d(dc.path());
    d.OpenForm(6, 1);
    d.ScaleSlider()->setValue(100);
    const QSize full = d.Surface()->size();
    QVERIFY(full.width() > 100);
    QCOMPARE(full.height() * 800 / full.width(), 1131);
    d.ScaleSlider()->setValue(57);
    QCOMPARE(d.Scale(), 50);
    QCOMPARE(d.Surface()->size(), QSize(full.width() / 2, full.height() / 2));
    QVERIFY(d.StatusText().contains("skala: 50"));
    QCOMPARE(d.FieldAt(QPoint(150, 110)), 0);
    d.ScaleSlider()->setValue(0);
    QCOMPARE(d.Surface()->size(), QSize(800, 1131));
  }

  // With PIT_DESIGNER_SHOTS set to a folder: pictures of the PIT/O definition
  // (IdPit 6) in designer mode, with a field selected, for looking at.
  void Shots() {
    const QString out = qEnvironmentVariable("PIT_DESIGNER_SHOTS");
    if (out.isEmpty()) QSKIP("PIT_DESIGNER_SHOTS not set");
    QTemporaryDir work;
    for (const QString& f : QDir(PIT_BIN_DIR "/dc").entryList({"6.*", "6_*"}, QDir::Files))
      QFile::copy(PIT_BIN_DIR "/dc/" + f, work.path() + "/" + f);
    FormDesigner d(work.path());
    d.OpenForm(6, 1);
    d.resize(880, 1000);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    d.grab().save(out + "/designer-pito.png");
    const auto& f = d.Fields().at(10);
    QTest::mouseClick(d.Surface(), Qt::LeftButton, {}, QPoint(f.Left + 2, f.Top + 2));
    QCOMPARE(d.Selected(), 10);
    d.grab().save(out + "/designer-pito-selected.png");
    QTest::mouseMove(d.Surface(), QPoint(f.Left + 2, f.Top + 2));
    d.ShowPalette();
    d.Palette()->grab().save(out + "/palette-ogolne.png");
    d.Palette()->Tabs()->setCurrentIndex(1);
    d.Palette()->grab().save(out + "/palette-wyglad.png");
    d.Palette()->Tabs()->setCurrentIndex(2);
    d.Palette()->grab().save(out + "/palette-opcje.png");
    d.ShowTypeDialog();
    d.TypeDialog()->grab().save(out + "/tfobj.png");
    d.Palette()->hide();
    d.TypeDialog()->hide();
    d.ScaleSlider()->setValue(30);
    d.grab().save(out + "/designer-scale30.png");
  }
};

QTEST_MAIN(DesignerTest)
#include "designer_test.moc"
