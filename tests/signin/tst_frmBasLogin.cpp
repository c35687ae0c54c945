#include "clsConn.h"
#include "frmBasLogin.h"
#include "mduINI.h"
#include "mduProcess.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"
#include "tsModal.h"
#include "tsUnprivileged.h"

#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {
struct ProcessEnded {
    int code;
};
} // namespace

class TestFrmBasLogin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        SetProcessEnd([](int code) { throw ProcessEnded{code}; });
    }
    void form();
    void lastAccountOffered_data();
    void lastAccountOffered();
    void refusedAccounts_data();
    void refusedAccounts();
    void signInRecordsDateAccountAndNotice();
    void noticeOncePerVersion();
    void emptyDatabaseVersion();
    void updateWritesFilesAndStartsUpdater_data();
    void updateWritesFilesAndStartsUpdater();
    void updaterThatCannotStart();
    void updateFilesThatCannotBeWritten_data();
    void updateFilesThatCannotBeWritten();
    void cancelLeavesResultFalse();

private:
    void show(frmBasLogin& f) {
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
    }
};

void TestFrmBasLogin::form() {
    ScriptedMessages boxes;
    DemoDatabase db;
    frmBasLogin f;
    QCOMPARE(f.windowTitle(), QString("用户登录    Quorvat"));
    QCOMPARE(f.lbtTitle->text(), QString("请输入用户编号和密码"));
    QCOMPARE(f.cmdOK->text(), QString("登录(&L)"));
    QCOMPARE(f.cmdCancel->text(), QString("退出(&E)"));
    QCOMPARE(f.cmdPassword->text(), QString("修改密码(&P)"));
    QCOMPARE(f.dtSelect->date(), QDate::currentDate());
    QCOMPARE(f.lbtTitle->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    show(f);
    // Focus selects the whole text; Enter in the password moves on as Tab.
    f.txtUserName->setText("1001");
    f.txtPassword->setText("secret");
    f.txtPassword->setFocus();
    QTRY_COMPARE(f.txtPassword->selectedText(), QString("secret"));
    QTest::keyClick(f.txtPassword, Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.cmdOK));
    QVERIFY(f.isVisible());
    QVERIFY(boxes.shown().isEmpty()); // Enter in the box signed nobody in
    const QString shots = qEnvironmentVariable("QV_SCREENSHOTS");
    if (!shots.isEmpty())
        f.grab().save(shots + "/frmBasLogin.png");
}

void TestFrmBasLogin::lastAccountOffered_data() {
    QTest::addColumn<QString>("stored");
    QTest::newRow("an account signed in before") << "1001";
    QTest::newRow("first sign-in on this computer") << "";
}

void TestFrmBasLogin::lastAccountOffered() {
    QFETCH(QString, stored);
    ScriptedMessages boxes;
    DemoDatabase db;
    WriteIniString("OPERATOR", "UID", stored, db.folder().iniPath());
    frmBasLogin f;
    QCOMPARE(f.txtUserName->text(), stored);
    show(f);
    // The password is typed straight away when the account is known.
    QLineEdit* expected = stored.isEmpty() ? f.txtUserName : f.txtPassword;
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(expected));
    if (!stored.isEmpty()) {
        QTest::keyClicks(QApplication::focusWidget(), "1234");
        QCOMPARE(f.txtPassword->text(), QString("1234"));
    }
}

void TestFrmBasLogin::refusedAccounts_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << "1001" << "123";
    QTest::newRow("inactive account") << "1003" << "1111";
    QTest::newRow("quote in password") << "1001" << "x' or '1'='1";
    QTest::newRow("unknown") << "0000" << "";
    QTest::newRow("NUL in password") << "1001" << QString("1234") + QChar(0);
    QTest::newRow("NUL in account") << QString("1001") + QChar(0) + "x" << "1234";
}

void TestFrmBasLogin::refusedAccounts() {
    QFETCH(QString, account);
    QFETCH(QString, password);
    ScriptedMessages boxes;
    DemoDatabase db;
    frmBasLogin f;
    show(f);
    f.txtUserName->setText(account);
    f.txtPassword->setText(password);
    QTest::mouseClick(f.cmdOK, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{"用户名或密码错误!"});
    QCOMPARE(boxes.shown().first().title, QString("检查用户名"));
    QVERIFY(f.isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.txtPassword));
    QCOMPARE(f.txtPassword->selectedText(), password);
    QVERIFY(!db.folder().readIni().contains("[OPERATOR]"));
}

