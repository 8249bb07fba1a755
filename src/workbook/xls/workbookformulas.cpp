#include "workbook/formula/compiler.h"
#include "workbook/formula/decompiler.h"
#include "workbook/xls/formulacells.h"
#include "workbook/xls/workbookimpl.h"

#include <algorithm>

// XlsWorkbook's formula operations.
namespace velmora::xls {

std::vector<XlsWorkbook::FormulaCell> XlsWorkbook::formulas(int sheet) const {
    const Sheet& s = d->sheet(sheet);
    const int bookSheet = d->bookSheet(sheet);
    d->settle();
    std::vector<FormulaCell> out;
    s.forEachSlot(d->stream, [&](const CellSlot& slot) {
        if (s.records[slot.record].type != rt::kFormula || s.edits.count(slot.key))
            return;
        FormulaCell f;
        f.cell = keyRef(slot.key);
        const auto cf = readCellFormula(d->stream, s, slot.record, bookSheet);
        f.text = cf ? formulaText(*cf, d->links) : QStringLiteral("#无法读取的公式");
        f.cached = cellValue(d->context(), s, slot);
        if (d->calc && d->calc->isComputed(bookSheet, f.cell.row, f.cell.column))
            f.computed = d->value(sheet, slot.key);
        f.isVolatile = d->calc && d->calc->isVolatile(bookSheet, f.cell.row, f.cell.column);
        out.push_back(std::move(f));
    });
    for (const auto& [key, e] : s.edits) {
        if (e.kind != Edit::Kind::Formula)
            continue;
        FormulaCell f;
        f.cell = keyRef(key);
        f.text = e.text;
        if (d->calc->isComputed(bookSheet, f.cell.row, f.cell.column))
            f.computed = d->value(sheet, key);
        f.isVolatile = d->calc->isVolatile(bookSheet, f.cell.row, f.cell.column);
        out.push_back(std::move(f));
    }
    std::sort(out.begin(), out.end(), [](const FormulaCell& a, const FormulaCell& b) {
        return a.cell < b.cell;
    });
    return out;
}

QString XlsWorkbook::formula(int sheet, CellRef ref) const {
    const Sheet& s = d->sheet(sheet);
    const quint32 key = Impl::key(ref);
    const auto slot = s.slot(d->stream, key);
    if (const auto edit = s.edits.find(key); edit != s.edits.end())
        return edit->second.kind == Edit::Kind::Formula ? edit->second.text : QString();
    if (!slot || s.records[slot->record].type != rt::kFormula)
        return QString();
    const auto cf = readCellFormula(d->stream, s, slot->record, int(d->worksheets[size_t(sheet)]));
    return cf ? formulaText(*cf, d->links) : QStringLiteral("#无法读取的公式");
}

namespace {

// Compiles formula text for a cell; errors name the position counted from
// `offset` characters before the text (the '=' typed in front).
formula::Compiled compile(formula::Links& links, const QString& text, int bookSheet, int offset) {
    try {
        return formula::compileFormula(text, links, bookSheet);
    } catch (const formula::FormulaError& e) {
        throw XlsError(
            QStringLiteral("公式第 %1 个字符处有错误：%2").arg(e.position + 1 + offset).arg(e.message));
    }
}

}  // namespace

void XlsWorkbook::Impl::setFormula(int index, CellRef ref, const QString& text, int offset) {
    sheet(index);  // an unknown sheet is refused before anything else
    const int book = bookSheet(index);
    formula::Links working = links;
    const formula::Compiled c = compile(working, text, book, offset);
    Edit e;
    e.kind = Edit::Kind::Formula;
    e.expression = c.expression;
    e.isVolatile = c.isVolatile;
    e.text = formula::decompile(c.expression, working, {book, ref.row, ref.column, false});
    // The calculation reads the new links as the formula goes in; a refused
    // write takes them back.
    std::swap(links, working);
    try {
        edit(index, ref, std::move(e));
    } catch (...) {
        std::swap(links, working);
        throw;
    }
}

void XlsWorkbook::setFormula(int sheet, CellRef ref, const QString& text) {
    d->setFormula(sheet, ref, text, 0);
}

void XlsWorkbook::enter(int sheet, CellRef ref, const QString& input) {
    if (input.startsWith(u'='))
        return d->setFormula(sheet, ref, input.mid(1), 1);
    const CellValue v = CellValue::typed(input);
    if (v.kind == CellValue::Kind::Number)
        return setNumber(sheet, ref, v.number);
    setText(sheet, ref, input);
}

bool XlsWorkbook::isComputed(int sheet, CellRef ref) const {
    const quint32 key = Impl::key(ref);
    d->sheet(sheet);
    d->settle();
    return d->calc && d->calc->isComputed(d->bookSheet(sheet), keyRef(key).row, keyRef(key).column);
}

void XlsWorkbook::recalculate() {
    d->calculation().recalculateAll();
}

std::vector<XlsWorkbook::SheetCell> XlsWorkbook::takeChangedCells() {
    std::vector<SheetCell> out;
    if (!d->calc)
        return out;
    d->settle();
    for (const auto& [book, row, column] : d->calc->takeChanged())
        for (size_t w = 0; w < d->worksheets.size(); ++w)
            if (int(d->worksheets[w]) == book)
                out.push_back({int(w), CellRef{row, column}});
    return out;
}

}  // namespace velmora::xls
