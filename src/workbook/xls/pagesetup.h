#pragma once

#include "workbook/cellref.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// How a worksheet prints: the paper and its margins, the scale or the pages
// to fit it on, the page breaks, the header and footer (the sheet's SETUP,
// margin, HCENTER/VCENTER, HEADER/FOOTER, WSBOOL and page-break records),
// and what prints and what repeats on every page (the built-in names
// Print_Area and Print_Titles of the workbook globals).
namespace velmora::xls {

struct Sheet;

struct PageSetup {
    int paper = 9;  // SETUP's paper codes: 9 A4, 8 A3, 11 A5, 1 Letter, ...
    bool landscape = false;
    int scale = 100;  // percent, when the sheet is not fitted to pages
    bool fitToPages = false;
    int fitWidth = 1, fitHeight = 1;  // pages across and down; 0: as many as it takes
    // Inches, as the file keeps them: the paper's edges to the cells, and to
    // the header and the footer.
    double left = 0.75, right = 0.75, top = 1.0, bottom = 1.0, header = 0.5, footer = 0.5;
    bool centreHorizontally = false, centreVertically = false;
    bool gridlines = false;
    // With the &-codes spreadsheet programs use (&L &C &R, &P page, &N pages,
    // &A sheet, &F file, &D date, &T time, && an ampersand).
    QString headerText, footerText;
    std::vector<int> rowBreaks;     // rows that begin a new page
    std::vector<int> columnBreaks;  // columns that begin a new page
    // From the names: the first and last cell that print, the rows and the
    // columns printed on every page.
    std::optional<std::pair<CellRef, CellRef>> printArea;
    std::optional<std::pair<int, int>> titleRows;
    std::optional<std::pair<int, int>> titleColumns;

    friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

// What the sheet's own records say; the print area and titles are left to
// the names.
PageSetup readPageSetup(const Sheet& sheet, const QByteArray& stream);

// The print records of a new sheet, in the order spreadsheet programs write
// them: PRINTHEADERS, PRINTGRIDLINES and GRIDSET (before GUTS), then WSBOOL
// to SETUP (after DEFAULTROWHEIGHT).
QByteArray printOptionRecords(const PageSetup& setup);
QByteArray pageRecords(const PageSetup& setup);

}  // namespace velmora::xls
