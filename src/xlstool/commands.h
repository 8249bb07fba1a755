#pragma once

#include <QStringList>

// The commands of velmora-xls. Each throws (XlsError, HostError or
// std::runtime_error) with a message for the user when it cannot do its job.
namespace velmora::xls {
class XlsWorkbook;
}

namespace velmora::xlstool {

class Output;

// The index of the sheet of that name; XlsError naming it when there is none.
int sheetOf(const xls::XlsWorkbook& wb, const QString& sheet);

void listSheets(const QString& file, Output& out);
void getCell(const QString& file, const QString& sheet, const QString& address, Output& out);
void setCell(const QString& file, const QString& sheet, const QString& address,
             const QString& text);
void putCell(const QString& file, const QString& sheet, const QString& address,
             const QString& input);
void dumpCells(const QString& file, Output& out);
void dumpRecords(const QString& file, Output& out);
void listFormulas(const QString& file, Output& out);

}  // namespace velmora::xlstool
