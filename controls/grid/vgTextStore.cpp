#include "vgTextStore.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vt {

void vgTextStore::materialize(std::size_t rows) {
    rows = std::min(rows, m_size);
    if (rows <= m_slots.size())
        return;
    const std::size_t from = m_slots.size();
    m_slots.resize(rows);
    if (!m_borrowed)
        return;
    for (std::size_t i = std::max(from, m_borrowedAt); i < rows && i - m_borrowedAt < m_borrowedRows; ++i) {
        const ValueArray::Span s = (*m_borrowed)[i - m_borrowedAt];
        m_slots[i] = s.size ? Slot{s.at, s.size} : Slot();
    }
    // Once every borrowed row has its own slot, the offsets are let go.
    if (rows >= m_borrowedAt + m_borrowedRows)
        m_borrowed.reset();
}

void vgTextStore::dropBorrowedFrom(std::size_t n) {
    if (!m_borrowed)
        return;
    const std::size_t end = m_borrowedAt + m_borrowedRows;
    if (n >= end)
        return;
    // Rows with slots of their own count through their slots; the others
    // through the offsets let go here.
    for (std::size_t i = std::max({n, m_borrowedAt, m_slots.size()}); i < end; ++i)
        m_liveTaken -= (*m_borrowed)[i - m_borrowedAt].size;
    m_borrowedRows = n > m_borrowedAt ? n - m_borrowedAt : 0;
    if (m_borrowedRows == 0 || m_slots.size() >= m_borrowedAt + m_borrowedRows)
        m_borrowed.reset();
}

void vgTextStore::set(std::size_t i, QStringView text) {
    write(i, text);
    tidy();
}

void vgTextStore::write(std::size_t i, QStringView text) {
    materialize(i + 1);
    Slot& s = m_slots[i];
    const std::size_t n = static_cast<std::size_t>(text.size());
    const char16_t* chars = text.utf16();
    release(s);
    m_liveOwn += n;
    if ((s.at & Own) && n <= s.size) {
        // Fits where the old text was in the own block: written in place.
        std::copy(chars, chars + n, m_own.begin() + (s.at & ~Own));
        s.size = static_cast<quint32>(n);
        return;
    }
    if (m_own.size() + n >= Own)
        throw std::length_error("a grid column's texts exceed 2 G characters");
    s.at = Own | static_cast<quint32>(m_own.size());
    s.size = static_cast<quint32>(n);
    m_own.insert(m_own.end(), chars, chars + n);
}

void vgTextStore::resize(std::size_t n) {
    if (n < m_size) {
        // Cut off the end: the rows that stay keep what they read.
        dropBorrowedFrom(n);
        for (std::size_t i = n; i < m_slots.size(); ++i)
            release(m_slots[i]);
        if (m_slots.size() > n)
            m_slots.resize(n);
    }
    // Growing only moves the end: the new rows are empty without a slot.
    m_size = n;
    tidy();
}

void vgTextStore::erase(std::size_t from, std::size_t to) {
    // The last rows (a chunk stored from the bottom of a batch) are cut off
    // the end without giving the rows above slots of their own.
    if (from < to && to >= m_size && from < m_size) {
        resize(from);
        return;
    }
    materialize(m_size);
    to = std::min(to, m_slots.size());
    for (std::size_t i = from; i < to; ++i)
        release(m_slots[i]);
    if (from < to)
        m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(from),
                      m_slots.begin() + static_cast<std::ptrdiff_t>(to));
    m_size = m_slots.size();
    tidy();
}

void vgTextStore::adopt(std::vector<Slot> arranged) {
    m_borrowed.reset();
    m_slots = std::move(arranged);
    m_size = m_slots.size();
    m_liveOwn = m_liveTaken = 0;
    for (const Slot& s : m_slots)
        liveOf(s) += s.size;
    tidy();
}

