// The rules of a warranty claim: within the term or past it on the claim's
// day (the look-up's expiry, month ends and leap days), the teeth a claim
// may name, which cards take a claim, and the claims read back from rows.
#include "mduClaims.h"

#include <QtTest>

class TestClaimRules : public QObject {
    Q_OBJECT
private slots:
    void reasonsAndActions();
    void termOnClaimDay_data();
    void termOnClaimDay();
    void termStoredValue();
    void teethOfCard_data();
    void teethOfCard();
    void claimTeethAreTheCardsOnly();
    void refusal_data();
    void refusal();
    void claimsFromRows();
    void statementsBindEveryValue();
};

void TestClaimRules::reasonsAndActions() {
    QCOMPARE(ClaimReasons(), (QStringList{"崩瓷", "折断", "脱落", "边缘不密合", "颜色不符", "咬合不适", "其他"}));
    QCOMPARE(ClaimActions(), (QStringList{"修理", "重做"}));
    QCOMPARE(ClaimState::Open, QString("受理中"));
    QCOMPARE(ClaimState::Closed, QString("已完成"));
}

void TestClaimRules::termOnClaimDay_data() {
    QTest::addColumn<QDate>("treatment");
    QTest::addColumn<int>("months");
    QTest::addColumn<QDate>("claimDay");
    QTest::addColumn<int>("standing");
    QTest::addColumn<QString>("text");
    const int within = ClaimTerm::Within, past = ClaimTerm::Past, unknown = ClaimTerm::Unknown;
    // 2013-08-10 + 36 months ends on 2016-08-10.
    QTest::newRow("a month before the end") << QDate(2013, 8, 10) << 36 << QDate(2016, 7, 10) << within << "保修期内，还有 31 天";
    QTest::newRow("the day before the end") << QDate(2013, 8, 10) << 36 << QDate(2016, 8, 9) << within << "保修期内，还有 1 天";
    QTest::newRow("the expiry day itself") << QDate(2013, 8, 10) << 36 << QDate(2016, 8, 10) << within << "保修期内，还有 0 天";
    QTest::newRow("the day after") << QDate(2013, 8, 10) << 36 << QDate(2016, 8, 11) << past << "已过保修期 1 天";
    QTest::newRow("a year after") << QDate(2013, 8, 10) << 36 << QDate(2017, 8, 10) << past << "已过保修期 365 天";
    // Month ends: the 31st plus one month ends on the next month's last day.
    QTest::newRow("Jan 31 + 1 month, on Feb 28") << QDate(2025, 1, 31) << 1 << QDate(2025, 2, 28) << within << "保修期内，还有 0 天";
    QTest::newRow("Jan 31 + 1 month, on Mar 1") << QDate(2025, 1, 31) << 1 << QDate(2025, 3, 1) << past << "已过保修期 1 天";
    QTest::newRow("Aug 31 + 1 month, on Sep 30") << QDate(2025, 8, 31) << 1 << QDate(2025, 9, 30) << within << "保修期内，还有 0 天";
    QTest::newRow("Aug 31 + 1 month, on Oct 1") << QDate(2025, 8, 31) << 1 << QDate(2025, 10, 1) << past << "已过保修期 1 天";
    // Leap days: Feb 29 plus a year ends on Feb 28; plus four years on Feb 29.
    QTest::newRow("Feb 29 + 12 months, on Feb 28") << QDate(2024, 2, 29) << 12 << QDate(2025, 2, 28) << within << "保修期内，还有 0 天";
    QTest::newRow("Feb 29 + 12 months, on Mar 1") << QDate(2024, 2, 29) << 12 << QDate(2025, 3, 1) << past << "已过保修期 1 天";
    QTest::newRow("Feb 29 + 48 months, on Feb 29") << QDate(2024, 2, 29) << 48 << QDate(2028, 2, 29) << within << "保修期内，还有 0 天";
    QTest::newRow("Feb 28 + 12 months into a leap year") << QDate(2023, 2, 28) << 12 << QDate(2024, 2, 29) << past << "已过保修期 1 天";
    QTest::newRow("claimed before the treatment") << QDate(2025, 5, 10) << 12 << QDate(2025, 5, 1) << within << "保修期内，还有 374 天";
    QTest::newRow("no term") << QDate(2025, 5, 10) << 0 << QDate(2025, 6, 1) << unknown << "该产品没有质保期限";
    QTest::newRow("no treatment date") << QDate() << 24 << QDate(2025, 6, 1) << unknown << "没有治疗时间，无法判断是否在保修期内";
}

