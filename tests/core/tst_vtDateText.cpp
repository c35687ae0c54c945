#include "vtDateText.h"

#include <QDate>
#include <QtTest>

class TestVtDateText : public QObject {
    Q_OBJECT
private slots:
    void datesAreRecognized_data();
    void datesAreRecognized();
    void dateTextIsTheStoredForm();
    void yearMonthText_data();
    void yearMonthText();
    void patternsWriteAndRead_data();
    void patternsWriteAndRead();
    void patternsRefuse_data();
    void patternsRefuse();
    void patternsReadAfterManyOthers();
};

// The stored form "yyyy-mm-dd" is read on a short path; it answers as the
// general patterns do, for good and bad dates alike.
void TestVtDateText::datesAreRecognized_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("date");
    QTest::newRow("stored form") << "2013-09-01" << "2013-09-01";
    QTest::newRow("leap day") << "2024-02-29" << "2024-02-29";
    QTest::newRow("no leap day") << "2023-02-29" << "";
    QTest::newRow("month 13") << "2013-13-01" << "";
    QTest::newRow("day 00") << "2013-09-00" << "";
    QTest::newRow("year below 100") << "0099-01-01" << "";
    QTest::newRow("a letter") << "2013-09-0a" << "";
    QTest::newRow("blank inside") << "2013-09- 1" << "";
    QTest::newRow("slashes") << "2013/09/01" << "2013-09-01";
    QTest::newRow("short parts") << "2013-9-1" << "2013-09-01";
    QTest::newRow("blanks around") << " 2013-09-01 " << "2013-09-01";
    QTest::newRow("with a time") << "2013-09-01 08:30" << "2013-09-01";
    QTest::newRow("Chinese") << "2013年9月1日" << "2013-09-01";
    QTest::newRow("two-digit year") << "13-09-01" << "";
}

void TestVtDateText::datesAreRecognized() {
    QFETCH(QString, text);
    QFETCH(QString, date);
    QCOMPARE(vt::recognizeDate(text).toString("yyyy-MM-dd"), date);
}

// Dates are stored as "yyyy-mm-dd": every day over decades, the first and
// last years the form holds, and no date.
void TestVtDateText::dateTextIsTheStoredForm() {
    for (QDate d(1990, 1, 1); d <= QDate(2040, 12, 31); d = d.addDays(1))
        QCOMPARE(vt::dateText(d), d.toString("yyyy-MM-dd"));
    QCOMPARE(vt::dateText(QDate(1, 1, 1)), QString("0001-01-01"));
    QCOMPARE(vt::dateText(QDate(9999, 12, 31)), QString("9999-12-31"));
    QCOMPARE(vt::dateText(QDate(10000, 1, 1)), QDate(10000, 1, 1).toString("yyyy-MM-dd"));
    QCOMPARE(vt::dateText(QDate()), QString());
}

void TestVtDateText::yearMonthText_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("first of a month") << QDate(2013, 9, 1) << "2013-09";
    QTest::newRow("last of a year") << QDate(2024, 12, 31) << "2024-12";
    QTest::newRow("early year") << QDate(101, 1, 5) << "0101-01";
    QTest::newRow("no date") << QDate() << "";
}

void TestVtDateText::yearMonthText() {
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(vt::yearMonthText(date), text);
}

// A grid column's pattern writes a date and reads the text back; a part the
// pattern lacks reads as 1, letters of the pattern in either case.
void TestVtDateText::patternsWriteAndRead_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");
    QTest::newRow("YYYY-MM-DD") << "YYYY-MM-DD" << QDate(2013, 9, 1) << "2013-09-01";
    QTest::newRow("lower case, short parts") << "yyyy/m/d" << QDate(2013, 9, 1) << "2013/9/1";
    QTest::newRow("two-digit parts stay two") << "yyyy/m/d" << QDate(2013, 11, 30) << "2013/11/30";
    QTest::newRow("day first, two-digit year") << "DD.MM.YY" << QDate(2024, 2, 29) << "29.02.24";
    QTest::newRow("Chinese") << "YYYY年M月D日" << QDate(2024, 2, 29) << "2024年2月29日";
    QTest::newRow("month only") << "YYYY-MM" << QDate(2013, 9, 1) << "2013-09";
    QTest::newRow("year only") << "YYYY" << QDate(2013, 1, 1) << "2013";
    QTest::newRow("brackets kept as text") << "(YYYY)[MM]" << QDate(2013, 9, 1) << "(2013)[09]";
    QTest::newRow("early year padded") << "YYYY-MM-DD" << QDate(812, 3, 4) << "0812-03-04";
}

void TestVtDateText::patternsWriteAndRead() {
    QFETCH(QString, pattern);
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(vt::formatDate(date, pattern), text);
    QCOMPARE(vt::readDate(text, pattern), date);
    QVERIFY(vt::fitsDatePattern(text, pattern));
    const vt::DatePattern compiled(pattern);
    QCOMPARE(compiled.read(text), date);
    QVERIFY(compiled.fits(text));
}

// What a column's pattern does not take: another form, a day the calendar
// lacks, a text without a year, a text read but written back otherwise.
void TestVtDateText::patternsRefuse_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("reads");
    QTest::newRow("short parts for long ones") << "YYYY-MM-DD" << "2013-9-1" << false;
    QTest::newRow("no such day") << "DD/MM/YYYY" << "30/02/2024" << false;
    QTest::newRow("month 13") << "YYYY-MM" << "2013-13" << false;
    QTest::newRow("no year") << "MM-DD" << "09-01" << false;
    QTest::newRow("a dot is no wildcard") << "DD.MM.YY" << "29x02x24" << false;
    QTest::newRow("trailing blank") << "YYYY-MM-DD" << "2013-09-01 " << false;
    QTest::newRow("four digits for YY") << "YY" << "2013" << false;
    QTest::newRow("leading zero where none is written") << "M/D/YYYY" << "09/1/2013" << true;
}

void TestVtDateText::patternsRefuse() {
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, reads);
    QCOMPARE(vt::readDate(text, pattern).isValid(), reads);
    QVERIFY(!vt::fitsDatePattern(text, pattern));
    const vt::DatePattern compiled(pattern);
    QCOMPARE(compiled.read(text).isValid(), reads);
    QVERIFY(!compiled.fits(text));
}

// Patterns read once are kept; a text is still read by its own pattern when
// many others were read in between (more than are kept at a time), and two
// patterns that differ only by a separator never answer for each other.
void TestVtDateText::patternsReadAfterManyOthers() {
    QVERIFY(vt::fitsDatePattern("2013-09-01", "YYYY-MM-DD"));
    for (int i = 0; i < 100; ++i) {
        const QString separator(QChar(char16_t(0x4E00 + i)));
        const QString pattern = "YYYY" + separator + "MM";
        QVERIFY(vt::fitsDatePattern("2013" + separator + "09", pattern));
        QVERIFY(!vt::fitsDatePattern("2013-09-01", pattern));
    }
    QVERIFY(vt::fitsDatePattern("2013-09-01", "YYYY-MM-DD"));
    QVERIFY(!vt::fitsDatePattern("2013/09/01", "YYYY-MM-DD"));
    QVERIFY(vt::fitsDatePattern("2013/09/01", "YYYY/MM/DD"));
}

QTEST_GUILESS_MAIN(TestVtDateText)
#include "tst_vtDateText.moc"
