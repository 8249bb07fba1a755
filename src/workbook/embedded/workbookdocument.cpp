#include "workbook/embedded/workbookdocument.h"

#include "workbook/hostcell.h"
#include "workbook/hosterror.h"

#include <algorithm>
#include <map>

namespace velmora {

WorkbookDocument::WorkbookDocument(xls::XlsWorkbook book)
    : book_(std::move(book)), names_(book_.sheetNames()) {
    book_.takeChangedCells();  // what loading computed is where the document starts
}

int WorkbookDocument::sheet(const QString& name) const {
    const int index = book_.sheetIndex(name);
    if (index < 0)
        throw HostError(QStringLiteral("工作簿中没有名为“%1”的工作表。").arg(name));
    return index;
}

CellRef WorkbookDocument::cell(const QString& address) {
    return hostCell(address);
}

void WorkbookDocument::store(int sheet, CellRef ref, const CellValue& value) {
    try {
        switch (value.kind) {
            case CellValue::Kind::Text:
                book_.setText(sheet, ref, value.text);
                break;
            case CellValue::Kind::Number:
                book_.setNumber(sheet, ref, value.number);
                break;
            default:
                book_.clear(sheet, ref);
                break;
        }
    } catch (const xls::XlsError& e) {
        throw HostError(e.message());
    }
    Q_EMIT cellChanged(sheet, ref.row, ref.column);
    announceRecalculated();
    if (!modified_) {
        modified_ = true;
        Q_EMIT modifiedChanged(true);
    }
}

// The formulas reading written cells are computed at once: the window shows
// them. One write may change a whole column of results (a rank, a total):
// each sheet reports the block that holds its changed cells, once.
void WorkbookDocument::announceRecalculated() {
    std::map<int, std::pair<CellRef, CellRef>> blocks;
    for (const xls::XlsWorkbook::SheetCell& c : book_.takeChangedCells()) {
        const auto [it, added] = blocks.try_emplace(c.sheet, c.cell, c.cell);
        auto& [low, high] = it->second;
        low = {std::min(low.row, c.cell.row), std::min(low.column, c.cell.column)};
        high = {std::max(high.row, c.cell.row), std::max(high.column, c.cell.column)};
    }
    for (const auto& [sheet, block] : blocks)
        Q_EMIT blockChanged(sheet, block.first.row, block.first.column, block.second.row,
                            block.second.column);
}

void WorkbookDocument::setSaved() {
    if (modified_) {
        modified_ = false;
        Q_EMIT modifiedChanged(false);
    }
}

}  // namespace velmora
