#pragma once
// The workbench: the program's main form, shown after a lab has signed in.
// Seven tabs: pending records with the entry fields, submitted and sent-back
// records, published records, batch entry, the lab's statistics, the
// look-up of any card and the lab's card ranges. Closing it ends the program.
#include "clsWarrantyRecord.h"
#include "mduListFilter.h"
#include "mduRecordRules.h"

#include <QHash>
#include <QMainWindow>
#include <memory>

class QDateEdit;
class qvDatePicker;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class frmLookup;
class frmRanges;
class frmStats;

namespace vt {
class EditGrid;
class ucInput;
} // namespace vt

class frmProducts : public QMainWindow {
    Q_OBJECT
public:
    explicit frmProducts(QWidget* parent = nullptr);

    // The one workbench of the program, created on first use.
    static frmProducts& instance();

    // Tabs and their containers.
    QTabWidget* stbInfo;
    QGroupBox* frmNew;
    QGroupBox* frmProc;
    QGroupBox* frmOuted;
    QGroupBox* frmBatch;

    // Entry fields (tab 0).
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
    vt::EditGrid* egNew;

    // Submitted and sent-back records (tab 1).
    vt::EditGrid* egProc;
    QPushButton* cmdReset;
    QPushButton* cmdRefresh;

    // Published records (tab 2).
    vt::EditGrid* egOuted;
    QDateEdit* dateFrom;
    QDateEdit* dateTo;
    QPushButton* cmdViewAll;

    // Batch entry (tab 3).
    vt::ucInput* ucProduct2;
    QLabel* lblBatchHelp;
    QPushButton* cmdAdd;
    QPushButton* cmdClear;
    QPushButton* cmdDeleteRows;
    QPushButton* cmdCheck;
    QPushButton* cmdImport;
    QPushButton* cmdReadFile;
    vt::EditGrid* egBatch;

    // The lab's statistics (tab 4) and the look-up of any card (tab 5).
    frmStats* tabStats;
    frmLookup* tabLookup;
    // The lab's card ranges (tab 6).
    frmRanges* tabRanges;

    // Printing, export and the filter of the three list tabs.
    QPushButton* cmdPrintNew;
    QPushButton* cmdPrintProc;
    QPushButton* cmdPrintOuted;
    QPushButton* cmdExportNew;
    QPushButton* cmdExportProc;
    QPushButton* cmdExportOuted;
    QLineEdit* txtFilterNew;
    QLineEdit* txtFilterProc;
    QLineEdit* txtFilterOuted;

    // Status bar panels and the clock.
    QLabel* InfoBarPanel1;
    QLabel* InfoBarPanel2;
    QLabel* InfoBarPanel3;
    QTimer* Timer1;

    // The background of a cell with a warning, and of a cell that failed a check.
    static constexpr long WarningColor = 10547455; // light yellow
    static constexpr long FailureColor = 12632319; // light red

    // Fills one record list: "New", "Pro" or "Done"; any other key does nothing.
    void LoadRecordList(const QString& key);
    // The text that panel 3 shows: today's date and the time of day.
    static QString ClockText();
    // Months from one date to another, days ignored.
    static int MonthsBetween(const QDate& from, const QDate& to);
    // The first and last day of the month of a day, as the published list's
    // date range starts.
    static void MonthRange(const QDate& day, QDate* first, QDate* last);

    // The form's own steps, reachable for tests as the user's clicks are.
    void Form_Load();
    void Form_Resize();
    void cmdNew_Click();
    void ucProduct_Click();
    void egNew_RowDblClick(int row);
    void cmdSave_Click();
    void cmdDel_Click();
    void cmdSubmit_Click();
    void cmdSubmitAll_Click();
    void cmdReset_Click();
    void cmdRefresh_Click();
    void cmdViewAll_Click();
    void Timer1_Timer();
    void cmdAdd_Click();
    void cmdClear_Click();
    void cmdCheck_Click();
    void cmdImport_Click();
    void cmdDeleteRows_Click();
    // Rows of a CSV or XLSX file into the batch grid (nothing stored); false
    // when cancelled or the file could not be taken.
    bool cmdReadFile_Click();
    // The preview of the warranty cards of the tab shown: the record opened
    // on the entry tab, else the selected rows of its list.
    void cmdPrint_Click();
    // The filter box of a list ("New", "Pro" or "Done") changed: its rows
    // are shown anew and counted in the status bar.
    void FilterList(const QString& key);
    // Writes a list as shown (CSV or XLSX, by the name chosen); false when
    // cancelled or not written.
    bool ExportList(const QString& key);
    // Ctrl+F: the look-up tab, its search box ready for typing.
    void ShowLookup();
    // The products' warranty terms in months, read at load.
    const QHash<QString, int>& Terms() const { return m_terms; }

