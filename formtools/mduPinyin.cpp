#include "mduPinyin.h"

#include "ucInput.h"

#include <iconv.h>
#include <vector>

namespace {

// The signed GB2312 code that starts each initial's range, in code order.
struct Range {
    int from;
    char initial;
};
constexpr Range Ranges[] = {
    {-20319, 'A'}, {-20283, 'B'}, {-19775, 'C'}, {-19218, 'D'}, {-18710, 'E'}, {-18526, 'F'},
    {-18239, 'G'}, {-17922, 'H'}, {-17417, 'J'}, {-16474, 'K'}, {-16212, 'L'}, {-15640, 'M'},
    {-15165, 'N'}, {-14922, 'O'}, {-14914, 'P'}, {-14630, 'Q'}, {-14149, 'R'}, {-14090, 'S'},
    {-13318, 'T'}, {-12838, 'W'}, {-12556, 'X'}, {-11847, 'Y'}, {-11055, 'Z'}};

// The code of a character in code page 936: the double-byte code read as a
// signed 16-bit number, a single byte as it is, and "?" for anything the
// code page cannot hold.
int codeOf(QChar ch) {
    static iconv_t cd = iconv_open("CP936", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return ch.unicode() < 128 ? ch.unicode() : '?';
    char16_t in[1] = {ch.unicode()};
    char out[4] = {};
    char* inp = reinterpret_cast<char*>(in);
    char* outp = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
        return '?';
    const size_t n = sizeof out - outLeft;
    if (n == 1)
        return static_cast<unsigned char>(out[0]);
    if (n == 2)
        return static_cast<int16_t>((static_cast<unsigned char>(out[0]) << 8) | static_cast<unsigned char>(out[1]));
    return '?';
}

// The initial of one UTF-16 unit from its code-page code: the pinyin
// initial of a level-1 character, 'Z' from D4D1 on, a letter as it is, '*'
// for anything else.
char initialOf(char16_t unit) {
    const int c = codeOf(QChar(unit));
    if (c < -20319)
        return '*';
    if (c < 0) {
        char initial = 'Z';
        for (const Range& r : Ranges)
            if (c >= r.from)
                initial = r.initial;
        return initial;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
        return char(c);
    return '*';
}

} // namespace

QString PinyinInitials(const QString& text) {
    // Every unit's initial, worked out once: lists of many thousand names
    // are matched on every keystroke.
    static const std::vector<char> table = [] {
        std::vector<char> t(0x10000);
        for (std::size_t u = 0; u < t.size(); ++u)
            t[u] = initialOf(char16_t(u));
        return t;
    }();
    QString out(text.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (const QChar ch : text)
        *o++ = QLatin1Char(table[ch.unicode()]);
    return out;
}

void FindByPinyin(vt::ucInput* list, const QString& search, vt::ucInput* target) {
    if (!list || !target)
        return;
    const int start = list->ListIndex();
    auto matches = [&] {
        const QString text = list->Text();
        return PinyinInitials(text).contains(search, Qt::CaseInsensitive) || text.contains(search, Qt::CaseInsensitive);
    };
    bool found = false;
    if (list->ListCount() > 0) {
        for (int k = start + 1; k < list->ListCount() && !found; ++k) {
            list->setListIndex(k);
            found = matches();
        }
        for (int k = 0; k < start && !found; ++k) {
            list->setListIndex(k);
            found = matches();
        }
    }
    target->setListIndex(list->ListIndex());
}
