#pragma once

#include <QString>
#include <vector>

// Which cell formats show a number as a date or time: each XF record names
// a number format, built in by index or defined by a FORMAT record.
namespace velmora::xls {

struct Record;

struct CellFormats {
    std::vector<bool> xfIsDate;   // by XF index
    std::vector<bool> xfIsStyle;  // style XFs are never a cell's format
    bool date1904 = false;        // DATEMODE: serials count from 1904-01-01

    bool isDate(int xf) const {
        return xf >= 0 && size_t(xf) < xfIsDate.size() && xfIsDate[size_t(xf)];
    }
    // The XF a new cell gets when neither its row nor its column has one.
    int defaultCellXf() const;
};

// Collects XF, FORMAT and DATEMODE from the workbook globals.
CellFormats readFormats(const QByteArray& stream, const std::vector<Record>& globals);

}  // namespace velmora::xls
