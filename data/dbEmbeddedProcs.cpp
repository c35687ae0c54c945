// The stored procedures of the embedded database, with the parameters and
// result columns of the SQL Server procedures in db/sqlserver/.
#include "dbSqliteBackend.h"
#include "dbSystemProcedures.h"

#include <algorithm>
#include <vector>

namespace {

DbParamInfo returnValue() {
    DbParamInfo p;
    p.name = QStringLiteral("@RETURN_VALUE");
    p.direction = ParamDirection::ReturnValue;
    p.kind = ParamKind::Integer;
    return p;
}

DbParamInfo textParam(const char* name, int size) {
    DbParamInfo p;
    p.name = QString::fromLatin1(name);
    p.kind = ParamKind::Text;
    p.size = size;
    return p;
}

QString text(const QList<DbParam>& params, int i) {
    return i < params.size() && !vt::isNothing(params[i].value) ? params[i].value.toString() : QString();
}

// The record lists, in the column orders the workbench grids read back.
// Column 2 (the product's shown name) is filled from the product table
// afterwards: the products are few and the lists long.
const char* const PendingList =
    "select r.fldsn, r.fldPrdName, r.fldPrdName, r.fldPrdNo,"
    " r.fldPLName, r.fldPFName, r.fldDLName, r.fldDFName, r.fldHospital,"
    " r.fldOpTime, r.fldOpDesp, r.fldMemo, r.fldPdTime"
    " from tblrecord r where r.fldMsn = ?1 and r.fldStatus = '00' order by r.fldsn";

const char* const SubmittedList =
    "select r.fldsn, r.fldStatus,"
    " case r.fldStatus when '01' then '待审批' when '03' then '已退回' else r.fldStatus end,"
    " ifnull(r.fldreturnmemo, ''), r.fldPrdName, ifnull(p.fldPrdName, r.fldPrdName), r.fldPrdNo,"
    " r.fldsubmitDate, r.fldPLName, r.fldPFName, r.fldDLName, r.fldDFName, r.fldHospital,"
    " r.fldOpTime, r.fldPdTime"
    " from tblrecord r left join tblProduct p on p.fldPrdKey = r.fldPrdName"
    " where r.fldMsn = ?1 and r.fldStatus in ('01', '03') order by r.fldsn";

const char* const PublishedList =
    "select r.fldsn, r.fldsubmitDate, r.fldpublishDate, r.fldPrdName,"
    " ifnull(p.fldPrdName, r.fldPrdName), r.fldPrdNo, r.fldPLName, r.fldPFName,"
    " r.fldDLName, r.fldDFName, r.fldHospital, r.fldOpTime, r.fldOpDesp, r.fldMemo, r.fldPdTime"
    " from tblrecord r left join tblProduct p on p.fldPrdKey = r.fldPrdName"
    " where r.fldMsn = ?1 and r.fldStatus = '02'"
    " and (?2 = '' or r.fldsubmitDate >= ?2) and (?3 = '' or r.fldsubmitDate <= ?3)"
    " order by r.fldsn";

const char* const ProductList =
    "select fldPrdKey, fldPrdName from tblProduct where fldstate = '01' and ?1 is not null"
    " order by fldPrdKey";

// Replaces the product key in column `col` of every row by the product's
// shown name; a key without a product keeps its key, as the lists show it.
void showProductNames(const NativeRun& db, DbResult& r, int col) {
    if (r.rows.rows() == 0)
        return;
    const DbResult products =
        db(QStringLiteral("select fldPrdKey, fldPrdName from tblProduct where ?1 = 1"), {1});
    QHash<QString, QVariant> names;
    for (int i = 0; i < products.rows.rows(); ++i)
        names.insert(products.rows.at(0, i).toString(), products.rows.at(1, i));
    // Rows of one key usually follow each other: the last key found is
    // tried first.
    QString lastKey;
    QVariant lastName;
    for (int row = 0; row < r.rows.rows(); ++row) {
        if (r.rows.kind(col, row) != vt::ValueArray::Kind::Text)
            continue;
        const QString key = r.rows.displayText(col, row);
        if (key != lastKey || lastName.isNull()) {
            auto it = names.constFind(key);
            if (it == names.constEnd()) { // keys compare without regard to case
                for (it = names.constBegin(); it != names.constEnd(); ++it)
                    if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                        break;
            }
            lastKey = key;
            lastName = it == names.constEnd() ? QVariant(key) : it.value();
        }
        r.rows.set(col, row, lastName);
    }
}

DbResult upvProducts(const NativeRun& db, QList<DbParam>& params) {
    const QString kind = text(params, 1);
    const QString lab = text(params, 2);
    DbResult r;
    if (kind.compare(QLatin1String("PrdNo"), Qt::CaseInsensitive) == 0) {
        r = db(QString::fromLatin1(ProductList), {lab});
    } else if (kind.compare(QLatin1String("MakerView"), Qt::CaseInsensitive) == 0) {
        const QString category = text(params, 3);
        if (category == QLatin1String("00")) {
            r = db(QString::fromUtf8(PendingList), {lab});
            showProductNames(db, r, 2);
        }
        else if (category == QLatin1String("01"))
            r = db(QString::fromUtf8(SubmittedList), {lab});
        else if (category == QLatin1String("02"))
            r = db(QString::fromUtf8(PublishedList),
                                 {lab, text(params, 4).trimmed(), text(params, 5).trimmed()});
        else
            r.hasRowSet = true; // an unknown list has no rows
    } else {
        r.hasRowSet = true;
    }
    r.returnValue = 0;
    return r;
}

DbResult upDSYSExecLog(const NativeRun& db, QList<DbParam>& params) {
    db(QStringLiteral("insert into tblExecLog (fldTime, fldStatement, fldParams, fldOpNo)"
                                    " values (datetime('now','localtime'), ?1, ?2, ?3)"),
                     {text(params, 1), text(params, 2), text(params, 3)});
    DbResult r;
    r.returnValue = 0;
    return r;
}

DbResult upVBasShow(const NativeRun& db, QList<DbParam>& params) {
    DbResult r;
    if (text(params, 1).compare(QLatin1String("BasCode"), Qt::CaseInsensitive) == 0)
        r = db(QStringLiteral("select fldCode, fldName from dicBasCode where fldType = ?1"
                                            " order by fldSort, fldCode"),
                             {text(params, 2)});
    else
        r.hasRowSet = true;
    r.returnValue = 0;
    return r;
}

} // namespace

