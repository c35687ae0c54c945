#include "mduCardChecks.h"

#include "clsConn.h"
#include "mduRecordSql.h"

bool CardChecks::InRange(const QString& n) const {
    return !vt::isEmpty(gConn->GetArray(RangeTestStatement(n, gConn->OpId().toString(), gConn->OpId2().toString())));
}

bool CardChecks::Taken(const QString& n, const QString& key) const {
    return !vt::isEmpty(gConn->GetArray(DuplicateTestStatement(n, key)));
}

namespace {
// Whether a query of a warning found a row; nothing when it failed.
std::optional<bool> foundQuietly(const QString& sql) {
    bool failed = false;
    const vt::ValueArray rows = gConn->GetRowsQuietly(sql, {}, &failed);
    if (failed)
        return std::nullopt;
    return rows.rows() > 0;
}
} // namespace

std::optional<bool> CardChecks::InRangeQuietly(const QString& n) const {
    return foundQuietly(RangeTestStatement(n, gConn->OpId().toString(), gConn->OpId2().toString()));
}

std::optional<bool> CardChecks::TakenQuietly(const QString& n, const QString& key) const {
    return foundQuietly(DuplicateTestStatement(n, key));
}

QStringList CardChecks::EarlyWarnings(const QString& number, const QString& key) const {
    QStringList warnings;
    if (const std::optional<bool> inRange = InRangeQuietly(number); inRange && !*inRange)
        warnings << QStringLiteral("卡号 %1 不在本所的卡号范围内").arg(number);
    if (const std::optional<bool> taken = TakenQuietly(number, key); taken && *taken)
        warnings << QStringLiteral("卡号 %1 已被已上报的质保卡使用").arg(number);
    if (PendingNumbers().count(number) > 1)
        warnings << QStringLiteral("卡号 %1 在待提交质保卡中重复").arg(number);
    return warnings;
}
