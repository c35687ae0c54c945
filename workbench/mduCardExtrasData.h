#pragma once
// The card's lot, teeth and shade and each record's history, as the
// workbench reads them from the database: whether the database has them
// at all (told at sign-in by the query of the lab's earlier lots), the
// three fields of the cards a tab shows, the recall of a lot and a record's
// history. On a database without them nothing here sends a statement.
#include "mduCardExtras.h"

#include <QHash>
#include <QStringList>

// What sign-in found: whether the columns are there, and the lab's earlier
// lots by product key.
struct LabLotsFound {
    bool columns = false;
    QHash<QString, QStringList> lots;
};
// The lab's clinics (for the entry's clinic box) and its earlier lots in one
// query, straight to the database and silent: a failure means a database
// without the columns, and the clinics are then read alone.
LabLotsFound LoadLabClinicsAndLots(const QVariant& labKey);

// The answer of the last sign-in, for every tab.
void SetCardExtrasFound(const LabLotsFound& found);
bool CardExtrasShown();
// The lab's earlier lots of a product, most recent first.
QStringList EarlierLots(const QString& productKey);
// Every lot of the lab, most recent first within each product.
QStringList AllEarlierLots();
// A lot just saved, offered from now on.
void RememberLot(const QString& productKey, const QString& lot);

// The lot, teeth and shade put into the cards (one query per 200 cards),
// when the database has them; nothing is sent otherwise.
void FetchCardExtras(QList<WarrantyCard>& cards, const QString& labKey);
// Every card of the lab carrying the lot.
QList<WarrantyCard> RecallLot(const QString& labKey, const QString& lot);
// The history of one of the lab's records; empty without the history table.
QList<HistoryEvent> LoadRecordHistory(const QString& labKey, const QString& key);
