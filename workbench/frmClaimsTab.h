#pragma once
// The claims tab "返修记录": the lab's warranty claims of a claim-date
// range, filtered by a text and sorted by any column; exported as CSV or
// XLSX; the card claimed on or its remake opened in the look-up; an open
// claim closed; a claim slip for the clinic printed or saved as PDF.
#include "mduClaimBook.h"

#include <QWidget>
#include <functional>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;
struct ClaimSlip;

class frmClaimsTab : public QWidget {
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("返修记录"); }

    // openCard shows a card by its number in the look-up; labName heads
    // the slip; report writes the status line.
    frmClaimsTab(ClaimBook* book, std::function<void(const QString& cardNumber)> openCard,
                 std::function<QString()> labName, std::function<void(const QString&, bool)> report,
                 QWidget* parent = nullptr);

    QDateEdit* dateFrom;
    QDateEdit* dateTo;
    QPushButton* cmdView;
    QLineEdit* txtFilter;
    QPushButton* cmdExport;
    QPushButton* cmdOpenCard;
    QPushButton* cmdOpenRemake;
    QPushButton* cmdClose;
    QPushButton* cmdPrintSlip;
    QPushButton* cmdSaveSlip;
    QTableWidget* lstClaims;

    // The table's headers, in column order.
    static QStringList Headers();
    // Reads the claims of the range and shows those the filter lets through.
    void LoadClaims();
    void FilterClaims();
    // The claims shown, in the table's order (as sorted).
    QList<WarrantyClaim> ShownClaims() const;
    // The claim of the current row, if any.
    const WarrantyClaim* CurrentClaim() const;
    // The table as shown, header first.
    QList<QStringList> TableRows() const;

    bool cmdExport_Click();
    void cmdOpenCard_Click();
    void cmdOpenRemake_Click();
    bool cmdClose_Click();
    void cmdPrintSlip_Click();
    bool cmdSaveSlip_Click();
    // The slip of a claim as printed.
    ClaimSlip SlipOf(const WarrantyClaim& claim) const;

private:
    void updateButtons();

    ClaimBook* m_book;
    std::function<void(const QString&)> m_openCard;
    std::function<QString()> m_labName;
    std::function<void(const QString&, bool)> m_report;
    QList<WarrantyClaim> m_claims; // as read
};
