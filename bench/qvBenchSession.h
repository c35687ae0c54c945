#pragma once
// What the workbench's benchmarks share: the answers to the program's
// boxes, card numbers, signing in to an embedded database in a folder, and
// the floors' execution log written straight through SQLite.
#include "clsConn.h"
#include "mduINI.h"
#include "mduMessage.h"
#include "mduPaths.h"

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <sqlite3.h>

namespace qvbench {

// Every question is answered Yes; any other box is named on stderr.
class AnswerYes final : public MessagePresenter {
public:
    explicit AnswerYes(const char* bench) : m_bench(bench) {}
    int present(const MessageRequest& r) override {
        if (!r.buttons.contains(MsgYes))
            std::fprintf(stderr, "%s: message %s\n", m_bench, qPrintable(r.text));
        return MsgYes;
    }

private:
    const char* m_bench;
};

// No box is expected: each one is named on stderr and given its default.
class NoBoxes final : public MessagePresenter {
public:
    explicit NoBoxes(const char* bench) : m_bench(bench) {}
    int present(const MessageRequest& r) override {
        std::fprintf(stderr, "%s: message %s\n", m_bench, qPrintable(r.text));
        return r.defaultButton;
    }

private:
    const char* m_bench;
};

// A C-product card number: "C" and eight digits.
inline QString Card(int i) { return QStringLiteral("C%1").arg(i, 8, 10, QLatin1Char('0')); }

// The program's folder set to folder, its setup.ini naming the embedded
// database there, and the demo lab's account signed in.
inline void SignInEmbedded(const QString& folder) {
    SetProgramFolder(folder);
    WriteIniString(QStringLiteral("DATABASE"), QStringLiteral("SERVER"), QStringLiteral("(embedded)"), SetupIniPath());
    QString server = QStringLiteral("(embedded)"), name = QStringLiteral("demo");
    gConn.reset();
    gConn->ConnectToDatabase(server, name);
    QString account = QStringLiteral("1001"), password = QStringLiteral("1234");
    gConn->CheckUser(account, password);
}

// The floors' log entry, its insert prepared once per connection as the
// program keeps it prepared; FloorLogDone before the connection closes.
inline sqlite3_stmt*& floorLogInsert() {
    static sqlite3_stmt* st = nullptr;
    return st;
}
inline void FloorLog(sqlite3* db, const QByteArray& statement, const QByteArray& params = {}) {
    sqlite3_stmt*& st = floorLogInsert();
    if (!st)
        sqlite3_prepare_v2(db,
                           "insert into tblExecLog (fldTime, fldStatement, fldParams, fldOpNo) "
                           "values (datetime('now','localtime'), ?1, ?2, '1001')",
                           -1, &st, nullptr);
    sqlite3_reset(st);
    sqlite3_bind_text(st, 1, statement.constData(), static_cast<int>(statement.size()), SQLITE_STATIC);
    sqlite3_bind_text(st, 2, params.constData(), static_cast<int>(params.size()), SQLITE_STATIC);
    sqlite3_step(st);
}
inline void FloorLogDone() {
    sqlite3_finalize(floorLogInsert());
    floorLogInsert() = nullptr;
}

} // namespace qvbench
