#include "workbook/embedded/sheetdelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTableView>
#include <climits>

namespace velmora {

namespace {
// The room QStyledItemDelegate leaves between a cell's edge and its text.
constexpr int kTextMargin = 3;

QString shownText(const QModelIndex& index) {
    return index.data(Qt::DisplayRole).toString();
}
}  // namespace

int SheetDelegate::runEnd(const QTableView& view, const QModelIndex& source,
                          const QFontMetrics& metrics) {
    const QString text = shownText(source);
    const int alignment = source.data(Qt::TextAlignmentRole).toInt();
    if (text.isEmpty() || text.contains(u'\n') || !(alignment & Qt::AlignLeft))
        return INT_MIN;
    const QRect cell = view.visualRect(source);
    const int end = cell.left() + kTextMargin + metrics.horizontalAdvance(text);
    return end > cell.right() - kTextMargin ? end : INT_MIN;
}

QModelIndex SheetDelegate::shownSource(const QTableView& view, const QModelIndex& index,
                                       const QFontMetrics& metrics) {
    if (!shownText(index).isEmpty())
        return index;
    const int left = view.columnViewportPosition(index.column());
    for (int c = index.column() - 1; c >= 0; --c) {
        if (view.isColumnHidden(c))
            continue;
        if (left - view.columnViewportPosition(c) > kMaxRunPx)
            break;
        const QModelIndex before = index.siblingAtColumn(c);
        if (shownText(before).isEmpty())
            continue;
        return runEnd(view, before, metrics) > left ? before : QModelIndex();
    }
    return {};
}

void SheetDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const auto* view = qobject_cast<const QTableView*>(option.widget);
    if (!view) {
        CellEditor::paint(painter, option, index);
        return;
    }
    const QRect cell = option.rect;
    const QModelIndex source = shownSource(*view, index, option.fontMetrics);
    const int end = source.isValid() ? runEnd(*view, source, option.fontMetrics) : INT_MIN;
    if (end == INT_MIN) {
        CellEditor::paint(painter, option, index);
    } else {
        // The cell's background, selection and focus as usual, then its part
        // of the run-on text, clipped to the cell.
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        QStyle* style = view->style();
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, view);
        painter->save();
        painter->setClipRect(cell);
        painter->setFont(option.font);
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        const int start = view->visualRect(source).left() + kTextMargin;
        painter->drawText(QRect(start, cell.top(), end - start + 1, cell.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shownText(source));
        painter->restore();
    }
    // The grid: every cell draws its bottom and right lines; the right one
    // stays out where the text runs on into an empty neighbour.
    const QColor grid(QColor::fromRgba(
        uint(view->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, view))));
    painter->save();
    painter->setPen(grid);
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    int next = index.column() + 1;
    while (next < index.model()->columnCount() && view->isColumnHidden(next)) ++next;
    const bool runsOn = end > cell.right() && next < index.model()->columnCount() &&
                        shownText(index.siblingAtColumn(next)).isEmpty();
    if (!runsOn)
        painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->restore();
}

}  // namespace velmora
