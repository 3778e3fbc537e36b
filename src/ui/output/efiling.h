#pragma once
// The main window's e-filing commands: "Weryfikacja" (ToolCheck), "Wyślij"
// (ToolSend) and "Otwórz program Veltra" (ToolOpenVeltra). The check lists the
// required fields left empty; with nothing missing and a connection both go
// on to the hand-off, which exports the current return and starts the
// e-filing program on it.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "output/validation.h"

class QWidget;

namespace pit::ui {

struct AppContext;

enum class HandOffMode { Check = 0, Send = 1 };

class EFiling : public QObject {
  Q_OBJECT

 public:
  // What the commands ask of the system and of the user; tests replace them.
  struct Hooks {
    std::function<bool()> connected;
    std::function<void(const QString& text)> show;
    // The list of the empty required fields (count above 0).
    std::function<void(const ValidationResult& result)> showProblems;
    // Yes/No question with a warning icon; true for Yes.
    std::function<bool(const QString& title, const QString& text)> askYesNo;
    std::function<bool(const QString& name)> running;
    std::function<bool(const QString& program, const QStringList& args, const QString& folder)> start;
  };

  // What the commands need of the main window; it makes them with these.
  struct MainWindowCalls {
    // The value being typed committed and the page shown again.
    std::function<void()> commitTyping;
    // Saves to the path (asks for one when empty); false when not saved.
    std::function<bool(const QString& path)> save;
    // After the settlement was brought up to date for the export: the form
    // on screen shown with the values that changed behind it (`calculated`:
    // every calculation went through).
    std::function<void(bool calculated)> showPrepared;
    // The entry's form shown at the field, the field opened.
    std::function<void(int entry, int field)> goToField;
  };

  // `window` parents the object and its message boxes.
  EFiling(AppContext& ctx, MainWindowCalls calls, QWidget* window);

  Hooks hooks;

  // The check over all forms; shows at most one box. Returns the count.
  int Validate(bool showAllFilled);

  // The export folder of the last hand-off (empty before the first).
  QString LastExportFolder() const { return lastExportFolder_; }

 public slots:
  void TbCheckClick();
  void TBSendXMLClick();
  void TBOpenXMLClick();

 private:
  void HandOff(HandOffMode mode);

  AppContext& ctx_;
  MainWindowCalls calls_;
  QWidget* window_;
  QString lastExportFolder_;
};

}  // namespace pit::ui
