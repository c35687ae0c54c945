#include "clsArray.h"

#include "vtError.h"

namespace vt {

void clsArray::InitArray(int Rows, int Cols) {
    m_rows = Rows;
    m_cols = Cols;
    m_values.clear();
    for (int r = 0; r < Rows; ++r)
        m_values.append(QList<QVariant>(std::max(0, Cols), QVariant(QString())));
}

QVariant clsArray::Value(int RowIndex, int ColIndex) const {
    if (RowIndex < 1 || RowIndex > m_values.size() || ColIndex < 1 ||
        ColIndex > m_values[RowIndex - 1].size())
        throw Error(5020, QStringLiteral("下标越界"));
    return m_values[RowIndex - 1][ColIndex - 1];
}

} // namespace vt
