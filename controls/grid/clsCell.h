#pragma once
// View objects of the editable grid: one cell, one row, one column. Each is
// made afresh on every request and holds only its grid and its position;
// every property reads or writes the grid.
#include "common/vtExport.h"
#include "gridEnums.h"

#include <QObject>
#include <QVariant>
#include <QVariantList>

namespace vt {

class EditGrid;
class vgGrid;
class clsRow;
class clsCol;

class VANTELO_EXPORT clsCell {
    Q_GADGET
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(bool Selected READ Selected WRITE setSelected)
    Q_PROPERTY(int RowIndex READ RowIndex)
    Q_PROPERTY(int ColIndex READ ColIndex)
public:
    clsCell() = default;

    QString Text() const;
    void setText(const QString& text) const;
    bool Selected() const;
    void setSelected(bool on) const;
    // The cell's own background colour (a colour value), or -1 for the grid's;
    // a mark that lasts until rows are added, removed or sorted.
    long BackColor() const;
    Q_INVOKABLE void setBackColor(long color) const;
    int RowIndex() const { return m_row; }
    int ColIndex() const { return m_col; }
    Q_INVOKABLE vt::clsCell LeftCell() const { return clsCell(m_owner, m_row, m_col - 1); }
    Q_INVOKABLE vt::clsCell RightCell() const { return clsCell(m_owner, m_row, m_col + 1); }
    Q_INVOKABLE vt::clsCell UpCell() const { return clsCell(m_owner, m_row - 1, m_col); }
    Q_INVOKABLE vt::clsCell DownCell() const { return clsCell(m_owner, m_row + 1, m_col); }

    bool isNull() const { return m_owner == nullptr; }

private:
    friend class EditGrid;
    friend class clsRow;
    clsCell(EditGrid* owner, int row, int col) : m_owner(owner), m_row(row), m_col(col) {}
    vgGrid* grid() const;
    EditGrid* m_owner = nullptr;
    int m_row = 0;
    int m_col = 0;
};

class VANTELO_EXPORT clsRow {
    Q_GADGET
    Q_PROPERTY(bool Visible READ Visible)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(int Index READ Index)
    Q_PROPERTY(int DataState READ DataState)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(int State READ State)
public:
    clsRow() = default;

    bool Visible() const;
    int Height() const;
    void setHeight(int twips) const;
    int Index() const { return m_index; }
    Q_INVOKABLE void setSelected(bool on) const;
    Q_INVOKABLE vt::clsCell Cells(int ColIndex) const { return clsCell(m_owner, m_index, ColIndex); }
    Q_INVOKABLE void Remove() const;
    Q_INVOKABLE vt::clsRow NextRow() const { return clsRow(m_owner, m_index + 1); }
    Q_INVOKABLE vt::clsRow PrevRow() const { return clsRow(m_owner, m_index - 1); }
    int DataState() const;
    Q_INVOKABLE void InitData(const QString& FirstData, const QVariantList& Data = {}) const;
    bool Checked() const;
    void setChecked(bool on) const;
    int State() const { return DataState(); }

    bool isNull() const { return m_owner == nullptr; }

private:
    friend class EditGrid;
    friend class clsCell;
    clsRow(EditGrid* owner, int index) : m_owner(owner), m_index(index) {}
    vgGrid* grid() const;
    EditGrid* m_owner = nullptr;
    int m_index = 0;
};

class VANTELO_EXPORT clsCol {
    Q_GADGET
    Q_PROPERTY(bool Visible READ Visible)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int SortType READ SortType)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(int Index READ Index)
    Q_PROPERTY(bool CanEdit READ CanEdit WRITE setCanEdit)
    Q_PROPERTY(int Validate READ Validate WRITE setValidate)
    Q_PROPERTY(QString DateFormat READ DateFormat WRITE setDateFormat)
    Q_PROPERTY(QString MonthFormat READ MonthFormat WRITE setMonthFormat)
    Q_PROPERTY(QString YearFormat READ YearFormat WRITE setYearFormat)
    Q_PROPERTY(short MaxEditLength READ MaxEditLength WRITE setMaxEditLength)
    Q_PROPERTY(int DataType READ DataType WRITE setDataType)
public:
    clsCol() = default;

    bool Visible() const;
    int Width() const;
    void setWidth(int twips) const;
    int SortType() const;
    Q_INVOKABLE void Sort(int SortType) const;
    int Alignment() const;
    void setAlignment(int code) const;
    int Index() const { return m_index; }
    bool CanEdit() const;
    void setCanEdit(bool on) const;
    Q_INVOKABLE void setCanSelect(bool on) const;
    bool CanSelect() const;
    int Validate() const;
    void setValidate(int kind) const;
    QString DateFormat() const;
    void setDateFormat(const QString& f) const;
    QString MonthFormat() const;
    void setMonthFormat(const QString& f) const;
    QString YearFormat() const;
    void setYearFormat(const QString& f) const;
    Q_INVOKABLE void LoadListItems(const QVariant& vData, int BoundField = 0, int ListField = 1) const;
    Q_INVOKABLE void AddListItem(const QVariant& FirstColVal, const QVariantList& PA = {}) const;
    Q_INVOKABLE vt::clsCol NextCol() const { return clsCol(m_owner, m_index + 1); }
    Q_INVOKABLE vt::clsCol PrevCol() const { return clsCol(m_owner, m_index - 1); }
    short MaxEditLength() const;
    void setMaxEditLength(short length) const;
    int DataType() const;
    void setDataType(int code) const;

    bool isNull() const { return m_owner == nullptr; }

private:
    friend class EditGrid;
    clsCol(EditGrid* owner, int index) : m_owner(owner), m_index(index) {}
    vgGrid* grid() const;
    EditGrid* m_owner = nullptr;
    int m_index = 0;
};

} // namespace vt

Q_DECLARE_METATYPE(vt::clsCell)
Q_DECLARE_METATYPE(vt::clsRow)
Q_DECLARE_METATYPE(vt::clsCol)
