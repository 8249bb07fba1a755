#pragma once

#include "workbook/embedded/celleditor.h"

class QTableView;

namespace velmora {

// The grid's delegate: CellEditor's editing, and cells painted the way
// spreadsheet programs paint them. A text of one line that is too wide for
// its cell runs on over the empty cells to its right, up to the first cell
// that holds something, and no grid line crosses it. Each cell paints its own
// part of such a text, so scrolling and partial repaints show it whole.
class SheetDelegate : public CellEditor {
    Q_OBJECT
public:
    using CellEditor::CellEditor;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    // Where a run-on text starts, at most this far left of a cell it covers.
    static constexpr int kMaxRunPx = 4000;

    // The cell whose text is shown in INDEX's cell: INDEX itself, a cell to
    // its left whose text runs on into it, or none.
    static QModelIndex shownSource(const QTableView& view, const QModelIndex& index,
                                   const QFontMetrics& metrics);
    // The x where a run-on text of SOURCE ends, in viewport coordinates;
    // INT_MIN for a text that does not run on.
    static int runEnd(const QTableView& view, const QModelIndex& source,
                      const QFontMetrics& metrics);
};

}  // namespace velmora
