#pragma once
// Ending the copies of the e-filing program this user left running.
#include <QString>

namespace pit::platform {

// Sends SIGTERM to every process of the current user whose executable name
// is exactly `name` (case-sensitive), never to this process. Returns how many
// were signalled.
int TerminateProcessesNamed(const QString& name);

// Whether a process of the current user with that executable name runs.
bool ProcessRunning(const QString& name);

}  // namespace pit::platform
