#include "mduRecordSql.h"

#include <QStringList>

#include <algorithm>

namespace {
// An insert of values: head, then " select 'a','b',…", then tail. Written
// into one string: a batch builds one per row.
QString insertSelect(QLatin1StringView head, const QStringList& values, QLatin1StringView tail) {
    qsizetype size = head.size() + tail.size() + 10;
    for (const QString& v : values)
        size += v.size() + 3;
    QString out;
    out.reserve(size);
    out += head;
    out += QLatin1StringView(" select '");
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += QLatin1StringView("','");
        const QString& v = values[i];
        out += v.contains(QLatin1Char('\'')) ? SqlQuote(v) : v;
    }
    out += QLatin1Char('\'');
    out += tail;
    return out;
}
// The condition that the record is still the lab's and pending.
QString pendingOfLab(const QString& opId) {
    return QStringLiteral(" and fldMsn='") + SqlQuote(opId) + QStringLiteral("' and fldstatus='") +
           RecordStatus::Pending + QStringLiteral("'");
}
} // namespace

QStringList CardExtraValues(const WarrantyRecord& r) { return {r.lot, r.teeth, r.shade}; }

namespace {
// An insert's column list: the columns up to fldMemo, the card's extras
// when the database has them, then the status.
QByteArray insertHead(const char* columns, bool withExtras) {
    return QByteArray("insert into tblrecord (") + columns +
           (withExtras ? QByteArray(CardExtraColumns.data(), CardExtraColumns.size()) : QByteArray()) + ",fldStatus) ";
}
} // namespace

QString EntryInsertStatement(const WarrantyRecord& r, const QString& opId, const QString& opNo, bool withExtras) {
    static const QByteArray tail = ",'" + RecordStatus::Pending.toLatin1() + "' ";
    static const char* const columns = "fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                       "fldDLName,fldDFName,fldHospital,fldOpTime,fldPdTime,fldOpDesp,fldMemo";
    static const QByteArray heads[2] = {insertHead(columns, false), insertHead(columns, true)};
    QStringList values{opId, opNo, r.productKey, r.cardNumber, r.patientSurname, r.patientGivenName, r.doctorSurname,
                       r.doctorGivenName, r.hospital, DateText(r.treatmentDate), DateText(r.productionDate),
                       r.description, r.remark};
    if (withExtras)
        values += CardExtraValues(r);
    return insertSelect(QLatin1StringView(heads[withExtras]), values, QLatin1StringView(tail));
}

QString EntryUpdateStatement(const WarrantyRecord& r, const QString& opNo, const QString& opId, bool withExtras) {
    QString extras;
    if (withExtras)
        extras = QStringLiteral("',fldLot='") + SqlQuote(r.lot) + QStringLiteral("',fldTeeth='") + SqlQuote(r.teeth) +
                 QStringLiteral("',fldShade='") + SqlQuote(r.shade);
    return QStringLiteral("update tblrecord set fldmaker='") + SqlQuote(opNo) + QStringLiteral("',fldPrdName='") +
           SqlQuote(r.productKey) + QStringLiteral("',fldPrdNo='") + SqlQuote(r.cardNumber) +
           QStringLiteral("',fldPLName='") + SqlQuote(r.patientSurname) + QStringLiteral("',fldPFName='") +
           SqlQuote(r.patientGivenName) + QStringLiteral("',fldDLName='") + SqlQuote(r.doctorSurname) +
           QStringLiteral("',fldDFName='") + SqlQuote(r.doctorGivenName) + QStringLiteral("',fldHospital='") +
           SqlQuote(r.hospital) + QStringLiteral("',fldOpTime='") + SqlQuote(DateText(r.treatmentDate)) +
           QStringLiteral("',fldPdTime='") + SqlQuote(DateText(r.productionDate)) + QStringLiteral("',fldOpDesp='") +
           SqlQuote(r.description) + QStringLiteral("',fldMemo='") + SqlQuote(r.remark) + extras +
           QStringLiteral("' where fldsn='") + SqlQuote(r.key) + QStringLiteral("'") + pendingOfLab(opId);
}

