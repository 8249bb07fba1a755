#include "workbook/embedded/sheetclipboard.h"

#include "workbook/embedded/cellinput.h"
#include "workbook/embedded/clipboardblock.h"
#include "workbook/embedded/sheetedits.h"
#include "workbook/embedded/sheetmodel.h"
#include "workbook/embedded/sheetview.h"
#include "workbook/embedded/workbookdocument.h"
#include "workbook/hosterror.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace velmora {

namespace {

// The addresses (relative to the block) of the formula cells a copied
// block held.
const QString kFormulasMime = QStringLiteral("application/x-velmora-formula-cells");

}  // namespace

void copyCells(const SheetView& view) {
    const SheetModel& model = *view.sheetModel();
    const QRect block = view.selectionBounds();
    // A whole selected column or sheet copies its used part.
    const CellRef end = model.usedEnd();
    const int bottom = std::max(block.top(), std::min(block.bottom(), end.row));
    const int right = std::max(block.left(), std::min(block.right(), end.column));
    CellBlock shown, typed;
    QStringList formulas;
    for (int r = block.top(); r <= bottom; ++r) {
        QStringList shownRow, typedRow;
        for (int c = block.left(); c <= right; ++c) {
            shownRow << model.look(r, c).text;
            typedRow << inputText(model.document(), model.sheet(), {r, c});
            if (model.document().book().hasFormula(model.sheet(), {r, c}))
                formulas << a1({r - block.top(), c - block.left()});
        }
        shown << shownRow;
        typed << typedRow;
    }
    QMimeData* data = blockMimeData(shown, typed);
    if (!formulas.isEmpty())
        data->setData(kFormulasMime, formulas.join(u' ').toUtf8());
    QApplication::clipboard()->setMimeData(data);
}

void cutCells(SheetView& view, SheetEdits& edits) {
    copyCells(view);
    edits.clear(view.sheetModel()->sheet(), view.selectedRanges(), QStringLiteral("剪切"));
}

void pasteCells(SheetView& view, SheetEdits& edits) {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data)
        return;
    if (data->hasFormat(kFormulasMime))
        throw HostError(
            QStringLiteral(
                "复制的单元格中有公式（如 %1），公式还不能粘贴。请只复制不含公式的单元格。")
                .arg(QString::fromUtf8(data->data(kFormulasMime)).section(u' ', 0, 0)));
    const CellBlock block = blockToPaste(*data);
    if (block.isEmpty())
        return;
    const QRect target = view.selectionBounds();
    edits.paste(view.sheetModel()->sheet(), {target.top(), target.left()}, block, target,
                QStringLiteral("粘贴"));
    // The pasted block becomes the selection, as in spreadsheet programs.
    int width = 0;
    for (const QStringList& row : block) width = std::max(width, int(row.size()));
    if (block.size() > 1 || width > 1)
        view.goTo({target.top(), target.left()},
                  {target.top() + int(block.size()) - 1, target.left() + width - 1});
}

}  // namespace velmora
