// Fuzz target: the statement builders and their quoting, run on the
// embedded database. Property: whatever text a user gives a field (any text
// the rules let through, that is without NUL), the record stored and read
// back holds exactly that text, by insert and by update.
#include "clsWarrantyRecord.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "mduRecordSql.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {
SqliteBackend* db = nullptr;

QString readBack(const QString& column) {
    const DbResult r = db->executeNative(QStringLiteral("select ") + column + QStringLiteral(" from tblrecord where fldsn=1"), {});
    return r.rows.rows() == 1 ? r.rows.at(0, 0).toString() : QStringLiteral("<no row>");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const QString path = QDir::temp().filePath(QStringLiteral("fuzz_statements_%1.db").arg(QCoreApplication::applicationPid()));
    QFile::remove(path);
    CreateEmbeddedDatabase(path, false);
    db = new SqliteBackend;
    db->openFile(path, false);
    db->executeNative(QStringLiteral("PRAGMA synchronous=OFF"), {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (text.contains(QChar(0)))
        return 0; // refused by the rules before any statement is built
    // The text in every field at once, a different slice in each.
    WarrantyRecord r;
    const QStringList parts = text.split(QLatin1Char('\x1e'));
    auto part = [&parts](int i) { return parts.value(i % parts.size()); };
    r.productKey = part(0);
    r.cardNumber = part(1);
    r.patientSurname = part(2);
    r.patientGivenName = part(3);
    r.doctorSurname = part(4);
    r.doctorGivenName = part(5);
    r.hospital = part(6);
    r.description = part(7);
    r.remark = text;
    r.productionDate = QDate(2024, 2, 29);
    r.treatmentDate = QDate(2024, 3, 1);
    db->executeNative(QStringLiteral("delete from tblrecord"), {});
    db->executeNative(QStringLiteral("delete from sqlite_sequence"), {});
    db->execute(EntryInsertStatement(r, QStringLiteral("1"), part(8)), {}, 0);
    const QStringList columns{QStringLiteral("fldPrdName"), QStringLiteral("fldPrdNo"),    QStringLiteral("fldPLName"),
                              QStringLiteral("fldPFName"),  QStringLiteral("fldDLName"),   QStringLiteral("fldDFName"),
                              QStringLiteral("fldHospital"), QStringLiteral("fldOpDesp"), QStringLiteral("fldMemo")};
    const QStringList wanted{r.productKey, r.cardNumber, r.patientSurname, r.patientGivenName, r.doctorSurname,
                             r.doctorGivenName, r.hospital, r.description, r.remark};
    for (int i = 0; i < columns.size(); ++i)
        if (readBack(columns[i]) != wanted[i])
            std::abort(); // the insert stored another text than was given
    if (readBack(QStringLiteral("fldmaker")) != part(8))
        std::abort();
    // The update of the same record with the fields turned around.
    WarrantyRecord u = r;
    u.key = QStringLiteral("1");
    std::swap(u.patientSurname, u.remark);
    std::swap(u.hospital, u.cardNumber);
    db->execute(EntryUpdateStatement(u, part(3), QStringLiteral("1")), {}, 0);
    if (readBack(QStringLiteral("fldPLName")) != u.patientSurname || readBack(QStringLiteral("fldMemo")) != u.remark ||
        readBack(QStringLiteral("fldHospital")) != u.hospital || readBack(QStringLiteral("fldPrdNo")) != u.cardNumber)
        std::abort(); // the update stored another text than was given
    // The look-ups built from the same text find the record, or run cleanly.
    db->execute(DuplicateTestStatement(text, QStringLiteral("0")), {}, 0);
    db->execute(RangeTestStatement(text, part(1), part(2)), {}, 0);
    return 0;
}
