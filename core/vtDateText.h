#pragma once
// Dates as text, in one place: recognition of a date typed or stored as text
// (year first, then month and day with one or two digits, joined by "-", "/"
// or "." (the same separator twice), or written with 年/月/日; an optional
// time of day may follow; only days that exist in the calendar are taken),
// the forms dates are stored and listed in ("yyyy-mm-dd", "yyyy-mm"), and
// the date patterns of grid columns (YYYY-MM-DD and the like).
#include "vtCoreExport.h"

#include <QDate>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QVariant>

namespace vt {

// The date the text stands for, or an invalid QDate.
VANTELO_CORE_EXPORT QDate recognizeDate(const QString& text);
// The date a variant stands for: a date, a date-time, or a text as above.
// Empty, Null, numbers and anything else give an invalid QDate.
VANTELO_CORE_EXPORT QDate recognizeDate(const QVariant& value);

// "yyyy-mm-dd", the form dates are stored, compared and listed in; "" for an
// invalid date. Years outside 1 to 9999 are written as QDate writes them.
VANTELO_CORE_EXPORT QString dateText(const QDate& date);
// "yyyy-mm" of a date; "" for an invalid one.
VANTELO_CORE_EXPORT QString yearMonthText(const QDate& date);

// A date written by a pattern: YYYY / YY year, MM / M month, DD / D day
// (letter case ignored), anything else as it stands.
VANTELO_CORE_EXPORT QString formatDate(const QDate& date, const QString& pattern);
// A text read by such a pattern: YYYY a four-digit year, YY a two-digit one
// (2000 to 2099), MM / M and DD / D month and day; a part the pattern lacks
// is 1. Invalid when the text does not follow the pattern, has no year or
// names no day of the calendar. Only a grid column's own check reads dates
// this way: recognizeDate is not widened, so ambiguous day/month orders and
// two-digit years do not pass elsewhere.
VANTELO_CORE_EXPORT QDate readDate(const QString& text, const QString& pattern);
// Whether a text is a date written exactly by the pattern (read and written
// back the same).
VANTELO_CORE_EXPORT bool fitsDatePattern(const QString& text, const QString& pattern);

// One date pattern read once: its expression is built and compiled when the
// pattern is made, so a column's cells are each read without compiling it
// again. read and fits answer as readDate and fitsDatePattern do.
class VANTELO_CORE_EXPORT DatePattern {
public:
    explicit DatePattern(const QString& pattern);
    const QString& pattern() const { return m_pattern; }
    QDate read(const QString& text) const;
    bool fits(const QString& text) const;

private:
    QString m_pattern;
    QRegularExpression m_rx;
    QList<QChar> m_parts; // Y four-digit year, y two-digit year, M month, D day
};

} // namespace vt
