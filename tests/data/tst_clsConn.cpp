#include "clsConn.h"
#include "mduSqlText.h"
#include "vtError.h"
#include "dbSqliteBackend.h"
#include "tsDemoDatabase.h"
#include "tsDataBoxes.h"
#include "tsSyncWatch.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sqlite3.h>

class TestClsConn : public QObject {
    Q_OBJECT
private slots:
    void connectEmbedded();
    void connectFailures_data();
    void connectFailures();
    void getArrayShapes();
    void emptyResults();
    void recordLookup();
    void duplicateColumnNamesCannotLoad();
    void exeCommandBindsByPosition();
    void exeCommandFailureKeepsText();
    void parameterCountMustMatch();
    void exeSPLogging_data();
    void exeSPLogging();
    void exeSPReturnValueAndOutput();
    void logFailureTurnsSuccessIntoFailure();
    void embeddedCommitsAreSynced();
    void chunks();
    void chunkRunWaitsForTheDiskOnce();
    void valuesStoredExactly_data();
    void valuesStoredExactly();
    void transactions();
    void rowsChanged_data();
    void rowsChanged();
    void chunkEarlyReturnsRunNothing_data();
    void chunkEarlyReturnsRunNothing();
    void numberTakenShowsNoBox();
    void numberTakenErrors_data();
    void numberTakenErrors();
    void boxesHeldWhileTransactionOpen();
    void chunkTakesTheWriteLock();
    void identity();
    void checkUser_data();
    void checkUser();
    void signInValuesAndSystemItems();
    void databaseFileInUse();
};

void TestClsConn::connectEmbedded() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(gConn->IsConnected());
    QVERIFY(db.backend());
    QVERIFY(boxes.shown().isEmpty());
    // WAL journal on the program folder's file.
    QCOMPARE(db.scalar("PRAGMA journal_mode").toString(), QString("wal"));
    gConn->DisconnectFromDatabase();
    QVERIFY(!gConn->IsConnected());
    // Operations without a connection fail through the usual handling.
    QVERIFY(vt::isEmpty(gConn->GetArray("select 1")));
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().title, QString("系统提示！"));
}

void TestClsConn::connectFailures_data() {
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<bool>("createFile");
    QTest::newRow("no such database file") << QByteArray() << false;
    QTest::newRow("not a database") << QByteArray(4096, 'x') << true;
    QTest::newRow("empty text file") << QByteArray("hello\n") << true;
}

