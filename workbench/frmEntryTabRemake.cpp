// The entry tab's remake of a claimed card: the fields filled from the
// original as New would leave them, the number left to be typed.
#include "frmEntryTab.h"

#include "mduCardExtrasData.h"
#include "mduCarriedMarks.h"
#include "mduShTools.h"
#include "qvDatePicker.h"
#include "ucInput.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

bool frmEntryTab::StartRemake(const WarrantyRecord& original, const QString& claimKey) {
    if (!AskToDropChanges())
        return false;
    // A record opened from the list is closed first: the remake is a new card.
    CloseOpenedRecord();
    ForgetOpenedRecord(true);
    m_carried->ClearAll();
    ucProduct->setKey(original.productKey);
    txtPLName->setText(original.patientSurname);
    txtPFName->setText(original.patientGivenName);
    txtDLName->setText(original.doctorSurname);
    txtDFName->setText(original.doctorGivenName);
    txtHospital->setText(original.hospital);
    txtOpDesp->setText(original.description);
    if (CardExtrasShown())
        txtTeeth->setText(original.teeth);
    txtMemo->setPlainText(QStringLiteral("重做，原卡号 ") + original.cardNumber);
    txtPdTime->setDate(QDate::currentDate());
    txtOpTime->setDate(QDate::currentDate());
    // The product's letter and the next free number offered, as a pick does.
    ucProduct_Click();
    cmdNew_Click();
    m_remakeClaim = claimKey;
    if (!lblRemake) {
        lblRemake = wb::label(frmNew, "lblRemake", QString(), 7900, 1630, 2700);
        lblRemake->setStyleSheet(QStringLiteral("color: rgb(160, 60, 0); font-weight: bold;"));
    }
    lblRemake->setText(QStringLiteral("重做：原卡号 ") + original.cardNumber);
    lblRemake->show();
    SelectAllText(txtPrdNo);
    return true;
}

void frmEntryTab::EndRemake() {
    m_remakeClaim.clear();
    if (lblRemake)
        lblRemake->hide();
}