QString DeleteStatement(const QString& key, const QString& opId) {
    return QStringLiteral("delete from tblrecord  where fldsn='") + SqlQuote(key) + QStringLiteral("'") +
           pendingOfLab(opId);
}

InsertColumns BatchInsertColumns(const WarrantyRecord& r, const QString& opId, const QString& opNo, bool withExtras) {
    // Column and value side by side: a column is added here alone. The
    // card's extras come before the status, as in the entry's insert.
    static const QStringList columns{"fldMsn",     "fldmaker",  "fldPrdName", "fldPrdNo",  "fldPdTime",
                                     "fldOpTime",  "fldPLName", "fldPFName",  "fldDLName", "fldDFName",
                                     "fldHospital", "fldOpDesp", "fldMemo"};
    static const QStringList plain = columns + QStringList{QStringLiteral("fldStatus")};
    static const QStringList extras =
        columns + QString(CardExtraColumns).mid(1).split(QLatin1Char(',')) + QStringList{QStringLiteral("fldStatus")};
    QStringList values{opId, opNo, r.productKey, r.cardNumber, DateText(r.productionDate), DateText(r.treatmentDate),
                       r.patientSurname, r.patientGivenName, r.doctorSurname, r.doctorGivenName, r.hospital,
                       r.description, r.remark};
    if (withExtras)
        values += CardExtraValues(r);
    values << RecordStatus::Pending;
    return {withExtras ? extras : plain, values};
}

QString BatchInsertStatement(const WarrantyRecord& r, const QString& opId, const QString& opNo, bool withExtras) {
    const InsertColumns c = BatchInsertColumns(r, opId, opNo, withExtras);
    const QString head = QStringLiteral("insert into tblrecord (") + c.columns.join(QLatin1Char(',')) +
                         QStringLiteral(") ");
    return insertSelect(QLatin1StringView(head.toLatin1()), c.values, QLatin1StringView());
}

int InsertRowsPerStatement(int columns) {
    // SQL Server's 2100 markers with room to spare, and its 1000 rows.
    constexpr int Markers = 2000;
    constexpr int Rows = 1000;
    return std::clamp(Markers / std::max(columns, 1), 1, Rows);
}

SqlWithValues InsertRowsStatement(const QList<InsertColumns>& rows) {
    SqlWithValues out;
    if (rows.isEmpty())
        return out;
    const QStringList& columns = rows.first().columns;
    QString markers = QStringLiteral("(");
    for (qsizetype c = 0; c < columns.size(); ++c)
        markers += c == 0 ? QStringLiteral("?") : QStringLiteral(",?");
    markers += QLatin1Char(')');
    out.sql.reserve(40 + columns.join(QLatin1Char(',')).size() + rows.size() * (markers.size() + 1));
    out.sql = QStringLiteral("insert into tblrecord (") + columns.join(QLatin1Char(',')) + QStringLiteral(") values ");
    out.values.reserve(rows.size() * columns.size());
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            out.sql += QLatin1Char(',');
        out.sql += markers;
        for (const QString& v : rows[r].values)
            out.values << v;
    }
    return out;
}

QString RangeTestStatement(const QString& n, const QString& opId, const QString& opId2) {
    const QString lab = opId2.isEmpty()
                            ? QStringLiteral(" and fldmaker='") + SqlQuote(opId) + QStringLiteral("'")
                            : QStringLiteral(" and (fldmaker='") + SqlQuote(opId) + QStringLiteral("' or fldmaker='") +
                                  SqlQuote(opId2) + QStringLiteral("')");
    return QStringLiteral("Select * from tblProductNoSet where fldPrdNoFrom<='") + SqlQuote(n) +
           QStringLiteral("' and fldPrdNoTo>='") + SqlQuote(n) + QStringLiteral("' and len(fldPrdNoFrom)=len('") +
           SqlQuote(n) + QStringLiteral("') ") + lab;
}

