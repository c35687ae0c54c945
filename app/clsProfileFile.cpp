#include "clsProfileFile.h"

#include <QFile>
#include <QList>
#include <QSaveFile>

namespace profile {
namespace {

QList<QByteArray> splitLines(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the text ended with a line ending
    for (QByteArray& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.size() == b.size() && qstrnicmp(a.constData(), b.constData(), a.size()) == 0;
}

// The section name when the line is a section header.
std::optional<QByteArray> sectionOf(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    const int close = t.indexOf(']');
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

// The key name when the line is a key line; its value through *value.
std::optional<QByteArray> keyOf(const QByteArray& line, QByteArray* value) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('['))
        return std::nullopt;
    const int eq = t.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return t.left(eq).trimmed();
}

QByteArray unquote(const QByteArray& v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

QByteArray lineEndingOf(const QByteArray& text) {
    const int nl = text.indexOf('\n');
    if (nl > 0 && text.at(nl - 1) == '\r')
        return "\r\n";
    if (nl >= 0)
        return "\n";
    return "\r\n"; // a new file gets the platform's profile-file line ending
}

} // namespace

std::optional<QByteArray> findValue(const QByteArray& text, const QByteArray& section,
                                    const QByteArray& key) {
    bool inSection = false;
    bool seenSection = false;
    for (const QByteArray& line : splitLines(text)) {
        if (const auto s = sectionOf(line)) {
            if (seenSection && inSection)
                return std::nullopt; // only the first section of that name counts
            inSection = sameName(*s, section);
            seenSection = seenSection || inSection;
            continue;
        }
        if (!inSection)
            continue;
        QByteArray value;
        if (const auto k = keyOf(line, &value); k && sameName(*k, key))
            return unquote(value);
    }
    return std::nullopt;
}

QByteArray withValue(const QByteArray& text, const QByteArray& section, const QByteArray& key,
                     const QByteArray& value) {
    const QByteArray eol = lineEndingOf(text);
    QList<QByteArray> lines = splitLines(text);
    const QByteArray newLine = key + '=' + value;

    int sectionLine = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (const auto s = sectionOf(lines[i]); s && sameName(*s, section)) {
            sectionLine = i;
            break;
        }
    }
    if (sectionLine < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QByteArray());
        lines.append('[' + section + ']');
        lines.append(newLine);
    } else {
        int lastContent = sectionLine;
        int i = sectionLine + 1;
        bool replaced = false;
        for (; i < lines.size(); ++i) {
            if (sectionOf(lines[i]))
                break;
            if (const auto k = keyOf(lines[i], nullptr); k && sameName(*k, key)) {
                lines[i] = newLine;
                replaced = true;
                break;
            }
            if (!lines[i].trimmed().isEmpty())
                lastContent = i;
        }
        if (!replaced)
            lines.insert(lastContent + 1, newLine);
    }
    QByteArray out;
    for (const QByteArray& l : lines)
        out += l + eol;
    return out;
}

std::optional<QByteArray> readString(const QString& path, const QByteArray& section,
                                     const QByteArray& key) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return findValue(f.readAll(), section, key);
}

bool writeString(const QString& path, const QByteArray& section, const QByteArray& key,
                 const QByteArray& value) {
    QByteArray text;
    {
        QFile f(path);
        if (f.exists()) {
            if (!f.open(QIODevice::ReadOnly))
                return false;
            text = f.readAll();
        }
    }
    // Written through a temporary file and renamed, so that a write cut short
    // never leaves half a settings file behind; where the folder does not
    // allow that, the file is written directly.
    QSaveFile out(path);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(withValue(text, section, key, value));
    return out.commit();
}

} // namespace profile
