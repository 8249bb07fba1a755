#pragma once

#include "workbook/embedded/celleditor.h"

#include <QCache>
#include <QStaticText>

class QTableView;

namespace velmora {

class SheetModel;
struct CellLook;
struct CellStyle;

// The grid's delegate: CellEditor's editing, and cells painted the way
// spreadsheet programs paint them, with the file's fills, fonts, colours,
// alignment and borders. A text of one line that is too wide for its cell
// runs on over the empty cells to its right, up to the first cell that
// holds something, and no grid line crosses it; each cell paints its own
// part of such a text, so scrolling and partial repaints show it whole. A
// number too wide for its cell shows as ###.
class SheetDelegate : public CellEditor {
    Q_OBJECT
public:
    using CellEditor::CellEditor;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    // Where a run-on text starts, at most this far left of a cell it covers.
    static constexpr int kMaxRunPx = 4000;

    struct Source {
        int column = -1;  // the cell whose text shows in this one, or -1
        int runEnd = 0;   // where its text ends, viewport x
    };
    static Source shownSource(const QTableView& view, const SheetModel& model, int row, int column,
                              const CellLook& own);
    static int runEnd(const QTableView& view, const CellLook& look, int row, int column);
    // The text laid out in area, showing only within cell.
    void paintText(QPainter* painter, const QRect& area, const QRect& cell,
                   const CellLook& look) const;
    // A line of text in a format's font, laid out when first painted and
    // kept for the next paints (by the format: the grid's formats live as
    // long as its delegate).
    const QStaticText* laidOut(const QString& text, const CellStyle& style) const;
    static constexpr int kLinesKept = 8192;
    mutable QCache<QString, QStaticText> lines_{kLinesKept};
    static void paintBorders(QPainter* painter, const QTableView& view, const SheetModel& model,
                             const QModelIndex& index, const QRect& cell, const CellStyle& own);
};

}  // namespace velmora
