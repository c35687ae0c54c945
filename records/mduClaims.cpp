#include "mduClaims.h"

#include <QSet>

QStringList ClaimReasons() {
    return {QStringLiteral("崩瓷"),     QStringLiteral("折断"),     QStringLiteral("脱落"), QStringLiteral("边缘不密合"),
            QStringLiteral("颜色不符"), QStringLiteral("咬合不适"), QStringLiteral("其他")};
}

QStringList ClaimActions() { return {RepairAction, RemakeAction}; }

QVariant ClaimTerm::storedValue() const {
    switch (standing) {
    case Within: return QStringLiteral("1");
    case Past: return QStringLiteral("0");
    case Unknown: break;
    }
    return vt::Null();
}

ClaimTerm ClaimTermOn(const QDate& treatment, int termMonths, const QDate& claimDate) {
    ClaimTerm t;
    t.expiry = ExpiryDate(treatment, termMonths);
    if (!t.expiry.isValid() || !claimDate.isValid()) {
        t.text = termMonths > 0 ? QStringLiteral("没有治疗时间，无法判断是否在保修期内")
                                : QStringLiteral("该产品没有质保期限");
        return t;
    }
    const qint64 left = claimDate.daysTo(t.expiry);
    if (left >= 0) {
        t.standing = ClaimTerm::Within;
        t.days = left;
        t.text = QStringLiteral("保修期内，还有 %1 天").arg(left);
    } else {
        t.standing = ClaimTerm::Past;
        t.days = -left;
        t.text = QStringLiteral("已过保修期 %1 天").arg(-left);
    }
    return t;
}

bool IsToothCode(const QString& code) {
    if (code.size() != 2 || !code.at(0).isDigit() || !code.at(1).isDigit())
        return false;
    const int quadrant = code.at(0).digitValue();
    const int tooth = code.at(1).digitValue();
    // Permanent teeth: quadrants 1-4, teeth 1-8; milk teeth: 5-8, teeth 1-5.
    if (quadrant >= 1 && quadrant <= 4)
        return tooth >= 1 && tooth <= 8;
    if (quadrant >= 5 && quadrant <= 8)
        return tooth >= 1 && tooth <= 5;
    return false;
}

