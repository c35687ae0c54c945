#include "frmClaimStats.h"

#include "clsConn.h"
#include "mduChartPage.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace {

// The statistics' chart without a legend: each page shows one series.
QChart* newChart(const QString& title) {
    QChart* chart = NewStatsChart(title);
    chart->legend()->setVisible(false);
    return chart;
}

// A share of all claims as the tables show it.
QString share(qint64 n, qint64 all) {
    return all > 0 ? QString::number(100.0 * double(n) / double(all), 'f', 1) + QLatin1Char('%') : QStringLiteral("—");
}

} // namespace

QString frmClaimStats::PageName(Page page) {
    switch (page) {
    case MonthlyPage: return QStringLiteral("每月返修");
    case ReasonPage: return QStringLiteral("返修原因");
    case ProductPage: return QStringLiteral("按产品");
    case ClinicPage: return QStringLiteral("按诊所");
    case LotPage: return QStringLiteral("按批号");
    default: return QString();
    }
}

frmClaimStats::frmClaimStats(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmClaimStats"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    lblRate = new QLabel(this);
    lblRate->setObjectName(QStringLiteral("lblRate"));
    lblRate->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tabPages = new QTabWidget(this);
    tabPages->setObjectName(QStringLiteral("tabClaimPages"));
    for (int p = 0; p < PageCount; ++p) {
        m_pages[p] = buildPage(Page(p));
        if (p != LotPage) // only where the database keeps lots
            tabPages->addTab(m_pages[p], PageName(Page(p)));
    }
    layout->addWidget(lblRate);
    layout->addWidget(tabPages, 1);
}

frmClaimStats::Page frmClaimStats::CurrentPage() const {
    for (int p = 0; p < PageCount; ++p)
        if (tabPages->currentWidget() == m_pages[p])
            return Page(p);
    return MonthlyPage;
}

QWidget* frmClaimStats::buildPage(Page page) {
    const ChartPage built =
        BuildChartPage(newChart(PageName(page)), QStringLiteral("claimSplit%1").arg(int(page)),
                       QStringLiteral("claimChart%1").arg(int(page)), QStringLiteral("claimTable%1").arg(int(page)));
    m_views[page] = built.view;
    m_tables[page] = built.table;
    return built.page;
}

void frmClaimStats::Refresh(const StatsPeriod& period) {
    const QVariantList params = StatsParams(gConn->OpId().toString(), period);
    if (m_productNames.isEmpty()) {
        const vt::ValueArray names = gConn->GetRows(StatsProductNamesStatement(), {});
        for (int r = 0; r < names.rows() && names.cols() >= 2; ++r)
            m_productNames.insert(names.displayText(0, r), names.displayText(1, r));
    }
    // Lots where the database keeps them: a database without the column
    // fails the query without a word, and the page stays away.
    bool noLots = false;
    const vt::ValueArray lots = gConn->GetRowsQuietly(ClaimStatsLotStatement(), params, &noLots);
    m_stats = BuildClaimStats(period, gConn->GetRows(ClaimStatsMonthlyStatement(), params),
                              gConn->GetRows(ClaimStatsReasonStatement(), params),
                              gConn->GetRows(ClaimStatsProductStatement(), params),
                              gConn->GetRows(ClaimStatsClinicStatement(), params), lots, !noLots,
                              gConn->GetRows(ClaimStatsPublishedStatement(), params), m_productNames);
    const int lotTab = tabPages->indexOf(m_pages[LotPage]);
    if (m_stats.hasLots && lotTab < 0)
        tabPages->addTab(m_pages[LotPage], PageName(LotPage));
    else if (!m_stats.hasLots && lotTab >= 0)
        tabPages->removeTab(lotTab);
    draw();
}

void frmClaimStats::fillTable(Page page, const QStringList& headers, const QList<QStringList>& rows) {
    FillStatsTable(m_tables[page], headers, rows, [](const QString&) { return true; });
}

