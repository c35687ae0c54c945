#include "clsProfileFile.h"

#include "mduFileWrite.h"

#include <QFile>
#include <QList>

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
    // Each line keeps its own ending, so a file of mixed line endings comes
    // back byte for byte but for the line written.
    struct Line {
        QByteArray body;
        QByteArray ending;
    };
    QList<Line> lines;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype nl = text.indexOf('\n', at);
        if (nl < 0) {
            lines.append({text.mid(at), QByteArray()});
            break;
        }
        QByteArray body = text.mid(at, nl - at);
        QByteArray ending("\n");
        if (body.endsWith('\r')) {
            body.chop(1);
            ending = "\r\n";
        }
        lines.append({body, ending});
        at = nl + 1;
    }
    const QByteArray newLine = key + '=' + value;
    auto insertAt = [&](qsizetype index, const QByteArray& body) {
        if (index > 0 && lines[index - 1].ending.isEmpty())
            lines[index - 1].ending = eol;
        lines.insert(index, {body, eol});
    };

    qsizetype sectionLine = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto s = sectionOf(lines[i].body); s && sameName(*s, section)) {
            sectionLine = i;
            break;
        }
    }
    if (sectionLine < 0) {
        if (!lines.isEmpty() && !lines.last().body.trimmed().isEmpty())
            insertAt(lines.size(), QByteArray());
        insertAt(lines.size(), '[' + section + ']');
        insertAt(lines.size(), newLine);
    } else {
        qsizetype lastContent = sectionLine;
        bool replaced = false;
        for (qsizetype i = sectionLine + 1; i < lines.size(); ++i) {
            if (sectionOf(lines[i].body))
                break;
            if (const auto k = keyOf(lines[i].body, nullptr); k && sameName(*k, key)) {
                lines[i].body = newLine;
                replaced = true;
                break;
            }
            if (!lines[i].body.trimmed().isEmpty())
                lastContent = i;
        }
        if (!replaced)
            insertAt(lastContent + 1, newLine);
    }
    QByteArray out;
    for (const Line& l : lines)
        out += l.body + l.ending;
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
                 const QByteArray& value, QString* error) {
    QByteArray text;
    {
        QFile f(path);
        if (f.exists()) {
            if (!f.open(QIODevice::ReadOnly)) {
                if (error)
                    *error = f.errorString();
                return false;
            }
            text = f.readAll();
        }
    }
    // A write cut short never leaves half a settings file behind: where no
    // new file can be written beside it, the old one stays as it was.
    return WriteFileWhole(path, withValue(text, section, key, value), error);
}

} // namespace profile
