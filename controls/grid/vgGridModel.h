#pragma once
// The table behind the grid: one text per cell, a number and a height per
// row, width, alignment and data type per column, and check-box states.
// Cells are kept by column, each column one packed text store; nothing is
// made per cell, and display values are formed when the view asks for them.
#include "common/vtExport.h"
#include "vgTextStore.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QString>
#include <vector>

namespace vt {

class VANTELO_EXPORT vgGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct ColInfo {
        int width = -1;     // twips; -1 = the default width
        int alignment = 9;  // vendor alignment code
        int dataType = 8;   // vendor data type code
    };
    struct RowInfo {
        qint64 data = 0;    // RowData
        int height = -1;    // twips; -1 = the default height
    };

    explicit vgGridModel(QObject* parent = nullptr);

    // The shape: rows and columns of the whole grid, fixed ones included.
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setRows(int rows);
    void setCols(int cols);
    void setFixedRows(int n);
    void setFixedCols(int n);

    bool inRange(int row, int col) const { return row >= 0 && row < m_rows && col >= 0 && col < m_cols; }
    QString text(int row, int col) const { return column(col).text(static_cast<std::size_t>(row)); }
    QStringView textView(int row, int col) const { return column(col).view(static_cast<std::size_t>(row)); }
    void setText(int row, int col, const QString& text);
    // Writes without telling the view; endBulk() tells it once.
    void setTextQuiet(int row, int col, QStringView text) { column(col).set(static_cast<std::size_t>(row), text); }
    // Rows from firstRow on take column arrayCol of the array into column
    // col, its texts by reference (see vgTextStore); without telling the view.
    void takeColumnQuiet(int col, int firstRow, const ValueArray& a, int arrayCol) {
        column(col).takeColumn(static_cast<std::size_t>(firstRow), a, arrayCol);
    }
    // Bytes the cell texts hold, for the memory figures.
    std::size_t textBytes() const;
    void beginBulk();
    void endBulk();

    // A row's data and height. Until one row has its own, no row keeps any:
    // a long list loads without a second array as long as itself.
    const RowInfo& rowInfo(int row) const {
        static const RowInfo plain;
        return m_rowInfo.empty() ? plain : m_rowInfo[static_cast<std::size_t>(row)];
    }
    RowInfo& editRowInfo(int row);
    bool anyRowInfo() const { return !m_rowInfo.empty(); }
    ColInfo& colInfo(int col) { return m_colInfo[static_cast<std::size_t>(col)]; }
    const ColInfo& colInfo(int col) const { return m_colInfo[static_cast<std::size_t>(col)]; }
    void cellChanged(int row, int col);
    void columnChanged(int col);

    int checkState(int row, int col) const { return m_checks.value(key(row, col), 0); }
    void setCheckState(int row, int col, int state);

    // Removes one row; the rows below move up.
    void removeRow(int row);
    // Removes many data rows in one change of the model (not one per row).
    void removeDataRows(QList<int> rows);
    // Orders the data rows by a column with a vendor sort code.
    void sortRows(int col, int code);

    // A cell's own background (a mark such as a failed check), or invalid
    // for the grid's. Marks last until rows are added, removed or sorted.
    QColor cellColor(int row, int col) const { return m_cellColors.value(key(row, col)); }
    void setCellColor(int row, int col, const QColor& color);
    void clearCellColors();

    // The view shows the data area; the first fixed row and the first fixed
    // column are shown as its header cells.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static Qt::Alignment qtAlignment(int code, QStringView text);

private:
    vgTextStore& column(int col) { return m_columns[static_cast<std::size_t>(col)]; }
    const vgTextStore& column(int col) const { return m_columns[static_cast<std::size_t>(col)]; }
    static qint64 key(int row, int col) { return (static_cast<qint64>(row) << 20) | col; }
    void relayout(int rows, int cols);

    int m_rows = 0;
    int m_cols = 0;
    int m_fixedRows = 0;
    int m_fixedCols = 0;
    int m_bulk = 0;
    std::vector<vgTextStore> m_columns; // one per column, each with a text per row
    std::vector<RowInfo> m_rowInfo; // empty, or one per row
    std::vector<ColInfo> m_colInfo;
    QHash<qint64, int> m_checks;
    QHash<qint64, QColor> m_cellColors;
};

} // namespace vt
