#pragma once
// What makes a SQLite file this program's database: the tables every version
// of its schema has had, without which no sign-in or card entry can work.
#include <QString>
#include <QStringList>

// The tables of those not among the given names (compared without regard
// to case, as SQLite names them).
QStringList MissingEmbeddedTables(const QStringList& tables);
// Why a file is refused: it is a database, but another program's.
QString ForeignDatabaseMessage(const QString& path, const QStringList& missing);
