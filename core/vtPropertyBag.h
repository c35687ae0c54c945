#pragma once
// The saved-property store of a form's control: names and values in the
// order they were written (the order a control writes its properties is
// part of what it stores), a name written again keeping its place.
#include "vtCoreExport.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>

namespace vt {

class VANTELO_CORE_EXPORT PropertyBag {
public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<QString, QVariant>> items);

    // Stores value under name: in place when the name is there already.
    void insert(const QString& name, const QVariant& value);
    bool contains(const QString& name) const { return indexOf(name) >= 0; }
    // The value stored under name, or absent.
    QVariant value(const QString& name, const QVariant& absent = QVariant()) const;
    // The names in the order they were first written.
    QStringList keys() const;
    qsizetype size() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }

private:
    qsizetype indexOf(const QString& name) const;
    QList<QPair<QString, QVariant>> m_items;
};

} // namespace vt
