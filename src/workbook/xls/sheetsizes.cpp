#include "workbook/xls/sheetsizes.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/celltable.h"
#include "workbook/xls/sheet.h"

#include <algorithm>

namespace velmora::xls {

namespace {

// COLINFO: first and last column, width, format, options (bit 0 hidden),
// reserved.
struct Run {
    int first = 0, last = 0;
    QByteArray body;
};

Run part(const Run& run, int first, int last) {
    Run r{first, last, run.body};
    put16(r.body.data(), quint16(first));
    put16(r.body.data() + 2, quint16(last));
    return r;
}

size_t placeFor(const Sheet& sheet) {
    const auto find = [&](quint16 type) {
        for (size_t i = 1; i + 1 < sheet.records.size(); ++i)
            if (sheet.records[i].type == type)
                return i;
        return size_t(0);
    };
    if (const size_t at = find(rt::kColInfo))
        return at;
    if (const size_t at = find(rt::kDefColWidth))
        return at + 1;
    if (const size_t at = find(rt::kDimensions))
        return at;
    if (const size_t at = find(rt::kWindow2))
        return at;
    return sheet.records.size() - 1;
}

}  // namespace

ColumnRecords columnRecords(const Sheet& sheet, const QByteArray& stream, int defaultXf) {
    std::vector<Run> runs;
    int depth = 0;
    for (const Record& r : sheet.records) {
        depth += r.type == rt::kBof ? 1 : r.type == rt::kEof ? -1 : 0;
        if (depth == 1 && r.type == rt::kColInfo && r.size >= 10) {
            const char* b = r.body(stream);
            runs.push_back({u16(b), u16(b + 2), QByteArray(b, r.size)});
        }
    }
    for (const auto& [column, size] : sheet.sizes.columns) {
        std::vector<Run> next;
        Run changed;
        for (const Run& run : runs) {
            if (column < run.first || column > run.last) {
                next.push_back(run);
                continue;
            }
            if (run.first < column)
                next.push_back(part(run, run.first, column - 1));
            if (column < run.last)
                next.push_back(part(run, column + 1, run.last));
            changed = part(run, column, column);
        }
        if (changed.body.isEmpty()) {
            changed.first = changed.last = column;
            for (int v : {column, column, 0, defaultXf, 0, 0}) add16(changed.body, quint16(v));
        }
        char* b = changed.body.data();
        put16(b + 4, quint16(size.width));
        put16(b + 8, quint16((u16(b + 8) & ~1) | (size.hidden ? 1 : 0)));
        next.push_back(changed);
        runs = std::move(next);
    }
    std::stable_sort(runs.begin(), runs.end(),
                     [](const Run& a, const Run& b) { return a.first < b.first; });
    ColumnRecords out;
    for (const Run& run : runs) appendRecord(out.bytes, rt::kColInfo, run.body);
    out.before = placeFor(sheet);
    return out;
}

// ROW: the height in twips at offset 6; in the options at 12, bit 5 hides
// the row and bit 6 says its height was set by hand.
void applyRowSizes(CellTable& table, const Sheet& sheet) {
    for (const auto& [row, twips] : sheet.sizes.rowTwips) {
        QByteArray& body = table.rowRecords[row];
        if (body.size() < 16)
            body = newRow(sheet, row);
        char* b = body.data();
        quint32 options = u32(b + 12) | 0x40;
        if (twips > 0) {
            put16(b + 6, quint16(twips));
            options &= ~quint32(0x20);
        } else {
            options |= 0x20;
        }
        put32(b + 12, options);
    }
}

}  // namespace velmora::xls
