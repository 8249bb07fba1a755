#pragma once

#include "workbook/cellvalue.h"
#include "xlrdreading.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace velmora::test {

// What a test workbook holds: sheet names in order and, per sheet, cells by
// A1 address. A value that looks like a number is stored as a number;
// formulas (text without '=') are stored with their computed results.
struct WorkbookContent {
    QStringList sheets;
    QMap<QString, QMap<QString, QString>> cells;     // sheet -> address -> text
    QMap<QString, QMap<QString, QString>> formulas;  // sheet -> address -> formula
};

// Writes the workbook to path with our engine.
void writeWorkbook(const QString& path, const WorkbookContent& content);
QByteArray fileBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

}  // namespace velmora::test
