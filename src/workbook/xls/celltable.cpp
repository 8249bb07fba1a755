#include "workbook/xls/celltable.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/formularecord.h"

#include <algorithm>

namespace velmora::xls {

CellTable readCellTable(const Sheet& sheet, const QByteArray& stream) {
    CellTable table;
    table.first = sheet.records.size();
    std::vector<size_t> candidates;
    const auto mark = [&](size_t from, size_t to) {
        table.first = std::min(table.first, from);
        table.last = std::max(table.last, to);
    };
    const size_t end = sheet.records.size() - 1;  // the final EOF
    for (size_t i = 1; i < end;) {
        const Record& r = sheet.records[i];
        const char* b = r.body(stream);
        if (r.type == rt::kBof) {  // an embedded chart: kept whole
            int depth = 0;
            do {
                const quint16 t = sheet.records[i].type;
                depth += t == rt::kBof ? 1 : t == rt::kEof ? -1 : 0;
                candidates.push_back(i++);
            } while (depth > 0 && i < end);
        } else if (isCellRecord(r.type)) {
            const size_t j = std::min(pastCell(sheet.records, i), end);
            CellUnit u;
            u.first = u16(b + 2);
            u.last = u.first + cellsIn(r) - 1;
            u.record = i;
            u.recordEnd = j;
            table.rows[u16(b)].push_back(u);
            mark(i, j - 1);
            i = j;
        } else if (r.type == rt::kRow || r.type == rt::kDbCell) {
            if (r.type == rt::kRow)
                table.rowRecords[u16(b)] = QByteArray(b, r.size);
            table.hadDbCells = table.hadDbCells || r.type == rt::kDbCell;
            mark(i, i);
            ++i;
        } else {
            candidates.push_back(i++);
        }
    }
    for (size_t i : candidates)
        if (i > table.first && i < table.last)
            table.others.push_back(i);
    for (auto& [row, units] : table.rows)
        std::stable_sort(units.begin(), units.end(),
                         [](const CellUnit& a, const CellUnit& b) { return a.first < b.first; });
    return table;
}

QByteArray unitBytes(const CellUnit& u, const Sheet& sheet, const QByteArray& stream) {
    if (!u.made.isEmpty())
        return u.made;
    const Record& r = sheet.records[u.record];
    if (r.type == rt::kFormula && (u.result || !u.ownFormula.isEmpty())) {
        QByteArray out =
            u.ownFormula.isEmpty() ? QByteArray(stream.constData() + r.pos, 4 + r.size) : u.ownFormula;
        if (u.result)
            out = withResult(out, *u.result);
        for (size_t j = u.record + 1; j < u.recordEnd; ++j) {
            const Record& f = sheet.records[j];
            if (u.result && f.type == rt::kString) {
                j = pastContinues(sheet.records, j) - 1;  // the old result's text
                continue;
            }
            out.append(stream.constData() + f.pos, 4 + f.size);
        }
        if (u.result)
            out += resultString(*u.result);
        return out;
    }
    const char* b = r.body(stream);
    const int first = isMultiCell(r.type) ? u16(b + 2) : u.first;
    const int width = multiCellWidth(r.type);
    const int count = cellsIn(r);
    if (u.first == first && u.last == first + count - 1) {
        const qint64 end = sheet.records[u.recordEnd - 1].end();
        return QByteArray(stream.constData() + r.pos, end - r.pos);
    }
    // Part of a MULRK or MULBLANK: one cell becomes an RK or BLANK record.
    QByteArray body;
    add16(body, u16(b));
    add16(body, quint16(u.first));
    body.append(b + 4 + width * (u.first - first), width * (u.last - u.first + 1));
    if (u.first == u.last)
        return makeRecord(r.type == rt::kMulRk ? rt::kRk : rt::kBlank, body);
    add16(body, quint16(u.last));
    return makeRecord(r.type, body);
}

}  // namespace velmora::xls
