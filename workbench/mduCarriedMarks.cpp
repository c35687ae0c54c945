#include "mduCarriedMarks.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void CarriedMarks::Mark(const QList<QWidget*>& fields) {
    ClearAll();
    for (QWidget* w : fields) {
        QString text;
        const bool first = !m_watched.contains(w);
        m_watched.insert(w);
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            text = line->text();
            if (first)
                connect(line, &QLineEdit::textEdited, this, [this, w] { Clear(w); });
        } else if (auto* box = qobject_cast<QPlainTextEdit*>(w)) {
            text = box->toPlainText();
            // Only what the clerk changes there: the box has the focus then.
            if (first)
                connect(box, &QPlainTextEdit::textChanged, this, [this, box] {
                    if (box->hasFocus())
                        Clear(box);
                });
        }
        if (first)
            connect(w, &QObject::destroyed, this, [this, w] {
                m_marked.remove(w);
                m_watched.remove(w);
            });
        if (text.trimmed().isEmpty())
            continue;
        m_marked.insert(w, {w->palette(), w->toolTip()});
        QPalette p = w->palette();
        p.setColor(QPalette::Base, Tint());
        w->setPalette(p);
        w->setToolTip(Hint());
    }
}

void CarriedMarks::Clear(QWidget* field) {
    const auto it = m_marked.find(field);
    if (it == m_marked.end())
        return;
    field->setPalette(it->palette);
    field->setToolTip(it->toolTip);
    m_marked.erase(it);
}

void CarriedMarks::ClearAll() {
    const QList<QWidget*> fields = m_marked.keys();
    for (QWidget* w : fields)
        Clear(w);
}
