#include "vtValue.h"

namespace vt {

ValueArray::ValueArray(int cols, int rows)
    : m_cols(cols < 0 ? 0 : cols), m_rows(rows < 0 ? 0 : rows),
      m_cells(static_cast<std::size_t>(m_cols) * static_cast<std::size_t>(m_rows)) {}

int ValueArray::appendRow() {
    m_cells.resize(m_cells.size() + static_cast<std::size_t>(m_cols));
    return m_rows++;
}

void ValueArray::resizeRows(int rows) {
    if (rows < 0)
        rows = 0;
    m_cells.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(m_cols));
    m_rows = rows;
}

QVariant toVariant(const ValueArray& a) {
    if (a.cols() == 0 || a.rows() == 0)
        return Empty();
    return QVariant::fromValue(a);
}

bool isArray(const QVariant& v) { return v.metaType() == QMetaType::fromType<ValueArray>(); }

ValueArray toArray(const QVariant& v) { return isArray(v) ? v.value<ValueArray>() : ValueArray(); }

} // namespace vt
