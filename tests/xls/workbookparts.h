#pragma once

#include "workbook/xls/container.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlsworkbook.h"

#include "workbook/xls/bytes.h"

#include <algorithm>
#include <functional>
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

// The workbook stream of a file, changed by f, put back into the file.
inline QByteArray withStream(const QByteArray& file, const std::function<void(QByteArray&)>& f) {
    xls::Container c = xls::readContainer(file);
    for (xls::ContainerEntry& e : c.entries)
        if (e.name == QLatin1String("Workbook"))
            f(e.data);
    return xls::writeContainer(c);
}

// Position of the first record of a type in the stream from `from` on.
inline qsizetype find(const QByteArray& stream, quint16 type, qsizetype from = 0) {
    for (qsizetype at = from; at + 4 <= stream.size();
         at += 4 + xls::u16(stream.constData() + at + 2))
        if (xls::u16(stream.constData() + at) == type)
            return at;
    return -1;
}

}  // namespace velmora::test
