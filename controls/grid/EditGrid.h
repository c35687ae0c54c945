#pragma once
// EditGrid: the editable data grid. It draws its cells with the display grid
// GRID and adds editing in place (txtEdit), a drop-down list per column
// (ucSelect) opened by the "..." button (cmdSelect), keyboard movement, copy
// and paste, validation by column kind, and tracking of new, changed and
// deleted rows. Measures are twips.
#include "clsArray.h"
#include "clsCell.h"
#include "vtError.h"
#include "common/vtExport.h"
#include "gridEnums.h"

#include <QFont>
#include <QList>
#include <QVariantMap>
#include "vtPropertyBag.h"
#include <QWidget>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;

namespace vt {

class vgGrid;
class ucList;

class VANTELO_EXPORT EditGrid : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int SelectionMode READ SelectionMode WRITE setSelectionMode)
    Q_PROPERTY(int OnEnterKeyMove READ OnEnterKeyMove WRITE setOnEnterKeyMove)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE setFixedRows)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE setFixedCols)
    Q_PROPERTY(QFont Font READ Font WRITE setGridFont)
    Q_PROPERTY(int Cols READ Cols WRITE setCols)
    Q_PROPERTY(int Rows READ Rows WRITE setRows)
    Q_PROPERTY(int AllowUserResizing READ AllowUserResizing WRITE setAllowUserResizing)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(long BackColorBkg READ BackColorBkg WRITE setBackColorBkg)
    Q_PROPERTY(int TopRow READ TopRow WRITE setTopRow)
    Q_PROPERTY(long BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(long BackColorFixed READ BackColorFixed WRITE setBackColorFixed)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(int FillStyle READ FillStyle WRITE setFillStyle)
    Q_PROPERTY(long ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(long ForeColorFixed READ ForeColorFixed WRITE setForeColorFixed)
    Q_PROPERTY(long GridColor READ GridColor WRITE setGridColor)
    Q_PROPERTY(long GridColorFixed READ GridColorFixed WRITE setGridColorFixed)
    Q_PROPERTY(int GridLines READ GridLines WRITE setGridLines)
    Q_PROPERTY(int GridLinesFixed READ GridLinesFixed WRITE setGridLinesFixed)
    Q_PROPERTY(int MergeCells READ MergeCells WRITE setMergeCells)
    Q_PROPERTY(int PictureType READ PictureType WRITE setPictureType)
    Q_PROPERTY(int RowHeightMin READ RowHeightMin WRITE setRowHeightMin)
    Q_PROPERTY(int TextStyle READ TextStyle WRITE setTextStyle)
    Q_PROPERTY(int TextStyleFixed READ TextStyleFixed WRITE setTextStyleFixed)
    Q_PROPERTY(short GridLinesWidth READ GridLinesWidth WRITE setGridLinesWidth)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(bool ShowMenu READ ShowMenu WRITE setShowMenu)
    Q_PROPERTY(bool AutoSort READ AutoSort WRITE setAutoSort)
    Q_PROPERTY(QString AutoCheckMark READ AutoCheckMark WRITE setAutoCheckMark)
    Q_PROPERTY(bool AllowPaste READ AllowPaste WRITE setAllowPaste)
    Q_PROPERTY(bool Enabled READ GridEnabled WRITE setGridEnabled)
    Q_PROPERTY(short ListBoxHeight READ ListBoxHeight WRITE setListBoxHeight)
    Q_PROPERTY(int ExplorerBar READ ExplorerBar WRITE setExplorerBar)
    Q_PROPERTY(bool DataChanged READ DataChanged)

public:
    explicit EditGrid(QWidget* parent = nullptr);
    ~EditGrid() override;


    // Properties (see the table of the control's interface).
    int SelectionMode() const;
    void setSelectionMode(int code);
    int OnEnterKeyMove() const { return m_onEnterKeyMove; }
    void setOnEnterKeyMove(int move) { m_onEnterKeyMove = move; }
    int FixedRows() const;
    void setFixedRows(int n);
    int FixedCols() const;
    void setFixedCols(int n);
    QFont Font() const;
    void setGridFont(const QFont& font);
    int Cols() const;
    void setCols(int n);
    int Rows() const;
    void setRows(int n);
    int AllowUserResizing() const;
    void setAllowUserResizing(int code);
    int Appearance() const;
    void setAppearance(int code);
    long BackColorBkg() const;
    void setBackColorBkg(long color);
    int TopRow() const;
    void setTopRow(int row);
    long BackColor() const;
    void setBackColor(long color);
    long BackColorFixed() const;
    void setBackColorFixed(long color);
    int BorderStyle() const;
    void setBorderStyle(int code);
    int FillStyle() const;
    void setFillStyle(int code);
    long ForeColor() const;
    void setForeColor(long color);
    long ForeColorFixed() const;
    void setForeColorFixed(long color);
    long GridColor() const;
    void setGridColor(long color);
    long GridColorFixed() const;
    void setGridColorFixed(long color);
    int GridLines() const;
    void setGridLines(int code);
    int GridLinesFixed() const;
    void setGridLinesFixed(int code);
    int MergeCells() const;
    void setMergeCells(int code);
    int PictureType() const;
    void setPictureType(int code);
    int RowHeightMin() const;
    void setRowHeightMin(int twips);
    int TextStyle() const;
    void setTextStyle(int code);
    int TextStyleFixed() const;
    void setTextStyleFixed(int code);
    short GridLinesWidth() const;
    void setGridLinesWidth(short width);
    bool WordWrap() const;
    void setWordWrap(bool on);
    bool ShowMenu() const { return m_showMenu; }
    void setShowMenu(bool on) { m_showMenu = on; }
    bool AutoSort() const { return m_autoSort; }
    void setAutoSort(bool on);
    QString AutoCheckMark() const { return m_autoCheckMark; }
    void setAutoCheckMark(const QString& mark);
    bool AllowPaste() const { return m_allowPaste; }
    void setAllowPaste(bool on) { m_allowPaste = on; }
    bool GridEnabled() const;
    void setGridEnabled(bool on);
    short ListBoxHeight() const;
    void setListBoxHeight(short twips);
    int ExplorerBar() const;
    void setExplorerBar(int code);
    bool DataChanged() const { return false; }

    // Column set-up: the first value applies to column 0, the k-th further
    // value to column k + 1. Error 5005 for a failure, after what could be set.
    Q_INVOKABLE void InitColHeaders(const QString& FirstCaption, const QVariantList& Caption = {});
    Q_INVOKABLE void InitColWidth(int FirstWidth, const QVariantList& Width = {});
    Q_INVOKABLE void InitColEdit(bool FirstCanEdit, const QVariantList& CanEdit = {});
    Q_INVOKABLE void InitColSelect(bool FirstCanSelect, const QVariantList& CanSelect = {});
    Q_INVOKABLE void InitColAlign(int FirstAlign, const QVariantList& Align = {});
    Q_INVOKABLE void Clear();
    // Replaces the rows from RowStart on with a value array (column, row).
    // Error 5004 for a failure.
    Q_INVOKABLE void LoadData(const QVariant& DataArray, int RowStart = 1, int ColStart = 1);
    Q_INVOKABLE void RefreshData(const QVariant& DataArray, int RowStart = 1, int ColStart = 1);
    Q_INVOKABLE void setDataSource(const QVariant& source);

    // View objects, made afresh on every request; no index is checked.
    Q_INVOKABLE vt::clsCell Cells(int Row, int Col) { return clsCell(this, Row, Col); }
    Q_INVOKABLE vt::clsRow Row(int Index) { return clsRow(this, Index); }
    Q_INVOKABLE vt::clsCol Col(int Index) { return clsCol(this, Index); }
    Q_INVOKABLE vt::clsRow CurrentRow();
    Q_INVOKABLE vt::clsCol CurrentCol();
    Q_INVOKABLE vt::clsCell CurrentCell();
    Q_INVOKABLE vt::clsRow LastRow();
    // Always no cell.
    Q_INVOKABLE QVariant HitTest(float X, float Y) const;
    Q_INVOKABLE void Sort(int ColIndex, int SortType = 1);

    // Rows: new, deleted, removed; validation and saving.
    Q_INVOKABLE void NewRecord();
    Q_INVOKABLE void DeleteRecord(int RecordIndex);
    Q_INVOKABLE void RemoveRow(int Index);
    // Removes many data rows as one change (a batch stored, a list cleared):
    // the cost does not grow with the rows that stay. AfterRemoveRow once.
    Q_INVOKABLE void RemoveRows(const QList<int>& Rows);
    Q_INVOKABLE QString Validate();
    Q_INVOKABLE bool SaveData();
    // The rows of the current selection, from the top (data rows only).
    QList<int> SelectedRows() const;
    // Removes every cell's own background colour.
    Q_INVOKABLE void ClearCellColors();
    // Adds an item to the grid's menu (shown when ShowMenu is set); choosing
    // it raises MenuItemClick with the caption.
    Q_INVOKABLE void AddMenuItem(const QString& Caption);


    // The property bag of the form: first placement, loading and saving.
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // The names WriteProperties stores, in the order it writes them.
    static QStringList StoredProperties();

    // Whether a text passes a column kind's check with the column's format.
    static bool IsNumeric(const QString& text);
    static bool FitsFormat(const QString& text, const QString& format);
    static QString FormatToday(const QString& format);

signals:
    void AfterNewRecord(vt::clsRow NewRow);
    void AfterRemoveRow();
    void CellClear();
    void CellValidate(vt::clsCell cell, bool& cancel);
    void CellModified(vt::clsCell cell);
    void Click();
    void DblClick();
    void HeaderClick(int ColIndex);
    void HeaderDblClick(int ColIndex);
    void KeyDown(int KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);
    void MouseDown(int& Button, int& Shift, float& X, float& Y);
    void MouseUp(int& Button, int& Shift, float& X, float& Y);
    void MouseMove(int& Button, int& Shift, float& X, float& Y);
    void SaveNew(vt::clsRow Row, bool& cancel);
    void SaveModify(vt::clsRow Row, bool& cancel);
    void SaveDelete(vt::clsRow Row, bool& cancel);
    void SelChange();
    void SelectItemClick(const QString& ReturnKey);
    void BeforeListDown();
    void RowClick(int RowIndex);
    void RowDblClick(int RowIndex);
    void RowColChange();
    void ValidateError(vt::clsCell cell, bool& cancel);
    // A failure inside the grid's handling of a key, a click or one of its
    // lists (or inside a handler of the host's that those raise): reported
    // here instead of leaving through the toolkit's event dispatch. Declared
    // after the 24 events, whose indexes stay as they are.
    void Error(int number, const QString& description);
    // An item the host added to the grid's menu was chosen.
    void MenuItemClick(const QString& Caption);
    // The user dragged or double-clicked a column's edge: its new width.
    void ColWidthChanged(int ColIndex, int Width);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class clsRow;
    friend class clsCol;
    friend class clsCell;
    // Inner controls: the display grid, the editor, the per-column lists
    // with their button, and the grid's menu. Reached only through the
    // grid's members, so that the per-column tables always hold.
    vgGrid* GRID;
    QLineEdit* txtEdit;
    QList<ucList*> ucSelect;
    QPushButton* cmdSelect;
    QMenu* mnRoot;
    QAction* mnAddRow;
    QAction* mnDelete;

    // Per-column settings; error 9 for a column outside 0 .. Cols - 1.
    struct ColumnSettings {
        bool canEdit = false;
        short maxEditLength = 0;
        bool canSelect = false;
        int validate = dvString;
        QString dateFormat = QStringLiteral("YYYY-MM-DD");
        QString monthFormat = QStringLiteral("YYYY-MM");
        QString yearFormat = QStringLiteral("YYYY");
        int sortType = 8;
    };
    ColumnSettings& settings(int col);
    const ColumnSettings& settings(int col) const;
    ucList* list(int col) const;

    // Editing and keyboard.
    bool dataAreaGuard() const;
    bool currentInDataArea() const;
    int borderOffset() const;
    void openEditor(const QString& text);
    void startEditByDoubleClick();
    void toggleCheck();
    void commitEdit();
    void openList();
    void enterMove();
    void markModified(int row);
    void copyBlock();
    void clearBlock();
    void pasteClipboard();
    // Whether a pasted line holds the headers of the columns it would go into.
    bool IsHeaderLine(const QStringList& values, int startCol) const;
    void placeSelectButton();
    void connectList(ucList* l);
    void onGridKeyDown(int& keyCode, int& shift);
    void onGridKeyPress(int& keyAscii);
    void onGridDblClick();
    void onGridClick();
    void onGridMouseDown(int button, int shift, double x, double y);
    void onGridMouseUp(int button, int shift, double x, double y);
    void onGridMouseMove(int button, int shift, double x, double y);
    void onEnterCell();
    void onEditorChanged(const QString& text);
    bool onEditorKey(QKeyEvent* e);
    bool filterEditorEvent(QObject* watched, QEvent* event);
    void onListClick(int index);
    bool onListKey(int index, int keyCode);
    void hideList(int index);
    void focusGrid();
    void resizeColumnTables(int n);
    [[noreturn]] static void raiseAs(int number, const std::exception& e);
    // Runs one piece of event handling; a failure inside it raises Error.
    template <typename F> void guarded(F&& f);
    // The same as a slot for a member handler.
    template <typename... A> auto guard(void (EditGrid::*handler)(A...)) {
        return [this, handler](A... args) { guarded([&] { (this->*handler)(args...); }); };
    }

    std::vector<ColumnSettings> m_cols;
    int m_onEnterKeyMove = fmtNoMove;
    bool m_showMenu = false;
    bool m_autoSort = true;
    QString m_autoCheckMark;
    bool m_allowPaste = true;

    // Editing state.
    int m_editRow = 0;
    int m_editCol = 0;
    QString m_savedText;
    bool m_editing = false;
    int m_caretMode = 1;
    bool m_escape = false;
    int m_listCommit = 1;
    bool m_checkColumn = false;
    int m_openList = -1;
    bool m_committing = false;
};

template <typename F> void EditGrid::guarded(F&& f) {
    try {
        f();
    } catch (const vt::Error& e) {
        emit Error(e.number(), e.description());
    } catch (const std::exception& e) {
        emit Error(51, QStringLiteral("内部错误：") + QString::fromUtf8(e.what()));
    } catch (...) {
        emit Error(51, QStringLiteral("内部错误"));
    }
}

// Creates a control of the library by its class identifier: "Vantelo.EditGrid",
// "Vantelo.ucInput", "Vantelo.ucList", "Vantelo.ucCheckList"; nothing for
// any other.
VANTELO_EXPORT QWidget* CreateControl(const QString& classId, QWidget* parent = nullptr);

} // namespace vt
