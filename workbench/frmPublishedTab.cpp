#include "frmPublishedTab.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbUserInterface.h"
#include "frmRecordList.h"
#include "mduCardFinder.h"
#include "mduMessage.h"
#include "mduShTools.h"
#include "qvDatePicker.h"

#include <QGroupBox>
#include <QPushButton>

using namespace wb;

frmPublishedTab::frmPublishedTab(TabLinks links, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tabOuted"));
    frmOuted = frame(this, "frmOuted");
    label(frmOuted, "lblFrom", QStringLiteral("上报时间 从"), 120, 300, 1200);
    dateFrom = datePicker(frmOuted, "dateFrom", 1350, 270);
    label(frmOuted, "lblTo", QStringLiteral("到"), 3100, 300, 300);
    dateTo = datePicker(frmOuted, "dateTo", 3450, 270);
    cmdViewAll = button(frmOuted, "cmdViewAll", QStringLiteral("查 看"), 5300, 240);
    list = new frmRecordList(QStringLiteral("Done"), QStringLiteral("Outed"), Caption(), frmOuted,
                             {{6500, 240}, {7700, 240}, 9000, 275, 3000, 120, 800, 13500, 5500}, std::move(links));
    list->SetDateRange([this] { return std::pair{dateFrom->date(), dateTo->date()}; });
    connect(cmdViewAll, &QPushButton::clicked, this, &frmPublishedTab::cmdViewAll_Click);
    cmdClaim = button(frmOuted, "cmdClaimOuted", QStringLiteral("登记返修…"), 12150, 240, 1250);
    cmdClaim->setToolTip(QStringLiteral("登记返修（Ctrl+R）"));
    cmdClaim->hide();
    connect(cmdClaim, &QPushButton::clicked, this, &frmPublishedTab::cmdClaim_Click);
}

void frmPublishedTab::SetClaims(ClaimLinks links) {
    m_claims = std::move(links);
    cmdClaim->setVisible(m_claims.book && m_claims.book->Available());
}

void frmPublishedTab::cmdClaim_Click() {
    if (!cmdClaim->isVisible())
        return;
    const int row = list->grid->CurrentRow().Index();
    const QString key = row >= 1 ? list->grid->Cells(row, 1).Text().trimmed() : QString();
    if (key.isEmpty()) {
        ShowMessage(QStringLiteral("请先选择要登记返修的质保卡。"), QString(), 0);
        return;
    }
    QList<WarrantyCard> cards;
    {
        BusyPointer busy;
        cards = FetchCards(gConn->OpId().toString(), {key});
    }
    if (cards.isEmpty())
        return;
    RecordClaim(window(), cards.first(), m_claims);
}

void frmPublishedTab::SetMonth(const QDate& day) {
    QDate first, last;
    MonthRange(day, &first, &last);
    dateFrom->setDate(first);
    dateTo->setDate(last);
}

void frmPublishedTab::MonthRange(const QDate& day, QDate* first, QDate* last) {
    *first = QDate::fromString(YearMonthText(day) + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    *last = first->addMonths(1).addDays(-1);
}

int frmPublishedTab::MonthsBetween(const QDate& from, const QDate& to) {
    return (to.year() * 12 + to.month()) - (from.year() * 12 + from.month());
}

void frmPublishedTab::cmdViewAll_Click() {
    if (MonthsBetween(dateFrom->date(), dateTo->date()) > 1) {
        ShowMessage(QStringLiteral("时间间隔过长！每次只能调取2个月的数据！"), QString(), 0);
        return;
    }
    list->LoadRecordList();
}
