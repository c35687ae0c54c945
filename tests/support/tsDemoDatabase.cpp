#include "tsDemoDatabase.h"

#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"

DemoDatabase::DemoDatabase(bool connect) {
    CreateEmbeddedDatabase(dbPath(), true);
    SelectEmbeddedDatabase(m_folder.iniPath(), "demo");
    if (connect) {
        QString server = "(embedded)", db = "demo";
        gConn->ConnectToDatabase(server, db);
    }
}

DemoDatabase::~DemoDatabase() { gConn.reset(); }

SqliteBackend* DemoDatabase::backend() const {
    return dynamic_cast<SqliteBackend*>(gConn->GetConnection());
}

bool DemoDatabase::signIn(const QString& account, const QString& password) {
    QString a = account, p = password;
    return gConn->CheckUser(a, p);
}

QVariant DemoDatabase::scalar(const QString& sql) const {
    SqliteBackend direct;
    direct.openFile(dbPath(), false);
    const DbResult r = direct.executeNative(sql, {});
    return r.rows.rows() > 0 ? r.rows.at(0, 0) : QVariant();
}
