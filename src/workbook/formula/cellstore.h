#pragma once

#include "workbook/formula/value.h"

#include <vector>

// The values of every cell the calculation reads, column by column: a
// column holds its rows up to the last one used, so that a whole-column
// range costs only the rows in use.
namespace velmora::formula {

class CellStore {
public:
    void setSheetCount(int sheets) { sheets_.resize(size_t(sheets)); }
    int sheetCount() const { return int(sheets_.size()); }

    const Value& get(int sheet, int row, int column) const {
        static const Value empty;
        if (sheet < 0 || size_t(sheet) >= sheets_.size())
            return empty;
        const auto& columns = sheets_[size_t(sheet)];
        if (column < 0 || size_t(column) >= columns.size())
            return empty;
        const auto& rows = columns[size_t(column)];
        return row >= 0 && size_t(row) < rows.size() ? rows[size_t(row)] : empty;
    }
    void set(int sheet, int row, int column, Value v);

    // Calls f(row, column, value) for every non-empty cell of the area on
    // one sheet, column by column. Returns how many cells it looked at.
    template <typename F>
    qint64 forEach(int sheet, const Area& a, F&& f) const {
        qint64 looked = 0;
        if (sheet < 0 || size_t(sheet) >= sheets_.size())
            return looked;
        const auto& columns = sheets_[size_t(sheet)];
        const int lastColumn = std::min(a.lastColumn, int(columns.size()) - 1);
        for (int c = std::max(a.column, 0); c <= lastColumn; ++c) {
            const auto& rows = columns[size_t(c)];
            const int lastRow = std::min(a.lastRow, int(rows.size()) - 1);
            looked += std::max(0, lastRow - std::max(a.row, 0) + 1);
            for (int r = std::max(a.row, 0); r <= lastRow; ++r)
                if (!rows[size_t(r)].isEmpty())
                    f(r, c, rows[size_t(r)]);
        }
        return looked;
    }

    // The last row holding a cell in any column of the area, or -1.
    int lastUsedRow(int sheet, const Area& a) const;

private:
    std::vector<std::vector<std::vector<Value>>> sheets_;  // sheet, column, row
};

}  // namespace velmora::formula
