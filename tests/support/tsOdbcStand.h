#pragma once
// The ODBC path on this machine: the SQLite ODBC driver registered as
// "SQL Server" in a test-local odbcinst.ini, over a fresh demo database in a
// temporary program folder, and gConn connected to it through the ODBC
// backend. The backend sees the driver report SQLite and runs the system's
// procedures itself, so the whole workbench runs through ODBC; the round
// trips it makes are counted (dbRoundTrips).
#include "tsProgramFolder.h"

#include <QVariant>

class OdbcStand {
public:
    explicit OdbcStand(bool connect = true);
    ~OdbcStand();

    QString dbPath() const { return m_folder.file(QStringLiteral("wty.db")); }
    bool connect();
    // Signs in as the demo lab 1001.
    bool signIn(const QString& account = QStringLiteral("1001"), const QString& password = QStringLiteral("1234"));
    // Statements run on the file directly, beside the ODBC connection.
    QVariant scalar(const QString& sql) const;
    void executeNative(const QString& sql) const;

private:
    TempProgramFolder m_folder;
};
