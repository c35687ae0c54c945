#pragma once
// A write run on a "full disk": in a child process whose files may not grow
// past a limit (RLIMIT_FSIZE, with SIGXFSZ ignored so that the write comes
// back with EFBIG instead of ending the process). Header only, Qt Core.
#include <QByteArray>
#include <QString>

#include <functional>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ts {

struct LimitedWrite {
    bool ran = false;     // the child ran and answered
    bool written = false; // the write said it succeeded
    QString reason;       // the reason it gave otherwise
};

// Runs write (true when it wrote; the reason in its argument otherwise)
// with files limited to limitBytes.
inline LimitedWrite WriteWithFileSizeLimit(qint64 limitBytes, const std::function<bool(QString*)>& write) {
    int fds[2];
    LimitedWrite result;
    if (::pipe(fds) != 0)
        return result;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(limitBytes), rlim_t(limitBytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        QString reason;
        const bool ok = write(&reason);
        const QByteArray answer = (ok ? "1" : "0") + reason.toUtf8();
        [[maybe_unused]] const ssize_t n = ::write(fds[1], answer.constData(), size_t(answer.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QByteArray answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !answer.isEmpty();
    result.written = answer.startsWith('1');
    result.reason = QString::fromUtf8(answer.mid(1));
    return result;
}

} // namespace ts
