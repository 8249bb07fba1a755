#include "commands.h"

#include "output.h"
#include "workbook/atomicfile.h"
#include "workbook/xls/xlsworkbook.h"

#include <cstring>
#include <stdexcept>

namespace velmora::xlstool {

using xls::XlsError;
using xls::XlsWorkbook;

int sheetOf(const XlsWorkbook& wb, const QString& sheet) {
    const int index = wb.sheetIndex(sheet);
    if (index < 0)
        throw XlsError(QStringLiteral("工作簿中没有名为“%1”的工作表。").arg(sheet));
    return index;
}

namespace {

CellRef cellOf(const QString& address) {
    const auto ref = parseA1(address);
    if (!ref)
        throw XlsError(QStringLiteral("“%1”不是单元格地址。").arg(address));
    return *ref;
}

// "AM6": column letters and row number at p; returns the end.
char* address(char* p, CellRef ref) {
    if (ref.column >= 26)
        *p++ = char('A' + ref.column / 26 - 1);
    *p++ = char('A' + ref.column % 26);
    char digits[8];
    int d = 0;
    for (int row = ref.row + 1; row > 0; row /= 10) digits[d++] = char('0' + row % 10);
    while (d > 0) *p++ = digits[--d];
    return p;
}

void address(Output& out, CellRef ref) {
    char buf[16];
    out.raw(buf, size_t(address(buf, ref) - buf));
}

const char* typeName(const CellValue& v) {
    switch (v.kind) {
        case CellValue::Kind::Text:
            return "text";
        case CellValue::Kind::Number:
            return v.isDate ? "date" : "number";
        case CellValue::Kind::Boolean:
            return "boolean";
        case CellValue::Kind::Error:
            return "error";
        case CellValue::Kind::Empty:
            break;
    }
    return "empty";
}

}  // namespace

void listSheets(const QString& file, Output& out) {
    for (const QString& name : XlsWorkbook::load(file).sheetNames()) {
        out.text(name);
        out.raw("\n");
    }
}

void getCell(const QString& file, const QString& sheet, const QString& address, Output& out) {
    const XlsWorkbook wb = XlsWorkbook::load(file);
    out.text(wb.cell(sheetOf(wb, sheet), cellOf(address)).toText());
    out.raw("\n");
}

void setCell(const QString& file, const QString& sheet, const QString& address,
             const QString& text) {
    XlsWorkbook wb = XlsWorkbook::load(file);
    wb.setText(sheetOf(wb, sheet), cellOf(address), text);
    writeFileAtomically(file, wb.toBytes());
}

// As typed into a cell: a formula, a number or text; every formula is then
// computed anew, so that the file holds their results.
void putCell(const QString& file, const QString& sheet, const QString& address,
             const QString& input) {
    XlsWorkbook wb = XlsWorkbook::load(file);
    wb.enter(sheetOf(wb, sheet), cellOf(address), input);
    wb.recalculate();
    writeFileAtomically(file, wb.toBytes());
}

void dumpCells(const QString& file, Output& out) {
    const XlsWorkbook wb = XlsWorkbook::load(file);
    const QStringList names = wb.sheetNames();
    for (int s = 0; s < names.size(); ++s) {
        // Every line of a sheet starts alike; the part up to the text is
        // put together in one piece.
        const std::string head = "{\"sheet\":" + Output::json(names[s]) + ",\"address\":\"";
        wb.forEachCell(s, [&](CellRef ref, const CellValue& v) {
            char middle[64];
            char* p = address(middle, ref);
            for (const char* part : {"\",\"type\":\"", typeName(v), "\",\"text\":"}) {
                const size_t n = std::strlen(part);
                std::memcpy(p, part, n);
                p += n;
            }
            out.raw(head);
            out.raw(middle, size_t(p - middle));
            out.jsonString(v.toText());
            out.raw("}\n", 2);
        });
    }
}

// One JSON line per formula cell: its text, the result the file holds and
// the result the engine computes (null where it does not).
void listFormulas(const QString& file, Output& out) {
    XlsWorkbook wb = XlsWorkbook::load(file);
    wb.recalculate();
    const QStringList names = wb.sheetNames();
    for (int s = 0; s < names.size(); ++s) {
        for (const XlsWorkbook::FormulaCell& f : wb.formulas(s)) {
            out.raw("{\"sheet\":");
            out.jsonString(names[s]);
            out.raw(",\"address\":\"");
            address(out, f.cell);
            out.raw("\",\"formula\":");
            out.jsonString(f.text);
            out.raw(",\"cached\":");
            out.jsonString(f.cached.toText());
            out.raw(",\"computed\":");
            if (f.computed)
                out.jsonString(f.computed->toText());
            else
                out.raw("null");
            out.raw("}\n");
        }
    }
}

void dumpRecords(const QString& file, Output& out) {
    for (const QString& line : XlsWorkbook::load(file).recordDump()) {
        out.text(line);
        out.raw("\n");
    }
}

}  // namespace velmora::xlstool
