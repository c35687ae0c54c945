#include "frmSYSSetDB.h"
#include "mduINI.h"
#include "tsProgramFolder.h"

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
};

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

QTEST_MAIN(TestFrmSYSSetDB)
#include "tst_frmSYSSetDB.moc"
