// Two workstations on one embedded database file, each with a connection
// object of its own on a thread of its own, racing to submit the same card
// numbers with the statements the workbench sends: the database refuses the
// second record of a number, and nothing is counted as done that was not.
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "dbUserInterface.h"
#include "mduRecordSql.h"
#include "tsDemoDatabase.h"

#include <QMutex>
#include <QSet>
#include <QtTest>

#include <sqlite3.h>

#include <functional>
#include <thread>

namespace {

constexpr int Numbers = 1000;

QString number(int i) { return QStringLiteral("R%1").arg(i, 8, 10, QLatin1Char('0')); }

// The boxes any connection shows, from any thread; what runs when one is.
class RecordingUi final : public DataUserInterface {
public:
    RecordingUi() { SetDataUserInterface(this); }
    ~RecordingUi() override { SetDataUserInterface(nullptr); }
    void inform(const QString& text, const QString&, const QString&) override {
        QMutexLocker lock(&m_mutex);
        m_texts << text;
        if (onBox)
            onBox();
    }
    void beginBusy() override {}
    void endBusy() override {}
    QStringList texts() {
        QMutexLocker lock(&m_mutex);
        return m_texts;
    }
    std::function<void()> onBox;

private:
    QMutex m_mutex;
    QStringList m_texts;
};

// What one workstation did, as it saw it.
struct Outcome {
    QStringList submitted; // keys its statements changed (and, in chunks, committed)
    QStringList refused;   // keys the database refused: the number was taken
    QStringList taken;     // keys the duplicate test found taken first
    QStringList failures;  // anything else: there must be none
};

struct Pending {
    QStringList keys, numbers;
};

Pending pendingOf(clsConn& c) {
    Pending p;
    const vt::ValueArray rows = c.GetRows(
        QStringLiteral("select fldsn, fldPrdNo from tblrecord where fldMsn=? and fldStatus='00' and fldPrdNo like 'R%' "
                       "order by fldPrdNo"),
        {c.OpId()});
    for (int r = 0; r < rows.rows(); ++r) {
        p.keys << rows.at(0, r).toString();
        p.numbers << rows.at(1, r).toString();
    }
    return p;
}

bool takenByTest(clsConn& c, const QString& n, const QString& key) {
    return !vt::isEmpty(c.GetArray(DuplicateTestStatement(n, key)));
}

// Submit, one record at a time: the duplicate test, then the status change.
void submitOneByOne(clsConn& c, const Pending& p, Outcome& out) {
    for (qsizetype i = 0; i < p.keys.size(); ++i) {
        const QString& key = p.keys[i];
        if (takenByTest(c, p.numbers[i], key)) {
            out.taken << key;
            continue;
        }
        const int r = c.ExeCommand(SubmitStatement(key, c.OpId().toString()));
        if (c.NumberTaken())
            out.refused << key;
        else if (c.CommandRan(r) && c.RowsChanged() == 1)
            out.submitted << key;
        else
            out.failures << key + QStringLiteral(": ") + c.ErrInfo();
    }
}

// Submit-all: rows in chunks; a taken number ends the run at that row, and
// the clerk starts it again from the next row.
void submitInChunks(clsConn& c, const Pending& p, Outcome& out) {
    constexpr int ChunkRows = 50;
    qsizetype i = 0;
    while (i < p.keys.size()) {
        if (!c.BeginChunk()) {
            out.failures << QStringLiteral("begin: ") + c.ErrInfo();
            return;
        }
        QStringList stored;
        for (int k = 0; k < ChunkRows && i < p.keys.size(); ++k) {
            const QString key = p.keys[i];
            const QString n = p.numbers[i++];
            if (takenByTest(c, n, key)) {
                out.taken << key;
                break;
            }
            const int r = c.ExeCommandInChunk(SubmitStatement(key, c.OpId().toString()));
            if (c.NumberTaken()) {
                out.refused << key;
                break;
            }
            if (!c.CommandRan(r) || c.RowsChanged() != 1) {
                out.failures << key + QStringLiteral(": ") + c.ErrInfo();
                break;
            }
            stored << key;
        }
        if (c.CommitChunk())
            out.submitted += stored;
        else
            out.failures << QStringLiteral("commit: ") + c.ErrInfo();
    }
}

// One workstation's thread: its own connection, signed in as its lab.
void workstation(const QString& account, const QString& password, bool inChunks, Outcome& out) {
    clsConn c;
    QString server = QStringLiteral("(embedded)"), name = QStringLiteral("demo");
    QString a = account, p = password;
    if (!c.ConnectToDatabase(server, name) || !c.CheckUser(a, p)) {
        out.failures << QStringLiteral("sign-in");
        return;
    }
    const Pending pending = pendingOf(c);
    if (pending.keys.size() != Numbers)
        out.failures << QStringLiteral("pending: %1").arg(pending.keys.size());
    if (inChunks)
        submitInChunks(c, pending, out);
    else
        submitOneByOne(c, pending, out);
}

QVariant scalar(SqliteBackend& db, const QString& sql) {
    const DbResult r = db.executeNative(sql, {});
    return r.rows.rows() > 0 ? r.rows.at(0, 0) : QVariant();
}

} // namespace

class TestConnRace : public QObject {
    Q_OBJECT
private slots:
    void submitTheSameNumbers_data();
    void submitTheSameNumbers();
    void othersWriteWhileAChunksBoxIsOpen();
};

void TestConnRace::submitTheSameNumbers_data() {
    QTest::addColumn<bool>("firstInChunks");
    QTest::addColumn<bool>("secondInChunks");
    QTest::newRow("single submits against single submits") << false << false;
    QTest::newRow("submit-all against single submits") << true << false;
    QTest::newRow("submit-all against submit-all") << true << true;
}

