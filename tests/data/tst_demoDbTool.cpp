// The demo database tool keeps what a user entered unless asked to reset.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

namespace {

QString run(const QStringList& args, int* code) {
    QProcess p;
    p.start(QStringLiteral(QV_DEMO_DB_TOOL), args);
    p.waitForFinished(30000);
    *code = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

int exec(const QString& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt* st = nullptr;
    int value = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        value = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return value;
}

} // namespace

class TestDemoDbTool : public QObject {
    Q_OBJECT
private slots:
    void keepsEntriesUnlessReset();
};

void TestDemoDbTool::keepsEntriesUnlessReset() {
    QTemporaryDir dir;
    int code = -1;
    QVERIFY(run({dir.path()}, &code).contains("(created)"));
    QCOMPARE(code, 0);
    const QString db = dir.filePath("demo.db");
    const int demoRows = exec(db, "select count(*) from tblrecord");
    QVERIFY(demoRows > 0);
    exec(db, "insert into tblrecord (fldMsn, fldPrdNo, fldStatus) values ('1', 'C00000777', '00')");
    // The user's own setting survives as well.
    QFile ini(dir.filePath("setup.ini"));
    QVERIFY(ini.open(QIODevice::Append));
    ini.write("[SHOW]\nBACKFILE=CC\n");
    ini.close();

    QVERIFY(run({dir.path()}, &code).contains("(kept)"));
    QCOMPARE(exec(db, "select count(*) from tblrecord where fldPrdNo='C00000777'"), 1);
    QVERIFY(ini.open(QIODevice::ReadOnly) && ini.readAll().contains("BACKFILE"));
    ini.close();

    QVERIFY(run({"--reset", dir.path()}, &code).contains("(reset)"));
    QCOMPARE(exec(db, "select count(*) from tblrecord where fldPrdNo='C00000777'"), 0);
    QCOMPARE(exec(db, "select count(*) from tblrecord"), demoRows);

    run({"--bogus", dir.path()}, &code);
    QCOMPARE(code, 2);
}

QTEST_GUILESS_MAIN(TestDemoDbTool)
#include "tst_demoDbTool.moc"
