#pragma once

namespace pit::ui {

// Start-up of the desktop program; returns the exit status.
int RunProgram(int argc, char** argv);

}  // namespace pit::ui
