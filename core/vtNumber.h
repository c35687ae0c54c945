#pragma once
// Whether a text reads as a number: digits with an optional sign, decimal
// point, group separators or exponent, or a hexadecimal (&H…) or octal (&O…)
// literal. A general numeric test, not a digits-only one.
#include "vtCoreExport.h"

#include <QString>

namespace vt {
VANTELO_CORE_EXPORT bool IsNumericText(const QString& text);
} // namespace vt
