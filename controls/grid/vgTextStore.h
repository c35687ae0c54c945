#pragma once
// The texts of one column of the grid, packed: every cell is an offset and a
// length into a block of UTF-16 text, not a string object of its own. Texts
// come from two blocks: the column's own, where edits go, and one taken
// over from a loaded value array, shared with it and never written. A
// column loaded from an array of texts and numbers also reads the array's
// own offsets until it is first changed, so a load copies nothing per cell.
// Rows past the last one written are empty without taking room. A longer
// text written over a cell goes to the end of the own block; a block is
// rewritten (or the taken one let go) once more than half of it is no
// longer referred to.
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

    std::size_t size() const { return m_size; }
    QStringView view(std::size_t i) const {
        const Slot s = slot(i);
        if (s.size == 0)
            return QStringView();
        const char16_t* base = (s.at & Own) ? m_own.data() + (s.at & ~Own) : m_taken->data() + s.at;
        return QStringView(base, static_cast<qsizetype>(s.size));
    }
    QString text(std::size_t i) const { return view(i).toString(); }
    Slot slot(std::size_t i) const {
        if (i < m_slots.size())
            return m_slots[i];
        if (m_borrowed && i >= m_borrowedAt && i - m_borrowedAt < m_borrowedRows) {
            const ValueArray::Span s = (*m_borrowed)[i - m_borrowedAt];
            return s.size ? Slot{s.at, s.size} : Slot();
        }
        return Slot();
    }
    void set(std::size_t i, QStringView text);
    // New cells are empty; cells beyond n are dropped.
    void resize(std::size_t n);
    // Drops the cells from..to-1; the ones after move up.
    void erase(std::size_t from, std::size_t to);
    // Takes a new arrangement of this store's slots (cells moved, dropped or
    // added as empty ones), each slot used at most once.
    void adopt(std::vector<Slot> arranged);
    // Cells first.. take column `col` of the array: its texts by reference
    // to the array's block, other values as the text they show.
    void takeColumn(std::size_t first, const ValueArray& a, int col);
    // Bytes held for the cells (shared blocks counted whole), for the figures.
    std::size_t bytes() const;

private:
    std::size_t& liveOf(const Slot& s) { return (s.at & Own) ? m_liveOwn : m_liveTaken; }
    void release(const Slot& s) { liveOf(s) -= s.size; }
    void write(std::size_t i, QStringView text); // set() without tidying
    // Every row up to `rows` gets a slot of its own (the array's offsets
    // copied); needed before the slots themselves change.
    void materialize(std::size_t rows);
    // Lets go of the borrowed offsets of rows n.. (rows cut off the end).
    void dropBorrowedFrom(std::size_t n);
    void moveTakenToOwn();
    void tidy();
    std::size_t m_size = 0;
    std::vector<Slot> m_slots; // rows 0.. that have slots of their own
    std::vector<char16_t> m_own;
    ValueArray::TextBlock m_taken;
    ValueArray::Spans m_borrowed; // the array's offsets for rows m_borrowedAt..
    std::size_t m_borrowedAt = 0;
    std::size_t m_borrowedRows = 0; // how many of those offsets are still rows here
    std::size_t m_liveOwn = 0;   // characters of the own block that slots refer to
    std::size_t m_liveTaken = 0; // the same for the taken block
};

} // namespace vt
