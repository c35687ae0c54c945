#pragma once
// Warranty claims: a patient comes back with a published card of the lab (a
// crown chipped, a bridge came loose). The reasons, actions and states a
// claim takes, whether it falls within the card's term, the teeth it may
// name, whether a card takes a claim now, and the statements that store,
// close and read claims (every value bound, never spliced).
#include "mduCardLookup.h"
#include "vtValue.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The reasons offered, in their order, and the actions.
QStringList ClaimReasons();
QStringList ClaimActions();
inline const QString RepairAction = QStringLiteral("修理");
inline const QString RemakeAction = QStringLiteral("重做");
// A claim is open until it is closed.
namespace ClaimState {
inline const QString Open = QStringLiteral("受理中");
inline const QString Closed = QStringLiteral("已完成");
} // namespace ClaimState

// Whether a claim falls within the card's warranty on the day it is made.
// The term ends on the look-up's expiry day (ExpiryDate), which is itself
// still within: "保修期内，还有 0 天"; the day after is "已过保修期 1 天".
// Without a treatment date or a term it cannot be told.
struct ClaimTerm {
    enum Standing { Unknown, Within, Past } standing = Unknown;
    QDate expiry;
    qint64 days = 0; // left (within) or past (past)
    QString text;    // as shown and printed
    // As tblClaim.fldInTerm keeps it: "1", "0", or SQL NULL when unknown.
    QVariant storedValue() const;
};
ClaimTerm ClaimTermOn(const QDate& treatment, int termMonths, const QDate& claimDate);

// Tooth positions as a card keeps them: distinct two-digit FDI codes
// separated by single spaces ("11 12 21"). What is not such a code is
// dropped, as are repeats; the order is the card's.
QStringList TeethOf(const QString& stored);
QString TeethText(const QStringList& teeth);
bool IsToothCode(const QString& code);
// The teeth a claim names, kept in the card's order: only those the card has.
QStringList ClaimTeeth(const QStringList& chosen, const QStringList& cardTeeth);

// Why a card takes no claim now, or "" when it takes one: only published
// cards of the lab, and one open claim at a time. openSince is the claim
// date of the card's open claim (empty when it has none); statusTexts the
// submitted list's texts of the central office's codes.
QString ClaimRefusal(const WarrantyCard& card, bool hasOpenClaim, const QString& openSince = QString(),
                     const QHash<QString, QString>& statusTexts = {});

// One claim as the claims list, the look-up and the slip show it.
struct WarrantyClaim {
    QString key;          // tblClaim.fldsn
    QString recordKey;    // the card's record
    QString cardNumber;
    QDate claimDate;
    QString reason;
    QString text;
    QString teeth;        // stored form
    QString action;
    QString inTerm;       // "1", "0" or ""
    QString state;
    QDate closeDate;
    QString done;
    QString remakeKey;    // "" without a remake
    QString remakeNumber; // the remake's card number, "" without
    // The card claimed on, as the list shows it.
    QString productName;
    QString patient;
    QString hospital;
    QString doctor;
    bool isOpen() const { return state == ClaimState::Open; }
};
// "保修期内" / "已过保修期" / "" for a stored within-term value.
QString InTermWords(const QString& stored);

// The claim of a card, bound (claim date, reason, text, teeth, action,
// within-term, state, card's record key, lab key): stored only for a
// published card of the lab, so that no other is claimed even by a stale
// form; the number is the card's own. RowsChanged 0: not claimable.
QString ClaimInsertStatement();
QVariantList ClaimInsertParams(const WarrantyClaim& claim, const QVariant& inTerm, const QVariant& labKey);
// Closing, bound (closing date, what was done, claim key, lab key): open
// claims only; the card may take a new claim afterwards.
QString ClaimCloseStatement();
// The remake saved for a claim, bound (lab key, remake's card number, claim
// key, lab key): the newest pending record of the lab with that number, for
// a claim that has no remake yet.
QString ClaimRemakeLinkStatement();
// The lab's open claims' cards, bound (lab key): the one query at sign-in,
// which also tells whether the database has claims at all.
QString OpenClaimsStatement();
// The claims of a card and those whose remake it is, bound (lab key,
// record key, record key); oldest first.
QString CardClaimsStatement();
// The lab's claims of a claim-date range, bound (lab key, first, last);
// newest first.
QString ClaimListStatement();
// The claims of those statements' rows.
QList<WarrantyClaim> ClaimsFromRows(const vt::ValueArray& rows);
// The teeth and lot of a card where the database keeps them, bound (record
// key, lab key); a database without those columns fails it.
QString CardTraceStatement();
