#include "workbook/xls/formulacells.h"

#include "workbook/formula/decompiler.h"
#include "workbook/formula/ptg.h"
#include "workbook/xls/bytes.h"

#include <algorithm>

namespace velmora::xls {

namespace {

// FORMULA: cell (6), result (8), flags (2), 4 bytes, token length, tokens,
// then the tokens' extra data.
constexpr int kFormulaTokens = 22;
// SHRFMLA: range (6), 2 bytes, token length, tokens, extra data.
constexpr int kSharedTokens = 10;
// ARRAY: range (6), flags (2), 4 bytes, token length, tokens, extra data.
constexpr int kArrayTokens = 14;

std::optional<formula::Expression> expressionAt(const char* body, int size, int lengthAt) {
    if (size < lengthAt + 2)
        return std::nullopt;
    const int cce = u16(body + lengthAt);
    if (lengthAt + 2 + cce > size)
        return std::nullopt;
    formula::Expression e;
    e.tokens = QByteArray(body + lengthAt + 2, cce);
    e.extra = QByteArray(body + lengthAt + 2 + cce, size - lengthAt - 2 - cce);
    return e;
}

// TABLE: range (6), flags (2), then the input cells (row, column each):
// a row input, a column input, or both for a two-input table.
QString tableText(const char* b, int size) {
    if (size < 16)
        return QStringLiteral("TABLE()");
    const quint16 flags = u16(b + 6);
    const QString first = a1({u16(b + 8), u8(b + 10)});
    const QString second = a1({u16(b + 12), u8(b + 14)});
    if (flags & 0x0008)
        return QStringLiteral("TABLE(%1,%2)").arg(first, second);
    return (flags & 0x0004) ? QStringLiteral("TABLE(%1,)").arg(first)
                            : QStringLiteral("TABLE(,%1)").arg(first);
}

}  // namespace

std::optional<CellFormula> readCellFormula(const QByteArray& stream, const Sheet& sheet,
                                           size_t record, int sheetIndex) {
    const Record& r = sheet.records[record];
    const char* b = r.body(stream);
    const auto own = expressionAt(b, r.size, kFormulaTokens - 2);
    if (!own)
        return std::nullopt;
    CellFormula f;
    const int row = u16(b), column = u16(b + 2);
    f.site = {sheetIndex, row, column, false};
    f.range = {row, row, column, column};
    const QByteArray& t = own->tokens;
    const quint8 first = t.isEmpty() ? 0 : quint8(t[0]);
    if (t.size() != 5 || (first != formula::ptg::kExp && first != formula::ptg::kTbl)) {
        f.expression = *own;
        return f;
    }
    // tExp and tTbl name the first cell of what they belong to.
    const int anchorRow = u16(t.constData() + 1), anchorColumn = u16(t.constData() + 3);
    if (first == formula::ptg::kExp) {
        const auto shared = std::find_if(
            sheet.shared.begin(), sheet.shared.end(), [&](const Sheet::SharedFormula& s) {
                return s.row == anchorRow && s.column == anchorColumn;
            });
        if (shared != sheet.shared.end()) {
            const Record& s = sheet.records[shared->shared];
            const auto e = expressionAt(s.body(stream), s.size, kSharedTokens - 2);
            if (!e)
                return std::nullopt;
            f.kind = CellFormula::Kind::Shared;
            f.expression = *e;
            f.site.offsets = true;
            return f;
        }
    }
    for (const Sheet::ArrayFormula& a : sheet.arrays) {
        if (a.range.firstRow != anchorRow || a.range.firstColumn != anchorColumn)
            continue;
        const Record& ar = sheet.records[a.record];
        f.range = a.range;
        if (ar.type == rt::kTable) {
            f.kind = CellFormula::Kind::Table;
            f.tableText = tableText(ar.body(stream), ar.size);
            return f;
        }
        const auto e = expressionAt(ar.body(stream), ar.size, kArrayTokens - 2);
        if (!e)
            return std::nullopt;
        f.kind = CellFormula::Kind::Array;
        f.expression = *e;
        f.site.row = a.range.firstRow;
        f.site.column = a.range.firstColumn;
        return f;
    }
    return std::nullopt;
}

QString formulaText(const CellFormula& f, const formula::Links& links, bool* ok) {
    if (f.kind == CellFormula::Kind::Table) {
        if (ok)
            *ok = true;
        return f.tableText;
    }
    return formula::decompile(f.expression, links, f.site, ok);
}

}  // namespace velmora::xls
