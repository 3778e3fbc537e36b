// The desktop program. Start-up lives in the main window's module.
#include "ui/app/startup.h"

int main(int argc, char** argv) { return pit::ui::RunProgram(argc, argv); }
