#include "dbUserInterface.h"
#include "tsDataBoxes.h"

#include <QtTest>

class TestDbUserInterface : public QObject {
    Q_OBJECT
private slots:
    void busyPointerOnceForARun();
    void boxesReachTheInstalledInterface();
};

// A batch holds one busy pointer for all its rows: the calls inside it do
// not set it again, and a call that sets it back early (as a failed call
// does before its box) leaves the run's pointer alone.
void TestDbUserInterface::busyPointerOnceForARun() {
    DataBoxes ui;
    {
        BusyPointer run;
        for (int row = 0; row < 3; ++row) {
            BusyPointer call;
            if (row == 1)
                call.Restore();
        }
        QCOMPARE(ui.busyBegun(), 1);
        QCOMPARE(ui.busyEnded(), 0);
    }
    QCOMPARE(ui.busyEnded(), 1);
    {
        BusyPointer alone;
        alone.Restore();
        alone.Restore(); // a second time changes nothing
        QCOMPARE(ui.busyEnded(), 2);
    }
    QCOMPARE(ui.busyBegun(), 2);
    QCOMPARE(ui.busyEnded(), 2);
}

// Boxes go to the interface installed, with their title and detail.
void TestDbUserInterface::boxesReachTheInstalledInterface() {
    DataBoxes ui;
    InformUser("数据库连接失败！", "数据库连接", "no such file: x.db");
    InformUser("连接已重建", "");
    QCOMPARE(ui.texts(), QStringList({"数据库连接失败！", "连接已重建"}));
    QCOMPARE(ui.shown().first().title, QString("数据库连接"));
    QCOMPARE(ui.shown().first().detail, QString("no such file: x.db"));
    QCOMPARE(ui.shown().last().detail, QString());
}

QTEST_GUILESS_MAIN(TestDbUserInterface)
#include "tst_dbUserInterface.moc"
