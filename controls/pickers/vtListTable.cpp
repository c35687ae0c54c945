#include "vtListTable.h"

#include "vtError.h"

#include <QFontMetrics>

namespace vt {

QString vtListTable::textOf(const QVariant& v) { return displayText(v); }

QVariant vtListTable::element(int col, int row) const {
    const ValueArray a = toArray(rowData);
    if (!a.inRange(col, row))
        throw Error(9, QStringLiteral("下标越界"));
    return a.at(col, row);
}

void vtListTable::setElement(int col, int row, const QVariant& value) {
    ValueArray a = toArray(rowData);
    if (!a.inRange(col, row))
        throw Error(9, QStringLiteral("下标越界"));
    a.set(col, row, value);
    rowData = QVariant::fromValue(a);
}

QHash<QString, int> vtListTable::buildIndex(const ValueArray& data, int keyCol,
                                            const std::function<void(int)>& add,
                                            QHash<QString, int>* second, int secondCol) {
    QHash<QString, int> index;
    QHash<QString, int> other;
    try {
        for (int r = 0; r < data.rows(); ++r) {
            if (!data.inRange(keyCol, r) || (second && !data.inRange(secondCol, r)))
                throw Error(9, QStringLiteral("下标越界"));
            const QString key = textOf(data.at(keyCol, r)).toLower();
            if (index.contains(key))
                throw Error(457, QStringLiteral("此键已经与该集合的一个元素相关联"));
            index.insert(key, r);
            if (second) {
                const QString v = textOf(data.at(secondCol, r)).toLower();
                if (other.contains(v))
                    throw Error(457, QStringLiteral("此键已经与该集合的一个元素相关联"));
                other.insert(v, r);
            }
            add(r);
        }
    } catch (const Error&) {
        throw Error(50001, QStringLiteral("帮定列数据不唯一"));
    }
    if (second)
        *second = std::move(other);
    return index;
}

int vtListTable::lookup(const QHash<QString, int>& index, const QVariant& key) {
    return index.value(textOf(key).toLower(), -1);
}

void vtListTable::addRow(const QVariant& first, const QVariantList& further) {
    const int n = static_cast<int>(further.size());
    if (isEmpty(rowData) || !isArray(rowData)) {
        ValueArray a(n + 1, 1);
        a.set(0, 0, first);
        for (int i = 0; i < n; ++i)
            a.set(i + 1, 0, further[i]);
        rowData = QVariant::fromValue(a);
        boundField = 0;
        listField = n == 0 ? 0 : 1;
        return;
    }
    ValueArray a = toArray(rowData);
    if (a.cols() != n + 1)
        throw Error(50002, QStringLiteral("传入的参数数和原有数据不符"));
    const int r = a.appendRow();
    a.set(0, r, first);
    for (int i = 0; i < n; ++i)
        a.set(i + 1, r, further[i]);
    rowData = QVariant::fromValue(a);
}

int WholeLinesHeight(int height, const QFont& font, int frameWidth) {
    const int line = std::max(1, QFontMetrics(font).height());
    const int frame = frameWidth * 2;
    return std::max(1, (height - frame) / line) * line + frame;
}

} // namespace vt