void frmClaimStats::drawCounts(Page page, const QString& what, const QList<NamedCount>& counts) {
    QChart* chart = newChart(PageName(page));
    auto* series = new QHorizontalBarSeries;
    auto* set = new QBarSet(QStringLiteral("返修数"));
    set->setColor(QColor(190, 90, 60));
    QStringList labels;
    qint64 most = 0;
    // Listed from the bottom: the most claimed on top; at most fifteen bars.
    const int shown = int(std::min<qsizetype>(counts.size(), 15));
    for (int i = shown - 1; i >= 0; --i) {
        *set << double(counts[i].count);
        labels << AxisName(counts[i].name.isEmpty() ? QStringLiteral("（未填）") : counts[i].name);
        most = std::max(most, counts[i].count);
    }
    series->append(set);
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto* cats = new QBarCategoryAxis;
    cats->append(labels);
    auto* values = CountAxis(most);
    chart->addAxis(cats, Qt::AlignLeft);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(cats);
    series->attachAxis(values);
    QChart* old = m_views[page]->chart();
    m_views[page]->setChart(chart);
    delete old;
    QList<QStringList> rows;
    for (const NamedCount& c : counts)
        rows << QStringList{c.name.isEmpty() ? QStringLiteral("（未填）") : c.name, QString::number(c.count),
                            share(c.count, m_stats.claims)};
    fillTable(page, {what, QStringLiteral("返修数"), QStringLiteral("占比")}, rows);
}

void frmClaimStats::draw() {
    const ClaimStats& s = m_stats;
    lblRate->setText(QStringLiteral("制作时间 %1 至 %2 的质保卡：返修 %3 次，已发布 %4 张，返修率 %5")
                         .arg(DateText(s.period.first), DateText(s.period.last))
                         .arg(s.claims)
                         .arg(s.published)
                         .arg(ClaimRateText(s.rate())));
    {
        QChart* chart = newChart(PageName(MonthlyPage) + QStringLiteral("（按登记日期）"));
        auto* series = new QBarSeries;
        auto* set = new QBarSet(QStringLiteral("返修数"));
        set->setColor(QColor(190, 90, 60));
        qint64 most = 0;
        QStringList labels;
        for (int m = 0; m < s.months.size(); ++m) {
            *set << double(s.monthly[m]);
            most = std::max(most, s.monthly[m]);
            labels << s.months[m].mid(2).replace(QLatin1Char('-'), QStringLiteral("年")) + QStringLiteral("月");
        }
        series->append(set);
        chart->addSeries(series);
        auto* x = new QBarCategoryAxis;
        x->append(labels);
        chart->addAxis(x, Qt::AlignBottom);
        auto* y = CountAxis(most);
        chart->addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
        QChart* old = m_views[MonthlyPage]->chart();
        m_views[MonthlyPage]->setChart(chart);
        delete old;
        QList<QStringList> rows;
        for (int m = 0; m < s.months.size(); ++m)
            rows << QStringList{s.months[m], QString::number(s.monthly[m]), share(s.monthly[m], s.claims)};
        rows << QStringList{QStringLiteral("合计"), QString::number(s.claims), QString()};
        rows << QStringList{QStringLiteral("已发布质保卡"), QString::number(s.published), QString()};
        rows << QStringList{QStringLiteral("返修率（每百张）"), ClaimRateText(s.rate()), QString()};
        fillTable(MonthlyPage, {QStringLiteral("月份"), QStringLiteral("返修数"), QStringLiteral("占比")}, rows);
    }
    drawCounts(ReasonPage, QStringLiteral("返修原因"), s.reasons);
    drawCounts(ProductPage, QStringLiteral("质保产品"), s.products);
    drawCounts(ClinicPage, QStringLiteral("医院、诊所"), s.clinics);
    drawCounts(LotPage, QStringLiteral("批号"), s.lots);
}

QList<QStringList> frmClaimStats::TableRows(Page page) const {
    const QTableWidget* t = m_tables[page];
    QList<QStringList> rows;
    QStringList header;
    for (int c = 0; c < t->columnCount(); ++c)
        header << (t->horizontalHeaderItem(c) ? t->horizontalHeaderItem(c)->text() : QString());
    rows << header;
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList row;
        for (int c = 0; c < t->columnCount(); ++c)
            row << (t->item(r, c) ? t->item(r, c)->text() : QString());
        rows << row;
    }
    return rows;
}
