#include "vtPropertyBag.h"

namespace vt {

PropertyBag::PropertyBag(std::initializer_list<std::pair<QString, QVariant>> items) {
    for (const auto& [name, value] : items)
        insert(name, value);
}

qsizetype PropertyBag::indexOf(const QString& name) const {
    for (qsizetype i = 0; i < m_items.size(); ++i)
        if (m_items[i].first == name)
            return i;
    return -1;
}

void PropertyBag::insert(const QString& name, const QVariant& value) {
    const qsizetype i = indexOf(name);
    if (i >= 0)
        m_items[i].second = value;
    else
        m_items.append({name, value});
}

QVariant PropertyBag::value(const QString& name, const QVariant& absent) const {
    const qsizetype i = indexOf(name);
    return i >= 0 ? m_items[i].second : absent;
}

QStringList PropertyBag::keys() const {
    QStringList out;
    out.reserve(m_items.size());
    for (const auto& item : m_items)
        out << item.first;
    return out;
}

} // namespace vt
