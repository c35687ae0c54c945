#pragma once
// The filter of a record list: the list as loaded is kept, and the rows
// whose card number, patient, doctor or hospital (or their pinyin initials)
// contain the typed text are handed to the grid. The search texts of the
// rows are made on the first use; typing on narrows the last result.
#include "vtValue.h"

#include <QString>
#include <QStringList>
#include <vector>

class ListFilter {
public:
    // The fields searched, each one or more array columns (the grid's
    // columns one to the left) read as one text: a surname and a given name
    // together, so that a whole name is found.
    explicit ListFilter(std::vector<std::vector<int>> fields) : m_fields(std::move(fields)) {}

    // The whole list as loaded; the filter starts over on it.
    void setSource(const vt::ValueArray& all);
    const vt::ValueArray& source() const { return m_all; }
    int total() const { return m_all.rows(); }
    // Whether the source was given since the last forget().
    bool hasSource() const { return m_hasSource; }
    // The source no longer matches the list (rows left it meanwhile).
    void forget();

    // Makes the rows' search texts now (the filter box took the focus), so
    // that the first key typed does not wait for them.
    void prepare();
    // The rows the text keeps, in the list's order (all for an empty text).
    vt::ValueArray apply(const QString& text);
    // The rows the last apply kept.
    int shown() const { return int(m_rows.size()); }
    bool active() const { return !m_text.isEmpty(); }

private:

    std::vector<std::vector<int>> m_fields;
    vt::ValueArray m_all;
    bool m_hasSource = false;
    std::vector<QString> m_haystacks; // per row: the searched texts and their initials, case folded
    QString m_text;                   // the text of the last apply, case folded
    std::vector<int> m_rows;          // the rows it kept
};
