#pragma once
// Finds the signed-in lab's warranty cards in the database: by card number
// (bound pattern over the number's index), by part of the patient's name or
// its pinyin initials (matched here over the lab's names), or by their keys
// for printing. Every status, no period limit; never another lab's records.
#include "mduCardLookup.h"

#include <QHash>
#include <QList>
#include <QStringList>

// The most cards one search shows.
constexpr int MostCardsFound = 500;

// The cards a search text finds; *more is set when there were more than
// the limit. Empty for an empty text.
QList<WarrantyCard> FindCards(const QString& labKey, const QString& text, int limit = MostCardsFound,
                              bool* more = nullptr);
// The lab's cards with these keys, in card number order.
QList<WarrantyCard> FetchCards(const QString& labKey, const QStringList& keys);
// The warranty terms of the products; an empty table, without any box,
// when the database has no term column (an older central database).
QHash<QString, int> LoadProductTerms();
