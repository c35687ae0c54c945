#include "mduCardExtras.h"

#include "clsWarrantyRecord.h"
#include "mduRecordRules.h"
#include "mduSqlText.h"

#include <QSet>
#include <algorithm>

namespace {
QString marks(int count) {
    QStringList m;
    for (int i = 0; i < std::max(1, count); ++i)
        m << QStringLiteral("?");
    return m.join(QLatin1Char(','));
}
} // namespace

QString LabClinicsAndLotsStatement(const QString& labKey) {
    return QStringLiteral("select fldHospital, fldPrdName, fldLot, count(*), max(fldsn) from tblrecord where fldMsn='") +
           SqlQuote(labKey) + QStringLiteral("' group by fldHospital, fldPrdName, fldLot");
}

LabClinicsAndLots ClinicsAndLots(const vt::ValueArray& rows, int hospitalLimit) {
    struct Clinic {
        QString name;
        qint64 records = 0;
    };
    struct Lot {
        QString product, lot;
        qint64 latest = 0;
    };
    QList<Clinic> clinics;
    QHash<QString, qsizetype> clinicAt;
    QList<Lot> lots;
    QHash<QPair<QString, QString>, qsizetype> lotAt;
    for (int r = 0; r < rows.rows() && rows.cols() >= 5; ++r) {
        const qint64 records = rows.at(3, r).toLongLong();
        const qint64 latest = rows.at(4, r).toLongLong();
        if (const QString name = rows.displayText(0, r); !name.trimmed().isEmpty()) {
            const auto it = clinicAt.constFind(name);
            if (it == clinicAt.constEnd()) {
                clinicAt.insert(name, clinics.size());
                clinics.append({name, records});
            } else {
                clinics[*it].records += records;
            }
        }
        const QString lot = rows.displayText(2, r).trimmed();
        if (lot.isEmpty())
            continue;
        const QPair<QString, QString> key{rows.displayText(1, r).trimmed(), lot};
        const auto it = lotAt.constFind(key);
        if (it == lotAt.constEnd()) {
            lotAt.insert(key, lots.size());
            lots.append({key.first, lot, latest});
        } else {
            lots[*it].latest = std::max(lots[*it].latest, latest);
        }
    }
    std::sort(clinics.begin(), clinics.end(), [](const Clinic& a, const Clinic& b) {
        if (a.records != b.records)
            return a.records > b.records;
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    std::sort(lots.begin(), lots.end(), [](const Lot& a, const Lot& b) { return a.latest > b.latest; });
    LabClinicsAndLots out;
    for (const Clinic& c : clinics) {
        if (out.hospitals.size() >= hospitalLimit)
            break;
        out.hospitals << c.name;
    }
    for (const Lot& l : lots)
        out.lots[l.product] << l.lot;
    return out;
}

QString CardExtrasStatement(int count) {
    return QStringLiteral("select fldsn, fldLot, fldTeeth, fldShade from tblrecord where fldMsn = ? and fldsn in (") +
           marks(count) + QStringLiteral(")");
}

void PutCardExtras(QList<WarrantyCard>& cards, const vt::ValueArray& rows) {
    QHash<QString, int> at;
    for (int r = 0; r < rows.rows() && rows.cols() >= 4; ++r)
        at.insert(rows.displayText(0, r).trimmed(), r);
    for (WarrantyCard& c : cards) {
        const auto it = at.constFind(c.record.key);
        if (it == at.constEnd())
            continue;
        c.record.lot = rows.displayText(1, *it);
        c.record.teeth = rows.displayText(2, *it);
        c.record.shade = rows.displayText(3, *it);
    }
}

QString LotRecallStatement() {
    return QStringLiteral(
        "select r.fldsn, r.fldStatus, coalesce(r.fldreturnmemo, ''), r.fldPrdName,"
        " coalesce(p.fldPrdName, r.fldPrdName), r.fldPrdNo, r.fldPLName, r.fldPFName, r.fldDLName, r.fldDFName,"
        " r.fldHospital, r.fldOpTime, r.fldPdTime, r.fldOpDesp, r.fldMemo, r.fldsubmitDate, r.fldpublishDate,"
        " r.fldLot, r.fldTeeth, r.fldShade"
        " from tblrecord r left join tblProduct p on p.fldPrdKey = r.fldPrdName"
        " where r.fldMsn = ? and r.fldLot = ? order by r.fldHospital, r.fldPrdNo, r.fldsn");
}

QList<WarrantyCard> RecallCardsFromRows(const vt::ValueArray& rows) {
    QList<WarrantyCard> cards = CardsFromRows(rows);
    if (rows.cols() < 20)
        return cards;
    for (int r = 0; r < cards.size(); ++r) {
        cards[r].record.lot = rows.displayText(17, r);
        cards[r].record.teeth = rows.displayText(18, r);
        cards[r].record.shade = rows.displayText(19, r);
    }
    return cards;
}

QList<ClinicCount> ClinicCounts(const QList<WarrantyCard>& cards) {
    QHash<QString, int> counts;
    for (const WarrantyCard& c : cards)
        ++counts[c.record.hospital.trimmed()];
    QList<ClinicCount> out;
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        out.append({it.key(), it.value()});
    std::sort(out.begin(), out.end(), [](const ClinicCount& a, const ClinicCount& b) {
        return a.cards != b.cards ? a.cards > b.cards : a.hospital < b.hospital;
    });
    return out;
}

QString RecordHistoryStatement() {
    return QStringLiteral("select fldStep, fldTime, fldOldStatus, fldNewStatus, fldOldReason, fldNewReason"
                          " from tblRecordHistory where fldsn = ? and fldMsn = ? order by fldStep");
}

QList<HistoryEvent> HistoryFromRows(const vt::ValueArray& rows) {
    QList<HistoryEvent> events;
    for (int r = 0; r < rows.rows() && rows.cols() >= 6; ++r) {
        HistoryEvent e;
        e.time = rows.displayText(1, r);
        e.oldStatus = rows.displayText(2, r).trimmed();
        e.newStatus = rows.displayText(3, r).trimmed();
        e.oldReason = rows.displayText(4, r);
        e.newReason = rows.displayText(5, r);
        e.inserted = vt::isNothing(rows.at(2, r));
        e.deleted = vt::isNothing(rows.at(3, r));
        events << e;
    }
    return events;
}

QString HistoryLine(const QList<HistoryEvent>& events) {
    QStringList steps;
    for (const HistoryEvent& e : events) {
        if (e.inserted) {
            steps << QStringLiteral("录入");
            continue;
        }
        if (e.deleted) {
            steps << QStringLiteral("删除");
            continue;
        }
        const QString reason = e.newReason.trimmed();
        if (e.newStatus == e.oldStatus) {
            // Only the reason changed.
            if (!reason.isEmpty())
                steps << QStringLiteral("退回：") + reason;
            continue;
        }
        if (e.newStatus == RecordStatus::Pending)
            steps << QStringLiteral("重置");
        else if (e.newStatus == RecordStatus::Submitted)
            steps << QStringLiteral("上报");
        else if (e.newStatus == RecordStatus::Published)
            steps << QStringLiteral("发布");
        else
            steps << (reason.isEmpty() ? QStringLiteral("退回") : QStringLiteral("退回：") + reason);
    }
    return steps.join(QStringLiteral(" → "));
}

QStringList ShadeChoices() {
    return {QStringLiteral("A1"),    QStringLiteral("A2"),    QStringLiteral("A3"),    QStringLiteral("A3.5"),
            QStringLiteral("A4"),    QStringLiteral("B1"),    QStringLiteral("B2"),    QStringLiteral("B3"),
            QStringLiteral("B4"),    QStringLiteral("C1"),    QStringLiteral("C2"),    QStringLiteral("C3"),
            QStringLiteral("C4"),    QStringLiteral("D2"),    QStringLiteral("D3"),    QStringLiteral("D4"),
            QStringLiteral("0M1"),   QStringLiteral("0M2"),   QStringLiteral("0M3"),   QStringLiteral("1M1"),
            QStringLiteral("1M2"),   QStringLiteral("2L1.5"), QStringLiteral("2L2.5"), QStringLiteral("2M1"),
            QStringLiteral("2M2"),   QStringLiteral("2M3"),   QStringLiteral("2R1.5"), QStringLiteral("2R2.5"),
            QStringLiteral("3L1.5"), QStringLiteral("3L2.5"), QStringLiteral("3M1"),   QStringLiteral("3M2"),
            QStringLiteral("3M3"),   QStringLiteral("3R1.5"), QStringLiteral("3R2.5"), QStringLiteral("4L1.5"),
            QStringLiteral("4L2.5"), QStringLiteral("4M1"),   QStringLiteral("4M2"),   QStringLiteral("4M3"),
            QStringLiteral("4R1.5"), QStringLiteral("4R2.5"), QStringLiteral("5M1"),   QStringLiteral("5M2"),
            QStringLiteral("5M3")};
}

QList<QStringList> RecallTable(const QList<WarrantyCard>& cards,
                               const std::function<QString(const QString&)>& statusWords) {
    QList<QStringList> rows;
    rows << BatchHeaders() + BatchExtraHeaders() +
                QStringList{QStringLiteral("状态"), QStringLiteral("上报时间"), QStringLiteral("发布时间")};
    for (const WarrantyCard& c : cards) {
        const WarrantyRecord& r = c.record;
        rows << QStringList{c.productName,        r.cardNumber,       DateText(r.productionDate), DateText(r.treatmentDate),
                            r.patientSurname,     r.patientGivenName, r.doctorSurname,            r.doctorGivenName,
                            r.hospital,           r.description,      r.remark,                   r.lot,
                            r.teeth,              r.shade,            statusWords ? statusWords(c.status) : c.status,
                            c.submitDate,         c.publishDate};
    }
    return rows;
}

QString RecallNoticeHtml(const QString& labName, const QString& lot, const QList<WarrantyCard>& cards) {
    const auto esc = [](const QString& t) { return t.toHtmlEscaped(); };
    QString html = QStringLiteral("<h2>材料批号追溯：需通知的医院诊所</h2>");
    html += QStringLiteral("<p>加工所：%1　　材料批号：<b>%2</b>　　质保卡 %3 张，医院诊所 %4 家</p>")
                .arg(esc(labName), esc(lot))
                .arg(cards.size())
                .arg(ClinicCounts(cards).size());
    for (const ClinicCount& clinic : ClinicCounts(cards)) {
        html += QStringLiteral("<h3>%1（%2 张）</h3>").arg(esc(clinic.hospital.isEmpty() ? QStringLiteral("（未填）") : clinic.hospital))
                    .arg(clinic.cards);
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">"
                               "<tr><th>质保卡号</th><th>质保产品</th><th>患者</th><th>主治医生</th><th>牙位</th>"
                               "<th>治疗时间</th></tr>");
        for (const WarrantyCard& c : cards) {
            if (c.record.hospital.trimmed() != clinic.hospital)
                continue;
            const WarrantyRecord& r = c.record;
            html += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td></tr>")
                        .arg(esc(r.cardNumber), esc(c.productName), esc(FullName(r.patientSurname, r.patientGivenName)),
                             esc(FullName(r.doctorSurname, r.doctorGivenName)), esc(r.teeth), DateText(r.treatmentDate));
        }
        html += QStringLiteral("</table>");
    }
    return html;
}
