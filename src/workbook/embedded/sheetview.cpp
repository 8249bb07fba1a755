#include "workbook/embedded/sheetview.h"

#include "common/fonts.h"
#include "workbook/embedded/frozenpanes.h"
#include "workbook/embedded/sheetdelegate.h"
#include "workbook/embedded/sheetedits.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/hosterror.h"
#include "workbook/xls/sheetdisplay.h"
#include "workbook/xls/xlsworkbook.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>

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
    for (QHeaderView* h : {horizontalHeader(), verticalHeader()}) {
        h->setMinimumSectionSize(4);
        h->setDefaultAlignment(Qt::AlignCenter);
        h->viewport()->installEventFilter(this);
    }
    connect(
        horizontalHeader(), &QHeaderView::sectionResized, this,
        [this](int s, int before, int after) { sectionResized(Qt::Horizontal, s, before, after); });
    connect(
        verticalHeader(), &QHeaderView::sectionResized, this,
        [this](int s, int before, int after) { sectionResized(Qt::Vertical, s, before, after); });
    connect(editor_, &CellEditor::committed, this, &SheetView::move);
    connect(editor_, &CellEditor::textEdited, this, &SheetView::editorTextChanged);
    connect(editor_, &QAbstractItemDelegate::closeEditor, this, &SheetView::editEnded);
    connect(model, &QAbstractItemModel::dataChanged, this, &SheetView::cellsChanged);
    connect(&model->document(), &WorkbookDocument::sizeChanged, this, &SheetView::sizeChanged);
}

void SheetView::setEdits(SheetEdits* edits) {
    edits_ = edits;
    const int sheet = model_->sheet();
    model_->setStore(
        [edits, sheet](CellRef ref, const QString& text) { edits->type(sheet, ref, text); });
}

void SheetView::applyFileSizes(const xls::XlsWorkbook& book) {
    QScopedValueRollback<bool> sizing(sizing_, true);
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
    for (int r = 0; r < model_->rowCount(); ++r) {
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
    const xls::SheetDisplay& display = model_->display();
    if (display.frozenRows > 0 || display.frozenColumns > 0) {
        panes_ = new FrozenPanes(this, display.frozenRows, display.frozenColumns);
        connect(panes_, &FrozenPanes::committed, this, &SheetView::move);
        connect(panes_, &FrozenPanes::textEdited, this, &SheetView::editorTextChanged);
        // An editor closed in a pane hands the keys back to the grid.
        connect(panes_, &FrozenPanes::editorClosed, this, [this] {
            Q_EMIT editEnded();
            QTimer::singleShot(0, this, [this] { setFocus(); });
        });
    }
    for (const xls::MergedRange& m : display.merged) {
        const int rowsSpanned = m.lastRow - m.firstRow + 1,
                  columnsSpanned = m.lastColumn - m.firstColumn + 1;
        setSpan(m.firstRow, m.firstColumn, rowsSpanned, columnsSpanned);
        if (panes_)
            panes_->setSpan(m.firstRow, m.firstColumn, rowsSpanned, columnsSpanned);
    }
    // The scrolling part starts where the file left it.
    horizontalScrollBar()->setValue(std::max(0, display.leftColumn - display.frozenColumns));
    verticalScrollBar()->setValue(std::max(0, display.topRow - display.frozenRows));
    sized_ = true;
}

void SheetView::growRow(int row, int lines) {
    QScopedValueRollback<bool> sizing(sizing_, true);
    const int wanted = std::min(lines, kMaxLinesShown) * fontMetrics().lineSpacing() + 6;
    if (!isRowHidden(row) && rowHeight(row) < wanted)
        setRowHeight(row, wanted);
}

void SheetView::cellsChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    // A text may now run on over its neighbours, or stop another one short:
    // the whole rows are painted again.
    const int top = rowViewportPosition(topLeft.row());
    const int bottom = rowViewportPosition(bottomRight.row()) + rowHeight(bottomRight.row());
    viewport()->update(QRect(0, top, viewport()->width(), bottom - top));
    if (bottomRight.row() - topLeft.row() > 200)
        return;  // a large block: its rows keep their heights
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        int most = 0;
        for (int c = topLeft.column(); c <= bottomRight.column(); ++c) {
            const CellValue v = model_->document().read(model_->sheet(), {r, c});
            if (v.kind == CellValue::Kind::Text)
                most = std::max(most, int(v.text.count(u'\n')));
        }
        if (most > 0)
            growRow(r, most + 1);
    }
}

