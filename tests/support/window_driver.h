#pragma once
// Drives the main window as the user does: starts the program on a program
// folder, clicks a field on its page, types and commits. The window tests
// share these so that a change of how a field is reached (its page, the
// click, the editor) is made once.
#include <QLineEdit>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QToolButton>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "app/document.h"
#include "app/settlement.h"
#include "calc/identification.h"
#include "forms/definition_library.h"
#include "ui/app/app_context.h"
#include "ui/app/ttools.h"
#include "ui/forms/tfimage.h"

namespace pit::testsupport {

// A PIT-37 with the taxpayer's attachments `attachments` (a PIT/O, ...),
// the taxpayer's surname typed in and, as the calculations leave it, the
// persons' data on every form; `fill` types more before the file is saved.
inline bool SavePit37Settlement(const QString& path, const QString& programFolder,
                                std::initializer_list<int> attachments, const std::string& surname = "KOWALSKI",
                                const std::function<void(Settlement&)>& fill = {}) {
  DefinitionLibrary defs((programFolder + QStringLiteral("/dc")).toStdString());
  Settlement s;
  s.AddEntry(kPit37, 0, kPmNone, kIndividual);
  for (int idPit : attachments) s.AddEntry(idPit, 1, kPmTaxpayer, kIndividual);
  s.RebuildTree(defs);
  s.Write(1, 10, surname);
  if (fill) fill(s);
  IdentificationRecords ids;
  CollectIdentification(s, ids, 1);
  DistributeIdentification(s, ids);
  return SaveSettlement(s, path.toStdString()).ok;
}

// A started program: created, shown, through the show handler.
struct StartedProgram {
  ui::AppContext ctx;
  std::unique_ptr<ui::TTools> window;
  // The window became the active one: keys typed reach it.
  bool active = false;
  // The show handler went on (it stops when the user gives up a question).
  bool showed = false;
};

struct StartOptions {
  // Empty: the window's own size.
  QSize size;
  // Wait until the window is the active one before the show handler runs.
  bool activate = true;
};

// Message boxes on the way are answered by the caller's BoxAnswerer.
inline std::unique_ptr<StartedProgram> StartProgram(const QString& programFolder, const QStringList& args,
                                                    const StartOptions& options = {}) {
  auto st = std::make_unique<StartedProgram>();
  st->ctx.programFolder = programFolder.toStdString();
  st->window = std::make_unique<ui::TTools>(st->ctx);
  if (options.size.isValid()) st->window->resize(options.size);
  st->window->show();
  if (options.activate) {
    st->window->activateWindow();
    st->active = QTest::qWaitForWindowActive(st->window.get());
    if (!st->active) return st;
  }
  st->showed = st->window->AfterShow(args);
  return st;
}

// The middle of the field on the page shown: where the user clicks.
inline QPoint FieldMiddle(ui::TFImage& form, const FieldObject& d) {
  return form.SurfacePoint(QPoint(1 + (d.Left + d.Right) / 2, (d.Top + d.Bottom) / 2));
}

// Clicks the field on the page shown; the editor the click opened, if any.
inline QWidget* ClickOnPage(ui::TFImage& form, const FieldObject& d) {
  QTest::mouseClick(form.Surface(), Qt::LeftButton, Qt::NoModifier, FieldMiddle(form, d));
  return form.OpenEditor();
}

// Shows `entry` at the page of `field` and clicks the field.
inline QWidget* ClickField(ui::TTools& w, int entry, int field) {
  ui::TFImage& form = *w.Form();
  const CurrentEntryState& c = w.Context().settlement.Current;
  if (c.Number != entry) w.SelectEntry(entry);
  const FieldObject d = form.Fields()[static_cast<std::size_t>(field)];
  for (int guard = 0; guard < 8 && c.Page != d.Page; ++guard)
    (c.Page < d.Page ? w.PitNextPage : w.PitPrevPage)->click();
  if (c.Page != d.Page) return nullptr;
  return ClickOnPage(form, d);
}

// Types `text` over the value of `field` of `entry` and commits it with
// `commit` (Tab or Return). False when no line editor opened.
inline bool TypeAndCommit(ui::TTools& w, int entry, int field, const QString& text, Qt::Key commit = Qt::Key_Tab) {
  auto* edit = qobject_cast<QLineEdit*>(ClickField(w, entry, field));
  if (edit == nullptr) return false;
  edit->selectAll();
  QTest::keyClicks(edit, text);
  QTest::keyClick(edit, commit);
  return true;
}

}  // namespace pit::testsupport