void TestFrmBasLogin::signInRecordsDateAccountAndNotice() {
    ScriptedMessages boxes;
    DemoDatabase db;
    ModalDriver modals;
    QString noticeText;
    modals.then([&noticeText](QWidget* news) {
        noticeText = child<QPlainTextEdit>(news, "Text1")->toPlainText();
        const QString shots = qEnvironmentVariable("QV_SCREENSHOTS");
        if (!shots.isEmpty())
            news->grab().save(shots + "/frmNews.png");
        QTest::mouseClick(child<QPushButton>(news, "Command1"), Qt::LeftButton);
    });
    frmBasLogin f;
    f.txtUserName->setText("1001");
    f.txtPassword->setText("1234");
    f.dtSelect->setDate(QDate(2013, 9, 7));
    QTimer::singleShot(0, f.cmdOK, [&f] { f.cmdOK->click(); });
    QVERIFY(f.checkPass());
    QCOMPARE(modals.seen(), QStringList{"frmNews"});
    QCOMPARE(noticeText, QString("系统版本：1.0.4\n更新日期：2013年10月\n更新内容：\n"
                                 "  1、序列号分配机制增补：限定制作所使用的质保卡号段。"));
    QCOMPARE(gConn->ConnectDate(), QVariant("2013-09-07"));
    QCOMPARE(ReadIniString("OPERATOR", "UID", "", db.folder().iniPath()), QString("1001"));
    QCOMPARE(ReadIniString("START", "First", "", db.folder().iniPath()), QString("1.0.4"));
    QVERIFY(boxes.shown().isEmpty());
}

void TestFrmBasLogin::noticeOncePerVersion() {
    ScriptedMessages boxes;
    DemoDatabase db;
    ModalDriver modals;
    auto signIn = [] {
        frmBasLogin f;
        f.txtUserName->setText("1001");
        f.txtPassword->setText("1234");
        QTimer::singleShot(0, f.cmdOK, [&f] { f.cmdOK->click(); });
        return f.checkPass();
    };
    auto understood = [](QWidget* news) { child<QPushButton>(news, "Command1")->click(); };
    modals.then(understood);
    QVERIFY(signIn());
    QVERIFY(signIn()); // same version: no notice
    QCOMPARE(modals.seen().size(), 1);
    // A database version seen before, then the program's own again.
    WriteIniString("START", "First", "1.0.3", db.folder().iniPath());
    modals.then(understood);
    QVERIFY(signIn());
    QCOMPARE(modals.seen().size(), 2);
    QVERIFY(signIn());
    QCOMPARE(modals.seen().size(), 2);
}

void TestFrmBasLogin::emptyDatabaseVersion() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QCOMPARE(gConn->ExeCommand("update tblSystem set flditemCaption='' where flditemname='Version'"), 0);
    ModalDriver modals;
    frmBasLogin f;
    f.txtUserName->setText("1001");
    f.txtPassword->setText("1234");
    QTimer::singleShot(0, f.cmdOK, [&f] { f.cmdOK->click(); });
    QVERIFY(f.checkPass()); // no update, and no notice
    QVERIFY(modals.seen().isEmpty());
    QVERIFY(!QFile::exists(db.folder().file("Update.exe")));
}

void TestFrmBasLogin::updateWritesFilesAndStartsUpdater_data() {
    QTest::addColumn<QString>("dbVersion");
    QTest::newRow("database newer") << "1.0.5";
    QTest::newRow("program newer") << "1.0.3";
}

void TestFrmBasLogin::updateWritesFilesAndStartsUpdater() {
    QFETCH(QString, dbVersion);
    ScriptedMessages boxes;
    DemoDatabase db;
    const QByteArray updater = "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/started.txt\"\n";
    QByteArray program(5000, Qt::Uninitialized);
    for (int i = 0; i < program.size(); ++i)
        program[i] = char(i * 7);
    QVariantList files{updater, program};
    QCOMPARE(gConn->ExeCommand("insert into tblBasReportFile (fldRptId, fldFile) values ('Update', ?), ('System', ?)",
                               files),
             0);
    QVariantList v{dbVersion};
    QCOMPARE(gConn->ExeCommand("update tblSystem set flditemCaption=? where flditemname='Version'", v), 0);

    frmBasLogin f;
    f.txtUserName->setText("1001");
    f.txtPassword->setText("1234");
    int ended = -1;
    try {
        f.cmdOK->click();
    } catch (const ProcessEnded& e) {
        ended = e.code;
    }
    QCOMPARE(ended, 0);
    QFile written(db.folder().file("Update.exe"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), updater);
    QFile system(db.folder().file("System.exe"));
    QVERIFY(system.open(QIODevice::ReadOnly));
    QCOMPARE(system.readAll(), program);
    QFile started(db.folder().file("started.txt"));
    QTRY_VERIFY(started.exists() && started.size() > 0);
    QVERIFY(started.open(QIODevice::ReadOnly));
    QCOMPARE(started.readAll(), QByteArray("Quorvat.exe\n"));
    QVERIFY(boxes.shown().isEmpty());
    QVERIFY(!db.folder().readIni().contains("[OPERATOR]"));
}