void TestClsConn::connectFailures() {
    QFETCH(QByteArray, fileBytes);
    QFETCH(bool, createFile);
    DataBoxes boxes;
    TempProgramFolder folder;
    if (createFile) {
        QFile f(folder.file("bad.db"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(fileBytes);
    }
    QString server = "(embedded)", name = "bad";
    QVERIFY(!gConn->ConnectToDatabase(server, name));
    QVERIFY(!gConn->IsConnected());
    QCOMPARE(boxes.texts(), QStringList{"数据库连接失败！"});
    QCOMPARE(boxes.shown().first().title, QString("数据库连接"));
    if (createFile) {
        QFile f(folder.file("bad.db"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), fileBytes); // the file is left as it was
    }
    gConn.reset();
}

void TestClsConn::getArrayShapes() {
    DataBoxes boxes;
    DemoDatabase db;
    const QVariant one = gConn->GetArray("select 1");
    QVERIFY(vt::isArray(one));
    QCOMPARE(vt::toArray(one).ubound(1), 0);
    QCOMPARE(vt::toArray(one).ubound(2), 0);

    const vt::ValueArray makers = vt::toArray(
        gConn->GetArray("select fldsn, fldId, fldsame from tblMaker order by fldsn"));
    QCOMPARE(makers.cols(), 3);
    QCOMPARE(makers.rows(), 4);
    QCOMPARE(makers.at(0, 0).metaType().id(), QMetaType::LongLong);
    QCOMPARE(makers.at(1, 0), QVariant("1001"));
    QCOMPARE(makers.at(2, 0), QVariant(qlonglong(2)));
    QVERIFY(vt::isNull(makers.at(2, 1))); // NULL stays Null
    QVERIFY(boxes.shown().isEmpty());
}

void TestClsConn::emptyResults() {
    DataBoxes boxes;
    DemoDatabase db;
    QVariantList none;
    QVERIFY(vt::isEmpty(gConn->GetArray("select * from tblMaker where fldId='none'")));
    QVERIFY(vt::isEmpty(gConn->GetArray("update tblMaker set fldphone=fldphone where 1=0")));
    QVERIFY(vt::isEmpty(gConn->GetArray("update tblMaker set fldphone='1' where fldId='9001'")));
    QCOMPARE(db.scalar("select fldphone from tblMaker where fldId='9001'"), QVariant("1"));
    QVariantList p{"ZZ", "", "", "", "", ""};
    QVERIFY(vt::isEmpty(gConn->GetSP("upvProducts", p)));

    auto rec = gConn->GetRecord("select * from tblMaker where fldId='none'");
    QVERIFY(rec);
    QCOMPARE(rec->ListCount(), 0);
    QCOMPARE(rec->ColCount(), short(0));
    QVERIFY(vt::isEmpty(rec->GetArray()));
    auto spr = gConn->GetSPR("upvProducts", p);
    QVERIFY(spr);
    QCOMPARE(spr->ListCount(), 0);
    QCOMPARE(spr->ColCount(), short(0));
    QVariantList key{"none"};
    QVERIFY(!gConn->GetCommandR("select * from tblMaker where fldId=?", key));
    QVERIFY(vt::isEmpty(gConn->GetCommand("select * from tblMaker where fldId=?", key)));
    QVERIFY(boxes.shown().isEmpty());
}

void TestClsConn::recordLookup() {
    DataBoxes boxes;
    DemoDatabase db;
    auto rec = gConn->GetRecord("select fldId, fldMakerName from tblMaker where fldsn<=2 order by fldsn");
    QVERIFY(rec);
    QCOMPARE(rec->ListCount(), 2);
    QCOMPARE(rec->ColCount(), short(2));
    QCOMPARE(rec->value("FLDID", 1), QVariant("1002"));
    QCOMPARE(rec->value("fldmakername"), QVariant("华美义齿制作所"));
    QCOMPARE(rec->value(1, 1), QVariant("华美义齿二厂"));
    short i = 1;
    QCOMPARE(rec->GetFieldName(i), QString("fldmakername")); // the column's declared name
    QCOMPARE(rec->GetFieldCount(), short(2));
    try {
        rec->value("fldName", 3);
        QFAIL("no error raised");
    } catch (const vt::Error& e) {
        QCOMPARE(e.number(), 5010);
        QCOMPARE(e.description(), QString("错误的列名或没有记录:fldName"));
    }
    QVERIFY_THROWS_EXCEPTION(vt::Error, rec->value("fldId", 2));
    QVERIFY_THROWS_EXCEPTION(vt::Error, rec->value(2, 0));

    QVariantList pair{"1001", "1234"};
    auto cr = gConn->GetCommandR("select fldsn from tblMaker where fldId=? and fldpassword=?", pair);
    QVERIFY(cr);
    QCOMPARE(cr->value("fldsn"), QVariant(qlonglong(1)));
    // GetCommand takes the elements of a single array element as the parameters.
    QVariantList params{QVariant(pair)};
    const QVariant viaInner =
        gConn->GetCommand("select fldsn from tblMaker where fldId=? and fldpassword=?", params);
    QCOMPARE(vt::toArray(viaInner).at(0, 0), QVariant(qlonglong(1)));
}

void TestClsConn::duplicateColumnNamesCannotLoad() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(!gConn->GetRecord("select fldId, fldid from tblMaker"));
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().title, QString("系统提示！"));
}

void TestClsConn::exeCommandBindsByPosition() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    QVariantList params{"9876", "1001"};
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldpassword = ? where fldid = ?", params), 0);
    QCOMPARE(db.scalar("select fldpassword from tblMaker where fldId='1001'"), QVariant("9876"));
    QCOMPARE(db.scalar("select fldStatement||'|'||fldParams||'|'||fldOpNo from tblExecLog"),
             QVariant("update tblMaker set fldpassword = ? where fldid = ?|9876,1001,|1001"));
    QCOMPARE(gConn->ErrInfo(), QString());
    QVERIFY(boxes.shown().isEmpty());
}

