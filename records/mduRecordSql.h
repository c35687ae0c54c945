#pragma once
// The statements that store, submit and check warranty records, built as
// fixed texts with the values between single quotes (their own quotes
// doubled, so that a value is stored exactly as typed and can never change
// the statement). The execution log keeps these texts as they are.
#include "clsWarrantyRecord.h"
#include "mduSqlText.h"

#include <QStringList>
#include <QVariantList>

// withExtras: the database has the card's lot, teeth and shade columns,
// and the insert and update carry them; without, the statements are the
// ones a database without them has always been sent.

// Save of the entry tab: a new pending record (lab key opId, account opNo).
QString EntryInsertStatement(const WarrantyRecord& r, const QString& opId, const QString& opNo,
                             bool withExtras = false);
// The statements that change one record name the state they expect: the
// lab's own (lab key opId) and, but for the reset, still pending. A record
// submitted, published or deleted elsewhere meanwhile is left alone and the
// statement changes no row.

// Save of an opened record: every field but the lab and the status.
QString EntryUpdateStatement(const WarrantyRecord& r, const QString& opNo, const QString& opId,
                             bool withExtras = false);
QString DeleteStatement(const QString& key, const QString& opId);
// One batch row as a new pending record.
QString BatchInsertStatement(const WarrantyRecord& r, const QString& opId, const QString& opNo,
                             bool withExtras = false);
// The columns the card's lot, teeth and shade add to an insert's column
// list (before fldStatus), and their values in that order.
inline constexpr QLatin1StringView CardExtraColumns(",fldLot,fldTeeth,fldShade");
QStringList CardExtraValues(const WarrantyRecord& r);

// The range test: a row when some range of the lab (or of its related lab,
// opId2, when there is one) has the number's length and encloses it.
QString RangeTestStatement(const QString& number, const QString& opId, const QString& opId2);
// The duplicate test: a row when another submitted record holds the number.
QString DuplicateTestStatement(const QString& number, const QString& key);
// Both tests in one query, for the warnings after a save: one row, the range
// test's answer and the duplicate test's, 1 for a row found and 0 for none.
QString RangeAndDuplicateStatement(const QString& number, const QString& opId, const QString& opId2,
                                   const QString& key);
// Submission: status '01' and today's submission date.
QString SubmitStatement(const QString& key, const QString& opId);
// Back to pending, the central office's reason cleared: a submitted or
// sent-back record only, never a published one.
QString ResetStatement(const QString& key, const QString& opId);

// Statements for many records at once, the values bound to its "?"
// markers in order. Both engines read each one; SQL Server takes at most
// 2100 markers and 1000 rows in one VALUES, SQLite at most 500 selects
// joined by UNION ALL.
struct SqlWithValues {
    QString sql;
    QVariantList values;
};
// The columns of a batch row's insert and their values, in one order: the
// single and the many rows' inserts are both built from it.
struct InsertColumns {
    QStringList columns;
    QStringList values;
};
InsertColumns BatchInsertColumns(const WarrantyRecord& r, const QString& opId, const QString& opNo,
                                 bool withExtras = false);
// The most rows one insert of rows with that many columns may carry.
int InsertRowsPerStatement(int columns);
// The rows (of the same columns) in one insert, their values bound.
SqlWithValues InsertRowsStatement(const QList<InsertColumns>& rows);

// The most cards one test of many cards may ask.
constexpr int CardsPerTest = 500;
// The range and duplicate tests of many cards in one query: for every
// card (number and record key; an empty key for a card not stored) a row
// of its number, its key, and the two tests' answers as
// RangeAndDuplicateStatement gives them, the database comparing as in the
// tests of one card.
struct CardToTest {
    QString number;
    QString key;
    bool operator==(const CardToTest&) const = default;
};
QString CardTestsStatement(const QList<CardToTest>& cards, const QString& opId, const QString& opId2);
// Submission of many records (at most CardsPerTest), each still the lab's
// and pending: the rows changed say how many of them were.
QString SubmitManyStatement(const QStringList& keys, const QString& opId);
