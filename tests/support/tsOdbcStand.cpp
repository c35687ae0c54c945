#include "tsOdbcStand.h"

#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbOdbcBackend.h"
#include "dbSqliteBackend.h"

#include <QFile>

OdbcStand::OdbcStand(bool connectNow) {
    QFile inst(m_folder.file(QStringLiteral("odbcinst.ini")));
    if (inst.open(QIODevice::WriteOnly))
        inst.write("[SQL Server]\nDescription=SQLite 3 standing in for the server\nDriver=" QV_SQLITE_ODBC_DRIVER "\n");
    inst.close();
    qputenv("ODBCSYSINI", m_folder.path().toLocal8Bit());
    qputenv("ODBCINSTINI", "odbcinst.ini");
    qputenv("ODBCINI", m_folder.file(QStringLiteral("odbc.ini")).toLocal8Bit());
    CreateEmbeddedDatabase(dbPath(), true);
    SetBackendFactory([](const ConnectRequest&) -> std::unique_ptr<DbBackend> { return std::make_unique<OdbcBackend>(); });
    if (connectNow)
        connect();
}

OdbcStand::~OdbcStand() {
    gConn.reset();
    SetBackendFactory({});
}

bool OdbcStand::connect() {
    QString server = QStringLiteral("srv01"), db = dbPath();
    return gConn->ConnectToDatabase(server, db);
}

bool OdbcStand::signIn(const QString& account, const QString& password) {
    QString a = account, p = password;
    return gConn->CheckUser(a, p);
}

QVariant OdbcStand::scalar(const QString& sql) const {
    SqliteBackend direct;
    direct.openFile(dbPath(), false);
    const DbResult r = direct.executeNative(sql, {});
    return r.rows.rows() > 0 ? r.rows.at(0, 0) : QVariant();
}

void OdbcStand::executeNative(const QString& sql) const {
    SqliteBackend direct;
    direct.openFile(dbPath(), false);
    direct.executeScript(sql);
}
