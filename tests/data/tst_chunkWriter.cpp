// The chunked writer on the embedded demo database: which rows it stores,
// chunk by chunk, and what ends a run.
#include "clsConn.h"
#include "dbChunkWriter.h"
#include "dbSqliteBackend.h"
#include "dbUserInterface.h"
#include "tsDemoDatabase.h"
#include "tsDataBoxes.h"
#include "tsSyncWatch.h"

#include <QtTest>

#include <sqlite3.h>

using Rows = QList<int>;
using Chunks = QList<QList<int>>;
Q_DECLARE_METATYPE(Chunks)

namespace {

QString insert(int row) {
    return QString("insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values ('1','W%1','00')").arg(row);
}

const QString Failing = "insert into noSuchTable values (1)";
// A change of a record in a state it is no longer in: it runs and changes no row.
const QString Unchanged = "update tblrecord set fldStatus='01' where fldPrdNo='none' and fldStatus='00'";

// The rows of the work, stored rows shown by their card numbers.
Rows storedInDatabase(const DemoDatabase& db, const Rows& rows) {
    Rows stored;
    for (int r : rows)
        if (db.scalar(QString("select count(*) from tblrecord where fldPrdNo='W%1'").arg(r)).toInt() == 1)
            stored << r;
    return stored;
}

} // namespace

class TestChunkWriter : public QObject {
    Q_OBJECT
private slots:
    void init() { m_chunkRows = ChunkWriter::ChunkRows(); }
    void cleanup() { ChunkWriter::ChunkRows() = m_chunkRows; }
    void rowsInChunks_data();
    void rowsInChunks();
    void runWaitsForTheDiskOnce();
    void chunksHoldTheWriteLockAndShowNothing();
    void chunkGivenUpEndsTheRun();
    void rebuiltConnectionLosesItsChunkOnly();
    void setsInChunks_data();
    void setsInChunks();

private:
    int m_chunkRows = 0;
};

void TestChunkWriter::rowsInChunks_data() {
    QTest::addColumn<Rows>("failing");  // rows whose statement fails
    QTest::addColumn<Rows>("skipped");  // rows the step passes over
    QTest::addColumn<Rows>("unchanged"); // rows whose change finds no row in the state it names
    QTest::addColumn<bool>("changes");  // every statement is a change that must change a row
    QTest::addColumn<int>("stopAt");    // the row whose step ends the run (0: none)
    QTest::addColumn<bool>("stopOnFailure");
    QTest::addColumn<Chunks>("chunks"); // the rows of each committed chunk
    QTest::addColumn<int>("failedRow");
    QTest::addColumn<int>("unchangedRow");
    QTest::addColumn<bool>("complete");
    // Seven rows, run from the bottom up, three stored rows to a chunk.
    QTest::newRow("every row") << Rows{} << Rows{} << Rows{} << false << 0 << false
                               << Chunks{{7, 6, 5}, {4, 3, 2}, {1}} << -1 << -1 << true;
    QTest::newRow("a failing row left out") << Rows{5} << Rows{} << Rows{} << false << 0 << false
                                            << Chunks{{7, 6, 4}, {3, 2, 1}} << -1 << -1 << true;
    QTest::newRow("a failing row ends the run") << Rows{5} << Rows{} << Rows{} << false << 0 << true << Chunks{{7, 6}}
                                                << 5 << -1 << false;
    QTest::newRow("skipped rows") << Rows{} << Rows{6, 2} << Rows{} << false << 0 << false
                                  << Chunks{{7, 5, 4}, {3, 1}} << -1 << -1 << true;
    QTest::newRow("a step ends the run") << Rows{} << Rows{} << Rows{} << false << 3 << false
                                         << Chunks{{7, 6, 5}, {4}} << -1 << -1 << false;
    QTest::newRow("ended on a chunk's first row") << Rows{} << Rows{} << Rows{} << false << 4 << false
                                                  << Chunks{{7, 6, 5}} << -1 << -1 << false;
    QTest::newRow("changes that changed their rows") << Rows{} << Rows{} << Rows{} << true << 0 << false
                                                     << Chunks{{7, 6, 5}, {4, 3, 2}, {1}} << -1 << -1 << true;
    // Whether failures end the run or not: the record was changed elsewhere.
    QTest::newRow("a change of no row ends the run") << Rows{} << Rows{} << Rows{4} << true << 0 << false
                                                     << Chunks{{7, 6, 5}} << -1 << 4 << false;
    QTest::newRow("a change of no row, failures ending the run") << Rows{} << Rows{} << Rows{6} << true << 0 << true
                                                                 << Chunks{{7}} << -1 << 6 << false;
    QTest::newRow("a change of no row after a failing row") << Rows{6} << Rows{} << Rows{3} << true << 0 << false
                                                            << Chunks{{7, 5, 4}} << -1 << 3 << false;
}

