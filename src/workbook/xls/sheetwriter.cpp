#include "workbook/xls/sheetwriter.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/celltable.h"
#include "workbook/xls/formats.h"

#include <algorithm>

namespace velmora::xls {

namespace {

constexpr int kRowsPerBlock = 32;

// INDEX: reserved, first row, last row + 1, position of DEFCOLWIDTH, then
// the position of every DBCELL. Only its positions depend on where the
// sheet lies in the stream.
void indexPositions(const Record& r, const QByteArray& stream, qint64 sheetStart, qint64 recordAt,
                    SheetBytes& out) {
    if (r.size < 16)
        return;
    const char* b = r.body(stream);
    for (int at = 12; at + 4 <= r.size; at += 4) {
        const quint32 value = u32(b + at);
        if (at == 12 && value == 0)
            continue;
        out.positions.emplace_back(recordAt + 4 + at, qint64(value) - sheetStart);
    }
}

// DIMENSIONS: first row, last row + 1, first column, last column + 1,
// widened to take in every cell of the table.
QByteArray widenedDimensions(QByteArray body, const CellTable& table) {
    if (body.size() < 12 || table.rows.empty())
        return body;
    int rowMic = table.rows.begin()->first, rowMac = table.rows.rbegin()->first + 1;
    int colMic = CellRef::kMaxColumns, colMac = 0;
    for (const auto& [row, units] : table.rows) {
        colMic = std::min(colMic, units.front().first);
        colMac = std::max(colMac, units.back().last + 1);
    }
    char* b = body.data();
    const quint32 oldRowMic = u32(b), oldRowMac = u32(b + 4);
    const int oldColMic = u16(b + 8), oldColMac = u16(b + 10);
    if (oldRowMic < oldRowMac && oldColMic < oldColMac) {
        rowMic = int(std::min<quint32>(oldRowMic, quint32(rowMic)));
        rowMac = int(std::max<quint32>(oldRowMac, quint32(rowMac)));
        colMic = std::min(oldColMic, colMic);
        colMac = std::max(oldColMac, colMac);
    }
    put32(b, quint32(rowMic));
    put32(b + 4, quint32(rowMac));
    put16(b + 8, quint16(colMic));
    put16(b + 10, quint16(colMac));
    return body;
}

QByteArray emptyDimensions() {
    return QByteArray(14, '\0');
}

}  // namespace

SheetBytes copySheet(const Sheet& sheet, const QByteArray& stream) {
    SheetBytes out;
    const qint64 start = sheet.records.front().pos;
    // Refers to the stream's bytes: it lives while the stream is written.
    out.bytes = QByteArray::fromRawData(stream.constData() + start,
                                        qsizetype(sheet.records.back().end() - start));
    int depth = 0;
    for (const Record& r : sheet.records) {
        depth += r.type == rt::kBof ? 1 : 0;
        if (depth == 1 && r.type == rt::kIndex)
            indexPositions(r, stream, start, r.pos - start, out);
        depth -= r.type == rt::kEof ? 1 : 0;
    }
    return out;
}

SheetBytes writeSheet(const Sheet& sheet, const SheetEdits& context) {
    const QByteArray& stream = context.stream;
    CellTable table = readCellTable(sheet, stream);
    applyEdits(table, sheet, stream, context.formats, context.stringOf, context.results);
    applyRowSizes(table, sheet);
    const bool newColumns = !sheet.sizes.columns.empty();
    const ColumnRecords columns =
        newColumns ? columnRecords(sheet, stream, context.formats.defaultCellXf())
                   : ColumnRecords();

    std::vector<int> rows;
    for (const auto& [row, body] : table.rowRecords) rows.push_back(row);
    const size_t blocks = (rows.size() + kRowsPerBlock - 1) / kRowsPerBlock;

    const auto has = [&](quint16 type) {
        return std::any_of(sheet.records.begin(), sheet.records.end(),
                           [&](const Record& r) { return r.type == type; });
    };
    const bool hasIndex = has(rt::kIndex);
    const bool dbCells = hasIndex || table.hadDbCells;
    const bool hasDimensions = has(rt::kDimensions);

    // Where the table goes: where it was, else after DIMENSIONS, else
    // before WINDOW2, else before the sheet's EOF.
    const size_t last = sheet.records.size() - 1;
    size_t tableAt = table.first;
    if (table.first > table.last) {
        tableAt = last;
        for (size_t i = 1; i < last; ++i) {
            if (sheet.records[i].type == rt::kDimensions) {
                tableAt = i + 1;
                break;
            }
            if (sheet.records[i].type == rt::kWindow2 && tableAt == last)
                tableAt = i;
        }
    }

    SheetBytes out;
    QByteArray& o = out.bytes;
    qint64 indexAt = -1, defColWidthAt = -1;
    std::vector<qint64> dbCellAt;

    const auto emitTable = [&] {
        if (!hasDimensions && !table.rows.empty())
            appendRecord(o, rt::kDimensions, widenedDimensions(emptyDimensions(), table));
        for (size_t block = 0; block < blocks; ++block) {
            const size_t from = block * kRowsPerBlock;
            const size_t to = std::min(rows.size(), from + kRowsPerBlock);
            const qint64 firstRowAt = o.size();
            for (size_t i = from; i < to; ++i) appendRecord(o, rt::kRow, table.rowRecords[rows[i]]);
            // DBCELL: back to the first ROW, then to each row's first cell,
            // counted from the second ROW and then from the previous row's.
            QByteArray db;
            qint64 previous = firstRowAt + 4 + table.rowRecords[rows[from]].size();
            for (size_t i = from; i < to; ++i) {
                const auto units = table.rows.find(rows[i]);
                if (units == table.rows.end()) {
                    add16(db, 0);
                    continue;
                }
                add16(db, quint16(o.size() - previous));
                previous = o.size();
                for (const CellUnit& u : units->second) o.append(unitBytes(u, sheet, stream));
            }
            if (dbCells) {
                dbCellAt.push_back(o.size());
                QByteArray body;
                add32(body, quint32(o.size() - firstRowAt));
                body.append(db);
                appendRecord(o, rt::kDbCell, body);
            }
        }
        for (size_t i : table.others)
            o.append(stream.constData() + sheet.records[i].pos, 4 + sheet.records[i].size);
    };

    int depth = 0;
    for (size_t i = 0; i <= last; ++i) {
        if (newColumns && i == columns.before)
            o.append(columns.bytes);
        if (i == tableAt)
            emitTable();
        if (table.first <= table.last && i >= table.first && i <= table.last)
            continue;
        const Record& r = sheet.records[i];
        depth += r.type == rt::kBof ? 1 : 0;
        const bool own = depth == 1;
        depth -= r.type == rt::kEof ? 1 : 0;
        if (own && r.type == rt::kColInfo && newColumns) {
            continue;  // written anew above
        } else if (own && r.type == rt::kIndex) {
            indexAt = o.size();
            QByteArray body;
            add32(body, 0);
            add32(body, rows.empty() ? 0 : quint32(rows.front()));
            add32(body, rows.empty() ? 0 : quint32(rows.back() + 1));
            add32(body, 0);  // DEFCOLWIDTH, filled in below
            for (size_t b = 0; b < blocks; ++b) add32(body, 0);
            appendRecord(o, rt::kIndex, body);
        } else if (own && r.type == rt::kDimensions) {
            appendRecord(o, rt::kDimensions,
                         widenedDimensions(QByteArray(r.body(stream), r.size), table));
        } else {
            if (own && r.type == rt::kDefColWidth)
                defColWidthAt = o.size();
            o.append(stream.constData() + r.pos, 4 + r.size);
        }
    }
    if (indexAt >= 0) {
        if (defColWidthAt >= 0)
            out.positions.emplace_back(indexAt + 16, defColWidthAt);
        for (size_t b = 0; b < dbCellAt.size(); ++b)
            out.positions.emplace_back(indexAt + 20 + 4 * qint64(b), dbCellAt[b]);
    }
    return out;
}

}  // namespace velmora::xls
