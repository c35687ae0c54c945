// The ODBC backend on plain SQL, run against the SQLite ODBC driver that a
// test-local odbcinst.ini registers under the name "SQL Server".
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbOdbcBackend.h"
#include "tsDataBoxes.h"
#include "tsProgramFolder.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

class TestOdbcBackend : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void connectionStringIsSplicedAsGiven();
    void textParametersAndFetch();
    void binaries_data();
    void binaries();
    void errorsAreShownAndKept();
    void connectThroughDataSource();
    void chunksWithSavepoints();
    void rowsChanged();

private:
    bool connect();
    QTemporaryDir m_odbc;
    QString m_db;
    QString m_lastConnectionString;
};

void TestOdbcBackend::initTestCase() {
    QVERIFY(QFile::exists(QV_SQLITE_ODBC_DRIVER));
    QFile inst(m_odbc.filePath("odbcinst.ini"));
    QVERIFY(inst.open(QIODevice::WriteOnly));
    inst.write("[SQL Server]\nDescription=SQLite 3 standing in for the server\nDriver=" QV_SQLITE_ODBC_DRIVER "\n");
    inst.close();
    qputenv("ODBCSYSINI", m_odbc.path().toLocal8Bit());
    qputenv("ODBCINSTINI", "odbcinst.ini");
    qputenv("ODBCINI", m_odbc.filePath("odbc.ini").toLocal8Bit());
}

void TestOdbcBackend::init() {
    m_db = m_odbc.filePath(QString("wty%1.db").arg(QRandomGenerator::global()->generate()));
    CreateEmbeddedDatabase(m_db, true);
    SetBackendFactory([this](const ConnectRequest& r) -> std::unique_ptr<DbBackend> {
        m_lastConnectionString = r.connectionString;
        return std::make_unique<OdbcBackend>();
    });
}

void TestOdbcBackend::cleanup() {
    gConn.reset();
    SetBackendFactory({});
}

bool TestOdbcBackend::connect() {
    QString server = "srv01", db = m_db;
    return gConn->ConnectToDatabase(server, db);
}

void TestOdbcBackend::connectionStringIsSplicedAsGiven() {
    DataBoxes boxes;
    QVERIFY(connect());
    QCOMPARE(m_lastConnectionString, "driver={SQL Server};server=srv01;uid=;pwd=;database=" + m_db);
    QString server = "srv02", db = m_db;
    QVERIFY(gConn->ConnectToDatabase(server, db, "lab", "pw"));
    QCOMPARE(m_lastConnectionString, "driver={SQL Server};server=srv02;uid=lab;pwd=pw;database=" + m_db);
    QVERIFY(boxes.shown().isEmpty());
    // The driver names its server; only SQL Server is asked for its collation.
    QCOMPARE(gConn->GetConnection()->dbmsName(), QString("SQLite"));
}

void TestOdbcBackend::textParametersAndFetch() {
    DataBoxes boxes;
    QVERIFY(connect());
    const vt::ValueArray makers =
        vt::toArray(gConn->GetArray("select fldsn, fldId, fldmakername, fldsame from tblMaker order by fldsn"));
    QCOMPARE(makers.rows(), 4);
    QCOMPARE(makers.cols(), 4);
    QCOMPARE(makers.at(0, 3).toLongLong(), 4);
    QCOMPARE(makers.at(1, 0), QVariant("1001"));
    QCOMPARE(makers.at(2, 0), QVariant("华美义齿制作所"));
    QVERIFY(vt::isNull(makers.at(3, 1)));
    QVERIFY(vt::isEmpty(gConn->GetArray("select * from tblMaker where fldId='none'")));

    // Two markers bound by position; the execution log procedure runs on
    // this driver as the embedded database runs it, and logs the statement.
    const QString odd = "O'Brien -- ; \\ 中文 %_";
    QVariantList params{odd, "1002"};
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldcontactor = ? where fldid = ?", params), 0);
    QCOMPARE(gConn->ErrInfo(), QString());
    const vt::ValueArray logged = vt::toArray(gConn->GetArray("select fldStatement from tblExecLog"));
    QCOMPARE(logged.rows(), 1);
    QCOMPARE(logged.at(0, 0), QVariant("update tblMaker set fldcontactor = ? where fldid = ?"));
    QVariantList key{"1002"};
    const vt::ValueArray back = vt::toArray(gConn->GetCommand("select fldcontactor from tblMaker where fldid=?", key));
    QCOMPARE(back.at(0, 0), QVariant(odd));
    QCOMPARE(vt::toArray(gConn->GetArray("select count(*) from tblMaker")).at(0, 0).toInt(), 4);
    QVERIFY(boxes.shown().isEmpty());
}

