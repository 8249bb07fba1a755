#pragma once

#include "workbook/formula/calculation.h"
#include "workbook/xls/sharedformula.h"
#include "workbook/xls/styles.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlsworkbook.h"

// The inside of XlsWorkbook, shared by the files that implement it.
namespace velmora::xls {

// Excel keeps at most this many characters in a cell.
constexpr qsizetype kMaxCellText = 32767;
// No real .xls comes near this; a larger file is not read into memory.
constexpr qint64 kMaxFileSize = qint64(1) << 30;

struct XlsWorkbook::Impl : WorkbookData {
    explicit Impl(WorkbookData data) : WorkbookData(std::move(data)) {}

    mutable std::optional<WorkbookStyles> styles;  // read when first asked for

    const Sheet& sheet(int index) const {
        if (index < 0 || size_t(index) >= worksheets.size())
            throw XlsError(QStringLiteral("没有第 %1 个工作表。").arg(index + 1));
        return sheets[worksheets[size_t(index)]];
    }
    Sheet& sheet(int index) { return const_cast<Sheet&>(std::as_const(*this).sheet(index)); }

    static quint32 key(CellRef ref) {
        if (ref.row < 0 || ref.row >= CellRef::kMaxRows || ref.column < 0 ||
            ref.column >= CellRef::kMaxColumns)
            throw XlsError(QStringLiteral("单元格地址超出了工作表的范围。"));
        return cellKey(ref.row, ref.column);
    }

    ReadContext context() const { return {stream, strings, formats}; }

    int xfAt(const Sheet& s, quint32 k) const {
        const auto slot = s.slot(stream, k);
        const CellRef at = keyRef(k);
        return slot ? cellXf(stream, s, *slot)
                    : s.newCellXf(at.row, at.column, formats.defaultCellXf());
    }

    // The calculation, built when first needed: a full recalculation, a
    // formula written, or a write into a workbook holding formulas.
    std::unique_ptr<formula::Calculation> calc;
    formula::Calculation& calculation();
    // Recomputes what depends on writes made since the last time.
    void settle() const {
        if (calc && calc->needsRecalculation())
            calc->recalculate();
    }
    int bookSheet(int worksheet) const { return int(worksheets[size_t(worksheet)]); }

    // The cell's value: its edit, the calculation's value or the record's.
    CellValue value(int worksheet, quint32 k) const {
        const Sheet& s = sheet(worksheet);
        if (calc) {
            const CellRef at = keyRef(k);
            const formula::Value& v = calc->cells().get(bookSheet(worksheet), at.row, at.column);
            return toCellValue(v, v.isNumber() && formats.isDate(xfAt(s, k)), formats.date1904);
        }
        const auto edit = s.edits.find(k);
        if (edit == s.edits.end()) {
            const auto slot = s.slot(stream, k);
            return slot ? cellValue(context(), s, *slot) : CellValue();
        }
        switch (edit->second.kind) {
            case Edit::Kind::Text:
                return CellValue::makeText(edit->second.text);
            case Edit::Kind::Number: {
                const bool date = formats.isDate(xfAt(s, k));
                const double n = edit->second.number;
                return CellValue::makeNumber(date && formats.date1904 ? n + 1462 : n, date);
            }
            case Edit::Kind::Clear:
            case Edit::Kind::Formula:  // formulas are always in the calculation
                return CellValue();
        }
        return CellValue();
    }

    // Cells inside an array formula or a data table change only together,
    // as in Excel. Overwriting the first cell of a shared formula writes the
    // formula out into the other cells, which needs tokens the engine knows.
    void checkWritable(const Sheet& s, CellRef ref) const {
        for (const Sheet::ArrayFormula& a : s.arrays)
            if (a.range.contains(ref.row, ref.column))
                throw XlsError(
                    QStringLiteral("单元格 %1 属于数组公式，不能单独更改。").arg(a1(ref)));
        for (const Sheet::SharedFormula& f : s.shared) {
            const Record& formula = s.records[f.formula];
            const Record& shared = s.records[f.shared];
            if (f.row == ref.row && f.column == ref.column &&
                !ownFormula(formula.body(stream), formula.size, shared.body(stream), shared.size))
                throw XlsError(QStringLiteral("单元格 %1 的公式被其他单元格共用，不能单独更改。")
                                   .arg(a1(ref)));
        }
    }

    void edit(int index, CellRef ref, Edit e);
    // Compiles the text into the cell; error positions count from `offset`
    // characters before it.
    void setFormula(int index, CellRef ref, const QString& text, int offset);
    // The calculation takes the cell as loaded again (its edit undone).
    void reloadCell(int index, CellRef ref);
    // The results of formula cells that their records do not hold yet.
    FormulaResults resultsToWrite() const;
};

}  // namespace velmora::xls
