// Fuzz target: the embedded backend over random statement text, through
// the dialect step as the program's statements go. Any text either runs or
// fails with the backend's error; nothing crashes. A statement that runs
// too long is interrupted, and the database is rebuilt when a statement
// changed its tables.
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <cstdint>
#include <sqlite3.h>

namespace {
SqliteBackend* db = nullptr;
QString path;
int steps = 0;

int interrupt(void*) { return ++steps > 200; } // every 1,000 VM steps

void fresh() {
    delete db;
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    CreateEmbeddedDatabase(path, true);
    db = new SqliteBackend;
    db->openFile(path, false);
    db->executeNative(QStringLiteral("PRAGMA synchronous=OFF"), {});
    sqlite3_progress_handler(db->handle(), 1000, interrupt, nullptr);
    // No other files: attached databases and loaded code are refused.
    sqlite3_limit(db->handle(), SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db->handle(), SQLITE_LIMIT_LENGTH, 1 << 20);
}

QString schema() {
    try {
        return db->executeNative(QStringLiteral("select group_concat(name) from sqlite_master"), {}).rows.at(0, 0).toString();
    } catch (const std::exception&) {
        return QString();
    }
}

QString original;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    path = QDir::temp().filePath(QStringLiteral("fuzz_embedded_%1.db").arg(QCoreApplication::applicationPid()));
    fresh();
    original = schema();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // Files outside the database are not the program's to touch.
    if (sql.contains(QLatin1String("attach"), Qt::CaseInsensitive) || sql.contains(QLatin1String("vacuum"), Qt::CaseInsensitive) ||
        sql.contains(QLatin1String("load_extension"), Qt::CaseInsensitive) || sql.contains(QLatin1String("pragma"), Qt::CaseInsensitive))
        return 0;
    steps = 0;
    try {
        db->beginTransaction();
    } catch (const std::exception&) {
    }
    try {
        db->execute(sql, {}, 0);
    } catch (const std::exception&) {
        // A failure with the backend's message is the expected answer.
    }
    try {
        db->rollbackTransaction();
    } catch (const std::exception&) {
    }
    if (schema() != original)
        fresh();
    return 0;
}
