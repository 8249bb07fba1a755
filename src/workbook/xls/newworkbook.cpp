#include "workbook/xls/bytes.h"
#include "workbook/xls/printnames.h"
#include "workbook/xls/records.h"
#include "workbook/xls/sheetlayout.h"
#include "workbook/xls/stylewriter.h"
#include "workbook/xls/workbookdata.h"
#include "workbook/xls/xlstring.h"
#include "workbook/xls/xlsworkbook.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace velmora::xls {

namespace {

QByteArray fields16(std::initializer_list<quint16> values) {
    QByteArray b;
    for (quint16 v : values) add16(b, v);
    return b;
}

QByteArray bof(quint16 kind) {
    QByteArray b = fields16({0x0600, kind, 0x0DBB, 0x07CC});
    add32(b, 0);
    add32(b, 0x06);  // earliest version that can read it: BIFF8
    return b;
}

void checkNames(const QStringList& names) {
    if (names.isEmpty())
        throw XlsError(QStringLiteral("工作簿至少要有一个工作表。"));
    QSet<QString> seen;
    for (const QString& name : names) {
        static const QString forbidden = QStringLiteral("[]:*?/\\");
        const bool badChar =
            std::any_of(name.begin(), name.end(), [](QChar c) { return forbidden.contains(c); });
        if (name.isEmpty() || name.size() > 31 || badChar || name.startsWith(u'\'') ||
            name.endsWith(u'\''))
            throw XlsError(QStringLiteral("“%1”不能作为工作表名称。").arg(name));
        if (seen.contains(name.toLower()))
            throw XlsError(QStringLiteral("工作表名称“%1”重复了。").arg(name));
        seen.insert(name.toLower());
    }
}

constexpr quint16 kPane = 0x0041, kSelection = 0x001D, kGuts = 0x0080;
constexpr int kDefaultRowTwips = 285;  // 14.25 pt
constexpr int kRowsPerBlock = 32;
constexpr int kMergesPerRecord = 1026;  // what fits one record

QByteArray columnInfo(const std::map<int, double>& widths) {
    QByteArray s;
    // COLINFO: one column each, width in 1/256 of a character, default
    // format; width 0 hides the column (keeping the default width).
    for (const auto& [column, chars] : widths)
        if (column >= 0 && column < CellRef::kMaxColumns && chars >= 0 && chars <= 255)
            appendRecord(s, rt::kColInfo,
                         fields16({quint16(column), quint16(column),
                                   quint16(std::lround((chars > 0 ? chars : 8.43) * 256)), 15,
                                   quint16(chars > 0 ? 0 : 1), 0}));
    return s;
}

// The cells that look other than the default, as BLANK and MULBLANK
// records in blocks of 32 rows with their ROW records and a DBCELL each;
// rows of their own height get a ROW record too.
struct CellBlocks {
    QByteArray bytes;
    QByteArray dimensions;
};

CellBlocks cellBlocks(const SheetLayout& layout, StyleTable& styles) {
    // Row -> (column, format), in column order.
    std::map<int, std::vector<std::pair<int, int>>> cells;
    for (const auto& [at, look] : layout.cells) {
        if (at.row < 0 || at.row >= CellRef::kMaxRows || at.column < 0 ||
            at.column >= CellRef::kMaxColumns)
            throw XlsError(QStringLiteral("单元格地址超出了工作表的范围。"));
        const int xf = styles.xf(look);
        if (xf != 15)
            cells[at.row].emplace_back(at.column, xf);
    }
    std::vector<int> rows;
    for (const auto& [row, unused] : cells) rows.push_back(row);
    for (const auto& [row, points] : layout.rowHeights)
        if (row >= 0 && row < CellRef::kMaxRows && !cells.contains(row))
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());

