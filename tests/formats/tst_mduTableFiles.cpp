// Tables written and read back: CSV (UTF-8 with a byte-order mark, and
// GB18030 as older programs write it) and Excel workbooks (ours, one written
// by another program, damaged ones).
#include "mduCsvReader.h"
#include "mduExport.h"
#include "mduXlsxReader.h"
#include "mduXlsxWriter.h"

#include <QtTest>

namespace {

// Every kind of value a list holds, and those that trip writers up.
QList<QStringList> awkwardRows() {
    return {{"质保卡号", "患者", "备注", "治疗时间"},
            {"C00000110", "张伟", "含\"引号\"与,逗号", "2013-09-10"},
            {"D00000012", "O'Brien", "第一行\n第二行\r\n第三行", "2024-02-29"},
            {"E00001005", "tab\there", "  前后空格  ", ""},
            {"", "只有一列有值", "", ""},
            {"=1+1", "'0123", "100%_ _x0041_", "not a date"}};
}

} // namespace

class TestTableFiles : public QObject {
    Q_OBJECT
private slots:
    void csvRoundTrip() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.csv");
        QString error;
        QVERIFY(WriteCsvFile(path, awkwardRows(), &error));
        QList<QStringList> back;
        QVERIFY2(ReadCsvFile(path, &back, &error), qPrintable(error));
        QCOMPARE(back, awkwardRows());
        // A first line of one field with a tab still reads as one field.
        const QList<QStringList> tabbed{{"a\tb"}, {"c,d"}};
        QCOMPARE(ParseCsv(CsvText(tabbed)), tabbed);
        // A row of one empty field stays a row.
        const QList<QStringList> empty{{"a"}, {""}, {"b"}};
        QCOMPARE(ParseCsv(CsvText(empty)), empty);
        // Tabs between quotes do not make the text tab-separated.
        QCOMPARE(ParseCsv("\"\t2\"\r\n,b\n"), (QList<QStringList>{{"\t2"}, {"", "b"}}));
        QCOMPARE(ParseCsv("a\tb\n1\t2\n"), (QList<QStringList>{{"a", "b"}, {"1", "2"}}));
    }

    void csvEncodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("error");
        const QString text = QStringLiteral("钴铬合金烤瓷冠,C00000301\r\n");
        QTest::newRow("UTF-8 with BOM") << QByteArray(QByteArray("\xEF\xBB\xBF") + text.toUtf8()) << QString("钴铬合金烤瓷冠") << QString("");
        QTest::newRow("UTF-8") << text.toUtf8() << QString("钴铬合金烤瓷冠") << QString("");
        QTest::newRow("GB18030") << QByteArray(QStringEncoder("GB18030").encode(text)) << QString("钴铬合金烤瓷冠") << QString("");
        QTest::newRow("binary") << QByteArray("PK\x03\x04\x00\x01\x02", 7) << QString("") << QString("这不是文本表格文件");
        QTest::newRow("neither") << QByteArray("\xFF\xFF\x81\x30", 4) << QString("") << QString("文件的编码无法识别（应为 UTF-8 或 GB18030）");
    }
    void csvEncodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, first);
        QFETCH(QString, error);
        QString text, why;
        QCOMPARE(DecodeCsvBytes(bytes, &text, &why), error.isEmpty());
        QCOMPARE(why, error);
        if (error.isEmpty())
            QCOMPARE(ParseCsv(text).value(0).value(0), first);
    }

    void gb18030FixtureOfAnotherProgram() {
        QList<QStringList> rows;
        QString error;
        QVERIFY2(ReadCsvFile(QV_TEST_DATA "/batch-gb18030.csv", &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].value(0), QStringLiteral("钴铬合金烤瓷冠"));
        QCOMPARE(rows[1].value(9), QStringLiteral("上颌, 前牙"));
        QCOMPARE(rows[2].value(10), QStringLiteral("复诊"));
    }

    void xlsxRoundTrip() {
        QTemporaryDir dir;
        const QString path = dir.filePath("list.xlsx");
        QString error;
        QVERIFY2(WriteXlsxFile(path, "待提交质保卡", awkwardRows(), {3}, &error), qPrintable(error));
        QList<QStringList> back;
        QVERIFY2(ReadXlsxFile(path, &back, &error), qPrintable(error));
        // Trailing empty cells are not stored; the rest comes back as written.
        QList<QStringList> expected = awkwardRows();
        for (QStringList& r : expected)
            while (!r.isEmpty() && r.last().isEmpty())
                r.removeLast();
        QCOMPARE(back, expected);
        // Written again over the first file: replaced whole.
        QVERIFY(WriteXlsxFile(path, "x", {{"a"}}, {}, &error));
        QVERIFY(ReadXlsxFile(path, &back, &error));
        QCOMPARE(back, (QList<QStringList>{{"a"}}));
        QVERIFY(!WriteXlsxFile(dir.filePath("missing/list.xlsx"), "x", {{"a"}}, {}, &error));
        QVERIFY(!error.isEmpty());
    }

    void xlsxDatesAreDates() {
        // The date column holds serial numbers with a date format, not text.
        QTemporaryDir dir;
        const QString path = dir.filePath("dates.xlsx");
        QString error;
        QVERIFY(WriteXlsxFile(path, "s", {{"治疗时间"}, {"2024-02-29"}}, {0}, &error));
        QProcess unzip;
        unzip.start("unzip", {"-p", path, "xl/worksheets/sheet1.xml"});
        QVERIFY(unzip.waitForFinished());
        const QByteArray sheet = unzip.readAllStandardOutput();
        QVERIFY2(sheet.contains("<v>45351</v>"), sheet.constData());
        QVERIFY(sheet.contains("<pane ySplit=\"1\""));
    }

    void xlsxColumnsFitTheirTexts() {
        QTemporaryDir dir;
        const QString path = dir.filePath("widths.xlsx");
        QString error;
        QVERIFY(WriteXlsxFile(path, "s", {{"质保产品", "质保卡号", "x"}, {"钴铬合金烤瓷冠", "C00000110", ""}}, {}, &error));
        QProcess unzip;
        unzip.start("unzip", {"-p", path, "xl/worksheets/sheet1.xml"});
        QVERIFY(unzip.waitForFinished());
        const QByteArray sheet = unzip.readAllStandardOutput();
        // Seven Chinese characters, nine letters and digits, and a short one.
        for (const char* col : {"<col min=\"1\" max=\"1\" width=\"16.7", "<col min=\"2\" max=\"2\" width=\"11.7",
                                "<col min=\"3\" max=\"3\" width=\"6.7"})
            QVERIFY2(sheet.contains(col), sheet.constData());
    }

    void workbookOfAnotherProgram() {
        QList<QStringList> rows;
        QString error;
        QVERIFY2(ReadXlsxFile(QV_TEST_DATA "/batch-openpyxl.xlsx", &rows, &error), qPrintable(error));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].value(0), QStringLiteral("质保卡号"));
        QCOMPARE(rows[1], (QStringList{"C00000302", "钴铬合金烤瓷冠", "张", "三丰", "协和医院", "2013-09-05", "2024-02-29",
                                       "010-1234", "第一行\n第二行"}));
        QCOMPARE(rows[2].value(7), QStringLiteral("12345"));
    }

    void damagedWorkbooks_data() {
        QTest::addColumn<QByteArray>("bytes");
        QFile good(QV_TEST_DATA "/batch-openpyxl.xlsx");
        QVERIFY(good.open(QIODevice::ReadOnly));
        const QByteArray whole = good.readAll();
        QTest::newRow("truncated") << whole.left(whole.size() / 2);
        QTest::newRow("cut at the end") << whole.left(whole.size() - 40);
        QTest::newRow("binary") << QByteArray(4096, '\x7f');
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a CSV") << QByteArray("a,b\r\n1,2\r\n");
    }
    void damagedWorkbooks() {
        QFETCH(QByteArray, bytes);
        QList<QStringList> rows{{"left over"}};
        QString error;
        QVERIFY(!ReadXlsxBytes(bytes, &rows, &error));
        QVERIFY(!error.isEmpty());
    }

    void sheetXmlEdgeCases() {
        // Cells without references, a rich shared string, a bad index, dates.
        const QStringList shared = ParseSharedStrings(
            "<sst><si><r><t>甲</t></r><r><t>乙</t></r><rPh><t>jia</t></rPh></si><si><t xml:space=\"preserve\"> 丙 </t></si></sst>");
        QCOMPARE(shared, (QStringList{"甲乙", " 丙 "}));
        const QList<bool> dates = ParseDateStyles(
            "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"yyyy/mm/dd\"/><numFmt numFmtId=\"165\" "
            "formatCode=\"&quot;d&quot;0.00\"/></numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf "
            "numFmtId=\"164\"/><xf numFmtId=\"165\"/></cellXfs></styleSheet>");
        QCOMPARE(dates, (QList<bool>{false, true, true, false}));
        QList<QStringList> rows;
        QString error;
        QVERIFY(ParseSheet("<worksheet><sheetData><row><c t=\"s\"><v>0</v></c><c s=\"1\"><v>45351</v></c><c s=\"3\"><v>2.50"
                           "</v></c><c t=\"b\"><v>1</v></c></row><row r=\"3\"><c r=\"C3\" t=\"s\"><v>1</v></c></row>"
                           "</sheetData></worksheet>",
                           shared, dates, &rows, &error));
        QCOMPARE(rows, (QList<QStringList>{{"甲乙", "2024-02-29", "2.5", "TRUE"}, {"", "", " 丙 "}}));
        QVERIFY(!ParseSheet("<worksheet><sheetData><row><c t=\"s\"><v>7</v></c></row></sheetData></worksheet>", shared,
                            dates, &rows, &error));
        QVERIFY(!ParseSheet("<worksheet><sheetData><row><c r=\"ZZZZ1\"><v>1</v></c></row>", shared, dates, &rows, &error));
        QCOMPARE(SerialDateText(1), QStringLiteral("1900-01-01"));
        QCOMPARE(SerialDateText(61), QStringLiteral("1900-03-01"));
        QCOMPARE(SerialDateText(-3), QString());
    }
};

QTEST_GUILESS_MAIN(TestTableFiles)
#include "tst_mduTableFiles.moc"
