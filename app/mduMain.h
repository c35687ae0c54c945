#pragma once
// Program entry: the start-up sequence.
#include <QString>

extern QString gServerName;
extern QString gDatabaseName;

// Runs the start-up sequence. Returns true when a window was opened that
// keeps the program running.
bool Main();
