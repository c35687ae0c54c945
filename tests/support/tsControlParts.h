#pragma once
// The inner parts of the library's controls, for tests that drive them with
// real key and mouse input or look at what they show. Programs reach the
// controls only through their members; a test finds the parts by the
// object names the controls give them.
#include "EditGrid.h"
#include "ucCheckList.h"
#include "ucInput.h"
#include "ucList.h"
#include "vgGrid.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace parts {

template <typename T> T* named(const QObject* owner, const char* name) {
    T* found = owner->findChild<T*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    Q_ASSERT(found);
    return found;
}

inline vt::vgGrid* grid(const vt::EditGrid* g) { return named<vt::vgGrid>(g, "GRID"); }
inline QLineEdit* editor(const vt::EditGrid* g) { return named<QLineEdit>(g, "txtEdit"); }
inline QPushButton* selectButton(const vt::EditGrid* g) { return named<QPushButton>(g, "cmdSelect"); }
inline QAction* addRowItem(const vt::EditGrid* g) { return g->findChild<QAction*>(QStringLiteral("mnAddRow")); }
inline QAction* deleteItem(const vt::EditGrid* g) { return g->findChild<QAction*>(QStringLiteral("mnDelete")); }
// The in-cell list of a column ("ucSelect" and the column's number), and all
// of them in column order.
inline vt::ucList* list(const vt::EditGrid* g, int col) {
    return g->findChild<vt::ucList*>(QStringLiteral("ucSelect%1").arg(col), Qt::FindDirectChildrenOnly);
}
inline QList<vt::ucList*> lists(const vt::EditGrid* g) {
    QList<vt::ucList*> all;
    while (vt::ucList* l = list(g, static_cast<int>(all.size())))
        all << l;
    return all;
}

inline QLineEdit* codeBox(const vt::ucInput* p) { return named<QLineEdit>(p, "txtKey"); }
inline QComboBox* nameList(const vt::ucInput* p) { return named<QComboBox>(p, "dcSelect"); }
inline QFrame* line(const vt::ucInput* p) { return named<QFrame>(p, "imgLine"); }
inline QListWidget* box(const vt::ucList* l) { return named<QListWidget>(l, "dcSelect"); }
inline QListWidget* box(const vt::ucCheckList* l) { return named<QListWidget>(l, "dcSelect"); }

} // namespace parts

namespace parts {
inline QComboBox* dcSelectOf(const vt::ucInput* p) { return nameList(p); }
inline QListWidget* dcSelectOf(const vt::ucList* l) { return box(l); }
inline QListWidget* dcSelectOf(const vt::ucCheckList* l) { return box(l); }
} // namespace parts
