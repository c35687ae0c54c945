#pragma once
// The statements of the password change: the check that the account has the
// password given as the current one, and the change itself. The check keeps
// the system's text with the values between single quotes (their quotes
// doubled, so that a typed value cannot change it); the change binds both
// values.
#include <QString>
#include <QVariantList>

// A row when the account has that password; the current password is
// compared without the blanks around it. Any account state matches.
QString PasswordCheckStatement(const QString& account, const QString& currentPassword);
// The change, bound (new password, account) by PasswordChangeParameters.
QString PasswordChangeStatement();
// The new password exactly as typed, then the account.
QVariantList PasswordChangeParameters(const QString& newPassword, const QString& account);
