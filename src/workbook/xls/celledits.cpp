#include "workbook/xls/celltable.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/formats.h"
#include "workbook/xls/sharedformula.h"
#include "workbook/xls/xlsworkbook.h"

#include <algorithm>

namespace velmora::xls {

namespace {

QByteArray cellHead(int row, int column, int xf) {
    QByteArray b;
    add16(b, quint16(row));
    add16(b, quint16(column));
    add16(b, quint16(xf));
    return b;
}

int unitXf(const CellUnit& u, int column, const Sheet& sheet, const QByteArray& stream) {
    if (!u.made.isEmpty())
        return u16(u.made.constData() + 8);
    const Record& r = sheet.records[u.record];
    const char* b = r.body(stream);
    if (isMultiCell(r.type))
        return u16(b + 4 + multiCellWidth(r.type) * (column - u16(b + 2)));
    return u16(b + 4);
}

void widenRow(QByteArray& row, int first, int last) {
    char* b = row.data();
    const int mic = u16(b + 2), mac = u16(b + 4);
    const bool empty = mic >= mac;
    put16(b + 2, quint16(empty ? first : std::min(mic, first)));
    put16(b + 4, quint16(empty ? last + 1 : std::max(mac, last + 1)));
}

// The first cell of a shared formula is being overwritten: every other cell
// using the formula gets its own FORMULA record, with its STRING kept.
void writeOutSharedFormula(CellTable& table, const Sheet& sheet, const QByteArray& stream,
                           const Sheet::SharedFormula& anchor) {
    const Record& shared = sheet.records[anchor.shared];
    for (auto& [row, units] : table.rows) {
        for (CellUnit& u : units) {
            if (!u.made.isEmpty() || sheet.records[u.record].type != rt::kFormula ||
                u.record == anchor.formula)
                continue;
            const Record& f = sheet.records[u.record];
            if (!usesSharedFormula(f.body(stream), f.size, anchor.row, anchor.column))
                continue;
            const auto own = ownFormula(f.body(stream), f.size, shared.body(stream), shared.size);
            if (!own)
                throw XlsError(QStringLiteral("工作表“%1”中的共享公式无法拆开。").arg(sheet.name));
            const qint64 followers = sheet.records[u.record + 1].pos;
            u.made = *own + stream.mid(followers, sheet.records[u.recordEnd - 1].end() - followers);
        }
    }
}

// One cell changes: the unit holding it is replaced, or split around it when
// it holds a run of cells; a second record for the same cell (a damaged
// file) goes too, so that the edit is what every reader sees.
void applyEdit(CellTable& table, const Sheet& sheet, const QByteArray& stream,
               const CellFormats& formats, CellRef at, const QByteArray& recordBody, quint16 type) {
    std::vector<CellUnit>& units = table.rows[at.row];
    for (const Sheet::SharedFormula& f : sheet.shared)
        for (const CellUnit& u : units)
            if (u.made.isEmpty() && u.record == f.formula && u.first == at.column)
                writeOutSharedFormula(table, sheet, stream, f);
    int xf = -1;
    std::vector<CellUnit> row;
    size_t insertAt = 0;
    for (const CellUnit& u : units) {
        if (u.last < at.column || u.first > at.column) {
            row.push_back(u);
            insertAt += u.last < at.column;
            continue;
        }
        if (xf < 0)
            xf = unitXf(u, at.column, sheet, stream);
        if (u.first < at.column) {
            row.push_back(u);
            row.back().last = at.column - 1;
            ++insertAt;
        }
        if (at.column < u.last) {
            row.push_back(u);
            row.back().first = at.column + 1;
        }
    }
    // A cleared cell that existed stays as BLANK, keeping its format.
    if (type != rt::kBlank || xf >= 0) {
        QByteArray body =
            cellHead(at.row, at.column,
                     xf >= 0 ? xf : sheet.newCellXf(at.row, at.column, formats.defaultCellXf()));
        body.append(recordBody);
        CellUnit made;
        made.first = made.last = at.column;
        made.made = makeRecord(type, body);
        row.insert(row.begin() + qsizetype(insertAt), made);
    }
    units = std::move(row);
}

}  // namespace

QByteArray newRow(const Sheet& sheet, int row) {
    QByteArray b;
    add16(b, quint16(row));
    add16(b, 0);  // first column
    add16(b, 0);  // last column + 1
    add16(b, quint16(sheet.defaultRowTwips));
    add16(b, 0);
    add16(b, 0);
    // Bit 8 is always set; a height set by hand for the sheet is one here.
    add32(b, 0x000F0100 | ((sheet.defaultRowFlags & 1) ? 0x40 : 0));
    return b;
}

void applyEdits(CellTable& table, const Sheet& sheet, const QByteArray& stream,
                const CellFormats& formats, const std::map<quint32, quint32>& stringOf) {
    for (const auto& [key, edit] : sheet.edits) {
        QByteArray value;
        quint16 type = rt::kBlank;
        if (edit.kind == Edit::Kind::Text) {
            add32(value, stringOf.at(key));
            type = rt::kLabelSst;
        } else if (edit.kind == Edit::Kind::Number) {
            addF64(value, edit.number);
            type = rt::kNumber;
        }
        applyEdit(table, sheet, stream, formats, keyRef(key), value, type);
    }
    for (auto it = table.rows.begin(); it != table.rows.end();) {
        if (it->second.empty()) {
            it = table.rows.erase(it);
            continue;
        }
        QByteArray& row = table.rowRecords[it->first];
        if (row.size() < 16)
            row = newRow(sheet, it->first);
        widenRow(row, it->second.front().first, it->second.back().last);
        ++it;
    }
}

}  // namespace velmora::xls
