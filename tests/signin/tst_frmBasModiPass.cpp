#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "frmBasModiPass.h"
#include "tsDemoDatabase.h"
#include "tsMessages.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class TestFrmBasModiPass : public QObject {
    Q_OBJECT
private slots:
    void checksInOrder_data();
    void checksInOrder();
    void emptyNewPasswordAfterYes();
    void savesExactlyAndLogs();
    void inactiveAccountAndQuotes();
    void failedUpdateShowsErrorAndCloses();
    void takesSignedInAccount();

private:
    struct Form {
        frmBasModiPass f;
        Form(const QString& no, const QString& old, const QString& nw, const QString& confirm) {
            f.txtNo->setText(no);
            f.txtRePass->setText(old);
            f.txtNewPass->setText(nw);
            f.txtPassConfirm->setText(confirm);
            f.show();
            if (!QTest::qWaitForWindowActive(&f))
                qWarning("the form did not become active");
        }
    };
};

void TestFrmBasModiPass::checksInOrder_data() {
    QTest::addColumn<QString>("no");
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("nw");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("differ, even with a wrong old password")
        << "1001" << "bad" << "a" << "b" << "新密码输入不一致！" << "txtPassConfirm";
    QTest::newRow("differ in case") << "1001" << "1234" << "Ab" << "ab" << "新密码输入不一致！"
                                    << "txtPassConfirm";
    QTest::newRow("empty, answered No (Enter)") << "1001" << "bad" << "" << "" << "新密码为空吗？"
                                                << "txtNewPass";
    QTest::newRow("wrong old password") << "1001" << "4321" << "x" << "x" << "用户名或旧密码不正确！"
                                        << "txtRePass";
    QTest::newRow("unknown account") << "7777" << "1234" << "x" << "x" << "用户名或旧密码不正确！"
                                     << "txtRePass";
}

void TestFrmBasModiPass::checksInOrder() {
    QFETCH(QString, no);
    QFETCH(QString, old);
    QFETCH(QString, nw);
    QFETCH(QString, confirm);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    ScriptedMessages boxes;
    DemoDatabase db;
    Form form(no, old, nw, confirm);
    QTest::mouseClick(form.f.cmdSave, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(boxes.shown().first().title, QString("验证"));
    QVERIFY(form.f.isVisible());
    QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
    QCOMPARE(db.scalar("select fldpassword from tblMaker where fldid='1001'"), QVariant("1234"));
}

void TestFrmBasModiPass::emptyNewPasswordAfterYes() {
    ScriptedMessages boxes;
    DemoDatabase db;
    Form form("1001", "1234", "", "");
    boxes.setNextAnswer(MsgYes);
    QTest::mouseClick(form.f.cmdSave, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList({"新密码为空吗？", "保存成功！"}));
    QCOMPARE(db.scalar("select fldpassword from tblMaker where fldid='1001'"), QVariant(""));
    QVERIFY(!form.f.isVisible());
}

void TestFrmBasModiPass::savesExactlyAndLogs() {
    ScriptedMessages boxes;
    DemoDatabase db;
    Form form("1001", "  1234 ", " new pw ", " new pw ");
    QTest::mouseClick(form.f.cmdSave, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{"保存成功！"});
    QCOMPARE(boxes.shown().first().title, QString("提示！"));
    QVERIFY(!form.f.isVisible());
    QCOMPARE(db.scalar("select fldpassword from tblMaker where fldid='1001'"), QVariant(" new pw "));
    QCOMPARE(db.scalar("select fldStatement from tblExecLog"),
             QVariant("update tblMaker set fldpassword = ? where fldid = ?"));
    QCOMPARE(db.scalar("select fldParams from tblExecLog"), QVariant(" new pw ,1001,"));
}

void TestFrmBasModiPass::inactiveAccountAndQuotes() {
    ScriptedMessages boxes;
    DemoDatabase db;
    {
        Form form("1003", "1111", "it's", "it's");
        QTest::mouseClick(form.f.cmdSave, Qt::LeftButton);
    }
    QCOMPARE(db.scalar("select fldpassword from tblMaker where fldid='1003'"), QVariant("it's"));
    {
        Form form("1003", "it's", "x", "x");
        QTest::mouseClick(form.f.cmdSave, Qt::LeftButton);
    }
    QCOMPARE(db.scalar("select fldpassword from tblMaker where fldid='1003'"), QVariant("x"));
    {
        Form form("1003' or '1'='1", "' or '1'='1", "y", "y");
        QTest::mouseClick(form.f.cmdSave, Qt::LeftButton);
    }
    QCOMPARE(boxes.texts(), QStringList({"保存成功！", "保存成功！", "用户名或旧密码不正确！"}));
    QCOMPARE(db.scalar("select count(*) from tblMaker where fldpassword='y'"), QVariant(qlonglong(0)));
}

void TestFrmBasModiPass::failedUpdateShowsErrorAndCloses() {
    ScriptedMessages boxes;
    ConnectionErrorText kept;
    DemoDatabase db;
    db.backend()->executeScript("create trigger noChange before update on tblMaker "
                                "begin select raise(abort, 'password locked'); end;");
    Form form("1001", "1234", "n", "n");
    QTest::mouseClick(form.f.cmdSave, Qt::LeftButton);
    QCOMPARE(boxes.shown().size(), 2); // the database error, then the form's message
    QVERIFY(boxes.shown()[1].text.startsWith("保存失败！\r"));
    QVERIFY(boxes.shown()[1].text.contains("password locked"));
    QCOMPARE(boxes.shown()[1].icon, MsgIcon::Critical);
    QVERIFY(!form.f.isVisible());
}

void TestFrmBasModiPass::takesSignedInAccount() {
    ScriptedMessages boxes;
    DemoDatabase db;
    {
        frmBasModiPass f;
        QCOMPARE(f.txtNo->text(), QString());
        QCOMPARE(f.windowTitle(), QString("密码设置    Quorvat"));
        QCOMPARE(f.txtNewPass->echoMode(), QLineEdit::Password);
    }
    QVERIFY(db.signIn());
    frmBasModiPass f;
    QCOMPARE(f.txtNo->text(), QString("1001"));
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QString shots = qEnvironmentVariable("QV_SCREENSHOTS");
    if (!shots.isEmpty())
        f.grab().save(shots + "/frmBasModiPass.png");
}

QTEST_MAIN(TestFrmBasModiPass)
#include "tst_frmBasModiPass.moc"
