#include "dbSqliteBackend.h"

#include "dbDialect.h"
#include "dbEmbeddedTables.h"
#include "dbEmbeddedUpgrade.h"
#include "mduPaths.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>

#include <sqlite3.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// How long a statement waits for a lock held by another process before it
// fails with "database is locked".
constexpr int LockWaitMs = 5000;

// Waits for the lock in short steps. SQLite's own wait backs off to a try
// every 100 ms: another workstation that writes one short transaction
// after the other then always holds the lock when this one looks, and a
// plain save of this one fails after the whole wait although the lock was
// free most of that time.
int waitForLock(void* since, int tries) {
    auto& start = *static_cast<std::chrono::steady_clock::time_point*>(since);
    const auto now = std::chrono::steady_clock::now();
    if (tries == 0)
        start = now;
    if (now - start >= std::chrono::milliseconds(LockWaitMs))
        return 0;
    // A step of 0.5 to 1.5 ms, not in time with the other's transactions.
    std::this_thread::sleep_for(std::chrono::microseconds(500 + (tries * 7919) % 1000));
    return 1;
}

bool isBlank(const char* tail) {
    for (; tail && *tail; ++tail)
        if (!isspace(static_cast<unsigned char>(*tail)) && *tail != ';')
            return false;
    return true;
}

// Whether a statement is an insert, update or delete, whose changed rows
// SQLite counts (other statements leave the count of the last such one).
bool changesRows(sqlite3_stmt* st) {
    if (sqlite3_stmt_readonly(st))
        return false;
    const char* sql = sqlite3_sql(st);
    while (sql && isspace(static_cast<unsigned char>(*sql)))
        ++sql;
    if (!sql)
        return false;
    for (const char* word : {"insert", "update", "delete", "replace"})
        if (sqlite3_strnicmp(sql, word, static_cast<int>(std::strlen(word))) == 0)
            return true;
    return false;
}

QVariant valueOf(const DbParam& p) {
    if (!p.chunks.isEmpty()) {
        QByteArray all;
        for (const QByteArray& c : p.chunks)
            all += c;
        return all;
    }
    return p.value;
}

} // namespace

SqliteBackend::SqliteBackend() = default;
SqliteBackend::~SqliteBackend() { close(); }

QString SqliteBackend::DatabaseFile(const QString& databaseName) {
    return DataFilePath(databaseName + QStringLiteral(".db"));
}

QString SqliteBackend::filePath() const {
    const char* name = m_db ? sqlite3_db_filename(m_db, "main") : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

void SqliteBackend::open(const ConnectRequest& request) {
    openFile(DatabaseFile(request.database), false);
    // A database made by an older program gets what this one relies on.
    m_notices = UpgradeEmbeddedDatabase(*this);
}

void SqliteBackend::openFile(const QString& path, bool create) {
    close();
    if (!create && !QFileInfo(path).isFile())
        throw DbError(QStringLiteral("数据库文件不存在：") + path);
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close_v2(db);
        throw DbError(QStringLiteral("[SQLite] ") + msg + QStringLiteral(": ") + path);
    }
    m_db = db;
    sqlite3_busy_handler(m_db, waitForLock, &m_lockWaitSince);
    try {
        // The tables first, read in the file's own journal mode, which writes
        // nothing: another program's database is refused before anything of
        // it changes. Reading the schema also proves the file is a database.
        const DbResult tables =
            executeNative(QStringLiteral("select name from sqlite_master where type='table'"), {});
        QStringList names;
        for (int i = 0; i < tables.rows.rows(); ++i)
            names << tables.rows.at(0, i).toString();
        // A file without any table is a database still to be made, when it is made.
        if (!HasEmbeddedTables(names) && !(create && names.isEmpty()))
            throw DbError(ForeignDatabaseMessage(path));
        // WAL keeps every committed statement through a crash of the program.
        const DbResult mode = executeNative(QStringLiteral("PRAGMA journal_mode=WAL"), {});
        m_wal = mode.rows.rows() == 1 && mode.rows.at(0, 0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
        executeNative(QStringLiteral("PRAGMA synchronous=FULL"), {}); // a confirmed save survives a power cut
    } catch (...) {
        close();
        throw;
    }
    DefineSystemProcedures(*this);
    // The files as opened: the log exists once the first read has run in WAL.
    const char* main = sqlite3_db_filename(m_db, "main");
    m_watch.start(filePath(), m_wal && main && *main ? QString::fromUtf8(sqlite3_filename_wal(main)) : QString());
}

void SqliteBackend::clearStatements() {
    for (sqlite3_stmt* st : std::as_const(m_statements))
        sqlite3_finalize(st);
    m_statements.clear();
}

void SqliteBackend::close() {
    clearStatements();
    m_notices.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        m_wal = false;
    }
    m_watch.stop();
    m_writeChecked = false;
    m_filesLost.clear();
    m_committedSaved = false;
}

