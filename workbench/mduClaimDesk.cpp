#include "mduClaimDesk.h"

#include "frmClaimDialog.h"
#include "mduMessage.h"

bool RecordClaim(QWidget* parent, const WarrantyCard& card, const ClaimLinks& links) {
    if (!links.book || !links.book->Available())
        return false;
    const QString key = card.record.key;
    // The texts of the central office's codes, asked for only for such a card.
    const QHash<QString, QString> texts =
        IsSentBackStatus(card.status) && links.statusTexts ? links.statusTexts() : QHash<QString, QString>();
    if (const QString why = ClaimRefusal(card, links.book->HasOpenClaim(key), links.book->OpenSince(key), texts);
        !why.isEmpty()) {
        ShowMessage(why, QStringLiteral("无法登记返修"), 0);
        return false;
    }
    const int term = links.terms ? links.terms().value(card.record.productKey.toUpper()) : 0;
    const CardTrace trace = links.book->Trace(key);
    frmClaimDialog dialog(card, term, trace, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    WarrantyClaim claim = dialog.Claim();
    QString why;
    if (!links.book->Record(claim, dialog.Term(), &why)) {
        if (!why.isEmpty())
            ShowMessage(why, QStringLiteral("无法登记返修"), 0);
        return false;
    }
    if (links.report)
        links.report(QStringLiteral("已登记返修 %1：%2，%3").arg(card.record.cardNumber, claim.reason, claim.action), false);
    if (claim.action == RemakeAction && links.startRemake &&
        ShowMessage(QStringLiteral("返修已登记。现在录入重做的质保卡吗？\n（产品、患者、医生和医院诊所%1沿用原卡，请输入新的质保卡号）")
                        .arg(trace.teeth.isEmpty() ? QString() : QStringLiteral("以及牙位")),
                    QStringLiteral("重做"), 2) == MsgYes) {
        WarrantyRecord original = card.record;
        original.teeth = trace.teeth.join(QLatin1Char(' '));
        links.startRemake(original, claim.key);
    }
    return true;
}

QString ClaimSummary(const QList<WarrantyClaim>& claims, const QString& recordKey) {
    QStringList parts;
    for (const WarrantyClaim& c : claims) {
        if (c.recordKey == recordKey) {
            QString s = DateText(c.claimDate) + QLatin1Char(' ') + c.reason + QStringLiteral("（") + c.state +
                        QStringLiteral("）");
            if (c.action == RemakeAction)
                s += c.remakeNumber.isEmpty() ? QStringLiteral(" / 重做卡未录入")
                                              : QStringLiteral(" / 重做卡号 ") + c.remakeNumber;
            parts << QStringLiteral("返修：") + s;
        } else if (c.remakeKey == recordKey) {
            parts << QStringLiteral("原卡号 ") + c.cardNumber + QStringLiteral("（") + DateText(c.claimDate) +
                         QLatin1Char(' ') + c.reason + QStringLiteral(" 重做）");
        }
    }
    return parts.join(QLatin1Char('\n'));
}
