#pragma once

class QApplication;

namespace pit::ui {

// Start-up of the desktop program; returns the exit status.
int RunProgram(int argc, char** argv);

// Application-wide settings every start makes before the first window:
// name, Polish texts of Qt's dialogs, hint timing.
void PrepareApplication(QApplication& app);

}  // namespace pit::ui