QString DuplicateTestStatement(const QString& n, const QString& key) {
    return QStringLiteral("Select * from tblrecord where fldstatus>'00' and fldsn<>'") + SqlQuote(key) +
           QStringLiteral("' and fldprdno='") + SqlQuote(n) + QStringLiteral("'");
}

QString RangeAndDuplicateStatement(const QString& n, const QString& opId, const QString& opId2, const QString& key) {
    return QStringLiteral("select case when exists (") + RangeTestStatement(n, opId, opId2) +
           QStringLiteral(") then 1 else 0 end, case when exists (") + DuplicateTestStatement(n, key) +
           QStringLiteral(") then 1 else 0 end");
}

QString SubmitStatement(const QString& key, const QString& opId) {
    return QStringLiteral("update tblrecord set fldstatus='01',fldsubmitDate=convert(varchar(10),getdate(),126) "
                          "where fldsn='") +
           SqlQuote(key) + QStringLiteral("'") + pendingOfLab(opId);
}

QString ResetStatement(const QString& key, const QString& opId) {
    return QStringLiteral("update tblrecord set fldstatus='00',fldreturnmemo='' where fldsn='") + SqlQuote(key) +
           QStringLiteral("' and fldMsn='") + SqlQuote(opId) + QStringLiteral("' and fldstatus not in ('") +
           RecordStatus::Pending + QStringLiteral("','") + RecordStatus::Published + QStringLiteral("')");
}

namespace {
QString labCondition(const QString& opId, const QString& opId2) {
    return opId2.isEmpty() ? QStringLiteral(" and fldmaker='") + SqlQuote(opId) + QStringLiteral("'")
                           : QStringLiteral(" and (fldmaker='") + SqlQuote(opId) + QStringLiteral("' or fldmaker='") +
                                 SqlQuote(opId2) + QStringLiteral("')");
}
} // namespace

QString CardTestsStatement(const QList<CardToTest>& cards, const QString& opId, const QString& opId2) {
    // The cards as a table of selects (both engines read it; SQLite takes no
    // VALUES table with named columns), each tested as one card is.
    QString cardsTable;
    cardsTable.reserve(cards.size() * 48);
    for (qsizetype i = 0; i < cards.size(); ++i) {
        cardsTable += i == 0 ? QStringLiteral("select '") : QStringLiteral(" union all select '");
        cardsTable += SqlQuote(cards[i].number) + QStringLiteral("'");
        if (i == 0)
            cardsTable += QStringLiteral(" as qvn");
        cardsTable += QStringLiteral(",'") + SqlQuote(cards[i].key) + QStringLiteral("'");
        if (i == 0)
            cardsTable += QStringLiteral(" as qvs");
    }
    return QStringLiteral("select v.qvn,v.qvs,case when exists (select * from tblProductNoSet where "
                          "fldPrdNoFrom<=v.qvn and fldPrdNoTo>=v.qvn and len(fldPrdNoFrom)=len(v.qvn) ") +
           labCondition(opId, opId2) +
           QStringLiteral(") then 1 else 0 end,case when exists (select * from tblrecord where fldstatus>'00' and "
                          "fldsn<>v.qvs and fldprdno=v.qvn) then 1 else 0 end from (") +
           cardsTable + QStringLiteral(") v");
}

QString SubmitManyStatement(const QStringList& keys, const QString& opId) {
    QString list;
    for (qsizetype i = 0; i < keys.size(); ++i)
        list += (i == 0 ? QStringLiteral("'") : QStringLiteral(",'")) + SqlQuote(keys[i]) + QStringLiteral("'");
    return QStringLiteral("update tblrecord set fldstatus='01',fldsubmitDate=convert(varchar(10),getdate(),126) "
                          "where fldsn in (") +
           list + QStringLiteral(")") + pendingOfLab(opId);
}
