#pragma once
// The display grid that EditGrid draws its cells with: a table view over a
// compact model, offering the members, numeric codes and notifications the
// editable grid relies on. Rows and columns are numbered from 0 and include
// the fixed ones, which are drawn as header cells that do not scroll away
// (the first fixed row as the column header, the first fixed column as the
// row header). Every measure is in twips.
#include "common/vtExport.h"
#include "common/vtKeys.h"
#include "vgGridModel.h"

#include <QTableView>
#include <QVariant>

namespace vt {

class vgRowHeader;

class VANTELO_EXPORT vgGrid : public QTableView {
    Q_OBJECT
public:
    explicit vgGrid(QWidget* parent = nullptr);

    vgGridModel* table() const { return m_model; }

    // Shape.
    int Rows() const { return m_model->rows(); }
    void setRows(int rows);
    int Cols() const { return m_model->cols(); }
    void setCols(int cols);
    int FixedRows() const { return m_model->fixedRows(); }
    void setFixedRows(int n);
    int FixedCols() const { return m_model->fixedCols(); }
    void setFixedCols(int n);

    // Current cell, selection end, first row in view.
    int Row() const { return m_row; }
    void setRow(int row);
    int Col() const { return m_col; }
    void setCol(int col);
    int RowSel() const;
    void setRowSel(int row);
    int ColSel() const;
    void setColSel(int col);
    int TopRow() const;
    void setTopRow(int row);

    // Text.
    QString Text() const { return TextMatrix(m_row, m_col); }
    void setText(const QString& text) { setTextMatrix(m_row, m_col, text); }
    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // Many cells at once: while Redraw is off the view is told nothing, and
    // switching it on again redraws once.
    bool Redraw() const { return m_redraw; }
    void setRedraw(bool on);

    // Per row and per column.
    qint64 RowData(int row) const;
    void setRowData(int row, qint64 value);
    int RowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);
    int ColAlignment(int col) const;
    void setColAlignment(int col, int code);
    int ColDataType(int col) const;
    void setColDataType(int col, int code);
    bool RowIsVisible(int row) const;
    bool ColIsVisible(int col) const;
    // The cell's check-box state (cell property 5): 0 none, 1 checked, 2 unchecked.
    int CellChecked(int row, int col) const;
    void setCellChecked(int row, int col, int state);

    // The current cell's place relative to the grid.
    int CellLeft() const;
    int CellTop() const;
    int CellWidth() const;
    int CellHeight() const;

    // Behaviour.
    int SelectionMode() const { return m_selectionMode; }
    void setSelectionMode(int code);
    int ExplorerBar() const { return m_explorerBar; }
    void setExplorerBar(int code);
    // Sorts the data rows by the current column.
    void setSort(int code);
    // Removes many rows at once.
    void RemoveItems(const QList<int>& rows);
    // Sorts again by the column and direction of the user's last header
    // click, when there was one.
    void ReapplyUserSort();
    void RemoveItem(int row);
    QVariant DataSource() const { return m_dataSource; }
    void setDataSource(const QVariant& source) { m_dataSource = source; }

