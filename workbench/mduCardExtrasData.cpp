#include "mduCardExtrasData.h"

#include "clsConn.h"
#include "mduHospital.h"

namespace {
LabLotsFound& found() {
    static LabLotsFound f;
    return f;
}
} // namespace

LabLotsFound LoadLabClinicsAndLots(const QVariant& labKey) {
    if (DbBackend* db = gConn->GetConnection(); db && db->isOpen()) {
        try {
            const DbResult r = db->execute(LabClinicsAndLotsStatement(labKey.toString()), {}, 0);
            LabClinicsAndLots found = ClinicsAndLots(r.rows, LabHospitalLimit);
            SetLabHospitals(found.hospitals);
            return {true, std::move(found.lots)};
        } catch (const std::exception&) {
            // No lot column: the clinics alone, below.
        }
    }
    LoadLabHospitals(labKey);
    return {};
}

void SetCardExtrasFound(const LabLotsFound& f) { found() = f; }
bool CardExtrasShown() { return found().columns; }
QStringList EarlierLots(const QString& productKey) { return found().lots.value(productKey); }

QStringList AllEarlierLots() {
    QStringList all;
    for (auto it = found().lots.constBegin(); it != found().lots.constEnd(); ++it)
        all += it.value();
    return all;
}

void RememberLot(const QString& productKey, const QString& lot) {
    if (lot.trimmed().isEmpty() || !found().columns)
        return;
    QStringList& lots = found().lots[productKey];
    lots.removeAll(lot.trimmed());
    lots.prepend(lot.trimmed());
}

void FetchCardExtras(QList<WarrantyCard>& cards, const QString& labKey) {
    if (!CardExtrasShown() || cards.isEmpty())
        return;
    for (qsizetype i = 0; i < cards.size(); i += LookupKeysPerStatement) {
        const qsizetype n = std::min<qsizetype>(LookupKeysPerStatement, cards.size() - i);
        QVariantList params{LabKeyValue(labKey)};
        for (qsizetype k = i; k < i + n; ++k)
            params << cards[k].record.key.toLongLong();
        const vt::ValueArray rows = gConn->GetRows(CardExtrasStatement(int(n)), params);
        QList<WarrantyCard> part = cards.mid(i, n);
        PutCardExtras(part, rows);
        for (qsizetype k = 0; k < n; ++k)
            cards[i + k] = part[k];
    }
}

QList<WarrantyCard> RecallLot(const QString& labKey, const QString& lot) {
    if (!CardExtrasShown() || lot.trimmed().isEmpty())
        return {};
    return RecallCardsFromRows(gConn->GetRows(LotRecallStatement(), {LabKeyValue(labKey), lot.trimmed()}));
}

QList<HistoryEvent> LoadRecordHistory(const QString& labKey, const QString& key) {
    if (!CardExtrasShown() || key.isEmpty())
        return {};
    return HistoryFromRows(gConn->GetRows(RecordHistoryStatement(), {key.toLongLong(), LabKeyValue(labKey)}));
}
