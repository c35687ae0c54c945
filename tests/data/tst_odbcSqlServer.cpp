// The real "SQL Server" driver (FreeTDS) against an address where nothing
// listens: the connection fails with the system's message.
#include "clsConn.h"
#include "tsDataBoxes.h"

#include <QElapsedTimer>
#include <QtTest>

class TestOdbcSqlServer : public QObject {
    Q_OBJECT
private slots:
    void nothingListens();
};

void TestOdbcSqlServer::nothingListens() {
    DataBoxes boxes;
    QString server = "127.0.0.1", db = "wty";
    QVERIFY(!gConn->ConnectToDatabase(server, db, "sa", "secret"));
    QVERIFY(!gConn->IsConnected());
    QCOMPARE(boxes.texts(), QStringList{"数据库连接失败！"});
    QCOMPARE(boxes.shown().first().title, QString("数据库连接"));
    gConn.reset();
}

QTEST_MAIN(TestOdbcSqlServer)
#include "tst_odbcSqlServer.moc"