void SqliteBackend::guardWrite(sqlite3_stmt* st) {
    if (!m_watch.active())
        return;
    // Once per transaction, and for every write outside one: the chunked
    // writer's thousand rows cost one look at the files, not a thousand.
    if (sqlite3_get_autocommit(m_db))
        m_writeChecked = false;
    if (m_writeChecked || sqlite3_stmt_readonly(st))
        return;
    refuseIfFilesChanged();
    m_writeChecked = true;
}

void SqliteBackend::refuseIfFilesChanged() {
    if (m_filesLost.isEmpty()) {
        const QString changed = m_watch.check();
        if (changed.isEmpty())
            return;
        m_filesLost = QStringLiteral("数据库文件已被移走或替换（%1）。这次的更改没有保存，程序也不再保存任何更改；"
                                     "此前已保存的内容已尽量写入原来的数据库文件。请退出程序，"
                                     "恢复数据库文件后重新启动。")
                          .arg(changed);
    }
    saveCommittedToFile();
    throw DbError(m_filesLost);
}

void SqliteBackend::saveCommittedToFile() {
    // Inside a transaction no checkpoint runs: its end tries again.
    if (m_filesLost.isEmpty() || m_committedSaved || !m_wal || !sqlite3_get_autocommit(m_db))
        return;
    // The connection still holds the log it wrote, deleted or not: every
    // commit in it goes into the database file it holds, and the log is
    // emptied, so that no other file taking its name is ever read with it.
    m_committedSaved =
        sqlite3_wal_checkpoint_v2(m_db, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr) == SQLITE_OK;
}

void SqliteBackend::fail(const QString& what) {
    QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : ClosedConnectionError().description;
    // A rule of the database refused the statement: the state every
    // backend gives that, so that the connection can tell it from a fault.
    const bool refused = m_db && (sqlite3_errcode(m_db) & 0xff) == SQLITE_CONSTRAINT;
    throw DbError(QStringLiteral("[SQLite] ") + msg + (what.isEmpty() ? QString() : QStringLiteral(" (") + what + QLatin1Char(')')),
                  refused ? QStringLiteral("23000") : QString());
}

sqlite3_stmt* SqliteBackend::prepared(const QString& sql) {
    if (auto it = m_statements.constFind(sql); it != m_statements.constEnd()) {
        sqlite3_reset(*it);
        sqlite3_clear_bindings(*it);
        return *it;
    }
    return nullptr;
}

void SqliteBackend::keep(const QString& sql, sqlite3_stmt* st) {
    if (m_statements.size() >= 128)
        clearStatements();
    m_statements.insert(sql, st);
}

void SqliteBackend::executeKept(const QString& sql) {
    if (!m_db)
        throw ClosedConnectionError();
    sqlite3_stmt* st = prepared(sql);
    if (!st) {
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
            fail(QString());
        keep(sql, st);
    }
    run(st, {});
}

void SqliteBackend::savepoint(const QString& name) { executeKept(QStringLiteral("SAVEPOINT ") + name); }

