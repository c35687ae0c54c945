#include "mduMessage.h"
#include "tsMessages.h"

#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class TestMduMessage : public QObject {
    Q_OBJECT
private slots:
    void kinds_data();
    void kinds();
    void kindOneAppendsErrorText();
    void otherKindsShowNothing();
    void realBoxHasTheButtonsAsked();
};

Q_DECLARE_METATYPE(MsgIcon)

void TestMduMessage::kinds_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<int>>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<MsgIcon>("icon");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("0 ok") << 0 << QList<int>{MsgOk} << int(MsgOk) << MsgIcon::Information
                          << int(MsgOk) << 0;
    QTest::newRow("2 yes") << 2 << QList<int>{MsgYes, MsgNo} << int(MsgNo) << MsgIcon::Question
                           << int(MsgYes) << 6;
    QTest::newRow("2 enter gives no") << 2 << QList<int>{MsgYes, MsgNo} << int(MsgNo)
                                      << MsgIcon::Question << -1 << 7;
    QTest::newRow("3 cancel") << 3 << QList<int>{MsgOk, MsgCancel} << int(MsgOk)
                              << MsgIcon::Information << int(MsgCancel) << 2;
    QTest::newRow("3 enter gives ok") << 3 << QList<int>{MsgOk, MsgCancel} << int(MsgOk)
                                      << MsgIcon::Information << -1 << 1;
    QTest::newRow("4 no") << 4 << QList<int>{MsgYes, MsgNo, MsgCancel} << int(MsgYes)
                          << MsgIcon::Question << int(MsgNo) << 7;
    QTest::newRow("4 cancel") << 4 << QList<int>{MsgYes, MsgNo, MsgCancel} << int(MsgYes)
                              << MsgIcon::Question << int(MsgCancel) << 2;
    QTest::newRow("4 enter gives yes") << 4 << QList<int>{MsgYes, MsgNo, MsgCancel}
                                       << int(MsgYes) << MsgIcon::Question << -1 << 6;
}

void TestMduMessage::kinds() {
    QFETCH(int, kind);
    QFETCH(QList<int>, buttons);
    QFETCH(int, defaultButton);
    QFETCH(MsgIcon, icon);
    QFETCH(int, answer);
    QFETCH(int, result);
    ScriptedMessages boxes;
    if (answer >= 0)
        boxes.setNextAnswer(answer);
    short k = static_cast<short>(kind);
    QCOMPARE(ShowMessage("确定吗？", "系统提示", k), result);
    QCOMPARE(boxes.shown().size(), 1);
    const MessageRequest& r = boxes.shown().first();
    QCOMPARE(r.text, QString("确定吗？"));
    QCOMPARE(r.title, QString("系统提示"));
    QCOMPARE(r.buttons, buttons);
    QCOMPARE(r.defaultButton, defaultButton);
    QCOMPARE(r.icon, icon);
}

void TestMduMessage::kindOneAppendsErrorText() {
    ScriptedMessages boxes;
    SetErrorTextSource([] { return QStringLiteral("主键冲突"); });
    QCOMPARE(ShowMessage("保存失败！", "", 1), 0);
    SetErrorTextSource([] { return QString(); });
    QCOMPARE(ShowMessage("保存失败！", "", 1), 0);
    SetErrorTextSource({});
    QCOMPARE(boxes.texts(), QStringList({"保存失败！\r主键冲突", "保存失败！\r"}));
    QCOMPARE(boxes.shown().first().icon, MsgIcon::Critical);
    QCOMPARE(boxes.shown().first().buttons, QList<int>{MsgOk});
}

void TestMduMessage::otherKindsShowNothing() {
    ScriptedMessages boxes;
    for (short kind : {short(5), short(-1), short(100)})
        QCOMPARE(ShowMessage("x", "y", kind), 0);
    QVERIFY(boxes.shown().isEmpty());
}

void TestMduMessage::realBoxHasTheButtonsAsked() {
    MessageRequest r;
    r.text = "第一行\r第二行";
    r.title = "连接数据库";
    r.icon = MsgIcon::Question;
    r.buttons = {MsgYes, MsgNo};
    r.defaultButton = MsgNo;
    auto box = BuildMessageBox(r);
    QCOMPARE(box->windowTitle(), QString("连接数据库"));
    QCOMPARE(box->text(), QString("第一行\n第二行"));
    QCOMPARE(box->icon(), QMessageBox::Question);
    QCOMPARE(box->buttons().size(), 2);
    QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
    QCOMPARE(box->defaultButton()->property("msgCode").toInt(), int(MsgNo));
    QCOMPARE(box->button(QMessageBox::Yes)->text(), QString("是(&Y)"));

    // Enter on the shown box presses the default button.
    QTimer::singleShot(0, box.get(), [&box] {
        QTest::keyClick(box.get(), Qt::Key_Return);
    });
    box->exec();
    QCOMPARE(box->clickedButton(), box->button(QMessageBox::No));

    // An untitled box stays untitled: the window system puts the program's
    // name on a window whose title is empty, so the title is a blank.
    r.title.clear();
    r.detail = "no such file: missing.db";
    auto untitled = BuildMessageBox(r);
    QVERIFY(!untitled->windowTitle().isEmpty());
    QCOMPARE(untitled->windowTitle().trimmed(), QString());
    QCOMPARE(untitled->detailedText(), r.detail);
}

QTEST_MAIN(TestMduMessage)
#include "tst_mduMessage.moc"
