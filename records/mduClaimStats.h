#pragma once
// The lab's warranty claims in the statistics: the claims on the cards
// produced in a period (the basis the statistics tab counts cards by),
// per month of their claim date, by reason, by product, by clinic and, where
// the database keeps lots, by lot; and the claim rate, claims per 100
// published cards of the same period. The database counts (grouped
// statements with bound values); these functions build the statements and
// put their small results together.
#include "mduStats.h"

// Each bound (lab key, first day, last day) of the cards' production dates.
QString ClaimStatsMonthlyStatement(); // "yyyy-mm" of the claim date, count
QString ClaimStatsReasonStatement();  // reason, count; most first
QString ClaimStatsProductStatement(); // product key, count; most first
QString ClaimStatsClinicStatement();  // hospital, count; most first
QString ClaimStatsLotStatement();     // lot, count; most first (fails without the lot column)
QString ClaimStatsPublishedStatement(); // count of the published cards

struct ClaimStats {
    StatsPeriod period;
    QStringList months;       // "yyyy-MM" from the first claim's month to the last's
    QList<qint64> monthly;    // per month
    QList<NamedCount> reasons;
    QList<NamedCount> products; // shown names
    QList<NamedCount> clinics;
    QList<NamedCount> lots;
    bool hasLots = false;     // the database keeps lots
    qint64 claims = 0;
    qint64 published = 0;
    // Claims per 100 published cards; negative without published cards.
    double rate() const;
};

// Puts the results together; lotRows is ignored unless hasLots.
ClaimStats BuildClaimStats(const StatsPeriod& period, const vt::ValueArray& monthlyRows,
                           const vt::ValueArray& reasonRows, const vt::ValueArray& productRows,
                           const vt::ValueArray& clinicRows, const vt::ValueArray& lotRows, bool hasLots,
                           const vt::ValueArray& publishedRows, const QHash<QString, QString>& productNames);
// The rate as shown: "2.50 / 百张", or "—" without published cards.
QString ClaimRateText(double rate);
