#pragma once
// The program's version and the screen it starts on.
#include <QSize>
#include <QString>

namespace pit::platform {

// "14.0.0.N", set once in the build.
QString VersionText();

// Size of the primary screen; empty when there is none.
QSize ScreenSize();

}  // namespace pit::platform