void TestClsConn::exeCommandFailureKeepsText() {
    DataBoxes boxes;
    DemoDatabase db;
    QCOMPARE(gConn->ExeCommand("update nosuchtable set a=1"), -1);
    QVERIFY(gConn->ErrInfo().contains("nosuchtable"));
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().title, QString("系统提示！"));
    QCOMPARE(boxes.shown().first().text, gConn->ErrInfo());
    QCOMPARE(db.scalar("select count(*) from tblExecLog"), QVariant(qlonglong(0)));
    // The next command starts by clearing the kept text.
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone='2' where fldid='1002'"), 0);
    QCOMPARE(gConn->ErrInfo(), QString());
}

void TestClsConn::parameterCountMustMatch() {
    DataBoxes boxes;
    DemoDatabase db;
    QVariantList one{"x"};
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone=? where fldid=?", one), -1);
    QVariantList three{"x", "1001", "y"};
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone=? where fldid=?", three), -1);
    QCOMPARE(boxes.shown().size(), 2);
    QCOMPARE(db.scalar("select count(*) from tblMaker where fldphone='x'"), QVariant(qlonglong(0)));
}

static void defineTestProcedures(SqliteBackend* b) {
    DbParamInfo ret;
    ret.direction = ParamDirection::ReturnValue;
    DbParamInfo in;
    DbParamInfo inOut;
    inOut.direction = ParamDirection::InputOutput;
    for (const char* name : {"upvTest", "upVTest", "UPVTest", "UPvTest", "uPvTest", "spTest"})
        b->defineProcedure(name, {{ret, in}, [](SqliteBackend&, QList<DbParam>&) {
                                      DbResult r;
                                      r.returnValue = 5;
                                      return r;
                                  }});
    b->defineProcedure("spNoReturn", {{ret, in}, [](SqliteBackend&, QList<DbParam>&) { return DbResult(); }});
    b->defineProcedure("spDouble", {{ret, in, inOut}, [](SqliteBackend&, QList<DbParam>& p) {
                                        p[2].value = p[1].value.toInt() * 2;
                                        DbResult r;
                                        r.returnValue = 0;
                                        return r;
                                    }});
}

void TestClsConn::exeSPLogging_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("logged");
    QTest::newRow("upv") << "upvTest" << false;
    QTest::newRow("upV") << "upVTest" << false;
    QTest::newRow("UPV") << "UPVTest" << false;
    QTest::newRow("UPv") << "UPvTest" << true;
    QTest::newRow("uPv") << "uPvTest" << true;
    QTest::newRow("sp") << "spTest" << true;
}

void TestClsConn::exeSPLogging() {
    QFETCH(QString, name);
    QFETCH(bool, logged);
    DataBoxes boxes;
    DemoDatabase db;
    defineTestProcedures(db.backend());
    QVariantList params{"A"};
    QCOMPARE(gConn->ExeSP(name, params), QVariant(5));
    QCOMPARE(db.scalar("select count(*) from tblExecLog").toInt(), logged ? 1 : 0);
    if (logged)
        QCOMPARE(db.scalar("select fldStatement||'|'||fldParams from tblExecLog"), QVariant(name + "|A,"));
}

void TestClsConn::exeSPReturnValueAndOutput() {
    DataBoxes boxes;
    DemoDatabase db;
    defineTestProcedures(db.backend());
    QVariantList p{"A"};
    QCOMPARE(gConn->ExeSP("spNoReturn", p), QVariant(-1));
    QVariantList d{21, 0};
    QCOMPARE(gConn->ExeSP("spDouble", d), QVariant(0));
    QCOMPARE(d[1], QVariant(42));
    QVariantList g{4, 0};
    QVERIFY(vt::isEmpty(gConn->GetSP("spDouble", g)));
    QCOMPARE(g[1], QVariant(8));
    // More values than the procedure has parameters is an error.
    QVariantList tooMany{1, 2, 3};
    QVERIFY(vt::isEmpty(gConn->ExeSP("spDouble", tooMany)));
    QVERIFY(vt::isEmpty(gConn->ExeSP("noSuchProcedure", p)));
    QCOMPARE(boxes.shown().size(), 2);
}

// Each commit of the embedded database reaches the disk before Save is
// confirmed: WAL with full syncs, not only the crash safety of NORMAL.
void TestClsConn::embeddedCommitsAreSynced() {
    DataBoxes boxes;
    DemoDatabase db;
    QCOMPARE(vt::toArray(gConn->GetArray("PRAGMA synchronous")).at(0, 0).toInt(), 2);
    QCOMPARE(vt::toArray(gConn->GetArray("PRAGMA journal_mode")).at(0, 0).toString(), QString("wal"));
}

