#pragma once
// Starting other programs and opening addresses with the desktop's handlers.
#include <QString>
#include <QStringList>

namespace pit::platform {

// Opens a web address or a file with the desktop's default handler.
bool OpenAddress(const QString& address);

// Starts a program without waiting for it.
bool StartProgram(const QString& program, const QStringList& arguments = {});
// The same, with `folder` as the program's working folder.
bool StartProgramIn(const QString& program, const QStringList& arguments, const QString& folder);

// The desktop calculator found on PATH; empty when none is installed.
QString FindCalculator();
bool StartCalculator();

}  // namespace pit::platform
