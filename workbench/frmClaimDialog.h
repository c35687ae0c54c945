#pragma once
// "登记返修": the claim of one published card. The claim's date (today),
// the reason with what the patient or clinic said, the teeth concerned
// (check boxes of the card's teeth where the card has them), repair or
// remake, and whether the claim falls within the card's warranty, worked
// out anew when the date changes.
#include "mduClaimBook.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class frmClaimDialog : public QDialog {
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("登记返修"); }

    // termMonths: the card's product's term (0: none); trace: its teeth.
    frmClaimDialog(const WarrantyCard& card, int termMonths, const CardTrace& trace, QWidget* parent = nullptr);

    QLabel* lblCard;
    QDateEdit* dateClaim;
    QComboBox* cboReason;
    QPlainTextEdit* txtText;
    QList<QCheckBox*> chkTeeth;
    QLabel* lblNoTeeth;
    QRadioButton* optRepair;
    QRadioButton* optRemake;
    QLabel* lblTerm;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // The most characters the claim's text takes.
    static constexpr int MostTextLength = 500;

    // The claim as the dialog stands, and its standing in the warranty.
    WarrantyClaim Claim() const;
    ClaimTerm Term() const;
    // OK: the dialog's checks, then accepted; a failed check says why and
    // keeps it open.
    void cmdOK_Click();

private:
    void showTerm();

    WarrantyCard m_card;
    int m_termMonths;
    QStringList m_cardTeeth;
};
