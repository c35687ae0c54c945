#pragma once
// Pinyin initials of Chinese text, from the characters' GB2312 codes, and the
// search over a list picker built on them.
#include <QString>

namespace vt {
class ucInput;
}

// One character per character of the text: the pinyin initial of a level-1
// Chinese character, "Z" for every double-byte code from D4D1 on, letters as
// they are (case kept), "*" for everything else.
QString PinyinInitials(const QString& text);
// Moves list to the next entry after its selection (wrapping around) whose
// initials or text contain search, letter case ignored; target follows.
void FindByPinyin(vt::ucInput* list, const QString& search, vt::ucInput* target);
