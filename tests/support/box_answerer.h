#pragma once
// Answers every message box and file dialog that opens while it lives, as
// a user sitting at the window would, and keeps what the boxes said: a
// test of the windows runs without anybody at the keyboard. A test may
// answer the boxes itself (`onBox`) and drive the program's other modal
// windows (`onDialog`).
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace pit::testsupport {

class BoxAnswerer : public QObject {
 public:
  struct Box {
    QString title, text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
  };

  // Each box is answered with `answer`, or OK where it has no such button,
  // or else its first button.
  explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
    connect(&timer_, &QTimer::timeout, this, &BoxAnswerer::Poll);
    timer_.start(10);
  }

  // The file dialog gets this name typed in and accepted (empty: cancelled).
  QString fileName;
  QString dialogTitle;
  QList<Box> boxes;
  // Each box's title and text also printed on standard error.
  bool echo = false;
  // When set, each box is handed to it once instead of being clicked.
  std::function<void(QMessageBox&)> onBox;
  // When set, each other modal window (not a message box, not a file
  // dialog) is handed to it once, when it becomes the active one.
  std::function<void(QDialog&)> onDialog;
  // Class names of the dialogs met, file dialogs included (with `onDialog`).
  QStringList dialogs;

  QStringList Texts() const {
    QStringList t;
    for (const Box& b : boxes) t << b.text;
    return t;
  }
  QStringList Titles() const {
    QStringList t;
    for (const Box& b : boxes) t << b.title;
    return t;
  }

 private:
  void Poll() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible()) continue;
      if (auto* box = qobject_cast<QMessageBox*>(w)) {
        if (onBox && handledBoxes_.contains(box)) continue;
        boxes.append({box->windowTitle(), box->text(), box->standardButtons(), box->icon()});
        // PIT_BOX_SHOTS=FOLDER: a picture of each box as the user saw it.
        if (const QString shots = qEnvironmentVariable("PIT_BOX_SHOTS"); !shots.isEmpty()) {
          static int shot = 0;
          box->grab().save(QStringLiteral("%1/box_%2_%3.png")
                               .arg(shots)
                               .arg(QCoreApplication::applicationName())
                               .arg(++shot, 3, 10, QLatin1Char('0')));
        }
        if (echo)
          std::fprintf(stderr, "message box \"%s\": %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
        if (onBox) {
          handledBoxes_.append(box);
          onBox(*box);
          return;
        }
        QAbstractButton* b = box->button(answer_);
        if (b == nullptr) b = box->button(QMessageBox::Ok);
        if (b == nullptr) b = box->buttons().value(0);
        if (b != nullptr) b->click();
        return;
      }
      if (auto* dialog = qobject_cast<QFileDialog*>(w)) {
        // Each dialog is answered once: the poll may come round again while
        // it is closing.
        if (handled_.contains(dialog)) continue;
        handled_.append(dialog);
        dialogTitle = dialog->windowTitle();
        if (onDialog) dialogs << QString::fromLatin1(dialog->metaObject()->className());
        if (fileName.isEmpty()) {
          dialog->reject();
        } else {
          // done() instead of accept(): the name is what the user would
          // have typed, and the dialog's own checks would start directory
          // scans that the test does not need.
          // selectFile() leaves the name line alone while it has the
          // focus, which the window system may hand it at any moment.
          if (QWidget* f = dialog->focusWidget()) f->clearFocus();
          dialog->selectFile(fileName);
          static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        }
        return;
      }
    }
    if (!onDialog) return;
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (d == nullptr || !d->isVisible() || qobject_cast<QMessageBox*>(d) != nullptr ||
        qobject_cast<QFileDialog*>(d) != nullptr || handledDialogs_.contains(d))
      return;
    handledDialogs_.append(d);
    dialogs << QString::fromLatin1(d->metaObject()->className());
    onDialog(*d);
  }

  QMessageBox::StandardButton answer_;
  QTimer timer_;
  QList<QPointer<QFileDialog>> handled_;
  QList<QPointer<QMessageBox>> handledBoxes_;
  QList<QPointer<QDialog>> handledDialogs_;
};

}  // namespace pit::testsupport
