#pragma once

#include "workbook/cellref.h"
#include "workbook/embedded/undocommands.h"

#include <QObject>
#include <QRect>
#include <QUndoStack>
#include <optional>

namespace velmora {

class WorkbookDocument;

// Every change the sheet window makes, each one undoable step: typing,
// clearing, pasting, filling, sizes. A step refused by the engine throws
// HostError and changes nothing. Changes made to the workbook by anything
// else (the program's other windows) empty the history, as spreadsheet
// programs do when a macro changes a sheet: undoing across them would put
// back cells they wrote.
class SheetEdits : public QObject {
    Q_OBJECT
public:
    explicit SheetEdits(WorkbookDocument& document, QObject* parent = nullptr);

    QUndoStack& history() { return history_; }
    StepHooks& hooks() { return hooks_; }
    void undo();
    void redo();

    void type(int sheet, CellRef ref, const QString& text);
    // Empties the non-empty cells of the ranges (columns across, rows down).
    void clear(int sheet, const QList<QRect>& ranges, const QString& step);
    // Cells as typed, row by row, from a top-left cell. A single cell fills
    // every cell of target instead when target is larger. With an origin
    // (the top-left cell the block was copied from) the relative references
    // of formulas move by the distance from there to each cell.
    void paste(int sheet, CellRef at, const QList<QStringList>& inputs, const QRect& target,
               const QString& step, std::optional<CellRef> origin = std::nullopt);
    // The top row of the range into the rows below it (Qt::Vertical), or its
    // left column into the columns right of it; a range of one row or column
    // takes the one above or to the left. Formulas move their relative
    // references row by row (column by column).
    void fill(int sheet, QRect range, Qt::Orientation direction);
    void resize(int sheet, Qt::Orientation orientation, int section, int before, int after);

private:
    void push(int sheet, const QList<WorkbookDocument::CellEdit>& edits, const QString& step);
    void changedElsewhere();

    WorkbookDocument& document_;
    QUndoStack history_;
    StepHooks hooks_;
    bool busy_ = false;
};

}  // namespace velmora
