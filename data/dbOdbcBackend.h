#pragma once
// The backend over unixODBC: SQL Server through the driver "SQL Server", or
// any other ODBC driver for plain SQL.
#include "dbBackend.h"

#include <QHash>

struct SystemProcedure;

class OdbcBackend final : public DbBackend {
public:
    OdbcBackend();
    ~OdbcBackend() override;

    void open(const ConnectRequest& request) override;
    void close() override;
    bool isOpen() const override { return m_dbc != nullptr; }
    QString dbmsName() const override;
    void savepoint(const QString& name) override;
    void rollbackToSavepoint(const QString& name) override;
    void releaseSavepoint(const QString& name) override;

    QList<DbParamInfo> describeParameters(const QString& sql) override;
    DbResult execute(const QString& sql, const QList<DbParam>& params, int timeoutSeconds) override;
    QList<DbParamInfo> describeProcedure(const QString& name) override;
    DbResult callProcedure(const QString& name, QList<DbParam>& params, int timeoutSeconds) override;

    void beginTransaction() override;
    void commitTransaction() override;
    void rollbackTransaction() override;

private:
    // SQLite's driver stands in for SQL Server (the tests' server): the
    // statements pass the dialect step and the system's procedures run as
    // the embedded database runs them, each as one call.
    bool standsIn() const { return m_dbmsName == QLatin1String("SQLite"); }
    QString serverText(const QString& sql) const;
    DbResult executeText(const QString& sql, const QList<DbParam>& params, int timeoutSeconds);
    DbResult runNative(const QString& sql, const QList<QVariant>& values, int timeoutSeconds);
    // Describes the procedures a name pattern matches into m_procedures.
    void describeOnServer(const QString& pattern);
    DbResult callSystemProcedure(const SystemProcedure& procedure, QList<DbParam>& params, int timeoutSeconds);

    void* m_env = nullptr;
    void* m_dbc = nullptr;
    QString m_dbmsName; // SQLGetInfo's DBMS name, read at open
    QHash<QString, QList<DbParamInfo>> m_procedures; // described procedures by lower-case name
};
