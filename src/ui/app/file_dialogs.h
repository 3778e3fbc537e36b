#pragma once
// The program's file dialogs and the regional formats of Qt's own windows.
#include <QFileDialog>
#include <QString>

class QWidget;

namespace pit::ui {

// Dates in Qt's own windows (the file dialog's "Data modyfikacji") follow
// the system's time format, which Qt reads from the environment when it
// starts: the Polish one is asked for before the application is made.
// Numbers are left alone: the program formats its amounts itself.
void UsePolishDateFormats();

// Qt's own dialog on every desktop (in Polish with Qt's translations), wide
// enough for whole names, types and dates, never wider than the screen.
void PrepareFileDialog(QFileDialog& d);

// The name of a file to open or to save, through a prepared dialog; empty
// when cancelled.
QString AskOpenFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);
QString AskSaveFile(QWidget* parent, const QString& caption, const QString& fileOrFolder, const QString& filter);

}  // namespace pit::ui
