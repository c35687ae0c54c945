#include "mduMain.h"

#include "basRegODBC.h"
#include "clsConn.h"
#include "frmBasLogin.h"
#include "frmProducts.h"
#include "frmSYSSetDB.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"

#include <QDir>
#include <QLineEdit>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>
#include <optional>

namespace {

// The lock that marks this copy of the program as running; a lock left by a
// copy that crashed is stale and does not block.
std::unique_ptr<QLockFile>& runningLock() {
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

} // namespace

QString RunningLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/quorvat.lock");
}

bool AnotherCopyRunning() {
    if (runningLock() && runningLock()->isLocked())
        return false; // this copy holds the lock already
    auto lock = std::make_unique<QLockFile>(RunningLockPath());
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return true;
    runningLock() = std::move(lock);
    return false;
}

void ReleaseRunningLock() { runningLock().reset(); }

bool Main() {
    const QString ini = SetupIniPath();
    // Yes to "set the database again" shows the dialog next time even when
    // the settings file could not record it.
    bool showSetup = false;
    for (;;) {
        if (AnotherCopyRunning()) {
            ShowMessage(QStringLiteral("系统已在运行中，请不要在同一台电脑上同时运行两次！"), QString(), 0);
            return false;
        }
        std::optional<std::pair<QString, QString>> typed;
        if (showSetup ||
            ReadIniString(QStringLiteral("START"), QStringLiteral("SHOWSETUP"), QStringLiteral("1"), ini)
                    .trimmed()
                    .toInt() == 1) {
            showSetup = false;
            frmSYSSetDB dialog;
            if (dialog.exec() == QDialog::Accepted && !dialog.Saved())
                typed = std::make_pair(dialog.txtServerName->text(), dialog.txtDatabaseName->text());
        }
        QString uid, pwd;
        ReadDatabaseSettings(gServerName, gDatabaseName, uid, pwd);
        if (typed) {
            // The file kept nothing: this attempt uses what was typed.
            gServerName = typed->first;
            gDatabaseName = typed->second;
        }
        if (!IsSafeConnectionName(gServerName) || !IsSafeConnectionName(gDatabaseName)) {
            // A name edited into the file by hand; it is neither registered
            // nor connected to, and the user may set it again.
            ShowMessage(UnsafeConnectionNameMessage(), QStringLiteral("数据库连接"), 0);
        } else {
            // Registered at every start, although the connection below uses
            // the driver connection string; a refusal changes nothing here.
            RegisterDataSource(QStringLiteral("DBS"), gServerName, gDatabaseName);
            if (gConn->ConnectToDatabase(gServerName, gDatabaseName, uid, pwd))
                break;
        }
        if (ShowMessage(QStringLiteral("数据库连接失败，是否要重新设置数据库？"), QStringLiteral("连接数据库"), 2) !=
            MsgYes) {
            gConn.reset();
            return false;
        }
        showSetup = true;
        QString why;
        if (!WriteIniString(QStringLiteral("START"), QStringLiteral("SHOWSETUP"), QStringLiteral("1"), ini, &why))
            ReportUnwritableSettings(ini, why);
    }
    if (!frmBasLogin::CheckPass())
        return false;
    if (gConn->OpType().toString() != QLatin1String("01")) {
        ShowMessage(QStringLiteral("非制作所用户，请与系统供应商联系！"), QString(), 0);
        return false;
    }
    frmProducts::instance().show();
    return true;
}
