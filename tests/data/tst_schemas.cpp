// The SQL Server scripts and the embedded schema hold the same tables and
// columns.
#include "dbEmbeddedSchema.h"
#include "dbSqliteBackend.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

class TestSchemas : public QObject {
    Q_OBJECT
private slots:
    void sameTablesAndColumns();
};

using Schema = QMap<QString, QStringList>; // lower-case table -> lower-case columns

static Schema embedded() {
    SqliteBackend db;
    db.openFile(":memory:", true);
    db.executeScript(EmbeddedSchemaSql());
    Schema s;
    const DbResult tables = db.executeNative(
        "select name from sqlite_master where type='table' and name not like 'sqlite_%'", {});
    for (int r = 0; r < tables.rows.rows(); ++r) {
        const QString t = tables.rows.at(0, r).toString();
        const DbResult cols = db.executeNative("select name from pragma_table_info(?1)", {t});
        for (int c = 0; c < cols.rows.rows(); ++c)
            s[t.toLower()] << cols.rows.at(0, c).toString().toLower();
    }
    return s;
}

static Schema sqlServer() {
    QFile f(QV_SOURCE_DIR "/db/sqlserver/01_tables.sql");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(f.readAll());
    static const QRegularExpression table(R"(CREATE TABLE dbo\.(\w+) \((.*?)\n\);)",
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression column(R"((?:^|,)\s*(\w+)\s+(?:INT|VARCHAR|NVARCHAR|CHAR|DATETIME|VARBINARY))");
    Schema s;
    for (auto it = table.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QStringList& cols = s[m.captured(1).toLower()];
        for (auto c = column.globalMatch(m.captured(2)); c.hasNext();)
            cols << c.next().captured(1).toLower();
    }
    return s;
}

void TestSchemas::sameTablesAndColumns() {
    const Schema a = embedded();
    const Schema b = sqlServer();
    QVERIFY(a.size() >= 9);
    QCOMPARE(a.keys(), b.keys());
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        QCOMPARE(it.value(), b.value(it.key()));
    QVERIFY(a.value("tblrecord").contains("fldreturnmemo"));
    QCOMPARE(a.value("dicopmenus").size(), 2 + 3 * 12);
}

QTEST_GUILESS_MAIN(TestSchemas)
#include "tst_schemas.moc"
