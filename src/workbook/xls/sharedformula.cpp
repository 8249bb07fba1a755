#include "workbook/xls/sharedformula.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"

namespace velmora::xls {

namespace {

constexpr int kTokensAt = 22;  // FORMULA: cell(6) result(8) flags(2) chn(4) cce(2) tokens
constexpr quint16 kSharedFlag = 0x0008;

// The size of a token after its id byte, or -1 for tokens not handled.
int tokenSize(const char* p, const char* end) {
    const quint8 id = u8(p);
    if (id >= 0x80)
        return -1;
    if (id >= 0x03 && id <= 0x16)
        return 0;  // operators
    switch (id) {
        case 0x01:
        case 0x02:
            return 4;
        case 0x17:  // string constant
            if (end - p < 3)
                return -1;
            return 2 + u8(p + 1) * ((u8(p + 2) & 1) ? 2 : 1);
        case 0x19:  // attribute; "choose" carries a jump table
            if (end - p < 4)
                return -1;
            return (u8(p + 1) & 0x04) ? 3 + 2 * (u16(p + 2) + 1) : 3;
        case 0x1C:
        case 0x1D:
            return 1;
        case 0x1E:
            return 2;
        case 0x1F:
            return 8;
        default:
            break;
    }
    switch (id < 0x20 ? 0 : (id & 0x1F) | 0x20) {
        case 0x20:
            return 7;
        case 0x21:
            return 2;
        case 0x22:
            return 3;
        case 0x23:
            return 4;
        case 0x24:
            return 4;
        case 0x25:
            return 8;
        case 0x26:
        case 0x27:
        case 0x28:
            return 6;
        case 0x29:
            return 2;
        case 0x2A:
            return 4;
        case 0x2B:
            return 8;
        case 0x2C:
            return 4;
        case 0x2D:
            return 8;
        case 0x39:
            return 6;
        case 0x3A:
            return 6;
        case 0x3B:
            return 10;
        case 0x3C:
            return 6;
        case 0x3D:
            return 10;
        default:
            return -1;
    }
}

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
        const int size = tokenSize(p, end);
        if (size < 0 || p + 1 + size > end)
            return std::nullopt;
        const quint8 id = u8(p);
        const int kind = id < 0x20 ? 0 : (id & 0x1F) | 0x20;
        if (kind == 0x2C) {  // relative reference -> reference
            *p = char(id - 0x08);
            makeAbsolute(p + 1, p + 3, row, column);
        } else if (kind == 0x2D) {  // relative area -> area
            *p = char(id - 0x08);
            makeAbsolute(p + 1, p + 5, row, column);
            makeAbsolute(p + 3, p + 7, row, column);
        } else if ((kind == 0x3A && (u16(p + 5) & 0xC000)) ||
                   (kind == 0x3B && ((u16(p + 7) | u16(p + 9)) & 0xC000))) {
            return std::nullopt;  // relative references into other sheets
        }
        p += 1 + size;
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
