#pragma once
// The schema and demo data of the embedded database, carried in the program.
#include <QString>

QString EmbeddedSchemaSql();
QString EmbeddedDemoSql();
// Creates (or replaces) the database file with the schema and, when demo is
// set, the demo data. Throws DbError on failure.
void CreateEmbeddedDatabase(const QString& path, bool demo);
// Writes the settings that select the embedded database of that name:
// server "(embedded)", empty login, no settings dialog at start.
void SelectEmbeddedDatabase(const QString& iniPath, const QString& databaseName);
