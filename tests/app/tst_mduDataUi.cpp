#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduDataUi.h"
#include "mduMessage.h"
#include "tsDemoDatabase.h"

#include <QApplication>
#include <QGuiApplication>
#include <QtTest>

// The program's side of the data layer's interface, as start-up installs it.
class TestMduDataUi : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void boxesGoThroughThePresenter();
    void busyPointerIsTheWaitCursorButNotOverABox();
    void kindOneShowsTheConnectionsErrorText();
};

namespace {
class Recorder final : public MessagePresenter {
public:
    Recorder() { SetMessagePresenter(this); }
    ~Recorder() override { SetMessagePresenter(nullptr); }
    int present(const MessageRequest& request) override {
        shown.append(request);
        return request.defaultButton;
    }
    QList<MessageRequest> shown;
};
} // namespace

void TestMduDataUi::cleanup() {
    SetDataUserInterface(nullptr);
    SetErrorTextSource({});
}

void TestMduDataUi::boxesGoThroughThePresenter() {
    Recorder boxes;
    InstallFormDataUserInterface();
    InformUser("数据库连接失败！", "数据库连接", "no such file: x.db");
    QCOMPARE(boxes.shown.size(), 1);
    const MessageRequest& r = boxes.shown.first();
    QCOMPARE(r.text, QString("数据库连接失败！"));
    QCOMPARE(r.title, QString("数据库连接"));
    QCOMPARE(r.detail, QString("no such file: x.db"));
    QCOMPARE(r.icon, MsgIcon::Information);
    QCOMPARE(r.buttons, QList<int>{MsgOk});
}

// A batch holds one busy pointer for all its rows; a box shown meanwhile has
// the ordinary pointer, and the wait cursor is back after it.
void TestMduDataUi::busyPointerIsTheWaitCursorButNotOverABox() {
    InstallFormDataUserInterface();
    SetMessagePresenter(nullptr); // the real box
    Qt::CursorShape overBox = Qt::BlankCursor;
    {
        BusyPointer run;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            BusyPointer call; // nested: the pointer is set once
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QVERIFY(QGuiApplication::overrideCursor());
        QTimer::singleShot(0, [&overBox] {
            overBox = QGuiApplication::overrideCursor()->shape();
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
        });
        ShowMessage("第一行", "系统提示", 0);
        QCOMPARE(overBox, Qt::ArrowCursor);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

// Start-up hands the connection object's kept error text to the boxes of
// kind 1: the last failure's text on the second line, none without a
// connection object.
void TestMduDataUi::kindOneShowsTheConnectionsErrorText() {
    Recorder boxes;
    InstallFormDataUserInterface();
    {
        DemoDatabase db;
        QCOMPARE(gConn->ExeCommand("update nosuchtable set a=1"), -1);
        QVERIFY(gConn->ErrInfo().contains("nosuchtable"));
        ShowMessage("保存失败！", "提示！", 1);
        QCOMPARE(boxes.shown.last().text, "保存失败！\r" + gConn->ErrInfo());
        QCOMPARE(boxes.shown.last().icon, MsgIcon::Critical);
    }
    QVERIFY(!gConn.exists());
    ShowMessage("保存失败！", "提示！", 1);
    QCOMPARE(boxes.shown.last().text, QString("保存失败！\r"));
}

QTEST_MAIN(TestMduDataUi)
#include "tst_mduDataUi.moc"
