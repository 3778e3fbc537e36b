#pragma once
// Drives modal windows from inside their own event loops: every message box
// that opens is recorded and answered, and the other modal windows are
// handed, in turn, to the steps of a script.
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

namespace pit::ui::test {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool yesNo = false;  // offered Yes and No
};

class ModalScript : public QObject {
 public:
  // A step gets the active modal window; it returns the action to run on it,
  // or nothing when the window is not the one it waits for.
  using Step = std::function<std::function<void()>(QWidget* modal)>;

  ModalScript() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
    timer_.start();
  }

  std::vector<SeenBox> boxes;
  // Buttons for the next message boxes; an empty queue answers OK, or No
  // when the box has no OK.
  std::deque<QMessageBox::StandardButton> answers;
  std::deque<Step> steps;
  // A hook to look at a message box before it is answered (pictures).
  std::function<void(QMessageBox*)> onBox;

  // Closes every modal window after `ms` so that a test that went wrong
  // fails instead of waiting for ever.
  void Deadline(int ms) {
    QTimer::singleShot(ms, this, [] {
      while (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
  }

 private:
  void Poll() {
    if (pending_) return;
    QWidget* w = QApplication::activeModalWidget();
    if (w == nullptr || !w->isVisible()) return;
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      if (box == lastBox_) return;
      lastBox_ = box;
      SeenBox seen{box->windowTitle(), box->text(), box->icon(),
                   box->button(QMessageBox::Yes) != nullptr && box->button(QMessageBox::No) != nullptr};
      boxes.push_back(seen);
      // PIT_BOX_SHOTS=FOLDER: a picture of each box as the user saw it.
      if (const QString shots = qEnvironmentVariable("PIT_BOX_SHOTS"); !shots.isEmpty()) {
        static int shot = 0;
        box->grab().save(QStringLiteral("%1/modal_%2_%3.png")
                             .arg(shots)
                             .arg(QCoreApplication::applicationName())
                             .arg(++shot, 3, 10, QLatin1Char('0')));
      }
      QMessageBox::StandardButton b = QMessageBox::Ok;
      if (!answers.empty()) {
        b = answers.front();
        answers.pop_front();
      } else if (box->button(QMessageBox::Ok) == nullptr) {
        b = QMessageBox::No;
      }
      if (onBox) onBox(box);
      Defer([box = QPointer<QMessageBox>(box), b] {
        if (box && box->button(b)) box->button(b)->click();
      });
      return;
    }
    if (steps.empty()) return;
    if (std::function<void()> action = steps.front()(w)) {
      steps.pop_front();
      Defer(std::move(action));
    }
  }

  // Actions may open further modal windows; run outside this timer so that
  // it keeps polling inside their loops.
  void Defer(std::function<void()> action) {
    pending_ = true;
    QTimer::singleShot(0, this, [this, action = std::move(action)] {
      pending_ = false;
      action();
    });
  }

  QTimer timer_;
  bool pending_ = false;
  QPointer<QMessageBox> lastBox_;
};

}  // namespace pit::ui::test
