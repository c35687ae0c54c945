// stress_kill DB COUNT_SQL TARGET LAST -- PROGRAM ARGS...
//
// Starts the program and watches the database: as soon as COUNT_SQL reads
// at least TARGET stored rows (and fewer than LAST, so the work is still
// going on), the program is killed with SIGKILL. Prints "killed N" with the
// count seen, "late N" when the count went straight to LAST (the work's
// stores were over; the program is left to finish), or "finished N" when
// the program ended before reaching the target.
#include <sqlite3.h>

#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long count(sqlite3* db, const char* sql) {
    sqlite3_stmt* st = nullptr;
    long n = -1;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return n;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 7 || std::strcmp(argv[5], "--") != 0) {
        std::fputs("usage: stress_kill DB COUNT_SQL TARGET LAST -- PROGRAM ARGS...\n", stderr);
        return 2;
    }
    const char* path = argv[1];
    const char* sql = argv[2];
    const long target = std::atol(argv[3]);
    const long last = std::atol(argv[4]);
    const pid_t pid = fork();
    if (pid == 0) {
        // The program's own output is not this tool's answer.
        if (const int null = open("/dev/null", O_WRONLY); null >= 0)
            dup2(null, STDOUT_FILENO);
        execv(argv[6], argv + 6);
        _exit(127);
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::fprintf(stderr, "stress_kill: cannot open %s\n", path);
        return 1;
    }
    sqlite3_busy_timeout(db, 200);
    long seen = 0;
    for (;;) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::printf("finished %ld\n", count(db, sql));
            break;
        }
        seen = count(db, sql);
        if (seen >= last) {
            waitpid(pid, &status, 0);
            std::printf("late %ld\n", seen);
            break;
        }
        if (seen >= target) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            std::printf("killed %ld\n", seen);
            break;
        }
        usleep(500);
    }
    sqlite3_close(db);
    return 0;
}
