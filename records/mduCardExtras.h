#pragma once
// The card's lot, tooth positions and shade, where the database has their
// columns: the lab's earlier lots (the query that also tells whether the
// columns are there), the three fields of given records, the recall of a
// lot, each record's history and the shades offered. The record lists'
// procedure is left as it is: these are queries of their own.
#include "mduCardLookup.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The lab's clinics and its earlier lots together, as sign-in reads them
// (one query for both): a row per clinic, product and lot with its count of
// records and its latest key (lab key spliced in, no markers: one round
// trip). A database without the lot column fails it, and then the clinics
// are read alone.
QString LabClinicsAndLotsStatement(const QString& labKey);
struct LabClinicsAndLots {
    QStringList hospitals;              // most records first, then by name; at most the limit
    QHash<QString, QStringList> lots;   // by product key, the latest first
};
LabClinicsAndLots ClinicsAndLots(const vt::ValueArray& rows, int hospitalLimit);

// The key, lot, teeth and shade of the lab's records with the given keys,
// bound (lab key, then count keys).
QString CardExtrasStatement(int count);
// Those rows put into the cards of the same keys.
void PutCardExtras(QList<WarrantyCard>& cards, const vt::ValueArray& rows);

// Every card of the lab carrying a lot, any status, any date, bound (lab
// key, lot): by the index of the lab's lots; by clinic, then card number.
QString LotRecallStatement();
// The cards of that statement's rows, their lot, teeth and shade filled.
QList<WarrantyCard> RecallCardsFromRows(const vt::ValueArray& rows);

// The recall as a table that reads back into the batch: the batch's
// headers (材料批号, 牙位, 比色 among them), then 状态, 上报时间, 发布时间.
// statusWords turns a status code into words.
QList<QStringList> RecallTable(const QList<WarrantyCard>& cards, const std::function<QString(const QString&)>& statusWords);
// The printed list of the clinics to notify of a lot: the lab, the lot, and
// each clinic with its cards (number, patient, teeth, treatment date).
QString RecallNoticeHtml(const QString& labName, const QString& lot, const QList<WarrantyCard>& cards);

// A clinic's share of a recall: its name and how many cards.
struct ClinicCount {
    QString hospital;
    int cards = 0;
    bool operator==(const ClinicCount&) const = default;
};
// The clinics of the cards, most cards first, then by name.
QList<ClinicCount> ClinicCounts(const QList<WarrantyCard>& cards);

// One event of a record's history.
struct HistoryEvent {
    QString time;
    QString oldStatus; // empty for the insert
    QString newStatus; // empty for the delete
    QString oldReason;
    QString newReason;
    bool inserted = false;
    bool deleted = false;
};
// The history of one of the lab's records, bound (record key, lab key), in
// the order it happened.
QString RecordHistoryStatement();
QList<HistoryEvent> HistoryFromRows(const vt::ValueArray& rows);
// The history in words: "录入 → 上报 → 退回：<reason> → 重置 → 上报 → 发布".
QString HistoryLine(const QList<HistoryEvent>& events);

// The shades offered: the 16 VITA classical shades, then the 3D-Master codes.
QStringList ShadeChoices();
