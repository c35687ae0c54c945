#include "dbFileWatch.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

void DbFileWatch::start(const QString& dbPath, const QString& logPath) {
    stop();
    m_dbName = QDir::toNativeSeparators(dbPath);
    m_dbPath = QFile::encodeName(dbPath);
    m_db = identify(m_dbPath);
    if (!m_db.known) { // nothing to watch (a database in memory)
        stop();
        return;
    }
    if (!logPath.isEmpty()) {
        m_logName = QDir::toNativeSeparators(logPath);
        m_logPath = QFile::encodeName(logPath);
        m_log = identify(m_logPath);
    }
}

void DbFileWatch::stop() {
    m_dbPath.clear();
    m_logPath.clear();
    m_dbName.clear();
    m_logName.clear();
    m_db = {};
    m_log = {};
}

DbFileWatch::Identity DbFileWatch::identify(const QByteArray& path) {
    // Where the file system has no inode numbers (Windows gives 0), only
    // the file's presence is compared; an open database file cannot be
    // deleted or replaced there anyway.
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return {};
    return {true, static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
}

QString DbFileWatch::check() {
    if (!active())
        return {};
    const Identity db = identify(m_dbPath);
    if (!db.known)
        return QStringLiteral("数据库文件 %1 已不在原处").arg(m_dbName);
    if (db != m_db)
        return QStringLiteral("数据库文件 %1 已被另一个文件替换").arg(m_dbName);
    if (m_logPath.isEmpty())
        return {};
    const Identity log = identify(m_logPath);
    if (!m_log.known) {
        m_log = log; // the log came into being since the last look
        return {};
    }
    if (!log.known)
        return QStringLiteral("日志文件 %1 已不在原处").arg(m_logName);
    if (log != m_log)
        return QStringLiteral("日志文件 %1 已被另一个文件替换").arg(m_logName);
    return {};
}
