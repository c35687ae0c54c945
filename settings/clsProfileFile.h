#pragma once
// Reader and writer of Windows profile files ("ini" files): section header
// lines "[name]" and key lines "key=value". Section and key names compare
// without regard to letter case; a value is replaced in place; every other
// line and the order of the lines are kept. Values are bytes (ANSI text).
#include <QByteArray>
#include <QString>
#include <optional>

namespace profile {

// The value of key in section, with surrounding blanks removed and one pair
// of matching quotes stripped; nothing when the file, section or key is
// missing. The first section of that name and its first such key count.
std::optional<QByteArray> readString(const QString& path, const QByteArray& section,
                                     const QByteArray& key);

// Stores key=value in section, creating the file, the section or the key as
// needed, the file written whole or not at all (mduFileWrite). Returns false
// (the reason in *error) when the file cannot be read or written.
bool writeString(const QString& path, const QByteArray& section, const QByteArray& key,
                 const QByteArray& value, QString* error = nullptr);

// The same two operations on the file's bytes, for callers that keep the
// text themselves.
std::optional<QByteArray> findValue(const QByteArray& text, const QByteArray& section,
                                    const QByteArray& key);
QByteArray withValue(const QByteArray& text, const QByteArray& section, const QByteArray& key,
                     const QByteArray& value);

} // namespace profile
