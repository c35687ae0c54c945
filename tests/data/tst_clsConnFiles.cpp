#include "clsConn.h"
#include "tsDemoDatabase.h"
#include "tsDataBoxes.h"
#include "tsFileSizeLimit.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

class FakeGrid final : public GridLayoutTarget {
public:
    int cols = -1;
    QMap<int, QString> headers;
    QMap<int, int> alignments, widths;
    void SetCols(int c) override { cols = c; }
    void SetHeaderText(int c, const QString& t) override { headers[c] = t; }
    void SetColAlignment(int c, int a) override { alignments[c] = a; }
    void SetColWidth(int c, int w) override { widths[c] = w; }
};

class TestClsConnFiles : public QObject {
    Q_OBJECT
private slots:
    void storedFileRoundTrip_data();
    void storedFileRoundTrip();
    void loadReportWithoutRowWritesNothing();
    void loadReportOnAFullDiskKeepsTheOldFile();
    void saveReportFileOfMissingFile();
    void saveReportFileKeepsNameOfExistingRow();
    void dicMenuInit();
    void opListAndCodes();
    void iniValues();
};

static QByteArray randomBytes(int n) {
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char(QRandomGenerator::global()->bounded(256));
    return b;
}

void TestClsConnFiles::storedFileRoundTrip_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("one byte") << 1;
    QTest::newRow("one read piece") << 2384;
    QTest::newRow("one write piece") << 4096;
    QTest::newRow("100000 bytes") << 100000;
}

void TestClsConnFiles::storedFileRoundTrip() {
    QFETCH(int, size);
    DataBoxes boxes;
    DemoDatabase db;
    const QByteArray bytes = randomBytes(size);
    const QString source = db.folder().file("new-updater.bin");
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    gConn->SaveReportFile(source, "升级程序", "1.0.5", "Update");
    QCOMPARE(db.scalar("select length(fldFile) from tblBasReportFile where fldRptId='Update'").toInt(), size);
    QCOMPARE(db.scalar("select fldName||'/'||FldVersion from tblBasReportFile where fldRptId='Update'"),
             QVariant("升级程序/1.0.5"));
    gConn->LoadReport("Update", "exe", "\\");
    QFile written(db.folder().file("Update.exe"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), bytes);
    QVERIFY(boxes.shown().isEmpty());
}

void TestClsConnFiles::loadReportWithoutRowWritesNothing() {
    DataBoxes boxes;
    DemoDatabase db;
    gConn->LoadReport("System", "exe", "\\");
    QVERIFY(!QFile::exists(db.folder().file("System.exe")));
    // A stored file of no bytes gives an empty file.
    QVariantList p{QByteArray()};
    QCOMPARE(gConn->ExeCommand("insert into tblBasReportFile (fldRptId, fldFile) values ('System', ?)", p), 0);
    gConn->LoadReport("System", "exe", "\\");
    QFile f(db.folder().file("System.exe"));
    QVERIFY(f.exists());
    QCOMPARE(f.size(), 0);
}

void TestClsConnFiles::loadReportOnAFullDiskKeepsTheOldFile() {
    // An update's file that cannot be written whole (files may not grow past
    // 1 KB) leaves the old one as it was and says why.
    DataBoxes boxes;
    DemoDatabase db;
    const QString source = db.folder().file("new-updater.bin");
    {
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(randomBytes(100000));
    }
    gConn->SaveReportFile(source, "升级程序", "1.0.5", "Update");
    const QString target = db.folder().file("Update.exe");
    {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("the old program");
    }
    const ts::LimitedWrite run = ts::WriteWithFileSizeLimit(1024, [](QString* why) {
        try {
            gConn->LoadReport("Update", "exe", "\\");
            return true;
        } catch (const DbError& e) {
            *why = e.description;
            return false;
        }
    });
    QVERIFY(run.ran);
    QVERIFY(!run.written);
    QVERIFY2(run.reason.startsWith("文件没有写成：" + target + "（"), qPrintable(run.reason));
    QFile old(target);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the old program"));
    const QStringList left = QDir(db.folder().path()).entryList(QStringList{"*Update.exe*"}, QDir::Files | QDir::Hidden);
    QCOMPARE(left, QStringList{"Update.exe"});
}

