#include "mduProcess.h"

#include <QFileInfo>
#include <QProcess>
#include <cstdlib>

namespace {
std::function<void(int)>& endOverride() {
    static std::function<void(int)> f;
    return f;
}
} // namespace

bool StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
}

void EndProcessNow(int code) {
    if (endOverride())
        endOverride()(code);
    std::_Exit(code);
}

void SetProcessEnd(std::function<void(int)> end) { endOverride() = std::move(end); }