void TestOdbcBackend::binaries_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("0 bytes") << 0;
    QTest::newRow("2384 bytes") << 2384;
    QTest::newRow("100000 bytes") << 100000;
}

void TestOdbcBackend::binaries() {
    QFETCH(int, size);
    DataBoxes boxes;
    QVERIFY(connect());
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(QRandomGenerator::global()->bounded(256));
    QVariantList params{bytes};
    gConn->ExeCommand("insert into tblBasReportFile (fldRptId, fldFile) values ('Update', ?)", params);
    const vt::ValueArray row =
        vt::toArray(gConn->GetArray("select fldFile, length(fldFile) from tblBasReportFile where fldRptId='Update'"));
    QCOMPARE(row.rows(), 1);
    QCOMPARE(row.at(1, 0).toInt(), size);
    QCOMPARE(row.at(0, 0).toByteArray(), bytes);
    // Stored files go through the same pieces.
    TempProgramFolder folder;
    gConn->LoadReport("Update", "exe", "\\");
    QFile written(folder.file("Update.exe"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), bytes);
}

void TestOdbcBackend::errorsAreShownAndKept() {
    DataBoxes boxes;
    QVERIFY(connect());
    QVERIFY(vt::isEmpty(gConn->GetArray("select * from nosuchtable")));
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().title, QString("系统提示！"));
    QVERIFY2(gConn->ErrInfo().contains("nosuchtable"), qPrintable(gConn->ErrInfo()));
    QCOMPARE(gConn->ExeCommand("insert into nosuchtable values (1)"), -1);
    QCOMPARE(boxes.shown().size(), 2);
}

// The driver's count of changed rows reaches the connection object.
void TestOdbcBackend::rowsChanged() {
    DataBoxes boxes;
    QVERIFY(connect());
    gConn->ExeCommand("update tblMaker set fldphone='1' where fldmakertype='01'");
    QVERIFY(gConn->CommandRan(-1)); // ran; only this database's log is missing
    QCOMPARE(gConn->RowsChanged(), qint64(3));
    gConn->ExeCommand("update tblMaker set fldphone='1' where fldId='none'");
    QCOMPARE(gConn->RowsChanged(), qint64(0));
    gConn->ExeCommand("select * from tblMaker");
    QCOMPARE(gConn->RowsChanged(), qint64(-1));
    QVERIFY(boxes.shown().isEmpty());
}

void TestOdbcBackend::connectThroughDataSource() {
    DataBoxes boxes;
    QFile ini(m_odbc.filePath("odbc.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(("[TESTDBS]\nDriver=SQL Server\nDatabase=" + m_db + "\n").toUtf8());
    ini.close();
    QVERIFY(gConn->ConnectToODBC("TESTDBS"));
    QCOMPARE(m_lastConnectionString, QString("dsn=TESTDBS;UID=sa;pwd="));
    QCOMPARE(vt::toArray(gConn->GetArray("select count(*) from tblMaker")).at(0, 0).toInt(), 4);
    QVERIFY(!gConn->ConnectToODBC("NOSUCHDSN"));
    QCOMPARE(boxes.texts(), QStringList{"数据库连接失败！"});
}

// A chunk through the driver's transaction calls and the server's
// savepoints: the failing row is rolled back alone, the rest committed.
void TestOdbcBackend::chunksWithSavepoints() {
    DataBoxes boxes;
    QVERIFY(connect());
    QVERIFY(gConn->BeginChunk());
    QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk("update tblMaker set fldphone='c1' where fldid='1002'")));
    QVERIFY(!gConn->CommandRan(gConn->ExeCommandInChunk("update nosuchtable set x=1")));
    QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk("update tblMaker set fldcontactor='c2' where fldid='1002'")));
    QVERIFY(gConn->CommitChunk());
    const vt::ValueArray row =
        vt::toArray(gConn->GetArray("select fldphone, fldcontactor from tblMaker where fldid='1002'"));
    QCOMPARE(row.at(0, 0), QVariant("c1"));
    QCOMPARE(row.at(1, 0), QVariant("c2"));
    QVERIFY(gConn->BeginChunk());
    gConn->ExeCommandInChunk("update tblMaker set fldphone='gone' where fldid='1002'");
    gConn->RollbackChunk();
    QCOMPARE(vt::toArray(gConn->GetArray("select fldphone from tblMaker where fldid='1002'")).at(0, 0), QVariant("c1"));
}

QTEST_MAIN(TestOdbcBackend)
#include "tst_odbcBackend.moc"
