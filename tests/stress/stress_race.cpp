#include "stress_race.h"

#include "clsConn.h"
#include "mduPaths.h"
#include "mduRecordSql.h"

#include <QElapsedTimer>
#include <QSet>

#include <cstdio>

// Each number has two pending records of the lab, "A" and "B". Worker 1
// submits the A records one by one, as Submit does, and saves each B record
// just before; worker 2 does the same the other way round, or (in chunks)
// submits the B records in chunks, as submit-all does, and saves the
// chunk's A records before each chunk. A save lands on a
// record the other worker may have submitted, a submission on a number the
// other may hold. The database must refuse the second holder of a number,
// and no statement may change a record that is no longer pending.
//
// The harness's own triggers count what must never happen: a client's
// change of a record that is not pending (a reset of a submitted or sent-back
// record is the only one allowed, and neither worker resets).

namespace {

constexpr int Numbers = 1000;
constexpr int ChunkRows = 50;

QString number(int i) { return QStringLiteral("W%1").arg(i, 8, 10, QLatin1Char('0')); }

bool signIn(clsConn& c, const QString& dir) {
    SetProgramFolder(dir);
    QString server = QStringLiteral("(embedded)"), name = QStringLiteral("demo");
    QString account = QStringLiteral("1001"), password = QStringLiteral("1234");
    return c.ConnectToDatabase(server, name) && c.CheckUser(account, password);
}

// The record as a worker saves it; its copy ("A" or "B") stays in the
// description, the worker that saved it goes into the remark.
WarrantyRecord saved(const QString& key, int i, int worker, const QString& copy) {
    WarrantyRecord r;
    r.key = key;
    r.productKey = QStringLiteral("C01");
    r.cardNumber = number(i);
    r.patientSurname = QStringLiteral("李");
    r.patientGivenName = QStringLiteral("明");
    r.hospital = QStringLiteral("协和医院");
    r.productionDate = QDate(2013, 1, 1);
    r.treatmentDate = QDate(2013, 1, 4);
    r.description = copy;
    r.remark = QStringLiteral("saved by %1").arg(worker);
    return r;
}

struct Counts {
    int submitted = 0, refused = 0, taken = 0, saved = 0, stale = 0, failures = 0;
};

// The keys of the lab's records of one copy ("A" or "B"), by number.
QStringList keysOf(clsConn& c, const QString& copy) {
    const vt::ValueArray rows = c.GetRows(
        QStringLiteral("select fldsn from tblrecord where fldPrdNo like 'W%' and fldOpDesp=? order by fldPrdNo"), {copy});
    QStringList keys;
    for (int r = 0; r < rows.rows(); ++r)
        keys << rows.at(0, r).toString();
    return keys;
}

void save(clsConn& c, const QString& key, int i, int worker, const QString& copy, Counts& n) {
    QElapsedTimer t;
    t.start();
    const int r =
        c.ExeCommand(EntryUpdateStatement(saved(key, i, worker, copy), c.OpNo().toString(), c.OpId().toString()));
    if (!c.CommandRan(r)) {
        ++n.failures;
        std::fprintf(stderr, "save of %s failed after %lld ms\n", qPrintable(key), t.elapsed());
    } else if (c.RowsChanged() == 1)
        ++n.saved;
    else
        ++n.stale; // submitted elsewhere meanwhile: left alone
}

bool taken(clsConn& c, int i, const QString& key) {
    return !vt::isEmpty(c.GetArray(DuplicateTestStatement(number(i), key)));
}

} // namespace

int RacePrepare(const QString& dir) {
    clsConn c;
    if (!signIn(c, dir))
        return 1;
    DbBackend* db = c.GetConnection();
    db->beginTransaction();
    for (int i = 0; i < Numbers; ++i)
        for (const char* copy : {"A", "B"}) {
            const WarrantyRecord r = saved(QString(), i, 0, QString::fromLatin1(copy));
            db->execute(BatchInsertStatement(r, c.OpId().toString(), c.OpNo().toString()), {}, 0);
        }
    db->execute(QStringLiteral("create table tblStaleWrite (fldsn integer, fldWhat text)"), {}, 0);
    db->execute(QStringLiteral("create trigger trgStaleUpdate before update on tblrecord when old.fldStatus <> '00' and "
                               "not (new.fldStatus = '00' and old.fldStatus in ('01','03')) begin "
                               "insert into tblStaleWrite values (old.fldsn, 'update ' || old.fldStatus); end"),
                {}, 0);
    db->execute(QStringLiteral("create trigger trgStaleDelete before delete on tblrecord when old.fldStatus <> '00' "
                               "begin insert into tblStaleWrite values (old.fldsn, 'delete ' || old.fldStatus); end"),
                {}, 0);
    db->commitTransaction();
    return 0;
}

