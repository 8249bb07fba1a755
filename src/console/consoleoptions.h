#pragma once

#include <QList>
#include <QString>

namespace velmora {

// One option of the console: its caption, its control number (OptionButton1
// to OptionButton13) and its destination, either a sheet of the workbook
// brought to the front or a feature window opened.
struct ConsoleOption {
    int number = 0;
    QString caption;
    QString sheet;             // empty for a window option
    void (*open)() = nullptr;  // null for a sheet option
};

// A page of the console with its options from top to bottom.
struct ConsolePage {
    QString caption;
    QList<ConsoleOption> options;
};

// The three pages in their order.
const QList<ConsolePage>& consolePages();

}  // namespace velmora
