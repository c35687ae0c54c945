// An exception that leaves an event handler is shown and the program goes on.
#include "qvApplication.h"
#include "tsMessages.h"

#include <QPushButton>
#include <QtTest>
#include <stdexcept>

class TestQvApplication : public QObject {
    Q_OBJECT
private slots:
    void exceptionInAHandlerIsReported();
};

void TestQvApplication::exceptionInAHandlerIsReported() {
    ScriptedMessages boxes;
    QPushButton button("x");
    int clicks = 0;
    connect(&button, &QPushButton::clicked, [&clicks] {
        if (++clicks == 1)
            throw std::runtime_error("文件无法写入");
    });
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{"操作未能完成：文件无法写入"});
    QCOMPARE(boxes.shown().first().title, QString("系统提示！"));
    // The program goes on: the next click is handled as usual.
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicks, 2);
    QCOMPARE(boxes.shown().size(), 1);
}

int main(int argc, char** argv) {
    qvApplication app(argc, argv);
    TestQvApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_qvApplication.moc"
