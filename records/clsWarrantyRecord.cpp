#include "clsWarrantyRecord.h"

CardNumberParts SplitCardNumber(const QString& number) { return {number.left(1), number.mid(1)}; }

QString CardLetterOf(const QString& productKey) { return productKey.left(1); }

QString DateText(const QDate& date) {
    // Written digit by digit: a batch writes two per row, and the general
    // formatter reads its pattern every time.
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString();
    const int y = date.year(), m = date.month(), d = date.day();
    const char16_t text[10] = {char16_t(u'0' + y / 1000), char16_t(u'0' + y / 100 % 10), char16_t(u'0' + y / 10 % 10),
                               char16_t(u'0' + y % 10),   u'-',
                               char16_t(u'0' + m / 10),   char16_t(u'0' + m % 10),
                               u'-',                      char16_t(u'0' + d / 10),
                               char16_t(u'0' + d % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
}

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
