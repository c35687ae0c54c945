#pragma once
#include <QString>

// Registers, without any dialog, the user data source dataSourceName for the
// ODBC driver "SQL Server" with the attributes Server and Database. A data
// source of that name is replaced. Returns false when unixODBC refused.
bool RegisterDataSource(const QString& dataSourceName, const QString& serverName,
                        const QString& databaseName);
