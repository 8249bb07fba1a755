#pragma once

#include <vector>

#include <QByteArray>

// How a worksheet is shown, beyond its cells: merged ranges (MERGEDCELLS),
// frozen panes (WINDOW2 and PANE), whether grid lines and zeros show.
namespace velmora::xls {

struct Sheet;

struct MergedRange {
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
};

struct SheetDisplay {
    std::vector<MergedRange> merged;
    int frozenRows = 0, frozenColumns = 0;
    int topRow = 0, leftColumn = 0;  // first row and column of the scrolling part
    bool gridlines = true;
    bool zeros = true;
};

SheetDisplay readSheetDisplay(const Sheet& sheet, const QByteArray& stream);

}  // namespace velmora::xls
