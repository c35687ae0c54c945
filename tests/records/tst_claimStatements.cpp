// The statements of warranty claims on the embedded database: a claim is
// stored for a published card of the lab only, exactly as typed; a card
// holds one open claim, which the database itself enforces; a closed claim
// makes room for the next; a remake is linked once and found from both ends.
#include "clsConn.h"
#include "mduClaims.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QtTest>

class TestClaimStatements : public QObject {
    Q_OBJECT
private slots:
    void onlyPublishedCardsOfTheLab_data();
    void onlyPublishedCardsOfTheLab();
    void valuesStoredExactly_data();
    void valuesStoredExactly();
    void oneOpenClaimPerCard();
    void remakeLinkedBothWays();
};

namespace {

QString keyOf(const DemoDatabase& db, const QString& number) {
    return db.scalar("select max(fldsn) from tblrecord where fldPrdNo='" + number + "'").toString();
}

WarrantyClaim claimOn(const QString& recordKey, const QString& reason = QStringLiteral("崩瓷")) {
    WarrantyClaim c;
    c.recordKey = recordKey;
    c.claimDate = QDate(2026, 3, 1);
    c.reason = reason;
    c.text = QStringLiteral("上颌前牙崩瓷");
    c.teeth = QStringLiteral("11 21");
    c.action = RepairAction;
    return c;
}

// The claim stored; the rows the statement changed (-1: it failed).
qint64 store(const WarrantyClaim& c, const QVariant& inTerm = QStringLiteral("1")) {
    QVariantList p = ClaimInsertParams(c, inTerm, gConn->OpId().toLongLong());
    if (!gConn->CommandRan(gConn->ExeCommand(ClaimInsertStatement(), p)))
        return -1;
    return gConn->RowsChanged();
}

} // namespace

void TestClaimStatements::onlyPublishedCardsOfTheLab_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<qint64>("stored");
    QTest::addColumn<QString>("setup");
    QTest::newRow("published") << "C00000130" << qint64(1) << "";
    QTest::newRow("pending") << "C00000110" << qint64(0) << "";
    QTest::newRow("submitted") << "C00000120" << qint64(0) << "";
    QTest::newRow("sent back") << "E00001005" << qint64(0) << "";
    QTest::newRow("another lab's, published")
        << "C00000610" << qint64(0) << "update tblrecord set fldStatus='02' where fldPrdNo='C00000610'";
}

void TestClaimStatements::onlyPublishedCardsOfTheLab() {
    QFETCH(QString, number);
    QFETCH(qint64, stored);
    QFETCH(QString, setup);
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    if (!setup.isEmpty())
        QVERIFY(gConn->CommandRan(gConn->ExeCommand(setup)));
    QCOMPARE(store(claimOn(keyOf(db, number))), stored);
    QCOMPARE(db.scalar("select count(*) from tblClaim").toLongLong(), stored);
    if (stored) {
        QCOMPARE(db.scalar("select fldPrdNo || '|' || fldMsn || '|' || fldState || '|' || fldOpenKey || '|' || fldRecordSn"
                           " from tblClaim").toString(),
                 number + "|1|受理中|" + keyOf(db, number) + "|" + keyOf(db, number));
    }
    QVERIFY(boxes.shown().isEmpty());
}

void TestClaimStatements::valuesStoredExactly_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("quotes") << "患者说：\"咬硬物时\" 崩了'一角'; drop table tblClaim; --";
    QTest::newRow("Chinese and blanks") << "  边缘不密合，需重新取模  ";
    QTest::newRow("long text") << QString("长").repeated(500);
    QTest::newRow("line breaks") << "第一行\n第二行\r\n第三行";
}

void TestClaimStatements::valuesStoredExactly() {
    QFETCH(QString, text);
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    WarrantyClaim c = claimOn(keyOf(db, "D00000020"), QStringLiteral("其他"));
    c.text = text;
    QCOMPARE(store(c, vt::Null()), qint64(1));
    const QList<WarrantyClaim> back = ClaimsFromRows(gConn->GetRows(
        CardClaimsStatement(), {gConn->OpId().toLongLong(), c.recordKey.toLongLong(), c.recordKey.toLongLong()}));
    QCOMPARE(back.size(), 1);
    QCOMPARE(back[0].text, text);
    QCOMPARE(back[0].reason, QString("其他"));
    QCOMPARE(back[0].teeth, QString("11 21"));
    QCOMPARE(back[0].inTerm, QString());
    QCOMPARE(db.scalar("select count(*) from tblClaim where fldInTerm is null").toInt(), 1);
    QCOMPARE(back[0].productName, QString("二氧化锆全瓷冠"));
    QCOMPARE(back[0].patient, QString("罗佳"));
    // Closing keeps what was done as typed too.
    QVariantList p{"2026-03-05", text, back[0].key.toLongLong(), gConn->OpId().toLongLong()};
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(ClaimCloseStatement(), p)));
    QCOMPARE(db.scalar("select fldDone from tblClaim").toString(), text);
    QVERIFY(boxes.shown().isEmpty());
}

