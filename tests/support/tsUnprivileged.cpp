#include "tsUnprivileged.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <sys/types.h>
#include <unistd.h>

namespace {
constexpr uid_t Nobody = 65534;
}

AsUnprivilegedUser::AsUnprivilegedUser() {
    if (geteuid() != 0)
        return;
    // Real and effective ids both, as access() checks the real one; the saved
    // ids stay root so that the test can come back. The group first: once the
    // user is no longer root it may not change it.
    if (setresgid(Nobody, Nobody, 0) != 0 || setresuid(Nobody, Nobody, 0) != 0) {
        std::perror("AsUnprivilegedUser");
        std::abort();
    }
    m_switched = true;
}

AsUnprivilegedUser::~AsUnprivilegedUser() {
    if (!m_switched)
        return;
    if (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0) {
        std::perror("AsUnprivilegedUser");
        std::abort();
    }
}

void OpenToEverybody(const QString& path) {
    const bool folder = QFileInfo(path).isDir();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup |
                                    QFile::ReadOther | QFile::WriteOther |
                                    (folder ? QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther
                                            : QFileDevice::Permissions()));
}

void MakeReadOnly(const QString& path) {
    const bool folder = QFileInfo(path).isDir();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther |
                                    (folder ? QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther
                                            : QFileDevice::Permissions()));
}
