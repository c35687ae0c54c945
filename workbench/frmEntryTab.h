#pragma once
// The workbench's first tab: the pending records of the lab, and the entry
// fields in which one is typed, opened from the list, saved, deleted and
// submitted; the whole list is submitted from here too.
#include "clsWarrantyRecord.h"
#include "mduFormParts.h"
#include "mduRecordRules.h"

#include <QPalette>
#include <QSet>
#include <QWidget>
#include <optional>

class CardChecks;
class CarriedMarks;
class QGroupBox;
class QLabel;
class QLineEdit;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class qvToothChart;

class frmEntryTab : public QWidget {
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("待提交质保卡"); }

    // checks: the card-number checks of the submission and the warnings.
    frmEntryTab(const CardChecks& checks, TabLinks links, QWidget* parent = nullptr);

    QGroupBox* frmNew;
    vt::ucInput* ucProduct;
    QLineEdit* txtPrdNo1;
    QLineEdit* txtPrdNo;
    QLineEdit* txtPLName;
    QLineEdit* txtPFName;
    QLineEdit* txtDLName;
    QLineEdit* txtDFName;
    qvDatePicker* txtPdTime;
    qvDatePicker* txtOpTime;
    QLineEdit* txtPinYin;
    vt::ucInput* ucHospital;
    QLineEdit* txtHospital;
    QLineEdit* txtOpDesp;
    QPlainTextEdit* txtMemo;
    QLabel* lbId;
    QPushButton* cmdNew;
    QPushButton* cmdSave;
    QPushButton* cmdDel;
    QPushButton* cmdSubmit;
    QPushButton* cmdSubmitAll;
    QLabel* lblHelp;
    // Where the database has them: the card's lot (with the lab's earlier
    // lots of the product), tooth positions (with a chart to click) and shade.
    QLabel* lblLot;
    QComboBox* cboLot;
    QLabel* lblTeeth;
    QLineEdit* txtTeeth;
    QToolButton* cmdTeethChart;
    QLabel* lblShade;
    QComboBox* cboShade;
    // The chart the button shows below the box, built on first use.
    qvToothChart* ToothChart();
    // Shows or hides the three fields: shown only where the database has them.
    void ShowCardExtras(bool shown);
    // The pending list: egNew with its filter box, export and print.
    frmRecordList* list;

    // At the workbench's load: no record open, today's dates, the product
    // list, the remembered hospital names.
    // products: the product list (upvProducts "PrdNo"), as the workbench loaded it.
    void Form_Load(const QVariant& products);

    void cmdNew_Click();
    // "新增（清空）": a new card with every entry field emptied but the dates.
    void cmdNewEmpty_Click();
    // Whether a field shows a value New carried over from the last card.
    bool IsCarried(QWidget* field) const;
    void ucProduct_Click();
    void egNew_RowDblClick(int row);
    void cmdSave_Click();
    void cmdDel_Click();
    void cmdSubmit_Click();
    void cmdSubmitAll_Click();

    // Whether the entry fields differ from what was last saved or opened.
    bool EntryChanged() const;
    // Asks before typed values are thrown away; true when there are none or
    // the user lets them go.
    // nameTheCard: the question says which card (the window is closing).
    bool AskToDropChanges(bool nameTheCard = false);
    // The card in the fields, as the close question names it.
    QString UnsavedCardName() const;

    // A remake for a claim: a new card carrying the original's product,
    // patient, doctor and clinic, its number left for the clerk (the next
    // free number of the product offered); its Save links it to the claim.
    // false when the clerk keeps the card being typed instead.
    bool StartRemake(const WarrantyRecord& original, const QString& claimKey);
    // The claim whose remake is being entered, or "".
    const QString& RemakeClaim() const { return m_remakeClaim; }
    // Shows which card the one in the fields remakes; hidden otherwise.
    QLabel* lblRemake = nullptr;

signals:
    // A remake was saved as a new pending card under this number.
    void RemakeSaved(const QString& claimKey, const QString& cardNumber);

public:
    // Lays the help lines into their label, breaking a line that does not
    // fit only after a phrase ("，" or "。"), and the filter box beside the
    // buttons up to the frame's edge.
    void LayOutHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    // The fields no longer hold a remake.
    void EndRemake();

    void buildExtras();
    // The lots offered for the product chosen.
    void OfferLots(const QString& productKey);
    // The three fields of an opened record, read from the database.
    void ShowOpenedExtras(const QString& key);
    // The teeth box's text in its stored form, marked when it does not read.
    void TidyTeeth();
    void setTabOrderOfFields();
    // The entry fields as they are now count as saved.
    void RememberEntry();
    // Marks the fields New kept that still hold the last card's values.
    void MarkCarriedFields();
    // The open record is closed (and its card digits emptied): the saved
    // state loses them too, the other fields keep theirs.
    void ForgetOpenedRecord(bool digitsEmptied);
    // The entry fields as a record, and the field a rule points at.
    WarrantyRecord EntryRecord() const;
    QWidget* EntryWidget(EntryField field) const;
    // The warnings of the number in the box (none when it has no digits),
    // from the database as it is now; the box is marked yellow while there
    // are any, with them as its tooltip. key: the record opened, if any.
    QStringList ShowNumberWarning(const QString& key);
    void ShowNumberTip();
    // The pending list's rows with a number warned of, marked yellow.
    // No record open any more: New on, the record's buttons off, its key
    // and card digits gone.
    void CloseOpenedRecord();
    void MarkNumber(const QString& number);
public:
    // After every fill of the pending list: the numbers warned of are checked
    // again and marked while their cause stands; implausible dates marked.
    void MarkListWarnings();
    // The warnings the card-number box shows now.
    const QStringList& NumberWarnings() const { return m_numberWarnings; }
private:
    // The status change of one record; true when its statement ran.
    bool SubmitRecord(const QString& key);
    // The status line after submit-all: how many went, how many are left
    // and why (numbers out of range, the taken number, a failed change).
    void ReportSubmitAll(qsizetype stored, int outOfRange, const QString& taken, bool failed, int left);
    // What print prints on this tab: the record opened, else the selected rows.
    std::optional<QStringList> KeysToPrint() const;
    void Report(const QString& what, bool warning = false) { m_links.report(what, warning); }

    const CardChecks& m_checks;
    CarriedMarks* m_carried;
    TabLinks m_links;
    // The card number of the record opened from the pending list, as stored.
    QString m_openedNumber;
    // The help lines, before they are laid into the label.
    QString m_helpText;
    // The entry fields as last saved or opened, and the card digits then.
    WarrantyRecord m_savedEntry;
    QString m_savedDigits;
    // Card numbers marked in the pending list for a warning.
    QSet<QString> m_warnedNumbers;
    // The card-number box's warnings, its look without them, and the hint
    // of the next free number.
    QStringList m_numberWarnings;
    QPalette m_prdNoPalette;
    QString m_nextFreeHint;
    // The claim of the remake in the fields, and the original's number.
    QString m_remakeClaim;

    bool m_extras = false;
    QWidget* m_chartPopup = nullptr;
    qvToothChart* m_chart = nullptr;
};
