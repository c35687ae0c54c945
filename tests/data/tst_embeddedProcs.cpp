#include "clsConn.h"
#include "tsDemoDatabase.h"
#include "tsDataBoxes.h"

#include <QtTest>

class TestEmbeddedProcs : public QObject {
    Q_OBJECT
private slots:
    void productList();
    void recordLists_data();
    void recordLists();
    void sentBackRowsCarryStatusAndReason();
    void publishedListDateRange_data();
    void publishedListDateRange();
    void procedureNamesIgnoreCase();
    void textComparisonsIgnoreCase();
    void textsReadBackUnchanged_data();
    void textsReadBackUnchanged();
};

static QVariant makerViewValue(const QString& category) {
    QVariantList p{"MakerView", gConn->OpId(), category, "", "", ""};
    return gConn->GetSP("upvProducts", p);
}

static vt::ValueArray makerView(const QString& category, const QString& from = "", const QString& to = "") {
    QVariantList p{"MakerView", gConn->OpId(), category, from, to, ""};
    return vt::toArray(gConn->GetSP("upvProducts", p));
}

void TestEmbeddedProcs::productList() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    QVariantList p{"PrdNo", gConn->OpId(), "", "", "", ""};
    const vt::ValueArray products = vt::toArray(gConn->GetSP("upvProducts", p));
    QCOMPARE(products.cols(), 2);
    QCOMPARE(products.rows(), 3); // the discontinued product is not offered
    QStringList letters;
    for (int r = 0; r < products.rows(); ++r)
        letters << products.at(0, r).toString().left(1);
    QCOMPARE(letters, QStringList({"C", "D", "E"}));
    QCOMPARE(products.at(1, 0), QVariant("钴铬合金烤瓷冠"));
}

void TestEmbeddedProcs::recordLists_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cardColumn");
    QTest::addColumn<QString>("firstCard");
    // Result column k goes to grid column k + 1: the card number sits in
    // grid column 4 (New), 7 (Pro) and 6 (Done).
    QTest::newRow("New") << "00" << 13 << 2 << 3 << "C00000110";
    QTest::newRow("Pro") << "01" << 15 << 2 << 6 << "C00000120";
    QTest::newRow("Done") << "02" << 15 << 2 << 5 << "C00000130";
}

void TestEmbeddedProcs::recordLists() {
    QFETCH(QString, category);
    QFETCH(int, cols);
    QFETCH(int, rows);
    QFETCH(int, cardColumn);
    QFETCH(QString, firstCard);
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const vt::ValueArray list = makerView(category);
    QCOMPARE(list.cols(), cols);
    QCOMPARE(list.rows(), rows);
    QCOMPARE(list.at(cardColumn, 0), QVariant(firstCard));
    QCOMPARE(list.at(0, 0).metaType().id(), QMetaType::LongLong); // fldsn first
    if (category == "00") {
        QCOMPARE(list.at(1, 0), QVariant("C01"));           // product key
        QCOMPARE(list.at(2, 0), QVariant("钴铬合金烤瓷冠")); // shown name
        QCOMPARE(list.at(8, 0), QVariant("北京口腔医院"));
        QCOMPARE(list.at(9, 0), QVariant("2013-09-10"));    // treatment date
        QCOMPARE(list.at(12, 0), QVariant("2013-09-05"));   // production date
        QCOMPARE(list.at(11, 1), QVariant("复诊"));
    }
}

void TestEmbeddedProcs::sentBackRowsCarryStatusAndReason() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const vt::ValueArray pro = makerView("01");
    QCOMPARE(pro.at(1, 0), QVariant("01"));
    QCOMPARE(pro.at(2, 0), QVariant("待审批"));
    QCOMPARE(pro.at(3, 0), QVariant(""));
    QCOMPARE(pro.at(1, 1), QVariant("03"));
    QCOMPARE(pro.at(2, 1), QVariant("已退回"));
    QCOMPARE(pro.at(3, 1), QVariant("患者姓名与医院登记不符"));
    QCOMPARE(pro.at(7, 1), QVariant("2013-08-22")); // submission date
    // Another lab's records stay out of the list.
    QVERIFY(db.signIn("1002", "5678"));
    QCOMPARE(makerView("01").rows(), 1);
    QVERIFY(vt::isEmpty(makerViewValue("00")));
}

void TestEmbeddedProcs::publishedListDateRange_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("rows");
    QTest::newRow("both months") << "2013-08-01" << "2013-09-30" << 2;
    QTest::newRow("september") << "2013-09-01" << "2013-09-30" << 1;
    QTest::newRow("bounds included") << "2013-08-11" << "2013-09-04" << 2;
    QTest::newRow("october") << "2013-10-01" << "2013-10-31" << 0;
    QTest::newRow("no bounds") << "" << "" << 2;
}

void TestEmbeddedProcs::publishedListDateRange() {
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, rows);
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    QVariantList p{"MakerView", gConn->OpId(), "02", from, to, ""};
    const QVariant list = gConn->GetSP("upvProducts", p);
    QCOMPARE(vt::toArray(list).rows(), rows);
    QCOMPARE(vt::isEmpty(list), rows == 0);
}

void TestEmbeddedProcs::procedureNamesIgnoreCase() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    QVariantList p{"prdno", gConn->OpId(), "", "", "", ""};
    QCOMPARE(vt::toArray(gConn->GetSP("UPVPRODUCTS", p)).rows(), 3);
    QVariantList log{"select 1", "a,b,", "1001"};
    QCOMPARE(gConn->ExeSP("updsysexeclog", log), QVariant(0));
    // The log call itself is logged too, as every procedure not named upv...
    QCOMPARE(db.scalar("select count(*) from tblExecLog"), QVariant(qlonglong(2)));
    QVERIFY(boxes.shown().isEmpty());
}

void TestEmbeddedProcs::textComparisonsIgnoreCase() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(vt::isArray(gConn->GetArray("select * from TBLMAKER where FLDID='1001'")));
    QVERIFY(vt::isArray(gConn->GetArray(
        "select * from tblProductNoSet where fldPrdNoFrom<='c00000102' and fldPrdNoTo>='c00000102'")));
    QVERIFY(db.signIn("1001", "1234"));
}

void TestEmbeddedProcs::textsReadBackUnchanged_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("noncharacters") << QString::fromUtf16(u"\uFFFD\uFFFF\uFFFE");
    QTest::newRow("outside the basic plane") << QString::fromUtf16(u"\U0001F9B7 牙");
    QTest::newRow("quotes and Chinese") << QString("O'Brien 钴铬合金烤瓷冠");
}

// Whatever text is stored comes back as it was, through a statement and a
// list read from the embedded database.
void TestEmbeddedProcs::textsReadBackUnchanged() {
    QFETCH(QString, text);
    DataBoxes boxes;
    DemoDatabase db;
    QVariantList params{text};
    QVERIFY(gConn->CommandRan(gConn->ExeCommand("update tblrecord set fldMemo = ? where fldsn = 1", params)));
    QCOMPARE(vt::toArray(gConn->GetArray("select fldMemo from tblrecord where fldsn = 1")).at(0, 0), QVariant(text));
}

QTEST_MAIN(TestEmbeddedProcs)
#include "tst_embeddedProcs.moc"
