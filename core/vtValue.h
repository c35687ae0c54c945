#pragma once
// Values that cross between the program, the database layer and the controls.
//
// A variant is a QVariant. Empty is the invalid QVariant(); a database NULL is
// a valid variant holding std::nullptr_t, so the two stay distinct. A value
// array is the shape of every query result: a two-dimensional table of
// values, first index the column, second the row, both from 0. A query
// without rows gives Empty instead of an array with no rows.
#include "vtCoreExport.h"

#include <QList>
#include <QMetaType>
#include <QVariant>

#include <memory>
#include <vector>

namespace vt {

inline QVariant Empty() { return QVariant(); }
inline QVariant Null() { return QVariant::fromValue(nullptr); }
inline bool isEmpty(const QVariant& v) { return !v.isValid(); }
inline bool isNull(const QVariant& v) {
    return v.isValid() && v.metaType() == QMetaType::fromType<std::nullptr_t>();
}
// True for Empty and for Null: the two "no value" states.
inline bool isNothing(const QVariant& v) { return isEmpty(v) || isNull(v); }

// The cells are kept by column: texts (and the text of integers and reals)
// packed in one block of UTF-16 text per column with an offset and a length
// per cell, other values (dates, bytes, truth values) beside them. A grid
// that loads the array takes the blocks over by reference instead of
// copying the texts. Copies share everything until one of them changes.
class VANTELO_CORE_EXPORT ValueArray {
public:
    enum class Kind : quint8 { Empty, Null, Text, Integer, Real, Other };
    // A column's texts: the block and, per row, where its text lies.
    struct Span {
        quint32 at = 0;
        quint32 size = 0;
    };
    using TextBlock = std::shared_ptr<const std::vector<char16_t>>;
    using Spans = std::shared_ptr<const std::vector<Span>>;

    ValueArray();
    ValueArray(int cols, int rows);
    ValueArray(const ValueArray&);
    ValueArray(ValueArray&&) noexcept;
    ValueArray& operator=(const ValueArray&);
    ValueArray& operator=(ValueArray&&) noexcept;
    ~ValueArray();

    int cols() const;
    int rows() const;
    // Upper bound of a dimension as the callers write it: 1 = columns, 2 = rows.
    int ubound(int dimension) const { return (dimension == 1 ? cols() : rows()) - 1; }
    bool inRange(int col, int row) const { return col >= 0 && col < cols() && row >= 0 && row < rows(); }

    QVariant at(int col, int row) const;
    void set(int col, int row, const QVariant& v);
    // Writes a text without making a variant of it.
    void setText(int col, int row, QStringView text);
    // The same for UTF-8 bytes, decoded as QString::fromUtf8 does.
    void setTextUtf8(int col, int row, const char* text, qsizetype bytes);
    Kind kind(int col, int row) const;
    // The text a cell shows: nothing for Empty and Null, True/False for a
    // truth value, the value's own text otherwise.
    QString displayText(int col, int row) const;

    // Appends one row of Empty cells and returns its index.
    int appendRow();
    // Changes the row count, keeping the cells of the rows that remain.
    void resizeRows(int rows);
    // An array of the given rows, in the given order: the texts stay in the
    // shared blocks, only the cells' places are copied.
    ValueArray selectRows(const std::vector<int>& rows) const;

    // A column's text block and the span of a cell in it (Text, Integer and
    // Real cells; others have no span).
    TextBlock textBlock(int col) const;
    Span span(int col, int row) const;
    // All spans of a column at once (Empty and Null cells have empty ones),
    // and whether the column holds values other than texts and numbers.
    Spans spans(int col) const;
    bool hasOtherValues(int col) const;
    // The characters a column's cells refer to: the sum of its spans' sizes.
    std::size_t textChars(int col) const;

    bool operator==(const ValueArray& o) const;

private:
    struct Data;
    void detach();
    std::shared_ptr<Data> d;
};

// The text a value shows: nothing for Empty and Null, True/False for a
// truth value, the value's own text otherwise.
VANTELO_CORE_EXPORT QString displayText(const QVariant& v);

// A value array carried in a variant, or Empty when the array has no rows or
// no columns.
VANTELO_CORE_EXPORT QVariant toVariant(const ValueArray& a);
// True when the variant carries a value array.
VANTELO_CORE_EXPORT bool isArray(const QVariant& v);
// The value array a variant carries; an empty array for anything else.
VANTELO_CORE_EXPORT ValueArray toArray(const QVariant& v);

} // namespace vt

Q_DECLARE_METATYPE(vt::ValueArray)
