#include "vtError.h"

namespace vt {

Error::Error(int number, const QString& description)
    : std::runtime_error(QString::number(number).append(": ").append(description).toStdString()),
      m_number(number), m_description(description) {}

} // namespace vt
