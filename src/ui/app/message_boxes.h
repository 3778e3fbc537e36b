#pragma once
// The main window's message boxes: Polish button texts whatever Qt
// translations are installed, the program's title on plain messages.
#include <QMessageBox>
#include <QString>

namespace pit::ui {

int AskUser(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons);

// A message with OK under the program's title.
void TellUser(QWidget* parent, const QString& text);

}  // namespace pit::ui
