#pragma once

#include <QString>
#include <stdexcept>

namespace velmora::xls {

// A file that is not a readable .xls workbook, or a write the format cannot
// hold. The message is Chinese and meant for the teacher.
class XlsError : public std::runtime_error {
public:
    explicit XlsError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

}  // namespace velmora::xls
