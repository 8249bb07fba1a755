#include "workbook/hosterror.h"

namespace velmora {

HostError::HostError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

}  // namespace velmora