// Rows in a chunk are stored together or not at all; a failing row is
// rolled back alone; a chunk whose connection was rebuilt never commits.
void TestClsConn::chunks() {
    DataBoxes boxes;
    DemoDatabase db;
    const auto insert = [](const QString& no) {
        return QString("insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values ('1','%1','00')").arg(no);
    };
    const auto count = [&db](const QString& no) {
        return db.scalar(QString("select count(*) from tblrecord where fldPrdNo='%1'").arg(no)).toInt();
    };
    QVERIFY(gConn->BeginChunk());
    QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk(insert("X1"))));
    QVERIFY(!gConn->CommandRan(gConn->ExeCommandInChunk("insert into noSuchTable values (1)")));
    QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk(insert("X2"))));
    QCOMPARE(count("X1"), 0); // not visible before the commit
    QVERIFY(gConn->CommitChunk());
    QCOMPARE(count("X1") + count("X2"), 2);
    QCOMPARE(db.scalar("select count(*) from tblExecLog where fldStatement like '%''X_''%'").toInt(), 2);
    // Rolled back: nothing of it.
    QVERIFY(gConn->BeginChunk());
    gConn->ExeCommandInChunk(insert("X3"));
    gConn->RollbackChunk();
    QCOMPARE(count("X3"), 0);
    // The connection rebuilt in the middle: the chunk is not committed.
    boxes.clear();
    QVERIFY(gConn->BeginChunk());
    gConn->ExeCommandInChunk(insert("X4"));
    QString server = "(embedded)", name = "demo";
    QVERIFY(gConn->ConnectToDatabase(server, name));
    QCOMPARE(gConn->ExeCommandInChunk(insert("X5")), -1);
    QVERIFY(!gConn->CommitChunk());
    QCOMPARE(count("X4") + count("X5"), 0);
    QCOMPARE(boxes.texts(), QStringList{"连接已重建，本批未保存"});
}

// A run of chunks: the chunks' commits do not sync the log (a log begun anew
// syncs its header once), the end of the run does, after the last of them;
// then commits wait for the disk again.
void TestClsConn::chunkRunWaitsForTheDiskOnce() {
    SyncWatch watch;
    DataBoxes boxes;
    DemoDatabase db;
    const auto synchronous = [] { return vt::toArray(gConn->GetArray("PRAGMA synchronous")).at(0, 0).toInt(); };
    watch.reset();
    gConn->BeginChunkRun();
    QCOMPARE(synchronous(), 1);
    for (int chunk = 0; chunk < 5; ++chunk) {
        QVERIFY(gConn->BeginChunk());
        for (int i = 0; i < 20; ++i)
            gConn->ExeCommandInChunk(QString("insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values ('1','R%1%2','00')").arg(chunk).arg(i, 2, 10, QChar('0')));
        QVERIFY(gConn->CommitChunk());
    }
    QVERIFY(watch.logSyncs() <= 1);
    QVERIFY(!watch.logSyncedAfterLastWrite());
    QVERIFY(gConn->EndChunkRun());
    QVERIFY(watch.logSyncedAfterLastWrite());
    QCOMPARE(synchronous(), 2);
    QCOMPARE(db.scalar("select count(*) from tblrecord where fldPrdNo like 'R%'").toInt(), 100);
    QVERIFY(boxes.texts().isEmpty());
    // Outside a run each commit syncs the log itself.
    watch.reset();
    QVERIFY(gConn->BeginChunk());
    gConn->ExeCommandInChunk("insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values ('1','R300','00')");
    QVERIFY(gConn->CommitChunk());
    QVERIFY(watch.logSyncedAfterLastWrite());
}

void TestClsConn::logFailureTurnsSuccessIntoFailure() {
    DataBoxes boxes;
    DemoDatabase db;
    defineTestProcedures(db.backend());
    QCOMPARE(gConn->ExeCommand("drop table tblExecLog"), -1); // the log of the drop itself fails
    QCOMPARE(gConn->ErrInfo(), QString("日志记录失败"));
    const int result = gConn->ExeCommand("update tblMaker set fldphone='3' where fldid='1002'");
    QCOMPARE(result, -1);
    QCOMPARE(db.scalar("select fldphone from tblMaker where fldid='1002'"), QVariant("3"));
    // The statement itself ran: callers must treat it as done, or a repeat
    // stores it twice.
    QVERIFY(gConn->CommandRan(result));
    QVariantList p{"A"};
    QCOMPARE(gConn->ExeSP("spTest", p), QVariant(-1));
    QCOMPARE(gConn->ErrInfo(), QString("日志记录失败,日志记录失败"));
    QVERIFY(boxes.shown().isEmpty()); // a log failure shows nothing
    const int failed = gConn->ExeCommand("update noSuchTable set x=1");
    QVERIFY(!gConn->CommandRan(failed));
}

