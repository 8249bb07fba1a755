#include "workbook/xls/xlserror.h"

namespace velmora::xls {

XlsError::XlsError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

}  // namespace velmora::xls