void TestClaimRules::termOnClaimDay() {
    QFETCH(QDate, treatment);
    QFETCH(int, months);
    QFETCH(QDate, claimDay);
    QFETCH(int, standing);
    QFETCH(QString, text);
    const ClaimTerm t = ClaimTermOn(treatment, months, claimDay);
    QCOMPARE(int(t.standing), standing);
    QCOMPARE(t.text, text);
    // The end is the look-up's own expiry, whatever the claim says.
    QCOMPARE(t.expiry, ExpiryDate(treatment, months));
    if (t.standing != ClaimTerm::Unknown)
        QCOMPARE(t.standing == ClaimTerm::Within ? claimDay.daysTo(t.expiry) : t.expiry.daysTo(claimDay), t.days);
}

void TestClaimRules::termStoredValue() {
    QCOMPARE(ClaimTermOn(QDate(2025, 1, 1), 12, QDate(2025, 12, 31)).storedValue(), QVariant("1"));
    QCOMPARE(ClaimTermOn(QDate(2025, 1, 1), 12, QDate(2026, 1, 2)).storedValue(), QVariant("0"));
    QVERIFY(vt::isNull(ClaimTermOn(QDate(2025, 1, 1), 0, QDate(2026, 1, 2)).storedValue()));
    QCOMPARE(InTermWords("1"), QString("保修期内"));
    QCOMPARE(InTermWords("0"), QString("已过保修期"));
    QCOMPARE(InTermWords(""), QString());
}

void TestClaimRules::teethOfCard_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("teeth");
    QTest::newRow("none") << "" << QStringList{};
    QTest::newRow("the stored form") << "11 12 21" << QStringList{"11", "12", "21"};
    QTest::newRow("the card's order kept") << "47 36 11" << QStringList{"47", "36", "11"};
    QTest::newRow("milk teeth") << "55 61 85" << QStringList{"55", "61", "85"};
    QTest::newRow("extra blanks") << "  11   12 " << QStringList{"11", "12"};
    QTest::newRow("repeats dropped") << "11 11 12" << QStringList{"11", "12"};
    QTest::newRow("no such teeth dropped") << "10 19 56 91 1 111 1a 18" << QStringList{"18"};
}

void TestClaimRules::teethOfCard() {
    QFETCH(QString, stored);
    QFETCH(QStringList, teeth);
    QCOMPARE(TeethOf(stored), teeth);
    QCOMPARE(TeethOf(TeethText(teeth)), teeth);
}

void TestClaimRules::claimTeethAreTheCardsOnly() {
    const QStringList card{"21", "11", "12"};
    QCOMPARE(ClaimTeeth({"12", "21"}, card), (QStringList{"21", "12"}));
    QCOMPARE(ClaimTeeth({"12", "36"}, card), (QStringList{"12"}));
    QCOMPARE(ClaimTeeth({}, card), QStringList{});
    QCOMPARE(ClaimTeeth({"11"}, {}), QStringList{});
    QCOMPARE(TeethText(ClaimTeeth({"11", "21"}, card)), QString("21 11"));
}

