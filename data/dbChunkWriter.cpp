#include "dbChunkWriter.h"

#include "clsConn.h"

#include <QElapsedTimer>

#include <algorithm>

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
    // The open chunk given up: its rows are not stored.
    void rollback() {
        if (m_open)
            gConn->RollbackChunk();
        m_open = false;
        m_rows.clear();
    }
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

// One row's statement in the open chunk: false when the run ends there.
bool runRow(ChunkRun& run, int row, const ChunkWriter::Step& s, ChunkWriter::Result& result,
            const std::function<void(const QList<int>&)>& committed, ChunkWriter::OnFailure onFailure) {
    if (gConn->CommandRan(gConn->ExeCommandInChunk(s.sql))) {
        // -1: the backend cannot tell; the statement is taken as done.
        if (s.mustChange && gConn->RowsChanged() == 0) {
            result.unchangedRow = row;
            run.commit(result, committed);
            return false;
        }
        run.stored(row);
    } else if (onFailure == ChunkWriter::OnFailure::Stop) {
        result.failedRow = row;
        run.commit(result, committed);
        return false;
    }
    return !(run.full() && !run.commit(result, committed));
}

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
        if (!runRow(run, row, s, result, committed, onFailure))
            return result;
    }
    result.complete = run.commit(result, committed);
    return result;
}

ChunkWriter::Result ChunkWriter::RunInSets(const QList<int>& rows, const Sets& sets,
                                           const std::function<void(const QList<int>&)>& committed,
                                           OnFailure onFailure) {
    Result result;
    ChunkRun run;
    const int size = std::max(1, std::min(sets.rowsPerChunk, ChunkRows()));
    for (qsizetype from = 0; from < rows.size(); from += size) {
        const QList<int> chunk = rows.mid(from, size);
        if (!run.open())
            return result;
        if (sets.read)
            sets.read(chunk);
        QList<std::pair<int, Step>> steps;
        QList<int> storing;
        bool stop = false;
        for (const int row : chunk) {
            steps.append({row, sets.step(row)});
            if (steps.last().second.kind == Step::Stop) {
                stop = true;
                break;
            }
            if (steps.last().second.kind == Step::Store)
                storing << row;
        }
        bool together = storing.isEmpty();
        if (!together) {
            const Many many = sets.together(storing);
            const qint64 changed = gConn->ExeManyInChunk(many.sql, many.values) ? gConn->RowsChanged() : -2;
            // -1: the backend cannot tell; the statement is taken as done.
            together = changed == -1 || changed == storing.size();
        }
        if (together) {
            for (const auto& [row, s] : steps) {
                if (sets.passed)
                    sets.passed(row, s);
                if (s.kind == Step::Store)
                    run.stored(row);
            }
            if (stop) {
                result.stopped = true;
                run.commit(result, committed);
                return result;
            }
            if (!run.commit(result, committed))
                return result;
            continue;
        }
        // The chunk again, row by row, on a new transaction.
        run.rollback();
        for (const auto& [row, s] : steps) {
            if (!run.open())
                return result;
            if (sets.passed)
                sets.passed(row, s);
            if (s.kind == Step::Skip)
                continue;
            if (s.kind == Step::Stop) {
                result.stopped = true;
                run.commit(result, committed);
                return result;
            }
            if (!runRow(run, row, s, result, committed, onFailure))
                return result;
        }
        if (!run.commit(result, committed))
            return result;
    }
    result.complete = run.commit(result, committed);
    return result;
}
