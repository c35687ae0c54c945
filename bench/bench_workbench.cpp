// The workbench on the embedded database:
//   workbench.submit_all_5k        ms of submit-all over 5,000 pending records
//   workbench.submit_all_5k_floor  ms of the same statements run directly through SQLite, one transaction
//   batch.check_10k                ms of the batch check over 10,000 pasted rows
//   batch.check_10k_floor          ms of the same tests of the same rows on plain values, the range and
//                                  duplicate tests by two statements prepared once and reused
//   batch.import_10k               ms of their import, the batch tab showing (its floor, the same
//                                  statements straight through SQLite, is bench_extras' batch.import_10k_floor)
//   batch.import_1k, batch.import_50k   ms of imports of 1,000 and 50,000 rows
//   batch.import_growth            time per row at 50,000 rows over time per row at 1,000
//   workbench.open_demo            ms from sign-in done to the workbench painted, demo database
//   workbench.open_100k            the same with 100,000 pending records
// The floors open the database as the program does (write-ahead log, full
// syncs) and wait for the disk once, at their one commit; the program's
// chunks wait once too, at the end of the run.
#include "EditGrid.h"
#include "clsConn.h"
#include "dbDialect.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "frmBatchTab.h"
#include "frmEntryTab.h"
#include "frmProducts.h"
#include "frmRecordList.h"
#include "mduDataUi.h"
#include "mduHospital.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "mduRecordRules.h"
#include "mduRecordSql.h"
#include "vtDateText.h"
#include "qvBench.h"
#include "qvBenchSession.h"

#include <QApplication>
#include <QHash>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

void prepare(const QString& path, int pending) {
    CreateEmbeddedDatabase(path, true);
    SqliteBackend db;
    db.openFile(path, false);
    db.executeScript(QStringLiteral("delete from tblrecord where fldStatus='00';"
                                    "update tblProductNoSet set fldPrdNoFrom='C00000001', fldPrdNoTo='C99999999' where fldmaker=1 and fldPrdNoFrom like 'C%';"));
    db.executeScript(QStringLiteral("BEGIN"));
    for (int i = 0; i < pending; ++i)
        db.executeNative(QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                        "fldHospital,fldOpTime,fldPdTime,fldStatus) values (1,'1001','C01',?1,'张','伟',"
                                        "'北京口腔医院','2013-09-10','2013-09-05','00')"),
                         {qvbench::Card(10000 + i)});
    db.executeScript(QStringLiteral("COMMIT"));
}

void closeRaw(sqlite3* db) {
    qvbench::FloorLogDone();
    sqlite3_close(db);
}

