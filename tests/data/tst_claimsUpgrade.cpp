// An embedded database made before warranty claims gets their table and
// indexes when the program opens it, in one step, its records untouched;
// the table then is the one a new database has.
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbEmbeddedUpgrade.h"
#include "dbSqliteBackend.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QRegularExpression>
#include <QtTest>

class TestClaimsUpgrade : public QObject {
    Q_OBJECT
private slots:
    void olderDatabaseGetsTheClaims();
    void readOnlyDatabaseLeftForLater();
};

namespace {

// The table's and its indexes' definitions in a database, by name, their
// comments left out.
QStringList claimObjects(const QString& path) {
    SqliteBackend db;
    db.openFile(path, false);
    const DbResult r = db.executeNative(
        "select name || ': ' || sql from sqlite_master where tbl_name='tblClaim' order by name", {});
    QStringList out;
    for (int i = 0; i < r.rows.rows(); ++i)
        out << r.rows.at(0, i).toString().remove(QRegularExpression("--[^\n]*")).simplified();
    return out;
}

void dropClaims(const DemoDatabase& db) {
    gConn->DisconnectFromDatabase();
    SqliteBackend direct;
    direct.openFile(db.dbPath(), false);
    direct.executeNative("drop table tblClaim", {});
}

bool reconnect() {
    QString server = "(embedded)", name = "demo";
    return gConn->ConnectToDatabase(server, name);
}

QString records(const DemoDatabase& db) {
    return db.scalar("select count(*) || ':' || group_concat(fldsn || fldPrdNo || fldStatus, ',') from tblrecord")
        .toString();
}

} // namespace

void TestClaimsUpgrade::olderDatabaseGetsTheClaims() {
    ScriptedMessages boxes;
    DemoDatabase db;
    const QStringList fresh = claimObjects(db.dbPath());
    QCOMPARE(fresh.size(), 5); // the table and its four indexes
    dropClaims(db);
    QVERIFY(claimObjects(db.dbPath()).isEmpty());
    const QString before = records(db);
    QVERIFY(reconnect());
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(claimObjects(db.dbPath()), fresh);
    QCOMPARE(records(db), before);
    // At work at once: a claim of a published card, and no second open one.
    QVERIFY(db.signIn());
    const QString insert = "insert into tblClaim (fldMsn,fldRecordSn,fldPrdNo,fldClaimDate,fldOpenKey) values (1,5,'C00000130','2026-03-01',5)";
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(insert)));
    QCOMPARE(db.scalar("select fldState from tblClaim"), QVariant("受理中"));
    QCOMPARE(gConn->ExeCommand(insert), -1);
    boxes.clear();
    // Opening again finds nothing to do and keeps the claim.
    QVERIFY(reconnect());
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(db.scalar("select count(*) from tblClaim"), QVariant(qlonglong(1)));
}

void TestClaimsUpgrade::readOnlyDatabaseLeftForLater() {
    ScriptedMessages boxes;
    DemoDatabase db;
    dropClaims(db);
    // A database the program cannot write now is left as it is, without a word.
    SqliteBackend reader;
    reader.openFile(db.dbPath(), false);
    reader.executeNative("BEGIN IMMEDIATE", {});
    QStringList notices;
    {
        SqliteBackend other;
        other.openFile(db.dbPath(), false);
        notices = UpgradeEmbeddedDatabase(other);
    }
    QVERIFY(notices.isEmpty());
    QVERIFY(claimObjects(db.dbPath()).isEmpty());
    reader.executeNative("ROLLBACK", {});
    {
        SqliteBackend other;
        other.openFile(db.dbPath(), false);
        QVERIFY(UpgradeEmbeddedDatabase(other).isEmpty());
    }
    QCOMPARE(claimObjects(db.dbPath()).size(), 5);
}

QTEST_MAIN(TestClaimsUpgrade)
#include "tst_claimsUpgrade.moc"
