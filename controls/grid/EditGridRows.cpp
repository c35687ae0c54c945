// EditGrid: new, deleted and removed rows, validation of the whole grid,
// and saving through the form's handlers.
#include "EditGrid.h"

#include "vtError.h"
#include "vgGrid.h"
#include "vgGridModel.h"

#include <QAction>
#include <QMenu>

#include <QPushButton>

namespace vt {

void EditGrid::NewRecord() {
    setRows(Rows() + 1);
    const int row = Rows() - 1;
    GRID->setRowData(row, rsNew);
    if (FixedCols() < Cols())
        GRID->setRow(row);
    // The new row's numeric cells start at 0; the new row, not whichever row
    // is current (a grid without data columns does not move to it).
    for (int c = 0; c < Cols(); ++c)
        if (settings(c).validate == dvNumeric)
            GRID->setTextMatrix(row, c, QStringLiteral("0"));
    emit AfterNewRecord(CurrentRow());
}

void EditGrid::DeleteRecord(int RecordIndex) {
    if (RecordIndex < FixedRows())
        return;
    GRID->setRowHeight(RecordIndex, 0);
    if (RecordIndex != FixedRows())
        GRID->setRow(RecordIndex - 1);
    if (GRID->RowData(RecordIndex) == rsNew)
        RemoveRow(RecordIndex);
    else
        GRID->setRowData(RecordIndex, rsDelete);
}

void EditGrid::RemoveRow(int Index) {
    if (Rows() == FixedRows() + 1) {
        setRows(Rows() - 1);
        cmdSelect->hide();
        return;
    }
    GRID->RemoveItem(Index);
    cmdSelect->hide();
    LastRow().setSelected(true);
    GRID->setFocus(Qt::OtherFocusReason);
    if (cmdSelect->isVisible())
        placeSelectButton();
    emit AfterRemoveRow();
}

void EditGrid::RemoveRows(const QList<int>& Rows) {
    if (Rows.isEmpty())
        return;
    GRID->RemoveItems(Rows);
    cmdSelect->hide();
    if (this->Rows() > FixedRows())
        LastRow().setSelected(true);
    GRID->setFocus(Qt::OtherFocusReason);
    emit AfterRemoveRow();
}

QString EditGrid::Validate() {
    for (int r = FixedRows(); r < Rows(); ++r) {
        // A deleted row is going away: what it holds is not checked.
        if (GRID->RowData(r) == rsDelete)
            continue;
        for (int c = FixedCols(); c < Cols(); ++c) {
            const ColumnSettings& s = settings(c);
            const QString text = GRID->TextMatrix(r, c);
            QString message;
            switch (s.validate) {
            case dvNoEmpty:
                if (text.isEmpty())
                    message = QStringLiteral("输入不能为空");
                break;
            case dvNumeric:
                if (!IsNumeric(text))
                    message = QStringLiteral("输入必须为数字");
                break;
            case dvDate:
                if (!FitsFormat(text, s.dateFormat))
                    message = QStringLiteral("日期输入格式错误,格式须为：") + FormatToday(s.dateFormat);
                break;
            case dvMonth:
                if (!FitsFormat(text, s.monthFormat))
                    message = QStringLiteral("年月输入格式错误,格式须为：") + FormatToday(s.monthFormat);
                break;
            case dvYear:
                if (!FitsFormat(text, s.yearFormat))
                    message = QStringLiteral("年输入格式错误,格式须为：") + FormatToday(s.yearFormat);
                break;
            default:
                break;
            }
            if (!message.isEmpty()) {
                Cells(r, c).setSelected(true);
                return message;
            }
        }
    }
    return QString();
}

QList<int> EditGrid::SelectedRows() const {
    QList<int> rows;
    const int r1 = std::min(GRID->Row(), GRID->RowSel()), r2 = std::max(GRID->Row(), GRID->RowSel());
    for (int r = std::max(r1, FixedRows()); r <= r2 && r < Rows(); ++r)
        if (GRID->RowHeight(r) != 0)
            rows << r;
    return rows;
}

void EditGrid::ClearCellColors() { GRID->table()->clearCellColors(); }

void EditGrid::AddMenuItem(const QString& Caption) {
    QAction* item = mnRoot->addAction(Caption);
    connect(item, &QAction::triggered, this, [this, Caption] { guarded([&] { emit MenuItemClick(Caption); }); });
}

bool EditGrid::SaveData() {
    QList<int> added, modified, deleted;
    for (int r = 1; r < Rows(); ++r) {
        switch (GRID->RowData(r)) {
        case rsNew: added << r; break;
        case rsModify: modified << r; break;
        case rsDelete: deleted << r; break;
        default: break;
        }
    }
    for (int r : std::as_const(deleted)) {
        bool cancel = false;
        emit SaveDelete(Row(r), cancel);
        if (cancel)
            return false;
    }
    for (int r : std::as_const(modified)) {
        bool cancel = false;
        emit SaveModify(Row(r), cancel);
        if (cancel)
            return false;
    }
    for (int r : std::as_const(added)) {
        bool cancel = false;
        emit SaveNew(Row(r), cancel);
        if (cancel)
            return false;
    }
    for (int r : std::as_const(added))
        GRID->setRowData(r, rsNormal);
    for (int r : std::as_const(modified))
        GRID->setRowData(r, rsNormal);
    for (auto it = deleted.crbegin(); it != deleted.crend(); ++it)
        RemoveRow(*it);
    return true;
}

} // namespace vt
