#include "mduFileWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QString systemReason(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

// A descriptor closed on every way out.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    // Closes now; false (errno set) when the close reported a failure.
    bool close() {
        const int f = std::exchange(fd, -1);
        return f < 0 || ::close(f) == 0;
    }
};

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString* error) {
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    const QFileInfo target(path);
    if (target.fileName().isEmpty())
        return fail(QStringLiteral("没有文件名"));
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("文件夹不存在：") + QDir::toNativeSeparators(folder));
    const QByteArray finalName = QFile::encodeName(target.absoluteFilePath());
    // The old file's permissions carry over; a new file gets the usual ones.
    mode_t mode = 0666;
    struct stat old {};
    const bool existed = ::stat(finalName.constData(), &old) == 0;
    if (existed) {
        if (!S_ISREG(old.st_mode))
            return fail(QStringLiteral("不是普通文件"));
        // A file the user may not write is not replaced either.
        if (::access(finalName.constData(), W_OK) != 0)
            return fail(systemReason(errno));
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }

    QByteArray partName = QFile::encodeName(folder + QLatin1Char('/') + QLatin1Char('.') + target.fileName()) +
                          ".part-XXXXXX";
    Fd part;
    part.fd = ::mkstemp(partName.data());
    if (part.fd < 0)
        return fail(systemReason(errno));
    const auto failRemoving = [&](int code) {
        part.close();
        ::unlink(partName.constData());
        return fail(systemReason(code));
    };
    if (::fchmod(part.fd, mode) != 0)
        return failRemoving(errno);
    if (!writeAll(part.fd, bytes.constData(), bytes.size()))
        return failRemoving(errno);
    if (::fsync(part.fd) != 0)
        return failRemoving(errno);
    if (!part.close())
        return failRemoving(errno);
    if (::rename(partName.constData(), finalName.constData()) != 0)
        return failRemoving(errno);
    // The rename itself on the disk: the folder synced (a folder that cannot
    // be opened or synced still holds the new file; nothing is undone).
    Fd dir;
    dir.fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir.fd >= 0)
        ::fsync(dir.fd);
    return true;
}
