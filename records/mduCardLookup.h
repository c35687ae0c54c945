#pragma once
// Looking a warranty card up, and what the patient's card says about its
// term: the lab's records in every status found by card number or by the
// patient's name, the warranty term of each product and the day a card
// expires. Statements carry the search as bound values, never as text.
#include "clsWarrantyRecord.h"
#include "vtValue.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

// One record as the look-up and the printed card show it.
struct WarrantyCard {
    WarrantyRecord record;
    QString productName;    // the product's shown name (its key when it has none)
    QString status;         // the status code
    QString reason;         // the central office's reason for a sent-back record
    QString submitDate;     // "yyyy-mm-dd" or ""
    QString publishDate;
};

// The warranty terms in months by product key: the statement read once at
// sign-in (a database without the term column fails it, and then no product
// has a term) and its rows. A term that is not a positive number counts as none.
QString ProductTermsStatement();
QHash<QString, int> ProductTerms(const vt::ValueArray& rows);

// The day the warranty ends: the treatment date plus the term, on the same
// day of the month or the month's last day when it has no such day
// (2024-02-29 + 12 months is 2025-02-28). Invalid without a treatment date
// or a term.
QDate ExpiryDate(const QDate& treatment, int termMonths);
// The expiry as the look-up shows it on a given day: "2025-02-28（还有 30 天）",
// "2025-02-28（今天到期）", "2025-02-28（已过期）"; "" without an expiry.
QString ExpiryText(const QDate& expiry, const QDate& today);
// The term as shown: "24 个月", or "" without one.
QString TermText(int termMonths);

// Whether a search text is a card number (or part of one): it holds a digit
// and nothing but letters and digits. Any other text is part of a name or
// pinyin initials.
bool IsCardNumberSearch(const QString& text);
// The bound LIKE pattern for a card number search, escaped with '!': a
// number that starts with its letter matches as a prefix, digits alone
// anywhere in the number.
QString CardNumberPattern(const QString& text);

// The lab's key as the look-up statements bind it: a whole number (the
// column's type), the text itself when it is none.
QVariant LabKeyValue(const QString& labKey);
// The full rows of the lab's records whose card number matches a pattern,
// bound (lab key, pattern); in card number order.
QString LookupByNumberStatement();
// The keys and patient names of all the lab's records, bound (lab key):
// names and initials are matched on this side.
QString LabNamesStatement();
// The full rows of the lab's records with the given keys, bound (lab key,
// then count keys).
QString LookupByKeysStatement(int count);
// The most keys one LookupByKeysStatement takes.
constexpr int LookupKeysPerStatement = 200;
// The records of those statements' rows.
QList<WarrantyCard> CardsFromRows(const vt::ValueArray& rows);

// Whether a search text may be pinyin initials: ASCII letters only.
bool IsInitialsSearch(const QString& text);
