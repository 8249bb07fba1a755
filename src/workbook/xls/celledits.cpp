#include "workbook/xls/celltable.h"

#include "workbook/xls/bytes.h"
#include "workbook/xls/formularecord.h"
#include "workbook/xls/formats.h"
#include "workbook/xls/sharedformula.h"
#include "workbook/xls/xlsworkbook.h"

#include <algorithm>
#include <functional>

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
            u.ownFormula = *own;
        }
    }
}

// One cell changes: the unit holding it is replaced, or split around it when
// it holds a run of cells; a second record for the same cell (a damaged
// file) goes too, so that the edit is what every reader sees.
void applyEdit(CellTable& table, const Sheet& sheet, const QByteArray& stream,
               const CellFormats& formats, CellRef at, bool blank,
               const std::function<QByteArray(int xf)>& records) {
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
    if (!blank || xf >= 0) {
        CellUnit made;
        made.first = made.last = at.column;
        made.made =
            records(xf >= 0 ? xf : sheet.newCellXf(at.row, at.column, formats.defaultCellXf()));
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
                const CellFormats& formats, const std::map<quint32, quint32>& stringOf,
                const std::map<quint32, formula::Value>* results) {
    const auto resultOf = [&](quint32 key) -> formula::Value {
        if (!results)
            return {};
        const auto it = results->find(key);
        return it == results->end() ? formula::Value() : it->second;
    };
    for (const auto& entry : sheet.edits) {
        const quint32 key = entry.first;
        const Edit& edit = entry.second;
        const CellRef at = keyRef(key);
        const auto simple = [&](quint16 type, const QByteArray& value) {
            return [&, type, value](int xf) {
                QByteArray body = cellHead(at.row, at.column, xf);
                body.append(value);
                return makeRecord(type, body);
            };
        };
        switch (edit.kind) {
            case Edit::Kind::Text: {
                QByteArray value;
                add32(value, stringOf.at(key));
                applyEdit(table, sheet, stream, formats, at, false, simple(rt::kLabelSst, value));
                break;
            }
            case Edit::Kind::Number: {
                QByteArray value;
                addF64(value, edit.number);
                applyEdit(table, sheet, stream, formats, at, false, simple(rt::kNumber, value));
                break;
            }
            case Edit::Kind::Clear:
                applyEdit(table, sheet, stream, formats, at, true, simple(rt::kBlank, QByteArray()));
                break;
            case Edit::Kind::Formula: {
                const formula::Value result = resultOf(key);
                applyEdit(table, sheet, stream, formats, at, false, [&](int xf) {
                    return formulaRecord(at.row, at.column, xf, edit.expression, result,
                                         edit.isVolatile) +
                           resultString(result);
                });
                break;
            }
        }
    }
    // New results of formulas kept.
    if (results)
        for (const auto& [key, value] : *results) {
            const CellRef at = keyRef(key);
            const auto row = table.rows.find(at.row);
            if (row == table.rows.end())
                continue;
            for (CellUnit& u : row->second)
                if (u.first == at.column && u.made.isEmpty() &&
                    sheet.records[u.record].type == rt::kFormula)
                    u.result = value;
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
