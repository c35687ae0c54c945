#include "vgTextStore.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vt {

void vgTextStore::set(std::size_t i, QStringView text) {
    Slot& s = m_slots[i];
    const std::size_t n = static_cast<std::size_t>(text.size());
    const char16_t* chars = text.utf16();
    m_live = m_live - s.size + n;
    if (n <= s.size) {
        // Fits where the old text was: written in place.
        std::copy(chars, chars + n, m_pool.begin() + s.at);
        s.size = static_cast<quint32>(n);
        return;
    }
    if (m_pool.size() + n > 0xFFFFFFFFu) {
        compactIfWasteful();
        if (m_pool.size() + n > 0xFFFFFFFFu)
            throw std::length_error("grid texts exceed 4 G characters");
    }
    Slot& fresh = m_slots[i]; // compacting keeps the slot vector in place
    fresh.at = static_cast<quint32>(m_pool.size());
    fresh.size = static_cast<quint32>(n);
    m_pool.insert(m_pool.end(), chars, chars + n);
    compactIfWasteful();
}

void vgTextStore::resize(std::size_t n) {
    for (std::size_t i = n; i < m_slots.size(); ++i)
        m_live -= m_slots[i].size;
    m_slots.resize(n);
    compactIfWasteful();
}

void vgTextStore::erase(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        m_live -= m_slots[i].size;
    m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(from),
                  m_slots.begin() + static_cast<std::ptrdiff_t>(to));
    compactIfWasteful();
}

void vgTextStore::adopt(std::vector<Slot> arranged) {
    m_slots = std::move(arranged);
    m_live = 0;
    for (const Slot& s : m_slots)
        m_live += s.size;
    compactIfWasteful();
}

void vgTextStore::compactIfWasteful() {
    if (m_pool.size() < 65536 || m_pool.size() / 2 < m_live)
        return;
    std::vector<char16_t> pool;
    pool.reserve(m_live);
    for (Slot& s : m_slots) {
        const quint32 at = static_cast<quint32>(pool.size());
        pool.insert(pool.end(), m_pool.begin() + s.at, m_pool.begin() + s.at + s.size);
        s.at = at;
    }
    m_pool = std::move(pool);
}

} // namespace vt
