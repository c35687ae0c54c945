// The card's lot and each record's history on the embedded database:
//   recall.lot_100k            ms to find and show a lot's 100 cards among the lab's 100,000 (the recall tab)
//   history.card               ms to read one card's history and put it in words, 100,000 records' history kept
//   batch.import_10k_history   ms of the batch tab's import of 10,000 rows, the history triggers in place
//   batch.import_10k_floor     ms of the same statements (a chunk's rows in one insert, logged once)
//                              run directly through SQLite without the triggers, one transaction
//   batch.import_10k_floor_history  the same statements straight through SQLite with the triggers
//   batch.import_history_ratio batch.import_10k_history over batch.import_10k_floor
//   batch.import_floor_history_ratio  what the triggers alone cost: the two floors' ratio
//   batch.import_10k_no_history     the program's import with the triggers dropped
//   batch.import_program_history_ratio  the program's import with the triggers over without
#include "EditGrid.h"
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "frmBatchTab.h"
#include "frmLotRecall.h"
#include "frmProducts.h"
#include "mduBatchStatements.h"
#include "mduCardExtrasData.h"
#include "mduDataUi.h"
#include "mduHospital.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"
#include "qvBench.h"
#include "qvBenchSession.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

// The demo database with the lab's records: 1,000 lots of 100 cards each.
void prepare(const QString& path, int records) {
    CreateEmbeddedDatabase(path, true);
    SqliteBackend db;
    db.openFile(path, false);
    db.executeScript(QStringLiteral("delete from tblrecord where fldStatus='00';"
                                    "update tblProductNoSet set fldPrdNoFrom='C00000001', fldPrdNoTo='C99999999' where fldmaker=1 and fldPrdNoFrom like 'C%';"));
    db.executeScript(QStringLiteral("BEGIN"));
    for (int i = 0; i < records; ++i)
        db.executeNative(QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                                        "fldHospital,fldOpTime,fldPdTime,fldStatus,fldLot,fldTeeth,fldShade) values (1,'1001','C01',?1,'张','伟',"
                                        "?2,'2013-09-10','2013-09-05','02',?3,'11 21','A2')"),
                         {qvbench::Card(1000000 + i), QStringLiteral("诊所%1").arg(i % 37), QStringLiteral("LOT-%1").arg(i % 1000, 4, 10, QLatin1Char('0'))});
    db.executeScript(QStringLiteral("COMMIT"));
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qvbench::AnswerYes yes("bench_extras");
    SetMessagePresenter(&yes);
    InstallFormDataUserInterface();
    QTemporaryDir dir;
    QSettings hospitals(dir.filePath(QStringLiteral("hospitals.ini")), QSettings::IniFormat);
    SetHospitalStore(&hospitals);
    const QString path = dir.filePath(QStringLiteral("demo.db"));

    {
        prepare(path, 100000);
        qvbench::SignInEmbedded(dir.path());
        SetCardExtrasFound(LoadLabClinicsAndLots(gConn->OpId()));
        frmLotRecall recall({});
        recall.resize(1200, 700);
        recall.show();
        QCoreApplication::processEvents();
        int lot = 0;
        const double ms = qvbench::bestOf(5, [&] {
            recall.cboLot->setEditText(QStringLiteral("LOT-%1").arg(++lot * 7, 4, 10, QLatin1Char('0')));
            recall.cmdFind_Click();
            recall.grab();
        });
        if (recall.lstCards->rowCount() != 100)
            std::fprintf(stderr, "bench_extras: the recall showed %d cards\n", recall.lstCards->rowCount());
        qvbench::report("recall.lot_100k", ms);

        QString line;
        const double history = qvbench::bestOf(20, [&] {
            line = HistoryLine(LoadRecordHistory(gConn->OpId().toString(), QStringLiteral("54321")));
        });
        if (line.isEmpty())
            std::fprintf(stderr, "bench_extras: no history\n");
        // Well under a millisecond: three places.
        std::printf("history.card: %.3f ms\n", history);
        std::fflush(stdout);
        gConn.reset();
    }

    {
        const int n = 10000;
        // The program's import, the batch tab showing.
        const auto programImport = [&](bool triggers) {
            prepare(path, 0);
            if (!triggers) {
                SqliteBackend db;
                db.openFile(path, false);
                db.executeScript(QStringLiteral("drop trigger trgRecordHistoryInsert; drop trigger trgRecordHistoryUpdate; "
                                                "drop trigger trgRecordHistoryDelete;"));
            }
            qvbench::SignInEmbedded(dir.path());
            frmProducts form;
            form.stbInfo->setCurrentIndex(3);
            form.show();
            QCoreApplication::processEvents();
            vt::ValueArray rows(14, n);
            for (int i = 0; i < n; ++i) {
                const QStringList r{QStringLiteral("钴铬合金烤瓷冠"), qvbench::Card(200000 + i), QStringLiteral("2013-09-01"),
                                    QStringLiteral("2013-09-02"), QStringLiteral("李"), QStringLiteral("明"), QString(), QString(),
                                    QStringLiteral("协和医院"), QString(), QString(), QStringLiteral("LOT-B1"),
                                    QStringLiteral("11 21"), QStringLiteral("A2")};
                for (int c = 0; c < 14; ++c)
                    rows.setText(c, i, r[c]);
            }
            form.tabBatch->egBatch->LoadData(vt::toVariant(rows));
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            form.tabBatch->cmdImport_Click();
            QCoreApplication::processEvents();
            const double ms = t.nsecsElapsed() / 1e6;
            if (form.tabBatch->egBatch->Rows() != 1)
                std::fprintf(stderr, "bench_extras: %d batch rows were left\n", form.tabBatch->egBatch->Rows() - 1);
            gConn.reset();
            return ms;
        };
        const double withHistory = programImport(true);
        const double withoutHistory = programImport(false);
        qvbench::report("batch.import_10k_history", withHistory);
        qvbench::report("batch.import_10k_no_history", withoutHistory);

        // The same statements straight through SQLite, without the
        // triggers and with them.
        const auto rawImport = [&](bool triggers) {
            prepare(path, 0);
            sqlite3* raw = nullptr;
            sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
            sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
            if (!triggers)
                sqlite3_exec(raw, "drop trigger trgRecordHistoryInsert; drop trigger trgRecordHistoryUpdate; "
                                  "drop trigger trgRecordHistoryDelete;",
                             nullptr, nullptr, nullptr);
            QElapsedTimer t;
            t.start();
            // The batch's statements: a chunk's rows in one insert, its values
            // bound, logged once, as the batch tab sends them.
            const ProductList products{{QStringLiteral("C01")}, {QStringLiteral("钴铬合金烤瓷冠")}};
            const int perStatement = InsertRowsPerStatement(17);
            sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
            for (int from = n - 1; from >= 0; from -= perStatement) {
                QList<InsertColumns> rows;
                for (int i = from; i > from - perStatement && i >= 0; --i)
                    rows << BatchRowColumns({QStringLiteral("钴铬合金烤瓷冠"), qvbench::Card(200000 + i), QStringLiteral("2013-09-01"),
                                             QStringLiteral("2013-09-02"), QStringLiteral("李"), QStringLiteral("明"),
                                             QString(), QString(), QStringLiteral("协和医院"), QString(), QString(),
                                             QStringLiteral("LOT-B1"), QStringLiteral("11 21"), QStringLiteral("A2")},
                                            products, QStringLiteral("1"), QStringLiteral("1001"), true);
                const SqlWithValues insert = InsertRowsStatement(rows);
                const QByteArray sql = insert.sql.toUtf8();
                sqlite3_stmt* st = nullptr;
                sqlite3_prepare_v2(raw, sql.constData(), static_cast<int>(sql.size()), &st, nullptr);
                QList<QByteArray> texts;
                texts.reserve(insert.values.size());
                for (const QVariant& v : insert.values)
                    texts << v.toString().toUtf8();
                for (int v = 0; v < texts.size(); ++v)
                    sqlite3_bind_text(st, v + 1, texts[v].constData(), static_cast<int>(texts[v].size()), SQLITE_STATIC);
                if (sqlite3_step(st) != SQLITE_DONE)
                    std::fprintf(stderr, "bench_extras: the floor's insert failed: %s\n", sqlite3_errmsg(raw));
                sqlite3_finalize(st);
                qvbench::FloorLog(raw, sql, texts.join(','));
            }
            sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
            const double ms = t.nsecsElapsed() / 1e6;
            qvbench::FloorLogDone();
            sqlite3_close(raw);
            return ms;
        };
        const double floor = rawImport(false);
        const double floorWithHistory = rawImport(true);
        qvbench::report("batch.import_10k_floor", floor);
        qvbench::report("batch.import_10k_floor_history", floorWithHistory);
        qvbench::reportRatio("batch.import_history_ratio", withHistory / floor);
        qvbench::reportRatio("batch.import_floor_history_ratio", floorWithHistory / floor);
        qvbench::reportRatio("batch.import_program_history_ratio", withHistory / withoutHistory);
    }
    SetHospitalStore(nullptr);
    return 0;
}
