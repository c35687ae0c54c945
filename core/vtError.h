#pragma once
// The one exception type of the library and of the result table: a numbered
// error with its description, raised to the caller.
#include "vtCoreExport.h"

#include <QString>
#include <stdexcept>

namespace vt {

class VANTELO_CORE_EXPORT Error : public std::runtime_error {
public:
    Error(int number, const QString& description);
    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }

private:
    int m_number;
    QString m_description;
};

} // namespace vt
