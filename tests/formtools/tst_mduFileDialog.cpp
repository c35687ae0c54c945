// The program's file dialogs beside an open embedded database: browsing the
// folder that holds it must not touch the database file. A process that
// opens and closes a file drops every POSIX lock it holds on that file, so
// a dialog that reads the file (to guess its type) would silently release
// the database's locks; the next program to close the database then takes
// the write-ahead log away from under the open connection, and what the
// program writes afterwards is lost.
#include "mduFileDialog.h"
#include "mduToolkitLanguage.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QFileSystemModel>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <sqlite3.h>

namespace {
// Answers the next file dialog as a person would: notes the folder it shows,
// types the text into its name box and presses Enter.
struct DialogAnswer {
    QString typed;
    QString shownFolder;
    void arm() {
        QTimer::singleShot(50, [this] { answer(); });
    }
    void answer() {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            arm();
            return;
        }
        shownFolder = dialog->directory().absolutePath();
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (!edit) {
            dialog->reject();
            return;
        }
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        // A dialog still open (a "not found" box, or the name refused) is
        // closed so that the test goes on.
        QTimer::singleShot(500, [] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                if (auto* box = qobject_cast<QDialog*>(w); box && !qobject_cast<QFileDialog*>(w))
                    box->reject();
                if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                    d->reject();
            }
        });
    }
};
} // namespace

class TestMduFileDialog : public QObject {
    Q_OBJECT
private slots:
    void toolkitTextsInChinese() {
        QVERIFY2(InstallToolkitChinese(), "qtbase_zh_CN.qm of qt6-translations-l10n is needed");
        QTemporaryDir dir;
        std::unique_ptr<QFileDialog> dialog(NewOpenFileDialog(nullptr, "读取文件", dir.path(), "CSV (*.csv)"));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QVERIFY2(buttons->button(QDialogButtonBox::Open)->text().startsWith("打开"),
                 qPrintable(buttons->button(QDialogButtonBox::Open)->text()));
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("取消"));
        // The folder itself, and no name offered in it.
        QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
        QCOMPARE(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), QString());
        for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
            auto* label = dialog->findChild<QLabel*>(name);
            QVERIFY(label);
            QVERIFY2(!label->text().contains(QRegularExpression("[A-Za-z]{3}")), qPrintable(label->text()));
        }
    }
    void eachDialogItsOwnFolderAndBareNames() {
        QTemporaryDir a, b;
        for (const QString& path : {a.filePath("one.csv"), a.filePath("two.csv"), b.filePath("other.csv")}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        DialogAnswer answer;
        // A whole path is taken as typed, and its folder is remembered.
        answer.typed = a.filePath("one.csv");
        answer.arm();
        QCOMPARE(AskOpenFileName(nullptr, "读取文件", "CSV (*.csv)"), a.filePath("one.csv"));
        // The next time the dialog shows that folder itself, and a bare name
        // is taken in it.
        answer.typed = "two.csv";
        answer.arm();
        QCOMPARE(AskOpenFileName(nullptr, "读取文件", "CSV (*.csv)"), a.filePath("two.csv"));
        QCOMPARE(answer.shownFolder, QDir(a.path()).absolutePath());
        // Another dialog keeps a folder of its own.
        answer.typed = b.filePath("other.csv");
        answer.arm();
        QCOMPARE(AskOpenFileName(nullptr, "导入其他", "CSV (*.csv)"), b.filePath("other.csv"));
        QCOMPARE(answer.shownFolder, QDir::homePath());
        answer.typed = "one.csv";
        answer.arm();
        QCOMPARE(AskOpenFileName(nullptr, "读取文件", "CSV (*.csv)"), a.filePath("one.csv"));
        QCOMPARE(answer.shownFolder, QDir(a.path()).absolutePath());
        // A bare name that is not in the folder is not taken.
        answer.typed = "missing.csv";
        answer.arm();
        QCOMPARE(AskOpenFileName(nullptr, "读取文件", "CSV (*.csv)"), QString());
    }
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