void SqliteBackend::rollbackToSavepoint(const QString& name) {
    executeKept(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
}

void SqliteBackend::releaseSavepoint(const QString& name) { executeKept(QStringLiteral("RELEASE SAVEPOINT ") + name); }

DbResult SqliteBackend::run(sqlite3_stmt* st, const QList<QVariant>& values) {
    guardWrite(st);
    const int markers = sqlite3_bind_parameter_count(st);
    for (int i = 0; i < markers && i < values.size(); ++i) {
        const QVariant& v = values[i];
        int rc = SQLITE_OK;
        if (vt::isNothing(v)) {
            rc = sqlite3_bind_null(st, i + 1);
        } else {
            switch (v.metaType().id()) {
            case QMetaType::Bool: case QMetaType::Int: case QMetaType::UInt: case QMetaType::Short:
            case QMetaType::LongLong: case QMetaType::ULongLong:
                rc = sqlite3_bind_int64(st, i + 1, v.toLongLong());
                break;
            case QMetaType::Double: case QMetaType::Float:
                rc = sqlite3_bind_double(st, i + 1, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray b = v.toByteArray();
                rc = sqlite3_bind_blob64(st, i + 1, b.constData(), static_cast<sqlite3_uint64>(b.size()),
                                         SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDate:
                rc = sqlite3_bind_text(st, i + 1, v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8().constData(), -1, SQLITE_TRANSIENT);
                break;
            case QMetaType::QDateTime:
                rc = sqlite3_bind_text(st, i + 1, v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8().constData(), -1, SQLITE_TRANSIENT);
                break;
            default: {
                const QByteArray t = v.toString().toUtf8();
                rc = sqlite3_bind_text64(st, i + 1, t.constData(), static_cast<sqlite3_uint64>(t.size()),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
            }
            }
        }
        if (rc != SQLITE_OK)
            fail(QStringLiteral("bind"));
    }
    DbResult result;
    const int cols = sqlite3_column_count(st);
    result.hasRowSet = cols > 0;
    if (cols > 0) {
        result.rows = vt::ValueArray(cols, 0);
        for (int c = 0; c < cols; ++c)
            result.columnNames << QString::fromUtf8(sqlite3_column_name(st, c));
    }
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW) {
            sqlite3_reset(st);
            fail(QString());
        }
        const int row = result.rows.appendRow();
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                result.rows.set(c, row, QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, c))));
                break;
            case SQLITE_FLOAT:
                result.rows.set(c, row, QVariant(sqlite3_column_double(st, c)));
                break;
            case SQLITE_TEXT: {
                // Decoded from the stored UTF-8 straight into the column's
                // text block. Not SQLite's own UTF-16 form: that turns the
                // characters U+FFFE and U+FFFF into U+FFFD.
                const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                result.rows.setTextUtf8(c, row, p, sqlite3_column_bytes(st, c));
                break;
            }
            case SQLITE_BLOB: {
                const void* blob = sqlite3_column_blob(st, c);
                result.rows.set(c, row, QVariant(QByteArray(static_cast<const char*>(blob), sqlite3_column_bytes(st, c))));
                break;
            }
            default:
                result.rows.set(c, row, vt::Null());
            }
        }
    }
    sqlite3_reset(st);
    if (cols == 0 && changesRows(st))
        result.rowsChanged = sqlite3_changes64(m_db);
    return result;
}

DbResult SqliteBackend::executeNative(const QString& sql, const QList<QVariant>& params) {
    if (!m_db)
        throw ClosedConnectionError();
    if (sqlite3_stmt* cached = prepared(sql))
        return run(cached, params);

    const QByteArray text = sql.toUtf8();
    const char* at = text.constData();
    DbResult last;
    bool first = true;
    while (at && *at) {
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        if (sqlite3_prepare_v2(m_db, at, -1, &st, &tail) != SQLITE_OK)
            fail(QString());
        if (!st) { // only blanks or a comment remained
            at = tail;
            continue;
        }
        const bool single = first && isBlank(tail);
        DbResult r;
        try {
            r = run(st, params);
        } catch (...) {
            sqlite3_finalize(st);
            throw;
        }
        // Statements with markers are kept prepared: they are the ones run
        // again and again with other values.
        if (single && sqlite3_bind_parameter_count(st) > 0) {
            keep(sql, st);
        } else {
            sqlite3_finalize(st);
        }
        const qint64 changed = r.rowsChanged;
        if (r.hasRowSet || first)
            last = std::move(r);
        if (changed >= 0)
            last.rowsChanged = changed;
        first = false;
        at = tail;
    }
    return last;
}

void SqliteBackend::executeScript(const QString& sql) {
    if (!m_db)
        throw ClosedConnectionError();
    if (m_watch.active())
        refuseIfFilesChanged();
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : "error");
        sqlite3_free(err);
        throw DbError(QStringLiteral("[SQLite] ") + msg);
    }
}

