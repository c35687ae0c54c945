// The record lists' filter boxes and export, the batch grid's file import
// and the card ranges, on the demo database.
#include "EditGrid.h"
#include "clsConn.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmPublishedTab.h"
#include "frmRecordList.h"
#include "frmSubmittedTab.h"
#include "frmRanges.h"
#include "ucInput.h"
#include "mduCsvReader.h"
#include "mduExport.h"
#include "mduRecordRules.h"
#include "mduFileDialog.h"
#include "mduXlsxReader.h"
#include "tsStoredZip.h"
#include "mduHospital.h"
#include "mduProcess.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTableWidget>
#include <QtTest>

#include <sys/stat.h>

namespace {

void addRecord(const QString& number, const QString& surname, const QString& given, const QString& doctor,
               const QString& hospital, const QString& status = "00") {
    QVariantList p{number, surname, given, doctor, hospital, status};
    QVERIFY(gConn->ExeCommand("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                              "fldDLName,fldDFName,fldHospital,fldOpTime,fldPdTime,fldStatus) "
                              "values (1,'1001','C01',?,?,?,?,'',?,'2013-09-01','2013-09-01',?)",
                              p) >= 0);
}

struct Fixture {
    ScriptedMessages boxes;
    DemoDatabase db;
    QTemporaryDir dir;
    std::unique_ptr<QSettings> hospitals;
    std::unique_ptr<frmProducts> f;
    explicit Fixture(const std::function<void()>& before = {}) {
        hospitals = std::make_unique<QSettings>(dir.filePath("hospitals.ini"), QSettings::IniFormat);
        SetHospitalStore(hospitals.get());
        db.signIn();
        if (before)
            before();
        f = std::make_unique<frmProducts>();
        f->show();
        QVERIFY2(QTest::qWaitForWindowExposed(f.get()), "the workbench was never shown");
    }
    ~Fixture() {
        f.reset();
        SetHospitalStore(nullptr);
    }
    QStringList column(vt::EditGrid* g, int col) {
        QStringList out;
        for (int r = 1; r < g->Rows(); ++r)
            out << g->Cells(r, col).Text();
        return out;
    }
    QVariant scalar(const QString& sql) { return db.scalar(sql); }
};

void pendingFixture() {
    addRecord("C00000201", "欧阳", "娜娜", "李", "协和医院");
    addRecord("C00000202", "王", "五", "欧", "北京口腔医院");
    addRecord("C00000203", "Smith", "Anna", "赵", "Dental 100%");
}

} // namespace

class TestFrmLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetProcessEnd([](int) { throw std::runtime_error("the program ended"); }); }

    void filterPending_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("numbers");
        // The demo's own pending cards are C00000110 (张伟, 刘洋, 北京口腔医院)
        // and D00000012 (陈静, 周平, 朝阳区牙科诊所).
        const QStringList all{"C00000110", "D00000012", "C00000201", "C00000202", "C00000203"};
        QTest::newRow("empty") << "" << all;
        QTest::newRow("blanks") << "  " << all;
        QTest::newRow("card number part") << "0020" << QStringList{"C00000201", "C00000202", "C00000203"};
        QTest::newRow("whole card number, other case") << "c00000110" << QStringList{"C00000110"};
        QTest::newRow("patient's whole name") << "欧阳娜" << QStringList{"C00000201"};
        QTest::newRow("doctor") << "周平" << QStringList{"D00000012"};
        QTest::newRow("hospital") << "口腔" << QStringList{"C00000110", "C00000202"};
        QTest::newRow("patient's initials") << "oyn" << QStringList{"C00000201"};
        QTest::newRow("hospital's initials") << "BJKQ" << QStringList{"C00000110", "C00000202"};
        QTest::newRow("latin name, case ignored") << "smith" << QStringList{"C00000203"};
        QTest::newRow("percent taken literally") << "100%" << QStringList{"C00000203"};
        QTest::newRow("asterisk matches nothing") << "*" << QStringList{};
        QTest::newRow("no match") << "不存在" << QStringList{};
    }
    void filterPending() {
        QFETCH(QString, text);
        QFETCH(QStringList, numbers);
        Fixture fx(pendingFixture);
        fx.f->tabEntry->list->txtFilter->setText(text);
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4), numbers);
        if (!text.trimmed().isEmpty())
            QVERIFY2(fx.f->InfoBarPanel2->text().contains(QStringLiteral("显示 %1 / 5 张").arg(numbers.size())),
                     qPrintable(fx.f->InfoBarPanel2->text()));
        // Clearing the box brings the whole list back.
        fx.f->tabEntry->list->txtFilter->clear();
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4).size(), 5);
    }

    void typingOnNarrowsAndBackspaceWidens() {
        Fixture fx(pendingFixture);
        QTest::keyClicks(fx.f->tabEntry->list->txtFilter, "C0000020");
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4).size(), 3);
        QTest::keyClick(fx.f->tabEntry->list->txtFilter, '1');
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4), QStringList{"C00000201"});
        // As X11 gives it, BackSpace carries "\b".
        for (int i = 0; i < 2; ++i)
            QTest::sendKeyEvent(QTest::Click, fx.f->tabEntry->list->txtFilter, Qt::Key_Backspace, QStringLiteral("\b"), Qt::NoModifier);
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4).size(), 3); // "C000002": the three again
    }

    void filterOtherLists() {
        Fixture fx;
        fx.f->LoadRecordList("Pro");
        fx.f->tabProc->list->txtFilter->setText("hl"); // 黄丽, sent back
        QCOMPARE(fx.column(fx.f->tabProc->list->grid, 7), QStringList{"E00001005"});
        fx.f->tabOuted->dateFrom->setDate(QDate(2013, 8, 1));
        fx.f->tabOuted->dateTo->setDate(QDate(2013, 9, 30));
        fx.f->tabOuted->list->txtFilter->setText("朝阳");
        fx.f->tabOuted->cmdViewAll_Click(); // read with the filter in place
        QCOMPARE(fx.column(fx.f->tabOuted->list->grid, 6), QStringList{"D00000020"});
        fx.f->tabOuted->list->txtFilter->clear();
        QCOMPARE(fx.column(fx.f->tabOuted->list->grid, 6), (QStringList{"C00000130", "D00000020"}));
    }

    void submitAllWithAFilter() {
        // Only the rows shown are submitted, and the question says how many.
        Fixture fx(pendingFixture);
        fx.f->tabEntry->list->txtFilter->setText("C000002");
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4).size(), 3);
        fx.boxes.setNextAnswer(MsgYes);
        fx.f->tabEntry->cmdSubmitAll_Click();
        QVERIFY(fx.boxes.texts().value(0).startsWith(QStringLiteral("你确定要全部上报吗？\n")));
        QVERIFY2(fx.boxes.texts().value(0).contains(QStringLiteral("将上报显示的 3 张质保卡，其余 2 张不上报")),
                 qPrintable(fx.boxes.texts().value(0)));
        QCOMPARE(fx.scalar("select count(*) from tblrecord where fldStatus='01' and fldPrdNo like 'C0000020_'"),
                 QVariant(qlonglong(3)));
        QCOMPARE(fx.scalar("select count(*) from tblrecord where fldStatus='00' and fldMsn=1"), QVariant(qlonglong(2)));
        // Cleared, the list holds what is still pending, nothing twice.
        fx.f->tabEntry->list->txtFilter->clear();
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4), (QStringList{"C00000110", "D00000012"}));
        // Without a filter the question is the plain one.
        fx.boxes.clear();
        fx.boxes.setNextAnswer(MsgNo);
        fx.f->tabEntry->cmdSubmitAll_Click();
        QCOMPARE(fx.boxes.texts(), QStringList{"你确定要全部上报吗？"});
    }

    void checksSeeRowsTheFilterHides() {
        // A batch row with the number of a pending card the filter hides is
        // still warned of; so is the entry's number.
        Fixture fx;
        fx.f->tabEntry->list->txtFilter->setText("D000");
        QCOMPARE(fx.column(fx.f->tabEntry->list->grid, 4), QStringList{"D00000012"});
        fx.f->tabBatch->cmdAdd_Click();
        const QStringList row{"钴铬合金烤瓷冠", "C00000110", "2013-09-01", "2013-09-02", "王", "五", "", "", "协和医院", "", ""};
        for (int c = 0; c < row.size(); ++c)
            fx.f->tabBatch->egBatch->Cells(1, c + 1).setText(row[c]);
        fx.f->tabBatch->cmdCheck_Click();
        QCOMPARE(fx.f->tabBatch->egBatch->Cells(1, 2).BackColor(), WarningColor);
    }

    void exportShowsTheListAsShown() {
        Fixture fx(pendingFixture);
        fx.f->tabEntry->list->txtFilter->setText("欧");
        const QString csv = fx.dir.filePath("pending.csv");
        SetNextSaveFileName(csv);
        QVERIFY(fx.f->List("New")->ExportList());
        QList<QStringList> rows;
        QString error;
        QVERIFY2(ReadCsvFile(csv, &rows, &error), qPrintable(error));
        // The batch grid's columns with its headers (no key, no row number),
        // the two rows shown.
        // The card's lot, teeth and shade after them, the demo database having them.
        QCOMPARE(rows.value(0), BatchHeaders() + BatchExtraHeaders());
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].mid(0, 2), (QStringList{"钴铬合金烤瓷冠", "C00000201"}));
        QCOMPARE(rows[1].mid(4, 2), (QStringList{"欧阳", "娜娜"}));
        QCOMPARE(rows[2].value(6), QStringLiteral("欧")); // the doctor named so
        QFile raw(csv);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.read(3) == QByteArray("\xEF\xBB\xBF"));

        const QString xlsx = fx.dir.filePath("pending.xlsx");
        SetNextSaveFileName(xlsx);
        QVERIFY(fx.f->List("New")->ExportList());
        QList<QStringList> sheet;
        QVERIFY2(ReadXlsxFile(xlsx, &sheet, &error), qPrintable(error));
        QCOMPARE(sheet.value(1).value(3), QStringLiteral("2013-09-01")); // a real date, read back
        QCOMPARE(sheet.size(), 3);
        // A folder that is not there: a message, no file.
        SetNextSaveFileName(fx.dir.filePath("none/pending.xlsx"));
        QVERIFY(!fx.f->List("New")->ExportList());
        QVERIFY(fx.boxes.texts().value(0).startsWith(QStringLiteral("文件没有写成：")));
    }

    void exportReadsBackIntoTheBatch_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("pending, CSV") << "New" << "csv";
        QTest::newRow("pending, workbook") << "New" << "xlsx";
        QTest::newRow("submitted, CSV") << "Pro" << "csv";
    }
    void exportReadsBackIntoTheBatch() {
        QFETCH(QString, list);
        QFETCH(QString, suffix);
        Fixture fx(pendingFixture);
        fx.f->LoadRecordList(list);
        frmRecordList* l = fx.f->List(list);
        QVERIFY(l->grid->Rows() > 1);
        const QString path = fx.dir.filePath("list." + suffix);
        SetNextSaveFileName(path);
        QVERIFY(l->ExportList());
        QList<QStringList> table;
        QString error;
        QVERIFY2(suffix == "csv" ? ReadCsvFile(path, &table, &error) : ReadXlsxFile(path, &table, &error), qPrintable(error));
        // After the batch columns, the list's own (status, reason, dates).
        QCOMPARE(table.value(0).mid(0, 11), BatchHeaders());
        const QList<int> cols = l->ExportColumns();
        for (int k = 11; k < cols.size(); ++k)
            QCOMPARE(table.value(0).value(k), l->grid->Cells(0, cols[k]).Text().trimmed());
        // Read into the batch grid: each row's columns where the batch has them.
        SetNextOpenFileName(path);
        QVERIFY(fx.f->tabBatch->cmdReadFile_Click());
        QCOMPARE(fx.f->tabBatch->egBatch->Rows(), l->grid->Rows());
        for (int r = 1; r < l->grid->Rows(); ++r)
            for (int c = 1; c <= 11; ++c)
                QCOMPARE(fx.f->tabBatch->egBatch->Cells(r, c).Text(),
                         cols[c - 1] > 0 ? l->grid->Cells(r, cols[c - 1]).Text() : QString());
    }

    void readFilesIntoTheBatch_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("first");
        QTest::newRow("GB18030 CSV") << QString(QV_TEST_DATA "/batch-gb18030.csv")
                                     << QStringList{"钴铬合金烤瓷冠", "C00000301", "2013-09-01", "2013-09-02", "欧阳", "娜娜",
                                                    "李", "明", "北京口腔医院", "上颌, 前牙", ""};
        QTest::newRow("workbook of another program")
            << QString(QV_TEST_DATA "/batch-openpyxl.xlsx")
            << QStringList{"钴铬合金烤瓷冠", "C00000302", "2013-09-05", "2024-02-29", "张", "三丰", "", "", "协和医院", "",
                           "第一行\n第二行"};
    }
    void readFilesIntoTheBatch() {
        QFETCH(QString, file);
        QFETCH(QStringList, first);
        Fixture fx;
        const qlonglong before = fx.scalar("select count(*) from tblrecord").toLongLong();
        SetNextOpenFileName(file);
        QVERIFY(fx.f->tabBatch->cmdReadFile_Click());
        QCOMPARE(fx.f->tabBatch->egBatch->Rows(), 3);
        QStringList cells;
        for (int c = 1; c <= 11; ++c)
            cells << fx.f->tabBatch->egBatch->Cells(1, c).Text();
        QCOMPARE(cells, first);
        // Nothing is stored before the user imports.
        QCOMPARE(fx.scalar("select count(*) from tblrecord").toLongLong(), before);
        QVERIFY(fx.f->tabBatch->cmdCheck->isEnabled());
        QVERIFY(fx.boxes.shown().isEmpty());
    }

    void readFilesThatCannotBeTaken_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("reason");
        QFile good(QV_TEST_DATA "/batch-openpyxl.xlsx");
        QVERIFY(good.open(QIODevice::ReadOnly));
        const QByteArray whole = good.readAll();
        QTest::newRow("truncated workbook") << whole.left(whole.size() / 2) << "xlsx" << "工作簿";
        QTest::newRow("binary file") << QByteArray(2048, '\0') << "csv" << "这不是文本表格文件";
        QTest::newRow("no matching columns") << QByteArray("甲,乙,丙\r\n1,2,3\r\n") << "csv" << "没有与批量预录表头相符的列";
        QTest::newRow("empty") << QByteArray() << "csv" << "没有数据";
        // Nothing swallowed: each says what and where.
        QTest::newRow("unclosed quote") << QByteArray("质保卡号,备注\r\nC1,\"a\r\nC2,b\r\nC3,c\r\n") << "csv"
                                        << "无法读取文件 in.csv：第 2 行的引号没有配对";
        QTest::newRow("damaged shared text")
            << ts::StoredWorkbook("<row r=\"1\"><c r=\"B1\" t=\"s\"><v>0</v></c></row><row r=\"2\"><c r=\"B2\" "
                                  "t=\"s\"><v>1</v></c></row>",
                                  "<si><t>质保卡号</t></si><si><t>&bad;</t></si>")
            << "xlsx" << "无法读取文件 in.xlsx：第 2 行 B 列：共享文本第 2 项有错";
        QTest::newRow("repeated cell")
            << ts::StoredWorkbook("<row r=\"1\"><c r=\"B1\" t=\"inlineStr\"><is><t>质保卡号</t></is></c></row><row "
                                  "r=\"2\"><c r=\"B2\"><v>1</v></c><c r=\"B2\"><v>2</v></c></row>")
            << "xlsx" << "无法读取文件 in.xlsx：第 2 行 B 列：单元格在工作表中出现了两次";
    }
    void readFilesThatCannotBeTaken() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, suffix);
        QFETCH(QString, reason);
        Fixture fx;
        fx.f->tabBatch->cmdAdd_Click();
        fx.f->tabBatch->egBatch->Cells(1, 2).setText("C00000401");
        const QString path = fx.dir.filePath("in." + suffix);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        SetNextOpenFileName(path);
        QVERIFY(!fx.f->tabBatch->cmdReadFile_Click());
        QCOMPARE(fx.boxes.shown().size(), 1);
        QVERIFY2(fx.boxes.texts().value(0).contains(reason), qPrintable(fx.boxes.texts().value(0)));
        // The grid is as it was.
        QCOMPARE(fx.f->tabBatch->egBatch->Rows(), 2);
        QCOMPARE(fx.f->tabBatch->egBatch->Cells(1, 2).Text(), QStringLiteral("C00000401"));
    }

    void aFifoIsRefusedAtOnce() {
        // Nothing would ever be written into it: neither the look at its
        // first bytes nor the reader may wait for it.
        Fixture fx;
        const QString fifo = fx.dir.filePath("batch.csv");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        SetNextOpenFileName(fifo);
        QVERIFY(!fx.f->tabBatch->cmdReadFile_Click());
        QCOMPARE(fx.boxes.texts(),
                 QStringList{"无法读取文件 batch.csv：这不是普通文件（管道、设备等不能读取）"});
    }

    void theDatabaseInUseIsNeverReadAsATable() {
        // Opening and closing the database file by another handle would drop
        // the program's locks on it: the next program to close the database
        // would then take its write-ahead log away.
        const QString cli = QStandardPaths::findExecutable("sqlite3");
        QVERIFY2(!cli.isEmpty(), "the sqlite3 program is needed");
        Fixture fx(pendingFixture);
        QVERIFY(QFile::exists(fx.db.dbPath() + "-wal"));
        SetNextOpenFileName(fx.db.dbPath());
        QVERIFY(!fx.f->tabBatch->cmdReadFile_Click());
        QVERIFY2(fx.boxes.texts().value(0).contains(QStringLiteral("这是程序正在使用的数据库文件")),
                 qPrintable(fx.boxes.texts().join('\n')));
        QProcess other;
        other.start(cli, {fx.db.dbPath(), "select count(*) from tblProduct;"});
        QVERIFY(other.waitForFinished(30000));
        QVERIFY2(QFile::exists(fx.db.dbPath() + "-wal"), "the write-ahead log was taken away from the open connection");
    }

    void readingALongFileCanBeCancelled() {
        // Over a thousand rows show their progress; Cancel leaves the grid as it was.
        Fixture fx;
        QList<QStringList> table{{"质保产品", "质保卡号", "患者姓"}};
        for (int i = 0; i < 3000; ++i)
            table << QStringList{"钴铬合金烤瓷冠", QStringLiteral("C%1").arg(200000 + i, 8, 10, QLatin1Char('0')), "王"};
        const QString path = fx.dir.filePath("long.csv");
        QString error;
        QVERIFY(WriteCsvFile(path, table, &error));
        bool seen = false;
        QTimer::singleShot(0, fx.f.get(), [&] {
            if (auto* progress = fx.f->findChild<QProgressDialog*>()) {
                seen = progress->isVisible();
                progress->cancel();
            }
        });
        SetNextOpenFileName(path);
        QVERIFY(!fx.f->tabBatch->cmdReadFile_Click());
        QVERIFY(seen);
        QCOMPARE(fx.f->tabBatch->egBatch->Rows(), 1);
        QVERIFY(fx.boxes.shown().isEmpty());
        // Not cancelled, all 3000 arrive.
        SetNextOpenFileName(path);
        QVERIFY(fx.f->tabBatch->cmdReadFile_Click());
        QCOMPARE(fx.f->tabBatch->egBatch->Rows(), 3001);
    }

    void readRowsAreCheckedAndImported() {
        // Rows read go below those typed, and through the check and import
        // as pasted rows do.
        Fixture fx;
        fx.f->stbInfo->setCurrentIndex(3);
        SetNextOpenFileName(QV_TEST_DATA "/batch-gb18030.csv");
        QVERIFY(fx.f->tabBatch->cmdReadFile_Click());
        SetNextOpenFileName(QV_TEST_DATA "/batch-gb18030.csv");
        QVERIFY(fx.f->tabBatch->cmdReadFile_Click());
        QCOMPARE(fx.f->tabBatch->egBatch->Rows(), 5);
        fx.f->tabBatch->egBatch->RemoveRows({3, 4}); // the second reading's rows again
        fx.f->tabBatch->cmdCheck_Click();
        QVERIFY2(fx.f->tabBatch->cmdImport->isEnabled(), qPrintable(fx.boxes.texts().join('\n')));
        fx.boxes.setNextAnswer(MsgYes);
        fx.f->tabBatch->cmdImport_Click();
        QCOMPARE(fx.scalar("select count(*) from tblrecord where fldPrdNo in ('C00000301','D00000031') and fldStatus='00'"),
                 QVariant(qlonglong(2)));
        QCOMPARE(fx.scalar("select fldOpDesp from tblrecord where fldPrdNo='C00000301'"), QVariant("上颌, 前牙"));
    }

    void cardRanges() {
        Fixture fx([] {
            const auto add = [](const char* lab, const char* number) {
                QVariantList p{lab, number};
                QVERIFY(gConn->ExeCommand("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,"
                                          "fldStatus) values (?,'x','C01',?,'甲','00')",
                                          p) >= 0);
            };
            add("1", "C00000100");  // the first two of the range: the next free is 102
            add("1", "C00000101");
            add("1", "C00000110");  // the demo's pending C00000110 once more: one number
            add("1", "C0000010");   // another length: no number of the range
            add("2", "C00000102");  // the related lab's record: not this lab's
            add("3", "C00000103");  // another lab's
            for (int i = 1; i <= 90; ++i) // D00000001-D00000090, the demo's D012 and D020 among them
                add("1", qPrintable(QStringLiteral("D%1").arg(i, 8, 10, QLatin1Char('0'))));
        });
        fx.f->stbInfo->setCurrentWidget(fx.f->tabRanges); // shown: read
        QTableWidget* t = fx.f->tabRanges->lstRanges;
        QStringList lines;
        for (int r = 0; r < t->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < t->columnCount(); ++c)
                cells << t->item(r, c)->text();
            lines << cells.join('|');
        }
        QCOMPARE(lines, (QStringList{"C00000100|C00000500|本所|401|5|396|C00000102",
                                     "D00000001|D00000099|本所|99|90|9|D00000091",
                                     "E00001000|E00001999|本所|1,000|1|999|E00001000",
                                     "C00000600|C00000699|关联加工所|100|0|100|C00000600"}));
        // Less than a tenth left: marked.
        QVERIFY(fx.f->tabRanges->Usages().at(1).low());
        QVERIFY(!fx.f->tabRanges->Usages().at(0).low());
        QCOMPARE(t->item(1, 5)->background().color(), QColor(255, 200, 200));
        // Picking a product offers the next free number of its letter.
        fx.f->stbInfo->setCurrentIndex(0);
        fx.f->tabEntry->cmdNew_Click();
        fx.f->tabEntry->ucProduct->setKey("D01");
        fx.f->tabEntry->ucProduct_Click();
        QCOMPARE(fx.f->tabEntry->txtPrdNo->placeholderText(), QStringLiteral("00000091"));
        fx.f->tabEntry->ucProduct->setKey("C01");
        fx.f->tabEntry->ucProduct_Click();
        QCOMPARE(fx.f->tabEntry->txtPrdNo->placeholderText(), QStringLiteral("00000102"));
    }

    void rangeMeasures_data() {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<qint64>("used");
        QTest::addColumn<QString>("next");
        QTest::newRow("none used") << QStringList{} << qint64(0) << "A0001";
        QTest::newRow("gap after the first") << QStringList{"A0001", "A0003"} << qint64(2) << "A0002";
        QTest::newRow("all used") << QStringList{"A0004", "A0003", "a0002", "A0001", "A0001"} << qint64(4) << "";
        QTest::newRow("outside and foreign") << QStringList{"A0000", "A0005", "B0001", "A001", "A00x1"} << qint64(0)
                                             << "A0001";
    }
    void rangeMeasures() {
        QFETCH(QStringList, numbers);
        QFETCH(qint64, used);
        QFETCH(QString, next);
        const RangeUsage u = MeasureRange({"A0001", "A0004", false}, numbers);
        QCOMPARE(u.size, qint64(4));
        QCOMPARE(u.used, used);
        QCOMPARE(u.left, 4 - used);
        QCOMPARE(u.nextFree, next);
    }
};

QTEST_MAIN(TestFrmLists)
#include "tst_frmLists.moc"
