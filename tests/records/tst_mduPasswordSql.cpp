#include "mduPasswordSql.h"

#include <QtTest>

class TestMduPasswordSql : public QObject {
    Q_OBJECT
private slots:
    void checkStatement_data();
    void checkStatement();
    void changeBindsNewPasswordThenAccount();
};

// The check keeps the system's text (two blanks after "fldid =" and before
// "= '" of the password), the current password without the blanks around
// it, and every quote of a typed value doubled.
void TestMduPasswordSql::checkStatement_data() {
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("statement");
    QTest::newRow("plain") << "1001" << "1234"
                           << "Select * From tblmaker Where fldid =  '1001' and fldpassword  = '1234'";
    QTest::newRow("blanks around the password") << "1001" << "  12 34 \t"
                                                << "Select * From tblmaker Where fldid =  '1001' and fldpassword  = '12 34'";
    QTest::newRow("blanks around the account stay") << " 1001" << "1234"
                                                     << "Select * From tblmaker Where fldid =  ' 1001' and fldpassword  = '1234'";
    QTest::newRow("quotes") << "1003' or '1'='1" << "' or '1'='1"
                            << "Select * From tblmaker Where fldid =  '1003'' or ''1''=''1' "
                               "and fldpassword  = ''' or ''1''=''1'";
    QTest::newRow("empty") << "" << "" << "Select * From tblmaker Where fldid =  '' and fldpassword  = ''";
}

void TestMduPasswordSql::checkStatement() {
    QFETCH(QString, account);
    QFETCH(QString, current);
    QFETCH(QString, statement);
    QCOMPARE(PasswordCheckStatement(account, current), statement);
}

// The new password is bound exactly as typed, blanks and quotes kept.
void TestMduPasswordSql::changeBindsNewPasswordThenAccount() {
    QCOMPARE(PasswordChangeStatement(), QString("update tblMaker set fldpassword = ? where fldid = ?"));
    QCOMPARE(PasswordChangeParameters(" n'w ", "1001"), QVariantList({" n'w ", "1001"}));
    QCOMPARE(PasswordChangeParameters("", "1001"), QVariantList({"", "1001"}));
}

QTEST_GUILESS_MAIN(TestMduPasswordSql)
#include "tst_mduPasswordSql.moc"
