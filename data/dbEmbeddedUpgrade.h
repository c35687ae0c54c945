#pragma once
// Brings an embedded database made by an older program up to what this one
// relies on, when the program opens it.
#include <QStringList>

class SqliteBackend;

// The name of the index by which the embedded database refuses a second
// record of one card number with a status above '00'.
extern const char* const CardHeldIndexName;
// The table of warranty claims, which a database made before them lacks.
extern const char* const ClaimTableName;

// Runs every upgrade step the database still lacks, each in a transaction
// of its own that takes the write lock first. A step that finds the data in
// the way (card numbers already submitted twice) leaves the database as it
// was and says why in words for the user; it is tried again at the next
// opening. A database that cannot be written now (read-only, or another
// program writing) is left for later without a word.
QStringList UpgradeEmbeddedDatabase(SqliteBackend& db);

// The numbers held by more than one record above '00', in order.
QStringList NumbersHeldTwice(SqliteBackend& db);
