#pragma once
// The stored procedures of the system's database (upvProducts, upDSYSExecLog
// and upVBasShow) as SQLite statements, with the parameters and result
// columns of the SQL Server procedures in db/sqlserver/. The embedded backend
// offers them; the ODBC backend runs them the same way when its driver is
// SQLite's, a server standing in for SQL Server.
#include "dbBackend.h"

#include <functional>

// Runs SQLite's own text, markers written ?1, ?2 …
using NativeRun = std::function<DbResult(const QString& sql, const QList<QVariant>& params)>;

struct SystemProcedure {
    QString name;
    QList<DbParamInfo> parameters; // entry 0 is the return value
    std::function<DbResult(const NativeRun& run, QList<DbParam>& params)> body;
};

const QList<SystemProcedure>& SystemProcedures();
// The procedure of that name, compared without regard to case; null if none.
const SystemProcedure* FindSystemProcedure(const QString& name);
