#pragma once

#include "workbook/cellref.h"
#include "workbook/xls/pagesetup.h"
#include "workbook/xls/sheetdisplay.h"
#include "workbook/xls/styles.h"

#include <QString>
#include <map>
#include <vector>

// A worksheet of a new workbook as its maker describes it, beyond the cells'
// values: how cells look, column widths and row heights, merged ranges,
// frozen panes and how the sheet prints.
namespace velmora::xls {

// A cell's font and format; the format's font index is not used.
struct CellAppearance {
    FontStyle font;
    CellStyle style;
    friend bool operator==(const CellAppearance&, const CellAppearance&) = default;
};

struct SheetLayout {
    QString name;
    std::map<int, double> columnWidths;  // 0-based column -> characters; 0 hides it
    std::map<int, double> rowHeights;    // 0-based row -> points
    // Cells that look other than the workbook's default; each becomes a
    // BLANK cell of that format, which keeps the format when a value is
    // written into it.
    std::map<CellRef, CellAppearance> cells;
    std::vector<MergedRange> merged;
    int frozenRows = 0, frozenColumns = 0;
    bool gridlines = true;
    PageSetup page;
};

// The look of a cell of the default format: 宋体 12 pt.
CellAppearance defaultAppearance();

}  // namespace velmora::xls
