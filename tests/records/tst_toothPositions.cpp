// The tooth positions a card records: what reads, its stored form, and
// what is refused with the part named.
#include "mduToothPositions.h"

#include <QtTest>

class TestToothPositions : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void refused_data();
    void refused();
    void archOrder();
    void codesOfTheStoredForm();
};

void TestToothPositions::reads_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("normal");
    QTest::newRow("empty") << "" << "";
    QTest::newRow("blanks only") << "   " << "";
    QTest::newRow("one tooth") << "11" << "11";
    QTest::newRow("teeth in FDI order") << "21 12 11" << "11 12 21";
    QTest::newRow("each once") << "11 11 12" << "11 12";
    QTest::newRow("commas and Chinese commas") << "11,12，21、22" << "11 12 21 22";
    QTest::newRow("bridge across the upper midline") << "13-23" << "11 12 13 21 22 23";
    QTest::newRow("range written right to left") << "23-13" << "11 12 13 21 22 23";
    QTest::newRow("blanks around the dash") << "13 - 23" << "11 12 13 21 22 23";
    QTest::newRow("whole upper arch") << "18-28" << "11 12 13 14 15 16 17 18 21 22 23 24 25 26 27 28";
    QTest::newRow("lower arch across the midline") << "31-41" << "31 41";
    QTest::newRow("lower bridge") << "33-43" << "31 32 33 41 42 43";
    QTest::newRow("within one quadrant") << "14-16" << "14 15 16";
    QTest::newRow("within one quadrant, reversed") << "47-45" << "45 46 47";
    QTest::newRow("a range of one") << "26-26" << "26";
    QTest::newRow("deciduous upper") << "55-65" << "51 52 53 54 55 61 62 63 64 65";
    QTest::newRow("deciduous lower") << "72-82" << "71 72 81 82";
    QTest::newRow("range and teeth overlapping") << "11-21 21 36" << "11 21 36";
    QTest::newRow("tilde and en dash") << "13~11 31–32" << "11 12 13 31 32";
    QTest::newRow("last teeth of each quadrant") << "18 28 38 48 55 65 75 85" << "18 28 38 48 55 65 75 85";
}

void TestToothPositions::reads() {
    QFETCH(QString, text);
    QFETCH(QString, normal);
    const ToothPositions p = ReadToothPositions(text);
    QVERIFY2(p.ok(), qPrintable(p.error));
    QCOMPARE(p.normal, normal);
    // The stored form reads as itself.
    QCOMPARE(ReadToothPositions(p.normal).normal, normal);
}

void TestToothPositions::refused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named"); // the part the message names
    QTest::newRow("no tooth 19") << "11 19" << "“19”";
    QTest::newRow("no quadrant 9") << "91" << "“91”";
    QTest::newRow("no tooth 10") << "10" << "“10”";
    QTest::newRow("deciduous have five") << "56" << "“56”";
    QTest::newRow("one digit") << "1" << "“1”";
    QTest::newRow("three digits") << "111" << "“111”";
    QTest::newRow("letters") << "11 ab" << "“ab”";
    QTest::newRow("full-width digits") << "１１" << "“１１”";
    QTest::newRow("upper to lower") << "13-43" << "上颌与下颌";
    QTest::newRow("permanent to deciduous") << "11-51" << "恒牙与乳牙";
    QTest::newRow("deciduous upper to lower") << "55-85" << "上颌与下颌";
    QTest::newRow("open range") << "13-" << "“13-”";
    QTest::newRow("two dashes") << "13-11-21" << "“13-11-21”";
    QTest::newRow("bad end of a range") << "13-29" << "“29”";
}

void TestToothPositions::refused() {
    QFETCH(QString, text);
    QFETCH(QString, named);
    const ToothPositions p = ReadToothPositions(text);
    QVERIFY(!p.ok());
    QVERIFY(p.normal.isEmpty());
    QVERIFY2(p.error.contains(named), qPrintable(p.error));
}

void TestToothPositions::archOrder() {
    QCOMPARE(ArchOrder(true, false).first(), 18);
    QCOMPARE(ArchOrder(true, false).mid(6, 4), (QList<int>{12, 11, 21, 22}));
    QCOMPARE(ArchOrder(false, false).size(), 16);
    QCOMPARE(ArchOrder(false, false).mid(7, 2), (QList<int>{41, 31}));
    QCOMPARE(ArchOrder(true, true), (QList<int>{55, 54, 53, 52, 51, 61, 62, 63, 64, 65}));
    QCOMPARE(ArchOrder(false, true).size(), 10);
    int teeth = 0;
    for (int c = 0; c < 100; ++c)
        teeth += IsToothCode(c);
    QCOMPARE(teeth, 52);
}

void TestToothPositions::codesOfTheStoredForm() {
    QCOMPARE(ToothCodes("11 12 21"), (QList<int>{11, 12, 21}));
    QCOMPARE(ToothCodes(""), QList<int>());
    QCOMPARE(ToothCodes("11 99"), QList<int>());
    QCOMPARE(ToothNormalForm({21, 11, 21, 85}), QString("11 21 85"));
}

QTEST_APPLESS_MAIN(TestToothPositions)
#include "tst_toothPositions.moc"
