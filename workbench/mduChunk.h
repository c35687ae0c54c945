#pragma once
// Storing many rows of a grid in chunks: one transaction for at most
// ChunkRows rows or about a second, each row with a savepoint of its own
// (a failing row is rolled back alone and stays); a committed chunk's rows
// leave the grid together, in one change of the grid. The chunks' commits
// do not each wait for the disk; finish waits once for all of them, so
// what is reported stored is on the disk.
#include <QElapsedTimer>
#include <QList>
#include <QStringList>

namespace vt {
class EditGrid;
}

class ChunkRunner {
public:
    // The most rows in one chunk; tests make it smaller.
    static int& ChunkRows();

    ~ChunkRunner();
    // Begins a chunk when none is open; false when the transaction could not
    // begin (the connection has shown why).
    bool open();
    // A row whose statement ran in the open chunk, and what it stands for.
    void stored(int row, const QString& label);
    bool full() const;
    // Commits the open chunk; its rows leave the grid and their labels are
    // added to done. False when the commit failed: its rows stay.
    bool commit(vt::EditGrid* grid, QStringList& done);
    // The last commit of the run: then every chunk committed is on the disk.
    bool finish(vt::EditGrid* grid, QStringList& done);

private:
    void endRun();

    bool m_open = false;
    bool m_run = false; // a run of chunks has begun and not yet waited for the disk
    QList<int> m_rows;
    QStringList m_labels;
    QElapsedTimer m_clock;
};