void TestChunkWriter::rowsInChunks() {
    QFETCH(Rows, failing);
    QFETCH(Rows, skipped);
    QFETCH(Rows, unchanged);
    QFETCH(bool, changes);
    QFETCH(int, stopAt);
    QFETCH(bool, stopOnFailure);
    QFETCH(Chunks, chunks);
    QFETCH(int, failedRow);
    QFETCH(int, unchangedRow);
    QFETCH(bool, complete);
    DataBoxes boxes;
    DemoDatabase db;
    ChunkWriter::ChunkRows() = 3;
    const Rows rows{7, 6, 5, 4, 3, 2, 1};
    Rows asked;
    Chunks committed;
    const ChunkWriter::Result result = ChunkWriter::Run(
        rows,
        [&](int r) {
            asked << r;
            if (r == stopAt)
                return ChunkWriter::Step::stop();
            if (skipped.contains(r))
                return ChunkWriter::Step::skip();
            if (unchanged.contains(r))
                return ChunkWriter::Step::change(Unchanged);
            const QString sql = failing.contains(r) ? Failing : insert(r);
            return changes ? ChunkWriter::Step::change(sql) : ChunkWriter::Step::store(sql);
        },
        [&](const QList<int>& chunk) {
            // Told once the chunk is on the database, before the next begins.
            QCOMPARE(storedInDatabase(db, chunk), chunk);
            committed << chunk;
        },
        stopOnFailure ? ChunkWriter::OnFailure::Stop : ChunkWriter::OnFailure::GoOn);
    QCOMPARE(committed, chunks);
    Rows all;
    for (const Rows& c : chunks)
        all += c;
    QCOMPARE(result.stored, all);
    QCOMPARE(storedInDatabase(db, rows), all);
    QCOMPARE(result.failedRow, failedRow);
    QCOMPARE(result.unchangedRow, unchangedRow);
    QCOMPARE(result.stopped, stopAt != 0);
    QCOMPARE(result.complete, complete);
    // Nothing is asked after the row that ended the run.
    const int last = stopAt != 0 ? stopAt : failedRow > 0 ? failedRow : unchangedRow > 0 ? unchangedRow : 1;
    QCOMPARE(asked, rows.mid(0, rows.indexOf(last) + 1));
    QCOMPARE(gConn->InChunk(), false);
    // Only the failing statements are reported, by the connection object.
    QCOMPARE(boxes.shown().size(), int(failedRow > 0 ? 1 : failing.size()));
}

// The chunks' commits do not sync the log; the end of the run does, once,
// after the last of them; then commits wait for the disk again.
void TestChunkWriter::runWaitsForTheDiskOnce() {
    SyncWatch watch;
    DataBoxes boxes;
    DemoDatabase db;
    ChunkWriter::ChunkRows() = 20;
    Rows rows;
    for (int r = 100; r >= 1; --r)
        rows << r;
    watch.reset();
    int chunks = 0;
    bool syncedBeforeEnd = true;
    const ChunkWriter::Result result = ChunkWriter::Run(
        rows, [](int r) { return ChunkWriter::Step::store(insert(r)); },
        [&](const QList<int>&) {
            ++chunks;
            syncedBeforeEnd = watch.logSyncedAfterLastWrite();
        },
        ChunkWriter::OnFailure::GoOn);
    QVERIFY(result.complete);
    QCOMPARE(chunks, 5);
    QVERIFY(!syncedBeforeEnd);
    QVERIFY(watch.logSyncs() <= 2);
    QVERIFY(watch.logSyncedAfterLastWrite());
    QCOMPARE(vt::toArray(gConn->GetArray("PRAGMA synchronous")).at(0, 0).toInt(), 2);
    QCOMPARE(storedInDatabase(db, rows).size(), 100);
    QVERIFY(boxes.texts().isEmpty());
}