QList<DbParamInfo> SqliteBackend::describeParameters(const QString& sql) {
    if (!m_db)
        throw ClosedConnectionError();
    // A statement without any "?" has no markers: no need to prepare it twice.
    if (!sql.contains(QLatin1Char('?')))
        return {};
    const QByteArray text = TranslateToSqlite(sql).toUtf8();
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, text.constData(), -1, &st, nullptr) != SQLITE_OK)
        fail(QString());
    const int n = st ? sqlite3_bind_parameter_count(st) : 0;
    sqlite3_finalize(st);
    // SQLite columns take any value: the value itself decides its type.
    QList<DbParamInfo> out;
    for (int i = 0; i < n; ++i) {
        DbParamInfo info;
        info.kind = ParamKind::Other;
        out << info;
    }
    return out;
}

DbResult SqliteBackend::execute(const QString& sql, const QList<DbParam>& params, int) {
    QList<QVariant> values;
    values.reserve(params.size());
    for (const DbParam& p : params)
        values << valueOf(p);
    return executeNative(TranslateToSqlite(sql), values);
}

void SqliteBackend::defineProcedure(const QString& name, EmbeddedProcedure procedure) {
    // Kept under the name as defined too: the program calls a procedure by
    // that name, which then needs no lower-casing per call.
    m_procedures.insert(name, procedure);
    m_procedures.insert(name.toLower(), std::move(procedure));
}

QHash<QString, EmbeddedProcedure>::const_iterator SqliteBackend::findProcedure(const QString& name) const {
    // Names are matched without regard to case.
    const auto it = m_procedures.constFind(name);
    return it != m_procedures.constEnd() ? it : m_procedures.constFind(name.toLower());
}

QList<DbParamInfo> SqliteBackend::describeProcedure(const QString& name) {
    if (!m_db)
        throw ClosedConnectionError();
    const auto it = findProcedure(name);
    if (it == m_procedures.constEnd())
        throw DbError(QStringLiteral("找不到存储过程 '") + name + QStringLiteral("'。"));
    return it->parameters;
}

DbResult SqliteBackend::callProcedure(const QString& name, QList<DbParam>& params, int) {
    if (!m_db)
        throw ClosedConnectionError();
    const auto it = findProcedure(name);
    if (it == m_procedures.constEnd())
        throw DbError(QStringLiteral("找不到存储过程 '") + name + QStringLiteral("'。"));
    const qsizetype expected = it->parameters.size();
    if (params.size() > expected)
        throw DbError(QStringLiteral("过程或函数 '") + name + QStringLiteral("' 指定了过多的参数。"));
    while (params.size() < expected) {
        DbParam p;
        p.info = it->parameters[params.size()];
        params << p;
    }
    return it->body(*this, params);
}

void SqliteBackend::setCommitsWaitForDisk(bool on) {
    if (!m_db)
        throw ClosedConnectionError();
    // Only with the write-ahead log: a rollback journal is gone after its
    // commit, and nothing synced later would cover what it wrote; without
    // the log every commit keeps the full syncs set at opening.
    if (!m_wal)
        return;
    executeKept(on ? QStringLiteral("PRAGMA synchronous=FULL") : QStringLiteral("PRAGMA synchronous=NORMAL"));
}

void SqliteBackend::flushCommitted() {
    if (!m_db)
        throw ClosedConnectionError();
    if (!m_wal)
        return;
    // The log holds every commit not yet copied into the database file (a
    // checkpoint syncs before it copies): one sync of it makes them all durable.
    sqlite3_file* log = nullptr;
    if (sqlite3_file_control(m_db, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) != SQLITE_OK)
        fail(QStringLiteral("sync"));
    if (log && log->pMethods && log->pMethods->xSync(log, SQLITE_SYNC_NORMAL) != SQLITE_OK)
        throw DbError(QStringLiteral("[SQLite] disk I/O error (sync)"));
}

void SqliteBackend::beginTransaction() { executeNative(QStringLiteral("BEGIN"), {}); }
// The write lock at the start: a transaction that reads first and writes
// later cannot wait for another writer under the write-ahead log (its
// snapshot would be out of date), so it would fail at once with "database
// is locked". Taking it here waits within the lock wait instead.
void SqliteBackend::beginWriteTransaction() { executeNative(QStringLiteral("BEGIN IMMEDIATE"), {}); }
void SqliteBackend::commitTransaction() {
    // A commit into files that are gone would be confirmed and then lost:
    // the transaction is left open for the caller to roll back.
    if (m_watch.active())
        refuseIfFilesChanged();
    executeNative(QStringLiteral("COMMIT"), {});
}

void SqliteBackend::rollbackTransaction() {
    executeNative(QStringLiteral("ROLLBACK"), {});
    saveCommittedToFile();
}
