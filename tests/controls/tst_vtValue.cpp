#include "vtValue.h"

#include <QtTest>

class TestVtValue : public QObject {
    Q_OBJECT
private slots:
    void emptyAndNullAreDistinct();
    void arrayTravelsInAVariant();
    void arrayWithoutRowsIsEmpty();
};

void TestVtValue::emptyAndNullAreDistinct() {
    QVERIFY(vt::isEmpty(vt::Empty()));
    QVERIFY(!vt::isNull(vt::Empty()));
    QVERIFY(vt::isNull(vt::Null()));
    QVERIFY(!vt::isEmpty(vt::Null()));
    QVERIFY(!vt::isNull(QVariant(QString())));
    QVERIFY(!vt::isEmpty(QVariant(0)));
}

void TestVtValue::arrayTravelsInAVariant() {
    vt::ValueArray a(2, 3);
    a.set(1, 2, QStringLiteral("x"));
    a.set(0, 0, vt::Null());
    const QVariant v = vt::toVariant(a);
    QVERIFY(vt::isArray(v));
    const vt::ValueArray b = vt::toArray(v);
    QCOMPARE(b.ubound(1), 1);
    QCOMPARE(b.ubound(2), 2);
    QCOMPARE(b.at(1, 2).toString(), QStringLiteral("x"));
    QVERIFY(vt::isNull(b.at(0, 0)));
    QVERIFY(vt::isEmpty(b.at(1, 0)));
    vt::ValueArray c = b;
    c.appendRow();
    c.set(1, 3, 7);
    QCOMPARE(c.rows(), 4);
    QCOMPARE(c.at(1, 2).toString(), QStringLiteral("x"));
}

void TestVtValue::arrayWithoutRowsIsEmpty() {
    QVERIFY(vt::isEmpty(vt::toVariant(vt::ValueArray(3, 0))));
    QVERIFY(!vt::isArray(QVariant(5)));
    QCOMPARE(vt::toArray(QVariant(5)).rows(), 0);
}

QTEST_GUILESS_MAIN(TestVtValue)
#include "tst_vtValue.moc"