void TestClsConn::valuesStoredExactly_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("quote") << "O'Brien";
    QTest::newRow("quotes and comment") << "x'); delete from tblrecord; --";
    QTest::newRow("backslash") << "C:\\temp\\'\\";
    QTest::newRow("semicolon and percent") << "50%_off; select 1";
    QTest::newRow("chinese") << "北京口腔医院（东城）";
    QTest::newRow("double quote") << "say \"hi\"";
}

void TestClsConn::valuesStoredExactly() {
    QFETCH(QString, value);
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    const QVariant before = db.scalar("select count(*) from tblrecord");
    // As a parameter ...
    QVariantList params{value, value};
    QCOMPARE(gConn->ExeCommand("insert into tblrecord (fldMsn, fldHospital, fldMemo) values (1, ?, ?)", params), 0);
    // ... and spliced between quotes with the quotes doubled.
    QCOMPARE(gConn->ExeCommand("insert into tblrecord (fldMsn, fldHospital) select 1,'" +
                               SqlQuote(value) + "'"),
             0);
    QCOMPARE(db.scalar("select count(*) from tblrecord").toInt(), before.toInt() + 2);
    const vt::ValueArray rows = vt::toArray(gConn->GetArray(
        "select fldHospital from tblrecord where fldHospital='" + SqlQuote(value) + "'"));
    QCOMPARE(rows.rows(), 2);
    QCOMPARE(rows.at(0, 0).toString(), value);
    QCOMPARE(rows.at(0, 1).toString(), value);
    QVERIFY(boxes.shown().isEmpty());
}

void TestClsConn::transactions() {
    DataBoxes boxes;
    DemoDatabase db;
    gConn->BeginTrans();
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone='R' where fldid='1001'"), 0);
    QCOMPARE(gConn->ExeCommand("update nosuch set a=1"), -1);
    QVERIFY(!gConn->ErrInfo().isEmpty());
    gConn->RollbackTrans();
    QCOMPARE(gConn->ErrInfo(), QString());
    QCOMPARE(db.scalar("select fldphone from tblMaker where fldid='1001'"), QVariant("010-62345678"));
    gConn->BeginTrans();
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone='C' where fldid='1001'"), 0);
    gConn->CommitTrans();
    QCOMPARE(db.scalar("select fldphone from tblMaker where fldid='1001'"), QVariant("C"));
}

// The rows a statement changed, as the backend counts them: the statement's
// own, not those its triggers change.
void TestClsConn::rowsChanged_data() {
    QTest::addColumn<QString>("sql");
    QTest::addColumn<qint64>("changed");
    QTest::newRow("insert") << "insert into tRows (a) values (9)" << qint64(1);
    QTest::newRow("update of several") << "update tRows set a=a+10 where a>1" << qint64(2);
    QTest::newRow("update of none") << "update tRows set a=0 where a>99" << qint64(0);
    QTest::newRow("delete") << "delete from tRows where a<3" << qint64(2);
    QTest::newRow("only the statement's own rows") << "update tRows set a=5 where a=3" << qint64(1);
    QTest::newRow("a query") << "select * from tRows" << qint64(-1);
    QTest::newRow("a failing statement") << "update tNone set a=1" << qint64(-1);
}

void TestClsConn::rowsChanged() {
    QFETCH(QString, sql);
    QFETCH(qint64, changed);
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(gConn->CommandRan(gConn->ExeCommand("create table tRows (a integer)")));
    QVERIFY(gConn->CommandRan(gConn->ExeCommand("create table tSeen (a integer)")));
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(
        "create trigger tRowsSeen after update on tRows when new.a=5 begin insert into tSeen values (1); "
        "insert into tSeen values (2); end")));
    QVERIFY(gConn->CommandRan(gConn->ExeCommand("insert into tRows (a) values (1),(2),(3)")));
    QCOMPARE(gConn->RowsChanged(), qint64(3));
    gConn->ExeCommand(sql);
    QCOMPARE(gConn->RowsChanged(), changed);
}

