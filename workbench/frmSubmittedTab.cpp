#include "frmSubmittedTab.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "frmRecordList.h"
#include "mduMessage.h"
#include "mduRecordSql.h"
#include "mduStaleRecord.h"

#include <QGroupBox>
#include <QPushButton>

using namespace wb;

frmSubmittedTab::frmSubmittedTab(TabLinks links, QWidget* parent) : QWidget(parent), m_links(std::move(links)) {
    setObjectName(QStringLiteral("tabProc"));
    frmProc = frame(this, "frmProc");
    cmdRefresh = button(frmProc, "cmdRefresh", QStringLiteral("刷 新"), 120, 250);
    cmdReset = button(frmProc, "cmdReset", QStringLiteral("确认退回 撤 销"), 1400, 250, 1900);
    list = new frmRecordList(QStringLiteral("Pro"), QStringLiteral("Proc"), Caption(), frmProc,
                             {{3400, 250}, {4600, 250}, 5900, 285, 3000, 120, 800, 13500, 5500}, m_links);
    connect(cmdReset, &QPushButton::clicked, this, &frmSubmittedTab::cmdReset_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmSubmittedTab::cmdRefresh_Click);
}

void frmSubmittedTab::cmdRefresh_Click() { list->LoadRecordList(); }

void frmSubmittedTab::cmdReset_Click() {
    vt::EditGrid* g = list->grid;
    const int r = g->CurrentRow().Index();
    if (r < 1)
        return;
    if (ShowMessage(QStringLiteral("你确认要撤销或重置 ") + g->Cells(r, 6).Text() + QLatin1Char('(') + g->Cells(r, 7).Text() +
                        QStringLiteral(") ?"),
                    QStringLiteral("系统提示！"), 2) != MsgYes)
        return;
    const QString number = g->Cells(r, 7).Text();
    if (gConn->CommandRan(gConn->ExeCommand(ResetStatement(g->Cells(r, 1).Text(), gConn->OpId().toString())))) {
        if (ChangedElsewhere()) {
            list->LoadRecordList();
            m_links.list(QStringLiteral("New"))->LoadRecordList();
            return;
        }
        m_links.report(QStringLiteral("已撤销 ") + number, false);
    }
    g->CurrentRow().Remove();
    m_links.list(QStringLiteral("New"))->LoadRecordList();
}

QHash<QString, QString> frmSubmittedTab::StatusTexts() {
    // Sent-back records carry codes of the central office's own; the
    // submitted list gives their texts (hidden code in column 2, text in 3).
    vt::EditGrid* g = list->grid;
    if (g->Rows() <= 1)
        list->LoadRecordList();
    QHash<QString, QString> texts;
    for (int r = 1; r < g->Rows(); ++r)
        texts.insert(g->Cells(r, 2).Text().trimmed(), g->Cells(r, 3).Text());
    return texts;
}
