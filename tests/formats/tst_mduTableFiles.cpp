// Tables written and read back: CSV (UTF-8 with a byte-order mark, GB18030
// as older programs write it, UTF-16 as Excel's "Unicode text") and Excel
// workbooks (ours, one written by another program, damaged and hostile
// ones); the readers' limits, and the writers on a full disk.
#include "mduCardLayout.h"
#include "mduCsvReader.h"
#include "mduExport.h"
#include "mduXlsxReader.h"
#include "mduXlsxWriter.h"
#include "tsFileSizeLimit.h"
#include "tsStoredZip.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

// The first columns a row keeps, whatever the first row says (the batch
// chooses its eleven by their headers the same way).
TableReading firstColumns(int count) {
    TableReading how;
    how.columns = [count](const TableCells&) {
        QList<int> columns;
        for (int c = 0; c < count; ++c)
            columns << c;
        return columns;
    };
    return how;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

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
        const QString unknown("文件的编码无法识别（应为 UTF-8、GB18030 或带字节顺序标记的 UTF-16）");
        QTest::newRow("neither") << QByteArray("\xFF\xFF\x81\x30", 4) << QString("") << unknown;
        const QByteArray le = QByteArray("\xFF\xFE") + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(text));
        const QByteArray be = QByteArray("\xFE\xFF") + QByteArray(QStringEncoder(QStringEncoder::Utf16BE).encode(text));
        QTest::newRow("UTF-16 LE") << le << QString("钴铬合金烤瓷冠") << QString("");
        QTest::newRow("UTF-16 BE") << be << QString("钴铬合金烤瓷冠") << QString("");
        QTest::newRow("UTF-16 cut in a character") << le.chopped(1) << QString("") << unknown;
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
        const SharedStrings shared = ParseSharedStrings(
            "<sst><si><r><t>甲</t></r><r><t>乙</t></r><rPh><t>jia</t></rPh></si><si><t xml:space=\"preserve\"> 丙 </t></si></sst>");
        QCOMPARE(shared.texts, (QStringList{"甲乙", " 丙 "}));
        QCOMPARE(shared.damage, QString());
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

    void csvFilesInUtf16_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("质保产品\t质保卡号\r\n钴铬合金烤瓷冠\tC00000301\r\n");
        QTest::newRow("little end first") << QByteArray(QByteArray("\xFF\xFE") + QStringEncoder(QStringEncoder::Utf16LE).encode(text));
        QTest::newRow("big end first") << QByteArray(QByteArray("\xFE\xFF") + QStringEncoder(QStringEncoder::Utf16BE).encode(text));
    }
    void csvFilesInUtf16() {
        // Excel's "Unicode text": tab-separated, read as any other CSV.
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("unicode.txt");
        QVERIFY(writeBytes(path, bytes));
        QList<QStringList> rows;
        QString error;
        QVERIFY2(ReadCsvFile(path, &rows, &error), qPrintable(error));
        QCOMPARE(rows, (QList<QStringList>{{"质保产品", "质保卡号"}, {"钴铬合金烤瓷冠", "C00000301"}}));
    }

    void formulaLookingTextsRoundTrip() {
        const QList<QStringList> rows{{"=HYPERLINK(\"http://x\",\"y\")", "+cmd|' /C calc'!A0", "-2", "@SUM(A1)"},
                                      {"\tx", "\rx", "'0123", "''"},
                                      {"'", "it's", "a=b", "'=1+1"}};
        QTemporaryDir dir;
        const QString path = dir.filePath("list.csv");
        QString error;
        QVERIFY(WriteCsvFile(path, rows, &error));
        // Each begins with the mark, so that no spreadsheet runs it.
        const QString written = QString::fromUtf8(fileBytes(path).mid(3));
        QVERIFY2(written.startsWith("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",'+cmd|' /C calc'!A0,'-2,'@SUM(A1)\r\n"),
                 qPrintable(written));
        QVERIFY2(written.contains("\"'\tx\",\"'\rx\",''0123,'''\r\n"), qPrintable(written));
        QList<QStringList> back;
        QVERIFY2(ReadCsvFile(path, &back, &error), qPrintable(error));
        QCOMPARE(back, rows);
        // Another program's file: only a ' before those characters is a mark.
        QCOMPARE(ParseCsv("'abc,'=x,''y,'\n"), (QList<QStringList>{{"'abc", "=x", "'y", "'"}}));
    }

    void nothingSwallowed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("workbook");
        QTest::addColumn<QString>("error");
        QTest::newRow("CSV: a quote never closed")
            << QByteArray("质保卡号,备注\r\nC1,\"unclosed\r\nC2,b\r\nC3,c\r\nC4,d\r\n") << false
            << QString("第 2 行的引号没有配对");
        QTest::newRow("shared strings: an entity unknown")
            << ts::StoredWorkbook("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
                                  "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c></row>",
                                  "<si><t>甲</t></si><si><t>&amp;乙&nbsp;</t></si>")
            << true << QString("第 2 行 A 列：共享文本第 2 项有错（Entity 'nbsp' not declared.）");
        QTest::newRow("shared strings: a broken character")
            << ts::StoredWorkbook("<row r=\"1\"><c r=\"B1\" t=\"s\"><v>1</v></c></row>",
                                  "<si><t>甲</t></si><si><t>&#xZZ;</t></si>")
            << true << QString("第 1 行 B 列：共享文本第 2 项有错（");
        QTest::newRow("sheet: an entity unknown")
            << ts::StoredWorkbook("<row r=\"4\"><c r=\"C4\" t=\"inlineStr\"><is><t>&bad;</t></is></c></row>") << true
            << QString("第 4 行 C 列：工作簿已损坏（Entity 'bad' not declared.）");
        QTest::newRow("sheet: a cell given twice")
            << ts::StoredWorkbook("<row r=\"3\"><c r=\"A3\"><v>1</v></c><c r=\"B3\"><v>2</v></c><c r=\"A3\"><v>3</v></c></row>")
            << true << QString("第 3 行 A 列：单元格在工作表中出现了两次");
        QTest::newRow("sheet: a row given twice")
            << ts::StoredWorkbook("<row r=\"2\"><c r=\"A2\"><v>1</v></c></row><row r=\"2\"><c r=\"B2\"><v>2</v></c></row>")
            << true << QString("第 2 行在工作表中出现了两次");
    }
    void nothingSwallowed() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, workbook);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(workbook ? "t.xlsx" : "t.csv");
        QVERIFY(writeBytes(path, bytes));
        QList<QStringList> rows{{"left over"}};
        QString why;
        QVERIFY(!(workbook ? ReadXlsxFile(path, &rows, &why) : ReadCsvFile(path, &rows, &why)));
        QVERIFY2(why.startsWith(error), qPrintable(why));
        QVERIFY(rows.isEmpty());
    }

    void rowsOutOfOrderStandByTheirNumbers() {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xlsx");
        QVERIFY(writeBytes(path, ts::StoredWorkbook("<row r=\"5\"><c r=\"A5\"><v>5</v></c></row>"
                                                    "<row r=\"2\"><c r=\"B2\"><v>2</v></c><c r=\"A2\"><v>1</v></c></row>"
                                                    "<row><c><v>3</v></c></row>"
                                                    "<row r=\"1\"><c r=\"A1\"><v>0</v></c></row>")));
        QList<QStringList> rows;
        QString error;
        QVERIFY2(ReadXlsxFile(path, &rows, &error), qPrintable(error));
        QCOMPARE(rows, (QList<QStringList>{{"0"}, {"1", "2"}, {"3"}, {"5"}}));
    }

    void wideWorkbookKeepsTheChosenColumns() {
        // A cell at XFD in every row: without a choice of columns the table
        // is refused at its limit instead of being padded out; with one, each
        // row holds only its chosen places.
        QTemporaryDir dir;
        const QString path = dir.filePath("wide.xlsx");
        QVERIFY(writeBytes(path, ts::StoredWorkbook(ts::WideSheetData(60000))));
        QList<QStringList> rows;
        QString error;
        QVERIFY(!ReadXlsxFile(path, &rows, &error));
        // Every row is 16,384 places wide: refused at the row that passes the limit.
        QCOMPARE(error, QStringLiteral("第 %1 行：").arg(MostTablePlaces / 16384 + 1) + TableTooManyPlacesReason());
        QVERIFY(rows.isEmpty());
        QVERIFY2(ReadXlsxFile(path, &rows, &error, firstColumns(11)), qPrintable(error));
        QCOMPARE(rows.size(), 60000);
        QCOMPARE(rows[0], (QStringList{"质保产品", "质保卡号", "", "", "", "", "", "", "", "", ""}));
        QCOMPARE(rows[59999].value(1), QStringLiteral("C00060000"));
        QVERIFY(std::all_of(rows.begin(), rows.end(), [](const QStringList& r) { return r.size() == 11; }));
        // A choice by the first row's texts, as the batch makes it.
        TableReading byName;
        byName.columns = [](const TableCells& first) {
            QList<int> columns;
            for (const auto& [col, text] : first)
                if (text == QStringLiteral("质保卡号"))
                    columns << col;
            return columns;
        };
        QVERIFY(ReadXlsxFile(path, &rows, &error, byName));
        QCOMPARE(rows.size(), 60000);
        QCOMPARE(rows[1], QStringList{"C00000002"});
    }

    void limitsRefuseBeforeReading_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("CSV") << "csv";
        QTest::newRow("workbook") << "xlsx";
    }
    void limitsRefuseBeforeReading() {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString error;
        QList<QStringList> rows;
        const auto read = [&](const QString& path) {
            return kind == "csv" ? ReadCsvFile(path, &rows, &error) : ReadXlsxFile(path, &rows, &error);
        };
        // A FIFO (no writer would ever come) and a device: refused at once.
        const QString fifo = dir.filePath("fifo." + kind);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!read(fifo));
        QCOMPARE(error, QStringLiteral("这不是普通文件（管道、设备等不能读取）"));
        QVERIFY(!read("/dev/zero"));
        QCOMPARE(error, QStringLiteral("这不是普通文件（管道、设备等不能读取）"));
        // Over the size limit (a sparse file: nothing of it is read).
        const QString big = dir.filePath("big." + kind);
        {
            QFile f(big);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(MostTableFileBytes + 1));
        }
        QVERIFY(!read(big));
        QCOMPARE(error, QStringLiteral("文件有 50.0 MB，超过了能读取的 50 MB"));
        QVERIFY(rows.isEmpty());
    }

    // The largest file the batch takes: as many rows as may be read, each
    // with a value in every one of the batch's fourteen columns.
    void csvLargestBatchFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("batch.csv");
        QByteArray bytes;
        bytes.reserve(MostTableRows * 32);
        for (int r = 0; r < MostTableRows; ++r)
            bytes += "p,C" + QByteArray::number(r) + ",d,t,a,b,c,e,h,o,m,l,11,A2\n";
        QVERIFY(writeBytes(path, bytes));
        QList<QStringList> rows;
        QString error;
        QVERIFY2(ReadCsvFile(path, &rows, &error, firstColumns(14)), qPrintable(error));
        QCOMPARE(rows.size(), MostTableRows);
        QCOMPARE(rows.last().value(13), QString("A2"));
    }

    void csvRowLimit() {
        QTemporaryDir dir;
        const QString path = dir.filePath("rows.csv");
        QByteArray bytes;
        for (int r = 0; r <= MostTableRows; ++r)
            bytes += "C" + QByteArray::number(r) + ",x\n";
        QVERIFY(writeBytes(path, bytes));
        QList<QStringList> rows;
        QString error;
        QVERIFY(!ReadCsvFile(path, &rows, &error, firstColumns(11)));
        QCOMPARE(error, TableTooManyRowsReason());
        QVERIFY(rows.isEmpty());
        // One row fewer is read whole, with its progress and a way to stop.
        bytes.truncate(bytes.lastIndexOf("C"));
        QVERIFY(writeBytes(path, bytes));
        TableReading how = firstColumns(2);
        QList<int> shares;
        how.progress = [&](int share) {
            shares << share;
            return true;
        };
        QVERIFY2(ReadCsvFile(path, &rows, &error, how), qPrintable(error));
        QCOMPARE(rows.size(), MostTableRows);
        QVERIFY(shares.size() > 1);
        QVERIFY(std::is_sorted(shares.begin(), shares.end()) && shares.last() <= 1000);
        how.progress = [](int) { return false; };
        QVERIFY(!ReadCsvFile(path, &rows, &error, how));
        QCOMPARE(error, QString());
        QVERIFY(rows.isEmpty());
    }

    void writersOnAFullDisk_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("CSV") << "csv";
        QTest::newRow("workbook") << "xlsx";
        QTest::newRow("cards as PDF") << "pdf";
    }
    void writersOnAFullDisk() {
        // Files may not grow past 1 KB: every writer fails, says why, and
        // the old file stays byte for byte, with no temporary file beside it.
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("old." + kind);
        const QByteArray old("the old file's bytes\n");
        QVERIFY(writeBytes(path, old));
        QList<QStringList> rows{{"质保卡号", "备注"}};
        for (int i = 0; i < 2000; ++i)
            rows.append({QString("C%1").arg(i, 8, 10, QChar('0')), QString("第 %1 行").arg(i)});
        CardDeck deck{"所", Qt::gray, {}};
        for (int i = 0; i < 9; ++i)
            deck.faces.append({QString("C%1").arg(i), {{"质保卡号", QString("C%1").arg(i)}}});
        const auto write = [&](QString* why) {
            if (kind == "csv")
                return WriteCsvFile(path, rows, why);
            if (kind == "xlsx")
                return WriteXlsxFile(path, "s", rows, {}, why);
            return WriteCardsPdf(path, deck, CardSheet::EightPerA4, "Quorvat", why);
        };
        const ts::LimitedWrite run = ts::WriteWithFileSizeLimit(1024, write);
        QVERIFY(run.ran);
        QVERIFY(!run.written);
        QVERIFY2(!run.reason.isEmpty(), qPrintable(run.reason));
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"old." + kind});
        // Without the limit the same write replaces the file.
        QString why;
        QVERIFY2(write(&why), qPrintable(why));
        QVERIFY(fileBytes(path).size() > 1024);
    }
};

QTEST_MAIN(TestTableFiles)
#include "tst_mduTableFiles.moc"
