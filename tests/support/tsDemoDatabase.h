#pragma once
// A fresh embedded demo database in a temporary program folder, with the
// setup.ini that selects it, and gConn connected to it. Dropped afterwards.
#include "tsProgramFolder.h"

class SqliteBackend;

class DemoDatabase {
public:
    explicit DemoDatabase(bool connect = true);
    ~DemoDatabase();

    const TempProgramFolder& folder() const { return m_folder; }
    QString dbPath() const { return m_folder.file(QStringLiteral("demo.db")); }
    // The embedded backend gConn is connected to.
    SqliteBackend* backend() const;
    // Signs in as the demo lab 1001 (the values the workbench uses).
    bool signIn(const QString& account = QStringLiteral("1001"),
                const QString& password = QStringLiteral("1234"));
    // A single value read directly from the file, not through gConn.
    QVariant scalar(const QString& sql) const;

private:
    TempProgramFolder m_folder;
};
