#include "vtNumber.h"

#include <QRegularExpression>

namespace vt {

bool IsNumericText(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^\s*[+-]?\s*(?:\d[\d,]*(?:\.\d*)?|\.\d+)(?:[eEdD][+-]?\d+)?\s*$)"));
    static const QRegularExpression hex(QStringLiteral(R"(^\s*&[hH][0-9A-Fa-f]+\s*$|^\s*&[oO]?[0-7]+\s*$)"));
    return number.match(text).hasMatch() || hex.match(text).hasMatch();
}

} // namespace vt
