#include "mduClaimBook.h"

#include "clsConn.h"

namespace {
QVariant labKey() { return LabKeyValue(gConn->OpId().toString()); }
} // namespace

ClaimBook::ClaimBook(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("claimBook")); }

void ClaimBook::setOpen(const vt::ValueArray& rows) {
    m_open.clear();
    for (int r = 0; r < rows.rows() && rows.cols() >= 2; ++r)
        m_open.insert(rows.displayText(0, r).trimmed(), rows.displayText(1, r).left(10));
}

void ClaimBook::Load() {
    bool failed = false;
    const vt::ValueArray rows = gConn->GetRowsQuietly(OpenClaimsStatement(), {labKey()}, &failed);
    m_available = !failed;
    setOpen(rows);
}

bool ClaimBook::Record(WarrantyClaim& claim, const ClaimTerm& term, QString* why) {
    QVariantList p = ClaimInsertParams(claim, term.storedValue(), labKey());
    if (!gConn->CommandRan(gConn->ExeCommand(ClaimInsertStatement(), p))) {
        // Refused by the database (another workstation's open claim) or
        // failed: the connection has shown why; the open claims as they are.
        Load();
        return false;
    }
    if (gConn->RowsChanged() == 0) {
        if (why)
            *why = QStringLiteral("质保卡 %1 已不是本所已发布的质保卡，不能登记返修。").arg(claim.cardNumber);
        return false;
    }
    // The claim's key: the newest open claim of the card.
    const QList<WarrantyClaim> claims = OfCard(claim.recordKey);
    for (auto it = claims.crbegin(); it != claims.crend(); ++it)
        if (it->recordKey == claim.recordKey && it->isOpen()) {
            claim.key = it->key;
            claim.state = it->state;
            break;
        }
    m_open.insert(claim.recordKey, DateText(claim.claimDate));
    emit Changed();
    return true;
}

bool ClaimBook::Close(const WarrantyClaim& claim, const QDate& day, const QString& done, QString* why) {
    QVariantList p{DateText(day), done, claim.key.toLongLong(), labKey()};
    if (!gConn->CommandRan(gConn->ExeCommand(ClaimCloseStatement(), p)))
        return false;
    if (gConn->RowsChanged() == 0) {
        if (why)
            *why = QStringLiteral("该返修已经完成（或已在别处处理），没有更改。");
        Load();
        emit Changed();
        return false;
    }
    m_open.remove(claim.recordKey);
    emit Changed();
    return true;
}

bool ClaimBook::LinkRemake(const QString& claimKey, const QString& remakeNumber) {
    QVariantList p{labKey(), remakeNumber, claimKey.toLongLong(), labKey()};
    const bool linked = gConn->CommandRan(gConn->ExeCommand(ClaimRemakeLinkStatement(), p)) && gConn->RowsChanged() > 0;
    if (linked)
        emit Changed();
    return linked;
}

QList<WarrantyClaim> ClaimBook::OfCard(const QString& recordKey) const {
    if (!m_available || recordKey.isEmpty())
        return {};
    const qlonglong key = recordKey.toLongLong();
    return ClaimsFromRows(gConn->GetRows(CardClaimsStatement(), {labKey(), key, key}));
}

QList<WarrantyClaim> ClaimBook::List(const QDate& first, const QDate& last) const {
    if (!m_available)
        return {};
    return ClaimsFromRows(gConn->GetRows(ClaimListStatement(), {labKey(), DateText(first), DateText(last)}));
}

CardTrace ClaimBook::Trace(const QString& recordKey) const {
    // Straight from the card where the database keeps teeth and lot; an
    // older database has neither column and fails the query without a word.
    bool failed = false;
    const vt::ValueArray rows = gConn->GetRowsQuietly(CardTraceStatement(), {recordKey.toLongLong(), labKey()}, &failed);
    CardTrace t;
    if (failed || rows.rows() < 1 || rows.cols() < 2)
        return t;
    t.teeth = TeethOf(rows.displayText(0, 0));
    t.lot = rows.displayText(1, 0).trimmed();
    return t;
}
