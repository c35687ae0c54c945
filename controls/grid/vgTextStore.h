#pragma once
// The texts of one column of the grid, packed: every cell is an offset and a
// length into a block of UTF-16 text, not a string object of its own. Texts
// come from two blocks: the column's own, where edits go, and one taken
// over from a loaded value array, shared with it and never written. A
// longer text written over a cell goes to the end of the own block; a
// block is rewritten (or the taken one let go) once more than half of it is
// no longer referred to.
#include "common/vtExport.h"
#include "vtValue.h"

#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

namespace vt {

class VANTELO_EXPORT vgTextStore {
public:
    // Where one cell's text lies; the top bit of `at` marks the own block.
    struct Slot {
        quint32 at = Own;
        quint32 size = 0;
    };
    static constexpr quint32 Own = 0x80000000u;

    std::size_t size() const { return m_slots.size(); }
    QStringView view(std::size_t i) const {
        const Slot s = m_slots[i];
        const char16_t* base = (s.at & Own) ? m_own.data() + (s.at & ~Own) : m_taken->data() + s.at;
        return QStringView(base, static_cast<qsizetype>(s.size));
    }
    QString text(std::size_t i) const { return view(i).toString(); }
    void set(std::size_t i, QStringView text);
    // New cells are empty; cells beyond n are dropped.
    void resize(std::size_t n);
    // Drops the cells from..to-1; the ones after move up.
    void erase(std::size_t from, std::size_t to);
    Slot slot(std::size_t i) const { return m_slots[i]; }
    // Takes a new arrangement of this store's slots (cells moved, dropped or
    // added as empty ones), each slot used at most once.
    void adopt(std::vector<Slot> arranged);
    // Cells first.. take column `col` of the array: its texts by reference
    // to the array's block, other values as the text they show.
    void takeColumn(std::size_t first, const ValueArray& a, int col);
    // Bytes held for the cells (a taken block counted whole), for the figures.
    std::size_t bytes() const;

private:
    std::size_t& liveOf(const Slot& s) { return (s.at & Own) ? m_liveOwn : m_liveTaken; }
    void release(const Slot& s) { liveOf(s) -= s.size; }
    void write(std::size_t i, QStringView text); // set() without tidying
    void moveTakenToOwn();
    void tidy();
    std::vector<Slot> m_slots;
    std::vector<char16_t> m_own;
    ValueArray::TextBlock m_taken;
    std::size_t m_liveOwn = 0;   // characters of the own block that slots refer to
    std::size_t m_liveTaken = 0; // the same for the taken block
};

} // namespace vt
