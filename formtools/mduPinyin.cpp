#include "mduPinyin.h"

#include "ucInput.h"

#include <iconv.h>

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

} // namespace

QString PinyinInitials(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const int c = codeOf(ch);
        if (c < -20319) {
            out += QLatin1Char('*');
        } else if (c < 0) {
            char initial = 'Z';
            for (const Range& r : Ranges)
                if (c >= r.from)
                    initial = r.initial;
            out += QLatin1Char(initial);
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out += QChar(c);
        } else {
            out += QLatin1Char('*');
        }
    }
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
