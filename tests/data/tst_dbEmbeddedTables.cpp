// A SQLite file that is not this program's database is refused when it is
// opened, before anything of it changes (its journal mode included), with a
// message that names it; a database still to be made is made as before.
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbEmbeddedTables.h"
#include "dbSqliteBackend.h"
#include "tsDataBoxes.h"
#include "tsProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sqlite3.h>

namespace {

// Another program's database, written with SQLite alone.
bool makeForeignFile(const QString& path, const QString& script) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK &&
              sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    return ok;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList besideFiles(const QString& path) {
    QStringList found;
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        if (QFile::exists(path + QLatin1String(suffix)))
            found << path + QLatin1String(suffix);
    return found;
}

} // namespace

class TestDbEmbeddedTables : public QObject {
    Q_OBJECT
private slots:
    void programsTables_data();
    void programsTables();
    void foreignFileRefusedUntouched_data();
    void foreignFileRefusedUntouched();
    void newDatabaseStillMade_data();
    void newDatabaseStillMade();
    void ownDatabaseWithATableLostStillOpens();
};

void TestDbEmbeddedTables::programsTables_data() {
    QTest::addColumn<QStringList>("tables");
    QTest::addColumn<bool>("programs");
    QTest::newRow("none") << QStringList() << false;
    QTest::newRow("only others") << QStringList{"customers", "orders", "sqlite_sequence"} << false;
    QTest::newRow("all, with others") << (EmbeddedTableNames() + QStringList{"tblClaim"}) << true;
    QTest::newRow("names in another case") << QStringList{"TBLMAKER", "tblsystem", "TblProduct", "TBLRECORD"} << true;
    QTest::newRow("one lost: still its own") << EmbeddedTableNames().mid(1) << true;
    QTest::newRow("one left: still its own") << QStringList{"customers", "tblExecLog"} << true;
}

void TestDbEmbeddedTables::programsTables() {
    QFETCH(QStringList, tables);
    QFETCH(bool, programs);
    QCOMPARE(HasEmbeddedTables(tables), programs);
}

void TestDbEmbeddedTables::foreignFileRefusedUntouched_data() {
    QTest::addColumn<QString>("script"); // empty: a file of no bytes
    QTest::newRow("another program's, rollback journal")
        << "create table customers (id integer primary key, fldid text); insert into customers values (1, 'a');";
    QTest::newRow("another program's, already in WAL")
        << "PRAGMA journal_mode=WAL; create table customers (id integer primary key); insert into customers values (7);";
    QTest::newRow("another program's, with an index and a view")
        << "create table orders (id integer primary key autoincrement, fldid text); create index ixOrders on "
           "orders (fldid); create view vOrders as select * from orders; insert into orders (fldid) values ('x');";
    QTest::newRow("no bytes at all") << "";
}

void TestDbEmbeddedTables::foreignFileRefusedUntouched() {
    QFETCH(QString, script);
    DataBoxes boxes;
    TempProgramFolder folder;
    const QString path = folder.file("demo.db");
    if (script.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(makeForeignFile(path, script));
    }
    QVERIFY(besideFiles(path).isEmpty());
    const QByteArray before = readFile(path);
    const QDateTime modified = QFileInfo(path).lastModified();

    QString server = "(embedded)", name = "demo";
    QVERIFY(!gConn->ConnectToDatabase(server, name));
    QVERIFY(!gConn->IsConnected());
    QCOMPARE(boxes.texts(), QStringList{"数据库连接失败！"});
    const QString detail = boxes.shown().first().detail;
    QVERIFY2(detail.contains(QDir::toNativeSeparators(path)), qPrintable(detail));
    QVERIFY2(detail.contains("不是本程序的数据库"), qPrintable(detail));
    QVERIFY(!detail.contains("no such"));
    gConn.reset();

    // Opened directly, as the tools do: the same refusal.
    SqliteBackend direct;
    try {
        direct.openFile(path, false);
        QFAIL("another program's file was opened");
    } catch (const DbError& e) {
        QCOMPARE(e.description, ForeignDatabaseMessage(path));
    }
    QVERIFY(!direct.isOpen());

    QCOMPARE(readFile(path), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(besideFiles(path), QStringList());
}

void TestDbEmbeddedTables::newDatabaseStillMade_data() {
    QTest::addColumn<bool>("emptyFileThere");
    QTest::newRow("no file yet") << false;
    QTest::newRow("an empty file") << true;
}

// The file the program makes its database in: opened to be made, a
// database without any table is not another program's.
void TestDbEmbeddedTables::newDatabaseStillMade() {
    QFETCH(bool, emptyFileThere);
    TempProgramFolder folder;
    const QString path = folder.file("new.db");
    if (emptyFileThere) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    {
        SqliteBackend made;
        made.openFile(path, true);
        made.executeScript(EmbeddedSchemaSql());
    }
    SqliteBackend opened;
    opened.openFile(path, false);
    QCOMPARE(opened.executeNative("select count(*) from tblrecord", {}).rows.at(0, 0).toInt(), 0);
    // A file with someone else's tables is not made into one, though.
    const QString other = folder.file("other.db");
    QVERIFY(makeForeignFile(other, "create table customers (id integer);"));
    const QByteArray before = readFile(other);
    SqliteBackend refused;
    QVERIFY_THROWS_EXCEPTION(DbError, refused.openFile(other, true));
    QCOMPARE(readFile(other), before);
}

// The program's own database that has lost a table is not another
// program's: it opens, and what needs the table says so.
void TestDbEmbeddedTables::ownDatabaseWithATableLostStillOpens() {
    DataBoxes boxes;
    TempProgramFolder folder;
    const QString path = folder.file("demo.db");
    CreateEmbeddedDatabase(path, true);
    {
        SqliteBackend direct;
        direct.openFile(path, false);
        direct.executeScript("drop table tblMaker;");
    }
    QString server = "(embedded)", name = "demo";
    QVERIFY(gConn->ConnectToDatabase(server, name));
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(vt::isEmpty(gConn->GetArray("select fldid from tblMaker")));
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY2(boxes.shown().first().text.contains("tblMaker"), qPrintable(boxes.shown().first().text));
    gConn.reset();
}

QTEST_GUILESS_MAIN(TestDbEmbeddedTables)
#include "tst_dbEmbeddedTables.moc"
