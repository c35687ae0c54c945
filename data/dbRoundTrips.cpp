#include "dbRoundTrips.h"

#include <QThread>

#include <atomic>

namespace dbRoundTrips {

namespace {
std::atomic<qint64> g_count{0};
std::atomic<qint64> g_logins{0};
std::atomic<int> g_delayMs{0};
thread_local int t_inside = 0;
} // namespace

void made() {
    if (t_inside > 0)
        return;
    ++g_count;
    if (const int ms = g_delayMs.load(); ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

void loggedIn() { ++g_logins; }

qint64 count() { return g_count.load(); }
qint64 logins() { return g_logins.load(); }

void reset() {
    g_count = 0;
    g_logins = 0;
}

void setDelayMs(int ms) { g_delayMs = ms; }

Inside::Inside() { ++t_inside; }
Inside::~Inside() { --t_inside; }

} // namespace dbRoundTrips
