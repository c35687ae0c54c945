#include "clsCell.h"

#include "EditGrid.h"
#include "vtError.h"
#include "pickers/ucList.h"
#include "vgGrid.h"
#include "vgGridModel.h"
#include "common/vtColor.h"

namespace vt {

vgGrid* clsCell::grid() const { return m_owner->GRID; }
vgGrid* clsRow::grid() const { return m_owner->GRID; }
vgGrid* clsCol::grid() const { return m_owner->GRID; }

QString clsCell::Text() const { return grid()->TextMatrix(m_row, m_col); }
void clsCell::setText(const QString& text) const { grid()->setTextMatrix(m_row, m_col, text); }
long clsCell::BackColor() const {
    const QColor c = grid()->table()->cellColor(m_row, m_col);
    return c.isValid() ? toColorValue(c) : -1;
}
void clsCell::setBackColor(long color) const {
    grid()->table()->setCellColor(m_row, m_col, color < 0 ? QColor() : fromColorValue(color));
}
bool clsCell::Selected() const { return grid()->Row() == m_row && grid()->Col() == m_col; }

void clsCell::setSelected(bool on) const {
    if (!on)
        return;
    grid()->setRow(m_row);
    grid()->setCol(m_col);
}

bool clsRow::Visible() const { return grid()->RowIsVisible(m_index); }
int clsRow::Height() const { return grid()->RowHeight(m_index); }
void clsRow::setHeight(int twips) const { grid()->setRowHeight(m_index, twips); }

void clsRow::setSelected(bool) const {
    grid()->setRow(m_index);
    if (grid()->SelectionMode() == 1)
        grid()->setColSel(grid()->Cols() - 1);
}

void clsRow::Remove() const { m_owner->RemoveRow(m_index); }
int clsRow::DataState() const { return static_cast<int>(grid()->RowData(m_index)); }

void clsRow::InitData(const QString& FirstData, const QVariantList& Data) const {
    grid()->setTextMatrix(m_index, 0, FirstData);
    for (int k = 0; k < Data.size(); ++k)
        grid()->setTextMatrix(m_index, k + 1, vtListTable::textOf(Data[k]));
}

bool clsRow::Checked() const { return grid()->CellChecked(m_index, 0) == 1; }
void clsRow::setChecked(bool on) const { grid()->setCellChecked(m_index, 0, on ? 1 : 2); }

bool clsCol::Visible() const { return grid()->ColIsVisible(m_index); }
int clsCol::Width() const { return grid()->ColWidth(m_index); }
void clsCol::setWidth(int twips) const { grid()->setColWidth(m_index, twips); }
int clsCol::SortType() const { return m_owner->settings(m_index).sortType; }
void clsCol::Sort(int sortType) const { m_owner->Sort(m_index, sortType); }
int clsCol::Alignment() const { return grid()->ColAlignment(m_index); }
void clsCol::setAlignment(int code) const { grid()->setColAlignment(m_index, code); }
bool clsCol::CanEdit() const { return m_owner->settings(m_index).canEdit; }
void clsCol::setCanEdit(bool on) const { m_owner->settings(m_index).canEdit = on; }
void clsCol::setCanSelect(bool on) const { m_owner->settings(m_index).canSelect = on; }
bool clsCol::CanSelect() const { return m_owner->settings(m_index).canSelect; }
int clsCol::Validate() const { return m_owner->settings(m_index).validate; }
void clsCol::setValidate(int kind) const { m_owner->settings(m_index).validate = kind; }
QString clsCol::DateFormat() const { return m_owner->settings(m_index).dateFormat; }
void clsCol::setDateFormat(const QString& f) const { m_owner->settings(m_index).dateFormat = f; }
QString clsCol::MonthFormat() const { return m_owner->settings(m_index).monthFormat; }
void clsCol::setMonthFormat(const QString& f) const { m_owner->settings(m_index).monthFormat = f; }
QString clsCol::YearFormat() const { return m_owner->settings(m_index).yearFormat; }
void clsCol::setYearFormat(const QString& f) const { m_owner->settings(m_index).yearFormat = f; }

void clsCol::LoadListItems(const QVariant& vData, int BoundField, int ListField) const {
    m_owner->list(m_index)->LoadList(vData, BoundField, ListField);
}

void clsCol::AddListItem(const QVariant& FirstColVal, const QVariantList& PA) const {
    if (PA.size() > 10)
        throw Error(5003, QStringLiteral("参数过多，不能执行"));
    m_owner->list(m_index)->AddListItem(FirstColVal, PA);
}

short clsCol::MaxEditLength() const { return m_owner->settings(m_index).maxEditLength; }
void clsCol::setMaxEditLength(short length) const { m_owner->settings(m_index).maxEditLength = length; }
int clsCol::DataType() const { return grid()->ColDataType(m_index); }
void clsCol::setDataType(int code) const { grid()->setColDataType(m_index, code); }

} // namespace vt