QStringList TeethOf(const QString& stored) {
    QStringList teeth;
    for (const QString& part : stored.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (IsToothCode(part) && !teeth.contains(part))
            teeth << part;
    return teeth;
}

QString TeethText(const QStringList& teeth) { return teeth.join(QLatin1Char(' ')); }

QStringList ClaimTeeth(const QStringList& chosen, const QStringList& cardTeeth) {
    const QSet<QString> wanted(chosen.cbegin(), chosen.cend());
    QStringList out;
    for (const QString& t : cardTeeth)
        if (wanted.contains(t))
            out << t;
    return out;
}

QString ClaimRefusal(const WarrantyCard& card, bool hasOpenClaim, const QString& openSince,
                     const QHash<QString, QString>& statusTexts) {
    if (card.record.key.isEmpty())
        return QStringLiteral("请先选择要登记返修的质保卡。");
    if (card.status != RecordStatus::Published)
        return QStringLiteral("质保卡 %1 尚未发布（%2），只有已发布的质保卡才能登记返修。")
            .arg(card.record.cardNumber, StatusWords(card.status, statusTexts));
    if (hasOpenClaim)
        return openSince.isEmpty()
                   ? QStringLiteral("质保卡 %1 已有受理中的返修，完成后才能再次登记。").arg(card.record.cardNumber)
                   : QStringLiteral("质保卡 %1 已有受理中的返修（%2 登记），完成后才能再次登记。")
                         .arg(card.record.cardNumber, openSince);
    return {};
}

QString InTermWords(const QString& stored) {
    if (stored == QLatin1String("1"))
        return QStringLiteral("保修期内");
    if (stored == QLatin1String("0"))
        return QStringLiteral("已过保修期");
    return {};
}

QString ClaimInsertStatement() {
    return QStringLiteral("insert into tblClaim (fldMsn,fldRecordSn,fldPrdNo,fldClaimDate,fldReason,fldText,fldTeeth,"
                          "fldAction,fldInTerm,fldState,fldOpenKey) select fldMsn,fldsn,fldPrdNo,?,?,?,?,?,?,?,fldsn "
                          "from tblrecord where fldsn=? and fldMsn=? and fldStatus='02'");
}

QVariantList ClaimInsertParams(const WarrantyClaim& c, const QVariant& inTerm, const QVariant& labKey) {
    return {DateText(c.claimDate), c.reason, c.text, c.teeth, c.action, inTerm, ClaimState::Open,
            c.recordKey.toLongLong(), labKey};
}

QString ClaimCloseStatement() {
    return QStringLiteral("update tblClaim set fldState='") + ClaimState::Closed +
           QStringLiteral("',fldCloseDate=?,fldDone=?,fldOpenKey=-fldsn where fldsn=? and fldMsn=? and fldOpenKey>0");
}

QString ClaimRemakeLinkStatement() {
    return QStringLiteral("update tblClaim set fldRemakeSn=(select max(fldsn) from tblrecord where fldMsn=? and "
                          "fldPrdNo=? and fldStatus='00') where fldsn=? and fldMsn=? and fldRemakeSn is null");
}

QString OpenClaimsStatement() {
    return QStringLiteral("select fldRecordSn,fldClaimDate from tblClaim where fldMsn=? and fldOpenKey>0");
}

namespace {
// The columns every claims statement gives, in the order ClaimsFromRows reads.
const char* const ClaimColumns =
    "select c.fldsn, c.fldRecordSn, c.fldPrdNo, c.fldClaimDate, c.fldReason, c.fldText, c.fldTeeth, c.fldAction,"
    " c.fldInTerm, c.fldState, c.fldCloseDate, c.fldDone, c.fldRemakeSn, m.fldPrdNo,"
    " coalesce(p.fldPrdName, o.fldPrdName), o.fldPLName, o.fldPFName, o.fldHospital, o.fldDLName, o.fldDFName"
    " from tblClaim c left join tblrecord o on o.fldsn = c.fldRecordSn"
    " left join tblProduct p on p.fldPrdKey = o.fldPrdName"
    " left join tblrecord m on m.fldsn = c.fldRemakeSn";
} // namespace

QString CardClaimsStatement() {
    return QString::fromLatin1(ClaimColumns) +
           QStringLiteral(" where c.fldMsn=? and (c.fldRecordSn=? or c.fldRemakeSn=?) order by c.fldClaimDate, c.fldsn");
}

QString ClaimListStatement() {
    return QString::fromLatin1(ClaimColumns) +
           QStringLiteral(" where c.fldMsn=? and c.fldClaimDate>=? and c.fldClaimDate<=?"
                          " order by c.fldClaimDate desc, c.fldsn desc");
}

QList<WarrantyClaim> ClaimsFromRows(const vt::ValueArray& rows) {
    QList<WarrantyClaim> claims;
    if (rows.cols() < 20)
        return claims;
    const auto date = [](const QString& t) { return QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd")); };
    claims.reserve(rows.rows());
    for (int r = 0; r < rows.rows(); ++r) {
        const auto text = [&](int c) { return rows.displayText(c, r); };
        WarrantyClaim c;
        c.key = text(0).trimmed();
        c.recordKey = text(1).trimmed();
        c.cardNumber = text(2).trimmed();
        c.claimDate = date(text(3));
        c.reason = text(4);
        c.text = text(5);
        c.teeth = text(6).trimmed();
        c.action = text(7).trimmed();
        c.inTerm = text(8).trimmed();
        c.state = text(9).trimmed();
        c.closeDate = date(text(10));
        c.done = text(11);
        c.remakeKey = text(12).trimmed();
        c.remakeNumber = text(13).trimmed();
        c.productName = text(14);
        c.patient = FullName(text(15), text(16));
        c.hospital = text(17);
        c.doctor = FullName(text(18), text(19));
        claims << c;
    }
    return claims;
}

QString CardTraceStatement() {
    return QStringLiteral("select fldTeeth, fldLot from tblrecord where fldsn=? and fldMsn=?");
}
