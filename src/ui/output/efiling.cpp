#include "ui/output/efiling.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "output/export_folder.h"
#include "output/validation.h"
#include "platform/launch.h"
#include "platform/network.h"
#include "platform/processes.h"
#include "print_options.h"
#include "html_copy_pages.h"
#include "text/guid.h"
#include "ui/app/app_context.h"
#include "ui/app/app_texts.h"
#include "ui/output/problem_list.h"

namespace pit::ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const QString kNoConnection = QStringLiteral(
    "Brak połączenia z siecią internet.\nWysłanie zeznania do systemu e-Deklaracje wymaga połączenia internetowego.");
const QString kAlreadyRunning = QStringLiteral("Program Veltra jest już uruchomiony.");
const QString kSaveFirst =
    QStringLiteral("Aby przekazać dokument do Veltra należy zapisać dokument.\nCzy dokonać zapisu dokumentu?");

int Box(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
        QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  if (QAbstractButton* b = box.button(QMessageBox::Yes)) b->setText(QStringLiteral("&Tak"));
  if (QAbstractButton* b = box.button(QMessageBox::No)) b->setText(QStringLiteral("&Nie"));
  return box.exec();
}

}  // namespace

EFiling::EFiling(AppContext& ctx, MainWindowCalls calls, QWidget* window)
    : QObject(window), ctx_(ctx), calls_(std::move(calls)), window_(window) {
  setObjectName(QStringLiteral("EFiling"));
  hooks.connected = [] { return platform::InternetConnected(); };
  hooks.show = [this](const QString& text) {
    Box(window_, QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok);
  };
  hooks.showProblems = [this](const ValidationResult& r) {
    ProblemList list(r, window_);
    if (list.exec() != QDialog::Accepted || list.Chosen() == nullptr) return;
    calls_.goToField(list.Chosen()->entry, list.Chosen()->field);
  };
  hooks.askYesNo = [this](const QString& title, const QString& text) {
    return Box(window_, QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  hooks.running = [](const QString& name) { return platform::ProcessRunning(name); };
  hooks.start = [](const QString& program, const QStringList& args, const QString& folder) {
    return platform::StartProgramIn(program, args, folder);
  };
}

int EFiling::Validate(bool showAllFilled) {
  AppContext& ctx = ctx_;
  const ValidationResult r = ValidateSettlement(ctx.settlement, *ctx.defs);
  if (r.count > 0) {
    hooks.showProblems(r);
  } else if (const std::string text = ValidationMessage(r, showAllFilled); !text.empty()) {
    hooks.show(Q(text));
  }
  return r.count;
}

void EFiling::TbCheckClick() {
  calls_.commitTyping();
  const bool connected = hooks.connected();
  const int problems = Validate(!connected);
  if (problems == 0 && connected) HandOff(HandOffMode::Check);
}

void EFiling::TBSendXMLClick() {
  calls_.commitTyping();
  const bool connected = hooks.connected();
  if (Validate(!connected) != 0) return;
  if (connected) {
    HandOff(HandOffMode::Send);
  } else {
    hooks.show(kNoConnection);
  }
}

void EFiling::TBOpenXMLClick() {
  AppContext& ctx = ctx_;
  const QString exe = Q(ctx.veltraExecutable);
  if (hooks.running(exe)) {
    hooks.show(kAlreadyRunning);
    return;
  }
  const QString folder = Q(ctx.veltraFolder);
  if (!hooks.start(folder + QStringLiteral("/") + exe, {}, folder))
    hooks.show(QStringLiteral("Nie można uruchomić programu Veltra: ") + QDir::toNativeSeparators(folder + "/" + exe));
}

void EFiling::HandOff(HandOffMode mode) {
  AppContext& ctx = ctx_;
  Settlement& s = ctx.settlement;
  const QString exe = Q(ctx.veltraExecutable);
  if (hooks.running(exe)) {
    hooks.show(kAlreadyRunning);
    return;
  }
  // The return of the entry selected last; a settlement opened from the
  // command line has none selected yet: its first return then.
  std::string guid = s.Current.ReturnGuid;
  if (guid.empty() && !s.TreeOrder().empty()) guid = s.Entry(s.TreeOrder().front()).ReturnGuid;
  if (const std::string refusal = HandOffRefusal(s, guid); !refusal.empty()) {
    hooks.show(Q(refusal));
    return;
  }
  // The figures handed on are the settlement's brought up to date, every
  // form calculated, attachments before their returns, whichever is shown
  // (a save asked for below writes those). Figures that could not be
  // worked out are not handed on.
  const OutputPreparation prepared = ctx.Session().PrepareForOutput();
  if (calls_.showPrepared) calls_.showPrepared(prepared.status == CalcStatus::Done);
  // Another return of the settlement with a figure that cannot be read does
  // not stop this one.
  if (const OutputFailure* failure = prepared.FailureIn(s, guid)) {
    hooks.show(Q(failure->error));
    return;
  }
  const std::string exportId = NewGuidText();
  if (s.DocumentModified) {
    if (!hooks.askYesNo(QStringLiteral("Informacja"), kSaveFirst)) return;
    // A cancelled or failed save still exports; the e-filing program is then
    // not started, since it would work on a document that is not on disk.
    calls_.save(Q(s.DocumentPath));
  }

  ExportRequest request{ctx.eDeclarationsFolder, exportId, guid, ctx.Folder("icon"), true};
  ExportHooks exportHooks;
  exportHooks.countryCode = [&ctx](const std::string& name) { return ctx.countries.CodeByName(name); };
  std::vector<std::string> drawMessages;
  const DrawPageHook draw = render::HtmlCopyDrawer(
      s, *ctx.defs, [&ctx](int n) { return ctx.Session().FieldsAsShown(n); }, render::SharedPrintOptions(),
      drawMessages);
  const ExportOutcome out = ExportReturn(s, *ctx.defs, request, exportHooks, draw);
  lastExportFolder_ = Q(out.folder);
  for (const std::string& m : out.messages) hooks.show(Q(m));
  if (!drawMessages.empty()) hooks.show(Q(drawMessages.front()));

  const QString folder = QDir::toNativeSeparators(lastExportFolder_);
  if (!out.filesWritten) {
    hooks.show(QStringLiteral("Nie udało się zapisać plików eksportu w katalogu:\n") + folder);
    return;
  }
  // Starting the e-filing program: the export stays whatever happens here,
  // and the user is told where it is when the program cannot take it.
  const QString veltra = Q(ctx.veltraFolder);
  const QString program = veltra + QStringLiteral("/") + exe;
  QString why;
  if (s.DocumentPath.empty() || !QFileInfo::exists(Q(s.DocumentPath))) {
    why = QStringLiteral("Rozliczenie nie zostało zapisane, więc program Veltra nie został uruchomiony.");
  } else if (hooks.running(exe)) {
    hooks.show(kAlreadyRunning);
    return;
  } else if (!QFileInfo(program).isExecutable()) {
    why = QStringLiteral("Nie znaleziono programu Veltra: ") + QDir::toNativeSeparators(program);
  } else if (!hooks.start(program,
                          {Q(exportId), QStringLiteral("1"), mode == HandOffMode::Send ? QStringLiteral("1")
                                                                                      : QStringLiteral("0")},
                          veltra)) {
    why = QStringLiteral("Nie można uruchomić programu Veltra: ") + QDir::toNativeSeparators(program);
  }
  if (!why.isEmpty())
    hooks.show(why + QStringLiteral("\nPliki do wysłania zapisano w katalogu:\n") + folder);
}

}  // namespace pit::ui
