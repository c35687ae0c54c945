#pragma once
// The checks of a card number against the database and the pending list:
// the submission's range and duplicate tests, and the warnings that the
// entry tab and the batch check show before a submission would meet them.
// Values in, answers out: the tabs hand it numbers and keys, and it is
// given the pending list's numbers as it asks for them.
#include <QString>
#include <QStringList>

#include "mduRecordSql.h"
#include <functional>
#include <optional>

class CardChecks {
public:
    // pendingNumbers gives the card numbers of every pending record, those
    // a list filter hides included.
    explicit CardChecks(std::function<QStringList()> pendingNumbers) : m_pendingNumbers(std::move(pendingNumbers)) {}

    // The range test of a card number against the lab's issued ranges (and
    // those of its related lab).
    bool InRange(const QString& number) const;
    // The duplicate test: another submitted record than key holds the number.
    bool Taken(const QString& number, const QString& key) const;
    // The same two tests as the warnings ask them: quietly, with no box and
    // no part in the recovery after a lost link; nothing when the query
    // failed, and the warning is then left out.
    std::optional<bool> InRangeQuietly(const QString& number) const;
    std::optional<bool> TakenQuietly(const QString& number, const QString& key) const;
    // Both tests of many cards, one query for every CardsPerTest of them;
    // the answers in the order of the cards. Asked quietly, a query that
    // fails leaves its cards' answers out; else it shows its failure and
    // its cards are judged as by queries that found no row.
    struct Answer {
        std::optional<bool> inRange;
        std::optional<bool> taken;
    };
    QList<Answer> TestMany(const QList<CardToTest>& cards, bool quietly) const;
    QStringList PendingNumbers() const { return m_pendingNumbers(); }
    // Warnings that do not stop anything: a card number in no range of the
    // lab, taken by a submitted card, or twice among the pending ones. The
    // queries show no box when they fail (the warning is then left out).
    QStringList EarlyWarnings(const QString& number, const QString& key) const;

private:
    std::function<QStringList()> m_pendingNumbers;
};
