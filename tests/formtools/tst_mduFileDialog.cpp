// The program's file dialogs beside an open embedded database: browsing the
// folder that holds it must not touch the database file. A process that
// opens and closes a file drops every POSIX lock it holds on that file, so
// a dialog that reads the file (to guess its type) would silently release
// the database's locks; the next program to close the database then takes
// the write-ahead log away from under the open connection, and what the
// program writes afterwards is lost.
#include "mduFileDialog.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <sqlite3.h>

class TestMduFileDialog : public QObject {
    Q_OBJECT
private slots:
    void browsingLeavesTheDatabaseLocked() {
        const QString cli = QStandardPaths::findExecutable("sqlite3");
        QVERIFY2(!cli.isEmpty(), "the sqlite3 program is needed");
        QTemporaryDir dir;
        const QString path = dir.filePath("demo.db");
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "pragma journal_mode=wal; create table t (x); insert into t values (1);", nullptr,
                              nullptr, nullptr),
                 SQLITE_OK);
        QVERIFY(QFile::exists(path + "-wal"));

        std::unique_ptr<QFileDialog> dialog(NewFileDialog(nullptr, "保存", dir.filePath("x.csv"), "CSV (*.csv)"));
        auto* model = dialog->findChild<QFileSystemModel*>();
        QVERIFY(model);
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        dialog->show();
        QTRY_VERIFY_WITH_TIMEOUT(loaded.contains(QVariantList{dir.path()}), 10000);
        // The files' icons and types are gathered after the listing, by a
        // thread of the dialog's own.
        QTest::qWait(1500);

        // Another program opens and closes the database: with our locks in
        // place it leaves the write-ahead log alone.
        QProcess other;
        other.start(cli, {path, "select count(*) from t;"});
        QVERIFY(other.waitForFinished(30000));
        QCOMPARE(other.readAllStandardOutput().trimmed(), QByteArray("1"));
        QVERIFY2(QFile::exists(path + "-wal"), "the write-ahead log was taken away from the open connection");
        QCOMPARE(sqlite3_exec(db, "insert into t values (2);", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        other.start(cli, {path, "select count(*) from t;"});
        QVERIFY(other.waitForFinished(30000));
        QCOMPARE(other.readAllStandardOutput().trimmed(), QByteArray("2"));
    }
};

QTEST_MAIN(TestMduFileDialog)
#include "tst_mduFileDialog.moc"