void TestClaimStatements::oneOpenClaimPerCard() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const QString card = keyOf(db, "C00000130");
    QCOMPARE(store(claimOn(card)), qint64(1));
    const vt::ValueArray open = gConn->GetRows(OpenClaimsStatement(), {gConn->OpId().toLongLong()});
    QCOMPARE(open.rows(), 1);
    QCOMPARE(open.displayText(0, 0), card);
    QCOMPARE(open.displayText(1, 0), QString("2026-03-01"));
    // A second open claim on the card: the database refuses it, whoever writes.
    QCOMPARE(store(claimOn(card, "脱落")), qint64(-1));
    QCOMPARE(boxes.shown().size(), 1);
    boxes.clear();
    QCOMPARE(db.scalar("select count(*) from tblClaim").toInt(), 1);
    // Another card takes its own.
    QCOMPARE(store(claimOn(keyOf(db, "D00000020"))), qint64(1));
    // Closed, the card takes the next; closing twice changes nothing.
    const QString first = db.scalar("select fldsn from tblClaim where fldRecordSn=" + card).toString();
    QVariantList close{"2026-03-09", "重新上瓷", first.toLongLong(), gConn->OpId().toLongLong()};
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(ClaimCloseStatement(), close)));
    QCOMPARE(gConn->RowsChanged(), 1);
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(ClaimCloseStatement(), close)));
    QCOMPARE(gConn->RowsChanged(), 0);
    QCOMPARE(db.scalar("select fldState || '|' || fldCloseDate || '|' || fldDone from tblClaim where fldsn=" + first),
             QVariant("已完成|2026-03-09|重新上瓷"));
    QCOMPARE(store(claimOn(card, "脱落")), qint64(1));
    QCOMPARE(gConn->GetRows(OpenClaimsStatement(), {gConn->OpId().toLongLong()}).rows(), 2);
    // Another lab cannot close this lab's claim.
    QVariantList foreign{"2026-03-09", "", first.toLongLong() + 1, 2};
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(ClaimCloseStatement(), foreign)));
    QCOMPARE(gConn->RowsChanged(), 0);
    QVERIFY(boxes.shown().isEmpty());
}

void TestClaimStatements::remakeLinkedBothWays() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const QString card = keyOf(db, "C00000130");
    WarrantyClaim c = claimOn(card);
    c.action = RemakeAction;
    QCOMPARE(store(c), qint64(1));
    const qlonglong claim = db.scalar("select fldsn from tblClaim").toLongLong();
    const qlonglong lab = gConn->OpId().toLongLong();
    // The remake saved as a pending record of its own number.
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(
        "insert into tblrecord (fldMsn,fldPrdName,fldPrdNo,fldPLName,fldPFName,fldHospital,fldStatus) "
        "values (1,'C01','C00000140','林','晨','北京口腔医院','00')")));
    const QString remake = keyOf(db, "C00000140");
    QVariantList link{lab, "C00000140", claim, lab};
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(ClaimRemakeLinkStatement(), link)));
    QCOMPARE(gConn->RowsChanged(), 1);
    QCOMPARE(db.scalar("select fldRemakeSn from tblClaim").toString(), remake);
    // Linked once: a later save of another number does not move it.
    QVariantList again{lab, "C00000141", claim, lab};
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(ClaimRemakeLinkStatement(), again)));
    QCOMPARE(gConn->RowsChanged(), 0);
    // Found from the card and from the remake.
    for (const QString& key : {card, remake}) {
        const QList<WarrantyClaim> found =
            ClaimsFromRows(gConn->GetRows(CardClaimsStatement(), {lab, key.toLongLong(), key.toLongLong()}));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].cardNumber, QString("C00000130"));
        QCOMPARE(found[0].remakeKey, remake);
        QCOMPARE(found[0].remakeNumber, QString("C00000140"));
    }
    // The claims list of the period shows it, another period does not.
    QCOMPARE(ClaimsFromRows(gConn->GetRows(ClaimListStatement(), {lab, "2026-03-01", "2026-03-31"})).size(), 1);
    QCOMPARE(ClaimsFromRows(gConn->GetRows(ClaimListStatement(), {lab, "2026-04-01", "2026-04-30"})).size(), 0);
    QCOMPARE(ClaimsFromRows(gConn->GetRows(ClaimListStatement(), {qlonglong(2), "2026-03-01", "2026-03-31"})).size(), 0);
    // The demo database keeps the card's teeth and lot: read, empty here.
    bool failed = false;
    const vt::ValueArray trace = gConn->GetRowsQuietly(CardTraceStatement(), {card.toLongLong(), lab}, &failed);
    QVERIFY(!failed);
    QCOMPARE(trace.rows(), 1);
    QCOMPARE(trace.displayText(0, 0), QString());
    QVERIFY(boxes.shown().isEmpty());
}

QTEST_MAIN(TestClaimStatements)
#include "tst_claimStatements.moc"
