#include "frmRanges.h"

#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduCardLookup.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <functional>

namespace {

// The usages read by one way of asking; nothing when a query failed.
using RowsQuery = std::function<std::optional<vt::ValueArray>(const QString& sql, const QVariantList& params)>;

std::optional<QList<RangeUsage>> readRangeUsages(const QString& letter, const RowsQuery& query) {
    const QString lab = gConn->OpId().toString();
    const std::optional<vt::ValueArray> ranges = query(LabRangesStatement(), {lab, gConn->OpId2().toString()});
    if (!ranges)
        return std::nullopt;
    QList<RangeUsage> usages;
    for (const CardRange& range : RangesFromRows(*ranges, lab)) {
        if (!letter.isEmpty() && !range.from.startsWith(letter, Qt::CaseInsensitive))
            continue;
        const std::optional<vt::ValueArray> rows = query(RangeNumbersStatement(), {LabKeyValue(lab), range.from, range.to});
        if (!rows)
            return std::nullopt;
        QStringList numbers;
        numbers.reserve(rows->rows());
        for (int r = 0; r < rows->rows(); ++r)
            numbers << rows->displayText(0, r);
        usages << MeasureRange(range, numbers);
    }
    return usages;
}

} // namespace

QList<RangeUsage> LoadRangeUsages(const QString& letter) {
    // A failure has been shown; what was read is shown as it is.
    return *readRangeUsages(letter, [](const QString& sql, const QVariantList& params) {
        return std::optional<vt::ValueArray>(gConn->GetRows(sql, params));
    });
}

std::optional<QList<RangeUsage>> LoadRangeUsagesQuietly(const QString& letter) {
    return readRangeUsages(letter, [](const QString& sql, const QVariantList& params) -> std::optional<vt::ValueArray> {
        bool failed = false;
        vt::ValueArray rows = gConn->GetRowsQuietly(sql, params, &failed);
        if (failed)
            return std::nullopt;
        return rows;
    });
}

frmRanges::frmRanges(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmRanges"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto* bar = new QHBoxLayout;
    cmdRefresh = new QPushButton(QStringLiteral("刷 新"), this);
    cmdRefresh->setObjectName(QStringLiteral("cmdRefresh"));
    lblNote = new QLabel(QStringLiteral("已用：本所任何状态的质保卡所占用的卡号。剩余不足十分之一的卡号段以红色标出。"), this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    bar->addWidget(cmdRefresh);
    bar->addWidget(lblNote, 1);
    layout->addLayout(bar);
    lstRanges = new QTableWidget(0, 7, this);
    lstRanges->setObjectName(QStringLiteral("lstRanges"));
    lstRanges->setHorizontalHeaderLabels({QStringLiteral("起始卡号"), QStringLiteral("终止卡号"), QStringLiteral("所属"),
                                          QStringLiteral("卡数"), QStringLiteral("已用"), QStringLiteral("剩余"),
                                          QStringLiteral("下一个可用卡号")});
    lstRanges->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRanges->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstRanges->verticalHeader()->setVisible(false);
    lstRanges->verticalHeader()->setDefaultSectionSize(lstRanges->fontMetrics().height() + 6);
    lstRanges->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(lstRanges, 1);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmRanges::Refresh);
}

void frmRanges::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

void frmRanges::Refresh() {
    {
        BusyPointer busy;
        m_usages = LoadRangeUsages();
    }
    lstRanges->setRowCount(int(m_usages.size()));
    const QLocale locale(QLocale::Chinese, QLocale::China);
    for (int r = 0; r < m_usages.size(); ++r) {
        const RangeUsage& u = m_usages[r];
        const QStringList cells{u.range.from,
                                u.range.to,
                                u.range.related ? QStringLiteral("关联加工所") : QStringLiteral("本所"),
                                locale.toString(u.size),
                                locale.toString(u.used),
                                locale.toString(u.left),
                                u.nextFree.isEmpty() ? QStringLiteral("已用完") : u.nextFree};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 3 && c <= 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (u.low()) {
                item->setBackground(QColor(255, 200, 200));
                if (c == 5) {
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                }
            }
            lstRanges->setItem(r, c, item);
        }
    }
    lstRanges->resizeColumnsToContents();
}
