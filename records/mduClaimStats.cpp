#include "mduClaimStats.h"

#include <algorithm>

namespace {
// The lab's claims on cards produced in the period; production dates are
// stored as "yyyy-mm-dd", so text order is date order.
const QLatin1String kClaimWhere(" from tblClaim c join tblrecord o on o.fldsn=c.fldRecordSn"
                                " where c.fldMsn=? and o.fldPdTime>=? and o.fldPdTime<=?");

QString grouped(const QString& column) {
    return QStringLiteral("select ") + column + QStringLiteral(",count(*)") + kClaimWhere + QStringLiteral(" group by ") +
           column + QStringLiteral(" order by count(*) desc,") + column;
}

QList<NamedCount> counts(const vt::ValueArray& rows, const QHash<QString, QString>& names = {}) {
    QList<NamedCount> out;
    for (int r = 0; r < rows.rows() && rows.cols() >= 2; ++r) {
        const QString key = rows.displayText(0, r).trimmed();
        const QString name = names.value(key);
        out.append({name.isEmpty() ? key : name, rows.at(1, r).toLongLong()});
    }
    return out;
}
} // namespace

QString ClaimStatsMonthlyStatement() {
    return QStringLiteral("select substring(c.fldClaimDate,1,7),count(*)") + kClaimWhere +
           QStringLiteral(" group by substring(c.fldClaimDate,1,7)");
}
QString ClaimStatsReasonStatement() { return grouped(QStringLiteral("c.fldReason")); }
QString ClaimStatsProductStatement() { return grouped(QStringLiteral("o.fldPrdName")); }
QString ClaimStatsClinicStatement() { return grouped(QStringLiteral("o.fldHospital")); }
QString ClaimStatsLotStatement() { return grouped(QStringLiteral("o.fldLot")); }
QString ClaimStatsPublishedStatement() {
    return QStringLiteral("select count(*) from tblrecord where fldMsn=? and fldPdTime>=? and fldPdTime<=? and "
                          "fldStatus='02'");
}

double ClaimStats::rate() const { return published > 0 ? 100.0 * double(claims) / double(published) : -1.0; }

QString ClaimRateText(double rate) {
    if (rate < 0)
        return QStringLiteral("—");
    return QString::number(rate, 'f', 2) + QStringLiteral(" / 百张");
}

ClaimStats BuildClaimStats(const StatsPeriod& period, const vt::ValueArray& monthlyRows,
                           const vt::ValueArray& reasonRows, const vt::ValueArray& productRows,
                           const vt::ValueArray& clinicRows, const vt::ValueArray& lotRows, bool hasLots,
                           const vt::ValueArray& publishedRows, const QHash<QString, QString>& productNames) {
    ClaimStats s;
    s.period = period;
    // Claims per month of their claim date: every month from the first to
    // the last that has claims (the cards' period does not bound them).
    QHash<QString, qint64> byMonth;
    QStringList present;
    for (int r = 0; r < monthlyRows.rows() && monthlyRows.cols() >= 2; ++r) {
        const QString m = monthlyRows.displayText(0, r).trimmed();
        const qint64 n = monthlyRows.at(1, r).toLongLong();
        s.claims += n;
        if (QDate::fromString(m + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd")).isValid()) {
            byMonth[m] += n;
            present << m;
        }
    }
    std::sort(present.begin(), present.end());
    if (!present.isEmpty()) {
        const QDate first = QDate::fromString(present.first() + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
        const QDate last = QDate::fromString(present.last() + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
        for (QDate m = first; m <= last; m = m.addMonths(1)) {
            const QString key = m.toString(QStringLiteral("yyyy-MM"));
            s.months << key;
            s.monthly << byMonth.value(key);
        }
    }
    s.reasons = counts(reasonRows);
    s.products = counts(productRows, productNames);
    s.clinics = counts(clinicRows);
    s.hasLots = hasLots;
    if (hasLots)
        s.lots = counts(lotRows);
    if (publishedRows.rows() > 0 && publishedRows.cols() >= 1)
        s.published = publishedRows.at(0, 0).toLongLong();
    return s;
}
