#pragma once

#include "workbook/xls/pagesetup.h"

#include <QList>
#include <QPageSize>
#include <QSizeF>
#include <vector>

// Which cells go on which printed page, as spreadsheet programs lay a sheet
// out: the print area (or every used cell), cut into pages across and down
// at the manual page breaks and wherever the paper is full, the title rows
// and columns repeated on every page that does not hold them already, all
// at the file's scale or shrunk to fit the pages it asks for.
namespace velmora {

struct PrintedPage {
    std::vector<int> rows;     // title rows first, then the page's own
    std::vector<int> columns;  // likewise
    friend bool operator==(const PrintedPage&, const PrintedPage&) = default;
};

// Sizes of the sheet's rows and columns, in pixels at 96 dpi (0: hidden),
// from the first up to the last printed one or title, whichever is further.
struct SheetSizes {
    QList<int> columnWidths;
    QList<int> rowHeights;
};

struct PagePlan {
    double scale = 1;  // the cells' pixels to the paper's, 1 at 100 %
    QSizeF cellArea;   // inside the margins, in pixels at 96 dpi on the paper
    std::vector<PrintedPage> pages;
};

// The paper of SETUP's paper code (A4 for a code it does not know), turned
// to the orientation.
QPageSize paperOf(int paperCode);
QSizeF paperPixels(const xls::PageSetup& setup);

// The pages on paper of this size (pixels at 96 dpi); first and last are
// the printed range's corners.
PagePlan planPages(const xls::PageSetup& setup, QSizeF paper, const SheetSizes& sizes,
                   CellRef first, CellRef last);

}  // namespace velmora
