// The connection object on the embedded database with 100,000 records:
//   conn.makerview_100k        ms of the upvProducts "MakerView" call that lists them
//   conn.makerview_100k_floor  the same select read with SQLite's own calls into texts
//   conn.exec_per_s            ExeCommand inserts (each with its log entry) per second
//   conn.exec_floor_per_s      the same statements run directly through SQLite, the
//                              log insert prepared once as the program caches it;
//                              run first, so the program's run meets the larger table
#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"
#include "mduPaths.h"
#include "qvBench.h"

#include <QApplication>
#include <QDate>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

// Records as a lab enters them: unique card numbers, patients from a few
// hundred names, a few dozen doctors and hospitals, dates over two years.
QString insertStatement(int i) {
    static const QStringList surnames = QString::fromUtf8(
        "王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 高 林 罗 郑 梁 谢 宋 唐 许 韩 冯 邓 曹").split(' ');
    static const QStringList given = QString::fromUtf8(
        "伟 芳 娜 敏 静 丽 强 磊 军 洋 勇 艳 杰 娟 涛 明 超 秀英 霞 平 刚 桂英 华 飞 玉兰 鹏 辉 红 建华 婷").split(' ');
    static const QStringList products{"C01", "D01", "E01"};
    const QDate opDate = QDate(2012, 1, 1).addDays(i % 700);
    return QStringLiteral("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,"
                          "fldDLName,fldDFName,fldHospital,fldOpTime,fldPdTime,fldOpDesp,fldMemo,fldStatus) "
                          " select '1','1001','%1','%2','%3','%4','%5','%6','%7','%8','%9','%10','%11','00' ")
        .arg(products[i % 3], products[i % 3].left(1) + QString::number(i).rightJustified(8, QLatin1Char('0')),
             surnames[(i * 7) % surnames.size()], given[(i * 13) % given.size()],
             surnames[(i / 50) % surnames.size()], given[(i / 50) % given.size()],
             QString::fromUtf8("口腔医院第%1分院").arg((i / 97) % 40),
             opDate.toString(QStringLiteral("yyyy-MM-dd")),
             opDate.addDays(-5).toString(QStringLiteral("yyyy-MM-dd")),
             i % 4 == 0 ? QString::fromUtf8("上颌前牙烤瓷冠") : QString(), i % 9 == 0 ? QString::fromUtf8("复诊") : QString());
}

void fill(SqliteBackend& db, int count) {
    db.executeScript(QStringLiteral("BEGIN"));
    for (int i = 0; i < count; ++i)
        db.executeNative(insertStatement(1000000 + i), {});
    db.executeScript(QStringLiteral("COMMIT"));
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SetProgramFolder(dir.path());
    const QString path = dir.filePath(QStringLiteral("demo.db"));
    CreateEmbeddedDatabase(path, true);
    {
        SqliteBackend db;
        db.openFile(path, false);
        fill(db, 100000);
    }
    QString server = QStringLiteral("(embedded)"), name = QStringLiteral("demo");
    gConn->ConnectToDatabase(server, name);
    QString account = QStringLiteral("1001"), password = QStringLiteral("1234");
    gConn->CheckUser(account, password);

    // The list stays alive until the next run: handing it back is timed,
    // freeing the previous one is not.
    QVariant listed;
    const double list = qvbench::bestOf(
        5,
        [&listed] {
            QVariantList p{QStringLiteral("MakerView"), gConn->OpId(), QStringLiteral("00"),
                           QString(), QString(), QString()};
            listed = gConn->GetSP(QStringLiteral("upvProducts"), p);
        },
        [&listed] { listed = QVariant(); });
    const int rows = vt::toArray(listed).rows();
    listed = QVariant();
    if (rows < 100000)
        std::fprintf(stderr, "bench_conn: the list held %d rows\n", rows);
    qvbench::report("conn.makerview_100k", list);
    {
        // The pending list's select, its rows read with SQLite's own calls
        // into texts held as the program holds them: packed, a block of
        // UTF-16 text and an offset and a length per cell, per column.
        sqlite3* raw = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        struct Packed {
            std::vector<char16_t> text;
            std::vector<std::pair<quint32, quint32>> spans;
        };
        std::vector<Packed> cells;
        const double floor = qvbench::bestOf(
            5,
            [raw, &cells] {
                sqlite3_stmt* st = nullptr;
                sqlite3_prepare_v2(raw,
                                   "select r.fldsn, r.fldPrdName, r.fldPrdName, r.fldPrdNo, r.fldPLName, r.fldPFName,"
                                   " r.fldDLName, r.fldDFName, r.fldHospital, r.fldOpTime, r.fldOpDesp, r.fldMemo,"
                                   " r.fldPdTime from tblrecord r where r.fldMsn = ?1 and r.fldStatus = '00'"
                                   " order by r.fldsn",
                                   -1, &st, nullptr);
                sqlite3_bind_int(st, 1, 1);
                const int cols = sqlite3_column_count(st);
                cells.resize(static_cast<std::size_t>(cols));
                while (sqlite3_step(st) == SQLITE_ROW)
                    for (int c = 0; c < cols; ++c) {
                        Packed& p = cells[static_cast<std::size_t>(c)];
                        const auto* t = static_cast<const char16_t*>(sqlite3_column_text16(st, c));
                        const int n = sqlite3_column_bytes16(st, c) / 2;
                        p.spans.emplace_back(static_cast<quint32>(p.text.size()), static_cast<quint32>(n));
                        p.text.insert(p.text.end(), t, t + n);
                    }
                sqlite3_finalize(st);
            },
            [&cells] { cells = std::vector<Packed>(); });
        if (cells.empty() || cells[0].spans.size() < 100000)
            std::fprintf(stderr, "bench_conn: the floor read too few rows\n");
        sqlite3_close(raw);
        qvbench::report("conn.makerview_100k_floor", floor);
    }

    constexpr int N = 3000;
    int next = 2000000;
    gConn.reset();

    // The same statements straight through SQLite, first: the record insert
    // as text, the log entry as an insert prepared once and bound.
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr);
    sqlite3_stmt* log = nullptr;
    sqlite3_prepare_v2(raw,
                       "insert into tblExecLog (fldTime, fldStatement, fldParams, fldOpNo)"
                       " values (datetime('now','localtime'), ?1, ?2, ?3)",
                       -1, &log, nullptr);
    const double floor = qvbench::bestOf(3, [&next, raw, log] {
        for (int i = 0; i < N; ++i) {
            const QByteArray sql = insertStatement(next++).toUtf8();
            sqlite3_exec(raw, sql.constData(), nullptr, nullptr, nullptr);
            sqlite3_reset(log);
            sqlite3_bind_text(log, 1, sql.constData(), static_cast<int>(sql.size()), SQLITE_STATIC);
            sqlite3_bind_text(log, 2, "", 0, SQLITE_STATIC);
            sqlite3_bind_text(log, 3, "1001", 4, SQLITE_STATIC);
            sqlite3_step(log);
        }
    });
    sqlite3_finalize(log);
    sqlite3_close(raw);

    gConn->ConnectToDatabase(server, name);
    account = QStringLiteral("1001");
    password = QStringLiteral("1234");
    gConn->CheckUser(account, password);
    const double exec = qvbench::bestOf(3, [&next] {
        for (int i = 0; i < N; ++i)
            gConn->ExeCommand(insertStatement(next++));
    });
    gConn.reset();
    qvbench::report("conn.exec_per_s", N / (exec / 1000.0), "per_s");
    qvbench::report("conn.exec_floor_per_s", N / (floor / 1000.0), "per_s");
    return 0;
}
