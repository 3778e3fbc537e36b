#pragma once
// "Widok → Powiększ / Pomniejsz / Dopasuj do szerokości" in the main window:
// the zoom of the form page, with Ctrl++, Ctrl+- and Ctrl+0 wherever the
// focus is in the window (the settlement tree included), not only on the page.
#include <QObject>

class QAction;
class QMenu;

namespace pit::ui {

class TTools;

class ZoomCommands : public QObject {
  Q_OBJECT

 public:
  explicit ZoomCommands(TTools& window);

  QMenu* Menu() const { return menu_; }
  QAction* ZoomInAction() const { return in_; }
  QAction* ZoomOutAction() const { return out_; }
  QAction* FitAction() const { return fit_; }

 private:
  // The page there is to zoom: none while the welcome panel is shown.
  bool PageShown() const;
  void UpdateActions();
  // The zoom in the bar above the page, in percent of the printed width.
  void ShowZoom();

  TTools& w_;
  QMenu* menu_ = nullptr;
  QAction* in_ = nullptr;
  QAction* out_ = nullptr;
  QAction* fit_ = nullptr;
};

}  // namespace pit::ui
