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
    void collationGuardComesFirst_data();
    void collationGuardComesFirst();
    void cardRuleSameInBothScripts();
    void upgradeCreatesNothingWhileNumbersHeldTwice();
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
    Schema b = sqlServer();
    // SQL Server's way of refusing a card number submitted twice; the
    // embedded database has a partial unique index for it instead.
    QCOMPARE(b.take("tblcardheld"), (QStringList{"fldprdno", "fldsn"}));
    QVERIFY(a.size() >= 9);
    QCOMPARE(a.keys(), b.keys());
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        QCOMPARE(it.value(), b.value(it.key()));
    QVERIFY(a.value("tblrecord").contains("fldreturnmemo"));
    QCOMPARE(a.value("dicopmenus").size(), 2 + 3 * 12);
}

void TestSchemas::collationGuardComesFirst_data() {
    QTest::addColumn<QString>("script");
    QTest::newRow("tables") << "01_tables.sql";
    QTest::newRow("procedures") << "02_procedures.sql";
}

// The collation guard runs before anything is created, and every later batch
// runs under its NOEXEC until the script's last batch turns it off again.
void TestSchemas::collationGuardComesFirst() {
    QFETCH(QString, script);
    QFile f(QV_SOURCE_DIR "/db/sqlserver/" + script);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    static const QRegularExpression go(R"(^GO\s*$)", QRegularExpression::MultilineOption);
    QStringList batches = text.split(go);
    // Batches that hold a statement (not only comments and blanks).
    static const QRegularExpression comment(R"(--[^\n]*)");
    QStringList statements;
    for (const QString& b : batches) {
        QString code = b;
        code.remove(comment);
        if (!code.trimmed().isEmpty())
            statements << code.trimmed();
    }
    QVERIFY(statements.size() >= 3);
    const QString& guard = statements.first();
    QVERIFY2(guard.startsWith("IF COLLATIONPROPERTY("), qPrintable(guard.left(60)));
    QVERIFY(guard.contains("NOT IN (936, 65001)"));
    QVERIFY(guard.contains("RAISERROR"));
    QVERIFY(guard.indexOf("RAISERROR") < guard.indexOf("SET NOEXEC ON"));
    QVERIFY(!guard.contains(QRegularExpression("^\\s*CREATE ", QRegularExpression::MultilineOption)));
    QCOMPARE(statements.last(), QString("SET NOEXEC OFF;"));
    for (qsizetype i = 1; i + 1 < statements.size(); ++i)
        QVERIFY2(!statements[i].contains("NOEXEC"), qPrintable(statements[i].left(60)));
}

static QString script(const QString& name) {
    QFile f(QV_SOURCE_DIR "/db/sqlserver/" + name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A new database and an upgraded one get the same table and trigger.
void TestSchemas::cardRuleSameInBothScripts() {
    const QString tables = script("01_tables.sql");
    const QString upgrade = script("04_card_held.sql");
    static const QRegularExpression table(R"(CREATE TABLE dbo\.tblCardHeld \(.*?\n\);)",
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression trigger(R"(CREATE TRIGGER dbo\.trgRecordCardHeld .*?\nEND\n)",
                                            QRegularExpression::DotMatchesEverythingOption);
    for (const QRegularExpression* re : {&table, &trigger}) {
        const QString a = re->match(tables).captured(0);
        QVERIFY2(!a.isEmpty(), qPrintable(re->pattern()));
        QCOMPARE(re->match(upgrade).captured(0), a);
    }
    // The trigger's own counts never reach the client's count of changed rows.
    QVERIFY(trigger.match(tables).captured(0).contains("SET NOCOUNT ON;"));
}

// The upgrade locks the records, then lists the numbers held twice and
// stops there while there are any; only then does it create anything.
void TestSchemas::upgradeCreatesNothingWhileNumbersHeldTwice() {
    const QString text = script("04_card_held.sql");
    QVERIFY(!text.isEmpty());
    const qsizetype lock = text.indexOf("WITH (TABLOCKX, HOLDLOCK)");
    const qsizetype check = text.indexOf("HAVING COUNT(*) > 1");
    const qsizetype stop = text.indexOf("SET NOEXEC ON", check);
    const qsizetype create = text.indexOf(QRegularExpression("^CREATE ", QRegularExpression::MultilineOption));
    const qsizetype commit = text.indexOf("COMMIT TRANSACTION;");
    QVERIFY(text.indexOf("BEGIN TRANSACTION;") < lock);
    QVERIFY(lock > 0 && lock < check);
    QVERIFY(check < stop && stop < create);
    QVERIFY(text.lastIndexOf("ROLLBACK TRANSACTION;", stop) > check);
    QVERIFY(create < commit);
    QVERIFY(text.trimmed().endsWith("SET NOEXEC OFF;\nGO"));
}

QTEST_GUILESS_MAIN(TestSchemas)
#include "tst_schemas.moc"
