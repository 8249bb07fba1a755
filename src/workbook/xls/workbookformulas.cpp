#include "workbook/xls/formulacells.h"
#include "workbook/xls/workbookimpl.h"

// XlsWorkbook's formula operations.
namespace velmora::xls {

std::vector<XlsWorkbook::FormulaCell> XlsWorkbook::formulas(int sheet) const {
    const Sheet& s = d->sheet(sheet);
    const int bookSheet = int(d->worksheets[size_t(sheet)]);
    std::vector<FormulaCell> out;
    for (size_t i = 0; i < s.cells.size(); ++i) {
        const CellSlot& slot = s.cells[i];
        if ((i + 1 < s.cells.size() && s.cells[i + 1].key == slot.key) ||
            s.records[slot.record].type != rt::kFormula || s.edits.count(slot.key))
            continue;
        FormulaCell f;
        f.cell = keyRef(slot.key);
        const auto cf = readCellFormula(d->stream, s, slot.record, bookSheet);
        f.text = cf ? formulaText(*cf, d->links) : QStringLiteral("#无法读取的公式");
        f.cached = cellValue(d->context(), s, slot);
        out.push_back(std::move(f));
    }
    return out;
}

QString XlsWorkbook::formula(int sheet, CellRef ref) const {
    const Sheet& s = d->sheet(sheet);
    const quint32 key = Impl::key(ref);
    const CellSlot* slot = s.slot(key);
    if (s.edits.count(key) || !slot || s.records[slot->record].type != rt::kFormula)
        return QString();
    const auto cf = readCellFormula(d->stream, s, slot->record, int(d->worksheets[size_t(sheet)]));
    return cf ? formulaText(*cf, d->links) : QStringLiteral("#无法读取的公式");
}

}  // namespace velmora::xls
