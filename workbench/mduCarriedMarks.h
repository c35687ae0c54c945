#pragma once
// The marks of entry fields whose values New carried over from the last
// card: a light tint and the tooltip "沿用上一张", until the clerk types in
// the field or the card is saved, opened or emptied.
#include <QColor>
#include <QHash>
#include <QObject>
#include <QPalette>
#include <QSet>

class QWidget;

class CarriedMarks : public QObject {
    Q_OBJECT
public:
    // Light peach: apart from the house blue and from the warnings' yellow.
    static QColor Tint() { return QColor(255, 228, 204); }
    static QString Hint() { return QStringLiteral("沿用上一张"); }

    explicit CarriedMarks(QObject* parent = nullptr) : QObject(parent) {}

    // Marks each of the fields (line edits and plain text boxes) that holds
    // text; fields typed in lose their mark.
    void Mark(const QList<QWidget*>& fields);
    void Clear(QWidget* field);
    void ClearAll();
    bool IsMarked(QWidget* field) const { return m_marked.contains(field); }

private:
    struct Before {
        QPalette palette;
        QString toolTip;
    };
    QHash<QWidget*, Before> m_marked;
    QSet<QWidget*> m_watched; // fields whose edits are followed
};
