#pragma once
// The statistics tab's claims page: the claims on the cards produced in the
// chosen period per month of their claim date, by reason, by product, by
// clinic and (where the database keeps lots) by lot, each chart with the
// table it is drawn from beside it, and the claim rate, claims per 100
// published cards of the period. Counted by the database when the tab
// counts its period.
#include "mduClaimStats.h"

#include <QHash>
#include <QWidget>

class QChart;
class QChartView;
class QLabel;
class QTabWidget;
class QTableWidget;

class frmClaimStats : public QWidget {
    Q_OBJECT
public:
    explicit frmClaimStats(QWidget* parent = nullptr);

    QLabel* lblRate;
    QTabWidget* tabPages;
    enum Page { MonthlyPage, ReasonPage, ProductPage, ClinicPage, LotPage, PageCount };
    static QString PageName(Page page);
    QChartView* chartView(Page page) const { return m_views[page]; }
    QTableWidget* table(Page page) const { return m_tables[page]; }
    // The page shown now.
    Page CurrentPage() const;

    // Counts the claims of the period and draws them.
    void Refresh(const StatsPeriod& period);
    const ClaimStats& Stats() const { return m_stats; }
    // The table of a page as rows of texts, header first.
    QList<QStringList> TableRows(Page page) const;

private:
    QWidget* buildPage(Page page);
    void draw();
    void drawCounts(Page page, const QString& what, const QList<NamedCount>& counts);
    void fillTable(Page page, const QStringList& headers, const QList<QStringList>& rows);

    QChartView* m_views[PageCount] = {};
    QTableWidget* m_tables[PageCount] = {};
    QWidget* m_pages[PageCount] = {};
    ClaimStats m_stats;
    QHash<QString, QString> m_productNames;
};
