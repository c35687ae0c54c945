// The warranty rules on plain values: no widgets, no display, no database.
#include "mduCardLookup.h"
#include "mduRecordRules.h"
#include "mduRecordSql.h"

#include <QtTest>

namespace {

WarrantyRecord sample() {
    WarrantyRecord r;
    r.productKey = "C01";
    r.cardNumber = "C00000102";
    r.patientSurname = "张";
    r.patientGivenName = "三";
    r.doctorSurname = "李";
    r.doctorGivenName = "四";
    r.hospital = "北京口腔医院";
    r.treatmentDate = QDate(2013, 9, 2);
    r.productionDate = QDate(2013, 9, 1);
    r.description = "上颌";
    r.remark = "复诊";
    return r;
}

const QStringList products{"钴铬合金烤瓷冠", "二氧化锆全瓷冠", "铸瓷贴面"};

} // namespace

class TestRecordRules : public QObject {
    Q_OBJECT
private slots:
    void entryChecksInOrder_data();
    void entryChecksInOrder();
    void batchRowChecks_data();
    void batchRowChecks();
    void cardNumberParts();
    void dateWarnings_data();
    void oldExportHeadersRead();
    void dateWarnings();
    void statements();
    void valuesStayValues_data();
    void valuesStayValues();
    void expiry_data();
    void expiry();
    void lookupSearchKinds();
};

void TestRecordRules::entryChecksInOrder_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("field");
    QTest::newRow("passes") << "" << "00000102" << "" << int(EntryField::None);
    QTest::newRow("no product, all else there") << "product" << "00000102" << "请选择产品名称！" << int(EntryField::Product);
    QTest::newRow("no digits") << "" << "" << "请输入质保卡号！" << int(EntryField::CardDigits);
    QTest::newRow("12a") << "" << "12a" << "质保卡号 异 常 ！无法保存！" << int(EntryField::CardDigits);
    QTest::newRow("12.5 reads as a number") << "" << "12.5" << "" << int(EntryField::None);
    QTest::newRow("-7 and 1e3 too") << "" << "1e3" << "" << int(EntryField::None);
    QTest::newRow("no given name") << "given" << "1" << "请输入病者姓名！" << int(EntryField::None);
    QTest::newRow("no hospital") << "hospital" << "1" << "请输入医院证所名称！" << int(EntryField::Hospital);
    QTest::newRow("no production date") << "production" << "1" << "请输入制作时间！" << int(EntryField::ProductionDate);
    QTest::newRow("no treatment date") << "treatment" << "1" << "请输入治疗时间！" << int(EntryField::TreatmentDate);
    QTest::newRow("NUL in the remark") << "nul" << "1" << "备注 含有无效字符（空字符），无法保存！" << int(EntryField::Remark);
}

void TestRecordRules::entryChecksInOrder() {
    QFETCH(QString, change);
    QFETCH(QString, digits);
    QFETCH(QString, message);
    QFETCH(int, field);
    WarrantyRecord r = sample();
    if (change == "product")
        r.productKey.clear();
    else if (change == "given")
        r.patientGivenName.clear();
    else if (change == "hospital")
        r.hospital.clear();
    else if (change == "production")
        r.productionDate = QDate();
    else if (change == "treatment")
        r.treatmentDate = QDate();
    else if (change == "nul")
        r.remark = QString("a") + QChar(0) + "b";
    const RuleFailure f = CheckEntry(r, digits);
    QCOMPARE(f.message, message);
    QCOMPARE(int(f.field), field);
    QCOMPARE(f.kind, short(message.startsWith("质保卡号 异") ? 1 : 0));
    QCOMPARE(f.title, QString(message.startsWith("质保卡号 异") ? "系统提示" : ""));
}

void TestRecordRules::batchRowChecks_data() {
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("column");
    const QStringList good{"钴铬合金烤瓷冠", "C00000102", "2013-09-01", "2013-9-2", "张", "三", "", "", "北京口腔医院", "", ""};
    auto with = [&good](int col, const QString& v) {
        QStringList r = good;
        r[col - 1] = v;
        return r;
    };
    QTest::newRow("passes") << good << "" << 0;
    QTest::newRow("product with a blank") << with(1, "钴铬合金烤瓷冠 ") << "行 7 :请提供正确的  质保产品  ！" << 1;
    QTest::newRow("no number") << with(2, "") << "行 7 :请提供  质保卡号  ！" << 2;
    QTest::newRow("one character") << with(2, "C") << "行 7 :质保卡号 格式有误（除首位外均为数字）  ！" << 2;
    QTest::newRow("sign after the letter") << with(2, "C-0001") << "行 7 :质保卡号 格式有误（除首位外均为数字）  ！" << 2;
    QTest::newRow("production date") << with(3, "2013-13-01") << "行 7 :提供的  制作时间  格式有误！" << 3;
    QTest::newRow("treatment date") << with(4, "09/02/13") << "行 7 :提供的  诊疗时间  格式有误！" << 4;
    QTest::newRow("surname") << with(5, "") << "行 7 :请提供  患者姓  ！" << 5;
    QTest::newRow("given name") << with(6, "") << "行 7 :请提供  患者名  ！" << 6;
    QTest::newRow("hospital") << with(9, "") << "行 7 :请提供  医院诊所  ！" << 9;
    QTest::newRow("NUL in the description") << with(10, QString("x") + QChar(0)) << "行 7 :治疗项目描述 含有无效字符（空字符）！" << 10;
    QTest::newRow("empty row stops at the product") << QStringList(11, QString()) << "行 7 :请提供正确的  质保产品  ！" << 1;
}

