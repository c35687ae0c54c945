#include "clsConn.h"
#include "dbEmbeddedSchema.h"
#include "frmProducts.h"
#include "mduINI.h"
#include "mduMain.h"
#include "mduProcess.h"
#include "tsMessages.h"
#include "tsModal.h"
#include "tsProgramFolder.h"
#include "tsUnprivileged.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QtTest>

// Start-up on the embedded database in a temporary program folder; the
// dialogs are driven as a user would, the message boxes answered by the test.
class TestMduMain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstStartShowsSettingsDialog();
    void showSetupZeroGoesStraightOn();
    void failedConnectionYesShowsDialogAgain();
    void failedConnectionNoEnds();
    void failedOpenShowsItsReason();
    void unwritableSettingsFile();
    void namesThatRewriteTheConnection_data();
    void namesThatRewriteTheConnection();
    void secondCopyRefused();
    void nonLabAccount();

private:
    void writeSettings(const QString& database, const QString& showSetup);
    static void signIn(QWidget* login, const QString& account, const QString& password);
    static void cancel(QWidget* dialog) { dialog->close(); }
    std::unique_ptr<TempProgramFolder> m_folder;
    QTemporaryDir m_runtime;
};

void TestMduMain::initTestCase() {
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    qputenv("ODBCINI", (m_runtime.path() + "/odbc.ini").toLocal8Bit());
    SetProcessEnd([](int) { throw std::runtime_error("the program ended"); });
}

void TestMduMain::init() {
    m_folder = std::make_unique<TempProgramFolder>();
    CreateEmbeddedDatabase(m_folder->file("demo.db"), true);
}

void TestMduMain::cleanup() {
    frmProducts::instance().hide();
    ReleaseRunningLock();
    gConn.reset();
    m_folder.reset();
}

void TestMduMain::writeSettings(const QString& database, const QString& showSetup) {
    WriteIniString("DATABASE", "SERVER", "(embedded)", m_folder->iniPath());
    WriteIniString("DATABASE", "DATABASENAME", database, m_folder->iniPath());
    WriteIniString("START", "SHOWSETUP", showSetup, m_folder->iniPath());
    WriteIniString("START", "First", "1.0.4", m_folder->iniPath()); // notice seen
}

void TestMduMain::signIn(QWidget* login, const QString& account, const QString& password) {
    child<QLineEdit>(login, "txtUserName")->setText(account);
    child<QLineEdit>(login, "txtPassword")->setText(password);
    QTest::mouseClick(child<QPushButton>(login, "cmdOK"), Qt::LeftButton);
}

void TestMduMain::firstStartShowsSettingsDialog() {
    ScriptedMessages boxes;
    ModalDriver modals;
    modals.then([](QWidget* setup) {
        child<QLineEdit>(setup, "txtServerName")->setText("(embedded)");
        child<QLineEdit>(setup, "txtDatabaseName")->setText("demo");
        QTest::mouseClick(child<QPushButton>(setup, "cmdOK"), Qt::LeftButton);
    });
    modals.then([](QWidget* login) { signIn(login, "1001", "1234"); });
    modals.then([](QWidget* news) { QTest::mouseClick(child<QPushButton>(news, "Command1"), Qt::LeftButton); });
    QVERIFY(Main());
    QCOMPARE(modals.seen(), QStringList({"frmSYSSetDB", "frmBasLogin", "frmNews"}));
    QVERIFY(frmProducts::instance().isVisible());
    QCOMPARE(ReadIniString("START", "SHOWSETUP", "", m_folder->iniPath()), QString("1"));
    QCOMPARE(gServerName, QString("(embedded)"));
    QCOMPARE(gDatabaseName, QString("demo"));
    QVERIFY(boxes.shown().isEmpty());
    // The data source was registered for the settings just read.
    QFile dsn(m_runtime.path() + "/odbc.ini");
    QVERIFY(dsn.open(QIODevice::ReadOnly));
    const QByteArray odbc = dsn.readAll();
    QVERIFY(odbc.contains("[DBS]") && odbc.contains("Server=(embedded)") && odbc.contains("Database=demo"));
}

void TestMduMain::showSetupZeroGoesStraightOn() {
    ScriptedMessages boxes;
    writeSettings("demo", "0");
    ModalDriver modals;
    modals.then([](QWidget* login) { signIn(login, "1001", "1234"); });
    QVERIFY(Main());
    QCOMPARE(modals.seen(), QStringList{"frmBasLogin"});
    QCOMPARE(gConn->OpNo(), QVariant("1001"));
}

void TestMduMain::failedConnectionYesShowsDialogAgain() {
    ScriptedMessages boxes;
    writeSettings("missing", "0");
    boxes.setNextAnswer(MsgOk);  // "数据库连接失败！"
    boxes.setNextAnswer(MsgYes); // set the database again?
    ModalDriver modals;
    modals.then([](QWidget* setup) {
        // The check box had been cleared; the dialog is shown all the same.
        QVERIFY(child<QCheckBox>(setup, "chkShowStart")->isChecked());
        child<QCheckBox>(setup, "chkShowStart")->setChecked(false);
        child<QLineEdit>(setup, "txtDatabaseName")->setText("demo");
        QTest::mouseClick(child<QPushButton>(setup, "cmdOK"), Qt::LeftButton);
    });
    modals.then([](QWidget* login) { cancel(login); });
    QVERIFY(!Main());
    QCOMPARE(boxes.texts(), QStringList({"数据库连接失败！", "数据库连接失败，是否要重新设置数据库？"}));
    QCOMPARE(boxes.shown()[1].title, QString("连接数据库"));
    QCOMPARE(boxes.shown()[1].defaultButton, int(MsgNo));
    QCOMPARE(modals.seen(), QStringList({"frmSYSSetDB", "frmBasLogin"}));
    QCOMPARE(gDatabaseName, QString("demo")); // read again after the dialog
    QVERIFY(gConn->IsConnected());
    QVERIFY(!frmProducts::instance().isVisible());
}

