#pragma once
// The main window's e-filing commands: "Weryfikacja" (TbCheck), "Wyślij"
// (TBSendXML) and "Otwórz program Veltra" (TBOpenXML). The check lists the
// required fields left empty; with nothing missing and a connection both go
// on to the hand-off, which exports the current return and starts the
// e-filing program on it.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "output/validation.h"

namespace pit::ui {

class TTools;

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

  explicit EFiling(TTools& main);

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

  TTools& main_;
  QString lastExportFolder_;
};

}  // namespace pit::ui