void TestRecordRules::batchRowChecks() {
    QFETCH(QStringList, cells);
    QFETCH(QString, message);
    QFETCH(int, column);
    const RuleFailure f = CheckBatchRow(cells, 7, products);
    QCOMPARE(f.message, message);
    QCOMPARE(f.column, column);
    if (message.isEmpty()) {
        const WarrantyRecord r = BatchRowRecord(cells, "C01");
        QCOMPARE(r.cardNumber, QString("C00000102"));
        QCOMPARE(DateText(r.treatmentDate), QString("2013-09-02"));
        QCOMPARE(r.hospital, QString("北京口腔医院"));
    }
}

void TestRecordRules::oldExportHeadersRead() {
    // The pending list as exports wrote it before: its own order, "名" twice.
    const QList<QStringList> table{
        {"质保产品", "质保卡号", "患者姓", "名", "医生姓", "名", "医院、诊所", "治疗时间", "治疗描述", "备注", "制作时间"},
        {"钴铬合金烤瓷冠", "C00000110", "张", "伟", "刘", "洋", "北京口腔医院", "2013-09-10", "上颌前牙烤瓷冠", "", "2013-09-05"}};
    QList<QStringList> rows;
    QString error;
    QVERIFY2(BatchRowsFromTable(table, &rows, &error), qPrintable(error));
    // The lot, teeth and shade such a file lacks are left empty.
    QCOMPARE(rows, (QList<QStringList>{{"钴铬合金烤瓷冠", "C00000110", "2013-09-05", "2013-09-10", "张", "伟", "刘", "洋",
                                        "北京口腔医院", "上颌前牙烤瓷冠", "", "", "", ""}}));
}

void TestRecordRules::dateWarnings_data() {
    // Today is 2013-10-10 throughout.
    QTest::addColumn<QDate>("production");
    QTest::addColumn<QDate>("treatment");
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QList<int>>("columns");
    QTest::newRow("plausible") << QDate(2013, 9, 1) << QDate(2013, 9, 2) << QStringList() << QList<int>();
    QTest::newRow("same day, today") << QDate(2013, 10, 10) << QDate(2013, 10, 10) << QStringList() << QList<int>();
    QTest::newRow("production tomorrow")
        << QDate(2013, 10, 11) << QDate() << QStringList{"制作时间晚于今天"} << QList<int>{BatchProductionDate};
    QTest::newRow("production after treatment")
        << QDate(2013, 9, 5) << QDate(2013, 9, 4) << QStringList{"制作时间晚于诊疗时间"} << QList<int>{BatchProductionDate};
    QTest::newRow("treatment tomorrow")
        << QDate(2013, 10, 1) << QDate(2013, 10, 11) << QStringList{"诊疗时间晚于今天"} << QList<int>{BatchTreatmentDate};
    QTest::newRow("treatment a year and a day after production")
        << QDate(2012, 9, 1) << QDate(2013, 9, 2) << QStringList{"诊疗时间比制作时间晚一年以上"} << QList<int>{BatchTreatmentDate};
    QTest::newRow("treatment exactly a year after") << QDate(2012, 9, 2) << QDate(2013, 9, 2) << QStringList() << QList<int>();
    QTest::newRow("both in the future, reversed")
        << QDate(2013, 12, 1) << QDate(2013, 11, 1) << QStringList{"制作时间晚于今天", "制作时间晚于诊疗时间", "诊疗时间晚于今天"}
        << QList<int>{BatchProductionDate, BatchProductionDate, BatchTreatmentDate};
    QTest::newRow("missing dates") << QDate() << QDate() << QStringList() << QList<int>();
}