// Labs 1001 and 1002 share their ranges; each has a pending record of every
// one of the same 1,000 numbers and submits them all at once with the other.
void TestConnRace::submitTheSameNumbers() {
    QFETCH(bool, firstInChunks);
    QFETCH(bool, secondInChunks);
    RecordingUi ui;
    DemoDatabase db(false);
    SqliteBackend direct;
    direct.openFile(db.dbPath(), false);
    direct.beginTransaction();
    for (int i = 0; i < Numbers; ++i)
        for (const char* lab : {"1", "2"})
            direct.executeNative(QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,"
                                                "fldPFName,fldHospital,fldStatus) values (?1,?2,'C01',?3,'张','三','医院','00')"),
                                 {QString::fromLatin1(lab), QStringLiteral("100") + QLatin1String(lab), number(i)});
    direct.commitTransaction();

    Outcome first, second;
    std::thread a([&] { workstation(QStringLiteral("1001"), QStringLiteral("1234"), firstInChunks, first); });
    std::thread b([&] { workstation(QStringLiteral("1002"), QStringLiteral("5678"), secondInChunks, second); });
    a.join();
    b.join();
    qInfo("refused by the database: %d and %d; found taken by the test: %d and %d", int(first.refused.size()),
          int(second.refused.size()), int(first.taken.size()), int(second.taken.size()));
    QCOMPARE(first.failures, QStringList());
    QCOMPARE(second.failures, QStringList());
    QCOMPARE(ui.texts(), QStringList()); // a refusal shows no box, and nothing else failed

    // No number has two records above '00'; every number has one.
    QCOMPARE(scalar(direct, "select count(*) from (select fldPrdNo from tblrecord where fldStatus>'00' and "
                            "fldPrdNo like 'R%' group by fldPrdNo having count(*)>1)").toInt(), 0);
    QCOMPARE(scalar(direct, "select count(distinct fldPrdNo) from tblrecord where fldStatus>'00' and fldPrdNo like 'R%'")
                 .toInt(),
             Numbers);
    // What each workstation counted as submitted is what is stored, and
    // every refused row is still pending.
    const DbResult rows = direct.executeNative(
        QStringLiteral("select fldsn, fldMsn, fldStatus from tblrecord where fldPrdNo like 'R%'"), {});
    QSet<QString> stored, pending;
    QHash<QString, QString> labOf;
    for (int r = 0; r < rows.rows.rows(); ++r) {
        const QString key = rows.rows.at(0, r).toString();
        labOf[key] = rows.rows.at(1, r).toString();
        (rows.rows.at(2, r).toString() == QLatin1String("01") ? stored : pending).insert(key);
    }
    QSet<QString> counted;
    for (const QString& k : first.submitted + second.submitted)
        counted.insert(k);
    QCOMPARE(counted.size(), first.submitted.size() + second.submitted.size());
    QVERIFY(counted == stored);
    for (const QString& k : first.refused + second.refused + first.taken + second.taken)
        QVERIFY2(pending.contains(k), qPrintable(k));
    QCOMPARE(first.submitted.size() + first.refused.size() + first.taken.size(), Numbers);
    QCOMPARE(second.submitted.size() + second.refused.size() + second.taken.size(), Numbers);
    // Every changed row's statement is in the execution log.
    const DbResult logged = direct.executeNative(QStringLiteral("select fldStatement from tblExecLog"), {});
    QSet<QString> statements;
    for (int r = 0; r < logged.rows.rows(); ++r)
        statements.insert(logged.rows.at(0, r).toString());
    for (const QString& k : stored)
        QVERIFY2(statements.contains(SubmitStatement(k, labOf.value(k))), qPrintable(k));
}

// A box of a chunked run (the connection's own, or the caller's range
// failure) comes once the chunk has ended: while it is open, another
// workstation can write, at once.
void TestConnRace::othersWriteWhileAChunksBoxIsOpen() {
    RecordingUi ui;
    DemoDatabase db;
    QVERIFY(db.signIn());
    SqliteBackend other;
    other.openFile(db.dbPath(), false);
    sqlite3_busy_timeout(other.handle(), 0); // no waiting: a held lock fails at once
    QStringList wrote;
    const auto tryWrite = [&] {
        try {
            other.executeNative(QStringLiteral("update tblMaker set fldphone=fldphone||'+' where fldId='1002'"), {});
            // What the chunk stored is there for the other to see.
            const DbResult r = other.executeNative(QStringLiteral("select fldStatus from tblrecord where fldPrdNo='C00000610'"), {});
            wrote << QStringLiteral("ok ") + r.rows.at(0, 0).toString();
        } catch (const DbError& e) {
            wrote << e.description;
        }
    };
    ui.onBox = tryWrite;
    QVERIFY(gConn->BeginChunk());
    gConn->AfterTransaction([&] { tryWrite(); }); // a range failure, say
    QCOMPARE(gConn->ExeCommandInChunk("update tNone set a=1"), -1); // the connection's own box
    QVERIFY(gConn->CommandRan(gConn->ExeCommandInChunk("update tblrecord set fldStatus='03' where fldPrdNo='C00000610'")));
    QVERIFY(wrote.isEmpty());
    QVERIFY(ui.texts().isEmpty());
    QVERIFY(gConn->CommitChunk());
    QCOMPARE(wrote, (QStringList{"ok 03", "ok 03"}));
    QCOMPARE(ui.texts().size(), 1);
    QVERIFY(ui.texts()[0].contains("tNone"));
}

QTEST_GUILESS_MAIN(TestConnRace)
#include "tst_connRace.moc"
