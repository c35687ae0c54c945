// The embedded database's files watched: a database file or write-ahead log
// deleted, moved or replaced under the running program is noticed at the
// next write, which is refused; what was saved before is in the database
// file, not only in a log that the next start will not find.
#include "clsConn.h"
#include "dbFileWatch.h"
#include "dbSqliteBackend.h"
#include "tsDataBoxes.h"
#include "tsDemoDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Refused = QStringLiteral("数据库文件已被移走或替换");

QString insertCard(int n) {
    return QString("insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values (1,'W%1','00')").arg(n, 8, 10, QChar('0'));
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// How many of the saved cards W… a database file alone holds, opened on its
// own in a folder of its own, as the next start finds it after a kill.
int cardsInFileAlone(const QString& dbFile) {
    QTemporaryDir elsewhere;
    const QString copy = elsewhere.filePath("copy.db");
    if (!QFile::copy(dbFile, copy))
        return -1;
    SqliteBackend fresh;
    fresh.openFile(copy, false);
    return fresh.executeNative("select count(*) from tblrecord where fldPrdNo like 'W%'", {}).rows.at(0, 0).toInt();
}

enum class Change { LogDeleted, LogReplaced, DatabaseMoved, DatabaseReplaced };

} // namespace

Q_DECLARE_METATYPE(Change)

class TestDbFileWatch : public QObject {
    Q_OBJECT
private slots:
    void watchTellsWhatChanged_data();
    void watchTellsWhatChanged();
    void saveRefusedOnceFilesChanged_data();
    void saveRefusedOnceFilesChanged();
    void chunkRefused_data();
    void chunkRefused();
    void restartWorksOnTheSavedFile();
};

void TestDbFileWatch::watchTellsWhatChanged_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("said"); // empty: nothing to say
    QTest::newRow("nothing changed") << "" << "";
    QTest::newRow("database written in place") << "write db" << "";
    QTest::newRow("log written in place") << "write log" << "";
    QTest::newRow("database deleted") << "delete db" << "数据库文件 <db> 已不在原处";
    QTest::newRow("database moved away") << "move db" << "数据库文件 <db> 已不在原处";
    QTest::newRow("database replaced") << "replace db" << "数据库文件 <db> 已被另一个文件替换";
    QTest::newRow("log deleted") << "delete log" << "日志文件 <log> 已不在原处";
    QTest::newRow("log replaced") << "replace log" << "日志文件 <log> 已被另一个文件替换";
    QTest::newRow("log made later, then deleted") << "late log" << "日志文件 <log> 已不在原处";
}

void TestDbFileWatch::watchTellsWhatChanged() {
    QFETCH(QString, action);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString db = dir.filePath("a.db"), log = dir.filePath("a.db-wal");
    QVERIFY(writeFile(db, "database"));
    if (action != "late log")
        QVERIFY(writeFile(log, "log"));
    DbFileWatch watch;
    watch.start(db, log);
    QVERIFY(watch.active());
    QCOMPARE(watch.check(), QString());
    const auto replace = [&dir](const QString& path) {
        QVERIFY(QFile::rename(path, dir.filePath("old")));
        QVERIFY(writeFile(path, "another"));
    };
    if (action == "write db")
        QVERIFY(writeFile(db, "database, changed"));
    else if (action == "write log")
        QVERIFY(writeFile(log, "log, changed"));
    else if (action == "delete db")
        QVERIFY(QFile::remove(db));
    else if (action == "move db")
        QVERIFY(QFile::rename(db, dir.filePath("moved.db")));
    else if (action == "replace db")
        replace(db);
    else if (action == "delete log")
        QVERIFY(QFile::remove(log));
    else if (action == "replace log")
        replace(log);
    else if (action == "late log") {
        QCOMPARE(watch.check(), QString()); // no log yet: nothing gone
        QVERIFY(writeFile(log, "log"));
        QCOMPARE(watch.check(), QString()); // recorded now
        QVERIFY(QFile::remove(log));
    }
    const QString expected = QString(said)
                                 .replace("<db>", QDir::toNativeSeparators(db))
                                 .replace("<log>", QDir::toNativeSeparators(log));
    QCOMPARE(watch.check(), expected);
    watch.stop();
    QVERIFY(!watch.active());
    QCOMPARE(watch.check(), QString());
}

void TestDbFileWatch::saveRefusedOnceFilesChanged_data() {
    QTest::addColumn<Change>("change");
    QTest::newRow("log deleted") << Change::LogDeleted;
    QTest::newRow("log replaced") << Change::LogReplaced;
    QTest::newRow("database moved away") << Change::DatabaseMoved;
    QTest::newRow("database replaced by an older copy") << Change::DatabaseReplaced;
}

