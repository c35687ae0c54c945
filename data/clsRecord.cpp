#include "clsRecord.h"

#include "clsRecordSet.h"
#include "vtError.h"
#include "dbBackend.h"

bool clsRecord::take(const QStringList& names, const vt::ValueArray& rows) {
    QHash<QString, short> numbers;
    for (int i = 0; i < names.size(); ++i) {
        const QString key = names[i].toLower();
        if (numbers.contains(key))
            throw vt::Error(457, QStringLiteral("此键已经与该集合的一个元素相关联"));
        numbers.insert(key, static_cast<short>(i));
    }
    m_colNumbers = std::move(numbers);
    m_names = names;
    m_hasNames = true;
    m_data = vt::toVariant(rows);
    return true;
}

bool clsRecord::GetRecord(clsRecordSet& rs) {
    if (rs.isEOF())
        return false;
    QStringList names;
    for (int i = 0; i < rs.FieldCount(); ++i)
        names << rs.FieldName(i);
    return take(names, rs.GetRows());
}

bool clsRecord::GetRecord(const DbResult& result) {
    if (!result.hasRowSet || result.rows.rows() == 0)
        return false;
    return take(result.columnNames, result.rows);
}

QVariant clsRecord::value(const QVariant& colIndex, int rowIndex) const {
    const auto error = [&colIndex] {
        return vt::Error(5010, QStringLiteral("错误的列名或没有记录:") + colIndex.toString());
    };
    if (!vt::isArray(m_data))
        throw error();
    const vt::ValueArray& data = *static_cast<const vt::ValueArray*>(m_data.constData());
    int col = -1;
    bool numeric = false;
    const int typeId = colIndex.metaType().id();
    if (typeId == QMetaType::Int || typeId == QMetaType::LongLong || typeId == QMetaType::Short ||
        typeId == QMetaType::Double || typeId == QMetaType::UInt) {
        col = colIndex.toInt(&numeric);
    }
    if (!numeric) {
        const auto it = m_colNumbers.constFind(colIndex.toString().toLower());
        if (it == m_colNumbers.constEnd())
            throw error();
        col = *it;
    }
    if (!data.inRange(col, rowIndex))
        throw error();
    return data.at(col, rowIndex);
}

int clsRecord::ListCount() const { return vt::isArray(m_data) ? vt::toArray(m_data).rows() : 0; }

short clsRecord::ColCount() const {
    return vt::isArray(m_data) ? static_cast<short>(vt::toArray(m_data).cols()) : 0;
}

short clsRecord::GetFieldCount() const { return m_hasNames ? static_cast<short>(m_names.size()) : 0; }

QString clsRecord::GetFieldName(short& index) const {
    if (!m_hasNames || index < 0 || index >= m_names.size())
        throw vt::Error(9, QStringLiteral("下标越界"));
    return m_names[index];
}
