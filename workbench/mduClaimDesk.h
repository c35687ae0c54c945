#pragma once
// Recording a claim from wherever a card is shown (the look-up, the
// published list): the card's own refusal first (not published, a claim
// open), then the dialog, the claim stored, and for a remake the offer to
// enter the new card at once.
#include "mduClaimBook.h"

#include <QHash>
#include <functional>

class QWidget;

struct ClaimLinks {
    ClaimBook* book = nullptr;
    // The products' terms in months.
    std::function<QHash<QString, int>()> terms;
    // Starts the remake of a card in the entry tab; false when the clerk
    // keeps what is typed there.
    std::function<bool(const WarrantyRecord& original, const QString& claimKey)> startRemake;
    std::function<void(const QString& what, bool warning)> report;
    // The submitted list's texts of the central office's codes.
    std::function<QHash<QString, QString>()> statusTexts;
};

// The claim of one card; true when one was recorded.
bool RecordClaim(QWidget* parent, const WarrantyCard& card, const ClaimLinks& links);
// What the look-up says of a card's claims: "返修：2026-03-01 崩瓷（受理中）/ 重做卡号 C00000140"
// for the claims on it, "原卡号 C00000130" for a card that is a remake.
QString ClaimSummary(const QList<WarrantyClaim>& claims, const QString& recordKey);
