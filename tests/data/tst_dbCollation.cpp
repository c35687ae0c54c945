// Whether a database keeps Chinese text: only SQL Server is asked, and only
// code pages 936 and 65001 pass.
#include "clsConn.h"
#include "dbCollation.h"
#include "dbSqliteBackend.h"
#include "tsDemoDatabase.h"
#include "tsDataBoxes.h"

#include <QtTest>
#include <stdexcept>

namespace {

QString& codePage() {
    static QString page;
    return page;
}

// The embedded backend as a SQL Server would present itself: it names
// itself so and answers the code page question.
class ServerBackend final : public DbBackend {
public:
    void open(const ConnectRequest& r) override { m_inner.open(r); }
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    QString dbmsName() const override { return QStringLiteral("Microsoft SQL Server"); }
    QList<DbParamInfo> describeParameters(const QString& sql) override { return m_inner.describeParameters(sql); }
    DbResult execute(const QString& sql, const QList<DbParam>& p, int t) override {
        if (sql == CodePageQuery())
            return m_inner.execute(QStringLiteral("select '") + codePage() + QStringLiteral("'"), {}, t);
        return m_inner.execute(sql, p, t);
    }
    QList<DbParamInfo> describeProcedure(const QString& n) override { return m_inner.describeProcedure(n); }
    DbResult callProcedure(const QString& n, QList<DbParam>& p, int t) override {
        return m_inner.callProcedure(n, p, t);
    }
    void beginTransaction() override { m_inner.beginTransaction(); }
    void commitTransaction() override { m_inner.commitTransaction(); }
    void rollbackTransaction() override { m_inner.rollbackTransaction(); }

private:
    SqliteBackend m_inner;
};

} // namespace

class TestDbCollation : public QObject {
    Q_OBJECT
private slots:
    void decision_data();
    void decision();
    void connectionRefused();
};

void TestDbCollation::decision_data() {
    QTest::addColumn<QString>("dbms");
    QTest::addColumn<QVariant>("codePage"); // an invalid value: the question fails
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("refused");
    QTest::newRow("Chinese collation") << "Microsoft SQL Server" << QVariant(936) << true << false;
    QTest::newRow("UTF-8 collation") << "Microsoft SQL Server" << QVariant(65001) << true << false;
    QTest::newRow("Western collation") << "Microsoft SQL Server" << QVariant(1252) << true << true;
    QTest::newRow("code page as text") << "Microsoft SQL Server" << QVariant("936") << true << false;
    QTest::newRow("no answer") << "Microsoft SQL Server" << QVariant() << true << true;
    QTest::newRow("SQLite driver") << "SQLite" << QVariant(1252) << false << false;
    QTest::newRow("PostgreSQL") << "PostgreSQL" << QVariant(1252) << false << false;
    QTest::newRow("embedded") << "" << QVariant(1252) << false << false;
}

void TestDbCollation::decision() {
    QFETCH(QString, dbms);
    QFETCH(QVariant, codePage);
    QFETCH(bool, asked);
    QFETCH(bool, refused);
    bool wasAsked = false;
    const QString problem = CollationProblem(dbms, [&] {
        wasAsked = true;
        if (!codePage.isValid())
            throw std::runtime_error("query failed");
        return codePage;
    });
    QCOMPARE(wasAsked, asked);
    QCOMPARE(!problem.isEmpty(), refused);
    if (refused) {
        QVERIFY(problem.contains("问号"));
        QVERIFY(problem.contains("Chinese_PRC_CI_AS"));
        QVERIFY(problem.contains(codePage.isValid() ? codePage.toString() : QString("未知")));
    }
}

// A connection to a database that would lose Chinese text fails, with the
// message, as any failed connection does.
void TestDbCollation::connectionRefused() {
    DataBoxes boxes;
    DemoDatabase db(false);
    SetBackendFactory([](const ConnectRequest&) { return std::make_unique<ServerBackend>(); });
    QString server = "(embedded)", name = "demo";
    codePage() = "1252";
    QVERIFY(!gConn->ConnectToDatabase(server, name));
    QVERIFY(!gConn->IsConnected());
    QCOMPARE(boxes.texts().size(), 1);
    QVERIFY(boxes.texts().first().contains("1252"));
    QCOMPARE(boxes.shown().first().title, QString("数据库连接"));
    codePage() = "936";
    boxes.clear();
    QVERIFY(gConn->ConnectToDatabase(server, name));
    QVERIFY(boxes.shown().isEmpty());
    SetBackendFactory({});
    gConn.reset();
}

QTEST_MAIN(TestDbCollation)
#include "tst_dbCollation.moc"
