#include "dbEmbeddedSchema.h"

#include "dbSqliteBackend.h"
#include "mduINI.h"

#include <QFile>

// The schema travels as a resource of this static library, which the linker
// only keeps when it is initialised by name.
static void initEmbeddedResources() { Q_INIT_RESOURCE(embedded); }

namespace {
QString resourceText(const QString& name) {
    initEmbeddedResources();
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("missing resource ") + name);
    return QString::fromUtf8(f.readAll());
}
} // namespace

QString EmbeddedSchemaSql() { return resourceText(QStringLiteral(":/db/schema.sql")); }
QString EmbeddedDemoSql() { return resourceText(QStringLiteral(":/db/demo.sql")); }

void SelectEmbeddedDatabase(const QString& ini, const QString& databaseName) {
    WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("SERVER"), QStringLiteral("(embedded)"), ini);
    WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("DATABASENAME"), databaseName, ini);
    WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("UID"), QString(), ini);
    WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("PWD"), QString(), ini);
    WriteIniString(QStringLiteral("START"), QStringLiteral("SHOWSETUP"), QStringLiteral("0"), ini);
}

void CreateEmbeddedDatabase(const QString& path, bool demo) {
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    SqliteBackend db;
    db.openFile(path, true);
    db.executeScript(EmbeddedSchemaSql());
    if (demo)
        db.executeScript(EmbeddedDemoSql());
    db.close();
}
