#pragma once
// Whether a database keeps Chinese text. The client sends values as plain
// quoted literals, which SQL Server converts through the code page of the
// database's default collation: only code page 936 (a Chinese collation)
// and 65001 (a UTF-8 collation) keep Chinese characters; any other stores
// them as "?". Other servers and the embedded database are not asked.
#include <QString>
#include <QVariant>
#include <functional>

// The statement that asks SQL Server for the database's code page.
QString CodePageQuery();
// The message to show when the database would lose Chinese text, or "" when
// it keeps it. askCodePage runs CodePageQuery and is called only when the
// server names itself SQL Server; a failure to answer counts as a refusal.
QString CollationProblem(const QString& dbmsName, const std::function<QVariant()>& askCodePage);
