#include "mduStats.h"

#include "clsWarrantyRecord.h"

#include <algorithm>

StatsPeriod MonthPeriod(int year, int month) {
    const QDate first(year, std::clamp(month, 1, 12), 1);
    return {first, first.addMonths(1).addDays(-1)};
}

StatsPeriod QuarterPeriod(int year, int quarter) {
    const QDate first(year, (std::clamp(quarter, 1, 4) - 1) * 3 + 1, 1);
    return {first, first.addMonths(3).addDays(-1)};
}

StatsPeriod YearPeriod(int year) { return {QDate(year, 1, 1), QDate(year, 12, 31)}; }

StatsPeriod RangePeriod(const QDate& a, const QDate& b) {
    return a <= b ? StatsPeriod{a, b} : StatsPeriod{b, a};
}

QStringList PeriodMonths(const StatsPeriod& period) {
    QStringList months;
    if (!period.isValid())
        return months;
    for (QDate m(period.first.year(), period.first.month(), 1); m <= period.last; m = m.addMonths(1))
        months << m.toString(QStringLiteral("yyyy-MM"));
    return months;
}

namespace {
// The lab's records produced in the period; production dates are stored as
// "yyyy-mm-dd", so text order is date order.
const QLatin1String kWhere(" from tblrecord where fldMsn=? and fldPdTime>=? and fldPdTime<=?");
} // namespace

QString StatsStatusStatement() {
    return QStringLiteral("select fldStatus,count(*)") + kWhere + QStringLiteral(" group by fldStatus order by fldStatus");
}

QString StatsMonthlyStatement() {
    return QStringLiteral("select substring(fldPdTime,1,7),fldPrdName,count(*)") + kWhere +
           QStringLiteral(" group by substring(fldPdTime,1,7),fldPrdName");
}

QString StatsClinicStatement() {
    return QStringLiteral("select fldHospital,count(*)") + kWhere +
           QStringLiteral(" group by fldHospital order by count(*) desc,fldHospital");
}

QString StatsReasonStatement() {
    return QStringLiteral("select fldStatus,isnull(fldreturnmemo,''),count(*)") + kWhere +
           QStringLiteral(" and fldStatus not in ('00','01','02') group by fldStatus,isnull(fldreturnmemo,'')"
                          " order by count(*) desc,fldStatus");
}

QVariantList StatsParams(const QString& labKey, const StatsPeriod& period) {
    return {labKey, DateText(period.first), DateText(period.last)};
}

QString StatsLatestStatement() { return QStringLiteral("select max(fldPdTime) from tblrecord where fldMsn=?"); }

QString StatsProductNamesStatement() { return QStringLiteral("select fldPrdKey,fldPrdName from tblProduct"); }

double LabStats::approvalRate() const {
    const qint64 decided = published + sentBack;
    return decided > 0 ? double(published) / double(decided) : -1.0;
}

QString ApprovalRateText(double rate) {
    if (rate < 0)
        return QStringLiteral("—");
    return QString::number(rate * 100.0, 'f', 1) + QLatin1Char('%');
}

namespace {
qint64 countAt(const vt::ValueArray& a, int col, int row) { return a.at(col, row).toLongLong(); }
QString textAt(const vt::ValueArray& a, int col, int row) { return a.displayText(col, row); }
} // namespace

LabStats BuildLabStats(const StatsPeriod& period, const vt::ValueArray& statusRows,
                       const vt::ValueArray& monthlyRows, const vt::ValueArray& clinicRows,
                       const vt::ValueArray& reasonRows, const QHash<QString, QString>& productNames,
                       const QHash<QString, QString>& statusTexts) {
    LabStats s;
    s.period = period;
    if (statusRows.cols() >= 2)
        for (int r = 0; r < statusRows.rows(); ++r) {
            const QString code = textAt(statusRows, 0, r).trimmed();
            const qint64 n = countAt(statusRows, 1, r);
            s.statuses.append({code, StatusWords(code, statusTexts), n});
            s.total += n;
            if (code == RecordStatus::Published)
                s.published += n;
            else if (IsSentBackStatus(code))
                s.sentBack += n;
        }

    // Cards per month and product: every month of the period, a product
    // only when it has cards in it; products in the order of their keys.
    s.months = PeriodMonths(period);
    QStringList keys;
    if (monthlyRows.cols() >= 3)
        for (int r = 0; r < monthlyRows.rows(); ++r)
            if (!keys.contains(textAt(monthlyRows, 1, r)))
                keys << textAt(monthlyRows, 1, r);
    std::sort(keys.begin(), keys.end());
    for (const QString& key : keys) {
        const QString name = productNames.value(key);
        s.products << (name.isEmpty() ? key : name);
    }
    s.monthly = QList<QList<qint64>>(keys.size(), QList<qint64>(s.months.size(), 0));
    if (monthlyRows.cols() >= 3)
        for (int r = 0; r < monthlyRows.rows(); ++r) {
            const int m = int(s.months.indexOf(textAt(monthlyRows, 0, r)));
            const int p = int(keys.indexOf(textAt(monthlyRows, 1, r)));
            if (m >= 0 && p >= 0)
                s.monthly[p][m] += countAt(monthlyRows, 2, r);
        }

    if (clinicRows.cols() >= 2)
        for (int r = 0; r < clinicRows.rows() && s.clinics.size() < 10; ++r)
            s.clinics.append({textAt(clinicRows, 0, r), countAt(clinicRows, 1, r)});

    if (reasonRows.cols() >= 3)
        for (int r = 0; r < reasonRows.rows(); ++r) {
            const QString code = textAt(reasonRows, 0, r).trimmed();
            s.reasons.append({StatusWords(code, statusTexts), textAt(reasonRows, 1, r), countAt(reasonRows, 2, r)});
        }
    return s;
}
