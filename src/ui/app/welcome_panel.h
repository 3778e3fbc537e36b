#pragma once
// The welcome panel RozpocznijPrace at the bottom of the main window while
// no settlement is open: two pictures, each with a highlighted twin that
// stands over it while the mouse is there. Both take the keyboard focus
// (Tab), which shows the twin too, and Enter or Space presses them.
#include <QLabel>
#include <QWidget>

namespace pit::ui {

class WelcomePicture;

class WelcomePanel : public QWidget {
  Q_OBJECT

 public:
  explicit WelcomePanel(QWidget* parent = nullptr);

  // Hides both highlighted twins (the mouse left the pictures).
  void HideTwins();

  QWidget* PButtons = nullptr;
  WelcomePicture* IRozpocznijPrace = nullptr;
  WelcomePicture* IIRozpocznijPrace = nullptr;
  WelcomePicture* IOtworzIstniejace = nullptr;
  WelcomePicture* IIOtworzIstniejace = nullptr;

 signals:
  void startWorkClicked();
  void openExistingClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

class WelcomePicture : public QLabel {
  Q_OBJECT

 public:
  WelcomePicture(const QPixmap& picture, QWidget* parent);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace pit::ui
