#include "workbook/embedded/sheetview.h"

#include "common/fonts.h"
#include "workbook/cellref.h"
#include "workbook/embedded/sheetdelegate.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/xls/xlsworkbook.h"

#include <QCoreApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace velmora {

SheetView::SheetView(SheetModel* model, QWidget* parent)
    : QTableView(parent), model_(model), editor_(new SheetDelegate(this)) {
    setModel(model);
    setItemDelegate(editor_);
    setFont(songFont(10.5));
    setWordWrap(true);
    setShowGrid(false);  // the cells draw it, leaving out lines under run-on texts
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    horizontalHeader()->setMinimumSectionSize(4);
    verticalHeader()->setMinimumSectionSize(4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(editor_, &SheetDelegate::enterPressed, this, &SheetView::moveDown);
    connect(model, &QAbstractItemModel::dataChanged, this, &SheetView::cellChanged);
}

void SheetView::applyFileSizes(const xls::XlsWorkbook& book) {
    const int sheet = model_->sheet();
    QHeaderView* columns = horizontalHeader();
    for (int c = 0; c < CellRef::kMaxColumns; ++c) {
        const int w = book.columnWidthPx(sheet, c);
        columns->setSectionHidden(c, w <= 0);
        if (w > 0)
            columns->resizeSection(c, w);
    }
    // Rows: the height of a row nobody touched is the sheet's default; only
    // rows that differ from it are sized one by one.
    QHeaderView* rows = verticalHeader();
    const int standard = book.rowHeightPx(sheet, CellRef::kMaxRows - 1);
    rows->setDefaultSectionSize(std::max(standard, 4));
    const int used = book.lastCell(sheet).row;
    for (int r = 0; r <= used; ++r) {
        const int h = book.rowHeightPx(sheet, r);
        if (h != standard) {
            rows->setSectionHidden(r, h <= 0);
            if (h > 0)
                rows->resizeSection(r, h);
        }
    }
    // Cells of several lines get the rows they need to show every line.
    QHash<int, int> lines;
    book.forEachCell(sheet, [&lines](CellRef ref, const CellValue& v) {
        if (v.kind == CellValue::Kind::Text && v.text.contains(u'\n'))
            lines[ref.row] = std::max(lines.value(ref.row), int(v.text.count(u'\n')) + 1);
    });
    for (auto it = lines.begin(); it != lines.end(); ++it) growRow(it.key(), it.value());
    sized_ = true;
}

void SheetView::growRow(int row, int lines) {
    const int wanted = std::min(lines, kMaxLinesShown) * fontMetrics().lineSpacing() + 6;
    if (!isRowHidden(row) && rowHeight(row) < wanted)
        setRowHeight(row, wanted);
}

void SheetView::cellChanged(const QModelIndex& topLeft) {
    // A text may now run on over its neighbours, or stop another one short:
    // the whole row is painted again.
    viewport()->update(QRect(0, rowViewportPosition(topLeft.row()), viewport()->width(),
                             rowHeight(topLeft.row())));
    const QString text = topLeft.data(Qt::EditRole).toString();
    if (text.contains(u'\n'))
        growRow(topLeft.row(), int(text.count(u'\n')) + 1);
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState) {
        if (event->key() == Qt::Key_Delete) {
            clearSelectedCells();
            return;
        }
        const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                            !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        editor_->replaceNextEdit(typing);
    }
    QTableView::keyPressEvent(event);
    editor_->replaceNextEdit(false);
}

// Chinese typing arrives from the input method rather than as keys. The
// item view opens an editor for it but does not hand the text on, so the
// first characters would be lost: the editor is opened here and given them.
void SheetView::inputMethodEvent(QInputMethodEvent* event) {
    const bool text = !event->commitString().isEmpty() || !event->preeditString().isEmpty();
    if (state() != EditingState && text) {
        editor_->replaceNextEdit(true);
        const bool opened = edit(currentIndex(), EditKeyPressed, nullptr);
        editor_->replaceNextEdit(false);
        if (auto* editor = viewport()->findChild<QPlainTextEdit*>(); opened && editor) {
            editor->setFocus();
            QCoreApplication::sendEvent(editor, event);
            return;
        }
    }
    QTableView::inputMethodEvent(event);
}

void SheetView::moveDown() {
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() + 1 < model()->rowCount())
        setCurrentIndex(model()->index(current.row() + 1, current.column()));
}

// Only the part of the selection inside the used range can hold anything: a
// whole selected sheet is not walked cell by cell.
void SheetView::clearSelectedCells() {
    const CellRef end = model_->usedEnd();
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int r = range.top(); r <= std::min(range.bottom(), end.row); ++r)
            for (int c = range.left(); c <= std::min(range.right(), end.column); ++c)
                model_->setData(model_->index(r, c), QString(), Qt::EditRole);
    }
}

}  // namespace velmora
