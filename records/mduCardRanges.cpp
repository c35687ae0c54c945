#include "mduCardRanges.h"

#include "clsWarrantyRecord.h"

#include <algorithm>

namespace {

// The digits of a number of the range's form as a value; false for any
// other form (other letter, other length, not digits).
bool numberOf(const QString& number, const CardRange& range, qint64* value) {
    if (number.size() != range.from.size() || number.isEmpty() ||
        number.at(0).toUpper() != range.from.at(0).toUpper())
        return false;
    const QStringView digits = QStringView(number).mid(1);
    if (digits.isEmpty() || digits.size() > 18)
        return false;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    *value = digits.toLongLong();
    return true;
}

} // namespace

QString LabRangesStatement() {
    return QStringLiteral("select fldPrdNoFrom, fldPrdNoTo, fldmaker from tblProductNoSet"
                          " where fldmaker = ? or fldmaker = ? order by fldPrdNoFrom");
}

QList<CardRange> RangesFromRows(const vt::ValueArray& rows, const QString& labKey) {
    QList<CardRange> own, related;
    for (int r = 0; r < rows.rows() && rows.cols() >= 3; ++r) {
        CardRange range{rows.displayText(0, r).trimmed(), rows.displayText(1, r).trimmed(),
                        rows.displayText(2, r).trimmed() != labKey.trimmed()};
        (range.related ? related : own) << range;
    }
    return own + related;
}

QString RangeNumbersStatement() {
    // By the card number's index, the lab checked on the rows found ("+"
    // keeps the planner off the lab's index).
    return QStringLiteral("select distinct fldPrdNo from tblrecord"
                          " where +fldMsn = ? and fldPrdNo >= ? and fldPrdNo <= ? order by fldPrdNo");
}

RangeUsage MeasureRange(const CardRange& range, const QStringList& numbers) {
    RangeUsage u;
    u.range = range;
    qint64 first = 0, last = 0;
    if (!numberOf(range.from, range, &first) || !numberOf(range.to, range, &last) || last < first)
        return u;
    u.size = last - first + 1;
    std::vector<qint64> used;
    used.reserve(std::size_t(numbers.size()));
    for (const QString& n : numbers) {
        qint64 v = 0;
        if (numberOf(n.trimmed(), range, &v) && v >= first && v <= last)
            used.push_back(v);
    }
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    u.used = qint64(used.size());
    u.left = u.size - u.used;
    qint64 next = first;
    for (qint64 v : used) {
        if (v != next)
            break;
        ++next;
    }
    if (next <= last)
        u.nextFree = range.from.left(1) + QStringLiteral("%1").arg(next, int(range.from.size() - 1), 10, QLatin1Char('0'));
    return u;
}

QString NextFreeNumber(const QList<RangeUsage>& usages, const QString& letter) {
    for (const RangeUsage& u : usages)
        if (!u.nextFree.isEmpty() && u.range.from.startsWith(letter, Qt::CaseInsensitive))
            return u.nextFree;
    return {};
}