void TestFrmBasLogin::updaterThatCannotStart() {
    ScriptedMessages boxes;
    DemoDatabase db;
    QCOMPARE(gConn->ExeCommand("update tblSystem set flditemCaption='2.0.0' where flditemname='Version'"), 0);
    frmBasLogin f;
    f.txtUserName->setText("1001");
    f.txtPassword->setText("1234");
    int ended = -1;
    try {
        f.cmdOK->click();
    } catch (const ProcessEnded& e) {
        ended = e.code;
    }
    QCOMPARE(ended, 0);
    QVERIFY(!QFile::exists(db.folder().file("Update.exe")));
    QCOMPARE(boxes.texts(), QStringList{"程序版本和数据库版本不相符合,请与系统管理员联系!"});
    QCOMPARE(boxes.shown().first().title, QString("系统提示"));
}

void TestFrmBasLogin::updateFilesThatCannotBeWritten_data() {
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("a folder named Update.exe") << "folder";
    QTest::newRow("read-only program folder") << "read-only";
    QTest::newRow("another user's read-only file") << "file";
}

// The new files cannot be written: the reason is shown in the connection
// object's box, then the version message, and the program ends cleanly.
void TestFrmBasLogin::updateFilesThatCannotBeWritten() {
    QFETCH(QString, obstacle);
    ScriptedMessages boxes;
    DemoDatabase db;
    QVariantList files{QByteArray("#!/bin/sh\n"), QByteArray("program")};
    QCOMPARE(gConn->ExeCommand("insert into tblBasReportFile (fldRptId, fldFile) values ('Update', ?), ('System', ?)",
                               files),
             0);
    QCOMPARE(gConn->ExeCommand("update tblSystem set flditemCaption='2.0.0' where flditemname='Version'"), 0);
    const QString target = db.folder().file("Update.exe");
    if (obstacle == "folder") {
        QVERIFY(QDir().mkdir(target));
    } else if (obstacle == "file") {
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
        f.close();
        MakeReadOnly(target);
    }
    OpenToEverybody(db.folder().path());
    for (const char* name : {"demo.db", "demo.db-wal", "demo.db-shm"})
        if (QFile::exists(db.folder().file(name)))
            OpenToEverybody(db.folder().file(name));
    if (obstacle == "read-only")
        MakeReadOnly(db.folder().path());
    frmBasLogin f;
    f.txtUserName->setText("1001");
    f.txtPassword->setText("1234");
    int ended = -1;
    {
        AsUnprivilegedUser nobody;
        try {
            f.cmdOK->click();
        } catch (const ProcessEnded& e) {
            ended = e.code;
        }
    }
    OpenToEverybody(db.folder().path());
    QCOMPARE(ended, 0);
    QCOMPARE(boxes.texts().size(), 2);
    QVERIFY2(boxes.texts()[0].startsWith("文件没有写成："), qPrintable(boxes.texts()[0]));
    QCOMPARE(boxes.shown()[0].title, QString("系统提示！"));
    QCOMPARE(boxes.texts()[1], QString("程序版本和数据库版本不相符合,请与系统管理员联系!"));
    QVERIFY(!QFile::exists(db.folder().file("started.txt")));
}

void TestFrmBasLogin::cancelLeavesResultFalse() {
    ScriptedMessages boxes;
    DemoDatabase db;
    frmBasLogin f;
    QTimer::singleShot(0, f.cmdCancel, [&f] { f.cmdCancel->click(); });
    QVERIFY(!f.checkPass());
    QTimer::singleShot(0, &f, [&f] { f.close(); });
    QVERIFY(!f.checkPass());
}

QTEST_MAIN(TestFrmBasLogin)
#include "tst_frmBasLogin.moc"
