#include "mduCardLookup.h"

#include <QStringList>

QString ProductTermsStatement() {
    return QStringLiteral("select fldPrdKey, fldWarrantyMonths from tblProduct where fldWarrantyMonths is not null");
}

QHash<QString, int> ProductTerms(const vt::ValueArray& rows) {
    QHash<QString, int> terms;
    if (rows.cols() < 2)
        return terms;
    for (int r = 0; r < rows.rows(); ++r) {
        bool ok = false;
        const int months = rows.displayText(1, r).trimmed().toInt(&ok);
        if (ok && months > 0)
            terms.insert(rows.displayText(0, r).trimmed().toUpper(), months);
    }
    return terms;
}

QDate ExpiryDate(const QDate& treatment, int termMonths) {
    if (!treatment.isValid() || termMonths <= 0)
        return {};
    // QDate::addMonths keeps the day, or takes the month's last day.
    return treatment.addMonths(termMonths);
}

QString ExpiryText(const QDate& expiry, const QDate& today) {
    if (!expiry.isValid())
        return {};
    const qint64 left = today.daysTo(expiry);
    QString state;
    if (left > 0)
        state = QStringLiteral("还有 %1 天").arg(left);
    else if (left == 0)
        state = QStringLiteral("今天到期");
    else
        state = QStringLiteral("已过期");
    return DateText(expiry) + QStringLiteral("（") + state + QStringLiteral("）");
}

QString TermText(int termMonths) {
    return termMonths > 0 ? QStringLiteral("%1 个月").arg(termMonths) : QString();
}

bool IsCardNumberSearch(const QString& text) {
    bool digit = false;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digit = true;
        else if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))))
            return false;
    }
    return digit;
}

QString CardNumberPattern(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char('!') || c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('['))
            escaped += QLatin1Char('!');
        escaped += c;
    }
    const bool startsWithLetter = !text.isEmpty() && !text.at(0).isDigit();
    return startsWithLetter ? escaped + QLatin1Char('%') : QLatin1Char('%') + escaped + QLatin1Char('%');
}

namespace {
// The columns every look-up statement gives, in the order CardsFromRows reads.
const char* const CardColumns =
    "select r.fldsn, r.fldStatus, coalesce(r.fldreturnmemo, ''), r.fldPrdName,"
    " coalesce(p.fldPrdName, r.fldPrdName), r.fldPrdNo, r.fldPLName, r.fldPFName, r.fldDLName, r.fldDFName,"
    " r.fldHospital, r.fldOpTime, r.fldPdTime, r.fldOpDesp, r.fldMemo, r.fldsubmitDate, r.fldpublishDate"
    " from tblrecord r left join tblProduct p on p.fldPrdKey = r.fldPrdName";
} // namespace

QVariant LabKeyValue(const QString& labKey) {
    bool ok = false;
    const qlonglong key = labKey.trimmed().toLongLong(&ok);
    return ok ? QVariant(key) : QVariant(labKey);
}

QString LookupByNumberStatement() {
    // Read by the card number's index: the lab's key is only checked on the
    // few rows found ("+" keeps the planner from walking all of the lab's
    // records by the lab's index instead).
    return QString::fromLatin1(CardColumns) +
           QStringLiteral(" where +r.fldMsn = ? and r.fldPrdNo like ? escape '!' order by r.fldPrdNo, r.fldsn");
}

QString LabNamesStatement() {
    return QStringLiteral("select fldsn, fldPLName, fldPFName from tblrecord where fldMsn = ?");
}

QString LookupByKeysStatement(int count) {
    QStringList marks;
    for (int i = 0; i < std::max(1, count); ++i)
        marks << QStringLiteral("?");
    return QString::fromLatin1(CardColumns) + QStringLiteral(" where r.fldMsn = ? and r.fldsn in (") +
           marks.join(QLatin1Char(',')) + QStringLiteral(") order by r.fldPrdNo, r.fldsn");
}

QList<WarrantyCard> CardsFromRows(const vt::ValueArray& rows) {
    QList<WarrantyCard> cards;
    if (rows.cols() < 17)
        return cards;
    cards.reserve(rows.rows());
    const auto date = [](const QString& t) { return QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd")); };
    for (int r = 0; r < rows.rows(); ++r) {
        const auto text = [&](int c) { return rows.displayText(c, r); };
        WarrantyCard c;
        c.record.key = text(0).trimmed();
        c.status = text(1).trimmed();
        c.reason = text(2);
        c.record.productKey = text(3).trimmed();
        c.productName = text(4);
        c.record.cardNumber = text(5).trimmed();
        c.record.patientSurname = text(6);
        c.record.patientGivenName = text(7);
        c.record.doctorSurname = text(8);
        c.record.doctorGivenName = text(9);
        c.record.hospital = text(10);
        c.record.treatmentDate = date(text(11));
        c.record.productionDate = date(text(12));
        c.record.description = text(13);
        c.record.remark = text(14);
        c.submitDate = text(15).left(10);
        c.publishDate = text(16).left(10);
        cards.append(c);
    }
    return cards;
}

bool IsInitialsSearch(const QString& text) {
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))))
            return false;
    return true;
}
