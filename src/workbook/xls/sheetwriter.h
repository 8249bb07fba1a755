#pragma once

#include "workbook/xls/sheet.h"

#include <map>
#include <utility>
#include <vector>

// Writing one sheet's substream back. An unchanged sheet is copied byte for
// byte; an edited one keeps every record except its cell table, which is
// laid out anew around the edits.
namespace velmora::xls {

struct CellFormats;

struct SheetBytes {
    QByteArray bytes;
    // 4-byte fields holding stream positions (INDEX): where in bytes, and
    // the position they name, counted from the start of the sheet.
    std::vector<std::pair<qint64, qint64>> positions;
};

// An unchanged sheet, moved as a whole.
SheetBytes copySheet(const Sheet& sheet, const QByteArray& stream);

struct SheetEdits {
    const QByteArray& stream;
    const CellFormats& formats;
    const std::map<quint32, quint32>& stringOf;  // cell key -> shared string
    const std::map<quint32, formula::Value>* results = nullptr;  // formula results to write
};

SheetBytes writeSheet(const Sheet& sheet, const SheetEdits& context);

}  // namespace velmora::xls
