#include "mduCardFinder.h"

#include "clsConn.h"
#include "mduPinyin.h"

namespace {

} // namespace

QList<WarrantyCard> FetchCards(const QString& labKey, const QStringList& keys) {
    QList<WarrantyCard> cards;
    for (qsizetype i = 0; i < keys.size(); i += LookupKeysPerStatement) {
        const QStringList part = keys.mid(i, LookupKeysPerStatement);
        QVariantList params{labKey};
        for (const QString& k : part)
            params << k.toLongLong();
        cards += CardsFromRows(gConn->GetRows(LookupByKeysStatement(int(part.size())), params));
    }
    if (keys.size() > LookupKeysPerStatement)
        std::stable_sort(cards.begin(), cards.end(), [](const WarrantyCard& a, const WarrantyCard& b) {
            return a.record.cardNumber < b.record.cardNumber;
        });
    return cards;
}

QList<WarrantyCard> FindCards(const QString& labKey, const QString& search, int limit, bool* more) {
    if (more)
        *more = false;
    const QString text = search.trimmed();
    if (text.isEmpty())
        return {};
    QList<WarrantyCard> cards;
    if (IsCardNumberSearch(text)) {
        cards = CardsFromRows(gConn->GetRows(LookupByNumberStatement(), {LabKeyValue(labKey), CardNumberPattern(text)}));
    } else {
        // Names and their initials are matched here: the initials are not
        // stored, and the text never becomes part of a statement.
        const vt::ValueArray names = gConn->GetRows(LabNamesStatement(), {labKey});
        const bool initials = IsInitialsSearch(text);
        QStringList keys;
        for (int r = 0; r < names.rows() && names.cols() >= 3; ++r) {
            const QString name = names.displayText(1, r) + names.displayText(2, r);
            if (name.contains(text, Qt::CaseInsensitive) ||
                (initials && PinyinInitials(name).contains(text, Qt::CaseInsensitive))) {
                keys << names.displayText(0, r).trimmed();
                if (keys.size() > limit)
                    break;
            }
        }
        cards = FetchCards(labKey, keys);
    }
    if (cards.size() > limit) {
        cards.resize(limit);
        if (more)
            *more = true;
    }
    return cards;
}

QHash<QString, int> LoadProductTerms() {
    // Straight to the database: a failure here is an older database, which
    // the user is not told about.
    DbBackend* db = gConn->GetConnection();
    if (!db || !db->isOpen())
        return {};
    try {
        const DbResult r = db->execute(ProductTermsStatement(), {}, 0);
        return ProductTerms(r.rows);
    } catch (const std::exception&) {
        return {};
    }
}
