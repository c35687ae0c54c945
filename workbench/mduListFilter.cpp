#include "mduListFilter.h"

#include "mduPinyin.h"

void ListFilter::setSource(const vt::ValueArray& all) {
    m_all = all;
    m_hasSource = true;
    m_haystacks.clear();
    m_text.clear();
    m_rows.resize(std::size_t(all.rows()));
    for (std::size_t r = 0; r < m_rows.size(); ++r)
        m_rows[r] = int(r);
}

void ListFilter::forget() {
    m_hasSource = false;
    m_all = vt::ValueArray();
    m_haystacks.clear();
    m_rows.clear();
}

void ListFilter::prepare() {
    if (m_haystacks.size() == std::size_t(m_all.rows()))
        return;
    // "number|surname given|…" then the same texts' initials: a match never
    // runs across two fields.
    m_haystacks.assign(std::size_t(m_all.rows()), QString());
    QString texts;
    for (int r = 0; r < m_all.rows(); ++r) {
        texts.clear();
        for (const std::vector<int>& field : m_fields) {
            for (int c : field)
                if (c < m_all.cols())
                    texts += m_all.displayText(c, r);
            texts += QLatin1Char('\x1f');
        }
        // Characters without an initial are no match for a typed "*".
        QString initials = PinyinInitials(texts);
        initials.replace(QLatin1Char('*'), QLatin1Char('\x1f'));
        m_haystacks[std::size_t(r)] = (texts + initials).toCaseFolded();
    }
}

vt::ValueArray ListFilter::apply(const QString& typed) {
    const QString text = typed.trimmed().toCaseFolded();
    if (text.isEmpty()) {
        m_text.clear();
        m_rows.resize(std::size_t(m_all.rows()));
        for (std::size_t r = 0; r < m_rows.size(); ++r)
            m_rows[r] = int(r);
        return m_all;
    }
    prepare();
    // Typing on only narrows: the rows of the last text are enough.
    const bool narrower = !m_text.isEmpty() && text.contains(m_text);
    std::vector<int> kept;
    kept.reserve(narrower ? m_rows.size() : m_haystacks.size());
    if (narrower) {
        for (int r : m_rows)
            if (m_haystacks[std::size_t(r)].contains(text))
                kept.push_back(r);
    } else {
        for (std::size_t r = 0; r < m_haystacks.size(); ++r)
            if (m_haystacks[r].contains(text))
                kept.push_back(int(r));
    }
    m_rows = std::move(kept);
    m_text = text;
    return m_all.selectRows(m_rows);
}