void TestClsConnFiles::saveReportFileOfMissingFile() {
    DataBoxes boxes;
    DemoDatabase db;
    const QString missing = db.folder().file("nothing.exe");
    gConn->SaveReportFile(missing, "n", "v", "Update");
    QCOMPARE(boxes.texts(), QStringList{missing + " 无 内 容 或 不 存 在 !"});
    QCOMPARE(boxes.shown().first().title, QString("Quorvat"));
    QCOMPARE(db.scalar("select count(*) from tblBasReportFile"), QVariant(qlonglong(0)));
    QFile empty(db.folder().file("empty.exe"));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    gConn->SaveReportFile(empty.fileName(), "n", "v", "Update");
    QCOMPARE(boxes.shown().size(), 2);
    QCOMPARE(db.scalar("select count(*) from tblBasReportFile"), QVariant(qlonglong(0)));
}

void TestClsConnFiles::saveReportFileKeepsNameOfExistingRow() {
    DataBoxes boxes;
    DemoDatabase db;
    const QString source = db.folder().file("a.bin");
    for (const QByteArray& content : {QByteArray("first version"), QByteArray("second")}) {
        QFile f(source);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        gConn->SaveReportFile(source, content == "second" ? "renamed" : "original", "v", "System");
    }
    QCOMPARE(db.scalar("select count(*) from tblBasReportFile"), QVariant(qlonglong(1)));
    QCOMPARE(db.scalar("select fldName from tblBasReportFile"), QVariant("original"));
    QCOMPARE(db.scalar("select fldFile from tblBasReportFile"), QVariant(QByteArray("second")));
}

void TestClsConnFiles::dicMenuInit() {
    DataBoxes boxes;
    DemoDatabase db;
    FakeGrid grid;
    gConn->DicMenuInit(&grid, "");
    gConn->DicMenuInit(&grid, "NOSUCH");
    QCOMPARE(grid.cols, -1);
    gConn->DicMenuInit(&grid, "range");
    QCOMPARE(grid.cols, 3);
    QCOMPARE(grid.headers.value(0), QString("起始卡号"));
    QCOMPARE(grid.headers.value(2), QString("制作所"));
    QCOMPARE(grid.widths.value(2), 2000);
    QCOMPARE(grid.alignments.value(1), 1);
}

void TestClsConnFiles::opListAndCodes() {
    DataBoxes boxes;
    DemoDatabase db;
    const vt::ValueArray labs = vt::toArray(gConn->GetOpList("", "", "NOALL"));
    QCOMPARE(labs.cols(), 2);
    QCOMPARE(labs.rows(), 3); // active accounts only
    QVERIFY(vt::isEmpty(gConn->GetOpList("", "", "ALL")));
    const vt::ValueArray codes = vt::toArray(gConn->GetBasCode("Status"));
    QCOMPARE(codes.rows(), 4);
    QCOMPARE(codes.at(1, 3), QVariant("已退回"));
    QVERIFY(vt::isEmpty(gConn->GetBasCode("nothing")));
}

void TestClsConnFiles::iniValues() {
    DataBoxes boxes;
    DemoDatabase db;
    QCOMPARE(gConn->GetBackFile(), QString());
    QCOMPARE(gConn->SetIniValue("SHOW", "BACKFILE", "back.jpg"), QString());
    QCOMPARE(gConn->GetBackFile(), QString("back.jpg"));
    QCOMPARE(gConn->GetIniValue("DATABASE", "databasename", "x"), QString("demo"));
}

QTEST_MAIN(TestClsConnFiles)
#include "tst_clsConnFiles.moc"
