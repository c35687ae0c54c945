#pragma once
// Tooth positions in FDI two-digit notation, as a card records them: the
// permanent teeth 11–18, 21–28, 31–38, 41–48 and the deciduous 51–55, 61–65,
// 71–75, 81–85. A text names teeth one by one ("11 12 21") or as ranges that
// follow the arch ("13-23" is 13 12 11 21 22 23: across the midline, not the
// numbers between). The stored form is the distinct codes, two digits each,
// one blank between them, in FDI order (quadrant 1 to 8, then tooth).
#include <QList>
#include <QString>

struct ToothPositions {
    QString normal; // the stored form; empty for an empty text
    QString error;  // empty: the text reads; else which part is wrong
    bool ok() const { return error.isEmpty(); }
};

// Reads a text of positions: codes and ranges separated by blanks, commas
// or the Chinese commas "，" and "、"; a range is two codes joined by "-"
// (or "–", "~", "～"). A range must lie on one arch and in one dentition.
ToothPositions ReadToothPositions(const QString& text);

// Whether a code is a tooth of the notation.
bool IsToothCode(int code);
// The teeth of one arch (upper: true) in the order they stand in the mouth
// from the patient's right to left: 18…11 21…28, or 55…51 61…65 when
// deciduous.
QList<int> ArchOrder(bool upper, bool deciduous);
// The codes of a stored form; nothing for a text that is not one.
QList<int> ToothCodes(const QString& normal);
// The stored form of a set of codes (each once, in FDI order).
QString ToothNormalForm(QList<int> codes);
