#pragma once

#include <QStringList>

namespace platform {

// Programs that show the system's hardware and software information, in order of preference.
QStringList systemInfoPrograms();

// Starts the first of them found on PATH as a separate process. False when none is found or
// it cannot be started.
bool startSystemInfo();

} // namespace platform
