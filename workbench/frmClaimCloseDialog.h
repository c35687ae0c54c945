#pragma once
// "完成返修": an open claim closed on a day (today) with what was done.
#include "mduClaims.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class frmClaimCloseDialog : public QDialog {
    Q_OBJECT
public:
    explicit frmClaimCloseDialog(const WarrantyClaim& claim, QWidget* parent = nullptr);

    QLabel* lblClaim;
    QDateEdit* dateClose;
    QPlainTextEdit* txtDone;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    static constexpr int MostTextLength = 500;
    // Checks, then accepted: what was done is asked for, the day is neither
    // before the claim nor after today.
    void cmdOK_Click();

private:
    WarrantyClaim m_claim;
};
