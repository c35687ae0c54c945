#include "mduChunk.h"

#include "EditGrid.h"
#include "clsConn.h"

int& ChunkRunner::ChunkRows() {
    static int rows = 1000;
    return rows;
}

ChunkRunner::~ChunkRunner() {
    // Left open (an early return): nothing of it is kept, and its rows stay.
    if (m_open)
        gConn->RollbackChunk();
    endRun();
}

void ChunkRunner::endRun() {
    if (m_run) {
        m_run = false;
        gConn->EndChunkRun();
    }
}

bool ChunkRunner::open() {
    if (m_open)
        return true;
    m_rows.clear();
    m_labels.clear();
    if (!m_run) {
        gConn->BeginChunkRun();
        m_run = true;
    }
    m_open = gConn->BeginChunk();
    m_clock.start();
    return m_open;
}

void ChunkRunner::stored(int row, const QString& label) {
    m_rows << row;
    m_labels << label;
}

bool ChunkRunner::full() const { return m_rows.size() >= ChunkRows() || m_clock.elapsed() >= 1000; }

bool ChunkRunner::commit(vt::EditGrid* grid, QStringList& done) {
    if (!m_open)
        return true;
    m_open = false;
    if (!gConn->CommitChunk()) {
        m_rows.clear();
        m_labels.clear();
        return false;
    }
    grid->RemoveRows(m_rows);
    done += m_labels;
    m_rows.clear();
    m_labels.clear();
    return true;
}

bool ChunkRunner::finish(vt::EditGrid* grid, QStringList& done) {
    const bool committed = commit(grid, done);
    endRun();
    return committed;
}
