#include "mduPasswordSql.h"

#include "mduSqlText.h"

QString PasswordCheckStatement(const QString& account, const QString& currentPassword) {
    return QStringLiteral("Select * From tblmaker Where fldid =  '") + SqlQuote(account) +
           QStringLiteral("' and fldpassword  = '") + SqlQuote(currentPassword.trimmed()) + QStringLiteral("'");
}

QString PasswordChangeStatement() { return QStringLiteral("update tblMaker set fldpassword = ? where fldid = ?"); }

QVariantList PasswordChangeParameters(const QString& newPassword, const QString& account) {
    return {newPassword, account};
}
