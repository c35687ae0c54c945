#include "mduChartPage.h"

#include "common/vtColor.h"
#include "mduShTools.h"

#include <QChart>
#include <QChartView>
#include <QHeaderView>
#include <QLegend>
#include <QSplitter>
#include <QTableWidget>
#include <QValueAxis>

QChart* NewStatsChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(vt::fromColorValue(HouseBackColor).lighter(104));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

QValueAxis* CountAxis(qint64 most) {
    qint64 step = 1;
    for (qint64 base = 1; step * 5 < most; base *= 10)
        for (qint64 f : {1, 2, 5})
            if (step * 5 < most)
                step = base * f;
    const qint64 top = step * (most / step + 1);
    auto* axis = new QValueAxis;
    axis->setRange(0, double(top));
    axis->setTickCount(int(top / step) + 1);
    axis->setLabelFormat(QStringLiteral("%d"));
    return axis;
}

QString AxisName(const QString& name) { return name.size() > 12 ? name.left(11) + QChar(0x2026) : name; }

ChartPage BuildChartPage(QChart* chart, const QString& splitName, const QString& chartName, const QString& tableName) {
    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName(splitName);
    split->setChildrenCollapsible(false);
    auto* view = new QChartView(chart);
    view->setObjectName(chartName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumWidth(320);
    auto* table = new QTableWidget;
    table->setObjectName(tableName);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setVisible(false);
    table->setMinimumWidth(220);
    split->addWidget(view);
    split->addWidget(table);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({3000, 2000});
    return {split, view, table};
}

void FillStatsTable(QTableWidget* t, const QStringList& headers, const QList<QStringList>& rows,
                    bool (*rightAligned)(const QString& text)) {
    t->setUpdatesEnabled(false);
    t->clear();
    t->setColumnCount(int(headers.size()));
    t->setRowCount(int(rows.size()));
    t->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < headers.size(); ++c) {
            auto* item = new QTableWidgetItem(rows[r][c]);
            if (c > 0 && rightAligned(rows[r][c]))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            t->setItem(r, c, item);
        }
    t->resizeColumnsToContents();
    t->setUpdatesEnabled(true);
}
