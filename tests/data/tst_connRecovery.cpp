// Recovery after a lost link, driven by a backend that fails with the
// driver's lost-link description on demand.
#include "clsConn.h"
#include "dbSqliteBackend.h"
#include "mduINI.h"
#include "tsDemoDatabase.h"
#include "tsDataBoxes.h"

#include <QtTest>

namespace {

struct LinkState {
    bool lost = false;
    QString failure; // the description a failing call reports
    int opens = 0;
    int executes = 0;
    QStringList opened; // the databases the connections were opened on
};

LinkState& link() {
    static LinkState s;
    return s;
}

// The embedded backend with a switch that cuts the link.
class FlakyBackend final : public DbBackend {
public:
    void open(const ConnectRequest& r) override {
        ++link().opens;
        link().opened << r.database;
        m_inner.open(r);
    }
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    QList<DbParamInfo> describeParameters(const QString& sql) override {
        cut();
        return m_inner.describeParameters(sql);
    }
    DbResult execute(const QString& sql, const QList<DbParam>& p, int t) override {
        ++link().executes;
        cut();
        return m_inner.execute(sql, p, t);
    }
    QList<DbParamInfo> describeProcedure(const QString& n) override {
        cut();
        return m_inner.describeProcedure(n);
    }
    DbResult callProcedure(const QString& n, QList<DbParam>& p, int t) override {
        ++link().executes;
        cut();
        return m_inner.callProcedure(n, p, t);
    }
    void beginTransaction() override { m_inner.beginTransaction(); }
    void commitTransaction() override { m_inner.commitTransaction(); }
    void rollbackTransaction() override { m_inner.rollbackTransaction(); }

private:
    void cut() {
        if (link().lost)
            throw DbError(link().failure, "08S01");
    }
    SqliteBackend m_inner;
};

} // namespace

class TestConnRecovery : public QObject {
    Q_OBJECT
private slots:
    void init() {
        link() = LinkState();
        link().failure = LostLinkDescription("[FreeTDS][SQL Server]Write to the server failed");
        SetBackendFactory([](const ConnectRequest&) { return std::make_unique<FlakyBackend>(); });
    }
    void cleanup() { SetBackendFactory({}); }
    void firstFailureShowsSecondRebuilds();
    void textAtFirstCharacterDoesNotRebuild();
    void failedRebuildLeavesNoConnection();
    void quietQueriesLeaveRecoveryAlone();
};

void TestConnRecovery::firstFailureShowsSecondRebuilds() {
    DataBoxes boxes;
    DemoDatabase db;
    QCOMPARE(link().opens, 1);
    link().lost = true;
    link().executes = 0;

    QVERIFY(vt::isEmpty(gConn->GetArray("select * from tblMaker")));
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown()[0].title, QString("系统提示！"));
    QCOMPARE(boxes.shown()[0].text, link().failure);
    QCOMPARE(gConn->ErrInfo(), link().failure);
    QCOMPARE(link().opens, 1);

    // The settings file is read again for the rebuild.
    WriteIniString("DATABASE", "DATABASENAME", "demo", db.folder().iniPath());
    link().lost = false; // the server is back; the failed call is not repeated
    QVariantList p{"PrdNo", "1", "", "", "", ""};
    link().lost = true;
    QVERIFY(vt::isEmpty(gConn->GetSP("upvProducts", p)));
    link().lost = false;
    QCOMPARE(link().opens, 2);
    QCOMPARE(link().opened.last(), QString("demo"));
    QCOMPARE(boxes.shown().size(), 2);
    QCOMPARE(boxes.shown()[1].text, QString("数据库连接重建，系统将重新尝试！"));
    QCOMPARE(boxes.shown()[1].title, QString());
    QCOMPARE(gConn->ErrInfo(), link().failure); // left as it was
    // Each call was tried once (the procedure call failed while being
    // described): nothing was repeated.
    QCOMPARE(link().executes, 1);
    QCOMPARE(gServerName, QString("(embedded)"));
    QCOMPARE(gDatabaseName, QString("demo"));

    // The rebuilt connection works; ExeCommand clears the kept text.
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone='1' where fldid='1001'"), 0);
    QCOMPARE(gConn->ErrInfo(), QString());
    QVERIFY(vt::isArray(gConn->GetArray("select 1")));
}

void TestConnRecovery::textAtFirstCharacterDoesNotRebuild() {
    DataBoxes boxes;
    DemoDatabase db;
    link().failure = "通讯链接失败";
    link().lost = true;
    QVERIFY(vt::isEmpty(gConn->GetArray("select 1")));
    QVERIFY(vt::isEmpty(gConn->GetArray("select 1")));
    QCOMPARE(link().opens, 1);
    QCOMPARE(boxes.texts(), QStringList({"通讯链接失败", "通讯链接失败"}));
}

void TestConnRecovery::failedRebuildLeavesNoConnection() {
    DataBoxes boxes;
    DemoDatabase db;
    link().lost = true;
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone='1'"), -1);
    // The settings now name a database that is not there: the rebuild fails.
    WriteIniString("DATABASE", "DATABASENAME", "gone", db.folder().iniPath());
    gConn->BeginTrans(); // clears the kept text ...
    QCOMPARE(gConn->ExeCommand("update tblMaker set fldphone='1'"), -1);
    QCOMPARE(link().opens, 1); // ... so the next failure only shows itself
    QCOMPARE(gConn->GetArray("select 1"), QVariant());
    QCOMPARE(link().opens, 2);
    QVERIFY(!gConn->IsConnected());
    QCOMPARE(boxes.texts().mid(2), QStringList({"数据库连接失败！", "数据库连接重建，系统将重新尝试！"}));
}

// The program's own queries (warnings, hints) show nothing and keep no
// error text: after a lost link the Part's next operation is still the first
// failure, shown with the driver's text, and the one after it rebuilds.
void TestConnRecovery::quietQueriesLeaveRecoveryAlone() {
    DataBoxes boxes;
    DemoDatabase db;
    bool failed = true;
    QCOMPARE(gConn->GetRowsQuietly("select count(*) from tblMaker where fldId=?", {"1001"}, &failed).at(0, 0).toInt(), 1);
    QVERIFY(!failed);
    QCOMPARE(gConn->GetRowsQuietly("select * from tblMaker where fldId='none'", {}, &failed).rows(), 0);
    QVERIFY(!failed);
    link().lost = true;
    QCOMPARE(gConn->GetRowsQuietly("select * from tblMaker", {}, &failed).rows(), 0);
    QVERIFY(failed);
    QCOMPARE(gConn->GetRowsQuietly("select * from tblMaker where fldId=?", {"1001"}).rows(), 0);
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(gConn->ErrInfo(), QString());
    QVERIFY(vt::isEmpty(gConn->GetArray("select 1")));
    QCOMPARE(boxes.texts(), QStringList{link().failure});
    QCOMPARE(link().opens, 1);
    // Nor does one after that failure rebuild or show anything ...
    QCOMPARE(gConn->GetRowsQuietly("select 1").rows(), 0);
    QCOMPARE(link().opens, 1);
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(gConn->ErrInfo(), link().failure);
    // ... the Part's next failing operation does.
    QVERIFY(vt::isEmpty(gConn->GetArray("select 1")));
    QCOMPARE(link().opens, 2);
    QCOMPARE(boxes.texts().last(), QString("数据库连接重建，系统将重新尝试！"));
}

QTEST_MAIN(TestConnRecovery)
#include "tst_connRecovery.moc"
