#include "vgTextStore.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vt {

void vgTextStore::set(std::size_t i, QStringView text) {
    write(i, text);
    tidy();
}

void vgTextStore::write(std::size_t i, QStringView text) {
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
    for (std::size_t i = n; i < m_slots.size(); ++i)
        release(m_slots[i]);
    m_slots.resize(n);
    tidy();
}

void vgTextStore::erase(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        release(m_slots[i]);
    m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(from),
                  m_slots.begin() + static_cast<std::ptrdiff_t>(to));
    tidy();
}

void vgTextStore::adopt(std::vector<Slot> arranged) {
    m_slots = std::move(arranged);
    m_liveOwn = m_liveTaken = 0;
    for (const Slot& s : m_slots)
        liveOf(s) += s.size;
    tidy();
}

void vgTextStore::takeColumn(std::size_t first, const ValueArray& a, int col) {
    const ValueArray::TextBlock block = a.textBlock(col);
    if (m_taken && m_taken != block)
        moveTakenToOwn(); // one taken block at a time
    m_taken = block;
    const std::size_t rows = static_cast<std::size_t>(a.rows());
    if (m_slots.size() < first + rows)
        m_slots.resize(first + rows);
    for (std::size_t r = 0; r < rows; ++r) {
        Slot& s = m_slots[first + r];
        release(s);
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
           (m_taken ? m_taken->capacity() * sizeof(char16_t) : 0);
}

void vgTextStore::moveTakenToOwn() {
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
    if (m_taken && m_liveTaken == 0)
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
