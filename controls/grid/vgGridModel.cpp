#include "vgGridModel.h"

#include <QCollator>
#include <algorithm>
#include <numeric>

namespace vt {

vgGridModel::vgGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void vgGridModel::relayout(int rows, int cols) {
    m_cellColors.clear();
    rows = std::max(0, rows);
    cols = std::max(0, cols);
    if (cols != m_cols) {
        m_columns.resize(static_cast<std::size_t>(cols));
        m_colInfo.resize(static_cast<std::size_t>(cols));
        // Check states of columns that are gone are dropped.
        for (auto it = m_checks.begin(); it != m_checks.end();)
            it = (it.key() & 0xFFFFF) >= cols ? m_checks.erase(it) : std::next(it);
    }
    for (vgTextStore& c : m_columns)
        c.resize(static_cast<std::size_t>(rows));
    if (rows < m_rows)
        for (auto it = m_checks.begin(); it != m_checks.end();)
            it = (it.key() >> 20) >= rows ? m_checks.erase(it) : std::next(it);
    if (!m_rowInfo.empty()) {
        m_rowInfo.resize(static_cast<std::size_t>(rows));
        if (rows > m_rows)
            std::fill(m_rowInfo.begin() + m_rows, m_rowInfo.end(), RowInfo());
    }
    m_rows = rows;
    m_cols = cols;
    m_fixedRows = std::min(m_fixedRows, m_rows);
    m_fixedCols = std::min(m_fixedCols, m_cols);
}

vgGridModel::RowInfo& vgGridModel::editRowInfo(int row) {
    if (m_rowInfo.empty())
        m_rowInfo.assign(static_cast<std::size_t>(m_rows), RowInfo());
    return m_rowInfo[static_cast<std::size_t>(row)];
}

void vgGridModel::setRows(int rows) {
    rows = std::max(0, rows);
    if (m_bulk) {
        relayout(rows, m_cols);
        return;
    }
    // Rows added or cut at the end of the data area are told as such, so a
    // long grid that grows by one row does not redo its whole layout.
    const int oldData = m_rows - m_fixedRows;
    const int newData = rows - m_fixedRows;
    if (rows == m_rows)
        return;
    if (rows >= m_fixedRows && newData > oldData) {
        beginInsertRows(QModelIndex(), oldData, newData - 1);
        relayout(rows, m_cols);
        endInsertRows();
    } else if (rows >= m_fixedRows && newData < oldData) {
        beginRemoveRows(QModelIndex(), newData, oldData - 1);
        relayout(rows, m_cols);
        endRemoveRows();
    } else {
        beginResetModel();
        relayout(rows, m_cols);
        endResetModel();
    }
}

void vgGridModel::setCols(int cols) {
    if (m_bulk) {
        relayout(m_rows, cols);
        return;
    }
    beginResetModel();
    relayout(m_rows, cols);
    endResetModel();
}

void vgGridModel::setFixedRows(int n) {
    beginResetModel();
    m_fixedRows = std::clamp(n, 0, m_rows);
    endResetModel();
}

void vgGridModel::setFixedCols(int n) {
    beginResetModel();
    m_fixedCols = std::clamp(n, 0, m_cols);
    endResetModel();
}

void vgGridModel::beginBulk() {
    if (m_bulk++ == 0)
        beginResetModel();
}

void vgGridModel::endBulk() {
    if (--m_bulk == 0)
        endResetModel();
}

void vgGridModel::setText(int row, int col, const QString& text) {
    column(col).set(static_cast<std::size_t>(row), text);
    cellChanged(row, col);
}

void vgGridModel::cellChanged(int row, int col) {
    if (m_bulk)
        return;
    if (row < m_fixedRows && col >= m_fixedCols) {
        emit headerDataChanged(Qt::Horizontal, col - m_fixedCols, col - m_fixedCols);
    } else if (col < m_fixedCols && row >= m_fixedRows) {
        emit headerDataChanged(Qt::Vertical, row - m_fixedRows, row - m_fixedRows);
    } else if (row >= m_fixedRows && col >= m_fixedCols) {
        const QModelIndex i = createIndex(row - m_fixedRows, col - m_fixedCols);
        emit dataChanged(i, i);
    }
}

void vgGridModel::columnChanged(int col) {
    if (m_bulk || col < m_fixedCols || rowCount() == 0)
        return;
    emit dataChanged(createIndex(0, col - m_fixedCols), createIndex(rowCount() - 1, col - m_fixedCols));
}

void vgGridModel::setCheckState(int row, int col, int state) {
    if (state == 0)
        m_checks.remove(key(row, col));
    else
        m_checks.insert(key(row, col), state);
    cellChanged(row, col);
}

void vgGridModel::removeRow(int row) {
    m_cellColors.clear();
    // A data row goes as one removed row; the view keeps the rest as laid out.
    const bool dataRow = row >= m_fixedRows && !m_bulk;
    if (dataRow)
        beginRemoveRows(QModelIndex(), row - m_fixedRows, row - m_fixedRows);
    else if (!m_bulk)
        beginResetModel();
    for (vgTextStore& c : m_columns)
        c.erase(static_cast<std::size_t>(row), static_cast<std::size_t>(row) + 1);
    if (!m_rowInfo.empty())
        m_rowInfo.erase(m_rowInfo.begin() + row);
    QHash<qint64, int> checks;
    for (auto it = m_checks.cbegin(); it != m_checks.cend(); ++it) { // usually none
        const int r = static_cast<int>(it.key() >> 20);
        const int c = static_cast<int>(it.key() & 0xFFFFF);
        if (r != row)
            checks.insert(key(r > row ? r - 1 : r, c), it.value());
    }
    m_checks = std::move(checks);
    --m_rows;
    m_fixedRows = std::min(m_fixedRows, m_rows);
    if (dataRow)
        endRemoveRows();
    else if (!m_bulk)
        endResetModel();
}

void vgGridModel::sortRows(int col, int code) {
    m_cellColors.clear();
    if (code <= 0 || code > 8 || col < 0 || col >= m_cols || m_rows - m_fixedRows < 2)
        return;
    std::vector<int> order(static_cast<std::size_t>(m_rows - m_fixedRows));
    std::iota(order.begin(), order.end(), m_fixedRows);
    const bool descending = code % 2 == 0;
    QCollator caseless;
    caseless.setCaseSensitivity(Qt::CaseInsensitive);
    QCollator cased;
    cased.setCaseSensitivity(Qt::CaseSensitive);
    auto less = [&](int a, int b) {
        const QStringView x = textView(a, col);
        const QStringView y = textView(b, col);
        bool xn = false, yn = false;
        const double dx = x.toDouble(&xn), dy = y.toDouble(&yn);
        switch (code) {
        case 1: case 2:
            if (xn && yn)
                return dx < dy;
            if (xn != yn)
                return xn; // numbers before text
            return x < y;
        case 3: case 4:
            return (xn ? dx : 0.0) < (yn ? dy : 0.0);
        case 5: case 6:
            return caseless.compare(x, y) < 0;
        default:
            return cased.compare(x, y) < 0;
        }
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return descending ? less(b, a) : less(a, b); });
    beginResetModel();
    std::vector<std::vector<vgTextStore::Slot>> cells(static_cast<std::size_t>(m_cols),
                                                      std::vector<vgTextStore::Slot>(static_cast<std::size_t>(m_rows)));
    std::vector<RowInfo> infos(m_rowInfo.size());
    const bool ownInfos = !m_rowInfo.empty();
    QHash<qint64, int> checks;
    for (int r = 0; r < m_fixedRows; ++r) {
        for (int c = 0; c < m_cols; ++c)
            cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)] = column(c).slot(static_cast<std::size_t>(r));
        if (ownInfos)
            infos[static_cast<std::size_t>(r)] = m_rowInfo[static_cast<std::size_t>(r)];
    }
    std::vector<int> newPlace(static_cast<std::size_t>(m_rows));
    for (int r = 0; r < m_fixedRows; ++r)
        newPlace[static_cast<std::size_t>(r)] = r;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int from = order[i];
        const int to = m_fixedRows + static_cast<int>(i);
        newPlace[static_cast<std::size_t>(from)] = to;
        for (int c = 0; c < m_cols; ++c)
            cells[static_cast<std::size_t>(c)][static_cast<std::size_t>(to)] =
                column(c).slot(static_cast<std::size_t>(from));
        if (ownInfos)
            infos[static_cast<std::size_t>(to)] = m_rowInfo[static_cast<std::size_t>(from)];
    }
    for (auto it = m_checks.cbegin(); it != m_checks.cend(); ++it)
        checks.insert(key(newPlace[static_cast<std::size_t>(it.key() >> 20)], static_cast<int>(it.key() & 0xFFFFF)),
                      it.value());
    for (int c = 0; c < m_cols; ++c)
        column(c).adopt(std::move(cells[static_cast<std::size_t>(c)]));
    m_rowInfo = std::move(infos);
    m_checks = std::move(checks);
    endResetModel();
}

int vgGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows - m_fixedRows;
}

int vgGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols - m_fixedCols;
}

Qt::Alignment vgGridModel::qtAlignment(int code, QStringView text) {
    Qt::Alignment v = Qt::AlignVCenter;
    switch (code % 3) {
    case 0: v = Qt::AlignTop; break;
    case 1: v = Qt::AlignVCenter; break;
    case 2: v = Qt::AlignBottom; break;
    }
    if (code == 9) {
        bool numeric = false;
        (void)text.toDouble(&numeric);
        return (numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    if (code >= 6)
        return Qt::AlignRight | v;
    if (code >= 3)
        return Qt::AlignHCenter | v;
    return Qt::AlignLeft | v;
}

QVariant vgGridModel::data(const QModelIndex& i, int role) const {
    if (!i.isValid())
        return {};
    const int row = i.row() + m_fixedRows;
    const int col = i.column() + m_fixedCols;
    const ColInfo& info = m_colInfo[static_cast<std::size_t>(col)];
    switch (role) {
    case Qt::DisplayRole:
        if (info.dataType == 11)
            return {};
        return text(row, col);
    case Qt::CheckStateRole:
        if (info.dataType == 11 || m_checks.contains(key(row, col)))
            return checkState(row, col) == 1 ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(qtAlignment(info.alignment, textView(row, col)));
    case Qt::BackgroundRole:
        // Only a cell's own colour: the grid paints the cells' common
        // background and text colour once for all of them.
        if (const QColor own = m_cellColors.value(key(row, col)); own.isValid())
            return own;
        return {};
    default:
        return {};
    }
}

QVariant vgGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const bool horizontal = orientation == Qt::Horizontal;
    const int row = horizontal ? 0 : section + m_fixedRows;
    const int col = horizontal ? section + m_fixedCols : 0;
    if ((horizontal && m_fixedRows == 0) || (!horizontal && m_fixedCols == 0) || !inRange(row, col))
        return {};
    if (role == Qt::DisplayRole)
        return text(row, col);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(qtAlignment(m_colInfo[static_cast<std::size_t>(col)].alignment, textView(row, col)));
    return {};
}

Qt::ItemFlags vgGridModel::flags(const QModelIndex& i) const {
    return i.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace vt

namespace vt {

void vgGridModel::setCellColor(int row, int col, const QColor& color) {
    if (!inRange(row, col))
        return;
    if (color.isValid())
        m_cellColors.insert(key(row, col), color);
    else
        m_cellColors.remove(key(row, col));
    cellChanged(row, col);
}

void vgGridModel::clearCellColors() {
    if (m_cellColors.isEmpty())
        return;
    m_cellColors.clear();
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

} // namespace vt

namespace vt {

void vgGridModel::removeDataRows(QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int r) { return r < m_fixedRows || r >= m_rows; });
    if (rows.isEmpty())
        return;
    // One block of rows (a chunk stored from the bottom of a batch, say):
    // removed as such, the rows above it untouched.
    if (rows.last() - rows.first() + 1 == rows.size()) {
        const int first = rows.first(), last = rows.last(), count = last - first + 1;
        beginRemoveRows(QModelIndex(), first - m_fixedRows, last - m_fixedRows);
        m_cellColors.clear();
        for (vgTextStore& c : m_columns)
            c.erase(static_cast<std::size_t>(first), static_cast<std::size_t>(last) + 1);
        if (!m_rowInfo.empty())
            m_rowInfo.erase(m_rowInfo.begin() + first, m_rowInfo.begin() + last + 1);
        QHash<qint64, int> checks;
        for (auto it = m_checks.cbegin(); it != m_checks.cend(); ++it) { // usually none
            const int r = static_cast<int>(it.key() >> 20);
            const int c = static_cast<int>(it.key() & 0xFFFFF);
            if (r < first || r > last)
                checks.insert(key(r > last ? r - count : r, c), it.value());
        }
        m_checks = std::move(checks);
        m_rows -= count;
        endRemoveRows();
        return;
    }
    beginResetModel();
    m_cellColors.clear();
    std::vector<std::vector<vgTextStore::Slot>> cells(static_cast<std::size_t>(m_cols));
    for (auto& c : cells)
        c.reserve(static_cast<std::size_t>(m_rows));
    std::vector<RowInfo> infos;
    infos.reserve(m_rowInfo.size());
    QHash<int, int> moved; // old row -> new row, for the check marks
    qsizetype next = 0;
    int kept = 0;
    for (int r = 0; r < m_rows; ++r) {
        if (next < rows.size() && rows[next] == r) {
            ++next;
            continue;
        }
        if (!m_checks.isEmpty())
            moved.insert(r, kept);
        for (int c = 0; c < m_cols; ++c)
            cells[static_cast<std::size_t>(c)].push_back(column(c).slot(static_cast<std::size_t>(r)));
        if (!m_rowInfo.empty())
            infos.push_back(m_rowInfo[static_cast<std::size_t>(r)]);
        ++kept;
    }
    QHash<qint64, int> checks;
    for (auto it = m_checks.cbegin(); it != m_checks.cend(); ++it) {
        const int r = static_cast<int>(it.key() >> 20);
        if (moved.contains(r))
            checks.insert(key(moved.value(r), static_cast<int>(it.key() & 0xFFFFF)), it.value());
    }
    m_checks = std::move(checks);
    for (int c = 0; c < m_cols; ++c)
        column(c).adopt(std::move(cells[static_cast<std::size_t>(c)]));
    m_rowInfo = std::move(infos);
    m_rows = kept;
    endResetModel();
}

std::size_t vgGridModel::textBytes() const {
    std::size_t n = 0;
    for (const vgTextStore& c : m_columns)
        n += c.bytes();
    return n;
}

} // namespace vt
