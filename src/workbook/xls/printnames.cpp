#include "workbook/xls/printnames.h"

#include "workbook/formula/ptg.h"
#include "workbook/xls/bytes.h"
#include "workbook/xls/records.h"

#include <algorithm>

namespace velmora::xls {

namespace {

namespace ptg = formula::ptg;

constexpr quint8 kPrintArea = 0x06, kPrintTitles = 0x07;

// tArea3d: EXTERNSHEET entry, rows, columns; all absolute.
QByteArray area(int sheet, int firstRow, int lastRow, int firstColumn, int lastColumn) {
    QByteArray t;
    add8(t, ptg::kArea3d);
    for (int v : {sheet, firstRow, lastRow, firstColumn, lastColumn}) add16(t, quint16(v));
    return t;
}

// NAME: built in, no shortcut key, a one-character name, the formula's
// length, the sheet it belongs to (1-based), no menu or help texts.
QByteArray nameRecord(int sheet, quint8 builtIn, const QByteArray& formula) {
    QByteArray b;
    add16(b, 0x0020);
    add8(b, 0);
    add8(b, 1);
    add16(b, quint16(formula.size()));
    add16(b, 0);
    add16(b, quint16(sheet + 1));
    add32(b, 0);
    add8(b, 0);  // 8-bit characters
    add8(b, builtIn);
    b.append(formula);
    return makeRecord(rt::kName, b);
}

QByteArray titles(int sheet, const PageSetup& p) {
    const int lastRow = CellRef::kMaxRows - 1, lastColumn = CellRef::kMaxColumns - 1;
    QByteArray rows, columns;
    if (p.titleRows)
        rows = area(sheet, p.titleRows->first, p.titleRows->second, 0, lastColumn);
    if (p.titleColumns)
        columns = area(sheet, 0, lastRow, p.titleColumns->first, p.titleColumns->second);
    if (rows.isEmpty() || columns.isEmpty())
        return rows + columns;
    // Both: the union of the two areas, columns first, as Excel writes it.
    QByteArray t;
    add8(t, ptg::kMemFunc);
    add16(t, quint16(columns.size() + rows.size() + 1));
    t += columns + rows;
    add8(t, ptg::kUnion);
    return t;
}

struct Area {
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
};

// The areas of a name's formula: tArea3d and tRef3d tokens (of any class)
// on the sheet, joined by tUnion inside a tMemFunc. Anything else: none.
std::vector<Area> areasOf(const char* t, int size, int sheet,
                          const std::vector<int>& externSheets) {
    std::vector<Area> areas;
    const auto onSheet = [&](int ixti) {
        return ixti >= 0 && size_t(ixti) < externSheets.size() &&
               externSheets[size_t(ixti)] == sheet;
    };
    for (int at = 0; at < size;) {
        const quint8 token = ptg::kind(u8(t + at));
        if (token == ptg::kArea3d && at + 11 <= size) {
            if (!onSheet(u16(t + at + 1)))
                return {};
            areas.push_back(
                {u16(t + at + 3), u16(t + at + 5), u16(t + at + 7) & 0xFF, u16(t + at + 9) & 0xFF});
            at += 11;
        } else if (token == ptg::kRef3d && at + 7 <= size) {
            if (!onSheet(u16(t + at + 1)))
                return {};
            const int row = u16(t + at + 3), column = u16(t + at + 5) & 0xFF;
            areas.push_back({row, row, column, column});
            at += 7;
        } else if (token == ptg::kMemFunc && at + 3 <= size) {
            at += 3;
        } else if (token == ptg::kUnion) {
            at += 1;
        } else {
            return {};
        }
    }
    return areas;
}

}  // namespace

void readPrintNames(PageSetup& setup, int sheet, const formula::Links& links) {
    // EXTERNSHEET entry -> the one sheet of this workbook it names, or -1.
    std::vector<int> externSheets;
    for (const formula::ExternSheet& e : links.externSheets) {
        const bool own = e.supbook >= 0 && size_t(e.supbook) < links.supbooks.size() &&
                         links.supbooks[size_t(e.supbook)].kind == formula::SupBook::Kind::Self;
        externSheets.push_back(own && e.firstSheet == e.lastSheet ? e.firstSheet : -1);
    }
    for (const formula::DefinedName& name : links.names) {
        if (name.scope != sheet)
            continue;
        const QByteArray& tokens = name.expression.tokens;
        const std::vector<Area> areas =
            areasOf(tokens.constData(), int(tokens.size()), sheet, externSheets);
        if (name.name == QLatin1String("Print_Area") && !areas.empty()) {
            const Area& a = areas.front();
            setup.printArea = {{a.firstRow, a.firstColumn}, {a.lastRow, a.lastColumn}};
        } else if (name.name == QLatin1String("Print_Titles")) {
            for (const Area& a : areas) {
                if (a.firstColumn == 0 && a.lastColumn == CellRef::kMaxColumns - 1)
                    setup.titleRows = {a.firstRow, a.lastRow};
                else if (a.firstRow == 0 && a.lastRow == CellRef::kMaxRows - 1)
                    setup.titleColumns = {a.firstColumn, a.lastColumn};
            }
        }
    }
}

QByteArray printNameRecords(const std::vector<const PageSetup*>& setups) {
    QByteArray names;
    for (size_t i = 0; i < setups.size(); ++i) {
        const PageSetup& p = *setups[i];
        const int s = int(i);
        if (p.printArea)
            names += nameRecord(s, kPrintArea,
                                area(s, p.printArea->first.row, p.printArea->second.row,
                                     p.printArea->first.column, p.printArea->second.column));
        if (p.titleRows || p.titleColumns)
            names += nameRecord(s, kPrintTitles, titles(s, p));
    }
    if (names.isEmpty())
        return {};
    QByteArray supBook;
    add16(supBook, quint16(setups.size()));
    add16(supBook, 0x0401);  // this workbook
    QByteArray externSheet;
    add16(externSheet, quint16(setups.size()));
    for (size_t i = 0; i < setups.size(); ++i)
        for (int v : {0, int(i), int(i)}) add16(externSheet, quint16(v));
    return makeRecord(rt::kSupBook, supBook) + makeRecord(rt::kExternSheet, externSheet) + names;
}

}  // namespace velmora::xls
