#pragma once

#include <QString>
#include <stdexcept>

namespace velmora {

// Every failure of the spreadsheet host: missing or damaged workbook, a lock
// held by another program, an unknown sheet, a malformed address, a save that
// could not be made. The message is Chinese and meant for the teacher.
class HostError : public std::runtime_error {
public:
    explicit HostError(const QString& message);
    const QString& message() const { return message_; }

private:
    QString message_;
};

}  // namespace velmora