// Every way ExeCommandInChunk returns before its statement ran clears the
// flag CommandRan reads: a status change that never ran is not counted as
// run because the statement before it ran.
void TestClsConn::chunkEarlyReturnsRunNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("no chunk open") << "none";
    QTest::newRow("chunk given up") << "broken";
    QTest::newRow("connection rebuilt") << "rebuilt";
    QTest::newRow("savepoint step failed") << "release";
}

void TestClsConn::chunkEarlyReturnsRunNothing() {
    QFETCH(QString, how);
    DataBoxes boxes;
    DemoDatabase db;
    const QString ok = "update tblMaker set fldphone='1' where fldid='1001'";
    if (how != "none")
        QVERIFY(gConn->BeginChunk());
    // The statement before ran: the flag is set.
    QVERIFY(gConn->CommandRan(how == "none" ? gConn->ExeCommand(ok) : gConn->ExeCommandInChunk(ok)));
    if (how == "broken") {
        // A statement that ends the chunk's transaction itself: the row's
        // savepoint is gone, and the chunk is given up.
        QVERIFY(!gConn->CommandRan(gConn->ExeCommandInChunk("commit")));
    } else if (how == "rebuilt") {
        QString server = "(embedded)", name = "demo";
        QVERIFY(gConn->ConnectToDatabase(server, name));
    }
    const int result = how == "release" ? gConn->ExeCommandInChunk("release savepoint qvrow")
                                        : gConn->ExeCommandInChunk("update tblMaker set fldphone='2' where fldid='1001'");
    QCOMPARE(result, -1);
    QVERIFY(!gConn->CommandRan(result));
    QCOMPARE(gConn->RowsChanged(), qint64(-1));
    if (how != "none")
        gConn->RollbackChunk();
    QCOMPARE(db.scalar("select fldphone from tblMaker where fldid='1001'").toString(), QString(how == "none" || how == "broken" ? "1" : "010-62345678"));
}

// The database's refusal of a number another record holds is no fault to
// show: the connection keeps quiet, says so, and the record stays pending.
void TestClsConn::numberTakenShowsNoBox() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(db.signIn());
    // C00000120 is submitted in the demo data; a pending copy of it.
    QVERIFY(gConn->CommandRan(gConn->ExeCommand(
        "insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values (1,'C00000120','00'),(1,'C00000121','00'),"
        "(1,'c00000120','00')")));
    const QString key = db.scalar("select min(fldsn) from tblrecord where fldPrdNo='C00000120' and fldStatus='00'").toString();
    const QString other = db.scalar("select fldsn from tblrecord where fldPrdNo='C00000121'").toString();
    const int r = gConn->ExeCommand("update tblrecord set fldStatus='01' where fldsn='" + key + "'");
    QCOMPARE(r, -1);
    QVERIFY(!gConn->CommandRan(r));
    QVERIFY(gConn->NumberTaken());
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(gConn->ErrInfo().contains("UNIQUE"));
    QCOMPARE(db.scalar("select fldStatus from tblrecord where fldsn=" + key).toString(), QString("00"));
    // Letter case does not make another number.
    const QString lower = db.scalar("select fldsn from tblrecord where fldPrdNo='c00000120' collate binary").toString();
    QCOMPARE(gConn->ExeCommand("update tblrecord set fldStatus='03' where fldsn='" + lower + "'"), -1);
    QVERIFY(gConn->NumberTaken());
    // In a chunk the refused row alone is rolled back; the others commit.
    QVERIFY(gConn->BeginChunk());
    QCOMPARE(gConn->ExeCommandInChunk("update tblrecord set fldStatus='01' where fldsn='" + key + "'"), -1);
    QVERIFY(gConn->NumberTaken());
    QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk("update tblrecord set fldStatus='01' where fldsn='" + other + "'")));
    QVERIFY(!gConn->NumberTaken());
    QVERIFY(gConn->CommitChunk());
    QCOMPARE(db.scalar("select fldStatus from tblrecord where fldsn=" + other).toString(), QString("01"));
    QCOMPARE(db.scalar("select count(*) from tblrecord where fldPrdNo='C00000120' and fldStatus>'00'").toInt(), 1);
    QVERIFY(boxes.shown().isEmpty());
    // Any other refusal of the database is shown as before.
    QCOMPARE(gConn->ExeCommand("insert into tblMaker (fldId) values ('1001')"), -1);
    QVERIFY(!gConn->NumberTaken());
    QCOMPARE(boxes.shown().size(), 1);
}

