#pragma once
// The table behind the pickers: a value array (column, row) with a key
// column and a shown column, indexed by the text of the key without regard
// to letter case. Shared by ucInput, ucList and ucCheckList.
#include "common/vtExport.h"
#include "vtValue.h"

#include <QFont>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>

namespace vt {

class VANTELO_EXPORT vtListTable {
public:
    QVariant rowData;   // a value array, or Empty
    int boundField = 0; // key column
    int listField = 0;  // shown column

    // The text a cell shows: Empty and Null as "".
    static QString textOf(const QVariant& v);
    int cols() const { return vt::toArray(rowData).cols(); }
    int rows() const { return vt::toArray(rowData).rows(); }
    // Element (col, row); error 9 out of range.
    QVariant element(int col, int row) const;
    void setElement(int col, int row, const QVariant& value);

    // Builds a unique index (letter case ignored) over a column; calls
    // add(row) before entering each row. A duplicate raises error 50001
    // "帮定列数据不唯一"; the rows added so far stay added.
    static QHash<QString, int> buildIndex(const vt::ValueArray& data, int keyCol,
                                          const std::function<void(int row)>& add,
                                          QHash<QString, int>* second = nullptr, int secondCol = 0);
    static int lookup(const QHash<QString, int>& index, const QVariant& key);

    // Appends one row; error 50002 "传入的参数数和原有数据不符" when the
    // table has another number of columns. On an empty table it sets the
    // key and shown columns: both 0 with no further value, else 0 and 1.
    void addRow(const QVariant& first, const QVariantList& further);
};

// The height a list box of the given font is made, so that it shows whole
// lines, at least one, within about the given height (pixels).
VANTELO_EXPORT int WholeLinesHeight(int height, const QFont& font, int frameWidth);

} // namespace vt
