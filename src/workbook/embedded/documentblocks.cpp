#include "workbook/embedded/workbookdocument.h"

#include "workbook/hosterror.h"

#include <algorithm>

namespace velmora {

void WorkbookDocument::apply(int sheet, const QList<CellEdit>& edits) {
    if (edits.isEmpty())
        return;
    QList<CellEdit> before;
    before.reserve(edits.size());
    try {
        for (const CellEdit& e : edits) {
            before.append({e.ref, book_.cellState(sheet, e.ref)});
            book_.restoreCellState(sheet, e.ref, e.state);
        }
    } catch (const xls::XlsError& e) {
        // Putting back what was there before cannot fail: those states
        // were the engine's own.
        for (auto it = before.rbegin(); it != before.rend(); ++it)
            book_.restoreCellState(sheet, it->ref, it->state);
        // In a block, the cell refused is named.
        throw HostError(edits.size() == 1 ? e.message()
                                          : QStringLiteral("单元格 %1：%2")
                                                .arg(a1(before.back().ref), e.message()));
    }
    CellRef low = edits.front().ref, high = low;
    for (const CellEdit& e : edits) {
        low = {std::min(low.row, e.ref.row), std::min(low.column, e.ref.column)};
        high = {std::max(high.row, e.ref.row), std::max(high.column, e.ref.column)};
    }
    Q_EMIT blockChanged(sheet, low.row, low.column, high.row, high.column);
    announceRecalculated();
    markModified();
}

void WorkbookDocument::setColumnWidth(int sheet, int column, int px) {
    try {
        book_.setColumnWidthPx(sheet, column, px);
    } catch (const xls::XlsError& e) {
        throw HostError(e.message());
    }
    Q_EMIT sizeChanged(sheet, Qt::Horizontal, column, book_.columnWidthPx(sheet, column));
    markModified();
}

void WorkbookDocument::setRowHeight(int sheet, int row, int px) {
    try {
        book_.setRowHeightPx(sheet, row, px);
    } catch (const xls::XlsError& e) {
        throw HostError(e.message());
    }
    Q_EMIT sizeChanged(sheet, Qt::Vertical, row, book_.rowHeightPx(sheet, row));
    markModified();
}

void WorkbookDocument::markModified() {
    if (!modified_) {
        modified_ = true;
        Q_EMIT modifiedChanged(true);
    }
}

}  // namespace velmora
