#pragma once

#include "workbook/cellvalue.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace velmora::test {

// What a test workbook holds: sheet names in order and, per sheet, cells by
// A1 address. A value that looks like a number is stored as a number.
struct WorkbookSpec {
    QStringList sheets;
    QMap<QString, QMap<QString, QString>> cells;  // sheet -> address -> text
};

// Writes the workbook to path with our engine.
void writeWorkbook(const QString& path, const WorkbookSpec& spec);
QByteArray fileBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

// The file as the independent reader xlrd sees it (see xlsread.py), or
// nullopt when Debian's python3-xlrd is not installed.
std::optional<QJsonObject> readWithXlrd(const QString& path);
// One cell of that reading: ["text", "abc"], ["number", 12], or empty.
QJsonArray xlrdCell(const QJsonObject& reading, const QString& sheet, const QString& address);

}  // namespace velmora::test
