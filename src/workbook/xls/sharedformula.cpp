#include "workbook/xls/sharedformula.h"

#include "workbook/formula/ptg.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"

namespace velmora::xls {

namespace {

constexpr int kTokensAt = 22;  // FORMULA: cell(6) result(8) flags(2) chn(4) cce(2) tokens
constexpr quint16 kSharedFlag = 0x0008;

// A relative reference (row offset, column offset in the low byte, flags
// in the top bits) made absolute for the cell at row/column.
void makeAbsolute(char* rowField, char* columnField, int row, int column) {
    const quint16 col = u16(columnField);
    if (col & 0x8000)
        put16(rowField, quint16(row + qint16(u16(rowField))));
    if (col & 0x4000)
        put16(columnField, quint16((col & 0xC000) | ((column + qint8(col & 0xFF)) & 0xFF)));
}

}  // namespace

bool usesSharedFormula(const char* f, int size, int row, int column) {
    return size >= kTokensAt + 5 && u16(f + 20) == 5 && u8(f + kTokensAt) == 0x01 &&
           u16(f + kTokensAt + 1) == row && u16(f + kTokensAt + 3) == column;
}

std::optional<QByteArray> ownFormula(const char* f, int formulaSize, const char* shared,
                                     int sharedSize) {
    // SHRFMLA: range(6) reserved(1) uses(1) cce(2) tokens, then extra data.
    if (formulaSize < kTokensAt || sharedSize < 10)
        return std::nullopt;
    const int cce = u16(shared + 8);
    if (10 + cce > sharedSize)
        return std::nullopt;
    QByteArray tokens(shared + 10, cce);
    const int row = u16(f), column = u16(f + 2);
    char* p = tokens.data();
    char* const end = p + tokens.size();
    while (p < end) {
        const int size = formula::ptg::tokenSize(p, end);
        if (size < 0)
            return std::nullopt;
        const quint8 id = u8(p);
        const quint8 kind = formula::ptg::kind(id);
        if (kind == formula::ptg::kRefN) {  // relative reference -> reference
            *p = char(formula::ptg::withClass(formula::ptg::kRef, formula::ptg::operandClass(id)));
            makeAbsolute(p + 1, p + 3, row, column);
        } else if (kind == formula::ptg::kAreaN) {  // relative area -> area
            *p = char(formula::ptg::withClass(formula::ptg::kArea, formula::ptg::operandClass(id)));
            makeAbsolute(p + 1, p + 5, row, column);
            makeAbsolute(p + 3, p + 7, row, column);
        } else if ((kind == formula::ptg::kRef3d && (u16(p + 5) & 0xC000)) ||
                   (kind == formula::ptg::kArea3d && ((u16(p + 7) | u16(p + 9)) & 0xC000))) {
            return std::nullopt;  // relative references into other sheets
        }
        p += size;
    }
    QByteArray body(f, kTokensAt - 2);
    put16(body.data() + 14, u16(f + 14) & ~kSharedFlag);
    add16(body, quint16(cce));
    body.append(tokens);
    body.append(shared + 10 + cce, sharedSize - 10 - cce);  // array constants etc.
    QByteArray out;
    appendRecord(out, rt::kFormula, body);
    return out;
}

}  // namespace velmora::xls
