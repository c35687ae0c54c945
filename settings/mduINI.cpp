#include "mduINI.h"

#include "clsProfileFile.h"
#include "mduPaths.h"


#include <vector>

namespace {

// The read buffer of the system holds 144 characters with the closing NUL.
constexpr int ReadBufferSize = 144;

QByteArray nameBytes(const QString& s) { return s.toLatin1(); }

// A raw stored value as text: stored forms are plain ASCII; a value written
// into the file by hand is shown as UTF-8 when it is valid UTF-8.
QString rawText(const QByteArray& raw) {
    QString utf8 = QString::fromUtf8(raw);
    if (utf8.toUtf8() == raw)
        return utf8;
    return QString::fromLatin1(raw);
}

// Decodes a stored form; false when the text is not the stored form of
// any value.
bool tryDecode(const QString& stored, QString* plain) {
    const int len = static_cast<int>(stored.size());
    if (len < 2 || len % 2 != 0)
        return false;
    std::vector<int> codes;
    codes.reserve(static_cast<std::size_t>(len / 2));
    for (int i = 0; i < len; i += 2) {
        const int hi = stored.at(i).unicode() - 3 - 64;
        const int lo = stored.at(i + 1).unicode() - 3 - 64;
        if (hi < 0 || hi > 16 || lo < 0 || lo > 15)
            return false;
        codes.push_back(hi * 16 + lo);
    }
    const int m = static_cast<int>(codes.size());
    QString out(m - 1, QChar());
    long r = codes[static_cast<std::size_t>(m - 1)];
    for (int i = m - 2; i >= 0; --i) {
        const long v = r * 256 + codes[static_cast<std::size_t>(i)];
        const long c = v / 13;
        if (c > 255)
            return false;
        out[i] = QChar(static_cast<char16_t>(c));
        r = v % 13;
    }
    // Only the exact stored form of the decoded text counts as stored form.
    if (EncodeSetting(out) != stored)
        return false;
    *plain = out;
    return true;
}

} // namespace

QString EncodeSetting(const QString& plain) {
    QString out;
    out.reserve((plain.size() + 1) * 2);
    auto put = [&out](int d) {
        out.append(QChar(static_cast<char16_t>(64 + d / 16 + 3)));
        out.append(QChar(static_cast<char16_t>(64 + d % 16 + 3)));
    };
    int k = 0;
    for (const QChar ch : plain) {
        const int c = ch.unicode() <= 255 ? ch.unicode() : '?';
        put(k + (c * 13) % 256);
        k = (c * 13) / 256;
    }
    put(k);
    return out;
}

QString DecodeSetting(const QString& stored) {
    QString plain;
    if (tryDecode(stored, &plain))
        return plain;
    return stored;
}

QString ReadIniString(const QString& section, const QString& key, const QString& defaultValue,
                      const QString& filePath) {
    const auto found = profile::readString(filePath, nameBytes(section), nameBytes(key));
    if (!found || found->isEmpty()) {
        WriteIniString(section, key, defaultValue, filePath);
        return defaultValue;
    }
    QByteArray raw = *found;
    const int nul = raw.indexOf('\0');
    if (nul >= 0)
        raw.truncate(nul);
    raw.truncate(ReadBufferSize - 1);
    if (raw.isEmpty())
        return QString();
    return DecodeSetting(rawText(raw));
}

QString PeekIniString(const QString& section, const QString& key, const QString& filePath) {
    const auto found = profile::readString(filePath, nameBytes(section), nameBytes(key));
    if (!found || found->isEmpty())
        return QString();
    return ReadIniString(section, key, QString(), filePath);
}

bool WriteIniString(const QString& section, const QString& key, const QString& value,
                    const QString& filePath, QString* error) {
    return profile::writeString(filePath, nameBytes(section), nameBytes(key),
                                EncodeSetting(value).toLatin1(), error);
}

bool IsSafeConnectionName(const QString& name) {
    for (const QChar c : name)
        if (c == QLatin1Char(';') || c == QLatin1Char('{') || c == QLatin1Char('}') || c == QLatin1Char('\r') ||
            c == QLatin1Char('\n') || c == QChar(0))
            return false;
    return true;
}

QString UnsafeConnectionNameMessage() {
    return QStringLiteral("服务器名和数据库名不能含有 ; { } 、换行符或空字符！");
}

void ReadDatabaseSettings(QString& server, QString& databaseName, QString& uid, QString& pwd) {
    const QString ini = SetupIniPath();
    server = ReadIniString(QStringLiteral("DATABASE"), QStringLiteral("SERVER"), QString(), ini);
    databaseName =
        ReadIniString(QStringLiteral("DATABASE"), QStringLiteral("DATABASENAME"), QString(), ini);
    uid = ReadIniString(QStringLiteral("DATABASE"), QStringLiteral("UID"), QString(), ini);
    pwd = ReadIniString(QStringLiteral("DATABASE"), QStringLiteral("PWD"), QString(), ini);
}
