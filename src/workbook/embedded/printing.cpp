#include "workbook/embedded/printing.h"

#include "common/fonts.h"
#include "workbook/hosterror.h"

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace velmora {

namespace {

// Everything is laid out in pixels at 96 dpi, the unit of the file's column
// widths and row heights, and scaled to the printer's resolution.
constexpr double kLayoutDpi = 96.0;
constexpr int kBandHeight = 24;  // title above and page number below the cells
constexpr int kCellPadding = 2;

int textFlags(const CellValue& v) {
    return Qt::TextWordWrap | Qt::AlignVCenter |
           (v.kind == CellValue::Kind::Number ? Qt::AlignRight : Qt::AlignLeft);
}

void preparePrinter(QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

}  // namespace

SheetPrint::SheetPrint(const xls::XlsWorkbook& book, int sheet, const QString& title)
    : book_(book), sheet_(sheet), title_(title), font_(songFont(10)) {
    font_.setPixelSize(13);
    const CellRef last = book.lastCell(sheet);
    for (int c = 0; c <= last.column; ++c) widths_.append(book.columnWidthPx(sheet, c));
    for (int r = 0; r <= last.row; ++r) heights_.append(rowHeight(r));
}

// As high as the file says, or as the wrapped text of its tallest cell needs.
int SheetPrint::rowHeight(int row) const {
    const QFontMetrics fm(font_);
    int height = book_.rowHeightPx(sheet_, row);
    for (int c = 0; c < widths_.size(); ++c) {
        const QString text = book_.cell(sheet_, {row, c}).toText();
        const int inner = widths_[c] - 2 * kCellPadding;
        if (text.isEmpty() || inner <= 0)
            continue;
        if (!text.contains(u'\n') && fm.horizontalAdvance(text) <= inner)
            continue;
        const QRect need = fm.boundingRect(QRect(0, 0, inner, 100000), Qt::TextWordWrap, text);
        height = std::max(height, need.height() + 2 * kCellPadding);
    }
    return height;
}

QSizeF SheetPrint::cellArea(const QPrinter& printer) const {
    const QSizeF paper = printer.pageLayout().paintRectPixels(int(kLayoutDpi)).size();
    return {paper.width(), paper.height() - 2 * kBandHeight};
}

QList<PageRange> SheetPrint::pages(const QPrinter& printer) const {
    const QSizeF area = cellArea(printer);
    // A row taller than a page is cut off at the page's foot.
    QList<int> heights = heights_;
    for (int& h : heights) h = std::min(h, int(area.height()));
    return paginate(widths_, heights, area.toSize());
}

bool SheetPrint::render(QPrinter* printer) const {
    const QList<PageRange> all = pages(*printer);
    QPainter p;
    if (!p.begin(printer))
        return false;
    const double scale = printer->resolution() / kLayoutDpi;
    const QSizeF area = cellArea(*printer);
    p.scale(scale, scale);
    p.setFont(font_);
    for (qsizetype n = 0; n < all.size(); ++n) {
        if (n > 0)
            printer->newPage();
        const PageRange& page = all[n];
        p.setPen(Qt::black);
        p.drawText(QRectF(0, 0, area.width(), kBandHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   title_);
        p.drawText(QRectF(0, kBandHeight + area.height(), area.width(), kBandHeight),
                   Qt::AlignCenter,
                   QStringLiteral("第 %1 页，共 %2 页").arg(n + 1).arg(all.size()));
        int y = kBandHeight;
        for (int r = page.firstRow; r <= page.lastRow; ++r) {
            const int h = std::min(heights_[r], int(area.height()));
            int x = 0;
            for (int c = page.firstColumn; c <= page.lastColumn; ++c) {
                const QRect cell(x, y, widths_[c], h);
                x += widths_[c];
                if (cell.width() <= 0)
                    continue;
                p.setPen(QColor(160, 160, 160));
                p.drawRect(cell);
                const CellValue v = book_.cell(sheet_, {r, c});
                if (v.isEmpty())
                    continue;
                p.setPen(Qt::black);
                p.save();
                p.setClipRect(cell);
                p.drawText(cell.adjusted(kCellPadding, kCellPadding, -kCellPadding, -kCellPadding),
                           textFlags(v), v.toText());
                p.restore();
            }
            y += h;
        }
    }
    return p.end();
}

void previewSheet(QWidget* parent, const xls::XlsWorkbook& book, int sheet, const QString& title) {
    const SheetPrint print(book, sheet, title);
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印预览 - %1").arg(title));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested,
                     [&print](QPrinter* p) { print.render(p); });
    dialog.exec();
}

void exportSheetPdf(const xls::XlsWorkbook& book, int sheet, const QString& title,
                    const QString& pdfPath) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setDocName(title);
    preparePrinter(printer);
    if (!SheetPrint(book, sheet, title).render(&printer))
        throw HostError(
            QStringLiteral("无法写入PDF文件“%1”。").arg(QDir::toNativeSeparators(pdfPath)));
}

}  // namespace velmora
