#include "clsWarrantyRecord.h"

#include "vtDateText.h"

CardNumberParts SplitCardNumber(const QString& number) { return {number.left(1), number.mid(1)}; }

QString CardLetterOf(const QString& productKey) { return productKey.left(1); }

QString DateText(const QDate& date) { return vt::dateText(date); }

bool IsSentBackStatus(const QString& code) {
    return code != RecordStatus::Pending && code != RecordStatus::Submitted && code != RecordStatus::Published;
}

QString StatusWords(const QString& code, const QHash<QString, QString>& listTexts) {
    if (code == RecordStatus::Pending)
        return QStringLiteral("待提交");
    if (code == RecordStatus::Submitted)
        return QStringLiteral("待审批");
    if (code == RecordStatus::Published)
        return QStringLiteral("已发布");
    const QString text = listTexts.value(code).trimmed();
    return text.isEmpty() ? code : text;
}

QString FullName(const QString& surname, const QString& givenName) { return (surname + givenName).trimmed(); }
