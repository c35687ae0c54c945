#pragma once
// The card-number ranges issued to a lab (and to its related lab): how many
// numbers each holds, how many the lab's records use, how many are left and
// the next free one. Statements with bound values; the counting of the
// numbers a range's records use is done here.
#include "vtValue.h"

#include <QList>
#include <QString>
#include <QStringList>

struct CardRange {
    QString from;   // first number, letter and digits
    QString to;     // last number
    bool related = false; // issued to the related lab
};

struct RangeUsage {
    CardRange range;
    qint64 size = 0;  // numbers in the range
    qint64 used = 0;  // distinct numbers of the lab's records in it
    qint64 left = 0;
    QString nextFree; // the lowest number not used, or "" when none is left
    // Less than a tenth of the range is left.
    bool low() const { return size > 0 && left * 10 < size; }
};

// The ranges of a lab and its related lab, bound (lab key, related lab key
// or ""), the lab's own first, each in number order.
QString LabRangesStatement();
QList<CardRange> RangesFromRows(const vt::ValueArray& rows, const QString& labKey);
// The distinct card numbers of the lab's records (any status) between two
// numbers, bound (lab key as LabKeyValue gives it, first, last), in order.
QString RangeNumbersStatement();
// The usage of a range from the numbers that statement gave (numbers of
// another length or letter, or outside the range, are not counted).
RangeUsage MeasureRange(const CardRange& range, const QStringList& numbers);
// The next free number of the ranges whose numbers start with a letter:
// the first such range with a number left; "" when there is none.
QString NextFreeNumber(const QList<RangeUsage>& usages, const QString& letter);
