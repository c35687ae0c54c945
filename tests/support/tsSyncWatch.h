#pragma once
// Watches what the embedded database does with its write-ahead log: while
// one of these lives, every database opened goes through a thin file layer
// that counts the log's writes and syncs. Made before the database is opened.

class SyncWatch {
public:
    SyncWatch();
    ~SyncWatch();
    SyncWatch(const SyncWatch&) = delete;
    SyncWatch& operator=(const SyncWatch&) = delete;

    // Syncs of the log since the watch began (or since reset).
    int logSyncs() const;
    // Whether everything written to the log so far has been synced after it.
    bool logSyncedAfterLastWrite() const;
    void reset();
};
