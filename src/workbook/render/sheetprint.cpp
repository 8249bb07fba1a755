#include "workbook/render/sheetprint.h"

#include "workbook/hosterror.h"
#include "workbook/render/cellpainter.h"
#include "workbook/render/headerfooter.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

namespace velmora {

namespace {

constexpr double kDpi = 96.0;
constexpr double kHeaderPoints = 10;
const QColor kGridColour(192, 192, 192);

}  // namespace

// Where the page's rows and columns go: their top (left) edge and size, in
// the page's pixels, by position on the page.
struct SheetPrint::Placed {
    const PrintedPage& page;
    std::vector<int> ys, xs;
    std::vector<int> heights, widths;

    QRect cell(size_t i, size_t j) const { return QRect(xs[j], ys[i], widths[j], heights[i]); }
    // The rectangle a merged range takes on this page: the union of its
    // cells that are on it.
    QRect span(const xls::MergedRange& m) const {
        QRect r;
        for (size_t i = 0; i < page.rows.size(); ++i)
            for (size_t j = 0; j < page.columns.size(); ++j)
                if (page.rows[i] >= m.firstRow && page.rows[i] <= m.lastRow &&
                    page.columns[j] >= m.firstColumn && page.columns[j] <= m.lastColumn)
                    r = r.united(cell(i, j));
        return r;
    }
};

SheetPrint::SheetPrint(const xls::XlsWorkbook& book, int sheet, const QString& filePath)
    : book_(book),
      sheet_(sheet),
      filePath_(filePath),
      setup_(book.pageSetup(sheet)),
      display_(book.display(sheet)),
      styles_(book.styles()) {
    const CellRef used = book.lastCell(sheet);
    first_ = {0, 0};
    last_ = used;
    if (setup_.printArea) {
        first_ = setup_.printArea->first;
        last_ = setup_.printArea->second;
    }
    int rows = last_.row, columns = last_.column;
    if (setup_.titleRows)
        rows = std::max(rows, setup_.titleRows->second);
    if (setup_.titleColumns)
        columns = std::max(columns, setup_.titleColumns->second);
    for (int c = 0; c <= columns; ++c) sizes_.columnWidths.append(book.columnWidthPx(sheet, c));
    for (int r = 0; r <= rows; ++r) sizes_.rowHeights.append(rowHeight(r));
}

const CellStyle& SheetPrint::style(int row, int column) const {
    return styles_.at(book_.cellStyle(sheet_, {row, column}));
}

const xls::MergedRange* SheetPrint::mergeAt(int row, int column) const {
    for (const xls::MergedRange& m : display_.merged)
        if (row >= m.firstRow && row <= m.lastRow && column >= m.firstColumn &&
            column <= m.lastColumn)
            return &m;
    return nullptr;
}

// As high as the file says, or as its tallest text needs: a larger font, or
// lines wrapped in the column's width. Merged cells keep the size they have.
int SheetPrint::rowHeight(int row) const {
    int height = book_.rowHeightPx(sheet_, row);
    if (height <= 0)
        return 0;
    const int columns = std::min<int>(last_.column, CellRef::kMaxColumns - 1);
    for (int c = 0; c <= columns; ++c) {
        const CellValue v = book_.cell(sheet_, {row, c});
        if (v.isEmpty() || mergeAt(row, c))
            continue;
        const CellLook look = lookOf(v, style(row, c), display_.zeros);
        if (look.text.isEmpty())
            continue;
        const int inner = book_.columnWidthPx(sheet_, c) - 2 * kCellTextMargin;
        const double need =
            look.style->wrap && inner > 0
                ? wrappedHeight(look.style->font, look.text, inner)
                : QFontMetricsF(look.style->font).height() * (look.text.count(u'\n') + 1);
        height = std::max(height, int(std::ceil(need)) + 2);
    }
    return height;
}

QPageLayout SheetPrint::pageLayout() const {
    return QPageLayout(paperOf(setup_.paper),
                       setup_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

PagePlan SheetPrint::plan() const {
    return planPages(setup_, paperPixels(setup_), sizes_, first_, last_);
}

void SheetPrint::paintCells(QPainter& p, const Placed& at) const {
    const PrintedPage& page = at.page;
    // Fills and grid lines first, texts over them.
    for (size_t i = 0; i < page.rows.size(); ++i)
        for (size_t j = 0; j < page.columns.size(); ++j) {
            const int r = page.rows[i], c = page.columns[j];
            const QRect cell = at.cell(i, j);
            if (cell.isEmpty())
                continue;
            const xls::MergedRange* m = mergeAt(r, c);
            paintFill(&p, cell, m ? style(m->firstRow, m->firstColumn) : style(r, c));
            if (setup_.gridlines && !m) {
                p.fillRect(QRect(cell.left(), cell.bottom(), cell.width(), 1), kGridColour);
                p.fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), kGridColour);
            }
        }
    for (size_t i = 0; i < page.rows.size(); ++i)
        for (size_t j = 0; j < page.columns.size(); ++j) {
            const int r = page.rows[i], c = page.columns[j];
            const xls::MergedRange* m = mergeAt(r, c);
            // A merged range shows its first cell's text, once, at the first
            // of its cells on the page.
            if (m && at.span(*m).topLeft() != at.cell(i, j).topLeft())
                continue;
            const int vr = m ? m->firstRow : r, vc = m ? m->firstColumn : c;
            const CellValue v = book_.cell(sheet_, {vr, vc});
            if (v.isEmpty())
                continue;
            const CellLook look = lookOf(v, style(vr, vc), display_.zeros);
            QRect area = m ? at.span(*m) : at.cell(i, j);
            if (look.text.isEmpty() || area.isEmpty())
                continue;
            if (!m && runsOn(look)) {
                // Over the empty cells to its right, as far as it needs.
                const double need = QFontMetricsF(look.style->font).horizontalAdvance(look.text) +
                                    2 * kCellTextMargin + look.style->indentPx;
                for (size_t k = j + 1; k < page.columns.size() && area.width() < need; ++k) {
                    const int next = page.columns[k];
                    if (next != page.columns[k - 1] + 1 || mergeAt(r, next) ||
                        !book_.cell(sheet_, {r, next}).isEmpty())
                        break;
                    area.setRight(at.cell(i, k).right());
                }
            }
            paintText(&p, area, area, look);
        }
}

// Each side of a cell is the heavier of its own border and its neighbour's
// facing one; a side inside a merged range has none.
void SheetPrint::paintBorders(QPainter& p, const Placed& at) const {
    const PrintedPage& page = at.page;
    const auto inside = [&](int r1, int c1, int r2, int c2) {
        const xls::MergedRange* m = mergeAt(r1, c1);
        return m && m == mergeAt(r2, c2);
    };
    for (size_t i = 0; i < page.rows.size(); ++i)
        for (size_t j = 0; j < page.columns.size(); ++j) {
            const int r = page.rows[i], c = page.columns[j];
            const QRect cell = at.cell(i, j);
            if (cell.isEmpty())
                continue;
            const CellStyle& own = style(r, c);
            if (!inside(r, c, r, c + 1))
                paintBorderSide(&p,
                                c + 1 < CellRef::kMaxColumns
                                    ? heavierBorder(own.right, style(r, c + 1).left)
                                    : own.right,
                                cell, Qt::RightEdge);
            if (!inside(r, c, r + 1, c))
                paintBorderSide(&p,
                                r + 1 < CellRef::kMaxRows
                                    ? heavierBorder(own.bottom, style(r + 1, c).top)
                                    : own.bottom,
                                cell, Qt::BottomEdge);
            // The left and top sides where no cell of the page paints them.
            if ((j == 0 || page.columns[j - 1] != c - 1) && !inside(r, c, r, c - 1))
                paintBorderSide(&p,
                                c > 0 ? heavierBorder(own.left, style(r, c - 1).right) : own.left,
                                cell, Qt::LeftEdge);
            if ((i == 0 || page.rows[i - 1] != r - 1) && !inside(r, c, r - 1, c))
                paintBorderSide(&p,
                                r > 0 ? heavierBorder(own.top, style(r - 1, c).bottom) : own.top,
                                cell, Qt::TopEdge);
        }
}

void SheetPrint::paintHeader(QPainter& p, const QSizeF& paper, int page, int pages) const {
    PageFields fields;
    fields.page = page;
    fields.pages = pages;
    fields.sheet = book_.sheetNames().value(sheet_);
    fields.file = QFileInfo(filePath_).fileName();
    fields.folder = QDir::toNativeSeparators(QFileInfo(filePath_).absolutePath());
    fields.date = QDate::currentDate().toString(QStringLiteral("yyyy-M-d"));
    fields.time = QTime::currentTime().toString(QStringLiteral("H:mm"));
    const double left = setup_.left * kDpi, right = paper.width() - setup_.right * kDpi;
    for (const bool header : {true, false}) {
        const HeaderParts parts =
            headerParts(header ? setup_.headerText : setup_.footerText, fields);
        if (parts.isEmpty())
            continue;
        const std::pair<const HeaderPart*, Qt::Alignment> placed[] = {
            {&parts.left, Qt::AlignLeft},
            {&parts.centre, Qt::AlignHCenter},
            {&parts.right, Qt::AlignRight}};
        for (const auto& [part, align] : placed) {
            if (part->text.isEmpty())
                continue;
            QFont font(QStringLiteral("宋体"));
            font.setPixelSize(
                int(std::lround((part->points > 0 ? part->points : kHeaderPoints) * kDpi / 72)));
            font.setBold(part->bold);
            p.setFont(font);
            p.setPen(Qt::black);
            const double height = QFontMetricsF(font).lineSpacing() * (part->text.count(u'\n') + 1);
            const double top =
                header ? setup_.header * kDpi : paper.height() - setup_.footer * kDpi - height;
            p.drawText(QRectF(left, top, right - left, height), int(align) | Qt::AlignTop,
                       part->text);
        }
    }
}

void SheetPrint::paintPage(QPainter& p, const PrintedPage& page, double scale) const {
    std::vector<int> ys, xs, heights, widths;
    int y = 0, x = 0;
    for (int r : page.rows) {
        ys.push_back(y);
        heights.push_back(sizes_.rowHeights.value(r));
        y += heights.back();
    }
    for (int c : page.columns) {
        xs.push_back(x);
        widths.push_back(sizes_.columnWidths.value(c));
        x += widths.back();
    }
    const Placed at{page, ys, xs, heights, widths};
    p.save();
    p.translate(setup_.left * kDpi, setup_.top * kDpi);
    p.scale(scale, scale);
    paintCells(p, at);
    paintBorders(p, at);
    p.restore();
}

bool SheetPrint::render(QPagedPaintDevice* device) const {
    const QSizeF paper = device->pageLayout().fullRectPoints().size() * (kDpi / 72);
    const PagePlan plan = planPages(setup_, paper, sizes_, first_, last_);
    QPainter p;
    if (!p.begin(device))
        return false;
    p.scale(device->logicalDpiX() / kDpi, device->logicalDpiY() / kDpi);
    const int pages = int(plan.pages.size());
    for (int n = 0; n < pages; ++n) {
        if (n > 0)
            device->newPage();
        const PrintedPage& page = plan.pages[size_t(n)];
        paintHeader(p, paper, n + 1, pages);
        p.save();
        // Centred where the file says, in the room the margins leave.
        double width = 0, height = 0;
        for (int c : page.columns) width += sizes_.columnWidths.value(c);
        for (int r : page.rows) height += sizes_.rowHeights.value(r);
        const double spareX = std::max(0.0, plan.cellArea.width() - width * plan.scale);
        const double spareY = std::max(0.0, plan.cellArea.height() - height * plan.scale);
        p.translate(setup_.centreHorizontally ? spareX / 2 : 0,
                    setup_.centreVertically ? spareY / 2 : 0);
        paintPage(p, page, plan.scale);
        p.restore();
    }
    return p.end();
}

void writeSheetPdf(const xls::XlsWorkbook& book, int sheet, const QString& filePath,
                   const QString& pdfPath) {
    const SheetPrint print(book, sheet, filePath);
    QPdfWriter writer(pdfPath);
    writer.setTitle(book.sheetNames().value(sheet).trimmed());
    writer.setCreator(QStringLiteral("Velmora"));
    writer.setPageLayout(print.pageLayout());
    if (!print.render(&writer))
        throw HostError(
            QStringLiteral("无法写入PDF文件“%1”。").arg(QDir::toNativeSeparators(pdfPath)));
}

}  // namespace velmora
