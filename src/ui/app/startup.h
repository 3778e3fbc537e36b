#pragma once
#include <functional>

class QApplication;

namespace pit::ui {

class TTools;

// Start-up of the desktop program; returns the exit status. `windowShown`
// is called once the main window is up, before the file named on the
// command line is opened (test drivers of the whole program use it).
int RunProgram(int argc, char** argv, const std::function<void(TTools&)>& windowShown = {});

// Application-wide settings every start makes before the first window:
// name, Polish texts of Qt's dialogs, hint timing.
void PrepareApplication(QApplication& app);

}  // namespace pit::ui