void TestMduMain::failedConnectionNoEnds() {
    ScriptedMessages boxes; // the question is answered with its default, No
    writeSettings("missing", "0");
    ModalDriver modals;
    QVERIFY(!Main());
    QCOMPARE(boxes.texts().size(), 2);
    QVERIFY(modals.seen().isEmpty());
    QVERIFY(!gConn.exists()); // the connection object was dropped
    QCOMPARE(ReadIniString("START", "SHOWSETUP", "", m_folder->iniPath()), QString("0"));
}

void TestMduMain::failedOpenShowsItsReason() {
    ScriptedMessages boxes;
    writeSettings("missing", "0");
    QVERIFY(!Main());
    QCOMPARE(boxes.texts().first(), QString("数据库连接失败！"));
    QCOMPARE(boxes.shown().first().title, QString("数据库连接"));
    QVERIFY2(boxes.shown().first().detail.contains("missing"), qPrintable(boxes.shown().first().detail));
}

// A settings file the user may not write: Yes still leads to the settings
// dialog (once told why nothing is kept), and what is typed there is used.
void TestMduMain::unwritableSettingsFile() {
    ScriptedMessages boxes;
    writeSettings("missing", "0");
    OpenToEverybody(m_folder->path());
    OpenToEverybody(m_folder->file("demo.db"));
    OpenToEverybody(m_runtime.path());
    MakeReadOnly(m_folder->iniPath());
    boxes.setNextAnswer(MsgOk);  // "数据库连接失败！"
    boxes.setNextAnswer(MsgYes); // set the database again?
    ModalDriver modals;
    modals.then([](QWidget* setup) {
        child<QLineEdit>(setup, "txtDatabaseName")->setText("demo");
        QTest::mouseClick(child<QPushButton>(setup, "cmdOK"), Qt::LeftButton);
    });
    modals.then([](QWidget* login) { cancel(login); });
    bool result = true;
    {
        AsUnprivilegedUser nobody;
        result = Main();
    }
    OpenToEverybody(m_folder->iniPath());
    QVERIFY(!result);
    QCOMPARE(modals.seen(), QStringList({"frmSYSSetDB", "frmBasLogin"}));
    const QStringList told = boxes.texts().filter("文件没有写成");
    QCOMPARE(told.size(), 1);
    QVERIFY(told.first().contains(m_folder->iniPath()));
    QCOMPARE(gDatabaseName, QString("demo"));
    QVERIFY(gConn->IsConnected());
    QCOMPARE(ReadIniString("DATABASE", "DATABASENAME", "", m_folder->iniPath()), QString("missing"));
}

void TestMduMain::namesThatRewriteTheConnection_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("database");
    QTest::newRow("semicolon") << "(embedded)" << "demo;driver={SQLite3}";
    QTest::newRow("brace") << "host}" << "demo";
    QTest::newRow("line break") << "(embedded)" << "demo\n[Other]\nDriver=x";
    QTest::newRow("NUL") << QString("(embedded)") + QChar(0) << "demo";
}

void TestMduMain::namesThatRewriteTheConnection() {
    QFETCH(QString, server);
    QFETCH(QString, database);
    ScriptedMessages boxes; // the question is answered with its default, No
    writeSettings(database, "0");
    WriteIniString("DATABASE", "SERVER", server, m_folder->iniPath());
    QVERIFY(!Main());
    QCOMPARE(boxes.texts(), QStringList({"服务器名和数据库名不能含有 ; { } 、换行符或空字符！",
                                         "数据库连接失败，是否要重新设置数据库？"}));
    QFile dsn(m_runtime.path() + "/odbc.ini");
    QVERIFY(!dsn.open(QIODevice::ReadOnly) || !dsn.readAll().contains("Other"));
}

void TestMduMain::secondCopyRefused() {
    ScriptedMessages boxes;
    writeSettings("demo", "0");
    QLockFile other(RunningLockPath());
    QVERIFY(other.tryLock(0));
    ModalDriver modals;
    QVERIFY(!Main());
    QCOMPARE(boxes.texts(), QStringList{"系统已在运行中，请不要在同一台电脑上同时运行两次！"});
    QCOMPARE(boxes.shown().first().title, QString());
    QVERIFY(modals.seen().isEmpty());
    other.unlock();
    // A lock left by a copy that crashed (its process is gone) does not block.
    {
        QFile stale(RunningLockPath());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("999999999\nquorvat\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    modals.then([](QWidget* login) { cancel(login); });
    QVERIFY(!Main());
    QCOMPARE(modals.seen(), QStringList{"frmBasLogin"});
}

void TestMduMain::nonLabAccount() {
    ScriptedMessages boxes;
    writeSettings("demo", "0");
    ModalDriver modals;
    modals.then([](QWidget* login) { signIn(login, "9001", "9999"); });
    QVERIFY(!Main());
    QCOMPARE(boxes.texts(), QStringList{"非制作所用户，请与系统供应商联系！"});
    QVERIFY(!frmProducts::instance().isVisible());
}

QTEST_MAIN(TestMduMain)
#include "tst_mduMain.moc"