// The refusal is told by the rule's names in a constraint failure, in the
// words of either backend and in the language the server answers in.
void TestClsConn::numberTakenErrors_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("taken");
    QTest::newRow("embedded") << "[SQLite] UNIQUE constraint failed: tblrecord.fldPrdNo" << "23000" << true;
    QTest::newRow("SQL Server") << "[FreeTDS][SQL Server]Violation of PRIMARY KEY constraint 'pkCardHeld'. Cannot insert "
                                   "duplicate key in object 'dbo.tblCardHeld'. The duplicate key value is (C00000102).\n"
                                   "[FreeTDS][SQL Server]The transaction ended in the trigger. The batch has been aborted."
                                << "23000" << true;
    QTest::newRow("SQL Server in Chinese")
        << "[Microsoft][ODBC SQL Server Driver][SQL Server]违反了 PRIMARY KEY 约束“pkCardHeld”。不能在对象“dbo.tblCardHeld”"
           "中插入重复键。" << "23000" << true;
    QTest::newRow("another key") << "[SQLite] UNIQUE constraint failed: tblMaker.fldId" << "23000" << false;
    QTest::newRow("not a constraint failure") << "invalid object name 'tblCardHeld'" << "42S02" << false;
    QTest::newRow("no state") << "[SQLite] UNIQUE constraint failed: tblrecord.fldPrdNo" << "" << false;
}

void TestClsConn::numberTakenErrors() {
    QFETCH(QString, description);
    QFETCH(QString, state);
    QFETCH(bool, taken);
    QCOMPARE(clsConn::IsNumberTakenError(DbError(description, state)), taken);
    QVERIFY(!clsConn::IsNumberTakenError(std::runtime_error("pkCardHeld")));
}

// While a transaction or chunk is open the connection's boxes, and what
// callers hand it to show, wait; they come after the commit or rollback,
// in the order they arose.
void TestClsConn::boxesHeldWhileTransactionOpen() {
    DataBoxes boxes;
    DemoDatabase db;
    const auto say = [&boxes](const QString& text) { boxes.inform(text, QString(), QString()); };
    QVERIFY(!gConn->HoldsMessages());
    gConn->AfterTransaction([say] { say("outside"); });
    QCOMPARE(boxes.texts(), QStringList{"outside"}); // at once: no transaction
    boxes.clear();
    QVERIFY(gConn->BeginChunk());
    QVERIFY(gConn->HoldsMessages());
    gConn->AfterTransaction([say] { say("range"); });
    QCOMPARE(gConn->ExeCommandInChunk("update tNone set a=1"), -1);
    gConn->AfterTransaction([say] { say("after"); });
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(gConn->CommitChunk());
    QVERIFY(!gConn->HoldsMessages());
    QCOMPARE(boxes.texts().size(), 3);
    QCOMPARE(boxes.texts()[0], QString("range"));
    QVERIFY(boxes.texts()[1].contains("tNone"));
    QCOMPARE(boxes.texts()[2], QString("after"));
    // A transaction of the Part's operations, rolled back.
    boxes.clear();
    gConn->BeginTrans();
    QCOMPARE(gConn->ExeCommand("update tNone set a=1"), -1);
    QVERIFY(boxes.shown().isEmpty());
    gConn->RollbackTrans();
    QCOMPARE(boxes.shown().size(), 1);
    // A chunk rolled back shows what it held too.
    boxes.clear();
    QVERIFY(gConn->BeginChunk());
    gConn->ExeCommandInChunk("update tNone set a=1");
    gConn->RollbackChunk();
    QCOMPARE(boxes.shown().size(), 1);
}

// A chunk writes: it holds the write lock from its first statement on, so a
// second writer waits for it (here: does not get the lock at once) rather
// than both reading and the second failing when it comes to write.
void TestClsConn::chunkTakesTheWriteLock() {
    DataBoxes boxes;
    DemoDatabase db;
    SqliteBackend other;
    other.openFile(db.dbPath(), false);
    sqlite3_busy_timeout(other.handle(), 0);
    QVERIFY(gConn->BeginChunk());
    QVERIFY(vt::isArray(gConn->GetArray("select count(*) from tblrecord"))); // it reads first
    QVERIFY_THROWS_EXCEPTION(DbError, other.beginWriteTransaction());
    QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk("update tblMaker set fldphone='L' where fldid='1001'")));
    QVERIFY(gConn->CommitChunk());
    other.beginWriteTransaction(); // free again
    other.rollbackTransaction();
    QVERIFY(boxes.shown().isEmpty());
}

