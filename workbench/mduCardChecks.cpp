#include "mduCardChecks.h"

#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduRecordSql.h"
#include "vtValue.h"

#include <QHash>

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
    // Only warnings: a database that does not answer gives none, and no box.
    QuietBoxes quiet;
    QStringList warnings;
    // The two tests in one query; a query that fails leaves both warnings out.
    bool failed = false;
    const vt::ValueArray answers = gConn->GetRowsQuietly(
        RangeAndDuplicateStatement(number, gConn->OpId().toString(), gConn->OpId2().toString(), key), {}, &failed);
    const bool answered = !failed && answers.rows() > 0 && answers.cols() >= 2;
    if (answered && answers.at(0, 0).toInt() == 0)
        warnings << QStringLiteral("卡号 %1 不在本所的卡号范围内").arg(number);
    if (answered && answers.at(1, 0).toInt() != 0)
        warnings << QStringLiteral("卡号 %1 已被已上报的质保卡使用").arg(number);
    if (PendingNumbers().count(number) > 1)
        warnings << QStringLiteral("卡号 %1 在待提交质保卡中重复").arg(number);
    return warnings;
}

QList<CardChecks::Answer> CardChecks::TestMany(const QList<CardToTest>& cards, bool quietly) const {
    QList<Answer> answers(cards.size());
    // Each card once, whatever rows it stands for.
    QHash<QPair<QString, QString>, QList<qsizetype>> rowsOf;
    QList<CardToTest> distinct;
    for (qsizetype i = 0; i < cards.size(); ++i) {
        QList<qsizetype>& at = rowsOf[{cards[i].number, cards[i].key}];
        if (at.isEmpty())
            distinct << cards[i];
        at << i;
    }
    const QString opId = gConn->OpId().toString();
    const QString opId2 = gConn->OpId2().toString();
    for (qsizetype from = 0; from < distinct.size(); from += CardsPerTest) {
        const QList<CardToTest> part = distinct.mid(from, CardsPerTest);
        const QString sql = CardTestsStatement(part, opId, opId2);
        bool failed = false;
        vt::ValueArray rows;
        if (quietly) {
            rows = gConn->GetRowsQuietly(sql, {}, &failed);
        } else {
            const QVariant found = gConn->GetArray(sql);
            if (vt::isArray(found))
                rows = vt::toArray(found);
        }
        if (failed)
            continue;
        // Judged as the tests of one card are: no row found, unless the
        // answer says one was.
        for (const CardToTest& c : part)
            for (const qsizetype i : rowsOf.value({c.number, c.key}))
                answers[i] = {false, false};
        for (int r = 0; r < rows.rows(); ++r) {
            const auto at = rowsOf.constFind({rows.at(0, r).toString(), rows.at(1, r).toString()});
            if (at == rowsOf.constEnd())
                continue;
            for (const qsizetype i : *at)
                answers[i] = {rows.at(2, r).toInt() != 0, rows.at(3, r).toInt() != 0};
        }
    }
    return answers;
}
