// What happens to the open settlement when the user replaces or closes it in
// the main window: the save question and its Esc, "Nowe" given up half-way,
// and a file handed over by a second start of the program.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "ui/app/app_context.h"
#include "ui/app/startup.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"
#include "../support/own_home.h"

using namespace pit;
using pit::ui::TTools;

namespace {

// Watches the modal windows that open while it lives: a message box gets
// `onBox` (which presses a key or a button on it), a file dialog is
// remembered and cancelled, any other dialog gets `onDialog`.
class ModalWatcher : public QObject {
 public:
  ModalWatcher() {
    connect(&timer_, &QTimer::timeout, this, &ModalWatcher::Poll);
    timer_.start(10);
  }
  std::function<void(QMessageBox&)> onBox = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
  std::function<void(QDialog&)> onDialog = [](QDialog& d) { d.reject(); };
  QStringList boxTitles;
  QList<QMessageBox::StandardButtons> boxButtons;
  QStringList dialogs;  // class names of the other dialogs, file dialogs included

 private:
  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr || !w->isVisible() || seen_.contains(w)) return;
    seen_.append(w);
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      boxTitles << box->windowTitle();
      boxButtons << box->standardButtons();
      onBox(*box);
    } else if (auto* d = qobject_cast<QDialog*>(w)) {
      dialogs << QString::fromLatin1(d->metaObject()->className());
      if (qobject_cast<QFileDialog*>(d) != nullptr) {
        d->reject();
      } else {
        onDialog(*d);
      }
    }
  }
  QTimer timer_;
  QList<QPointer<QWidget>> seen_;
};

}  // namespace

class DocumentWindowTest : public QObject {
  Q_OBJECT

  QTemporaryDir dir_;
  QString program_;

  QString File(const QString& name) const { return dir_.filePath(name); }

  struct Started {
    ui::AppContext ctx;
    std::unique_ptr<TTools> window;
  };
  std::unique_ptr<Started> Start(const QStringList& args) {
    auto st = std::make_unique<Started>();
    st->ctx.programFolder = program_.toStdString();
    st->window = std::make_unique<TTools>(st->ctx);
    st->window->show();
    if (!st->window->AfterShow(args)) return nullptr;
    return st;
  }

  // A PIT-37 with the taxpayer's PIT/O, the surname typed in.
  void MakeSettlementFile(const QString& path, const char* surname = "KOWALSKI") {
    DefinitionLibrary defs((program_ + QStringLiteral("/dc")).toStdString());
    Settlement s;
    s.AddEntry(kPit37, 0, kPmNone, kIndividual);
    s.AddEntry(kPitO, 1, kPmTaxpayer, kIndividual);
    s.RebuildTree(defs);
    s.Entry(1).Slots[10].SetValue(surname);
    IdentificationRecords ids;
    CollectIdentification(s, ids, 1);
    DistributeIdentification(s, ids);
    QVERIFY(SaveSettlement(s, path.toStdString()).ok);
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    program_ = dir_.filePath(QStringLiteral("program"));
    QDir().mkpath(program_ + QStringLiteral("/dc"));
    QDir().mkpath(program_ + QStringLiteral("/bib"));
    const QDir built(QStringLiteral(PIT_BIN_DIR "/dc"));
    for (const QString& name : built.entryList({QStringLiteral("2.*"), QStringLiteral("2_*"), QStringLiteral("6.*"),
                                                QStringLiteral("6_*")},
                                               QDir::Files)) {
      QFile::copy(built.filePath(name), program_ + QStringLiteral("/dc/") + name);
    }
    for (const char* name : {"US.xsd", "KR.xsd"}) {
      QFile::copy(QStringLiteral(PIT_SOURCE_DIR "/data/bib/") + QLatin1String(name),
                  program_ + QStringLiteral("/bib/") + QLatin1String(name));
    }
    QVERIFY(QFile::exists(program_ + QStringLiteral("/dc/2.dcs")));
  }

  // Esc on the save question is "Anuluj" wherever the question comes from:
  // the settlement stays open with its changes, nothing else is asked.
  void escOnTheSaveQuestionKeepsTheChanges_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("Rozliczenie → Zamknij") << "Zamknij1";
    QTest::newRow("Otwórz") << "Otw1";
    QTest::newRow("Otwórz from the tool bar") << "ToolButton2";
    QTest::newRow("closing the window") << "";
  }
  void escOnTheSaveQuestionKeepsTheChanges() {
    QFETCH(QString, command);
    const QString path = File(QStringLiteral("esc.dc2014"));
    MakeSettlementFile(path);
    ModalWatcher watcher;
    auto st = Start({path});
    QVERIFY(st != nullptr);
    TTools& w = *st->window;
    w.SelectEntry(1);
    st->ctx.settlement.Entry(1).Slots[10].SetValue("NOWAK");
    w.SetModified();

    if (command.isEmpty()) {
      QVERIFY(!w.close());
    } else {
      auto* action = w.findChild<QAction*>(command);
      QVERIFY(action != nullptr);
      action->trigger();
    }
    QCOMPARE(watcher.boxTitles, QStringList{QStringLiteral("Zapisanie zmian")});
    QCOMPARE(watcher.boxButtons.value(0), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY2(watcher.dialogs.isEmpty(), qPrintable(watcher.dialogs.join(", ")));
    QVERIFY(w.isVisible());
    QVERIFY(st->ctx.settlement.IsOpen());
    QVERIFY(st->ctx.settlement.DocumentModified);
    QVERIFY(w.ToolButtonSave->isEnabled());
    QCOMPARE(st->ctx.settlement.Entry(1).Slots[10].Value, std::string("NOWAK"));
    QCOMPARE(w.TV->topLevelItemCount(), 1);
    QVERIFY(w.Form()->PictureLoaded());
    st->ctx.settlement.DocumentModified = false;
  }
};

int main(int argc, char** argv) {
  static QTemporaryDir home;
  pit::testsupport::UseOwnHomeFolders(home.path());
  QApplication app(argc, argv);
  pit::ui::PrepareApplication(app);
  DocumentWindowTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "document_window_test.moc"
