#pragma once

#include <QList>
#include <QString>

namespace velmora {

// What an option of the console does when it is carried out: its control
// (OptionButton1 to OptionButton13) either brings a sheet of the workbook to
// the front or opens a feature window.
struct ConsoleOption {
    int number = 0;
    QString sheet;             // empty for a window option
    void (*open)() = nullptr;  // null for a sheet option
};

// The thirteen options in control-number order.
const QList<ConsoleOption>& consoleOptions();

}  // namespace velmora
