#pragma once
// A plain table of values: InitArray fills it with empty strings, Value
// reads one, counted from 1.
#include "common/vtExport.h"

#include <QList>
#include <QObject>
#include <QVariant>

namespace vt {

class VANTELO_EXPORT clsArray {
    Q_GADGET
public:
    Q_INVOKABLE void InitArray(int Rows, int Cols);
    // Error 5020 with the description of the failed look-up.
    Q_INVOKABLE QVariant Value(int RowIndex, int ColIndex) const;

private:
    int m_rows = 0;
    int m_cols = 0;
    QList<QList<QVariant>> m_values;
};

} // namespace vt

Q_DECLARE_METATYPE(vt::clsArray)