    // Look: colour values (blue x 65536 + green x 256 + red) and codes.
    long BackColor() const { return m_backColor; }
    void setBackColor(long color);
    long BackColorBkg() const { return m_backColorBkg; }
    void setBackColorBkg(long color);
    long BackColorFixed() const { return m_backColorFixed; }
    void setBackColorFixed(long color);
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long color);
    long ForeColorFixed() const { return m_foreColorFixed; }
    void setForeColorFixed(long color);
    long GridColor() const { return m_gridColor; }
    void setGridColor(long color);
    long GridColorFixed() const { return m_gridColorFixed; }
    void setGridColorFixed(long color) {
        m_gridColorFixed = color;
        if (!styleSheet().isEmpty())
            updateStyleSheet();
    }
    int GridLines() const { return m_gridLines; }
    void setGridLines(int code);
    int GridLinesFixed() const { return m_gridLinesFixed; }
    void setGridLinesFixed(int code) { m_gridLinesFixed = code; }
    int GridLineWidth() const { return m_gridLineWidth; }
    void setGridLineWidth(int width);
    int BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int code);
    int Appearance() const { return m_appearance; }
    void setAppearance(int code);
    int AllowUserResizing() const { return m_allowUserResizing; }
    void setAllowUserResizing(int code);
    int FillStyle() const { return m_fillStyle; }
    void setFillStyle(int code) { m_fillStyle = code; }
    int MergeCells() const { return m_mergeCells; }
    void setMergeCells(int code) { m_mergeCells = code; }
    int PictureType() const { return m_pictureType; }
    void setPictureType(int code) { m_pictureType = code; }
    int RowHeightMin() const { return m_rowHeightMin; }
    void setRowHeightMin(int twips);
    int TextStyle() const { return m_textStyle; }
    void setTextStyle(int code) { m_textStyle = code; }
    int TextStyleFixed() const { return m_textStyleFixed; }
    void setTextStyleFixed(int code) { m_textStyleFixed = code; }
    bool WordWrap() const { return wordWrap(); }
    void setWordWrap(bool on) { QTableView::setWordWrap(on); }

    // Rows and columns that exist, for callers that check before they ask.
    bool validRow(int row) const { return row >= 0 && row < Rows(); }
    bool validCol(int col) const { return col >= 0 && col < Cols(); }

signals:
    // The user resized a column (its new width in twips).
    void ColumnResized(int col, int twips);
    void Click();
    void DblClick();
    void KeyDownEvent(int& keyCode, int& shift);
    void KeyPressEvent(int& keyAscii);
    void MouseDownEvent(int button, int shift, double x, double y);
    void MouseMoveEvent(int button, int shift, double x, double y);
    void MouseUpEvent(int button, int shift, double x, double y);
    void SelChange();
    void RowColChange();
    void EnterCell();

protected:
    // A cell whose text is cut shows it whole as a tooltip.
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_applyingSizes = false; // the grid itself is sizing its sections
    // The style sheet that carries the grid line, background and header colours.
    void updateStyleSheet();
    friend class vgRowHeader;
    void checkRow(int row) const;
    void checkCol(int col) const;
    void applyShape();
    void applySizes(bool allRows = false);
    void syncCurrent();
    void onCurrentChanged(const QModelIndex& current);
    void emitMouse(int kind, QMouseEvent* e, const QPoint& gridPos);
    int defaultRowHeight() const;
    int borderTwips() const;
    int defaultColWidth() const { return 960; }
    QPoint toGrid(const QPoint& viewportPos) const { return viewportPos + viewport()->pos(); }

    vgGridModel* m_model;
    vgRowHeader* m_rowHeader;
    int m_row = 0;
    int m_col = 0;
    mutable int m_defaultRowHeight = -1;
    bool m_redraw = true;
    bool m_syncing = false;
    int m_selectionMode = 0;
    int m_explorerBar = 0;
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    QVariant m_dataSource;
    long m_backColor = 0xFFFFFF;
    long m_backColorBkg = 0x808080;
    long m_backColorFixed = 0xC0C0C0;
    long m_foreColor = 0;
    long m_foreColorFixed = 0;
    long m_gridColor = 0xC0C0C0;
    long m_gridColorFixed = 0;
    int m_gridLines = 1;
    int m_gridLinesFixed = 2;
    int m_gridLineWidth = 1;
    int m_borderStyle = 1;
    int m_appearance = 1;
    int m_allowUserResizing = 0;
    int m_fillStyle = 0;
    int m_mergeCells = 0;
    int m_pictureType = 0;
    int m_rowHeightMin = 0;
    int m_textStyle = 0;
    int m_textStyleFixed = 0;
};

} // namespace vt
