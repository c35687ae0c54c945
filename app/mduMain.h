#pragma once
// Program entry: the start-up sequence.
#include <QString>

// Runs the start-up sequence: refuses a second copy, shows the database
// settings dialog when setup.ini asks for it, registers the data source,
// connects, signs in and opens the workbench. True when the workbench was
// opened; the program then runs until it is closed.
bool Main();

// Whether another copy of the program is running on this computer; the
// first call of a copy takes the lock that marks it as running.
bool AnotherCopyRunning();
void ReleaseRunningLock();
QString RunningLockPath();