void TestClsConn::identity() {
    DataBoxes boxes;
    DemoDatabase db;
    QVERIFY(vt::isEmpty(gConn->GetArray("insert into tblrecord (fldMsn) values (1)")));
    QCOMPARE(gConn->IDENTITY(), db.scalar("select max(fldsn) from tblrecord"));
}

void TestClsConn::checkUser_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("found");
    QTest::newRow("demo lab") << "1001" << "1234" << true;
    QTest::newRow("wrong password") << "1001" << "4321" << false;
    QTest::newRow("inactive account") << "1003" << "1111" << false;
    QTest::newRow("non-lab account signs in") << "9001" << "9999" << true;
    QTest::newRow("quote in password") << "1001" << "' or '1'='1" << false;
    QTest::newRow("quote in account") << "1001' --" << "x" << false;
    QTest::newRow("empty") << "" << "" << false;
}

void TestClsConn::checkUser() {
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(bool, found);
    DataBoxes boxes;
    DemoDatabase db;
    QCOMPARE(db.signIn(account, password), found);
    QVERIFY(boxes.shown().isEmpty());
}

void TestClsConn::signInValuesAndSystemItems() {
    DataBoxes boxes;
    DemoDatabase db;
    QVariantList p{"O'Neil'", "1002"};
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldpassword=? where fldid=?", p), 0);
    QVERIFY(!db.signIn("1001", "wrong"));
    QCOMPARE(gConn->OpNo(), QVariant(QString()));
    QVERIFY(db.signIn("1001", "1234"));
    QCOMPARE(gConn->OpNo(), QVariant("1001"));
    QCOMPARE(gConn->OpId(), QVariant("1"));
    QCOMPARE(gConn->OpId2(), QVariant("2"));
    QCOMPARE(gConn->OpName(), QVariant("王建国"));
    QCOMPARE(gConn->OpCom(), QVariant("华美义齿制作所"));
    QCOMPARE(gConn->OpType(), QVariant("01"));
    QCOMPARE(gConn->OpGroup(), QVariant(QString()));
    QCOMPARE(gConn->Version, QString("1.0.4"));
    QCOMPARE(gConn->Company, QString("齿科材料供应中心"));
    QVERIFY(db.signIn("1002", "O'Neil'"));
    QCOMPARE(gConn->OpId2(), QVariant(QString())); // fldsame NULL
    QVERIFY(db.signIn("9001", "9999"));
    QCOMPARE(gConn->OpType(), QVariant("02"));
}

// The database in use and its journals are told apart from other files, by
// whatever path names them; a connection without a file of its own has none.
void TestClsConn::databaseFileInUse() {
    DataBoxes boxes;
    DemoDatabase db;
    QFile other(db.folder().file("batch.csv"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("a,b\n");
    other.close();
    QVERIFY(QFile::exists(db.dbPath() + "-wal"));
    QVERIFY(gConn->IsDatabaseFile(db.dbPath()));
    QVERIFY(gConn->IsDatabaseFile(db.dbPath() + "-wal"));
    const QString dir = QFileInfo(db.dbPath()).absolutePath();
    QVERIFY(gConn->IsDatabaseFile(dir + "/./" + QFileInfo(db.dbPath()).fileName()));
    QVERIFY(!gConn->IsDatabaseFile(other.fileName()));
    QVERIFY(!gConn->IsDatabaseFile(dir));
    QVERIFY(!gConn->IsDatabaseFile(db.dbPath() + ".missing"));
    // A copy of the database is another file.
    QVERIFY(QFile::copy(db.dbPath(), db.folder().file("copy.db")));
    QVERIFY(!gConn->IsDatabaseFile(db.folder().file("copy.db")));
    gConn->DisconnectFromDatabase();
    QVERIFY(!gConn->IsDatabaseFile(db.dbPath()));
    QVERIFY(boxes.shown().isEmpty());
}

QTEST_MAIN(TestClsConn)
#include "tst_clsConn.moc"
