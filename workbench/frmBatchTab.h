#pragma once
// The workbench's batch tab: rows typed, pasted or read from a file into
// egBatch, checked row by row and stored as pending records in chunks.
#include "mduBatchStatements.h"
#include "mduFormParts.h"
#include "mduRecordRules.h"

#include <QWidget>

class CardChecks;
class QGroupBox;
class QLabel;
class QPushButton;

class frmBatchTab : public QWidget {
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("质保卡批量预录"); }

    // checks: the warnings of the batch check (ranges, taken and pending numbers).
    frmBatchTab(const CardChecks& checks, TabLinks links, QWidget* parent = nullptr);

    QGroupBox* frmBatch;
    vt::ucInput* ucProduct2;
    QLabel* lblBatchHelp;
    QPushButton* cmdAdd;
    QPushButton* cmdClear;
    QPushButton* cmdDeleteRows;
    QPushButton* cmdCheck;
    QPushButton* cmdImport;
    QPushButton* cmdReadFile;
    vt::EditGrid* egBatch;

    // The grid's headers, widths and editable columns.
    void InitColumns();
    // The columns of the card's lot, teeth and shade after the remark,
    // only where the database has them.
    void ShowCardExtras(bool shown);
    // The product list the rows name, and the help text's example of it.
    // The product list (upvProducts "PrdNo"), as the workbench loaded it.
    void LoadProducts(const QVariant& products);
    // The product list as the batch checks and stores against it.
    const ProductList& Products() const { return m_products; }

    void cmdAdd_Click();
    void cmdClear_Click();
    void cmdCheck_Click();
    void cmdImport_Click();
    void cmdDeleteRows_Click();
    // Rows of a CSV or XLSX file into the grid (nothing stored); false when
    // cancelled or the file could not be taken.
    bool cmdReadFile_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The batch check's marks: every failing cell, and the early warnings;
    // gives the first failure of the top failing row (none when all pass),
    // and the number of rows with a warning.
    RuleFailure MarkBatchProblems(int* warnedRows = nullptr);
    // The texts of a row's columns 1 to 11.
    QStringList BatchCells(int row) const;
    // The grid's last batch column: the remark, or the shade.
    int LastColumn() const { return m_extras ? BatchShade : BatchRemark; }
    void Report(const QString& what, bool warning = false) { m_links.report(what, warning); }

    const CardChecks& m_checks;
    TabLinks m_links;
    ProductList m_products;
    bool m_extras = false;
};
