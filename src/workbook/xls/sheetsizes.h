#pragma once

#include <QByteArray>
#include <map>
#include <vector>

// Column widths and row heights changed in the sheet window, and how they
// reach the file: the sheet's COLINFO records are written anew around the
// changed columns (every other column keeps its record's bytes), and a
// changed row's ROW record gets the new height.
namespace velmora::xls {

struct Sheet;
struct CellTable;

struct ColumnSize {
    int width = 0;  // 1/256 of the width of '0', as COLINFO keeps it
    bool hidden = false;
};

struct SizeEdits {
    std::map<int, ColumnSize> columns;
    std::map<int, int> rowTwips;  // 0: hidden
    bool empty() const { return columns.empty() && rowTwips.empty(); }
};

struct ColumnRecords {
    QByteArray bytes;   // the COLINFO records, whole
    size_t before = 0;  // the sheet record they go in front of
};

// The sheet's COLINFO records with its column edits merged in; they replace
// the ones it has. Without COLINFO records they go after DEFCOLWIDTH, else
// before DIMENSIONS, else before WINDOW2. New ones take format defaultXf.
ColumnRecords columnRecords(const Sheet& sheet, const QByteArray& stream, int defaultXf);

// Gives every row with a changed height its height in its ROW record,
// making the record where the row had none.
void applyRowSizes(CellTable& table, const Sheet& sheet);

}  // namespace velmora::xls
