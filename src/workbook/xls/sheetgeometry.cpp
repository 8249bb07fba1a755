#include "workbook/xls/sheet.h"

#include <algorithm>
#include <cmath>

namespace velmora::xls {

CellRef lastCell(const Sheet& sheet, const QByteArray& stream) {
    CellRef last{-1, -1};
    const auto take = [&](quint32 key) {
        const CellRef r = keyRef(key);
        last.row = std::max(last.row, r.row);
        last.column = std::max(last.column, r.column);
    };
    sheet.forEachSlot(stream, [&](const CellSlot& slot) {
        if (!sheet.edits.contains(slot.key))
            take(slot.key);
    });
    for (const auto& [key, edit] : sheet.edits)
        if (edit.kind != Edit::Kind::Clear || sheet.slot(stream, key))
            take(key);
    return last;
}

// Widths are kept in 1/256 of the width of '0' including the cell's
// padding; DEFCOLWIDTH counts characters without it.
int columnWidthPx(const Sheet& sheet, int column, int digitWidthPx) {
    if (const auto it = sheet.sizes.columns.find(column); it != sheet.sizes.columns.end())
        return it->second.hidden ? 0 : int(std::lround(it->second.width * digitWidthPx / 256.0));
    for (const Sheet::Columns& c : sheet.columns)
        if (column >= c.first && column <= c.last)
            return c.hidden ? 0 : int(std::lround(c.width * digitWidthPx / 256.0));
    if (sheet.standardWidth >= 0)
        return int(std::lround(sheet.standardWidth * digitWidthPx / 256.0));
    const int padding = 2 * ((digitWidthPx + 3) / 4) + 1;
    return sheet.defaultColumnChars * digitWidthPx + padding;
}

// Heights are kept in twips; 15 twips make a pixel at 96 dpi.
int rowHeightPx(const Sheet& sheet, int row) {
    if (const auto it = sheet.sizes.rowTwips.find(row); it != sheet.sizes.rowTwips.end())
        return int(std::lround(it->second / 15.0));
    const auto it = sheet.rowTwips.find(row);
    if (it != sheet.rowTwips.end())
        return int(std::lround(it->second / 15.0));
    if (sheet.defaultRowFlags & 0x0002)
        return 0;
    return int(std::lround(sheet.defaultRowTwips / 15.0));
}

}  // namespace velmora::xls
