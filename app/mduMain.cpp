#include "mduMain.h"

#include "basRegODBC.h"
#include "frmSYSSetDB.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>

namespace {

// The lock that marks this copy of the program as running; a lock left by a
// copy that crashed is stale and does not block.
std::unique_ptr<QLockFile>& runningLock() {
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

bool anotherCopyRunning() {
    if (runningLock() && runningLock()->isLocked())
        return false; // this copy holds the lock already
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/quorvat.lock"));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return true;
    runningLock() = std::move(lock);
    return false;
}

} // namespace

bool Main() {
    if (anotherCopyRunning()) {
        ShowMessage(QStringLiteral("系统已在运行中，请不要在同一台电脑上同时运行两次！"), QString(), 0);
        return false;
    }
    const QString ini = SetupIniPath();
    if (ReadIniString(QStringLiteral("START"), QStringLiteral("SHOWSETUP"), QStringLiteral("1"), ini)
            .trimmed()
            .toInt() == 1) {
        frmSYSSetDB dialog;
        dialog.exec();
    }
    QString uid, pwd;
    ReadDatabaseSettings(gServerName, gDatabaseName, uid, pwd);
    RegisterDataSource(QStringLiteral("DBS"), gServerName, gDatabaseName);
    ShowMessage(QStringLiteral("The connection to the database comes with the data layer."),
                QStringLiteral("Quorvat"), 0);
    return false;
}