void TestRecordRules::dateWarnings() {
    QFETCH(QDate, production);
    QFETCH(QDate, treatment);
    QFETCH(QStringList, warnings);
    QFETCH(QList<int>, columns);
    const QList<RuleFailure> found = DateWarnings(production, treatment, QDate(2013, 10, 10));
    QStringList texts;
    QList<int> cols;
    for (const RuleFailure& w : found) {
        texts << w.message;
        cols << w.column;
        QCOMPARE(w.field, w.column == BatchProductionDate ? EntryField::ProductionDate : EntryField::TreatmentDate);
    }
    QCOMPARE(texts, warnings);
    QCOMPARE(cols, columns);
}

void TestRecordRules::cardNumberParts() {
    QCOMPARE(SplitCardNumber("C00000102").letter, QString("C"));
    QCOMPARE(SplitCardNumber("C00000102").digits, QString("00000102"));
    QCOMPARE(SplitCardNumber("").letter, QString());
    QCOMPARE(SplitCardNumber("").digits, QString());
    QCOMPARE(CardLetterOf("D01"), QString("D"));
    QCOMPARE(CardLetterOf(""), QString());
    QCOMPARE(FindProduct(products, "铸瓷贴面"), 2);
    QCOMPARE(FindProduct(products, "铸瓷"), -1);
}

// The texts the central database and its execution log receive, exactly.
void TestRecordRules::statements() {
    WarrantyRecord r = sample();
    QCOMPARE(EntryInsertStatement(r, "1", "1001"),
             QString("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPLName,fldPFName,fldDLName,fldDFName,"
                     "fldHospital,fldOpTime,fldPdTime,fldOpDesp,fldMemo,fldStatus)  select '1','1001','C01','C00000102',"
                     "'张','三','李','四','北京口腔医院','2013-09-02','2013-09-01','上颌','复诊','00' "));
    r.key = "42";
    // The statements that change one record also name the state they
    // expect: the lab's, and pending (a reset: neither pending nor published).
    QCOMPARE(EntryUpdateStatement(r, "1001", "1"),
             QString("update tblrecord set fldmaker='1001',fldPrdName='C01',fldPrdNo='C00000102',fldPLName='张',"
                     "fldPFName='三',fldDLName='李',fldDFName='四',fldHospital='北京口腔医院',fldOpTime='2013-09-02',"
                     "fldPdTime='2013-09-01',fldOpDesp='上颌',fldMemo='复诊' where fldsn='42' and fldMsn='1' "
                     "and fldstatus='00'"));
    QCOMPARE(DeleteStatement("42", "1"), QString("delete from tblrecord  where fldsn='42' and fldMsn='1' and fldstatus='00'"));
    QCOMPARE(BatchInsertStatement(r, "1", "1001"),
             QString("insert into tblrecord (fldMsn,fldmaker,fldPrdName,fldPrdNo,fldPdTime,fldOpTime,fldPLName,fldPFName,"
                     "fldDLName,fldDFName,fldHospital,fldOpDesp,fldMemo,fldStatus)  select '1','1001','C01','C00000102',"
                     "'2013-09-01','2013-09-02','张','三','李','四','北京口腔医院','上颌','复诊','00'"));
    WarrantyRecord quoted = r;
    quoted.hospital = "O'Neil's";
    quoted.remark = "'";
    QVERIFY(BatchInsertStatement(quoted, "1", "1001").endsWith("'李','四','O''Neil''s','上颌','''','00'"));
    QCOMPARE(RangeTestStatement("C00000102", "1", ""),
             QString("Select * from tblProductNoSet where fldPrdNoFrom<='C00000102' and fldPrdNoTo>='C00000102' and "
                     "len(fldPrdNoFrom)=len('C00000102')  and fldmaker='1'"));
    QCOMPARE(RangeTestStatement("C1", "1", "5"),
             QString("Select * from tblProductNoSet where fldPrdNoFrom<='C1' and fldPrdNoTo>='C1' and "
                     "len(fldPrdNoFrom)=len('C1')  and (fldmaker='1' or fldmaker='5')"));
    QCOMPARE(DuplicateTestStatement("C1", "42"),
             QString("Select * from tblrecord where fldstatus>'00' and fldsn<>'42' and fldprdno='C1'"));
    QCOMPARE(RangeAndDuplicateStatement("C1", "1", "", "42"),
             QString("select case when exists (Select * from tblProductNoSet where fldPrdNoFrom<='C1' and "
                     "fldPrdNoTo>='C1' and len(fldPrdNoFrom)=len('C1')  and fldmaker='1') then 1 else 0 end, "
                     "case when exists (Select * from tblrecord where fldstatus>'00' and fldsn<>'42' and "
                     "fldprdno='C1') then 1 else 0 end"));
    QCOMPARE(SubmitStatement("42", "1"), QString("update tblrecord set fldstatus='01',fldsubmitDate=convert(varchar(10),"
                                                 "getdate(),126) where fldsn='42' and fldMsn='1' and fldstatus='00'"));
    QCOMPARE(ResetStatement("42", "1"), QString("update tblrecord set fldstatus='00',fldreturnmemo='' where fldsn='42' "
                                                "and fldMsn='1' and fldstatus not in ('00','02')"));
    // The lab's key is a value like any other.
    QVERIFY(SubmitStatement("42", "1' or '1'='1").endsWith("fldMsn='1'' or ''1''=''1' and fldstatus='00'"));
    // A date not known is an empty text.
    r.productionDate = QDate();
    QVERIFY(EntryUpdateStatement(r, "1001", "1").contains("fldPdTime=''"));
}

