#pragma once

#include "workbook/render/cellstyle.h"
#include "workbook/render/pageplan.h"
#include "workbook/xls/pagesetup.h"
#include "workbook/xls/sheetdisplay.h"
#include "workbook/xls/xlsworkbook.h"

#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace velmora {

struct CellLook;

// A sheet as it prints: the file's page setup (paper, orientation, margins,
// scale or fit to pages, page breaks, print area, repeated rows and columns,
// header and footer) and the cells with their fonts, fills, borders, number
// formats and merges, painted as the sheet window paints them. Rows are as
// high as the file says, or as their text needs.
class SheetPrint {
public:
    // filePath: the workbook's file, for a header or footer that names it.
    SheetPrint(const xls::XlsWorkbook& book, int sheet, const QString& filePath);

    const xls::PageSetup& setup() const { return setup_; }
    // The file's paper and orientation, without margins: the print places
    // everything on the paper itself.
    QPageLayout pageLayout() const;
    // The pages on the file's paper.
    PagePlan plan() const;
    // Paints every page on the device, on the paper its page layout holds
    // (painting starts at the paper's corner). False when the device cannot
    // be painted on (no file, no printer).
    bool render(QPagedPaintDevice* device) const;

private:
    struct Placed;
    int rowHeight(int row) const;
    const CellStyle& style(int row, int column) const;
    const xls::MergedRange* mergeAt(int row, int column) const;
    void paintPage(QPainter& p, const PrintedPage& page, double scale) const;
    void paintCells(QPainter& p, const Placed& at) const;
    void paintBorders(QPainter& p, const Placed& at) const;
    void paintHeader(QPainter& p, const QSizeF& paper, int page, int pages) const;

    const xls::XlsWorkbook& book_;
    int sheet_;
    QString filePath_;
    xls::PageSetup setup_;
    xls::SheetDisplay display_;
    CellStyles styles_;
    CellRef first_, last_;  // the printed range
    SheetSizes sizes_;
};

// Writes the sheet's print to a PDF file; HostError when it cannot be written.
void writeSheetPdf(const xls::XlsWorkbook& book, int sheet, const QString& filePath,
                   const QString& pdfPath);

}  // namespace velmora