// Ten saves, then the files changed under the running program: the next
// save and every one after it are refused with the message, nothing more
// is written anywhere, and the ten are in the database file the program
// had open.
void TestDbFileWatch::saveRefusedOnceFilesChanged() {
    QFETCH(Change, change);
    DataBoxes boxes;
    DemoDatabase db;
    const QString path = db.dbPath(), log = path + "-wal";
    const QByteArray olderCopy = readFile(path);
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(gConn->ExeCommand(insertCard(n)), 0);
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(QFileInfo(log).size() > 0); // the ten are in the log so far

    const QString movedAway = db.folder().file("moved-away.db");
    switch (change) {
    case Change::LogDeleted:
        QVERIFY(QFile::remove(log));
        break;
    case Change::LogReplaced:
        QVERIFY(QFile::remove(log));
        QVERIFY(writeFile(log, QByteArray()));
        break;
    case Change::DatabaseMoved:
        QVERIFY(QFile::rename(path, movedAway)); // gone from its place, kept to look into
        break;
    case Change::DatabaseReplaced:
        QVERIFY(QFile::rename(path, movedAway));
        QVERIFY(writeFile(path, olderCopy));
        break;
    }
    const QByteArray logNow = readFile(log);

    for (int n = 11; n <= 12; ++n) {
        const int result = gConn->ExeCommand(insertCard(n));
        QCOMPARE(result, -1);
        QVERIFY(!gConn->CommandRan(result));
        QCOMPARE(boxes.shown().size(), n - 10);
        QVERIFY2(boxes.shown().last().text.startsWith(Refused), qPrintable(boxes.shown().last().text));
        QCOMPARE(boxes.shown().last().title, QString("系统提示！"));
        QVERIFY(gConn->ErrInfo().startsWith(Refused));
    }
    // Reading goes on.
    QCOMPARE(vt::toArray(gConn->GetArray("select count(*) from tblrecord where fldPrdNo like 'W%'")).at(0, 0).toInt(), 10);

    const bool databaseMoved = change == Change::DatabaseMoved || change == Change::DatabaseReplaced;
    // The file the program had open holds the ten, without any log.
    QCOMPARE(cardsInFileAlone(databaseMoved ? movedAway : path), 10);
    if (change == Change::DatabaseReplaced)
        QCOMPARE(readFile(path), olderCopy); // the newcomer untouched
    if (change == Change::LogReplaced)
        QCOMPARE(readFile(log), logNow); // the new log untouched
    if (!databaseMoved) {
        // Another connection opening the database afresh, with the program
        // still running, reads the ten from the file.
        SqliteBackend other;
        other.openFile(path, false);
        QCOMPARE(other.executeNative("select count(*) from tblrecord where fldPrdNo like 'W%'", {}).rows.at(0, 0).toInt(), 10);
    }
}

void TestDbFileWatch::chunkRefused_data() {
    QTest::addColumn<bool>("duringChunk"); // the log deleted after the chunk began
    QTest::newRow("before the chunk begins") << false;
    QTest::newRow("while the chunk is open") << true;
}

// A chunk's transaction checks the files when it begins and before it
// commits: a chunk into lost files is never reported stored.
void TestDbFileWatch::chunkRefused() {
    QFETCH(bool, duringChunk);
    DataBoxes boxes;
    DemoDatabase db;
    const QString path = db.dbPath();
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(gConn->ExeCommand(insertCard(n)), 0);
    if (!duringChunk) {
        QVERIFY(QFile::remove(path + "-wal"));
        QVERIFY(!gConn->BeginChunk());
    } else {
        QVERIFY(gConn->BeginChunk());
        QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk(insertCard(4))));
        QVERIFY(QFile::remove(path + "-wal"));
        QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk(insertCard(5))));
        QVERIFY(!gConn->CommitChunk());
    }
    QVERIFY(!gConn->InChunk());
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(boxes.shown().first().text.startsWith(Refused));
    QCOMPARE(cardsInFileAlone(path), 3);
}

// After the refusal the program is started again (connects afresh): the
// saved cards are there and saving works again.
void TestDbFileWatch::restartWorksOnTheSavedFile() {
    DataBoxes boxes;
    DemoDatabase db;
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(gConn->ExeCommand(insertCard(n)), 0);
    QVERIFY(QFile::remove(db.dbPath() + "-wal"));
    QCOMPARE(gConn->ExeCommand(insertCard(11)), -1);
    gConn.reset(); // the program ends
    QString server = "(embedded)", name = "demo";
    QVERIFY(gConn->ConnectToDatabase(server, name));
    QCOMPARE(vt::toArray(gConn->GetArray("select count(*) from tblrecord where fldPrdNo like 'W%'")).at(0, 0).toInt(), 10);
    QCOMPARE(gConn->ExeCommand(insertCard(11)), 0);
    QCOMPARE(boxes.shown().size(), 1);
    gConn.reset();
    QCOMPARE(cardsInFileAlone(db.dbPath()), 11);
}

QTEST_GUILESS_MAIN(TestDbFileWatch)
#include "tst_dbFileWatch.moc"
