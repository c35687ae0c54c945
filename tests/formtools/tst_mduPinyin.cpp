#include "mduPinyin.h"
#include "ucInput.h"

#include <QSignalSpy>
#include <QtTest>

class TestMduPinyin : public QObject {
    Q_OBJECT
private slots:
    void initials_data();
    void initials();
    void search_data();
    void search();
};

void TestMduPinyin::initials_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("initials");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("mixed") << "北x1" << "Bx*";
    QTest::newRow("hospital") << "北京口腔医院" << "BJKQYY";
    QTest::newRow("first of A (B0A1)") << "啊" << "A";
    QTest::newRow("first of B (B0C5, -20283)") << "芭" << "B";
    QTest::newRow("last of A (B0C4)") << "澳" << "A";
    QTest::newRow("full-width punctuation") << "，（" << "**";
    QTest::newRow("level-2 character") << "亍" << "Z";
    QTest::newRow("letters keep case") << "aB" << "aB";
    QTest::newRow("no code page 936 form") << "😀" << "**";
}

void TestMduPinyin::initials() {
    QFETCH(QString, text);
    QFETCH(QString, initials);
    QCOMPARE(PinyinInitials(text), initials);
}

void TestMduPinyin::search_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("end");
    QTest::newRow("from nothing selected") << -1 << "bj" << 1;
    QTest::newRow("next after current, wrapping") << 1 << "bj" << 3;
    QTest::newRow("wraps to the first") << 3 << "bj" << 1;
    QTest::newRow("by text") << -1 << "协和" << 2;
    QTest::newRow("nothing matches from 0") << -1 << "zzz" << 3;
    QTest::newRow("nothing matches from 2") << 2 << "zzz" << 1;
}

void TestMduPinyin::search() {
    QFETCH(int, start);
    QFETCH(QString, search);
    QFETCH(int, end);
    vt::ucInput list;
    for (const char* name : {"上海第九人民医院", "北京口腔医院", "协和医院", "北京儿童医院"})
        list.AddListItem(QString::fromUtf8(name));
    list.setListIndex(start);
    QSignalSpy clicks(&list, &vt::ucInput::Click);
    FindByPinyin(&list, search, &list);
    QCOMPARE(list.ListIndex(), end);
    QVERIFY(clicks.count() >= 1);
}

QTEST_MAIN(TestMduPinyin)
#include "tst_mduPinyin.moc"
