#pragma once
// Runs a stretch of a test as an unprivileged user. As root every write
// succeeds, so read-only files and folders prove nothing; while an object of
// this class lives, the process's effective user and group are "nobody"
// (65534). A test that does not run as root is unprivileged already.
#include <QString>

class AsUnprivilegedUser {
public:
    AsUnprivilegedUser();
    ~AsUnprivilegedUser();
    AsUnprivilegedUser(const AsUnprivilegedUser&) = delete;
    AsUnprivilegedUser& operator=(const AsUnprivilegedUser&) = delete;

private:
    bool m_switched = false;
};

// Gives everybody read, write and search rights on a folder or file made by
// the test as root (temporary folders are private to their owner).
void OpenToEverybody(const QString& path);
// Makes a file or folder read-only for everybody but root.
void MakeReadOnly(const QString& path);
