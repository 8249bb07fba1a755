#pragma once

#include "workbook/embedded/pagination.h"
#include "workbook/xls/xlsworkbook.h"

#include <QFont>
#include <QString>

class QPrinter;
class QWidget;

namespace velmora {

// A print of one sheet's used range (A1 to the last used cell): the cells
// with grid lines, column widths from the file, rows as high as the file says
// or as their text needs, the title at the top of every page and the page
// number at its foot.
class SheetPrint {
public:
    SheetPrint(const xls::XlsWorkbook& book, int sheet, const QString& title);

    // The pages the printer's paper and margins give.
    QList<PageRange> pages(const QPrinter& printer) const;
    // False when the printer could not be started (no file, no device).
    bool render(QPrinter* printer) const;

private:
    QSizeF cellArea(const QPrinter& printer) const;
    int rowHeight(int row) const;

    const xls::XlsWorkbook& book_;
    int sheet_;
    QString title_;
    QFont font_;
    QList<int> widths_;
    QList<int> heights_;
};

// The print preview, from which the teacher prints or prints to a PDF file.
void previewSheet(QWidget* parent, const xls::XlsWorkbook& book, int sheet, const QString& title);
// Writes the print to a PDF file; HostError when it cannot be written.
void exportSheetPdf(const xls::XlsWorkbook& book, int sheet, const QString& title,
                    const QString& pdfPath);

}  // namespace velmora
