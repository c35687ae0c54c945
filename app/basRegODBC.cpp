#include "basRegODBC.h"

#include "mduINI.h"

#include <odbcinst.h>

namespace {
const char* const DriverName = "SQL Server";
const char* const OdbcIni = "ODBC.INI";
} // namespace

bool RegisterDataSource(const QString& dataSourceName, const QString& serverName,
                        const QString& databaseName) {
    // A line break would add sections and keys to the data-source file.
    if (!IsSafeConnectionName(dataSourceName) || !IsSafeConnectionName(serverName) ||
        !IsSafeConnectionName(databaseName))
        return false;
    const QByteArray dsn = dataSourceName.toUtf8();
    const QByteArray server = serverName.toUtf8();
    const QByteArray database = databaseName.toUtf8();

    // A user data source, as the system registers it for the signed-in user.
    SQLSetConfigMode(ODBC_USER_DSN);
    // Writing the name first removes a data source of that name with all
    // its attributes, so the two below replace what was there.
    bool ok = SQLWriteDSNToIni(dsn.constData(), DriverName) &&
              SQLWritePrivateProfileString(dsn.constData(), "Server", server.constData(), OdbcIni) &&
              SQLWritePrivateProfileString(dsn.constData(), "Database", database.constData(),
                                           OdbcIni);
    SQLSetConfigMode(ODBC_BOTH_DSN);
    return ok;
}