void vgTextStore::takeColumn(std::size_t first, const ValueArray& a, int col) {
    const ValueArray::TextBlock block = a.textBlock(col);
    const std::size_t rows = static_cast<std::size_t>(a.rows());
    // Rows first.. are replaced: what they held is let go, a previous load's
    // offsets without copying them into slots first. Rows above keep their
    // texts: the borrowed ones among them get slots of their own.
    if (m_borrowed && m_borrowedAt < first)
        materialize(first);
    dropBorrowedFrom(first);
    m_borrowed.reset();
    for (std::size_t i = first; i < m_slots.size(); ++i)
        release(m_slots[i]);
    if (m_slots.size() > first)
        m_slots.resize(first);
    const std::size_t size = std::max(m_size, first + rows);
    m_size = std::min(m_size, first);
    // One taken block at a time: rows above that still use another one get
    // their texts copied into the own block.
    if (m_taken && m_taken != block) {
        if (m_liveTaken)
            moveTakenToOwn();
        m_taken.reset();
    }
    m_size = size;
    m_taken = block;
    if (!a.hasOtherValues(col)) {
        // Texts and numbers only: the array's offsets are read as they are.
        m_borrowed = a.spans(col);
        m_borrowedAt = first;
        m_borrowedRows = m_borrowed->size();
        m_liveTaken += a.textChars(col);
        tidy();
        return;
    }
    m_slots.resize(first + rows);
    for (std::size_t r = 0; r < rows; ++r) {
        Slot& s = m_slots[first + r];
        switch (a.kind(col, static_cast<int>(r))) {
        case ValueArray::Kind::Text: case ValueArray::Kind::Integer: case ValueArray::Kind::Real: {
            // An empty text needs no block: it is an empty own slot, so that
            // letting the taken block go never leaves a slot pointing into it.
            const ValueArray::Span span = a.span(col, static_cast<int>(r));
            s = span.size ? Slot{span.at, span.size} : Slot();
            m_liveTaken += span.size;
            break;
        }
        case ValueArray::Kind::Empty: case ValueArray::Kind::Null:
            s = Slot();
            break;
        case ValueArray::Kind::Other:
            s = Slot();
            write(first + r, a.displayText(col, static_cast<int>(r)));
            break;
        }
    }
    tidy();
}

std::size_t vgTextStore::bytes() const {
    return m_slots.capacity() * sizeof(Slot) + m_own.capacity() * sizeof(char16_t) +
           (m_taken ? m_taken->capacity() * sizeof(char16_t) : 0) +
           (m_borrowed ? m_borrowed->capacity() * sizeof(ValueArray::Span) : 0);
}

void vgTextStore::moveTakenToOwn() {
    materialize(m_size);
    for (Slot& s : m_slots) {
        if (s.at & Own)
            continue;
        const quint32 at = Own | static_cast<quint32>(m_own.size());
        m_own.insert(m_own.end(), m_taken->begin() + s.at, m_taken->begin() + s.at + s.size);
        s.at = at;
        m_liveOwn += s.size;
    }
    m_liveTaken = 0;
    m_taken.reset();
}

void vgTextStore::tidy() {
    if (m_slots.capacity() > 2 * m_slots.size() + 1024)
        m_slots.shrink_to_fit();
    // A taken block mostly of texts nobody shows any more is let go.
    if (m_taken && m_liveTaken * 2 < m_taken->size() && m_taken->size() >= 65536)
        moveTakenToOwn();
    if (m_taken && m_liveTaken == 0 && !m_borrowed)
        m_taken.reset();
    if (m_own.size() < 65536 || m_own.size() / 2 < m_liveOwn)
        return;
    std::vector<char16_t> own;
    own.reserve(m_liveOwn);
    for (Slot& s : m_slots) {
        if (!(s.at & Own))
            continue;
        const std::size_t from = s.at & ~Own;
        s.at = Own | static_cast<quint32>(own.size());
        own.insert(own.end(), m_own.begin() + static_cast<std::ptrdiff_t>(from),
                   m_own.begin() + static_cast<std::ptrdiff_t>(from + s.size));
    }
    m_own = std::move(own);
}

} // namespace vt