void TestClaimRules::refusal_data() {
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("since");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("published") << "02" << false << "" << "";
    QTest::newRow("pending") << "00" << false << "" << "质保卡 C00000130 尚未发布（待提交），只有已发布的质保卡才能登记返修。";
    QTest::newRow("submitted") << "01" << false << "" << "质保卡 C00000130 尚未发布（待审批），只有已发布的质保卡才能登记返修。";
    QTest::newRow("sent back") << "03" << false << "" << "质保卡 C00000130 尚未发布（03），只有已发布的质保卡才能登记返修。";
    QTest::newRow("published, claim open") << "02" << true << "2026-03-01"
                                           << "质保卡 C00000130 已有受理中的返修（2026-03-01 登记），完成后才能再次登记。";
    QTest::newRow("published, claim open, day unknown") << "02" << true << ""
                                                        << "质保卡 C00000130 已有受理中的返修，完成后才能再次登记。";
}

void TestClaimRules::refusal() {
    QFETCH(QString, status);
    QFETCH(bool, open);
    QFETCH(QString, since);
    QFETCH(QString, refusal);
    WarrantyCard card;
    card.record.key = "5";
    card.record.cardNumber = "C00000130";
    card.status = status;
    QCOMPARE(ClaimRefusal(card, open, since), refusal);
    card.record.key.clear();
    QCOMPARE(ClaimRefusal(card, false), QString("请先选择要登记返修的质保卡。"));
}

void TestClaimRules::claimsFromRows() {
    vt::ValueArray rows(20, 1);
    const QList<QVariant> values{qlonglong(7), qlonglong(5), "C00000130", "2026-03-01", "崩瓷", "O'Brien \"说\"",
                                 "11 21", "重做", "1", "受理中", vt::Null(), vt::Null(), qlonglong(9), "C00000140",
                                 "钴铬合金烤瓷冠", "林", "晨", "北京口腔医院", "何", "晓"};
    for (int c = 0; c < values.size(); ++c)
        rows.set(c, 0, values[c]);
    const QList<WarrantyClaim> claims = ClaimsFromRows(rows);
    QCOMPARE(claims.size(), 1);
    const WarrantyClaim& c = claims[0];
    QCOMPARE(c.key, QString("7"));
    QCOMPARE(c.recordKey, QString("5"));
    QCOMPARE(c.cardNumber, QString("C00000130"));
    QCOMPARE(c.claimDate, QDate(2026, 3, 1));
    QCOMPARE(c.text, QString("O'Brien \"说\""));
    QCOMPARE(c.teeth, QString("11 21"));
    QCOMPARE(c.action, RemakeAction);
    QVERIFY(c.isOpen());
    QVERIFY(!c.closeDate.isValid());
    QCOMPARE(c.remakeKey, QString("9"));
    QCOMPARE(c.remakeNumber, QString("C00000140"));
    QCOMPARE(c.patient, QString("林晨"));
    QCOMPARE(c.doctor, QString("何晓"));
    QCOMPARE(ClaimsFromRows(vt::ValueArray(19, 1)).size(), 0);
}

void TestClaimRules::statementsBindEveryValue() {
    // No statement carries a value of the user's: each marker is bound.
    const QList<std::pair<QString, int>> statements{{ClaimInsertStatement(), 9},   {ClaimCloseStatement(), 4},
                                                    {ClaimRemakeLinkStatement(), 4}, {OpenClaimsStatement(), 1},
                                                    {CardClaimsStatement(), 3},    {ClaimListStatement(), 3},
                                                    {CardTraceStatement(), 2}};
    for (const auto& [sql, markers] : statements)
        QVERIFY2(sql.count(QLatin1Char('?')) == markers, qPrintable(sql));
    WarrantyClaim c;
    c.recordKey = "5";
    c.claimDate = QDate(2026, 3, 1);
    c.reason = "其他";
    c.text = "x";
    c.action = RepairAction;
    QCOMPARE(ClaimInsertParams(c, "1", qlonglong(1)).size(), 9);
    QCOMPARE(ClaimInsertParams(c, "1", qlonglong(1)).at(0), QVariant("2026-03-01"));
    QCOMPARE(ClaimInsertParams(c, "1", qlonglong(1)).at(7), QVariant(qlonglong(5)));
}

QTEST_APPLESS_MAIN(TestClaimRules)
#include "tst_claimRules.moc"
