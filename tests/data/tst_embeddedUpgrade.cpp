// An embedded database made before the database refused a card number
// submitted twice gets that rule when the program opens it, unless numbers
// are held twice already: then it is told why and nothing changes.
#include "clsConn.h"
#include "dbEmbeddedUpgrade.h"
#include "dbSqliteBackend.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QtTest>

class TestEmbeddedUpgrade : public QObject {
    Q_OBJECT
private slots:
    void olderDatabaseGetsTheRule();
    void numbersHeldTwiceRefuseTheStep_data();
    void numbersHeldTwiceRefuseTheStep();
};

namespace {

// The demo database as an older program made it: no index of the rule.
void makeOlder(const DemoDatabase& db, const QStringList& statements = {}) {
    gConn->DisconnectFromDatabase();
    SqliteBackend direct;
    direct.openFile(db.dbPath(), false);
    direct.executeNative(QStringLiteral("drop index ") + CardHeldIndexName, {});
    for (const QString& s : statements)
        direct.executeNative(s, {});
}

bool hasRule(const DemoDatabase& db) {
    return db.scalar(QStringLiteral("select count(*) from sqlite_master where name='") + CardHeldIndexName + "'")
               .toInt() == 1;
}

bool reconnect() {
    QString server = "(embedded)", name = "demo";
    return gConn->ConnectToDatabase(server, name);
}

} // namespace

void TestEmbeddedUpgrade::olderDatabaseGetsTheRule() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(hasRule(db)); // a new database has it from its schema
    makeOlder(db, {"insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values (1,'C00000120','00')"});
    QVERIFY(!hasRule(db));
    QVERIFY(reconnect());
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(hasRule(db));
    // The rule at work: the pending copy of a submitted number stays pending.
    const QString key = db.scalar("select fldsn from tblrecord where fldPrdNo='C00000120' and fldStatus='00'").toString();
    QCOMPARE(gConn->ExeCommand("update tblrecord set fldStatus='01' where fldsn='" + key + "'"), -1);
    QVERIFY(gConn->NumberTaken());
    // Opening again finds nothing to do.
    QVERIFY(reconnect());
    QVERIFY(boxes.shown().isEmpty());
}

void TestEmbeddedUpgrade::numbersHeldTwiceRefuseTheStep_data() {
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("settle");
    QTest::addColumn<QString>("number");
    // C00000120 is submitted in the demo data; E00001005 sent back.
    QTest::newRow("submitted twice") << "insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values (2,'C00000120','01')"
                                     << "update tblrecord set fldStatus='00' where fldMsn=2 and fldPrdNo='C00000120'"
                                     << "C00000120";
    QTest::newRow("a sent-back record holds it too")
        << "insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values (2,'e00001005','02')"
        << "delete from tblrecord where fldMsn=2 and fldPrdNo='e00001005'" << "E00001005";
}

void TestEmbeddedUpgrade::numbersHeldTwiceRefuseTheStep() {
    QFETCH(QString, second);
    QFETCH(QString, settle);
    QFETCH(QString, number);
    ScriptedMessages boxes;
    DemoDatabase db;
    makeOlder(db, {second});
    const QVariant records = db.scalar("select count(*) || ':' || group_concat(fldStatus) from tblrecord");
    QVERIFY(reconnect()); // the program works on, told why
    QVERIFY(gConn->IsConnected());
    QCOMPARE(boxes.shown().size(), 1);
    const QString text = boxes.shown()[0].text;
    QVERIFY2(text.contains("1 个质保卡号") && text.contains(number, Qt::CaseInsensitive), qPrintable(text));
    QVERIFY(!hasRule(db));
    QCOMPARE(db.scalar("select count(*) || ':' || group_concat(fldStatus) from tblrecord"), records);
    // Settled: the next opening makes it.
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(settle)));
    boxes.clear();
    QVERIFY(reconnect());
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(hasRule(db));
}

QTEST_MAIN(TestEmbeddedUpgrade)
#include "tst_embeddedUpgrade.moc"
