#pragma once
// The main window's message boxes: Polish button texts whatever Qt
// translations are installed, the program's title on plain messages.
#include <QMessageBox>
#include <QString>

namespace pit::ui {

// The program's name, the title of its message boxes.
extern const char* const kApplicationTitle;

int AskUser(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons);

// A message with OK under the program's title; `icon` says whether it only
// informs or something went wrong (Warning, Critical).
void TellUser(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Information);

// A text that breaks its own lines keeps them: the box grows to its longest
// line (within the screen) instead of breaking it again, which would leave
// a word or two alone on a line.
void KeepLines(QMessageBox& box);

}  // namespace pit::ui
