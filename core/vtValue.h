#pragma once
// Values that cross between the program, the database layer and the controls.
//
// A variant is a QVariant. Empty is the invalid QVariant(); a database NULL is
// a valid variant holding std::nullptr_t, so the two stay distinct. A value
// array is the shape of every query result: a two-dimensional table of
// variants, first index the column, second the row, both from 0. A query
// without rows gives Empty instead of an array with no rows.
#include "vtCoreExport.h"

#include <QList>
#include <QMetaType>
#include <QVariant>

namespace vt {

inline QVariant Empty() { return QVariant(); }
inline QVariant Null() { return QVariant::fromValue(nullptr); }
inline bool isEmpty(const QVariant& v) { return !v.isValid(); }
inline bool isNull(const QVariant& v) {
    return v.isValid() && v.metaType() == QMetaType::fromType<std::nullptr_t>();
}
// True for Empty and for Null: the two "no value" states.
inline bool isNothing(const QVariant& v) { return isEmpty(v) || isNull(v); }

class VANTELO_CORE_EXPORT ValueArray {
public:
    ValueArray() = default;
    ValueArray(int cols, int rows);

    int cols() const { return m_cols; }
    int rows() const { return m_rows; }
    // Upper bound of a dimension as the callers write it: 1 = columns, 2 = rows.
    int ubound(int dimension) const { return (dimension == 1 ? m_cols : m_rows) - 1; }
    bool inRange(int col, int row) const {
        return col >= 0 && col < m_cols && row >= 0 && row < m_rows;
    }

    const QVariant& at(int col, int row) const { return m_cells[index(col, row)]; }
    QVariant& at(int col, int row) { return m_cells[index(col, row)]; }
    void set(int col, int row, const QVariant& v) { m_cells[index(col, row)] = v; }

    // Appends one row of Empty cells and returns its index.
    int appendRow();
    // Changes the row count, keeping the cells of the rows that remain.
    void resizeRows(int rows);

    bool operator==(const ValueArray& o) const {
        return m_cols == o.m_cols && m_rows == o.m_rows && m_cells == o.m_cells;
    }

private:
    // Stored row by row so that rows can be appended at the end. The cells
    // are shared between copies until one of them changes, so an array
    // travels through variants and results without being copied.
    qsizetype index(int col, int row) const {
        return static_cast<qsizetype>(row) * m_cols + col;
    }
    int m_cols = 0;
    int m_rows = 0;
    QList<QVariant> m_cells;
};

// A value array carried in a variant, or Empty when the array has no rows or
// no columns.
VANTELO_CORE_EXPORT QVariant toVariant(const ValueArray& a);
// True when the variant carries a value array.
VANTELO_CORE_EXPORT bool isArray(const QVariant& v);
// The value array a variant carries; an empty array for anything else.
VANTELO_CORE_EXPORT ValueArray toArray(const QVariant& v);

} // namespace vt

Q_DECLARE_METATYPE(vt::ValueArray)
