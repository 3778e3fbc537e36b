// The payer, registration and side forms in the desktop program, as a user
// meets them: each entry chosen in the tree shows its first page, a text
// typed into a field on it is committed into the entry, and saving keeps
// everything. With PIT_FORM_SHOTS set to a folder, a picture of the window
// with each first page filled is written there for looking at.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "app/document.h"
#include "app/settlement.h"
#include "forms/definition_library.h"
#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "../support/box_answerer.h"
#include "../support/own_home.h"

using namespace pit;
using pit::ui::TTools;

namespace {

using testsupport::BoxAnswerer;

struct Entry {
  int idPit, parent;
};

struct Case {
  const char* name;
  int kind;
  std::vector<Entry> entries;
};

// The first plain text field of page 1 the user may type into.
int TypableField(const std::vector<FieldObject>& fields) {
  for (const FieldObject& f : fields) {
    if (f.Page == 1 && f.Typ == kTekst && f.Visible && !f.ReadOnly && f.TextAlign == kAlignLeft &&
        f.MaxChar == 0 && f.Right - f.Left > 60)
      return f.ID;
  }
  return -1;
}

}  // namespace

class SideFormsTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;

 private slots:
  void eachFormIsShownFilledAndSaved_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("PIT-11 with PIT-R and the payer's UPKD") << 0;
    QTest::newRow("PIT-40 with PIT-R") << 1;
    QTest::newRow("NIP-7") << 2;
    QTest::newRow("ZAP-3") << 3;
    QTest::newRow("PIT-16A, NIP-1, NIP-3, NIP-B, NIP-C") << 4;
  }

  void eachFormIsShownFilledAndSaved() {
    QFETCH(int, row);
    static const Case kCases[] = {
        {"payer11", kPayerForms, {{kPit11, 0}, {kPitR, 1}, {kUpkdPayer, 1}}},
        {"payer40", kPayerForms, {{kPit40, 0}, {kPitR, 1}}},
        {"nip7", kRegistrationForms, {{kNip7, 0}}},
        {"zap3", kRegistrationForms, {{kZap3, 0}}},
        {"side", kIndividual, {{kPit16A, 0}, {kNip1, 1}, {kNip3, 1}, {kNipB, 1}, {kNipC, 1}}},
    };
    const Case& c = kCases[row];
    const std::string program = PIT_BIN_DIR;
    const QString path = dir_.filePath(QString::fromLatin1(c.name) + QStringLiteral(".dc2014"));
    {
      DefinitionLibrary defs(program + "/dc");
      Settlement s;
      s.Kind = c.kind;
      for (const Entry& e : c.entries) s.AddEntry(e.idPit, e.parent, kPmNone, c.kind);
      s.RebuildTree(defs);
      QVERIFY(SaveSettlement(s, path.toStdString()).ok);
    }

    BoxAnswerer answerer(QMessageBox::No);
    ui::AppContext ctx;
    ctx.programFolder = program;
    TTools w(ctx);
    w.resize(1280, 1024);
    w.show();
    QVERIFY(w.AfterShow({path}));
    ui::TFImage& form = *w.Form();
    const QString shots = qEnvironmentVariable("PIT_FORM_SHOTS");

    for (int i = 1; i <= ctx.settlement.Count(); ++i) {
      const int idPit = ctx.settlement.Entry(i).IdPit;
      QString code = QString::fromStdString(ctx.settlement.Catalogue()[idPit].Code);
      w.SelectEntry(i);
      QVERIFY2(form.PictureLoaded(), qPrintable(code));
      QCOMPARE(form.CurrentPage(), 1);
      const std::vector<FieldObject>* fields = ctx.defs->Fields(idPit);
      QVERIFY2(fields != nullptr, qPrintable(code));
      const int k = TypableField(*fields);
      QVERIFY2(k >= 0, qPrintable(code));
      const FieldObject& f = (*fields)[static_cast<std::size_t>(k)];
      QTest::mouseClick(form.Surface(), Qt::LeftButton, Qt::NoModifier,
                        form.SurfacePoint(QPoint(1 + (f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2)));
      QCOMPARE(form.EditedObject(), k);
      auto* edit = qobject_cast<QLineEdit*>(form.OpenEditor());
      QVERIFY2(edit != nullptr, qPrintable(code));
      const QString typed = QStringLiteral("WPIS %1").arg(i);
      QTest::keyClicks(edit, typed);
      QTest::keyClick(edit, Qt::Key_Return);
      QCOMPARE(QString::fromStdString(ctx.settlement.Entry(i).Slots()[static_cast<std::size_t>(k)].Value), typed);
      QVERIFY(ctx.settlement.DocumentModified);
      if (!shots.isEmpty()) {
        form.CommitOpenEditor();
        QDir().mkpath(shots);
        QVERIFY(w.grab().save(QStringLiteral("%1/%2_%3_%4.png")
                                  .arg(shots, QString::fromLatin1(c.name))
                                  .arg(i)
                                  .arg(code.replace(QLatin1Char('/'), QLatin1Char('-')).replace(QLatin1Char(' '), QLatin1Char('_')))));
      }
    }

    w.MenuSave->trigger();
    QVERIFY(!ctx.settlement.DocumentModified);
    Settlement saved;
    DefinitionLibrary defs(program + "/dc");
    QVERIFY(LoadSettlement(path.toStdString(), saved, defs).ok);
    QCOMPARE(saved.Count(), ctx.settlement.Count());
    for (int i = 1; i <= saved.Count(); ++i)
      for (int k = 0; k < kSlotCount; ++k)
        QCOMPARE(QString::fromStdString(saved.Entry(i).Slots()[static_cast<std::size_t>(k)].Value),
                 QString::fromStdString(ctx.settlement.Entry(i).Slots()[static_cast<std::size_t>(k)].Value));
  }
};

int main(int argc, char** argv) {
  static QTemporaryDir home;
  pit::testsupport::UseOwnHomeFolders(home.path());
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  SideFormsTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "side_forms_test.moc"
