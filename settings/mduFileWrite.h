#pragma once
// Every file the program writes goes through here: settings, exported
// tables, cards as PDF, pictures, the files an update brings. A file is
// written whole or not at all: the bytes go to a temporary file beside it,
// every write's count is checked, the data is on the disk (fsync) before the
// temporary file takes the old one's place in one rename. On any failure the
// old file stays as it was, byte for byte, and no temporary file is left.
// Qt Core only.
#include <QByteArray>
#include <QString>

// Writes bytes as the whole new content of the file at path; false with the
// reason (the system's, as the user reads it) in *error otherwise.
bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString* error);
