#include "dbChunkWriter.h"

#include "clsConn.h"

#include <QElapsedTimer>

int& ChunkWriter::ChunkRows() {
    static int rows = 1000;
    return rows;
}

namespace {

// One run of chunks: left early, its open chunk is rolled back (its rows
// are not reported) and the run's end still waits for the disk.
class ChunkRun {
public:
    ChunkRun() { gConn->BeginChunkRun(); }
    ~ChunkRun() {
        if (m_open)
            gConn->RollbackChunk();
        gConn->EndChunkRun();
    }
    bool open() {
        if (m_open)
            return true;
        m_rows.clear();
        m_open = gConn->BeginChunk();
        m_clock.start();
        return m_open;
    }
    void stored(int row) { m_rows << row; }
    bool full() const { return m_rows.size() >= ChunkWriter::ChunkRows() || m_clock.elapsed() >= 1000; }
    // False when the commit failed: its rows are not stored.
    bool commit(ChunkWriter::Result& result, const std::function<void(const QList<int>&)>& committed) {
        if (!m_open)
            return true;
        m_open = false;
        const bool done = gConn->CommitChunk();
        if (done && !m_rows.isEmpty()) {
            result.stored += m_rows;
            if (committed)
                committed(m_rows);
        }
        m_rows.clear();
        return done;
    }

private:
    bool m_open = false;
    QList<int> m_rows;
    QElapsedTimer m_clock;
};

} // namespace

ChunkWriter::Result ChunkWriter::Run(const QList<int>& rows, const std::function<Step(int)>& step,
                                     const std::function<void(const QList<int>&)>& committed, OnFailure onFailure) {
    Result result;
    ChunkRun run;
    for (const int row : rows) {
        if (!run.open())
            return result;
        const Step s = step(row);
        if (s.kind == Step::Skip)
            continue;
        if (s.kind == Step::Stop) {
            result.stopped = true;
            run.commit(result, committed);
            return result;
        }
        if (gConn->CommandRan(gConn->ExeCommandInChunk(s.sql))) {
            // -1: the backend cannot tell; the statement is taken as done.
            if (s.mustChange && gConn->RowsChanged() == 0) {
                result.unchangedRow = row;
                run.commit(result, committed);
                return result;
            }
            run.stored(row);
        } else if (onFailure == OnFailure::Stop) {
            result.failedRow = row;
            run.commit(result, committed);
            return result;
        }
        if (run.full() && !run.commit(result, committed))
            return result;
    }
    result.complete = run.commit(result, committed);
    return result;
}
