#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace velmora::test {

// An .xls file as the independent reader xlrd sees it (xlrdcells.py), each
// non-empty cell turned into the text the program's cell-text rules give its
// value: what every host must read from the same file.
struct XlrdReading {
    QStringList sheets;
    int active = 0;                               // the sheet shown when the file is opened
    QMap<QString, QMap<QString, QString>> texts;  // sheet -> A1 address -> text
    QMap<QString, QMap<QString, QString>> kinds;  // text, number, date, boolean, error
};

// nullopt when Debian's python3-xlrd is not installed.
std::optional<XlrdReading> xlrdReading(const QString& path);

}  // namespace velmora::test
