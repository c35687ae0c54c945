#include "dbDialect.h"
#include "dbSqliteBackend.h"

#include <QtTest>

class TestDbDialect : public QObject {
    Q_OBJECT
private slots:
    void translates_data();
    void translates();
    void runsOnSqlite_data();
    void runsOnSqlite();
};

void TestDbDialect::translates_data() {
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("untouched") << "select * from tblrecord where fldsn='1'"
                               << "select * from tblrecord where fldsn='1'";
    QTest::newRow("isnull") << "select isnull(a,'') from t" << "select ifnull(a,'') from t";
    QTest::newRow("ISNULL upper") << "select ISNULL ( a , b ) from t" << "select ifnull(a,b) from t";
    QTest::newRow("len") << "where len(x)=len('C1')"
                         << "where length(rtrim(x,' '))=length(rtrim('C1',' '))";
    QTest::newRow("identity") << "select @@identity" << "select last_insert_rowid()";
    QTest::newRow("top") << "select top 200 fldHospital from tblrecord where fldMsn=? group by fldHospital order by count(*) desc"
                         << "select fldHospital from tblrecord where fldMsn=? group by fldHospital order by count(*) desc limit 200";
    QTest::newRow("top and len") << "SELECT TOP 5 len(x) from t" << "select length(rtrim(x,' ')) from t limit 5";
    QTest::newRow("top inside a value") << "select 'select top 5 ' from t" << "select 'select top 5 ' from t";
    QTest::newRow("getdate") << "values (getdate())" << "values (datetime('now','localtime'))";
    QTest::newRow("convert 126")
        << "set d=convert(varchar(10),getdate(),126) where"
        << "set d=substr(strftime('%Y-%m-%dT%H:%M:%S',datetime('now','localtime')),1,10) where";
    QTest::newRow("nested convert in isnull")
        << "isnull(convert(varchar(50),fldsame),'')"
        << "ifnull(substr(cast(fldsame as text),1,50),'')";
    QTest::newRow("literal kept") << "select 'isnull(len(getdate()))', @@identity"
                                  << "select 'isnull(len(getdate()))', last_insert_rowid()";
    QTest::newRow("quote in literal") << "select 'it''s len(x)' , len(y)"
                                      << "select 'it''s len(x)' , length(rtrim(y,' '))";
    QTest::newRow("not a call") << "select mylen(x), len_x from t" << "select mylen(x), len_x from t";
    QTest::newRow("unclosed stays") << "select len(x" << "select len(x";
}

void TestDbDialect::translates() {
    QFETCH(QString, tsql);
    QFETCH(QString, sqlite);
    QCOMPARE(TranslateToSqlite(tsql), sqlite);
}

void TestDbDialect::runsOnSqlite_data() {
    QTest::addColumn<QString>("tsql");
    QTest::addColumn<QVariant>("expected");
    const QString today = QDate::currentDate().toString("yyyy-MM-dd");
    QTest::newRow("today") << "select convert(varchar(10),getdate(),126)" << QVariant(today);
    QTest::newRow("len ignores trailing blanks") << "select len('ab  ')" << QVariant(qlonglong(2));
    QTest::newRow("len keeps leading blanks") << "select len('  ab')" << QVariant(qlonglong(4));
    QTest::newRow("isnull null") << "select isnull(null,'x')" << QVariant("x");
    QTest::newRow("isnull value") << "select isnull('a','x')" << QVariant("a");
    QTest::newRow("convert number") << "select convert(varchar(50),12)" << QVariant("12");
    QTest::newRow("convert null") << "select isnull(convert(varchar(50),null),'')" << QVariant("");
    QTest::newRow("getdate is today") << "select substr(getdate(),1,10)" << QVariant(today);
}

void TestDbDialect::runsOnSqlite() {
    QFETCH(QString, tsql);
    QFETCH(QVariant, expected);
    SqliteBackend db;
    db.openFile(":memory:", true);
    const DbResult r = db.execute(tsql, {}, 0);
    QVERIFY(r.hasRowSet);
    QCOMPARE(r.rows.rows(), 1);
    QCOMPARE(r.rows.at(0, 0), expected);
}

QTEST_GUILESS_MAIN(TestDbDialect)
#include "tst_dbDialect.moc"
