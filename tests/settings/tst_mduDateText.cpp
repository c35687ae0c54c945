#include "mduDateText.h"

#include "vtValue.h"

#include <QDateTime>
#include <QtTest>

class TestMduDateText : public QObject {
    Q_OBJECT
private slots:
    void formatDateText_data();
    void formatDateText();
};

void TestMduDateText::formatDateText_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("one-digit month and day") << QVariant("2013-9-1") << "2013-09-01";
    QTest::newRow("slashes") << QVariant("2013/09/01") << "2013-09-01";
    QTest::newRow("with time") << QVariant("2013-09-01 14:05:00") << "2013-09-01";
    QTest::newRow("chinese") << QVariant("2013年9月1日") << "2013-09-01";
    QTest::newRow("date") << QVariant(QDate(2024, 2, 29)) << "2024-02-29";
    QTest::newRow("date-time") << QVariant(QDateTime(QDate(2024, 12, 31), QTime(23, 59)))
                               << "2024-12-31";
    QTest::newRow("null") << vt::Null() << "";
    QTest::newRow("empty") << vt::Empty() << "";
    QTest::newRow("empty text") << QVariant("") << "";
    QTest::newRow("junk") << QVariant("abc") << "";
    QTest::newRow("no such day") << QVariant("2013-02-29") << "";
    QTest::newRow("month 13") << QVariant("2013-13-01") << "";
    QTest::newRow("mixed separators") << QVariant("2013-09/01") << "";
    QTest::newRow("number") << QVariant(41518) << "";
}

void TestMduDateText::formatDateText() {
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(FormatDateText(value), text);
}

QTEST_GUILESS_MAIN(TestMduDateText)
#include "tst_mduDateText.moc"
