#pragma once

#include "workbook/xls/container.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlsworkbook.h"

#include <algorithm>
#include <map>

// A workbook's records and cells as the writer's tests look at them.
namespace velmora::test {

inline xls::WorkbookData parse(const QByteArray& file) {
    return xls::readWorkbook(xls::readContainer(file));
}

inline int countRecords(const xls::Sheet& sheet, quint16 type) {
    return int(std::count_if(sheet.records.begin(), sheet.records.end(),
                             [&](const xls::Record& r) { return r.type == type; }));
}

// Every cell of a sheet with its text, for comparing before and after.
inline std::map<CellRef, QString> texts(const xls::XlsWorkbook& wb, int sheet) {
    std::map<CellRef, QString> out;
    wb.forEachCell(sheet, [&](CellRef ref, const CellValue& v) { out[ref] = v.toText(); });
    return out;
}

}  // namespace velmora::test
