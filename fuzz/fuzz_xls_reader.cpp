// libFuzzer target: any bytes given to the reader end in a workbook or an
// XlsError, never a crash, a hang or an unbounded allocation. What loads is
// also read cell by cell, every formula decompiled and computed, edited
// (a formula typed in too), written and read again, so the writer meets
// every odd structure the reader accepts.
#include "workbook/xls/xlsworkbook.h"

#include <cstddef>
#include <cstdint>

using velmora::CellRef;
using velmora::CellValue;
using velmora::xls::XlsError;
using velmora::xls::XlsWorkbook;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        XlsWorkbook wb = XlsWorkbook::fromBytes(bytes);
        const int sheets = int(wb.sheetNames().size());
        // Before any calculation, cells are read with their texts taken
        // from where they lie in the shared string table.
        for (int s = 0; s < sheets; ++s)
            wb.forEachCell(s, [](CellRef, const CellValue& v) { (void)v.toText(); });
        wb.recalculate();
        for (int s = 0; s < sheets; ++s) {
            for (const XlsWorkbook::FormulaCell& f : wb.formulas(s)) (void)f.text.size();
            wb.forEachCell(s, [](CellRef, const CellValue& v) { (void)v.toText(); });
            wb.lastCell(s);
            wb.columnWidthPx(s, 0);
            wb.rowHeightPx(s, 0);
        }
        wb.recordDump();
        if (sheets > 0) {
            wb.setText(0, {0, 0}, QStringLiteral("改写"));
            wb.setText(0, {3, 2}, QStringLiteral("新的\n两行"));
            wb.setNumber(0, {1, 1}, 12.5);
            wb.clear(0, {2, 0});
            try {
                wb.enter(0, {4, 1}, QStringLiteral("=SUM(A1:C4)&B2&IFERROR(1/A3,\"-\")"));
            } catch (const XlsError&) {
                // a cell of an array formula refuses single writes
            }
            const XlsWorkbook back = XlsWorkbook::fromBytes(wb.toBytes());
            if (back.cell(0, {3, 2}).text != QStringLiteral("新的\n两行"))
                __builtin_trap();  // the writer lost a write without an error
        }
    } catch (const XlsError&) {
    }
    return 0;
}
