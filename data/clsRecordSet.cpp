#include "clsRecordSet.h"

#include "dbBackend.h"

#include <QRegularExpression>

clsRecordSet::clsRecordSet(std::shared_ptr<DbBackend> backend, const QString& source)
    : m_backend(std::move(backend)) {
    if (!m_backend || !m_backend->isOpen())
        throw ClosedConnectionError();
    DbResult r = m_backend->execute(source, {}, 180);
    if (!r.hasRowSet)
        throw ClosedConnectionError();
    m_names = r.columnNames;
    m_rows = std::move(r.rows);
    // Only rows of one table, selected whole, can be changed.
    static const QRegularExpression single(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)\s*(?:where\s+(.*))?$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    if (const auto m = single.match(source); m.hasMatch()) {
        m_table = m.captured(1);
        m_condition = m.captured(2).trimmed();
    }
}

int clsRecordSet::column(const QString& name) const {
    for (int i = 0; i < m_names.size(); ++i)
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant clsRecordSet::Field(const QString& name) const { return Field(column(name)); }

QVariant clsRecordSet::Field(int index) const {
    if (index < 0 || index >= m_names.size() || isEOF())
        return {};
    if (auto it = m_changes.constFind(index); it != m_changes.constEnd())
        return *it;
    return m_rows.at(index, m_row);
}

vt::ValueArray clsRecordSet::GetRows() {
    vt::ValueArray out(static_cast<int>(m_names.size()), 0);
    for (; m_row < m_rows.rows(); ++m_row) {
        const int r = out.appendRow();
        for (int c = 0; c < m_names.size(); ++c)
            out.set(c, r, m_rows.at(c, m_row));
    }
    return out;
}

qint64 clsRecordSet::ActualSize(const QString& name) const {
    const QVariant v = Field(name);
    return vt::isNothing(v) ? 0 : v.toByteArray().size();
}

QByteArray clsRecordSet::GetChunk(const QString& name, qint64 bytes) {
    const int c = column(name);
    const QVariant v = Field(c);
    if (c < 0 || vt::isNothing(v) || bytes <= 0)
        return {};
    const QByteArray all = v.toByteArray();
    qint64& at = m_chunkRead[c];
    const QByteArray piece = all.mid(at, bytes);
    at += piece.size();
    return piece;
}

void clsRecordSet::AddNew() {
    m_row = m_rows.appendRow();
    m_adding = true;
    m_changes.clear();
    m_chunkRead.clear();
}

void clsRecordSet::SetField(const QString& name, const QVariant& value) {
    const int c = column(name);
    if (c < 0)
        throw NoSuchItemError();
    if (isEOF())
        throw NoCurrentRecordError();
    m_changes.insert(c, value);
}

void clsRecordSet::AppendChunk(const QString& name, const QByteArray& piece) {
    const int c = column(name);
    if (c < 0)
        throw NoSuchItemError();
    if (isEOF())
        throw NoCurrentRecordError();
    auto it = m_changes.find(c);
    if (it == m_changes.end())
        m_changes.insert(c, QVariant(piece)); // the first piece replaces the field
    else
        *it = QVariant(it->toByteArray() + piece);
}

void clsRecordSet::Update() {
    if (m_changes.isEmpty()) {
        m_adding = false;
        return;
    }
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("当前记录集不支持更新。"));
    QList<DbParam> params;
    QString sql;
    QList<int> cols = m_changes.keys();
    std::sort(cols.begin(), cols.end());
    if (m_adding) {
        QString names, markers;
        for (int c : cols) {
            names += (names.isEmpty() ? QString() : QStringLiteral(",")) + m_names[c];
            markers += markers.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
            DbParam p;
            p.value = m_changes[c];
            params << p;
        }
        sql = QStringLiteral("insert into %1 (%2) values (%3)").arg(m_table, names, markers);
    } else {
        QString sets;
        for (int c : cols) {
            sets += (sets.isEmpty() ? QString() : QStringLiteral(",")) + m_names[c] + QStringLiteral("=?");
            DbParam p;
            p.value = m_changes[c];
            params << p;
        }
        // The row is the one the source selected whose other values are still
        // those that were read.
        QString where = m_condition.isEmpty() ? QStringLiteral("1=1") : QStringLiteral("(") + m_condition + QLatin1Char(')');
        for (int c = 0; c < m_names.size(); ++c) {
            const QVariant& v = m_rows.at(c, m_row);
            if (vt::isNothing(v) || v.metaType().id() == QMetaType::QByteArray)
                continue;
            where += QStringLiteral(" and ") + m_names[c] + QStringLiteral("=?");
            DbParam p;
            p.value = v;
            params << p;
        }
        sql = QStringLiteral("update %1 set %2 where %3").arg(m_table, sets, where);
    }
    m_backend->execute(sql, params, 180);
    for (auto it = m_changes.cbegin(); it != m_changes.cend(); ++it)
        m_rows.set(it.key(), m_row, it.value());
    m_changes.clear();
    m_adding = false;
}

void clsRecordSet::Close() {
    m_rows = vt::ValueArray();
    m_row = 0;
    m_changes.clear();
}