QList<QRect> SheetView::selectedRanges() const {
    QList<QRect> ranges;
    for (const QItemSelectionRange& r : selectionModel()->selection())
        ranges << QRect(QPoint(r.left(), r.top()), QPoint(r.right(), r.bottom()));
    if (ranges.isEmpty() && currentIndex().isValid())
        ranges << QRect(currentIndex().column(), currentIndex().row(), 1, 1);
    return ranges;
}

QRect SheetView::selectionBounds() const {
    QRect all;
    for (const QRect& r : selectedRanges()) all |= r;
    return all;
}

void SheetView::goTo(CellRef cell, CellRef extent) {
    while (model_->rowCount() <= extent.row && model_->canFetchMore({})) model_->fetchMore({});
    const QModelIndex at = model_->index(cell.row, cell.column);
    setCurrentIndex(at);
    if (extent != cell)
        selectionModel()->select(QItemSelection(at, model_->index(extent.row, extent.column)),
                                 QItemSelectionModel::ClearAndSelect);
    scrollTo(at);
}

void SheetView::run(const std::function<void()>& step) {
    try {
        step();
    } catch (const HostError& e) {
        Q_EMIT refused(e.message());
    }
}

void SheetView::fill(Qt::Orientation direction) {
    if (edits_)
        run([&] { edits_->fill(model_->sheet(), selectionBounds(), direction); });
}

void SheetView::moveTo(int row, int column) {
    row = std::clamp(row, 0, model_->rowCount() - 1);
    column = std::clamp(column, 0, model_->columnCount() - 1);
    setCurrentIndex(model_->index(row, column));
}

// One step in a direction, past hidden rows and columns.
void SheetView::move(CellEditor::Move move) {
    const QModelIndex at = currentIndex();
    if (!at.isValid() || move == CellEditor::Move::None)
        return;
    const int dr = move == CellEditor::Move::Down ? 1 : move == CellEditor::Move::Up ? -1 : 0;
    const int dc = move == CellEditor::Move::Right ? 1 : move == CellEditor::Move::Left ? -1 : 0;
    int row = at.row() + dr * rowSpan(at.row(), at.column());
    int column = at.column() + dc * columnSpan(at.row(), at.column());
    if (dr > 0 && row >= model_->rowCount() && model_->canFetchMore({}))
        model_->fetchMore({});
    while (row >= 0 && row < model_->rowCount() && isRowHidden(row)) row += dr;
    while (column >= 0 && column < model_->columnCount() && isColumnHidden(column)) column += dc;
    if (row < 0 || column < 0 || row >= model_->rowCount() || column >= model_->columnCount())
        return;
    moveTo(row, column);
}

// Keys move the current cell and select it alone, Ctrl held or not
// (Ctrl+Home, Ctrl+End); Shift extends the selection. The mouse keeps the
// item view's ways (Ctrl+click adds a range).
QItemSelectionModel::SelectionFlags SheetView::selectionCommand(const QModelIndex& index,
                                                                const QEvent* event) const {
    const bool key = !event || event->type() == QEvent::KeyPress;
    const Qt::KeyboardModifiers mods = event && key
                                           ? static_cast<const QKeyEvent*>(event)->modifiers()
                                           : QGuiApplication::keyboardModifiers();
    if (key && !(mods & Qt::ShiftModifier))
        return QItemSelectionModel::ClearAndSelect;
    return QTableView::selectionCommand(index, event);
}

