#pragma once
// The texts of the grid's cells, packed: every cell is an offset and a
// length into one block of UTF-16 text, not a string object of its own. A
// longer text written over a cell goes to the end of the block; the block
// is rewritten without the texts nobody refers to any more once they make
// up more than half of it.
#include "common/vtExport.h"

#include <QString>
#include <QStringView>
#include <vector>

namespace vt {

class VANTELO_EXPORT vgTextStore {
public:
    // Where one cell's text lies in the block.
    struct Slot {
        quint32 at = 0;
        quint32 size = 0;
    };

    std::size_t size() const { return m_slots.size(); }
    QStringView view(std::size_t i) const {
        const Slot s = m_slots[i];
        return QStringView(m_pool.data() + s.at, static_cast<qsizetype>(s.size));
    }
    QString text(std::size_t i) const { return view(i).toString(); }
    void set(std::size_t i, QStringView text);
    // New cells are empty; cells beyond n are dropped.
    void resize(std::size_t n);
    // Drops the cells from..to-1; the ones after move up.
    void erase(std::size_t from, std::size_t to);
    Slot slot(std::size_t i) const { return m_slots[i]; }
    // Takes a new arrangement of slots of this store (cells moved, dropped
    // or added as empty ones), each slot used at most once.
    void adopt(std::vector<Slot> arranged);
    // Room for this many more characters, ahead of a load.
    void reserveText(std::size_t chars) { m_pool.reserve(m_pool.size() + chars); }
    // Bytes held, for the memory figures.
    std::size_t bytes() const { return m_slots.capacity() * sizeof(Slot) + m_pool.capacity() * sizeof(char16_t); }

private:
    void compactIfWasteful();
    std::vector<Slot> m_slots;
    std::vector<char16_t> m_pool;
    std::size_t m_live = 0; // characters that slots refer to
};

} // namespace vt
