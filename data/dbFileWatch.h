#pragma once
// Whether the database file and its write-ahead log are still the files the
// connection opened. Deleted, moved away or replaced while the program runs,
// they go on being written through the connection's open handles into files
// that nobody opens again: the next start would not find a confirmed save.
// A check costs one stat per file.
#include <QByteArray>
#include <QString>

class DbFileWatch {
public:
    // Records the database file and, when logPath is not empty, its log. A
    // log that does not exist yet is recorded by the first check that finds it.
    void start(const QString& dbPath, const QString& logPath);
    void stop();
    bool active() const { return !m_dbPath.isEmpty(); }
    // Empty while both are the files recorded; otherwise what became of
    // which, in words for the user.
    QString check();

private:
    struct Identity {
        bool known = false;
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Identity&) const = default;
    };
    // The file's identity; unknown when there is no file of that name.
    static Identity identify(const QByteArray& path);

    QByteArray m_dbPath, m_logPath; // as the file system spells them
    QString m_dbName, m_logName;    // as the user reads them
    Identity m_db, m_log;
};