void SheetView::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState) {
        const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
        const bool shift = mods & Qt::ShiftModifier;
        const bool ctrl = mods & Qt::ControlModifier;
        switch (event->key()) {
            case Qt::Key_Delete:
                if (edits_)
                    run([&] {
                        edits_->clear(model_->sheet(), selectedRanges(), QStringLiteral("清除"));
                    });
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                move(shift ? CellEditor::Move::Up : CellEditor::Move::Down);
                return;
            case Qt::Key_Tab:
                move(CellEditor::Move::Right);
                return;
            case Qt::Key_Backtab:
                move(CellEditor::Move::Left);
                return;
            case Qt::Key_End: {
                const CellRef end = model_->usedEnd();
                if (ctrl)
                    moveTo(std::max(end.row, 0), std::max(end.column, 0));
                else
                    moveTo(currentIndex().row(), std::max(end.column, 0));
                return;
            }
            default:
                break;
        }
        const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                            !(mods & (Qt::ControlModifier | Qt::AltModifier));
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
        if (auto* editor = findChild<QPlainTextEdit*>(QStringLiteral("cellEditor"));
            opened && editor) {
            editor->setFocus();
            QCoreApplication::sendEvent(editor, event);
            return;
        }
    }
    QTableView::inputMethodEvent(event);
}

bool SheetView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (panes_ && index.isValid() && panes_->covers(index)) {
        if (!(editTriggers() & trigger) && trigger != AllEditTriggers)
            return false;
        return panes_->edit(index, trigger, event, editor_->replacesNextEdit());
    }
    return QTableView::edit(index, trigger, event);
}

// A cell of the scrolling part is shown beside the frozen panes, not under
// them.
void SheetView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTableView::scrollTo(index, hint);
    if (!panes_ || !index.isValid())
        return;
    QScrollBar* across = horizontalScrollBar();
    while (index.column() >= panes_->columns() && across->value() > across->minimum() &&
           columnViewportPosition(index.column()) < panes_->coveredWidth())
        across->setValue(across->value() - 1);
    QScrollBar* down = verticalScrollBar();
    while (index.row() >= panes_->rows() && down->value() > down->minimum() &&
           rowViewportPosition(index.row()) < panes_->coveredHeight())
        down->setValue(down->value() - 1);
}

// A size dragged by the mouse is one step when the button is let go; other
// changes of a size (a double click on an edge) are one step at once.
void SheetView::sectionResized(Qt::Orientation orientation, int section, int before, int after) {
    if (sizing_ || !edits_)
        return;
    if (dragging_) {
        dragged_.try_emplace({int(orientation), section}, before);
        return;
    }
    run([&] { edits_->resize(model_->sheet(), orientation, section, before, after); });
}

bool SheetView::eventFilter(QObject* object, QEvent* event) {
    const bool onHeader =
        object == horizontalHeader()->viewport() || object == verticalHeader()->viewport();
    if (onHeader && event->type() == QEvent::MouseButtonPress)
        dragging_ = true;
    if (onHeader && event->type() == QEvent::MouseButtonRelease) {
        dragging_ = false;
        const auto sizes = std::exchange(dragged_, {});
        for (const auto& [key, before] : sizes) {
            const auto orientation = Qt::Orientation(key.first);
            const int after =
                orientation == Qt::Horizontal ? columnWidth(key.second) : rowHeight(key.second);
            run([&] { edits_->resize(model_->sheet(), orientation, key.second, before, after); });
        }
    }
    return QTableView::eventFilter(object, event);
}

// A size put back by undo or redo.
void SheetView::sizeChanged(int sheet, Qt::Orientation orientation, int section, int px) {
    if (sheet != model_->sheet())
        return;
    QScopedValueRollback<bool> sizing(sizing_, true);
    QHeaderView* header = orientation == Qt::Horizontal ? horizontalHeader() : verticalHeader();
    header->setSectionHidden(section, px <= 0);
    if (px > 0 && header->sectionSize(section) != px)
        header->resizeSection(section, px);
}

}  // namespace velmora