namespace {
// Another workstation on the same file that never waits for a lock: a
// write of it fails at once while a chunk holds the lock.
struct OtherWorkstation {
    SqliteBackend db;
    explicit OtherWorkstation(const QString& path) {
        db.openFile(path, false);
        sqlite3_busy_timeout(db.handle(), 0);
    }
    bool canWrite() {
        try {
            db.executeNative("update tblMaker set fldphone=fldphone||'+' where fldId='1002'", {});
            return true;
        } catch (const DbError&) {
            return false;
        }
    }
    int stored() { return db.executeNative("select count(*) from tblrecord where fldPrdNo like 'W%'", {}).rows.at(0, 0).toInt(); }
};

// Each box as it came: its text, whether the other could write meanwhile,
// and how many of the run's rows it could see stored then.
struct Shown {
    QString text;
    bool otherWrote;
    int stored;
};

class WatchingUi final : public DataUserInterface {
public:
    explicit WatchingUi(OtherWorkstation& other) : m_other(other) { SetDataUserInterface(this); }
    ~WatchingUi() override { SetDataUserInterface(nullptr); }
    void inform(const QString& text, const QString&, const QString&) override { show(text); }
    void show(const QString& text) {
        const bool wrote = m_other.canWrite();
        shown.append({text, wrote, m_other.stored()});
    }
    void beginBusy() override {}
    void endBusy() override {}
    QList<Shown> shown;

private:
    OtherWorkstation& m_other;
};
} // namespace

// Every chunk holds the write lock from its beginning, before its first
// row's step reads anything, so a second workstation waits for it instead
// of failing when it comes to write; what is shown during a chunk (the
// connection's boxes, and what the caller hands to AfterTransaction) comes
// once that chunk has been committed, while nothing holds the lock.
void TestChunkWriter::chunksHoldTheWriteLockAndShowNothing() {
    DemoDatabase db;
    OtherWorkstation other(db.dbPath());
    WatchingUi ui(other);
    ChunkWriter::ChunkRows() = 2;
    QList<int> lockedInStep; // the rows whose step ran while the other could not write
    const ChunkWriter::Result result = ChunkWriter::Run(
        Rows{5, 4, 3, 2, 1},
        [&](int r) {
            if (!other.canWrite())
                lockedInStep << r;
            if (r == 2)
                gConn->AfterTransaction([&ui] { ui.show("the caller's"); });
            return ChunkWriter::Step::store(r == 4 ? Failing : insert(r));
        },
        {}, ChunkWriter::OnFailure::GoOn);
    QVERIFY(result.complete);
    QCOMPARE(result.stored, (Rows{5, 3, 2, 1}));
    QCOMPARE(lockedInStep, (Rows{5, 4, 3, 2, 1}));
    // The failing row's box after the first chunk {5, 3}, the caller's after the second {2, 1}.
    QCOMPARE(ui.shown.size(), 2);
    QVERIFY(ui.shown[0].text.contains("noSuchTable"));
    QVERIFY(ui.shown[0].otherWrote);
    QCOMPARE(ui.shown[0].stored, 2);
    QCOMPARE(ui.shown[1].text, QString("the caller's"));
    QVERIFY(ui.shown[1].otherWrote);
    QCOMPARE(ui.shown[1].stored, 4);
    QVERIFY(!gConn->HoldsMessages());
}

// A statement that ends the chunk's transaction itself gives the chunk up:
// that row counts as failed, so a run that ends at a failure ends there,
// and no row of the chunk is reported stored.
void TestChunkWriter::chunkGivenUpEndsTheRun() {
    DataBoxes boxes;
    DemoDatabase db;
    Rows asked;
    const ChunkWriter::Result result = ChunkWriter::Run(
        Rows{3, 2, 1},
        [&](int r) {
            asked << r;
            return ChunkWriter::Step::store(r == 2 ? QString("commit") : insert(r));
        },
        {}, ChunkWriter::OnFailure::Stop);
    QCOMPARE(result.failedRow, 2);
    QCOMPARE(result.stored, Rows{});
    QCOMPARE(asked, (Rows{3, 2}));
    QVERIFY(!result.complete);
    QCOMPARE(gConn->InChunk(), false);
}

