#include "workbook/xls/bytes.h"
#include "workbook/xls/formulacells.h"
#include "workbook/xls/workbookimpl.h"

// The calculation of an XlsWorkbook: built from its cells, formulas and
// edits when first needed, told of every write, and asked on save which
// formula records need their results written.
namespace velmora::xls {

namespace {

using formula::Area;
using formula::Calculation;
using formula::Value;

Area cellArea(int sheet, int row, int column) {
    return Area{sheet, sheet, row, column, row, column};
}

// A formula record's own tokens, for formulas that cannot be read through
// what they point at: the calculation marks them as not computed.
formula::Expression ownTokens(const QByteArray& stream, const Record& r) {
    formula::Expression e;
    const char* b = r.body(stream);
    const int cce = r.size >= 22 ? u16(b + 20) : 0;
    e.tokens = r.size >= 22 + cce ? QByteArray(b + 22, cce) : QByteArray(1, char(0xFF));
    return e;
}

void addFormulaCell(Calculation& calc, const WorkbookData& wb, const Sheet& s, int book,
                    const CellSlot& slot) {
    const CellRef at = keyRef(slot.key);
    const auto f = readCellFormula(wb.stream, s, slot.record, book);
    const ReadContext ctx{wb.stream, wb.strings, wb.formats};
    if (f && f->kind == CellFormula::Kind::Array) {
        // Once for the whole range, at its first cell.
        if (f->range.firstRow != at.row || f->range.firstColumn != at.column)
            return;
        std::vector<Value> cached;
        for (int r = f->range.firstRow; r <= f->range.lastRow; ++r)
            for (int c = f->range.firstColumn; c <= f->range.lastColumn; ++c) {
                const auto cell = s.slot(wb.stream, cellKey(r, c));
                cached.push_back(cell ? storedValue(ctx, s, *cell) : Value());
            }
        calc.setFormula(f->expression, f->site,
                        Area{book, book, f->range.firstRow, f->range.firstColumn, f->range.lastRow,
                             f->range.lastColumn},
                        true, std::move(cached));
        return;
    }
    const formula::Expression e =
        f && f->kind != CellFormula::Kind::Table ? f->expression : ownTokens(wb.stream, s.records[slot.record]);
    const formula::Site site = f ? f->site : formula::Site{book, at.row, at.column, false};
    calc.setFormula(e, site, cellArea(book, at.row, at.column), false,
                    {storedValue(ctx, s, slot)});
}

Value editValue(const Edit& e) {
    switch (e.kind) {
        case Edit::Kind::Text:
            return Value::ofText(e.text);
        case Edit::Kind::Number:
            return Value::ofNumber(e.number);
        default:
            return Value();
    }
}

}  // namespace

formula::Calculation& XlsWorkbook::Impl::calculation() {
    if (calc)
        return *calc;
    calc = std::make_unique<Calculation>(links, formats.date1904);
    const ReadContext ctx = context();
    for (size_t w = 0; w < worksheets.size(); ++w) {
        const int book = int(worksheets[w]);
        const Sheet& s = sheets[size_t(book)];
        s.forEachSlot(stream, [&](const CellSlot& slot) {
            if (s.edits.count(slot.key))
                return;
            if (s.records[slot.record].type == rt::kFormula) {
                addFormulaCell(*calc, *this, s, book, slot);
            } else {
                const CellRef at = keyRef(slot.key);
                calc->cells().set(book, at.row, at.column, storedValue(ctx, s, slot));
            }
        });
        for (const auto& [key, e] : s.edits) {
            const CellRef at = keyRef(key);
            if (e.kind == Edit::Kind::Formula)
                calc->setFormula(e.expression, {book, at.row, at.column, false},
                                 cellArea(book, at.row, at.column), false, {});
            else
                calc->cells().set(book, at.row, at.column, editValue(e));
        }
    }
    // What was loaded is what the file and the edits hold: nothing to
    // recompute, nothing changed yet.
    calc->forgetWrites();
    calc->takeChanged();
    return *calc;
}

void XlsWorkbook::Impl::edit(int index, CellRef ref, Edit e) {
    Sheet& s = sheet(index);
    const quint32 k = key(ref);
    checkWritable(s, ref);
    if (e.kind == Edit::Kind::Clear && !s.slot(stream, k)) {
        if (s.edits.erase(k) && calc)
            calc->setValue(bookSheet(index), ref.row, ref.column, Value());
        return;  // nothing was there before: nothing to clear
    }
    const bool isFormula = e.kind == Edit::Kind::Formula;
    s.edits[k] = e;
    s.hasFormulas = s.hasFormulas || isFormula;
    if (!calc && !isFormula && !hasFormulas())
        return;  // nothing to compute
    Calculation& c = calculation();
    if (isFormula)
        c.setFormula(e.expression, {bookSheet(index), ref.row, ref.column, false},
                     cellArea(bookSheet(index), ref.row, ref.column), false, {});
    else
        c.setValue(bookSheet(index), ref.row, ref.column, editValue(e));
}

void XlsWorkbook::Impl::reloadCell(int index, CellRef ref) {
    if (!calc)
        return;
    const Sheet& s = sheet(index);
    const int book = bookSheet(index);
    const auto slot = s.slot(stream, cellKey(ref.row, ref.column));
    if (slot && s.records[slot->record].type == rt::kFormula)
        addFormulaCell(*calc, *this, s, book, *slot);
    else
        calc->setValue(book, ref.row, ref.column,
                       slot ? storedValue(context(), s, *slot) : Value());
}

FormulaResults XlsWorkbook::Impl::resultsToWrite() const {
    FormulaResults results(sheets.size());
    if (!calc)
        return results;
    const ReadContext ctx = context();
    for (size_t w = 0; w < worksheets.size(); ++w) {
        const int book = int(worksheets[w]);
        const Sheet& s = sheets[size_t(book)];
        auto& out = results[size_t(book)];
        s.forEachSlot(stream, [&](const CellSlot& slot) {
            if (s.records[slot.record].type != rt::kFormula || s.edits.count(slot.key))
                return;
            const CellRef at = keyRef(slot.key);
            const Value& now = calc->cells().get(book, at.row, at.column);
            if (!now.same(storedValue(ctx, s, slot)))
                out[slot.key] = now;
        });
        for (const auto& [key, e] : s.edits)
            if (e.kind == Edit::Kind::Formula) {
                const CellRef at = keyRef(key);
                out[key] = calc->cells().get(book, at.row, at.column);
            }
    }
    return results;
}

}  // namespace velmora::xls
