#pragma once
// The look-up tab: a card number, part of a patient's name or its pinyin
// initials finds the lab's records in every status; the chosen one shows
// every field, its status in words, its term and expiry, and prints.
#include "mduCardLookup.h"
#include "mduClaimDesk.h"

#include <QHash>
#include <QWidget>
#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class frmLookup : public QWidget {
    Q_OBJECT
public:
    // statusTexts gives the submitted list's texts by status code (for the
    // codes of sent-back records); terms the products' terms in months.
    frmLookup(std::function<QHash<QString, QString>()> statusTexts, std::function<QHash<QString, int>()> terms,
              QWidget* parent = nullptr);

    QLineEdit* txtSearch;
    QPushButton* cmdFind;
    QPushButton* cmdPrint;
    QLabel* lblCount;
    QTableWidget* lstFound;
    QGroupBox* fraDetail;
    // "登记返修…": shown only when the database keeps claims.
    QPushButton* cmdClaim;

    // The search of the box's text; the first card found is shown.
    void cmdFind_Click();
    // The preview of the chosen cards (the current one when none is chosen).
    void cmdPrint_Click();
    // Puts the focus in the search box with its text selected.
    void FocusSearch();
    const QList<WarrantyCard>& Found() const { return m_found; }
    // The shown value of a detail field by its caption ("状态", "质保到期" …).
    QString DetailText(const QString& caption) const;
    // The claims: the button shown when the database keeps them, and each
    // card's claims (or the card it remakes) among its details.
    void SetClaims(ClaimLinks links);
    // The claim of the card shown.
    void cmdClaim_Click();
    // Shows a card found by its number, as a search for it would.
    void ShowNumber(const QString& cardNumber);

    // The card's lot, teeth, shade and history among the details, only
    // where the database has them.
    void ShowCardExtras(bool shown);

private:
    void showCard(int index);
    QString statusText(const WarrantyCard& card) const;

    std::function<QHash<QString, QString>()> m_statusTexts;
    std::function<QHash<QString, int>()> m_terms;
    QList<WarrantyCard> m_found;
    QHash<QString, QString> m_texts; // the status texts of the last search
    QHash<QString, QLabel*> m_detail;
    ClaimLinks m_claims;

    bool m_extras = false;
};
