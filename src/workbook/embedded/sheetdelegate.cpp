#include "workbook/embedded/sheetdelegate.h"

#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/render/cellpainter.h"

#include <QApplication>
#include <QCache>
#include <QPainter>
#include <QStaticText>
#include <QTableView>
#include <cmath>

namespace velmora {

int SheetDelegate::runEnd(const QTableView& view, const CellLook& look, int row, int column) {
    const QRect cell = view.visualRect(view.model()->index(row, column));
    const QFontMetrics metrics(look.style->font);
    return cell.left() + kCellTextMargin + look.style->indentPx +
           metrics.horizontalAdvance(look.text);
}

SheetDelegate::Source SheetDelegate::shownSource(const QTableView& view, const SheetModel& model,
                                                 int row, int column, const CellLook& own) {
    if (!own.text.isEmpty() || own.kind != CellValue::Kind::Empty) {
        // Only a text with room to its right can run on: measuring a text
        // costs as much as drawing it.
        const int next = column + 1;
        if (!runsOn(own) || next >= model.columnCount() ||
            !model.document().read(model.sheet(), {row, next}).isEmpty())
            return {};
        return {column, runEnd(view, own, row, column)};
    }
    const int left = view.columnViewportPosition(column);
    for (int c = column - 1; c >= 0; --c) {
        if (view.isColumnHidden(c))
            continue;
        if (left - view.columnViewportPosition(c) > kMaxRunPx)
            break;
        if (model.document().read(model.sheet(), {row, c}).isEmpty())
            continue;
        const CellLook before = model.look(row, c);
        if (!runsOn(before) || view.columnSpan(row, c) > 1)
            return {};
        const int end = runEnd(view, before, row, c);
        return end > left ? Source{c, end} : Source{};
    }
    return {};
}

void SheetDelegate::paintText(QPainter* painter, const QRect& area, const QRect& cell,
                              const CellLook& look) const {
    const CellStyle& style = *look.style;
    if (style.wrap || look.text.contains(u'\n')) {
        velmora::paintText(painter, area, cell, look);
        return;
    }
    const QRect text = textArea(area, look);
    painter->setFont(style.font);
    painter->setPen(look.colour.isValid() ? look.colour : QColor(Qt::black));
    // One line: laid out once and kept (the grid paints the same texts
    // again and again), drawn at its baseline; a number that does not fit
    // its cell is not cut short: it shows as ###.
    const QStaticText* line = laidOut(look.text, style);
    if (look.kind == CellValue::Kind::Number && line->size().width() > text.width()) {
        const int hashes =
            int(text.width() / std::max(1.0, laidOut(QStringLiteral("#"), style)->size().width()));
        line = laidOut(QString(std::max(1, hashes), u'#'), style);
    }
    const int width = int(std::ceil(line->size().width()));
    const int height = int(std::ceil(line->size().height()));
    const int x = look.alignment & Qt::AlignRight     ? text.right() + 1 - width
                  : look.alignment & Qt::AlignHCenter ? text.left() + (text.width() - width) / 2
                                                      : text.left();
    const int y = look.alignment & Qt::AlignTop       ? text.top()
                  : look.alignment & Qt::AlignVCenter ? text.top() + (text.height() - height) / 2
                                                      : text.bottom() + 1 - height;
    // Most texts fit their cell: only the others are clipped to it.
    const bool fits = QRect(x, y, width, height).intersected(cell) == QRect(x, y, width, height);
    if (!fits)
        painter->setClipRect(cell);
    painter->drawStaticText(QPoint(x, y), *line);
    if (!fits)
        painter->setClipping(false);
}

const QStaticText* SheetDelegate::laidOut(const QString& text, const CellStyle& style) const {
    const QString key = QString::number(quintptr(&style), 16) + u'\x1f' + text;
    if (QStaticText* line = lines_.object(key))
        return line;
    auto* line = new QStaticText(text);
    line->setTextFormat(Qt::PlainText);
    line->setPerformanceHint(QStaticText::AggressiveCaching);
    line->prepare(QTransform(), style.font);
    lines_.insert(key, line);
    return line;
}

void SheetDelegate::paintBorders(QPainter* painter, const QTableView& view, const SheetModel& model,
                                 const QModelIndex& index, const QRect& cell,
                                 const CellStyle& own) {
    const int row = index.row(), column = index.column();
    const int lastRow = row + view.rowSpan(row, column) - 1;
    const int lastColumn = column + view.columnSpan(row, column) - 1;
    // The line between two cells is the heavier of the two sides that meet.
    xls::BorderLine right = lastColumn == column ? own.right : model.style(row, lastColumn).right;
    if (lastColumn + 1 < model.columnCount())
        right = heavierBorder(right, model.style(row, lastColumn + 1).left);
    xls::BorderLine bottom = lastRow == row ? own.bottom : model.style(lastRow, column).bottom;
    if (lastRow + 1 < model.rowCount())
        bottom = heavierBorder(bottom, model.style(lastRow + 1, column).top);
    paintBorderSide(painter, right, cell, Qt::RightEdge);
    paintBorderSide(painter, bottom, cell, Qt::BottomEdge);
    if (column == 0)
        paintBorderSide(painter, own.left, cell, Qt::LeftEdge);
    if (row == 0)
        paintBorderSide(painter, own.top, cell, Qt::TopEdge);
}

void SheetDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const auto* view = qobject_cast<const QTableView*>(option.widget);
    const auto* model = qobject_cast<const SheetModel*>(index.model());
    if (!view || !model) {
        CellEditor::paint(painter, option, index);
        return;
    }
    // No save() and restore() per cell (they cost more than the cell): each
    // cell sets the font, pen and clip it paints with. The viewport's white
    // is already behind every cell but a selected one, where the table has
    // painted the style's solid highlight: the cell shows through a tint.
    const QRect cell = option.rect;
    const int row = index.row(), column = index.column();
    const CellLook look = model->look(row, column);
    const CellStyle& style = *look.style;
    if (option.state & QStyle::State_Selected)
        painter->fillRect(cell, Qt::white);
    paintFill(painter, cell, style);
    const Source source = shownSource(*view, *model, row, column, look);
    const bool spanned = view->columnSpan(row, column) > 1;
    if (source.column == column || source.column < 0 || spanned) {
        if (!look.text.isEmpty()) {
            QRect area = cell;
            if (source.column == column && !spanned)
                area.setRight(std::max(cell.right(), source.runEnd + kCellTextMargin));
            paintText(painter, area, cell, look);
        }
    } else {
        const QRect from = view->visualRect(model->index(row, source.column));
        paintText(painter,
                  QRect(from.left(), cell.top(), source.runEnd - from.left() + 2 * kCellTextMargin,
                        cell.height()),
                  cell, model->look(row, source.column));
    }
    if (option.state & QStyle::State_Selected) {
        QColor tint = option.palette.color(QPalette::Highlight);
        tint.setAlpha(60);
        painter->fillRect(cell, tint);
    }
    // Grid lines (right and bottom of every cell) where the sheet shows them
    // and no fill covers them; none where a text runs on into an empty cell.
    if (model->display().gridlines && style.fillPattern == Qt::NoBrush) {
        static const QColor grid(218, 220, 224);
        painter->fillRect(QRect(cell.left(), cell.bottom(), cell.width(), 1), grid);
        int next = column + view->columnSpan(row, column);
        while (next < model->columnCount() && view->isColumnHidden(next)) ++next;
        const bool runningOn = source.column >= 0 && source.runEnd > cell.right() &&
                               next < model->columnCount() &&
                               model->document().read(model->sheet(), {row, next}).isEmpty();
        if (!runningOn)
            painter->fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), grid);
    }
    paintBorders(painter, *view, *model, index, cell, style);
    if (index == view->currentIndex()) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight).darker(130), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(1, 1, -1, -1));
    }
}

}  // namespace velmora
