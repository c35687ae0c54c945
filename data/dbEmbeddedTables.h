#pragma once
// What makes a SQLite file this program's database: the tables of its schema.
#include <QString>
#include <QStringList>

// The tables every version of the program's schema has had.
const QStringList& EmbeddedTableNames();
// Whether a file with these tables (names compared without regard to case,
// as SQLite compares them) is this program's database. One that has lost a
// table is still the program's own: what then fails names the table. A file
// without any of them belongs to another program.
bool HasEmbeddedTables(const QStringList& tables);
// Why a file is refused: it is a database, but another program's.
QString ForeignDatabaseMessage(const QString& path);
