#include "workbook/xls/sheetdisplay.h"

#include "workbook/cellref.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/sheet.h"

namespace velmora::xls {

namespace {

constexpr quint16 kPane = 0x0041;

// WINDOW2 options: grid lines shown, panes frozen, zero values shown.
constexpr quint16 kShowGrid = 0x0002, kFrozen = 0x0008, kShowZeros = 0x0010;

void readMerges(SheetDisplay& d, const char* b, int size) {
    const int count = std::min<int>(u16(b), (size - 2) / 8);
    for (int i = 0; i < count; ++i) {
        const char* m = b + 2 + 8 * i;
        MergedRange r{u16(m), u16(m + 2), u16(m + 4), u16(m + 6)};
        // Single cells and ranges outside a sheet merge nothing.
        if (r.lastRow < r.firstRow || r.lastColumn < r.firstColumn ||
            r.lastColumn >= CellRef::kMaxColumns ||
            (r.firstRow == r.lastRow && r.firstColumn == r.lastColumn))
            continue;
        d.merged.push_back(r);
    }
}

}  // namespace

SheetDisplay readSheetDisplay(const Sheet& sheet, const QByteArray& stream) {
    SheetDisplay d;
    bool frozen = false;
    int depth = 0;
    for (const Record& r : sheet.records) {
        depth += r.type == rt::kBof ? 1 : r.type == rt::kEof ? -1 : 0;
        if (depth != 1)
            continue;  // an embedded chart's own records
        const char* b = r.body(stream);
        if (r.type == rt::kMergedCells && r.size >= 2) {
            readMerges(d, b, r.size);
        } else if (r.type == rt::kWindow2 && r.size >= 6) {
            const quint16 options = u16(b);
            d.gridlines = options & kShowGrid;
            d.zeros = options & kShowZeros;
            frozen = options & kFrozen;
        } else if (r.type == kPane && r.size >= 8) {
            d.frozenColumns = u16(b);
            d.frozenRows = u16(b + 2);
            d.topRow = u16(b + 4);
            d.leftColumn = u16(b + 6);
        }
    }
    // A split that is not frozen is a view setting the window leaves out.
    if (!frozen) {
        d.frozenRows = d.frozenColumns = 0;
        d.topRow = d.leftColumn = 0;
    }
    d.frozenColumns = std::min(d.frozenColumns, CellRef::kMaxColumns - 1);
    d.frozenRows = std::min(d.frozenRows, CellRef::kMaxRows - 1);
    return d;
}

}  // namespace velmora::xls
