#pragma once
// Process services: starting another program and ending this one at once.
// Tests replace the ending, so that the test itself goes on.
#include <QString>
#include <QStringList>
#include <functional>

// Starts program with its arguments in its own folder; false when it could
// not be started.
bool StartProgram(const QString& program, const QStringList& arguments);
// Ends the process at once: no further forms, no clean-up.
[[noreturn]] void EndProcessNow(int code = 0);
// Replaces what EndProcessNow does; the replacement must not return
// normally (it throws, for instance). An empty one restores the real end.
void SetProcessEnd(std::function<void(int)> end);