sqlite3* openRaw(const QString& path) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
    return raw;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qvbench::AnswerYes yes("bench_workbench");
    SetMessagePresenter(&yes);
    InstallFormDataUserInterface(); // the busy pointer, as the program has it
    QTemporaryDir dir;
    QSettings hospitals(dir.filePath(QStringLiteral("hospitals.ini")), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    const QString path = dir.filePath(QStringLiteral("demo.db"));

    {
        prepare(path, 5000);
        qvbench::SignInEmbedded(dir.path());
        frmProducts form;
        form.show();
        QElapsedTimer t;
        t.start();
        form.tabEntry->cmdSubmitAll_Click();
        const double ms = t.nsecsElapsed() / 1e6;
        if (form.tabEntry->list->grid->Rows() != 1)
            std::fprintf(stderr, "bench_workbench: %d rows were left\n", form.tabEntry->list->grid->Rows() - 1);
        qvbench::report("workbench.submit_all_5k", ms);
        gConn.reset();

        prepare(path, 5000);
        sqlite3* raw = openRaw(path);
        std::vector<std::pair<QString, QString>> rows;
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw, "select fldPrdNo, fldsn from tblrecord where fldStatus='00' order by fldsn desc", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            rows.emplace_back(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))),
                              QString::number(sqlite3_column_int64(st, 1)));
        sqlite3_finalize(st);
        t.restart();
        // The same work in one transaction, as the program's chunks do it:
        // each chunk's cards tested by one query and submitted by one update,
        // logged once.
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        for (size_t from = 0; from < rows.size(); from += CardsPerTest) {
            QList<CardToTest> cards;
            QStringList keys;
            for (size_t i = from; i < std::min(rows.size(), from + CardsPerTest); ++i) {
                cards.append({rows[i].first, rows[i].second});
                keys << rows[i].second;
            }
            const QByteArray tests = TranslateToSqlite(CardTestsStatement(cards, QStringLiteral("1"), QStringLiteral("2"))).toUtf8();
            sqlite3_stmt* q = nullptr;
            sqlite3_prepare_v2(raw, tests.constData(), static_cast<int>(tests.size()), &q, nullptr);
            while (sqlite3_step(q) == SQLITE_ROW)
                for (int c = 0; c < sqlite3_column_count(q); ++c)
                    sqlite3_column_text(q, c);
            sqlite3_finalize(q);
            const QByteArray update = TranslateToSqlite(SubmitManyStatement(keys, QStringLiteral("1"))).toUtf8();
            sqlite3_exec(raw, update.constData(), nullptr, nullptr, nullptr);
            qvbench::FloorLog(raw, update);
        }
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        qvbench::report("workbench.submit_all_5k_floor", t.nsecsElapsed() / 1e6);
        closeRaw(raw);
    }

    {
        // The batch tab showing, as the user has it while importing.
        auto import = [&path, &dir](int n, bool check) {
            prepare(path, 0);
            qvbench::SignInEmbedded(dir.path());
            frmProducts form;
            form.stbInfo->setCurrentIndex(3);
            form.show();
            QCoreApplication::processEvents();
            vt::ValueArray rows(11, n);
            for (int i = 0; i < n; ++i) {
                const QStringList r{QStringLiteral("钴铬合金烤瓷冠"), qvbench::Card(200000 + i), QStringLiteral("2013-09-01"),
                                    QStringLiteral("2013-09-02"), QStringLiteral("李"), QStringLiteral("明"), QString(), QString(),
                                    QStringLiteral("协和医院"), QString(), QString()};
                for (int c = 0; c < 11; ++c)
                    rows.setText(c, i, r[c]);
            }
            form.tabBatch->egBatch->LoadData(vt::toVariant(rows));
            QCoreApplication::processEvents();
            form.tabBatch->cmdCheck->setEnabled(true);
            QElapsedTimer t;
            t.start();
            form.tabBatch->cmdCheck_Click();
            if (check)
                qvbench::report("batch.check_10k", t.nsecsElapsed() / 1e6);
            if (!form.tabBatch->cmdImport->isEnabled())
                std::fprintf(stderr, "bench_workbench: the batch check failed\n");
            t.restart();
            form.tabBatch->cmdImport_Click();
            QCoreApplication::processEvents();
            const double ms = t.nsecsElapsed() / 1e6;
            if (form.tabBatch->egBatch->Rows() != 1)
                std::fprintf(stderr, "bench_workbench: %d batch rows were left\n", form.tabBatch->egBatch->Rows() - 1);
            gConn.reset();
            return ms;
        };
        qvbench::report("batch.import_10k", import(10000, true));

        {
            prepare(path, 0);
            sqlite3* raw = openRaw(path);
            const QStringList products{QStringLiteral("钴铬合金烤瓷冠"), QStringLiteral("二氧化锆全瓷冠"),
                                       QStringLiteral("铸瓷贴面")};
            QList<QStringList> rows;
            for (int i = 0; i < 10000; ++i)
                rows << QStringList{QStringLiteral("钴铬合金烤瓷冠"), qvbench::Card(200000 + i), QStringLiteral("2013-09-01"),
                                    QStringLiteral("2013-09-02"), QStringLiteral("李"), QStringLiteral("明"), QString(),
                                    QString(), QStringLiteral("协和医院"), QString(), QString()};
            sqlite3_stmt* range = nullptr;
            sqlite3_stmt* taken = nullptr;
            sqlite3_prepare_v2(raw, "select 1 from tblProductNoSet where fldPrdNoFrom<=?1 and fldPrdNoTo>=?1 and "
                               "length(rtrim(fldPrdNoFrom,' '))=length(rtrim(?1,' ')) and (fldmaker='1' or fldmaker='2')",
                               -1, &range, nullptr);
            sqlite3_prepare_v2(raw, "select 1 from tblrecord where fldstatus>'00' and fldsn<>'' and fldprdno=?1", -1,
                               &taken, nullptr);
            QElapsedTimer t;
            t.start();
            const QDate today = QDate::currentDate();
            QHash<QString, int> seen;
            for (const QStringList& r : rows)
                ++seen[r[BatchCardNumber - 1]];
            int warned = 0;
            for (int i = 0; i < rows.size(); ++i) {
                const QStringList& cells = rows[i];
                warned += static_cast<int>(DateWarnings(vt::recognizeDate(cells[BatchProductionDate - 1]),
                                                        vt::recognizeDate(cells[BatchTreatmentDate - 1]), today)
                                               .size());
                const QList<RuleFailure> failures = BatchRowFailures(cells, i + 1, products);
                const QByteArray number = cells[BatchCardNumber - 1].toUtf8();
                if (!failures.isEmpty() || seen.value(cells[BatchCardNumber - 1]) > 1)
                    continue;
                bool inRange = false, isTaken = false;
                for (auto [st, found] : {std::pair{range, &inRange}, std::pair{taken, &isTaken}}) {
                    sqlite3_reset(st);
                    sqlite3_bind_text(st, 1, number.constData(), static_cast<int>(number.size()), SQLITE_STATIC);
                    *found = sqlite3_step(st) == SQLITE_ROW;
                }
                warned += !inRange || isTaken ? 1 : 0;
            }
            qvbench::report("batch.check_10k_floor", t.nsecsElapsed() / 1e6);
            if (warned != 0)
                std::fprintf(stderr, "bench_workbench: the floor's check warned of %d rows\n", warned);
            sqlite3_finalize(range);
            sqlite3_finalize(taken);
            closeRaw(raw);
        }


        const double small = import(1000, false);
        const double large = import(50000, false);
        qvbench::report("batch.import_1k", small);
        qvbench::report("batch.import_50k", large);
        qvbench::reportRatio("batch.import_growth", (large / 50000) / (small / 1000));
    }

    {
        // Sign-in done to the workbench painted with its pending list.
        auto open = [&dir](const QString& path, int pending) {
            prepare(path, pending);
            qvbench::SignInEmbedded(dir.path());
            QElapsedTimer t;
            t.start();
            {
                frmProducts form;
                form.show();
                QCoreApplication::processEvents();
                form.grab();
                if (form.tabEntry->list->grid->Rows() - 1 < pending)
                    std::fprintf(stderr, "bench_workbench: the list held %d rows\n", form.tabEntry->list->grid->Rows() - 1);
                const double ms = t.nsecsElapsed() / 1e6;
                gConn.reset();
                return ms;
            }
        };
        const double demo = open(path, 0);
        const double many = open(path, 100000);
        qvbench::report("workbench.open_demo", demo);
        qvbench::report("workbench.open_100k", many);
    }
    SetHospitalStore(nullptr);
    return 0;
}
