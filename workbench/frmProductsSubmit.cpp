// The workbench: submitting pending records with the card-number checks,
// and resetting a submitted or sent-back record to pending.
#include "frmProducts.h"

#include "EditGrid.h"
#include "clsConn.h"
#include "dbUserInterface.h"
#include "mduChunk.h"
#include "mduMessage.h"
#include "mduRecordSql.h"
#include "mduStaleRecord.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

bool frmProducts::InRange(const QString& n) {
    return !vt::isEmpty(gConn->GetArray(RangeTestStatement(n, gConn->OpId().toString(), gConn->OpId2().toString())));
}

bool frmProducts::Taken(const QString& n, const QString& key) {
    return !vt::isEmpty(gConn->GetArray(DuplicateTestStatement(n, key)));
}

bool frmProducts::SubmitRecord(const QString& key) {
    return gConn->CommandRan(gConn->ExeCommand(SubmitStatement(key, gConn->OpId().toString())));
}

void frmProducts::cmdSubmit_Click() {
    if (lbId->text().isEmpty()) {
        ShowMessage(QStringLiteral("请双击选择你要上报的信息！"), QString(), 0);
        return;
    }
    const QString n = txtPrdNo1->text() + txtPrdNo->text();
    // The number tested must be the number submitted: digits typed since
    // the record was opened are stored by Save first.
    if (n != m_openedNumber) {
        ShowMessage(QStringLiteral("质保卡号已修改，请先保存再上报！"), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
        return;
    }
    if (!InRange(n)) {
        ShowMessage(QStringLiteral("该保质卡号不存在，不可用。 "), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
        return;
    }
    if (Taken(n, lbId->text())) {
        ShowMessage(QStringLiteral("该保质卡号(") + txtPrdNo->text() + QStringLiteral(")已经存在！"), QStringLiteral("无法上报！"), 0);
        txtPrdNo->setFocus();
        return;
    }
    // A status change that failed (the connection has shown why) leaves the
    // record open and listed, as it is in the database.
    if (!SubmitRecord(lbId->text())) {
        // The database refused: another record holds the number by now.
        if (gConn->NumberTaken()) {
            ShowMessage(QStringLiteral("该保质卡号(") + txtPrdNo->text() + QStringLiteral(")已经存在！"), QStringLiteral("无法上报！"), 0);
            txtPrdNo->setFocus();
        }
        return;
    }
    if (ChangedElsewhere()) {
        LoadRecordList(QStringLiteral("Pro"));
        LoadRecordList(QStringLiteral("New"));
        return;
    }
    for (int r = 1; r < egNew->Rows(); ++r) {
        if (egNew->Cells(r, 1).Text() == lbId->text()) {
            egNew->Row(r).Remove();
            break;
        }
    }
    lbId->setText(QString());
    m_openedNumber.clear();
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdNew->setEnabled(true); // the next card can be entered at once
    LoadRecordList(QStringLiteral("Pro"));
    LoadRecordList(QStringLiteral("New"));
    RememberEntry();
    Report(QStringLiteral("已上报 ") + n);
}

void frmProducts::cmdSubmitAll_Click() {
    // Submit-all handles the rows shown; when the filter hides some, the
    // question says how many will go.
    if (m_filterNew->active() && !m_filterNew->hasSource())
        LoadRecordList(QStringLiteral("New"));
    QString question = QStringLiteral("你确定要全部上报吗？");
    const int shown = egNew->Rows() - 1;
    if (m_filterNew->active() && shown < m_filterNew->total())
        question += QStringLiteral("\n已按“%1”筛选：将上报显示的 %2 张质保卡，其余 %3 张不上报。")
                        .arg(txtFilterNew->text().trimmed())
                        .arg(shown)
                        .arg(m_filterNew->total() - shown);
    if (ShowMessage(question, QStringLiteral("系统提示"), 2) != MsgYes)
        return;
    // The key of the topmost row whose number failed the range test: its
    // card-number cell is made current again once the run is over, since
    // removing rows below it moves the current cell.
    QString topFailing;
    QStringList submitted;
    // In chunks, as the batch import stores its rows: a submitted row leaves
    // the list only once its chunk is committed.
    BusyPointer busy; // one for the whole batch, not one per row
    ChunkRunner chunk;
    for (int r = egNew->Rows() - 1; r >= 1; --r) {
        if (!chunk.open())
            break;
        const QString n = egNew->Cells(r, 4).Text();
        if (!InRange(n)) {
            // Shown once the chunk has ended: a box must not keep the lock.
            const QString kept = gConn->ErrInfo();
            gConn->AfterTransaction([n, kept] {
                MessageRequest box;
                box.text = QStringLiteral("该保质卡号(") + n + QStringLiteral(") 不存在。") + QLatin1Char('\r') + kept;
                box.title = QStringLiteral("无法上报！");
                box.icon = MsgIcon::Critical;
                PresentMessage(box);
            });
            egNew->Cells(r, 4).setSelected(true);
            topFailing = egNew->Cells(r, 1).Text();
            continue;
        }
        const QString s = egNew->Cells(r, 1).Text();
        if (Taken(n, s)) {
            chunk.finish(egNew, submitted);
            ShowMessage(QStringLiteral("该保质卡号(") + n + QStringLiteral(") 已经存在！"), QStringLiteral("无法上报！"), 0);
            txtPrdNo->setFocus();
            return;
        }
        // A status change that failed stays listed and ends the run: the
        // connection has shown why, and the rows above are left untouched.
        if (!gConn->CommandRan(gConn->ExeCommandInChunk(SubmitStatement(s, gConn->OpId().toString())))) {
            const bool taken = gConn->NumberTaken();
            chunk.finish(egNew, submitted);
            SelectRowOf(egNew, 1, s, 4);
            // The database refused the number: the run stops as at a taken number.
            if (taken) {
                ShowMessage(QStringLiteral("该保质卡号(") + n + QStringLiteral(") 已经存在！"), QStringLiteral("无法上报！"), 0);
                txtPrdNo->setFocus();
            }
            return;
        }
        if (gConn->RowsChanged() == 0) {
            chunk.finish(egNew, submitted);
            ChangedElsewhere();
            LoadRecordList(QStringLiteral("New"));
            return;
        }
        chunk.stored(r, s);
        if (chunk.full() && !chunk.commit(egNew, submitted))
            break;
    }
    chunk.finish(egNew, submitted);
    if (!topFailing.isEmpty())
        SelectRowOf(egNew, 1, topFailing, 4);
    lbId->setText(QString());
    m_openedNumber.clear();
    cmdSave->setEnabled(false);
    cmdSubmit->setEnabled(false);
    cmdNew->setEnabled(true);
    RememberEntry();
    Report(QStringLiteral("已上报 %1 张").arg(submitted.size()));
}

void frmProducts::cmdReset_Click() {
    const int r = egProc->CurrentRow().Index();
    if (r < 1)
        return;
    if (ShowMessage(QStringLiteral("你确认要撤销或重置 ") + egProc->Cells(r, 6).Text() + QLatin1Char('(') +
                        egProc->Cells(r, 7).Text() + QStringLiteral(") ?"),
                    QStringLiteral("系统提示！"), 2) != MsgYes)
        return;
    const QString number = egProc->Cells(r, 7).Text();
    if (gConn->CommandRan(gConn->ExeCommand(ResetStatement(egProc->Cells(r, 1).Text(), gConn->OpId().toString())))) {
        if (ChangedElsewhere()) {
            LoadRecordList(QStringLiteral("Pro"));
            LoadRecordList(QStringLiteral("New"));
            return;
        }
        Report(QStringLiteral("已撤销 ") + number);
    }
    egProc->CurrentRow().Remove();
    LoadRecordList(QStringLiteral("New"));
}