int RaceWork(int worker, const QString& dir, bool inChunks) {
    clsConn c;
    if (!signIn(c, dir))
        return 1;
    const QStringList a = keysOf(c, QStringLiteral("A")), b = keysOf(c, QStringLiteral("B"));
    if (a.size() != Numbers || b.size() != Numbers)
        return 1;
    const QString opId = c.OpId().toString();
    Counts n;
    if (!inChunks) {
        const QStringList& mine = worker == 1 ? a : b;
        const QStringList& theirs = worker == 1 ? b : a;
        for (int i = 0; i < Numbers; ++i) {
            save(c, theirs[i], i, worker, worker == 1 ? QStringLiteral("B") : QStringLiteral("A"), n);
            if (taken(c, i, mine[i])) {
                ++n.taken;
                continue;
            }
            const int r = c.ExeCommand(SubmitStatement(mine[i], opId));
            if (c.NumberTaken())
                ++n.refused;
            else if (!c.CommandRan(r)) {
                ++n.failures;
                std::fprintf(stderr, "submit of %s failed\n", qPrintable(mine[i]));
            } else if (c.RowsChanged() == 1)
                ++n.submitted;
            if (r != 0 && c.CommandRan(r))
                std::fprintf(stderr, "not logged: %s\n", qPrintable(c.ErrInfo()));
        }
    } else {
        for (int from = 0; from < Numbers; from += ChunkRows) {
            const int to = std::min(Numbers, from + ChunkRows);
            for (int i = from; i < to; ++i)
                save(c, a[i], i, worker, QStringLiteral("A"), n);
            if (!c.BeginChunk()) {
                ++n.failures;
                continue;
            }
            int stored = 0;
            for (int i = from; i < to; ++i) {
                // A taken number ends the run; the clerk starts it again
                // from the next row.
                if (taken(c, i, b[i])) {
                    ++n.taken;
                    break;
                }
                const int r = c.ExeCommandInChunk(SubmitStatement(b[i], opId));
                if (c.NumberTaken()) {
                    ++n.refused;
                    break;
                }
                if (!c.CommandRan(r) || c.RowsChanged() != 1) {
                    ++n.failures;
                    break;
                }
                ++stored;
            }
            if (c.CommitChunk())
                n.submitted += stored;
            else
                ++n.failures;
        }
    }
    std::printf("worker=%d submitted=%d refused=%d taken=%d saved=%d left_alone=%d failures=%d\n", worker, n.submitted,
                n.refused, n.taken, n.saved, n.stale, n.failures);
    return n.failures ? 3 : 0;
}

int RaceVerify(const QString& dir) {
    clsConn c;
    if (!signIn(c, dir)) {
        std::puts("submitted_twice=-1 stale_writes=-1 unlogged=-1");
        return 1;
    }
    const auto count = [&c](const QString& sql) {
        const vt::ValueArray r = c.GetRows(sql, {});
        return r.rows() ? r.at(0, 0).toInt() : -1;
    };
    const int twice = count(QStringLiteral("select count(*) from (select fldPrdNo from tblrecord where fldStatus > '00' "
                                           "and fldPrdNo like 'W%' group by fldPrdNo having count(*) > 1)"));
    const int stale = count(QStringLiteral("select count(*) from tblStaleWrite"));
    const int held = count(QStringLiteral("select count(distinct fldPrdNo) from tblrecord where fldStatus > '00' and "
                                          "fldPrdNo like 'W%'"));
    // Every submitted record's status change is in the execution log.
    QSet<QString> logged;
    const vt::ValueArray log = c.GetRows(QStringLiteral("select fldStatement from tblExecLog"), {});
    for (int r = 0; r < log.rows(); ++r)
        logged.insert(log.at(0, r).toString());
    const vt::ValueArray submitted = c.GetRows(
        QStringLiteral("select fldsn, fldMsn from tblrecord where fldStatus = '01' and fldPrdNo like 'W%'"), {});
    int unlogged = 0;
    for (int r = 0; r < submitted.rows(); ++r)
        if (!logged.contains(SubmitStatement(submitted.at(0, r).toString(), submitted.at(1, r).toString())))
            ++unlogged;
    std::printf("submitted_twice=%d stale_writes=%d unlogged=%d numbers_submitted=%d\n", twice, stale, unlogged, held);
    return twice || stale || unlogged || held != Numbers ? 3 : 0;
}
