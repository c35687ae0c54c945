// An embedded database made by the program before cards had a lot, teeth
// and a shade (its schema kept in tests/data) gets the three columns, the
// index of the lots, the history table and its triggers when the program
// opens it, all in one step, its records as they were.
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

class TestUpgradeCardExtras : public QObject {
    Q_OBJECT
private slots:
    void olderDatabaseUpgradedOnOpen();
    void lockedDatabaseLeftForLater();
    void centralScriptsAgree();
    void recallReadsTheLotIndex();
};

namespace {

QString oldSchema() {
    QFile f(QV_TEST_DATA "/schema-before-lots.sql");
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The demo data in a file made by the older schema.
void makeOlder(const DemoDatabase& db) {
    gConn->DisconnectFromDatabase();
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(db.dbPath() + QLatin1String(suffix));
    SqliteBackend direct;
    direct.openFile(db.dbPath(), true);
    direct.executeScript(oldSchema());
    direct.executeScript(EmbeddedDemoSql());
}

bool reconnect() {
    QString server = "(embedded)", name = "demo";
    return gConn->ConnectToDatabase(server, name);
}

// Every record, every column the older schema had, in key order.
const char* const AllRecords =
    "select group_concat(fldsn || '|' || fldMsn || '|' || ifnull(fldPrdNo,'') || '|' || ifnull(fldPLName,'') || '|' || "
    "ifnull(fldHospital,'') || '|' || fldStatus || '|' || ifnull(fldreturnmemo,'') || '|' || ifnull(fldsubmitDate,''), "
    "';') from (select * from tblrecord order by fldsn)";

QString objectSql(const QString& path, const QString& name) {
    SqliteBackend direct;
    direct.openFile(path, false);
    const DbResult r = direct.executeNative("select sql from sqlite_master where name=?1", {name});
    // As written, but for the comments.
    static const QRegularExpression comment(QStringLiteral("--[^\n]*"));
    return r.rows.rows() ? r.rows.at(0, 0).toString().remove(comment).simplified() : QString();
}

} // namespace

void TestUpgradeCardExtras::olderDatabaseUpgradedOnOpen() {
    ScriptedMessages boxes;
    DemoDatabase db;
    makeOlder(db);
    QCOMPARE(db.scalar("select count(*) from pragma_table_info('tblrecord') where name='fldLot'").toInt(), 0);
    const QString before = db.scalar(AllRecords).toString();
    QVERIFY(before.count(';') >= 5);
    QVERIFY(reconnect());
    QVERIFY2(boxes.shown().isEmpty(), qPrintable(boxes.texts().join('|')));
    for (const char* column : {"fldLot", "fldTeeth", "fldShade"})
        QCOMPARE(db.scalar(QString("select count(*) from pragma_table_info('tblrecord') where name='%1'").arg(column)).toInt(), 1);
    QCOMPARE(db.scalar(AllRecords).toString(), before);
    // What the step made is what a new database's schema makes.
    DemoDatabase fresh(false);
    for (const char* name : {"ixRecordMakerLot", "tblRecordHistory", "trgRecordHistoryInsert", "trgRecordHistoryUpdate",
                             "trgRecordHistoryDelete"}) {
        const QString made = objectSql(db.dbPath(), name);
        QVERIFY2(!made.isEmpty(), name);
        QCOMPARE(made, objectSql(fresh.dbPath(), name));
    }
    // The history starts with the step: a change is kept, with the old reason.
    QCOMPARE(db.scalar("select count(*) from tblRecordHistory").toInt(), 0);
    QVERIFY(gConn->CommandRan(gConn->ExeCommand("update tblrecord set fldStatus='00',fldreturnmemo='' where fldStatus='03'")));
    QVERIFY(db.scalar("select count(*) from tblRecordHistory where fldOldStatus='03' and fldNewStatus='00' and "
                      "fldOldReason<>'' and fldNewReason=''")
                .toInt() >= 1);
    // Opening again finds nothing to do.
    QVERIFY(reconnect());
    QVERIFY(boxes.shown().isEmpty());
}

// Another program writing: the step waits for the next opening, without a
// word and without half of it done.
void TestUpgradeCardExtras::lockedDatabaseLeftForLater() {
    ScriptedMessages boxes;
    DemoDatabase db;
    makeOlder(db);
    {
        SqliteBackend other;
        other.openFile(db.dbPath(), false);
        other.executeNative("begin immediate", {});
        QVERIFY(reconnect());
        other.executeNative("rollback", {});
    }
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(db.scalar("select count(*) from pragma_table_info('tblrecord') where name like 'fld%' and "
                       "name in ('fldLot','fldTeeth','fldShade')")
                 .toInt(),
             0);
    QCOMPARE(db.scalar("select count(*) from sqlite_master where name='tblRecordHistory'").toInt(), 0);
    QVERIFY(reconnect());
    QCOMPARE(db.scalar("select count(*) from sqlite_master where name like 'trgRecordHistory%'").toInt(), 3);
}

namespace {
QString sourceText(const char* path) {
    QFile f(QString(QV_SOURCE_DIR "/") + path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
// A statement of a script from its first words to the line "GO" after it,
// blanks evened out.
QString statement(const QString& script, const QString& start) {
    const qsizetype at = script.indexOf(start);
    if (at < 0)
        return {};
    const qsizetype end = script.indexOf(QStringLiteral("\nGO"), at);
    return script.mid(at, end - at).simplified();
}
} // namespace

// The script for an older central database makes the history table and its
// trigger as the one for a new database does.
void TestUpgradeCardExtras::centralScriptsAgree() {
    const QString tables = sourceText("db/sqlserver/01_tables.sql");
    const QString upgrade = sourceText("db/sqlserver/05_lot_teeth_history.sql");
    for (const char* start : {"CREATE TABLE dbo.tblRecordHistory (", "CREATE TRIGGER dbo.trgRecordHistory ON"}) {
        const QString made = statement(tables, start);
        QVERIFY2(made.size() > 100, start);
        QCOMPARE(statement(upgrade, start), made);
    }
    for (const char* column : {"fldLot NVARCHAR(30) NULL", "fldTeeth NVARCHAR(120) NULL", "fldShade NVARCHAR(20) NULL"}) {
        QVERIFY2(tables.contains(column), column);
        QVERIFY2(upgrade.contains(column), column);
    }
    // No identity column: the trigger's insert leaves @@identity alone.
    QVERIFY(!statement(tables, "CREATE TABLE dbo.tblRecordHistory (").contains("IDENTITY"));
    QVERIFY(statement(tables, "CREATE TRIGGER dbo.trgRecordHistory ON").contains("SET NOCOUNT ON;"));
}

// A lot's recall is a seek in the index of the lab's lots.
void TestUpgradeCardExtras::recallReadsTheLotIndex() {
    ScriptedMessages boxes;
    DemoDatabase db;
    const DbResult plan = db.backend()->executeNative(
        "explain query plan select fldsn from tblrecord r where r.fldMsn = ?1 and r.fldLot = ?2", {1, "LOT-1"});
    QString text;
    for (int r = 0; r < plan.rows.rows(); ++r)
        text += plan.rows.displayText(plan.rows.cols() - 1, r) + ";";
    QVERIFY2(text.contains("SEARCH r USING") && text.contains("INDEX ixRecordMakerLot (fldMsn=? AND fldLot=?)"), qPrintable(text));
}

QTEST_MAIN(TestUpgradeCardExtras)
#include "tst_upgradeCardExtras.moc"
