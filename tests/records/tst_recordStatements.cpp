// The statements that change one record, run against a record that another
// workstation or the central office changed in between: they change it only
// in the state they expect, and say by their count of changed rows whether
// they did.
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "mduRecordSql.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QtTest>

class TestRecordStatements : public QObject {
    Q_OBJECT
private slots:
    void changedElsewhere_data();
    void changedElsewhere();
    void manyCardsTestedAsOne();
};

void TestRecordStatements::changedElsewhere_data() {
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<bool>("changes");
    const QList<std::pair<const char*, QString>> elsewhere{
        {"still pending", ""},
        {"submitted", "update tblrecord set fldStatus='01' where fldsn=%1"},
        {"published", "update tblrecord set fldStatus='02',fldpublishDate='2013-09-10' where fldsn=%1"},
        {"sent back", "update tblrecord set fldStatus='03',fldreturnmemo='理由' where fldsn=%1"},
        {"deleted", "delete from tblrecord where fldsn=%1"},
        {"another lab's", "update tblrecord set fldMsn=2 where fldsn=%1"},
        {"another lab's, sent back", "update tblrecord set fldMsn=2,fldStatus='03' where fldsn=%1"},
    };
    for (const char* statement : {"save", "delete", "submit", "submit many", "reset"}) {
        for (const auto& [what, sql] : elsewhere) {
            const QString tag(what);
            // Save, Delete and Submit: the lab's pending record only. Reset:
            // the lab's record neither pending nor published.
            const bool changes = QLatin1String(statement) == "reset" ? tag == "submitted" || tag == "sent back"
                                                                     : tag == "still pending";
            QTest::addRow("%s, %s", statement, what) << statement << sql << changes;
        }
    }
}

void TestRecordStatements::changedElsewhere() {
    QFETCH(QString, statement);
    QFETCH(QString, meanwhile);
    QFETCH(bool, changes);
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const QString opId = gConn->OpId().toString();
    WarrantyRecord r;
    r.productKey = "C01";
    r.cardNumber = "C00000333";
    r.patientSurname = "张";
    r.patientGivenName = "三";
    r.hospital = "北京口腔医院";
    r.productionDate = QDate(2013, 9, 1);
    r.treatmentDate = QDate(2013, 9, 2);
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(EntryInsertStatement(r, opId, gConn->OpNo().toString()))));
    r.key = db.scalar("select max(fldsn) from tblrecord").toString();
    if (!meanwhile.isEmpty()) {
        SqliteBackend elsewhere;
        elsewhere.openFile(db.dbPath(), false);
        elsewhere.executeNative(meanwhile.arg(r.key), {});
    }
    const auto state = [&db] {
        return db.scalar("select group_concat(fldsn || fldMsn || fldPrdNo || fldPLName || fldStatus || "
                         "ifnull(fldreturnmemo,'') || ifnull(fldsubmitDate,''), '|') from tblrecord");
    };
    const QVariant before = state();
    WarrantyRecord edited = r;
    edited.patientSurname = "李";
    edited.cardNumber = "C00000334";
    const QString sql = statement == "save"     ? EntryUpdateStatement(edited, gConn->OpNo().toString(), opId)
                        : statement == "delete" ? DeleteStatement(r.key, opId)
                        : statement == "submit" ? SubmitStatement(r.key, opId)
                        : statement == "submit many" ? SubmitManyStatement({r.key, "999999"}, opId)
                                                : ResetStatement(r.key, opId);
    const int result = gConn->ExeCommand(sql);
    QVERIFY(gConn->CommandRan(result)); // the statement ran either way
    QCOMPARE(gConn->RowsChanged(), qint64(changes ? 1 : 0));
    QCOMPARE(state() == before, !changes);
    QVERIFY(boxes.shown().isEmpty());
    if (changes) {
        const QString after = db.scalar("select ifnull(fldStatus,'') || ifnull(fldPLName,'') from tblrecord where fldsn=" +
                                        r.key).toString();
        const QString expected = statement == "save"     ? "00李"
                                 : statement == "delete" ? ""
                                 : statement.startsWith("submit") ? "01张"
                                                         : "00张";
        QCOMPARE(after, expected);
    }
}

// The tests of many cards in one query answer for each card what the
// tests of that card alone answer.
void TestRecordStatements::manyCardsTestedAsOne() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const QString opId = gConn->OpId().toString(), opId2 = gConn->OpId2().toString();
    const QString submittedKey = db.scalar("select min(fldsn) from tblrecord where fldStatus='01'").toString();
    const QString submittedNumber =
        db.scalar("select fldPrdNo from tblrecord where fldsn=" + submittedKey).toString();
    QVERIFY(!submittedKey.isEmpty());
    const QList<CardToTest> cards{
        {"C00000102", ""},       {"C102", ""},          {"D00000102", ""},       {"C00000501", "1"},
        {"C00000650", ""},       {submittedNumber, ""}, {submittedNumber, submittedKey}, {"c00000102", ""},
        {"C0000'102", "x'y"},    {"C00000102", "7"},    {"", ""},
    };
    const vt::ValueArray many = gConn->GetRows(CardTestsStatement(cards, opId, opId2), {});
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(many.rows(), int(cards.size()));
    int inRange = 0, taken = 0;
    for (const CardToTest& c : cards) {
        const vt::ValueArray one = gConn->GetRows(RangeAndDuplicateStatement(c.number, opId, opId2, c.key), {});
        int found = -1;
        for (int r = 0; r < many.rows(); ++r)
            if (many.at(0, r).toString() == c.number && many.at(1, r).toString() == c.key)
                found = r;
        QVERIFY2(found >= 0, qPrintable(c.number + "/" + c.key));
        QCOMPARE(many.at(2, found).toInt(), one.at(0, 0).toInt());
        QCOMPARE(many.at(3, found).toInt(), one.at(1, 0).toInt());
        inRange += one.at(0, 0).toInt();
        taken += one.at(1, 0).toInt();
    }
    // Both answers occur among the cards, either way.
    QVERIFY(inRange > 0 && inRange < cards.size());
    QCOMPARE(taken, 1);
}

QTEST_MAIN(TestRecordStatements)
#include "tst_recordStatements.moc"
