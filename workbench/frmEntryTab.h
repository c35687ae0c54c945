#pragma once
// The workbench's first tab: the pending records of the lab, and the entry
// fields in which one is typed, opened from the list, saved, deleted and
// submitted; the whole list is submitted from here too.
#include "clsWarrantyRecord.h"
#include "mduFormParts.h"
#include "mduRecordRules.h"

#include <QWidget>
#include <optional>

class CardChecks;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

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
    // The pending list: egNew with its filter box, export and print.
    frmRecordList* list;

    // At the workbench's load: no record open, today's dates, the product
    // list, the remembered hospital names.
    // products: the product list (upvProducts "PrdNo"), as the workbench loaded it.
    void Form_Load(const QVariant& products);

    void cmdNew_Click();
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
    bool AskToDropChanges();
    // Lays the help lines into their label, breaking a line that does not
    // fit only after a phrase ("，" or "。"), and the filter box beside the
    // buttons up to the frame's edge.
    void LayOutHelp();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void setTabOrderOfFields();
    // The entry fields as they are now count as saved.
    void RememberEntry();
    // The entry fields as a record, and the field a rule points at.
    WarrantyRecord EntryRecord() const;
    QWidget* EntryWidget(EntryField field) const;
    // The status change of one record; true when its statement ran.
    bool SubmitRecord(const QString& key);
    // What print prints on this tab: the record opened, else the selected rows.
    std::optional<QStringList> KeysToPrint() const;
    void Report(const QString& what, bool warning = false) { m_links.report(what, warning); }

    const CardChecks& m_checks;
    TabLinks m_links;
    // The card number of the record opened from the pending list, as stored.
    QString m_openedNumber;
    // The help lines, before they are laid into the label.
    QString m_helpText;
    // The entry fields as last saved or opened, and the card digits then.
    WarrantyRecord m_savedEntry;
    QString m_savedDigits;
};