    static const std::vector<std::pair<int, int>> none;
    const auto cellsOf = [&](int row) -> const std::vector<std::pair<int, int>>& {
        const auto it = cells.find(row);
        return it == cells.end() ? none : it->second;
    };
    CellBlocks out;
    QByteArray& o = out.bytes;
    int firstColumn = CellRef::kMaxColumns, lastColumn = -1;
    for (size_t from = 0; from < rows.size(); from += kRowsPerBlock) {
        const size_t to = std::min(rows.size(), from + kRowsPerBlock);
        const qint64 firstRowAt = o.size();
        for (size_t i = from; i < to; ++i) {
            const int row = rows[i];
            const auto& own = cellsOf(row);
            const auto height = layout.rowHeights.find(row);
            const int twips = height == layout.rowHeights.end()
                                  ? kDefaultRowTwips
                                  : std::clamp(int(std::lround(height->second * 20)), 0, 8180);
            const int first = own.empty() ? 0 : own.front().first;
            const int end = own.empty() ? 0 : own.back().first + 1;
            QByteArray b =
                fields16({quint16(row), quint16(first), quint16(end), quint16(twips), 0, 0});
            // Bit 8 is always set; bit 6: a height of its own; bit 5 hides the row.
            add32(b, 0x000F0100 | (height == layout.rowHeights.end() ? 0 : 0x40) |
                         (twips == 0 ? 0x20 : 0));
            appendRecord(o, rt::kRow, b);
        }
        QByteArray db;
        qint64 previous = firstRowAt + 4 + 16;
        for (size_t i = from; i < to; ++i) {
            const auto& own = cellsOf(rows[i]);
            add16(db, quint16(own.empty() ? 0 : o.size() - previous));
            if (own.empty())
                continue;
            previous = o.size();
            firstColumn = std::min(firstColumn, own.front().first);
            lastColumn = std::max(lastColumn, own.back().first);
            for (size_t c = 0; c < own.size();) {
                size_t run = c + 1;
                while (run < own.size() && own[run].first == own[run - 1].first + 1) ++run;
                QByteArray b = fields16({quint16(rows[i]), quint16(own[c].first)});
                for (size_t k = c; k < run; ++k) add16(b, quint16(own[k].second));
                if (run - c > 1)
                    add16(b, quint16(own[run - 1].first));
                appendRecord(o, run - c > 1 ? rt::kMulBlank : rt::kBlank, b);
                c = run;
            }
        }
        QByteArray body;
        add32(body, quint32(o.size() - firstRowAt));
        body.append(db);
        appendRecord(o, rt::kDbCell, body);
    }
    QByteArray& d = out.dimensions;
    add32(d, lastColumn < 0 ? 0 : quint32(cells.begin()->first));
    add32(d, lastColumn < 0 ? 0 : quint32(cells.rbegin()->first + 1));
    add16(d, quint16(lastColumn < 0 ? 0 : firstColumn));
    add16(d, quint16(lastColumn + 1));
    add16(d, 0);
    return out;
}

// WINDOW2 with the panes frozen above and left of the first scrolling cell,
// the PANE that says where, and the selection in the pane that scrolls.
QByteArray window(const SheetLayout& layout, bool first) {
    const int rows = std::clamp(layout.frozenRows, 0, CellRef::kMaxRows - 1);
    const int columns = std::clamp(layout.frozenColumns, 0, CellRef::kMaxColumns - 1);
    const bool frozen = rows > 0 || columns > 0;
    // Grid, headers, zeros, outline symbols; frozen without a split; the
    // first sheet selected and shown.
    quint16 options = 0x00B6;
    if (!layout.gridlines)
        options &= ~0x0002;
    if (frozen)
        options |= 0x0108;
    if (first)
        options |= 0x0600;
    QByteArray s;
    appendRecord(s, rt::kWindow2, fields16({options, 0, 0, 0x40, 0, 0, 0, 0, 0}));
    // Panes: 3 top left, 1 top right, 2 bottom left, 0 bottom right.
    const quint8 active = !frozen ? 3 : rows > 0 && columns > 0 ? 0 : rows > 0 ? 2 : 1;
    if (frozen) {
        QByteArray pane =
            fields16({quint16(columns), quint16(rows), quint16(rows), quint16(columns)});
        add8(pane, active);
        add8(pane, 0);
        appendRecord(s, kPane, pane);
    }
    QByteArray selection;
    add8(selection, active);
    selection += fields16({quint16(rows), quint16(columns), 0, 1, quint16(rows), quint16(rows)});
    add8(selection, quint8(columns));
    add8(selection, quint8(columns));
    appendRecord(s, kSelection, selection);
    return s;
}

QByteArray mergedCells(const std::vector<MergedRange>& merged) {
    QByteArray s;
    for (size_t from = 0; from < merged.size(); from += kMergesPerRecord) {
        const size_t to = std::min(merged.size(), from + kMergesPerRecord);
        QByteArray b = fields16({quint16(to - from)});
        for (size_t i = from; i < to; ++i) {
            const MergedRange& m = merged[i];
            b += fields16({quint16(m.firstRow), quint16(m.lastRow), quint16(m.firstColumn),
                           quint16(m.lastColumn)});
        }
        appendRecord(s, rt::kMergedCells, b);
    }
    return s;
}

