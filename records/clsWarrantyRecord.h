#pragma once
// A warranty record as plain values, its status codes and the card number's
// parts: what the entry tab, the batch grid, a file import or a look-up all
// hand to the rules.
#include <QDate>
#include <QHash>
#include <QString>

// Status codes of tblrecord.fldStatus.
namespace RecordStatus {
inline const QString Pending = QStringLiteral("00");   // 待提交: the lab may change or delete it
inline const QString Submitted = QStringLiteral("01"); // 待审批: reported to the central office
inline const QString Published = QStringLiteral("02"); // 已发布: approved
} // namespace RecordStatus

// Pending, submitted and published have their own codes; any other code is
// one the central office uses for a record it sent back.
bool IsSentBackStatus(const QString& code);
// The status in words: the three codes' own words, else the text the
// submitted list shows for that code, else the code itself.
QString StatusWords(const QString& code, const QHash<QString, QString>& listTexts);

struct WarrantyRecord {
    QString key;         // fldsn; empty for a record not stored yet
    QString productKey;  // fldPrdName: the product's code
    QString cardNumber;  // fldPrdNo: the product's letter, then digits
    QString patientSurname;
    QString patientGivenName;
    QString doctorSurname;
    QString doctorGivenName;
    QString hospital;
    QDate treatmentDate;  // invalid: not known
    QDate productionDate; // invalid: not known
    QString description;
    QString remark;
    // Where the database has them: the material's lot, the tooth positions
    // in their stored form (mduToothPositions) and the shade.
    QString lot;
    QString teeth;
    QString shade;

    bool operator==(const WarrantyRecord&) const = default;
};

// A card number's letter (its first character) and the digits after it;
// both empty for an empty number.
struct CardNumberParts {
    QString letter;
    QString digits;
};
CardNumberParts SplitCardNumber(const QString& number);
// The card letter a product gives: the first character of its code.
QString CardLetterOf(const QString& productKey);
// A person's name as shown: surname then given name, no blanks around.
QString FullName(const QString& surname, const QString& givenName);
// A date as the statements and lists carry it, "yyyy-mm-dd", or "" when
// unknown (vt::dateText, under the name the rules and forms use).
QString DateText(const QDate& date);
