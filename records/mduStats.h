#pragma once
// The lab's statistics over a period of production dates: counts by status,
// cards per month and product, the clinics that send most work, the
// approval rate and the sent-back records by reason. The database does the
// counting (grouped statements with bound values); these functions build
// the statements and turn their small results into what the tab shows.
#include "clsWarrantyRecord.h"
#include "vtValue.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// A period of production dates, both ends included.
struct StatsPeriod {
    QDate first;
    QDate last;
    bool isValid() const { return first.isValid() && last.isValid() && first <= last; }
};

enum class PeriodKind { Month, Quarter, Year, Range };
// The month (index 1-12), the quarter (index 1-4) or the whole year; a
// range is given by its own two dates (put in order).
StatsPeriod MonthPeriod(int year, int month);
StatsPeriod QuarterPeriod(int year, int quarter);
StatsPeriod YearPeriod(int year);
StatsPeriod RangePeriod(const QDate& a, const QDate& b);

// Each month the period touches, as "yyyy-MM", in order (across years).
QStringList PeriodMonths(const StatsPeriod& period);

// The statements, each bound to (lab key, first day, last day) as
// "yyyy-mm-dd" texts, which is how production dates are stored.
QString StatsStatusStatement();  // status code, count
QString StatsMonthlyStatement(); // "yyyy-mm", product key, count
QString StatsClinicStatement();  // hospital, count; most first
QString StatsReasonStatement();  // status code, reason, count: sent-back records only
QVariantList StatsParams(const QString& labKey, const StatsPeriod& period);
// The latest production date of the lab's records (one bound value).
QString StatsLatestStatement();
// Product keys and their shown names.
QString StatsProductNamesStatement();

struct StatusCount {
    QString code;
    QString text;
    qint64 count = 0;
};
struct NamedCount {
    QString name;
    qint64 count = 0;
};
struct ReasonCount {
    QString status;
    QString reason;
    qint64 count = 0;
};

struct LabStats {
    StatsPeriod period;
    QList<StatusCount> statuses;   // by code
    QStringList months;            // "yyyy-MM", every month of the period
    QStringList products;          // shown names, in the order of their keys
    QList<QList<qint64>> monthly;  // [product][month]
    QList<NamedCount> clinics;     // at most ten, most first
    QList<ReasonCount> reasons;    // most first
    qint64 total = 0;
    qint64 published = 0;
    qint64 sentBack = 0;
    // published ÷ (published + sent back); negative when both are zero.
    double approvalRate() const;
};

// Puts the results of the four statements together. Rows are the
// connection's arrays (columns by rows); an empty value is no rows.
LabStats BuildLabStats(const StatsPeriod& period, const vt::ValueArray& statusRows,
                       const vt::ValueArray& monthlyRows, const vt::ValueArray& clinicRows,
                       const vt::ValueArray& reasonRows, const QHash<QString, QString>& productNames,
                       const QHash<QString, QString>& statusTexts);

// The rate as the tab shows it: "87.5%", or "—" when there is none.
QString ApprovalRateText(double rate);
