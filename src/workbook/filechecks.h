#pragma once

#include <QByteArray>
#include <QString>

namespace velmora {

// What both hosts check of the workbook file itself, with the messages the
// teacher reads. Each throws HostError.

// The file is there.
void requireWorkbookFile(const QString& path);
// The whole file; HostError when it is missing or cannot be read.
QByteArray readWorkbookFile(const QString& path);
// The file is there, can be read and is an Excel 97-2003 workbook (an OLE2
// compound file): a spreadsheet program would open an empty or plain-text
// file as a new spreadsheet, which a later save would write over the file.
void checkWorkbookFile(const QString& path);

QString notAWorkbookMessage(const QString& path);

}  // namespace velmora
