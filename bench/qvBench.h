#pragma once
// A plain timing harness: runs a piece of work a few times and prints the
// best time as "name: value ms".
#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace qvbench {

// The best of `repeats` runs of work, in milliseconds. setup runs before
// each timed run and is not timed.
inline double bestOf(int repeats, const std::function<void()>& work,
                     const std::function<void()>& setup = {}) {
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        if (setup)
            setup();
        QElapsedTimer t;
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

inline void report(const char* name, double value, const char* unit = "ms") {
    std::printf("%s: %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

// A ratio of two figures, to two places.
inline void reportRatio(const char* name, double value) {
    std::printf("%s: %.2f x\n", name, value);
    std::fflush(stdout);
}

} // namespace qvbench
