#include "mduCardChecks.h"

#include "clsConn.h"
#include "mduRecordSql.h"
#include "vtValue.h"

bool CardChecks::InRange(const QString& n) const {
    return !vt::isEmpty(gConn->GetArray(RangeTestStatement(n, gConn->OpId().toString(), gConn->OpId2().toString())));
}

bool CardChecks::Taken(const QString& n, const QString& key) const {
    return !vt::isEmpty(gConn->GetArray(DuplicateTestStatement(n, key)));
}

QStringList CardChecks::EarlyWarnings(const QString& number, const QString& key) const {
    QStringList warnings;
    // The two tests in one query; a query that fails answers as a range
    // test that found nothing did.
    const QVariant found = gConn->GetArray(
        RangeAndDuplicateStatement(number, gConn->OpId().toString(), gConn->OpId2().toString(), key));
    const vt::ValueArray answers = vt::isEmpty(found) ? vt::ValueArray() : vt::toArray(found);
    const bool answered = answers.rows() > 0 && answers.cols() >= 2;
    if (!answered || answers.at(0, 0).toInt() == 0)
        warnings << QStringLiteral("卡号 %1 不在本所的卡号范围内").arg(number);
    if (answered && answers.at(1, 0).toInt() != 0)
        warnings << QStringLiteral("卡号 %1 已被已上报的质保卡使用").arg(number);
    if (PendingNumbers().count(number) > 1)
        warnings << QStringLiteral("卡号 %1 在待提交质保卡中重复").arg(number);
    return warnings;
}
