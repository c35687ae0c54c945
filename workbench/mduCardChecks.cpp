#include "mduCardChecks.h"

#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduRecordSql.h"

bool CardChecks::InRange(const QString& n) const {
    return !vt::isEmpty(gConn->GetArray(RangeTestStatement(n, gConn->OpId().toString(), gConn->OpId2().toString())));
}

bool CardChecks::Taken(const QString& n, const QString& key) const {
    return !vt::isEmpty(gConn->GetArray(DuplicateTestStatement(n, key)));
}

QStringList CardChecks::EarlyWarnings(const QString& number, const QString& key) const {
    // Only warnings: a database that does not answer gives none, and no box.
    QuietBoxes quiet;
    QStringList warnings;
    if (!InRange(number))
        warnings << QStringLiteral("卡号 %1 不在本所的卡号范围内").arg(number);
    if (Taken(number, key))
        warnings << QStringLiteral("卡号 %1 已被已上报的质保卡使用").arg(number);
    if (PendingNumbers().count(number) > 1)
        warnings << QStringLiteral("卡号 %1 在待提交质保卡中重复").arg(number);
    return warnings;
}