    // Whether the entry fields differ from what was last saved or opened.
    bool EntryChanged() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildEntryTab();
    void buildProcTab();
    void buildOutedTab();
    void buildBatchTab();
    void buildStatsTab();
    void buildLookupTab();
    void buildRangesTab();
    // The status texts of the submitted list by code, loading it first
    // when it has not been loaded.
    QHash<QString, QString> SubmittedStatusTexts();
    // The keys (column 1) of a list's selected rows.
    static QStringList SelectedKeys(vt::EditGrid* grid);
    void PrintKeys(const QStringList& keys);
    // A list's grid, filter box, filter and shown name by its key.
    struct ListParts {
        vt::EditGrid* grid = nullptr;
        QLineEdit* box = nullptr;
        ListFilter* filter = nullptr;
        QPushButton* exporter = nullptr;
        QString name;
    };
    ListParts Parts(const QString& key);
    // The keys of the three lists: "New", "Pro", "Done".
    static const QStringList& ListKeys();
    // The card numbers of every pending record, those the filter hides included.
    QStringList PendingNumbers();
    // The filtered rows of a list into its grid, and their count reported.
    void ShowFiltered(const QString& key);
    void ReportCount(const ListParts& parts);
    void applyGridDesign(vt::EditGrid* grid);
    // The range test of a card number against the lab's issued ranges.
    bool InRange(const QString& number);
    // The duplicate test: another submitted record holds the number.
    bool Taken(const QString& number, const QString& key);
    // The status change of one record; true when its statement ran.
    bool SubmitRecord(const QString& key);
    // Widens the columns that show card numbers and dates so that a whole
    // one fits in the grid's font; the form's widths are the least.
    void FitNumberAndDateColumns();
    // The columns of a grid that hold card numbers, and those that hold dates.
    QList<int> NumberColumns(const vt::EditGrid* grid) const;
    QList<int> DateColumns(const vt::EditGrid* grid) const;
    // Lays the help lines of the entry tab into their label, breaking a line
    // that does not fit only after a phrase ("，" or "。").
    void LayOutHelp();
    // Asks before typed values are thrown away; true when there are none or
    // the user lets them go.
    bool AskToDropChanges();
    // The entry fields as they are now count as saved.
    void RememberEntry();
    // What the last action did, with the time, in the middle status panel;
    // a warning is shown in red.
    void Report(const QString& what, bool warning = false);
    // Warnings that do not stop anything: a card number in no range of the
    // lab, taken by a submitted card, or twice among the pending ones.
    QStringList EarlyWarnings(const QString& number, const QString& key);
    // Makes the last row whose column col holds text current and shows it,
    // with its cell of column show (col itself when -1) selected.
    void SelectRowOf(vt::EditGrid* grid, int col, const QString& text, int show = -1);
    // Column widths the user set, remembered per list.
    void RestoreColumnWidths(vt::EditGrid* grid);
    // The batch check's marks: every failing cell, and the early warnings;
    // gives the first failure of the top failing row (none when all pass).
    RuleFailure MarkBatchProblems();
    // The entry fields as a record, and the field a rule points at.
    WarrantyRecord EntryRecord() const;
    QWidget* EntryWidget(EntryField field) const;
    // The batch check: true when every row passed; the first failure is shown.
    bool CheckBatch();
    // The texts of a batch row's columns 1 to 11.
    QStringList BatchCells(int row) const;
    // The product names of the batch's product list, in its order.
    QStringList ProductNames() const;

    // The card number of the record opened from the pending list, as stored.
    QString m_openedNumber;
    // The help lines of the entry tab, before they are laid into the label.
    QString m_helpText;
    // The entry fields as last saved or opened, and the card digits then.
    WarrantyRecord m_savedEntry;
    QString m_savedDigits;
    bool m_fitting = false;
    QHash<QString, int> m_terms;
    // The lists as loaded, for their filter boxes.
    std::unique_ptr<ListFilter> m_filterNew, m_filterProc, m_filterOuted;
};