// The link rebuilt in the middle of a chunk: that chunk is neither
// committed nor reported, nor is any row after it; the chunks before it are.
void TestChunkWriter::rebuiltConnectionLosesItsChunkOnly() {
    DataBoxes boxes;
    DemoDatabase db;
    ChunkWriter::ChunkRows() = 2;
    const Rows rows{6, 5, 4, 3, 2, 1};
    const ChunkWriter::Result result = ChunkWriter::Run(
        rows,
        [](int r) {
            if (r == 3) {
                QString server = "(embedded)", name = "demo";
                gConn->ConnectToDatabase(server, name);
            }
            return ChunkWriter::Step::store(insert(r));
        },
        {}, ChunkWriter::OnFailure::GoOn);
    QCOMPARE(result.stored, (Rows{6, 5}));
    QVERIFY(!result.complete);
    QCOMPARE(storedInDatabase(db, rows), (Rows{6, 5}));
    QCOMPARE(boxes.texts(), QStringList{"连接已重建，本批未保存"});
}

void TestChunkWriter::setsInChunks_data() {
    QTest::addColumn<Rows>("failing");   // rows whose submission the database refuses
    QTest::addColumn<Rows>("elsewhere"); // rows submitted elsewhere before the run
    QTest::addColumn<Rows>("skipped");
    QTest::addColumn<int>("stopAt");
    QTest::addColumn<bool>("stopOnFailure");
    QTest::addColumn<Chunks>("chunks"); // the rows of each committed chunk
    QTest::addColumn<int>("logged");    // execution-log entries the run wrote
    QTest::addColumn<int>("lastPassed"); // the last row the run came to
    QTest::addColumn<int>("failedRow");
    QTest::addColumn<int>("unchangedRow");
    // Seven rows from the bottom up, three to a chunk: {7, 6, 5}, {4, 3, 2}, {1}.
    QTest::newRow("every row") << Rows{} << Rows{} << Rows{} << 0 << false << Chunks{{7, 6, 5}, {4, 3, 2}, {1}} << 3
                               << 1 << -1 << -1;
    QTest::newRow("skipped rows") << Rows{} << Rows{} << Rows{6, 2} << 0 << false << Chunks{{7, 5}, {4, 3}, {1}} << 3
                                  << 1 << -1 << -1;
    QTest::newRow("a chunk with nothing to store") << Rows{} << Rows{} << Rows{4, 3, 2} << 0 << false
                                                   << Chunks{{7, 6, 5}, {1}} << 2 << 1 << -1 << -1;
    // The chunk again row by row: the refused row alone is left.
    QTest::newRow("a refused row left alone") << Rows{6} << Rows{} << Rows{} << 0 << false
                                              << Chunks{{7, 5}, {4, 3, 2}, {1}} << 4 << 1 << -1 << -1;
    QTest::newRow("a refused row ends the run") << Rows{3} << Rows{} << Rows{} << 0 << true
                                                << Chunks{{7, 6, 5}, {4}} << 2 << 3 << 3 << -1;
    // Fewer rows changed than the chunk stores: the row changed elsewhere
    // ends the run (its statement ran, and is logged, changing nothing).
    QTest::newRow("a row changed elsewhere") << Rows{} << Rows{2} << Rows{} << 0 << false
                                             << Chunks{{7, 6, 5}, {4, 3}} << 4 << 2 << -1 << 2;
    QTest::newRow("a step ends the run") << Rows{} << Rows{} << Rows{} << 3 << false << Chunks{{7, 6, 5}, {4}} << 2
                                         << 3 << -1 << -1;
    QTest::newRow("ended on a chunk's first row") << Rows{} << Rows{} << Rows{} << 4 << false << Chunks{{7, 6, 5}}
                                                  << 1 << 4 << -1 << -1;
}

