// Batch rows into statements on plain values: no widgets, no database.
#include "mduBatchStatements.h"

#include <QtTest>

namespace {

const QString Head = "insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPdTime,fldOpTime,fldPLName,fldPFName,"
                     "fldDLName,fldDFName,fldHospital,fldOpDesp,fldMemo,fldStatus)  select '1','1001',";

QStringList row(const QString& product, const QString& hospital = "北京口腔医院") {
    return {product, "C00000102", "2013-09-01", "2013-09-02", "张", "三", "李", "四", hospital, "上颌", "复诊"};
}

} // namespace

class TestBatchStatements : public QObject {
    Q_OBJECT
private slots:
    void wholeStatement();
    void productStoredByItsCode_data();
    void productStoredByItsCode();
    void valuesKeepTheirQuotes();
    void manyRowsInOneInsert();
    void rowsPerInsert_data();
    void rowsPerInsert();
};

void TestBatchStatements::wholeStatement() {
    const ProductList products{{"C01", "Z02"}, {"钴铬合金烤瓷冠", "二氧化锆全瓷冠"}};
    QCOMPARE(BatchRowStatement(row("二氧化锆全瓷冠"), products, "1", "1001"),
             Head + "'Z02','C00000102','2013-09-01','2013-09-02','张','三','李','四','北京口腔医院','上颌','复诊','00'");
}

void TestBatchStatements::productStoredByItsCode_data() {
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    const QStringList keys{"C01", "Z02", "T03"};
    const QStringList names{"钴铬合金烤瓷冠", "Zirconia", "铸瓷贴面"};
    QTest::newRow("first entry") << keys << names << "钴铬合金烤瓷冠" << "C01";
    QTest::newRow("last entry") << keys << names << "铸瓷贴面" << "T03";
    QTest::newRow("letter case differs") << keys << names << "zirconia" << "";
    QTest::newRow("trailing blank") << keys << names << "Zirconia " << "";
    QTest::newRow("the first of two equal names") << QStringList{"A1", "B2"} << QStringList{"冠", "冠"} << "冠" << "A1";
    QTest::newRow("empty list") << QStringList{} << QStringList{} << "冠" << "";
}

void TestBatchStatements::productStoredByItsCode() {
    QFETCH(QStringList, keys);
    QFETCH(QStringList, names);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const QString sql = BatchRowStatement(row(typed), ProductList{keys, names}, "1", "1001");
    QVERIFY2(sql.startsWith(Head + "'" + stored + "','C00000102',"), qPrintable(sql));
}

void TestBatchStatements::valuesKeepTheirQuotes() {
    const ProductList products{{"O'K"}, {"It's"}};
    const QString sql = BatchRowStatement(row("It's", "O'Neil's"), products, "1", "1001");
    QVERIFY2(sql.startsWith(Head + "'O''K','C00000102',"), qPrintable(sql));
    QVERIFY2(sql.contains(",'O''Neil''s',"), qPrintable(sql));
}

// The rows' values bound in order, the same columns as the insert of one row.
void TestBatchStatements::manyRowsInOneInsert() {
    const ProductList products{{"C01", "Z02"}, {"钴铬合金烤瓷冠", "二氧化锆全瓷冠"}};
    QStringList second = row("钴铬合金烤瓷冠", "O'Neil's");
    second[1] = "C00000103";
    const InsertColumns a = BatchRowColumns(row("二氧化锆全瓷冠"), products, "1", "1001");
    const InsertColumns b = BatchRowColumns(second, products, "1", "1001");
    const SqlWithValues insert = InsertRowsStatement({a, b});
    const QString markers = "(?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
    QCOMPARE(insert.sql, Head.left(Head.indexOf(")  select") + 1) + " values " + markers + "," + markers);
    QCOMPARE(insert.values.size(), 28);
    QCOMPARE(insert.values.mid(0, 14),
             QVariantList({"1", "1001", "Z02", "C00000102", "2013-09-01", "2013-09-02", "张", "三", "李", "四",
                           "北京口腔医院", "上颌", "复诊", "00"}));
    QCOMPARE(insert.values.mid(14, 4), QVariantList({"1", "1001", "C01", "C00000103"}));
    QCOMPARE(insert.values.at(14 + 10), QVariant("O'Neil's")); // bound as typed
    // The single row's insert is spelled from the same columns and values.
    QCOMPARE(BatchRowStatement(second, products, "1", "1001"),
             Head + "'C01','C00000103','2013-09-01','2013-09-02','张','三','李','四','O''Neil''s','上颌','复诊','00'");
    QCOMPARE(InsertRowsStatement({}).sql, QString());
}

void TestBatchStatements::rowsPerInsert_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("a batch row's 14 columns") << 14 << 142;
    QTest::newRow("17 columns") << 17 << 117;
    QTest::newRow("one column: SQL Server's 1000 rows") << 1 << 1000;
    QTest::newRow("more columns than markers") << 3000 << 1;
}

// Within SQL Server's 2100 markers and 1000 rows of one VALUES.
void TestBatchStatements::rowsPerInsert() {
    QFETCH(int, columns);
    QFETCH(int, rows);
    QCOMPARE(InsertRowsPerStatement(columns), rows);
    QVERIFY(rows * columns <= 2100 || rows == 1);
}

QTEST_APPLESS_MAIN(TestBatchStatements)
#include "tst_batchStatements.moc"
