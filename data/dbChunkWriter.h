#pragma once
// Runs many rows' statements through the connection object in chunks: one
// transaction for at most ChunkRows rows or about a second, each row with a
// savepoint of its own (a failing row is rolled back alone). The chunks'
// commits do not each wait for the disk; the end of the run waits once for
// all of them, so what is reported stored is on the disk and a kill leaves
// whole chunks only. The rows are numbers of the caller's own; the writer
// says which of them were stored, chunk by chunk as each is committed.
#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

class ChunkWriter {
public:
    // The most rows in one chunk; tests make it smaller.
    static int& ChunkRows();

    // What one row gives the run: a statement to store it, nothing (the row
    // is passed over), or the end of the run (the open chunk is committed).
    // A statement that changes a record only in the state it names
    // (change) must change a row: one that changes none finds the record
    // changed elsewhere meanwhile, and the run ends there.
    struct Step {
        enum Kind { Store, Skip, Stop };
        Kind kind = Skip;
        QString sql;
        bool mustChange = false;
        static Step store(const QString& statement) { return {Store, statement}; }
        static Step change(const QString& statement) { return {Store, statement, true}; }
        static Step skip() { return {Skip, {}}; }
        static Step stop() { return {Stop, {}}; }
    };
    // A row whose statement failed: either it is left out and the run goes
    // on, or the run ends there (the open chunk with the rows before it is
    // committed).
    enum class OnFailure { GoOn, Stop };

    struct Result {
        QList<int> stored; // the rows whose statements were committed, in the order run
        int failedRow = -1; // with OnFailure::Stop: the row whose statement failed
        int unchangedRow = -1; // the row whose change changed no row (the run ended there)
        bool stopped = false; // a step ended the run
        bool complete = false; // every row was handed to its step and every chunk committed
    };

    // Runs the rows in the order given; step is asked for each row's
    // statement inside the open chunk, committed is told the rows of each
    // chunk once it is committed (before the next one begins).
    static Result Run(const QList<int>& rows, const std::function<Step(int row)>& step,
                      const std::function<void(const QList<int>& rows)>& committed, OnFailure onFailure);

    // Rows stored a chunk at a time by one statement for all of them, a few
    // round trips per chunk instead of several per row. Where that
    // statement fails, or changes fewer rows than the chunk stores, the
    // chunk is given up and done again row by row as Run does it, each
    // row's own statement with its savepoint: the row that differs alone is
    // left (or ends the run) while the rows around it are stored.
    struct Many {
        QString sql;
        QVariantList values; // bound to the markers in order
    };
    struct Sets {
        int rowsPerChunk = 500; // at most; ChunkRows() caps it too
        // Inside the open chunk, before its rows' steps are asked: what the
        // steps need to know of these rows, asked for all of them at once.
        std::function<void(const QList<int>& rows)> read;
        // Asked once for each row, in order, until one ends the run.
        std::function<Step(int row)> step;
        // The one statement that does what the Store steps of these rows do.
        std::function<Many(const QList<int>& rows)> together;
        // Each row as the run comes to it, with its step, inside the chunk:
        // what the row means besides its statement (a message, a mark).
        // Rows after the one that ended the run are never passed.
        std::function<void(int row, const Step& step)> passed;
    };
    static Result RunInSets(const QList<int>& rows, const Sets& sets,
                            const std::function<void(const QList<int>& rows)>& committed, OnFailure onFailure);
};