const QList<SystemProcedure>& SystemProcedures() {
    static const QList<SystemProcedure> all{
        {QStringLiteral("upvProducts"),
         {returnValue(), textParam("@Type", 20), textParam("@MakerId", 20), textParam("@Category", 10),
          textParam("@DateFrom", 10), textParam("@DateTo", 10), textParam("@Other", 50)},
         upvProducts},
        {QStringLiteral("upDSYSExecLog"),
         {returnValue(), textParam("@Statement", 4000), textParam("@Params", 4000), textParam("@OpNo", 20)},
         upDSYSExecLog},
        {QStringLiteral("upVBasShow"),
         {returnValue(), textParam("@Kind", 20), textParam("@Type", 20), textParam("@Other", 50)},
         upVBasShow},
    };
    return all;
}

const SystemProcedure* FindSystemProcedure(const QString& name) {
    for (const SystemProcedure& p : SystemProcedures())
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

void DefineSystemProcedures(SqliteBackend& db) {
    for (const SystemProcedure& p : SystemProcedures()) {
        const auto body = p.body;
        db.defineProcedure(p.name, {p.parameters, [body](SqliteBackend& self, QList<DbParam>& params) {
                                        const NativeRun run = [&self](const QString& sql, const QList<QVariant>& values) {
                                            return self.executeNative(sql, values);
                                        };
                                        return body(run, params);
                                    }});
    }
}
