#include "workbook/embedded/sheetclipboard.h"

#include "workbook/embedded/cellinput.h"
#include "workbook/embedded/clipboardblock.h"
#include "workbook/embedded/sheetedits.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/workbookdocument.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace velmora {

namespace {

// origin: where the block's formulas were, so that pasting moves their
// references; none for a cut.
void putOnClipboard(const SheetView& view, bool withOrigin) {
    const SheetModel& model = *view.sheetModel();
    const QRect block = view.selectionBounds();
    // A whole selected column or sheet copies its used part.
    const CellRef end = model.usedEnd();
    const int bottom = std::max(block.top(), std::min(block.bottom(), end.row));
    const int right = std::max(block.left(), std::min(block.right(), end.column));
    CellBlock shown, typed;
    for (int r = block.top(); r <= bottom; ++r) {
        QStringList shownRow, typedRow;
        for (int c = block.left(); c <= right; ++c) {
            shownRow << model.look(r, c).text;
            typedRow << inputText(model.document(), model.sheet(), {r, c});
        }
        shown << shownRow;
        typed << typedRow;
    }
    const std::optional<CellRef> origin =
        withOrigin ? std::optional(CellRef{block.top(), block.left()}) : std::nullopt;
    QApplication::clipboard()->setMimeData(blockMimeData(shown, typed, origin));
}

}  // namespace

void copyCells(const SheetView& view) {
    putOnClipboard(view, true);
}

void cutCells(SheetView& view, SheetEdits& edits) {
    putOnClipboard(view, false);
    edits.clear(view.sheetModel()->sheet(), view.selectedRanges(), QStringLiteral("剪切"));
}

void pasteCells(SheetView& view, SheetEdits& edits) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data)
        return;
    const PasteBlock pasted = blockToPaste(*data);
    const CellBlock& block = pasted.cells;
    if (block.isEmpty())
        return;
    const QRect target = view.selectionBounds();
    edits.paste(view.sheetModel()->sheet(), {target.top(), target.left()}, block, target,
                QStringLiteral("粘贴"), pasted.origin);
    // The pasted block becomes the selection, as in spreadsheet programs.
    int width = 0;
    for (const QStringList& row : block) width = std::max(width, int(row.size()));
    if (block.size() > 1 || width > 1)
        view.goTo({target.top(), target.left()},
                  {target.top() + int(block.size()) - 1, target.left() + width - 1});
}

}  // namespace velmora
