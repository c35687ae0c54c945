#include "frmStats.h"

#include "clsConn.h"
#include "clsWarrantyRecord.h"
#include "frmClaimStats.h"
#include "mduChartPage.h"
#include "common/vtColor.h"
#include "mduExport.h"
#include "mduFileWrite.h"
#include "mduFileDialog.h"
#include "mduMessage.h"
#include "mduShTools.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLegendMarker>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <QBarSeries>
#include <algorithm>

namespace {

enum KindIndex { KindMonth, KindQuarter, KindYear, KindRange };

// The period as the tab writes it: "2026-01-01 至 2026-12-31".
QString periodText(const StatsPeriod& p) { return DateText(p.first) + QStringLiteral(" 至 ") + DateText(p.last); }

// "2026-03" as the axis shows it: "3月" when the period lies in one year,
// "26年3月" when it spans years (labels of a category axis must differ).
QString monthLabel(const QString& yyyyMm, bool oneYear) {
    const QDate d = QDate::fromString(yyyyMm + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        return yyyyMm;
    return oneYear ? QStringLiteral("%1月").arg(d.month())
                   : QStringLiteral("%1年%2月").arg(d.year() % 100, 2, 10, QLatin1Char('0')).arg(d.month());
}

} // namespace

frmStats::frmStats(std::function<QHash<QString, QString>()> statusTexts, QWidget* parent)
    : QWidget(parent), m_statusTexts(std::move(statusTexts)) {
    setObjectName(QStringLiteral("frmStats"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    buildChooser();
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tabCharts = new QTabWidget(this);
    tabCharts->setObjectName(QStringLiteral("tabCharts"));
    for (int p = 0; p < PageCount; ++p)
        tabCharts->addTab(buildPage(Page(p)), pageName(Page(p)));
    layout->addWidget(lblSummary);
    layout->addWidget(tabCharts, 1);
}

QString frmStats::pageName(Page page) const {
    switch (page) {
    case MonthlyPage: return QStringLiteral("每月质保卡");
    case StatusPage: return QStringLiteral("状态");
    case ClinicPage: return QStringLiteral("诊所前十");
    case ReasonPage: return QStringLiteral("退回理由");
    default: return QString();
    }
}

void frmStats::buildChooser() {
    auto* bar = new QHBoxLayout;
    bar->setSpacing(6);
    auto* lbl = new QLabel(QStringLiteral("统计期间（制作时间）"), this);
    cboKind = new QComboBox(this);
    cboKind->setObjectName(QStringLiteral("cboKind"));
    cboKind->addItems({QStringLiteral("月"), QStringLiteral("季度"), QStringLiteral("年"), QStringLiteral("日期范围")});
    cboKind->setCurrentIndex(KindYear);
    spnYear = new QSpinBox(this);
    spnYear->setObjectName(QStringLiteral("spnYear"));
    spnYear->setRange(1990, 2099);
    spnYear->setSuffix(QStringLiteral(" 年"));
    spnYear->setValue(QDate::currentDate().year());
    cboPart = new QComboBox(this);
    cboPart->setObjectName(QStringLiteral("cboPart"));
    dateFrom = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    dateFrom->setObjectName(QStringLiteral("dateFrom"));
    dateTo = new QDateEdit(QDate::currentDate(), this);
    dateTo->setObjectName(QStringLiteral("dateTo"));
    for (QDateEdit* d : {dateFrom, dateTo}) {
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
    }
    lblTo = new QLabel(QStringLiteral("到"), this);
    lblTo->setObjectName(QStringLiteral("lblTo"));
    cmdStat = new QPushButton(QStringLiteral("统 计"), this);
    cmdStat->setObjectName(QStringLiteral("cmdStat"));
    cmdExportTable = new QPushButton(QStringLiteral("导出表格…"), this);
    cmdExportTable->setObjectName(QStringLiteral("cmdExportTable"));
    cmdExportImage = new QPushButton(QStringLiteral("导出图片…"), this);
    cmdExportImage->setObjectName(QStringLiteral("cmdExportImage"));
    cmdExportTable->setToolTip(QStringLiteral("当前页的表格存为 CSV 文件"));
    cmdExportImage->setToolTip(QStringLiteral("当前页的图表存为 PNG 图片"));
    for (QWidget* w : std::initializer_list<QWidget*>{lbl, cboKind, spnYear, cboPart, dateFrom, lblTo, dateTo, cmdStat})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(cmdExportTable);
    bar->addWidget(cmdExportImage);
    static_cast<QVBoxLayout*>(layout())->addLayout(bar);

    connect(cboKind, &QComboBox::currentIndexChanged, this, [this] { kindChanged(); });
    // A year, month or quarter counts at once when chosen; a range when
    // 统计 is pressed (its two dates are typed one after the other).
    connect(spnYear, &QSpinBox::valueChanged, this, [this] { Refresh(); });
    connect(cboPart, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(cmdStat, &QPushButton::clicked, this, [this] { Refresh(); });
    connect(cmdExportTable, &QPushButton::clicked, this, [this] { cmdExportTable_Click(); });
    connect(cmdExportImage, &QPushButton::clicked, this, [this] { cmdExportImage_Click(); });
    kindChanged(); // counts nothing before the tab is first shown
}

void frmStats::kindChanged() {
    const int kind = cboKind->currentIndex();
    {
        const QSignalBlocker block(cboPart);
        cboPart->clear();
        if (kind == KindMonth) {
            for (int m = 1; m <= 12; ++m)
                cboPart->addItem(QStringLiteral("%1月").arg(m));
            cboPart->setCurrentIndex(QDate::currentDate().month() - 1);
        } else if (kind == KindQuarter) {
            cboPart->addItems({QStringLiteral("第一季度"), QStringLiteral("第二季度"), QStringLiteral("第三季度"),
                               QStringLiteral("第四季度")});
            cboPart->setCurrentIndex((QDate::currentDate().month() - 1) / 3);
        }
    }
    const bool range = kind == KindRange;
    spnYear->setVisible(!range);
    cboPart->setVisible(kind == KindMonth || kind == KindQuarter);
    dateFrom->setVisible(range);
    dateTo->setVisible(range);
    lblTo->setVisible(range);
    if (!range)
        Refresh();
}

StatsPeriod frmStats::Period() const {
    switch (cboKind->currentIndex()) {
    case KindMonth: return MonthPeriod(spnYear->value(), cboPart->currentIndex() + 1);
    case KindQuarter: return QuarterPeriod(spnYear->value(), cboPart->currentIndex() + 1);
    case KindYear: return YearPeriod(spnYear->value());
    default: return RangePeriod(dateFrom->date(), dateTo->date());
    }
}

void frmStats::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_shown)
        ShowLatestYear();
}

void frmStats::ShowLatestYear() {
    m_shown = true;
    const vt::ValueArray latest = gConn->GetRows(StatsLatestStatement(), {gConn->OpId()});
    const QDate last = latest.rows() > 0 ? QDate::fromString(latest.displayText(0, 0).left(10), QStringLiteral("yyyy-MM-dd"))
                                         : QDate();
    {
        // One count for the choice, not one per control changed.
        const QScopedValueRollback<bool> quiet(m_refreshing, true);
        if (cboKind->currentIndex() == KindRange)
            cboKind->setCurrentIndex(KindYear);
        spnYear->setValue(last.isValid() ? last.year() : QDate::currentDate().year());
    }
    Refresh();
}

void frmStats::Refresh() {
    if (m_refreshing || !m_shown)
        return;
    const QScopedValueRollback<bool> busy(m_refreshing, true);
    const StatsPeriod period = Period();
    const QVariantList params = StatsParams(gConn->OpId().toString(), period);
    if (m_productNames.isEmpty()) {
        const vt::ValueArray names = gConn->GetRows(StatsProductNamesStatement(), {});
        for (int r = 0; r < names.rows() && names.cols() >= 2; ++r)
            m_productNames.insert(names.displayText(0, r), names.displayText(1, r));
    }
    const vt::ValueArray statusRows = gConn->GetRows(StatsStatusStatement(), params);
    // The texts of sent-back codes are asked for only when there are such records.
    bool sentBack = false;
    for (int r = 0; r < statusRows.rows() && !sentBack; ++r)
        sentBack = IsSentBackStatus(statusRows.displayText(0, r).trimmed());
    const QHash<QString, QString> texts = sentBack && m_statusTexts ? m_statusTexts() : QHash<QString, QString>();
    m_stats = BuildLabStats(period, statusRows, gConn->GetRows(StatsMonthlyStatement(), params),
                            gConn->GetRows(StatsClinicStatement(), params),
                            sentBack ? gConn->GetRows(StatsReasonStatement(), params) : vt::ValueArray(), m_productNames,
                            texts);
    draw();
    if (m_claimsPage)
        m_claimsPage->Refresh(period);
}

void frmStats::SetClaimsPage(frmClaimStats* page) {
    if (m_claimsPage || !page)
        return;
    m_claimsPage = page;
    tabCharts->addTab(page, QStringLiteral("返修"));
    if (m_shown)
        page->Refresh(Period());
}

QWidget* frmStats::buildPage(Page page) {
    const ChartPage built = BuildChartPage(NewStatsChart(pageName(page)), QStringLiteral("split%1").arg(int(page)),
                                           QStringLiteral("chart%1").arg(int(page)), QStringLiteral("table%1").arg(int(page)));
    m_views[page] = built.view;
    m_tables[page] = built.table;
    return built.page;
}

void frmStats::fillTable(Page page, const QStringList& headers, const QList<QStringList>& rows) {
    // Counts and rates line up on the right.
    FillStatsTable(m_tables[page], headers, rows, [](const QString& text) {
        bool number = false;
        text.toLongLong(&number);
        return number || text.endsWith(QLatin1Char('%'));
    });
}

void frmStats::setChart(Page page, QChart* chart) {
    QChart* old = m_views[page]->chart();
    m_views[page]->setChart(chart);
    delete old;
}

void frmStats::draw() {
    const LabStats& s = m_stats;
    QString summary = periodText(s.period) + QStringLiteral("　共 %1 张").arg(s.total);
    for (const StatusCount& c : s.statuses)
        summary += QStringLiteral("　%1 %2").arg(c.text).arg(c.count);
    summary += QStringLiteral("　审批通过率 ") + ApprovalRateText(s.approvalRate());
    lblSummary->setText(summary);

    // Cards per month, stacked by product.
    {
        QChart* chart = NewStatsChart(pageName(MonthlyPage) + QStringLiteral("（") + periodText(s.period) +
                                 QStringLiteral("）"));
        auto* series = new QStackedBarSeries;
        qint64 most = 0;
        QList<qint64> sums(s.months.size(), 0);
        for (int p = 0; p < s.products.size(); ++p) {
            auto* set = new QBarSet(s.products[p]);
            for (int m = 0; m < s.months.size(); ++m) {
                *set << double(s.monthly[p][m]);
                sums[m] += s.monthly[p][m];
            }
            series->append(set);
        }
        for (qint64 v : sums)
            most = std::max(most, v);
        chart->addSeries(series);
        QStringList labels;
        const bool oneYear = s.period.first.year() == s.period.last.year();
        for (const QString& m : s.months)
            labels << monthLabel(m, oneYear);
        auto* x = new QBarCategoryAxis;
        x->append(labels);
        chart->addAxis(x, Qt::AlignBottom);
        auto* y = CountAxis(most);
        chart->addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
        chart->legend()->setVisible(!s.products.isEmpty());
        setChart(MonthlyPage, chart);

        QStringList headers{QStringLiteral("月份")};
        headers << s.products << QStringLiteral("合计");
        QList<QStringList> rows;
        for (int m = 0; m < s.months.size(); ++m) {
            QStringList row{s.months[m]};
            for (int p = 0; p < s.products.size(); ++p)
                row << QString::number(s.monthly[p][m]);
            row << QString::number(sums[m]);
            rows << row;
        }
        fillTable(MonthlyPage, headers, rows);
    }

    // One bar per category, with its table of name and count.
    const auto drawCounts = [this](Page page, const QStringList& names, const QList<qint64>& counts, bool horizontal,
                                   const QStringList& headers, const QList<QStringList>& rows) {
        QChart* chart = NewStatsChart(pageName(page));
        QAbstractBarSeries* series = horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                                : static_cast<QAbstractBarSeries*>(new QBarSeries);
        auto* set = new QBarSet(QStringLiteral("张数"));
        set->setColor(QColor(70, 130, 180));
        QStringList labels;
        qint64 most = 0;
        // A horizontal chart lists from the bottom: the largest goes on top.
        for (int i = 0; i < names.size(); ++i) {
            const int k = horizontal ? int(names.size()) - 1 - i : i;
            *set << double(counts[k]);
            labels << AxisName(names[k]);
            most = std::max(most, counts[k]);
        }
        series->append(set);
        series->setLabelsVisible(true);
        chart->addSeries(series);
        auto* cats = new QBarCategoryAxis;
        cats->append(labels);
        auto* values = CountAxis(most);
        chart->addAxis(cats, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
        chart->addAxis(values, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
        series->attachAxis(cats);
        series->attachAxis(values);
        chart->legend()->setVisible(false);
        setChart(page, chart);
        fillTable(page, headers, rows);
    };

    {
        QStringList names;
        QList<qint64> counts;
        QList<QStringList> rows;
        for (const StatusCount& c : s.statuses) {
            names << c.text;
            counts << c.count;
            rows << QStringList{c.code, c.text, QString::number(c.count)};
        }
        rows << QStringList{QString(), QStringLiteral("审批通过率"), ApprovalRateText(s.approvalRate())};
        drawCounts(StatusPage, names, counts, false,
                   {QStringLiteral("状态代码"), QStringLiteral("状态"), QStringLiteral("张数")}, rows);
    }
    {
        QStringList names;
        QList<qint64> counts;
        QList<QStringList> rows;
        for (const NamedCount& c : s.clinics) {
            names << c.name;
            counts << c.count;
            rows << QStringList{c.name, QString::number(c.count)};
        }
        drawCounts(ClinicPage, names, counts, true, {QStringLiteral("医院、诊所"), QStringLiteral("张数")}, rows);
    }
    {
        QStringList names;
        QList<qint64> counts;
        QList<QStringList> rows;
        for (const ReasonCount& c : s.reasons) {
            names << (c.reason.isEmpty() ? QStringLiteral("（未写理由）") : c.reason);
            counts << c.count;
            rows << QStringList{c.status, c.reason, QString::number(c.count)};
        }
        drawCounts(ReasonPage, names, counts, true,
                   {QStringLiteral("状态"), QStringLiteral("理由"), QStringLiteral("张数")}, rows);
    }
}

QList<QStringList> frmStats::TableRows(Page page) const {
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

namespace {
QString exportName(const QString& page, const StatsPeriod& period, const QString& suffix) {
    return QStringLiteral("统计_%1_%2_%3.%4")
        .arg(page, period.first.toString(QStringLiteral("yyyyMMdd")), period.last.toString(QStringLiteral("yyyyMMdd")),
             suffix);
}
} // namespace

bool frmStats::cmdExportTable_Click() {
    const Page page = Page(tabCharts->currentIndex());
    // The claims page exports the table of its own page shown.
    const bool claims = m_claimsPage && tabCharts->currentWidget() == m_claimsPage;
    const QString name = claims ? QStringLiteral("返修") + frmClaimStats::PageName(m_claimsPage->CurrentPage())
                                : pageName(page);
    const QString path = AskSaveFileName(this, QStringLiteral("导出表格"), exportName(name, m_stats.period, "csv"),
                                         QStringLiteral("CSV 文件 (*.csv)"));
    if (path.isEmpty())
        return false;
    QString error;
    if (!WriteCsvFile(path, claims ? m_claimsPage->TableRows(m_claimsPage->CurrentPage()) : TableRows(page), &error)) {
        ShowMessage(QStringLiteral("文件没有写成：") + path + QLatin1Char('\n') + error, QStringLiteral("系统提示！"), 0);
        return false;
    }
    return true;
}

bool frmStats::cmdExportImage_Click() {
    const Page page = Page(tabCharts->currentIndex());
    const bool claims = m_claimsPage && tabCharts->currentWidget() == m_claimsPage;
    const QString name = claims ? QStringLiteral("返修") + frmClaimStats::PageName(m_claimsPage->CurrentPage())
                                : pageName(page);
    QChartView* view = claims ? m_claimsPage->chartView(m_claimsPage->CurrentPage()) : m_views[page];
    const QString path = AskSaveFileName(this, QStringLiteral("导出图片"), exportName(name, m_stats.period, "png"),
                                         QStringLiteral("PNG 图片 (*.png)"));
    if (path.isEmpty())
        return false;
    // Written whole or not at all, as the table is.
    QBuffer png;
    QString error;
    if (!png.open(QIODevice::WriteOnly) || !view->grab().save(&png, "PNG") ||
        !WriteFileWhole(path, png.data(), &error)) {
        ShowMessage(QStringLiteral("文件没有写成：") + path + QLatin1Char('\n') + error, QStringLiteral("系统提示！"), 0);
        return false;
    }
    return true;
}
