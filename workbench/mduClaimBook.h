#pragma once
// The signed-in lab's warranty claims in the database: whether the database
// keeps claims at all (asked once at sign-in, with the lab's open claims),
// recording, closing and reading claims, linking a remake, and a card's
// teeth and lot where the database has those columns. The tabs that show
// claims hear of every change.
#include "mduClaims.h"

#include <QHash>
#include <QObject>

// What a card says about its restoration, where the database keeps it.
struct CardTrace {
    QStringList teeth; // FDI codes in the card's order; empty: none kept
    QString lot;
};

class ClaimBook : public QObject {
    Q_OBJECT
public:
    explicit ClaimBook(QObject* parent = nullptr);

    // At sign-in: the lab's open claims, one query. A database without the
    // claims table fails it quietly, and then Available is false.
    void Load();
    bool Available() const { return m_available; }
    // Whether a card has an open claim, and since when ("yyyy-mm-dd").
    bool HasOpenClaim(const QString& recordKey) const { return m_open.contains(recordKey); }
    QString OpenSince(const QString& recordKey) const { return m_open.value(recordKey); }

    // Stores a claim of a card; its key is filled in. false when the
    // database did not take it (why says so when the user should know).
    bool Record(WarrantyClaim& claim, const ClaimTerm& term, QString* why);
    // Closes an open claim on a day with what was done.
    bool Close(const WarrantyClaim& claim, const QDate& day, const QString& done, QString* why);
    // The remake just saved under a card number, linked to its claim.
    bool LinkRemake(const QString& claimKey, const QString& remakeNumber);
    // The claims of a card, and those whose remake it is.
    QList<WarrantyClaim> OfCard(const QString& recordKey) const;
    // The lab's claims of a claim-date range, newest first.
    QList<WarrantyClaim> List(const QDate& first, const QDate& last) const;
    // The card's teeth and lot; none on a database without those columns.
    CardTrace Trace(const QString& recordKey) const;

signals:
    // A claim was recorded, closed or linked to its remake.
    void Changed();

private:
    void setOpen(const vt::ValueArray& rows);

    bool m_available = false;
    QHash<QString, QString> m_open; // card's record key -> claim date
};
