#pragma once
// The statistics' pages: a chart beside its table, in the house colours.
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QChart;
class QChartView;
class QTableWidget;
class QValueAxis;
class QWidget;

// An empty chart with its title, no animation, the legend below.
QChart* NewStatsChart(const QString& title);
// A value axis of whole counts from 0 past the highest bar, its ticks on
// whole numbers (1, 2 or 5 times a power of ten apart).
QValueAxis* CountAxis(qint64 most);
// Long names are cut on the axis (the table beside shows them whole).
QString AxisName(const QString& name);

// A page: the chart takes three fifths, the table the rest; the three
// widgets named splitName, chartName and tableName.
struct ChartPage {
    QWidget* page = nullptr;
    QChartView* view = nullptr;
    QTableWidget* table = nullptr;
};
ChartPage BuildChartPage(QChart* chart, const QString& splitName, const QString& chartName, const QString& tableName);

// The table's rows under their headers; from the second column on, a cell
// is right-aligned when rightAligned says so of its text.
void FillStatsTable(QTableWidget* table, const QStringList& headers, const QList<QStringList>& rows,
                    bool (*rightAligned)(const QString& text));
