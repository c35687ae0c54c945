#pragma once
// The statistics tab: the lab's records of a chosen period (by production
// date) counted by status, per month and product, by clinic and, for the
// records sent back, by reason. Each chart has the table it is drawn from
// beside it; the current one exports as CSV and as PNG.
#include "mduStats.h"

#include <QHash>
#include <QWidget>
#include <functional>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QChart;
class QChartView;
class frmClaimStats;

class frmStats : public QWidget {
    Q_OBJECT
public:
    // statusTexts gives, when asked, the status texts of the submitted
    // list by code (for the codes of sent-back records).
    explicit frmStats(std::function<QHash<QString, QString>()> statusTexts, QWidget* parent = nullptr);

    QComboBox* cboKind;   // 月, 季度, 年, 日期范围
    QSpinBox* spnYear;
    QComboBox* cboPart;   // the month or the quarter
    QDateEdit* dateFrom;
    QDateEdit* dateTo;
    QLabel* lblTo;
    QPushButton* cmdStat;
    QPushButton* cmdExportTable;
    QPushButton* cmdExportImage;
    QLabel* lblSummary;
    QTabWidget* tabCharts;
    // One page each: the chart and its table.
    enum Page { MonthlyPage, StatusPage, ClinicPage, ReasonPage, PageCount };
    QChartView* chartView(Page page) const { return m_views[page]; }
    QTableWidget* table(Page page) const { return m_tables[page]; }

    // The period the chooser shows now.
    StatsPeriod Period() const;
    // Counts the lab's records of the chosen period and draws them.
    void Refresh();
    // Chooses the latest year the lab has records in (this year when none)
    // and counts it; the first showing of the tab does this once.
    void ShowLatestYear();
    const LabStats& Stats() const { return m_stats; }

    // The table of a page as rows of texts, header first.
    QList<QStringList> TableRows(Page page) const;
    // Export of the current page; false when cancelled or not written.
    bool cmdExportTable_Click();
    bool cmdExportImage_Click();

    // The claims page, after the others; counted with them. Only where the
    // database keeps claims.
    void SetClaimsPage(frmClaimStats* page);
    frmClaimStats* ClaimsPage() const { return m_claimsPage; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildChooser();
    QWidget* buildPage(Page page);
    void kindChanged();
    void draw();
    void fillTable(Page page, const QStringList& headers, const QList<QStringList>& rows);
    // Puts a new chart on a page's view; the old one is dropped.
    void setChart(Page page, QChart* chart);
    QString pageName(Page page) const;

    std::function<QHash<QString, QString>()> m_statusTexts;
    QChartView* m_views[PageCount] = {};
    QTableWidget* m_tables[PageCount] = {};
    LabStats m_stats;
    QHash<QString, QString> m_productNames;
    bool m_shown = false;
    frmClaimStats* m_claimsPage = nullptr;
    bool m_refreshing = false;
};
