#include "workbook/embedded/workbookdocument.h"

#include "workbook/hostcell.h"
#include "workbook/hosterror.h"

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

// The formulas reading written cells are computed at once: the window shows them.
void WorkbookDocument::announceRecalculated() {
    for (const xls::XlsWorkbook::SheetCell& c : book_.takeChangedCells())
        Q_EMIT cellChanged(c.sheet, c.cell.row, c.cell.column);
}

void WorkbookDocument::setSaved() {
    if (modified_) {
        modified_ = false;
        Q_EMIT modifiedChanged(false);
    }
}

}  // namespace velmora