void TestRecordRules::valuesStayValues_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("quote") << "O'Brien";
    QTest::newRow("quotes and comment") << "x'); delete from tblrecord; --";
    QTest::newRow("doubled quotes") << "''";
    QTest::newRow("Chinese and percent") << "张's 诊所 50%_";
}

// A value's quotes are doubled: between the statement's quotes it reads back
// as the value, and nothing of it is left outside them.
void TestRecordRules::valuesStayValues() {
    QFETCH(QString, value);
    const QString quoted = SqlQuote(value);
    QCOMPARE(QString(quoted).replace("''", "'"), value);
    QVERIFY(!QString(quoted).remove("''").contains('\''));
    WarrantyRecord r = sample();
    r.remark = value;
    QVERIFY(EntryInsertStatement(r, "1", "1001").contains("'" + quoted + "','00' "));
}

void TestRecordRules::expiry_data() {
    QTest::addColumn<QDate>("treated");
    QTest::addColumn<int>("months");
    QTest::addColumn<QDate>("expiry");
    QTest::newRow("leap day, a year") << QDate(2024, 2, 29) << 12 << QDate(2025, 2, 28);
    QTest::newRow("leap day, four years") << QDate(2024, 2, 29) << 48 << QDate(2028, 2, 29);
    QTest::newRow("31st into February of a leap year") << QDate(2024, 1, 31) << 1 << QDate(2024, 2, 29);
    QTest::newRow("31st into a 30-day month") << QDate(2025, 8, 31) << 1 << QDate(2025, 9, 30);
    QTest::newRow("across a year's end") << QDate(2025, 11, 30) << 3 << QDate(2026, 2, 28);
    QTest::newRow("six months") << QDate(2026, 1, 15) << 6 << QDate(2026, 7, 15);
    QTest::newRow("no term") << QDate(2026, 1, 15) << 0 << QDate();
    QTest::newRow("no treatment date") << QDate() << 12 << QDate();
}

void TestRecordRules::expiry() {
    QFETCH(QDate, treated);
    QFETCH(int, months);
    QFETCH(QDate, expiry);
    QCOMPARE(ExpiryDate(treated, months), expiry);
}

void TestRecordRules::lookupSearchKinds() {
    const QDate day(2025, 2, 28);
    QCOMPARE(ExpiryText(day, QDate(2025, 2, 27)), QStringLiteral("2025-02-28（还有 1 天）"));
    QCOMPARE(ExpiryText(day, day), QStringLiteral("2025-02-28（今天到期）"));
    QCOMPARE(ExpiryText(day, QDate(2025, 3, 1)), QStringLiteral("2025-02-28（已过期）"));
    QCOMPARE(ExpiryText(QDate(), day), QString());

    // Letters and digits with a digit are a card number; anything else a name.
    for (const char* number : {"C00000110", "c0001", "110"})
        QVERIFY2(IsCardNumberSearch(number), number);
    for (const char* name : {"张伟", "zw", "C%1", "C_1", "C'1", "C 1", ""})
        QVERIFY2(!IsCardNumberSearch(QString::fromUtf8(name)), name);
    QCOMPARE(CardNumberPattern("C0001"), QStringLiteral("C0001%"));
    QCOMPARE(CardNumberPattern("0001"), QStringLiteral("%0001%"));
    QCOMPARE(CardNumberPattern("C%_![1"), QStringLiteral("C!%!_!!![1%"));
    QVERIFY(IsInitialsSearch("zwL") && !IsInitialsSearch("z w") && !IsInitialsSearch("张") && !IsInitialsSearch(""));

    // Terms: positive whole months only, keyed by the product's key.
    vt::ValueArray rows(2, 0);
    const QList<QPair<QString, QString>> given{{"c01", "36"}, {"D01", "0"}, {"E01", "-6"}, {"F01", "六"}, {"G01", "6"}};
    for (const auto& [key, months] : given) {
        const int r = rows.appendRow();
        rows.set(0, r, key);
        rows.set(1, r, months);
    }
    const QHash<QString, int> terms = ProductTerms(rows);
    QCOMPARE(terms, (QHash<QString, int>{{"C01", 36}, {"G01", 6}}));
}

QTEST_GUILESS_MAIN(TestRecordRules)
#include "tst_recordRules.moc"
