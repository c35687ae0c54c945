#include "tsSyncWatch.h"

#include <sqlite3.h>

#include <cstddef>

namespace {

struct WatchedFile {
    sqlite3_file base;
    sqlite3_file* real;
    bool log;
};

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs watchVfs;
long step = 0;        // one per event on a log
long lastWrite = 0;   // the step of the last write to a log
long lastSync = 0;    // the step of the last sync of a log
int syncs = 0;

sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<WatchedFile*>(f)->real; }

int xClose(sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); }
int xRead(sqlite3_file* f, void* p, int n, sqlite3_int64 at) { return real(f)->pMethods->xRead(real(f), p, n, at); }
int xWrite(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
    if (reinterpret_cast<WatchedFile*>(f)->log)
        lastWrite = ++step;
    return real(f)->pMethods->xWrite(real(f), p, n, at);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size) { return real(f)->pMethods->xTruncate(real(f), size); }
int xSync(sqlite3_file* f, int flags) {
    const int rc = real(f)->pMethods->xSync(real(f), flags);
    if (rc == SQLITE_OK && reinterpret_cast<WatchedFile*>(f)->log) {
        lastSync = ++step;
        ++syncs;
    }
    return rc;
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return real(f)->pMethods->xFileSize(real(f), size); }
int xLock(sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); }
int xUnlock(sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); }
int xCheckReservedLock(sqlite3_file* f, int* out) { return real(f)->pMethods->xCheckReservedLock(real(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return real(f)->pMethods->xFileControl(real(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int xShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** p) {
    return real(f)->pMethods->xShmMap(real(f), region, size, extend, p);
}
int xShmLock(sqlite3_file* f, int offset, int n, int flags) { return real(f)->pMethods->xShmLock(real(f), offset, n, flags); }
void xShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int xShmUnmap(sqlite3_file* f, int deleteFlag) { return real(f)->pMethods->xShmUnmap(real(f), deleteFlag); }

// Version 2 of the methods: shared memory for the log's index, no
// memory-mapped reads.
const sqlite3_io_methods watchMethods = {
    2,         xClose,     xRead,         xWrite,    xTruncate, xSync,     xFileSize,
    xLock,     xUnlock,    xCheckReservedLock,       xFileControl,         xSectorSize,
    xDeviceCharacteristics, xShmMap, xShmLock,       xShmBarrier,          xShmUnmap,
    nullptr,   nullptr};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags) {
    auto* w = reinterpret_cast<WatchedFile*>(f);
    w->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(f) + sizeof(WatchedFile));
    w->log = (flags & SQLITE_OPEN_WAL) != 0;
    const int rc = realVfs->xOpen(realVfs, name, w->real, flags, outFlags);
    w->base.pMethods = w->real->pMethods ? &watchMethods : nullptr;
    return rc;
}

int xDelete(sqlite3_vfs*, const char* name, int syncDir) { return realVfs->xDelete(realVfs, name, syncDir); }
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return realVfs->xAccess(realVfs, name, flags, out); }
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
    return realVfs->xFullPathname(realVfs, name, n, out);
}
int xRandomness(sqlite3_vfs*, int n, char* out) { return realVfs->xRandomness(realVfs, n, out); }
int xSleep(sqlite3_vfs*, int us) { return realVfs->xSleep(realVfs, us); }
int xCurrentTime(sqlite3_vfs*, double* t) { return realVfs->xCurrentTime(realVfs, t); }
int xGetLastError(sqlite3_vfs*, int n, char* out) { return realVfs->xGetLastError(realVfs, n, out); }
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t) { return realVfs->xCurrentTimeInt64(realVfs, t); }

} // namespace

SyncWatch::SyncWatch() {
    sqlite3_initialize();
    realVfs = sqlite3_vfs_find(nullptr);
    watchVfs = sqlite3_vfs{};
    watchVfs.iVersion = 2;
    watchVfs.szOsFile = int(sizeof(WatchedFile)) + realVfs->szOsFile;
    watchVfs.mxPathname = realVfs->mxPathname;
    watchVfs.zName = "qvSyncWatch";
    watchVfs.xOpen = xOpen;
    watchVfs.xDelete = xDelete;
    watchVfs.xAccess = xAccess;
    watchVfs.xFullPathname = xFullPathname;
    watchVfs.xRandomness = xRandomness;
    watchVfs.xSleep = xSleep;
    watchVfs.xCurrentTime = xCurrentTime;
    watchVfs.xGetLastError = xGetLastError;
    watchVfs.xCurrentTimeInt64 = xCurrentTimeInt64;
    sqlite3_vfs_register(&watchVfs, 1);
    reset();
}

SyncWatch::~SyncWatch() {
    sqlite3_vfs_unregister(&watchVfs);
    sqlite3_vfs_register(realVfs, 1);
}

int SyncWatch::logSyncs() const { return syncs; }
bool SyncWatch::logSyncedAfterLastWrite() const { return lastSync > lastWrite; }

void SyncWatch::reset() {
    step = lastWrite = lastSync = 0;
    syncs = 0;
}
