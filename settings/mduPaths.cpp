#include "mduPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString& folderOverride() {
    static QString folder;
    return folder;
}

// The user's folder of a kind, made when missing.
QString userFolder(QStandardPaths::StandardLocation kind) {
    const QString folder = QStandardPaths::writableLocation(kind);
    QDir().mkpath(folder);
    return folder;
}

// A file of the user's folder, first copied from the program folder when the
// user has none and the program folder has one. The copy can be written.
QString userCopy(const QString& folder, const QString& fileName) {
    const QString mine = folder + QLatin1Char('/') + fileName;
    const QString shipped = ProgramFolder() + QLatin1Char('/') + fileName;
    if (!QFile::exists(mine) && QFile::exists(shipped) && QFile::copy(shipped, mine))
        QFile::setPermissions(mine, QFile::ReadOwner | QFile::WriteOwner);
    return mine;
}

} // namespace

QString ProgramFolder() {
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::applicationDirPath();
}

void SetProgramFolder(const QString& folder) {
    folderOverride() = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
}

bool ProgramFolderWritable() { return QFileInfo(ProgramFolder()).isWritable(); }

QString SettingsFolder() {
    return ProgramFolderWritable() ? ProgramFolder() : userFolder(QStandardPaths::AppConfigLocation);
}

QString DataFolder() {
    return ProgramFolderWritable() ? ProgramFolder() : userFolder(QStandardPaths::AppDataLocation);
}

QString SetupIniPath() {
    if (ProgramFolderWritable())
        return ProgramFolder() + QStringLiteral("/setup.ini");
    return userCopy(SettingsFolder(), QStringLiteral("setup.ini"));
}

QString DataFilePath(const QString& fileName) {
    if (ProgramFolderWritable())
        return ProgramFolder() + QLatin1Char('/') + fileName;
    return userCopy(DataFolder(), fileName);
}