QByteArray worksheet(const SheetLayout& layout, StyleTable& styles, bool first) {
    QByteArray s;
    appendRecord(s, rt::kBof, bof(0x0010));
    appendRecord(s, 0x000D, fields16({1}));    // CALCMODE: automatic
    appendRecord(s, 0x000C, fields16({100}));  // CALCCOUNT
    appendRecord(s, 0x000F, fields16({1}));    // REFMODE: A1
    appendRecord(s, 0x0011, fields16({0}));    // ITERATION
    QByteArray delta;
    addF64(delta, 0.001);
    appendRecord(s, 0x0010, delta);          // DELTA
    appendRecord(s, 0x005F, fields16({1}));  // SAVERECALC
    s += printOptionRecords(layout.page);
    appendRecord(s, kGuts, fields16({0, 0, 0, 0}));
    appendRecord(s, rt::kDefaultRowHeight, fields16({0, kDefaultRowTwips}));
    s += pageRecords(layout.page);
    appendRecord(s, rt::kDefColWidth, fields16({8}));
    s += columnInfo(layout.columnWidths);
    const CellBlocks cells = cellBlocks(layout, styles);
    appendRecord(s, rt::kDimensions, cells.dimensions);
    s += cells.bytes;
    s += window(layout, first);
    s += mergedCells(layout.merged);
    appendRecord(s, rt::kEof, QByteArray());
    return s;
}

}  // namespace

QByteArray newWorkbookStream(const std::vector<SheetLayout>& layouts) {
    QStringList names;
    for (const SheetLayout& layout : layouts) names << layout.name;
    checkNames(names);
    // The sheets first: the formats their cells use go into the globals.
    StyleTable styles;
    std::vector<QByteArray> sheets;
    std::vector<const PageSetup*> setups;
    for (size_t i = 0; i < layouts.size(); ++i) {
        sheets.push_back(worksheet(layouts[i], styles, i == 0));
        setups.push_back(&layouts[i].page);
    }

    QByteArray g;
    appendRecord(g, rt::kBof, bof(0x0005));
    appendRecord(g, 0x00E1, fields16({1200}));  // INTERFACEHDR
    appendRecord(g, 0x00C1, fields16({0}));     // MMS
    appendRecord(g, 0x00E2, QByteArray());      // INTERFACEEND
    appendRecord(g, rt::kCodePage, fields16({1200}));
    appendRecord(g, 0x0161, fields16({0}));  // DSF
    QByteArray tabs;
    for (int i = 0; i < names.size(); ++i) add16(tabs, quint16(i + 1));
    appendRecord(g, 0x013D, tabs);           // TABID
    appendRecord(g, 0x0019, fields16({0}));  // WINDOWPROTECT
    appendRecord(g, 0x0012, fields16({0}));  // PROTECT
    appendRecord(g, 0x0013, fields16({0}));  // PASSWORD
    appendRecord(g, 0x0040, fields16({0}));  // BACKUP
    appendRecord(g, 0x008D, fields16({0}));  // HIDEOBJ
    // WINDOW1: position and size of the window, first tab active.
    appendRecord(g, 0x003D, fields16({0x0168, 0x001E, 0x3A5C, 0x2328, 0x0038, 0, 0, 1, 0x0258}));
    appendRecord(g, rt::kDateMode, fields16({0}));
    appendRecord(g, 0x000E, fields16({1}));  // PRECISION: as displayed off
    appendRecord(g, 0x01B7, fields16({0}));  // REFRESHALL
    appendRecord(g, 0x00DA, fields16({0}));  // BOOKBOOL
    g += styles.records();
    appendRecord(g, 0x0160, fields16({0}));  // USESELFS

    std::vector<qint64> offsetFields;
    for (const QString& name : names) {
        offsetFields.push_back(g.size() + 4);
        QByteArray b;
        add32(b, 0);  // position of the sheet, filled in below
        add16(b, 0);  // visible worksheet
        appendUnicodeString(b, name, 1);
        appendRecord(g, rt::kBoundSheet, b);
    }
    appendRecord(g, 0x008C, fields16({86, 86}));  // COUNTRY: China
    g += printNameRecords(setups);
    QByteArray sst;
    add32(sst, 0);
    add32(sst, 0);
    appendRecord(g, rt::kSst, sst);
    appendRecord(g, rt::kExtSst, fields16({8}));
    appendRecord(g, rt::kEof, QByteArray());

    for (size_t i = 0; i < sheets.size(); ++i) {
        put32(g.data() + offsetFields[i], quint32(g.size()));
        g.append(sheets[i]);
    }
    // A stream under 4096 bytes would go to the compound file's small-block
    // area, where some spreadsheet programs do not look for a workbook.
    if (g.size() < 4096)
        g.append(QByteArray(4096 - g.size(), '\0'));
    return g;
}

}  // namespace velmora::xls
