#pragma once
// The main window's view of the result and of the methods of taxation: the
// result bar under the page bar, which follows every commit, undo and redo
// and opens the field an amount comes from, and "Rozliczenie → Porównaj
// sposoby rozliczenia…" with its "Zastosuj".
#include <QObject>
#include <QString>
#include <functional>

#include "compare/methods.h"

class QAction;

namespace pit::ui {

struct AppContext;
class ResultBar;
class TPorownanie;
class TTools;

class MethodCommands : public QObject {
  Q_OBJECT

 public:
  MethodCommands(TTools& window, AppContext& ctx);

  ResultBar* Bar() const { return bar_; }
  QAction* CompareAction() const { return compare_; }
  TPorownanie* Window() const { return window_; }

  // The bar shows the return of the form shown as the settlement holds it now.
  void RefreshBar();
  // The page of entry `entry` that holds field `field` shown, the field opened.
  void OpenField(int entry, int field);
  // The comparison worked out and its window shown (not modal).
  void ShowComparison();
  // Switches the settlement to method `m` as the selection screen would
  // set it up; false when nothing changed.
  bool Apply(TaxMethod m);
  // Where a joint settlement's spouse part is saved when it is split; the
  // file dialog by default (tests give a name).
  void SetSpouseFileChooser(std::function<QString()> f) { spouseFile_ = std::move(f); }

 private:
  bool SplitJoint();
  QString AskSpouseFileName();

  TTools& w_;
  AppContext& ctx_;
  ResultBar* bar_ = nullptr;
  QAction* compare_ = nullptr;
  TPorownanie* window_ = nullptr;
  std::function<QString()> spouseFile_;
};

}  // namespace pit::ui
