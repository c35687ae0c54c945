#include "frmSYSSetDB.h"
#include "mduINI.h"
#include "tsFileSizeLimit.h"
#include "tsMessages.h"
#include "tsProgramFolder.h"
#include "tsUnprivileged.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestFrmSYSSetDB : public QObject {
    Q_OBJECT
private slots:
    void firstOpenWithoutFile();
    void okStoresAsTyped();
    void cancelLeavesFileUnchanged();
    void escapeClosesWithoutWriting();
    void captions();
    void unsafeNamesRefused_data();
    void unsafeNamesRefused();
    void unwritableFileIsReported();
    void fullDiskKeepsTheFileAndSaysWhy();
};

void TestFrmSYSSetDB::unsafeNamesRefused_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("database");
    QTest::newRow("semicolon in server") << "db01;driver={x}" << "wty";
    QTest::newRow("closing brace") << "db01" << "wty}";
    QTest::newRow("line break") << "db01" << "wty\nTrace=Yes";
    QTest::newRow("NUL") << "db01" << QString("wty") + QChar(0);
}

void TestFrmSYSSetDB::unsafeNamesRefused() {
    QFETCH(QString, server);
    QFETCH(QString, database);
    ScriptedMessages boxes;
    TempProgramFolder folder;
    frmSYSSetDB dialog;
    const QByteArray before = folder.readIni();
    dialog.show();
    dialog.txtServerName->setText(server);
    dialog.txtDatabaseName->setText(database);
    QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{"服务器名和数据库名不能含有 ; { } 、换行符或空字符！"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(folder.readIni(), before);
}

void TestFrmSYSSetDB::unwritableFileIsReported() {
    ScriptedMessages boxes;
    TempProgramFolder folder;
    WriteIniString("DATABASE", "SERVER", "db01", folder.iniPath());
    OpenToEverybody(folder.path());
    MakeReadOnly(folder.iniPath());
    {
        AsUnprivilegedUser nobody;
        frmSYSSetDB dialog;
        dialog.show();
        dialog.txtServerName->setText("db02");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        QVERIFY(!dialog.Saved());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    OpenToEverybody(folder.iniPath());
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY(boxes.texts().first().startsWith("文件没有写成：" + folder.iniPath()));
    QCOMPARE(ReadIniString("DATABASE", "SERVER", "", folder.iniPath()), QString("db01"));
}

void TestFrmSYSSetDB::firstOpenWithoutFile() {
    TempProgramFolder folder;
    frmSYSSetDB dialog;
    QVERIFY(dialog.txtServerName->text().isEmpty());
    QVERIFY(dialog.txtDatabaseName->text().isEmpty());
    QVERIFY(dialog.chkShowStart->isChecked());
    QVERIFY(folder.readIni().contains("SHOWSETUP=JPCE"));
    QVERIFY(dialog.cmdOK->isDefault());
}

void TestFrmSYSSetDB::okStoresAsTyped() {
    TempProgramFolder folder;
    WriteIniString("DATABASE", "SERVER", "old", folder.iniPath());
    {
        frmSYSSetDB dialog;
        QCOMPARE(dialog.txtServerName->text(), QString("old"));
        dialog.txtServerName->setText(" db01 ");
        dialog.txtDatabaseName->setText("");
        dialog.chkShowStart->setChecked(false);
        dialog.show();
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(ReadIniString("DATABASE", "SERVER", "", folder.iniPath()), QString(" db01 "));
    QCOMPARE(ReadIniString("START", "SHOWSETUP", "1", folder.iniPath()), QString("0"));
    QVERIFY(folder.readIni().contains("DATABASENAME=CC"));
    frmSYSSetDB again;
    QVERIFY(!again.chkShowStart->isChecked());
    QCOMPARE(again.txtServerName->text(), QString(" db01 "));
}

void TestFrmSYSSetDB::cancelLeavesFileUnchanged() {
    TempProgramFolder folder;
    WriteIniString("DATABASE", "SERVER", "db01", folder.iniPath());
    WriteIniString("DATABASE", "DATABASENAME", "wty", folder.iniPath());
    WriteIniString("START", "SHOWSETUP", "1", folder.iniPath());
    const QByteArray before = folder.readIni();
    frmSYSSetDB dialog;
    dialog.txtServerName->setText("changed");
    dialog.chkShowStart->setChecked(false);
    dialog.show();
    QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(folder.readIni(), before);
}

void TestFrmSYSSetDB::escapeClosesWithoutWriting() {
    TempProgramFolder folder;
    frmSYSSetDB dialog;
    const QByteArray before = folder.readIni();
    dialog.txtServerName->setText("changed");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(folder.readIni(), before);
    // Enter in a field presses the default button.
    frmSYSSetDB other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.txtServerName->setFocus();
    other.txtServerName->setText("viaEnter");
    QTest::keyClick(other.txtServerName, Qt::Key_Return);
    QCOMPARE(other.result(), int(QDialog::Accepted));
    QCOMPARE(ReadIniString("DATABASE", "SERVER", "", folder.iniPath()), QString("viaEnter"));
}

void TestFrmSYSSetDB::captions() {
    TempProgramFolder folder;
    frmSYSSetDB dialog;
    QCOMPARE(dialog.windowTitle(), QString("数据库设置    Quorvat"));
    QCOMPARE(dialog.chkShowStart->text(), QString("下次启动是显示"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QString shot = qEnvironmentVariable("QV_SCREENSHOTS");
    if (!shot.isEmpty())
        dialog.grab().save(shot + "/frmSYSSetDB.png");
}

void TestFrmSYSSetDB::fullDiskKeepsTheFileAndSaysWhy() {
    // Files may not grow past 1 KB, and setup.ini is larger: the dialog's
    // write fails, the file stays byte for byte, and the box says why.
    TempProgramFolder folder;
    WriteIniString("DATABASE", "SERVER", "db01", folder.iniPath());
    WriteIniString("START", "NOTE", QString(2000, QChar('x')), folder.iniPath());
    const auto bytes = [&folder] {
        QFile f(folder.iniPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray old = bytes();
    QVERIFY(old.size() > 2000);
    const ts::LimitedWrite run = ts::WriteWithFileSizeLimit(1024, [](QString* told) {
        ScriptedMessages boxes;
        frmSYSSetDB dialog;
        dialog.show();
        dialog.txtServerName->setText("db02");
        QTest::mouseClick(dialog.cmdOK, Qt::LeftButton);
        *told = boxes.texts().join("|");
        return dialog.Saved();
    });
    QVERIFY(run.ran);
    QVERIFY(!run.written);
    QCOMPARE(run.reason, "文件没有写成：" + folder.iniPath() + "（" + QString::fromLocal8Bit(std::strerror(EFBIG)) +
                             "）\r本次所做的设置只在程序关闭前有效。");
    QCOMPARE(bytes(), old);
    QCOMPARE(QDir(folder.path()).entryList(QStringList{".setup.ini*"}, QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestFrmSYSSetDB)
#include "tst_frmSYSSetDB.moc"
