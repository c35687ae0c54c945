#include "vtValue.h"

#include <QDate>
#include <QRandomGenerator>
#include <QtTest>

class TestVtValue : public QObject {
    Q_OBJECT
private slots:
    void emptyAndNullAreDistinct();
    void arrayTravelsInAVariant();
    void arrayWithoutRowsIsEmpty();
    void valuesKeepTypeAndText_data();
    void valuesKeepTypeAndText();
    void copiesAreIndependent();
    void textCharsFollowEveryChange();
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

void TestVtValue::valuesKeepTypeAndText_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty") << QVariant() << "";
    QTest::newRow("null") << vt::Null() << "";
    QTest::newRow("text") << QVariant("钴铬合金烤瓷冠 O'Brien") << "钴铬合金烤瓷冠 O'Brien";
    QTest::newRow("empty text") << QVariant(QString("")) << "";
    QTest::newRow("text with NUL") << QVariant(QString::fromUtf16(u"a\0b", 3)) << QString::fromUtf16(u"a\0b", 3);
    QTest::newRow("whole number") << QVariant(qlonglong(-9223372036854775807LL - 1)) << "-9223372036854775808";
    QTest::newRow("int stays int") << QVariant(int(42)) << "42";
    QTest::newRow("real") << QVariant(0.1) << "0.1";
    QTest::newRow("large real") << QVariant(1.7976931348623157e308) << "1.7976931348623157e+308";
    QTest::newRow("date") << QVariant(QDate(2024, 2, 29)) << "2024-02-29";
    QTest::newRow("bytes") << QVariant(QByteArray("\x00\xff", 2)) << QString::fromUtf8("\x00\xff", 2);
    QTest::newRow("truth") << QVariant(true) << "True";
}

void TestVtValue::valuesKeepTypeAndText() {
    QFETCH(QVariant, value);
    QFETCH(QString, shown);
    vt::ValueArray a(2, 3);
    a.set(1, 2, value);
    a.set(0, 0, "before");
    const QVariant back = a.at(1, 2);
    QCOMPARE(back.metaType(), value.metaType());
    QCOMPARE(back, value);
    QCOMPARE(vt::isNull(back), vt::isNull(value));
    QCOMPARE(a.displayText(1, 2), shown);
    QCOMPARE(a.at(0, 0), QVariant("before"));
    // Through a variant and back, as results travel.
    QCOMPARE(vt::toArray(vt::toVariant(a)).at(1, 2), value);
}

void TestVtValue::copiesAreIndependent() {
    vt::ValueArray a(1, 2);
    a.setText(0, 0, u"甲");
    a.setText(0, 1, u"乙");
    vt::ValueArray b = a;
    QCOMPARE(b.textBlock(0), a.textBlock(0)); // shared until written
    b.setText(0, 0, u"丙");
    b.appendRow();
    QCOMPARE(a.at(0, 0), QVariant("甲"));
    QCOMPARE(a.rows(), 2);
    QCOMPARE(b.at(0, 0), QVariant("丙"));
    QCOMPARE(b.at(0, 1), QVariant("乙"));
    QVERIFY(vt::isEmpty(b.at(0, 2)));
    // A block somebody else holds (as a grid does) is not written into.
    const vt::ValueArray::TextBlock held = a.textBlock(0);
    const std::vector<char16_t> before = *held;
    a.setText(0, 1, u"丁");
    QCOMPARE(*held, before);
    QCOMPARE(a.at(0, 1), QVariant("丁"));
    b.resizeRows(1);
    QCOMPARE(b.rows(), 1);
    QCOMPARE(b.at(0, 0), QVariant("丙"));
}

// The count of characters a column refers to (a grid takes it instead of
// reading every cell) stays the sum of its cells' texts through overwrites,
// other values, shrinking, copies and selections.
void TestVtValue::textCharsFollowEveryChange() {
    QRandomGenerator rng(7);
    vt::ValueArray a(2, 0);
    const auto sum = [](const vt::ValueArray& x, int col) {
        std::size_t n = 0;
        for (int r = 0; r < x.rows(); ++r)
            n += x.span(col, r).size;
        return n;
    };
    for (int step = 0; step < 3000; ++step) {
        const int op = rng.bounded(12);
        if (op == 0 || a.rows() == 0) {
            a.appendRow();
        } else if (op == 1) {
            a.resizeRows(rng.bounded(a.rows() + 1));
        } else if (op == 2) {
            std::vector<int> pick;
            for (int r = 0; r < a.rows(); ++r)
                if (rng.bounded(2))
                    pick.push_back(r);
            a = a.selectRows(pick);
        } else {
            const int col = rng.bounded(2), row = rng.bounded(a.rows());
            vt::ValueArray keep = a; // a copy shares the spans until the write
            switch (op % 5) {
            case 0: a.setText(col, row, QString(rng.bounded(6), QChar(u'字'))); break;
            case 1: a.setTextUtf8(col, row, "abc", rng.bounded(4)); break;
            case 2: a.set(col, row, QVariant(qlonglong(rng.bounded(100000)))); break;
            case 3: a.set(col, row, QDate(2013, 9, 1 + rng.bounded(28))); break;
            default: a.set(col, row, rng.bounded(2) ? vt::Null() : vt::Empty());
            }
            QCOMPARE(keep.textChars(col), sum(keep, col));
        }
        for (int col = 0; col < 2; ++col)
            QCOMPARE(a.textChars(col), sum(a, col));
    }
}

QTEST_GUILESS_MAIN(TestVtValue)
#include "tst_vtValue.moc"