void TestChunkWriter::setsInChunks() {
    QFETCH(Rows, failing);
    QFETCH(Rows, elsewhere);
    QFETCH(Rows, skipped);
    QFETCH(int, stopAt);
    QFETCH(bool, stopOnFailure);
    QFETCH(Chunks, chunks);
    QFETCH(int, logged);
    QFETCH(int, lastPassed);
    QFETCH(int, failedRow);
    QFETCH(int, unchangedRow);
    DataBoxes boxes;
    DemoDatabase db;
    ChunkWriter::ChunkRows() = 3;
    const Rows rows{7, 6, 5, 4, 3, 2, 1};
    QString script = "delete from tblExecLog;";
    for (int r : rows)
        script += QString("insert into tblrecord (fldMsn,fldPrdNo,fldStatus) values ('1','W%1','%2');")
                      .arg(r)
                      .arg(elsewhere.contains(r) ? "01" : "00");
    for (int r : failing)
        script += QString("create trigger refuse%1 before update on tblrecord when new.fldPrdNo='W%1' "
                          "begin select raise(abort, 'refused W%1'); end;")
                      .arg(r);
    db.backend()->executeScript(script);
    const auto submitted = [&](const Rows& of) {
        Rows out;
        for (int r : of)
            if (!elsewhere.contains(r) &&
                db.scalar(QString("select fldStatus from tblrecord where fldPrdNo='W%1'").arg(r)).toString() == "01")
                out << r;
        return out;
    };
    Rows read, asked, passed;
    Chunks committed;
    ChunkWriter::Sets sets;
    sets.rowsPerChunk = 500;
    sets.read = [&](const Rows& chunk) {
        QVERIFY(gConn->InChunk());
        read += chunk;
    };
    sets.step = [&](int r) {
        asked << r;
        if (r == stopAt)
            return ChunkWriter::Step::stop();
        if (skipped.contains(r))
            return ChunkWriter::Step::skip();
        return ChunkWriter::Step::change(
            QString("update tblrecord set fldStatus='01' where fldPrdNo='W%1' and fldStatus='00'").arg(r));
    };
    sets.together = [&](const Rows& chunk) {
        ChunkWriter::Many many{"update tblrecord set fldStatus='01' where fldStatus='00' and fldPrdNo in (", {}};
        for (int r : chunk) {
            many.sql += many.values.isEmpty() ? "?" : ",?";
            many.values << QString("W%1").arg(r);
        }
        many.sql += ")";
        return many;
    };
    sets.passed = [&](int r, const ChunkWriter::Step& step) {
        QVERIFY(gConn->InChunk());
        QCOMPARE(step.kind == ChunkWriter::Step::Skip, skipped.contains(r));
        passed << r;
    };
    const ChunkWriter::Result result = ChunkWriter::RunInSets(
        rows, sets,
        [&](const Rows& chunk) {
            QCOMPARE(submitted(chunk), chunk);
            committed << chunk;
        },
        stopOnFailure ? ChunkWriter::OnFailure::Stop : ChunkWriter::OnFailure::GoOn);
    QCOMPARE(committed, chunks);
    Rows all;
    for (const Rows& c : chunks)
        all += c;
    QCOMPARE(result.stored, all);
    QCOMPARE(submitted(rows), all);
    QCOMPARE(result.failedRow, failedRow);
    QCOMPARE(result.unchangedRow, unchangedRow);
    QCOMPARE(result.stopped, stopAt != 0);
    QCOMPARE(result.complete, stopAt == 0 && failedRow < 0 && unchangedRow < 0);
    // Each chunk's rows read at once, every row of it asked once; the rows
    // after the one that ended the run are never passed.
    QCOMPARE(read, rows.mid(0, read.size()));
    QVERIFY(read.size() % 3 == 0 || read.size() == rows.size());
    QCOMPARE(asked, rows.mid(0, asked.size()));
    QCOMPARE(passed, rows.mid(0, rows.indexOf(lastPassed) + 1));
    // A chunk stored by its one statement is logged once, a chunk done again row by row once per row.
    QCOMPARE(db.scalar("select count(*) from tblExecLog").toInt(), logged);
    QCOMPARE(gConn->InChunk(), false);
    // Only the refused rows' own statements are reported.
    QCOMPARE(boxes.shown().size(), int(failing.size()));
}

QTEST_MAIN(TestChunkWriter)
#include "tst_chunkWriter.moc"
