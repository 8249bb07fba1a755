#include "workbook/formula/cellstore.h"

#include "workbook/formula/references.h"

namespace velmora::formula {

void CellStore::set(int sheet, int row, int column, Value v) {
    if (sheet < 0 || size_t(sheet) >= sheets_.size() || row < 0 || row > kMaxRow || column < 0 ||
        column > kMaxColumn)
        return;
    auto& columns = sheets_[size_t(sheet)];
    if (v.isEmpty() && (size_t(column) >= columns.size() ||
                        size_t(row) >= columns[size_t(column)].size()))
        return;
    if (size_t(column) >= columns.size())
        columns.resize(size_t(column) + 1);
    auto& rows = columns[size_t(column)];
    if (size_t(row) >= rows.size())
        rows.resize(size_t(row) + 1);
    rows[size_t(row)] = std::move(v);
}

int CellStore::lastUsedRow(int sheet, const Area& a) const {
    int last = -1;
    if (sheet < 0 || size_t(sheet) >= sheets_.size())
        return last;
    const auto& columns = sheets_[size_t(sheet)];
    for (int c = std::max(a.column, 0); c <= a.lastColumn && size_t(c) < columns.size(); ++c) {
        const auto& rows = columns[size_t(c)];
        for (int r = std::min(a.lastRow, int(rows.size()) - 1); r > last && r >= a.row; --r)
            if (!rows[size_t(r)].isEmpty()) {
                last = r;
                break;
            }
    }
    return last;
}

}  // namespace velmora::formula
