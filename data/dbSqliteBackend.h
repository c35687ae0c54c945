#pragma once
// The embedded backend: one SQLite file, "<database name>.db" in the program
// folder, with a WAL journal. It runs the client's T-SQL statements through
// the dialect step and offers the stored procedures the client calls.
#include "dbBackend.h"
#include "dbFileWatch.h"

#include <QHash>
#include <chrono>
#include <functional>

struct sqlite3;
struct sqlite3_stmt;
class SqliteBackend;

// A stored procedure of the embedded database. params holds entry 0, the
// return value, and the procedure's parameters in order.
struct EmbeddedProcedure {
    QList<DbParamInfo> parameters; // entry 0 is the return value
    std::function<DbResult(SqliteBackend& db, QList<DbParam>& params)> body;
};

class SqliteBackend final : public DbBackend {
public:
    SqliteBackend();
    ~SqliteBackend() override;

    // The file a database name stands for.
    static QString DatabaseFile(const QString& databaseName);

    void open(const ConnectRequest& request) override;
    // Opens the given file directly. An existing file that is not this
    // program's database is refused before anything of it changes.
    void openFile(const QString& path, bool create);
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }
    // The file of the open database ("" when none is open).
    QString filePath() const override;

    QList<DbParamInfo> describeParameters(const QString& sql) override;
    DbResult execute(const QString& sql, const QList<DbParam>& params, int timeoutSeconds) override;
    QList<DbParamInfo> describeProcedure(const QString& name) override;
    DbResult callProcedure(const QString& name, QList<DbParam>& params, int timeoutSeconds) override;

    void beginTransaction() override;
    void beginWriteTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;
    // A chunk runs these around every row: kept prepared, as statements
    // with markers are.
    void savepoint(const QString& name) override;
    void rollbackToSavepoint(const QString& name) override;
    void releaseSavepoint(const QString& name) override;
    // Commits that do not wait write the log without syncing it; the sync
    // of the log then covers every one of them at once.
    void setCommitsWaitForDisk(bool on) override;
    void flushCommitted() override;

    // Runs SQL text as SQLite reads it, without the dialect step.
    DbResult executeNative(const QString& sql, const QList<QVariant>& params);
    // Runs a script of several statements.
    void executeScript(const QString& sql);
    // Adds or replaces a stored procedure; names compare without regard to case.
    void defineProcedure(const QString& name, EmbeddedProcedure procedure);

    sqlite3* handle() const { return m_db; }
    QStringList openNotices() const override { return m_notices; }

private:
    sqlite3_stmt* prepared(const QString& sql);
    // Keeps a prepared statement for its text (at most 128 are kept).
    void keep(const QString& sql, sqlite3_stmt* st);
    // Runs one statement without markers and keeps it prepared.
    void executeKept(const QString& sql);
    DbResult run(sqlite3_stmt* st, const QList<QVariant>& values);
    [[noreturn]] void fail(const QString& what);
    // Before a statement runs: one that writes outside a transaction, or the
    // first that writes in one, finds the database file and its log still
    // the ones opened, or it is refused (and so is every write after it).
    void guardWrite(sqlite3_stmt* st);
    void refuseIfFilesChanged();
    // Copies what was committed into the database file, once the files were
    // found changed: the log that held it is lost at the next start.
    void saveCommittedToFile();
    void clearStatements();

    sqlite3* m_db = nullptr;
    bool m_wal = false; // commits go to a write-ahead log
    DbFileWatch m_watch;
    bool m_writeChecked = false; // the files were checked for the open transaction
    QString m_filesLost;         // why writes are refused, once the files changed
    bool m_committedSaved = false; // what was committed then is in the database file
    QStringList m_notices; // what the upgrade at opening could not do
    std::chrono::steady_clock::time_point m_lockWaitSince; // the start of the current wait for a lock
    QHash<QString, sqlite3_stmt*> m_statements; // prepared statements by text
    QHash<QString, EmbeddedProcedure>::const_iterator findProcedure(const QString& name) const;
    QHash<QString, EmbeddedProcedure> m_procedures; // by lower-case name and by the name as defined
};

// The stored procedures of the system's database, as the embedded backend
// offers them: upvProducts, upDSYSExecLog and upVBasShow.
void DefineSystemProcedures(SqliteBackend& db);
